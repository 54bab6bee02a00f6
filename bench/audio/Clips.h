#pragma once
// The scene's recordings, synthesised, encoded and decoded again in memory.

#include "bench/audio/Scene.h"

namespace audiobench {

enum class ClipFormat {
    Vorbis,
    Wav
};

// A warbling chirp over a little leaf noise; index varies pitch, length and seed.
Clip MakeBirdClip(int index, uint32_t rate, ClipFormat format);
// Stereo band-passed noise, Ogg Vorbis.
Clip MakeBrookClip(uint32_t rate, double seconds);
// Stereo high-passed noise, Ogg Vorbis.
Clip MakeRainClip(int index, uint32_t rate, double seconds);

}  // namespace audiobench
