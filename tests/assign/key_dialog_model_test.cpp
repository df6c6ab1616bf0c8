#include "assign/key_dialog_model.h"

#include <gtest/gtest.h>

#include "tests/support/config_builders.h"
#include "tests/support/fake_macro_page.h"

namespace vornak {
namespace {

using test::MakeEntry;
using test::MakeMacro;

constexpr uint16_t kButtonA = 1058;  // KeyCode 0x01E
constexpr uint16_t kButtonB = 1075;  // KeyCode 0x030
constexpr uint16_t kButtonG1 = 1000;
constexpr KeyCode kA = 0x01E;
constexpr KeyCode kB = 0x030;
constexpr KeyCode kC = 0x02E;

HookKeyEvent Press(KeyCode scan) {
    return {0xFF, KeystrokeFlags(scan, false, false)};
}
HookKeyEvent Repeat(KeyCode scan) {
    return {0xFF, KeystrokeFlags(scan, false, true)};
}
HookKeyEvent Release(KeyCode scan) {
    return {0xFF, KeystrokeFlags(scan, true, false)};
}

// A host whose edit copy is held by a download.
class BusyHost : public StoreDialogHost {
  public:
    using StoreDialogHost::StoreDialogHost;
    bool EditConfig(std::string_view what, const std::function<bool(EditCopy&)>& edit) override {
        return busy ? false : StoreDialogHost::EditConfig(what, edit);
    }
    bool busy = true;
};

class KeyDialogTest : public ::testing::Test {
  protected:
    ConfigEntry Entry(int slot, int profile = 0) {
        std::lock_guard lock(store.lockA());
        return store.edit().image.entry(profile, slot);
    }
    void SetEntry(int slot, const ConfigEntry& e, int profile = 0) {
        std::lock_guard lock(store.lockA());
        store.edit().image.setEntry(profile, slot, e);
    }
    void SetMacros(std::vector<MacroRecord> macros) {
        std::lock_guard lock(store.lockA());
        store.edit().macros = std::move(macros);
    }

    ConfigStore store;
    StoreDialogHost host{store};
    test::FakeMacroPage macroPage;
    LanguageTexts texts;
    KeyDialogModel dialog{host, macroPage, texts};
};

TEST_F(KeyDialogTest, AKeyCapturedAsItselfStoresDefault) {
    SetEntry(kA, MakeEntry(AssignmentKind::Key, kB));
    ASSERT_TRUE(dialog.Open(kButtonA, false));
    EXPECT_EQ(dialog.page(), DialogPage::SingleKey);
    EXPECT_EQ(dialog.capturedKeyText(), u"B");
    EXPECT_TRUE(dialog.OnKeyEvent(Press(kA)));
    EXPECT_EQ(dialog.capturedKeyText(), u"A");
    ASSERT_EQ(dialog.Ok(), CommitOutcome::Written);
    EXPECT_EQ(Entry(kA), MakeEntry(AssignmentKind::Default, 0));
    EXPECT_FALSE(dialog.isOpen());
    EXPECT_TRUE(host.modified());
}

TEST_F(KeyDialogTest, CapturedKeyIsWrittenAndAppliesOncePerChange) {
    ASSERT_TRUE(dialog.Open(kButtonA, false));
    EXPECT_FALSE(dialog.applyEnabled());
    dialog.OnKeyEvent(Press(0x11D));  // Right Ctrl
    EXPECT_TRUE(dialog.applyEnabled());
    ASSERT_EQ(dialog.Apply(), CommitOutcome::Written);
    EXPECT_TRUE(dialog.isOpen());
    EXPECT_FALSE(dialog.applyEnabled());
    EXPECT_EQ(Entry(kA), MakeEntry(AssignmentKind::Key, 0x11D));
    dialog.Cancel();
    // What was applied stays; Cancel drops only what came after.
    EXPECT_EQ(Entry(kA), MakeEntry(AssignmentKind::Key, 0x11D));
}

TEST_F(KeyDialogTest, AHeldKeyIsCapturedOnceAndItsReleaseChangesNothing) {
    ASSERT_TRUE(dialog.Open(kButtonA, false));
    // A key held since before the page was shown: its repeats and release are swallowed, nothing captured.
    EXPECT_TRUE(dialog.OnKeyEvent(Repeat(kC)));
    EXPECT_TRUE(dialog.OnKeyEvent(Release(kC)));
    EXPECT_EQ(dialog.capturedKey(), 0);
    EXPECT_FALSE(dialog.applyEnabled());

    EXPECT_TRUE(dialog.OnKeyEvent(Press(kB)));
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(dialog.OnKeyEvent(Repeat(kB)));
    // Another key's release while B is held does not replace B.
    EXPECT_TRUE(dialog.OnKeyEvent(Release(kC)));
    EXPECT_TRUE(dialog.OnKeyEvent(Release(kB)));
    EXPECT_EQ(dialog.capturedKey(), kB);
    dialog.Ok();
    EXPECT_EQ(Entry(kA), MakeEntry(AssignmentKind::Key, kB));
}

TEST_F(KeyDialogTest, MediaKeysAreIgnoredAndPassedOn) {
    SetEntry(kA, MakeEntry(AssignmentKind::Key, kB));
    ASSERT_TRUE(dialog.Open(kButtonA, false));
    for (KeyCode media : {KeyCode(0x120), KeyCode(0x122), KeyCode(0x130), KeyCode(0x16D)}) {
        EXPECT_FALSE(dialog.OnKeyEvent(Press(media))) << media;
        EXPECT_FALSE(dialog.OnKeyEvent(Release(media))) << media;
    }
    EXPECT_EQ(dialog.capturedKey(), kB);
    EXPECT_FALSE(dialog.applyEnabled());
    // Nothing a key table holds, either (scan 0 with an unknown virtual key).
    EXPECT_FALSE(dialog.OnKeyEvent({0xBA, 0}));
}

TEST_F(KeyDialogTest, PrintScreenAndTheDesktopKeysAreCapturedOnAnyEvent) {
    ASSERT_TRUE(dialog.Open(kButtonA, false));
    EXPECT_TRUE(dialog.OnKeyEvent(Release(0x137)));
    EXPECT_EQ(dialog.capturedKey(), 0x137);
    // The Windows key by its virtual key alone, as a release: it is taken before the desktop opens its menu.
    EXPECT_TRUE(dialog.OnKeyEvent({0x5B, KeystrokeFlags(0, true, false)}));
    EXPECT_EQ(dialog.capturedKey(), 0x15B);
    EXPECT_TRUE(dialog.OnKeyEvent(Press(0x15C)));
    EXPECT_EQ(dialog.capturedKey(), 0x15C);
}

TEST_F(KeyDialogTest, ClearThenOkStoresDefaultWithValueZero) {
    SetEntry(kA, MakeEntry(AssignmentKind::Media, 3));
    ASSERT_TRUE(dialog.Open(kButtonA, false));
    EXPECT_EQ(dialog.page(), DialogPage::Media);
    EXPECT_EQ(dialog.mediaRow(), 3);
    dialog.Clear();
    EXPECT_EQ(dialog.page(), DialogPage::Default);
    EXPECT_EQ(dialog.shownPage(), DialogPage::SingleKey);
    EXPECT_TRUE(dialog.capturedKeyText().empty());
    EXPECT_TRUE(dialog.capturing());
    dialog.Ok();
    EXPECT_EQ(Entry(kA), MakeEntry(AssignmentKind::Default, 0));

    // On a G key the entry keeps its tag.
    SetEntry(256, MakeEntry(AssignmentKind::Key, kB, 0x0301));
    ASSERT_TRUE(dialog.Open(kButtonG1, false));
    dialog.Clear();
    EXPECT_TRUE(dialog.applyEnabled());  // also when the single-key page was already shown
    dialog.Ok();
    EXPECT_EQ(Entry(256), MakeEntry(AssignmentKind::Default, 0, 0x0301));
}

TEST_F(KeyDialogTest, PageButtons) {
    ASSERT_TRUE(dialog.Open(kButtonA, false));
    dialog.PressPageButton(kCtlSingleKeyPage);
    EXPECT_FALSE(dialog.applyEnabled());  // already there
    dialog.PressPageButton(kCtlFunctionPage);
    EXPECT_EQ(dialog.page(), DialogPage::Function);
    EXPECT_FALSE(dialog.capturing());
    EXPECT_FALSE(dialog.OnKeyEvent(Press(kB)));  // no capture off the single-key page
    EXPECT_TRUE(dialog.applyEnabled());
    dialog.ChooseFunctionRow(8);
    dialog.Clear();
    dialog.PressPageButton(kCtlSingleKeyPage);
    EXPECT_EQ(dialog.page(), DialogPage::Default);  // page 0 stays 0
    dialog.PressPageButton(kCtlMediaPage);
    dialog.ChooseMediaRow(17);
    dialog.ChooseMediaRow(18);  // no such row
    EXPECT_EQ(dialog.mediaRow(), 17);
    dialog.Ok();
    EXPECT_EQ(Entry(kA), MakeEntry(AssignmentKind::Media, 17));
}

TEST_F(KeyDialogTest, G9IsMacroOnlyOnBothLayers) {
    SetMacros({MakeMacro(u"Fire", 4, {}, 3), MakeMacro(u"Heal", 9)});
    ASSERT_TRUE(dialog.Open(kMacroOnlyButtonId, true));
    EXPECT_EQ(dialog.editedKey(), 273);
    EXPECT_TRUE(dialog.macroOnly());
    EXPECT_EQ(dialog.page(), DialogPage::Macro);
    EXPECT_FALSE(dialog.pageButtonEnabled(kCtlSingleKeyPage));
    EXPECT_FALSE(dialog.pageButtonEnabled(kCtlMediaPage));
    EXPECT_FALSE(dialog.pageButtonEnabled(kCtlFunctionPage));
    EXPECT_FALSE(dialog.clearEnabled());
    dialog.PressPageButton(kCtlMediaPage);
    dialog.Clear();
    EXPECT_EQ(dialog.page(), DialogPage::Macro);
    // OK with a macro shown gives G9 that macro, with its repeat count, though nothing was touched.
    dialog.Ok();
    EXPECT_EQ(Entry(273), MakeEntry(AssignmentKind::Macro, 4, 3));

    ASSERT_TRUE(dialog.Open(kMacroOnlyButtonId, false));
    EXPECT_EQ(dialog.editedKey(), 264);
    macroPage.Select(1);
    dialog.MacroPageEdited();
    dialog.Ok();
    EXPECT_EQ(Entry(264), MakeEntry(AssignmentKind::Macro, 9, 1));

    // No macros at all: OK returns G9 to its default.
    ASSERT_TRUE(dialog.Open(kMacroOnlyButtonId, false));
    macroPage.Delete(1);
    macroPage.Delete(0);
    dialog.Ok();
    EXPECT_EQ(Entry(264), MakeEntry(AssignmentKind::Default, 0, 0x0309));
    EXPECT_EQ(Entry(273), MakeEntry(AssignmentKind::Default, 0, 0x1309));  // its macro is gone too
}

TEST_F(KeyDialogTest, ReusedMacroIdResetsOtherKeysAndKeepsKeysWhoseMacroExists) {
    SetMacros({MakeMacro(u"One", 1), MakeMacro(u"Two", 2)});
    SetEntry(kB, MakeEntry(AssignmentKind::Macro, 2, 1));
    SetEntry(kC, MakeEntry(AssignmentKind::Macro, 1, 1));
    SetEntry(257, MakeEntry(AssignmentKind::Macro, 0x10002, 6));  // ids compare on their low 16 bits
    SetEntry(kB, MakeEntry(AssignmentKind::Macro, 2, 1), 2);      // another profile
    ASSERT_TRUE(dialog.Open(kButtonA, false));
    dialog.PressPageButton(kCtlMacroPage);
    macroPage.Delete(1);
    macroPage.Add(u"New");
    ASSERT_EQ(macroPage.macros().back().id, 2);
    dialog.MacroPageEdited();
    dialog.Ok();
    EXPECT_EQ(Entry(kB), MakeEntry(AssignmentKind::Default, 0));
    EXPECT_EQ(Entry(kB, 2), MakeEntry(AssignmentKind::Default, 0));
    EXPECT_EQ(Entry(257), MakeEntry(AssignmentKind::Default, 0, 0x0302));
    EXPECT_EQ(Entry(kC), MakeEntry(AssignmentKind::Macro, 1, 1));
    // The edited key takes the new macro, which is no longer new in the edit copy.
    EXPECT_EQ(Entry(kA), MakeEntry(AssignmentKind::Macro, 2, 1));
    std::lock_guard lock(store.lockA());
    ASSERT_EQ(store.edit().macros.size(), 2u);
    EXPECT_EQ(store.edit().macros[1].Name(), u"New");
    EXPECT_EQ(store.edit().macros[1].isNew, 0);
}

TEST_F(KeyDialogTest, ASecondApplyKeepsTheMacrosTheFirstOneWrote) {
    ASSERT_TRUE(dialog.Open(kButtonA, false));
    dialog.PressPageButton(kCtlMacroPage);
    macroPage.Add(u"Macro1");
    dialog.MacroPageEdited();
    dialog.Apply();
    EXPECT_EQ(Entry(kA), MakeEntry(AssignmentKind::Macro, 1, 1));
    dialog.Apply();
    EXPECT_EQ(Entry(kA), MakeEntry(AssignmentKind::Macro, 1, 1));
    dialog.Cancel();
}

TEST_F(KeyDialogTest, AnIdOfZeroTakesTheFirstMacro) {
    SetMacros({MakeMacro(u"First", 5)});
    SetEntry(kB, MakeEntry(AssignmentKind::Macro, 0, 2));
    ASSERT_TRUE(dialog.Open(kButtonA, false));
    dialog.Ok();
    EXPECT_EQ(Entry(kB), MakeEntry(AssignmentKind::Macro, 5, 2));
    EXPECT_EQ(dialog.lastCommit().filledEntries, std::vector<size_t>{kB});
}

TEST_F(KeyDialogTest, AKeyWhoseMacroIsGoneTakesTheMacroShownOnOk) {
    SetMacros({MakeMacro(u"First", 5, {}, 4), MakeMacro(u"Second", 6)});
    SetEntry(kA, MakeEntry(AssignmentKind::Macro, 9, 1));
    SetEntry(kB, MakeEntry(AssignmentKind::Macro, 9, 1));
    ASSERT_TRUE(dialog.Open(kButtonA, false));
    EXPECT_EQ(dialog.page(), DialogPage::Macro);
    EXPECT_EQ(macroPage.selected(), 0);
    ASSERT_EQ(dialog.Ok(), CommitOutcome::Written);
    EXPECT_EQ(Entry(kA), MakeEntry(AssignmentKind::Macro, 5, 4));
    EXPECT_EQ(Entry(kB), MakeEntry(AssignmentKind::Default, 0)) << "a key not opened is still reset";
}

TEST_F(KeyDialogTest, EntriesNoPageShowsSurviveOkUntouched) {
    {
        std::lock_guard lock(store.lockA());
        store.edit().image.setEntry(0, kA, MakeEntry(AssignmentKind::TextBlock, 0));
        store.edit().names.Set(EntryIndex(0, kA), u"gg wp");
        store.edit().image.setEntry(0, kB, MakeEntry(AssignmentKind::Disabled, 0));
    }
    ASSERT_TRUE(dialog.Open(kButtonA, false));
    EXPECT_EQ(dialog.page(), DialogPage::SingleKey);
    EXPECT_EQ(dialog.capturedKey(), 0);
    EXPECT_EQ(dialog.capturedKeyText(), u"Types a text: gg wp");
    ASSERT_EQ(dialog.Ok(), CommitOutcome::Written);
    EXPECT_EQ(Entry(kA), MakeEntry(AssignmentKind::TextBlock, 0));
    {
        std::lock_guard lock(store.lockA());
        EXPECT_EQ(store.edit().names.name(EntryIndex(0, kA)), u"gg wp");
    }
    EXPECT_FALSE(dialog.lastCommit().changed);

    ASSERT_TRUE(dialog.Open(kButtonB, false));
    EXPECT_EQ(dialog.capturedKeyText(), u"Disabled");
    dialog.Apply();
    EXPECT_EQ(Entry(kB), MakeEntry(AssignmentKind::Disabled, 0));
    dialog.Cancel();

    // A choice replaces the text block and frees its name.
    ASSERT_TRUE(dialog.Open(kButtonA, false));
    dialog.OnKeyEvent(Press(kC));
    dialog.Ok();
    EXPECT_EQ(Entry(kA), MakeEntry(AssignmentKind::Key, kC));
    std::lock_guard lock(store.lockA());
    EXPECT_FALSE(store.edit().names.name(EntryIndex(0, kA)).has_value());
    EXPECT_EQ(store.edit().names.total(), 0u);
}

TEST_F(KeyDialogTest, OkWithoutAChangeLeavesTheKeysEntryAsItWas) {
    SetMacros({MakeMacro(u"Burst", 3, {}, 1)});
    // A repeat count the page does not show (the macro's own count is 1), a media row outside the table.
    SetEntry(kA, MakeEntry(AssignmentKind::Macro, 3, 7));
    SetEntry(kB, MakeEntry(AssignmentKind::Media, 30));
    ASSERT_TRUE(dialog.Open(kButtonA, false));
    EXPECT_EQ(dialog.page(), DialogPage::Macro);
    EXPECT_EQ(macroPage.selected(), 0);
    dialog.Ok();
    EXPECT_EQ(Entry(kA), MakeEntry(AssignmentKind::Macro, 3, 7));
    ASSERT_TRUE(dialog.Open(kButtonB, false));
    EXPECT_EQ(dialog.mediaRow(), 0);
    dialog.Ok();
    EXPECT_EQ(Entry(kB), MakeEntry(AssignmentKind::Media, 30));
    // Nothing changed, so the main window's Apply keeps its state.
    EXPECT_FALSE(host.modified());
}

TEST_F(KeyDialogTest, CancelDropsWhatWasNotApplied) {
    SetMacros({MakeMacro(u"Keep", 1)});
    SetEntry(kA, MakeEntry(AssignmentKind::Key, kB));
    ASSERT_TRUE(dialog.Open(kButtonA, false));
    EXPECT_EQ(dialog.openCount(), 1);
    EXPECT_FALSE(dialog.Open(kButtonB, false));  // one dialog at a time
    dialog.OnKeyEvent(Press(kC));
    dialog.PressPageButton(kCtlMacroPage);
    macroPage.Delete(0);
    dialog.Cancel();
    EXPECT_EQ(dialog.openCount(), 0);
    EXPECT_EQ(macroPage.clears, 1);
    EXPECT_EQ(Entry(kA), MakeEntry(AssignmentKind::Key, kB));
    std::lock_guard lock(store.lockA());
    EXPECT_EQ(store.edit().macros.size(), 1u);
    EXPECT_FALSE(host.modified());
}

TEST_F(KeyDialogTest, UnknownButtonsOpenNothing) {
    EXPECT_FALSE(dialog.Open(999, false));
    EXPECT_FALSE(dialog.Open(1174, false));  // the Fn picture
    EXPECT_EQ(dialog.openCount(), 0);
    EXPECT_EQ(macroPage.loads, 0);
    EXPECT_EQ(dialog.Ok(), CommitOutcome::NotOpen);
}

TEST_F(KeyDialogTest, GKeysStandForTheirLayersSlot) {
    SetEntry(265 + 2, MakeEntry(AssignmentKind::Function, 4, 0x1303));
    ASSERT_TRUE(dialog.Open(1002, true));  // G3 on layer B
    EXPECT_EQ(dialog.editedKey(), 267);
    EXPECT_EQ(dialog.page(), DialogPage::Function);
    EXPECT_EQ(dialog.functionRow(), 4);
    dialog.OnKeyEvent(Press(kB));  // nothing: the capture is off on this page
    dialog.PressPageButton(kCtlSingleKeyPage);
    dialog.OnKeyEvent(Press(kB));
    dialog.Ok();
    EXPECT_EQ(Entry(267), MakeEntry(AssignmentKind::Key, kB, 0x1303));
    EXPECT_EQ(Entry(258), MakeEntry(AssignmentKind::Default, 0, 0x0303));
}

TEST_F(KeyDialogTest, TheDialogEditsTheCurrentProfile) {
    host.setCurrentProfile(1);
    ASSERT_TRUE(dialog.Open(kButtonA, false));
    dialog.OnKeyEvent(Press(kB));
    dialog.Ok();
    EXPECT_EQ(Entry(kA, 1), MakeEntry(AssignmentKind::Key, kB));
    EXPECT_EQ(Entry(kA, 0), MakeEntry(AssignmentKind::Default, 0));
}

TEST_F(KeyDialogTest, ABusyEditCopyKeepsTheDialogOpenWithItsChoice) {
    BusyHost busy(store);
    KeyDialogModel model(busy, macroPage, texts);
    ASSERT_TRUE(model.Open(kButtonA, false));
    model.OnKeyEvent(Press(kB));
    EXPECT_EQ(model.Ok(), CommitOutcome::Busy);
    EXPECT_TRUE(model.isOpen());
    EXPECT_TRUE(model.applyEnabled());
    EXPECT_EQ(Entry(kA), MakeEntry(AssignmentKind::Default, 0));
    busy.busy = false;
    EXPECT_EQ(model.Ok(), CommitOutcome::Written);
    EXPECT_EQ(Entry(kA), MakeEntry(AssignmentKind::Key, kB));
}

TEST_F(KeyDialogTest, HelpWaitsWhileAMacroIsRecorded) {
    ASSERT_TRUE(dialog.Open(kButtonA, false));
    dialog.PressPageButton(kCtlMacroPage);
    EXPECT_TRUE(dialog.helpAllowed());
    macroPage.StartRecording();
    EXPECT_FALSE(dialog.helpAllowed());
    dialog.PressPageButton(kCtlSingleKeyPage);  // leaving the page stops the recording
    EXPECT_TRUE(dialog.helpAllowed());
    dialog.Cancel();
}

}  // namespace
}  // namespace vornak
