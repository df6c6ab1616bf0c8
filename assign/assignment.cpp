#include "assign/assignment.h"

#include <algorithm>

#include "config/config_image.h"
#include "platform/text_format.h"

namespace vornak {

const std::array<MediaAction, 18> kMediaActionTable = {{
    {0x16D, TextId::MEDIA_PALYER_1, 0x0183},
    {0x122, TextId::MEDIA_PALY_PAUSE_2, 0x00CD},
    {0x124, TextId::MEDIA_STOP_PALY_3, 0x00B7},
    {0x110, TextId::MEDIA_PREV_TRACK_4, 0x00B6},
    {0x119, TextId::MEDIA_Next_TRACK_5, 0x00B5},
    {0x12E, TextId::MEDIA_V_LOW_6, 0x00EA},
    {0x130, TextId::MEDIA_V_ADD_7, 0x00E9},
    {0x120, TextId::MEDIA_MUTE_8, 0x00E2},
    {0x132, TextId::MEDIA_WWW_HOME_9, 0x0223},
    {0x167, TextId::MEDIA_WWW_REFRESH_10, 0x0227},
    {0x168, TextId::MEDIA_WWW_STOP_11, 0x0226},
    {0x16A, TextId::MEDIA_WWW_BACK_12, 0x0224},
    {0x169, TextId::MEDIA_WWW_FORWARD_13, 0x0225},
    {0x166, TextId::MEDIA_WWW_FAVORITE_14, 0x022A},
    {0x165, TextId::MEDIA_WWW_SEARCH_15, 0x0221},
    {0x16B, TextId::MEDIA_MY_PC_16, 0x0194},
    {0x121, TextId::MEDIA_CALC_17, 0x0192},
    {0x16C, TextId::MEDIA_MAIL_18, 0x018A},
}};

const std::array<TextId, 11> kFunctionKeyTable = {
    TextId::FUNC_KEY_DESC1, TextId::FUNC_KEY_DESC2,  TextId::FUNC_KEY_DESC3,  TextId::FUNC_KEY_DESC4,
    TextId::FUNC_KEY_DESC5, TextId::FUNC_KEY_DESC6,  TextId::FUNC_KEY_DESC7,  TextId::FUNC_KEY_DESC8,
    TextId::FUNC_KEY_DESC9, TextId::FUNC_KEY_DESC10, TextId::FUNC_KEY_DESC11,
};

bool IsMultimediaKey(KeyCode code) {
    return std::any_of(kMediaActionTable.begin(), kMediaActionTable.end(),
                       [code](const MediaAction& m) { return m.code == code; });
}

HardwareKeyCode EntryHardwareCode(const ConfigEntry& entry, const HardwareKeyCode& defaultCode,
                                  const MacroPositionLookup& positionOfId) {
    switch (static_cast<AssignmentKind>(entry.kind)) {
        case AssignmentKind::Disabled:
        case AssignmentKind::TextBlock:
            return {0, 0, 0};
        case AssignmentKind::Key: {
            const auto target = static_cast<KeyCode>(entry.value & 0xFFFF);
            if (const uint8_t bit = KeyCodeToModifierBit(target); bit != 0) return {2, 1, bit};
            const HidUsage usage = KeyCodeToHidUsage(target);
            return {2, 2, static_cast<uint8_t>(usage.page == 7 ? usage.usage : 0)};
        }
        case AssignmentKind::Macro: {
            const size_t position = positionOfId ? positionOfId(entry.value) : 0;
            return {5, 1, static_cast<uint8_t>(position)};
        }
        case AssignmentKind::StopMacro:
            return {5, 2, 0};
        case AssignmentKind::Media: {
            // A row that is not in the table has no usage to send: the key keeps its default.
            if (entry.value >= kMediaActionTable.size()) return defaultCode;
            const uint16_t usage = kMediaActionTable[entry.value].consumerUsage;
            return {3, static_cast<uint8_t>(usage & 0xFF), static_cast<uint8_t>(usage >> 8)};
        }
        case AssignmentKind::Function:
            return {5, 5, static_cast<uint8_t>(entry.value & 0xFF)};
        case AssignmentKind::Default:
        case AssignmentKind::LaunchProgram:
        default:
            return defaultCode;
    }
}

ConfigEntry EntryFromHardwareCode(const HardwareKeyCode& code, const HardwareKeyCode& defaultCode,
                                  const ConfigEntry& base, std::span<const MacroRecord> blobMacros) {
    ConfigEntry e = base;
    e.kind = static_cast<uint16_t>(AssignmentKind::Default);
    e.value = 0;
    if (code == defaultCode) return e;
    const auto set = [&](AssignmentKind kind, uint32_t value) {
        e.kind = static_cast<uint16_t>(kind);
        e.value = value;
        return e;
    };
    switch (code[0]) {
        case 0:
            if (code[1] == 0 && code[2] == 0) return set(AssignmentKind::Disabled, 0);
            return e;
        case 2: {
            const KeyCode key = HardwareCodeToKeyCode(code);
            return key != 0 ? set(AssignmentKind::Key, key) : e;
        }
        case 3: {
            const uint16_t usage = static_cast<uint16_t>(code[1] | (code[2] << 8));
            for (size_t row = 0; row < kMediaActionTable.size(); ++row) {
                if (kMediaActionTable[row].consumerUsage == usage) return set(AssignmentKind::Media, row);
            }
            return e;
        }
        case 5:
            if (code[1] == 1 && code[2] < blobMacros.size()) {
                // The keyboard keeps no repeat count per key: the macro's own count stands for it.
                set(AssignmentKind::Macro, blobMacros[code[2]].id);
                e.code = std::max<uint16_t>(blobMacros[code[2]].cycles, 1);
                return e;
            }
            if (code[1] == 2) return set(AssignmentKind::StopMacro, 0);
            if (code[1] == 5 && code[2] < kFunctionKeyTable.size())
                return set(AssignmentKind::Function, code[2]);
            return e;
        default:
            return e;
    }
}

AssignmentDescription DescribeAssignment(int slot, const ConfigEntry& entry,
                                         std::span<const MacroRecord> macros, const LanguageTexts& texts) {
    AssignmentDescription d;
    if (IsGKeySlot(slot)) {
        const int index = (slot - kGKeySlotLayerA) % kGKeyCount;
        d.text = FormatText(u"G%d", {static_cast<int64_t>(index + 1)});
    } else {
        d.text = KeyCodeName(SlotToKeyCode(static_cast<uint8_t>(slot)), texts);
    }
    if (entry.kind == static_cast<uint16_t>(AssignmentKind::Default)) return d;
    d.assigned = true;
    d.text += texts[TextId::KEY_PROMPT_SET];
    switch (static_cast<AssignmentKind>(entry.kind)) {
        case AssignmentKind::Key:
            d.text += texts[TextId::KEY_PROMPT_SINGLE];
            d.text += KeyCodeName(static_cast<KeyCode>(entry.value & 0xFFFF), texts);
            d.text += u")";
            break;
        case AssignmentKind::Macro: {
            d.text += texts[TextId::KEY_PROMPT_MACRO];
            if (const MacroRecord* m = FindMacro(macros, entry.value)) d.text += m->Name();
            d.text += u")";
            break;
        }
        case AssignmentKind::Media:
            d.text += texts[TextId::KEY_PROMPT_MEDIA];
            if (entry.value < kMediaActionTable.size())
                d.text += KeyCodeName(kMediaActionTable[entry.value].code, texts);
            d.text += u")";
            break;
        case AssignmentKind::Function:
            d.text += texts[TextId::KEY_PROMPT_FUNCTION];
            if (entry.value < kFunctionKeyTable.size()) d.text += texts[kFunctionKeyTable[entry.value]];
            d.text += u")";
            break;
        default:
            break;
    }
    return d;
}

}  // namespace vornak
