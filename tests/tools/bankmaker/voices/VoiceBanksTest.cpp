// The creature-voice and music banks: what each holds, how clean and how
// loud its clips are, and the traits that make them sound like what they are.

#include "tools/bankmaker/synth/VoiceBanks.h"

#include "tools/bankmaker/synth/Dsp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

enum class Layout {
    Mono,
    Stereo,
    MostlyMono
};

struct BankCase {
    const char* name;
    int clips;  // as the bank header counts them (all groups)
    Layout layout;
    double minSeconds, maxSeconds;
    double rmsDb;   // the level the kind is set to
    double peakDb;  // and the ceiling of its peaks
};

void PrintTo(const BankCase& bank, std::ostream* os) { *os << bank.name; }

const BankCase kBanks[] = {
    {"ovdw.cok", 191, Layout::MostlyMono, 1.0, 6.5, -18, -5},  // day birds, a few far choruses in stereo
    {"ovdc.3bs", 37, Layout::Mono, 0.5, 8.0, -18, -5},         // crows
    {"ovgh.cok", 23, Layout::Mono, 1.0, 8.0, -22, -6},         // crickets
    {"ovwp.cok", 8, Layout::Mono, 1.0, 8.0, -21, -2},          // woodpeckers
    {"ovcu.3bs", 5, Layout::Mono, 2.0, 8.0, -18, -5},          // cuckoos
    {"ovnb.3bs", 35 + 59, Layout::Mono, 1.0, 12.0, -18, -5},   // owls, other night voices
    {"ovnw.3bs", 29, Layout::Mono, 1.0, 12.0, -18, -5},        // beasts
    {"ovfr.cok", 24, Layout::Mono, 1.0, 12.0, -18, -5},        // frogs (placed in 3D: mono)
    {"ovng.cok", 22, Layout::Mono, 1.0, 12.0, -18, -5},        // nightingales
    {"ovbf.cok", 7, Layout::Stereo, 1.0, 4.0, -22, -4},        // bird fly-bys
    {"ovif.cok", 19, Layout::Stereo, 1.0, 4.0, -22, -4},       // insect fly-bys
    {"ovgu.cok", 468, Layout::Mono, 0.5, 15.0, -18, -1.5},     // guitar
    {"ovha.cok", 128, Layout::Mono, 0.5, 15.0, -18, -1.5},     // accordion
    {"ovfl.cok", 85, Layout::Mono, 0.5, 15.0, -18, -1.5},      // flute
};

size_t Frames(const Sound& s) { return s.samples.size() / s.channels; }

double Seconds(const Sound& s) { return static_cast<double>(Frames(s)) / s.rate; }

// Largest magnitude over frames first .. first+count-1, all channels.
double PeakOver(const Sound& s, size_t first, size_t count)
{
    double peak = 0.0;
    for (size_t f = first; f < std::min(Frames(s), first + count); ++f) {
        for (int c = 0; c < s.channels; ++c) {
            peak = std::max(peak, static_cast<double>(std::fabs(s.samples[f * s.channels + c])));
        }
    }
    return peak;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

class EachBank : public ::testing::TestWithParam<BankCase> {};

TEST_P(EachBank, HoldsItsClipsCleanAndAtTheirLevel)
{
    const BankCase& bank = GetParam();
    const std::vector<SynthClip> clips = VoiceBankClips(bank.name);
    ASSERT_EQ(static_cast<int>(clips.size()), bank.clips);

    std::vector<double> levels, stereoLevels;
    int stereo = 0, wav16 = 0, vorbis = 0;
    std::set<std::vector<float>> distinct;
    for (size_t i = 0; i < clips.size(); ++i) {
        SCOPED_TRACE("clip " + std::to_string(i));
        const Sound& s = clips[i].sound;
        ASSERT_TRUE(s.rate == 22050 || s.rate == 44100) << s.rate;
        ASSERT_TRUE(s.channels == 1 || s.channels == 2);
        ASSERT_FALSE(s.samples.empty());
        EXPECT_GE(Seconds(s), bank.minSeconds);
        EXPECT_LE(Seconds(s), bank.maxSeconds);

        const double peak = Peak(s.samples);
        const double rmsDb = GainToDb(Rms(s.samples));
        EXPECT_LT(GainToDb(peak), -1.0) << "leaves no headroom";
        EXPECT_LE(GainToDb(peak), bank.peakDb + 0.01) << "peaks above its kind";
        EXPECT_LE(rmsDb, bank.rmsDb + 0.5) << "louder than its kind";
        EXPECT_GT(rmsDb, -45.0) << "next to silent";
        levels.push_back(rmsDb);

        // Starts and ends at zero, rising and falling over a few ms: no click.
        EXPECT_LT(PeakOver(s, 0, 1), 1e-4);
        EXPECT_LT(PeakOver(s, Frames(s) - 1, 1), 1e-4);
        EXPECT_LT(PeakOver(s, 0, Samples(s.rate, 0.001)), 0.25 * peak);
        EXPECT_LT(PeakOver(s, Frames(s) - Samples(s.rate, 0.002), Samples(s.rate, 0.002)), 0.25 * peak);

        stereo += s.channels == 2;
        if (s.channels == 2)
            stereoLevels.push_back(rmsDb);
        wav16 += clips[i].encoding == ClipEncoding::Wav16;
        vorbis += clips[i].encoding == ClipEncoding::Vorbis;
        distinct.insert(s.samples);
    }
    EXPECT_EQ(distinct.size(), clips.size()) << "two clips alike";
    EXPECT_NEAR(Median(levels), bank.rmsDb, 6.0) << "the bank sits off its kind's level";

    switch (bank.layout) {
        case Layout::Mono:
            EXPECT_EQ(stereo, 0);
            break;
        case Layout::Stereo:
            EXPECT_EQ(stereo, bank.clips);
            break;
        case Layout::MostlyMono:
            EXPECT_GT(stereo, 0);
            EXPECT_LT(stereo, bank.clips / 10);
            // Stereo clips play unplaced, with nothing taken off for distance.
            for (double level : stereoLevels)
                EXPECT_LT(level, Median(levels) - 3.0) << "a stereo clip stands out";
            break;
    }
    EXPECT_GE(wav16, 1) << "the WAV path gets no clip";
    EXPECT_GE(vorbis, bank.clips * 8 / 10) << "too many clips left uncompressed";
}

std::string BankTestName(const ::testing::TestParamInfo<BankCase>& param)
{
    std::string name = param.param.name;
    std::replace(name.begin(), name.end(), '.', '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(VoiceBanks, EachBank, ::testing::ValuesIn(kBanks), BankTestName);

TEST(VoiceBanks, NamesExactlyTheBanksItMakes)
{
    std::set<std::string> expected;
    for (const BankCase& bank : kBanks)
        expected.insert(bank.name);
    const auto& names = VoiceBankNames();
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()), expected);
    EXPECT_EQ(names.size(), expected.size());
    EXPECT_THROW(VoiceBankClips("ovda.3bs"), std::invalid_argument);
}

TEST(VoiceBanks, SameClipsOnEveryRun)
{
    for (const char* name : {"ovcu.3bs", "ovbf.cok"}) {
        SCOPED_TRACE(name);
        const auto first = VoiceBankClips(name);
        const auto second = VoiceBankClips(name);
        ASSERT_EQ(first.size(), second.size());
        for (size_t i = 0; i < first.size(); ++i) {
            EXPECT_EQ(first[i].sound.samples, second[i].sound.samples) << "clip " << i;
            EXPECT_EQ(first[i].encoding, second[i].encoding) << "clip " << i;
        }
    }
}

// Share of energy on the left (+1) or right (-1) over a stretch of frames.
double Balance(const Sound& s, double from, double to)
{
    double left = 0.0, right = 0.0;
    const double frames = static_cast<double>(Frames(s));
    for (size_t f = static_cast<size_t>(from * frames); f < static_cast<size_t>(to * frames); ++f) {
        left += s.samples[2 * f] * s.samples[2 * f];
        right += s.samples[2 * f + 1] * s.samples[2 * f + 1];
    }
    return (left - right) / (left + right);
}

TEST(VoiceBanks, FlyBysPassFromOneSideToTheOther)
{
    for (const char* name : {"ovbf.cok", "ovif.cok"}) {
        const auto clips = VoiceBankClips(name);
        for (size_t i = 0; i < clips.size(); ++i) {
            SCOPED_TRACE(std::string(name) + " clip " + std::to_string(i));
            const double start = Balance(clips[i].sound, 0.0, 0.3);
            const double end = Balance(clips[i].sound, 0.7, 1.0);
            EXPECT_GT(std::fabs(start), 0.3);
            EXPECT_GT(std::fabs(end), 0.3);
            EXPECT_LT(start * end, 0.0) << "stays on one side";
        }
    }
}

// Pitch of each 10 ms frame loud enough to carry a note (0 for the rest),
// from the mean spacing of its upward zero crossings.
std::vector<double> PitchTrack(const Sound& s)
{
    const size_t frame = Samples(s.rate, 0.01);
    const double loud = 0.1 * Peak(s.samples);
    std::vector<double> track;
    for (size_t start = 0; start + frame <= s.samples.size(); start += frame) {
        const std::vector<float> part(s.samples.begin() + start, s.samples.begin() + start + frame);
        std::vector<double> crossings;
        for (size_t i = start + 1; i < start + frame; ++i) {
            const double a = s.samples[i - 1], b = s.samples[i];
            if (a < 0.0 && b >= 0.0)
                crossings.push_back(static_cast<double>(i - 1) + a / (a - b));
        }
        const bool voiced = Peak(part) > loud && crossings.size() >= 4;
        const double periods = static_cast<double>(crossings.size()) - 1.0;
        track.push_back(voiced ? s.rate * periods / (crossings.back() - crossings.front()) : 0.0);
    }
    return track;
}

// The widest pitch glide within one note: a run of voiced frames, each
// within a fifth of its neighbour's pitch (a gap or a leap ends the note).
double WidestGlide(const std::vector<double>& track)
{
    double widest = 0.0;
    double low = 0.0, high = 0.0;
    for (size_t i = 0; i < track.size(); ++i) {
        const bool sameNote =
            i > 0 && track[i] > 0.0 && track[i - 1] > 0.0 && std::fabs(track[i] / track[i - 1] - 1.0) < 0.2;
        if (!sameNote)
            low = high = track[i];
        low = std::min(low, track[i]);
        high = std::max(high, track[i]);
        if (low > 0.0)
            widest = std::max(widest, high / low - 1.0);
    }
    return widest;
}

TEST(VoiceBanks, BirdNotesGlideInPitch)
{
    const auto clips = VoiceBankClips("ovdw.cok");
    for (size_t i = 0; i < clips.size(); ++i) {
        if (clips[i].sound.channels != 1)
            continue;
        SCOPED_TRACE("clip " + std::to_string(i));
        EXPECT_GT(WidestGlide(PitchTrack(clips[i].sound)), 0.03) << "notes at a constant pitch";
    }
}

TEST(VoiceBanks, PitchTrackSeesThroughASteadyTone)
{
    // A fixed sine beep must not pass for a glide.
    Sound beep;
    beep.rate = 44100;
    Oscillator osc(beep.rate);
    for (size_t i = 0; i < Samples(beep.rate, 0.5); ++i)
        beep.samples.push_back(osc.Sine(3000.0));
    EXPECT_LT(WidestGlide(PitchTrack(beep)), 0.005);
}

}  // namespace
