#include "assign/key_dialog_commit.h"

#include <algorithm>
#include <cstring>

namespace vornak {

namespace {

bool SameMacros(const std::vector<MacroRecord>& a, const std::vector<MacroRecord>& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](const MacroRecord& x, const MacroRecord& y) {
               return std::memcmp(&x, &y, sizeof(MacroRecord)) == 0;
           });
}

int SlotOfIndex(size_t index) {
    return static_cast<int>(index % kEntriesPerBlock);
}

int ProfileOfIndex(size_t index) {
    return static_cast<int>(index / kEntriesPerBlock);
}

// Checks every macro reference of the image against the list about to be written back.
void ResetStaleReferences(EditCopy& edit, const std::vector<MacroRecord>& list,
                          KeyDialogCommitResult& result) {
    for (size_t index = 0; index < kEntryCount; ++index) {
        const ConfigEntry entry = edit.image.entry(index);
        if (entry.kind != static_cast<uint16_t>(AssignmentKind::Macro)) continue;
        const uint16_t id = static_cast<uint16_t>(entry.value & 0xFFFF);
        if (id == 0 && !list.empty()) {
            ConfigEntry filled = entry;
            filled.value = list.front().id;
            StoreEntry(edit, ProfileOfIndex(index), SlotOfIndex(index), filled);
            result.filledEntries.push_back(index);
            continue;
        }
        const MacroRecord* macro = FindMacro(list, id);
        if (macro && macro->isNew == 0) continue;
        // The reset entry is the one the key has when it is given Default: its G-key tag back, value 0.
        const int slot = SlotOfIndex(index);
        const AssignResult reset = EntryForAssignment(slot, entry, Assignment::Default());
        StoreEntry(edit, ProfileOfIndex(index), slot, reset.entry);
        result.resetEntries.push_back(index);
    }
}

}  // namespace

KeyDialogCommitResult CommitKeyDialog(EditCopy& edit, const KeyDialogCommit& commit) {
    KeyDialogCommitResult result;
    const ConfigImage before = edit.image;
    const uint64_t namesBefore = edit.names.total();

    ResetStaleReferences(edit, commit.macros, result);

    std::vector<MacroRecord> macros = commit.macros;
    for (MacroRecord& m : macros)
        m.isNew = 0;
    const bool macrosChanged = !SameMacros(edit.macros, macros);
    if (macrosChanged) edit.macros = std::move(macros);

    if (commit.assignment) {
        const ConfigEntry old = edit.image.entry(commit.profile, commit.slot);
        const AssignResult next = EntryForAssignment(commit.slot, old, *commit.assignment);
        result.refusal = next.refusal;
        if (next.ok()) {
            StoreEntry(edit, commit.profile, commit.slot, next.entry);
            result.entryWritten = true;
        }
    }

    result.changed = macrosChanged || namesBefore != edit.names.total() ||
                     !std::equal(before.bytes().begin(), before.bytes().end(), edit.image.bytes().begin());
    return result;
}

}  // namespace vornak
