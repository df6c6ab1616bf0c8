// The history against the program's own loads and downloads, on a simulated keyboard.
#include <gtest/gtest.h>

#include "history/edit_history.h"
#include "history/key_swap.h"
#include "tests/support/config_builders.h"
#include "tests/support/config_fixture.h"

namespace vornak {
namespace {

using test::ConfigFixture;
using test::MakeEntry;
using test::MakeMacro;

constexpr int kA = 0x1E, kB = 0x30;
constexpr size_t kPosA = 64, kPosB = 90;

std::array<uint8_t, 3> At(const sim::KeyBlock& block, size_t position) {
    return {block[3 * position], block[3 * position + 1], block[3 * position + 2]};
}

class HistoryLoads : public ::testing::Test {
  protected:
    bool Edit(const std::function<void(EditCopy&)>& change) {
        auto capture = history.Begin();
        {
            std::lock_guard lock(f.store.lockA());
            change(f.store.edit());
        }
        return history.Commit(std::move(capture), u"step", f.transfer.CurrentProfile());
    }
    // Apply as the main window runs it: the working file, then the download of one profile or all three.
    bool Apply() {
        std::lock_guard lock(f.store.lockA());
        const bool all = history.SendAllProfiles();
        if (!f.files.SaveWorkingProfile(false) || !f.transfer.CopyAndDownload(all)) return false;
        history.Applied(all);
        f.sim().WaitUntilDelivered();
        return true;
    }
    void MakeSteps() {
        ASSERT_TRUE(Edit([](EditCopy& e) { e.macros.push_back(MakeMacro(u"Burst", 1, test::Taps(4))); }));
        ASSERT_TRUE(Edit([](EditCopy& e) { e.image.setEntry(0, kA, MakeEntry(AssignmentKind::Key, kB)); }));
        ASSERT_TRUE(history.Undo(0));
        ASSERT_TRUE(history.CanUndo() && history.CanRedo());
    }
    void ExpectFresh() {
        EXPECT_FALSE(history.CanUndo());
        EXPECT_FALSE(history.CanRedo());
        EXPECT_FALSE(history.SendAllProfiles());
    }

    ConfigFixture f;
    EditHistory history{f.store};
};

TEST_F(HistoryLoads, TheReloadAtAttachStartsANewHistory) {
    MakeSteps();
    ASSERT_TRUE(f.files.ReloadFromKeyboard(false));
    ExpectFresh();
}

TEST_F(HistoryLoads, BackToTheWorkingFileStartsANewHistory) {
    ASSERT_TRUE(f.files.ReloadFromKeyboard(false));
    MakeSteps();
    std::lock_guard lock(f.store.lockA());
    ASSERT_TRUE(f.files.LoadImage(f.files.WorkingProfilePath()));
    ExpectFresh();
}

TEST_F(HistoryLoads, AnImportStartsANewHistoryAndAFailedOneKeepsIt) {
    const auto file = f.dir / "other.fwc";
    ASSERT_TRUE(f.files.ExportTo(file));
    MakeSteps();
    EXPECT_FALSE(f.files.ImportFrom(f.dir / "missing.fwc"));
    EXPECT_TRUE(history.CanUndo());
    ASSERT_TRUE(f.files.ImportFrom(file)) << f.files.lastError();
    ExpectFresh();
}

TEST_F(HistoryLoads, ARemapUndoneAfterApplyPutsTheOriginalKeyBlockBack) {
    ASSERT_TRUE(f.files.ReloadFromKeyboard(false));  // the attach writes the working file
    const sim::KeyBlock original = f.sim().keyBlock(0);
    ASSERT_TRUE(Edit([](EditCopy& e) { e.image.setEntry(0, kA, MakeEntry(AssignmentKind::Key, kB)); }));
    ASSERT_TRUE(Apply());
    EXPECT_EQ(At(f.sim().keyBlock(0), kPosA), (std::array<uint8_t, 3>{2, 2, 0x05}));
    ASSERT_TRUE(history.Undo(0));
    ASSERT_TRUE(Apply());
    EXPECT_EQ(f.sim().keyBlock(0), original);
}

TEST_F(HistoryLoads, AStepOnAnotherProfileReachesTheKeyboardWithTheNextApply) {
    ASSERT_TRUE(f.files.ReloadFromKeyboard(false));
    ASSERT_EQ(f.transfer.CurrentProfile(), 0);
    const sim::KeyBlock original = f.sim().keyBlock(1);
    ASSERT_TRUE(Edit([](EditCopy& e) { e.image.setEntry(1, kB, MakeEntry(AssignmentKind::Media, 7)); }));
    ASSERT_TRUE(Apply());
    EXPECT_EQ(At(f.sim().keyBlock(1), kPosB), (std::array<uint8_t, 3>{3, 0xE2, 0}));
    EXPECT_FALSE(history.SendAllProfiles());
    ASSERT_TRUE(history.Undo(0));
    ASSERT_TRUE(Apply());
    EXPECT_EQ(f.sim().keyBlock(1), original);
}

}  // namespace
}  // namespace vornak
