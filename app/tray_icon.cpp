#include "app/tray_icon.h"

#include <QApplication>
#include <QStyleHints>

#include "app/ui_thread.h"
#include "skin/skin_surfaces.h"

namespace vornak {

namespace {

constexpr int kTrayWatchMs = 2000;
constexpr int kMaxToolTip = 127;

}  // namespace

CTrayIcon::CTrayIcon(const std::filesystem::path& skinsDir, const LanguageTexts& texts, QObject* parent)
    : QObject(parent), texts_(texts), clicks_(QGuiApplication::styleHints()->mouseDoubleClickInterval()) {
    const auto load = [&](const char* file) {
        // Not QIcon(file name): that asks every picture plug-in whether it can read the file, and loads them
        // all.
        QImage image;
        LoadSkinPicture(skinsDir / file, &image, nullptr);
        return QIcon(QPixmap::fromImage(image));
    };
    icons_[kTrayIconNoKeyboard] = load("tray_nokeyboard.png");
    icons_[kTrayIconKeyboard] = load("tray_keyboard.png");
    icons_[kTrayIconMacroPlaying] = load("tray_macro.png");

    open_ = menu_.addAction(QString());
    about_ = menu_.addAction(QString());
    exit_ = menu_.addAction(QString());
    menu_.setDefaultAction(open_);
    connect(open_, &QAction::triggered, this, [this] { emit command(kCmdOpen); });
    connect(about_, &QAction::triggered, this, [this] { emit command(kCmdAbout); });
    connect(exit_, &QAction::triggered, this, [this] { emit command(kCmdExit); });
    connect(&menu_, &QMenu::aboutToShow, this, &CTrayIcon::RefreshMenuTexts);
    RefreshMenuTexts();
    tray_.setContextMenu(&menu_);
    connect(&tray_, &QSystemTrayIcon::activated, this, &CTrayIcon::OnActivated);

    clock_.start();
    clickTimer_.setSingleShot(true);
    connect(&clickTimer_, &QTimer::timeout, this, [this] {
        const qint64 now = clock_.elapsed();
        Act(clicks_.Expire(now));
        ArmClickTimer(now);
    });
    trayWatch_.setInterval(kTrayWatchMs);
    connect(&trayWatch_, &QTimer::timeout, this, &CTrayIcon::WatchForTray);
}

CTrayIcon::~CTrayIcon() {
    Remove();
}

void CTrayIcon::RefreshMenuTexts() {
    const auto text = [&](TextId id) {
        const QString t = LanguageText(texts_, id);
        return t.isEmpty() ? QStringLiteral(" ") : t;
    };
    open_->setText(text(TextId::MENU_11));
    about_->setText(text(TextId::MENU_22));
    exit_->setText(text(TextId::MENU_33));
}

void CTrayIcon::ShowFinishing(const QString& text) {
    open_->setVisible(false);
    about_->setVisible(false);
    exit_->setVisible(false);
    tray_.setToolTip(text.left(kMaxToolTip));
}

void CTrayIcon::Create(const QString& toolTip) {
    tray_.setToolTip(toolTip.left(kMaxToolTip));
    SetTrayState(TrayIconMode::Base, kTrayIconNoKeyboard);
    created_ = true;
    tray_.show();
    if (!QSystemTrayIcon::isSystemTrayAvailable()) trayWatch_.start();
}

void CTrayIcon::WatchForTray() {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
    trayWatch_.stop();
    // Shown again, so the new tray takes the icon.
    tray_.hide();
    tray_.show();
    emit trayAppeared();
}

bool CTrayIcon::available() const {
    return created_ && tray_.isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

void CTrayIcon::SetTrayState(TrayIconMode mode, int iconId) {
    int show = baseIcon_;
    if (mode == TrayIconMode::Base) {
        if (iconId != 0) baseIcon_ = iconId;
        show = baseIcon_;
    } else if (mode == TrayIconMode::MacroPlaying) {
        show = kTrayIconMacroPlaying;
    }
    if (show == shownIcon_) return;
    shownIcon_ = show;
    tray_.setIcon(icons_[show]);
}

void CTrayIcon::Remove() {
    trayWatch_.stop();
    clickTimer_.stop();
    tray_.hide();
    created_ = false;
}

void CTrayIcon::OnActivated(QSystemTrayIcon::ActivationReason reason) {
    const qint64 now = clock_.elapsed();
    if (reason == QSystemTrayIcon::Trigger) {
        Act(clicks_.Activated(now));
    } else if (reason == QSystemTrayIcon::DoubleClick) {
        Act(clicks_.DoubleClicked(now));
    }
    ArmClickTimer(now);
}

void CTrayIcon::ArmClickTimer(qint64 now) {
    // A timer may fire a little before its time (a coarse one by up to 5%): a single click not yet due is
    // waited for again, not dropped.
    if (auto due = clicks_.deadline()) {
        clickTimer_.start(static_cast<int>(std::max<int64_t>(1, *due - now)));
    } else {
        clickTimer_.stop();
    }
}

void CTrayIcon::Act(TrayClick click) {
    if (click == TrayClick::Open) emit command(kCmdOpen);
    if (click == TrayClick::SceneMenu && clickCommand_ != 0) emit command(clickCommand_);
}

}  // namespace vornak
