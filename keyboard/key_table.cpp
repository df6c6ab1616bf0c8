#include "keyboard/key_table.h"

#include <algorithm>

#include "platform/text_format.h"

namespace vornak {

namespace {

struct SourceRow {
    KeyCode code;
    std::u16string_view name;
    std::optional<TextId> nameText;
    uint16_t listPosition;
    uint8_t vk;
    uint8_t page;
    uint16_t usage;
    uint8_t compactOverride;  // Zoom-, Zoom+, Word, Excel: consumer entries that carry usage 0
    int8_t matrixPosition;
};

// Code, name, ListPosition, VK, HID page and usage, MatrixPosition (-1: no button). Slots not listed are
// empty.
constexpr SourceRow kRows[] = {
    {0x001, u"Esc", std::nullopt, 37, 0x1B, 7, 0x029, 0, 0},
    {0x002, u"1", std::nullopt, 26, 0x31, 7, 0x01E, 0, 22},
    {0x003, u"2", std::nullopt, 27, 0x32, 7, 0x01F, 0, 23},
    {0x004, u"3", std::nullopt, 28, 0x33, 7, 0x020, 0, 24},
    {0x005, u"4", std::nullopt, 29, 0x34, 7, 0x021, 0, 25},
    {0x006, u"5", std::nullopt, 30, 0x35, 7, 0x022, 0, 26},
    {0x007, u"6", std::nullopt, 31, 0x36, 7, 0x023, 0, 27},
    {0x008, u"7", std::nullopt, 32, 0x37, 7, 0x024, 0, 28},
    {0x009, u"8", std::nullopt, 33, 0x38, 7, 0x025, 0, 29},
    {0x00A, u"9", std::nullopt, 34, 0x39, 7, 0x026, 0, 30},
    {0x00B, u"0", std::nullopt, 35, 0x30, 7, 0x027, 0, 31},
    {0x00C, u"-", std::nullopt, 41, 0xBD, 7, 0x02D, 0, 32},
    {0x00D, u"=", std::nullopt, 42, 0xBB, 7, 0x02E, 0, 33},
    {0x00E, u"Backspace", std::nullopt, 38, 0x08, 7, 0x02A, 0, 34},
    {0x00F, u"Tab", std::nullopt, 39, 0x09, 7, 0x02B, 0, 42},
    {0x010, u"Q", std::nullopt, 16, 0x51, 7, 0x014, 0, 43},
    {0x011, u"W", std::nullopt, 22, 0x57, 7, 0x01A, 0, 44},
    {0x012, u"E", std::nullopt, 4, 0x45, 7, 0x008, 0, 45},
    {0x013, u"R", std::nullopt, 17, 0x52, 7, 0x015, 0, 46},
    {0x014, u"T", std::nullopt, 19, 0x54, 7, 0x017, 0, 47},
    {0x015, u"Y", std::nullopt, 24, 0x59, 7, 0x01C, 0, 48},
    {0x016, u"U", std::nullopt, 20, 0x55, 7, 0x018, 0, 49},
    {0x017, u"I", std::nullopt, 8, 0x49, 7, 0x00C, 0, 50},
    {0x018, u"O", std::nullopt, 14, 0x4F, 7, 0x012, 0, 51},
    {0x019, u"P", std::nullopt, 15, 0x50, 7, 0x013, 0, 52},
    {0x01A, u"[", std::nullopt, 43, 0xDB, 7, 0x02F, 0, 53},
    {0x01B, u"]", std::nullopt, 44, 0xDD, 7, 0x030, 0, 54},
    {0x01C, u"Enter", std::nullopt, 36, 0x0D, 7, 0x028, 0, 76},
    {0x01D, u"Ctrl", std::nullopt, 98, 0xA2, 7, 0x0E0, 0, 105},
    {0x01E, u"A", std::nullopt, 0, 0x41, 7, 0x004, 0, 64},
    {0x01F, u"S", std::nullopt, 18, 0x53, 7, 0x016, 0, 65},
    {0x020, u"D", std::nullopt, 3, 0x44, 7, 0x007, 0, 66},
    {0x021, u"F", std::nullopt, 5, 0x46, 7, 0x009, 0, 67},
    {0x022, u"G", std::nullopt, 6, 0x47, 7, 0x00A, 0, 68},
    {0x023, u"H", std::nullopt, 7, 0x48, 7, 0x00B, 0, 69},
    {0x024, u"J", std::nullopt, 9, 0x4A, 7, 0x00D, 0, 70},
    {0x025, u"K", std::nullopt, 10, 0x4B, 7, 0x00E, 0, 71},
    {0x026, u"L", std::nullopt, 11, 0x4C, 7, 0x00F, 0, 72},
    {0x027, u";", std::nullopt, 46, 0xBA, 7, 0x033, 0, 73},
    {0x028, u"'", std::nullopt, 47, 0xDE, 7, 0x034, 0, 74},
    {0x029, u"`", std::nullopt, 48, 0xC0, 7, 0x035, 0, 21},
    {0x02A, u"Shift", std::nullopt, 99, 0xA0, 7, 0x0E1, 0, 84},
    {0x02B, u"\\", std::nullopt, 45, 0xDC, 7, 0x031, 0, 55},
    {0x02C, u"Z", std::nullopt, 25, 0x5A, 7, 0x01D, 0, 86},
    {0x02D, u"X", std::nullopt, 23, 0x58, 7, 0x01B, 0, 87},
    {0x02E, u"C", std::nullopt, 2, 0x43, 7, 0x006, 0, 88},
    {0x02F, u"V", std::nullopt, 21, 0x56, 7, 0x019, 0, 89},
    {0x030, u"B", std::nullopt, 1, 0x42, 7, 0x005, 0, 90},
    {0x031, u"N", std::nullopt, 13, 0x4E, 7, 0x011, 0, 91},
    {0x032, u"M", std::nullopt, 12, 0x4D, 7, 0x010, 0, 92},
    {0x033, u",", std::nullopt, 49, 0xBC, 7, 0x036, 0, 93},
    {0x034, u".", std::nullopt, 50, 0xBE, 7, 0x037, 0, 94},
    {0x035, u"/", std::nullopt, 51, 0xBF, 7, 0x038, 0, 95},
    {0x036, u"Right Shift", std::nullopt, 103, 0xA1, 7, 0x0E5, 0, 97},
    {0x037, u"Num *", std::nullopt, 81, 0x6A, 7, 0x055, 0, 40},
    {0x038, u"Alt", std::nullopt, 100, 0xA4, 7, 0x0E2, 0, 107},
    {0x039, u"Space", std::nullopt, 40, 0x20, 7, 0x02C, 0, 108},
    {0x03A, u"Caps Lock", std::nullopt, 78, 0x14, 7, 0x039, 0, 63},
    {0x03B, u"F1", std::nullopt, 52, 0x70, 7, 0x03A, 0, 1},
    {0x03C, u"F2", std::nullopt, 53, 0x71, 7, 0x03B, 0, 2},
    {0x03D, u"F3", std::nullopt, 54, 0x72, 7, 0x03C, 0, 3},
    {0x03E, u"F4", std::nullopt, 55, 0x73, 7, 0x03D, 0, 4},
    {0x03F, u"F5", std::nullopt, 56, 0x74, 7, 0x03E, 0, 5},
    {0x040, u"F6", std::nullopt, 57, 0x75, 7, 0x03F, 0, 6},
    {0x041, u"F7", std::nullopt, 58, 0x76, 7, 0x040, 0, 7},
    {0x042, u"F8", std::nullopt, 59, 0x77, 7, 0x041, 0, 8},
    {0x043, u"F9", std::nullopt, 60, 0x78, 7, 0x042, 0, 9},
    {0x044, u"F10", std::nullopt, 61, 0x79, 7, 0x043, 0, 10},
    {0x045, u"Pause", std::nullopt, 65, 0x13, 7, 0x048, 0, 16},
    {0x046, u"Scroll Lock", std::nullopt, 77, 0x91, 7, 0x047, 0, 15},
    {0x047, u"Num 7", std::nullopt, 91, 0x67, 7, 0x05F, 0, 59},
    {0x048, u"Num 8", std::nullopt, 92, 0x68, 7, 0x060, 0, 60},
    {0x049, u"Num 9", std::nullopt, 93, 0x69, 7, 0x061, 0, 61},
    {0x04A, u"Num -", std::nullopt, 82, 0x6D, 7, 0x056, 0, 41},
    {0x04B, u"Num 4", std::nullopt, 88, 0x64, 7, 0x05C, 0, 80},
    {0x04C, u"Num 5", std::nullopt, 89, 0x65, 7, 0x05D, 0, 81},
    {0x04D, u"Num 6", std::nullopt, 90, 0x66, 7, 0x05E, 0, 82},
    {0x04E, u"Num +", std::nullopt, 83, 0x6B, 7, 0x057, 0, 62},
    {0x04F, u"Num 1", std::nullopt, 85, 0x61, 7, 0x059, 0, 101},
    {0x050, u"Num 2", std::nullopt, 86, 0x62, 7, 0x05A, 0, 102},
    {0x051, u"Num 3", std::nullopt, 87, 0x63, 7, 0x05B, 0, 103},
    {0x052, u"Num 0", std::nullopt, 94, 0x60, 7, 0x062, 0, 123},
    {0x053, u"Num .", std::nullopt, 95, 0x6E, 7, 0x063, 0, 124},
    {0x054, u"Sys Req", std::nullopt, 0x8015, 0x2C, 0, 0x000, 0, -1},
    {0x056, u"K45", std::nullopt, 96, 0xE2, 7, 0x064, 0, -1},
    {0x057, u"F11", std::nullopt, 62, 0x7A, 7, 0x044, 0, 11},
    {0x058, u"F12", std::nullopt, 63, 0x7B, 7, 0x045, 0, 12},
    {0x064, u"F13", std::nullopt, 0x8030, 0x7C, 0, 0x000, 0, -1},
    {0x070, u"ROMA (133)", std::nullopt, 0x801B, 0xFF, 7, 0x088, 0, -1},
    {0x071, u"KL", std::nullopt, 0x801C, 0xE9, 7, 0x091, 0, -1},
    {0x072, u"KR", std::nullopt, 0x801D, 0xFF, 7, 0x090, 0, -1},
    {0x073, u"K56", std::nullopt, 0x8017, 0xC1, 7, 0x087, 0, -1},
    {0x079, u"CHG (132)", std::nullopt, 0x801A, 0xFF, 7, 0x08A, 0, -1},
    {0x07B, u"N-CHG (131)", std::nullopt, 0x8019, 0xEB, 7, 0x08B, 0, -1},
    {0x07D, u"K14", std::nullopt, 0x8016, 0xFF, 7, 0x089, 0, -1},
    {0x07E, u"K107", std::nullopt, 0x8018, 0xC2, 7, 0x085, 0, -1},
    {0x110, u"", TextId::MEDIA_PREV_TRACK_4, 0x8024, 0xB1, 12, 0x0B6, 0, -1},
    {0x119, u"", TextId::MEDIA_Next_TRACK_5, 0x8025, 0xB0, 12, 0x0B5, 0, -1},
    {0x11C, u"Num Enter", std::nullopt, 84, 0x0D, 7, 0x058, 0, 104},
    {0x11D, u"Right Ctrl", std::nullopt, 102, 0xA3, 7, 0x0E4, 0, 113},
    {0x120, u"", TextId::MEDIA_MUTE_8, 0x8028, 0xAD, 12, 0x0E2, 0, -1},
    {0x121, u"", TextId::MEDIA_CALC_17, 0x801F, 0xB7, 12, 0x192, 0, -1},
    {0x122, u"", TextId::MEDIA_PALY_PAUSE_2, 0x8022, 0xB3, 12, 0x0CD, 0, -1},
    {0x124, u"", TextId::MEDIA_STOP_PALY_3, 0x8023, 0xB2, 12, 0x0B7, 0, -1},
    {0x12E, u"", TextId::MEDIA_V_LOW_6, 0x8027, 0xAE, 12, 0x0EA, 0, -1},
    {0x130, u"", TextId::MEDIA_V_ADD_7, 0x8026, 0xAF, 12, 0x0E9, 0, -1},
    {0x132, u"", TextId::MEDIA_WWW_HOME_9, 0x8029, 0xAC, 12, 0x223, 0, -1},
    {0x135, u"Num /", std::nullopt, 80, 0x6F, 7, 0x054, 0, 39},
    {0x136, u"Right Shift", std::nullopt, 103, 0xA1, 7, 0x0E5, 0, -1},
    {0x137, u"Print Screen", std::nullopt, 64, 0x2C, 7, 0x046, 0, 14},
    {0x138, u"Right Alt", std::nullopt, 104, 0xA5, 7, 0x0E6, 0, 109},
    {0x145, u"Num Lock", std::nullopt, 79, 0x90, 7, 0x053, 0, 38},
    {0x146, u"Break", std::nullopt, 66, 0x03, 7, 0x048, 0, -1},
    {0x147, u"Home", std::nullopt, 69, 0x24, 7, 0x04A, 0, 36},
    {0x148, u"↑", std::nullopt, 73, 0x26, 7, 0x052, 0, 99},
    {0x149, u"Page Up", std::nullopt, 71, 0x21, 7, 0x04B, 0, 37},
    {0x14B, u"←", std::nullopt, 75, 0x25, 7, 0x050, 0, 119},
    {0x14D, u"→", std::nullopt, 76, 0x27, 7, 0x04F, 0, 121},
    {0x14F, u"End", std::nullopt, 70, 0x23, 7, 0x04D, 0, 57},
    {0x150, u"↓", std::nullopt, 74, 0x28, 7, 0x051, 0, 120},
    {0x151, u"Page Down", std::nullopt, 72, 0x22, 7, 0x04E, 0, 58},
    {0x152, u"Insert", std::nullopt, 67, 0x2D, 7, 0x049, 0, 35},
    {0x153, u"Delete", std::nullopt, 68, 0x2E, 7, 0x04C, 0, 56},
    {0x15B, u"Win", std::nullopt, 101, 0x5B, 7, 0x0E3, 0, 106},
    {0x15C, u"Right Win", std::nullopt, 105, 0x5C, 7, 0x0E7, 0, 112},
    {0x15D, u"App", std::nullopt, 97, 0x5D, 7, 0x065, 0, 111},
    {0x15E, u"Power", std::nullopt, 0x8001, 0xFF, 1, 0x081, 0, -1},
    {0x15F, u"Sleep", std::nullopt, 0x8002, 0x5F, 1, 0x082, 0, -1},
    {0x163, u"Wake", std::nullopt, 0x8003, 0xFF, 1, 0x083, 0, -1},
    {0x165, u"", TextId::MEDIA_WWW_SEARCH_15, 0x802F, 0xAA, 12, 0x221, 0, -1},
    {0x166, u"", TextId::MEDIA_WWW_FAVORITE_14, 0x802E, 0xAB, 12, 0x22A, 0, -1},
    {0x167, u"", TextId::MEDIA_WWW_REFRESH_10, 0x802A, 0xA8, 12, 0x227, 0, -1},
    {0x168, u"", TextId::MEDIA_WWW_STOP_11, 0x802B, 0xA9, 12, 0x226, 0, -1},
    {0x169, u"", TextId::MEDIA_WWW_FORWARD_13, 0x802D, 0xA7, 12, 0x225, 0, -1},
    {0x16A, u"", TextId::MEDIA_WWW_BACK_12, 0x802C, 0xA6, 12, 0x224, 0, -1},
    {0x16B, u"", TextId::MEDIA_MY_PC_16, 0x801E, 0xB6, 12, 0x194, 0, -1},
    {0x16C, u"", TextId::MEDIA_MAIL_18, 0x8020, 0xB4, 12, 0x18A, 0, -1},
    {0x16D, u"", TextId::MEDIA_PALYER_1, 0x8021, 0xB5, 12, 0x183, 0, -1},
    {0x16E, u"Pan Left", std::nullopt, 0x8008, 0x88, 0, 0x000, 0, -1},
    {0x16F, u"Pan Right", std::nullopt, 0x8009, 0x89, 0, 0x000, 0, -1},
    {0x170, u"Double Click", std::nullopt, 0x8007, 0x8A, 0, 0x000, 0, -1},
    {0x171, u"Left Button", std::nullopt, 0x8004, 0x01, 0, 0x000, 0, -1},
    {0x172, u"Right Button", std::nullopt, 0x8005, 0x02, 0, 0x000, 0, -1},
    {0x173, u"Middle Button", std::nullopt, 0x8006, 0x04, 0, 0x000, 0, -1},
    {0x174, u"Zoom-", std::nullopt, 0x800A, 0x8B, 12, 0x000, 0xD2, -1},
    {0x175, u"Zoom+", std::nullopt, 0x800B, 0x8C, 12, 0x000, 0xD3, -1},
    {0x176, u"Copy", std::nullopt, 0x800C, 0x97, 0, 0x000, 0, -1},
    {0x177, u"Cut", std::nullopt, 0x800D, 0x98, 0, 0x000, 0, -1},
    {0x178, u"Paste", std::nullopt, 0x800E, 0x99, 0, 0x000, 0, -1},
    {0x179, u"Minimize", std::nullopt, 0x800F, 0x9A, 0, 0x000, 0, -1},
    {0x17A, u"Maximize", std::nullopt, 0x8010, 0x9B, 0, 0x000, 0, -1},
    {0x17B, u"Word", std::nullopt, 0x8011, 0x9C, 12, 0x000, 0xD4, -1},
    {0x17C, u"Excel", std::nullopt, 0x8012, 0x9D, 12, 0x000, 0xD5, -1},
    {0x17D, u"PowerPoint", std::nullopt, 0x8013, 0x9E, 0, 0x000, 0, -1},
    {0x17E, u"Calendar", std::nullopt, 0x8014, 0x9F, 0, 0x000, 0, -1},
};

constexpr std::array<uint16_t, 32> kConsumerUsages = {
    0x00E9, 0x00EA, 0x0183, 0x018A, 0x0192, 0x0194, 0x0221, 0x0223, 0x0224,
    0x0225, 0x0226, 0x0227, 0x022A, 0x00E2, 0x00CD, 0x00B7, 0x00B6, 0x00B5,
};

constexpr uint8_t CompactOf(const SourceRow& row) {
    switch (row.page) {
        case 7:
        case 1:
            return static_cast<uint8_t>(row.usage);
        case 12:
            if (row.compactOverride != 0) return row.compactOverride;
            for (size_t i = 0; i < kConsumerUsages.size(); ++i) {
                if (kConsumerUsages[i] == row.usage) return static_cast<uint8_t>(0xC0 + i);
            }
            return 0;
        default:
            return 0;
    }
}

constexpr std::array<KeyRecord, 256> BuildTable() {
    std::array<KeyRecord, 256> table{};
    for (const auto& row : kRows) {
        KeyRecord& r = table[KeySlot(row.code)];
        r.name = row.name;
        r.nameText = row.nameText;
        r.listPosition = row.listPosition;
        r.vk = row.vk;
        r.compactUsage = CompactOf(row);
        r.matrixPosition = row.matrixPosition;
    }
    return table;
}

constexpr std::array<KeyRecord, 256> kTable = BuildTable();

// VKs without a key (0xA0 and above have no entry at all).
constexpr bool VkIsValid(uint8_t vk) {
    constexpr std::pair<uint8_t, uint8_t> kInvalid[] = {
        {0x01, 0x02}, {0x04, 0x07}, {0x0A, 0x0C}, {0x0E, 0x0F}, {0x15, 0x1A}, {0x1C, 0x1F}, {0x29, 0x2B},
        {0x2F, 0x2F}, {0x3A, 0x40}, {0x5E, 0x5E}, {0x6C, 0x6C}, {0x7D, 0x8F}, {0x92, 0x9F},
    };
    if (vk >= 0xA0) return false;
    for (const auto& [lo, hi] : kInvalid) {
        if (vk >= lo && vk <= hi) return false;
    }
    return true;
}

constexpr KeyCode VkTarget(uint8_t vk) {
    switch (vk) {
        case 0x00:
            return 0;
        case 0x0D:
            return 0x01C;  // Enter, not Num Enter
        case 0x2C:
            return 0x137;  // Print Screen, not Sys Req
        case 0x10:
            return 0x02A;  // the generic modifiers: Shift, Ctrl, Alt
        case 0x11:
            return 0x01D;
        case 0x12:
            return 0x038;
        default:
            break;
    }
    for (int slot = 0; slot < 256; ++slot) {
        if (kTable[slot].vk == vk) {
            return SlotToKeyCode(static_cast<uint8_t>(slot));
        }
    }
    return 0;
}

struct VkEntry {
    bool valid = false;
    KeyCode code = 0;
};

constexpr std::array<VkEntry, 160> BuildVkTable() {
    std::array<VkEntry, 160> t{};
    for (int vk = 0; vk < 160; ++vk) {
        if (VkIsValid(static_cast<uint8_t>(vk))) t[vk] = {true, VkTarget(static_cast<uint8_t>(vk))};
    }
    return t;
}

constexpr std::array<VkEntry, 160> kVkTable = BuildVkTable();

constexpr std::pair<uint8_t, KeyCode> kModifiers[] = {
    {0x01, 0x01D}, {0x02, 0x02A}, {0x04, 0x038}, {0x08, 0x15B},
    {0x10, 0x11D}, {0x20, 0x036}, {0x40, 0x138}, {0x80, 0x15C},
};

const KeyRecord kEmptyRecord{};

}  // namespace

const KeyRecord& KeyTableRecord(uint8_t slot) {
    return kTable[slot];
}

const KeyRecord& KeyRecordOf(KeyCode code) {
    if ((code >= 0x080 && code < 0x100) || code > 0x17F) return kEmptyRecord;
    return kTable[KeySlot(code)];
}

const std::array<uint16_t, 32>& ConsumerUsageTable() {
    return kConsumerUsages;
}

std::u16string KeyCodeName(KeyCode code, const LanguageTexts& texts, size_t capacity) {
    const KeyRecord& r = KeyRecordOf(code);
    std::u16string name(r.nameText ? std::u16string_view(texts[*r.nameText]) : r.name);
    if (name.empty()) name = FormatText(texts[TextId::UNKNOWN_KEY], {static_cast<int64_t>(code)});
    if (capacity == 0) return {};
    if (name.size() > capacity - 1) name.resize(capacity - 1);
    return name;
}

namespace {

std::optional<int> FirstSlotAt(uint16_t position) {
    for (int slot = 0; slot < 256; ++slot) {
        if (kTable[slot].listPosition == position) return slot;
    }
    return std::nullopt;
}

}  // namespace

std::u16string ListPositionName(uint16_t position, const LanguageTexts& texts) {
    if (position == kNoListPosition) return {};
    const auto slot = FirstSlotAt(position);
    if (!slot) return {};
    const KeyRecord& r = kTable[*slot];
    return std::u16string(r.nameText ? std::u16string_view(texts[*r.nameText]) : r.name);
}

KeyCode ListPositionToKeyCode(uint16_t position) {
    if (position == kNoListPosition) return 0;
    const auto slot = FirstSlotAt(position);
    return slot ? SlotToKeyCode(static_cast<uint8_t>(*slot)) : 0;
}

uint16_t KeyCodeToListPosition(KeyCode code) {
    return KeyRecordOf(code).listPosition;
}

HidUsage CompactUsageToHidUsage(uint8_t compact) {
    if (compact == 0x00 || compact == 0xFF) return {};
    if (compact >= 0x81 && compact <= 0x83) return {1, compact};
    if (compact >= 0xC0 && compact <= 0xDF) return {12, kConsumerUsages[compact - 0xC0]};
    return {7, compact};
}

HidUsage KeyCodeToHidUsage(KeyCode code) {
    return CompactUsageToHidUsage(KeyRecordOf(code).compactUsage);
}

KeyCode HidUsageToKeyCode(HidUsage usage) {
    uint8_t wanted = 0;
    switch (usage.page) {
        case 7:
            if (usage.usage > 0xFF) return 0;
            wanted = static_cast<uint8_t>(usage.usage);
            break;
        case 1:
            if (usage.usage < 0x81 || usage.usage > 0x83) return 0;
            wanted = static_cast<uint8_t>(usage.usage);
            break;
        case 12: {
            const auto it = std::find(kConsumerUsages.begin(), kConsumerUsages.end(), usage.usage);
            if (it == kConsumerUsages.end()) return 0;
            wanted = static_cast<uint8_t>(0xC0 + (it - kConsumerUsages.begin()));
            break;
        }
        default:
            return 0;
    }
    for (int slot = 0; slot < 256; ++slot) {
        if (kTable[slot].compactUsage == wanted) return SlotToKeyCode(static_cast<uint8_t>(slot));
    }
    return 0;
}

ScanCode KeyCodeToScan(KeyCode code) {
    if (code == 0x145) return {0x45, 0};
    if (code == 0x045) return {0x1D, kScanPrefixE1};
    return {static_cast<uint8_t>(code & 0xFF), static_cast<uint8_t>((code & 0x100) ? kScanPrefixE0 : 0)};
}

std::optional<KeyCode> VkToKeyCode(uint8_t vk) {
    if (vk >= kVkTable.size() || !kVkTable[vk].valid) return std::nullopt;
    return kVkTable[vk].code;
}

KeyCode KeyEventToKeyCode(uint8_t vk, uint32_t lParam) {
    const KeyCode s = static_cast<KeyCode>((lParam >> 16) & 0x1FF);
    KeyCode code = s;
    if (vk != 0xFF && (s & 0xFF) == 0) code = VkToKeyCode(vk).value_or(0);
    switch (code) {
        case 0x146:
            return 0x045;  // Ctrl+Break is Pause
        case 0x054:
            return 0x137;  // Alt+Print Screen is Print Screen
        case 0x136:
            return 0x036;  // the extended right Shift is Right Shift
        default:
            return code;
    }
}

KeyCode ModifierBitToKeyCode(uint8_t bits) {
    for (const auto& [bit, code] : kModifiers) {
        if (bits & bit) return code;
    }
    return 0;
}

uint8_t KeyCodeToModifierBit(KeyCode code) {
    for (const auto& [bit, key] : kModifiers) {
        if (key == code) return bit;
    }
    return 0;
}

KeyCode HardwareCodeToKeyCode(const std::array<uint8_t, 3>& code) {
    switch (code[0]) {
        case 2:
            if (code[1] == 2) return HidUsageToKeyCode({7, code[2]});
            return ModifierBitToKeyCode(code[2]);
        case 3:
            return HidUsageToKeyCode({12, static_cast<uint16_t>(code[2] << 8 | code[1])});
        case 4:
            return HidUsageToKeyCode({1, static_cast<uint16_t>(code[2] << 8 | code[1])});
        default:
            return 0;
    }
}

std::optional<uint8_t> KeyMatrixPosition(KeyCode code) {
    const KeyRecord& r = KeyRecordOf(code);
    if (r.matrixPosition < 0) return std::nullopt;
    return static_cast<uint8_t>(r.matrixPosition);
}

}  // namespace vornak
