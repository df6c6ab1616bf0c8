#include "program/history_commands.h"

#include <gtest/gtest.h>

#include <mutex>

#include "tests/support/config_builders.h"

namespace vornak {
namespace {

using test::MakeEntry;
using test::MakeMacro;

constexpr uint16_t kButtonA = 1058, kButtonB = 1075, kButtonG9 = 1143;
constexpr int kA = 0x1E, kB = 0x30;
constexpr int kG9 = GKeySlot(8, false);

class Commands : public ::testing::Test {
  protected:
    Commands() {
        texts.Set(TextId::KEY_PROMPT_SET, u" \x2192 ");
        texts.Set(TextId::KEY_PROMPT_SINGLE, u"Key (");
        model.Refresh();
    }
    ConfigEntry At(int slot, int profile = 0) {
        std::lock_guard lock(store.lockA());
        return store.edit().image.entry(profile, slot);
    }
    // The key dialog's OK for a key, as it reaches the model.
    void DialogOk(int slot, const ConfigEntry& entry, int profile = 0) {
        commands.SetDialogSlot(slot);
        model.Edit("key dialog", [&](EditCopy& edit) {
            edit.image.setEntry(profile, slot, entry);
            return true;
        });
        commands.SetDialogSlot(-1);
    }

    ConfigStore store;
    LanguageTexts texts;
    MainWindowModel model{store, texts};
    HistoryCommands commands{model, store, texts};
};

TEST_F(Commands, UndoAfterADialogOkPutsTheOldDescriptionBackAndEnablesApply) {
    const std::u16string original = model.LookOf(kButtonA)->toolTip;
    DialogOk(kA, MakeEntry(AssignmentKind::Key, kB));
    EXPECT_EQ(commands.UndoText(), u"Undo: A \x2192 Key (B)");
    EXPECT_TRUE(model.LookOf(kButtonA)->assigned);

    ApplyOutcome applied{true, true, true, false, ""};
    model.FinishApply(applied);
    commands.Applied(applied);
    ASSERT_FALSE(model.applyEnabled());

    ASSERT_TRUE(commands.Undo());
    EXPECT_EQ(At(kA), ConfigEntry{});
    EXPECT_EQ(model.LookOf(kButtonA)->toolTip, original);
    EXPECT_FALSE(model.LookOf(kButtonA)->assigned);
    EXPECT_TRUE(model.applyEnabled());
    EXPECT_EQ(commands.UndoText(), u"Undo");
    EXPECT_EQ(commands.RedoText(), u"Redo: A \x2192 Key (B)");
    EXPECT_FALSE(model.allProfilesNextApply());  // the current profile only

    ASSERT_TRUE(commands.Redo());
    EXPECT_EQ(At(kA), MakeEntry(AssignmentKind::Key, kB));
    EXPECT_TRUE(model.LookOf(kButtonA)->assigned);
}

TEST_F(Commands, RestoreDefaultsIsOneStep) {
    DialogOk(kA, MakeEntry(AssignmentKind::Key, kB));
    DialogOk(kB, MakeEntry(AssignmentKind::Media, 3));
    ASSERT_TRUE(model.RestoreDefaults());
    EXPECT_EQ(commands.UndoText(), u"Undo: Restore defaults");
    EXPECT_EQ(At(kA), ConfigEntry{});
    ASSERT_TRUE(commands.Undo());
    EXPECT_EQ(At(kA), MakeEntry(AssignmentKind::Key, kB));
    EXPECT_EQ(At(kB), MakeEntry(AssignmentKind::Media, 3));
    EXPECT_EQ(commands.history().undoCount(), 2u);
}

TEST_F(Commands, ASwapIsOneStepAndARefusedOneChangesNothing) {
    DialogOk(kA, MakeEntry(AssignmentKind::Key, 0x10));
    DialogOk(kB, MakeEntry(AssignmentKind::Function, 4));
    EXPECT_EQ(commands.Swap(kA, kB), AssignRefusal::None);
    EXPECT_EQ(At(kA), MakeEntry(AssignmentKind::Function, 4));
    EXPECT_EQ(At(kB), MakeEntry(AssignmentKind::Key, 0x10));
    EXPECT_EQ(commands.UndoText(), u"Undo: Swap A \x2194 B");
    ASSERT_TRUE(commands.Undo());
    EXPECT_EQ(At(kA), MakeEntry(AssignmentKind::Key, 0x10));
    EXPECT_EQ(At(kB), MakeEntry(AssignmentKind::Function, 4));

    EXPECT_EQ(commands.Copy(kB, kA), AssignRefusal::None);
    EXPECT_EQ(At(kA), MakeEntry(AssignmentKind::Function, 4));
    EXPECT_EQ(commands.UndoText(), u"Undo: Copy B \x2192 A");

    // G9 takes no function: nothing changes, no step, Apply as it was.
    model.SetApplyEnabled(false);
    const size_t steps = commands.history().undoCount();
    EXPECT_EQ(commands.CheckDrop(kB, kG9, false), AssignRefusal::MacroOnlyKey);
    EXPECT_EQ(commands.Swap(kB, kG9), AssignRefusal::MacroOnlyKey);
    EXPECT_EQ(commands.Copy(kB, kG9), AssignRefusal::MacroOnlyKey);
    EXPECT_EQ(commands.history().undoCount(), steps);
    EXPECT_FALSE(model.applyEnabled());
    EXPECT_FALSE(model.LookOf(kButtonG9)->assigned);
    EXPECT_EQ(At(kG9).kind, 0);

    // A copy that changes nothing is no step either.
    EXPECT_EQ(commands.Copy(kB, kA), AssignRefusal::None);
    EXPECT_EQ(commands.history().undoCount(), steps);
    EXPECT_FALSE(model.applyEnabled());
}

TEST_F(Commands, StepsOnOtherProfilesOrMacrosAskForAllThreeAtTheNextApply) {
    model.SelectProfile(1);
    DialogOk(kA, MakeEntry(AssignmentKind::Key, kB), 1);
    EXPECT_FALSE(model.allProfilesNextApply());

    // The dialog's stale-reference resets reach every profile.
    model.Edit("key dialog", [](EditCopy& edit) {
        edit.image.setEntry(2, kB, ConfigEntry{});
        edit.image.setEntry(0, kB, MakeEntry(AssignmentKind::Media, 1));
        return true;
    });
    EXPECT_TRUE(model.allProfilesNextApply());
    ApplyOutcome all{true, true, true, true, ""};
    model.FinishApply(all);
    commands.Applied(all);
    EXPECT_FALSE(model.allProfilesNextApply());

    DialogOk(kB, MakeEntry(AssignmentKind::Media, 2), 1);
    EXPECT_FALSE(model.allProfilesNextApply());
    ASSERT_TRUE(commands.Undo());
    ASSERT_TRUE(commands.Undo());  // the step on profile 0 again
    EXPECT_TRUE(model.allProfilesNextApply());
    ApplyOutcome failed{true, true, false, true, "no keyboard"};
    model.FinishApply(failed);
    commands.Applied(failed);
    EXPECT_TRUE(model.allProfilesNextApply());

    model.Edit("key dialog", [](EditCopy& edit) {
        edit.macros.push_back(MakeMacro(u"Burst", 1));
        return true;
    });
    EXPECT_TRUE(commands.history().SendAllProfiles());
}

TEST_F(Commands, AFreshLoadForgetsEveryStep) {
    DialogOk(kA, MakeEntry(AssignmentKind::Key, kB));
    ASSERT_TRUE(commands.Undo());
    LoadOutcome outcome;
    outcome.ok = outcome.replaced = true;
    model.Loaded(outcome, false);
    EXPECT_FALSE(commands.CanUndo());
    EXPECT_FALSE(commands.CanRedo());
    EXPECT_FALSE(commands.Redo());
    EXPECT_EQ(At(kA), ConfigEntry{});
}

}  // namespace
}  // namespace vornak
