#pragma once
// The wind: three gust strands that never rest. When a strand's gust has
// ended, the next one starts at a random point around the listener and drifts
// in a straight line while it plays; the board's 100 ms timer drives them.

#include "player/engine/ClipPlacement.h"

#include <cstdint>

struct TGustDrift {
    float dx = 0;  // metres per tick
    float dz = 0;
};

// A whole number of metres from -4 to 4 along each axis, spread over the
// gust's ticks; a gust shorter than one tick stays where it starts.
TGustDrift DrawGustDrift(std::uint32_t durationMs, unsigned intervalMs);

void PlayWindGust1();
void PlayWindGust2();
void PlayWindGust3();

// One tick of the wind timer: each strand drifts on or starts its next gust;
// the new places take effect together.
void WindTick(unsigned intervalMs);
