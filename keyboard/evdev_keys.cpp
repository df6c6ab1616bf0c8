#include "keyboard/evdev_keys.h"

#include <array>

namespace vornak {

namespace {

// evdev code, set-1 scan field.
constexpr EvdevKey kEvdevKeys[] = {
    // Codes 1..83 are the scan codes of the PC keyboard itself: Esc .. Num ., with Num Lock moved to 0x145.
    {1, 0x001},   {2, 0x002},  {3, 0x003},  {4, 0x004},  {5, 0x005},  {6, 0x006},  {7, 0x007},  {8, 0x008},
    {9, 0x009},   {10, 0x00A}, {11, 0x00B}, {12, 0x00C}, {13, 0x00D}, {14, 0x00E}, {15, 0x00F}, {16, 0x010},
    {17, 0x011},  {18, 0x012}, {19, 0x013}, {20, 0x014}, {21, 0x015}, {22, 0x016}, {23, 0x017}, {24, 0x018},
    {25, 0x019},  {26, 0x01A}, {27, 0x01B}, {28, 0x01C}, {29, 0x01D}, {30, 0x01E}, {31, 0x01F}, {32, 0x020},
    {33, 0x021},  {34, 0x022}, {35, 0x023}, {36, 0x024}, {37, 0x025}, {38, 0x026}, {39, 0x027}, {40, 0x028},
    {41, 0x029},  {42, 0x02A}, {43, 0x02B}, {44, 0x02C}, {45, 0x02D}, {46, 0x02E}, {47, 0x02F}, {48, 0x030},
    {49, 0x031},  {50, 0x032}, {51, 0x033}, {52, 0x034}, {53, 0x035}, {54, 0x036}, {55, 0x037}, {56, 0x038},
    {57, 0x039},  {58, 0x03A}, {59, 0x03B}, {60, 0x03C}, {61, 0x03D}, {62, 0x03E}, {63, 0x03F}, {64, 0x040},
    {65, 0x041},  {66, 0x042}, {67, 0x043}, {68, 0x044}, {69, 0x145}, {70, 0x046}, {71, 0x047}, {72, 0x048},
    {73, 0x049},  {74, 0x04A}, {75, 0x04B}, {76, 0x04C}, {77, 0x04D}, {78, 0x04E}, {79, 0x04F}, {80, 0x050},
    {81, 0x051},  {82, 0x052}, {83, 0x053}, {86, 0x056},  // KEY_102ND: the extra key of ISO keyboards (K45)
    {87, 0x057},                                          // F11
    {88, 0x058},                                          // F12
    {89, 0x073},                                          // KEY_RO (K56)
    {92, 0x079},                                          // KEY_HENKAN
    {93, 0x070},                                          // KEY_KATAKANAHIRAGANA
    {94, 0x07B},                                          // KEY_MUHENKAN
    {96, 0x11C},                                          // Num Enter
    {97, 0x11D},                                          // Right Ctrl
    {98, 0x135},                                          // Num /
    {99, 0x137},   // KEY_SYSRQ is the Print Screen key, with or without Alt
    {100, 0x138},  // Right Alt
    {102, 0x147},  // Home
    {103, 0x148},  // Up
    {104, 0x149},  // Page Up
    {105, 0x14B},  // Left
    {106, 0x14D},  // Right
    {107, 0x14F},  // End
    {108, 0x150},  // Down
    {109, 0x151},  // Page Down
    {110, 0x152},  // Insert
    {111, 0x153},  // Delete
    {113, 0x120},  // Mute
    {114, 0x12E},  // Volume down
    {115, 0x130},  // Volume up
    {116, 0x15E},  // Power
    {119, 0x045},  // Pause (Ctrl+Pause arrives as the same code)
    {121, 0x07E},  // KEY_KPCOMMA (K107)
    {122, 0x072},  // KEY_HANGEUL
    {123, 0x071},  // KEY_HANJA
    {124, 0x07D},  // KEY_YEN (K14)
    {125, 0x15B},  // Left Super: the Windows key
    {126, 0x15C},  // Right Super
    {127, 0x15D},  // KEY_COMPOSE: the Application (menu) key
    {128, 0x168},  // KEY_STOP: browser stop
    {140, 0x121},  // Calculator
    {142, 0x15F},  // Sleep
    {143, 0x163},  // Wake
    {144, 0x16B},  // KEY_FILE: "My Computer" from HID keyboards
    {155, 0x16C},  // Mail
    {156, 0x166},  // KEY_BOOKMARKS: browser favourites
    {157, 0x16B},  // KEY_COMPUTER: "My Computer" from PS/2 keyboards
    {158, 0x16A},  // Browser back
    {159, 0x169},  // Browser forward
    {163, 0x119},  // Next track
    {164, 0x122},  // Play / pause
    {165, 0x110},  // Previous track
    {166, 0x124},  // Stop
    {171, 0x16D},  // KEY_CONFIG: the media player key from HID keyboards
    {172, 0x132},  // Browser home
    {173, 0x167},  // Browser refresh
    {183, 0x064},  // F13
    {217, 0x165},  // Browser search
    {226, 0x16D},  // KEY_MEDIA: the media player key from PS/2 keyboards
};

}  // namespace

std::span<const EvdevKey> EvdevKeyTable() {
    return kEvdevKeys;
}

std::optional<KeyCode> EvdevToScanField(uint32_t evdev) {
    for (const EvdevKey& key : kEvdevKeys) {
        if (key.evdev == evdev) return key.scanField;
    }
    return std::nullopt;
}

uint32_t KeystrokeFlags(KeyCode scanField, bool release, bool autoRepeat) {
    uint32_t flags = 1;  // repeat count
    flags |= static_cast<uint32_t>(scanField & 0x1FF) << 16;
    if (release || autoRepeat) flags |= kKeyPreviouslyDown;
    if (release) flags |= kKeyReleased;
    return flags;
}

}  // namespace vornak
