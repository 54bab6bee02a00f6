#include "player/window/Chimes.h"

#include "player/window/ScheduleClock.h"

#include <cctype>

namespace {

constexpr char kCaptionColon = ':';
constexpr std::size_t kCaptionLength = 3;
constexpr int kDecimalBase = 10;

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

}  // namespace

TChimesWindow ChimesWorkTimeAt(int from, int till, int hour)
{
    TChimesWindow window;
    window.Hours = till - from + 1;
    if (window.Hours < 1)
        window.Hours += kHoursPerDay;
    window.RoundTheClock = window.Hours == kHoursPerDay;
    if (window.RoundTheClock)
        window.Active = true;
    else if (from <= till)
        window.Active = from <= hour && hour <= till;
    else
        window.Active = hour >= from || hour <= till;
    return window;
}

std::string ChimeMinuteCaption(int minute)
{
    return std::string(1, kCaptionColon) + (minute < kDecimalBase ? "0" : "") + std::to_string(minute);
}

std::optional<int> ChimeCaptionMinute(const std::string& caption)
{
    if (caption.size() != kCaptionLength || caption[0] != kCaptionColon || !IsDigit(caption[1]) || !IsDigit(caption[2]))
        return std::nullopt;
    const int minute = (caption[1] - '0') * kDecimalBase + (caption[2] - '0');
    if (minute >= kMinutesPerHour)
        return std::nullopt;
    return minute;
}

int SpunChimeMinute(int minute, bool up) { return (minute + (up ? 1 : kMinutesPerHour - 1)) % kMinutesPerHour; }

std::optional<int> BuiltInChimeIndex(int tag, int chimeCount)
{
    if (tag < 1 || tag > chimeCount)
        return std::nullopt;
    return tag - 1;
}

TChimeButtonPlace ChimeButtonPlace(int index)
{
    return {index % kChimeGridColumns * kChimeGridStep, index / kChimeGridColumns * kChimeGridStep, index + 1};
}

int ChimeGridHeight(int chimeCount)
{
    const int rows = (chimeCount + kChimeGridColumns - 1) / kChimeGridColumns;
    return rows * kChimeGridStep;
}
