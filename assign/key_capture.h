// Which key a key event gives the single-key page, and whether the event goes on to the window.
#pragma once

#include <cstdint>

#include "keyboard/evdev_keys.h"
#include "keyboard/key_table.h"

namespace vornak {

enum class CaptureAction {
    PassOn,   // not a key the page takes: the event goes on, with its usual effect (media keys keep theirs)
    Swallow,  // a key, but a repeat or a release: it reaches no window and changes nothing
    Capture,  // the key is captured, and the event reaches no window
};

struct CaptureDecision {
    CaptureAction action = CaptureAction::PassOn;
    KeyCode code = 0;
    friend bool operator==(const CaptureDecision&, const CaptureDecision&) = default;
};

// A held key is captured once: only a fresh press captures, its repeats and its release are swallowed.
// Print Screen is captured on any event (some systems report only its release). The Windows and
// Application keys are captured on every event and never reach the desktop, which would open its menu.
CaptureDecision DecideSingleKeyCapture(const HookKeyEvent& event);

}  // namespace vornak
