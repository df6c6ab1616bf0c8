#include "skin/placement.h"

namespace vornak {

namespace {

void Move(QWidget& control, const SkinRect& r) {
    control.setGeometry(r.x, r.y, r.w, r.h);
}

void Apply(CPngButton& button, const ImageButtonPlacement& plan, const ButtonSurfaces& s) {
    Move(button, plan.rect);
    button.SetStateSurfaces(plan.originX, plan.originY, s.normal, s.over, s.down, s.disabled, s.selected,
                            false);
    if (plan.disable) button.setEnabled(false);
}

}  // namespace

void PlaceImageButton(CPngButton& button, const SkinLayout& layout, std::u16string_view section,
                      std::u16string_view key, const ButtonSurfaces& surfaces) {
    Apply(button, PlanImageButton(layout.Rect(section, key)), surfaces);
}

void PlaceControl(QWidget& control, const SkinLayout& layout, std::u16string_view section,
                  std::u16string_view key) {
    Move(control, layout.Rect(section, key));
}

void PlaceControlKeepSize(QWidget& control, const SkinLayout& layout, std::u16string_view section,
                          std::u16string_view key) {
    const SkinRect r = layout.Rect(section, key);
    control.move(r.x, r.y);
    control.update();
}

void PlaceImageButtonFrom(CPngButton& button, const SkinLayout& layout, std::u16string_view placeKey,
                          std::u16string_view originSection, std::u16string_view originKey,
                          const QPixmap& surface) {
    const auto plan = PlanImageButtonFrom(layout.Rect(placeKey), layout.Rect(originSection, originKey));
    Apply(button, plan, {surface, surface, surface, surface, surface});
}

}  // namespace vornak
