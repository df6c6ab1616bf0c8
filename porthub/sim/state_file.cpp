// The state file: the simulated keyboard's memory kept between runs, as text.
#include <cstdio>

#include "platform/file_io.h"
#include "porthub/sim/keyboard_simulator.h"

namespace vornak::sim {

namespace {

constexpr std::string_view kStateMagic = "VORNAK-SIM-STATE 1";
constexpr size_t kAreaCount = 6;
constexpr uintmax_t kMaxStateFile = 16 << 20;

}  // namespace

std::string FormatState(const SimMemory& m) {
    std::string s(kStateMagic);
    s += "\nsettings " + Hex(m.settings);
    s += "\nlighting " + Hex(m.lighting);
    s += "\nkeyblocks " + Hex(m.keyBlocks);
    s += "\ndefault " + Hex(m.defaultLayout);
    s += "\nmacro " + Hex(m.macro);
    s += "\ncolours " + Hex(m.keyColours);
    s += "\n";
    return s;
}

std::optional<SimMemory> ParseState(std::string_view text, std::string* error) {
    const auto fail = [&](std::string why) -> std::optional<SimMemory> {
        if (error != nullptr) *error = std::move(why);
        return std::nullopt;
    };
    SimMemory m = SimMemory::Factory();
    bool magic = false;
    size_t seen = 0;
    size_t lineNo = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        if (!magic) {
            if (line != kStateMagic) return fail("line 1 is not \"" + std::string(kStateMagic) + "\"");
            magic = true;
            continue;
        }
        const size_t space = line.find(' ');
        const std::string_view name = line.substr(0, space);
        const auto bytes =
            Unhex(space == std::string_view::npos ? std::string_view{} : line.substr(space + 1));
        if (!bytes) return fail("line " + std::to_string(lineNo) + ": bad hex");
        const auto take = [&](std::span<uint8_t> area) {
            if (bytes->size() != area.size()) return false;
            std::copy(bytes->begin(), bytes->end(), area.begin());
            ++seen;
            return true;
        };
        bool ok;
        if (name == "settings")
            ok = take(m.settings);
        else if (name == "lighting")
            ok = take(m.lighting);
        else if (name == "keyblocks")
            ok = take(m.keyBlocks);
        else if (name == "default")
            ok = take(m.defaultLayout);
        else if (name == "colours")
            ok = take(m.keyColours);
        else if (name == "macro") {
            m.macro = *bytes;
            ok = true;
            ++seen;
        } else {
            return fail("line " + std::to_string(lineNo) + ": unknown area \"" + std::string(name) + "\"");
        }
        if (!ok)
            return fail("line " + std::to_string(lineNo) + ": wrong size of area \"" + std::string(name) +
                        "\"");
    }
    if (!magic) return fail("empty file");
    if (seen != kAreaCount) return fail("an area is missing");
    if (m.macro.size() != MacroCapacityOf(m.settings))
        return fail("the macro area does not match settings byte 11");
    return m;
}

// ---- the simulator's side

void KeyboardSimulator::LoadState() {
    if (config_.stateFile.empty() || !std::filesystem::exists(config_.stateFile)) return;
    std::string error;
    const auto bytes = ReadWholeFile(config_.stateFile, &error, kMaxStateFile);
    std::optional<SimMemory> loaded;
    if (bytes)
        loaded =
            ParseState(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), &error);
    if (loaded) {
        memory_ = *loaded;
        return;
    }
    // Keep the file for the user to look at rather than overwrite it with the defaults.
    stateLoadFailed_ = true;
    std::fprintf(stderr, "PortHubSim: %s: %s; starting from the factory memory, the file is left as it is\n",
                 config_.stateFile.string().c_str(), error.c_str());
}

bool KeyboardSimulator::SaveState(std::string* error) {
    std::lock_guard lock(mutex_);
    return SaveStateLocked(error);
}

bool KeyboardSimulator::SaveStateLocked(std::string* error) {
    if (config_.stateFile.empty() || stateLoadFailed_ || !dirty_) return true;
    const std::string text = FormatState(memory_);
    std::string why;
    if (WriteFileAtomic(config_.stateFile,
                        std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), &why))
        return true;
    if (error != nullptr) *error = why;
    std::fprintf(stderr, "PortHubSim: %s\n", why.c_str());
    return false;
}

}  // namespace vornak::sim
