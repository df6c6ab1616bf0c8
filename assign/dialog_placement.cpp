#include "assign/dialog_placement.h"

#include <algorithm>

namespace vornak {

ScreenPoint PlaceKeyDialog(const ScreenRect& button, int width, int height, const ScreenRect& screen) {
    ScreenPoint at{button.right(), button.bottom()};
    const bool fitsRight = screen.right() - button.right() >= width;
    const bool fitsBelow = screen.bottom() - button.bottom() >= height;
    if (fitsRight && fitsBelow) return at;

    const bool fitsAbove = button.y - screen.y >= height;
    const bool fitsLeft = button.x - screen.x >= width;
    if (fitsRight && fitsAbove) {
        at.y = button.y - height;
        return at;
    }
    if (fitsLeft) {
        at.x = button.x - width;
        if (!fitsBelow && fitsAbove) at.y = button.y - height;
        if (fitsBelow || fitsAbove) return at;
    }
    // No side of the button has room: keep the whole dialog on the screen, its top-left corner first.
    at.x = std::max(screen.x, std::min(at.x, screen.right() - width));
    at.y = std::max(screen.y, std::min(at.y, screen.bottom() - height));
    return at;
}

}  // namespace vornak
