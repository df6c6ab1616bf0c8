// What the device link tells the main window. The main window implements this interface and marshals each
// call to its own thread: the calls marked blocking return only once the window has acted, the others must
// return at once, because they run on the library's threads while the UI thread may be waiting for a reply.
// The ready mark the device thread waits for is LinkState::mainWindowReady, set by the main window on
// MSG_INIT. At the end of the run, call PortHubLink::BeginShutdown while blocking calls can still be served.
#pragma once

#include "texts/language_texts.h"

namespace vornak {

// Tray icon resources.
inline constexpr int kTrayIconNoKeyboard = 128;
inline constexpr int kTrayIconKeyboard = 141;
inline constexpr int kTrayIconMacroPlaying = 142;

enum class TrayIconMode {
    Base,          // the keyboard-present or no-keyboard icon, remembered as the base icon
    MacroPlaying,  // the keyboard plays a macro
    MacroEnded,    // back to the base icon
};

class LinkEvents {
  public:
    virtual ~LinkEvents() = default;

    // Blocking (MSG_PROFILE_READ): the keyboard was attached and its default layout and settings were read;
    // load its configuration and refresh the views.
    virtual void ProfileRead() = 0;
    // Blocking (MSG_DEVICE_GONE): the keyboard was removed; close the open dialogs and minimise.
    virtual void DeviceGone() = 0;
    // After DeviceGone.
    virtual void HideMainWindow() = 0;
    // MSG_LED_CHANGED: the layer switch was pressed on the keyboard. The view re-reads the G keys' check
    // marks, lights LOCK_AB for layer B and labels its five layer buttons A1..A5 or B1..B5.
    virtual void LedChanged(bool layerB) = 0;
    // The keyboard's settings changed on the keyboard itself: start timer 1051, which re-reads the lighting.
    virtual void LightingChanged() = 0;
    // Changes the tray icon to iconId (one of kTrayIcon*).
    virtual void SetTrayIcon(TrayIconMode mode, int iconId) = 0;
    // MSG_OPEN, posted.
    virtual void ShowMainWindow() = 0;
    // A message box with one of the language texts (MAIN_DEFAULT_MATRIX_PROMPT); blocking.
    virtual void ShowMessage(TextId text) = 0;
};

}  // namespace vornak
