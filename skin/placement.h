// The four ways a dialog puts its controls where its skin file says.
#pragma once

#include <QPixmap>
#include <QWidget>
#include <string_view>

#include "skin/core/skin_layout.h"
#include "skin/png_button.h"

namespace vornak {

// The five surfaces an image button takes; which picture serves as which is the dialog's choice.
struct ButtonSurfaces {
    QPixmap normal;
    QPixmap over;
    QPixmap down;
    QPixmap disabled;
    QPixmap selected;
};

// Moves the button to its rectangle and gives it the surfaces with its picture origin; a button the skin does
// not place (at 1, 1) is disabled.
void PlaceImageButton(CPngButton& button, const SkinLayout& layout, std::u16string_view section,
                      std::u16string_view key, const ButtonSurfaces& surfaces);
// Whether the skin placed the control: one that its skin leaves out stays at (1, 1), where a missing key puts
// it (kDefaultSkinRect).
inline bool PlacedBySkin(const QWidget& control) {
    return !(control.x() == 1 && control.y() == 1);
}
// Lists, statics, combo boxes, sliders, pictures.
void PlaceControl(QWidget& control, const SkinLayout& layout, std::u16string_view section,
                  std::u16string_view key);
// Moves the control to the rectangle's corner, keeping its own size, and repaints it.
void PlaceControlKeepSize(QWidget& control, const SkinLayout& layout, std::u16string_view section,
                          std::u16string_view key);
// Place from a "BUTTONINFO" key, picture origin from a key of another section; one surface for all states.
void PlaceImageButtonFrom(CPngButton& button, const SkinLayout& layout, std::u16string_view placeKey,
                          std::u16string_view originSection, std::u16string_view originKey,
                          const QPixmap& surface);

}  // namespace vornak
