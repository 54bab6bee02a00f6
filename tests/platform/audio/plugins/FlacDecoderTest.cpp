// FLAC streams made by the system's encoder decode to exactly what its decoder gives.

#include "platform/audio/plugins/flac/FlacDecoder.h"
#include "tests/platform/audio/plugins/CodecFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace codectest;
using ovelflac::FlacDecoder;

constexpr size_t kFrames = 20000;

struct FlacCase {
    const char* name;
    uint32_t channels;
    uint32_t bits;
    uint32_t rate;
    uint32_t wastedBits;
    const char* options;
};

Encoded Encode(const FlacCase& c)
{
    const std::string wave = ScratchPath("in.wav");
    const std::string flac = ScratchPath("flac");
    const std::string decoded = ScratchPath("out.wav");
    WriteFile(wave, MakeWave(MakeSignal(c.channels, c.bits, kFrames, c.wastedBits), c.channels, c.rate, c.bits));
    EXPECT_TRUE(Run(std::string(OVEL_FLAC) + " --silent -f " + c.options + " -o " + flac + " " + wave));
    EXPECT_TRUE(Run(std::string(OVEL_FLAC) + " -d --silent -f -o " + decoded + " " + flac));
    return {ReadFile(flac), WaveSamples(ReadFile(decoded))};
}

Decoded DecodeAll(const std::vector<uint8_t>& file)
{
    return codectest::DecodeAll<FlacDecoder>(file,
                                             [](int64_t sample, const ovelplugin::StreamInfo&) { return sample; });
}

class FlacDecodeTest : public ::testing::TestWithParam<FlacCase> {};

TEST_P(FlacDecodeTest, MatchesTheSystemDecoderBitForBit)
{
    const FlacCase& c = GetParam();
    const Encoded encoded = Encode(c);
    ASSERT_EQ(encoded.reference.size(), kFrames * c.channels);

    MemoryInput memory(encoded.file);
    ovelplugin::ByteInput input(memory.Input());
    std::unique_ptr<FlacDecoder> decoder = FlacDecoder::Open(input);
    ASSERT_TRUE(decoder);
    EXPECT_EQ(decoder->Info().channels, c.channels);
    EXPECT_EQ(decoder->Info().bitsPerSample, c.bits);
    EXPECT_EQ(decoder->Info().rate, c.rate);
    EXPECT_EQ(decoder->Info().totalFrames, kFrames);
    EXPECT_EQ(DecodeAll(encoded.file).samples, encoded.reference);
}

// Fixed predictors at -0, LPC with every stereo mode at -8, wide samples with
// 5-bit Rice parameters, odd widths, wasted low bits, block sizes of every header code.
INSTANTIATE_TEST_SUITE_P(
    Streams, FlacDecodeTest,
    ::testing::Values(FlacCase{"Stereo16Best", 2, 16, 44100, 0, "-8"}, FlacCase{"Stereo16Fixed", 2, 16, 44100, 0, "-0"},
                      FlacCase{"Stereo16Exhaustive", 2, 16, 32000, 0, "-8 -e -p --lax -l 32 -b 1152"},
                      FlacCase{"Mono8", 1, 8, 8000, 0, "-5 -b 576"},
                      FlacCase{"Mono4", 1, 4, 11025, 0, "-5 --lax -b 192"},
                      FlacCase{"Surround24", 6, 24, 48000, 0, "-5 --channel-map=none"},
                      FlacCase{"Eight12", 8, 12, 22050, 0, "-5 -b 1000 --channel-map=none"},
                      FlacCase{"Stereo20WastedBits", 2, 20, 96000, 4, "-5"},
                      FlacCase{"Stereo32", 2, 32, 192000, 0, "-8 --lax"},
                      FlacCase{"Mono24OddBlock", 1, 24, 44100, 0, "-3 -b 250"}),
    [](const auto& test) { return std::string(test.param.name); });

// Most significant bit first, as FLAC frames are.
class BitWriter {
public:
    void Put(uint64_t value, unsigned bits)
    {
        for (unsigned i = bits; i-- > 0;)
            Bit((value >> i) & 1);
    }
    void Bit(uint64_t bit)
    {
        if (used_ % 8 == 0)
            bytes_.push_back(0);
        bytes_.back() |= static_cast<uint8_t>(bit << (7 - used_ % 8));
        ++used_;
    }
    void PadToByte() { used_ = (used_ + 7) / 8 * 8; }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    size_t used_ = 0;
};

uint8_t Crc8(const std::vector<uint8_t>& bytes)
{
    uint32_t crc = 0;
    for (uint8_t byte : bytes) {
        crc ^= byte;
        for (int i = 0; i < 8; ++i)
            crc = (crc & 0x80) ? ((crc << 1) ^ 0x07) & 0xFF : (crc << 1) & 0xFF;
    }
    return static_cast<uint8_t>(crc);
}

uint16_t Crc16(const std::vector<uint8_t>& bytes)
{
    uint32_t crc = 0;
    for (uint8_t byte : bytes) {
        crc ^= uint32_t{byte} << 8;
        for (int i = 0; i < 8; ++i)
            crc = (crc & 0x8000) ? ((crc << 1) ^ 0x8005) & 0xFFFF : (crc << 1) & 0xFFFF;
    }
    return static_cast<uint16_t>(crc);
}

struct EscapeCase {
    const char* name;
    unsigned method;  // 0: 4-bit Rice parameters, 1: 5-bit
    unsigned width;   // of the escaped samples, 0: all zero
};

// A mono 16-bit stream of one frame of eight samples, fixed predictor of
// order 0, whose one residual partition is escaped: raw samples of width bits.
std::vector<uint8_t> EscapedStream(const EscapeCase& c, const std::vector<int64_t>& samples)
{
    BitWriter stream;
    for (char letter : std::string("fLaC"))
        stream.Put(static_cast<uint8_t>(letter), 8);
    stream.Put(0x80, 8);  // the last metadata block, STREAMINFO
    stream.Put(34, 24);
    stream.Put(samples.size(), 16);
    stream.Put(samples.size(), 16);
    stream.Put(0, 48);
    stream.Put(44100, 20);
    stream.Put(0, 3);   // one channel
    stream.Put(15, 5);  // 16 bits
    stream.Put(samples.size(), 36);
    stream.Put(0, 64);  // no MD5 signature
    stream.Put(0, 64);

    BitWriter frame;
    frame.Put(0xFFF8, 16);
    frame.Put(6, 4);  // block size in 8 bits after the number
    frame.Put(0, 4);  // rate of the stream
    frame.Put(0, 4);  // mono
    frame.Put(4, 3);  // 16 bits
    frame.Put(0, 1);
    frame.Put(0, 8);  // frame 0
    frame.Put(samples.size() - 1, 8);
    frame.Put(Crc8(frame.Bytes()), 8);
    frame.Put(0x10, 8);  // fixed predictor, order 0, no wasted bits
    frame.Put(c.method, 2);
    frame.Put(0, 4);  // one partition
    frame.Put(c.method == 0 ? 0xF : 0x1F, c.method == 0 ? 4 : 5);
    frame.Put(c.width, 5);
    for (int64_t sample : samples)
        frame.Put(static_cast<uint64_t>(sample), c.width);
    frame.PadToByte();
    frame.Put(Crc16(frame.Bytes()), 16);

    std::vector<uint8_t> bytes = stream.Bytes();
    bytes.insert(bytes.end(), frame.Bytes().begin(), frame.Bytes().end());
    return bytes;
}

class FlacEscapeTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(FlacEscapeTest, ReadsEscapedResidualsAsRawSignedSamples)
{
    const unsigned width = GetParam().width;
    std::vector<int64_t> samples = {0, 1, -1, 63, -64, 5, -7, 20};
    for (int64_t& sample : samples)
        sample =
            width == 0 ? 0 : std::clamp<int64_t>(sample, -(int64_t{1} << (width - 1)), (int64_t{1} << (width - 1)) - 1);
    EXPECT_EQ(DecodeAll(EscapedStream(GetParam(), samples)).samples, samples);
}

INSTANTIATE_TEST_SUITE_P(Partitions, FlacEscapeTest,
                         ::testing::Values(EscapeCase{"Rice", 0, 7}, EscapeCase{"Rice2", 1, 16},
                                           EscapeCase{"NarrowRice", 0, 2}, EscapeCase{"ZeroWidth", 1, 0}),
                         [](const auto& test) { return std::string(test.param.name); });

const FlacCase kStereo{"Stereo16", 2, 16, 44100, 0, "-5 -b 1024"};

TEST(FlacInputTest, SkipsAnId3v2TagBeforeTheStream)
{
    const Encoded encoded = Encode(kStereo);
    const std::vector<uint8_t> payload(300, 'x');
    std::vector<uint8_t> tagged = {'I', 'D', '3', 4, 0, 0, 0, 0, 2, 44};  // 300 as a syncsafe size
    tagged.insert(tagged.end(), payload.begin(), payload.end());
    tagged.insert(tagged.end(), encoded.file.begin(), encoded.file.end());
    EXPECT_EQ(DecodeAll(tagged).samples, encoded.reference);
}

TEST(FlacInputTest, RefusesWhatIsNotFlac)
{
    const std::vector<std::vector<uint8_t>> inputs = {
        {}, {'f', 'L', 'a'}, {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'}, {'f', 'L', 'a', 'C', 0x80, 0, 0, 2}};
    for (const std::vector<uint8_t>& bytes : inputs) {
        MemoryInput memory(bytes);
        ovelplugin::ByteInput input(memory.Input());
        EXPECT_FALSE(FlacDecoder::Open(input)) << bytes.size();
    }
}

// A damaged frame plays as silence of its length; every other frame is intact.
TEST(FlacInputTest, ADamagedFrameIsSilentAndTheNextOnesPlay)
{
    const Encoded encoded = Encode(kStereo);
    std::vector<uint8_t> damaged = encoded.file;
    damaged[damaged.size() / 2] ^= 0x5A;
    const size_t silenced = SilencedSamples(DecodeAll(damaged), encoded.reference);
    EXPECT_GT(silenced, 0u);
    EXPECT_LE(silenced, 1024u * kStereo.channels);
}

// A file cut short plays up to the cut, then ends.
TEST(FlacInputTest, ATruncatedStreamPlaysWhatItHasThenEnds)
{
    const Encoded encoded = Encode(kStereo);
    for (const size_t keep : {encoded.file.size() * 3 / 5, size_t{60}}) {
        const std::vector<uint8_t> cut(encoded.file.begin(), encoded.file.begin() + static_cast<std::ptrdiff_t>(keep));
        const Decoded decoded = DecodeAll(cut);
        ASSERT_LE(decoded.samples.size(), encoded.reference.size());
        const size_t whole = decoded.blockStarts.empty() ? 0 : decoded.blockStarts.back() * kStereo.channels;
        EXPECT_TRUE(std::equal(decoded.samples.begin(), decoded.samples.begin() + static_cast<std::ptrdiff_t>(whole),
                               encoded.reference.begin()));
    }
}

}  // namespace
