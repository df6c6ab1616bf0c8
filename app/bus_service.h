// The running program's session bus service io.github.vornak.Vornak: one object (/io/github/vornak/Vornak),
// one interface (io.github.vornak.Vornak1) for the keyboard work vornakctl does. It only forwards: the main
// window decides (DecideOutsideWork) and posts the work on the device worker, in order with its own jobs, and
// the answer goes back when the job is done. Errors carry vornakctl's exit code in their name
// (OutsideErrorName).
#pragma once

#include <QDBusContext>
#include <QObject>
#include <QStringList>
#include <string>

namespace vornak {

class CVornakDlg;
struct OutsideResult;

class BusService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.vornak.Vornak1")

  public:
    // keyboard: what Keyboard() answers (KeyboardIdentity).
    BusService(CVornakDlg& window, std::string keyboard);
    ~BusService() override;
    // Registers the object and takes the name on the session bus; false with the reason when it cannot.
    bool Start(std::string* error);
    // Gives the name up and unregisters: a later vornakctl opens the keyboard itself.
    void Stop();

  public slots:
    QString Keyboard();
    // keyboards, profile (1..3, 0 unknown), macro memory, layer B, effect numbers, effect names, and how the
    // profile follows the window in front.
    int Status(int& profile, uint& macroMemory, bool& layerB, QList<int>& effects, QStringList& effectNames,
               QString& following);
    void Capture(const QString& file);
    void Apply(const QString& file, bool force);
    void SwitchProfile(int profile, bool force);
    // profile 0 is the one the keyboard runs; names and values as vornakctl's lighting options.
    void Lighting(int profile, const QStringList& names, const QStringList& values);
    void UserMode(int profile, int mode, const QList<int>& positions, const QList<uint>& colours);
    // Another window got the focus (the KWin script, the GNOME Shell extension, a desktop's own script).
    void ActiveWindowChanged(const QString& appId, const QString& title);

  signals:
    void KeyboardChanged(bool present);
    void ProfileChanged(int profile);
    void ConfigurationChanged();
    void LightingChanged();

  private:
    // The reply waits for the job; the message is kept for it.
    QDBusMessage Defer();
    QString FollowingText() const;
    void Answer(const QDBusMessage& call, const OutsideResult& result, const QList<QVariant>& values = {});

    CVornakDlg& window_;
    std::string keyboard_;
    bool registered_ = false;
};

}  // namespace vornak
