#include "macro/macro_recorder.h"

#include <gtest/gtest.h>

#include "assign/assignment.h"
#include "macro/macro_editor.h"
#include "platform/tick_count.h"
#include "tests/support/config_builders.h"
#include "tests/support/scripted_prompts.h"
#include "tests/support/temp_dir.h"

namespace vornak {
namespace {

using test::MakeMacro;

// Keystroke flags as the dialog's key filter gives them: the 9-bit key in bits 16..24, bit 30 set when the
// key was down before, bit 31 on a release.
uint32_t Down(KeyCode code) {
    return uint32_t{code} << 16;
}
uint32_t Repeat(KeyCode code) {
    return Down(code) | 1u << 30;
}
uint32_t Up(KeyCode code) {
    return Down(code) | 3u << 30;
}

constexpr KeyCode kA = 0x01E, kB = 0x030, kPrintScreen = 0x137, kLeftWin = 0x15B, kRightWin = 0x15C,
                  kPlayPause = 0x122;

class Recording : public ::testing::Test {
  protected:
    Recording() {
        const MacroRecord m = MakeMacro(u"m", 1);
        editor.Load({&m, 1});
        editor.Enter(1, true);
        ticks.Set(1000);
    }

    // Delivers an event at a tick (with the window system's own time stamp, 0 for none); true when it was
    // swallowed.
    bool At(uint32_t tick, uint32_t flags, uint32_t eventTime = 0) {
        ticks.Set(tick);
        return editor.OnKeyEvent(0, flags, eventTime);
    }
    // The release the recorder holds back goes in, as the page's timer does it.
    void Settle() { editor.FlushRecording(); }
    void Start(RecordDelayMode mode) {
        editor.SetDelayMode(mode);
        editor.ToggleRecording();
        ASSERT_TRUE(editor.recording());
    }
    std::vector<uint32_t> Delays() const {
        std::vector<uint32_t> d;
        for (const auto& row : editor.rows())
            d.push_back(row.action.delay);
        return d;
    }
    std::vector<std::pair<KeyCode, int>> Keys() const {
        std::vector<std::pair<KeyCode, int>> k;
        for (const auto& row : editor.rows())
            k.emplace_back(row.action.keyCode, row.action.release);
        return k;
    }

    LanguageTexts texts;
    test::ScriptedPrompts prompts;
    ManualTicks ticks;
    MacroEditor editor{texts, prompts, nullptr, [this] { return ticks.now(); }, IsMultimediaKey};
};

TEST_F(Recording, FixedDelaysGiveFiftyAfterEveryActionButTheLast) {
    Start(RecordDelayMode::Fixed);
    EXPECT_TRUE(At(1100, Down(kA)));
    EXPECT_TRUE(At(1900, Up(kA)));
    EXPECT_TRUE(At(5000, Down(kB)));
    EXPECT_TRUE(At(5001, Up(kB)));
    Settle();
    EXPECT_EQ(Delays(), (std::vector<uint32_t>{50, 50, 50, 0}));
    EXPECT_EQ(Keys(), (std::vector<std::pair<KeyCode, int>>{{kA, 0}, {kA, 1}, {kB, 0}, {kB, 1}}));
    for (const auto& row : editor.rows())
        EXPECT_TRUE(row.grey);
    EXPECT_EQ(editor.selectedRow(), 3);
}

TEST_F(Recording, MeasuredDelaysAreTheWaitAfterEachActionCappedAtTheMaximum) {
    ticks.Set(0xFFFFFF00u);  // the tick count wraps during the recording
    Start(RecordDelayMode::Measured);
    At(0xFFFFFF80u, Down(kA));
    At(0x00000010u, Up(kA));             // 0x90 ms later, across the wrap
    At(0x00000010u + 60'000, Down(kB));  // a one-minute pause
    At(0x00000010u + 60'047, Up(kB));
    Settle();
    EXPECT_EQ(Delays(), (std::vector<uint32_t>{0x90, 40000, 47, 0}));
}

TEST_F(Recording, HeldKeyGivesOnePressAndOneRelease) {
    Start(RecordDelayMode::Fixed);
    EXPECT_TRUE(At(1000, Down(kA)));
    EXPECT_TRUE(At(1500, Repeat(kA)));  // swallowed, not recorded
    EXPECT_TRUE(At(1530, Repeat(kA)));
    EXPECT_TRUE(At(1560, Down(kA)));  // a repeat the platform did not mark
    EXPECT_TRUE(At(1600, Up(kA)));
    Settle();
    EXPECT_EQ(Keys(), (std::vector<std::pair<KeyCode, int>>{{kA, 0}, {kA, 1}}));
}

TEST_F(Recording, PrintScreenReleaseWithoutPressGetsAPressTwoMillisecondsAfterTheRowBefore) {
    Start(RecordDelayMode::Measured);
    At(1010, Down(kA));
    At(1030, Up(kA));
    At(1530, Up(kPrintScreen));
    Settle();
    EXPECT_EQ(Keys(),
              (std::vector<std::pair<KeyCode, int>>{{kA, 0}, {kA, 1}, {kPrintScreen, 0}, {kPrintScreen, 1}}));
    EXPECT_EQ(Delays(), (std::vector<uint32_t>{20, 2, 500, 0}));
}

TEST_F(Recording, ReportedPrintScreenPressAndReleaseGiveOneOfEach) {
    Start(RecordDelayMode::Measured);
    At(1010, Down(kPrintScreen));
    At(1090, Up(kPrintScreen));
    Settle();
    EXPECT_EQ(Keys(), (std::vector<std::pair<KeyCode, int>>{{kPrintScreen, 0}, {kPrintScreen, 1}}));
    EXPECT_EQ(Delays(), (std::vector<uint32_t>{80, 0}));
    // Pressed again later: again one of each.
    At(1200, Down(kPrintScreen));
    At(1210, Up(kPrintScreen));
    Settle();
    EXPECT_EQ(editor.rows().size(), 4u);
}

TEST_F(Recording, SuperKeysAreRecordedAndSwallowed) {
    Start(RecordDelayMode::Fixed);
    EXPECT_TRUE(At(1010, Down(kLeftWin)));
    EXPECT_TRUE(At(1020, Up(kLeftWin)));
    EXPECT_TRUE(At(1030, Down(kRightWin)));
    EXPECT_TRUE(At(1040, Up(kRightWin)));
    Settle();
    EXPECT_EQ(Keys(), (std::vector<std::pair<KeyCode, int>>{
                          {kLeftWin, 0}, {kLeftWin, 1}, {kRightWin, 0}, {kRightWin, 1}}));
}

TEST_F(Recording, MediaKeysAndNonKeysPassThroughUnrecorded) {
    Start(RecordDelayMode::Fixed);
    EXPECT_FALSE(At(1010, Down(kPlayPause)));
    EXPECT_FALSE(At(1020, Up(kPlayPause)));
    EXPECT_FALSE(editor.OnKeyEvent(0, 0));  // no scan code and no virtual key: no key
    EXPECT_TRUE(editor.rows().empty());
    editor.ToggleRecording();
    EXPECT_FALSE(editor.recording());
    EXPECT_FALSE(At(1030, Down(kA)));  // not recording: everything goes to its window
    EXPECT_TRUE(editor.rows().empty());
}

TEST_F(Recording, GoesInAfterTheSelectedRowWhichTakesTheNewDelay) {
    const MacroRecord m = MakeMacro(u"m", 1, {{300, kA, 0}, {400, kA, 1}});
    editor.Load({&m, 1});
    editor.Enter(1, true);
    editor.SelectRow(0);
    Start(RecordDelayMode::Measured);
    At(1070, Down(kB));
    // Row 0 waits the new action's 70 ms; the new row keeps the 300 row 0 had.
    EXPECT_EQ(Keys(), (std::vector<std::pair<KeyCode, int>>{{kA, 0}, {kB, 0}, {kA, 1}}));
    EXPECT_EQ(Delays(), (std::vector<uint32_t>{70, 300, 400}));
    EXPECT_EQ(editor.selectedRow(), 1);
}

TEST_F(Recording, FullListAddsNothing) {
    const MacroRecord m = MakeMacro(u"m", 1, test::Taps(kMaxMacroActions));
    editor.Load({&m, 1});
    editor.Enter(1, true);
    Start(RecordDelayMode::Fixed);
    EXPECT_TRUE(At(1010, Down(kB)));  // still kept from the windows
    EXPECT_EQ(editor.rows().size(), kMaxMacroActions);
    EXPECT_EQ(editor.rows().back().action.keyCode, 0x01E);
}

TEST_F(Recording, NeedsAShownMacroAndLocksTheMacroList) {
    editor.Load({});
    editor.ToggleRecording();
    EXPECT_FALSE(editor.recording());
    const MacroRecord m = MakeMacro(u"m", 1);
    editor.Load({&m, 1});
    editor.Enter(1, true);
    EXPECT_TRUE(editor.listEnabled());
    editor.ToggleRecording();
    EXPECT_FALSE(editor.listEnabled());
    editor.OpenCellEditor();  // a cell editor stops it, so no row moves under the editor
    EXPECT_FALSE(editor.recording());
    EXPECT_TRUE(editor.listEnabled());
}

TEST_F(Recording, StartTimeIsTakenWhenRecordingStarts) {
    ticks.Set(5000);
    Start(RecordDelayMode::Measured);
    At(5400, Down(kA));
    At(5450, Up(kA));
    editor.StopRecording();
    ticks.Set(9000);
    editor.ToggleRecording();
    At(9030, Down(kB));  // 30 ms after the new start, not 3580 after the last key
    EXPECT_EQ(Delays(), (std::vector<uint32_t>{50, 30, 0}));
}

TEST_F(Recording, RepeatArrivingAsReleaseAndPressPairsIsNotRecorded) {
    Start(RecordDelayMode::Measured);
    At(1000, Down(kA));
    // An X server repeats a held key as release and press pairs; the pairs that arrive unmarked come back to
    // back.
    At(1660, Up(kA));
    At(1661, Down(kA));
    At(1700, Up(kA));
    At(1720, Down(kA));  // the window's end
    At(2000, Up(kA));
    Settle();
    EXPECT_EQ(Keys(), (std::vector<std::pair<KeyCode, int>>{{kA, 0}, {kA, 1}}));
    EXPECT_EQ(Delays(), (std::vector<uint32_t>{1000, 0}));
}

TEST_F(Recording, RepeatPairsAreToldByTheirTimeStampsWhenTheyHaveThem) {
    Start(RecordDelayMode::Measured);
    At(1000, Down(kA), 500);
    At(1660, Up(kA), 1160);
    At(1760, Down(kA), 1160);  // seen late on a loaded machine, but the same instant for the server
    At(1770, Up(kA), 1210);
    At(1775, Down(kA), 1215);  // a new press 5 ms later by the server's clock: the user's
    At(1900, Up(kA), 1340);
    Settle();
    EXPECT_EQ(Keys(), (std::vector<std::pair<KeyCode, int>>{{kA, 0}, {kA, 1}, {kA, 0}, {kA, 1}}));
    EXPECT_EQ(Delays(), (std::vector<uint32_t>{770, 5, 125, 0}));
}

TEST_F(Recording, QuickRetypeOfAKeyIsRecorded) {
    Start(RecordDelayMode::Measured);
    At(1000, Down(kA));
    At(1100, Up(kA));
    At(1121, Down(kA));  // just past the window: the user pressed it again
    At(1200, Up(kA));
    Settle();
    EXPECT_EQ(Keys(), (std::vector<std::pair<KeyCode, int>>{{kA, 0}, {kA, 1}, {kA, 0}, {kA, 1}}));
    EXPECT_EQ(Delays(), (std::vector<uint32_t>{100, 21, 79, 0}));
}

TEST_F(Recording, HeldBackReleaseGoesInWithTheTimeItArrived) {
    Start(RecordDelayMode::Measured);
    At(1000, Down(kA));
    At(1100, Up(kA));
    EXPECT_EQ(editor.rows().size(), 1u);
    At(1400, Down(kB));  // another key: the release is no repeat
    EXPECT_EQ(Keys(), (std::vector<std::pair<KeyCode, int>>{{kA, 0}, {kA, 1}, {kB, 0}}));
    EXPECT_EQ(Delays(), (std::vector<uint32_t>{100, 300, 0}));
    At(1450, Up(kB));
    ticks.Set(9000);
    editor.StopRecording();  // stopping records it too
    EXPECT_EQ(Delays(), (std::vector<uint32_t>{100, 300, 50, 0}));
}

TEST(RecordDelaySetting, ReadNormalisedAndWrittenBack) {
    test::TempDir dir;
    const AppProfile profile(dir / "Vornak_Pellam.ini");
    const LanguageTexts texts;
    EXPECT_EQ(LoadRecordDelayMode(profile, texts), RecordDelayMode::Fixed);  // missing reads as 0
    EXPECT_EQ(profile.GetString(u"RecordDelay", u"missing"), u"0");
    ASSERT_TRUE(profile.WriteString(u"RecordDelay", u"7"));
    EXPECT_EQ(LoadRecordDelayMode(profile, texts), RecordDelayMode::Fixed);
    EXPECT_EQ(profile.GetString(u"RecordDelay", u""), u"0");
    ASSERT_TRUE(SaveRecordDelayMode(profile, texts, RecordDelayMode::Measured));
    EXPECT_EQ(LoadRecordDelayMode(profile, texts), RecordDelayMode::Measured);
    EXPECT_EQ(profile.GetString(u"RecordDelay", u""), u"1");
}

}  // namespace
}  // namespace vornak
