// The Applications dialog without a window: the rules file as its rows, and every edit the user makes written
// to the file at once (the follower reads it again through its watch). A file that is damaged is shown as
// refused and left alone: the dialog edits nothing until the user has mended it by hand.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "follow/follow_rules.h"

namespace vornak {

class RulesEditor {
  public:
    explicit RulesEditor(std::filesystem::path file) : file_(std::move(file)) {}

    // Reads the file anew; false when it is damaged (lastError() names it) and nothing may be edited.
    bool Load();
    bool editable() const { return editable_; }
    const FollowRules& rules() const { return rules_; }
    const std::filesystem::path& file() const { return file_; }

    // Adds the rule, or gives the same application and title text the new profile; the row it is in, or -1
    // when refused (an empty application, a profile outside 0..2, the file not written).
    int Add(std::u16string_view app, std::u16string_view title, int profile);
    // Removes one row (that rule only, not the application's others).
    bool Remove(int row);
    // The profile when no rule matches (0..2), nothing: leave it as it is.
    bool SetDefault(std::optional<int> profile);
    bool SetOn(bool on);

    // What Add offers: the applications seen since start (most recent first) that no rule names without a
    // title text yet, each once.
    std::vector<std::u16string> AddChoices(const std::vector<std::u16string>& seen) const;

    const std::string& lastError() const { return error_; }

  private:
    bool Save(FollowRules next);

    std::filesystem::path file_;
    FollowRules rules_;
    bool editable_ = false;
    std::string error_;
};

}  // namespace vornak
