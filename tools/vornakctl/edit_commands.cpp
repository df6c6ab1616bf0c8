// Commands that edit or compare profile files: no keyboard needed.
#include <cstdio>

#include "assign/assign_text.h"
#include "assign/config_edits.h"
#include "platform/utf.h"
#include "profile/profile_diff.h"
#include "tools/vornakctl/arguments.h"
#include "tools/vornakctl/cli.h"
#include "tools/vornakctl/json.h"
#include "tools/vornakctl/output.h"

namespace vornak::cli {

int CmdActions(Context& ctx) {
    if (!ctx.args.empty()) return Fail(kExitUsage, "actions takes no arguments");
    const auto list = [&](const char* title, const char* kind, auto names, auto shown) {
        if (ctx.options.json) {
            std::printf("\"%s\": [", kind);
        } else {
            std::printf("%s (%s:NAME)\n", title, kind);
        }
        for (size_t row = 0; row < names.size(); ++row) {
            const std::string name = U8(names[row]);
            const std::string text = U8(shown(row));
            if (ctx.options.json) {
                std::printf("%s\n  {\"row\": %zu, \"name\": %s, \"text\": %s}", row ? "," : "", row,
                            JsonString(name).c_str(), JsonString(text).c_str());
            } else {
                std::printf("  %-16s %s\n", name.c_str(), text.c_str());
            }
        }
        if (ctx.options.json) std::printf("\n]");
    };
    if (ctx.options.json) std::printf("{");
    list("Media actions", "media", kMediaActionNames,
         [&](size_t r) { return KeyCodeName(kMediaActionTable[r].code, ctx.texts); });
    std::printf(ctx.options.json ? ", " : "\n");
    list("Functions", "function", kFunctionActionNames,
         [&](size_t r) { return ctx.texts[kFunctionKeyTable[r]]; });
    if (ctx.options.json) std::printf("}\n");
    return kExitOk;
}

int CmdAssign(Context& ctx) {
    std::string error;
    std::vector<std::string> rest;
    const auto flags = ParseFlags(ctx.args, {"profile"}, {}, &rest, &error);
    if (!flags) return Fail(kExitUsage, error);
    std::vector<int> profiles;
    for (const Flag& f : *flags) {
        if (f.value == "all") {
            profiles = {0, 1, 2};
        } else if (const auto p = ParseInt(f.value, 1, kProfileCount)) {
            profiles = {*p - 1};
        } else {
            return Fail(kExitUsage, "--profile takes 1, 2, 3 or all, not '" + f.value + "'");
        }
    }
    if (profiles.empty()) return Fail(kExitUsage, "--profile P is needed (1, 2, 3 or all)");
    if (rest.size() < 2) return Fail(kExitUsage, "assign takes FILE and at least one KEY=ACTION");
    const std::string& file = rest[0];
    auto copy = LoadProfile(file, &error);
    if (!copy) return Fail(kExitFileRejected, error);

    std::vector<KeyAssignment> assignments;
    EditProblem problem;
    for (size_t i = 1; i < rest.size(); ++i) {
        const auto a = ParseKeyAssignment(Utf8ToUtf16(rest[i]), copy->macros, ctx.texts, &problem);
        if (!a) return Fail(problem);
        assignments.push_back(*a);
    }
    for (int p : profiles) {
        if (!AssignKeys(*copy, p, assignments, ctx.texts, &problem)) return Fail(problem);
    }
    if (const int r = SaveProfile(file, *copy); r != kExitOk) return r;
    if (!ctx.options.json) {
        for (int p : profiles) {
            std::printf("%s: profile %d:", file.c_str(), p + 1);
            for (const KeyAssignment& a : assignments) {
                const std::string action =
                    U8(ActionText(copy->image.entry(p, a.slot), copy->macros, ctx.texts));
                std::printf(" %s", ShellWord(KeyName(a.slot, ctx.texts) + "=" + action).c_str());
            }
            std::printf("\n");
        }
    }
    return kExitOk;
}

namespace {

std::string MacroSummary(const MacroRecord& m, const LanguageTexts& texts) {
    return "repeat " + std::to_string(m.cycles) + ": " + StepsText(m.Actions(), texts);
}

std::string MacroJson(const MacroRecord* m, const LanguageTexts& texts) {
    if (m == nullptr) return "null";
    return "{\"id\": " + std::to_string(m->id) + ", \"repeat\": " + std::to_string(m->cycles) +
           ", \"steps\": " + StepsJson(m->Actions(), texts) + "}";
}

}  // namespace

int CmdDiff(Context& ctx) {
    if (ctx.args.size() != 2) return Fail(kExitUsage, "diff takes two FILEs");
    std::string error;
    const auto a = LoadProfile(ctx.args[0], &error);
    if (!a) return Fail(kExitFileRejected, error);
    const auto b = LoadProfile(ctx.args[1], &error);
    if (!b) return Fail(kExitFileRejected, error);
    const ProfileDiff diff = DiffProfiles(*a, *b, ctx.texts);
    const bool json = ctx.options.json;
    if (json) std::printf("{\"keys\": [");
    int shownProfile = -1;
    for (size_t i = 0; i < diff.keys.size(); ++i) {
        const KeyDifference& k = diff.keys[i];
        const std::string key = KeyName(k.slot, ctx.texts);
        if (json) {
            std::printf("%s\n  {\"profile\": %d, \"key\": %s, \"slot\": %d, \"a\": %s, \"b\": %s}",
                        i ? "," : "", k.profile + 1, JsonString(key).c_str(), k.slot,
                        JsonString(U8(k.before)).c_str(), JsonString(U8(k.after)).c_str());
            continue;
        }
        if (k.profile != shownProfile) std::printf("Profile %d\n", k.profile + 1);
        shownProfile = k.profile;
        std::printf("  %-20s %s -> %s\n", key.c_str(), U8(k.before).c_str(), U8(k.after).c_str());
    }
    if (json) std::printf("%s], \"macros\": [", diff.keys.empty() ? "" : "\n");
    if (!json && !diff.macros.empty()) std::printf("Macros\n");
    for (size_t i = 0; i < diff.macros.size(); ++i) {
        const MacroDifference& m = diff.macros[i];
        const MacroRecord& named = m.before != nullptr ? *m.before : *m.after;
        const std::string name = U8(named.Name());
        if (json) {
            std::printf("%s\n  {\"name\": %s, \"a\": %s, \"b\": %s}", i ? "," : "", JsonString(name).c_str(),
                        MacroJson(m.before, ctx.texts).c_str(), MacroJson(m.after, ctx.texts).c_str());
        } else if (m.after == nullptr) {
            std::printf("  - %s  only in %s\n", ShellWord(name).c_str(), ctx.args[0].c_str());
        } else if (m.before == nullptr) {
            std::printf("  + %s  only in %s, %s\n", ShellWord(name).c_str(), ctx.args[1].c_str(),
                        MacroSummary(*m.after, ctx.texts).c_str());
        } else {
            std::printf("  ~ %s  %s -> %s\n", ShellWord(name).c_str(),
                        MacroSummary(*m.before, ctx.texts).c_str(),
                        MacroSummary(*m.after, ctx.texts).c_str());
        }
    }
    if (json) std::printf("%s]}\n", diff.macros.empty() ? "" : "\n");
    return diff.empty() ? kExitOk : kExitDiffers;
}

}  // namespace vornak::cli
