// Key capture for the key dialog and the macro recorder: an application-wide event filter that sees the key
// events of one window before any widget does, turns each into the (virtual key, keystroke flags) pair of
// KeyEventToKeyCode, and swallows those its handler takes. While it is installed and its window has the
// focus it grabs the keyboard, so that Super, Alt+Tab and the desktop's other shortcuts reach it instead of
// acting; it lets go the moment it is removed or the window loses the focus. Events of other windows are
// never seen.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "keyboard/evdev_keys.h"
#include "widgets/shortcuts_inhibitor.h"

class QKeyEvent;

namespace vornak {

// The pair of a Qt key event. On X11 and Wayland the native scan code is the evdev code + 8; where no scan
// code comes with the event (synthetic events, other platforms) the Qt key gives the virtual key. An
// auto-repeated release (X11 sends one before each repeated press) is a repeat, not a release.
HookKeyEvent HookKeyEventFrom(const QKeyEvent& event, bool evdevScanCodes);
// Whether this platform's native scan codes are evdev codes + 8 (xcb, wayland).
bool PlatformGivesEvdevCodes();
// The Windows virtual key of a Qt key, 0xFF when there is none.
uint8_t VirtualKeyOfQtKey(int key, Qt::KeyboardModifiers modifiers);

class KeyEventHook : public QObject {
    Q_OBJECT

  public:
    // Returns true to swallow the event.
    using Handler = std::function<bool(const HookKeyEvent&)>;

    explicit KeyEventHook(QWidget& window, QObject* parent = nullptr);
    ~KeyEventHook() override;

    void Install(Handler handler);
    void Remove();
    bool installed() const { return static_cast<bool>(handler_); }
    // The keyboard is grabbed now (installed, and the window has the focus). On Wayland, where no client can
    // grab it, the compositor is asked instead to pass its own shortcuts to the window.
    bool grabbing() const { return grabbing_; }
    ShortcutsInhibitor& shortcutsInhibitor() { return inhibitor_; }

  signals:
    // The window lost the focus while the hook was installed: the grab is gone, and a recording must end.
    void focusLost();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool OwnsReceiver(QObject* receiver) const;
    void UpdateGrab();
    void OnFocusWindowChanged();

    QPointer<QWidget> window_;
    Handler handler_;
    bool grabbing_ = false;
    bool evdevCodes_ = false;
    ShortcutsInhibitor inhibitor_;
};

}  // namespace vornak
