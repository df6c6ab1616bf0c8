// The main window's undo history: every edit through MainWindowModel::Edit becomes one step (this is the
// model's EditObserver), Undo and Redo put the edit copy back or forward, and the drag of one key onto
// another swaps or copies their assignments as one step. UI thread only. Undo, Redo, Swap and Copy change
// the edit copy, so the device worker must be idle, as for every edit; the texts and Can* ask nothing of it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "history/edit_history.h"
#include "history/key_swap.h"
#include "program/keyboard_jobs.h"
#include "program/main_model.h"

namespace vornak {

inline constexpr std::string_view kEditSwap = "swap keys";
inline constexpr std::string_view kEditCopy = "copy key";
inline constexpr std::string_view kEditDefaults = "restore defaults";

class HistoryCommands : public EditObserver {
  public:
    HistoryCommands(MainWindowModel& model, ConfigStore& store, const LanguageTexts& texts,
                    HistoryLimits limits = {});
    ~HistoryCommands() override;

    // The key whose dialog is open: its OK and Apply are named after it ("A → Key (B)"). -1 when none.
    void SetDialogSlot(int slot) { dialogSlot_ = slot; }

    bool CanUndo() { return history_.CanUndo(); }
    bool CanRedo() { return history_.CanRedo(); }
    // "Undo: A → Key (B)", or the bare "Undo" when there is nothing to undo; the same for Redo.
    std::u16string UndoText();
    std::u16string RedoText();
    // The edit copy as before (after) the step; Apply is enabled and the buttons described anew.
    bool Undo();
    bool Redo();

    // The two keys of the selected profile (slots of the key table, or G-key slots of the active layer).
    // A refusal changes nothing.
    AssignRefusal Swap(int slotA, int slotB);
    AssignRefusal Copy(int fromSlot, int toSlot);
    // Asks without changing anything, for the drop feedback.
    AssignRefusal CheckDrop(int fromSlot, int toSlot, bool copy);

    // Apply ended: a download that sent all three profiles ends the need to send them all.
    void Applied(const ApplyOutcome& outcome);

    EditHistory& history() { return history_; }

    // EditObserver
    void BeforeEdit(const EditCopy& edit, std::string_view what) override;
    void AfterEdit(const EditCopy& edit) override;
    void Loaded() override;

  private:
    std::u16string Describe(std::string_view what, const EditCopy& after) const;
    // After a step was made, undone or redone.
    void Follow();

    MainWindowModel& model_;
    ConfigStore& store_;
    const LanguageTexts& texts_;
    EditHistory history_;
    std::optional<EditHistory::Capture> capture_;
    std::string what_;
    std::u16string pending_;  // the name of the swap or copy under way
    int dialogSlot_ = -1;
};

}  // namespace vornak
