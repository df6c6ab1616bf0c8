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
#include "program/outside_work.h"
#include "tools/vornakctl/arguments.h"
#include "tools/vornakctl/json.h"
#include "tools/vornakctl/keyboard_session.h"
#include "tools/vornakctl/program_bus.h"

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

int Finish(const OutsideResult& r) {
    return r.ok() ? kExitOk : Fail(r.code, r.message);
}

// The command's keyboard work: through the running program when one runs on this keyboard, else on a
// session of its own. program gets the program's work, own the session's (with the keyboard open).
int RunKeyboardWork(Context& ctx, const std::function<OutsideResult(ProgramBus&)>& program,
                    const std::function<OutsideResult(KeyboardSession&, DeviceContext&)>& own,
                    bool* throughProgram = nullptr, uint32_t* programPid = nullptr) {
    if (auto bus = ProgramBus::Find(ctx.options)) {
        if (throughProgram) *throughProgram = true;
        if (programPid) *programPid = bus->pid();
        return Finish(program(*bus));
    }
    if (throughProgram) *throughProgram = false;
    KeyboardSession kb(ctx);
    if (const int r = kb.Open(); r != kExitOk) return r;
    DeviceContext c{kb.link(), kb.store(), kb.transfer(), kb.files(), ctx.texts, &kb.lighting()};
    return Finish(own(kb, c));
}

}  // namespace

int CmdStatus(Context& ctx) {
    if (!ctx.args.empty()) return Fail(kExitUsage, "status takes no arguments");
    KeyboardStatus st;
    bool through = false;
    uint32_t pid = 0;
    const int r = RunKeyboardWork(
        ctx, [&st](ProgramBus& bus) { return bus.Status(st); },
        [&st](KeyboardSession& kb, DeviceContext& c) {
            OutsideResult out = RunStatus(c, st);
            st.keyboards = kb.deviceCount();
            return out;
        },
        &through, &pid);
    if (r != kExitOk) return r;
    const std::string owner =
        through ? "the running program (pid " + std::to_string(pid) + ")" : "this command";
    if (ctx.options.json) {
        std::printf(
            "{\"keyboards\": %d, \"profile\": %d, \"macroMemory\": %u, \"layer\": \"%s\", "
            "\"throughProgram\": %s, \"following\": %s, \"effects\": [",
            st.keyboards, st.profile < 0 ? 0 : st.profile + 1, st.macroMemory, st.layerB ? "B" : "A",
            through ? "true" : "false", JsonString(st.following).c_str());
        for (size_t i = 0; i < st.effects.size(); ++i) {
            std::printf("%s{\"number\": %d, \"name\": %s}", i ? ", " : "", st.effects[i].first,
                        JsonString(st.effects[i].second).c_str());
        }
        std::printf("]}\n");
        return kExitOk;
    }
    std::printf("keyboards:     %d\n", st.keyboards);
    if (st.profile < 0) {
        std::printf("profile:       unknown\n");
    } else {
        std::printf("profile:       %d\n", st.profile + 1);
    }
    std::printf("macro memory:  %u bytes\n", st.macroMemory);
    std::printf("G-key layer:   %s\n", st.layerB ? "B" : "A");
    std::printf("effects:      ");
    for (size_t i = 0; i < st.effects.size(); ++i) {
        std::printf(" %d %s%s", st.effects[i].first, st.effects[i].second.c_str(),
                    i + 1 < st.effects.size() ? "," : "\n");
    }
    if (st.effects.empty()) std::printf(" none reported\n");
    std::printf("opened by:     %s\n", owner.c_str());
    if (!st.following.empty()) std::printf("profile follows the window in front: %s\n", st.following.c_str());
    return kExitOk;
}

int CmdCapture(Context& ctx) {
    if (ctx.args.size() != 1) return Fail(kExitUsage, "capture takes one FILE");
    std::error_code ec;
    // Absolute: the running program works in a folder of its own.
    const fs::path file = fs::absolute(ctx.args[0], ec);
    const fs::path folder = file.parent_path();
    if (!fs::is_directory(folder, ec)) {
        const fs::path given = fs::path(ctx.args[0]).parent_path();
        return Fail(kExitFileWrite, (given.empty() ? fs::path(".") : given).string() + ": no such folder");
    }
    const int r = RunKeyboardWork(
        ctx, [&file](ProgramBus& bus) { return bus.Capture(file); },
        [&file](KeyboardSession&, DeviceContext& c) { return RunCapture(c, file); });
    if (r == kExitOk && !ctx.options.json)
        std::printf("%s: the keyboard's configuration\n", ctx.args[0].c_str());
    return r;
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
    std::error_code ec;
    const fs::path absolute = fs::absolute(file, ec);
    const bool force = ctx.options.force;
    const int r = RunKeyboardWork(
        ctx, [&](ProgramBus& bus) { return bus.Apply(absolute, force); },
        [&](KeyboardSession&, DeviceContext& c) { return RunApplyFile(c, file); });
    if (r == kExitOk && !ctx.options.json)
        std::printf("%s: sent to all three profiles\n", file.string().c_str());
    return r;
}

int CmdProfile(Context& ctx) {
    if (ctx.args.size() != 1) return Fail(kExitUsage, "profile takes one number, 1 to 3");
    const auto p = ParseInt(ctx.args[0], 1, 3);
    if (!p) return Fail(kExitUsage, "the profile is 1, 2 or 3, not '" + ctx.args[0] + "'");
    const int profile = *p - 1;
    const bool force = ctx.options.force;
    return RunKeyboardWork(
        ctx, [&](ProgramBus& bus) { return bus.SwitchProfile(profile, force); },
        [&](KeyboardSession& kb, DeviceContext&) {
            return kb.transfer().SetCurrentProfile(profile)
                       ? OutsideResult{}
                       : OutsideResult{kExitFailed, "the keyboard did not switch its profile"};
        });
}

int CmdLighting(Context& ctx) {
    std::string error;
    const auto flags = ParseFlags(
        ctx.args, {"profile", "effect", "brightness", "speed", "direction", "colour", "color", "colourful"},
        {"defaults"}, nullptr, &error);
    if (!flags) return Fail(kExitUsage, error);
    const auto profile = ProfileFlag(*flags, &error);
    if (!profile) return Fail(kExitUsage, error);
    std::vector<LightingStep> steps;
    for (const Flag& f : *flags) {
        if (f.name != "profile") steps.push_back(LightingStep{f.name, f.value});
    }
    // Every value is checked before anything is sent.
    if (const std::string bad = CheckLightingSteps(steps); !bad.empty()) return Fail(kExitUsage, bad);
    const int p = *profile;
    return RunKeyboardWork(
        ctx, [&](ProgramBus& bus) { return bus.Lighting(p, steps); },
        [&](KeyboardSession&, DeviceContext& c) { return RunLightingSteps(c, p, steps); });
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

// Checks the arguments, then selects the mode (which sends its colours) and paints the keys given.
int WithUserMode(Context& ctx, bool withPaints) {
    UserModeArgs args;
    if (const int r = ParseUserModeArgs(ctx, withPaints, args); r != kExitOk) return r;
    const int r = RunKeyboardWork(
        ctx, [&](ProgramBus& bus) { return bus.UserMode(args.profile, args.mode, args.paints); },
        [&](KeyboardSession&, DeviceContext& c) {
            return RunUserMode(c, ctx.paths.userModePrefix, args.profile, args.mode, args.paints);
        });
    if (r == kExitOk && !ctx.options.json) {
        for (const auto& [position, colour] : args.paints)
            std::printf("position %3d  %s\n", position, Hex(colour).c_str());
    }
    return r;
}

}  // namespace

int CmdUserMode(Context& ctx) {
    return WithUserMode(ctx, false);
}

int CmdPaint(Context& ctx) {
    return WithUserMode(ctx, true);
}

}  // namespace vornak::cli
