#pragma once
// The day-forest-like scene both renderers play: sixteen looping 3D mono clips
// around the listener (Ogg Vorbis and WAV, 44.1 and 22.05 kHz), a looping
// stereo brook and two rain recordings through an 8-channel matrix mixer.

#include <array>
#include <cstdint>
#include <vector>

namespace audiobench {

constexpr uint32_t kOutputRate = 44100;
constexpr uint32_t kOutputChannels = 2;
constexpr uint32_t kPeriodFrames = kOutputRate / 100;  // 10 ms, as an output period
constexpr uint32_t kSceneSeconds = 60;
constexpr uint32_t kRainMixerChannels = 8;
constexpr uint32_t kRainInputs = 2;

// A sound file and the float frames our decoders make of it.
struct Clip {
    std::vector<uint8_t> file;
    uint32_t rate = 0;
    uint32_t channels = 0;
    std::vector<float> decoded;     // interleaved
    std::vector<uint8_t> floatWav;  // decoded as a float RIFF/WAVE: the data OpenAL gets, as a file
};

// Metres: x to the right, y up, z ahead of the listener at the origin.
struct Position {
    float x;
    float y;
    float z;
};

struct Voice {
    const Clip* clip;
    Position position;
    float volume;
};

struct RainSource {
    const Clip* clip;
    std::array<float, kRainMixerChannels * kRainInputs> matrix;  // [mixer channel][input]
};

struct Scene {
    std::vector<Voice> voices;
    const Clip* brook;
    float brookVolume;
    std::array<RainSource, 2> rain;
};

// Synthesised and encoded on the first call, which takes a few seconds.
const Scene& DayForest();

}  // namespace audiobench
