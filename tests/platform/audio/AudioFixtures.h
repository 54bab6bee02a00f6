#pragma once
// Sound files made in memory and a manual "no sound" output to render them.

#include "platform/audio/bass.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <list>
#include <vector>

namespace audiotest {

constexpr uint32_t kRate = 44100;
constexpr uint16_t kPcm = 1;
constexpr uint16_t kFloat = 3;

// What BASS_CONFIG_NET_PLAYLIST says stream creation follows.
constexpr DWORD kFollowNever = 0;
constexpr DWORD kFollowFilesOnly = 1;
constexpr DWORD kFollowFilesAndUrls = 2;

struct WaveSpec {
    uint16_t format;  // kPcm or kFloat
    uint16_t bits;
    uint16_t channels;
    uint32_t rate;
    bool extensible;
};

// A RIFF/WAVE file of the given interleaved samples (-1..1).
std::vector<uint8_t> MakeWave(const WaveSpec& spec, const std::vector<float>& samples);
// frames frames of the same level in every channel, 16-bit.
std::vector<uint8_t> MakeConstantWave(uint16_t channels, size_t frames, const std::vector<float>& levels);
// An Ogg Vorbis file of a mono sine.
std::vector<uint8_t> MakeVorbis(uint32_t rate, size_t frames);
// The same with the comment count, and the first comment's length, put after the vendor string.
std::vector<uint8_t> MakeVorbisWithComments(uint32_t count, uint32_t firstLength);

uint32_t Le32At(const std::vector<uint8_t>& bytes, size_t at);
void PutLe32At(std::vector<uint8_t>& bytes, size_t at, uint32_t value);
// Where a Vorbis header packet (type 3 the comments, 5 the setup) starts.
size_t VorbisHeaderAt(const std::vector<uint8_t>& ogg, char type);

// Device 0 in manual mode, freed after each test.
class ManualOutput : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Interleaved stereo of the next frames of the mix.
    std::vector<float> Render(size_t frames);
    // The clip stays alive for the whole test, as the library expects of its caller.
    HSTREAM FromMemory(std::vector<uint8_t> bytes, DWORD flags);

private:
    std::list<std::vector<uint8_t>> clips_;
};

}  // namespace audiotest
