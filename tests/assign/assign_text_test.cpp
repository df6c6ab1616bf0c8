#include "assign/assign_text.h"

#include <gtest/gtest.h>

#include "tests/support/config_builders.h"

namespace vornak {
namespace {

using test::MakeEntry;
using test::MakeMacro;
using Kind = EditProblem::Kind;

const LanguageTexts kBuiltIn;

TEST(AssignText, TheKeyEndsAtTheFirstEqualsSignAfterTheFirstCharacter) {
    using Split = std::optional<std::pair<std::u16string_view, std::u16string_view>>;
    EXPECT_EQ(SplitKeyArgument(u"a=key:b"), (Split{{u"a", u"key:b"}}));
    EXPECT_EQ(SplitKeyArgument(u"==key:X"), (Split{{u"=", u"key:X"}}));
    EXPECT_EQ(SplitKeyArgument(u"a=key:="), (Split{{u"a", u"key:="}}));
    EXPECT_EQ(SplitKeyArgument(u"Caps Lock=default"), (Split{{u"Caps Lock", u"default"}}));
    EXPECT_EQ(SplitKeyArgument(u"=x"), std::nullopt);
    EXPECT_EQ(SplitKeyArgument(u"a"), std::nullopt);
}

TEST(AssignText, KeysOfTheKeyboardAndGKeysWithTheirLayer) {
    EditProblem problem;
    EXPECT_EQ(SlotByName(u"caps lock", kBuiltIn, &problem), 0x03A);
    EXPECT_EQ(SlotByName(u"0x03A", kBuiltIn, &problem), 0x03A);
    EXPECT_EQ(SlotByName(u"Right Ctrl", kBuiltIn, &problem), KeySlot(0x11D));
    EXPECT_EQ(SlotByName(u"g1", kBuiltIn, &problem), 256);
    EXPECT_EQ(SlotByName(u"G1:a", kBuiltIn, &problem), 256);
    EXPECT_EQ(SlotByName(u"G1:B", kBuiltIn, &problem), 265);
    EXPECT_EQ(SlotByName(u"G9:b", kBuiltIn, &problem), 273);
    for (const char16_t* bad : {u"G0", u"G10", u"G1:C", u"G1B", u"Nope"}) {
        EXPECT_EQ(SlotByName(bad, kBuiltIn, &problem), std::nullopt);
        EXPECT_EQ(problem.kind, Kind::Unreadable);
    }
    // A key of the table without a place on the keyboard is never sent: refused, not stored.
    EXPECT_EQ(SlotByName(u"Power", kBuiltIn, &problem), std::nullopt);
    EXPECT_EQ(problem.kind, Kind::Refused);
    EXPECT_EQ(SlotByName(u"0x136", kBuiltIn, &problem), std::nullopt);
    EXPECT_EQ(problem.kind, Kind::Refused);
}

TEST(AssignText, EverySlotThatTakesAnAssignmentHasANameThatReadsBack) {
    int named = 0;
    for (int slot : NamedSlots()) {
        const std::u16string name = SlotNameForTyping(slot, kBuiltIn);
        const auto back = SlotByName(name, kBuiltIn, nullptr);
        if (!back) continue;  // no place on the keyboard
        EXPECT_EQ(*back, slot);
        ++named;
    }
    EXPECT_EQ(named, 104 + 18);
}

TEST(AssignText, MacrosByNameOrIdAndASharedNameIsRefusedWithTheIds) {
    const std::vector<MacroRecord> macros = {MakeMacro(u"Copy", 2),  MakeMacro(u"copy", 5),
                                             MakeMacro(u"Paste", 3), MakeMacro(u"Twin", 7),
                                             MakeMacro(u"Twin", 9),  MakeMacro(u"Twin", 4)};
    EditProblem problem;
    EXPECT_EQ(FindMacroByName(macros, u"Copy", &problem), 0u);  // the exact name first
    EXPECT_EQ(FindMacroByName(macros, u"copy", &problem), 1u);
    EXPECT_EQ(FindMacroByName(macros, u"PASTE", &problem), 2u);
    EXPECT_EQ(FindMacroByName(macros, u"#5", &problem), 1u);
    EXPECT_EQ(FindMacroByName(macros, u"COPY", &problem), std::nullopt);
    EXPECT_EQ(problem.kind, Kind::Refused);
    EXPECT_NE(problem.message.find("ids 2 and 5"), std::string::npos) << problem.message;
    EXPECT_EQ(FindMacroByName(macros, u"Twin", &problem), std::nullopt);
    EXPECT_NE(problem.message.find("3 macros are named 'Twin' (ids 7, 9 and 4)"), std::string::npos)
        << problem.message;
    for (const char16_t* missing : {u"Cut", u"#1", u"#", u"#x", u""}) {
        EXPECT_EQ(FindMacroByName(macros, missing, &problem), std::nullopt);
        EXPECT_EQ(problem.kind, Kind::Unreadable) << problem.message;
    }
}

TEST(AssignText, EachKindOfAction) {
    LanguageTexts english;
    english.Set(TextId::MEDIA_V_ADD_7, u"Volume Up");
    english.Set(TextId::FUNC_KEY_DESC9, u"Select All");
    english.Set(TextId::FUNC_KEY_DESC10, u"Zoom Out");
    const std::vector<MacroRecord> macros = {MakeMacro(u"Copy", 4), MakeMacro(u"Thrice", 8, {}, 3)};
    const auto parse = [&](std::u16string_view text) { return ParseAction(text, macros, english, nullptr); };
    EXPECT_EQ(parse(u"Default"), Assignment::Default());
    EXPECT_EQ(parse(u"key:Ctrl"), Assignment::Key(0x01D));
    EXPECT_EQ(parse(u"KEY:="), Assignment::Key(0x00D));
    EXPECT_EQ(parse(u"macro:Copy"), Assignment::Macro(4, 1));
    EXPECT_EQ(parse(u"macro:copy*3"), Assignment::Macro(4, 3));
    EXPECT_EQ(parse(u"macro:#4*255"), Assignment::Macro(4, 255));
    // Without a count, the macro's own.
    EXPECT_EQ(parse(u"macro:Thrice"), Assignment::Macro(8, 3));
    EXPECT_EQ(parse(u"macro:Thrice*1"), Assignment::Macro(8, 1));
    EXPECT_EQ(parse(u"media:volume-up"), Assignment::Media(6));
    EXPECT_EQ(parse(u"media:volume up"), Assignment::Media(6));
    EXPECT_EQ(parse(u"function:select-all"), Assignment::Function(8));
    EXPECT_EQ(parse(u"function:Select All"), Assignment::Function(8));
    EXPECT_EQ(parse(u"function:zoom out"), Assignment::Function(9));
    EXPECT_EQ(parse(u"function:Zoom+"), Assignment::Function(10));  // the built-in text
}

TEST(AssignText, ActionsThatAreRefused) {
    const std::vector<MacroRecord> macros = {MakeMacro(u"Copy", 4)};
    struct Case {
        const char16_t* text;
        Kind kind;
        std::string says;
    };
    const Case cases[] = {
        {u"macro:Copy*0", Kind::Unreadable, "'*0' is out of range"},
        {u"macro:Copy*256", Kind::Unreadable, "'*256' is out of range"},
        {u"macro:Cut", Kind::Unreadable, "no macro is named 'Cut'"},
        {u"macro:", Kind::Unreadable, "no macro"},
        {u"key:Nope", Kind::Unreadable, "no key is named 'Nope'"},
        {u"key:0x120", Kind::Refused, "media:NAME does that"},
        {u"key:Left Button", Kind::Refused, "cannot send Left Button"},
        {u"key:Power", Kind::Refused, "cannot send Power"},
        {u"media:loud", Kind::Unreadable, "no media action is named 'loud'"},
        {u"function:", Kind::Unreadable, "no function"},
        {u"Ctrl", Kind::Unreadable, "cannot read the action 'Ctrl'"},
        {u"keys:Ctrl", Kind::Unreadable, "cannot read"},
    };
    for (const Case& c : cases) {
        EditProblem problem;
        EXPECT_EQ(ParseAction(c.text, macros, kBuiltIn, &problem), std::nullopt) << c.says;
        EXPECT_EQ(problem.kind, c.kind) << problem.message;
        EXPECT_NE(problem.message.find(c.says), std::string::npos) << problem.message;
    }
}

TEST(AssignText, TheTextOfAnEntryReadsBackAsItsAssignment) {
    const std::vector<MacroRecord> macros = {MakeMacro(u"Copy", 4), MakeMacro(u"Twin", 5),
                                             MakeMacro(u"twin", 6), MakeMacro(u"Odd*2", 7),
                                             MakeMacro(u"Thrice", 9, {}, 3)};
    const std::vector<ConfigEntry> entries = {
        MakeEntry(AssignmentKind::Default, 0),  MakeEntry(AssignmentKind::Key, 0x01D),
        MakeEntry(AssignmentKind::Key, 0x148),  MakeEntry(AssignmentKind::Key, 0x00C),
        MakeEntry(AssignmentKind::Macro, 4, 1), MakeEntry(AssignmentKind::Macro, 4, 9),
        MakeEntry(AssignmentKind::Macro, 5, 1), MakeEntry(AssignmentKind::Macro, 7, 2),
        MakeEntry(AssignmentKind::Macro, 9, 3), MakeEntry(AssignmentKind::Macro, 9, 1),
        MakeEntry(AssignmentKind::Media, 17),   MakeEntry(AssignmentKind::Function, 10),
    };
    for (const ConfigEntry& e : entries) {
        const std::u16string text = ActionText(e, macros, kBuiltIn);
        EditProblem problem;
        EXPECT_EQ(ParseAction(text, macros, kBuiltIn, &problem), AssignmentOfEntry(e)) << problem.message;
    }
    EXPECT_EQ(ActionText(MakeEntry(AssignmentKind::Macro, 4, 9), macros, kBuiltIn), u"macro:Copy*9");
    EXPECT_EQ(ActionText(MakeEntry(AssignmentKind::Macro, 9, 3), macros, kBuiltIn), u"macro:Thrice");
    EXPECT_EQ(ActionText(MakeEntry(AssignmentKind::Macro, 9, 1), macros, kBuiltIn), u"macro:Thrice*1");
    // Names that would not read back as that macro go by id.
    EXPECT_EQ(ActionText(MakeEntry(AssignmentKind::Macro, 6, 1), macros, kBuiltIn), u"macro:twin");
    EXPECT_EQ(ActionText(MakeEntry(AssignmentKind::Macro, 7, 1), macros, kBuiltIn), u"macro:#7");
    EXPECT_EQ(ActionText(MakeEntry(AssignmentKind::Macro, 8, 1), macros, kBuiltIn), u"macro:#8");
    EXPECT_EQ(ActionText(MakeEntry(AssignmentKind::Disabled, 0), macros, kBuiltIn), u"disabled");
    EXPECT_EQ(ActionText(MakeEntry(AssignmentKind::StopMacro, 0), macros, kBuiltIn), u"stop-macro");
}

TEST(AssignText, AWholeArgument) {
    const std::vector<MacroRecord> macros = {MakeMacro(u"Copy", 4)};
    EditProblem problem;
    const auto a = ParseKeyAssignment(u"F5=macro:Copy*2", macros, kBuiltIn, &problem);
    ASSERT_TRUE(a) << problem.message;
    EXPECT_EQ(a->slot, 0x03F);
    EXPECT_EQ(a->assignment, Assignment::Macro(4, 2));
    EXPECT_EQ(ParseKeyAssignment(u"F5", macros, kBuiltIn, &problem), std::nullopt);
    EXPECT_NE(problem.message.find("expected KEY=ACTION"), std::string::npos);
    EXPECT_EQ(ParseKeyAssignment(u"F55=default", macros, kBuiltIn, &problem), std::nullopt);
    EXPECT_NE(problem.message.find("'F55'"), std::string::npos);
}

TEST(AssignRules, OnlyKeysOfTheKeyboardPageCanBeSentInPlaceOfAnother) {
    EXPECT_TRUE(KeyboardCanSendKey(0x01D));
    EXPECT_TRUE(KeyboardCanSendKey(0x15C));
    EXPECT_TRUE(KeyboardCanSendKey(0x03A));
    EXPECT_TRUE(KeyboardCanSendKey(0x146));  // Break: the usage of Pause
    EXPECT_FALSE(KeyboardCanSendKey(0x120));
    EXPECT_FALSE(KeyboardCanSendKey(0x15E));
    EXPECT_FALSE(KeyboardCanSendKey(0x176));
    EXPECT_FALSE(KeyboardCanSendKey(0x054));
    EXPECT_FALSE(KeyboardCanSendKey(0));
}

}  // namespace
}  // namespace vornak
