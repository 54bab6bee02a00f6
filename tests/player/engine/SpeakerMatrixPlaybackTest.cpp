// The weather's and the fly-bys' matrices rendered through a matrix mixer on
// the "no sound" device with more than two speakers: each speaker carries
// what its row says, and the fly-bys never reach the centre or the LFE.

#include "LayerPlaybackFixture.h"

#include "platform/audio/bass.h"
#include "platform/audio/bassmix.h"
#include "platform/audio/core/TestHooks.h"
#include "player/engine/SpeakerMatrices.h"
#include "support/Random.h"

namespace {

constexpr std::int16_t kLeftLevel = 8192;    // 0.25
constexpr std::int16_t kRightLevel = 16384;  // 0.5
constexpr float kSampleScale = 1.0f / 32768.0f;
constexpr std::uint32_t kProbeFrame = kClipFrames / 2;
constexpr int kCentre = 2;
constexpr int kLfe = 3;
constexpr int kDraws = 12;

class SpeakerMatrixPlaybackTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ovelaudio::testhooks::SetNoSoundSpeakers(static_cast<std::uint32_t>(GetParam())));
        ovelaudio::testhooks::SetManualNoSound(true);
        ASSERT_NE(BASS_Init(0, kRate, 0, nullptr, nullptr), 0);
        BASS_INFO info{};
        ASSERT_NE(BASS_GetInfo(&info), 0);
        ASSERT_EQ(static_cast<int>(info.speakers), GetParam());
        clip_ = WaveFileOf(2, kClipFrames, [](std::uint32_t i) { return i % 2 == 0 ? kLeftLevel : kRightLevel; });
    }

    void TearDown() override
    {
        BASS_Free();
        ovelaudio::testhooks::SetManualNoSound(false);
        ovelaudio::testhooks::SetNoSoundSpeakers(2);
    }

    // One frame of the clip mixed through a mixer with the matrix, as the layers play it.
    std::vector<float> RenderedFrame(const TChannelMatrix& matrix)
    {
        const int speakers = GetParam();
        const int channels = MixerChannels(speakers);
        const HSTREAM source =
            BASS_StreamCreateFile(1, clip_.data(), 0, clip_.size(), BASS_SAMPLE_FLOAT | BASS_STREAM_DECODE);
        const HSTREAM mixer = BASS_Mixer_StreamCreate(kRate, static_cast<DWORD>(channels),
                                                      BASS_SAMPLE_FLOAT | BASS_STREAM_AUTOFREE | BASS_MIXER_END);
        EXPECT_NE(source, 0u);
        EXPECT_NE(mixer, 0u);
        EXPECT_NE(BASS_Mixer_StreamAddChannel(mixer, source, BASS_MIXER_MATRIX | BASS_STREAM_AUTOFREE), 0);
        const std::vector<float> gains = SourceMatrix(matrix, channels, 2);
        EXPECT_NE(BASS_Mixer_ChannelSetMatrix(source, gains.data()), 0);
        EXPECT_NE(BASS_ChannelPlay(mixer, 0), 0);
        const std::vector<float> mix = RenderNoSound(kRenderFrames);
        const auto frame = mix.begin() + static_cast<std::ptrdiff_t>(std::size_t{kProbeFrame} * speakers);
        return {frame, frame + speakers};
    }

    // The rendered frame, checked row by row.
    std::vector<float> ExpectRowsOnTheirSpeakers(const TChannelMatrix& matrix)
    {
        const std::vector<float> frame = RenderedFrame(matrix);
        for (int row = 0; row < GetParam(); ++row) {
            const float expected = (matrix[row][0] * kLeftLevel + matrix[row][1] * kRightLevel) * kSampleScale;
            EXPECT_NEAR(frame[row], expected, 1e-4f) << "speaker " << row;
        }
        return frame;
    }

private:
    std::vector<std::uint8_t> clip_;
};

TEST_P(SpeakerMatrixPlaybackTest, TheRainsSurroundReachesEverySpeakerAsItsRowSays)
{
    RandSeed(7);
    for (int draw = 0; draw < kDraws; ++draw) {
        TChannelMatrix matrix{};
        SurroundMatrix(matrix, GetParam());
        ExpectRowsOnTheirSpeakers(matrix);
    }
}

TEST_P(SpeakerMatrixPlaybackTest, AFlyByPlaysOnItsTwoSpeakersAndNeverOnTheCentreOrLfe)
{
    RandSeed(11);
    for (int draw = 0; draw < kDraws; ++draw) {
        TChannelMatrix matrix{};
        PickSpeakerMatrix(matrix, GetParam());
        const std::vector<float> frame = ExpectRowsOnTheirSpeakers(matrix);
        EXPECT_EQ(frame[kCentre], 0.0f);
        EXPECT_EQ(frame[kLfe], 0.0f);
        int sounding = 0;
        for (float sample : frame)
            sounding += sample != 0.0f ? 1 : 0;
        EXPECT_EQ(sounding, 2);
    }
}

INSTANTIATE_TEST_SUITE_P(SixAndEight, SpeakerMatrixPlaybackTest, ::testing::Values(6, 8));

}  // namespace
