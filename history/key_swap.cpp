#include "history/key_swap.h"

#include <optional>
#include <string>

namespace vornak {

namespace {

bool SlotIsValid(int slot) {
    return slot >= 0 && (slot < 256 || IsGKeySlot(slot));
}

bool ProfileIsValid(int profile) {
    return profile >= 0 && profile < kProfileCount;
}

bool IsNamedKind(uint16_t kind) {
    return kind == static_cast<uint16_t>(AssignmentKind::LaunchProgram) ||
           kind == static_cast<uint16_t>(AssignmentKind::TextBlock);
}

struct Move {
    AssignResult result;
    std::optional<std::u16string> name;
};

Move PlanMove(const EditCopy& edit, int profile, int from, int to) {
    const ConfigEntry source = edit.image.entry(profile, from);
    Move move{MovedEntry(to, edit.image.entry(profile, to), source), std::nullopt};
    if (move.result.ok() && IsNamedKind(move.result.entry.kind))
        move.name = edit.names.name(EntryIndex(profile, from));
    return move;
}

void Write(EditCopy& edit, int profile, int slot, const Move& move) {
    const size_t index = EntryIndex(profile, slot);
    edit.image.setEntry(index, move.result.entry);
    if (move.name)
        edit.names.Set(index, *move.name);
    else
        edit.names.Clear(index);
}

AssignRefusal Refusal(const Move& a, const Move& b) {
    return !a.result.ok() ? a.result.refusal : b.result.refusal;
}

}  // namespace

AssignResult MovedEntry(int toSlot, const ConfigEntry& toOld, const ConfigEntry& source) {
    if (const auto assignment = AssignmentOfEntry(source)) {
        AssignResult r = EntryForAssignment(toSlot, toOld, *assignment);
        if (r.refusal != AssignRefusal::BadValue) return r;
    }
    // Kinds only stored data carries, and values the key dialog would not give: they move as they are, by
    // the same rules for the slot.
    const auto kind = static_cast<AssignmentKind>(source.kind);
    AssignResult r;
    if (IsMacroOnlySlot(toSlot) && kind != AssignmentKind::Macro && kind != AssignmentKind::Default) {
        r.refusal = AssignRefusal::MacroOnlyKey;
        return r;
    }
    r.entry = toOld;
    r.entry.kind = source.kind;
    r.entry.value = source.value;
    r.entry.code = kind == AssignmentKind::Macro ? source.code : IsGKeySlot(toSlot) ? GKeyTag(toSlot) : 0;
    if (kind == AssignmentKind::Key && source.value == SlotKeyCode(toSlot)) {
        r.entry.kind = static_cast<uint16_t>(AssignmentKind::Default);
        r.entry.value = 0;
    }
    return r;
}

AssignRefusal CheckSwap(const EditCopy& edit, int profile, int slotA, int slotB) {
    if (!ProfileIsValid(profile) || !SlotIsValid(slotA) || !SlotIsValid(slotB))
        return AssignRefusal::BadValue;
    if (slotA == slotB) return AssignRefusal::None;
    return Refusal(PlanMove(edit, profile, slotB, slotA), PlanMove(edit, profile, slotA, slotB));
}

AssignRefusal CheckCopy(const EditCopy& edit, int profile, int fromSlot, int toSlot) {
    if (!ProfileIsValid(profile) || !SlotIsValid(fromSlot) || !SlotIsValid(toSlot))
        return AssignRefusal::BadValue;
    if (fromSlot == toSlot) return AssignRefusal::None;
    return PlanMove(edit, profile, fromSlot, toSlot).result.refusal;
}

AssignRefusal SwapAssignments(EditCopy& edit, int profile, int slotA, int slotB) {
    if (const AssignRefusal r = CheckSwap(edit, profile, slotA, slotB); r != AssignRefusal::None) return r;
    if (slotA == slotB) return AssignRefusal::None;
    // Both moves are planned from the entries as they were, before either is written.
    const Move intoA = PlanMove(edit, profile, slotB, slotA);
    const Move intoB = PlanMove(edit, profile, slotA, slotB);
    Write(edit, profile, slotA, intoA);
    Write(edit, profile, slotB, intoB);
    return AssignRefusal::None;
}

AssignRefusal CopyAssignment(EditCopy& edit, int profile, int fromSlot, int toSlot) {
    if (const AssignRefusal r = CheckCopy(edit, profile, fromSlot, toSlot); r != AssignRefusal::None)
        return r;
    if (fromSlot == toSlot) return AssignRefusal::None;
    Write(edit, profile, toSlot, PlanMove(edit, profile, fromSlot, toSlot));
    return AssignRefusal::None;
}

}  // namespace vornak
