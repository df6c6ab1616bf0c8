// What the main window is made of besides its widgets, made once and kept for the whole run: its model and
// undo history, the key dialog's model with the macro editor and the host its writes go through, the scene
// dialog's model and the scene switcher, the firmware update, the application profile, and the runner that
// posts their keyboard work on the device worker. The window takes them by reference, renders them and
// forwards what the user does; a test builds them on the simulated keyboard without any widget. UI thread.
#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

#include "assign/key_dialog_model.h"
#include "macro/macro_editor.h"
#include "platform/app_profile.h"
#include "profile/firmware_update.h"
#include "profile/scene_dialog_model.h"
#include "profile/scene_switcher.h"
#include "program/device_worker.h"
#include "program/history_commands.h"
#include "program/main_model.h"
#include "program/window_dialog_host.h"

namespace vornak {

struct ProgramPaths;
class ConfigTransfer;

// The profile models' device jobs, posted to the worker with the stack it hands every job.
DeviceJobRunner WorkerJobRunner(DeviceWorker& worker);

struct MainWindowPartsServices {
    const ProgramPaths& paths;
    const LanguageTexts& texts;
    ConfigStore& store;
    ConfigTransfer& transfer;  // whether a key still plays a macro the key dialog deletes
    LinkState& state;
    DeviceWorker& worker;
    Prompts& prompts;             // from any thread
    ProgramStarter startProgram;  // the firmware updater
};

// The window as its parts tell it what to show: scene switching's host, and a redraw after an edit.
class MainWindowView : public SceneHost {
  public:
    // An edit went into the edit copy (the key dialog's OK or Apply, Edit): the key buttons and Apply show
    // it.
    virtual void EditShown() = 0;
};

class MainWindowParts final : private DialogWindow {
  public:
    MainWindowParts(MainWindowPartsServices services, MainWindowView& view);
    ~MainWindowParts() override;
    MainWindowParts(const MainWindowParts&) = delete;
    MainWindowParts& operator=(const MainWindowParts&) = delete;

    MainWindowModel& model() { return model_; }
    const MainWindowModel& model() const { return model_; }
    HistoryCommands& history() { return history_; }
    AppProfile& appProfile() { return appProfile_; }
    MacroEditor& macroEditor() { return macroEditor_; }
    KeyDialogModel& keyDialog() { return keyDialog_; }
    const KeyDialogModel& keyDialog() const { return keyDialog_; }
    SceneDialogModel& sceneDialog() { return sceneDialog_; }
    SceneSwitcher& scenes() { return switcher_; }
    FirmwareUpdate& firmwareUpdate() { return update_; }

    // An edit of the edit copy from the window (a test, the bus service): the model's Edit, then the window
    // shows it. The device worker must be idle (a done callback, or WhenIdle).
    bool Edit(std::string_view what, const std::function<bool(EditCopy&)>& change);
    // Apply: false when one runs already (a second click while the download runs has no effect). Otherwise
    // started runs at once (the busy picture shows), the edit copy is saved and downloaded when Apply was
    // enabled, and finished runs once the model and the undo history took the outcome.
    bool Apply(const std::function<void()>& started, std::function<void(const ApplyOutcome&)> finished);
    // A profile file chosen on the UI thread, imported as a device job; shown runs once the model took it.
    void Import(std::filesystem::path file, std::function<void(const LoadOutcome&)> shown);
    // The keyboard was attached and read: captured and loaded as a device job, Apply disabled; shown runs
    // once the model took it.
    void ReloadFromKeyboard(std::function<void()> shown);
    // A scene switch ended: the keyboard's profile is selected, or, when the edit copy was loaded anew, the
    // key buttons are described from it once no job holds it (the undo history starts over); shown runs
    // after either.
    void TakeScene(const SceneOutcome& outcome, std::function<void()> shown);

  private:
    // DialogWindow: the key dialog's writes.
    bool jobPending() const override { return worker_.busy(); }
    void EditShown() override { view_.EditShown(); }

    DeviceWorker& worker_;
    MainWindowView& view_;
    MainWindowModel model_;
    HistoryCommands history_;
    AppProfile appProfile_;
    SceneDialogModel sceneDialog_;
    SceneSwitcher switcher_;
    FirmwareUpdate update_;  // the updater's path outlives every opening of the dialog
    MacroEditor macroEditor_;
    WindowDialogHost keyHost_;
    KeyDialogModel keyDialog_;
};

}  // namespace vornak
