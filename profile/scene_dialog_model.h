// The scene dialog without its window: one row per on-board profile for the working file, rows added by Add
// and Load while it is open, the single check mark, Apply's enabled state, the open counter, and the
// "PROFILES" keys its Apply writes into the application profile.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/app_profile.h"
#include "texts/language_texts.h"
#include "texts/prompts.h"

namespace vornak {

struct SceneRow {
    std::u16string name;    // the file's name without its extension
    std::u16string folder;  // the file's folder, ending in a separator
};

// The row of a file.
SceneRow SceneRowOf(const std::filesystem::path& file);

class SceneDialogModel {
  public:
    SceneDialogModel(const AppProfile& appProfile, const LanguageTexts& texts, Prompts& prompts);

    // The dialog opens: the open counter goes up, the rows are rebuilt (one per on-board profile, each the
    // working file), the current profile's row is checked when it is known, Apply is disabled.
    void Open(const std::filesystem::path& workingFile, int currentProfile);
    // OK or Cancel: the open counter goes down.
    void Close();
    bool isOpen() const { return openCount_ > 0; }
    int openCount() const { return openCount_; }

    const std::vector<SceneRow>& rows() const { return rows_; }
    // The checked row, -1 when none is; at most one row is checked.
    int checkedRow() const { return checked_; }
    bool applyEnabled() const { return applyEnabled_; }
    void DisableApply() { applyEnabled_ = false; }

    // The user ticks or clears a row's box; checking one clears the others. Any change enables Apply.
    void SetChecked(int row, bool checked);
    // The row of a profile switched to from elsewhere (-1: none); Apply is not enabled by it.
    void CheckOnly(int row);

    // Add: the Save As chooser, then a default profile file written at the chosen path and its row appended.
    // False (and a message naming the file) when the file cannot be written; no row is added then.
    FileChoice AddChoice(const std::filesystem::path& userFolder) const;
    bool Add(const std::filesystem::path& file);
    // Load: the Open chooser, then a row for the chosen file; the file is not read.
    FileChoice LoadChoice(const std::filesystem::path& userFolder) const;
    void Load(const std::filesystem::path& file);
    // Deletes the selected row (-1: nothing happens) and returns the row to select next: the one after it,
    // or the one before when it was the last; -1 when no row is left.
    int Delete(int selectedRow);

    // Apply's first half: "PROFILE01".. (folder + name + ".fwc" of each row) and "PROFILE00" (the number of
    // rows) under "PROFILES". Returns the profile to switch to: the checked row, a row past the on-board
    // profiles standing for the first one, -1 when no row is checked.
    int WriteProfileKeys();
    // Why the keys could not be written ("" when they were).
    const std::string& lastError() const { return lastError_; }

  private:
    void Append(const std::filesystem::path& file);

    const AppProfile& appProfile_;
    const LanguageTexts& texts_;
    Prompts& prompts_;
    std::vector<SceneRow> rows_;
    int checked_ = -1;
    bool applyEnabled_ = false;
    int openCount_ = 0;
    std::string lastError_;
};

}  // namespace vornak
