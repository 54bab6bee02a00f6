#include "bench/audio/Clips.h"

#include "platform/audio/core/ByteSources.h"
#include "platform/audio/core/Decoders.h"
#include "tools/bankmaker/synth/Dsp.h"
#include "tools/bankmaker/synth/Encode.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace audiobench {
namespace {

constexpr float kVorbisQuality = 0.1f;  // the quality the shipped banks use
constexpr int kWavBits = 16;
constexpr uint64_t kSeedBase = 0x0BE1;
constexpr double kRmsDb = -20.0;

constexpr double kBirdSeconds = 3.0;
constexpr double kBirdSecondsStep = 0.25;  // clips of different lengths drift apart when looping
constexpr double kBirdPitch = 2200.0;
constexpr double kBirdPitchStep = 170.0;
constexpr double kChirpsPerSecond = 3.0;
constexpr double kWarbleHz = 28.0;
constexpr double kWarbleDepth = 0.15;
constexpr double kLeafNoiseLevel = 0.05;

constexpr double kBrookHz = 700.0;
constexpr double kBrookQ = 0.5;
constexpr double kRainHz = 2500.0;

// The float frames our own decoders make of the file: what OpenAL is given.
std::vector<float> Decode(const std::vector<uint8_t>& file) {
    int error = 0;
    std::unique_ptr<ovelaudio::Decoder> decoder =
        ovelaudio::OpenDecoder(std::make_unique<ovelaudio::MemorySource>(file.data(), file.size()), error);
    if (!decoder) throw std::runtime_error("a synthesised clip does not decode, error " + std::to_string(error));
    std::vector<float> frames(static_cast<size_t>(decoder->LengthFrames()) * decoder->Channels());
    frames.resize(decoder->Read(frames.data(), frames.size() / decoder->Channels()) * decoder->Channels());
    return frames;
}

Clip Encoded(const Sound& sound, ClipFormat format) {
    Clip clip;
    clip.file = format == ClipFormat::Vorbis ? EncodeVorbis(sound, kVorbisQuality) : EncodeWav(sound, kWavBits);
    clip.rate = static_cast<uint32_t>(sound.rate);
    clip.channels = static_cast<uint32_t>(sound.channels);
    clip.decoded = Decode(clip.file);
    return clip;
}

Signal Filtered(Signal signal, Biquad filter) {
    filter.Run(signal);
    NormaliseRms(signal, kRmsDb);
    return signal;
}

}  // namespace

Clip MakeBirdClip(int index, uint32_t rate, ClipFormat format) {
    const int sampleRate = static_cast<int>(rate);
    Rng rng(kSeedBase + static_cast<uint64_t>(index));
    const size_t count = Samples(sampleRate, kBirdSeconds + kBirdSecondsStep * index);
    const double pitch = kBirdPitch + kBirdPitchStep * index;
    const Signal leaves = PinkNoise(count, rng);
    Oscillator tone(sampleRate);
    Signal song(count);
    for (size_t n = 0; n < count; ++n) {
        const double t = static_cast<double>(n) / sampleRate;
        const double pulse = std::max(0.0, std::sin(TwoPi * kChirpsPerSecond * t));
        const double warble = 1.0 + kWarbleDepth * std::sin(TwoPi * kWarbleHz * t);
        song[n] = static_cast<float>(pulse * tone.Sine(pitch * warble) + kLeafNoiseLevel * leaves[n]);
    }
    NormaliseRms(song, kRmsDb);
    return Encoded(MonoSound(sampleRate, std::move(song)), format);
}

Clip MakeBrookClip(uint32_t rate, double seconds) {
    const int sampleRate = static_cast<int>(rate);
    Rng rng(kSeedBase);
    const size_t count = Samples(sampleRate, seconds);
    const Biquad band = Biquad::BandPass(sampleRate, kBrookHz, kBrookQ);
    const Signal left = Filtered(PinkNoise(count, rng), band);
    const Signal right = Filtered(PinkNoise(count, rng), band);
    return Encoded(StereoSound(sampleRate, left, right), ClipFormat::Vorbis);
}

Clip MakeRainClip(int index, uint32_t rate, double seconds) {
    const int sampleRate = static_cast<int>(rate);
    Rng rng(kSeedBase + static_cast<uint64_t>(index));
    const size_t count = Samples(sampleRate, seconds);
    const Biquad high = Biquad::HighPass(sampleRate, kRainHz);
    const Signal left = Filtered(WhiteNoise(count, rng), high);
    const Signal right = Filtered(WhiteNoise(count, rng), high);
    return Encoded(StereoSound(sampleRate, left, right), ClipFormat::Vorbis);
}

}  // namespace audiobench
