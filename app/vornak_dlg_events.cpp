// The link's events as the main window handles them, on the UI thread.
#include <QMessageBox>

#include "app/about_box.h"
#include "app/ui_thread.h"
#include "app/vornak_dlg.h"
#include "device/port_hub_link.h"

namespace vornak {

void CVornakDlg::OnProfileRead(std::function<void()> finished) {
    parts_.ReloadFromKeyboard([this, finished = std::move(finished)] {
        RefreshKeyButtons();
        RefreshApply();
        if (lighting_) lighting_->RefreshForProfile(model_.selectedProfile(), LightingRefresh::Attach);
        // The caption and the menu name the profile the keyboard was found running.
        switcher_.RebuildSceneMenu();
        finished();
        emit keyboardChanged(true);
    });
}

void CVornakDlg::OnDeviceGone() {
    if (about_) about_->close();
    CloseSubDialogsAsCancel();
    switcher_.RebuildSceneMenu();
    if (isVisible()) showMinimized();
    emit keyboardChanged(false);
}

void CVornakDlg::OnHideMainWindow() {
    HideToTray();
}

void CVornakDlg::OnLedChanged(bool layerB) {
    model_.SetLayerB(layerB);
    RefreshGKeys();
}

void CVornakDlg::OnLightingChanged() {
    // Timer 1051; while the window is hidden the lighting is read when it is shown again.
    lightingStale_ = true;
    UpdateTimers();
    emit lightingChanged();
}

void CVornakDlg::OnTrayIcon(TrayIconMode mode, int iconId) {
    tray_.SetTrayState(mode, iconId);
}

void CVornakDlg::OnOpen() {
    Open();
}

void CVornakDlg::OnMessage(TextId text) {
    prompts_.Inform(s_.texts[text]);
}

}  // namespace vornak
