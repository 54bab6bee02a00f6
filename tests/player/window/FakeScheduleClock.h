#pragma once
// A schedule clock the test sets by hand: the wall time, the daylight state
// and the real time since the system started.

#include "player/window/ScheduleClock.h"

class TFakeScheduleClock final : public TScheduleClock {
public:
    TDateTime Now() override { return Wall; }
    bool DaylightInForce() override { return Daylight; }
    std::uint64_t TickCount() override { return Ticks; }

    TDateTime Wall = 0;
    bool Daylight = false;
    std::uint64_t Ticks = 0;
};
