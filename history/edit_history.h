// Undo and redo of the edits made to the edit copy before they are applied. A step keeps only what its edit
// changed: the entries with their names, the macro records that left or joined the list (with the list's
// order on both sides), and the header; a record kept by the edit is a reference, never a copy.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "config/config_store.h"

namespace vornak {

struct HistoryLimits {
    size_t maxSteps = 100;
    size_t maxBytes = 16u * 1024 * 1024;
};

// One entry an edit changed, and its name on both sides.
struct EntryChange {
    uint16_t index = 0;
    ConfigEntry before;
    ConfigEntry after;
    std::optional<std::u16string> nameBefore;
    std::optional<std::u16string> nameAfter;
};

// A place in one side's macro list: a record of the other side (kept by the edit) or one of this side's own.
struct MacroRef {
    bool own = false;
    uint16_t index = 0;
};

struct MacroListChange {
    std::vector<MacroRef> before;      // the list before the edit, in order
    std::vector<MacroRef> after;       // and after it
    std::vector<MacroRecord> removed;  // records only the list before holds (removed or changed)
    std::vector<MacroRecord> added;    // records only the list after holds (added or changed)
    uint64_t beforeFingerprint = 0;
    uint64_t afterFingerprint = 0;
};

// What a step did, for the menus and the tests; records are told apart by id.
struct StepSummary {
    size_t entries = 0;
    size_t macrosAdded = 0;
    size_t macrosChanged = 0;
    size_t macrosRemoved = 0;
    bool header = false;
};

struct HistoryStep {
    std::u16string description;
    std::vector<EntryChange> entries;
    std::optional<std::array<uint8_t, kEntriesOffset>> headBefore;  // header and device block
    std::optional<std::array<uint8_t, kEntriesOffset>> headAfter;
    std::optional<MacroListChange> macros;
    uint8_t blocks = 0;  // bit b: an entry of block b changed
    size_t bytes = 0;    // memory the step holds

    StepSummary Summary() const;
};

// The history belongs to one thread (the program's UI thread). Begin, Commit, Undo and Redo take lock A, as
// they read or change the edit copy; the other calls touch only the steps and never wait for the lock, so
// they may be asked while the device worker holds it.
class EditHistory {
  public:
    explicit EditHistory(ConfigStore& store, HistoryLimits limits = {});

    // The edit copy as it was before an edit. Taken under lock A; holds a copy of the whole edit copy until
    // it is committed or dropped.
    class Capture {
      public:
        Capture(Capture&&) noexcept = default;
        Capture& operator=(Capture&&) noexcept = default;
        ~Capture();

      private:
        friend class EditHistory;
        Capture() = default;
        std::unique_ptr<EditCopy> copy_;
        uint64_t load_ = 0;
    };

    Capture Begin();
    // Compares the edit copy with the capture and keeps the difference as one step, dropping the steps that
    // were undone, and then the oldest steps beyond either limit (the new one is always kept). An edit that
    // changed nothing is no step. currentProfile is the on-board profile Apply sends alone (-1 unknown).
    // False when nothing was recorded.
    bool Commit(Capture before, std::u16string description, int currentProfile);

    bool CanUndo();
    bool CanRedo();
    // The description of the step Undo or Redo would take back or make again; empty when there is none.
    std::u16string UndoDescription();
    std::u16string RedoDescription();
    // Restores the edit copy as it was before (Undo) or after (Redo) the step. False, with nothing changed,
    // when there is no such step, or when the edit copy no longer matches the history (then it is cleared).
    bool Undo(int currentProfile);
    bool Redo(int currentProfile);

    // Forgets every step (a fresh load does this by itself: see ConfigStore::editLoads).
    void Clear();

    // Whether the next Apply must send all three profiles: a step done, undone or redone since the last
    // Apply changed the macro list or an entry of a profile other than the current one.
    bool SendAllProfiles();
    // A download succeeded; allProfiles tells whether it sent all three profiles.
    void Applied(bool allProfiles);

    size_t undoCount();
    size_t redoCount();
    // Memory all steps hold, in bytes.
    size_t bytes();
    const HistoryLimits& limits() const { return limits_; }
    // The step Undo would take back; null when none.
    const HistoryStep* UndoStep();

  private:
    // Clears the history when the edit copy was loaded afresh since the last step.
    void FollowLoads();
    void Restore(const HistoryStep& step, bool undo);
    void NoteSend(const HistoryStep& step, int currentProfile);
    void DropOldest();

    ConfigStore& store_;
    HistoryLimits limits_;
    std::deque<HistoryStep> steps_;
    size_t done_ = 0;  // steps_[0, done_) can be undone, the rest redone
    size_t bytes_ = 0;
    uint64_t load_ = 0;
    bool sendAll_ = false;
};

// A fingerprint of a macro list's bytes, to tell whether the list still is what a step left.
uint64_t MacroListFingerprint(std::span<const MacroRecord> list);

}  // namespace vornak
