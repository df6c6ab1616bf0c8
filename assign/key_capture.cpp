#include "assign/key_capture.h"

#include "assign/assignment.h"

namespace vornak {

namespace {

constexpr KeyCode kPrintScreen = 0x137;

// The virtual keys of left Windows, right Windows and Application, and the keys they stand for.
constexpr KeyCode DesktopMenuKey(uint8_t vk) {
    switch (vk) {
        case 0x5B:
            return 0x15B;
        case 0x5C:
            return 0x15C;
        case 0x5D:
            return 0x15D;
        default:
            return 0;
    }
}

}  // namespace

CaptureDecision DecideSingleKeyCapture(const HookKeyEvent& event) {
    if (const KeyCode menuKey = DesktopMenuKey(event.vk)) return {CaptureAction::Capture, menuKey};
    const KeyCode code = KeyEventToKeyCode(event.vk, event.flags);
    if (code == 0 || IsMultimediaKey(code)) return {CaptureAction::PassOn, 0};
    const bool freshPress = (event.flags & (kKeyReleased | kKeyPreviouslyDown)) == 0;
    if (freshPress || code == kPrintScreen) return {CaptureAction::Capture, code};
    return {CaptureAction::Swallow, code};
}

}  // namespace vornak
