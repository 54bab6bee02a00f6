#pragma once
// Export texts of the settings key as reg export writes them.

#include "player/settings/SettingsFile.h"

#include <string>

const std::string kSettingsKeyName = "HKEY_CURRENT_USER\\Software\\Tamlin\\Ovel";
const std::string kExportHeader = "Windows Registry Editor Version 5.00\r\n\r\n";
const std::string kOwnExport = kExportHeader + "[" + kSettingsKeyName +
                               "]\r\n\"C1\"=dword:50200091\r\n\"LangFile\"=\"english.lng\"\r\n"
                               "\"AlarmTime\"=hex:00,00,00,00,00,00,d1,3f\r\n\r\n";

// UTF-16LE with its byte-order mark, as reg export writes; the text is ASCII.
inline TBytes Wide(const std::string& text)
{
    TBytes bytes = {0xFF, 0xFE};
    for (char c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c));
        bytes.push_back(0);
    }
    return bytes;
}

inline TBytes Ansi(const std::string& text) { return TBytes(text.begin(), text.end()); }
