// Where the key dialog opens: next to the key button that opened it, on the screen the button is on.
#pragma once

namespace vornak {

struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int right() const { return x + width; }    // one past the last column
    int bottom() const { return y + height; }  // one past the last row
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

struct ScreenPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// The top-left corner of a width x height dialog for a key button: at the button's bottom-right corner; when
// it does not fit there, above the button if it fits to the right and above, else to the left of the button
// (below it when there is room, else above). A dialog that fits nowhere beside the button is kept inside the
// screen rather than left hanging over its edge.
ScreenPoint PlaceKeyDialog(const ScreenRect& button, int width, int height, const ScreenRect& screen);

}  // namespace vornak
