#pragma once
// Turning a synthesised Sound into the bytes of a sound file.

#include "tools/bankmaker/synth/Sound.h"

#include <cstdint>
#include <vector>

// Ogg Vorbis, VBR at `quality` (-0.1 .. 1). The same input gives the same bytes.
std::vector<uint8_t> EncodeVorbis(const Sound& sound, float quality);

// RIFF/WAVE PCM of 8 (unsigned) or 16 (signed) bits at the sound's own rate.
// An odd-sized data chunk gets no pad byte, so the file itself has an odd size.
std::vector<uint8_t> EncodeWav(const Sound& sound, int bitsPerSample);

// The encoding the clip asks for.
std::vector<uint8_t> EncodeClip(const SynthClip& clip);
