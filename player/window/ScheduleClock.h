#pragma once
// The clock the schedule reads: the local wall time, whether daylight time is
// in force, and real time that runs on through any change of the wall clock.
// The board holds one; tests put their own in its place.

#include "platform/forms/DateTime.h"

#include <cstdint>

class TScheduleClock {
public:
    virtual ~TScheduleClock() = default;
    virtual TDateTime Now() = 0;  // local time
    virtual bool DaylightInForce() = 0;
    virtual std::uint64_t TickCount() = 0;  // milliseconds since the system started
};

// One reading of the clock; a tick reads it once.
struct TClockSample {
    TDateTime Now = 0;
    bool Daylight = false;
    std::uint64_t TickMs = 0;
};

TClockSample ReadClock(TScheduleClock& clock);

constexpr int kMinutesPerHour = 60;
constexpr int kHoursPerDay = 24;
constexpr int kMinutesPerDay = kHoursPerDay * kMinutesPerHour;
constexpr std::int64_t kMsPerMinute = 60000;
constexpr std::int64_t kMsPerDay = kMinutesPerDay * kMsPerMinute;

TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second = 0, int millisecond = 0);

// Times are taken to the millisecond first, so that a value a hair below a
// whole minute still counts as that minute.
std::int64_t Milliseconds(TDateTime time);
std::int64_t WallMinute(TDateTime time);  // whole minutes since the day-number origin
int MinuteOfTheDay(TDateTime time);       // 0 .. 1439, seconds dropped
int DayOfTheYear(TDateTime time);         // 1 for 1 January
TDateTime TimeOfDay(int minuteOfDay);     // the fraction of a day

// Whole minutes and whole hours between two moments, whichever comes first.
std::int64_t MinutesBetween(TDateTime a, TDateTime b);
std::int64_t HoursBetween(TDateTime a, TDateTime b);

// Windows side: GetLocalTime, GetTimeZoneInformation and the tick count.
TScheduleClock& SystemScheduleClock();
// Whether Windows leaves daylight time to the user, from the time-zone
// settings; false when they cannot be read.
bool SystemAutoDSTDisabled();
// The clock the board reads: the system's unless a test has put its own.
TScheduleClock& ScheduleClock();
// Null puts the system's own back.
void SetScheduleClock(TScheduleClock* clock);
