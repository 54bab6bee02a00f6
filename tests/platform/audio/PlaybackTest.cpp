// Streams on the output: syncs, attributes and slides, 3D placement, devices and handles.

#include "platform/audio/bassmix.h"
#include "platform/audio/core/TestHooks.h"
#include "tests/platform/audio/AudioFixtures.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <future>
#include <limits>

namespace audiotest {
namespace {

using ovelaudio::testhooks::FailOutput;
using ovelaudio::testhooks::LiveStreams;

constexpr DWORD kEndOnce = BASS_SYNC_END | BASS_SYNC_ONETIME;
constexpr DWORD kDevFailOnce = BASS_SYNC_DEV_FAIL | BASS_SYNC_ONETIME;

struct SyncRecord {
    std::atomic<int> calls{0};
    std::atomic<DWORD> activeInside{99};
};

void OVEL_AUDIO_CALLBACK Record(HSYNC, DWORD channel, DWORD, void* user)
{
    auto* record = static_cast<SyncRecord*>(user);
    record->activeInside = BASS_ChannelIsActive(channel);  // calling back in must not deadlock
    ++record->calls;
}

float Rms(const std::vector<float>& out, size_t channel)
{
    double sum = 0.0;
    for (size_t i = channel; i < out.size(); i += 2)
        sum += out[i] * out[i];
    return static_cast<float>(std::sqrt(sum / static_cast<double>(out.size() / 2)));
}

using SyncTest = ManualOutput;

TEST_F(SyncTest, EndRunsOnceThenTheAutoFreeStreamIsGone)
{
    const HSTREAM stream = FromMemory(MakeConstantWave(2, 1000, {0.1f, 0.1f}), BASS_STREAM_AUTOFREE);
    SyncRecord record;
    ASSERT_NE(BASS_ChannelSetSync(stream, kEndOnce, 0, Record, &record), 0u);
    ASSERT_TRUE(BASS_ChannelPlay(stream, 0));
    Render(500);
    EXPECT_EQ(record.calls, 0);
    EXPECT_EQ(BASS_ChannelIsActive(stream), static_cast<DWORD>(BASS_ACTIVE_PLAYING));

    Render(1000);
    EXPECT_EQ(record.calls, 1);
    EXPECT_EQ(record.activeInside, static_cast<DWORD>(BASS_ACTIVE_STOPPED));
    EXPECT_EQ(LiveStreams(), 0u);
    EXPECT_EQ(BASS_ChannelIsActive(stream), static_cast<DWORD>(BASS_ACTIVE_STOPPED));
    Render(1000);
    EXPECT_EQ(record.calls, 1);
}

TEST_F(SyncTest, RemovedSyncNeverRuns)
{
    const HSTREAM stream = FromMemory(MakeConstantWave(1, 300, {0.1f}), 0);
    SyncRecord removed, kept;
    const HSYNC sync = BASS_ChannelSetSync(stream, kEndOnce, 0, Record, &removed);
    BASS_ChannelSetSync(stream, BASS_SYNC_END, 0, Record, &kept);
    ASSERT_TRUE(BASS_ChannelRemoveSync(stream, sync));
    BASS_ChannelPlay(stream, 0);
    Render(1000);
    BASS_ChannelPlay(stream, 1);
    Render(1000);
    EXPECT_EQ(removed.calls, 0);
    EXPECT_EQ(kept.calls, 2);  // not one-time: it runs at every end
    EXPECT_TRUE(BASS_StreamFree(stream));
}

TEST_F(SyncTest, DeviceFailureReachesEveryStreamsSync)
{
    SyncRecord first, second;
    const HSTREAM a = FromMemory(MakeConstantWave(1, 300, {0.1f}), 0);
    const HSTREAM b = FromMemory(MakeConstantWave(1, 300, {0.1f}), BASS_STREAM_DECODE);
    BASS_ChannelSetSync(a, kDevFailOnce, 0, Record, &first);
    BASS_ChannelSetSync(b, kDevFailOnce, 0, Record, &second);
    FailOutput();
    EXPECT_EQ(first.calls, 1);
    EXPECT_EQ(second.calls, 1);
}

std::promise<BOOL>* freeResult = nullptr;

void OVEL_AUDIO_CALLBACK FreeFromSync(HSYNC, DWORD, DWORD, void*) { freeResult->set_value(BASS_Free()); }

TEST_F(SyncTest, FreeFromInsideASyncReturns)
{
    std::promise<BOOL> result;
    freeResult = &result;
    const HSTREAM stream = FromMemory(MakeConstantWave(1, 100, {0.1f}), 0);
    BASS_ChannelSetSync(stream, kEndOnce, 0, FreeFromSync, nullptr);
    BASS_ChannelPlay(stream, 0);
    Render(600);
    std::future<BOOL> done = result.get_future();
    ASSERT_EQ(done.wait_for(std::chrono::seconds(30)), std::future_status::ready);
    EXPECT_TRUE(done.get());
    EXPECT_EQ(BASS_GetDevice(), static_cast<DWORD>(-1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    EXPECT_TRUE(BASS_Init(0, kRate, 0, nullptr, nullptr));  // and the library opens again
}

struct SlideCase {
    const char* name;
    DWORD attrib;
    float target;
    float left;  // expected at the slide's end
    float right;
};

class SlideTest : public ManualOutput, public ::testing::WithParamInterface<SlideCase> {};

// 100 ms at 44100 Hz: half way there after 2205 frames, there after 4410, and it stays.
TEST_P(SlideTest, ReachesItsValueAtTheGivenTime)
{
    const SlideCase& c = GetParam();
    const HSTREAM stream = FromMemory(MakeConstantWave(1, kRate, {0.5f}), 0);
    BASS_ChannelPlay(stream, 0);
    ASSERT_TRUE(BASS_ChannelSlideAttribute(stream, c.attrib, c.target, 100));
    std::vector<float> out = Render(2205);
    EXPECT_NEAR(out[out.size() - 2], (0.5f + c.left) / 2, 1e-3f);
    EXPECT_NEAR(out[out.size() - 1], (0.5f + c.right) / 2, 1e-3f);
    for (int i = 0; i < 2; ++i) {
        out = Render(2205);
        EXPECT_NEAR(out[out.size() - 2], c.left, 1e-3f);
        EXPECT_NEAR(out[out.size() - 1], c.right, 1e-3f);
    }
}

INSTANTIATE_TEST_SUITE_P(Attributes, SlideTest,
                         ::testing::Values(SlideCase{"VolumeDown", BASS_ATTRIB_VOL, 0.0f, 0.0f, 0.0f},
                                           SlideCase{"PanLeft", BASS_ATTRIB_PAN, -1.0f, 0.5f, 0.0f},
                                           SlideCase{"PanRight", BASS_ATTRIB_PAN, 1.0f, 0.0f, 0.5f}),
                         [](const auto& test) { return std::string(test.param.name); });

// Fades are started on streams that are not playing yet, or whose mixer is not.
TEST_F(SlideTest, RunsOnOutputTimeWhileTheChannelIsNotMixed)
{
    const HSTREAM stopped = FromMemory(MakeConstantWave(1, kRate, {0.5f}), 0);
    const HSTREAM source = FromMemory(MakeConstantWave(1, kRate, {0.5f}), BASS_STREAM_DECODE);
    const HSTREAM mixer = BASS_Mixer_StreamCreate(kRate, 2, 0);
    ASSERT_TRUE(BASS_Mixer_StreamAddChannel(mixer, source, 0));
    for (HSTREAM stream : {stopped, source})
        ASSERT_TRUE(BASS_ChannelSlideAttribute(stream, BASS_ATTRIB_VOL, 0.0f, 100));
    Render(4410);
    BASS_ChannelPlay(stopped, 0);
    EXPECT_NEAR(Render(10).back(), 0.0f, 1e-6f);
    BASS_ChannelStop(stopped);
    BASS_ChannelPlay(mixer, 0);
    EXPECT_NEAR(Render(10).back(), 0.0f, 1e-6f);
}

using AttributeTest = ManualOutput;

TEST_F(AttributeTest, ASetReplacesARunningSlideAndGlobalVolumeScalesAll)
{
    const HSTREAM stream = FromMemory(MakeConstantWave(1, kRate, {0.5f}), 0);
    BASS_ChannelPlay(stream, 0);
    BASS_ChannelSlideAttribute(stream, BASS_ATTRIB_VOL, 0.0f, 1000);
    Render(1000);
    ASSERT_TRUE(BASS_ChannelSetAttribute(stream, BASS_ATTRIB_VOL, 0.8f));
    ASSERT_TRUE(BASS_SetConfig(BASS_CONFIG_GVOL_STREAM, 5000));
    Render(1000);
    const std::vector<float> out = Render(1000);
    BASS_SetConfig(BASS_CONFIG_GVOL_STREAM, 10000);
    EXPECT_NEAR(out.back(), 0.5f * 0.8f * 0.5f, 1e-3f);
    EXPECT_FALSE(BASS_ChannelSetAttribute(stream, 99, 1.0f));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLTYPE);
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

struct RefusalCase {
    const char* name;
    std::function<BOOL()> call;
};

// A NaN or an infinity would reach every sample of the mix: the call is refused and the old value stays.
TEST_F(AttributeTest, NonFiniteValuesAreRefusedAndTheOldOnesKept)
{
    const BASS_3DVECTOR listener{0.0f, 1.7f, 0.0f}, near{0.0f, 1.7f, 2.0f};
    ASSERT_TRUE(BASS_Set3DFactors(1.0f, 1.0f, 0.0f));
    ASSERT_TRUE(BASS_Set3DPosition(&listener, nullptr, nullptr, nullptr));
    const HSTREAM placed = FromMemory(MakeConstantWave(1, kRate, {0.5f}), BASS_SAMPLE_3D | BASS_SAMPLE_LOOP);
    ASSERT_TRUE(BASS_ChannelSet3DPosition(placed, &near, nullptr, nullptr));
    const HSTREAM source = FromMemory(MakeConstantWave(1, kRate, {0.25f}), BASS_STREAM_DECODE | BASS_SAMPLE_LOOP);
    const HSTREAM mixer = BASS_Mixer_StreamCreate(kRate, 2, 0);
    ASSERT_TRUE(BASS_Mixer_StreamAddChannel(mixer, source, BASS_MIXER_MATRIX));
    const float matrix[] = {1.0f, 1.0f};
    ASSERT_TRUE(BASS_Mixer_ChannelSetMatrix(source, matrix));
    BASS_Apply3D();
    BASS_ChannelPlay(placed, 0);
    BASS_ChannelPlay(mixer, 0);
    Render(1024);
    const std::vector<float> before = Render(16);

    const auto vector = [](float x, float y, float z) { return BASS_3DVECTOR{x, y, z}; };
    const std::vector<RefusalCase> refused = {
        {"volume NaN", [&] { return BASS_ChannelSetAttribute(placed, BASS_ATTRIB_VOL, kNaN); }},
        {"pan infinite", [&] { return BASS_ChannelSetAttribute(mixer, BASS_ATTRIB_PAN, kInfinity); }},
        {"slide to NaN", [&] { return BASS_ChannelSlideAttribute(placed, BASS_ATTRIB_VOL, kNaN, 100); }},
        {"source slide to minus infinity",
         [&] { return BASS_ChannelSlideAttribute(source, BASS_ATTRIB_VOL, -kInfinity, 100); }},
        {"source position NaN",
         [&] {
             const BASS_3DVECTOR at = vector(kNaN, 1.7f, 2.0f);
             return BASS_ChannelSet3DPosition(placed, &at, nullptr, nullptr);
         }},
        {"listener position infinite",
         [&] {
             const BASS_3DVECTOR at = vector(kInfinity, 1.7f, 0.0f);
             return BASS_Set3DPosition(&at, nullptr, nullptr, nullptr);
         }},
        {"listener front NaN",
         [&] {
             const BASS_3DVECTOR front = vector(0.0f, 0.0f, kNaN);
             return BASS_Set3DPosition(nullptr, nullptr, &front, nullptr);
         }},
        {"listener top infinite",
         [&] {
             const BASS_3DVECTOR top = vector(0.0f, kInfinity, 0.0f);
             return BASS_Set3DPosition(nullptr, nullptr, nullptr, &top);
         }},
        {"distance factor infinite", [&] { return BASS_Set3DFactors(kInfinity, 1.0f, 0.0f); }},
        {"rolloff NaN", [&] { return BASS_Set3DFactors(1.0f, kNaN, 0.0f); }},
        {"matrix gain NaN",
         [&] {
             const float poisoned[] = {1.0f, kNaN};
             return BASS_Mixer_ChannelSetMatrix(source, poisoned);
         }},
    };
    for (const RefusalCase& c : refused) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(c.call());
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
        BASS_Apply3D();
        Render(1024);
        const std::vector<float> after = Render(16);
        for (size_t i = 0; i < after.size(); ++i)
            ASSERT_NEAR(after[i], before[i], 1e-5f) << "sample " << i;
    }
}

struct ResumeCase {
    const char* name;
    bool throughMixer;  // the stream is a source of a mixer, which is stopped and played
};

class ResumeTest : public ManualOutput, public ::testing::WithParamInterface<ResumeCase> {};

// A fade-in starts on a stopped stream: its first frame must not have the volume it had before.
TEST_P(ResumeTest, ThePlayedStreamHasItsNewVolumeFromItsFirstFrame)
{
    const ResumeCase& c = GetParam();
    const HSTREAM stream = FromMemory(MakeConstantWave(1, kRate, {0.5f}), c.throughMixer ? BASS_STREAM_DECODE : 0);
    HSTREAM played = stream;
    if (c.throughMixer) {
        played = BASS_Mixer_StreamCreate(kRate, 2, 0);
        ASSERT_TRUE(BASS_Mixer_StreamAddChannel(played, stream, 0));
    }
    ASSERT_TRUE(BASS_ChannelPlay(played, 0));
    Render(1000);
    ASSERT_TRUE(BASS_ChannelStop(played));
    ASSERT_TRUE(BASS_ChannelSetAttribute(stream, BASS_ATTRIB_VOL, 0.2f));
    ASSERT_TRUE(BASS_ChannelPlay(played, 0));
    const std::vector<float> out = Render(2);
    EXPECT_NEAR(out[0], 0.5f * 0.2f, 1e-4f);
    EXPECT_NEAR(out[1], 0.5f * 0.2f, 1e-4f);
}

INSTANTIATE_TEST_SUITE_P(Streams, ResumeTest,
                         ::testing::Values(ResumeCase{"Stream", false}, ResumeCase{"MixerSource", true}),
                         [](const auto& test) { return std::string(test.param.name); });

class ResampledLengthTest : public ManualOutput, public ::testing::WithParamInterface<uint32_t> {};

// A clip at another rate plays until its last frame's duration is over: as
// many output frames as fit into its length, the last in part.
TEST_P(ResampledLengthTest, PlaysToTheEndOfItsLastFrame)
{
    constexpr size_t kClipFrames = 1000;
    const uint32_t rate = GetParam();
    const HSTREAM stream = FromMemory(MakeWave({kPcm, 16, 1, rate, false}, std::vector<float>(kClipFrames, 0.5f)), 0);
    ASSERT_TRUE(BASS_ChannelPlay(stream, 0));
    size_t played = 0;
    while (BASS_ChannelIsActive(stream) == BASS_ACTIVE_PLAYING && played <= 2 * kClipFrames * kRate / rate) {
        Render(1);
        ++played;
    }
    // The last call found the clip ended and gave nothing of it.
    EXPECT_EQ(played - 1, (uint64_t{kClipFrames} * kRate + rate - 1) / rate);
}

INSTANTIATE_TEST_SUITE_P(Rates, ResampledLengthTest, ::testing::Values(22050u, 32000u, 11025u, 48000u));

struct DspCall {
    std::atomic<int> calls{0};
    std::atomic<BOOL> result{1};
    std::atomic<int> error{BASS_OK};
};

void OVEL_AUDIO_CALLBACK CallBackIn(HDSP, DWORD channel, void*, DWORD, void* user)
{
    auto* call = static_cast<DspCall*>(user);
    call->result = BASS_ChannelSetAttribute(channel, BASS_ATTRIB_VOL, 0.5f);
    call->error = BASS_ErrorGetCode();
    ++call->calls;
}

using DspTest = ManualOutput;

// Calling the library from a DSP must not deadlock the mix: the call is refused.
TEST_F(DspTest, ALibraryCallFromInsideIsRefusedAsBusy)
{
    const HSTREAM stream = FromMemory(MakeConstantWave(1, kRate, {0.5f}), 0);
    DspCall call;
    ASSERT_NE(BASS_ChannelSetDSP(stream, CallBackIn, &call, 0), 0u);
    BASS_ChannelPlay(stream, 0);
    Render(100);
    EXPECT_GT(call.calls, 0);
    EXPECT_FALSE(call.result);
    EXPECT_EQ(call.error, BASS_ERROR_BUSY);
    EXPECT_TRUE(BASS_ChannelSetAttribute(stream, BASS_ATTRIB_VOL, 0.5f));
}

class SpatialTest : public ManualOutput {
protected:
    std::vector<float> PlacedAt(HSTREAM stream, float x, float z)
    {
        const BASS_3DVECTOR position{x, 1.7f, z};
        EXPECT_TRUE(BASS_ChannelSet3DPosition(stream, &position, nullptr, nullptr));
        BASS_Apply3D();
        Render(kRate / 100);  // the gains glide to their new values in one block
        return Render(kRate / 100);
    }
};

TEST_F(SpatialTest, PlacementSetsSideAndLoudness)
{
    const BASS_3DVECTOR listener{0.0f, 1.7f, 0.0f}, zero{0.0f, 0.0f, 0.0f};
    BASS_Set3DFactors(1.0f, 1.0f, 0.0f);
    BASS_Set3DPosition(&listener, &zero, &zero, &zero);
    const HSTREAM stream = FromMemory(MakeConstantWave(1, kRate, {0.5f}), BASS_SAMPLE_3D | BASS_SAMPLE_LOOP);
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
    BASS_ChannelPlay(stream, 0);

    const std::vector<float> left = PlacedAt(stream, -5.0f, 0.0f);
    EXPECT_GT(Rms(left, 0), 4.0f * Rms(left, 1));
    const std::vector<float> right = PlacedAt(stream, 5.0f, 1.0f);
    EXPECT_GT(Rms(right, 1), 4.0f * Rms(right, 0));
    // Within the 5 m reference distance nothing fades; at 20 m a quarter is left.
    const std::vector<float> near = PlacedAt(stream, 0.0f, 2.0f);
    const std::vector<float> edge = PlacedAt(stream, 0.0f, 5.0f);
    const std::vector<float> far = PlacedAt(stream, 0.0f, 20.0f);
    EXPECT_NEAR(Rms(near, 0), Rms(near, 1), 1e-4f);
    EXPECT_NEAR(Rms(near, 0), 0.5f * std::sqrt(0.5f), 1e-3f);
    EXPECT_NEAR(Rms(edge, 0), Rms(near, 0), 1e-4f);
    EXPECT_NEAR(Rms(far, 0), 0.25f * Rms(near, 0), 1e-3f);
}

TEST_F(SpatialTest, StereoCannotBePlacedIn3D)
{
    EXPECT_EQ(FromMemory(MakeConstantWave(2, 100, {0.1f, 0.1f}), BASS_SAMPLE_3D), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NO3D);
    const HSTREAM mono = FromMemory(MakeConstantWave(2, 100, {0.1f, 0.1f}), BASS_SAMPLE_3D | BASS_SAMPLE_MONO);
    EXPECT_NE(mono, 0u);
}

using OutputTest = ManualOutput;

TEST_F(OutputTest, OpeningTwiceFailsAndKeepsTheOutput)
{
    EXPECT_FALSE(BASS_Init(0, kRate, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ALREADY);
    EXPECT_EQ(BASS_GetDevice(), 0u);
    BASS_INFO info{};
    ASSERT_TRUE(BASS_GetInfo(&info));
    EXPECT_EQ(info.speakers, 2u);
    EXPECT_EQ(info.freq, kRate);
    EXPECT_EQ(BASS_GetVersion() >> 16, 0x0204u);
}

TEST_F(OutputTest, HandlesAreNeverReused)
{
    const std::vector<uint8_t> file = MakeConstantWave(1, 100, {0.1f});
    const HSTREAM first = FromMemory(file, 0);
    ASSERT_TRUE(BASS_StreamFree(first));
    const HSTREAM second = FromMemory(file, 0);
    const HSTREAM dummy = BASS_StreamCreate(kRate, 2, BASS_SAMPLE_FLOAT, nullptr, nullptr);
    EXPECT_NE(dummy, 0u);
    EXPECT_GT(second, first);
    EXPECT_GT(dummy, second);
    EXPECT_FALSE(BASS_StreamFree(first));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
}

TEST_F(OutputTest, FreeEndsEveryStream)
{
    FromMemory(MakeConstantWave(1, 100, {0.1f}), 0);
    BASS_Mixer_StreamCreate(kRate, 2, 0);
    ASSERT_TRUE(BASS_Free());
    EXPECT_EQ(LiveStreams(), 0u);
    ASSERT_TRUE(BASS_Init(0, kRate, 0, nullptr, nullptr));
}

// Natively there is no real device, no address opener and no plug-in loader.
TEST(NativeSeamsTest, AnswerWithErrors)
{
    EXPECT_FALSE(BASS_Init(-1, kRate, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DEVICE);
    BASS_DEVICEINFO info{};
    EXPECT_FALSE(BASS_GetDeviceInfo(1, &info));
    EXPECT_EQ(BASS_PluginLoad("bassflac.dll", 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
    EXPECT_TRUE(BASS_PluginFree(0));
    ASSERT_TRUE(BASS_Init(0, kRate, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_StreamCreateURL("http://127.0.0.1/clip.ogg", 0, 0, nullptr, nullptr), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
    EXPECT_TRUE(BASS_Free());
}

}  // namespace
}  // namespace audiotest
