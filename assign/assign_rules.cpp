#include "assign/assign_rules.h"

namespace vornak {

KeyCode SlotKeyCode(int slot) {
    if (slot < 0 || slot > 0xFF) return 0;
    return SlotToKeyCode(static_cast<uint8_t>(slot));
}

bool KeyboardCanSendKey(KeyCode target) {
    if (KeyCodeToModifierBit(target) != 0) return true;
    const HidUsage usage = KeyCodeToHidUsage(target);
    return usage.page == 7 && usage.usage != 0 && usage.usage <= 0xFF;
}

namespace {

bool ValueIsValid(const Assignment& a) {
    switch (a.kind) {
        case AssignmentKind::Default:
            return true;
        case AssignmentKind::Key: {
            if (a.value == 0) return true;  // nothing captured: Default
            if (a.value > 0xFFFF) return false;
            const KeyRecord& key = KeyRecordOf(static_cast<KeyCode>(a.value));
            return !key.name.empty() || key.nameText.has_value();
        }
        case AssignmentKind::Macro:
            return a.value >= 1 && a.value <= 0xFFFF && a.repeat >= kMinRepeat && a.repeat <= kMaxRepeat;
        case AssignmentKind::Media:
            return a.value < kMediaActionTable.size();
        case AssignmentKind::Function:
            return a.value < kFunctionKeyTable.size();
        default:
            return false;
    }
}

}  // namespace

AssignResult EntryForAssignment(int slot, const ConfigEntry& old, const Assignment& assignment) {
    AssignResult result;
    if (IsMacroOnlySlot(slot) && assignment.kind != AssignmentKind::Macro &&
        assignment.kind != AssignmentKind::Default) {
        result.refusal = AssignRefusal::MacroOnlyKey;
        return result;
    }
    if (!ValueIsValid(assignment)) {
        result.refusal = AssignRefusal::BadValue;
        return result;
    }
    ConfigEntry& e = result.entry;
    e = old;
    e.kind = static_cast<uint16_t>(assignment.kind);
    e.code = IsGKeySlot(slot) ? GKeyTag(slot) : 0;
    e.value = assignment.value;
    switch (assignment.kind) {
        case AssignmentKind::Key:
            if (assignment.value == 0 || assignment.value == SlotKeyCode(slot)) {
                e.kind = static_cast<uint16_t>(AssignmentKind::Default);
                e.value = 0;
            }
            break;
        case AssignmentKind::Macro:
            e.code = assignment.repeat;
            break;
        case AssignmentKind::Default:
            e.value = 0;
            break;
        default:
            break;
    }
    return result;
}

std::optional<Assignment> AssignmentOfEntry(const ConfigEntry& entry) {
    switch (static_cast<AssignmentKind>(entry.kind)) {
        case AssignmentKind::Default:
            return Assignment::Default();
        case AssignmentKind::Key:
            return Assignment::Key(static_cast<KeyCode>(entry.value));
        case AssignmentKind::Macro:
            return Assignment::Macro(static_cast<uint16_t>(entry.value & 0xFFFF), entry.code);
        case AssignmentKind::Media:
            return Assignment::Media(entry.value);
        case AssignmentKind::Function:
            return Assignment::Function(entry.value);
        default:
            return std::nullopt;
    }
}

void StoreEntry(EditCopy& edit, int profile, int slot, const ConfigEntry& entry) {
    const size_t index = EntryIndex(profile, slot);
    if (edit.image.entry(index) == entry) return;
    edit.names.Clear(index);
    edit.image.setEntry(index, entry);
}

}  // namespace vornak
