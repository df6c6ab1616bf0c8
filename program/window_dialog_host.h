// The key dialog's host in the program: it edits the main window's selected profile, and every write goes
// through the window's edit entry point, so that an OK or Apply is one step of the undo history and enables
// the window's Apply. A write while a device job runs is refused before any lock is taken: the job may hold
// lock A for seconds (a download), and the UI thread never waits for it.
#pragma once

#include <functional>
#include <string_view>

#include "assign/key_dialog_host.h"
#include "program/main_model.h"

namespace vornak {

class WindowDialogHost final : public KeyDialogHost {
  public:
    // The window's Edit (the model's Edit, then the key buttons and Apply drawn again).
    using EditRoad = std::function<bool(std::string_view, const std::function<bool(EditCopy&)>&)>;

    // busy: whether a job is pending on the device worker.
    WindowDialogHost(const MainWindowModel& model, ConfigStore& store, std::function<bool()> busy,
                     EditRoad edit)
        : model_(model), store_(store), busy_(std::move(busy)), edit_(std::move(edit)) {}

    int currentProfile() const override { return model_.selectedProfile(); }
    // Only while the worker is idle: the dialog reads when it opens (the key click waits for the worker) and
    // right after a write that was let through.
    void ReadEditCopy(const std::function<void(const EditCopy&)>& read) override;
    bool EditConfig(std::string_view what, const std::function<bool(EditCopy&)>& edit) override;

  private:
    const MainWindowModel& model_;
    ConfigStore& store_;
    std::function<bool()> busy_;
    EditRoad edit_;
};

}  // namespace vornak
