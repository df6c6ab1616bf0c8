#include "macro/view/recording_guard.h"

#include <QDBusConnection>
#include <QEvent>
#include <QGuiApplication>

namespace vornak {

RecordingGuard::RecordingGuard(QWidget& dialog, KeyEventHook& keys, Sink sink, std::function<void()> stop)
    : QObject(&dialog), dialog_(&dialog), keys_(keys), sink_(std::move(sink)), stop_(std::move(stop)) {
    dialog.installEventFilter(this);
    connect(&keys_, &KeyEventHook::focusLost, this, &RecordingGuard::StopNow);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive) StopNow();
    });
}

RecordingGuard::~RecordingGuard() {
    End();
}

void RecordingGuard::Begin() {
    if (active_) return;
    active_ = true;
    WatchSessionLock();
    keys_.Install(sink_);
}

void RecordingGuard::End() {
    if (!active_) return;
    active_ = false;
    keys_.Remove();
}

void RecordingGuard::StopNow() {
    if (!active_) return;
    End();
    if (stop_) stop_();
}

void RecordingGuard::ScreenLocked() {
    // The grab goes at once: a screen locker cannot lock while another client holds the keyboard.
    StopNow();
}

void RecordingGuard::OnScreenSaverActiveChanged(bool active) {
    if (active) ScreenLocked();
}

void RecordingGuard::OnSessionLock() {
    ScreenLocked();
}

void RecordingGuard::WatchSessionLock() {
    if (watchingLock_) return;
    watchingLock_ = true;
    // Any sender and path: desktops publish their screen saver under their own names (freedesktop, GNOME,
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

bool RecordingGuard::eventFilter(QObject* watched, QEvent* event) {
    if (active_ && watched == dialog_.data() &&
        (event->type() == QEvent::WindowDeactivate || event->type() == QEvent::Hide)) {
        StopNow();
    }
    return false;
}

}  // namespace vornak
