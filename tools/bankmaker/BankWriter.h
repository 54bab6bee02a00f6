#pragma once
// Writes sound banks in the player's layouts, clips scrambled as it reads them.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct BankClip {
    std::vector<std::uint8_t> bytes;           // a complete file: WAV, Ogg Vorbis, or a picture
    bool scrambled = true;                     // pictures of the chimes bank are stored plain
    std::optional<std::uint32_t> soundNumber;  // default: the bank's bank number + entry index
};
// Builds the bank named fileName (one of the 27 catalogue names, e.g. "ovda.3bs") with the
// given header values; groupCounts for .3bs (single-group banks: {0, N, 0}), entryCount for
// .cok/.ics (an .ics takes 2*entryCount clips: pictures then sounds). Throws std::invalid_argument
// when the clip count does not match the counts.
std::vector<std::uint8_t> WriteBank(const std::string& fileName, std::uint8_t revision,
                                    std::array<std::uint8_t, 3> groupCounts, std::uint16_t entryCount,
                                    const std::vector<BankClip>& clips);
// The default sound number of a chime sound goes by its tag (tag + 202), which
// is bank number + entry index for the chimes bank of 25 chimes.
// Also throws std::invalid_argument for a name outside the catalogue, outer
// group counts on a single-group bank or a .cok/.ics revision outside 1 .. 223,
// and std::length_error when the clips do not fit the bank's offsets.
