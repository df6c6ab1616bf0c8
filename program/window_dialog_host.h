// The key dialog's host in the program: it edits the main window's selected profile, and every write is the
// main window model's Edit, so that an OK or Apply is one step of the undo history and enables the window's
// Apply; the window is then told to show it. A write while a device job runs is refused before any lock is
// taken: the job may hold lock A for seconds (a download), and the UI thread never waits for it.
#pragma once

#include <functional>
#include <string_view>

#include "assign/key_dialog_host.h"
#include "macro/macro_editor.h"
#include "program/main_model.h"

namespace vornak {

// The window behind the key dialog, as its writes need it.
class DialogWindow {
  public:
    virtual ~DialogWindow() = default;
    // A job is pending on the device worker.
    virtual bool jobPending() const = 0;
    // An edit went into the edit copy: the key buttons and Apply show it.
    virtual void EditShown() = 0;
};

class WindowDialogHost final : public KeyDialogHost {
  public:
    WindowDialogHost(MainWindowModel& model, ConfigStore& store, DialogWindow& window)
        : model_(model), store_(store), window_(window) {}

    int currentProfile() const override { return model_.selectedProfile(); }
    // Only while the worker is idle: the dialog reads when it opens (the key click waits for the worker) and
    // right after a write that was let through.
    void ReadEditCopy(const std::function<void(const EditCopy&)>& read) override;
    bool EditConfig(std::string_view what, const std::function<bool(EditCopy&)>& edit) override;

  private:
    MainWindowModel& model_;
    ConfigStore& store_;
    DialogWindow& window_;
};

// The macro page's question before a macro is deleted, asked only while no job is pending: whether a key
// plays the macro is read under lock A, which a running job may hold. While one is, the user is told the
// keyboard is busy and the macro stays.
MacroEditor::MayDelete MacroDeleteWhenIdle(std::function<bool()> jobPending, Prompts& prompts,
                                           const LanguageTexts& texts, MacroEditor::MayDelete mayDelete);

}  // namespace vornak
