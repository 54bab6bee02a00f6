#pragma once
// The line that describes the player and its setting: the user agent of update
// requests and the subject of the mail link.

#include <string>

extern bool ServerEdition;   // offers the autostart service
extern bool OldWindowsLook;  // NT 4 and 2000: plain window class, no animation

struct SystemInfoInputs {
    std::string productName;
    std::string versionText;
    std::string windowsText;    // the short Windows text
    std::string languageName;   // English name of the user's language
    std::string languageBrief;  // the language module's "englangbrief"
    long timeZoneBias = 0;      // minutes; UTC = local time + bias
    int sunriseOffsetHour = 0;
    int sunriseOffsetMinute = 0;
    int sunsetOffsetHour = 0;
    int sunsetOffsetMinute = 0;
    std::string deviceName;
    int speakerCount = 0;
    bool compressed = false;  // sound-space limiter on
    bool hardwareMixing = false;
};

// With escapeSpaces every blank becomes "%20", for the mail link.
std::string BuildSystemInfoLine(const SystemInfoInputs& inputs, bool escapeSpaces);

std::string EscapeSpaces(const std::string& text);

// Sets ServerEdition and OldWindowsLook from the full Windows text (without
// version numbers) and gives back its short form, e.g. "Win7 Pro 64-bit SP1".
std::string ShortenWindowsVersionText(const std::string& text, bool isServer);

// Windows side: the short text of this system.
std::string ShortWindowsVersionText();
