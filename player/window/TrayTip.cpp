#include "player/window/TrayTip.h"

#include "player/window/Scenes.h"

#include <array>
#include <cctype>

namespace {

constexpr const char* kLineBreak = "\r\n";
constexpr int kMuteItemsByText = 2;  // items 0 and 1 speak for themselves
constexpr int kSleepItem = 2;

// By scene, then: playing, playing armed, silent, silent armed.
constexpr std::array<std::array<const char*, 4>, 2> kIconNames = {{
    {"if", "ift", "ifx", "ifxt"},
    {"ifn", "ifnt", "ifnx", "ifnxt"},
}};

// Upper case in the Russian code page the texts are in, and in ASCII.
char UpperCaseLetter(char letter)
{
    const auto code = static_cast<unsigned char>(letter);
    constexpr unsigned char kSmallYo = 0xB8;
    constexpr unsigned char kCapitalYo = 0xA8;
    constexpr unsigned char kFirstSmallCyrillic = 0xE0;
    constexpr unsigned char kCaseDistance = 0x20;
    if (code == kSmallYo)
        return static_cast<char>(kCapitalYo);
    if (code >= kFirstSmallCyrillic)
        return static_cast<char>(code - kCaseDistance);
    return static_cast<char>(std::toupper(code));
}

std::string TwoDigits(int value)
{
    std::string text = std::to_string(value);
    return text.size() < 2 ? "0" + text : text;
}

}  // namespace

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
                           const std::string& offText)
{
    if (itemIndex == kSleepItem)
        return sleepText;
    if (itemIndex < 0 || itemIndex >= kMuteItemsByText)
        return offText;
    std::string word = itemText;
    if (!word.empty())
        word[0] = UpperCaseLetter(word[0]);
    return word;
}

std::string MuteTipLine(const std::string& actionWord, int hour, int minute)
{
    return kLineBreak + actionWord + ": " + TimeOfDayText(hour, minute);
}

std::string LostOutputTipLine(const std::string& noSoundText) { return kLineBreak + noSoundText; }

std::string TrayTipText(const std::string& caption, const std::string& versionText, const std::string& lines)
{
    std::string tip = caption + lines;
    if (tip.size() < kTrayTipSize)
        return tip;
    tip = versionText + lines;
    if (tip.size() >= kTrayTipSize)
        tip.resize(kTrayTipSize - 1);
    return tip;
}
