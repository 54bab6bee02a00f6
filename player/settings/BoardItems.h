#pragma once
// What a stored setting can hold: every board control by its name, then the
// board's own integers that the settings carry.

enum class TBoardItem : int {
#define OVEL_BOARD_CONTROL(Name, Kind, Container) Name,
#include "resources/player/BoardControls.h"
#undef OVEL_BOARD_CONTROL
    // Marker places on the placement pads and the limiter bounds.
    StreamMarkerX,
    StreamMarkerY,
    FireMarkerX,
    FireMarkerY,
    LimiterLowBound,
    LimiterHighBound,
};
