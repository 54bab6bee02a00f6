// Mixers: decode-only sources, channel matrices, ending with their sources.

#include "platform/audio/bassmix.h"
#include "platform/audio/core/TestHooks.h"
#include "tests/platform/audio/AudioFixtures.h"

#include <array>

namespace audiotest {
namespace {

using ovelaudio::testhooks::LiveStreams;

using MixerTest = ManualOutput;

TEST_F(MixerTest, DecodeOnlySourcePlaysOnlyThroughItsMixer)
{
    const HSTREAM source = FromMemory(MakeConstantWave(1, kRate, {0.5f}), BASS_STREAM_DECODE);
    EXPECT_FALSE(BASS_ChannelPlay(source, 0));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DECODE);
    EXPECT_EQ(Render(100).back(), 0.0f);

    const HSTREAM mixer = BASS_Mixer_StreamCreate(kRate, 2, BASS_SAMPLE_FLOAT);
    ASSERT_TRUE(BASS_Mixer_StreamAddChannel(mixer, source, 0));
    ASSERT_TRUE(BASS_ChannelPlay(mixer, 0));
    EXPECT_NEAR(Render(100).back(), 0.5f, 1e-3f);
    EXPECT_EQ(BASS_ChannelIsActive(source), static_cast<DWORD>(BASS_ACTIVE_PLAYING));

    const HSTREAM played = FromMemory(MakeConstantWave(1, 100, {0.5f}), 0);
    EXPECT_FALSE(BASS_Mixer_StreamAddChannel(mixer, played, 0));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DECODE);
}

struct MatrixCase {
    const char* name;
    std::array<float, 4> matrix;  // [mixer channel][source channel]
    float left;
    float right;
};

class MatrixTest : public ManualOutput, public ::testing::WithParamInterface<MatrixCase> {};

// The source holds 0.25 on its left and 0.5 on its right.
TEST_P(MatrixTest, RoutesEachInputToTheOutputsItNames)
{
    const MatrixCase& c = GetParam();
    const HSTREAM source = FromMemory(MakeConstantWave(2, kRate, {0.25f, 0.5f}), BASS_STREAM_DECODE);
    const HSTREAM mixer = BASS_Mixer_StreamCreate(kRate, 2, 0);
    ASSERT_TRUE(BASS_Mixer_StreamAddChannel(mixer, source, BASS_MIXER_MATRIX));
    ASSERT_TRUE(BASS_Mixer_ChannelSetMatrix(source, c.matrix.data()));
    BASS_ChannelPlay(mixer, 0);
    const std::vector<float> out = Render(1000);
    EXPECT_NEAR(out[out.size() - 2], c.left, 1e-3f);
    EXPECT_NEAR(out[out.size() - 1], c.right, 1e-3f);
}

INSTANTIATE_TEST_SUITE_P(Matrices, MatrixTest,
                         ::testing::Values(MatrixCase{"Identity", {1, 0, 0, 1}, 0.25f, 0.5f},
                                           MatrixCase{"Swap", {0, 1, 1, 0}, 0.5f, 0.25f},
                                           MatrixCase{"LeftEverywhere", {1, 0, 1, 0}, 0.25f, 0.25f},
                                           MatrixCase{"HalfSum", {0.5f, 0.5f, 0, 0}, 0.375f, 0.0f}),
                         [](const auto& test) { return std::string(test.param.name); });

void OVEL_AUDIO_CALLBACK Count(HSYNC, DWORD, DWORD, void* user) { ++*static_cast<int*>(user); }

// The fly-by: an auto-free mixer that ends with its auto-free source.
TEST_F(MixerTest, EndsAndFreesItselfWithItsSource)
{
    const HSTREAM source = FromMemory(MakeConstantWave(2, 1000, {0.1f, 0.1f}), BASS_STREAM_DECODE);
    const HSTREAM mixer = BASS_Mixer_StreamCreate(kRate, 2, BASS_STREAM_AUTOFREE | BASS_MIXER_END);
    ASSERT_TRUE(BASS_Mixer_StreamAddChannel(mixer, source, BASS_MIXER_MATRIX | BASS_STREAM_AUTOFREE));
    int sourceEnds = 0, mixerEnds = 0;
    BASS_ChannelSetSync(source, BASS_SYNC_END | BASS_SYNC_ONETIME, 0, Count, &sourceEnds);
    BASS_ChannelSetSync(mixer, BASS_SYNC_END | BASS_SYNC_ONETIME, 0, Count, &mixerEnds);
    BASS_ChannelPlay(mixer, 0);
    Render(500);
    EXPECT_EQ(LiveStreams(), 2u);
    Render(2000);
    EXPECT_EQ(sourceEnds, 1);
    EXPECT_EQ(mixerEnds, 1);
    EXPECT_EQ(LiveStreams(), 0u);
}

// Rain: the source's volume slides inside the mixer; the emptied mixer plays on in silence.
TEST_F(MixerTest, SourceVolumeSlidesInsideTheMixer)
{
    const HSTREAM source = FromMemory(MakeConstantWave(1, kRate, {0.5f}), BASS_STREAM_DECODE);
    const HSTREAM mixer = BASS_Mixer_StreamCreate(kRate, 2, 0);
    BASS_Mixer_StreamAddChannel(mixer, source, 0);
    BASS_ChannelPlay(mixer, 0);
    ASSERT_TRUE(BASS_ChannelSlideAttribute(source, BASS_ATTRIB_VOL, 0.0f, 100));
    EXPECT_NEAR(Render(4410).back(), 0.0f, 1e-4f);
    ASSERT_TRUE(BASS_StreamFree(source));
    Render(100);
    EXPECT_EQ(BASS_ChannelIsActive(mixer), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
}

// The output pulls a 48000 Hz mixer in larger pieces than its sources' blocks.
TEST_F(MixerTest, MixerAtAnotherRateThanTheOutputPlaysItsSource)
{
    const HSTREAM source = FromMemory(MakeConstantWave(1, kRate, {0.5f}), BASS_STREAM_DECODE);
    const HSTREAM mixer = BASS_Mixer_StreamCreate(48000, 2, 0);
    ASSERT_TRUE(BASS_Mixer_StreamAddChannel(mixer, source, 0));
    ASSERT_TRUE(BASS_ChannelPlay(mixer, 0));
    EXPECT_NEAR(Render(4000).back(), 0.5f, 1e-3f);
}

struct TimingCase {
    const char* name;
    uint32_t mixerRate;
    bool slide;  // a 100 ms slide to silence, else a set
};

class MixerTimingTest : public ManualOutput, public ::testing::WithParamInterface<TimingCase> {
protected:
    // Output frames from a change of a mixer source's volume to where the sound
    // first leaves its level and where it is silent.
    struct Heard {
        size_t departs;
        size_t arrives;
    };

    Heard WhenHeard(uint32_t mixerRate)
    {
        constexpr float kLevel = 0.5f;
        const std::vector<float> second(mixerRate, kLevel);
        const HSTREAM source = FromMemory(MakeWave({kPcm, 16, 1, mixerRate, false}, second), BASS_STREAM_DECODE);
        const HSTREAM mixer = BASS_Mixer_StreamCreate(mixerRate, 2, 0);
        EXPECT_TRUE(BASS_Mixer_StreamAddChannel(mixer, source, 0));
        BASS_ChannelPlay(mixer, 0);
        Render(kRate / 10 + 100);
        if (GetParam().slide) {
            EXPECT_TRUE(BASS_ChannelSlideAttribute(source, BASS_ATTRIB_VOL, 0.0f, 100));
        } else {
            EXPECT_TRUE(BASS_ChannelSetAttribute(source, BASS_ATTRIB_VOL, 0.0f));
        }
        const std::vector<float> out = Render(kRate / 5);
        BASS_StreamFree(mixer);
        Heard heard{0, 0};
        while (heard.departs < out.size() / 2 && out[2 * heard.departs] > kLevel - 1e-3f)
            ++heard.departs;
        heard.arrives = heard.departs;
        while (heard.arrives < out.size() / 2 && out[2 * heard.arrives] > 1e-4f)
            ++heard.arrives;
        return heard;
    }
};

// A source of a mixer at another rate than the output's is mixed just before
// it is heard: its changes come as they would at the output's rate.
TEST_P(MixerTimingTest, VolumeChangesAreHeardOnTime)
{
    constexpr size_t kOnTime = kRate / 1000;
    const Heard atOutputRate = WhenHeard(kRate);
    const Heard heard = WhenHeard(GetParam().mixerRate);
    EXPECT_NEAR(static_cast<double>(heard.departs), static_cast<double>(atOutputRate.departs), kOnTime);
    EXPECT_LE(heard.arrives, atOutputRate.arrives + kOnTime);
}

INSTANTIATE_TEST_SUITE_P(Rates, MixerTimingTest,
                         ::testing::Values(TimingCase{"SetAt22050", 22050, false},
                                           TimingCase{"SetAt48000", 48000, false},
                                           TimingCase{"SetAt96000", 96000, false},
                                           TimingCase{"SlideAt32000", 32000, true},
                                           TimingCase{"SlideAt48000", 48000, true}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(MixerTest, RefusesToMakeACycle)
{
    const HSTREAM outer = BASS_Mixer_StreamCreate(kRate, 2, BASS_STREAM_DECODE);
    const HSTREAM inner = BASS_Mixer_StreamCreate(kRate, 2, BASS_STREAM_DECODE);
    const HSTREAM innermost = BASS_Mixer_StreamCreate(kRate, 2, BASS_STREAM_DECODE);
    ASSERT_TRUE(BASS_Mixer_StreamAddChannel(outer, inner, 0));
    ASSERT_TRUE(BASS_Mixer_StreamAddChannel(inner, innermost, 0));
    for (HSTREAM mixer : {outer, inner, innermost}) {
        EXPECT_FALSE(BASS_Mixer_StreamAddChannel(mixer, outer, 0));
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    }
}

}  // namespace
}  // namespace audiotest
