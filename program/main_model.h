// The main window without the window: what the key buttons show, which profile and layer are selected,
// whether Apply is enabled, the busy picture, restore defaults, and the one entry point every edit of the
// edit copy goes through. The window renders this model and forwards what the user does; tests drive it
// directly. UI thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "program/keyboard_jobs.h"

namespace vornak {

// Told about every edit of the edit copy (the undo history records a step here).
class EditObserver {
  public:
    virtual ~EditObserver() = default;
    // Before the change, with lock A held: the copy as it is.
    virtual void BeforeEdit(const EditCopy& edit, std::string_view what) = 0;
    // After it, still under lock A.
    virtual void AfterEdit(const EditCopy& edit) = 0;
    // The edit copy was replaced whole (attach, import, a scene loaded): earlier steps no longer apply.
    virtual void Loaded() {}
};

struct KeyLook {
    std::u16string toolTip;  // DescribeAssignment's text
    bool assigned = false;   // the button shows its assigned (selected) surface
};

// What a click on a key or G button stands for.
struct KeyClickTarget {
    int slot = -1;  // entry slot in the profile's block
    uint16_t controlId = 0;
    bool macroOnly = false;  // G9 and FUNC_MACRO: the dialog opens in macro-only mode
};

// The profile's 104 keys and nine G keys of the active layer become Default.
void RestoreDefaultEntries(EditCopy& edit, int profile, bool layerB);

// Which of the window's timers run. Nothing runs while the window is hidden or minimised.
struct TimerPlan {
    bool busy = false;            // 1050: the busy picture's frames
    bool preview = false;         // 1052: the lighting preview
    bool arrows = false;          // the arrows' once-a-second step, while they show
    bool lightingReread = false;  // 1051: a lighting change waits to be read
};
struct WindowState {
    bool shown = false;
    bool minimised = false;
    bool busyVisible = false;
    bool lightingSwitch = false;  // the preview moves only while the lighting switch is on
    bool hasLightingPanel = false;
    bool lightingStale = false;  // the keyboard reported a lighting change not yet read
};
TimerPlan PlanTimers(const WindowState& state);
// The two arrows beside the effect list show with it: only while the lighting switch is on.
bool EffectArrowsShown(const WindowState& state);

inline constexpr int kBusyFrames = 10;
inline constexpr int kBusyFrameMs = 50;
inline constexpr int kBusyLingerMs = 100;  // the busy picture stays this long after the download

class MainWindowModel {
  public:
    MainWindowModel(ConfigStore& store, const LanguageTexts& texts);

    // ---- what the window shows
    bool applyEnabled() const { return applyEnabled_; }
    int selectedProfile() const { return selectedProfile_; }
    bool layerB() const { return layerB_; }
    const KeyboardSnapshot& snapshot() const { return snapshot_; }
    // A key button or G button of the selected profile (and, for G keys, the active layer).
    std::optional<KeyLook> LookOf(uint16_t controlId) const;
    // The label of G key i: "A1".."A5" or "B1".."B5" for the five layer buttons, empty for the others.
    std::u16string GKeyLabel(int index) const;
    // The key click road: a key button stands for its key's slot, G key i for 256 + i (layer A) or 265 + i
    // (layer B); FUNC_MACRO for G9 of the active layer, in macro-only mode. Nothing for other controls.
    std::optional<KeyClickTarget> ClickTarget(uint16_t controlId) const;

    // ---- results coming in
    // A fresh load (attach, import): the snapshot, the profile the keyboard runs, Apply.
    void Loaded(const LoadOutcome& outcome, bool applyEnabledAfter);
    // A profile file loaded by an import or from outside: one that reached the edit copy but not the keyboard
    // leaves Apply enabled to send it again; one that was not taken leaves Apply as it was.
    void FileLoaded(const LoadOutcome& outcome);
    // A profile button: true when the keyboard already runs that profile, which is then only shown (no
    // switch is sent).
    bool ShowIfRunning(int profile, int keyboardProfile);
    // A scene switch loaded the edit copy anew: the buttons are described from it (lock A taken; worker
    // idle), the keyboard's profile selected, Apply kept as it was.
    void SceneLoaded(int keyboardProfile);
    void SetSnapshot(KeyboardSnapshot snapshot) { snapshot_ = std::move(snapshot); }
    // Selected profile from the keyboard's current profile; -1 keeps the selection.
    void SelectProfile(int profile);
    void SetLayerB(bool layerB) { layerB_ = layerB; }
    void SetApplyEnabled(bool enabled) { applyEnabled_ = enabled; }

    // ---- edits
    // The one entry point of every edit of the edit copy: lock A is taken (the device worker must be idle:
    // run it through DeviceWorker::WhenIdle), the observer sees the copy before and after, Apply is enabled
    // and the key buttons are described anew. change returns false when it changed nothing; Apply then keeps
    // its state.
    bool Edit(std::string_view what, const std::function<bool(EditCopy&)>& change);
    void SetEditObserver(EditObserver* observer) { observer_ = observer; }
    // An edit that touched other profiles than the selected one (a swap across profiles, an undo of an
    // import) asks for all three at the next Apply.
    void RequestAllProfilesOnNextApply() { allProfilesNextApply_ = true; }
    bool allProfilesNextApply() const { return allProfilesNextApply_; }
    // Restore defaults, once the user said Yes: clears the selected profile's keys and the active layer's G
    // keys through Edit.
    bool RestoreDefaults();
    // Re-describes the buttons from the edit copy (lock A taken; worker idle).
    void Refresh();

    // ---- Apply
    struct ApplyPlan {
        bool send = false;  // Apply was enabled: save and download; otherwise only the busy picture
        bool allProfiles = false;
    };
    // Nothing when an Apply already runs: a second click while the download runs has no effect.
    std::optional<ApplyPlan> BeginApply();
    void FinishApply(const ApplyOutcome& outcome);
    bool applyRunning() const { return applyRunning_; }

    // ---- the busy picture (ten frames, 50 ms each)
    bool busyVisible() const { return busyVisible_; }
    int busyFrame() const { return busyFrame_; }
    void ShowBusy();
    void HideBusy();
    void BusyTick() { busyFrame_ = (busyFrame_ + 1) % kBusyFrames; }

  private:
    ConfigStore& store_;
    const LanguageTexts& texts_;
    EditObserver* observer_ = nullptr;
    KeyboardSnapshot snapshot_;
    bool applyEnabled_ = false;
    bool allProfilesNextApply_ = false;
    int selectedProfile_ = 0;
    bool layerB_ = false;
    bool applyRunning_ = false;
    bool busyVisible_ = false;
    int busyFrame_ = 0;
};

}  // namespace vornak
