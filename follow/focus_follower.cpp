#include "follow/focus_follower.h"

#include <algorithm>

#include "platform/text_format.h"
#include "platform/utf.h"

namespace vornak {

FocusFollower::FocusFollower(FollowHost& host, std::function<int64_t()> clockMs)
    : host_(host), clock_(std::move(clockMs)) {}

void FocusFollower::SetRules(FollowRules rules) {
    rules_ = std::move(rules);
    if (focused_ && !byHand_) Decide();
}

void FocusFollower::ActiveWindowChanged(std::u16string_view app, std::u16string_view title) {
    for (const auto& own : own_) {
        if (EqualsIgnoreCase(own, app)) return;
    }
    if (focused_ && app == app_ && title == title_) return;
    focused_ = true;
    app_ = app;
    title_ = title;
    Remember(app);
    if (byHand_) {
        byHand_ = false;
        status_.byHand = false;
        host_.FollowStatusChanged();
    }
    // Each new window starts the wait again, so a window passed on the way never switches anything.
    state_ = State::Settling;
    settledAt_ = clock_() + kSettleMs;
}

void FocusFollower::ActiveTitleChanged(std::u16string_view title) {
    if (!focused_ || title == title_) return;
    title_ = title;
    if (byHand_) return;
    // A title that keeps changing (a clock, a progress figure) must not put the decision off for ever.
    if (state_ != State::Settling) {
        state_ = State::Settling;
        settledAt_ = clock_() + kSettleMs;
    }
}

void FocusFollower::HandSwitch() {
    byHand_ = true;
    state_ = State::Idle;
    status_.byHand = true;
    status_.profile = -1;
    host_.FollowStatusChanged();
}

void FocusFollower::Recheck() {
    if (state_ == State::Waiting) Decide();
}

void FocusFollower::SwitchFinished() {
    switching_ = false;
    Recheck();
}

void FocusFollower::Poll() {
    if (state_ == State::Settling && clock_() >= settledAt_) Decide();
}

std::optional<int64_t> FocusFollower::dueAt() const {
    if (state_ != State::Settling) return std::nullopt;
    return settledAt_;
}

void FocusFollower::Decide() {
    state_ = State::Idle;
    if (!rules_.following()) return;
    const auto match = MatchFollowRules(rules_, app_, title_);
    if (!match) return;
    const int current = host_.KeyboardProfile();
    if (host_.SwitchesHeld() || current < 0 || switching_) {
        state_ = State::Waiting;
        return;
    }
    status_ = FollowStatus{app_, std::nullopt, match->profile, false};
    if (match->rule >= 0) status_.rule = rules_.rules[static_cast<size_t>(match->rule)];
    // The keyboard keeps a profile it already has: no settings write at all.
    if (current != match->profile) {
        switching_ = true;
        host_.SwitchProfile(match->profile);
    }
    host_.FollowStatusChanged();
}

void FocusFollower::Remember(std::u16string_view app) {
    std::erase_if(seen_, [app](const std::u16string& s) { return EqualsIgnoreCase(s, app); });
    seen_.insert(seen_.begin(), std::u16string(app));
    if (seen_.size() > kSeenMax) seen_.resize(kSeenMax);
}

std::u16string DescribeFollowStatus(const FocusFollower& follower, std::u16string_view ruleFormat,
                                    std::u16string_view defaultFormat) {
    const FollowStatus& s = follower.status();
    if (s.profile < 0 || s.byHand) return {};
    const int64_t profile = s.profile + 1;
    if (!s.rule) return FormatText(defaultFormat, {std::u16string_view(s.app), profile});
    std::u16string rule = s.rule->app;
    if (!s.rule->title.empty()) rule += u" \"" + s.rule->title + u"\"";
    return FormatText(ruleFormat, {std::u16string_view(s.app), profile, std::u16string_view(rule)});
}

}  // namespace vornak
