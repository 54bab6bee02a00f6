// The system's clock for the schedule agrees with the C runtime's local time
// and counts real time on.
#include "player/window/ScheduleClock.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <ctime>

namespace {

TDateTime RuntimeLocalNow()
{
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    return EncodeDate(local->tm_year + 1900, local->tm_mon + 1, local->tm_mday) +
           EncodeTime(local->tm_hour, local->tm_min, local->tm_sec);
}

TEST(SystemScheduleClockTest, LocalTimeAndDaylightAsTheSystemHasThem)
{
    TScheduleClock& clock = SystemScheduleClock();
    const TDateTime before = RuntimeLocalNow();
    const TDateTime now = clock.Now();
    const TDateTime after = RuntimeLocalNow();
    EXPECT_GE(Milliseconds(now), Milliseconds(before));
    EXPECT_LT(Milliseconds(now), Milliseconds(after) + 1000);

    TIME_ZONE_INFORMATION zone{};
    EXPECT_EQ(clock.DaylightInForce(), GetTimeZoneInformation(&zone) == TIME_ZONE_ID_DAYLIGHT);
}

TEST(SystemScheduleClockTest, TickCountRunsOnWithTheSystemTicks)
{
    TScheduleClock& clock = SystemScheduleClock();
    const DWORD systemStart = GetTickCount();
    const std::uint64_t start = clock.TickCount();
    Sleep(50);
    const std::uint64_t end = clock.TickCount();
    const DWORD systemEnd = GetTickCount();
    EXPECT_GT(end, start);
    EXPECT_LE(end - start, static_cast<std::uint64_t>(systemEnd - systemStart));
}

}  // namespace
