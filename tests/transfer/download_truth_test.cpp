// The download and the profile switch against a keyboard whose answers are doubtful: late, busy, lost or
// about another command. Whatever the answers, the result is what the keyboard holds afterwards.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "macro/macro_blob.h"
#include "tests/support/config_builders.h"
#include "tests/support/config_fixture.h"
#include "tests/support/traffic.h"
#include "transfer/config_transfer.h"

namespace vornak {
namespace {

using namespace std::chrono_literals;
using sim::Fault;
using sim::FaultKind;
using test::ConfigFixture;
using test::MakeEntry;
using test::MakeMacro;

constexpr uint8_t kBegin = 1, kEnd = 2, kReadSettings = 3, kWriteSettings = 4, kReadKeys = 7, kWriteKeys = 8,
                  kReadMacro = 9, kWriteMacro = 10;

std::vector<uint8_t> CommandCodes(const sim::KeyboardSimulator& sim) {
    return test::Codes(test::CommandsSent(sim));
}

size_t Count(const std::vector<uint8_t>& codes, uint8_t code) {
    return static_cast<size_t>(std::count(codes.begin(), codes.end(), code));
}

// A macro of three pieces and a changed key in every profile, so that every part of the download carries
// something the keyboard does not hold yet.
void FillEdit(ConfigStore& store) {
    std::lock_guard lock(store.lockA());
    EditCopy& edit = store.edit();
    edit.macros = {MakeMacro(u"Burst", 7, test::Taps(30), 2)};
    edit.image.setEntry(0, 0x1E, MakeEntry(AssignmentKind::Key, 0x030));
    edit.image.setEntry(1, 0x10, MakeEntry(AssignmentKind::Macro, 7, 1));
    edit.image.setEntry(2, 0x01, MakeEntry(AssignmentKind::Disabled, 0));
}

// Whether the keyboard holds the send copy's macros and the key blocks of the given profiles.
bool KeyboardHolds(ConfigFixture& f, const std::vector<int>& profiles) {
    f.sim().WaitUntilDelivered();
    // Both locks in the program's order: A, then B (BuildKeyBlock takes A again inside B).
    std::lock_guard lockA(f.store.lockA());
    std::lock_guard lockB(f.store.lockB());
    const std::vector<uint8_t> blob = *EncodeMacroBlob(f.store.send().macros, true);
    const auto area = f.sim().macroArea();
    if (area.size() < blob.size() || !std::equal(blob.begin(), blob.end(), area.begin())) return false;
    for (int p : profiles) {
        const KeyBlockBytes sent = f.transfer.BuildKeyBlock(p);
        const sim::KeyBlock held = f.sim().keyBlock(p);
        if (!std::equal(sent.begin(), sent.end(), held.begin())) return false;
    }
    return true;
}

struct DownloadCase {
    const char* name;
    std::vector<Fault> faults;
    bool succeeds;
    bool readBack;       // whether the macro area is read back
    std::string reason;  // part of lastError() on failure
};

std::ostream& operator<<(std::ostream& os, const DownloadCase& c) {
    return os << c.name;
}

class DownloadUnderFaults : public ::testing::TestWithParam<DownloadCase> {};

// FillEdit's macros travel in three pieces.
constexpr int kLastMacroPiece = 2;

// The answers that decide nothing on their own, and the keyboard that really did not take something.
const DownloadCase kDownloadCases[] = {
    {"Healthy", {}, true, false, ""},
    {"BeginAnsweredForAnotherCommand", {{FaultKind::WrongCommand, 3, 0, kBegin}}, true, true, ""},
    {"BeginLost", {{FaultKind::NoReply, 3, 0, kBegin}}, false, false, "key block of profile 1"},
    {"BeginBusyAndNotDone", {{FaultKind::StatusFE, 3, 0, kBegin}}, false, false, "key block of profile 1"},
    {"MacroPieceBusyAndNotDone",
     {{FaultKind::StatusFE, 3, 1, kWriteMacro}},
     false,
     true,
     "did not take the macros"},
    {"LastMacroPieceAnswerLost",
     {{FaultKind::WrongCommand, 3, kLastMacroPiece, kWriteMacro}},
     true,
     true,
     ""},
    {"CommitBusy", {{FaultKind::StatusFE, 3, 0, kEnd}}, true, true, ""},
    {"CommitLost", {{FaultKind::NoReply, 3, 0, kEnd}}, true, true, ""},
    {"CommitLaterThanEveryTry", {{FaultKind::LateReply, 3, 0, kEnd, 1500ms}}, true, true, ""},
    {"KeyBlockRefused", {{FaultKind::StatusFF, 3, 8, kWriteKeys}}, false, false, "key block of profile 2"},
    {"KeyboardPulledOutDuringTheMacros", {{FaultKind::Detach, 1, 1, kWriteMacro}}, false, false, "(error 0)"},
};

TEST_P(DownloadUnderFaults, EndsWithWhatTheKeyboardHolds) {
    const DownloadCase& c = GetParam();
    ConfigFixture f;
    FillEdit(f.store);
    ASSERT_EQ((ComputeMacroBlobSizes(f.store.edit().macros).withNames + 55) / 56, kLastMacroPiece + 1u);
    for (const Fault& fault : c.faults)
        f.sim().InjectFault(fault);

    const auto start = std::chrono::steady_clock::now();
    bool ok;
    {
        std::lock_guard lock(f.store.lockA());
        ok = f.transfer.CopyAndDownload(true);
    }
    const auto took = std::chrono::steady_clock::now() - start;

    EXPECT_EQ(ok, c.succeeds) << f.transfer.lastError();
    EXPECT_EQ(ok, KeyboardHolds(f, {0, 1, 2})) << "the result must be the truth";
    if (ok) {
        EXPECT_EQ(f.transfer.lastError(), "");
    } else {
        EXPECT_NE(f.transfer.lastError().find(c.reason), std::string::npos) << f.transfer.lastError();
    }
    // Three faulted tries of one exchange cost at most three waits each; nothing waits on beyond that.
    EXPECT_LT(took, 3 * test::FastLinkTimings().replyWait + 1s);

    // A healthy keyboard pays nothing: the read-back runs only after a doubtful answer.
    const auto codes = CommandCodes(f.sim());
    EXPECT_EQ(Count(codes, kReadMacro) > 0, c.readBack);
    if (c.readBack && ok) {
        EXPECT_EQ(Count(codes, kReadKeys), 3 * 7u);
    }
}

INSTANTIATE_TEST_SUITE_P(Matrix, DownloadUnderFaults, ::testing::ValuesIn(kDownloadCases),
                         [](const auto& info) { return std::string(info.param.name); });

// An Apply sends only the current profile; a failed read-back names what is missing.
TEST(DownloadTruth, ApplyOfTheCurrentProfileChecksOnlyThatBlock) {
    ConfigFixture f;
    FillEdit(f.store);
    f.link().state().currentProfile.store(1);
    f.sim().InjectFault({FaultKind::NoReply, 3, 0, kEnd});
    {
        std::lock_guard lock(f.store.lockA());
        ASSERT_TRUE(f.transfer.CopyAndDownload(false)) << f.transfer.lastError();
    }
    EXPECT_TRUE(KeyboardHolds(f, {1}));
    const auto codes = CommandCodes(f.sim());
    EXPECT_EQ(Count(codes, kWriteKeys), 7u);
    EXPECT_EQ(Count(codes, kReadKeys), 7u);
    EXPECT_EQ(f.sim().keyBlock(0), f.sim().defaultLayout()) << "other profiles are left alone";
}

// A keyboard that says it took a key block but kept nothing: only the read-back after a doubtful end shows
// it.
TEST(DownloadTruth, AKeyBlockTheKeyboardDroppedIsNamed) {
    ConfigFixture f;
    FillEdit(f.store);
    f.sim().InjectFault({FaultKind::Forgotten, 1, 2 * 7, kWriteKeys});  // Esc in profile 3's first piece
    f.sim().InjectFault({FaultKind::NoReply, 3, 0, kEnd});
    std::lock_guard lock(f.store.lockA());
    EXPECT_FALSE(f.transfer.CopyAndDownload(true));
    EXPECT_EQ(f.transfer.lastError(), "the keyboard did not take the key block of profile 3");
}

// The keyboard needs its moment before the commit; a doubtful answer changes nothing about that.
TEST(DownloadTruth, TheCommitWaitsTenMillisecondsAfterTheLastWrite) {
    test::SimHarnessOptions o;
    o.timings.endPause = LinkTimings{}.endPause;
    ASSERT_EQ(o.timings.endPause, 10ms);
    ConfigFixture f(o);
    FillEdit(f.store);
    f.sim().InjectFault({FaultKind::WrongCommand, 3, 0, kBegin});
    std::lock_guard lock(f.store.lockA());
    ASSERT_TRUE(f.transfer.CopyAndDownload(true)) << f.transfer.lastError();
    const auto gap = f.sim().GapBefore(kEnd);
    ASSERT_TRUE(gap);
    EXPECT_GE(*gap, 10ms);
}

// With the keyboard's own waits, the second try of a commit answered after 1.5 s takes the first try's late
// answer: the download succeeds without a read-back, in about the time of that answer.
TEST(DownloadTruth, ACommitAnsweredAfterOneAndAHalfSecondsWithTheKeyboardsWaits) {
    test::SimHarnessOptions o;
    o.timings = LinkTimings{};
    o.config.modes.lateCommit = true;
    ConfigFixture f(o);
    FillEdit(f.store);
    const auto start = std::chrono::steady_clock::now();
    {
        std::lock_guard lock(f.store.lockA());
        ASSERT_TRUE(f.transfer.CopyAndDownload(true)) << f.transfer.lastError();
    }
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 1500ms);
    EXPECT_LT(took, 2500ms);
    const auto codes = CommandCodes(f.sim());
    EXPECT_EQ(Count(codes, kEnd), 2u);
    EXPECT_EQ(Count(codes, kReadMacro), 0u);
    EXPECT_TRUE(KeyboardHolds(f, {0, 1, 2}));
}

TEST(DownloadTruth, AReadBackThatFailsIsAFailure) {
    ConfigFixture f;
    FillEdit(f.store);
    f.sim().InjectFault({FaultKind::NoReply, 3, 0, kEnd});
    f.sim().InjectFault({FaultKind::StatusFF, 3, 0, kReadMacro});
    std::lock_guard lock(f.store.lockA());
    EXPECT_FALSE(f.transfer.CopyAndDownload(true));
    EXPECT_NE(f.transfer.lastError().find("macros could not be read back"), std::string::npos)
        << f.transfer.lastError();
}

// The import goes through the same download; the imported configuration is in the edit copy either way, so
// Apply stays enabled exactly when the keyboard did not take it.
TEST(DownloadTruth, ImportLeavesApplyEnabledOnlyOnFailure) {
    for (const bool keyboardTakesIt : {true, false}) {
        SCOPED_TRACE(keyboardTakesIt ? "taken" : "refused");
        ConfigFixture f;
        FillEdit(f.store);
        const auto file = f.dir / "import.fwc";
        ASSERT_TRUE(f.files.ExportTo(file));
        f.store.EmptyEdit();
        f.sim().InjectFault({FaultKind::NoReply, 3, 0, kEnd});  // doubtful either way
        if (!keyboardTakesIt) f.sim().InjectFault({FaultKind::StatusFE, 3, 0, kWriteMacro});
        f.view.applyEnabled.reset();
        EXPECT_EQ(f.files.ImportFrom(file), keyboardTakesIt) << f.files.lastError();
        ASSERT_TRUE(f.view.applyEnabled.has_value());
        EXPECT_EQ(*f.view.applyEnabled, !keyboardTakesIt);
        if (!keyboardTakesIt) {
            EXPECT_NE(f.files.lastError().find("did not take the macros"), std::string::npos)
                << f.files.lastError();
        }
    }
}

// The switch: begin and end do not decide; the write must succeed; the profile read back decides.
struct SwitchCase {
    const char* name;
    std::vector<Fault> faults;
    bool succeeds;
    std::vector<uint8_t> codes;  // the commands sent
};

class SwitchUnderFaults : public ::testing::TestWithParam<SwitchCase> {};

const SwitchCase kSwitchCases[] = {
    {"Healthy", {}, true, {3, 1, 4, 2}},
    {"BeginAnsweredForAnotherCommand",
     {{FaultKind::WrongCommand, 3, 0, kBegin}},
     true,
     {3, 1, 1, 1, 4, 2, 3}},
    {"BeginLost", {{FaultKind::NoReply, 3, 0, kBegin}}, false, {3, 1, 1, 1, 4, 4, 4, 2}},
    {"WriteBusyAndNotDone", {{FaultKind::StatusFE, 3, 0, kWriteSettings}}, false, {3, 1, 4, 4, 4, 2}},
    {"CommitBusy", {{FaultKind::StatusFE, 3, 0, kEnd}}, true, {3, 1, 4, 2, 2, 2, 3}},
    {"CommitLost", {{FaultKind::NoReply, 3, 0, kEnd}}, true, {3, 1, 4, 2, 2, 2, 3}},
};

TEST_P(SwitchUnderFaults, EndsWithTheProfileTheKeyboardRuns) {
    const SwitchCase& c = GetParam();
    ConfigFixture f;
    for (const Fault& fault : c.faults)
        f.sim().InjectFault(fault);
    const bool ok = f.transfer.SetCurrentProfile(2);
    f.sim().WaitUntilDelivered();
    EXPECT_EQ(ok, c.succeeds);
    EXPECT_EQ(ok, ActiveProfileOf(f.sim().settings()) == 2) << "the result must be the truth";
    EXPECT_EQ(f.link().state().currentProfile.load(), ok ? 2 : -1);
    EXPECT_EQ(CommandCodes(f.sim()), c.codes);
}

INSTANTIATE_TEST_SUITE_P(Matrix, SwitchUnderFaults, ::testing::ValuesIn(kSwitchCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A switch that may have happened but cannot be confirmed leaves the profile unknown, so the next
// CurrentProfile asks the keyboard again.
TEST(SwitchTruth, AnUnconfirmedSwitchLeavesTheProfileUnknown) {
    ConfigFixture f;
    f.sim().InjectFault({FaultKind::NoReply, 3, 0, kEnd});
    f.sim().InjectFault({FaultKind::NoReply, 3, 1, kReadSettings});  // the read before the switch passes
    EXPECT_FALSE(f.transfer.SetCurrentProfile(2));
    EXPECT_EQ(f.link().state().currentProfile.load(), -1);
    EXPECT_EQ(f.transfer.CurrentProfile(), 2);
}

}  // namespace
}  // namespace vornak
