// The forest layers on the library's "no sound" device, rendered into memory:
// clips chain through their END syncs once the GUI thread dispatches them.

#include "LayerPlaybackFixture.h"

#include "platform/audio/core/TestHooks.h"

#include <gtest/gtest.h>

namespace {

TEST_F(LayerPlaybackTest, ClipsChainThroughDispatchedEnds)
{
    board.Set(TBoardControl::Option1TrackBar, 0);
    StartDayLayers();
    const HSTREAM first = LayerChannels[lyDayBackground1];
    ASSERT_TRUE(Playing(lyDayBackground1));
    ASSERT_TRUE(Playing(lyDayBackground2));
    EXPECT_EQ(LayerChannels[lyBirds1], 0u) << "no birds at activity 0";
    StartDayLayers();
    EXPECT_EQ(LayerChannels[lyDayBackground1], first) << "a playing clip is never replaced";

    RenderNoSound(kRenderFrames);
    EXPECT_FALSE(Playing(lyDayBackground1)) << "the next clip waits for the GUI thread";
    DispatchPosted();
    EXPECT_TRUE(Playing(lyDayBackground1));
    EXPECT_TRUE(Playing(lyDayBackground2));
    EXPECT_NE(LayerChannels[lyDayBackground1], first);
}

TEST_F(LayerPlaybackTest, StaleEndIsDropped)
{
    PlayNightBackground1();
    RenderNoSound(kRenderFrames);
    const std::vector<PostedEvent> ended = TakePosted();
    // The layer moved on before the old END reached the GUI thread.
    PlayNightBackground1();
    const HSTREAM current = LayerChannels[lyNightBackground1];
    ASSERT_TRUE(Playing(lyNightBackground1));
    for (const PostedEvent& posted : ended)
        DispatchLayerEvent(posted.event, posted.layer, posted.data);
    EXPECT_EQ(LayerChannels[lyNightBackground1], current);
    EXPECT_EQ(LiveStreamCount(), 1u);
    // The current clip still chains on.
    RenderNoSound(kRenderFrames);
    DispatchPosted();
    EXPECT_TRUE(Playing(lyNightBackground1));
    EXPECT_NE(LayerChannels[lyNightBackground1], current);
}

TEST_F(LayerPlaybackTest, StaleEndDoesNotRestartAStoppedChain)
{
    PlayNightBackground1();
    RenderNoSound(kRenderFrames);
    const std::vector<PostedEvent> ended = TakePosted();
    PlayNightBackground1();
    RemoveLayerEndSync(lyNightBackground1);
    RenderNoSound(kRenderFrames);
    for (const PostedEvent& posted : ended)
        DispatchLayerEvent(posted.event, posted.layer, posted.data);
    EXPECT_FALSE(Playing(lyNightBackground1));
}

TEST_F(LayerPlaybackTest, RemovedEndStopsTheChain)
{
    PlayNightBackground2();
    RemoveLayerEndSync(lyNightBackground2);
    RenderNoSound(kRenderFrames);
    DispatchPosted();
    EXPECT_FALSE(Playing(lyNightBackground2));
}

TEST_F(LayerPlaybackTest, LayerNeverHoldsTwoStreams)
{
    LoadBank(sbOvdw, {}, 3, 1);
    board.Set(TBoardControl::Option1TrackBar, 2);
    board.SetOption(6, {true, 3});
    LoadBank(sbOvcu, {0, 2, 0}, 0, 2);
    constexpr int kDayLayers = 5;
    constexpr int kRounds = 12;
    for (int round = 0; round < kRounds; ++round) {
        StartDayLayers();  // callers may start a layer at any time
        EXPECT_LE(LiveStreamCount(), static_cast<std::size_t>(kDayLayers)) << "round " << round;
        RenderNoSound(kRenderFrames / 2);
        DispatchPosted();
        EXPECT_LE(LiveStreamCount(), static_cast<std::size_t>(kDayLayers)) << "round " << round;
    }
    EXPECT_FALSE(Option6Clip1 && Option6Clip2) << "both strands on the Option6 group";
}

TEST_F(LayerPlaybackTest, OldStreamIsFreedBeforeItsBufferIsReused)
{
    PlayDayBackground1();
    RenderNoSound(kRenderFrames);
    // A stream over the layer's buffer that neither plays nor frees itself.
    const TClipBuffer& clip = ClipBuffers[lyDayBackground1];
    const HSTREAM idle = BASS_StreamCreateFile(1, clip.Words.data(), 0, clip.Bytes, 0);
    ASSERT_NE(idle, 0u);
    LayerChannels[lyDayBackground1] = idle;
    PlayDayBackground1();
    BASS_CHANNELINFO info{};
    EXPECT_FALSE(BASS_ChannelGetInfo(idle, &info)) << "the old stream outlived its buffer";
    EXPECT_TRUE(Playing(lyDayBackground1));
    EXPECT_EQ(LiveStreamCount(), 1u);
}

struct StrandCase {
    const char* name;
    void (*play)();
    TLayerId layer;
    std::uint16_t channels;
    bool placed;
};

void PrintTo(const StrandCase& c, std::ostream* out) { *out << c.name; }

class BirdStreamTest : public LayerPlaybackTest, public ::testing::WithParamInterface<StrandCase> {};

TEST_P(BirdStreamTest, OnlyMonoClipsArePlaced)
{
    const StrandCase& c = GetParam();
    // Ambience and the birds alike are of the case's channel count.
    SoundBanks[sbOvda] = TSoundBank{};
    LoadBank(sbOvda, {0, 2, 0}, 0, c.channels);
    LoadBank(sbOvdw, {}, 2, c.channels);
    c.play();
    ASSERT_TRUE(Playing(c.layer));
    EXPECT_EQ((StreamFlags(LayerChannels[c.layer]) & BASS_SAMPLE_3D) != 0, c.placed);
}

INSTANTIATE_TEST_SUITE_P(Birds, BirdStreamTest,
                         ::testing::Values(StrandCase{"MonoBirds1", PlayBirds1, lyBirds1, 1, true},
                                           StrandCase{"StereoBirds1", PlayBirds1, lyBirds1, 2, false},
                                           StrandCase{"StereoBirds2", PlayBirds2, lyBirds2, 2, false},
                                           StrandCase{"MonoBirds3", PlayBirds3, lyBirds3, 1, true},
                                           StrandCase{"StereoBirds3", PlayBirds3, lyBirds3, 2, false}),
                         [](const ::testing::TestParamInfo<StrandCase>& param) { return param.param.name; });

TEST_F(LayerPlaybackTest, NightLayersPlaceMonoClips)
{
    StartNightLayers();
    for (TLayerId layer : {lyNightBackground1, lyNightBackground2, lyNightVoices1, lyNightVoices2}) {
        ASSERT_TRUE(Playing(layer)) << layer;
        EXPECT_NE(StreamFlags(LayerChannels[layer]) & BASS_SAMPLE_3D, 0u) << layer;
    }
}

TEST_F(LayerPlaybackTest, DeviceFailureReachesTheHandlerOnlyFromHeldStreams)
{
    StartNightLayers();
    ovelaudio::testhooks::FailOutput();
    const std::vector<PostedEvent> failures = TakePosted();
    ASSERT_EQ(failures.size(), 4u);
    for (const PostedEvent& posted : failures)
        DispatchLayerEvent(posted.event, posted.layer, posted.data);
    EXPECT_EQ(DeviceFailures, 4);

    StopLayers();
    for (const PostedEvent& posted : failures)
        DispatchLayerEvent(posted.event, posted.layer, posted.data);
    EXPECT_EQ(DeviceFailures, 4) << "a failure from a stream no layer holds";
}

TEST(SwapStereoDSP, SwapsEachPairAndLeavesAnOddTailAlone)
{
    float samples[] = {1, 2, 3, 4, 5};
    SwapStereoDSP(0, 0, samples, sizeof samples, nullptr);
    EXPECT_EQ(std::vector<float>(samples, samples + 5), (std::vector<float>{2, 1, 4, 3, 5}));
}

}  // namespace
