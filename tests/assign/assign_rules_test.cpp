#include "assign/assign_rules.h"

#include <gtest/gtest.h>

#include "tests/support/config_builders.h"

namespace vornak {
namespace {

using test::MakeEntry;

constexpr int kSlotA = 0x01E;
constexpr int kSlotRightCtrl = KeySlot(0x11D);
constexpr int kG1A = 256;
constexpr int kG9A = 264;
constexpr int kG9B = 273;

TEST(AssignRules, AKeyGivenItsOwnCodeBecomesDefault) {
    const auto r = EntryForAssignment(kSlotA, {}, Assignment::Key(0x01E));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.entry, MakeEntry(AssignmentKind::Default, 0));
    // An extended key's slot is not its code: the rule compares codes.
    const auto ctrl = EntryForAssignment(kSlotRightCtrl, {}, Assignment::Key(0x11D));
    EXPECT_EQ(ctrl.entry.kind, 0);
    EXPECT_EQ(EntryForAssignment(kSlotA, {}, Assignment::Key(0)).entry.kind, 0);
}

TEST(AssignRules, GKeysKeepTheirTagAndMacrosCarryTheRepeatCount) {
    const auto key = EntryForAssignment(kG1A, {}, Assignment::Key(0x030));
    EXPECT_EQ(key.entry, MakeEntry(AssignmentKind::Key, 0x030, 0x0301));
    const auto macro = EntryForAssignment(kG1A, {}, Assignment::Macro(7, 5));
    EXPECT_EQ(macro.entry, MakeEntry(AssignmentKind::Macro, 7, 5));
    const auto back = EntryForAssignment(265 + 2, {}, Assignment::Default());
    EXPECT_EQ(back.entry, MakeEntry(AssignmentKind::Default, 0, 0x1303));
}

TEST(AssignRules, SelectionFlagAndReservedWordAreKept) {
    const ConfigEntry old{static_cast<uint16_t>(AssignmentKind::TextBlock), 0, 40, 1, 9};
    const auto r = EntryForAssignment(kSlotA, old, Assignment::Media(3));
    EXPECT_EQ(r.entry, (ConfigEntry{7, 0, 3, 1, 9}));
}

TEST(AssignRules, G9TakesOnlyAMacroOrDefaultOnBothLayers) {
    for (int slot : {kG9A, kG9B}) {
        EXPECT_EQ(EntryForAssignment(slot, {}, Assignment::Key(0x030)).refusal, AssignRefusal::MacroOnlyKey);
        EXPECT_EQ(EntryForAssignment(slot, {}, Assignment::Media(0)).refusal, AssignRefusal::MacroOnlyKey);
        EXPECT_EQ(EntryForAssignment(slot, {}, Assignment::Function(0)).refusal, AssignRefusal::MacroOnlyKey);
        EXPECT_TRUE(EntryForAssignment(slot, {}, Assignment::Macro(1)).ok());
        EXPECT_TRUE(EntryForAssignment(slot, {}, Assignment::Default()).ok());
    }
    EXPECT_TRUE(EntryForAssignment(kG9A - 1, {}, Assignment::Key(0x030)).ok());
}

TEST(AssignRules, ValuesOutsideTheirTablesAreRefused) {
    EXPECT_EQ(EntryForAssignment(kSlotA, {}, Assignment::Media(18)).refusal, AssignRefusal::BadValue);
    EXPECT_EQ(EntryForAssignment(kSlotA, {}, Assignment::Function(11)).refusal, AssignRefusal::BadValue);
    EXPECT_EQ(EntryForAssignment(kSlotA, {}, Assignment::Macro(0)).refusal, AssignRefusal::BadValue);
    EXPECT_EQ(EntryForAssignment(kSlotA, {}, Assignment::Macro(1, 256)).refusal, AssignRefusal::BadValue);
    EXPECT_EQ(EntryForAssignment(kSlotA, {}, Assignment::Macro(1, 0)).refusal, AssignRefusal::BadValue);
    EXPECT_EQ(EntryForAssignment(kSlotA, {}, Assignment::Key(0x0A0)).refusal, AssignRefusal::BadValue);
}

TEST(AssignRules, OnlyUserKindsHaveAnAssignment) {
    EXPECT_EQ(AssignmentOfEntry(MakeEntry(AssignmentKind::Macro, 0x10007, 3)), Assignment::Macro(7, 3));
    EXPECT_EQ(AssignmentOfEntry(MakeEntry(AssignmentKind::Key, 0x030)), Assignment::Key(0x030));
    for (auto kind : {AssignmentKind::Disabled, AssignmentKind::LaunchProgram, AssignmentKind::StopMacro,
                      AssignmentKind::TextBlock})
        EXPECT_FALSE(AssignmentOfEntry(MakeEntry(kind, 0)).has_value());
}

TEST(AssignRules, StoringAChangedEntryFreesItsName) {
    EditCopy edit;
    const size_t index = EntryIndex(1, kSlotA);
    edit.image.setEntry(index, MakeEntry(AssignmentKind::LaunchProgram, 0));
    edit.names.Set(index, u"/usr/bin/xterm");
    StoreEntry(edit, 1, kSlotA, MakeEntry(AssignmentKind::LaunchProgram, 0));  // unchanged: the name stays
    EXPECT_TRUE(edit.names.name(index).has_value());
    StoreEntry(edit, 1, kSlotA, MakeEntry(AssignmentKind::Key, 0x030));
    EXPECT_FALSE(edit.names.name(index).has_value());
    EXPECT_EQ(edit.names.total(), 0u);
    EXPECT_EQ(edit.image.entry(1, kSlotA), MakeEntry(AssignmentKind::Key, 0x030));
}

}  // namespace
}  // namespace vornak
