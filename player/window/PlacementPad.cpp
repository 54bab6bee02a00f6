#include "player/window/PlacementPad.h"

#include <algorithm>

namespace {

// The marker covering the crosshair stands at the listener's place.
constexpr int kListenerPlace = (kPadSize - kMarkerSize) / 2;
constexpr float kPixelsPerMetre = 3.0f;

}  // namespace

TPadPoint DragMarker(TPadPoint marker, int dx, int dy)
{
    return {std::clamp(marker.Left + dx, 0, kMarkerReach), std::clamp(marker.Top + dy, 0, kMarkerReach)};
}

BASS_3DVECTOR PadPosition(TPadPoint marker)
{
    return {static_cast<float>(marker.Left - kListenerPlace) / kPixelsPerMetre, 0.0f,
            static_cast<float>(kListenerPlace - marker.Top) / kPixelsPerMetre};
}
