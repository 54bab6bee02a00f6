#pragma once
// The chimes: the hours window they sound in, the minute a chime's caption
// holds, which built-in chime a button's Tag names, and where the picker
// places its buttons.

#include <optional>
#include <string>

// The window from hour From to hour Till (items "00" .. "23"); Till before
// From runs past midnight, and a window of 24 hours is round the clock.
struct TChimesWindow {
    int Hours = 0;
    bool RoundTheClock = false;
    bool Active = false;  // the hour lies inside
};

TChimesWindow ChimesWorkTimeAt(int from, int till, int hour);

// A chime's caption is a colon and two digits: ":05".
std::string ChimeMinuteCaption(int minute);
std::optional<int> ChimeCaptionMinute(const std::string& caption);
int SpunChimeMinute(int minute, bool up);  // 59 up gives 0, 0 down gives 59

// Tag T of 1 .. chimeCount names built-in chime T, the picker's button T - 1
// (returned); any other Tag names none, and the user's file stands in.
std::optional<int> BuiltInChimeIndex(int tag, int chimeCount);

// The picker's grid: five buttons a row, 56 pixels apart.
constexpr int kChimeButtonSize = 52;
constexpr int kChimeGridStep = 56;
constexpr int kChimeGridColumns = 5;

struct TChimeButtonPlace {
    int Left = 0;
    int Top = 0;
    int Tag = 0;
};

TChimeButtonPlace ChimeButtonPlace(int index);
int ChimeGridHeight(int chimeCount);  // where the user-file button goes, below the last row
