#include "widgets/key_event_hook.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QWindow>

namespace vornak {

bool PlatformGivesEvdevCodes() {
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland"));
}

uint8_t VirtualKeyOfQtKey(int key, Qt::KeyboardModifiers modifiers) {
    const bool keypad = modifiers & Qt::KeypadModifier;
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<uint8_t>((keypad ? 0x60 : 0x30) + key - Qt::Key_0);
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<uint8_t>(0x41 + key - Qt::Key_A);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return static_cast<uint8_t>(0x70 + key - Qt::Key_F1);
    switch (key) {
        case Qt::Key_Escape:
            return 0x1B;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return 0x09;
        case Qt::Key_Backspace:
            return 0x08;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 0x0D;
        case Qt::Key_Insert:
            return 0x2D;
        case Qt::Key_Delete:
            return 0x2E;
        case Qt::Key_Pause:
            return 0x13;
        case Qt::Key_Print:
        case Qt::Key_SysReq:
            return 0x2C;
        case Qt::Key_Home:
            return 0x24;
        case Qt::Key_End:
            return 0x23;
        case Qt::Key_Left:
            return 0x25;
        case Qt::Key_Up:
            return 0x26;
        case Qt::Key_Right:
            return 0x27;
        case Qt::Key_Down:
            return 0x28;
        case Qt::Key_PageUp:
            return 0x21;
        case Qt::Key_PageDown:
            return 0x22;
        case Qt::Key_Shift:
            return 0x10;
        case Qt::Key_Control:
            return 0x11;
        case Qt::Key_Alt:
            return 0x12;
        case Qt::Key_Meta:
        case Qt::Key_Super_L:
            return 0x5B;
        case Qt::Key_Super_R:
            return 0x5C;
        case Qt::Key_Menu:
            return 0x5D;
        case Qt::Key_CapsLock:
            return 0x14;
        case Qt::Key_NumLock:
            return 0x90;
        case Qt::Key_ScrollLock:
            return 0x91;
        case Qt::Key_Space:
            return 0x20;
        case Qt::Key_Asterisk:
            return keypad ? 0x6A : 0xFF;
        case Qt::Key_Plus:
            return keypad ? 0x6B : 0xFF;
        case Qt::Key_Minus:
            return keypad ? 0x6D : 0xFF;
        case Qt::Key_Period:
            return keypad ? 0x6E : 0xFF;
        case Qt::Key_Slash:
            return keypad ? 0x6F : 0xFF;
        default:
            return 0xFF;
    }
}

HookKeyEvent HookKeyEventFrom(const QKeyEvent& event, bool evdevScanCodes) {
    const bool repeat = event.isAutoRepeat();
    const bool release = event.type() == QEvent::KeyRelease && !repeat;
    KeyCode scanField = 0;
    if (evdevScanCodes && event.nativeScanCode() >= kXkbKeycodeOffset)
        scanField = EvdevToScanField(event.nativeScanCode() - kXkbKeycodeOffset).value_or(0);
    HookKeyEvent hook;
    hook.flags = KeystrokeFlags(scanField, release, repeat);
    hook.time = static_cast<uint32_t>(event.timestamp());
    if (scanField != 0) {
        // The key's own virtual key, so that left and right Super stay apart.
        hook.vk = KeyRecordOf(KeyEventToKeyCode(0xFF, hook.flags)).vk;
        if (hook.vk == 0) hook.vk = 0xFF;
    } else {
        hook.vk = VirtualKeyOfQtKey(event.key(), event.modifiers());
    }
    return hook;
}

KeyEventHook::KeyEventHook(QWidget& window, QObject* parent)
    : QObject(parent), window_(&window), evdevCodes_(PlatformGivesEvdevCodes()) {
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &KeyEventHook::OnFocusWindowChanged);
}

KeyEventHook::~KeyEventHook() {
    Remove();
}

void KeyEventHook::Install(Handler handler) {
    if (!handler_) qApp->installEventFilter(this);
    handler_ = std::move(handler);
    UpdateGrab();
}

void KeyEventHook::Remove() {
    if (!handler_) return;
    qApp->removeEventFilter(this);
    handler_ = nullptr;
    UpdateGrab();
}

void KeyEventHook::UpdateGrab() {
    const bool want = handler_ && window_ && window_->isVisible() && window_->isActiveWindow();
    if (want == grabbing_) return;
    grabbing_ = want;
    if (!window_) {
        inhibitor_.Release();
        return;
    }
    if (want) {
        window_->grabKeyboard();
        // A dialog shown inside another window has that window's surface.
        inhibitor_.Inhibit(window_->window()->windowHandle());
    } else {
        window_->releaseKeyboard();
        inhibitor_.Release();
    }
}

void KeyEventHook::OnFocusWindowChanged() {
    const bool had = grabbing_;
    UpdateGrab();
    if (had && !grabbing_ && handler_) emit focusLost();
}

bool KeyEventHook::OwnsReceiver(QObject* receiver) const {
    if (!window_ || !receiver) return false;
    if (receiver->isWindowType()) return receiver == window_->window()->windowHandle();
    return false;
}

bool KeyEventHook::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride)
        return false;
    if (!handler_ || !window_ || !window_->isActiveWindow()) return false;
    if (type == QEvent::ShortcutOverride) {
        // Asked before the press reaches the window: while the keys are hooked, no shortcut of the window
        // runs, so the press itself comes to the hook.
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != window_->window()) return false;
        event->accept();
        return true;
    }
    // Each native event reaches the window first and then one widget: it is handled once, at the window.
    if (!OwnsReceiver(watched)) return false;
    return handler_(HookKeyEventFrom(*static_cast<QKeyEvent*>(event), evdevCodes_));
}

}  // namespace vornak
