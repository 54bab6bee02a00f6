#include "player/window/SoundSpaceLimiter.h"

#include <algorithm>

namespace {

constexpr int kEdgeGrip = 2;  // pixels from an edge that still take the edge
// The zone stays one pixel inside the track at either end.
constexpr int kHighestTop = 1;
constexpr int kLowestBottom = kLimiterTrackHeight - 1;
// The far bound of a zone at the track's top edge.
constexpr int kBoundAtTrackTop = 53;
constexpr int kDecimetresPerMetre = 10;

}  // namespace

TLimiterGrip GripAt(int y, int zoneHeight)
{
    if (y <= kEdgeGrip)
        return TLimiterGrip::TopEdge;
    if (y >= zoneHeight - kEdgeGrip)
        return TLimiterGrip::BottomEdge;
    return TLimiterGrip::Body;
}

TLimiterZone DragZone(TLimiterZone zone, TLimiterGrip grip, int y, int pressY)
{
    switch (grip) {
        case TLimiterGrip::Body:
            zone.Top = std::clamp(zone.Top + y - pressY, kHighestTop, kLowestBottom - zone.Height);
            break;
        case TLimiterGrip::TopEdge: {
            const int shift = std::clamp(y - pressY, kHighestTop - zone.Top, zone.Height - kLimiterShortestZone);
            zone.Top += shift;
            zone.Height -= shift;
            break;
        }
        case TLimiterGrip::BottomEdge:
            zone.Height = std::clamp(y, kLimiterShortestZone, kLowestBottom - zone.Top);
            break;
    }
    return zone;
}

int FarBound(TLimiterZone zone) { return kBoundAtTrackTop - zone.Top; }

int NearBound(TLimiterZone zone) { return kBoundAtTrackTop - zone.Top - zone.Height; }

TLimiterZone ZoneOfBounds(int nearBound, int farBound) { return {kBoundAtTrackTop - farBound, farBound - nearBound}; }

std::string BoundText(int decimetres, const std::string& unit)
{
    return std::to_string(decimetres / kDecimetresPerMetre) + "." + std::to_string(decimetres % kDecimetresPerMetre) +
           " " + unit;
}
