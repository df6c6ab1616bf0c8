#include "history/key_drag.h"

#include <gtest/gtest.h>

namespace vornak {
namespace {

constexpr int kDistance = 10;

TEST(KeyDrag, AClickStaysAClickUntilThePointerPassesTheDragDistance) {
    KeyDrag drag;
    drag.Press(0x1E, 100, 100, false);
    EXPECT_FALSE(drag.Move(105, 104, kDistance));  // 9 in all: still a click
    EXPECT_FALSE(drag.dragging());
    EXPECT_EQ(drag.Release(0x30, false), DropAction::None);
    EXPECT_TRUE(drag.wasClick());

    drag.Press(0x1E, 100, 100, false);
    EXPECT_TRUE(drag.Move(94, 104, kDistance));    // 6 + 4
    EXPECT_FALSE(drag.Move(200, 200, kDistance));  // started once
    EXPECT_TRUE(drag.dragging());
    EXPECT_EQ(drag.Release(0x30, false), DropAction::Swap);
    EXPECT_FALSE(drag.wasClick());
    EXPECT_FALSE(drag.pressed());
}

TEST(KeyDrag, CtrlCopiesAndADropOntoItselfOrOutsideDoesNothing) {
    KeyDrag drag;
    for (const auto& [target, ctrl, action] :
         {std::tuple{0x30, true, DropAction::Copy}, std::tuple{0x1E, false, DropAction::None},
          std::tuple{-1, true, DropAction::None}}) {
        drag.Press(0x1E, 0, 0, false);
        ASSERT_TRUE(drag.Move(0, 40, kDistance));
        EXPECT_EQ(drag.Release(target, ctrl), action);
        EXPECT_FALSE(drag.wasClick());  // a drag that came back is no click either
    }
}

TEST(KeyDrag, PaintingAndCancelledDragsNeverDrop) {
    KeyDrag drag;
    drag.Press(0x1E, 0, 0, true);
    EXPECT_FALSE(drag.Move(50, 50, kDistance));
    EXPECT_EQ(drag.Release(0x30, false), DropAction::None);
    EXPECT_TRUE(drag.wasClick());  // the painting code takes the click

    drag.Press(0x1E, 0, 0, false);
    ASSERT_TRUE(drag.Move(50, 50, kDistance));
    drag.Cancel();
    EXPECT_EQ(drag.Release(0x30, false), DropAction::None);
    EXPECT_FALSE(drag.wasClick());

    // A move with no press on a key button starts nothing.
    EXPECT_FALSE(drag.Move(80, 80, kDistance));
}

}  // namespace
}  // namespace vornak
