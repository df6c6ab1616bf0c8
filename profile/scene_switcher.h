// Switching the keyboard's active on-board profile on the user's request (a profile button, the scene menu,
// the scene dialog's Apply), with the guard against an open key dialog and the question about unapplied
// edits. Decisions and questions happen on the UI thread; the keyboard work runs as device jobs, and the main
// window hears of the result through its SceneHost.
#pragma once

#include <array>
#include <string>

#include "profile/device_jobs.h"
#include "profile/profile_files.h"
#include "profile/scene_dialog_model.h"
#include "profile/scene_menu.h"
#include "texts/language_texts.h"
#include "texts/prompts.h"

namespace vornak {

// How a switch or a scene dialog Apply ended, handed to the main window on the UI thread.
struct SceneOutcome {
    int requested = -1;       // the profile asked for (-1: none)
    bool switched = false;    // the keyboard took the requested profile
    bool replaced = false;    // the edit copy was loaded anew (edits discarded, or read from the keyboard)
    int currentProfile = -1;  // the profile the keyboard runs as far as the program knows; -1 unknown
    std::string error;        // what failed, for diagnostics
};

// The main window as scene switching sees it. UI thread.
class SceneHost {
  public:
    virtual ~SceneHost() = default;
    // The key dialog's open counter is above zero.
    virtual bool EditorOpen() const = 0;
    // The main window's Apply button.
    virtual bool ApplyEnabled() const = 0;
    virtual void SetApplyEnabled(bool enabled) = 0;
    // The command of the main window's Apply button: its download is posted before the switch's work, so the
    // keyboard gets the edits first.
    virtual void Apply() = 0;
    // The switch's work is done: refresh the key buttons from the current profile's block; when
    // outcome.replaced the edit copy is a fresh load (a new undo history).
    virtual void SceneSwitched(const SceneOutcome& outcome) = 0;
    // The scene menu was rebuilt: show its checked item on the FUNC_PROFILES caption and tooltip.
    virtual void SceneMenuChanged(const SceneMenu& menu) = 0;
};

// The keyboard work of a switch (device job): the edit copy back to the working file when asked and the
// current profile is known, then the profile made active (nothing is sent for -1).
SceneOutcome RunSceneSwitch(ProfileServices& s, int index, bool discardEdits);
// The keyboard work of the scene dialog's Apply: the profile made active (nothing for -1), then the
// keyboard's configuration read into the working file and loaded.
SceneOutcome RunSceneReload(ProfileServices& s, int index);

class SceneSwitcher {
  public:
    // state: the link's, read for the current profile; run posts the keyboard work.
    SceneSwitcher(LinkState& state, const LanguageTexts& texts, Prompts& prompts, DeviceJobRunner run);

    void SetHost(SceneHost* host) { host_ = host; }
    // The scene dialog whose rows and Apply SwitchScene follows.
    void SetSceneDialog(SceneDialogModel* dialog) { dialog_ = dialog; }

    // Switches to profile index (3 or more: profile 0; -1: no change of profile). False when refused because
    // the key dialog is open (PROFILE_SEELCT_PROMPT2 is shown and nothing changes); true once the switch is
    // under way.
    bool SwitchScene(int index);
    // The scene menu command 9000..9200.
    bool SwitchSceneCommand(int command) { return SwitchScene(SceneIndexOfCommand(command)); }

    // The scene dialog's Apply: the "PROFILES" keys, the checked row's profile made active, the configuration
    // read again from the keyboard, both Apply buttons disabled. When the main window has unapplied edits
    // the user is asked first (Yes applies them, No discards them).
    void ApplySceneDialog();

    // The menu and the caption for the profile the program knows as current.
    SceneMenu CurrentSceneMenu() const;
    // Builds the menu anew and hands it to the host.
    void RebuildSceneMenu();

    // The unsaved-changes question is on screen.
    bool promptOnScreen() const { return guard_; }

  private:
    void Finish(const SceneOutcome& outcome, bool followDialog);
    int cachedProfile() const { return state_.currentProfile.load(); }

    LinkState& state_;
    const LanguageTexts& texts_;
    Prompts& prompts_;
    DeviceJobRunner run_;
    SceneHost* host_ = nullptr;
    SceneDialogModel* dialog_ = nullptr;
    bool guard_ = false;
};

}  // namespace vornak
