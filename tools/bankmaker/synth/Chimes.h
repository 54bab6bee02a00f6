#pragma once
// The chimes of the hour: bells, handbells, tubes, bowls and bars, each with
// the picture its button shows in the picker.

#include "tools/bankmaker/synth/Sound.h"

#include <cstdint>
#include <vector>

constexpr int ChimeCount = 25;        // ovch.ics
constexpr int ChimePictureSize = 52;  // pixels, square

// A 24-bit BMP of ChimePictureSize square: the kind of chime in its colour.
std::vector<uint8_t> ChimePicture(int index);

// Bell-like: inharmonic partials, long decay; mono.
SynthClip ChimeSound(int index);
