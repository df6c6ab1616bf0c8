// What an OK or Apply of the key dialog writes into the edit copy, as one step: the stale macro references
// reset, the macro list written back, the key's new entry. One function does all of it, so that whoever
// records changes (the undo history) sees a dialog's Apply as one edit.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "assign/assign_rules.h"
#include "config/config_store.h"
#include "macro/macro_record.h"

namespace vornak {

struct KeyDialogCommit {
    int profile = 0;
    int slot = 0;
    // The key's new assignment; nothing leaves its entry (and the entry's name) exactly as it is.
    std::optional<Assignment> assignment;
    // The macro page's list in its order; written back with isNew 0.
    std::vector<MacroRecord> macros;
};

struct KeyDialogCommitResult {
    // Entries (index into the image's 2048) of kind Macro that were given the first macro for an id of 0.
    std::vector<size_t> filledEntries;
    // Entries of kind Macro whose macro is gone, or whose id now belongs to a macro made since the dialog
    // opened: they are Default now.
    std::vector<size_t> resetEntries;
    bool entryWritten = false;  // the key's entry took the new assignment
    AssignRefusal refusal = AssignRefusal::None;
    bool changed = false;  // any byte of the edit copy (entries, names, macros) changed
};

// Runs with lock A held on the edit copy.
KeyDialogCommitResult CommitKeyDialog(EditCopy& edit, const KeyDialogCommit& commit);

}  // namespace vornak
