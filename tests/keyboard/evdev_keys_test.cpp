#include "keyboard/evdev_keys.h"

#include <gtest/gtest.h>

#include <set>

namespace vornak {
namespace {

TEST(EvdevKeys, EveryKeyWithAPlaceOnTheKeyboardHasAnEvdevCode) {
    std::set<KeyCode> reachable;
    for (const EvdevKey& key : EvdevKeyTable())
        reachable.insert(KeyEventToKeyCode(0xFF, KeystrokeFlags(key.scanField, false, false)));
    for (int slot = 0; slot < 256; ++slot) {
        const KeyRecord& record = KeyTableRecord(static_cast<uint8_t>(slot));
        if (record.matrixPosition < 0) continue;
        EXPECT_TRUE(reachable.count(SlotToKeyCode(static_cast<uint8_t>(slot))))
            << "no evdev code gives key " << std::hex << SlotToKeyCode(static_cast<uint8_t>(slot));
    }
    // The eighteen multimedia keys too, so that the capture can tell them and pass them on.
    for (KeyCode media : {0x16D, 0x122, 0x124, 0x110, 0x119, 0x12E, 0x130, 0x120, 0x132, 0x167, 0x168, 0x16A,
                          0x169, 0x166, 0x165, 0x16B, 0x121, 0x16C}) {
        EXPECT_TRUE(reachable.count(media)) << std::hex << media;
    }
}

TEST(EvdevKeys, EveryEvdevCodeNamesAKeyOfTheTableOnce) {
    std::set<uint16_t> codes;
    for (const EvdevKey& key : EvdevKeyTable()) {
        EXPECT_TRUE(codes.insert(key.evdev).second) << "evdev code " << key.evdev << " twice";
        const KeyCode code = KeyEventToKeyCode(0xFF, KeystrokeFlags(key.scanField, false, false));
        const KeyRecord& record = KeyRecordOf(code);
        EXPECT_TRUE(!record.name.empty() || record.nameText) << "evdev " << key.evdev << " gives no key";
        EXPECT_EQ(EvdevToScanField(key.evdev), key.scanField);
    }
    EXPECT_FALSE(EvdevToScanField(0));
    EXPECT_FALSE(EvdevToScanField(84));
    EXPECT_FALSE(EvdevToScanField(0x110));  // BTN_LEFT: a mouse button is no key
}

TEST(EvdevKeys, ExtendedKeysAndTheExceptions) {
    // Keys that share a scan byte are told apart by the E0 prefix.
    EXPECT_EQ(EvdevToScanField(29), 0x01D);   // Left Ctrl
    EXPECT_EQ(EvdevToScanField(97), 0x11D);   // Right Ctrl
    EXPECT_EQ(EvdevToScanField(56), 0x038);   // Left Alt
    EXPECT_EQ(EvdevToScanField(100), 0x138);  // Right Alt (AltGr)
    EXPECT_EQ(EvdevToScanField(28), 0x01C);   // Enter
    EXPECT_EQ(EvdevToScanField(96), 0x11C);   // Num Enter
    EXPECT_EQ(EvdevToScanField(72), 0x048);   // Num 8
    EXPECT_EQ(EvdevToScanField(103), 0x148);  // Up
    EXPECT_EQ(EvdevToScanField(71), 0x047);   // Num 7
    EXPECT_EQ(EvdevToScanField(102), 0x147);  // Home
    for (uint16_t nav : {102, 103, 104, 105, 106, 107, 108, 109, 110, 111})
        EXPECT_TRUE(*EvdevToScanField(nav) & 0x100) << nav;
    // Num Lock and Pause trade their scan bytes in the key codes.
    EXPECT_EQ(EvdevToScanField(69), 0x145);
    EXPECT_EQ(EvdevToScanField(119), 0x045);
    EXPECT_EQ(EvdevToScanField(125), 0x15B);
}

TEST(KeystrokeFlags, PressRepeatAndRelease) {
    const uint32_t press = KeystrokeFlags(0x11D, false, false);
    EXPECT_EQ((press >> 16) & 0x1FF, 0x11Du);
    EXPECT_EQ(press & 0xFFFF, 1u);
    EXPECT_EQ(press & (kKeyPreviouslyDown | kKeyReleased), 0u);
    EXPECT_EQ(KeystrokeFlags(0x01E, false, true) & (kKeyPreviouslyDown | kKeyReleased), kKeyPreviouslyDown);
    EXPECT_EQ(KeystrokeFlags(0x01E, true, false) & (kKeyPreviouslyDown | kKeyReleased),
              kKeyPreviouslyDown | kKeyReleased);
    const HookKeyEvent repeat{0xFF, KeystrokeFlags(0x01E, false, true)};
    EXPECT_TRUE(repeat.autoRepeat());
    EXPECT_FALSE(repeat.released());
    EXPECT_EQ(KeyEventToKeyCode(0xFF, KeystrokeFlags(0x145, true, false)), 0x145);
}

}  // namespace
}  // namespace vornak
