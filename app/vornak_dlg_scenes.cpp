// The main window's side of scene switching, the scene dialog and the update dialog.
#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

#include "app/ui_thread.h"
#include "app/vornak_dlg.h"
#include "assign/view/vornak_dlg_composite.h"
#include "device/port_hub_link.h"
#include "follow/view/follow_driver.h"
#include "platform/paths.h"
#include "profile/view/scene_menu_view.h"
#include "profile/view/vornak_dlg_profile.h"
#include "profile/view/vornak_dlg_update.h"

namespace vornak {

bool StartProgramDetached(const std::filesystem::path& program, const std::filesystem::path& folder) {
    return QProcess::startDetached(QString::fromStdString(program.string()), {},
                                   QString::fromStdString(folder.string()));
}

CVornak_DlgProfile* CVornakDlg::sceneDialog() {
    if (sceneDialog_ != nullptr) return sceneDialog_;
    sceneDialog_ = new CVornak_DlgProfile(
        parts_.sceneDialog(), switcher_, s_.texts, prompts_,
        ProfileDialogFiles{s_.paths.profileIni, s_.paths.skinsDir, s_.paths.helpIndex, s_.paths.userFolder},
        this);
    sceneDialog_->SetHelpOpener([help = s_.paths.helpIndex] {
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(help.string())));
    });
    SubDialogMade(sceneDialog_);
    return sceneDialog_;
}

CVornak_DlgUpdate* CVornakDlg::updateDialog() {
    if (updateDialog_ != nullptr) return updateDialog_;
    updateDialog_ = new CVornak_DlgUpdate(parts_.firmwareUpdate(), s_.texts,
                                          UpdateDialogFiles{s_.paths.updateIni, s_.paths.skinsDir}, this);
    SubDialogMade(updateDialog_);
    return updateDialog_;
}

bool CVornakDlg::EditorOpen() const {
    return parts_.keyDialog().isOpen();
}

void CVornakDlg::SetApplyEnabled(bool enabled) {
    model_.SetApplyEnabled(enabled);
    RefreshApply();
}

void CVornakDlg::SceneSwitched(const SceneOutcome& outcome) {
    if (FollowDriver* f = follow()) f->SwitchFinished();
    if (outcome.switched) emit profileChanged(outcome.currentProfile);
    const int before = model_.selectedProfile();
    // The edit copy loaded anew is described once no job holds it (the parts wait for the worker).
    parts_.TakeScene(outcome, [this, before] {
        RefreshKeyButtons();
        RefreshApply();
        if (lighting_ && model_.selectedProfile() != before)
            lighting_->RefreshForProfile(model_.selectedProfile(), LightingRefresh::ProfileSwitch);
        if (sceneDialog_ != nullptr && sceneDialog_->isVisible()) sceneDialog_->Render();
    });
}

void CVornakDlg::FillScenes(const SceneMenu& menu) {
    FillSceneMenu(sceneMenu_, menu, [this](int command) { OnCommand(command); });
    // The rules that switch the profile by themselves are edited from the same menu.
    if (!follow_) return;
    sceneMenu_.addSeparator();
    QAction* apps = sceneMenu_.addAction(LanguageText(s_.texts, TextId::MENU_APPS), this,
                                         [this] { OnCommand(main_id::kCmdApps); });
    apps->setObjectName(QStringLiteral("applications"));
}

void CVornakDlg::SceneMenuChanged(const SceneMenu& menu) {
    ShowSceneOnButton(*buttons_[main_id::kScenes], menu);
    FillScenes(menu);
    FollowRecheck();  // the keyboard was read or removed: a switch may wait for it
}

}  // namespace vornak
