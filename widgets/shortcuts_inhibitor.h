// On Wayland a client cannot grab the keyboard; where the compositor offers the keyboard-shortcuts-inhibit
// protocol it can ask that the compositor's own shortcuts (Super, Alt+Tab, ...) reach one of its windows
// while that window has the focus. The compositor may refuse, or let the user refuse.
#pragma once

#include <memory>

class QWindow;

namespace vornak {

class ShortcutsInhibitor {
  public:
    ShortcutsInhibitor();
    ~ShortcutsInhibitor();
    ShortcutsInhibitor(const ShortcutsInhibitor&) = delete;
    ShortcutsInhibitor& operator=(const ShortcutsInhibitor&) = delete;

    // Whether this build can ask at all (it was built with the Wayland client library).
    static bool supported();
    // Asks for the window; false when the platform is not Wayland or the compositor has no such protocol.
    bool Inhibit(QWindow* window);
    void Release();
    bool requested() const;
    // The compositor said the shortcuts now reach the window (it may say so later than the request, or
    // never).
    bool active();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace vornak
