// The key dialog on the main window's model: its writes are the window's edits (one undo step each, Apply
// enabled, on the selected profile), and a write while a device job runs is refused with the dialog left as
// it was.
#include "program/window_dialog_host.h"

#include <gtest/gtest.h>

#include <mutex>

#include "assign/key_dialog_model.h"
#include "program/history_commands.h"
#include "tests/support/config_builders.h"
#include "tests/support/fake_macro_page.h"
#include "tests/support/scripted_prompts.h"

namespace vornak {
namespace {

using test::MakeEntry;

constexpr uint16_t kButtonA = 1058;  // KeyCode 0x01E
constexpr KeyCode kA = 0x01E, kB = 0x030;

HookKeyEvent Press(KeyCode scan) {
    return {0xFF, KeystrokeFlags(scan, false, false)};
}

class WindowHost : public ::testing::Test {
  protected:
    WindowHost() {
        texts.Set(TextId::KEY_PROMPT_SET, u" \x2192 ");
        texts.Set(TextId::KEY_PROMPT_SINGLE, u"Key (");
        model.Refresh();
    }
    ConfigEntry At(int profile, int slot) {
        std::lock_guard lock(store.lockA());
        return store.edit().image.entry(profile, slot);
    }
    // Opens the dialog for A as the window does, the undo step named after the key.
    void OpenA() {
        commands.SetDialogSlot(kA);
        ASSERT_TRUE(dialog.Open(kButtonA, false));
    }

    ConfigStore store;
    LanguageTexts texts;
    MainWindowModel model{store, texts};
    HistoryCommands commands{model, store, texts};
    // The window: a job pending or not, and how many edits it was told to show.
    struct Window : DialogWindow {
        bool jobPending() const override { return busy; }
        void EditShown() override { ++edits; }
        bool busy = false;
        int edits = 0;
    } window;
    bool& busy = window.busy;
    int& edits = window.edits;
    WindowDialogHost host{model, store, window};
    test::FakeMacroPage macroPage;
    KeyDialogModel dialog{host, macroPage, texts};
};

TEST_F(WindowHost, OkIsOneUndoStepNamedForTheKeyAndEnablesApply) {
    OpenA();
    ASSERT_TRUE(dialog.OnKeyEvent(Press(kB)));
    ASSERT_EQ(dialog.Ok(), CommitOutcome::Written);
    EXPECT_EQ(edits, 1);
    EXPECT_EQ(At(0, kA), MakeEntry(AssignmentKind::Key, kB));
    EXPECT_TRUE(model.applyEnabled());
    EXPECT_TRUE(model.LookOf(kButtonA)->assigned);
    EXPECT_EQ(commands.history().undoCount(), 1u);
    EXPECT_EQ(commands.UndoText(), u"Undo: A \x2192 Key (B)");
    ASSERT_TRUE(commands.Undo());
    EXPECT_EQ(At(0, kA), ConfigEntry{});
}

TEST_F(WindowHost, OkWithoutAChangeLeavesApplyAndTheHistoryAlone) {
    OpenA();
    ASSERT_EQ(dialog.Ok(), CommitOutcome::Written);
    EXPECT_FALSE(model.applyEnabled());
    EXPECT_FALSE(commands.CanUndo());
}

TEST_F(WindowHost, TheDialogEditsTheSelectedProfileOnly) {
    model.SelectProfile(2);
    OpenA();
    ASSERT_TRUE(dialog.OnKeyEvent(Press(kB)));
    ASSERT_EQ(dialog.Ok(), CommitOutcome::Written);
    EXPECT_EQ(At(2, kA), MakeEntry(AssignmentKind::Key, kB));
    EXPECT_EQ(At(0, kA), ConfigEntry{});
    EXPECT_EQ(At(1, kA), ConfigEntry{});
    EXPECT_FALSE(model.allProfilesNextApply());
}

TEST_F(WindowHost, AWriteWhileAJobRunsIsRefusedAndTheDialogKeepsItsChoice) {
    OpenA();
    ASSERT_TRUE(dialog.OnKeyEvent(Press(kB)));
    busy = true;
    EXPECT_EQ(dialog.Apply(), CommitOutcome::Busy);
    EXPECT_EQ(dialog.Ok(), CommitOutcome::Busy);
    EXPECT_EQ(edits, 0) << "the window's edit (and lock A) was not reached";
    EXPECT_TRUE(dialog.isOpen());
    EXPECT_EQ(dialog.capturedKey(), kB);
    EXPECT_TRUE(dialog.applyEnabled());
    EXPECT_FALSE(model.applyEnabled());
    EXPECT_FALSE(commands.CanUndo());
    EXPECT_EQ(At(0, kA), ConfigEntry{});

    busy = false;  // the job ended: the same OK goes through
    ASSERT_EQ(dialog.Ok(), CommitOutcome::Written);
    EXPECT_FALSE(dialog.isOpen());
    EXPECT_EQ(At(0, kA), MakeEntry(AssignmentKind::Key, kB));
    EXPECT_EQ(commands.history().undoCount(), 1u);
}

TEST_F(WindowHost, AMacroIsDeletedOnlyWhileNoJobRunsAndTheUserIsToldWhy) {
    test::ScriptedPrompts prompts;
    int keysAsked = 0;
    bool keysAgree = true;
    MacroEditor editor{texts, prompts,
                       MacroDeleteWhenIdle([this] { return busy; }, prompts, texts,
                                           [&](const MacroRecord&) {
                                               ++keysAsked;
                                               return keysAgree;
                                           }),
                       [] { return 0u; }, nullptr};
    editor.Load({});
    ASSERT_TRUE(editor.Add());
    ASSERT_TRUE(editor.Add());

    busy = true;
    EXPECT_FALSE(editor.DeleteSelected());
    EXPECT_EQ(editor.macros().size(), 2u);
    EXPECT_EQ(keysAsked, 0) << "whether a key plays it is not read while a job may hold lock A";
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0], texts[TextId::KEY_DIALOG_BUSY]);

    busy = false;  // idle: the keys' answer decides
    keysAgree = false;
    EXPECT_FALSE(editor.DeleteSelected());
    EXPECT_EQ(editor.macros().size(), 2u);
    keysAgree = true;
    EXPECT_TRUE(editor.DeleteSelected());
    EXPECT_EQ(editor.macros().size(), 1u);
    EXPECT_EQ(keysAsked, 2);
    EXPECT_EQ(prompts.messages.size(), 1u);
}

}  // namespace
}  // namespace vornak
