#pragma once
// Fly-bys: a short clip of a bird or an insect passing, sent through a mixer
// whose channel matrix puts its two channels on a random pair of speakers.
// At most one sounds at a time.

#include <array>
#include <cstdint>

// Entries of the older flights bank, by kind.
constexpr std::array<std::uint32_t, 4> FlightBirdClips = {1, 3, 4, 5};
constexpr std::array<std::uint32_t, 7> FlightInsectClips = {0, 2, 6, 7, 8, 9, 10};

enum TFlightMode : int {
    fmChance,  // a bird or an insect now and then, as the board asks
    fmBird,    // a bird at once, as a preview
    fmInsect,  // an insect at once
};

void PlayFlight(int mode);

// The fly-by's volume: a preview at its track bar's position, one by chance
// at 0.37 to 1.00 of it.
float FlightVolume(bool preview, int position);
