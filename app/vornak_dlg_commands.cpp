// What the main window's controls, its menu and the tray's commands do.
#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QMenu>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include "app/about_box.h"
#include "app/ui_thread.h"
#include "app/vornak_dlg.h"
#include "assign/view/vornak_dlg_composite.h"
#include "device/port_hub_link.h"
#include "follow/view/apps_dialog.h"
#include "platform/paths.h"
#include "platform/utf.h"
#include "profile/profile_files.h"
#include "profile/view/scene_menu_view.h"
#include "profile/view/vornak_dlg_profile.h"
#include "profile/view/vornak_dlg_update.h"

namespace vornak {

namespace {

constexpr int kSceneMenuFocusWaitMs = 1000;

}  // namespace

const std::map<int, CVornakDlg::Handler>& CVornakDlg::Handlers() {
    static const std::map<int, Handler> handlers = {
        {main_id::kOk, &CVornakDlg::OnOk},
        {main_id::kCancel, &CVornakDlg::OnCancel},
        {main_id::kScenes, &CVornakDlg::OnScenes},
        {main_id::kApply, &CVornakDlg::OnApply},
        {main_id::kMacro, &CVornakDlg::OnMacroKey},
        {main_id::kLink, &CVornakDlg::OnLink},
        {main_id::kHelp, &CVornakDlg::OnHelp},
        {main_id::kMinimize, &CVornakDlg::OnMinimize},
        {main_id::kClose, &CVornakDlg::OnCloseCommand},
        {main_id::kProfile1, &CVornakDlg::OnProfile1},
        {main_id::kProfile2, &CVornakDlg::OnProfile2},
        {main_id::kProfile3, &CVornakDlg::OnProfile3},
        {main_id::kDefault, &CVornakDlg::OnDefault},
        {main_id::kMenu, &CVornakDlg::OnMenu},
        {main_id::kCmdShow, &CVornakDlg::Open},
        {main_id::kCmdAbout, &CVornakDlg::OnAbout},
        {main_id::kCmdExit, &CVornakDlg::OnCloseCommand},
        {main_id::kCmdClose, &CVornakDlg::OnCloseCommand},
        {main_id::kCmdImport, &CVornakDlg::OnImport},
        {main_id::kCmdExport, &CVornakDlg::OnExport},
        {main_id::kCmdUpdate, &CVornakDlg::OnUpdate},
        {main_id::kCmdApps, &CVornakDlg::OnApps},
        {main_id::kCmdSceneMenu, &CVornakDlg::OnSceneMenu},
    };
    return handlers;
}

void CVornakDlg::OnCommand(int id) {
    if (closing_) return;
    if (const auto it = Handlers().find(id); it != Handlers().end()) {
        (this->*(it->second))();
    } else if (id >= main_id::kFirstScene && id <= main_id::kLastScene) {
        OnSwitchScene(id);
    } else if (model_.ClickTarget(static_cast<uint16_t>(id))) {
        OnKeyClick(id);
    }
}

// ---- showing and hiding

void CVornakDlg::Open() {
    if (s_.link.state().devicePresent.load() == 0) {
        prompts_.Inform(s_.texts[TextId::MAIN_NO_DEVICE_PROMPT]);
        return;
    }
    if (isMinimized()) showNormal();
    KeepOnScreen();
    show();
    raise();
    activateWindow();
}

void CVornakDlg::HideToTray() {
    if (tray_.available()) {
        hide();
    } else if (isVisible()) {
        showMinimized();
    }
}

void CVornakDlg::OnOk() {
    OnApply();
    HideToTray();
}

void CVornakDlg::OnCancel() {
    HideToTray();
}

void CVornakDlg::OnMinimize() {
    showMinimized();
}

// ---- Apply

void CVornakDlg::OnApply() {
    // Nothing while a download runs already: its busy picture shows it.
    parts_.Apply(
        [this] {
            busyLinger_.stop();
            RefreshBusy();
        },
        [this](const ApplyOutcome& outcome) {
            RefreshApply();
            busyLinger_.start();
            if (outcome.succeeded()) emit configurationChanged();
        });
}

// ---- keys and profiles

void CVornakDlg::OnKeyClick(int id) {
    if (lighting_ && lighting_->KeyClicksPaint() && KeyButtonCode(static_cast<uint16_t>(id))) {
        lighting_->PaintKey(static_cast<uint16_t>(id));
        return;
    }
    const auto target = model_.ClickTarget(static_cast<uint16_t>(id));
    if (!target) return;
    // During a job the click waits: the key shows pressed and its dialog opens when the job ends; a later
    // click replaces a waiting one.
    CPngButton* b = button(target->controlId);
    if (s_.worker.busy() && b != nullptr) b->setDown(true);
    s_.worker.WhenIdle("key-click", [this, t = *target] {
        if (CPngButton* pressed = button(t.controlId)) pressed->setDown(false);
        OpenKeyDialog(t);
    });
}

void CVornakDlg::OnMacroKey() {
    OnKeyClick(main_id::kMacro);
}

void CVornakDlg::OnProfile(int profile) {
    if (lighting_) lighting_->RefreshForProfile(profile, LightingRefresh::ProfileButton);
    if (model_.ShowIfRunning(profile, s_.link.state().currentProfile.load())) {
        RefreshKeyButtons();
        return;
    }
    // The button is marked when the switch's result comes back (SceneSwitched).
    if (switcher_.SwitchScene(profile)) FollowHandSwitch();
}

void CVornakDlg::OnDefault() {
    if (!prompts_.AskYesNo(s_.texts[TextId::MAIN_PROMPT_DEFAULT])) return;
    s_.worker.WhenIdle("defaults", [this] {
        model_.RestoreDefaults();  // through the model's Edit, as every edit
        RefreshKeyButtons();
        RefreshApply();
        if (lighting_ && lighting_->KeyClicksPaint()) lighting_->RestoreLightingDefaults();
        OnApply();
    });
}

// ---- menu, files, help

void CVornakDlg::OnMenu() {
    QMenu menu(this);
    FillMainMenu(menu);
    menu.exec(QCursor::pos());
}

void CVornakDlg::FillMainMenu(QMenu& menu) {
    AddHistoryEntries(menu);
    const struct {
        TextId text;
        int command;
    } items[] = {{TextId::MENU_1, main_id::kCmdImport},  {TextId::MENU_2, main_id::kCmdExport},
                 {TextId::MENU_APPS, main_id::kCmdApps}, {TextId::MENU_5, main_id::kCmdUpdate},
                 {TextId::MENU_3, main_id::kCmdAbout},   {TextId::MENU_4, main_id::kCmdClose}};
    for (const auto& item : items) {
        const int command = item.command;
        if (command == main_id::kCmdAbout) AddLanguageMenu(menu);
        menu.addAction(LanguageText(s_.texts, item.text), this, [this, command] { OnCommand(command); });
    }
}

void CVornakDlg::AddLanguageMenu(QMenu& menu) {
    // Each language is named in its own words, so that it can be found whatever the texts are now.
    QMenu* languages = menu.addMenu(LanguageText(s_.texts, TextId::MENU_LANGUAGE));
    languages->setObjectName(QStringLiteral("language"));
    for (const auto& [language, name] : {std::pair{kLanguageEnglish, QStringLiteral("English")},
                                         std::pair{kLanguageChinese, QString::fromUtf8("中文")}}) {
        QAction* action = languages->addAction(name, this, [this, language = language] {
            std::string error;
            if (!parts_.appProfile().WriteInt(kLanguageChoiceKey, language, &error)) {
                prompts_.Inform(Utf8ToUtf16(error));
                return;
            }
            prompts_.Inform(s_.texts[TextId::LANGUAGE_AT_NEXT_START]);
        });
        action->setCheckable(true);
        action->setChecked(s_.texts.language() == language);
    }
}

void CVornakDlg::OnImport() {
    // The file is chosen here, on the UI thread; only the import itself is a device job.
    FileChoice choice = ProfileFileChoice(false);
    choice.initialFolder = s_.paths.userFolder;
    const auto file = prompts_.ChooseFile(choice);
    if (!file) return;
    parts_.Import(*file, [this](const LoadOutcome& outcome) {
        RefreshKeyButtons();
        RefreshApply();
        if (outcome.replaced) emit configurationChanged();
    });
}

void CVornakDlg::OnExport() {
    FileChoice choice = ProfileFileChoice(true);
    choice.initialFolder = s_.paths.userFolder;
    const auto file = prompts_.ChooseFile(choice);
    if (!file) return;
    s_.worker.Post<FileOutcome>("export", [path = *file](DeviceContext& c) { return RunExport(c, path); },
                                {});
}

void CVornakDlg::OnHelp() {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(s_.paths.helpIndex.string())));
}

void CVornakDlg::OnLink() {
    QDesktopServices::openUrl(QUrl(linkAddress_));
}

void CVornakDlg::OnAbout() {
    if (about_) {
        about_->raise();
        about_->activateWindow();
        return;
    }
    about_ = new AboutBox(s_.texts, linkAddress_, this);
    about_->setAttribute(Qt::WA_DeleteOnClose);
    about_->open();
}

// ---- the places the scene and update dialogs take

void CVornakDlg::OnScenes() {
    sceneDialog()->OpenDialog(s_.link.state().currentProfile.load());
}

void CVornakDlg::OnSceneMenu() {
    // Filled anew each time, so a check mark moved by a click that was refused does not stay.
    FillScenes(switcher_.CurrentSceneMenu());
    // On Wayland a menu is a popup of a shown window, placed against it (the pointer's place on the screen is
    // unknown to the program): from the tray, the window opens first and the menu hangs below the scene
    // button.
    const bool wayland = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    if (wayland && !isVisible()) Open();
    if (isVisible()) {
        raise();
        activateWindow();
    }
    const auto pop = [this, wayland] {
        QPoint at = QCursor::pos();
        if (wayland) {
            const CPngButton* scenes = button(main_id::kScenes);
            at = scenes ? scenes->mapToGlobal(QPoint(0, scenes->height())) : mapToGlobal(QPoint(0, 0));
        }
        sceneMenu_.popup(at);
    };
    if (!wayland || !isVisible() || QGuiApplication::focusWindow() == windowHandle()) {
        pop();
        return;
    }
    // A Wayland menu grabs the keyboard where it is: opened before the compositor has given the window the
    // focus (a window just mapped, or one behind another program's), its keys would go nowhere. It opens once
    // the window has the focus, or after a second without it (a compositor may refuse), for the pointer then.
    auto* wait = new QTimer(this);
    wait->setSingleShot(true);
    const auto popOnce = [this, wait, pop] {
        QObject::disconnect(qGuiApp, nullptr, wait, nullptr);
        wait->stop();
        wait->deleteLater();
        if (isVisible()) pop();
    };
    connect(wait, &QTimer::timeout, this, popOnce);
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, wait, [this, popOnce](QWindow* focus) {
        if (focus != nullptr && focus == windowHandle()) popOnce();
    });
    wait->start(kSceneMenuFocusWaitMs);
}

void CVornakDlg::OnSwitchScene(int id) {
    if (switcher_.SwitchSceneCommand(id) && SceneIndexOfCommand(id) >= 0) FollowHandSwitch();
}

void CVornakDlg::OnUpdate() {
    updateDialog()->OpenDialog();
}

void CVornakDlg::OnApps() {
    if (CVornak_DlgApps* apps = appsDialog()) apps->OpenDialog();
}

bool CVornakDlg::SubDialogsMayClose() {
    // Neither the scene dialog nor the key dialog keeps anything that a close would lose: what the key
    // dialog did not apply is dropped, as by its Cancel.
    return true;
}

void CVornakDlg::CloseSubDialogsAsCancel() {
    // The key dialog's Cancel also gives the keyboard grab back and the key button its normal pictures.
    if (keyDialog_ != nullptr) keyDialog_->CloseAsCancel();
    if (sceneDialog_ != nullptr) sceneDialog_->CloseAsCancel();
    if (appsDialog_ && appsDialog_->isVisible()) appsDialog_->reject();
}

// ---- the end

void CVornakDlg::OnCloseCommand() {
    CloseProgram();
}

bool CVornakDlg::CloseProgram() {
    if (closing_) return true;
    hide();
    if (!SubDialogsMayClose()) return false;
    CloseSubDialogsAsCancel();
    closing_ = true;
    if (about_) about_->close();
    // The keyboard work already asked for still runs before the program ends (CVornakApp): the tray says so
    // until then.
    if (s_.worker.busy()) {
        tray_.ShowFinishing(LanguageText(s_.texts, TextId::TRAY_FINISHING));
    } else {
        tray_.Remove();
    }
    model_.SetApplyEnabled(false);
    emit programClosed();
    return true;
}

}  // namespace vornak
