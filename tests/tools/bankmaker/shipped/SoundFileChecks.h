#pragma once
// Whether a clip taken out of a bank is a sound file (or picture) that plays
// (or shows) as it is.

#include <cstdint>
#include <string>
#include <vector>

struct TFileCheck {
    std::string Problem;  // empty when the file is sound
    int Channels = 0;     // of a sound file
};

// Decodes the whole stream: one or two channels at 22050 or 44100 Hz, not silent.
TFileCheck CheckVorbisFile(const std::vector<std::uint8_t>& file);
// 8- or 16-bit PCM whose data chunk ends the file, with or without a pad byte.
TFileCheck CheckWaveFile(const std::vector<std::uint8_t>& file);
// A chime button's picture: a BMP of 52 by 52 pixels.
TFileCheck CheckChimePicture(const std::vector<std::uint8_t>& file);
