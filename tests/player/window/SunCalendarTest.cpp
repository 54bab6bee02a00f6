// The sun table and the night decision: the table's known days, its turning
// points and smoothness; day and night at the edges, with daylight time and
// offsets; when the pickers are filled and what the pickers store.
#include "player/window/SunCalendar.h"

#include "player/window/ScheduleClock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

int Minutes(int hhmm) { return hhmm / 100 * 60 + hhmm % 100; }

TDateTime At(int year, int month, int day, int hour, int minute)
{
    return EncodeDate(year, month, day) + EncodeTime(hour, minute);
}

TDateTime OffsetOfMinutes(double minutes) { return minutes / kMinutesPerDay; }

const TSunTableEntry& Entry(int day) { return SunTable()[static_cast<std::size_t>(day - 1)]; }

struct RowCase {
    int day;
    int sunset;
    int sunrise;
};

class SunTableRowTest : public ::testing::TestWithParam<RowCase> {};

TEST_P(SunTableRowTest, KnownDayIsExact)
{
    const RowCase& c = GetParam();
    EXPECT_EQ(Entry(c.day).Sunset, c.sunset);
    EXPECT_EQ(Entry(c.day).Sunrise, c.sunrise);
}

INSTANTIATE_TEST_SUITE_P(FirstAndFifteenth, SunTableRowTest,
                         ::testing::Values(RowCase{1, 1606, 859}, RowCase{15, 1628, 849}, RowCase{32, 1702, 824},
                                           RowCase{46, 1733, 755}, RowCase{60, 1803, 722}, RowCase{74, 1831, 646},
                                           RowCase{91, 1906, 601}, RowCase{105, 1935, 526}, RowCase{121, 2006, 447},
                                           RowCase{135, 2033, 418}, RowCase{152, 2101, 353}, RowCase{166, 2116, 344},
                                           RowCase{182, 2116, 350}, RowCase{196, 2103, 406}, RowCase{213, 2034, 435},
                                           RowCase{227, 2004, 502}, RowCase{244, 1922, 535}, RowCase{258, 1845, 602},
                                           RowCase{274, 1803, 633}, RowCase{288, 1728, 701}, RowCase{305, 1648, 737},
                                           RowCase{319, 1621, 805}, RowCase{335, 1601, 835}, RowCase{349, 1556, 853},
                                           RowCase{365, 1605, 859}, RowCase{366, 1606, 859}));

std::vector<int> DaysOf(std::uint16_t TSunTableEntry::*column, std::uint16_t value)
{
    std::vector<int> days;
    for (int day = 1; day <= kSunTableDays; ++day)
        if (Entry(day).*column == value)
            days.push_back(day);
    return days;
}

TEST(SunTableTest, TurningTimesFallOnTheirDays)
{
    for (int day = 1; day <= kSunTableDays; ++day) {
        EXPECT_GE(Entry(day).Sunset, 1556) << day;
        EXPECT_LE(Entry(day).Sunset, 2118) << day;
        EXPECT_GE(Entry(day).Sunrise, 344) << day;
        EXPECT_LE(Entry(day).Sunrise, 859) << day;
    }
    EXPECT_EQ(DaysOf(&TSunTableEntry::Sunset, 1556), (std::vector<int>{344, 345, 346, 347, 348, 349}));
    EXPECT_EQ(DaysOf(&TSunTableEntry::Sunset, 2118), std::vector<int>{172});
    EXPECT_EQ(DaysOf(&TSunTableEntry::Sunrise, 344), (std::vector<int>{165, 166}));
    EXPECT_EQ(DaysOf(&TSunTableEntry::Sunrise, 859), (std::vector<int>{1, 365, 366}));
}

TEST(SunTableTest, NeighbouringDaysDifferByThreeMinutesAtMostAndTheYearCloses)
{
    for (int day = 2; day <= kSunTableDays; ++day) {
        EXPECT_LE(std::abs(Minutes(Entry(day).Sunset) - Minutes(Entry(day - 1).Sunset)), 3) << day;
        EXPECT_LE(std::abs(Minutes(Entry(day).Sunrise) - Minutes(Entry(day - 1).Sunrise)), 3) << day;
        EXPECT_LT(Entry(day).Sunset % 100, 60) << day;
        EXPECT_LT(Entry(day).Sunrise % 100, 60) << day;
    }
    EXPECT_EQ(Entry(366).Sunset, Entry(1).Sunset);
    EXPECT_EQ(Entry(366).Sunrise, Entry(1).Sunrise);
}

struct NightCase {
    std::string name;
    TDateTime now;
    bool daylightShift;
    double sunriseOffsetMinutes;
    double sunsetOffsetMinutes;
    bool night;
};

void PrintTo(const NightCase& c, std::ostream* out) { *out << c.name; }

class NightTest : public ::testing::TestWithParam<NightCase> {};

TEST_P(NightTest, DecidesByTheShiftedTimes)
{
    const NightCase& c = GetParam();
    TSunSettings settings;
    settings.DaylightShift = c.daylightShift;
    settings.SunriseOffset = OffsetOfMinutes(c.sunriseOffsetMinutes);
    settings.SunsetOffset = OffsetOfMinutes(c.sunsetOffsetMinutes);
    TSunState state;
    EXPECT_EQ(NightAt(state, c.now, settings, false).Night, c.night);
}

// 15 June 2023 is day 166: sunrise 03:44, sunset 21:16.
INSTANTIATE_TEST_SUITE_P(
    Edges, NightTest,
    ::testing::Values(NightCase{"BeforeSunrise", At(2023, 6, 15, 3, 43), false, 0, 0, true},
                      NightCase{"SunriseMinute", At(2023, 6, 15, 3, 44), false, 0, 0, false},
                      NightCase{"SunsetMinute", At(2023, 6, 15, 21, 16), false, 0, 0, false},
                      NightCase{"AfterSunset", At(2023, 6, 15, 21, 17), false, 0, 0, true},
                      NightCase{"DaylightBeforeSunrise", At(2023, 6, 15, 4, 43), true, 0, 0, true},
                      NightCase{"DaylightSunrise", At(2023, 6, 15, 4, 44), true, 0, 0, false},
                      NightCase{"DaylightSunset", At(2023, 6, 15, 22, 16), true, 0, 0, false},
                      NightCase{"DaylightAfterSunset", At(2023, 6, 15, 22, 17), true, 0, 0, true},
                      NightCase{"EarlierSunsetOnNewYear", At(2023, 1, 1, 15, 36), false, 0, -30, false},
                      NightCase{"AfterEarlierSunset", At(2023, 1, 1, 15, 37), false, 0, -30, true},
                      NightCase{"OffsetAHairShortOfHalfAnHour", At(2023, 1, 1, 16, 36), false, 0, 29.9999, false},
                      NightCase{"AfterThatOffset", At(2023, 1, 1, 16, 37), false, 0, 29.9999, true},
                      NightCase{"SummerSolsticeLatestSunset", At(2023, 6, 21, 21, 18), false, 0, 0, false},
                      NightCase{"SummerSolsticeMidnight", At(2023, 6, 21, 0, 0), false, 0, 0, true},
                      NightCase{"WinterSolsticeMorning", At(2023, 12, 21, 8, 30), false, 0, 0, true},
                      NightCase{"WinterSolsticeNoon", At(2023, 12, 21, 12, 0), false, 0, 0, false},
                      NightCase{"WinterSolsticeAfternoon", At(2023, 12, 21, 16, 30), false, 0, 0, true},
                      NightCase{"SunsetPastMidnightNoon", At(2023, 6, 15, 12, 0), false, 0, 180, false},
                      NightCase{"SunsetPastMidnightLateEvening", At(2023, 6, 15, 23, 59), false, 0, 180, false},
                      NightCase{"SunsetPastMidnightItsMinute", At(2023, 6, 15, 0, 16), false, 0, 180, false},
                      NightCase{"SunsetPastMidnightAfter", At(2023, 6, 15, 0, 17), false, 0, 180, true},
                      NightCase{"SunsetPastMidnightBeforeSunrise", At(2023, 6, 15, 3, 43), false, 0, 180, true},
                      NightCase{"SunriseBeforeMidnightLateEvening", At(2023, 1, 1, 23, 30), false, -600, 0, false},
                      NightCase{"SunriseBeforeMidnightAfterSunset", At(2023, 1, 1, 16, 7), false, -600, 0, true}),
    [](const ::testing::TestParamInfo<NightCase>& param) { return param.param.name; });

std::string TimeText(TDateTime time)
{
    const int minute = MinuteOfTheDay(time);
    return std::to_string(minute / 60) + ":" + std::to_string(minute % 60);
}

TEST(NightPickersTest, TheLeapDayAndTheLeapYearsLastDayReadTheirOwnEntries)
{
    TSunState state;
    const TNightAnswer leapDay = NightAt(state, At(2024, 2, 29, 12, 0), {}, false);
    EXPECT_EQ(state.SunDay, 60);
    ASSERT_TRUE(leapDay.FillPickers);
    EXPECT_EQ(MinuteOfTheDay(leapDay.DayOnTime), Minutes(Entry(60).Sunrise));
    EXPECT_EQ(MinuteOfTheDay(leapDay.NightOnTime), Minutes(Entry(60).Sunset));

    NightAt(state, At(2024, 3, 1, 12, 0), {}, false);
    EXPECT_EQ(state.SunDay, 61);
    const TNightAnswer lastDay = NightAt(state, At(2024, 12, 31, 12, 0), {}, false);
    EXPECT_EQ(state.SunDay, 366);
    EXPECT_EQ(MinuteOfTheDay(lastDay.NightOnTime), Minutes(Entry(366).Sunset));
}

struct PickerTick {
    TDateTime now;
    bool daylight;
    bool fillAsked;
    bool filled;
};

TEST(NightPickersTest, FilledOnceANewDayBeginsOrTheDaylightShiftChanges)
{
    const std::vector<PickerTick> ticks = {
        {At(2023, 6, 15, 23, 58), false, false, true},  // never filled before
        {At(2023, 6, 15, 23, 59), false, false, false},
        {At(2023, 6, 16, 0, 0), false, false, true},
        {At(2023, 6, 16, 0, 1), false, false, false},
        {At(2023, 6, 16, 0, 2), false, true, true},  // a caller asks
        {At(2024, 12, 31, 23, 59), false, false, true},
        {At(2025, 1, 1, 0, 0), false, false, true},
        {At(2025, 1, 1, 0, 1), false, false, false},
        {At(2025, 3, 30, 1, 59), false, false, true},  // spring change day
        {At(2025, 3, 30, 3, 0), true, false, true},
        {At(2025, 3, 30, 3, 1), true, false, false},
        {At(2025, 10, 26, 2, 59), true, false, true},  // autumn change day
        {At(2025, 10, 26, 2, 0), false, false, true},
        {At(2025, 10, 26, 2, 1), false, false, false},
    };
    TSunState state;
    for (const PickerTick& tick : ticks) {
        TSunSettings settings;
        settings.DaylightShift = tick.daylight;
        const TNightAnswer answer = NightAt(state, tick.now, settings, tick.fillAsked);
        EXPECT_EQ(answer.FillPickers, tick.filled) << TimeText(tick.now) << " on day " << state.SunDay;
    }
}

TEST(NightPickersTest, TheChangeDaysFillThePickersWithTheShiftedTimes)
{
    TSunState state;
    const TDateTime spring = EncodeDate(2025, 3, 30);
    const int day = DayOfTheYear(spring);
    TSunSettings settings;
    const TNightAnswer before = NightAt(state, spring + EncodeTime(1, 59), settings, false);
    settings.DaylightShift = true;
    const TNightAnswer after = NightAt(state, spring + EncodeTime(3, 0), settings, false);
    EXPECT_EQ(MinuteOfTheDay(before.DayOnTime), Minutes(Entry(day).Sunrise));
    EXPECT_EQ(MinuteOfTheDay(after.DayOnTime), Minutes(Entry(day).Sunrise) + 60);
    EXPECT_EQ(MinuteOfTheDay(after.NightOnTime), Minutes(Entry(day).Sunset) + 60);
}

TEST(PickerOffsetTest, ThePickedTimeComesBackAtTheNextFill)
{
    // 1 July 2023, day 182: sunrise 03:50, sunset 21:16. No decision has run
    // yet today: the offset is taken for today all the same.
    const TDateTime now = At(2023, 7, 1, 12, 0);
    const TDateTime five = EncodeTime(5, 0);
    const TDateTime midnightPast = EncodeTime(0, 30);
    for (const bool shift : {false, true}) {
        TSunSettings settings;
        settings.DaylightShift = shift;
        settings.SunriseOffset = SunriseOffsetFor(five, now, shift);
        settings.SunsetOffset = SunsetOffsetFor(midnightPast, now, shift);
        EXPECT_EQ(OffsetMinutes(settings.SunriseOffset), shift ? 10 : 70);
        TSunState state;
        const TNightAnswer answer = NightAt(state, now, settings, true);
        EXPECT_EQ(MinuteOfTheDay(answer.DayOnTime), 5 * 60) << shift;
        EXPECT_EQ(MinuteOfTheDay(answer.NightOnTime), 30) << shift;
    }
}

TEST(PickerOffsetTest, OffsetsAreWholeMinutesRoundedAndWrappedByTheDay)
{
    EXPECT_EQ(OffsetMinutes(OffsetOfMinutes(29.9999)), 30);
    EXPECT_EQ(OffsetMinutes(OffsetOfMinutes(-29.9999)), -30);
    EXPECT_EQ(OffsetMinutes(1.0 + OffsetOfMinutes(30)), 30);
    EXPECT_EQ(OffsetMinutes(std::nan("")), 0);
    TSunSettings settings;
    settings.SunriseOffset = OffsetOfMinutes(-9 * 60);  // 08:59 on day 1 becomes 23:59
    EXPECT_EQ(SunTimesOn(1, settings).Sunrise, 23 * 60 + 59);
}

}  // namespace
