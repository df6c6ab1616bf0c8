// Apply, import, the profile switch and the lighting read on a simulated keyboard in each of its standing
// fault modes: every one ends with what the keyboard holds, within the three tries of each exchange, and the
// program's own reports stay clean.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "lighting/lighting.h"
#include "macro/macro_blob.h"
#include "porthub/sim/fault_modes.h"
#include "tests/support/config_builders.h"
#include "tests/support/config_fixture.h"

namespace vornak {
namespace {

using namespace std::chrono_literals;
using test::ConfigFixture;
using test::MakeEntry;
using test::MakeMacro;

struct ModeCase {
    const char* name;
    const char* modes;   // as VORNAK_SIM_FAULTS takes them
    bool macrosTaken;    // whether a download's macros reach the keyboard
    const char* reason;  // part of the download's error when they do not
};

std::ostream& operator<<(std::ostream& os, const ModeCase& c) {
    return os << c.name;
}

const ModeCase kModes[] = {
    {"Healthy", "", true, ""},
    {"LateCommit", "late-commit", true, ""},
    {"BusyBegin", "busy-begin", true, ""},
    // Each macro piece is taken but answered busy three times: every piece is still sent, and the read-back
    // finds them all.
    {"BusyMacro", "busy-macro", true, ""},
    {"BusyCommit", "busy-commit", true, ""},
    {"SilentMalformed", "silent-malformed", true, ""},
    {"StrictReads", "strict-reads", true, ""},
    {"BootLeaves", "boot-leaves", true, ""},
};

// One exchange may take three waits; the read-back after it is quick.
constexpr auto kBound = 3 * std::chrono::milliseconds(250) + 1s;

class ScriptedSwitcher : public ProfileSwitcher {
  public:
    bool SwitchToCurrentProfile() override { return true; }
};

class FaultModeMatrix : public ::testing::TestWithParam<ModeCase> {
  protected:
    static test::SimHarnessOptions Options() {
        test::SimHarnessOptions o;
        std::string error;
        o.config.modes = *sim::ParseFaultModes(GetParam().modes, &error);
        return o;
    }

    void SetUp() override {
        ASSERT_EQ(test::FastLinkTimings().replyWait, 250ms) << "kBound assumes it";
        std::lock_guard lock(f.store.lockA());
        EditCopy& edit = f.store.edit();
        edit.macros = {MakeMacro(u"Burst", 7, test::Taps(30), 2)};  // three pieces
        for (int p = 0; p < 3; ++p)
            edit.image.setEntry(p, 0x1E, MakeEntry(AssignmentKind::Key, 0x030 + p));
        edit.image.setEntry(2, 0x10, MakeEntry(AssignmentKind::Macro, 7, 1));
    }

    void TearDown() override {
        f.sim().WaitUntilDelivered();
        EXPECT_EQ(f.sim().violations(), 0)
            << (f.sim().violationReasons().empty() ? "" : f.sim().violationReasons().front());
    }

    bool KeyboardHolds(const std::vector<int>& profiles) {
        f.sim().WaitUntilDelivered();
        // Both locks in the program's order: A, then B (BuildKeyBlock takes A again inside B).
        std::lock_guard lockA(f.store.lockA());
        std::lock_guard lockB(f.store.lockB());
        const std::vector<uint8_t> blob = *EncodeMacroBlob(f.store.send().macros, true);
        const auto area = f.sim().macroArea();
        if (!std::equal(blob.begin(), blob.end(), area.begin())) return false;
        for (int p : profiles) {
            const KeyBlockBytes sent = f.transfer.BuildKeyBlock(p);
            if (!std::equal(sent.begin(), sent.end(), f.sim().keyBlock(p).begin())) return false;
        }
        return true;
    }

    void ExpectDownloadResult(bool ok, const std::string& error) {
        const ModeCase& c = GetParam();
        EXPECT_EQ(ok, c.macrosTaken) << error;
        if (!ok) {
            EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        }
    }

    ConfigFixture f{Options()};
};

TEST_P(FaultModeMatrix, Apply) {
    f.link().state().currentProfile.store(2);
    const auto start = std::chrono::steady_clock::now();
    bool ok;
    {
        std::lock_guard lock(f.store.lockA());
        ok = f.transfer.CopyAndDownload(false);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, kBound);
    ExpectDownloadResult(ok, f.transfer.lastError());
    EXPECT_EQ(ok, KeyboardHolds({2})) << "the result must be the truth";
}

TEST_P(FaultModeMatrix, ImportLeavesApplyEnabledOnlyOnFailure) {
    const auto file = f.dir / "kept.fwc";
    ASSERT_TRUE(f.files.ExportTo(file));
    f.store.EmptyEdit();
    f.sim().WaitUntilDelivered();
    const auto start = std::chrono::steady_clock::now();
    const bool ok = f.files.ImportFrom(file);
    EXPECT_LT(std::chrono::steady_clock::now() - start, kBound);
    ExpectDownloadResult(ok, f.files.lastError());
    EXPECT_EQ(ok, KeyboardHolds({0, 1, 2})) << "the result must be the truth";
    ASSERT_TRUE(f.view.applyEnabled.has_value());
    EXPECT_EQ(*f.view.applyEnabled, !ok);
}

TEST_P(FaultModeMatrix, ProfileSwitch) {
    const auto start = std::chrono::steady_clock::now();
    const bool ok = f.transfer.SetCurrentProfile(1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, kBound);
    f.sim().WaitUntilDelivered();
    EXPECT_TRUE(ok);
    EXPECT_EQ(ActiveProfileOf(f.sim().settings()), 1);
    EXPECT_EQ(f.link().state().currentProfile.load(), 1);
}

TEST_P(FaultModeMatrix, LightingReadShowsTheLastBlock) {
    auto lighting = f.sim().lighting();
    lighting[84] = 13;     // effect of profile 3
    lighting[84 + 5] = 1;  // its red
    lighting[84 + 6] = 2;
    lighting[84 + 7] = 3;
    f.sim().SetLighting(lighting);
    f.link().state().currentProfile.store(2);
    test::TempDir dir;
    LanguageTexts texts;
    ScriptedSwitcher switcher;
    LightingModel model(f.link(), texts, switcher,
                        {dir / "wskb.ini", dir / "Main.ini", (dir.path() / "UserDengColor_").string()});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(model.ReadLighting(LightingReadReason::Other), kLinkOk);
    EXPECT_LT(std::chrono::steady_clock::now() - start, kBound);
    EXPECT_EQ(model.state().currentProfile, 2);
    EXPECT_EQ(model.state().effect, 13);
    EXPECT_EQ(model.state().hxColour, MakeColour(1, 2, 3));
}

INSTANTIATE_TEST_SUITE_P(Modes, FaultModeMatrix, ::testing::ValuesIn(kModes),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vornak
