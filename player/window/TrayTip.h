#pragma once
// What the tray shows for the board's state: the icon's resource name and the
// tip text. Pure, so that the choices are tested without a shell. Texts are
// in the code page of the language module.

#include <cstddef>
#include <string>

// The shell's tip holds 64 characters with the terminating zero.
constexpr std::size_t kTrayTipSize = 64;

// The text with its first character upper-cased, by the rules of Unicode,
// the rest unchanged.
std::string CapitaliseFirst(const std::string& text, unsigned codePage);

// An alarm or a mute-time action waits to fire.
bool TrayArmed(bool muteTime, bool alarmClock, bool innerAlarm, bool fileAlarm, bool haveAlarmFile);

// The icon of type "i" for the scene (0 day, 1 night); empty for any other scene.
std::string TrayIconName(int scene, bool playing, bool armed);

// "07:05".
std::string TimeOfDayText(int hour, int minute);

// A tip line: CR LF, the alarm box's caption, a blank and the time.
std::string AlarmTipLine(const std::string& alarmCaption, int hour, int minute);

// The mute-time action's word: items 0 and 1 by their text with the first
// letter upper-cased, item 2 the sleep text, any other the power-off text.
std::string MuteActionWord(int itemIndex, const std::string& itemText, const std::string& sleepText,
                           const std::string& offText, unsigned codePage);

// A tip line: CR LF, the action word, ": " and the time.
std::string MuteTipLine(const std::string& actionWord, int hour, int minute);

// A tip line while the output device is lost: CR LF and the no-sound text.
std::string LostOutputTipLine(const std::string& noSoundText);

// The caption and the lines; when that does not fit, the version and the
// lines, cut to fit between characters.
std::string TrayTipText(const std::string& caption, const std::string& versionText, const std::string& lines,
                        unsigned codePage);
