// The main window's slot for the lighting panel: the window owns one LightingPanelSlot (null until the panel
// exists) and calls it at these points; the panel renders the core's LightingModel and posts its keyboard
// writes as device jobs.
#pragma once

#include <cstdint>

namespace vornak {

// Why the panel is refreshed: a switch made with the profile buttons turns the lights off first; the user
// modes are loaded again whenever the profile shown changes.
enum class LightingRefresh {
    Attach,          // the keyboard was attached and read
    ProfileButton,   // a profile button was clicked
    ProfileSwitch,   // any other switch of profile (scene menu, scene dialog)
    KeyboardChange,  // the keyboard reported a change of its own (timer 1051)
};

class LightingPanelSlot {
  public:
    virtual ~LightingPanelSlot() = default;
    // Show the lighting of profile (0..2): after an attach, a profile button, a profile switch.
    virtual void RefreshForProfile(int profile, LightingRefresh why) = 0;
    // Timer 1051: the keyboard said its settings changed; read the lighting again.
    virtual void ReadLightingAgain() = 0;
    // Timer 1052, every 50 ms while the window is shown and PreviewRunning() holds.
    virtual void PreviewTick() = 0;
    virtual bool PreviewRunning() const = 0;
    // The lighting switch is on: key clicks paint keys instead of opening the key dialog.
    virtual bool KeyClicksPaint() const = 0;
    virtual void PaintKey(uint16_t controlId) = 0;
    // Restore defaults with the lighting switch on.
    virtual void RestoreLightingDefaults() = 0;
    // The window gave its key buttons their plain pictures again (it shows after having given its pictures
    // back): with the lights on they take the colour pictures once more.
    virtual void KeyButtonsReset() = 0;
};

}  // namespace vornak
