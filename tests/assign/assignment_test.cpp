#include "assign/assignment.h"

#include <gtest/gtest.h>

#include "config/config_image.h"
#include "keyboard/key_buttons.h"
#include "tests/support/config_builders.h"

namespace vornak {
namespace {

using test::MakeEntry;
using test::MakeMacro;

const LanguageTexts kBuiltIn;
const HardwareKeyCode kDefaultA = {2, 2, 0x04};

TEST(HardwareKeyCode, EveryKind) {
    const MacroPositionLookup positions = [](uint32_t id) -> size_t { return id == 7 ? 2 : 0; };
    struct Case {
        ConfigEntry entry;
        HardwareKeyCode expected;
    };
    const Case cases[] = {
        {MakeEntry(AssignmentKind::Default, 0), kDefaultA},
        {MakeEntry(AssignmentKind::Disabled, 0), {0, 0, 0}},
        {MakeEntry(AssignmentKind::Key, 0x030), {2, 2, 0x05}},  // B
        {MakeEntry(AssignmentKind::Key, 0x15C), {2, 1, 0x80}},  // right Windows key: a modifier bit
        {MakeEntry(AssignmentKind::Key, 0x01D), {2, 1, 0x01}},
        {MakeEntry(AssignmentKind::Key, 0x120), {2, 2, 0x00}},  // no keyboard-page usage
        {MakeEntry(AssignmentKind::LaunchProgram, 12), kDefaultA},
        {MakeEntry(AssignmentKind::Macro, 7, 5), {5, 1, 2}},
        {MakeEntry(AssignmentKind::Macro, 9, 5), {5, 1, 0}},  // a macro that no longer exists
        {MakeEntry(AssignmentKind::StopMacro, 0), {5, 2, 0}},
        {MakeEntry(AssignmentKind::TextBlock, 4), {0, 0, 0}},
        {MakeEntry(AssignmentKind::Media, 7), {3, 0xE2, 0x00}},
        {MakeEntry(AssignmentKind::Media, 16), {3, 0x92, 0x01}},
        {MakeEntry(AssignmentKind::Media, 18), kDefaultA},  // no such row
        {MakeEntry(AssignmentKind::Function, 8), {5, 5, 8}},
        {ConfigEntry{9, 0, 0, 0, 0}, kDefaultA},  // unknown kind
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EntryHardwareCode(c.entry, kDefaultA, positions), c.expected)
            << "kind " << c.entry.kind << " value " << c.entry.value;
    }
}

TEST(HardwareKeyCode, BackFromAKeyBlock) {
    const std::vector<MacroRecord> macros = {MakeMacro(u"a", 1, {}, 4), MakeMacro(u"b", 2, {}, 0)};
    const ConfigEntry base{0, 0x0301, 0, 1, 0};  // keeps its tag and selection flag
    const auto decode = [&](HardwareKeyCode code) {
        return EntryFromHardwareCode(code, kDefaultA, base, macros);
    };
    EXPECT_EQ(decode(kDefaultA).kind, 0);
    EXPECT_EQ(decode({0, 0, 0}).kind, 1);
    EXPECT_EQ(decode({2, 2, 0x05}), (ConfigEntry{2, 0x0301, 0x030, 1, 0}));
    EXPECT_EQ(decode({2, 1, 0x80}).value, 0x15Cu);
    EXPECT_EQ(decode({3, 0xE2, 0}), (ConfigEntry{7, 0x0301, 7, 1, 0}));
    const ConfigEntry macro = decode({5, 1, 0});
    EXPECT_EQ(macro.kind, 4);
    EXPECT_EQ(macro.value, 1u);
    EXPECT_EQ(macro.code, 4);              // the macro's own repeat count
    EXPECT_EQ(decode({5, 1, 1}).code, 1);  // a count of 0 is no count
    EXPECT_EQ(decode({5, 2, 0}).kind, 5);
    EXPECT_EQ(decode({5, 5, 10}), (ConfigEntry{8, 0x0301, 10, 1, 0}));
    // Anything the program does not send stays Default.
    for (HardwareKeyCode odd : {HardwareKeyCode{5, 1, 2}, HardwareKeyCode{5, 5, 11}, HardwareKeyCode{3, 1, 2},
                                HardwareKeyCode{2, 2, 0}, HardwareKeyCode{2, 1, 0}, HardwareKeyCode{0, 1, 0},
                                HardwareKeyCode{9, 9, 9}, HardwareKeyCode{5, 3, 0}}) {
        EXPECT_EQ(decode(odd), base) << int(odd[0]) << " " << int(odd[1]) << " " << int(odd[2]);
    }
}

// What the download sends, the capture reads back, for every key button and every kind the dialog gives.
TEST(HardwareKeyCode, RoundTripsOverEveryKeyButton) {
    const std::vector<MacroRecord> macros = {MakeMacro(u"a", 1, {}, 3), MakeMacro(u"b", 2, {}, 3)};
    const MacroPositionLookup positions = [&](uint32_t id) { return MacroPositionOfId(macros, id); };
    for (const KeyButton& button : kKeyButtons) {
        const HidUsage usage = KeyCodeToHidUsage(button.code);
        const uint8_t bit = KeyCodeToModifierBit(button.code);
        const HardwareKeyCode def =
            bit ? HardwareKeyCode{2, 1, bit} : HardwareKeyCode{2, 2, static_cast<uint8_t>(usage.usage)};
        for (const ConfigEntry& e :
             {MakeEntry(AssignmentKind::Key, button.code == 0x01E ? 0x030 : 0x01E),
              MakeEntry(AssignmentKind::Disabled, 0), MakeEntry(AssignmentKind::Macro, 2, 3),
              MakeEntry(AssignmentKind::StopMacro, 0), MakeEntry(AssignmentKind::Media, 13),
              MakeEntry(AssignmentKind::Function, 10)}) {
            const ConfigEntry back =
                EntryFromHardwareCode(EntryHardwareCode(e, def, positions), def, {}, macros);
            EXPECT_EQ(back, e) << std::hex << button.code << " kind " << e.kind;
        }
        // A key given itself is its default.
        EXPECT_EQ(EntryFromHardwareCode(
                      EntryHardwareCode(MakeEntry(AssignmentKind::Key, button.code), def, positions), def, {},
                      macros)
                      .kind,
                  0);
    }
}

TEST(AssignmentDescription, NamesAndKinds) {
    const std::vector<MacroRecord> macros = {MakeMacro(u"Combo", 3, {})};
    const auto d = [&](int slot, ConfigEntry e) { return DescribeAssignment(slot, e, macros, kBuiltIn); };

    EXPECT_EQ(d(258, MakeEntry(AssignmentKind::Default, 0, 0x0303)).text, u"G3");
    EXPECT_FALSE(d(258, MakeEntry(AssignmentKind::Default, 0, 0x0303)).assigned);
    const auto fn = d(258, MakeEntry(AssignmentKind::Function, 8, 0x0303));
    EXPECT_TRUE(fn.assigned);
    EXPECT_EQ(fn.text, u"G3Keys, Set: Function(Select All)");
    EXPECT_EQ(d(267, MakeEntry(AssignmentKind::Macro, 3, 5)).text, u"G3Keys, Set: Macro(Combo)");  // layer B
    EXPECT_EQ(d(0x1E, MakeEntry(AssignmentKind::Macro, 4, 1)).text, u"AKeys, Set: Macro()");  // deleted macro
    EXPECT_EQ(d(0x1E, MakeEntry(AssignmentKind::Key, 0x030)).text, u"AKeys, Set: Key(B)");
    EXPECT_EQ(d(KeySlot(0x145), MakeEntry(AssignmentKind::Media, 7)).text,
              u"Num LockKeys, Set: Media(Hello world)");
    for (auto kind : {AssignmentKind::Disabled, AssignmentKind::LaunchProgram, AssignmentKind::StopMacro,
                      AssignmentKind::TextBlock}) {
        const auto t = d(0x1E, MakeEntry(kind, 0));
        EXPECT_EQ(t.text, u"AKeys, Set: ");
        EXPECT_TRUE(t.assigned);
    }
    LanguageTexts texts;
    texts.Set(TextId::MEDIA_MUTE_8, u"Mute");
    EXPECT_EQ(DescribeAssignment(0x1E, MakeEntry(AssignmentKind::Media, 7), macros, texts).text,
              u"AKeys, Set: Media(Mute)");
}

TEST(MediaActionTable, RowsMatchTheKeyTable) {
    for (const auto& row : kMediaActionTable) {
        EXPECT_EQ(KeyCodeToHidUsage(row.code), (HidUsage{12, row.consumerUsage})) << std::hex << row.code;
        EXPECT_EQ(KeyRecordOf(row.code).nameText, row.name);
        EXPECT_TRUE(IsMultimediaKey(row.code));
    }
    EXPECT_FALSE(IsMultimediaKey(0x01E));
}

}  // namespace
}  // namespace vornak
