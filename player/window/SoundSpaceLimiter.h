#pragma once
// The sound-space limiter: a zone dragged on a 44-pixel track whose top edge
// is the far bound and whose bottom edge is the near bound of the distances
// at which the scattered layers may sound, in decimetres.

#include <string>

constexpr int kLimiterTrackHeight = 44;
constexpr int kLimiterShortestZone = 9;

// The zone's top and height on the track, in pixels.
struct TLimiterZone {
    int Top = 0;
    int Height = 0;
};

// What a press on the zone takes hold of.
enum class TLimiterGrip {
    Body,
    TopEdge,
    BottomEdge
};

// The grip at y, relative to the zone: three pixels at each edge, the body between.
TLimiterGrip GripAt(int y, int zoneHeight);

// One drag step with the mouse at y and the press at pressY, both relative to
// the zone; the zone keeps its top at 1 or below that, its bottom at 43 or
// above that and its height at 9 or more.
TLimiterZone DragZone(TLimiterZone zone, TLimiterGrip grip, int y, int pressY);

// The bounds in decimetres a zone stands for, and the zone of stored bounds.
int FarBound(TLimiterZone zone);
int NearBound(TLimiterZone zone);
TLimiterZone ZoneOfBounds(int nearBound, int farBound);

// A bound in metres with its one decimal and the unit: 52 gives "5.2 m".
std::string BoundText(int decimetres, const std::string& unit);
