#include "program/outside_work.h"

#include <charconv>
#include <mutex>

#include "config/config_store.h"
#include "device/device_link.h"
#include "lighting/lighting.h"
#include "lighting/lighting_text.h"
#include "lighting/user_modes.h"
#include "macro/macro_blob.h"
#include "platform/file_io.h"
#include "platform/utf.h"
#include "profile/profile_file.h"
#include "profile/profile_files.h"
#include "transfer/config_transfer.h"

namespace vornak {

namespace {

constexpr std::pair<int, std::string_view> kErrorNames[] = {
    {kOutsideFailed, "Failed"},         {kOutsideUsage, "Usage"},
    {kOutsideNoKeyboard, "NoKeyboard"}, {kOutsideFileRejected, "FileRejected"},
    {kOutsideFileWrite, "FileWrite"},   {kOutsideRefused, "Refused"},
};

std::string ErrorPrefix() {
    return std::string(kBusInterface) + ".Error.";
}

std::optional<int> NumberIn(std::string_view text, int lo, int hi) {
    int v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size() || v < lo || v > hi) return std::nullopt;
    return v;
}

OutsideResult Failure(int code, std::string message) {
    return OutsideResult{code, std::move(message)};
}

}  // namespace

std::string KeyboardIdentity(bool simulate, const std::string& library) {
    if (!library.empty()) {
        std::error_code ec;
        const auto path = std::filesystem::weakly_canonical(library, ec);
        return "library:" + (ec ? library : path.string());
    }
    return simulate ? "simulated" : "hid";
}

std::string OutsideErrorName(int exitCode) {
    for (const auto& [code, name] : kErrorNames) {
        if (code == exitCode) return ErrorPrefix() + std::string(name);
    }
    return ErrorPrefix() + "Failed";
}

int OutsideExitOf(std::string_view errorName) {
    const std::string prefix = ErrorPrefix();
    if (errorName.substr(0, prefix.size()) != prefix) return kOutsideFailed;
    errorName.remove_prefix(prefix.size());
    for (const auto& [code, name] : kErrorNames) {
        if (name == errorName) return code;
    }
    return kOutsideFailed;
}

OutsideVerdict DecideOutsideWork(OutsideKind kind, const WindowEdits& edits, bool force) {
    OutsideVerdict v;
    if (edits.ending) {
        v.refusal = Failure(kOutsideFailed, "the program is ending; try again when it has ended");
        return v;
    }
    const bool overwrites = kind == OutsideKind::Apply || kind == OutsideKind::SwitchProfile;
    if (!overwrites || (!edits.applyEnabled && !edits.editorOpen)) return v;
    if (force) {
        v.discardEdits = true;
        return v;
    }
    const std::string what = edits.editorOpen ? "a key dialog is open in Vornak's window"
                                              : "Vornak's window holds edits that were not applied";
    v.refusal =
        Failure(kOutsideRefused, what + "; apply or undo them there, or pass --force to discard them");
    return v;
}

OutsideResult RunStatus(DeviceContext& c, KeyboardStatus& out) {
    out.keyboards = c.link.state().devicePresent.load();
    if (out.keyboards == 0) return Failure(kOutsideNoKeyboard, "no Nimbrel KX1 keyboard is attached");
    out.profile = c.transfer.CurrentProfile();
    if (c.lighting != nullptr) {
        c.lighting->ReadLighting(LightingReadReason::Other);
        const auto& table = c.lighting->state().effectTable.entries();
        const auto& names = c.lighting->effectNames();
        for (size_t i = 0; i < table.size(); ++i)
            out.effects.emplace_back(table[i].effect, i < names.size() ? Utf16ToUtf8(names[i]) : "");
    }
    out.layerB = c.link.state().layerB.load();
    out.macroMemory = c.link.state().macroCapacity.load();
    return {};
}

OutsideResult RunCapture(DeviceContext& c, const std::filesystem::path& file) {
    if (c.files.CaptureKeyboardProfiles(file)) return {};
    const std::string& why = c.files.lastError();
    return Failure(why.rfind(file.string(), 0) == 0 ? kOutsideFileWrite : kOutsideFailed, why);
}

OutsideResult RunApplyFile(DeviceContext& c, const std::filesystem::path& file) {
    std::string why;
    std::vector<uint8_t> bytes;
    {
        auto read = ReadWholeFile(file, &why, 0xFFFFFFFFull);
        if (!read) return Failure(kOutsideFileRejected, why);
        bytes = std::move(*read);
    }
    const auto copy = ParseProfileFile(bytes, &why);
    if (!copy) return Failure(kOutsideFileRejected, file.string() + ": " + why);
    // The download refuses macros that do not fit as well, but only after the working file was rewritten.
    const uint32_t memory = c.link.state().macroCapacity.load();
    const MacroBlobSizes sizes = ComputeMacroBlobSizes(copy->macros);
    if (sizes.withoutNames > memory) {
        return Failure(kOutsideRefused, file.string() + ": its macros need " +
                                            std::to_string(sizes.withoutNames) +
                                            " bytes, the keyboard's macro memory holds " +
                                            std::to_string(memory) + "; nothing was sent");
    }
    if (c.files.ImportFrom(file)) return {};
    return Failure(kOutsideFailed, c.files.lastError().empty() ? "the keyboard did not take the configuration"
                                                               : c.files.lastError());
}

std::string CheckLightingSteps(const std::vector<LightingStep>& steps) {
    for (const LightingStep& f : steps) {
        if (f.name == "effect") {
            if (f.value.empty()) return "--effect needs a number or a name";
        } else if (f.name == "brightness" || f.name == "speed") {
            if (!NumberIn(f.value, 0, 5)) return "--" + f.name + " takes 0 to 5, not '" + f.value + "'";
        } else if (f.name == "direction") {
            if (f.value != "first" && f.value != "second")
                return "--direction takes first or second, not '" + f.value + "'";
        } else if (f.name == "colour" || f.name == "color") {
            if (!ParseHexColour(f.value)) return "--colour takes RRGGBB, not '" + f.value + "'";
        } else if (f.name == "colourful") {
            if (f.value != "on" && f.value != "off")
                return "--colourful takes on or off, not '" + f.value + "'";
        } else if (f.name != "defaults") {
            return "unknown lighting option '--" + f.name + "'";
        }
    }
    return {};
}

OutsideResult RunLightingSteps(DeviceContext& c, int profile, const std::vector<LightingStep>& steps) {
    if (const std::string bad = CheckLightingSteps(steps); !bad.empty()) return Failure(kOutsideUsage, bad);
    if (c.lighting == nullptr) return Failure(kOutsideFailed, "the keyboard's lighting cannot be reached");
    LightingModel& light = *c.lighting;
    // The model writes the profile the link names as current: name the asked one for these writes only.
    std::atomic<int>& current = c.link.state().currentProfile;
    const int running = current.load();
    struct Restore {
        std::atomic<int>& current;
        int running;
        bool armed;
        ~Restore() {
            if (armed) current.store(running);
        }
    } restore{current, running, profile >= 0 && profile != running};
    if (profile >= 0) current.store(profile);
    if (light.ReadLighting(LightingReadReason::Other) != kLinkOk)
        return Failure(kOutsideFailed, "the keyboard's lighting cannot be read");
    // Effect names need the keyboard's effect list: resolve them all before the first write.
    std::vector<int> effectIndexes;
    for (const LightingStep& f : steps) {
        if (f.name != "effect") continue;
        const int index =
            EffectIndexByText(light.state().effectTable, light.effectNames(), Utf8ToUtf16(f.value));
        if (index < 0)
            return Failure(kOutsideUsage,
                           "the keyboard has no effect '" + f.value + "' (see vornakctl status)");
        effectIndexes.push_back(index);
    }
    size_t nextEffect = 0;
    for (const LightingStep& f : steps) {
        if (f.name == "effect") {
            light.SelectEffect(effectIndexes[nextEffect++]);
        } else if (f.name == "brightness") {
            light.SetBrightness(*NumberIn(f.value, 0, 5));
        } else if (f.name == "speed") {
            light.SetSpeed(*NumberIn(f.value, 0, 5));
        } else if (f.name == "direction") {
            light.SetDirection(f.value == "first");
        } else if (f.name == "colour" || f.name == "color") {
            light.SetMainColour(MainColourButton::Hx, *ParseHexColour(f.value));
        } else if (f.name == "colourful") {
            if (light.state().colourful != (f.value == "on")) light.ToggleColourful();
        } else if (f.name == "defaults") {
            if (!light.state().lightingSwitch && !light.SetLightingSwitch(true))
                return Failure(kOutsideFailed, "the lighting switch cannot be turned on");
            if (!light.RestoreLightingDefaults())
                return Failure(kOutsideFailed, "the lighting defaults were not restored");
        }
    }
    if (!light.lastError().empty()) return Failure(kOutsideFileWrite, light.lastError());
    return {};
}

OutsideResult RunUserMode(DeviceContext& c, const std::string& userModePrefix, int profile, int mode,
                          const std::vector<std::pair<int, Colour>>& paints) {
    UserModes modes(c.link, userModePrefix);
    std::string error;
    if (!modes.SelectUserMode(profile, mode, &error)) return Failure(kOutsideFileWrite, error);
    if (paints.empty()) return {};
    // Paint with brush 0 (a colour of the key's own), then give the user's brushes back.
    const UserBrushes saved = modes.brushes();
    bool ok = modes.SelectTool(profile, 0, &error);
    for (const auto& [position, colour] : paints) {
        ok = ok && modes.SetColor(profile, colour, &error) && modes.PaintPosition(profile, position, &error);
    }
    ok = modes.SetColor(profile, saved.color, &error) && ok;
    ok = modes.SelectTool(profile, saved.tool, &error) && ok;
    if (!ok) return Failure(kOutsideFileWrite, error);
    return {};
}

}  // namespace vornak
