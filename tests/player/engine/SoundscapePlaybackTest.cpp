// The brook, the fires, the wind, the weather, the fly-bys, the music and the
// user's folders on the library's "no sound" device, rendered into memory.

#include "LayerPlaybackFixture.h"

#include "FakeUserFiles.h"
#include "ScriptedRandom.h"
#include "platform/audio/core/Backends.h"
#include "platform/audio/core/ByteSources.h"
#include "platform/audio/core/TestHooks.h"
#include "player/engine/BrookAndFire.h"
#include "player/engine/FlyBys.h"
#include "player/engine/RainPhases.h"
#include "player/engine/UserFolders.h"
#include "player/engine/UserSounds.h"
#include "player/engine/WeatherStrands.h"
#include "player/engine/WindGusts.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

namespace fs = std::filesystem;

using B = TBoardControl;

class SoundscapePlaybackTest : public LayerPlaybackTest {
protected:
    static bool Placed(TLayerId layer) { return (StreamFlags(LayerChannels[layer]) & BASS_SAMPLE_3D) != 0; }
    static bool BufferHeld(TLayerId layer) { return !ClipBuffers[layer].Words.empty(); }
};

TEST(WaterfallVolume, RisesFromTheBrooksThreeQuarters)
{
    EXPECT_FLOAT_EQ(WaterfallVolume(76), 0.04f);
    EXPECT_FLOAT_EQ(WaterfallVolume(90), 0.6f);
    EXPECT_FLOAT_EQ(WaterfallVolume(100), 1.0f);
}

struct MarkerCase {
    int x;
    int y;
    TClipPosition expected;
};

TEST(MarkerPosition, PutsThePadCentreAtTheListenersFoot)
{
    const MarkerCase cases[] = {
        {16, 16, {0, 0, 0}},
        {16, 0, {0, 0, 16.0f / 3}},
        {40, 16, {8, 0, 0}},
        {0, 40, {-16.0f / 3, 0, -8}},
    };
    for (const MarkerCase& c : cases) {
        const TClipPosition place = MarkerPosition(c.x, c.y);
        EXPECT_FLOAT_EQ(place.x, c.expected.x) << c.x << "," << c.y;
        EXPECT_EQ(place.y, 0.0f);
        EXPECT_FLOAT_EQ(place.z, c.expected.z) << c.x << "," << c.y;
    }
}

TEST_F(SoundscapePlaybackTest, WaterfallJoinsTheBrookAboveThreeQuartersOfItsLevel)
{
    LoadBankFiles(sbOves, {0, 2, 0}, 0, {WaveFile(1), WaveFile(2)});
    for (const int level : {75, 76, 100}) {
        board.Set(B::OptionTrackBar, level);
        PlayBrook();
        ASSERT_TRUE(Playing(lyBrook)) << level;
        EXPECT_TRUE(Placed(lyBrook)) << "a mono brook stands at its marker";
        EXPECT_EQ(Playing(lyWaterfall), level > kWaterfallFrom) << level;
        if (level > kWaterfallFrom) {
            EXPECT_FALSE(Placed(lyWaterfall)) << "a stereo waterfall plays unplaced";
        }
        RenderNoSound(kRenderFrames);
        EXPECT_TRUE(Playing(lyBrook)) << "it loops";
        StopBrook();
        EXPECT_FALSE(Playing(lyWaterfall)) << "the waterfall goes with the brook";
        EXPECT_EQ(LiveStreamCount(), 0u);
        EXPECT_FALSE(BufferHeld(lyBrook));
    }
}

TEST_F(SoundscapePlaybackTest, WaterfallStopsAloneAndTheBrookLoopsOn)
{
    LoadBankFiles(sbOves, {0, 2, 0}, 0, {WaveFile(2)});
    board.Set(B::OptionTrackBar, 90);
    PlayBrook();
    const HSTREAM brook = LayerChannels[lyBrook];
    EXPECT_FALSE(Placed(lyBrook)) << "a stereo brook plays unplaced";
    StopWaterfall();
    EXPECT_TRUE(Playing(lyBrook));
    EXPECT_FALSE(Playing(lyWaterfall));
    PlayBrook();
    EXPECT_EQ(LayerChannels[lyBrook], brook) << "a looping brook is left alone";
    EXPECT_FALSE(Playing(lyWaterfall)) << "nor does it bring the waterfall back";
}

TEST_F(SoundscapePlaybackTest, BonfireBurnsInOneToThreePlacedStrands)
{
    LoadBank(sbOvef, {0, 3, 0}, 0, 1);
    board.Set(B::Option1CheckBox, 1);
    for (const int intensity : {0, 1, 2}) {
        board.Set(B::Option1TrackBar, intensity);
        PlayFires();
        const TLayerId fires[] = {lyFire1, lyFire2, lyFire3};
        for (int strand = 0; strand < 3; ++strand) {
            EXPECT_EQ(Playing(fires[strand]), strand <= intensity) << intensity << " strand " << strand;
            if (strand <= intensity) {
                EXPECT_TRUE(Placed(fires[strand]));
            }
        }
        StopFires();
        EXPECT_EQ(LiveStreamCount(), 0u);
    }
    board.Set(B::Option1CheckBox, 0);
    PlayFires();
    EXPECT_FALSE(Playing(lyFire1)) << "the bonfire is off";
}

struct DriftCase {
    std::uint32_t durationMs;
    std::vector<int> draws;
    float dx;
    float dz;
};

TEST(DrawGustDrift, SpreadsWholeMetresOverTheGustsTicks)
{
    const DriftCase cases[] = {
        {1000, {0, 8}, 0.4f, -0.4f},  {1099, {4, 2}, 0.0f, 0.2f},
        {450, {1, 5}, 0.75f, -0.25f}, {99, {0, 0}, 0.0f, 0.0f},  // a puff shorter than one tick stays put
        {0, {8, 8}, 0.0f, 0.0f},
    };
    for (const DriftCase& c : cases) {
        ScriptedRandom random(c.draws);
        const TGustDrift drift = DrawGustDrift(c.durationMs, 100);
        EXPECT_FLOAT_EQ(drift.dx, c.dx) << c.durationMs;
        EXPECT_FLOAT_EQ(drift.dz, c.dz) << c.durationMs;
        EXPECT_TRUE(random.Used());
    }
}

TEST_F(SoundscapePlaybackTest, ThreeGustsStartAtTheFirstTickAndEachStrandRestartsWhenItsGustEnds)
{
    LoadBank(sbOvfw, {0, 3, 0}, 0, 1);
    WindTick(100);
    const HSTREAM first[] = {LayerChannels[lyWind1], LayerChannels[lyWind2], LayerChannels[lyWind3]};
    for (TLayerId gust : {lyWind1, lyWind2, lyWind3}) {
        EXPECT_TRUE(Playing(gust)) << gust;
        EXPECT_TRUE(Placed(gust));
    }
    WindTick(100);
    EXPECT_EQ(LayerChannels[lyWind1], first[0]) << "a gust in flight only drifts";
    RenderNoSound(kRenderFrames);
    WindTick(100);
    EXPECT_NE(LayerChannels[lyWind3], first[2]);
    EXPECT_TRUE(Playing(lyWind3));
    StopLayers();
    for (TLayerId gust : {lyWind1, lyWind2, lyWind3})
        EXPECT_FALSE(BufferHeld(gust)) << gust;
}

class WeatherTest : public SoundscapePlaybackTest {
protected:
    void SetUp() override
    {
        SoundscapePlaybackTest::SetUp();
        LoadBank(sbOvel, {2, 1, 1}, 0, 2);
        LoadBank(sbOvrs, {1, 1, 0}, 0, 2);
    }
};

TEST_F(WeatherTest, StrandsReplaceTheirSourceAndMixerWithoutPilingUp)
{
    PlayRain1();
    ASSERT_TRUE(RainPlays());
    const HSTREAM rain1 = LayerChannels[lyRain1];
    PlayRain1();
    EXPECT_EQ(LayerChannels[lyRain1], rain1) << "rain 1 plays on";
    EXPECT_EQ(LiveStreamCount(), 2u) << "a source and its mixer";

    PlayRain2();
    const HSTREAM rain2 = LayerChannels[lyRain2];
    PlayRain2();
    EXPECT_NE(LayerChannels[lyRain2], rain2) << "rain 2 takes a new clip";
    EXPECT_EQ(LiveStreamCount(), 4u);

    PlayStorm1();
    RenderNoSound(kRenderFrames);
    EXPECT_FALSE(Playing(lyStorm1)) << "the thunder has rolled";
    PlayStorm1();
    EXPECT_TRUE(Playing(lyStorm1));
    EXPECT_EQ(LiveStreamCount(), 6u) << "the old thunder's mixer went";

    FreeWeatherStrands();
    EXPECT_FALSE(RainPlays());
    EXPECT_EQ(LiveStreamCount(), 0u);
    for (TLayerId strand : {lyRain1, lyRain2, lyStorm1})
        EXPECT_FALSE(BufferHeld(strand));
}

// Both speakers' mean magnitude over frames from the first given.
double MeanLevel(const std::vector<float>& stereo, std::uint32_t first, std::uint32_t frames)
{
    double sum = 0;
    for (std::size_t i = 2 * first; i < 2 * (first + frames); ++i)
        sum += std::fabs(stereo[i]);
    return sum / (2.0 * frames);
}

TEST_F(WeatherTest, RainFadesInFromSilenceWhileThunderStrikesAtFullVolume)
{
    constexpr std::uint32_t kFadedIn = kRate * 9;
    PlayRain1();
    const std::vector<float> rain = RenderNoSound(kFadedIn);
    const double full = MeanLevel(rain, kFadedIn - kClipFrames, kClipFrames);
    EXPECT_GT(full, 0.0);
    EXPECT_LT(MeanLevel(rain, 0, kClipFrames), full / 20) << "the rain starts inaudible";
    EXPECT_LT(MeanLevel(rain, kRate, kClipFrames), full / 4) << "a second in, it is still fading in";
    FreeWeatherStrands();
    PlayStorm1();
    EXPECT_NEAR(MeanLevel(RenderNoSound(kClipFrames), 0, kClipFrames), full, full / 20)
        << "the thunder strikes at once, at the rain's full volume";
}

TEST_F(WeatherTest, StrandWithoutAMixerLeavesNoSourceBehind)
{
    SpeakerCount = 0;
    PlayRain1();
    EXPECT_FALSE(RainPlays()) << "it does not rain for ever";
    EXPECT_EQ(LiveStreamCount(), 0u);
}

TEST_F(WeatherTest, MonoRainReachesBothSpeakersOnceFadedIn)
{
    LoadBank(sbOvel, {1, 1, 1}, 0, 1);
    PlayRain1();
    const std::vector<float> mix = RenderNoSound(kRate * 9);
    double left = 0;
    double right = 0;
    for (std::size_t frame = mix.size() / 2 - kRate / 2; frame < mix.size() / 2; ++frame) {
        left += std::fabs(mix[2 * frame]);
        right += std::fabs(mix[2 * frame + 1]);
    }
    EXPECT_GT(left, 0.0);
    EXPECT_NEAR(right / left, 1.0, 0.01);
}

TEST_F(WeatherTest, LostDeviceIsReportedByTheRain)
{
    PlayRain1();
    ovelaudio::testhooks::FailOutput();
    DispatchPosted();
    EXPECT_EQ(DeviceFailures, 1);
}

TEST_F(SoundscapePlaybackTest, FlyByPlaysOnceAndFreesItsMixer)
{
    LoadBank(sbOvbf, {}, 2, 2);
    board.Set(B::NFBTrackBar, 50);
    PlayFlight(fmBird);
    ASSERT_TRUE(Playing(lyFlight));
    EXPECT_EQ(LiveStreamCount(), 2u);
    PlayFlight(fmBird);
    EXPECT_EQ(LiveStreamCount(), 2u) << "one fly-by at a time";
    RenderNoSound(kRenderFrames);
    ovelaudio::testhooks::WaitForSyncs();
    EXPECT_EQ(LiveStreamCount(), 0u);

    PlayFlight(fmBird);
    BASS_ChannelStop(LayerChannels[lyFlight]);
    PlayFlight(fmBird);
    EXPECT_TRUE(Playing(lyFlight));
    EXPECT_EQ(LiveStreamCount(), 2u) << "a stopped fly-by's mixer goes with it";
}

TEST_F(SoundscapePlaybackTest, FlyByWithoutAMixerDoesNotBlockTheNext)
{
    LoadBank(sbOvif, {}, 2, 2);
    SpeakerCount = 0;
    PlayFlight(fmInsect);
    EXPECT_EQ(LiveStreamCount(), 0u);
    SpeakerCount = 2;
    PlayFlight(fmInsect);
    EXPECT_TRUE(Playing(lyFlight));
}

TEST_F(SoundscapePlaybackTest, ChanceFlyByDrawsNothingWhileUnwanted)
{
    LoadBank(sbOvbf, {}, 2, 2);
    ScriptedRandom random;
    PlayFlight(fmChance);
    EXPECT_EQ(LiveStreamCount(), 0u);
}

TEST_F(SoundscapePlaybackTest, MusicOfAKindStopsOnlyForItsOwnBox)
{
    LoadBank(sbOvgu, {}, 2, 1);
    LoadBank(sbOvmn, {1, 2, 3}, 0, 2);
    PlayMusic(mkGuitar);
    ASSERT_TRUE(Playing(lyMusic));
    EXPECT_TRUE(Placed(lyMusic)) << "a mono clip is placed";
    EXPECT_EQ(MusicKind, mkGuitar);
    StopMusicKind(mkAccordion);
    EXPECT_TRUE(Playing(lyMusic));
    StopMusicKind(mkGuitar);
    EXPECT_FALSE(Playing(lyMusic));
    EXPECT_FALSE(BufferHeld(lyMusic));

    PlayMusic(mkAccordion);
    ASSERT_TRUE(Playing(lyMusic)) << "the older bank serves the accordion";
    EXPECT_FALSE(Placed(lyMusic));
    const HSTREAM accordion = LayerChannels[lyMusic];
    PlayMusic(mkGuitar);
    EXPECT_EQ(LayerChannels[lyMusic], accordion) << "one music sound at a time";
}

TEST_F(SoundscapePlaybackTest, BackgroundGivesMusicAndRainTheirChanceFirst)
{
    LoadBank(sbOvgu, {}, 1, 2);
    board.Set(B::GuitarCheckBox, 1);
    board.Set(B::GuitarComboBox, 3);
    board.Set(B::RainCheckBox, 1);
    static int rainDraws = 0;
    rainDraws = 0;
    SetRainDrawHandler([] { ++rainDraws; });
    // Guitar chance and clip, the rain draw, then the background's clip and place.
    ScriptedRandom random({0, 0, 0, 0, 160, 100, 0});
    PlayDayBackground1();
    SetRainDrawHandler(nullptr);
    EXPECT_TRUE(random.Used());
    EXPECT_EQ(rainDraws, 1);
    EXPECT_TRUE(Playing(lyMusic));
    EXPECT_TRUE(Playing(lyDayBackground1));
}

TEST_F(SoundscapePlaybackTest, RainLetsTheForestRunOutAndBringsItBack)
{
    LoadBank(sbOvef, {0, 3, 0}, 0, 1);
    board.Set(B::OvelComboBox, 1);
    board.Set(B::Option1CheckBox, 1);
    StartNightLayers();
    PlayFires();
    FadeOutSceneForRain(kRainFade);
    RenderNoSound(kRenderFrames);
    DispatchPosted();
    for (TLayerId layer : {lyNightBackground1, lyNightBackground2, lyNightVoices1, lyNightVoices2})
        EXPECT_FALSE(Playing(layer)) << layer;
    EXPECT_TRUE(Playing(lyFire1)) << "the fire fades, it does not stop";
    FadeInSceneAfterRain(kRainFade);
    for (TLayerId layer : {lyNightBackground1, lyNightBackground2, lyNightVoices1, lyNightVoices2})
        EXPECT_TRUE(Playing(layer)) << layer;
}

// Files on disk that the fake folder tree names by their real paths.
class UserFolderPlaybackTest : public SoundscapePlaybackTest {
protected:
    void SetUp() override
    {
        SoundscapePlaybackTest::SetUp();
        folder = fs::temp_directory_path() /
                 (std::string("ovel-folder-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder);
        folderText = folder.string() + static_cast<char>(fs::path::preferred_separator);
        WriteFile("good.wav", WaveFile(2));
        SetUserFileSystem(&files);
        board.Set(B::NatureFolderCheckBox, 1);
        board.Set(B::NatureFolderTrackBar, 50);
        NatureAuto = 0;
    }
    void TearDown() override
    {
        // The streams let go of their files first.
        SoundscapePlaybackTest::TearDown();
        SetUserFileSystem(nullptr);
        UserFolders[ufDayNature] = TUserFolderSlot{};
        NatureAuto = 0;
        std::error_code error;
        fs::remove_all(folder, error);
        EXPECT_FALSE(error) << error.message();
    }

    std::string Path(const std::string& name) const { return folderText + name; }
    void WriteFile(const std::string& name, const std::vector<std::uint8_t>& bytes)
    {
        std::ofstream(Path(name), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        files.AddFile(folderText, name, std::string(bytes.begin(), bytes.end()));
    }
    void AddPlaylist(const std::string& name, const std::string& text) { files.AddFile(folderText, name, text); }
    void ListOnly(const std::vector<std::string>& names)
    {
        TUserFolderSlot& slot = UserFolders[ufDayNature];
        slot.Files.clear();
        for (const std::string& name : names)
            slot.Files.push_back(Path(name));
        slot.Count = static_cast<int>(slot.Files.size());
    }
    // The worker's answer reaches the GUI thread.
    void FinishOpens()
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (SoundOpensRunning() > 0 && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_EQ(SoundOpensRunning(), 0);
        DispatchPosted();
    }

    fs::path folder;
    std::string folderText;  // with its separator
    FakeUserFiles files;
};

TEST_F(UserFolderPlaybackTest, BadEntryIsSkippedAndNamedByTheFolderLabelUntilTheFolderPlaysCleanly)
{
    AddPlaylist("list.m3u", "missing.wav\r\ngood.wav\r\n");
    ListOnly({"list.m3u"});
    {
        // Pick, the missing entry; pick, the other; three picks of a spent playlist.
        ScriptedRandom random({0, 0, 0, 0, 0, 0, 0});
        PlayNatureFolder(true);
        FinishOpens();
    }
    ASSERT_TRUE(Playing(lyNature)) << "the other entry plays";
    EXPECT_EQ(board.Hint(B::NatureFolderLabel), Path("missing.wav") + ": can't open the file");
    EXPECT_EQ(board.Shown(B::NatureAutoAllocCheckBox), true) << "a stereo file gives the controls back at once";
    StopNatureFolder();
    {
        ScriptedRandom random({0, 1, 0, 0, 0, 0, 0});
        PlayNatureFolder(true);
        FinishOpens();
    }
    EXPECT_TRUE(Playing(lyNature));
    EXPECT_EQ(board.Hint(B::NatureFolderLabel), "");
}

TEST_F(UserFolderPlaybackTest, AutoPlacesEvenAStereoFileAndItsEndGivesTheControlsBack)
{
    ListOnly({"good.wav"});
    NatureAuto = 1;
    {
        // The pick, four picks of the same file, the place.
        ScriptedRandom random({0, 0, 0, 0, 0, 160, 100, 0});
        PlayNatureFolder(true);
        FinishOpens();
    }
    ASSERT_TRUE(Playing(lyNature));
    EXPECT_TRUE(Placed(lyNature));
    EXPECT_EQ(board.Shown(B::AutoNatureLabel), true);
    EXPECT_EQ(board.Shown(B::NatureFolderTrackBar), false);
    RenderNoSound(kRenderFrames);
    DispatchPosted();
    EXPECT_EQ(board.Shown(B::AutoNatureLabel), false);
    EXPECT_EQ(board.Shown(B::NatureFolderTrackBar), true);
}

// An address that answers only when the test lets it.
std::mutex AddressMutex;
std::condition_variable AddressAnswer;
bool AddressAnswers = false;
int AddressCalls = 0;
const std::vector<std::uint8_t> kAddressSound = WaveFile(2);

std::unique_ptr<ovelaudio::ByteSource> SlowAddress(const std::string&, std::uint32_t, int&)
{
    std::unique_lock<std::mutex> lock(AddressMutex);
    ++AddressCalls;
    AddressAnswer.wait(lock, [] { return AddressAnswers; });
    return std::make_unique<ovelaudio::MemorySource>(kAddressSound.data(), kAddressSound.size());
}

TEST_F(UserFolderPlaybackTest, AddressOpensOnAWorkerAndALateOneIsFreed)
{
    AddPlaylist("radio.pls", "[playlist]\r\nFile1=http://127.0.0.1:9/rain.wav\r\n");
    ListOnly({"radio.pls"});
    AddressAnswers = false;
    AddressCalls = 0;
    ovelaudio::SetUrlOpener(SlowAddress);
    PlayNatureFolder(true);  // returns while the address keeps silent
    PlayNatureFolder(true);
    EXPECT_EQ(SoundOpensRunning(), 1) << "the layer waits for the first";
    StopLayers();
    {
        std::lock_guard<std::mutex> lock(AddressMutex);
        AddressAnswers = true;
    }
    AddressAnswer.notify_all();
    FinishOpens();
    ovelaudio::SetUrlOpener(nullptr);
    EXPECT_EQ(AddressCalls, 1);
    EXPECT_FALSE(Playing(lyNature));
    EXPECT_EQ(LiveStreamCount(), 0u) << "the late stream was freed";
}

}  // namespace
