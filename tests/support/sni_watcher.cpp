// A StatusNotifierWatcher for the tray tests, on the session bus the test started: it says a host is there
// (so that Qt shows its tray icons through StatusNotifierItem), and writes each item that registers as one
// line, "BUS_NAME OBJECT_PATH", to the file named on its command line. Usage: sni_watcher FILE
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QObject>
#include <QStringList>
#include <cstdio>

class Watcher : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)

  public:
    explicit Watcher(QString file) : file_(std::move(file)) {}
    QStringList items() const { return items_; }
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }

  public slots:
    // The item passes its bus name, or only its object path (then the sender's name is the bus name).
    void RegisterStatusNotifierItem(const QString& service, const QDBusMessage& message) {
        QString name = service;
        QString path = QStringLiteral("/StatusNotifierItem");
        if (service.startsWith(QLatin1Char('/'))) {
            name = message.service();
            path = service;
        }
        const QString item = name + QLatin1Char(' ') + path;
        items_ << item;
        QFile out(file_);
        if (out.open(QIODevice::Append)) out.write((item + QLatin1Char('\n')).toUtf8());
        emit StatusNotifierItemRegistered(name + path);
    }
    void RegisterStatusNotifierHost(const QString&) {}

  signals:
    void StatusNotifierItemRegistered(const QString& service);
    void StatusNotifierItemUnregistered(const QString& service);
    void StatusNotifierHostRegistered();

  private:
    QString file_;
    QStringList items_;
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: sni_watcher FILE\n");
        return 2;
    }
    Watcher watcher{QString::fromLocal8Bit(argv[1])};
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                                QDBusConnection::ExportAllProperties) ||
        !bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"))) {
        std::fprintf(stderr, "sni_watcher: cannot take the watcher's name on the session bus\n");
        return 3;
    }
    return app.exec();
}

#include "sni_watcher.moc"
