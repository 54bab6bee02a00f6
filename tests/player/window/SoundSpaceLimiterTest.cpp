// The limiter zone dragged by its body and its edges, with the bounds and
// labels it then shows.
#include "player/window/SoundSpaceLimiter.h"

#include <gtest/gtest.h>

namespace {

constexpr TLimiterZone kDesignZone{23, 19};  // bounds 30 and 11

struct DragCase {
    const char* what;
    TLimiterGrip grip;
    int offset;  // mouse y minus the press y; for the bottom edge the mouse y itself
    TLimiterZone to;
    const char* farText;
    const char* nearText;
};

const DragCase kDrags[] = {
    {"body within the track", TLimiterGrip::Body, -3, {20, 19}, "3.3 m", "1.4 m"},
    {"body past the top", TLimiterGrip::Body, -40, {1, 19}, "5.2 m", "3.3 m"},
    {"body past the bottom", TLimiterGrip::Body, 40, {24, 19}, "2.9 m", "1.0 m"},
    {"top edge up past the track", TLimiterGrip::TopEdge, -40, {1, 41}, "5.2 m", "1.1 m"},
    {"top edge down onto the bottom edge", TLimiterGrip::TopEdge, 30, {33, 9}, "2.0 m", "1.1 m"},
    {"bottom edge up onto the top edge", TLimiterGrip::BottomEdge, 2, {23, 9}, "3.0 m", "2.1 m"},
    {"bottom edge within the track", TLimiterGrip::BottomEdge, 15, {23, 15}, "3.0 m", "1.5 m"},
    {"bottom edge down past the track", TLimiterGrip::BottomEdge, 60, {23, 20}, "3.0 m", "1.0 m"},
};

TEST(SoundSpaceLimiter, DragsStopAtTheTrackAndTheShortestZone)
{
    constexpr int kPress = 10;
    for (const DragCase& drag : kDrags) {
        SCOPED_TRACE(drag.what);
        const int y = drag.grip == TLimiterGrip::BottomEdge ? drag.offset : kPress + drag.offset;
        const TLimiterZone zone = DragZone(kDesignZone, drag.grip, y, kPress);
        EXPECT_EQ(zone.Top, drag.to.Top);
        EXPECT_EQ(zone.Height, drag.to.Height);
        EXPECT_GE(zone.Top, 1);
        EXPECT_LE(zone.Top + zone.Height, kLimiterTrackHeight - 1);
        EXPECT_GE(zone.Height, kLimiterShortestZone);
        EXPECT_LE(FarBound(zone), 52);
        EXPECT_GE(NearBound(zone), 10);
        EXPECT_EQ(BoundText(FarBound(zone), "m"), drag.farText);
        EXPECT_EQ(BoundText(NearBound(zone), "m"), drag.nearText);
    }
}

TEST(SoundSpaceLimiter, StoredBoundsGiveTheirZone)
{
    const TLimiterZone zone = ZoneOfBounds(11, 30);
    EXPECT_EQ(zone.Top, kDesignZone.Top);
    EXPECT_EQ(zone.Height, kDesignZone.Height);
    EXPECT_EQ(BoundText(FarBound(zone), "m"), "3.0 m");
    EXPECT_EQ(BoundText(NearBound(zone), "m"), "1.1 m");
}

TEST(SoundSpaceLimiter, PressTakesAnEdgeWithinThreePixelsElseTheBody)
{
    const struct {
        int y;
        TLimiterGrip grip;
    } rows[] = {{0, TLimiterGrip::TopEdge}, {2, TLimiterGrip::TopEdge},     {3, TLimiterGrip::Body},
                {16, TLimiterGrip::Body},   {17, TLimiterGrip::BottomEdge}, {19, TLimiterGrip::BottomEdge}};
    for (const auto& row : rows)
        EXPECT_EQ(GripAt(row.y, kDesignZone.Height), row.grip) << row.y;
}

}  // namespace
