#include "history/step_text.h"

#include <gtest/gtest.h>

#include "history/key_swap.h"
#include "tests/support/config_builders.h"
#include "tests/support/temp_dir.h"

namespace vornak {
namespace {

using test::MakeEntry;
using test::MakeMacro;

constexpr int kA = 0x1E, kB = 0x30;

class StepText : public ::testing::Test {
  protected:
    void SetUp() override { texts.LoadLanguageTexts(test::BinDir() / "Skins" / "language.ini"); }

    std::u16string Recorded(int slot, ConfigEntry entry) {
        auto capture = history.Begin();
        store.edit().image.setEntry(0, slot, entry);
        const auto text = DescribeAssignStep(slot, entry, store.edit().macros, texts);
        EXPECT_TRUE(history.Commit(std::move(capture), text, 0));
        return UndoMenuText(history, texts);
    }

    LanguageTexts texts;
    ConfigStore store;
    EditHistory history{store};
};

TEST_F(StepText, MenuEntriesSayWhatTheyWouldUndoAndRedo) {
    EXPECT_EQ(UndoMenuText(history, texts), u"Undo");
    EXPECT_EQ(RedoMenuText(history, texts), u"Redo");
    EXPECT_EQ(Recorded(kA, MakeEntry(AssignmentKind::Key, kB)), u"Undo: A \x2192 Key (B)");
    store.edit().macros = {MakeMacro(u"Burst", 3)};
    EXPECT_EQ(Recorded(GKeySlot(4, true), MakeEntry(AssignmentKind::Macro, 3, 2)),
              u"Undo: G5 \x2192 Macro (Burst)");
    EXPECT_EQ(Recorded(kA, ConfigEntry{}), u"Undo: A \x2192 Default");
    EXPECT_EQ(Recorded(kB, MakeEntry(AssignmentKind::TextBlock, 0)), u"Undo: B");
    ASSERT_TRUE(history.Undo(0));
    EXPECT_EQ(RedoMenuText(history, texts), u"Redo: B");
    EXPECT_EQ(UndoMenuText(history, texts), u"Undo: A \x2192 Default");
}

TEST_F(StepText, SwapCopyDefaultsAndTheG9Refusal) {
    EXPECT_EQ(DescribeSwapStep(kA, GKeySlot(0, false), texts), u"Swap A \x2194 G1");
    EXPECT_EQ(DescribeCopyStep(kB, kA, texts), u"Copy B \x2192 A");
    EXPECT_EQ(DescribeRestoreDefaultsStep(texts), u"Restore defaults");
    EXPECT_NE(MoveRefusalText(AssignRefusal::MacroOnlyKey, texts).find(u"G9"), std::u16string::npos);
    EXPECT_EQ(MoveRefusalText(AssignRefusal::None, texts), u"");
}

}  // namespace
}  // namespace vornak
