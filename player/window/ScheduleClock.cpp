#include "player/window/ScheduleClock.h"

#include <cmath>
#include <cstdlib>

namespace {

// Day number of 1 January 1970 in TDateTime, and of 1 March of year 0 in the
// civil count below.
constexpr std::int64_t kUnixEpochDay = 25569;
constexpr std::int64_t kCivilEpochShift = 719468;
constexpr std::int64_t kDaysPer400Years = 146097;
constexpr std::int64_t kMsPerSecond = 1000;
constexpr std::int64_t kMinutesPerHour64 = kMinutesPerHour;

std::int64_t FloorDiv(std::int64_t value, std::int64_t divisor)
{
    const std::int64_t quotient = value / divisor;
    return (value % divisor != 0 && (value < 0) != (divisor < 0)) ? quotient - 1 : quotient;
}

// Days from 1 January 1970 of a proleptic Gregorian date; the year counted
// from 1 March, so that the leap day ends it.
std::int64_t DaysFromCivil(std::int64_t year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = FloorDiv(year, 400);
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * kDaysPer400Years + dayOfEra - kCivilEpochShift;
}

std::int64_t YearFromDays(std::int64_t days)
{
    days += kCivilEpochShift;
    const std::int64_t era = FloorDiv(days, kDaysPer400Years);
    const std::int64_t dayOfEra = days - era * kDaysPer400Years;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
    return yearOfEra + era * 400 + (monthFromMarch >= 10 ? 1 : 0);
}

}  // namespace

TClockSample ReadClock(TScheduleClock& clock)
{
    TClockSample sample;
    sample.Now = clock.Now();
    sample.Daylight = clock.DaylightInForce();
    sample.TickMs = clock.TickCount();
    return sample;
}

TDateTime EncodeDate(int year, int month, int day)
{
    return static_cast<TDateTime>(DaysFromCivil(year, month, day) + kUnixEpochDay);
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond)
{
    const std::int64_t ms = ((hour * kMinutesPerHour64 + minute) * 60 + second) * kMsPerSecond + millisecond;
    return static_cast<TDateTime>(ms) / static_cast<TDateTime>(kMsPerDay);
}

std::int64_t Milliseconds(TDateTime time) { return std::llround(time * static_cast<TDateTime>(kMsPerDay)); }

std::int64_t WallMinute(TDateTime time) { return FloorDiv(Milliseconds(time), kMsPerMinute); }

int MinuteOfTheDay(TDateTime time)
{
    const std::int64_t minute = WallMinute(time);
    return static_cast<int>(minute - FloorDiv(minute, kMinutesPerDay) * kMinutesPerDay);
}

int DayOfTheYear(TDateTime time)
{
    const std::int64_t days = FloorDiv(Milliseconds(time), kMsPerDay) - kUnixEpochDay;
    return static_cast<int>(days - DaysFromCivil(YearFromDays(days), 1, 1) + 1);
}

TDateTime TimeOfDay(int minuteOfDay)
{
    return static_cast<TDateTime>(minuteOfDay) / static_cast<TDateTime>(kMinutesPerDay);
}

std::int64_t MinutesBetween(TDateTime a, TDateTime b)
{
    return std::llabs(Milliseconds(a) - Milliseconds(b)) / kMsPerMinute;
}

std::int64_t HoursBetween(TDateTime a, TDateTime b) { return MinutesBetween(a, b) / kMinutesPerHour64; }
