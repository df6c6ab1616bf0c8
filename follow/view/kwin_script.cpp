// KDE Plasma on Wayland tells no client which window is in front; a KWin script does, calling our service.
// It is loaded through KWin's scripting interface on the session bus, without waiting for any answer on the
// UI thread: an older copy is unloaded, the script loaded, and KWin told to start its loaded scripts.
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include "follow/view/follow_driver.h"

namespace vornak {

namespace {

constexpr char kPluginName[] = "vornak-follow";

QDBusMessage Scripting(const char* method) {
    return QDBusMessage::createMethodCall(QStringLiteral("org.kde.KWin"), QStringLiteral("/Scripting"),
                                          QStringLiteral("org.kde.kwin.Scripting"),
                                          QString::fromLatin1(method));
}

class KWinScriptSource : public FocusSource {
  public:
    QString name() const override { return QStringLiteral("kwin"); }
};

}  // namespace

std::unique_ptr<FocusSource> StartKWinScript(const QString& mainJs) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return nullptr;
    QDBusMessage unload = Scripting("unloadScript");
    unload << QString::fromLatin1(kPluginName);
    bus.asyncCall(unload);
    QDBusMessage load = Scripting("loadScript");
    load << mainJs << QString::fromLatin1(kPluginName);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(load));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<int> reply = *w;
        if (reply.isError() || reply.value() < 0) {
            qWarning("vornak: KWin did not load the focus script: %s", qPrintable(reply.error().message()));
        } else {
            QDBusConnection::sessionBus().asyncCall(Scripting("start"));
        }
        w->deleteLater();
    });
    return std::make_unique<KWinScriptSource>();
}

}  // namespace vornak
