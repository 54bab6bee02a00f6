#include "player/window/TrayTip.h"

#include "platform/forms/Charsets.h"
#include "player/window/Scenes.h"

#include <array>

namespace {

constexpr const char* kLineBreak = "\r\n";
constexpr int kMuteItemsByText = 2;  // items 0 and 1 speak for themselves
constexpr int kSleepItem = 2;

// By scene, then: playing, playing armed, silent, silent armed.
constexpr std::array<std::array<const char*, 4>, 2> kIconNames = {{
    {"if", "ift", "ifx", "ifxt"},
    {"ifn", "ifnt", "ifnx", "ifnxt"},
}};

std::string TwoDigits(int value)
{
    std::string text = std::to_string(value);
    return text.size() < 2 ? "0" + text : text;
}

}  // namespace

std::string CapitaliseFirst(const std::string& text, unsigned codePage)
{
    const std::string first = FirstCharacters(text, 1, codePage);
    const std::u16string capital = UpperCase(ToUtf16(first, codePage));
    const std::string upper = FromUtf16(capital, codePage);
    // A capital that the page cannot write leaves the letter as it was.
    if (ToUtf16(upper, codePage) != capital)
        return text;
    return upper + text.substr(first.size());
}

bool TrayArmed(bool muteTime, bool alarmClock, bool innerAlarm, bool fileAlarm, bool haveAlarmFile)
{
    return muteTime || (alarmClock && (innerAlarm || (fileAlarm && haveAlarmFile)));
}

std::string TrayIconName(int scene, bool playing, bool armed)
{
    if (scene != kDayScene && scene != kNightScene)
        return {};
    const std::size_t column = (playing ? 0 : 2) + (armed ? 1 : 0);
    return kIconNames[static_cast<std::size_t>(scene)][column];
}

std::string TimeOfDayText(int hour, int minute) { return TwoDigits(hour) + ":" + TwoDigits(minute); }

std::string AlarmTipLine(const std::string& alarmCaption, int hour, int minute)
{
    return kLineBreak + alarmCaption + " " + TimeOfDayText(hour, minute);
}

std::string MuteActionWord(int itemIndex, const std::string& itemText, const std::string& sleepText,
                           const std::string& offText, unsigned codePage)
{
    if (itemIndex == kSleepItem)
        return sleepText;
    if (itemIndex < 0 || itemIndex >= kMuteItemsByText)
        return offText;
    return CapitaliseFirst(itemText, codePage);
}

std::string MuteTipLine(const std::string& actionWord, int hour, int minute)
{
    return kLineBreak + actionWord + ": " + TimeOfDayText(hour, minute);
}

std::string LostOutputTipLine(const std::string& noSoundText) { return kLineBreak + noSoundText; }

std::string TrayTipText(const std::string& caption, const std::string& versionText, const std::string& lines,
                        unsigned codePage)
{
    const std::string tip = caption + lines;
    if (CharacterCount(tip, codePage) < kTrayTipSize)
        return tip;
    return FirstCharacters(versionText + lines, kTrayTipSize - 1, codePage);
}
