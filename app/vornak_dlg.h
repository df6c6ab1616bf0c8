// The main window: the keyboard's picture with one image button per key, the G keys, the profile buttons,
// the lock indicators, the lighting panel's slot and the buttons Apply, Default, Menu, Help, Link, Minimize
// and Close. It renders MainWindowModel, forwards what the user does, runs every keyboard exchange as a job
// on the device worker, and takes the link's events on the UI thread. It lives for the whole run and hides
// instead of closing.
#pragma once

#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>

#include "app/tray_icon.h"
#include "history/key_drag.h"
#include "lighting/lighting_panel_slot.h"
#include "program/device_worker.h"
#include "program/link_relay.h"
#include "program/main_window_parts.h"
#include "program/outside_work.h"
#include "program/ui_prompts.h"
#include "skin/base_dialog.h"
#include "skin/png_button.h"

class QAction;
class QLabel;
class QMenu;

namespace vornak {

class CVornak_DlgApps;
class CVornak_DlgProfile;
class FollowDriver;
class CVornak_DlgUpdate;
class PortHubLink;
class Vornak_DlgComposite;
struct ProgramPaths;
class AboutBox;
class ConfigTransfer;

// Control ids of the main window.
namespace main_id {
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kScenes = 1005;
inline constexpr int kApply = 1006;
inline constexpr int kMacro = 1007;
inline constexpr int kLink = 1121;
inline constexpr int kHelp = 1122;
inline constexpr int kMinimize = 1123;
inline constexpr int kClose = 1124;
inline constexpr int kLockCaps = 1125;
inline constexpr int kLockNum = 1126;
inline constexpr int kLockScroll = 1127;
inline constexpr int kLockAB = 1128;
inline constexpr int kFlip0 = 1129;
inline constexpr int kFlip1 = 1130;
inline constexpr int kFlip2 = 1131;
inline constexpr int kProfile1 = 1135;
inline constexpr int kProfile2 = 1136;
inline constexpr int kProfile3 = 1137;
inline constexpr int kDefault = 1138;
inline constexpr int kMenu = 1139;
inline constexpr int kReport1 = 1147;
inline constexpr int kReport2 = 1168;
inline constexpr int kReport3 = 1169;
inline constexpr int kReport4 = 1170;
inline constexpr int kFn = 1174;
inline constexpr int kVersion = -1;  // TORVEL_VER has no id
inline constexpr int kSwitch = -2;   // FUNC_SWITCH: placed and drawn, no action
// Menu and tray commands.
inline constexpr int kCmdShow = 32771;
inline constexpr int kCmdAbout = 32773;
inline constexpr int kCmdExit = 32774;
inline constexpr int kCmdImport = 32776;
inline constexpr int kCmdExport = 32777;
inline constexpr int kCmdClose = 32779;
inline constexpr int kCmdUpdate = 32780;
inline constexpr int kCmdApps = 32781;
inline constexpr int kCmdSceneMenu = 1009;
inline constexpr int kFirstScene = 9000;
inline constexpr int kLastScene = 9200;
}  // namespace main_id

// Starts a program detached in a working folder; false when it could not be started.
bool StartProgramDetached(const std::filesystem::path& program, const std::filesystem::path& folder);

struct MainWindowServices {
    const ProgramPaths& paths;
    const LanguageTexts& texts;
    ConfigStore& store;
    ConfigTransfer& transfer;  // whether a key still plays a macro the dialog deletes
    PortHubLink& link;
    DeviceWorker& worker;
    UiThreadPrompts& prompts;  // from any thread
    bool startInTray = false;  // "/Start": never open by itself
};

class CVornakDlg : public CBaseDialog, public MainWindowEvents, public MainWindowView {
    Q_OBJECT

  public:
    explicit CVornakDlg(MainWindowServices services);
    ~CVornakDlg() override;

    // Lays the window out from the skin (ends the process when a picture of the skin is missing), then posts
    // MSG_INIT: the tray icon, the ready mark, hidden.
    void Init();

    // One handler per control id (and per menu and tray command).
    void OnCommand(int id);
    // MSG_OPEN: the window, or the no-device message when no keyboard is attached.
    void Open();
    // Hides to the tray; without a tray the window is minimised instead, so it can always be found.
    void HideToTray();
    // Close from the menu, the tray, Close or MSG_KILL: hidden, the sub-dialogs asked, then the run ends.
    // False when a sub-dialog refused (the program keeps running, hidden).
    bool CloseProgram();
    bool closing() const { return closing_; }

    // What the window is made of besides its widgets (program/main_window_parts.h).
    MainWindowParts& parts() { return parts_; }
    MainWindowModel& model() { return model_; }
    // An edit of the edit copy (MainWindowParts::Edit). The device worker must be idle.
    bool Edit(std::string_view what, const std::function<bool(EditCopy&)>& change) {
        return parts_.Edit(what, change);
    }
    CPngButton* button(int id) const;
    CTrayIcon& tray() { return tray_; }
    QLabel* busyPicture() const { return busy_; }
    bool ready() const { return ready_; }
    // Hidden, the window gives its pictures back (its background, the skin's state pictures its buttons cut
    // their faces from); showing it makes them again before the first paint.
    bool picturesReleased() const { return picturesReleased_; }
    // What the last key click reached (the key dialog's road), for the key dialog and tests.
    const std::optional<KeyClickTarget>& lastKeyClick() const { return lastKeyClick_; }
    // The undo history of the edits before Apply (app/vornak_dlg_history.cpp).
    HistoryCommands& history() { return history_; }
    // Undo and Redo: Ctrl+Z, Ctrl+Y or Ctrl+Shift+Z, and the main menu. Nothing happens while a dialog is
    // open or a job runs on the device worker.
    bool HistoryAllowed() const;
    void OnUndo();
    void OnRedo();
    // The main menu's entries, for CONTROL_MENU and for tests.
    void FillMainMenu(QMenu& menu);
    // The lighting panel's slot; the window owns it.
    void SetLightingPanel(std::unique_ptr<LightingPanelSlot> panel) { lighting_ = std::move(panel); }
    LightingPanelSlot* lightingPanel() const { return lighting_.get(); }
    // The lighting panel's switch changed: the preview timer runs only while the lights are on.
    void LightingPanelChanged() { UpdateTimers(); }

    // Work from outside the window, through the bus service (vornak_dlg_outside.cpp): each is decided against
    // the window's unapplied edits (DecideOutsideWork), posted on the device worker after the window's own
    // jobs, shown in the window, and answered through done on the UI thread.
    WindowEdits windowEdits() const;
    void OutsideStatus(std::function<void(OutsideResult, KeyboardStatus)> done);
    void OutsideCapture(std::filesystem::path file, std::function<void(OutsideResult)> done);
    void OutsideApply(std::filesystem::path file, bool force, std::function<void(OutsideResult)> done);
    void OutsideSwitchProfile(int profile, bool force, std::function<void(OutsideResult)> done);  // 0..2
    void OutsideLighting(int profile, std::vector<LightingStep> steps,
                         std::function<void(OutsideResult)> done);
    void OutsideUserMode(int profile, int mode, std::vector<std::pair<int, Colour>> paints,
                         std::function<void(OutsideResult)> done);

    // MainWindowEvents (the link's events, on the UI thread).
    void OnProfileRead(std::function<void()> finished) override;
    void OnDeviceGone() override;
    void OnHideMainWindow() override;
    void OnLedChanged(bool layerB) override;
    void OnLightingChanged() override;
    void OnTrayIcon(TrayIconMode mode, int iconId) override;
    void OnOpen() override;
    void OnMessage(TextId text) override;

    // SceneHost (scene switching and the scene dialog's Apply, on the UI thread).
    bool EditorOpen() const override;
    bool ApplyEnabled() const override { return model_.applyEnabled(); }
    void SetApplyEnabled(bool enabled) override;
    void Apply() override { OnApply(); }
    void SceneSwitched(const SceneOutcome& outcome) override;
    void SceneMenuChanged(const SceneMenu& menu) override;
    // MainWindowView: the key buttons and Apply show an edit.
    void EditShown() override;

    SceneSwitcher& scenes() { return switcher_; }
    FirmwareUpdate& firmwareUpdate() { return parts_.firmwareUpdate(); }
    // The sub-dialogs are made when first opened (or asked for here) and let go when the window hides to the
    // tray while they are closed, so the tray holds none of their widgets and pictures; what they show lives
    // in the parts, and in the files the Applications dialog reads at each opening.
    CVornak_DlgProfile* sceneDialog();
    CVornak_DlgUpdate* updateDialog();
    // The Applications dialog (the profile follower's rules); null before MSG_INIT.
    CVornak_DlgApps* appsDialog();
    Vornak_DlgComposite* keyDialog();
    // The scene menu as it was last filled (for the tray's single click and tests).
    QMenu& sceneMenu() { return sceneMenu_; }
    // The profile following the application in front (app/vornak_dlg_follow.cpp); null before MSG_INIT. The
    // bus service forwards ActiveWindowChanged to it, and HandSwitch for `vornakctl profile`.
    FollowDriver* follow() const;

  signals:
    // The run is over: the application ends its event loop.
    void programClosed();
    // For the bus service's signals: a keyboard was read or removed, the keyboard runs another profile
    // (0..2), a configuration was sent or loaded, the lighting changed.
    void keyboardChanged(bool present);
    void profileChanged(int profile);
    void configurationChanged();
    void lightingChanged();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The drag of a key button onto another (swap, Ctrl: copy).
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

  private:
    using Handler = void (CVornakDlg::*)();

    // ---- set-up (vornak_dlg.cpp)
    void CreateButtons();
    void LayOutControls();
    void ApplyTexts();
    void CreateTimers();
    void CreateHistory();
    void CreateLightingPanel();
    void ConnectTray();
    void HandleInit();
    // ---- the profile follower (vornak_dlg_follow.cpp)
    class FollowHostImpl;
    struct FollowParts;
    struct FollowPartsDeleter {
        void operator()(FollowParts* parts) const;
    };
    void CreateFollower();
    void FollowRecheck();
    void FollowHandSwitch();
    void RefreshTrayToolTip();
    CPngButton* AddButton(int id, std::u16string_view key);
    // The pictures only a shown window needs.
    void AttachPictures();
    void ReleaseShownPictures();
    void RestoreShownPictures();
    // The closed sub-dialogs go (hidden to the tray); the pictures nobody holds then go too.
    void LetClosedDialogsGo();
    void SubDialogMade(QDialog* dialog);
    void TrimPictures();

    // ---- rendering
    void RefreshKeyButtons();
    void RefreshGKeys();
    void RefreshProfileButtons();
    void RefreshApply();
    void RefreshBusy();
    void UpdateTimers();
    void StepArrows();

    // ---- commands (vornak_dlg_commands.cpp)
    static const std::map<int, Handler>& Handlers();
    void OnOk();
    void OnCancel();
    void OnScenes();
    void OnApply();
    void OnMacroKey();
    void OnLink();
    void OnHelp();
    void OnMinimize();
    void OnCloseCommand();
    void OnProfile1() { OnProfile(0); }
    void OnProfile2() { OnProfile(1); }
    void OnProfile3() { OnProfile(2); }
    void OnProfile(int profile);
    void OnDefault();
    void OnMenu();
    void OnAbout();
    // The Language submenu: the user's choice, kept in the application profile for the next start.
    void AddLanguageMenu(QMenu& menu);
    void OnImport();
    void OnExport();
    void OnUpdate();
    void OnApps();
    // The scene menu anew, with the Applications item below the scenes.
    void FillScenes(const SceneMenu& menu);
    void OnSceneMenu();
    void OnSwitchScene(int id);
    void OnKeyClick(int id);
    // The key click road ends here: the key assignment dialog opens for the target (vornak_dlg_keys.cpp).
    void OpenKeyDialog(const KeyClickTarget& target);
    void KeyDialogClosed(uint16_t buttonId);
    // ---- undo, redo and the drag of keys (vornak_dlg_history.cpp)
    void AddHistoryEntries(QMenu& menu);
    // The slot a key or G button stands for now; -1 for any other widget.
    int DragSlotOf(const QObject* button) const;
    int DragSlotAt(const QPoint& globalPos) const;
    void DropKey(int fromSlot, int toSlot, bool copy);
    // Refused (done is called with why) or allowed; with --force the window's edits are dropped first.
    bool OutsideAllowed(OutsideKind kind, bool force, const std::function<void(OutsideResult)>& done,
                        bool* discard = nullptr);
    bool SubDialogsMayClose();
    void CloseSubDialogsAsCancel();

    MainWindowServices s_;
    MainWindowParts parts_;
    MainWindowModel& model_;
    HistoryCommands& history_;
    SceneSwitcher& switcher_;
    KeyDrag drag_;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    UiThreadPrompts& prompts_;
    QMenu sceneMenu_{this};  // a child of the window: a Wayland popup stands against its parent's surface
    CTrayIcon tray_;
    std::map<int, CPngButton*> buttons_;
    std::map<int, std::u16string> keys_;  // control id -> its skin key
    CPngButton* leftArrow_ = nullptr;
    CPngButton* rightArrow_ = nullptr;
    QLabel* busy_ = nullptr;
    std::array<QPixmap, kBusyFrames> busyFrames_;
    QPixmap arrowSheet_;
    int arrowFrame_ = 1;
    QTimer busyTimer_;       // 1050
    QTimer busyLinger_;      // hides the busy picture 100 ms after the download
    QTimer lightingReread_;  // 1051
    QTimer preview_;         // 1052
    QTimer arrows_;
    QString linkAddress_;
    bool ready_ = false;
    bool closing_ = false;
    bool lightingStale_ = false;
    bool picturesReleased_ = false;
    std::optional<KeyClickTarget> lastKeyClick_;

    // The sub-dialogs while they exist, owned by the window through Qt's parent.
    CVornak_DlgProfile* sceneDialog_ = nullptr;
    Vornak_DlgComposite* keyDialog_ = nullptr;
    CVornak_DlgUpdate* updateDialog_ = nullptr;
    CVornak_DlgApps* appsDialog_ = nullptr;
    QPointer<AboutBox> about_;
    std::unique_ptr<LightingPanelSlot> lighting_;
    std::unique_ptr<FollowParts, FollowPartsDeleter> follow_;
};

}  // namespace vornak
