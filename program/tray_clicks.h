// Telling a tray icon's double click from a single click. XEmbed trays report a double click (after the
// first click's activation); StatusNotifier trays report only activations, so two activations within the
// double-click interval count as a double click too. A single click acts only once the interval has passed
// without a second one, and never as part of a double click.
#pragma once

#include <cstdint>
#include <optional>

namespace vornak {

enum class TrayClick {
    None,
    Open,       // double click: open the window
    SceneMenu,  // single click: the scene menu
};

class TrayClickSorter {
  public:
    explicit TrayClickSorter(int64_t doubleClickMs) : interval_(doubleClickMs) {}

    // A single click or activation at nowMs.
    TrayClick Activated(int64_t nowMs);
    // The tray reported a double click.
    TrayClick DoubleClicked(int64_t nowMs);
    // When a pending single click falls due (for the caller's timer); nothing when none waits.
    std::optional<int64_t> deadline() const;
    // At or after the deadline: the single click's action, once.
    TrayClick Expire(int64_t nowMs);

  private:
    int64_t interval_;
    std::optional<int64_t> pendingSince_;
    std::optional<int64_t> doubleAt_;  // the last double click: activations just after it belong to it
};

}  // namespace vornak
