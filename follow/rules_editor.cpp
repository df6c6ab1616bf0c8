#include "follow/rules_editor.h"

#include <algorithm>

#include "platform/utf.h"

namespace vornak {

namespace {

// The file keeps one line per value and trims it, so the dialog stores what reading it back would give.
std::u16string Clean(std::u16string_view text) {
    std::u16string s(text);
    std::replace_if(
        s.begin(), s.end(), [](char16_t c) { return c == u'\n' || c == u'\r' || c == u'\t'; }, u' ');
    const auto blank = [](char16_t c) { return c == u' '; };
    while (!s.empty() && blank(s.back()))
        s.pop_back();
    const auto first = std::find_if_not(s.begin(), s.end(), blank);
    s.erase(s.begin(), first);
    return s;
}

}  // namespace

bool RulesEditor::Load() {
    error_.clear();
    auto loaded = LoadFollowRules(file_, &error_);
    editable_ = loaded.has_value();
    rules_ = loaded ? std::move(*loaded) : FollowRules{};
    return editable_;
}

bool RulesEditor::Save(FollowRules next) {
    if (!editable_) return false;
    error_.clear();
    if (!SaveFollowRules(file_, next, &error_)) return false;
    rules_ = std::move(next);
    return true;
}

int RulesEditor::Add(std::u16string_view app, std::u16string_view title, int profile) {
    const FollowRule rule{Clean(app), Clean(title), profile};
    if (rule.app.empty() || profile < 0 || profile > 2) return -1;
    FollowRules next = rules_;
    SetFollowRule(next, rule);
    if (!Save(std::move(next))) return -1;
    for (size_t i = 0; i < rules_.rules.size(); ++i) {
        const FollowRule& r = rules_.rules[i];
        if (EqualsIgnoreCase(r.app, rule.app) && EqualsIgnoreCase(r.title, rule.title))
            return static_cast<int>(i);
    }
    return -1;
}

bool RulesEditor::Remove(int row) {
    if (row < 0 || row >= static_cast<int>(rules_.rules.size())) return false;
    FollowRules next = rules_;
    next.rules.erase(next.rules.begin() + row);
    return Save(std::move(next));
}

bool RulesEditor::SetDefault(std::optional<int> profile) {
    if (profile && (*profile < 0 || *profile > 2)) return false;
    FollowRules next = rules_;
    next.defaultProfile = profile;
    return Save(std::move(next));
}

bool RulesEditor::SetOn(bool on) {
    FollowRules next = rules_;
    next.turnedOff = !on;
    return Save(std::move(next));
}

std::vector<std::u16string> RulesEditor::AddChoices(const std::vector<std::u16string>& seen) const {
    std::vector<std::u16string> out;
    for (const auto& app : seen) {
        const auto same = [&](std::u16string_view other) { return EqualsIgnoreCase(other, app); };
        const bool ruled = std::any_of(rules_.rules.begin(), rules_.rules.end(),
                                       [&](const FollowRule& r) { return r.title.empty() && same(r.app); });
        if (!ruled && std::none_of(out.begin(), out.end(), same)) out.push_back(app);
    }
    return out;
}

}  // namespace vornak
