#include "bench/audio/Scene.h"

#include "bench/audio/Clips.h"

#include <cmath>

namespace audiobench {
namespace {

constexpr int kBirdClips = 8;  // each plays on two voices
constexpr size_t kVoices = 16;
constexpr uint32_t kHalfRate = kOutputRate / 2;
constexpr double kBrookSeconds = 8.0;
constexpr double kRainSeconds = 6.0;
constexpr float kBrookVolume = 0.6f;

constexpr double kDegrees = 3.14159265358979 / 180.0;
constexpr double kVoiceSpacingDegrees = 360.0 / kVoices;
constexpr double kFirstAzimuthDegrees = 10.0;
constexpr float kNearestMetres = 2.0f;
constexpr size_t kDistanceStride = 7;
constexpr size_t kDistanceSpread = 17;  // metres beyond the nearest
constexpr size_t kHeights = 3;          // 0, 1 and 2 m up
constexpr float kQuietest = 0.6f;
constexpr float kVolumeStep = 0.025f;

struct Recordings {
    std::vector<Clip> birds;
    Clip brook;
    std::array<Clip, 2> rain;
};

// Vorbis and WAV alternate, and so do the two rates in pairs.
Recordings MakeRecordings()
{
    Recordings recordings;
    for (int i = 0; i < kBirdClips; ++i) {
        const uint32_t rate = (i / 2) % 2 == 0 ? kOutputRate : kHalfRate;
        recordings.birds.push_back(MakeBirdClip(i, rate, i % 2 == 0 ? ClipFormat::Vorbis : ClipFormat::Wav));
    }
    recordings.brook = MakeBrookClip(kOutputRate, kBrookSeconds);
    recordings.rain = {MakeRainClip(0, kHalfRate, kRainSeconds), MakeRainClip(1, kHalfRate, kRainSeconds)};
    return recordings;
}

// Around the listener, 2 to 18 m away, at a few heights.
Voice PlacedVoice(size_t index, const Clip& clip)
{
    const double azimuth = (kFirstAzimuthDegrees + kVoiceSpacingDegrees * static_cast<double>(index)) * kDegrees;
    const float distance = kNearestMetres + static_cast<float>((index * kDistanceStride) % kDistanceSpread);
    const Position position{distance * static_cast<float>(std::sin(azimuth)), static_cast<float>(index % kHeights),
                            distance * static_cast<float>(std::cos(azimuth))};
    return {&clip, position, kQuietest + kVolumeStep * static_cast<float>(index)};
}

Scene MakeScene(const Recordings& recordings)
{
    Scene scene;
    for (size_t i = 0; i < kVoices; ++i)
        scene.voices.push_back(PlacedVoice(i, recordings.birds[i % kBirdClips]));
    scene.brook = &recordings.brook;
    scene.brookVolume = kBrookVolume;
    // One rain to the front, centre and rear, the other to the front and the sides.
    scene.rain[0] = {&recordings.rain[0], {1, 0, 0, 1, 0.5f, 0.5f, 0, 0, 0.7f, 0, 0, 0.7f, 0, 0, 0, 0}};
    scene.rain[1] = {&recordings.rain[1], {0.6f, 0, 0, 0.6f, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 1}};
    return scene;
}

}  // namespace

const Scene& DayForest()
{
    static const Recordings recordings = MakeRecordings();
    static const Scene scene = MakeScene(recordings);
    return scene;
}

}  // namespace audiobench
