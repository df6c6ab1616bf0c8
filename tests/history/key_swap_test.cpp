#include "history/key_swap.h"

#include <gtest/gtest.h>

#include "tests/support/config_builders.h"

namespace vornak {
namespace {

using test::MakeEntry;

constexpr int kA = 0x1E, kB = 0x30, kEsc = 0x01, kQ = 0x10;
constexpr int kG1 = GKeySlot(0, false), kG3 = GKeySlot(2, false);
constexpr int kG9 = GKeySlot(8, false), kG9LayerB = GKeySlot(8, true);

constexpr uint16_t Kind(AssignmentKind k) {
    return static_cast<uint16_t>(k);
}

class KeySwap : public ::testing::Test {
  protected:
    ConfigEntry At(int slot, int profile = 0) const { return edit.image.entry(profile, slot); }
    void Put(int slot, ConfigEntry e, int profile = 0) {
        if (IsGKeySlot(slot) && e.kind != Kind(AssignmentKind::Macro)) e.code = GKeyTag(slot);
        edit.image.setEntry(profile, slot, e);
    }
    const std::optional<std::u16string>& NameOf(int slot) const {
        return edit.names.name(EntryIndex(0, slot));
    }

    EditCopy edit;
};

TEST_F(KeySwap, SwapMovesAssignmentsAndLeavesTagsAndFlagsWithTheirSlots) {
    Put(kG1, MakeEntry(AssignmentKind::Media, 4));
    ConfigEntry a = MakeEntry(AssignmentKind::Macro, 7, 3);
    a.selected = 1;
    Put(kA, a);
    ASSERT_EQ(SwapAssignments(edit, 0, kA, kG1), AssignRefusal::None);
    EXPECT_EQ(At(kA), (ConfigEntry{Kind(AssignmentKind::Media), 0, 4, 1, 0}));
    EXPECT_EQ(At(kG1), (ConfigEntry{Kind(AssignmentKind::Macro), 3, 7, 0, 0}));  // the repeat count travels

    // And back: the G-key tag returns with Default.
    ASSERT_EQ(SwapAssignments(edit, 0, kA, kG1), AssignRefusal::None);
    EXPECT_EQ(At(kG1), (ConfigEntry{Kind(AssignmentKind::Media), GKeyTag(kG1), 4, 0, 0}));
    EXPECT_EQ(At(kA), (ConfigEntry{Kind(AssignmentKind::Macro), 3, 7, 1, 0}));

    // Only the profile asked for.
    Put(kQ, MakeEntry(AssignmentKind::Function, 2), 1);
    ASSERT_EQ(SwapAssignments(edit, 1, kQ, kB), AssignRefusal::None);
    EXPECT_EQ(At(kB, 1).kind, Kind(AssignmentKind::Function));
    EXPECT_EQ(At(kQ, 1).kind, Kind(AssignmentKind::Default));
    EXPECT_EQ(At(kA).kind, Kind(AssignmentKind::Macro));
}

TEST_F(KeySwap, AKeyGivenItsOwnCodeBecomesDefault) {
    Put(kA, MakeEntry(AssignmentKind::Key, kB));  // A sends B; B is untouched
    ASSERT_EQ(SwapAssignments(edit, 0, kA, kB), AssignRefusal::None);
    EXPECT_EQ(At(kB), ConfigEntry{});
    EXPECT_EQ(At(kA), ConfigEntry{});

    Put(kA, MakeEntry(AssignmentKind::Key, kEsc));
    ASSERT_EQ(CopyAssignment(edit, 0, kA, kEsc), AssignRefusal::None);
    EXPECT_EQ(At(kEsc), ConfigEntry{});
    EXPECT_EQ(At(kA).value, static_cast<uint32_t>(kEsc));
}

TEST_F(KeySwap, G9TakesOnlyAMacroOrDefault) {
    Put(kA, MakeEntry(AssignmentKind::Key, kB));
    Put(kG9, MakeEntry(AssignmentKind::Macro, 2, 1));
    const EditCopy before = edit;
    for (int g9 : {kG9, kG9LayerB}) {
        EXPECT_EQ(SwapAssignments(edit, 0, kA, g9), AssignRefusal::MacroOnlyKey);
        EXPECT_EQ(SwapAssignments(edit, 0, g9, kA), AssignRefusal::MacroOnlyKey);
        EXPECT_EQ(CopyAssignment(edit, 0, kA, g9), AssignRefusal::MacroOnlyKey);
        EXPECT_EQ(CheckCopy(edit, 0, kA, g9), AssignRefusal::MacroOnlyKey);
    }
    // Stored-only kinds are no macro either.
    Put(kQ, MakeEntry(AssignmentKind::TextBlock, 0));
    Put(kEsc, MakeEntry(AssignmentKind::Disabled, 0));
    EXPECT_EQ(CopyAssignment(edit, 0, kQ, kG9), AssignRefusal::MacroOnlyKey);
    EXPECT_EQ(CopyAssignment(edit, 0, kEsc, kG9), AssignRefusal::MacroOnlyKey);
    EXPECT_EQ(At(kA), before.image.entry(0, kA));
    EXPECT_EQ(At(kG9), before.image.entry(0, kG9));

    // A macro, or Default, is taken; G9's macro may go anywhere.
    ASSERT_EQ(SwapAssignments(edit, 0, kG9, kB), AssignRefusal::None);
    EXPECT_EQ(At(kB), MakeEntry(AssignmentKind::Macro, 2, 1));
    EXPECT_EQ(At(kG9), (ConfigEntry{0, GKeyTag(kG9), 0, 0, 0}));
    ASSERT_EQ(CopyAssignment(edit, 0, kB, kG9LayerB), AssignRefusal::None);
    EXPECT_EQ(At(kG9LayerB), MakeEntry(AssignmentKind::Macro, 2, 1));
}

TEST_F(KeySwap, NamesOfProgramsAndTextsTravelWithTheirEntries) {
    Put(kA, MakeEntry(AssignmentKind::TextBlock, 40));
    edit.names.Set(EntryIndex(0, kA), u"kind regards");
    Put(kB, MakeEntry(AssignmentKind::LaunchProgram, 80));
    edit.names.Set(EntryIndex(0, kB), u"/usr/bin/gimp");
    const uint64_t total = edit.names.total();

    ASSERT_EQ(SwapAssignments(edit, 0, kA, kB), AssignRefusal::None);
    EXPECT_EQ(At(kA), MakeEntry(AssignmentKind::LaunchProgram, 80));
    EXPECT_EQ(NameOf(kA), u"/usr/bin/gimp");
    EXPECT_EQ(NameOf(kB), u"kind regards");
    EXPECT_EQ(edit.names.total(), total);

    // Onto a key without a name, and onto a G key, which keeps its tag.
    ASSERT_EQ(SwapAssignments(edit, 0, kB, kG3), AssignRefusal::None);
    EXPECT_FALSE(NameOf(kB).has_value());
    EXPECT_EQ(NameOf(kG3), u"kind regards");
    EXPECT_EQ(At(kG3), (ConfigEntry{Kind(AssignmentKind::TextBlock), GKeyTag(kG3), 40, 0, 0}));

    // A copy gives the target its own name; a named target loses its own.
    ASSERT_EQ(CopyAssignment(edit, 0, kG3, kA), AssignRefusal::None);
    EXPECT_EQ(NameOf(kA), u"kind regards");
    EXPECT_EQ(NameOf(kG3), u"kind regards");
    EXPECT_EQ(edit.names.total(), 2 * edit.names.SizeOf(EntryIndex(0, kA)));
    Put(kQ, MakeEntry(AssignmentKind::Media, 3));
    ASSERT_EQ(CopyAssignment(edit, 0, kQ, kA), AssignRefusal::None);
    EXPECT_FALSE(NameOf(kA).has_value());
    EXPECT_EQ(edit.names.total(), edit.names.SizeOf(EntryIndex(0, kG3)));
}

TEST_F(KeySwap, StoredValuesTheDialogWouldNotGiveMoveAsTheyAre) {
    Put(kA, MakeEntry(AssignmentKind::Macro, 5, 0));  // repeat 0: no dialog writes it
    Put(kB, MakeEntry(AssignmentKind::StopMacro, 0));
    Put(kQ, MakeEntry(AssignmentKind::Key, 0x1FF));  // no such key
    ASSERT_EQ(CopyAssignment(edit, 0, kA, kG9), AssignRefusal::None);
    EXPECT_EQ(At(kG9), MakeEntry(AssignmentKind::Macro, 5, 0));
    ASSERT_EQ(SwapAssignments(edit, 0, kB, kG1), AssignRefusal::None);
    EXPECT_EQ(At(kG1), (ConfigEntry{Kind(AssignmentKind::StopMacro), GKeyTag(kG1), 0, 0, 0}));
    EXPECT_EQ(At(kB), ConfigEntry{});
    ASSERT_EQ(CopyAssignment(edit, 0, kQ, kEsc), AssignRefusal::None);
    EXPECT_EQ(At(kEsc), MakeEntry(AssignmentKind::Key, 0x1FF));
}

TEST_F(KeySwap, AKeyOntoItselfOrOutsideTheBlocksChangesNothing) {
    Put(kA, MakeEntry(AssignmentKind::Key, kB));
    const EditCopy before = edit;
    EXPECT_EQ(SwapAssignments(edit, 0, kA, kA), AssignRefusal::None);
    EXPECT_EQ(CopyAssignment(edit, 0, kA, kA), AssignRefusal::None);
    EXPECT_EQ(SwapAssignments(edit, 0, kA, 300), AssignRefusal::BadValue);
    EXPECT_EQ(CopyAssignment(edit, 0, -1, kA), AssignRefusal::BadValue);
    EXPECT_EQ(SwapAssignments(edit, 3, kA, kB), AssignRefusal::BadValue);
    EXPECT_TRUE(
        std::equal(edit.image.bytes().begin(), edit.image.bytes().end(), before.image.bytes().begin()));
}

}  // namespace
}  // namespace vornak
