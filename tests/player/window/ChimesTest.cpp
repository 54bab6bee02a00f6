// The chimes' hours window, their minute captions, the Tags that name a
// built-in chime, and the picker's grid.
#include "player/window/Chimes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct WindowCase {
    int from;
    int till;
    int hours;
    std::vector<int> inside;
    std::vector<int> outside;
};

TEST(ChimesWindowTest, HoursAndWhichHoursLieInside)
{
    const std::vector<WindowCase> cases = {
        {8, 20, 13, {8, 9, 20}, {7, 21, 0}}, {22, 2, 5, {22, 23, 0, 2}, {3, 21, 12}},
        {5, 4, 24, {4, 5, 0, 23}, {}},       {0, 23, 24, {0, 12, 23}, {}},
        {12, 12, 1, {12}, {11, 13}},
    };
    for (const WindowCase& c : cases) {
        const std::string name = std::to_string(c.from) + "-" + std::to_string(c.till);
        EXPECT_EQ(ChimesWorkTimeAt(c.from, c.till, 0).Hours, c.hours) << name;
        EXPECT_EQ(ChimesWorkTimeAt(c.from, c.till, 0).RoundTheClock, c.hours == 24) << name;
        for (const int hour : c.inside)
            EXPECT_TRUE(ChimesWorkTimeAt(c.from, c.till, hour).Active) << name << " at " << hour;
        for (const int hour : c.outside)
            EXPECT_FALSE(ChimesWorkTimeAt(c.from, c.till, hour).Active) << name << " at " << hour;
    }
}

TEST(ChimeMinuteTest, SpinWrapsAndCaptionsHoldTwoDigits)
{
    EXPECT_EQ(SpunChimeMinute(59, true), 0);
    EXPECT_EQ(SpunChimeMinute(0, false), 59);
    EXPECT_EQ(SpunChimeMinute(4, true), 5);
    EXPECT_EQ(ChimeMinuteCaption(5), ":05");
    EXPECT_EQ(ChimeMinuteCaption(0), ":00");
    EXPECT_EQ(ChimeMinuteCaption(30), ":30");
    EXPECT_EQ(ChimeCaptionMinute(":05"), 5);
    EXPECT_EQ(ChimeCaptionMinute(":59"), 59);
    for (const char* bad : {"", ":5", ":60", "05", ":0a", ":055"})
        EXPECT_EQ(ChimeCaptionMinute(bad), std::nullopt) << '"' << bad << '"';
}

TEST(BuiltInChimeTest, OnlyTagsOneToTheChimeCountNameABuiltInChime)
{
    EXPECT_EQ(BuiltInChimeIndex(1, 25), 0);
    EXPECT_EQ(BuiltInChimeIndex(25, 25), 24);
    for (const int tag : {0, -1, 26, 1000})
        EXPECT_EQ(BuiltInChimeIndex(tag, 25), std::nullopt) << tag;
    EXPECT_EQ(BuiltInChimeIndex(1, 0), std::nullopt);
}

struct GridCase {
    int chimes;
    int userFileTop;
    TChimeButtonPlace last;
};

TEST(ChimeGridTest, FiveButtonsARowAndTheUserFileBelow)
{
    const std::vector<GridCase> cases = {
        {5, 56, {224, 0, 5}},
        {7, 112, {56, 56, 7}},
        {25, 280, {224, 224, 25}},
    };
    for (const GridCase& c : cases) {
        EXPECT_EQ(ChimeGridHeight(c.chimes), c.userFileTop) << c.chimes;
        const TChimeButtonPlace last = ChimeButtonPlace(c.chimes - 1);
        EXPECT_EQ(last.Left, c.last.Left) << c.chimes;
        EXPECT_EQ(last.Top, c.last.Top) << c.chimes;
        EXPECT_EQ(last.Tag, c.last.Tag) << c.chimes;
    }
    const TChimeButtonPlace sixth = ChimeButtonPlace(5);
    EXPECT_EQ(sixth.Left, 0);
    EXPECT_EQ(sixth.Top, 56);
    EXPECT_EQ(sixth.Tag, 6);
}

}  // namespace
