#include "player/engine/SystemInfoLine.h"

#include <cstring>

bool ServerEdition = false;
bool OldWindowsLook = false;

namespace {

constexpr long kMinutesPerHour = 60;

// A part of the Windows text to cut, keeping its first `kept` characters.
struct Cut {
    const char* part;
    std::size_t kept;
};

constexpr Cut kShorteningCuts[] = {
    {"Microsoft ", 0}, {"Windows ", 3},  // "Windows 7" becomes "Win7"
    {"fessional", 0},                    // "Professional" becomes "Pro"
    {"ervice ", 0},                      // "Service Pack 3" becomes "SP3" with the next cut
    {"ack ", 0},
};

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// ", UTC+3" style: whole hours of -bias, halves rounded away from zero.
std::string TimeZoneText(long bias)
{
    const long minutes = bias < 0 ? -bias : bias;
    const long hours = (minutes + kMinutesPerHour / 2) / kMinutesPerHour;
    std::string text = "UTC";
    if (bias < 0)
        text += "+";
    else if (hours != 0)
        text += "-";
    return text + std::to_string(hours);
}

std::string HourMinute(int hour, int minute) { return std::to_string(hour) + ":" + std::to_string(minute); }

}  // namespace

std::string EscapeSpaces(const std::string& text)
{
    std::string escaped;
    for (char c : text) {
        if (c == ' ')
            escaped += "%20";
        else
            escaped += c;
    }
    return escaped;
}

std::string ShortenWindowsVersionText(const std::string& text, bool isServer)
{
    ServerEdition = isServer;
    OldWindowsLook = Contains(text, "NT") || Contains(text, "2000");
    std::string shortText = text;
    for (const Cut& cut : kShorteningCuts) {
        const std::size_t at = shortText.find(cut.part);
        if (at != std::string::npos)
            shortText.erase(at + cut.kept, std::strlen(cut.part) - cut.kept);
    }
    return shortText;
}

std::string BuildSystemInfoLine(const SystemInfoInputs& inputs, bool escapeSpaces)
{
    std::string line = inputs.productName + " " + inputs.versionText + " (" + inputs.windowsText + " " +
                       inputs.languageName + " (" + inputs.languageBrief + "), " + TimeZoneText(inputs.timeZoneBias) +
                       ";  UpOff " + HourMinute(inputs.sunriseOffsetHour, inputs.sunriseOffsetMinute) + "; DnOff " +
                       HourMinute(inputs.sunsetOffsetHour, inputs.sunsetOffsetMinute) + "; " + inputs.deviceName +
                       ", " + std::to_string(inputs.speakerCount) + " spkrs";
    if (inputs.compressed)
        line += ", compressed";
    if (inputs.hardwareMixing)
        line += ", HMix";
    line += ")";
    return escapeSpaces ? EscapeSpaces(line) : line;
}
