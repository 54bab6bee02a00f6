#pragma once
// The placement pad: a marker dragged on a 40 x 40 pixel pad puts the brook
// or the bonfire around the listener, who stands at the pad's centre.

#include "platform/audio/bass.h"

constexpr int kPadSize = 40;
constexpr int kMarkerSize = 8;
// The largest left and top a marker may take on the pad.
constexpr int kMarkerReach = kPadSize - kMarkerSize;

// A marker's left and top on the pad, in pixels.
struct TPadPoint {
    int Left = 0;
    int Top = 0;
};

// One drag step: the marker moved by the mouse's offset, kept on the pad.
TPadPoint DragMarker(TPadPoint marker, int dx, int dy);

// Metres around the listener: the pad's centre is where the listener stands,
// up on the pad is in front (+z), right is +x; three pixels make a metre.
BASS_3DVECTOR PadPosition(TPadPoint marker);
