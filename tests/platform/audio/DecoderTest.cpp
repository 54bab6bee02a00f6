// Sound files of each supported kind decode to the samples they hold; broken ones fail cleanly.

#include "platform/audio/core/ByteSources.h"
#include "platform/audio/core/DecodeAhead.h"
#include "platform/audio/core/Decoders.h"
#include "platform/audio/core/VorbisMemory.h"
#include "tests/platform/audio/AudioFixtures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace audiotest {
namespace {

constexpr size_t kFrames = 2000;

struct WaveCase {
    const char* name;
    WaveSpec spec;
    float tolerance;
};

class WaveDecodeTest : public ManualOutput, public ::testing::WithParamInterface<WaveCase> {};

// A left level of 0.5 and a right level of -0.25 must reach the output as they are.
TEST_P(WaveDecodeTest, PlaysTheLevelsItHolds)
{
    const WaveCase& c = GetParam();
    std::vector<float> samples;
    for (size_t f = 0; f < kFrames; ++f) {
        samples.push_back(0.5f);
        if (c.spec.channels == 2)
            samples.push_back(-0.25f);
    }
    const std::vector<uint8_t> file = MakeWave(c.spec, samples);
    const HSTREAM stream = FromMemory(file, 0);
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();

    BASS_CHANNELINFO info{};
    ASSERT_TRUE(BASS_ChannelGetInfo(stream, &info));
    EXPECT_EQ(info.chans, c.spec.channels);
    EXPECT_EQ(info.freq, c.spec.rate);
    EXPECT_EQ(BASS_ChannelGetLength(stream, BASS_POS_BYTE), kFrames * c.spec.channels * 2);

    ASSERT_TRUE(BASS_ChannelPlay(stream, 0));
    const std::vector<float> out = Render(kFrames / 2);
    const float right = c.spec.channels == 2 ? -0.25f : 0.5f;
    EXPECT_NEAR(out[out.size() - 2], 0.5f, c.tolerance);
    EXPECT_NEAR(out[out.size() - 1], right, c.tolerance);
}

INSTANTIATE_TEST_SUITE_P(Formats, WaveDecodeTest,
                         ::testing::Values(WaveCase{"Pcm8Mono", {kPcm, 8, 1, kRate, false}, 0.01f},
                                           WaveCase{"Pcm16Stereo", {kPcm, 16, 2, kRate, false}, 0.001f},
                                           WaveCase{"Pcm24Stereo", {kPcm, 24, 2, kRate, false}, 1e-6f},
                                           WaveCase{"Pcm32Stereo", {kPcm, 32, 2, kRate, false}, 1e-6f},
                                           WaveCase{"FloatStereo", {kFloat, 32, 2, kRate, false}, 1e-6f},
                                           WaveCase{"ExtensibleFloatMono", {kFloat, 32, 1, kRate, true}, 1e-6f},
                                           WaveCase{"Pcm16MonoAt22050", {kPcm, 16, 1, 22050, false}, 0.001f}),
                         [](const auto& test) { return std::string(test.param.name); });

using BrokenInputTest = ManualOutput;

// A comment count with no comments behind it: the decoder gives up half way through its list.
std::vector<uint8_t> VorbisWithPhantomComments()
{
    std::vector<uint8_t> ogg = MakeVorbis(kRate, 4000);
    const size_t vendor = VorbisHeaderAt(ogg, 3) + 7;
    PutLe32At(ogg, vendor + 4 + Le32At(ogg, vendor), 3);
    return ogg;
}

std::vector<uint8_t> VorbisWithEndlessVendor()
{
    std::vector<uint8_t> ogg = MakeVorbis(kRate, 4000);
    PutLe32At(ogg, VorbisHeaderAt(ogg, 3) + 7, 0xFFFFFFFFu);
    return ogg;
}

// Every seventh byte of the codebooks flipped.
std::vector<uint8_t> VorbisWithMangledSetup()
{
    std::vector<uint8_t> ogg = MakeVorbis(kRate, 4000);
    constexpr size_t kKeep = 16;  // the packet tag and the first codebook's sync pattern
    const size_t setup = VorbisHeaderAt(ogg, 5) + kKeep;
    for (size_t i = setup; i < std::min(ogg.size(), setup + 2000); i += 7)
        ogg[i] ^= 0x5A;
    return ogg;
}

// A chunk whose size, rounded up to even, no longer fits 32 bits, in front of good data.
std::vector<uint8_t> WaveWithHugeChunk()
{
    const std::vector<uint8_t> good = MakeConstantWave(1, 100, {0.1f});
    constexpr size_t kDataChunk = 36;
    std::vector<uint8_t> bytes(good.begin(), good.begin() + kDataChunk);
    const uint8_t junk[] = {'J', 'U', 'N', 'K', 0xFF, 0xFF, 0xFF, 0xFF};
    bytes.insert(bytes.end(), std::begin(junk), std::end(junk));
    bytes.insert(bytes.end(), good.begin() + kDataChunk, good.end());
    return bytes;
}

struct BrokenCase {
    const char* name;
    std::vector<uint8_t> bytes;
};

// Cut files, lying headers, mangled Vorbis headers and noise give no stream, never a crash.
TEST_F(BrokenInputTest, GivesNoStream)
{
    const std::vector<uint8_t> good = MakeConstantWave(2, 100, {0.1f, 0.1f});
    const std::vector<BrokenCase> broken = {
        {"wave cut inside the format chunk", {good.begin(), good.begin() + 20}},
        {"wave data without a whole frame", {good.begin(), good.begin() + 46}},
        {"wave chunk of 4 GiB", WaveWithHugeChunk()},
        {"noise", std::vector<uint8_t>(300, 0xA5)},
        {"ogg page header and nothing else", {'O', 'g', 'g', 'S', 0, 2, 0, 0}},
        {"vorbis comments that are not there", VorbisWithPhantomComments()},
        {"vorbis vendor of 4 GiB", VorbisWithEndlessVendor()},
        {"vorbis comment list of 4 GiB", MakeVorbisWithComments(0x20000000u, 0)},
        {"vorbis comment list one entry past 4 GiB", MakeVorbisWithComments(0x20000001u, 0)},
        {"vorbis comment of 4 GiB", MakeVorbisWithComments(1, 0xFFFFFFFFu)},
        {"vorbis comment of 2 GiB", MakeVorbisWithComments(1, 0x7FFFFFFFu)},
        {"vorbis setup mangled", VorbisWithMangledSetup()},
        {"empty", {}},
    };
    for (const BrokenCase& c : broken) {
        const uint8_t none = 0;
        EXPECT_EQ(BASS_StreamCreateFile(1, c.bytes.empty() ? &none : c.bytes.data(), 0, c.bytes.size(), 0), 0u)
            << c.name;
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM) << c.name;
    }
}

// A clip cut anywhere, in its headers or its sound, plays what it holds or
// gives no stream, and leaves none of the decoder's memory behind.
TEST_F(BrokenInputTest, CutClipsLeaveNothingBehind)
{
    constexpr size_t kStep = 97;
    const std::vector<uint8_t> ogg = MakeVorbis(kRate, 8000);
    for (size_t cut = 1; cut < ogg.size(); cut += kStep) {
        SCOPED_TRACE(cut);
        const HSTREAM stream = BASS_StreamCreateFile(1, ogg.data(), 0, cut, BASS_STREAM_AUTOFREE);
        if (stream == 0) {
            EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
            continue;
        }
        ASSERT_TRUE(BASS_ChannelPlay(stream, 0));
        Render(9000);
        EXPECT_EQ(BASS_ChannelIsActive(stream), static_cast<DWORD>(BASS_ACTIVE_STOPPED));
    }
    ovelaudio::WaitForDecodingAhead();
    EXPECT_EQ(ovelaudio::VorbisBlocksHeld(), 0u);
}

// NaN and infinities in a float file are silence, and the largest floats no
// more than loud: nothing the mix adds or filters overflows, and the rest of it plays on.
TEST_F(BrokenInputTest, NonFiniteFloatSamplesAreSilence)
{
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    constexpr float kInfinity = std::numeric_limits<float>::infinity();
    constexpr float kLargest = std::numeric_limits<float>::max();
    const std::vector<float> poisoned = {0.5f, kNaN, kInfinity, -kInfinity, kLargest, kLargest, -kLargest, 0.5f};
    for (uint32_t rate : {kRate, kRate / 2}) {
        SCOPED_TRACE(rate);
        std::vector<float> samples;
        for (size_t i = 0; i < 200; ++i)
            samples.insert(samples.end(), poisoned.begin(), poisoned.end());
        const HSTREAM bad = FromMemory(MakeWave({kFloat, 32, 1, rate, false}, samples), BASS_STREAM_AUTOFREE);
        const HSTREAM good = FromMemory(MakeConstantWave(1, 1000, {0.25f}), BASS_STREAM_AUTOFREE);
        ASSERT_NE(bad, 0u);
        BASS_ChannelPlay(bad, 0);
        BASS_ChannelPlay(good, 0);
        const std::vector<float> out = Render(1000);
        for (size_t i = 0; i < out.size(); ++i)
            ASSERT_TRUE(std::isfinite(out[i])) << "sample " << i;
        EXPECT_NEAR(out[0], 0.75f, 1e-6f);
        if (rate == kRate) {
            EXPECT_NEAR(out[2], 0.25f, 1e-6f);  // where the file holds NaN, only the other stream
        }
        Render(3000);  // both end before the next rate
    }
}

// A data chunk that claims more than the file holds, with an odd byte count, plays what is there.
TEST_F(BrokenInputTest, ClampsDataLongerThanTheFile)
{
    std::vector<uint8_t> file = MakeConstantWave(2, 100, {0.5f, 0.5f});
    file.push_back(0x11);  // a stray odd byte
    file[40] = 0xFF;       // data size far beyond the end
    file[41] = 0xFF;
    const HSTREAM stream = FromMemory(file, 0);
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
    EXPECT_EQ(BASS_ChannelGetLength(stream, BASS_POS_BYTE), 100u * 2 * 2);
}

using VorbisDecodeTest = ManualOutput;

TEST_F(VorbisDecodeTest, DecodesFromMemoryAndFromAFile)
{
    const std::vector<uint8_t> ogg = MakeVorbis(kRate, 8000);
    const std::string path = ::testing::TempDir() + "audio-core-test.ogg";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(ogg.data(), 1, ogg.size(), file);
    std::fclose(file);

    const HSTREAM fromMemory = FromMemory(ogg, BASS_SAMPLE_FLOAT);
    const HSTREAM fromFile = BASS_StreamCreateFile(0, path.c_str(), 0, 0, BASS_STREAM_DECODE);
    std::remove(path.c_str());
    ASSERT_NE(fromMemory, 0u) << BASS_ErrorGetCode();
    ASSERT_NE(fromFile, 0u) << BASS_ErrorGetCode();
    EXPECT_EQ(BASS_ChannelGetLength(fromMemory, BASS_POS_BYTE), 8000u * 4);
    EXPECT_EQ(BASS_ChannelGetLength(fromFile, BASS_POS_BYTE), 8000u * 2);
    EXPECT_NEAR(BASS_ChannelBytes2Seconds(fromFile, 8000u * 2), 8000.0 / kRate, 1e-9);

    ASSERT_TRUE(BASS_ChannelPlay(fromMemory, 0));
    float peak = 0.0f;
    for (float s : Render(4000))
        peak = std::max(peak, std::abs(s));
    EXPECT_NEAR(peak, 0.5f, 0.1f);
}

// The frames of a clip as its decoder makes them.
std::vector<float> Decoded(const std::vector<uint8_t>& file)
{
    int error = 0;
    auto decoder = ovelaudio::OpenDecoder(std::make_unique<ovelaudio::MemorySource>(file.data(), file.size()), error);
    std::vector<float> frames(static_cast<size_t>(decoder->LengthFrames()) * decoder->Channels());
    frames.resize(decoder->Read(frames.data(), frames.size() / decoder->Channels()) * decoder->Channels());
    return frames;
}

// A looped clip decoded ahead: its mixing goes from the clip's own decoder on
// to the frames decoded ahead without a seam, and loops over those, which are
// held to a 16-bit step.
TEST_F(VorbisDecodeTest, AClipDecodedAheadPlaysTheFramesOfItsDecoder)
{
    constexpr size_t kClipFrames = 3000;
    constexpr float kHeldStep = 1.0f / 32768;
    constexpr size_t kBeforeTheWorker = 700;
    const std::vector<uint8_t> ogg = MakeVorbis(kRate, kClipFrames);
    const std::vector<float> clip = Decoded(ogg);
    ASSERT_EQ(clip.size(), kClipFrames);
    ovelaudio::HoldDecodingAhead(true);
    const HSTREAM stream = FromMemory(ogg, BASS_SAMPLE_LOOP);
    ASSERT_TRUE(BASS_ChannelPlay(stream, 0));
    std::vector<float> out = Render(kBeforeTheWorker);
    ovelaudio::HoldDecodingAhead(false);
    ovelaudio::WaitForDecodingAhead();
    const std::vector<float> rest = Render(3 * kClipFrames - kBeforeTheWorker);
    out.insert(out.end(), rest.begin(), rest.end());
    for (size_t f = 0; f < out.size() / 2; ++f) {
        ASSERT_NEAR(out[2 * f], clip[f % kClipFrames], kHeldStep) << "frame " << f;
        ASSERT_NEAR(out[2 * f + 1], clip[f % kClipFrames], kHeldStep) << "frame " << f;
    }
}

// The caller may free a clip's bytes as soon as its stream is freed, while the worker may be at it.
TEST_F(VorbisDecodeTest, AFreedStreamLeavesItsBytesAlone)
{
    for (int i = 0; i < 20; ++i) {
        const std::vector<uint8_t> ogg = MakeVorbis(kRate, 20000);
        const HSTREAM stream = BASS_StreamCreateFile(1, ogg.data(), 0, ogg.size(), 0);
        ASSERT_NE(stream, 0u);
        ASSERT_TRUE(BASS_StreamFree(stream));
    }
    ovelaudio::WaitForDecodingAhead();
}

// Clips decoded ahead share a bounded room, so many layers at once cost no
// more memory: a clip beyond it plays decoded as it goes, and a freed stream
// gives its room back.
TEST_F(VorbisDecodeTest, ClipsDecodedAheadShareABoundedRoom)
{
    constexpr size_t kClipSamples = 200000;  // mono
    constexpr size_t kFitting = ovelaudio::kMostSamplesHeldAhead / kClipSamples;
    const std::vector<uint8_t> ogg = MakeVorbis(kRate, kClipSamples);
    std::vector<HSTREAM> streams;
    for (size_t i = 0; i <= kFitting; ++i)
        streams.push_back(FromMemory(ogg, 0));
    EXPECT_EQ(ovelaudio::SamplesHeldAhead(), kFitting * kClipSamples);
    ovelaudio::WaitForDecodingAhead();
    ASSERT_TRUE(BASS_StreamFree(streams.front()));
    EXPECT_EQ(ovelaudio::SamplesHeldAhead(), (kFitting - 1) * kClipSamples);
    streams.front() = FromMemory(ogg, 0);
    EXPECT_EQ(ovelaudio::SamplesHeldAhead(), kFitting * kClipSamples);
    for (HSTREAM stream : streams)
        ASSERT_TRUE(BASS_StreamFree(stream));
    ovelaudio::WaitForDecodingAhead();
    EXPECT_EQ(ovelaudio::SamplesHeldAhead(), 0u);
}

TEST_F(VorbisDecodeTest, MissingFileFailsToOpen)
{
    EXPECT_EQ(BASS_StreamCreateFile(0, "/nonexistent/clip.ogg", 0, 0, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
}

}  // namespace
}  // namespace audiotest
