#include "macro/macro_editor.h"

#include <gtest/gtest.h>

#include "macro/macro_blob.h"
#include "platform/text_format.h"
#include "tests/support/config_builders.h"
#include "tests/support/scripted_prompts.h"

namespace vornak {
namespace {

using test::MakeMacro;

class Editor : public ::testing::Test, protected MacroEditorObserver {
  protected:
    Editor() { editor.SetObserver(this); }

    void Open(std::vector<MacroRecord> list, uint32_t currentValue = 0) {
        editor.Load(list);
        editor.Enter(currentValue, true);
        edits = 0;
    }
    std::vector<std::u16string> Names() const {
        std::vector<std::u16string> n;
        for (const auto& m : editor.macros())
            n.emplace_back(m.Name());
        return n;
    }
    std::vector<uint16_t> Ids() const {
        std::vector<uint16_t> ids;
        for (const auto& m : editor.macros())
            ids.push_back(m.id);
        return ids;
    }
    std::vector<uint32_t> Delays() const {
        std::vector<uint32_t> d;
        for (const auto& row : editor.rows())
            d.push_back(row.action.delay);
        return d;
    }

    void Edited() override { ++edits; }

    LanguageTexts texts;
    test::ScriptedPrompts prompts;
    std::vector<uint16_t> deleteAsked;
    bool mayDelete = true;
    int edits = 0;
    MacroEditor editor{texts, prompts,
                       [this](const MacroRecord& m) {
                           deleteAsked.push_back(m.id);
                           return mayDelete;
                       },
                       [] { return 0u; }, nullptr};
};

TEST_F(Editor, AddNamesByCounterAndTakesTheLowestFreeId) {
    Open({});
    editor.Add();
    editor.Add();
    editor.Add();
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"Macro1", u"Macro2", u"Macro3"}));
    EXPECT_EQ(Ids(), (std::vector<uint16_t>{1, 2, 3}));
    EXPECT_EQ(editor.selected(), 2);
    for (const auto& m : editor.macros()) {
        EXPECT_EQ(m.isNew, 1);
        EXPECT_EQ(m.cycles, 1);
    }
    editor.Select(1);
    EXPECT_TRUE(editor.DeleteSelected());
    EXPECT_EQ(editor.selected(), 0);  // the entry before the deleted one
    editor.Add();
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"Macro1", u"Macro3", u"Macro4"}));
    EXPECT_EQ(Ids(), (std::vector<uint16_t>{1, 3, 2}));
    EXPECT_EQ(edits, 6);  // choosing another macro is one too
}

TEST_F(Editor, AddSkipsNamesThatAnEntryBeginsWith) {
    Open({MakeMacro(u"Macro10", 1), MakeMacro(u"macro2", 2)});
    editor.Add();
    EXPECT_EQ(Names().back(), u"Macro3");  // Macro1 begins Macro10, Macro2 is macro2 in another case
    EXPECT_EQ(editor.macros().back().id, 3);
}

TEST_F(Editor, AddOnAnEmptiedListStartsCountingAgain) {
    Open({});
    editor.Add();
    editor.Add();
    editor.DeleteSelected();
    editor.DeleteSelected();
    EXPECT_EQ(editor.selected(), -1);
    editor.Add();
    EXPECT_EQ(Names(), (std::vector<std::u16string>{u"Macro1"}));
}

TEST_F(Editor, AddRefusesTheHundredAndFirstMacro) {
    std::vector<MacroRecord> full;
    for (uint16_t id = 1; id <= kMaxMacros; ++id)
        full.push_back(MakeMacro(u"m", id));
    Open(full);
    EXPECT_FALSE(editor.Add());
    EXPECT_EQ(editor.macros().size(), kMaxMacros);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0], FormatText(texts[TextId::MACRO_ERR_MAX], {int64_t{100}}));
    EXPECT_EQ(edits, 0);
}

TEST_F(Editor, DeleteAsksThroughTheKeysCheckAndKeepsTheMacroOnNo) {
    Open({MakeMacro(u"a", 4), MakeMacro(u"b", 9)}, 9);
    EXPECT_EQ(editor.selected(), 1);
    mayDelete = false;
    EXPECT_FALSE(editor.DeleteSelected());
    EXPECT_EQ(deleteAsked, (std::vector<uint16_t>{9}));
    EXPECT_EQ(editor.macros().size(), 2u);
    EXPECT_EQ(edits, 0);
    mayDelete = true;
    EXPECT_TRUE(editor.DeleteSelected());
    EXPECT_EQ(Ids(), (std::vector<uint16_t>{4}));
}

TEST_F(Editor, StoreBackKeepsEditsAcrossSelection) {
    Open({MakeMacro(u"a", 1, test::Taps(3), 5), MakeMacro(u"b", 2, test::Taps(1), 7)}, 1);
    EXPECT_EQ(editor.repeatText(), u"5");
    editor.SelectRow(0);
    editor.DeleteRow();
    editor.TypeRepeat(u"12");
    editor.Select(1);
    EXPECT_EQ(editor.repeatText(), u"7");
    EXPECT_EQ(editor.rows().size(), 1u);
    const MacroRecord& a = editor.macros()[0];
    EXPECT_EQ(a.actionCount, 2);
    EXPECT_EQ(a.cycles, 12);
    EXPECT_EQ(a.actions[0].delay, 10u);  // the row that was second is first now
    editor.Select(0);
    EXPECT_EQ(Delays(), (std::vector<uint32_t>{10, 20}));
}

TEST_F(Editor, LoadedRowsKeepTheirDelaysAndReadOddReleaseValuesAsPresses) {
    Open({MakeMacro(u"a", 1, {{120, 0x01E, 0}, {33, 0x01E, 7}, {0, 0x01E, 1}})}, 1);
    EXPECT_EQ(Delays(), (std::vector<uint32_t>{120, 33, 0}));
    EXPECT_EQ(editor.rows()[1].action.release, 0);
    EXPECT_TRUE(editor.rows()[0].grey);
    EXPECT_EQ(editor.CellText(0, 0), u"A");
    EXPECT_EQ(editor.CellText(0, 1), u"\u2193");
    EXPECT_EQ(editor.CellText(2, 1), u"  \u2191");
    EXPECT_EQ(editor.CellText(0, 2), u"120");
    EXPECT_EQ(edits, 0);  // showing is no edit
}

TEST_F(Editor, EnteringSelectsByIdOrFirstAndPlainFormOnlyOnce) {
    const std::vector<MacroRecord> list = {MakeMacro(u"a", 3), MakeMacro(u"b", 8)};
    editor.Load(list);
    editor.Enter(0x10008, true);  // low 16 bits of the entry's value
    EXPECT_EQ(editor.selected(), 1);
    editor.Load(list);
    editor.Enter(42, true);
    EXPECT_EQ(editor.selected(), 0);

    editor.Load(list);
    editor.Enter(0x1E, false);  // the key sends another key: nothing chosen for it
    EXPECT_EQ(editor.selected(), -1);
    EXPECT_FALSE(editor.rowButtonsEnabled());
    editor.Enter(0, false);  // not the first time any more
    EXPECT_EQ(editor.selected(), -1);
    editor.Load(list);
    editor.Enter(0, false);
    EXPECT_EQ(editor.selected(), 0);
    EXPECT_TRUE(editor.rowButtonsEnabled());
}

TEST_F(Editor, LoadAndApplyClearTheNewMarks) {
    MacroRecord stale = MakeMacro(u"a", 1);
    stale.isNew = 1;
    Open({stale});
    EXPECT_EQ(editor.macros()[0].isNew, 0);
    editor.Add();
    EXPECT_EQ(editor.macros()[1].isNew, 1);
    editor.Applied();
    EXPECT_EQ(editor.macros()[1].isNew, 0);
    editor.Clear();
    EXPECT_TRUE(editor.macros().empty());
    EXPECT_EQ(editor.selected(), -1);
}

TEST_F(Editor, TypingANameRenamesOrCreatesTheFirstMacro) {
    Open({});
    editor.TypeName(u"");
    EXPECT_TRUE(editor.macros().empty());
    editor.TypeName(u"Jump");
    ASSERT_EQ(editor.macros().size(), 1u);
    EXPECT_EQ(editor.selected(), 0);
    EXPECT_EQ(editor.macros()[0].id, 1);
    EXPECT_EQ(editor.macros()[0].isNew, 1);
    editor.TypeName(std::u16string(300, u'j'));
    EXPECT_EQ(editor.macros()[0].Name().size(), 249u);
    EXPECT_EQ(editor.macros().size(), 1u);
    EXPECT_EQ(edits, 2);
}

TEST_F(Editor, DelayCellRoundsDownAndCapsWithTheMessage) {
    Open({MakeMacro(u"a", 1, test::Taps(2))}, 1);
    editor.CommitDelay(0, u"12345");
    EXPECT_EQ(editor.rows()[0].action.delay, 12340u);
    EXPECT_TRUE(prompts.messages.empty());
    editor.CommitDelay(0, u"99999");
    EXPECT_EQ(editor.rows()[0].action.delay, 40000u);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0], FormatText(texts[TextId::MACRO_ACTION_ERR_DELAY_MAX], {int64_t{40000}}));
    editor.CommitDelay(0, u"99999999999999999999");  // far beyond any integer: still the maximum
    EXPECT_EQ(editor.rows()[0].action.delay, 40000u);
    editor.CommitDelay(1, u"7");
    EXPECT_EQ(editor.rows()[1].action.delay, 0u);
    editor.CommitDelay(1, u"");
    editor.CommitDelay(1, u"-20");
    EXPECT_EQ(editor.rows()[1].action.delay, 0u);
    EXPECT_EQ(edits, 3);
}

TEST_F(Editor, RepeatBoxIsKeptInRange) {
    Open({MakeMacro(u"a", 1, {}, 9)}, 1);
    editor.TypeRepeat(u"0");
    EXPECT_EQ(editor.repeatText(), u"1");
    EXPECT_EQ(editor.repeatCount(), 1);
    editor.TypeRepeat(u"300");
    EXPECT_EQ(editor.repeatText(), u"255");
    EXPECT_EQ(editor.repeatCount(), 255);
    editor.TypeRepeat(u"4x");  // refused: the box keeps its text
    EXPECT_EQ(editor.repeatText(), u"255");
    editor.TypeRepeat(u"42");
    editor.TypeRepeat(u"");  // cleared while retyping: the count stays
    EXPECT_EQ(editor.repeatCount(), 42);
    editor.StoreBack();
    EXPECT_EQ(editor.macros()[0].cycles, 42);
    editor.FinishRepeat();
    EXPECT_EQ(editor.repeatText(), u"42");
}

TEST_F(Editor, StoredZeroRepeatShowsAsOne) {
    Open({MakeMacro(u"a", 1, {}, 0)}, 1);
    EXPECT_EQ(editor.repeatText(), u"1");
    EXPECT_EQ(editor.repeatCount(), 1);
}

TEST_F(Editor, MovesCarryTheRowAndKeepItSelected) {
    Open({MakeMacro(u"a", 1, {{10, 0x010, 0}, {20, 0x011, 1}, {30, 0x012, 0}, {40, 0x013, 1}})}, 1);
    auto keys = [this] {
        std::vector<uint16_t> k;
        for (const auto& row : editor.rows())
            k.push_back(row.action.keyCode);
        return k;
    };
    editor.SelectRow(2);
    editor.MoveRowToTop();
    EXPECT_EQ(keys(), (std::vector<uint16_t>{0x012, 0x010, 0x011, 0x013}));
    EXPECT_EQ(Delays(), (std::vector<uint32_t>{30, 10, 20, 40}));
    EXPECT_EQ(editor.selectedRow(), 0);
    editor.MoveRowUp();  // already at the top
    EXPECT_EQ(edits, 1);
    editor.MoveRowDown();
    EXPECT_EQ(keys(), (std::vector<uint16_t>{0x010, 0x012, 0x011, 0x013}));
    editor.MoveRowToBottom();
    EXPECT_EQ(keys(), (std::vector<uint16_t>{0x010, 0x011, 0x013, 0x012}));
    EXPECT_EQ(editor.rows()[3].action.release, 0);
    EXPECT_EQ(editor.selectedRow(), 3);
    editor.MoveRowUp();
    EXPECT_EQ(keys(), (std::vector<uint16_t>{0x010, 0x011, 0x012, 0x013}));
    EXPECT_EQ(edits, 4);
    editor.SelectRow(-1);
    editor.MoveRowToTop();
    EXPECT_EQ(edits, 4);
}

TEST_F(Editor, DeleteRowAndClearRows) {
    Open({MakeMacro(u"a", 1, {{10, 0x010, 0}, {20, 0x011, 1}, {30, 0x012, 0}})}, 1);
    editor.SelectRow(2);
    editor.DeleteRow();
    EXPECT_EQ(Delays(), (std::vector<uint32_t>{10, 20}));  // other delays unchanged
    EXPECT_EQ(editor.selectedRow(), 1);
    prompts.answers = {PromptAnswer::No};
    EXPECT_FALSE(editor.ClearRows());
    EXPECT_EQ(editor.rows().size(), 2u);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0], texts[TextId::MACRO_ACTION_CLEAR_CONFIRM]);
    prompts.answers = {PromptAnswer::Yes};
    EXPECT_TRUE(editor.ClearRows());
    EXPECT_TRUE(editor.rows().empty());
    EXPECT_FALSE(editor.ClearRows());  // nothing to clear: no question
    EXPECT_EQ(prompts.messages.size(), 2u);
}

TEST_F(Editor, KeyAndActionCellsChooseFromTheirLists) {
    Open({MakeMacro(u"a", 1, {{10, 0x01E, 0}})}, 1);
    const auto keys = editor.KeyChoices();
    ASSERT_EQ(keys.size(), kListPositionCount);
    const int a = editor.KeyChoice(0);
    ASSERT_GE(a, 0);
    EXPECT_EQ(keys[static_cast<size_t>(a)], u"A");
    editor.ChooseKey(0, a);  // the same choice changes nothing
    EXPECT_EQ(edits, 0);
    const int other = a == 0 ? 1 : 0;
    editor.ChooseKey(0, other);
    EXPECT_EQ(editor.rows()[0].action.keyCode, ListPositionToKeyCode(static_cast<uint16_t>(other)));
    EXPECT_EQ(editor.CellText(0, 0), keys[static_cast<size_t>(other)]);
    editor.ChooseKey(0, static_cast<int>(kListPositionCount));  // out of the list
    EXPECT_EQ(editor.KeyChoice(0), other);
    editor.ChooseAction(0, 1);
    EXPECT_EQ(editor.rows()[0].action.release, 1);
    EXPECT_EQ(editor.rows()[0].action.delay, 10u);
    EXPECT_EQ(edits, 2);
}

TEST_F(Editor, MemoryCountsTheShownRowsAndSaysWhatFits) {
    Open({MakeMacro(u"ab", 1, test::Taps(3)), MakeMacro(u"cd", 2, test::Taps(2))}, 1);
    MacroMemoryUse use = editor.memoryUse();
    EXPECT_EQ(use.fit, MacroMemoryFit::Unknown);
    const MacroBlobSizes stored = ComputeMacroBlobSizes(editor.macros());
    EXPECT_EQ(use.withoutNames, stored.withoutNames);
    EXPECT_EQ(use.withNames, stored.withNames);
    EXPECT_EQ(use.withoutNames, 16u + 4 + (4 + 12) + (4 + 8));

    editor.SelectRow(0);
    editor.DeleteRow();  // not stored back yet, and still counted
    EXPECT_EQ(editor.memoryUse().withoutNames, stored.withoutNames - 4);

    editor.SetMacroCapacity(use.withNames);
    use = editor.memoryUse();
    EXPECT_EQ(use.fit, MacroMemoryFit::Fits);
    EXPECT_EQ(use.used(), use.withNames);
    editor.SetMacroCapacity(use.withNames - 1);
    use = editor.memoryUse();
    EXPECT_EQ(use.fit, MacroMemoryFit::WithoutNames);
    EXPECT_EQ(use.used(), use.withoutNames);
    EXPECT_EQ(DescribeMacroMemory(use, texts).state, texts[TextId::MACRO_MEMORY_NO_NAMES]);
    editor.SetMacroCapacity(use.withoutNames - 1);
    use = editor.memoryUse();
    EXPECT_EQ(use.fit, MacroMemoryFit::TooLarge);
    const MacroMemoryText text = DescribeMacroMemory(use, texts);
    EXPECT_EQ(text.amount, FormatText(texts[TextId::MACRO_MEMORY_USED],
                                      {int64_t{use.withoutNames}, int64_t{use.withoutNames - 1}}));
    EXPECT_EQ(text.state, texts[TextId::MACRO_MEMORY_TOO_LARGE]);
}

}  // namespace
}  // namespace vornak
