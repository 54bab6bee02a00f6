#pragma once
// Settings keys as the registry would hold them, for the loader's tests.

#include "player/settings/PackedWords.h"
#include "player/settings/RegistryValues.h"

#include <cstring>
#include <string>

inline TStoredValue Dword(std::uint32_t value)
{
    TStoredValue stored{kStoredDword, {}};
    for (int i = 0; i < 4; ++i)
        stored.Data.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    return stored;
}

inline TStoredValue Text(const std::string& text)
{
    TStoredValue stored{kStoredString, {text.begin(), text.end()}};
    stored.Data.push_back(0);
    return stored;
}

inline TStoredValue Time(double days)
{
    TStoredValue stored{kStoredBinary, std::vector<std::uint8_t>(sizeof days)};
    std::memcpy(stored.Data.data(), &days, sizeof days);
    return stored;
}

inline double HoursMinutes(int hours, int minutes) { return (hours * 60 + minutes) / 1440.0; }

// A word whose value bits are value, stored with its parity.
inline TStoredValue Word(std::uint32_t value) { return Dword(AddParityBits(value)); }
