// WavPack files made by the system's encoder decode to exactly what its
// decoder gives, lossy hybrid files included.

#include "platform/audio/plugins/wavpack/WavPackDecoder.h"
#include "tests/platform/audio/plugins/CodecFixtures.h"

#include <gtest/gtest.h>

namespace {

using namespace codectest;
using ovelwavpack::WavPackDecoder;

constexpr size_t kFrames = 30000;

struct WavPackCase {
    const char* name;
    uint32_t channels;
    uint32_t bits;  // 0: 32-bit float
    uint32_t rate;
    const char* options;
    bool identical = false;  // every channel the same
};

// Integer sound from the signal maker, floats from the system's synthesiser.
std::vector<uint8_t> Source(const WavPackCase& c)
{
    if (c.bits != 0) {
        std::vector<int64_t> signal = MakeSignal(c.channels, c.bits, kFrames);
        for (size_t i = 0; c.identical && i < signal.size(); ++i)
            signal[i] = signal[i - i % c.channels];
        return MakeWave(signal, c.channels, c.rate, c.bits);
    }
    const std::string wave = ScratchPath("float.wav");
    EXPECT_TRUE(Run(std::string(OVEL_SOX) + " -r " + std::to_string(c.rate) + " -c " + std::to_string(c.channels) +
                    " -n -e floating-point -b 32 " + wave + " synth " + std::to_string(kFrames) +
                    "s sine 300 sine 470 gain -3"));
    return ReadFile(wave);
}

Encoded Encode(const WavPackCase& c)
{
    const std::string wave = ScratchPath("in.wav");
    const std::string wv = ScratchPath("wv");
    const std::string decoded = ScratchPath("out.wav");
    WriteFile(wave, Source(c));
    EXPECT_TRUE(Run(std::string(OVEL_WAVPACK) + " -q -y " + c.options + " " + wave + " -o " + wv));
    EXPECT_TRUE(Run(std::string(OVEL_WVUNPACK) + " -q -y " + wv + " -o " + decoded));
    return {ReadFile(wv), WaveSamples(ReadFile(decoded))};
}

// Integers come right-justified in the sound's width and floats as their
// bit patterns, as the reference has them.
Decoded DecodeAll(const std::vector<uint8_t>& file, uint32_t bits)
{
    return codectest::DecodeAll<WavPackDecoder>(file, [bits](int64_t sample, const ovelplugin::StreamInfo& info) {
        return bits == 0 ? static_cast<uint32_t>(sample) : sample >> (info.bitsPerSample - bits);
    });
}

class WavPackDecodeTest : public ::testing::TestWithParam<WavPackCase> {};

TEST_P(WavPackDecodeTest, MatchesTheSystemDecoderBitForBit)
{
    const WavPackCase& c = GetParam();
    const Encoded encoded = Encode(c);
    ASSERT_EQ(encoded.reference.size(), kFrames * c.channels);

    MemoryInput memory(encoded.file);
    ovelplugin::ByteInput input(memory.Input());
    std::unique_ptr<WavPackDecoder> decoder = WavPackDecoder::Open(input);
    ASSERT_TRUE(decoder);
    EXPECT_EQ(decoder->Info().channels, c.channels);
    EXPECT_EQ(decoder->Info().rate, c.rate);
    EXPECT_EQ(decoder->Info().floatSamples, c.bits == 0);
    EXPECT_EQ(decoder->Info().totalFrames, kFrames);
    const Decoded decoded = DecodeAll(encoded.file, c.bits);
    ASSERT_EQ(decoded.samples.size(), encoded.reference.size());
    size_t wrong = 0;
    for (size_t i = 0; i < decoded.samples.size(); ++i)
        wrong += decoded.samples[i] != encoded.reference[i];
    EXPECT_EQ(wrong, 0u)
        << "first at "
        << std::distance(
               decoded.samples.begin(),
               std::mismatch(decoded.samples.begin(), decoded.samples.end(), encoded.reference.begin()).first);
}

// Lossless at every speed (each has its own decorrelation terms), the
// cross-channel terms of the high modes, joint stereo, odd and wide integers,
// floats, multichannel groups, identical channels (false stereo), and hybrid
// files at several bitrates with and without noise shaping.
INSTANTIATE_TEST_SUITE_P(
    Files, WavPackDecodeTest,
    ::testing::Values(
        WavPackCase{"Stereo16", 2, 16, 44100, ""}, WavPackCase{"Stereo16Fast", 2, 16, 44100, "-f"},
        WavPackCase{"Stereo16High", 2, 16, 48000, "-hh -x6"}, WavPackCase{"Stereo16LeftRight", 2, 16, 44100, "-j0"},
        WavPackCase{"Mono8", 1, 8, 8000, "-h"}, WavPackCase{"Mono12", 1, 12, 22050, ""},
        WavPackCase{"Stereo24", 2, 24, 96000, "-x3"}, WavPackCase{"IdenticalChannels", 2, 16, 44100, "", true},
        WavPackCase{"Stereo32", 2, 32, 48000, ""}, WavPackCase{"Surround24", 6, 24, 48000, "-h"},
        WavPackCase{"Eight16", 8, 16, 32000, ""}, WavPackCase{"Float", 2, 0, 44100, ""},
        WavPackCase{"FloatMono", 1, 0, 44100, "-hh"}, WavPackCase{"Hybrid16", 2, 16, 44100, "-b3"},
        WavPackCase{"Hybrid16Low", 2, 16, 44100, "-b2.2 -s0"},
        WavPackCase{"Hybrid16Shaped", 2, 16, 44100, "-b4 -s0.5 -hh"}, WavPackCase{"Hybrid24Mono", 1, 24, 48000, "-b5"},
        WavPackCase{"HybridKbps", 2, 16, 44100, "-b200 --cross-decorr"},
        WavPackCase{"HybridSurround", 6, 16, 48000, "-b3"}, WavPackCase{"HybridFloat", 2, 0, 44100, "-b4"}),
    [](const auto& test) { return std::string(test.param.name); });

const WavPackCase kStereo{"Stereo16", 2, 16, 44100, "--blocksize=4096"};

TEST(WavPackInputTest, RefusesWhatIsNotWavPackOrIsDsd)
{
    std::vector<uint8_t> dsd = Encode(kStereo).file;
    dsd[27] |= 0x80;  // the DSD flag of the first block
    const std::vector<std::vector<uint8_t>> inputs = {
        {}, {'w', 'v', 'p', 'k'}, ReadFile(OVEL_SOURCE_DIR "/README.md"), dsd};
    for (const std::vector<uint8_t>& bytes : inputs) {
        MemoryInput memory(bytes);
        ovelplugin::ByteInput input(memory.Input());
        EXPECT_FALSE(WavPackDecoder::Open(input)) << bytes.size();
    }
}

// A damaged block plays as silence of its length; every other block is intact.
TEST(WavPackInputTest, ADamagedBlockIsSilentAndTheNextOnesPlay)
{
    const Encoded encoded = Encode(kStereo);
    const size_t firstBlockEnd = 8 + (encoded.file[4] | (encoded.file[5] << 8) | (encoded.file[6] << 16));
    for (const size_t at : {encoded.file.size() / 2, firstBlockEnd - 10}) {
        std::vector<uint8_t> damaged = encoded.file;
        damaged[at] ^= 0x5A;
        const size_t silenced = SilencedSamples(DecodeAll(damaged, kStereo.bits), encoded.reference);
        EXPECT_GT(silenced, 0u);
        EXPECT_LE(silenced, 4096u * kStereo.channels);
    }
}

// A file cut short plays its whole blocks, then ends.
TEST(WavPackInputTest, ATruncatedFilePlaysItsWholeBlocksThenEnds)
{
    const Encoded encoded = Encode(kStereo);
    const std::vector<uint8_t> cut(encoded.file.begin(),
                                   encoded.file.begin() + static_cast<std::ptrdiff_t>(encoded.file.size() * 3 / 5));
    const Decoded decoded = DecodeAll(cut, kStereo.bits);
    ASSERT_FALSE(decoded.samples.empty());
    ASSERT_LT(decoded.samples.size(), encoded.reference.size());
    EXPECT_TRUE(std::equal(decoded.samples.begin(), decoded.samples.end(), encoded.reference.begin()));
}

}  // namespace
