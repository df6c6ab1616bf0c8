// Swapping and copying the assignments of two keys (a key button dragged onto another). An assignment moves
// by the rules of a new assignment, not as raw entry bytes: the G-key tags and the selection flags stay with
// their slots, G9 takes only a macro or Default, a key given its own code becomes Default, and the name of a
// launch-program or text-block entry goes with it.
#pragma once

#include "assign/assign_rules.h"
#include "config/config_store.h"

namespace vornak {

// The entry toSlot holds once it takes the assignment of source; toOld is what it holds now.
AssignResult MovedEntry(int toSlot, const ConfigEntry& toOld, const ConfigEntry& source);

// The caller holds lock A. Both slots are in the block of profile (0..2): a KeySlot below 256 or a G-key
// slot. Nothing changes when the result is a refusal; a slot onto itself changes nothing and is no refusal.
AssignRefusal SwapAssignments(EditCopy& edit, int profile, int slotA, int slotB);
AssignRefusal CopyAssignment(EditCopy& edit, int profile, int fromSlot, int toSlot);

// What SwapAssignments or CopyAssignment would answer, changing nothing (for the drop feedback).
AssignRefusal CheckSwap(const EditCopy& edit, int profile, int slotA, int slotB);
AssignRefusal CheckCopy(const EditCopy& edit, int profile, int fromSlot, int toSlot);

}  // namespace vornak
