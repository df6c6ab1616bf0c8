// The key table: every key the program shows, records, stores or sends is a KeyCode, and this table gives
// each its name, its place in the key lists, its Windows virtual-key code, its HID usage and its place on the
// keyboard.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "texts/language_texts.h"

namespace vornak {

// PC scan code set 1 make code, + 0x100 for E0-prefixed keys; Pause is 0x045 and Num Lock 0x145. 0 = no key.
using KeyCode = uint16_t;

struct HidUsage {
    uint8_t page = 0;  // 7 keyboard, 1 generic desktop (system control), 12 consumer; 0 none
    uint16_t usage = 0;
    friend bool operator==(const HidUsage&, const HidUsage&) = default;
};

inline constexpr uint16_t kNoListPosition = 0xFFFF;
inline constexpr size_t kListPositionCount = 106;  // the key list of the key and macro dialogs: 0..105
inline constexpr int kMatrixPositionCount = 126;   // 6 rows of 21
inline constexpr uint8_t kGKeyMatrixPosition = 125;
inline constexpr uint8_t kExtraKeyMatrixPosition = 110;

struct KeyRecord {
    std::u16string_view name;        // empty when the name is a language text or the slot is empty
    std::optional<TextId> nameText;  // the language text that names a multimedia key
    uint16_t listPosition = kNoListPosition;
    uint8_t vk = 0;
    uint8_t compactUsage = 0;
    int8_t matrixPosition = -1;  // -1: no button on the main window
};

// A KeyCode below 0x100 is its own slot; 0x100..0x17F is slot KeyCode - 0x80.
constexpr uint8_t KeySlot(KeyCode code) {
    return static_cast<uint8_t>(code < 0x100 ? code : (code + 0x80) & 0xFF);
}
constexpr KeyCode SlotToKeyCode(uint8_t slot) {
    return slot < 0x80 ? slot : static_cast<KeyCode>(slot + 0x80);
}

// The record of a slot (0..255).
const KeyRecord& KeyTableRecord(uint8_t slot);
// The record of a key; empty for codes that have no slot (0x080..0x0FF and above 0x17F alias other keys'
// slots).
const KeyRecord& KeyRecordOf(KeyCode code);

// The ConsumerUsageTable: 32 usages (18..31 are 0), reached by compact bytes 0xC0..0xDF.
const std::array<uint16_t, 32>& ConsumerUsageTable();

// Operations over the constant tables.
std::u16string KeyCodeName(KeyCode code, const LanguageTexts& texts, size_t capacity = 260);
std::u16string ListPositionName(uint16_t position, const LanguageTexts& texts);
KeyCode ListPositionToKeyCode(uint16_t position);
uint16_t KeyCodeToListPosition(KeyCode code);
HidUsage KeyCodeToHidUsage(KeyCode code);
KeyCode HidUsageToKeyCode(HidUsage usage);
HidUsage CompactUsageToHidUsage(uint8_t compact);

inline constexpr uint8_t kScanPrefixE0 = 2;
inline constexpr uint8_t kScanPrefixE1 = 4;
struct ScanCode {
    uint8_t scan = 0;
    uint8_t flags = 0;  // kScanPrefixE0 / kScanPrefixE1
    friend bool operator==(const ScanCode&, const ScanCode&) = default;
};
ScanCode KeyCodeToScan(KeyCode code);

// A key event as the keyboard hooks report it: the virtual key and the message's lParam (scan code in
// bits 16..23, extended-key bit 24, previous state bit 30, transition bit 31).
KeyCode KeyEventToKeyCode(uint8_t vk, uint32_t lParam);

// The VkTable: the key of a valid VK 0x00..0x9F, nothing for an invalid one or VK 0xA0 and above.
std::optional<KeyCode> VkToKeyCode(uint8_t vk);

// HID modifier bits in their standard order: 0x01 Ctrl ... 0x80 Right Win.
KeyCode ModifierBitToKeyCode(uint8_t bits);
uint8_t KeyCodeToModifierBit(KeyCode code);  // 0 when the key is no modifier

// A 3-byte key code of the keyboard's key blocks back to a key; 0 when it names none.
KeyCode HardwareCodeToKeyCode(const std::array<uint8_t, 3>& code);

// The MatrixPosition of a key that has a button on the main window.
std::optional<uint8_t> KeyMatrixPosition(KeyCode code);

}  // namespace vornak
