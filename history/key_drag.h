// The drag of one key button onto another: it starts only past the platform's drag distance, so that a click
// stays a click; a drop swaps the two keys' assignments, or copies the first onto the second with Ctrl held.
// While the lights are being painted a drag paints instead, and nothing here takes it.
#pragma once

namespace vornak {

enum class DropAction { None, Swap, Copy };

class KeyDrag {
  public:
    // The mouse button went down on the button of slot (-1: no key button).
    void Press(int slot, int x, int y, bool painting);
    // The mouse moved with the button held; true when this move starts the drag.
    bool Move(int x, int y, int dragDistance);
    // The button came up over targetSlot (-1: no key button), with Ctrl held or not. A drop onto the key it
    // started from, or outside the keys, does nothing; a release without a drag is a click (wasClick()).
    DropAction Release(int targetSlot, bool ctrl);
    // The drag ends without a drop (Esc, the window lost the mouse, a dialog opened).
    void Cancel();

    bool pressed() const { return slot_ >= 0; }
    bool dragging() const { return dragging_; }
    int sourceSlot() const { return slot_; }
    // After Release: whether the press and release were a plain click.
    bool wasClick() const { return wasClick_; }

  private:
    int slot_ = -1;
    int x_ = 0;
    int y_ = 0;
    bool painting_ = false;
    bool dragging_ = false;
    bool wasClick_ = false;
};

}  // namespace vornak
