#include "assign/config_edits.h"

#include <gtest/gtest.h>

#include "tests/support/config_builders.h"

namespace vornak {
namespace {

using test::MakeEntry;
using test::MakeMacro;
using test::Taps;
using Kind = EditProblem::Kind;

const LanguageTexts kBuiltIn;

constexpr int kCapsLock = 0x03A;
constexpr int kF5 = 0x03F;
constexpr int kG3B = 267;
constexpr int kG9A = 264;

KeyAssignment Give(int slot, Assignment a) {
    return {slot, a};
}

TEST(ConfigEdits, AssignmentsAreMadeAllOrNone) {
    EditCopy edit;
    edit.macros.push_back(MakeMacro(u"Copy", 3));
    const EditCopy before = edit;
    EditProblem problem;
    const std::vector<KeyAssignment> refused = {Give(kCapsLock, Assignment::Key(0x01D)),
                                                Give(kG9A, Assignment::Key(0x030))};
    EXPECT_FALSE(AssignKeys(edit, 0, refused, kBuiltIn, &problem));
    EXPECT_EQ(problem.kind, Kind::Refused);
    EXPECT_EQ(problem.message, "G9 takes only a macro or default");
    EXPECT_EQ(edit.image.bytes().size(), before.image.bytes().size());
    EXPECT_TRUE(std::ranges::equal(edit.image.bytes(), before.image.bytes()));

    const std::vector<KeyAssignment> twice = {Give(kCapsLock, Assignment::Key(0x01D)),
                                              Give(kCapsLock, Assignment::Default())};
    EXPECT_FALSE(AssignKeys(edit, 0, twice, kBuiltIn, &problem));
    EXPECT_NE(problem.message.find("Caps Lock is given two"), std::string::npos) << problem.message;

    const std::vector<KeyAssignment> stale = {Give(kF5, Assignment::Macro(9))};
    EXPECT_FALSE(AssignKeys(edit, 0, stale, kBuiltIn, &problem));
    EXPECT_TRUE(std::ranges::equal(edit.image.bytes(), before.image.bytes()));

    const std::vector<KeyAssignment> good = {Give(kCapsLock, Assignment::Key(0x01D)),
                                             Give(kG9A, Assignment::Macro(3, 2)),
                                             Give(kG3B, Assignment::Media(7))};
    ASSERT_TRUE(AssignKeys(edit, 1, good, kBuiltIn, &problem)) << problem.message;
    EXPECT_EQ(edit.image.entry(1, kCapsLock), MakeEntry(AssignmentKind::Key, 0x01D));
    EXPECT_EQ(edit.image.entry(1, kG9A), MakeEntry(AssignmentKind::Macro, 3, 2));
    EXPECT_EQ(edit.image.entry(1, kG3B), MakeEntry(AssignmentKind::Media, 7, 0x1303));
    EXPECT_EQ(edit.image.entry(0, kCapsLock), MakeEntry(AssignmentKind::Default, 0));
}

TEST(ConfigEdits, AKeyGivenItselfReturnsToDefaultAndLosesItsName) {
    EditCopy edit;
    edit.image.setEntry(0, kCapsLock, MakeEntry(AssignmentKind::LaunchProgram, 0));
    edit.names.Set(EntryIndex(0, kCapsLock), u"/usr/bin/xterm");
    const std::vector<KeyAssignment> self = {Give(kCapsLock, Assignment::Key(kCapsLock))};
    ASSERT_TRUE(AssignKeys(edit, 0, self, kBuiltIn, nullptr));
    EXPECT_EQ(edit.image.entry(0, kCapsLock), MakeEntry(AssignmentKind::Default, 0));
    EXPECT_FALSE(edit.names.name(EntryIndex(0, kCapsLock)));
    EXPECT_EQ(edit.names.total(), 0u);
}

TEST(ConfigEdits, NewMacrosTakeTheLowestFreeIdAndAFreeName) {
    EditCopy edit;
    EditProblem problem;
    ASSERT_EQ(AddMacro(edit, u"One", Taps(4), 1, &problem), 0u);
    ASSERT_EQ(AddMacro(edit, u"Two", Taps(2), 7, &problem), 1u);
    EXPECT_EQ(edit.macros[1].id, 2);
    EXPECT_EQ(edit.macros[1].cycles, 7);
    EXPECT_EQ(edit.macros[1].isNew, 0);  // in the file at once: nothing left to apply
    EXPECT_EQ(edit.macros[1].ActionCount(), 2u);
    RemoveMacro(edit, 0);
    ASSERT_EQ(AddMacro(edit, u"Three", {}, 1, &problem), 1u);
    EXPECT_EQ(edit.macros[1].id, 1);

    struct Case {
        std::u16string name;
        Kind kind;
        std::string says;
    };
    const Case cases[] = {
        {u"two", Kind::Refused, "'Two' (id 2) has that name"},
        {u"", Kind::Unreadable, "needs a name"},
        {u"#4", Kind::Unreadable, "may not begin with '#'"},
        {u"Copy*3", Kind::Unreadable, "may not end in '*3'"},
        {std::u16string(250, u'x'), Kind::Unreadable, "at most 249"},
    };
    for (const Case& c : cases) {
        const size_t count = edit.macros.size();
        EXPECT_EQ(AddMacro(edit, c.name, {}, 1, &problem), std::nullopt);
        EXPECT_EQ(problem.kind, c.kind);
        EXPECT_NE(problem.message.find(c.says), std::string::npos) << problem.message;
        EXPECT_EQ(edit.macros.size(), count);
    }
    EXPECT_TRUE(AddMacro(edit, std::u16string(249, u'x'), {}, 1, &problem));
    EXPECT_TRUE(AddMacro(edit, u"a*b", {}, 1, &problem));
}

TEST(ConfigEdits, TheMacroLimits) {
    EditCopy edit;
    EditProblem problem;
    std::vector<MacroAction> tooMany(2001, MacroAction{50, 0x01E, 0});
    EXPECT_EQ(AddMacro(edit, u"Long", tooMany, 1, &problem), std::nullopt);
    EXPECT_EQ(problem.kind, Kind::Refused);
    tooMany.pop_back();
    ASSERT_EQ(AddMacro(edit, u"Long", tooMany, 1, &problem), 0u);
    tooMany.push_back({});
    EXPECT_FALSE(SetMacro(edit, 0, tooMany, std::nullopt, &problem));
    EXPECT_EQ(edit.macros[0].ActionCount(), 2000u);
    for (int i = 1; i < 100; ++i)
        ASSERT_TRUE(AddMacro(
            edit, u"M" + std::u16string(1, char16_t(u'0' + i % 10)) + std::u16string(i / 10 + 1, u'x'), {}, 1,
            &problem))
            << i << problem.message;
    EXPECT_EQ(AddMacro(edit, u"OneTooMany", {}, 1, &problem), std::nullopt);
    EXPECT_EQ(problem.kind, Kind::Refused);
    EXPECT_NE(problem.message.find("100 macros"), std::string::npos);
}

TEST(ConfigEdits, SetKeepsTheIdAndTheRepeatCountUnlessOneIsGiven) {
    EditCopy edit;
    edit.macros.push_back(MakeMacro(u"Copy", 5, Taps(6), 4));
    edit.image.setEntry(0, kF5, MakeEntry(AssignmentKind::Macro, 5, 2));
    ASSERT_TRUE(SetMacro(edit, 0, Taps(2), std::nullopt, nullptr));
    EXPECT_EQ(edit.macros[0].id, 5);
    EXPECT_EQ(edit.macros[0].cycles, 4);
    EXPECT_EQ(edit.macros[0].ActionCount(), 2u);
    // The actions beyond the new count are cleared, so the file keeps no trace of them.
    EXPECT_EQ(edit.macros[0].actions[2].keyCode, 0);
    EXPECT_EQ(edit.image.entry(0, kF5), MakeEntry(AssignmentKind::Macro, 5, 2));
    ASSERT_TRUE(SetMacro(edit, 0, Taps(2), uint8_t{9}, nullptr));
    EXPECT_EQ(edit.macros[0].cycles, 9);
    // The keyboard plays the macro's count: the key that plays it says so.
    EXPECT_EQ(edit.image.entry(0, kF5), MakeEntry(AssignmentKind::Macro, 5, 9));
}

TEST(ConfigEdits, AKeyGivenAMacroSetsTheMacrosRepeatCount) {
    EditCopy edit;
    edit.macros = {MakeMacro(u"Copy", 5, Taps(2), 1), MakeMacro(u"Paste", 6)};
    edit.image.setEntry(2, kF5, MakeEntry(AssignmentKind::Macro, 5, 1));
    const std::vector<KeyAssignment> three = {Give(256, Assignment::Macro(5, 3)),
                                              Give(kCapsLock, Assignment::Macro(6, 1))};
    ASSERT_TRUE(AssignKeys(edit, 0, three, kBuiltIn, nullptr));
    EXPECT_EQ(edit.macros[0].cycles, 3);
    EXPECT_EQ(edit.image.entry(0, 256), MakeEntry(AssignmentKind::Macro, 5, 3));
    EXPECT_EQ(edit.image.entry(2, kF5), MakeEntry(AssignmentKind::Macro, 5, 3));
    EXPECT_EQ(edit.macros[1].cycles, 1);

    const EditCopy before = edit;
    EditProblem problem;
    const std::vector<KeyAssignment> clash = {Give(kF5, Assignment::Macro(5, 2)),
                                              Give(kCapsLock, Assignment::Macro(5, 4))};
    EXPECT_FALSE(AssignKeys(edit, 1, clash, kBuiltIn, &problem));
    EXPECT_EQ(problem.kind, Kind::Refused);
    EXPECT_NE(problem.message.find("two repeat counts, 2 and 4"), std::string::npos) << problem.message;
    EXPECT_EQ(edit.macros[0].cycles, 3);
    EXPECT_TRUE(std::ranges::equal(edit.image.bytes(), before.image.bytes()));
}

TEST(ConfigEdits, RenameChecksTheNewNameAgainstTheOthers) {
    EditCopy edit;
    edit.macros = {MakeMacro(u"Copy", 1), MakeMacro(u"Paste", 2)};
    EditProblem problem;
    EXPECT_FALSE(RenameMacro(edit, 0, u"PASTE", &problem));
    EXPECT_EQ(edit.macros[0].Name(), u"Copy");
    EXPECT_TRUE(RenameMacro(edit, 0, u"COPY", &problem));  // its own name in another case
    EXPECT_EQ(edit.macros[0].Name(), u"COPY");
}

TEST(ConfigEdits, RemovingAMacroReturnsEveryKeyThatPlayedItToDefault) {
    EditCopy edit;
    edit.macros = {MakeMacro(u"Copy", 1), MakeMacro(u"Paste", 2)};
    edit.image.setEntry(0, kF5, ConfigEntry{4, 3, 1, 1, 7});
    edit.image.setEntry(2, kCapsLock, MakeEntry(AssignmentKind::Macro, 0x10001, 1));  // low 16 bits compared
    edit.image.setEntry(1, kG3B, MakeEntry(AssignmentKind::Macro, 1, 5));
    edit.image.setEntry(1, kF5, MakeEntry(AssignmentKind::Macro, 2, 1));
    edit.image.setEntry(1, kCapsLock, MakeEntry(AssignmentKind::Key, 1));

    const std::vector<size_t> users = EntriesPlayingMacro(edit.image, 1);
    EXPECT_EQ(users,
              (std::vector<size_t>{EntryIndex(0, kF5), EntryIndex(1, kG3B), EntryIndex(2, kCapsLock)}));
    EXPECT_EQ(RemoveMacro(edit, 0), users);
    ASSERT_EQ(edit.macros.size(), 1u);
    EXPECT_EQ(edit.macros[0].id, 2);
    // Back to Default; a G key keeps its tag, every entry its selection flag and reserved word.
    EXPECT_EQ(edit.image.entry(0, kF5), (ConfigEntry{0, 0, 0, 1, 7}));
    EXPECT_EQ(edit.image.entry(1, kG3B), MakeEntry(AssignmentKind::Default, 0, 0x1303));
    EXPECT_EQ(edit.image.entry(2, kCapsLock), MakeEntry(AssignmentKind::Default, 0));
    EXPECT_EQ(edit.image.entry(1, kF5), MakeEntry(AssignmentKind::Macro, 2, 1));
    EXPECT_EQ(edit.image.entry(1, kCapsLock), MakeEntry(AssignmentKind::Key, 1));
}

}  // namespace
}  // namespace vornak
