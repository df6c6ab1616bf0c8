// Commands that talk to the keyboard.
#include <cstdio>
#include <functional>
#include <system_error>

#include "assign/assign_text.h"
#include "keyboard/key_buttons.h"
#include "keyboard/key_names.h"
#include "keyboard/key_table.h"
#include "lighting/lighting_text.h"
#include "lighting/user_modes.h"
#include "macro/macro_blob.h"
#include "platform/file_io.h"
#include "platform/text_format.h"
#include "platform/utf.h"
#include "profile/profile_file.h"
#include "tools/vornakctl/arguments.h"
#include "tools/vornakctl/json.h"
#include "tools/vornakctl/keyboard_session.h"

namespace vornak::cli {

namespace fs = std::filesystem;

void QuietLinkEvents::ShowMessage(TextId text) {
    std::fprintf(stderr, "vornakctl: %s\n", Utf16ToUtf8(texts_[text]).c_str());
}

KeyboardSession::KeyboardSession(Context& ctx) : ctx_(ctx), events_(ctx.texts) {}

KeyboardSession::~KeyboardSession() {
    // The models hold references into the link: they go first, the link before the library it calls.
    lighting_.reset();
    files_.reset();
    transfer_.reset();
    if (link_) link_->ReleaseChannels();
    link_.reset();
    api_.reset();
}

int KeyboardSession::Open(bool quiet) {
    const auto fail = [quiet](int code, const std::string& message) {
        return quiet ? code : Fail(code, message);
    };
    PortHubBindOptions options;
    options.libraryDir = ctx_.paths.libraryDir;
    options.simulate = ctx_.options.simulate;
    if (!ctx_.options.library.empty()) {
        const std::string library = ctx_.options.library;
        options.env = [library](const char* name) -> std::optional<std::string> {
            if (std::string_view(name) == "VORNAK_PORTHUB") return library;
            return ProcessEnvironment()(name);
        };
    }
    auto bound = PortHubApi::Bind(options);
    if (bound.status != PortHubBindStatus::Bound) return fail(kExitNoKeyboard, bound.message);
    api_ = std::move(bound.api);
    link_ = std::make_unique<PortHubLink>(api_->functions());
    link_->SetKeyboardLock(api_->MakeKeyboardLock());
    link_->SetEvents(&events_);
    link_->state().mainWindowReady.store(true);
    if (!link_->SetUpChannels())
        return fail(kExitNoKeyboard, "the device library refused to open the keyboard's channels");
    deviceCount_ = link_->DetectDevice();
    link_->WaitForWorkers();

    transfer_ = std::make_unique<ConfigTransfer>(
        store_, *link_, [this] { return link_->DefaultLayout(); }, ctx_.texts, ctx_.prompts);
    files_ = std::make_unique<ProfileFiles>(ctx_.paths, store_, *transfer_, *link_, ctx_.texts, ctx_.prompts);
    const ProgramPaths& paths = ctx_.paths;
    files_->SetUserFolderSeeder(
        [&paths] { EnsureUserModeFiles(paths.settingsIni, paths.userModeTemplate, paths.userModePrefix); });
    lighting_ = std::make_unique<LightingModel>(
        *link_, ctx_.texts, switcher_, LightingFiles{paths.settingsIni, paths.mainIni, paths.userModePrefix});
    if (deviceCount_ == 0 || link_->state().devicePresent.load() == 0) {
        return fail(kExitNoKeyboard, "no Nimbrel KX1 keyboard is attached");
    }
    return SeedUserFolder();
}

// Every command that opens the keyboard reads or writes the user folder (the settings file, the working
// profile, the user-mode files), so it is seeded first, as the program does at start.
int KeyboardSession::SeedUserFolder() {
    files_->EnsureUserFolder();
    if (!files_->lastError().empty()) return Fail(kExitFileWrite, files_->lastError());
    std::string error;
    if (!EnsureUserModeFiles(ctx_.paths.settingsIni, ctx_.paths.userModeTemplate, ctx_.paths.userModePrefix,
                             &error))
        return Fail(kExitFileWrite, error.empty() ? "the user lighting files cannot be prepared" : error);
    return kExitOk;
}

namespace {

std::string Hex(Colour c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02x%02x%02x", ColourR(c), ColourG(c), ColourB(c));
    return buf;
}

}  // namespace

int CmdStatus(Context& ctx) {
    if (!ctx.args.empty()) return Fail(kExitUsage, "status takes no arguments");
    KeyboardSession kb(ctx);
    if (const int r = kb.Open(); r != kExitOk) return r;
    const int profile = kb.transfer().CurrentProfile();
    kb.lighting().ReadLighting(LightingReadReason::Other);
    const auto& table = kb.lighting().state().effectTable.entries();
    const auto& names = kb.lighting().effectNames();
    const bool layerB = kb.link().state().layerB.load();
    const uint32_t capacity = kb.link().state().macroCapacity.load();
    if (ctx.options.json) {
        std::printf(
            "{\"keyboards\": %d, \"profile\": %d, \"macroMemory\": %u, \"layer\": \"%s\", \"effects\": [",
            kb.deviceCount(), profile < 0 ? 0 : profile + 1, capacity, layerB ? "B" : "A");
        for (size_t i = 0; i < table.size(); ++i) {
            std::printf("%s{\"number\": %d, \"name\": %s}", i ? ", " : "", table[i].effect,
                        JsonString(i < names.size() ? Utf16ToUtf8(names[i]) : "").c_str());
        }
        std::printf("]}\n");
        return kExitOk;
    }
    std::printf("keyboards:     %d\n", kb.deviceCount());
    if (profile < 0) {
        std::printf("profile:       unknown\n");
    } else {
        std::printf("profile:       %d\n", profile + 1);
    }
    std::printf("macro memory:  %u bytes\n", capacity);
    std::printf("G-key layer:   %s\n", layerB ? "B" : "A");
    std::printf("effects:      ");
    for (size_t i = 0; i < table.size(); ++i) {
        std::printf(" %d %s%s", table[i].effect, i < names.size() ? Utf16ToUtf8(names[i]).c_str() : "",
                    i + 1 < table.size() ? "," : "\n");
    }
    if (table.empty()) std::printf(" none reported\n");
    return kExitOk;
}

int CmdCapture(Context& ctx) {
    if (ctx.args.size() != 1) return Fail(kExitUsage, "capture takes one FILE");
    const fs::path file = ctx.args[0];
    std::error_code ec;
    const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    if (!fs::is_directory(folder, ec)) return Fail(kExitFileWrite, folder.string() + ": no such folder");
    KeyboardSession kb(ctx);
    if (const int r = kb.Open(); r != kExitOk) return r;
    if (!kb.files().CaptureKeyboardProfiles(file)) {
        const std::string& why = kb.files().lastError();
        return Fail(why.rfind(file.string(), 0) == 0 ? kExitFileWrite : kExitFailed, why);
    }
    if (!ctx.options.json) std::printf("%s: the keyboard's configuration\n", file.string().c_str());
    return kExitOk;
}

int CmdApply(Context& ctx) {
    if (ctx.args.size() != 1) return Fail(kExitUsage, "apply takes one FILE");
    const fs::path file = ctx.args[0];
    // Check the whole file before the keyboard is touched, and say why it is refused.
    std::string why;
    auto bytes = ReadWholeFile(file, &why, 0xFFFFFFFFull);
    if (!bytes) return Fail(kExitFileRejected, why);
    const auto copy = ParseProfileFile(*bytes, &why);
    if (!copy) return Fail(kExitFileRejected, file.string() + ": " + why);
    KeyboardSession kb(ctx);
    if (const int r = kb.Open(); r != kExitOk) return r;
    // The download refuses macros that do not fit as well, but only after the working file was rewritten.
    const uint32_t memory = kb.link().state().macroCapacity.load();
    const MacroBlobSizes sizes = ComputeMacroBlobSizes(copy->macros);
    if (sizes.withoutNames > memory) {
        return Fail(kExitRefused, file.string() + ": its macros need " + std::to_string(sizes.withoutNames) +
                                      " bytes, the keyboard's macro memory holds " + std::to_string(memory) +
                                      "; nothing was sent");
    }
    if (!kb.files().ImportFrom(file)) {
        return Fail(kExitFailed, kb.files().lastError().empty()
                                     ? "the keyboard did not take the configuration"
                                     : kb.files().lastError());
    }
    if (!ctx.options.json) std::printf("%s: sent to all three profiles\n", file.string().c_str());
    return kExitOk;
}

int CmdProfile(Context& ctx) {
    if (ctx.args.size() != 1) return Fail(kExitUsage, "profile takes one number, 1 to 3");
    const auto p = ParseInt(ctx.args[0], 1, 3);
    if (!p) return Fail(kExitUsage, "the profile is 1, 2 or 3, not '" + ctx.args[0] + "'");
    KeyboardSession kb(ctx);
    if (const int r = kb.Open(); r != kExitOk) return r;
    if (!kb.transfer().SetCurrentProfile(*p - 1))
        return Fail(kExitFailed, "the keyboard did not switch its profile");
    return kExitOk;
}

int CmdLighting(Context& ctx) {
    std::string error;
    const auto flags = ParseFlags(
        ctx.args, {"profile", "effect", "brightness", "speed", "direction", "colour", "color", "colourful"},
        {"defaults"}, nullptr, &error);
    if (!flags) return Fail(kExitUsage, error);
    const auto profile = ProfileFlag(*flags, &error);
    if (!profile) return Fail(kExitUsage, error);
    // Every value is checked before anything is sent.
    for (const Flag& f : *flags) {
        if ((f.name == "brightness" || f.name == "speed") && !ParseInt(f.value, 0, 5)) {
            return Fail(kExitUsage, "--" + f.name + " takes 0 to 5, not '" + f.value + "'");
        }
        if (f.name == "direction" && f.value != "first" && f.value != "second") {
            return Fail(kExitUsage, "--direction takes first or second, not '" + f.value + "'");
        }
        if ((f.name == "colour" || f.name == "color") && !ParseHexColour(f.value)) {
            return Fail(kExitUsage, "--colour takes RRGGBB, not '" + f.value + "'");
        }
        if (f.name == "colourful" && f.value != "on" && f.value != "off") {
            return Fail(kExitUsage, "--colourful takes on or off, not '" + f.value + "'");
        }
    }
    KeyboardSession kb(ctx);
    if (const int r = kb.Open(); r != kExitOk) return r;
    if (*profile >= 0) kb.link().state().currentProfile.store(*profile);
    LightingModel& light = kb.lighting();
    if (light.ReadLighting(LightingReadReason::Other) != kLinkOk)
        return Fail(kExitFailed, "the keyboard's lighting cannot be read");
    // Effect names need the keyboard's effect list: resolve them all before the first write.
    std::vector<int> effectIndexes;
    for (const Flag& f : *flags) {
        if (f.name != "effect") continue;
        const int index =
            EffectIndexByText(light.state().effectTable, light.effectNames(), Utf8ToUtf16(f.value));
        if (index < 0)
            return Fail(kExitUsage, "the keyboard has no effect '" + f.value + "' (see vornakctl status)");
        effectIndexes.push_back(index);
    }
    size_t nextEffect = 0;
    for (const Flag& f : *flags) {
        if (f.name == "effect") {
            light.SelectEffect(effectIndexes[nextEffect++]);
        } else if (f.name == "brightness") {
            light.SetBrightness(*ParseInt(f.value, 0, 5));
        } else if (f.name == "speed") {
            light.SetSpeed(*ParseInt(f.value, 0, 5));
        } else if (f.name == "direction") {
            light.SetDirection(f.value == "first");
        } else if (f.name == "colour" || f.name == "color") {
            light.SetMainColour(MainColourButton::Hx, *ParseHexColour(f.value));
        } else if (f.name == "colourful") {
            if (light.state().colourful != (f.value == "on")) light.ToggleColourful();
        } else if (f.name == "defaults") {
            if (!light.state().lightingSwitch && !light.SetLightingSwitch(true)) {
                return Fail(kExitFailed, "the lighting switch cannot be turned on");
            }
            if (!light.RestoreLightingDefaults())
                return Fail(kExitFailed, "the lighting defaults were not restored");
        }
    }
    if (!light.lastError().empty()) return Fail(kExitFileWrite, light.lastError());
    return kExitOk;
}

namespace {

struct UserModeArgs {
    int profile = -1;
    int mode = -1;
    std::vector<std::pair<int, Colour>> paints;  // MatrixPosition, colour
};

int ParseUserModeArgs(Context& ctx, bool withPaints, UserModeArgs& out) {
    std::string error;
    std::vector<std::string> rest;
    const auto flags = ParseFlags(ctx.args, {"profile", "mode"}, {}, withPaints ? &rest : nullptr, &error);
    if (!flags) return Fail(kExitUsage, error);
    const auto profile = ProfileFlag(*flags, &error);
    if (!profile) return Fail(kExitUsage, error);
    if (*profile < 0) return Fail(kExitUsage, "--profile P is needed (1 to 3)");
    out.profile = *profile;
    for (const Flag& f : *flags) {
        if (f.name != "mode") continue;
        const auto m = ParseInt(f.value, 0, 9);
        if (!m) return Fail(kExitUsage, "--mode takes 0 to 9, not '" + f.value + "'");
        out.mode = *m;
    }
    if (out.mode < 0) return Fail(kExitUsage, "--mode M is needed (0 to 9)");
    for (const std::string& a : rest) {
        const std::u16string arg = Utf8ToUtf16(a);
        const auto split = SplitKeyArgument(arg);
        if (!split) return Fail(kExitUsage, "expected KEY=RRGGBB, not '" + a + "'");
        const std::string key = Utf16ToUtf8(split->first);
        const std::string value = Utf16ToUtf8(split->second);
        const auto position = PaintablePosition(split->first, ctx.texts);
        if (!position) return Fail(kExitUsage, "unknown key name '" + key + "' (see vornakctl keys)");
        const auto colour = ParseHexColour(value);
        if (!colour) return Fail(kExitUsage, "the colour of " + key + " is RRGGBB, not '" + value + "'");
        out.paints.emplace_back(*position, *colour);
    }
    if (withPaints && out.paints.empty()) return Fail(kExitUsage, "paint needs at least one KEY=RRGGBB");
    return kExitOk;
}

// Checks the arguments, opens the keyboard, selects the mode (which sends its colours), then runs the rest of
// the command.
int WithUserMode(Context& ctx, bool withPaints,
                 const std::function<int(UserModes&, const UserModeArgs&)>& rest = nullptr) {
    UserModeArgs args;
    if (const int r = ParseUserModeArgs(ctx, withPaints, args); r != kExitOk) return r;
    KeyboardSession kb(ctx);
    if (const int r = kb.Open(); r != kExitOk) return r;
    UserModes modes(kb.link(), ctx.paths.userModePrefix);
    std::string error;
    if (!modes.SelectUserMode(args.profile, args.mode, &error)) return Fail(kExitFileWrite, error);
    return rest ? rest(modes, args) : kExitOk;
}

}  // namespace

int CmdUserMode(Context& ctx) {
    return WithUserMode(ctx, false);
}

int CmdPaint(Context& ctx) {
    return WithUserMode(ctx, true, [&ctx](UserModes& modes, const UserModeArgs& args) -> int {
        std::string error;
        // Paint with brush 0 (a colour of the key's own), then give the user's brushes back.
        const UserBrushes saved = modes.brushes();
        bool ok = modes.SelectTool(args.profile, 0, &error);
        for (const auto& [position, colour] : args.paints) {
            ok = ok && modes.SetColor(args.profile, colour, &error) &&
                 modes.PaintPosition(args.profile, position, &error);
        }
        ok = modes.SetColor(args.profile, saved.color, &error) && ok;
        ok = modes.SelectTool(args.profile, saved.tool, &error) && ok;
        if (!ok) return Fail(kExitFileWrite, error);
        if (!ctx.options.json) {
            for (const auto& [position, colour] : args.paints)
                std::printf("position %3d  %s\n", position, Hex(colour).c_str());
        }
        return kExitOk;
    });
}

}  // namespace vornak::cli
