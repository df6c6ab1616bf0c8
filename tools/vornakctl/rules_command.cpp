// vornakctl rules: the rules that give an application one of the keyboard's profiles. They live in their own
// file in the user's config folder; a running Vornak watches it and follows every change at once.
#include <cstdio>

#include "follow/follow_rules.h"
#include "platform/utf.h"
#include "tools/vornakctl/cli.h"
#include "tools/vornakctl/json.h"

namespace vornak::cli {

namespace {

std::optional<int> ProfileArg(const std::string& s) {
    if (s == "1" || s == "2" || s == "3") return s[0] - '1';
    return std::nullopt;
}

int List(const FollowRules& rules, const std::filesystem::path& file, bool json) {
    if (json) {
        std::string out = "{\"file\": " + JsonString(file.string()) +
                          ", \"following\": " + (rules.following() ? "true" : "false") +
                          ", \"turned_off\": " + (rules.turnedOff ? "true" : "false") + ", \"default\": " +
                          (rules.defaultProfile ? std::to_string(*rules.defaultProfile + 1) : "null") +
                          ", \"rules\": [";
        for (size_t i = 0; i < rules.rules.size(); ++i) {
            const FollowRule& r = rules.rules[i];
            out += (i ? ", " : "") + std::string("{\"application\": ") + JsonString(Utf16ToUtf8(r.app)) +
                   ", \"title\": " + JsonString(Utf16ToUtf8(r.title)) +
                   ", \"profile\": " + std::to_string(r.profile + 1) + "}";
        }
        std::printf("%s]}\n", out.c_str());
        return kExitOk;
    }
    std::printf("following: %s\n", rules.following() ? "on"
                                   : rules.turnedOff ? "off (turned off)"
                                                     : "off (no rules)");
    std::printf("default: %s\n", rules.defaultProfile ? std::to_string(*rules.defaultProfile + 1).c_str()
                                                      : "none (left as it is)");
    for (const FollowRule& r : rules.rules) {
        std::string line = Utf16ToUtf8(r.app);
        if (!r.title.empty()) line += " --title \"" + Utf16ToUtf8(r.title) + "\"";
        std::printf("%s -> %d\n", line.c_str(), r.profile + 1);
    }
    return kExitOk;
}

}  // namespace

int CmdRules(Context& ctx) {
    const std::filesystem::path file = FollowRulesFile(ctx.paths.appProfile.parent_path());
    std::vector<std::string> args;
    std::string title;
    bool hasTitle = false;
    for (size_t i = 0; i < ctx.args.size(); ++i) {
        const std::string& a = ctx.args[i];
        if (a == "--title" || a.starts_with("--title=")) {
            if (a == "--title" && i + 1 >= ctx.args.size()) return Fail(kExitUsage, "--title needs a TEXT");
            title = a == "--title" ? ctx.args[++i] : a.substr(8);
            hasTitle = true;
        } else if (a == "--") {
            args.insert(args.end(), ctx.args.begin() + static_cast<long>(i) + 1, ctx.args.end());
            break;
        } else if (a.starts_with("--")) {
            return Fail(kExitUsage, "unknown option '" + a + "' (see vornakctl rules --help)");
        } else {
            args.push_back(a);
        }
    }
    const std::string sub = args.empty() ? "list" : args[0];
    const size_t want = sub == "add" ? 3 : sub == "remove" || sub == "default" ? 2 : 1;
    if (!args.empty() && args.size() != want)
        return Fail(kExitUsage, "rules " + sub + ": wrong number of arguments (see vornakctl rules --help)");
    if (hasTitle && sub != "add") return Fail(kExitUsage, "--title goes only with rules add");

    std::string error;
    auto rules = LoadFollowRules(file, &error);
    // A damaged file is the user's own writing: it is never overwritten, only named.
    if (!rules) return Fail(kExitFileRejected, error);
    if (sub == "list") return List(*rules, file, ctx.options.json);

    if (sub == "add") {
        const auto profile = ProfileArg(args[2]);
        if (!profile) return Fail(kExitUsage, "rules add: the profile is 1, 2 or 3, not '" + args[2] + "'");
        if (args[1].empty()) return Fail(kExitUsage, "rules add: the application is empty");
        SetFollowRule(*rules, {Utf8ToUtf16(args[1]), Utf8ToUtf16(title), *profile});
    } else if (sub == "remove") {
        if (RemoveFollowRules(*rules, Utf8ToUtf16(args[1])) == 0)
            return Fail(kExitFailed, "rules remove: no rule for '" + args[1] + "'");
    } else if (sub == "default") {
        if (args[1] == "none") {
            rules->defaultProfile.reset();
        } else if (const auto p = ProfileArg(args[1])) {
            rules->defaultProfile = *p;
        } else {
            return Fail(kExitUsage, "rules default: 1, 2, 3 or none, not '" + args[1] + "'");
        }
    } else if (sub == "on" || sub == "off") {
        rules->turnedOff = sub == "off";
    } else {
        return Fail(kExitUsage, "unknown rules command '" + sub + "' (see vornakctl rules --help)");
    }
    if (!SaveFollowRules(file, *rules, &error)) return Fail(kExitFileWrite, error);
    if (sub == "on" && rules->rules.empty()) Note("following stays off until a rule is added");
    return kExitOk;
}

}  // namespace vornak::cli
