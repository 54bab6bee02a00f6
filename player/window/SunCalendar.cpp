#include "player/window/SunCalendar.h"

#include "player/window/ScheduleClock.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The table's known days: the 1st and the 15th of each month of a year of
// 365 days, as HHMM.
struct TSunRow {
    int Day;
    int Sunset;
    int Sunrise;
};

constexpr TSunRow kSunRows[] = {
    {1, 1606, 859},   {15, 1628, 849},  {32, 1702, 824},  {46, 1733, 755},  {60, 1803, 722},
    {74, 1831, 646},  {91, 1906, 601},  {105, 1935, 526}, {121, 2006, 447}, {135, 2033, 418},
    {152, 2101, 353}, {166, 2116, 344}, {182, 2116, 350}, {196, 2103, 406}, {213, 2034, 435},
    {227, 2004, 502}, {244, 1922, 535}, {258, 1845, 602}, {274, 1803, 633}, {288, 1728, 701},
    {305, 1648, 737}, {319, 1621, 805}, {335, 1601, 835}, {349, 1556, 853}, {365, 1605, 859},
};

// Where the curves turn between the rows: the latest sunset, the earliest
// sunset held from its first day, the earliest sunrise.
struct TSunKnot {
    int Day;
    int Hhmm;
};

constexpr TSunKnot kSunsetTurns[] = {{172, 2118}, {344, 1556}};
constexpr TSunKnot kSunriseTurns[] = {{165, 344}};

// The curves repeat yearly: day 366 is day 1 again.
constexpr int kYearDays = 365;
constexpr int kHhmmHour = 100;
constexpr int kDaylightMinutes = kMinutesPerHour;

int MinutesOfHhmm(int hhmm) { return hhmm / kHhmmHour * kMinutesPerHour + hhmm % kHhmmHour; }

std::uint16_t HhmmOfMinutes(int minutes)
{
    return static_cast<std::uint16_t>(minutes / kMinutesPerHour * kHhmmHour + minutes % kMinutesPerHour);
}

int WrapMinutes(int minutes)
{
    const int wrapped = minutes % kMinutesPerDay;
    return wrapped < 0 ? wrapped + kMinutesPerDay : wrapped;
}

// A day strictly between two knots rounds to a minute strictly between
// theirs where there is room, so that a turning value such as the earliest
// sunset is shown on its own days only.
int RoundBetween(double curve, bool onKnot, double from, double to)
{
    const int rounded = static_cast<int>(std::lround(curve));
    const int low = static_cast<int>(std::min(from, to));
    const int high = static_cast<int>(std::max(from, to));
    if (onKnot || high - low < 2)
        return rounded;
    return std::clamp(rounded, low + 1, high - 1);
}

// Shape-preserving cubic pieces through the knots on the yearly circle: each
// piece stays between its two knots, so the curve turns only at a knot and
// is flat between two equal ones. The slope at a knot is the weighted
// harmonic mean of its neighbouring secants, zero where they differ in sign.
std::vector<int> DailyMinutes(std::vector<TSunKnot> knots)
{
    std::sort(knots.begin(), knots.end(), [](const TSunKnot& a, const TSunKnot& b) { return a.Day < b.Day; });
    const std::size_t count = knots.size();
    std::vector<double> day(count + 1);
    std::vector<double> value(count + 1);
    for (std::size_t k = 0; k < count; ++k) {
        day[k] = knots[k].Day;
        value[k] = MinutesOfHhmm(knots[k].Hhmm);
    }
    day[count] = day[0] + kYearDays;
    value[count] = value[0];

    std::vector<double> width(count);
    std::vector<double> secant(count);
    for (std::size_t k = 0; k < count; ++k) {
        width[k] = day[k + 1] - day[k];
        secant[k] = (value[k + 1] - value[k]) / width[k];
    }
    std::vector<double> slope(count + 1);
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t before = (k + count - 1) % count;
        if (secant[before] * secant[k] <= 0) {
            slope[k] = 0;
            continue;
        }
        const double w1 = 2 * width[k] + width[before];
        const double w2 = width[k] + 2 * width[before];
        slope[k] = (w1 + w2) / (w1 / secant[before] + w2 / secant[k]);
    }
    slope[count] = slope[0];

    std::vector<int> minutes;
    std::size_t k = 0;
    for (int d = 1; d <= kYearDays; ++d) {
        while (d >= day[k + 1])
            ++k;
        const double t = (d - day[k]) / width[k];
        const double t2 = t * t;
        const double t3 = t2 * t;
        const double curve = (2 * t3 - 3 * t2 + 1) * value[k] + (t3 - 2 * t2 + t) * width[k] * slope[k] +
                             (-2 * t3 + 3 * t2) * value[k + 1] + (t3 - t2) * width[k] * slope[k + 1];
        minutes.push_back(RoundBetween(curve, d == day[k], value[k], value[k + 1]));
    }
    return minutes;
}

template <std::size_t TurnCount>
std::vector<TSunKnot> Knots(int TSunRow::*column, const TSunKnot (&turns)[TurnCount])
{
    std::vector<TSunKnot> knots(std::begin(turns), std::end(turns));
    for (const TSunRow& row : kSunRows)
        knots.push_back({row.Day, row.*column});
    return knots;
}

std::array<TSunTableEntry, kSunTableDays> MakeSunTable()
{
    const std::vector<int> sunsets = DailyMinutes(Knots(&TSunRow::Sunset, kSunsetTurns));
    const std::vector<int> sunrises = DailyMinutes(Knots(&TSunRow::Sunrise, kSunriseTurns));
    std::array<TSunTableEntry, kSunTableDays> table{};
    for (std::size_t d = 0; d < kYearDays; ++d)
        table[d] = {HhmmOfMinutes(sunsets[d]), HhmmOfMinutes(sunrises[d])};
    table[kYearDays] = table[0];
    return table;
}

const TSunTableEntry& EntryOf(int sunDay)
{
    return SunTable()[static_cast<std::size_t>(std::clamp(sunDay, 1, kSunTableDays) - 1)];
}

int ShiftOf(bool daylightShift) { return daylightShift ? kDaylightMinutes : 0; }

TDateTime OffsetFor(TDateTime pickedTime, int tableHhmm, bool daylightShift)
{
    return TimeOfDay(MinuteOfTheDay(pickedTime) - MinutesOfHhmm(tableHhmm) - ShiftOf(daylightShift));
}

}  // namespace

const std::array<TSunTableEntry, kSunTableDays>& SunTable()
{
    static const std::array<TSunTableEntry, kSunTableDays> table = MakeSunTable();
    return table;
}

int OffsetMinutes(TDateTime offset)
{
    if (!std::isfinite(offset))
        return 0;
    return static_cast<int>(std::lround(std::fmod(offset, 1.0) * kMinutesPerDay));
}

TSunTimes SunTimesOn(int sunDay, const TSunSettings& settings)
{
    const TSunTableEntry& entry = EntryOf(sunDay);
    const int shift = ShiftOf(settings.DaylightShift);
    TSunTimes times;
    times.Sunrise = WrapMinutes(MinutesOfHhmm(entry.Sunrise) + shift + OffsetMinutes(settings.SunriseOffset));
    times.Sunset = WrapMinutes(MinutesOfHhmm(entry.Sunset) + shift + OffsetMinutes(settings.SunsetOffset));
    return times;
}

bool IsNightAt(int minuteOfDay, TSunTimes sun)
{
    const bool afterSunrise = minuteOfDay >= sun.Sunrise;
    const bool beforeSunset = minuteOfDay <= sun.Sunset;
    const bool day = sun.Sunrise <= sun.Sunset ? afterSunrise && beforeSunset : afterSunrise || beforeSunset;
    return !day;
}

TNightAnswer NightAt(TSunState& state, TDateTime now, const TSunSettings& settings, bool fillPickers)
{
    state.SunDay = DayOfTheYear(now);
    const TSunTimes sun = SunTimesOn(state.SunDay, settings);
    TNightAnswer answer;
    answer.Night = IsNightAt(MinuteOfTheDay(now), sun);
    if (fillPickers || state.PickersDay != state.SunDay || state.PickersShifted != settings.DaylightShift) {
        answer.FillPickers = true;
        answer.DayOnTime = TimeOfDay(sun.Sunrise);
        answer.NightOnTime = TimeOfDay(sun.Sunset);
        state.PickersDay = state.SunDay;
        state.PickersShifted = settings.DaylightShift;
    }
    return answer;
}

TDateTime SunriseOffsetFor(TDateTime pickedTime, TDateTime now, bool daylightShift)
{
    return OffsetFor(pickedTime, EntryOf(DayOfTheYear(now)).Sunrise, daylightShift);
}

TDateTime SunsetOffsetFor(TDateTime pickedTime, TDateTime now, bool daylightShift)
{
    return OffsetFor(pickedTime, EntryOf(DayOfTheYear(now)).Sunset, daylightShift);
}
