// MP3 through the ACM codec, on files that lame made from a 440 Hz tone.

#include "platform/audio/core/ByteSources.h"
#include "platform/audio/win/AcmMp3Decoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using ovelaudio::ByteSource;
using ovelaudio::Decoder;
using ovelaudio::FileSource;
using ovelaudio::MemorySource;
using ovelaudio::OpenAcmMp3Decoder;

constexpr double kToneHz = 440;
constexpr double kToneSeconds = 1;
constexpr float kCycleEdge = 0.1f;           // well inside the half-scale tone, above the codec's noise
constexpr uint32_t kSlackFrames = 3 * 1152;  // encoder and decoder delays, the last frame's padding
constexpr size_t kPartFrames = 5000;         // less than one pass of the codec gives

struct Mp3Case {
    const char* file;
    uint32_t rate;
    uint32_t channels;
};

struct Decoded {
    size_t frames = 0;
    std::vector<float> left;  // the first channel
    double rms = 0;           // of the first channel
    size_t cycles = 0;        // of the first channel, quiet noise ignored
};

Decoded DecodeAll(Decoder& decoder)
{
    const uint32_t channels = decoder.Channels();
    std::vector<float> block(4096 * channels);
    Decoded result;
    double sum = 0;
    bool low = false;
    for (size_t got; (got = decoder.Read(block.data(), 4096)) > 0;) {
        for (size_t i = 0; i < got; ++i) {
            const float sample = block[i * channels];
            result.left.push_back(sample);
            sum += double(sample) * sample;
            if (low && sample > kCycleEdge)
                result.cycles++;
            low = sample < kCycleEdge ? (low || sample < -kCycleEdge) : false;
        }
        result.frames += got;
    }
    result.rms = std::sqrt(sum / double(std::max<size_t>(result.frames, 1)));
    return result;
}

class AcmMp3DecoderTest : public testing::TestWithParam<Mp3Case> {};

TEST_P(AcmMp3DecoderTest, DecodesTheToneAndDecodesItAgainAfterRewinds)
{
    const Mp3Case& c = GetParam();
    std::unique_ptr<ByteSource> source = FileSource::Open(std::string(OVEL_MP3_DIR "/") + c.file, 0, 0);
    ASSERT_NE(source, nullptr) << c.file;
    const std::unique_ptr<Decoder> decoder = OpenAcmMp3Decoder(source);
    ASSERT_NE(decoder, nullptr) << c.file;
    EXPECT_EQ(decoder->Rate(), c.rate);
    EXPECT_EQ(decoder->Channels(), c.channels);

    const Decoded first = DecodeAll(*decoder);
    const double toneFrames = c.rate * kToneSeconds;
    EXPECT_NEAR(double(first.frames), toneFrames + kSlackFrames / 2.0, kSlackFrames / 2.0);
    EXPECT_NEAR(double(decoder->LengthFrames()), double(first.frames), kSlackFrames);
    EXPECT_GT(first.rms, 0.2);  // a half-scale sine has 0.35
    EXPECT_NEAR(double(first.cycles), kToneHz * kToneSeconds, kToneHz * 0.05);

    // Once at the end, once part-way, with the codec in the middle of the file.
    ASSERT_TRUE(decoder->Rewind());
    EXPECT_TRUE(DecodeAll(*decoder).left == first.left) << "after a rewind at the end";
    ASSERT_TRUE(decoder->Rewind());
    std::vector<float> part(kPartFrames * c.channels);
    ASSERT_EQ(decoder->Read(part.data(), kPartFrames), kPartFrames);
    ASSERT_TRUE(decoder->Rewind());
    EXPECT_TRUE(DecodeAll(*decoder).left == first.left) << "after a rewind in the middle";
}

INSTANTIATE_TEST_SUITE_P(Files, AcmMp3DecoderTest,
                         testing::Values(Mp3Case{"stereo44.mp3", 44100, 2}, Mp3Case{"mono22-tagged.mp3", 22050, 1}));

TEST(AcmMp3DecoderRefusalTest, LeavesOtherBytesWithTheCallerAtTheirStart)
{
    const std::vector<std::vector<uint8_t>> notMp3 = {
        {},
        {'R', 'I', 'F', 'F', 0x24, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '},
        {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 0},  // a tag and nothing after it
        std::vector<uint8_t>(2000, 0xFF),      // sync bits everywhere, no valid header
        [] {                                   // one frame header, then noise
            std::vector<uint8_t> bytes(1000, 0x55);
            bytes[0] = 0xFF, bytes[1] = 0xFB, bytes[2] = 0x90, bytes[3] = 0x00;
            return bytes;
        }(),
    };
    for (const std::vector<uint8_t>& bytes : notMp3) {
        std::unique_ptr<ByteSource> source = std::make_unique<MemorySource>(bytes.data(), bytes.size());
        EXPECT_EQ(OpenAcmMp3Decoder(source), nullptr) << bytes.size() << " bytes";
        ASSERT_NE(source, nullptr);
        uint8_t firstByte = 0;
        if (!bytes.empty()) {
            ASSERT_EQ(source->Read(&firstByte, 1), 1u);
            EXPECT_EQ(firstByte, bytes[0]);
        }
    }
}

}  // namespace
