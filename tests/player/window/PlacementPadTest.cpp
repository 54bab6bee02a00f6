// Where a marker dragged on the placement pad puts its sound.
#include "player/window/PlacementPad.h"

#include <gtest/gtest.h>

namespace {

constexpr float kEdge = 16.0f / 3.0f;  // metres from the listener to the pad's edge

struct DragCase {
    const char* what;
    TPadPoint from;
    int dx;
    int dy;
    TPadPoint to;
    float x;
    float z;
};

const DragCase kDrags[] = {
    {"still at the centre: the listener's own place", {16, 16}, 0, 0, {16, 16}, 0.0f, 0.0f},
    {"to the top edge: straight ahead", {16, 16}, 0, -16, {16, 0}, 0.0f, kEdge},
    {"within the pad", {10, 20}, 3, -4, {13, 16}, -1.0f, 0.0f},
    {"past the left edge", {4, 16}, -50, 0, {0, 16}, -kEdge, 0.0f},
    {"past the right edge", {30, 16}, 50, 0, {32, 16}, kEdge, 0.0f},
    {"past the top edge", {16, 3}, 0, -50, {16, 0}, 0.0f, kEdge},
    {"past the bottom edge", {16, 30}, 0, 50, {16, 32}, 0.0f, -kEdge},
    {"past a corner", {2, 2}, -9, 60, {0, 32}, -kEdge, -kEdge},
};

TEST(PlacementPad, DraggedMarkerStaysOnThePadAndPlacesItsSoundAroundTheListener)
{
    for (const DragCase& drag : kDrags) {
        SCOPED_TRACE(drag.what);
        const TPadPoint to = DragMarker(drag.from, drag.dx, drag.dy);
        EXPECT_EQ(to.Left, drag.to.Left);
        EXPECT_EQ(to.Top, drag.to.Top);
        const BASS_3DVECTOR position = PadPosition(to);
        EXPECT_FLOAT_EQ(position.x, drag.x);
        EXPECT_FLOAT_EQ(position.y, 0.0f);
        EXPECT_FLOAT_EQ(position.z, drag.z);
    }
}

}  // namespace
