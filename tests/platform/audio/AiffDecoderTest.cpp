// AIFF and AIFF-C files made by the system's converter decode to the samples
// of the same sound as RIFF/WAVE; what we do not decode is refused.

#include "platform/audio/core/AiffDecoder.h"
#include "platform/audio/core/ByteSources.h"
#include "platform/audio/core/WaveDecoder.h"
#include "tests/platform/audio/AudioFixtures.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace audiotest {
namespace {

using ovelaudio::Decoder;
using ovelaudio::OwnedMemorySource;

struct AiffCase {
    const char* name;
    const char* codec;      // of the AIFF file
    const char* waveCodec;  // of the same samples as RIFF/WAVE
    uint32_t rate;
    uint32_t channels;
};

std::vector<uint8_t> Converted(const std::string& source, const char* codec, const std::string& to)
{
    const std::string command = std::string(OVEL_FFMPEG) + " -v error -y -i " + source + " -c:a " + codec + " " + to;
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream in(to, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<float> DecodeAll(Decoder& decoder)
{
    std::vector<float> all;
    std::vector<float> piece(512 * decoder.Channels());
    while (const size_t frames = decoder.Read(piece.data(), 512))
        all.insert(all.end(), piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(frames * decoder.Channels()));
    return all;
}

std::unique_ptr<ovelaudio::ByteSource> SourceOf(std::vector<uint8_t> bytes)
{
    return std::make_unique<OwnedMemorySource>(std::move(bytes));
}

class AiffDecodeTest : public ::testing::TestWithParam<AiffCase> {};

TEST_P(AiffDecodeTest, DecodesTheSamplesOfTheSameWave)
{
    const AiffCase& c = GetParam();
    const std::string base = std::string(OVEL_SCRATCH_DIR) + "/aiff-" + c.name;
    const std::string source = base + "-source.wav";
    const std::string command = std::string(OVEL_SOX) + " -n -b 24 -r " + std::to_string(c.rate) + " -c " +
                                std::to_string(c.channels) + " " + source + " synth 0.3 sine 440 sine 650 gain -2";
    ASSERT_EQ(std::system(command.c_str()), 0);

    std::unique_ptr<ovelaudio::ByteSource> aiffBytes = SourceOf(Converted(source, c.codec, base + ".aiff"));
    std::unique_ptr<ovelaudio::ByteSource> waveBytes = SourceOf(Converted(source, c.waveCodec, base + ".wav"));
    std::unique_ptr<Decoder> aiff = ovelaudio::OpenAiff(aiffBytes);
    std::unique_ptr<Decoder> wave = ovelaudio::OpenWave(waveBytes);
    ASSERT_TRUE(aiff);
    ASSERT_TRUE(wave);
    EXPECT_EQ(aiff->Rate(), c.rate);
    EXPECT_EQ(aiff->Channels(), c.channels);
    EXPECT_EQ(aiff->LengthFrames(), wave->LengthFrames());
    const std::vector<float> samples = DecodeAll(*aiff);
    EXPECT_EQ(samples, DecodeAll(*wave));
    ASSERT_TRUE(aiff->Rewind());
    EXPECT_EQ(DecodeAll(*aiff), samples);
}

INSTANTIATE_TEST_SUITE_P(Encodings, AiffDecodeTest,
                         ::testing::Values(AiffCase{"Pcm16", "pcm_s16be", "pcm_s16le", 44100, 2},
                                           AiffCase{"Pcm8", "pcm_s8", "pcm_u8", 8000, 1},
                                           AiffCase{"Pcm24", "pcm_s24be", "pcm_s24le", 48000, 2},
                                           AiffCase{"Pcm32", "pcm_s32be", "pcm_s32le", 96000, 1},
                                           AiffCase{"Sowt", "pcm_s16le", "pcm_s16le", 22050, 2},
                                           AiffCase{"Float32", "pcm_f32be", "pcm_f32le", 44100, 2},
                                           AiffCase{"Float64", "pcm_f64be", "pcm_f32le", 11025, 1}),
                         [](const auto& test) { return std::string(test.param.name); });

using AiffRefusalTest = ManualOutput;

TEST_F(AiffRefusalTest, RefusesCompressionsItDoesNotDecodeAndBrokenHeaders)
{
    const std::string base = std::string(OVEL_SCRATCH_DIR) + "/aiff-refused";
    ASSERT_EQ(std::system((std::string(OVEL_SOX) + " -n -r 8000 " + base + ".wav synth 0.1 sine 440").c_str()), 0);
    std::vector<uint8_t> ulaw = Converted(base + ".wav", "pcm_mulaw", base + ".aifc");
    std::vector<uint8_t> noSound = Converted(base + ".wav", "pcm_s16be", base + ".aiff");
    noSound.resize(noSound.size() / 2);
    const auto ssnd = std::search(noSound.begin(), noSound.end(), std::begin("SSND"), std::end("SSND") - 1);
    ASSERT_NE(ssnd, noSound.end());
    noSound.erase(ssnd, noSound.end());
    for (std::vector<uint8_t>* bytes : {&ulaw, &noSound}) {
        EXPECT_EQ(FromMemory(*bytes, 0), 0u);
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
    }
}

}  // namespace
}  // namespace audiotest
