// The profile following the application in front: the rules and their file, the settling, the pause and the
// hand switch, driven with a clock that moves only when told.
#include "follow/focus_follower.h"

#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "tests/support/temp_dir.h"

namespace vornak {
namespace {

using test::TempDir;

FollowRules SomeRules(std::optional<int> def = std::nullopt) {
    FollowRules r;
    r.rules = {{u"Firefox", u"", 1}, {u"firefox", u"YouTube", 2}, {u"code", u"", 2}};
    r.defaultProfile = def;
    return r;
}

TEST(FollowRules, MatchIgnoresCaseTriesTitlesFirstThenTheDefault) {
    FollowRules rules = SomeRules();
    struct Case {
        std::u16string app, title;
        std::optional<int> profile;
        int rule;
    } cases[] = {
        {u"firefox", u"News", 1, 0},
        {u"FIREFOX", u"Music - youtube — Mozilla", 2, 1},  // the title rule wins though it comes later
        {u"Code", u"", 2, 2},
        {u"firefox-esr", u"YouTube", std::nullopt, 0},  // the whole id, not a part of it
        {u"xterm", u"firefox", std::nullopt, 0},
    };
    for (const auto& c : cases) {
        const auto m = MatchFollowRules(rules, c.app, c.title);
        ASSERT_EQ(m.has_value(), c.profile.has_value()) << std::string(c.app.begin(), c.app.end());
        if (m) {
            EXPECT_EQ(m->profile, *c.profile);
            EXPECT_EQ(m->rule, c.rule);
        }
    }
    rules.defaultProfile = 0;
    const auto m = MatchFollowRules(rules, u"xterm", u"");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->profile, 0);
    EXPECT_EQ(m->rule, -1);
    // On only with rules and not turned off.
    EXPECT_TRUE(rules.following());
    rules.turnedOff = true;
    EXPECT_FALSE(rules.following());
    EXPECT_FALSE(FollowRules{}.following());
}

TEST(FollowRules, FileKeepsEditsReadsHandWrittenTextAndRefusesDamage) {
    TempDir dir;
    const auto file = FollowRulesFile(dir.path() / "config");
    std::string error;
    // No file yet: no rules, and no complaint.
    auto loaded = LoadFollowRules(file, &error);
    ASSERT_TRUE(loaded) << error;
    EXPECT_TRUE(loaded->rules.empty());

    FollowRules rules;
    SetFollowRule(rules, {u"firefox", u"", 0});
    SetFollowRule(rules, {u"Code", u"main.rs\nInjected=1", 2});
    SetFollowRule(rules, {u"FIREFOX", u"", 1});  // the same application and title: its profile changes
    rules.defaultProfile = 2;
    rules.turnedOff = true;
    ASSERT_TRUE(SaveFollowRules(file, rules, &error)) << error;
    loaded = LoadFollowRules(file, &error);
    ASSERT_TRUE(loaded) << error;
    ASSERT_EQ(loaded->rules.size(), 2u);
    EXPECT_EQ(loaded->rules[0].app, u"firefox");
    EXPECT_EQ(loaded->rules[0].profile, 1);
    EXPECT_EQ(loaded->rules[1].title, u"main.rs Injected=1");
    EXPECT_EQ(loaded->defaultProfile, 2);
    EXPECT_TRUE(loaded->turnedOff);
    EXPECT_EQ(RemoveFollowRules(*loaded, u"CODE"), 1);
    EXPECT_EQ(RemoveFollowRules(*loaded, u"code"), 0);

    // What a user writes by hand: comments, blanks, any case, CRLF, no [Following] section.
    test::WriteText(file,
                    "# my games\r\n[rule]\r\n  application = steam_app_570 \r\nPROFILE=3\r\n\r\n"
                    "[Rule]\r\nProfile=1\r\nTitle=  Vim\r\nApplication=xterm\r\n");
    loaded = LoadFollowRules(file, &error);
    ASSERT_TRUE(loaded) << error;
    ASSERT_EQ(loaded->rules.size(), 2u);
    EXPECT_EQ(loaded->rules[0].app, u"steam_app_570");
    EXPECT_EQ(loaded->rules[0].profile, 2);
    EXPECT_EQ(loaded->rules[1].title, u"Vim");
    EXPECT_FALSE(loaded->defaultProfile);
    EXPECT_TRUE(loaded->following());

    const std::pair<const char*, const char*> damaged[] = {
        {"[Rule]\nApplication=a\nProfile=4\n", "line 3"},
        {"[Rule]\nApplication=a\n\n[Rule]\nApplication=b\nProfile=1\n", "line 1"},  // no profile
        {"[Rule]\nProfile=1\n", "line 1"},                                          // no application
        {"[Following]\nDefault=0\n", "line 2"},
        {"[Following]\nOn=maybe\n", "line 2"},
        {"[Following]\n[Following]\n", "line 2"},
        {"[Rules]\n", "line 1"},
        {"Application=a\n", "line 1"},
        {"[Rule]\nApplication a\n", "line 2"},
        {"[Rule]\nApp=a\n", "line 2"},
        {"[Rule\n", "line 1"},
    };
    for (const auto& [text, where] : damaged) {
        test::WriteText(file, text);
        error.clear();
        EXPECT_FALSE(LoadFollowRules(file, &error)) << text;
        EXPECT_NE(error.find(file.string()), std::string::npos) << error;
        EXPECT_NE(error.find(where), std::string::npos) << text << " -> " << error;
    }
}

class FakeProgram : public FollowHost {
  public:
    bool SwitchesHeld() const override { return held; }
    int KeyboardProfile() const override { return profile; }
    void SwitchProfile(int p) override {
        switches.push_back(p);
        running = true;
    }
    void FollowStatusChanged() override { ++statusChanges; }

    // The device job of the last switch ends.
    void JobDone(FocusFollower& f) {
        running = false;
        profile = switches.back();
        f.SwitchFinished();
    }

    bool held = false;
    bool running = false;  // a switch's job is under way
    int profile = 0;
    std::vector<int> switches;
    int statusChanges = 0;
};

class Following : public ::testing::Test {
  protected:
    Following() : follower(program, [this] { return now; }) { follower.SetRules(SomeRules()); }

    // Time passes as the program's timer would make it pass: Poll whenever one is due.
    void Wait(int64_t ms) {
        const int64_t end = now + ms;
        while (auto due = follower.dueAt()) {
            if (*due > end) break;
            now = std::max(now, *due);
            follower.Poll();
        }
        now = end;
    }
    void Focus(std::u16string_view app, std::u16string_view title = u"", int64_t stay = 1000) {
        follower.ActiveWindowChanged(app, title);
        Wait(stay);
        if (program.running) program.JobDone(follower);
    }

    FakeProgram program;
    int64_t now = 5000;
    FocusFollower follower;
};

TEST_F(Following, SwitchesOnceTheWindowHasSettledAndNotForWindowsPassedOnTheWay) {
    follower.ActiveWindowChanged(u"code", u"");
    Wait(299);
    EXPECT_TRUE(program.switches.empty());
    // Alt+Tab through three windows, each shown for less than the settling time.
    follower.ActiveWindowChanged(u"firefox", u"YouTube");
    Wait(200);
    follower.ActiveWindowChanged(u"xterm", u"");
    Wait(100);
    follower.ActiveWindowChanged(u"firefox", u"News");
    Wait(299);
    EXPECT_TRUE(program.switches.empty());
    Wait(1);
    EXPECT_EQ(program.switches, std::vector<int>{1});
    program.JobDone(follower);
    EXPECT_EQ(DescribeFollowStatus(follower, u"%s: %d by %s", u"%s: %d"), u"firefox: 2 by Firefox");
    EXPECT_FALSE(follower.dueAt());

    // The keyboard already has the profile: nothing is sent.
    Focus(u"xterm");  // no rule, no default: left as it is
    Focus(u"FireFox", u"Mail");
    EXPECT_EQ(program.switches, std::vector<int>{1});
    // The same window reported again is no change; a title change judges the window again.
    follower.ActiveWindowChanged(u"FireFox", u"Mail");
    EXPECT_FALSE(follower.dueAt());
    follower.ActiveTitleChanged(u"Cats - YouTube");
    Wait(300);
    EXPECT_EQ(program.switches, (std::vector<int>{1, 2}));
    program.JobDone(follower);
    EXPECT_EQ(DescribeFollowStatus(follower, u"%s: %d by %s", u"%s: %d"),
              u"FireFox: 3 by firefox \"YouTube\"");

    // A default profile applies to windows without a rule.
    FollowRules withDefault = SomeRules(0);
    follower.SetRules(withDefault);
    Focus(u"xterm");
    EXPECT_EQ(program.switches, (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(DescribeFollowStatus(follower, u"%s: %d by %s", u"%s: %d"), u"xterm: 1");
    // Turned off, or without rules: the focus changes nothing.
    withDefault.turnedOff = true;
    follower.SetRules(withDefault);
    Focus(u"code");
    follower.SetRules(FollowRules{});
    Focus(u"firefox");
    EXPECT_EQ(program.switches, (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(follower.seenApplications().front(), u"firefox");
}

TEST_F(Following, WaitsForEditsDialogsAndTheKeyboardThenMakesTheDueSwitch) {
    program.held = true;
    Focus(u"code");
    Focus(u"firefox", u"YouTube");
    EXPECT_TRUE(program.switches.empty());
    EXPECT_TRUE(follower.waiting());
    EXPECT_FALSE(follower.dueAt());  // no timer runs while it waits
    follower.Recheck();
    EXPECT_TRUE(program.switches.empty());
    program.held = false;
    follower.Recheck();
    // Only the window in front now counts, once.
    EXPECT_EQ(program.switches, std::vector<int>{2});
    program.JobDone(follower);
    follower.Recheck();
    EXPECT_EQ(program.switches, std::vector<int>{2});

    // No keyboard: the switch waits for one.
    program.profile = -1;
    Focus(u"firefox");
    EXPECT_TRUE(program.switches.size() == 1 && follower.waiting());
    program.profile = 0;
    follower.Recheck();
    EXPECT_EQ(program.switches, (std::vector<int>{2, 1}));

    // A window that settles while our switch runs is judged on the profile the keyboard ends with.
    follower.ActiveWindowChanged(u"code", u"");  // profile 2 wanted while profile 1 is still on its way
    Wait(400);
    EXPECT_EQ(program.switches, (std::vector<int>{2, 1}));
    program.JobDone(follower);
    EXPECT_EQ(program.switches, (std::vector<int>{2, 1, 2}));
}

TEST_F(Following, AHandSwitchStandsUntilTheFocusMovesAndOwnWindowsAreNoMove) {
    follower.SetOwnApplications({u"vornak", u"io.github.vornak.Vornak"});
    Focus(u"code");
    EXPECT_EQ(program.switches, std::vector<int>{2});
    program.JobDone(follower);
    // The user opens Vornak and picks profile 1 by hand; Vornak's own window is no focus change.
    Focus(u"io.github.vornak.vornak");
    follower.HandSwitch();
    program.profile = 0;
    EXPECT_TRUE(follower.status().byHand);
    EXPECT_EQ(DescribeFollowStatus(follower, u"%s: %d by %s", u"%s: %d"), u"");
    Focus(u"Vornak");
    follower.ActiveTitleChanged(u"other file");
    Wait(1000);
    follower.SetRules(SomeRules(1));
    follower.Recheck();
    EXPECT_EQ(program.switches, std::vector<int>{2});
    // A hand switch also drops a switch that was due.
    follower.ActiveWindowChanged(u"firefox", u"");
    Wait(100);
    follower.HandSwitch();
    Wait(1000);
    EXPECT_EQ(program.switches, std::vector<int>{2});
    // The focus moves: following takes over again.
    Focus(u"code");
    EXPECT_EQ(program.switches, (std::vector<int>{2, 2}));
    EXPECT_FALSE(follower.status().byHand);
}

}  // namespace
}  // namespace vornak
