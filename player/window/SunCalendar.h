#pragma once
// Day and night by the calendar: a built-in table of sunset and sunrise for
// one place in the far north, shifted by daylight time and by the user's two
// offsets; the decision whether it is night now, the times the switch pickers
// show, and the offsets the pickers store.

#include "platform/forms/DateTime.h"

#include <array>
#include <cstdint>

// Sunset and sunrise of one day as HHMM (hours times 100 plus minutes) in
// local standard time.
struct TSunTableEntry {
    std::uint16_t Sunset;
    std::uint16_t Sunrise;
};

constexpr int kSunTableDays = 366;

// Entry d stands at position d - 1; day 366 repeats day 1.
const std::array<TSunTableEntry, kSunTableDays>& SunTable();

// What shifts the table's times: the hour of daylight time (in force and not
// disabled) and the offsets, fractions of a day that may be negative.
struct TSunSettings {
    bool DaylightShift = false;
    TDateTime SunriseOffset = 0;
    TDateTime SunsetOffset = 0;
};

// A day's switch times in minutes of the day, wrapped into 0 .. 1439.
struct TSunTimes {
    int Sunrise = 0;
    int Sunset = 0;
};

// An offset in whole minutes, rounded.
int OffsetMinutes(TDateTime offset);

TSunTimes SunTimesOn(int sunDay, const TSunSettings& settings);

// Day runs from the sunrise to the sunset, both minutes included, round the
// clock when the sunset falls past midnight.
bool IsNightAt(int minuteOfDay, TSunTimes sun);

// What the last decision left: the day it asked for, and the day and
// daylight shift the pickers were filled for (day 0: never).
struct TSunState {
    int SunDay = 0;
    int PickersDay = 0;
    bool PickersShifted = false;
};

struct TNightAnswer {
    bool Night = false;
    bool FillPickers = false;  // then the two pickers show these times
    TDateTime DayOnTime = 0;
    TDateTime NightOnTime = 0;
};

// The pickers are filled on a new day, when the daylight shift changed, or
// when the caller asks for it.
TNightAnswer NightAt(TSunState& state, TDateTime now, const TSunSettings& settings, bool fillPickers);

// The offsets that make the sunrise or the sunset picker show the picked time
// again, computed for today's entry with today's daylight shift.
TDateTime SunriseOffsetFor(TDateTime pickedTime, TDateTime now, bool daylightShift);
TDateTime SunsetOffsetFor(TDateTime pickedTime, TDateTime now, bool daylightShift);
