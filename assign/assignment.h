// What a key can be given: the assignment kinds, the media and function tables, the key codes they are sent
// to the keyboard as, the way back from a keyboard's key block, and the description shown on a key's button.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "config/config_entry.h"
#include "keyboard/key_table.h"
#include "macro/macro_record.h"
#include "texts/language_texts.h"

namespace vornak {

// Stored in profile files as the entry's kind: do not renumber.
enum class AssignmentKind : uint16_t {
    Default = 0,
    Disabled = 1,
    Key = 2,
    LaunchProgram = 3,
    Macro = 4,
    StopMacro = 5,
    TextBlock = 6,
    Media = 7,
    Function = 8,
};

struct MediaAction {
    KeyCode code;            // the multimedia key, named by KeyCodeName
    TextId name;             // its language text
    uint16_t consumerUsage;  // what the keyboard sends
};

// Row = value of a Media entry.
extern const std::array<MediaAction, 18> kMediaActionTable;
// Row = value of a Function entry; the keyboard performs the function itself and gets only the row.
extern const std::array<TextId, 11> kFunctionKeyTable;

bool IsMultimediaKey(KeyCode code);

// A key as it sits in a key block of the keyboard: three bytes.
using HardwareKeyCode = std::array<uint8_t, 3>;

// Position of a macro id in the list that is sent (0 when no macro has it).
using MacroPositionLookup = std::function<size_t(uint32_t id)>;

// The key code an entry is sent as; defaultCode is the position's code in the keyboard's default layout.
HardwareKeyCode EntryHardwareCode(const ConfigEntry& entry, const HardwareKeyCode& defaultCode,
                                  const MacroPositionLookup& positionOfId);

// The way back, for reading a keyboard's key block into entries: a position that holds its default code stays
// Default; otherwise 00 00 00 is Disabled, 02 xx a key, 03 lo hi a media row, 05 01 n the macro at blob
// position n, 05 02 the stop-macro key, 05 05 p a function row; anything else stays Default. base is the
// entry the slot has in a fresh image (its G-key tag, selection flag) and is kept but for kind, code and
// value.
ConfigEntry EntryFromHardwareCode(const HardwareKeyCode& code, const HardwareKeyCode& defaultCode,
                                  const ConfigEntry& base, std::span<const MacroRecord> blobMacros);

struct AssignmentDescription {
    std::u16string text;    // the button's tooltip
    bool assigned = false;  // the button shows the assigned look
};

// The description of the entry of a slot (a KeySlot below 256, or a G-key slot 256..273).
AssignmentDescription DescribeAssignment(int slot, const ConfigEntry& entry,
                                         std::span<const MacroRecord> macros, const LanguageTexts& texts);

}  // namespace vornak
