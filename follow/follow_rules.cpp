#include "follow/follow_rules.h"

#include <algorithm>
#include <charconv>

#include "platform/file_io.h"
#include "platform/utf.h"

namespace vornak {

namespace {

// A rules file is a few lines; anything larger is no rules file.
constexpr uint64_t kMaxFileSize = 1 << 20;

bool ContainsIgnoreCase(std::u16string_view text, std::u16string_view part) {
    if (part.empty()) return true;
    if (part.size() > text.size()) return false;
    for (size_t i = 0; i + part.size() <= text.size(); ++i) {
        if (EqualsIgnoreCase(text.substr(i, part.size()), part)) return true;
    }
    return false;
}

std::optional<int> ParseProfileNumber(std::string_view text) {
    int n = 0;
    const auto* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, n);
    if (r.ec != std::errc() || r.ptr != end || n < 1 || n > 3) return std::nullopt;
    return n - 1;
}

std::string_view Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool Is(std::string_view a, std::u16string_view b) {
    return EqualsIgnoreCase(Utf8ToUtf16(a), b);
}

// A value can never add lines to the file.
std::string OneLine(std::u16string_view text) {
    std::string s = Utf16ToUtf8(text);
    std::replace_if(
        s.begin(), s.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    return s;
}

}  // namespace

std::optional<FollowMatch> MatchFollowRules(const FollowRules& rules, std::u16string_view app,
                                            std::u16string_view title) {
    for (bool withTitle : {true, false}) {
        for (size_t i = 0; i < rules.rules.size(); ++i) {
            const FollowRule& r = rules.rules[i];
            if (r.title.empty() == withTitle) continue;
            if (EqualsIgnoreCase(r.app, app) && ContainsIgnoreCase(title, r.title))
                return FollowMatch{r.profile, static_cast<int>(i)};
        }
    }
    if (rules.defaultProfile) return FollowMatch{*rules.defaultProfile, -1};
    return std::nullopt;
}

std::optional<FollowRules> ParseFollowRules(std::string_view text, std::string* error) {
    FollowRules out;
    enum class Section { None, Following, Rule } section = Section::None;
    bool sawFollowing = false;
    int lineNo = 0;
    int ruleLine = 0;
    const auto fail = [&](int line, const std::string& why) -> std::optional<FollowRules> {
        if (error) *error = "line " + std::to_string(line) + ": " + why;
        return std::nullopt;
    };
    const auto ruleDone = [&]() -> std::string {
        if (section != Section::Rule) return {};
        if (out.rules.back().app.empty()) return "the rule has no Application";
        if (out.rules.back().profile < 0) return "the rule has no Profile";
        return {};
    };
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    size_t pos = 0;
    while (pos < text.size()) {
        size_t eol = text.find('\n', pos);
        if (eol == std::string_view::npos) eol = text.size();
        const std::string_view line = Trim(text.substr(pos, eol - pos));
        pos = eol + 1;
        ++lineNo;
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (line.front() == '[') {
            if (line.back() != ']') return fail(lineNo, "a section name without its closing ']'");
            if (const auto why = ruleDone(); !why.empty()) return fail(ruleLine, why);
            const std::string_view name = Trim(line.substr(1, line.size() - 2));
            if (Is(name, u"Following")) {
                if (sawFollowing) return fail(lineNo, "a second [Following] section");
                sawFollowing = true;
                section = Section::Following;
            } else if (Is(name, u"Rule")) {
                section = Section::Rule;
                ruleLine = lineNo;
                out.rules.push_back(FollowRule{{}, {}, -1});
            } else {
                return fail(lineNo, "unknown section [" + std::string(name) + "]");
            }
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) return fail(lineNo, "neither a section nor a Key=value line");
        const std::string_view key = Trim(line.substr(0, eq));
        const std::string_view value = Trim(line.substr(eq + 1));
        if (section == Section::Following) {
            if (Is(key, u"On")) {
                if (Is(value, u"yes") || value == "1" || Is(value, u"true")) {
                    out.turnedOff = false;
                } else if (Is(value, u"no") || value == "0" || Is(value, u"false")) {
                    out.turnedOff = true;
                } else {
                    return fail(lineNo, "On is \"" + std::string(value) + "\", not yes or no");
                }
            } else if (Is(key, u"Default")) {
                if (Is(value, u"none") || value.empty()) {
                    out.defaultProfile.reset();
                } else if (const auto p = ParseProfileNumber(value)) {
                    out.defaultProfile = *p;
                } else {
                    return fail(lineNo, "Default is \"" + std::string(value) + "\", not 1, 2, 3 or none");
                }
            } else {
                return fail(lineNo, "unknown key \"" + std::string(key) + "\" in [Following]");
            }
        } else if (section == Section::Rule) {
            FollowRule& r = out.rules.back();
            if (Is(key, u"Application")) {
                r.app = Utf8ToUtf16(value);
            } else if (Is(key, u"Title")) {
                r.title = Utf8ToUtf16(value);
            } else if (Is(key, u"Profile")) {
                const auto p = ParseProfileNumber(value);
                if (!p) return fail(lineNo, "Profile is \"" + std::string(value) + "\", not 1, 2 or 3");
                r.profile = *p;
            } else {
                return fail(lineNo, "unknown key \"" + std::string(key) + "\" in [Rule]");
            }
        } else {
            return fail(lineNo, "a value outside of any section");
        }
    }
    if (const auto why = ruleDone(); !why.empty()) return fail(ruleLine, why);
    return out;
}

std::string SerializeFollowRules(const FollowRules& rules) {
    std::string s =
        "; Vornak: the keyboard's on-board profile for the application in front.\n"
        "; Application is a Wayland application id or an X11 WM_CLASS (case does not matter); Title, when\n"
        "; given, is a text the window title must contain. Profile is 1, 2 or 3. Default applies when no "
        "rule\n"
        "; matches: 1, 2, 3 or none (leave the profile as it is).\n"
        "\n[Following]\n";
    s += rules.turnedOff ? "On=no\n" : "On=yes\n";
    s += "Default=" +
         (rules.defaultProfile ? std::to_string(*rules.defaultProfile + 1) : std::string("none")) + "\n";
    for (const FollowRule& r : rules.rules) {
        s += "\n[Rule]\nApplication=" + OneLine(r.app) + "\n";
        if (!r.title.empty()) s += "Title=" + OneLine(r.title) + "\n";
        s += "Profile=" + std::to_string(r.profile + 1) + "\n";
    }
    return s;
}

std::filesystem::path FollowRulesFile(const std::filesystem::path& configDir) {
    return configDir / "vornak-applications.ini";
}

std::optional<FollowRules> LoadFollowRules(const std::filesystem::path& file, std::string* error) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec) && !ec) return FollowRules{};
    std::string why;
    const auto bytes = ReadWholeFile(file, &why, kMaxFileSize);
    if (!bytes) {
        if (error) *error = why;
        return std::nullopt;
    }
    auto rules =
        ParseFollowRules(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), &why);
    if (!rules) {
        if (error) *error = "The rules file " + file.string() + " is damaged (" + why + "); it is not used.";
        return std::nullopt;
    }
    return rules;
}

bool SaveFollowRules(const std::filesystem::path& file, const FollowRules& rules, std::string* error) {
    const std::string text = SerializeFollowRules(rules);
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    return WriteFileAtomic(file, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()),
                           error);
}

void SetFollowRule(FollowRules& rules, const FollowRule& rule) {
    for (FollowRule& r : rules.rules) {
        if (EqualsIgnoreCase(r.app, rule.app) && EqualsIgnoreCase(r.title, rule.title)) {
            r.profile = rule.profile;
            return;
        }
    }
    rules.rules.push_back(rule);
}

int RemoveFollowRules(FollowRules& rules, std::u16string_view app) {
    return static_cast<int>(
        std::erase_if(rules.rules, [app](const FollowRule& r) { return EqualsIgnoreCase(r.app, app); }));
}

}  // namespace vornak
