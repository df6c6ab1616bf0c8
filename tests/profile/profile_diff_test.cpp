#include "profile/profile_diff.h"

#include <gtest/gtest.h>

#include "tests/support/config_builders.h"

namespace vornak {
namespace {

using test::MakeEntry;
using test::MakeMacro;
using test::Taps;

const LanguageTexts kBuiltIn;

constexpr int kF5 = 0x03F;
constexpr int kCapsLock = 0x03A;

TEST(ProfileDiff, TheSameFileHasNoDifferences) {
    EditCopy a;
    a.macros.push_back(MakeMacro(u"Copy", 1, Taps(4)));
    a.image.setEntry(0, kF5, MakeEntry(AssignmentKind::Macro, 1, 2));
    EXPECT_TRUE(DiffProfiles(a, a, kBuiltIn).empty());
}

TEST(ProfileDiff, KeysPerProfileWithTheirActions) {
    EditCopy a;
    EditCopy b = a;
    b.image.setEntry(1, kCapsLock, MakeEntry(AssignmentKind::Key, 0x01D));
    b.image.setEntry(2, 265, MakeEntry(AssignmentKind::Function, 4, 0x1301));
    // The selection flag is not part of an assignment.
    b.image.setEntry(0, kF5, ConfigEntry{0, 0, 0, 1, 0});
    const ProfileDiff d = DiffProfiles(a, b, kBuiltIn);
    ASSERT_EQ(d.keys.size(), 2u);
    EXPECT_EQ(d.keys[0].profile, 1);
    EXPECT_EQ(d.keys[0].slot, kCapsLock);
    EXPECT_EQ(d.keys[0].before, u"default");
    EXPECT_EQ(d.keys[0].after, u"key:Ctrl");
    EXPECT_EQ(d.keys[1].profile, 2);
    EXPECT_EQ(d.keys[1].after, u"function:copy");
    EXPECT_TRUE(d.macros.empty());
}

TEST(ProfileDiff, AProgramPathThatChangedIsADifference) {
    EditCopy a;
    a.image.setEntry(0, kF5, MakeEntry(AssignmentKind::LaunchProgram, 0));
    a.names.Set(EntryIndex(0, kF5), u"/usr/bin/xterm");
    EditCopy b = a;
    b.names.Set(EntryIndex(0, kF5), u"/usr/bin/foot");
    const ProfileDiff d = DiffProfiles(a, b, kBuiltIn);
    ASSERT_EQ(d.keys.size(), 1u);
    EXPECT_EQ(d.keys[0].after, u"program \"/usr/bin/foot\"");
}

TEST(ProfileDiff, MacrosArePairedByNameNotById) {
    // As a capture gives them back: the same macros numbered by their place.
    EditCopy mine;
    mine.macros = {MakeMacro(u"Copy", 7, Taps(4)), MakeMacro(u"Paste", 3, Taps(2))};
    mine.image.setEntry(0, kF5, MakeEntry(AssignmentKind::Macro, 3, 1));
    EditCopy captured;
    captured.macros = {MakeMacro(u"Copy", 1, Taps(4)), MakeMacro(u"Paste", 2, Taps(2))};
    captured.image.setEntry(0, kF5, MakeEntry(AssignmentKind::Macro, 2, 1));
    EXPECT_TRUE(DiffProfiles(mine, captured, kBuiltIn).empty());

    captured.macros[0].cycles = 2;
    captured.macros[1].SetName(u"Cut");
    const ProfileDiff d = DiffProfiles(mine, captured, kBuiltIn);
    ASSERT_EQ(d.macros.size(), 3u);
    EXPECT_EQ(d.macros[0].before, &mine.macros[0]);  // changed
    EXPECT_EQ(d.macros[0].after, &captured.macros[0]);
    EXPECT_EQ(d.macros[1].before, &mine.macros[1]);  // only in the first
    EXPECT_EQ(d.macros[1].after, nullptr);
    EXPECT_EQ(d.macros[2].before, nullptr);  // only in the second
    EXPECT_EQ(d.macros[2].after, &captured.macros[1]);
    // F5 played Paste and now plays Cut.
    ASSERT_EQ(d.keys.size(), 1u);
    EXPECT_EQ(d.keys[0].before, u"macro:Paste");
    EXPECT_EQ(d.keys[0].after, u"macro:Cut");
}

TEST(ProfileDiff, ADelayOrAReleaseThatChangedIsADifference) {
    EditCopy a;
    a.macros = {MakeMacro(u"M", 1, Taps(4))};
    EditCopy b = a;
    b.macros[0].actions[3].delay += 10;
    EXPECT_EQ(DiffProfiles(a, b, kBuiltIn).macros.size(), 1u);
    b = a;
    b.macros[0].actions[3].release = 0;
    EXPECT_EQ(DiffProfiles(a, b, kBuiltIn).macros.size(), 1u);
    // Bytes past the action count are no part of the macro.
    b = a;
    b.macros[0].actions[10].delay = 99;
    EXPECT_TRUE(DiffProfiles(a, b, kBuiltIn).empty());
}

}  // namespace
}  // namespace vornak
