// The keyboard's profile following the application in front. The focus sources (X11, wlroots, the desktop
// scripts through the D-Bus service) report each window that gets the focus; once a window has kept it for
// 300 ms the rules decide its profile, and the program's own profile switch makes it. Windows passed on the
// way (Alt+Tab) switch nothing. Never behind the user's back: while the window has unapplied edits or a
// dialog is open the switch waits, and a switch made by hand stands until the focus moves again. UI thread
// only; time comes from the clock it is given, and the view arms one timer at dueAt().
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "follow/follow_rules.h"

namespace vornak {

// The program as the follower sees it.
class FollowHost {
  public:
    virtual ~FollowHost() = default;
    // Unapplied edits in the window, or a dialog open: no switch now.
    virtual bool SwitchesHeld() const = 0;
    // The keyboard's profile as far as the program knows; -1 without a keyboard or while unknown.
    virtual int KeyboardProfile() const = 0;
    // The program's own profile switch (a device job).
    virtual void SwitchProfile(int profile) = 0;
    // What status() says has changed (the tray's tooltip).
    virtual void FollowStatusChanged() = 0;
};

// What set the keyboard's profile last, for the tray's tooltip.
struct FollowStatus {
    std::u16string app;              // the window's application; empty before the first decision
    std::optional<FollowRule> rule;  // the rule that matched; nothing: the default
    int profile = -1;     // the profile it gave; -1: nothing set by following (or a hand switch since)
    bool byHand = false;  // the user switched by hand; it stands until the focus moves
};

class FocusFollower {
  public:
    static constexpr int64_t kSettleMs = 300;
    // How many applications seen since start are kept for the rules dialog's Add.
    static constexpr size_t kSeenMax = 32;

    FocusFollower(FollowHost& host, std::function<int64_t()> clockMs);

    // New rules (loaded, or edited): the focused window is judged again by them at once, as they are the
    // user's own wish; nothing happens during a hand switch.
    void SetRules(FollowRules rules);
    const FollowRules& rules() const { return rules_; }
    bool following() const { return rules_.following(); }
    // Windows of these applications (the program's own) are no focus change: opening Vornak to look at the
    // profile must not switch it.
    void SetOwnApplications(std::vector<std::u16string> apps) { own_ = std::move(apps); }

    // Another window got the focus. The entry point of every focus source, and of the D-Bus service's method.
    // The same application and title reported again is no change.
    void ActiveWindowChanged(std::u16string_view app, std::u16string_view title);
    // The focused window's title changed: it is judged again after settling, unless a hand switch stands.
    void ActiveTitleChanged(std::u16string_view title);
    // The user switched the profile by hand (buttons, scene menu, vornakctl profile).
    void HandSwitch();
    // Edits were applied or dropped, a dialog closed, the keyboard came or its profile is known: a switch
    // that waited is made now when nothing holds it any more.
    void Recheck();
    // A profile switch has ended (any switch: the program tells of each). The follower makes one switch at a
    // time, so a window that settles while its switch runs is judged on the profile the keyboard then has.
    void SwitchFinished();
    // The timer armed at dueAt() fired (an early or late call is harmless).
    void Poll();

    // When Poll must run next; nothing while no window is settling (also while a switch waits for Recheck).
    std::optional<int64_t> dueAt() const;
    // A switch is decided and waits for edits, a dialog or the keyboard.
    bool waiting() const { return state_ == State::Waiting; }
    const FollowStatus& status() const { return status_; }
    // The focused window as reported last.
    const std::u16string& focusedApp() const { return app_; }
    const std::u16string& focusedTitle() const { return title_; }
    // Applications seen since start, the most recent first.
    const std::vector<std::u16string>& seenApplications() const { return seen_; }

  private:
    enum class State { Idle, Settling, Waiting };

    void Decide();
    void Remember(std::u16string_view app);

    FollowHost& host_;
    std::function<int64_t()> clock_;
    FollowRules rules_;
    std::vector<std::u16string> own_;
    std::vector<std::u16string> seen_;
    std::u16string app_;
    std::u16string title_;
    bool focused_ = false;
    bool byHand_ = false;
    bool switching_ = false;  // our switch's job is under way
    State state_ = State::Idle;
    int64_t settledAt_ = 0;
    FollowStatus status_;
};

// The tooltip's line on what set the keyboard's profile: ruleFormat gets the application, the profile (1..3)
// and the rule ("app" or "app "title""), defaultFormat the application and the profile. Empty when following
// set nothing, or the user switched by hand since.
std::u16string DescribeFollowStatus(const FocusFollower& follower, std::u16string_view ruleFormat,
                                    std::u16string_view defaultFormat);

}  // namespace vornak
