#include "history/key_drag.h"

#include <cstdlib>

namespace vornak {

void KeyDrag::Press(int slot, int x, int y, bool painting) {
    slot_ = slot;
    x_ = x;
    y_ = y;
    painting_ = painting;
    dragging_ = false;
    wasClick_ = false;
}

bool KeyDrag::Move(int x, int y, int dragDistance) {
    if (slot_ < 0 || painting_ || dragging_) return false;
    // The Manhattan length, as the toolkits measure their drag distance.
    if (std::abs(x - x_) + std::abs(y - y_) < dragDistance) return false;
    dragging_ = true;
    return true;
}

DropAction KeyDrag::Release(int targetSlot, bool ctrl) {
    const bool wasDrag = dragging_;
    const int source = slot_;
    wasClick_ = source >= 0 && !wasDrag;
    slot_ = -1;
    dragging_ = false;
    if (!wasDrag || targetSlot < 0 || targetSlot == source) return DropAction::None;
    return ctrl ? DropAction::Copy : DropAction::Swap;
}

void KeyDrag::Cancel() {
    slot_ = -1;
    dragging_ = false;
    wasClick_ = false;
}

}  // namespace vornak
