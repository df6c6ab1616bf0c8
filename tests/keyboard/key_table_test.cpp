#include "keyboard/key_table.h"

#include <gtest/gtest.h>

#include <set>

#include "keyboard/key_buttons.h"
#include "platform/utf.h"

namespace vornak {
namespace {

const LanguageTexts kBuiltIn;

TEST(KeyCodeName, NamesKeysAndUnknownSlots) {
    EXPECT_EQ(KeyCodeName(0x001, kBuiltIn), u"Esc");
    EXPECT_EQ(KeyCodeName(0x148, kBuiltIn), u"\x2191");
    EXPECT_EQ(KeyCodeName(0x055, kBuiltIn), u"Unknown Key: 055");
    EXPECT_EQ(KeyCodeName(0x000, kBuiltIn), u"Unknown Key: 000");
    // Codes without a slot of their own never borrow another key's name.
    EXPECT_EQ(KeyCodeName(0x090, kBuiltIn), u"Unknown Key: 090");
    EXPECT_EQ(KeyCodeName(0x1FF, kBuiltIn), u"Unknown Key: 1ff");
}

TEST(KeyCodeName, CutsToTheCapacity) {
    EXPECT_EQ(KeyCodeName(0x00E, kBuiltIn, 4), u"Bac");
    EXPECT_EQ(KeyCodeName(0x00E, kBuiltIn, 1), u"");
    EXPECT_EQ(KeyCodeName(0x00E, kBuiltIn, 0), u"");
}

TEST(KeyCodeName, MultimediaKeysAreNamedByLanguageTexts) {
    LanguageTexts texts;
    texts.Set(TextId::MEDIA_MUTE_8, u"Mute");
    EXPECT_EQ(KeyCodeName(0x120, texts), u"Mute");
    EXPECT_EQ(KeyCodeName(0x120, kBuiltIn), u"Hello world");
    texts.Set(TextId::MEDIA_MUTE_8, u"");
    texts.Set(TextId::UNKNOWN_KEY, u"? %03x");
    EXPECT_EQ(KeyCodeName(0x120, texts), u"? 120");
}

TEST(ListPosition, FirstSlotWins) {
    EXPECT_EQ(ListPositionToKeyCode(103), 0x036);
    EXPECT_EQ(ListPositionName(103, kBuiltIn), u"Right Shift");
    EXPECT_EQ(ListPositionName(106, kBuiltIn), u"");
    EXPECT_EQ(ListPositionToKeyCode(106), 0);
    EXPECT_EQ(ListPositionToKeyCode(kNoListPosition), 0);
    EXPECT_EQ(KeyCodeToListPosition(0x054), 0x8015);
    EXPECT_EQ(KeyCodeToListPosition(0x055), kNoListPosition);
}

TEST(ListPosition, CoversTheKeyListInItsOrder) {
    std::vector<std::u16string> expected;
    for (char c = 'A'; c <= 'Z'; ++c)
        expected.push_back(std::u16string(1, c));
    for (char c = '1'; c <= '9'; ++c)
        expected.push_back(std::u16string(1, c));
    expected.push_back(u"0");
    for (const char16_t* n : {u"Enter", u"Esc", u"Backspace", u"Tab", u"Space", u"-", u"=", u"[", u"]", u"\\",
                              u";", u"'", u"`", u",", u".", u"/"}) {
        expected.push_back(n);
    }
    for (int i = 1; i <= 12; ++i)
        expected.push_back(Utf8ToUtf16("F" + std::to_string(i)));
    for (const char16_t* n :
         {u"Print Screen", u"Pause",     u"Break",  u"Insert", u"Delete", u"Home",   u"End",
          u"Page Up",      u"Page Down", u"\x2191", u"\x2193", u"\x2190", u"\x2192", u"Scroll Lock",
          u"Caps Lock",    u"Num Lock",  u"Num /",  u"Num *",  u"Num -",  u"Num +",  u"Num Enter"}) {
        expected.push_back(n);
    }
    for (int i = 1; i <= 9; ++i)
        expected.push_back(Utf8ToUtf16("Num " + std::to_string(i)));
    for (const char16_t* n : {u"Num 0", u"Num .", u"K45", u"App", u"Ctrl", u"Shift", u"Alt", u"Win",
                              u"Right Ctrl", u"Right Shift", u"Right Alt", u"Right Win"}) {
        expected.push_back(n);
    }
    ASSERT_EQ(expected.size(), kListPositionCount);
    for (uint16_t i = 0; i < kListPositionCount; ++i) {
        EXPECT_EQ(ListPositionName(i, kBuiltIn), expected[i]) << "position " << i;
        const KeyCode code = ListPositionToKeyCode(i);
        EXPECT_NE(code, 0) << i;
        EXPECT_EQ(KeyCodeToListPosition(code), i) << i;
    }
}

TEST(HidUsage, CompactBytesAndConsumerTable) {
    EXPECT_EQ(KeyCodeToHidUsage(0x174), (HidUsage{12, 0}));
    EXPECT_EQ(HidUsageToKeyCode({12, 0}), 0x174);
    EXPECT_EQ(HidUsageToKeyCode({7, 0x48}), 0x045);  // Pause, not Break
    EXPECT_EQ(KeyCodeToHidUsage(0x146), (HidUsage{7, 0x48}));
    EXPECT_EQ(KeyCodeToHidUsage(0x15E), (HidUsage{1, 0x81}));
    EXPECT_EQ(HidUsageToKeyCode({1, 0x82}), 0x15F);
    EXPECT_EQ(HidUsageToKeyCode({1, 0x84}), 0);
    EXPECT_EQ(KeyCodeToHidUsage(0x16D), (HidUsage{12, 0x183}));
    EXPECT_EQ(HidUsageToKeyCode({12, 0x183}), 0x16D);
    EXPECT_EQ(HidUsageToKeyCode({12, 0x999}), 0);
    EXPECT_EQ(HidUsageToKeyCode({7, 0}), 0);
    EXPECT_EQ(HidUsageToKeyCode({3, 1}), 0);
    EXPECT_EQ(KeyCodeToHidUsage(0x054), (HidUsage{}));
    EXPECT_EQ(KeyCodeToHidUsage(0x17B), (HidUsage{12, 0}));
}

// Every key with a usage finds itself again, unless an earlier slot shares the usage.
TEST(HidUsage, RoundTripsForEveryKey) {
    for (int slot = 0; slot < 256; ++slot) {
        const KeyCode code = SlotToKeyCode(static_cast<uint8_t>(slot));
        const HidUsage usage = KeyCodeToHidUsage(code);
        if (usage.page == 0) continue;
        const KeyCode back = HidUsageToKeyCode(usage);
        EXPECT_EQ(KeyCodeToHidUsage(back), usage) << std::hex << code;
        EXPECT_LE(KeySlot(back), KeySlot(code)) << std::hex << code;
    }
}

TEST(KeyCodeToScan, PrefixesAndExceptions) {
    EXPECT_EQ(KeyCodeToScan(0x145), (ScanCode{0x45, 0}));
    EXPECT_EQ(KeyCodeToScan(0x045), (ScanCode{0x1D, kScanPrefixE1}));
    EXPECT_EQ(KeyCodeToScan(0x11C), (ScanCode{0x1C, kScanPrefixE0}));
    EXPECT_EQ(KeyCodeToScan(0x01E), (ScanCode{0x1E, 0}));
}

uint32_t LParam(uint16_t scanField) {
    return static_cast<uint32_t>(scanField) << 16;
}

TEST(KeyEventToKeyCode, ScanFieldVkTableAndRemaps) {
    EXPECT_EQ(KeyEventToKeyCode(0x13, LParam(0x146)), 0x045);  // Ctrl+Break is Pause
    EXPECT_EQ(KeyEventToKeyCode(0x10, LParam(0)), 0x02A);
    EXPECT_EQ(KeyEventToKeyCode(0x11, LParam(0)), 0x01D);
    EXPECT_EQ(KeyEventToKeyCode(0x12, LParam(0)), 0x038);
    EXPECT_EQ(KeyEventToKeyCode(0xBA, LParam(0)), 0);
    EXPECT_EQ(KeyEventToKeyCode(0x0D, LParam(0)), 0x01C);
    EXPECT_EQ(KeyEventToKeyCode(0x2C, LParam(0)), 0x137);
    EXPECT_EQ(KeyEventToKeyCode(0x2C, LParam(0x054)), 0x137);  // Alt+Print Screen
    EXPECT_EQ(KeyEventToKeyCode(0xA1, LParam(0x136)), 0x036);
    EXPECT_EQ(KeyEventToKeyCode(0x91, LParam(0x046)), 0x046);
    EXPECT_EQ(KeyEventToKeyCode(0x41, LParam(0x01E) | 0xC0000000u),
              0x01E);                                          // flags above the field are ignored
    EXPECT_EQ(KeyEventToKeyCode(0xFF, LParam(0x100)), 0x100);  // VK 0xFF: the scan field as is
    EXPECT_EQ(KeyEventToKeyCode(0x0D, LParam(0x11C)), 0x11C);  // Num Enter by its scan code
}

TEST(VkTable, NinetyThreeValidEntriesThatNameTheirKey) {
    int valid = 0;
    for (int vk = 0; vk < 256; ++vk) {
        const auto code = VkToKeyCode(static_cast<uint8_t>(vk));
        if (!code) continue;
        ++valid;
        ASSERT_LT(vk, 0xA0);
        if (vk == 0) {
            EXPECT_EQ(*code, 0);
            continue;
        }
        ASSERT_NE(*code, 0) << std::hex << vk;
        if (vk < 0x10 || vk > 0x12) {
            EXPECT_EQ(KeyRecordOf(*code).vk, vk) << std::hex << vk;
        }
    }
    EXPECT_EQ(valid, 93);
    EXPECT_FALSE(VkToKeyCode(0x01));
    EXPECT_FALSE(VkToKeyCode(0x6C));
    EXPECT_FALSE(VkToKeyCode(0xA0));
    EXPECT_EQ(VkToKeyCode(0x03), 0x146);
    EXPECT_EQ(VkToKeyCode(0x7C), 0x064);
}

TEST(Modifiers, BitsAndKeysInBothDirections) {
    EXPECT_EQ(ModifierBitToKeyCode(0x00), 0);
    EXPECT_EQ(ModifierBitToKeyCode(0x80), 0x15C);
    EXPECT_EQ(ModifierBitToKeyCode(0x06), 0x02A);  // lowest set bit
    for (int b = 0; b < 8; ++b) {
        const uint8_t bit = static_cast<uint8_t>(1 << b);
        EXPECT_EQ(KeyCodeToModifierBit(ModifierBitToKeyCode(bit)), bit);
    }
    EXPECT_EQ(KeyCodeToModifierBit(0x01E), 0);
}

TEST(HardwareCodeToKeyCode, DecodesEveryUsageType) {
    EXPECT_EQ(HardwareCodeToKeyCode({2, 2, 0x04}), 0x01E);
    EXPECT_EQ(HardwareCodeToKeyCode({2, 1, 0x80}), 0x15C);
    EXPECT_EQ(HardwareCodeToKeyCode({2, 7, 0x01}), 0x01D);
    EXPECT_EQ(HardwareCodeToKeyCode({3, 0xE2, 0x00}), 0x120);
    EXPECT_EQ(HardwareCodeToKeyCode({3, 0x92, 0x01}), 0x121);
    EXPECT_EQ(HardwareCodeToKeyCode({4, 0x81, 0x00}), 0x15E);
    EXPECT_EQ(HardwareCodeToKeyCode({0, 0, 0}), 0);
    EXPECT_EQ(HardwareCodeToKeyCode({5, 1, 0}), 0);
}

// Table-wide checks that catch typos in the data.
TEST(KeyTableData, MatrixPositionsAreUniqueAndMatchTheKeyButtons) {
    std::set<int> positions;
    std::set<KeyCode> withPosition;
    for (int slot = 0; slot < 256; ++slot) {
        const auto& r = KeyTableRecord(static_cast<uint8_t>(slot));
        if (r.matrixPosition < 0) continue;
        EXPECT_LT(r.matrixPosition, kMatrixPositionCount);
        EXPECT_TRUE(positions.insert(r.matrixPosition).second)
            << "position " << int(r.matrixPosition) << " twice";
        withPosition.insert(SlotToKeyCode(static_cast<uint8_t>(slot)));
    }
    std::set<KeyCode> buttons;
    std::set<uint16_t> ids;
    for (const auto& b : kKeyButtons) {
        EXPECT_TRUE(buttons.insert(b.code).second) << std::hex << b.code;
        EXPECT_TRUE(ids.insert(b.controlId).second) << b.controlId;
        EXPECT_GE(b.controlId, 1010);
        EXPECT_LE(b.controlId, 1120);
    }
    EXPECT_EQ(buttons, withPosition);
    // The G keys share 125 and the extra key has 110; the positions named as belonging to no button stay
    // free.
    for (int p : {int{kGKeyMatrixPosition},
                  int{kExtraKeyMatrixPosition},
                  13,
                  17,
                  18,
                  19,
                  20,
                  75,
                  77,
                  78,
                  79,
                  83,
                  85,
                  96,
                  98,
                  100,
                  114,
                  115,
                  116,
                  117,
                  118,
                  122}) {
        EXPECT_EQ(positions.count(p), 0u) << p;
    }
    EXPECT_EQ(positions.size() + 2 + 20, static_cast<size_t>(kMatrixPositionCount));
}

TEST(KeyTableData, SlotsAndCodesCorrespond) {
    EXPECT_EQ(KeySlot(0x145), 0xC5);
    EXPECT_EQ(SlotToKeyCode(0xC5), 0x145);
    EXPECT_EQ(KeySlot(0x07F), 0x7F);
    for (int slot = 0; slot < 256; ++slot) {
        EXPECT_EQ(KeySlot(SlotToKeyCode(static_cast<uint8_t>(slot))), slot);
    }
    // Every record of the table has a name, a list position and at most a usage that decodes.
    int records = 0;
    for (int slot = 0; slot < 256; ++slot) {
        const auto& r = KeyTableRecord(static_cast<uint8_t>(slot));
        if (r.name.empty() && !r.nameText) {
            EXPECT_EQ(r.listPosition, kNoListPosition);
            continue;
        }
        ++records;
        EXPECT_NE(r.listPosition, kNoListPosition) << slot;
    }
    EXPECT_EQ(records, 155);
}

TEST(KeyButtons, LookUpByControlId) {
    EXPECT_EQ(KeyButtonCode(1058), 0x01E);
    EXPECT_EQ(KeyButtonCode(1104), 0x145);
    EXPECT_FALSE(KeyButtonCode(1000));
    EXPECT_EQ(GKeyIndex(1143), 8);
    EXPECT_EQ(GKeyIndex(1000), 0);
    EXPECT_FALSE(GKeyIndex(1058));
}

}  // namespace
}  // namespace vornak
