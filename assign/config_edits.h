// Edits of an edit copy as the command line makes them on a profile file: key assignments and the macro
// list. Each checks everything before it changes anything, and changes nothing when it refuses.
#pragma once

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "assign/assign_text.h"
#include "config/config_store.h"
#include "macro/edit_problem.h"

namespace vornak {

// Gives slots of one profile their assignments: all of them, or none when one is refused (G9 takes only a
// macro or Default, a macro must be in the list, a slot may be named once). A key given a macro sets the
// macro's repeat count to its own, and every key that plays the macro shows that count; two counts for one
// macro are refused.
bool AssignKeys(EditCopy& edit, int profile, std::span<const KeyAssignment> assignments,
                const LanguageTexts& texts, EditProblem* problem);

// Whether a new or renamed macro may take the name: not empty, at most 249 units, not beginning with '#'
// (that names an id) nor ending in "*N" (a repeat count), and no other macro of that name in any case
// (except: the macro being renamed).
bool CheckNewMacroName(std::span<const MacroRecord> macros, std::u16string_view name,
                       std::optional<size_t> except, EditProblem* problem);

// Appends a macro with the lowest free id; its index. Refused beyond 100 macros or 2000 actions.
std::optional<size_t> AddMacro(EditCopy& edit, std::u16string_view name, std::span<const MacroAction> actions,
                               uint8_t cycles, EditProblem* problem);
// New actions, and a new repeat count when one is given (which the keys that play it show too); the id
// stays, so the keys that play it keep it.
bool SetMacro(EditCopy& edit, size_t index, std::span<const MacroAction> actions,
              std::optional<uint8_t> cycles, EditProblem* problem);
bool RenameMacro(EditCopy& edit, size_t index, std::u16string_view name, EditProblem* problem);

// The entries (indexes into the image, every block) of kind Macro that play the macro with this id.
std::vector<size_t> EntriesPlayingMacro(const ConfigImage& image, uint16_t id);
// Removes the macro, and every entry that played it returns to Default, as the key dialog's Apply does for
// a deleted macro. The entries it reset.
std::vector<size_t> RemoveMacro(EditCopy& edit, size_t index);

}  // namespace vornak
