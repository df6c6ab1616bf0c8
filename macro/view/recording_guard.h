// What keeps a recording to the dialog it belongs to: while it is on, the keyboard is grabbed (so the Super
// keys reach the recorder instead of opening the desktop's overview), every key event of the dialog goes to
// the recorder before any widget sees it, and the recording ends as soon as the dialog loses the focus, is
// hidden, or the screen locks, so that nothing typed into another window or a lock screen ends in a macro.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>

class QKeyEvent;

namespace vornak {

// A key event in the form the recorder takes: the virtual key (0xFF: none) and the keystroke flags.
struct RecordedKeyStroke {
    uint8_t vk = 0xFF;
    uint32_t flags = 0;
};

class CRecordingGuard : public QObject {
    Q_OBJECT

  public:
    // Turns a Qt key event into a key stroke; nothing for an event that is no key the recorder knows.
    using Translate = std::function<std::optional<RecordedKeyStroke>(const QKeyEvent&)>;
    // Gets each key stroke; true when it was recorded or swallowed (it then reaches no widget).
    using Sink = std::function<bool(const RecordedKeyStroke&)>;

    CRecordingGuard(QWidget& dialog, Translate translate, Sink sink, std::function<void()> stop);
    ~CRecordingGuard() override;

    void Begin();
    void End();
    bool active() const { return active_; }

    // The session is being locked (the desktop's screen saver or the login manager said so).
    void ScreenLocked();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private slots:
    // Old-style slots: the D-Bus signals can only be connected by name.
    void OnScreenSaverActiveChanged(bool active);
    void OnSessionLock();

  private:
    void WatchSessionLock();
    bool BelongsToDialog(QObject* watched) const;
    void StopNow();

    QPointer<QWidget> dialog_;
    Translate translate_;
    Sink sink_;
    std::function<void()> stop_;
    bool active_ = false;
    bool watchingLock_ = false;
};

}  // namespace vornak
