// Key events of the Linux input layer, turned into the (virtual key, keystroke flags) pair that the key
// capture and the macro recorder take (KeyEventToKeyCode). X11 and Wayland both report a key by its evdev
// code + 8; the table here gives each evdev code the set-1 scan field (scan byte, + 0x100 for keys sent with
// the E0 prefix) of the same physical key.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "keyboard/key_table.h"

namespace vornak {

struct EvdevKey {
    uint16_t evdev;  // KEY_* code of linux/input-event-codes.h
    KeyCode
        scanField;  // set-1 make code, + 0x100 for E0 keys; Pause 0x045 and Num Lock 0x145 as KeyCodes are
};

// Every key of the key table a keyboard can send, by evdev code (several codes may name one key: the media
// keys have one code from HID keyboards and another from PS/2 ones).
std::span<const EvdevKey> EvdevKeyTable();

// The scan field of an evdev code; nothing for a code that no key of the table answers to.
std::optional<KeyCode> EvdevToScanField(uint32_t evdev);

// X11 and Wayland key codes are the evdev code + 8.
inline constexpr uint32_t kXkbKeycodeOffset = 8;

// Keystroke flags of a key message: repeat count 1, scan byte in bits 16..23, the extended-key bit 24, the
// previous key state in bit 30 (set for an auto-repeated press and for every release) and the transition
// state in bit 31 (set for a release).
uint32_t KeystrokeFlags(KeyCode scanField, bool release, bool autoRepeat);

inline constexpr uint32_t kKeyPreviouslyDown = 1u << 30;
inline constexpr uint32_t kKeyReleased = 1u << 31;

// A key event in the form the capture rules take.
struct HookKeyEvent {
    uint8_t vk = 0xFF;  // Windows virtual key when known; 0xFF: take the key from the scan field alone
    uint32_t flags = 0;
    // The window system's own time stamp (ms, from its own base; 0 unknown). Not a clock for delays: it
    // tells the halves of an X server's auto-repeat pair, which carry the same one.
    uint32_t time = 0;
    bool released() const { return (flags & kKeyReleased) != 0; }
    bool autoRepeat() const { return !released() && (flags & kKeyPreviouslyDown) != 0; }
    friend bool operator==(const HookKeyEvent&, const HookKeyEvent&) = default;
};

}  // namespace vornak
