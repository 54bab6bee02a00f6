#include "bench/audio/Clips.h"

#include "platform/audio/core/ByteSources.h"
#include "platform/audio/core/Decoders.h"
#include "tools/bankmaker/synth/Dsp.h"
#include "tools/bankmaker/synth/Encode.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace audiobench {
namespace {

constexpr float kVorbisQuality = 0.1f;  // the quality the shipped banks use
constexpr int kWavBits = 16;
constexpr uint16_t kWaveFloatFormat = 3;
constexpr uint32_t kFmtChunkBytes = 16;
constexpr uint32_t kRiffHeaderBytes = 36;  // what the RIFF size counts before the data
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
std::vector<float> Decode(const std::vector<uint8_t>& file)
{
    int error = 0;
    std::unique_ptr<ovelaudio::Decoder> decoder =
        ovelaudio::OpenDecoder(std::make_unique<ovelaudio::MemorySource>(file.data(), file.size()), error);
    if (!decoder)
        throw std::runtime_error("a synthesised clip does not decode, error " + std::to_string(error));
    std::vector<float> frames(static_cast<size_t>(decoder->LengthFrames()) * decoder->Channels());
    frames.resize(decoder->Read(frames.data(), frames.size() / decoder->Channels()) * decoder->Channels());
    return frames;
}

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutTag(std::vector<uint8_t>& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

// 32-bit float RIFF/WAVE of the frames, bit for bit.
std::vector<uint8_t> FloatWave(const std::vector<float>& frames, uint32_t rate, uint32_t channels)
{
    const uint32_t sampleBytes = sizeof(float);
    const uint32_t dataBytes = static_cast<uint32_t>(frames.size()) * sampleBytes;
    std::vector<uint8_t> out;
    out.reserve(kRiffHeaderBytes + 8 + dataBytes);
    PutTag(out, "RIFF");
    PutLe(out, kRiffHeaderBytes + dataBytes, 4);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutLe(out, kFmtChunkBytes, 4);
    PutLe(out, kWaveFloatFormat, 2);
    PutLe(out, channels, 2);
    PutLe(out, rate, 4);
    PutLe(out, rate * channels * sampleBytes, 4);
    PutLe(out, channels * sampleBytes, 2);
    PutLe(out, 8 * sampleBytes, 2);
    PutTag(out, "data");
    PutLe(out, dataBytes, 4);
    for (float sample : frames) {
        uint32_t bits;
        std::memcpy(&bits, &sample, sizeof bits);
        PutLe(out, bits, 4);
    }
    return out;
}

Clip Encoded(const Sound& sound, ClipFormat format)
{
    Clip clip;
    clip.file = format == ClipFormat::Vorbis ? EncodeVorbis(sound, kVorbisQuality) : EncodeWav(sound, kWavBits);
    clip.rate = static_cast<uint32_t>(sound.rate);
    clip.channels = static_cast<uint32_t>(sound.channels);
    clip.decoded = Decode(clip.file);
    clip.floatWav = FloatWave(clip.decoded, clip.rate, clip.channels);
    return clip;
}

Signal Filtered(Signal signal, Biquad filter)
{
    filter.Run(signal);
    NormaliseRms(signal, kRmsDb);
    return signal;
}

}  // namespace

Clip MakeBirdClip(int index, uint32_t rate, ClipFormat format)
{
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

Clip MakeBrookClip(uint32_t rate, double seconds)
{
    const int sampleRate = static_cast<int>(rate);
    Rng rng(kSeedBase);
    const size_t count = Samples(sampleRate, seconds);
    const Biquad band = Biquad::BandPass(sampleRate, kBrookHz, kBrookQ);
    const Signal left = Filtered(PinkNoise(count, rng), band);
    const Signal right = Filtered(PinkNoise(count, rng), band);
    return Encoded(StereoSound(sampleRate, left, right), ClipFormat::Vorbis);
}

Clip MakeRainClip(int index, uint32_t rate, double seconds)
{
    const int sampleRate = static_cast<int>(rate);
    Rng rng(kSeedBase + static_cast<uint64_t>(index));
    const size_t count = Samples(sampleRate, seconds);
    const Biquad high = Biquad::HighPass(sampleRate, kRainHz);
    const Signal left = Filtered(WhiteNoise(count, rng), high);
    const Signal right = Filtered(WhiteNoise(count, rng), high);
    return Encoded(StereoSound(sampleRate, left, right), ClipFormat::Vorbis);
}

}  // namespace audiobench
