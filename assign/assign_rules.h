// The rules by which a key is given a new assignment, shared by the key dialog, the command line and the
// swap and copy of assignments: which assignments a key may take, and the entry it then holds.
#pragma once

#include <cstdint>
#include <optional>

#include "assign/assignment.h"
#include "config/config_entry.h"
#include "config/config_store.h"
#include "keyboard/key_table.h"

namespace vornak {

// What a user can give a key: Default, another key, a macro with its repeat count, a media row, a function
// row.
struct Assignment {
    AssignmentKind kind = AssignmentKind::Default;
    uint32_t value = 0;   // the target KeyCode, the macro id, the media or function row
    uint16_t repeat = 1;  // Macro only: 1..255

    static Assignment Default() { return {}; }
    static Assignment Key(KeyCode target) { return {AssignmentKind::Key, target, 1}; }
    static Assignment Macro(uint16_t id, uint16_t repeat = 1) { return {AssignmentKind::Macro, id, repeat}; }
    static Assignment Media(uint32_t row) { return {AssignmentKind::Media, row, 1}; }
    static Assignment Function(uint32_t row) { return {AssignmentKind::Function, row, 1}; }
    friend bool operator==(const Assignment&, const Assignment&) = default;
};

inline constexpr int kMinRepeat = 1;
inline constexpr int kMaxRepeat = 255;

// G9, on either layer, takes only a macro or Default (its button also opens the macro editor).
constexpr bool IsMacroOnlySlot(int slot) {
    return slot == GKeySlot(kGKeyCount - 1, false) || slot == GKeySlot(kGKeyCount - 1, true);
}

// The KeyCode a slot stands for; 0 for the G-key slots, which are no key of the table.
KeyCode SlotKeyCode(int slot);

// Whether a key sent in place of another reaches the computer: a modifier or a key of the HID keyboard page.
// The keyboard sends any other target (a multimedia key, a mouse button, an editing function, Power) as an
// empty code, so the key would do nothing; those have kinds of their own or none.
bool KeyboardCanSendKey(KeyCode target);

enum class AssignRefusal {
    None,
    MacroOnlyKey,  // a G9 slot given anything but a macro or Default
    BadValue,      // no such key, media row, function row, or a macro id 0 / repeat outside 1..255
};

struct AssignResult {
    ConfigEntry entry;  // meaningful when refusal is None
    AssignRefusal refusal = AssignRefusal::None;
    bool ok() const { return refusal == AssignRefusal::None; }
};

// The entry a slot holds after it is given an assignment. The code field is the G-key tag for slots 256..273
// (the repeat count for a macro), else 0; a key given its own code, or key 0, becomes Default; the selection
// flag and the reserved word come from the old entry.
AssignResult EntryForAssignment(int slot, const ConfigEntry& old, const Assignment& assignment);

// The assignment an entry holds, when it is one a user can give (kinds 0, 2, 4, 7, 8); nothing for the kinds
// only stored data carries (disabled, launch program, stop macro, text block).
std::optional<Assignment> AssignmentOfEntry(const ConfigEntry& entry);

// Writes an entry into the edit copy (the caller holds lock A). The entry's name is freed when the entry
// changes: a new assignment drops a launch-program or text-block name.
void StoreEntry(EditCopy& edit, int profile, int slot, const ConfigEntry& entry);

}  // namespace vornak
