#include "porthub/sim/fault_modes.h"

#include <array>
#include <utility>

namespace vornak::sim {

namespace {

using Flag = bool FaultModes::*;

constexpr std::array<std::pair<std::string_view, Flag>, 7> kModeNames = {{
    {"late-commit", &FaultModes::lateCommit},
    {"busy-begin", &FaultModes::busyBegin},
    {"busy-macro", &FaultModes::busyMacro},
    {"busy-commit", &FaultModes::busyCommit},
    {"silent-malformed", &FaultModes::silentMalformed},
    {"strict-reads", &FaultModes::strictReads},
    {"boot-leaves", &FaultModes::bootLeaves},
}};

bool IsSeparator(char c) {
    return c == ',' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

std::optional<FaultModes> ParseFaultModes(std::string_view list, std::string* error) {
    FaultModes modes;
    while (!list.empty()) {
        if (IsSeparator(list.front())) {
            list.remove_prefix(1);
            continue;
        }
        size_t end = 0;
        while (end < list.size() && !IsSeparator(list[end]))
            ++end;
        const std::string_view name = list.substr(0, end);
        list.remove_prefix(end);
        if (name == "none") continue;
        bool known = false;
        for (const auto& [modeName, flag] : kModeNames) {
            if (name == modeName) {
                modes.*flag = true;
                known = true;
            }
        }
        if (!known) {
            if (error != nullptr) *error = "unknown fault mode \"" + std::string(name) + "\"";
            return std::nullopt;
        }
    }
    return modes;
}

std::string FormatFaultModes(const FaultModes& modes) {
    std::string names;
    for (const auto& [name, flag] : kModeNames) {
        if (!(modes.*flag)) continue;
        if (!names.empty()) names += ',';
        names += name;
    }
    return names.empty() ? "none" : names;
}

}  // namespace vornak::sim
