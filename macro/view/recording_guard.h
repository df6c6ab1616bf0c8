// What keeps a recording to the dialog it belongs to: while it is on, the dialog's key hook sends every key
// event of the dialog to the recorder before any widget sees it (with the keyboard grabbed, so the Super keys
// are recorded instead of opening the desktop's overview), and the recording ends as soon as the dialog loses
// the focus, is hidden, or the screen locks, so that nothing typed into another window or a lock screen ends
// in a macro.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "widgets/key_event_hook.h"

namespace vornak {

class RecordingGuard : public QObject {
    Q_OBJECT

  public:
    // Gets each key event; true when it was recorded or swallowed (it then reaches no widget).
    using Sink = std::function<bool(const HookKeyEvent&)>;

    RecordingGuard(QWidget& dialog, KeyEventHook& keys, Sink sink, std::function<void()> stop);
    ~RecordingGuard() override;

    void Begin();
    void End();
    bool active() const { return active_; }

    // The session is being locked (the desktop's screen saver or the login manager said so).
    void ScreenLocked();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private slots:
    // Old-style slots: D-Bus signals can only be connected by name.
    void OnScreenSaverActiveChanged(bool active);
    void OnSessionLock();

  private:
    void WatchSessionLock();
    void StopNow();

    QPointer<QWidget> dialog_;
    KeyEventHook& keys_;
    Sink sink_;
    std::function<void()> stop_;
    bool active_ = false;
    bool watchingLock_ = false;
};

}  // namespace vornak
