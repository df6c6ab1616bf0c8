#include "keyboard/key_names.h"

#include <gtest/gtest.h>

namespace vornak {
namespace {

const LanguageTexts kBuiltIn;

TEST(KeyCodeByName, TableNamesInAnyCaseAndTheSpellingsOfSymbolKeys) {
    EXPECT_EQ(KeyCodeByName(u"Caps Lock", kBuiltIn), 0x03A);
    EXPECT_EQ(KeyCodeByName(u"caps lock", kBuiltIn), 0x03A);
    EXPECT_EQ(KeyCodeByName(u"ESC", kBuiltIn), 0x001);
    EXPECT_EQ(KeyCodeByName(u"escape", kBuiltIn), 0x001);
    EXPECT_EQ(KeyCodeByName(u"\x2191", kBuiltIn), 0x148);
    EXPECT_EQ(KeyCodeByName(u"UP", kBuiltIn), 0x148);
    EXPECT_EQ(KeyCodeByName(u"minus", kBuiltIn), 0x00C);
    EXPECT_EQ(KeyCodeByName(u"-", kBuiltIn), 0x00C);
    EXPECT_EQ(KeyCodeByName(u"=", kBuiltIn), 0x00D);
    EXPECT_EQ(KeyCodeByName(u"Right Ctrl", kBuiltIn), 0x11D);
    // Two slots carry the name: the first in slot order.
    EXPECT_EQ(KeyCodeByName(u"right shift", kBuiltIn), 0x036);
    EXPECT_EQ(KeyCodeByName(u"Caps", kBuiltIn), std::nullopt);
    EXPECT_EQ(KeyCodeByName(u"Caps Lock ", kBuiltIn), std::nullopt);
    EXPECT_EQ(KeyCodeByName(u"", kBuiltIn), std::nullopt);
}

TEST(KeyCodeByName, MultimediaKeysGoByTheirLanguageText) {
    LanguageTexts texts;
    texts.Set(TextId::MEDIA_MUTE_8, u"Mute");
    EXPECT_EQ(KeyCodeByName(u"mute", texts), 0x120);
    // A language file without the text names nothing, not every key with an empty name.
    texts.Set(TextId::MEDIA_MUTE_8, u"");
    EXPECT_EQ(KeyCodeByName(u"mute", texts), std::nullopt);
}

TEST(KeyCodeByName, HexadecimalCodesOfKeysOnly) {
    EXPECT_EQ(KeyCodeByName(u"0x03A", kBuiltIn), 0x03A);
    EXPECT_EQ(KeyCodeByName(u"0X3a", kBuiltIn), 0x03A);
    EXPECT_EQ(KeyCodeByName(u"0x136", kBuiltIn), 0x136);
    EXPECT_EQ(KeyCodeByName(u"0x055", kBuiltIn), std::nullopt);  // an empty slot
    EXPECT_EQ(KeyCodeByName(u"0x0BA", kBuiltIn), std::nullopt);  // would alias slot 0x3A
    EXPECT_EQ(KeyCodeByName(u"0x200", kBuiltIn), std::nullopt);
    EXPECT_EQ(KeyCodeByName(u"0x", kBuiltIn), std::nullopt);
    EXPECT_EQ(KeyCodeByName(u"0x0003A", kBuiltIn), std::nullopt);
    EXPECT_EQ(KeyCodeByName(u"0x3g", kBuiltIn), std::nullopt);
}

TEST(KeyNameForTyping, EveryKeyReadsBackAsItself) {
    LanguageTexts english;
    english.Set(TextId::MEDIA_MUTE_8, u"Mute");
    for (const LanguageTexts* texts : {&kBuiltIn, static_cast<const LanguageTexts*>(&english)}) {
        for (int slot = 0; slot < 256; ++slot) {
            const KeyCode code = SlotToKeyCode(static_cast<uint8_t>(slot));
            const KeyRecord& r = KeyTableRecord(static_cast<uint8_t>(slot));
            if (r.name.empty() && !r.nameText) continue;
            const std::u16string name = KeyNameForTyping(code, *texts);
            EXPECT_EQ(KeyCodeByName(name, *texts), code) << std::hex << code;
        }
    }
    EXPECT_EQ(KeyNameForTyping(0x148, kBuiltIn), u"Up");
    EXPECT_EQ(KeyNameForTyping(0x00C, kBuiltIn), u"Minus");
    EXPECT_EQ(KeyNameForTyping(0x001, kBuiltIn), u"Esc");
    EXPECT_EQ(KeyNameForTyping(0x136, kBuiltIn), u"0x136");
}

}  // namespace
}  // namespace vornak
