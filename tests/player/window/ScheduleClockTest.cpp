// Calendar arithmetic on day numbers: dates, minutes of the day, spans.
#include "player/window/ScheduleClock.h"

#include <gtest/gtest.h>

namespace {

struct DateCase {
    int year;
    int month;
    int day;
    double dayNumber;
    int dayOfTheYear;
};

class DateTest : public ::testing::TestWithParam<DateCase> {};

TEST_P(DateTest, DayNumberAndDayOfTheYear)
{
    const DateCase& c = GetParam();
    const TDateTime date = EncodeDate(c.year, c.month, c.day);
    EXPECT_DOUBLE_EQ(date, c.dayNumber);
    EXPECT_EQ(DayOfTheYear(date), c.dayOfTheYear);
    EXPECT_EQ(DayOfTheYear(date + EncodeTime(23, 59, 59, 999)), c.dayOfTheYear);
}

INSTANTIATE_TEST_SUITE_P(Calendar, DateTest,
                         ::testing::Values(DateCase{1899, 12, 30, 0, 364}, DateCase{1970, 1, 1, 25569, 1},
                                           DateCase{2000, 2, 29, 36585, 60}, DateCase{2000, 12, 31, 36891, 366},
                                           DateCase{2023, 3, 1, 44986, 60}, DateCase{2024, 3, 1, 45352, 61},
                                           DateCase{2100, 12, 31, 73415, 365}));

TEST(TimeOfDayTest, AHairBelowAMinuteIsThatMinute)
{
    const TDateTime date = EncodeDate(2024, 6, 15);
    EXPECT_EQ(MinuteOfTheDay(date + EncodeTime(10, 5) - 1e-10), 10 * 60 + 5);
    EXPECT_EQ(MinuteOfTheDay(date + EncodeTime(10, 5, 59, 999)), 10 * 60 + 5);
    EXPECT_EQ(MinuteOfTheDay(date + EncodeTime(23, 59, 59, 999)), 23 * 60 + 59);
    EXPECT_EQ(WallMinute(date + 1) - WallMinute(date), kMinutesPerDay);
}

TEST(SpanTest, WholeMinutesAndHoursEitherWay)
{
    const TDateTime start = EncodeDate(2024, 6, 15) + EncodeTime(10, 0, 20);
    EXPECT_EQ(MinutesBetween(start + EncodeTime(0, 4, 59, 999), start), 4);
    EXPECT_EQ(MinutesBetween(start + EncodeTime(0, 5), start), 5);
    EXPECT_EQ(MinutesBetween(start, start + EncodeTime(0, 5)), 5);
    EXPECT_EQ(HoursBetween(start + EncodeTime(20, 59, 59), start), 20);
    EXPECT_EQ(HoursBetween(start + EncodeTime(21, 0), start), 21);
}

}  // namespace
