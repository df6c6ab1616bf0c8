// The main window as the profile follower's host: a switch is the window's own SwitchScene, held back while
// Apply is enabled or any dialog is open; the tray's tooltip says which application and rule set the profile.
#include <QApplication>
#include <QEvent>

#include "app/ui_thread.h"
#include "app/vornak_dlg.h"
#include "device/port_hub_link.h"
#include "follow/view/apps_dialog.h"
#include "follow/view/follow_driver.h"
#include "platform/paths.h"

namespace vornak {

class CVornakDlg::FollowHostImpl : public QObject, public FollowHost {
  public:
    explicit FollowHostImpl(CVornakDlg& w) : w_(w) {}

    bool SwitchesHeld() const override {
        return w_.model_.applyEnabled() || w_.EditorOpen() || QApplication::activeModalWidget() != nullptr ||
               w_.switcher_.promptOnScreen();
    }
    int KeyboardProfile() const override { return w_.s_.link.state().currentProfile.load(); }
    void SwitchProfile(int profile) override { w_.switcher_.SwitchScene(profile); }
    void FollowStatusChanged() override { w_.RefreshTrayToolTip(); }

  protected:
    // A dialog or a message closing may release a switch that waits.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow())
            w_.FollowRecheck();
        return false;
    }

  private:
    CVornakDlg& w_;
};

// The driver goes first: it may still tell its host of something as it ends.
struct CVornakDlg::FollowParts {
    explicit FollowParts(CVornakDlg& w, const std::filesystem::path& rules) : host(w), driver(host, rules) {}
    FollowHostImpl host;
    FollowDriver driver;
};

void CVornakDlg::FollowPartsDeleter::operator()(FollowParts* parts) const {
    delete parts;
}

FollowDriver* CVornakDlg::follow() const {
    return follow_ ? &follow_->driver : nullptr;
}

void CVornakDlg::CreateFollower() {
    follow_.reset(new FollowParts(*this, FollowRulesFile(s_.paths.appProfile.parent_path())));
    FollowDriver* driver = &follow_->driver;
    connect(driver, &FollowDriver::rulesRefused, this, [this](const QString& message) {
        qWarning("vornak: %s", qPrintable(message));
        tray_.icon().showMessage(LanguageText(s_.texts, TextId::FOLLOW_RULES_REFUSED), message,
                                 QSystemTrayIcon::Warning);
    });
    qApp->installEventFilter(&follow_->host);
    driver->LoadRules();
    // Installed: share/kwin/scripts beside share/vornak; the build puts a copy at the same place beside bin/.
    driver->StartSource(s_.paths.dataDir.parent_path() / "kwin/scripts/vornak-follow/contents/code/main.js");
}

CVornak_DlgApps* CVornakDlg::appsDialog() {
    if (appsDialog_ != nullptr || !follow_) return appsDialog_;
    FollowDriver* driver = &follow_->driver;
    appsDialog_ = new CVornak_DlgApps(
        s_.texts, AppsDialogFiles{s_.paths.appsIni, s_.paths.skinsDir, driver->rulesFile()},
        [driver] { return driver->follower().seenApplications(); }, this);
    SubDialogMade(appsDialog_);
    return appsDialog_;
}

void CVornakDlg::FollowRecheck() {
    if (FollowDriver* f = follow()) f->Recheck();
}

void CVornakDlg::FollowHandSwitch() {
    if (FollowDriver* f = follow()) f->HandSwitch();
}

void CVornakDlg::RefreshTrayToolTip() {
    QString tip = LanguageText(s_.texts, TextId::KEYBOARD_TRAY_DESC);
    if (const FollowDriver* f = follow()) {
        const std::u16string line = DescribeFollowStatus(f->follower(), s_.texts[TextId::FOLLOW_TIP_RULE],
                                                         s_.texts[TextId::FOLLOW_TIP_DEFAULT]);
        if (!line.empty()) tip += QLatin1Char('\n') + QString::fromStdU16String(line);
    }
    tray_.icon().setToolTip(tip.left(127));
}

}  // namespace vornak
