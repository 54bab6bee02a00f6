#include "tests/tools/bankmaker/synth/VorbisDecode.h"
#include "tools/bankmaker/synth/Alarms.h"
#include "tools/bankmaker/synth/Chimes.h"
#include "tools/bankmaker/synth/Dsp.h"
#include "tools/bankmaker/synth/Encode.h"
#include "tools/bankmaker/synth/Environment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <string>

namespace {

using Maker = SynthClip (*)(int);

// One clip of a bank, with what a listener expects of it.
struct ClipCase {
    const char* name;
    Maker make;
    int index;
    double minSeconds, maxSeconds;
    double minRmsDb, maxRmsDb;
};

// Levels by kind: day ambience about -21 dBFS RMS, night ambience -24 (it
// plays at full volume), water and fire about -24, chimes near music's -18;
// thunder and alarms loud but never clipping.
const ClipCase Clips[] = {
    {"DayFirst", DayBackgroundClip, 0, 10, 30, -24, -18},
    {"DayLast", DayBackgroundClip, DayBackgroundCount - 1, 10, 30, -24, -18},
    {"NightFirst", NightBackgroundClip, 0, 10, 30, -27, -21},
    {"NightLast", NightBackgroundClip, NightBackgroundCount - 1, 10, 30, -27, -21},
    {"Gust", WindGustClip, 0, 3, 12, -33, -25},
    {"GustLong", WindGustClip, WindGustCount - 2, 3, 12, -33, -25},
    {"Puff", WindGustClip, WindGustCount - 1, 0.01, 0.0999, -33, -25},
    {"Clap", ThunderClip, 0, 3, 25, -26, -16},
    {"Roll", ThunderClip, StormGroupCounts[0], 5, 25, -28, -18},
    {"AlarmGentle", AlarmClip, 0, 0.3, 6, -28, -14},
    {"AlarmLoud", AlarmClip, AlarmGroupCounts[0] + AlarmGroupCounts[1] + AlarmGroupCounts[2] - 1, 0.3, 6, -28, -12},
    {"ChimeFirst", ChimeSound, 0, 2, 15, -23, -15},
    {"ChimeLast", ChimeSound, ChimeCount - 1, 2, 15, -23, -15},
};

const ClipCase Loops[] = {
    {"Brook", BrookClip, 0, 10, 40, -27, -21},
    {"Waterfall", BrookClip, 1, 10, 40, -27, -21},
    {"Fire1", FireClip, 0, 10, 40, -28, -21},
    {"Fire3", FireClip, FireClipCount - 1, 10, 40, -28, -21},
    {"Rain1", RainClip, 0, 10, 40, -36, -30},
    {"Rain2", RainClip, RainGroupCounts[0], 10, 40, -36, -30},
    {"Rain3", RainClip, RainGroupCounts[0] + RainGroupCounts[1], 10, 40, -36, -30},
};

std::string CaseName(const testing::TestParamInfo<ClipCase>& info) { return info.param.name; }

void PrintTo(const ClipCase& c, std::ostream* os) { *os << c.name; }

double Seconds(const Sound& s) { return static_cast<double>(s.samples.size()) / s.channels / s.rate; }

// Made once per case: the generators are the slow part of these tests.
const SynthClip& Made(const ClipCase& c)
{
    static std::map<std::pair<Maker, int>, SynthClip> made;
    auto [it, fresh] = made.try_emplace({c.make, c.index});
    if (fresh)
        it->second = c.make(c.index);
    return it->second;
}

float Frame(const Sound& s, size_t frame, int channel) { return s.samples[frame * s.channels + channel]; }

size_t Frames(const Sound& s) { return s.samples.size() / s.channels; }

class EveryClip : public testing::TestWithParam<ClipCase> {};

TEST_P(EveryClip, LengthAndLevelAsTheKindWants)
{
    const Sound& s = Made(GetParam()).sound;
    EXPECT_GE(Seconds(s), GetParam().minSeconds);
    EXPECT_LE(Seconds(s), GetParam().maxSeconds);
    EXPECT_GE(GainToDb(Rms(s.samples)), GetParam().minRmsDb);
    EXPECT_LE(GainToDb(Rms(s.samples)), GetParam().maxRmsDb);
    EXPECT_LE(GainToDb(Peak(s.samples)), -1.0 + 1e-3) << "peaks must stay below -1 dBFS";
}

TEST_P(EveryClip, StartsAndEndsAtZero)
{
    const Sound& s = Made(GetParam()).sound;
    for (int c = 0; c < s.channels; ++c) {
        EXPECT_LT(std::fabs(Frame(s, 0, c)), 2e-3) << "channel " << c;
        EXPECT_LT(std::fabs(Frame(s, Frames(s) - 1, c)), 2e-3) << "channel " << c;
    }
}

TEST_P(EveryClip, SameOnEveryRun)
{
    const SynthClip again = GetParam().make(GetParam().index);
    EXPECT_EQ(again.sound.samples, Made(GetParam()).sound.samples);
}

INSTANTIATE_TEST_SUITE_P(Synth, EveryClip, testing::ValuesIn(Clips), CaseName);
INSTANTIATE_TEST_SUITE_P(Loops, EveryClip, testing::ValuesIn(Loops), CaseName);

// The loop turned round by half, so its seam lies in the middle.
std::vector<float> SeamInMiddle(const Sound& s, int channel)
{
    const size_t n = Frames(s);
    std::vector<float> out(n);
    for (size_t i = 0; i < n; ++i)
        out[i] = Frame(s, (i + n - n / 2) % n, channel);
    return out;
}

double Percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(p * static_cast<double>(values.size() - 1))];
}

// RMS of consecutive windows; the one holding sample `at` is returned apart.
std::vector<double> WindowRms(const std::vector<float>& x, size_t window, size_t at, double& atRms)
{
    std::vector<double> all;
    for (size_t start = 0; start + window <= x.size(); start += window) {
        const double rms = Rms(std::vector<float>(x.begin() + static_cast<std::ptrdiff_t>(start),
                                                  x.begin() + static_cast<std::ptrdiff_t>(start + window)));
        if (at >= start && at < start + window) {
            atRms = rms;
        } else {
            all.push_back(rms);
        }
    }
    return all;
}

class LoopClip : public testing::TestWithParam<ClipCase> {};

TEST_P(LoopClip, SeamJumpIsNoBiggerThanOrdinarySteps)
{
    const Sound& s = Made(GetParam()).sound;
    for (int c = 0; c < s.channels; ++c) {
        std::vector<double> steps;
        for (size_t i = 1; i < Frames(s); ++i)
            steps.push_back(std::fabs(Frame(s, i, c) - Frame(s, i - 1, c)));
        const double seam = std::fabs(Frame(s, 0, c) - Frame(s, Frames(s) - 1, c));
        EXPECT_LE(seam, Percentile(steps, 0.99)) << "channel " << c;
    }
}

TEST_P(LoopClip, SpectrumAroundTheSeamIsLikeAnywhereElse)
{
    const Sound& s = Made(GetParam()).sound;
    const size_t window = Samples(s.rate, 0.05);
    for (int c = 0; c < s.channels; ++c) {
        const std::vector<float> x = SeamInMiddle(s, c);
        // A crossfade gone wrong shows as a dip or a burst in one band.
        for (Biquad band : {Biquad::LowPass(s.rate, 800.0), Biquad::HighPass(s.rate, 4000.0)}) {
            std::vector<float> y = x;
            band.Run(y);
            double seam = 0;
            const std::vector<double> others = WindowRms(y, window, x.size() / 2, seam);
            EXPECT_GE(seam, Percentile(others, 0.01)) << "channel " << c;
            EXPECT_LE(seam, Percentile(others, 0.99)) << "channel " << c;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Synth, LoopClip, testing::ValuesIn(Loops), CaseName);

double Correlation(const Sound& s)
{
    double lr = 0, ll = 0, rr = 0;
    for (size_t i = 0; i < Frames(s); ++i) {
        const double l = Frame(s, i, 0), r = Frame(s, i, 1);
        lr += l * r;
        ll += l * l;
        rr += r * r;
    }
    return lr / std::sqrt(ll * rr);
}

TEST(Rain, IsStereoWithUncorrelatedChannels)
{
    for (int i = 0; i < RainGroupCounts[0] + RainGroupCounts[1] + RainGroupCounts[2]; ++i) {
        const Sound& s = Made({"", RainClip, i, 0, 0, 0, 0}).sound;
        ASSERT_EQ(s.channels, 2);
        EXPECT_LT(std::fabs(Correlation(s)), 0.05) << "clip " << i;
    }
}

TEST(Banks, NoTwoClipsAlike)
{
    struct Bank {
        Maker make;
        int count;
    };
    const Bank banks[] = {{DayBackgroundClip, 3}, {NightBackgroundClip, 3}, {WindGustClip, 3}, {RainClip, 2},
                          {ThunderClip, 3},       {AlarmClip, 4},           {ChimeSound, 3},   {FireClip, 3}};
    for (const Bank& bank : banks) {
        std::set<std::vector<float>> seen;
        for (int i = 0; i < bank.count; ++i) {
            std::vector<float> head = bank.make(i).sound.samples;
            head.resize(std::min<size_t>(head.size(), 20000));
            EXPECT_TRUE(seen.insert(head).second) << "clip " << i;
        }
    }
}

// --- Encoding ---------------------------------------------------------------

class VorbisRoundTrip : public testing::TestWithParam<ClipCase> {};

TEST_P(VorbisRoundTrip, DecodesToTheSameLengthAndLevel)
{
    const SynthClip& clip = Made(GetParam());
    const std::vector<uint8_t> file = EncodeVorbis(clip.sound, clip.vorbisQuality);
    EXPECT_EQ(file, EncodeVorbis(clip.sound, clip.vorbisQuality)) << "encoding must be reproducible";

    const DecodedVorbis decoded = DecodeVorbis(file);
    ASSERT_FALSE(decoded.samples.empty());
    EXPECT_EQ(decoded.channels, clip.sound.channels);
    EXPECT_EQ(decoded.rate, clip.sound.rate);
    // Exact length: a loop that gained or lost samples would tick at its seam.
    EXPECT_EQ(decoded.samples.size(), clip.sound.samples.size());
    std::vector<float> level(decoded.samples.begin(), decoded.samples.end());
    EXPECT_NEAR(GainToDb(Rms(level) / 32768.0), GainToDb(Rms(clip.sound.samples)), 1.0);
}

const ClipCase Encoded[] = {
    {"MonoGust", WindGustClip, 0, 0, 0, 0, 0},
    {"StereoClap", ThunderClip, 0, 0, 0, 0, 0},
    {"LoopedBrook", BrookClip, 0, 0, 0, 0, 0},
};

INSTANTIATE_TEST_SUITE_P(Synth, VorbisRoundTrip, testing::ValuesIn(Encoded), CaseName);

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | b[at + i];
    return v;
}

std::string Tag(const std::vector<uint8_t>& b, size_t at) { return std::string(b.begin() + at, b.begin() + at + 4); }

struct WavCase {
    int channels, rate, bits;
    std::vector<float> samples;
    std::vector<uint8_t> data;  // expected PCM bytes
};

TEST(Wav, HeaderAndSamplesAsWritten)
{
    const WavCase cases[] = {
        // Clamped above full scale, rounded to nearest, unsigned 8-bit around 128.
        {1, 22050, 8, {0.0f, 1.0f, -1.0f, 0.5f, 2.0f}, {128, 255, 1, 192, 255}},
        {2, 44100, 16, {0.0f, 1.0f, -1.0f, -0.5f}, {0, 0, 0xFF, 0x7F, 0x01, 0x80, 0x00, 0xC0}},
    };
    for (const WavCase& c : cases) {
        Sound s;
        s.channels = c.channels;
        s.rate = c.rate;
        s.samples = c.samples;
        const std::vector<uint8_t> wav = EncodeWav(s, c.bits);
        const uint32_t blockAlign = static_cast<uint32_t>(c.channels * c.bits / 8);
        ASSERT_EQ(wav.size(), 44 + c.data.size()) << "no pad byte, even for an odd data size";
        EXPECT_EQ(Tag(wav, 0), "RIFF");
        EXPECT_EQ(Le(wav, 4, 4), wav.size() - 8);
        EXPECT_EQ(Tag(wav, 8), "WAVE");
        EXPECT_EQ(Tag(wav, 12), "fmt ");
        EXPECT_EQ(Le(wav, 16, 4), 16u);
        EXPECT_EQ(Le(wav, 20, 2), 1u);
        EXPECT_EQ(Le(wav, 22, 2), static_cast<uint32_t>(c.channels));
        EXPECT_EQ(Le(wav, 24, 4), static_cast<uint32_t>(c.rate));
        EXPECT_EQ(Le(wav, 28, 4), static_cast<uint32_t>(c.rate) * blockAlign);
        EXPECT_EQ(Le(wav, 32, 2), blockAlign);
        EXPECT_EQ(Le(wav, 34, 2), static_cast<uint32_t>(c.bits));
        EXPECT_EQ(Tag(wav, 36), "data");
        EXPECT_EQ(Le(wav, 40, 4), c.data.size());
        EXPECT_EQ(std::vector<uint8_t>(wav.begin() + 44, wav.end()), c.data);
    }
}

// --- Alarm ------------------------------------------------------------------

TEST(Alarm, GroupsGrowLouderAndMixFormats)
{
    double groupRms[3] = {};
    bool oddPcm = false, mono = false, stereo = false, vorbis = false;
    int index = 0;
    for (int group = 0; group < 3; ++group) {
        for (int k = 0; k < AlarmGroupCounts[group]; ++k, ++index) {
            const SynthClip clip = AlarmClip(index);
            groupRms[group] += Rms(clip.sound.samples) / AlarmGroupCounts[group];
            const size_t bytes = EncodeClip(clip).size();
            oddPcm |= clip.encoding == ClipEncoding::Wav8 && bytes % 2 == 1;
            vorbis |= clip.encoding == ClipEncoding::Vorbis;
            mono |= clip.sound.channels == 1;
            stereo |= clip.sound.channels == 2;
        }
    }
    EXPECT_LT(groupRms[0], groupRms[1]);
    EXPECT_LT(groupRms[1], groupRms[2]);
    EXPECT_TRUE(oddPcm) << "an odd-sized clip exercises the reader's last word";
    EXPECT_TRUE(vorbis);
    EXPECT_TRUE(mono) << "only stereo alarm clips can be swapped";
    EXPECT_TRUE(stereo);
}

// --- Chime pictures -----------------------------------------------------------

TEST(ChimePicture, IsAPlain24BitBmpOfTheButtonSize)
{
    std::set<std::vector<uint8_t>> seen;
    for (int i = 0; i < ChimeCount; ++i) {
        const std::vector<uint8_t> bmp = ChimePicture(i);
        const uint32_t rowBytes = (ChimePictureSize * 3 + 3) / 4 * 4;
        ASSERT_EQ(bmp.size(), 54 + rowBytes * ChimePictureSize) << "picture " << i;
        EXPECT_EQ(bmp[0], 'B');
        EXPECT_EQ(bmp[1], 'M');
        EXPECT_EQ(Le(bmp, 2, 4), bmp.size());
        EXPECT_EQ(Le(bmp, 10, 4), 54u);
        EXPECT_EQ(Le(bmp, 14, 4), 40u);
        EXPECT_EQ(Le(bmp, 18, 4), static_cast<uint32_t>(ChimePictureSize));
        EXPECT_EQ(Le(bmp, 22, 4), static_cast<uint32_t>(ChimePictureSize));
        EXPECT_EQ(Le(bmp, 26, 2), 1u);
        EXPECT_EQ(Le(bmp, 28, 2), 24u);
        EXPECT_EQ(Le(bmp, 30, 4), 0u);
        EXPECT_TRUE(seen.insert(bmp).second) << "picture " << i << " repeats another";
        const std::set<uint8_t> shades(bmp.begin() + 54, bmp.end());
        EXPECT_GT(shades.size(), 20u) << "picture " << i << " is nearly blank";
    }
}

}  // namespace
