#include "macro/view/recording_guard.h"

#include <QDBusConnection>
#include <QGuiApplication>
#include <QKeyEvent>

namespace vornak {

CRecordingGuard::CRecordingGuard(QWidget& dialog, Translate translate, Sink sink, std::function<void()> stop)
    : QObject(&dialog),
      dialog_(&dialog),
      translate_(std::move(translate)),
      sink_(std::move(sink)),
      stop_(std::move(stop)) {
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive) StopNow();
    });
}

CRecordingGuard::~CRecordingGuard() {
    End();
}

void CRecordingGuard::Begin() {
    if (active_ || dialog_.isNull()) return;
    active_ = true;
    WatchSessionLock();
    qApp->installEventFilter(this);
    dialog_->grabKeyboard();
}

void CRecordingGuard::End() {
    if (!active_) return;
    active_ = false;
    qApp->removeEventFilter(this);
    if (!dialog_.isNull()) dialog_->releaseKeyboard();
}

void CRecordingGuard::StopNow() {
    if (!active_) return;
    End();
    if (stop_) stop_();
}

void CRecordingGuard::ScreenLocked() {
    // The grab is let go at once: a screen locker cannot lock while another client holds the keyboard.
    StopNow();
}

void CRecordingGuard::OnScreenSaverActiveChanged(bool active) {
    if (active) ScreenLocked();
}

void CRecordingGuard::OnSessionLock() {
    ScreenLocked();
}

void CRecordingGuard::WatchSessionLock() {
    if (watchingLock_) return;
    watchingLock_ = true;
    // Any sender and path: desktops publish the screen saver under their own names (freedesktop, GNOME,
    // KDE), and the login manager's Lock comes from the session object. Without a bus this connects nothing.
    QDBusConnection session = QDBusConnection::sessionBus();
    for (const char* interface : {"org.freedesktop.ScreenSaver", "org.gnome.ScreenSaver"}) {
        session.connect(QString(), QString(), QString::fromLatin1(interface), QStringLiteral("ActiveChanged"),
                        this, SLOT(OnScreenSaverActiveChanged(bool)));
    }
    QDBusConnection::systemBus().connect(QStringLiteral("org.freedesktop.login1"), QString(),
                                         QStringLiteral("org.freedesktop.login1.Session"),
                                         QStringLiteral("Lock"), this, SLOT(OnSessionLock()));
}

bool CRecordingGuard::BelongsToDialog(QObject* watched) const {
    auto* widget = qobject_cast<QWidget*>(watched);
    return widget != nullptr && !dialog_.isNull() && widget->window() == dialog_.data();
}

bool CRecordingGuard::eventFilter(QObject* watched, QEvent* event) {
    if (!active_) return false;
    switch (event->type()) {
        case QEvent::WindowDeactivate:
        case QEvent::Hide:
            if (watched == dialog_.data()) StopNow();
            return false;
        case QEvent::ShortcutOverride:
            // A key the recorder takes is no shortcut while recording: it is delivered as a key press.
            if (BelongsToDialog(watched) && translate_(*static_cast<QKeyEvent*>(event))) {
                event->accept();
                return true;
            }
            return false;
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            if (!BelongsToDialog(watched)) return false;
            const auto* key = static_cast<QKeyEvent*>(event);
            // An auto-repeating key sends a release before each repeated press; only the real one counts.
            if (key->type() == QEvent::KeyRelease && key->isAutoRepeat()) return true;
            const std::optional<RecordedKeyStroke> stroke = translate_(*key);
            return stroke && sink_(*stroke);
        }
        default:
            return false;
    }
}

}  // namespace vornak
