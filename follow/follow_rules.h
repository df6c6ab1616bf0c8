// The rules that give an application one of the keyboard's on-board profiles, and the file that keeps them.
// An application is its Wayland application id or its X11 WM_CLASS, compared without regard to case; a rule
// may also ask for a text in the window title. The file is an INI file of its own in the user's config
// folder, meant to be read and edited by hand, so it is read strictly: a line the program does not understand
// makes the whole file refused, with the line named, rather than half of it silently used.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vornak {

struct FollowRule {
    std::u16string app;    // application id or WM_CLASS; never empty
    std::u16string title;  // a text the window title must contain; empty: any title
    int profile = 0;       // on-board profile 0..2 (1..3 in the file and for the user)
};

struct FollowRules {
    std::vector<FollowRule> rules;
    std::optional<int> defaultProfile;  // 0..2 when no rule matches; nothing: leave the profile as it is
    bool turnedOff = false;             // the user's off switch

    // Following is on when rules exist and the user has not turned it off.
    bool following() const { return !rules.empty() && !turnedOff; }
};

// Which profile the window gets. rule is the index of the rule that matched, -1 for the default.
struct FollowMatch {
    int profile = 0;
    int rule = -1;
};

// A rule with a title text is tried before those without, so "firefox" with "YouTube" can stand beside a
// plain "firefox"; among equals the first in the list wins. Nothing when no rule matches and there is no
// default.
std::optional<FollowMatch> MatchFollowRules(const FollowRules& rules, std::u16string_view app,
                                            std::u16string_view title);

// The file's text and back. Parse fails with "line N: reason" in *error.
std::optional<FollowRules> ParseFollowRules(std::string_view text, std::string* error);
std::string SerializeFollowRules(const FollowRules& rules);

// "<config>/vornak-applications.ini"
std::filesystem::path FollowRulesFile(const std::filesystem::path& configDir);

// A missing file is no rules at all. A damaged one is refused with one sentence naming the file and the line.
std::optional<FollowRules> LoadFollowRules(const std::filesystem::path& file, std::string* error);
bool SaveFollowRules(const std::filesystem::path& file, const FollowRules& rules, std::string* error);

// Edits as the user names them (the command line and the dialog). Profiles are 0..2.
// Adds a rule, or gives the existing rule of the same application and title text the new profile.
void SetFollowRule(FollowRules& rules, const FollowRule& rule);
// Removes every rule of the application (any title text); the number removed.
int RemoveFollowRules(FollowRules& rules, std::u16string_view app);

}  // namespace vornak
