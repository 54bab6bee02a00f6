// The soundscape's layers on the board made as the program makes it, with the
// shipped banks, heard on the null sink's monitor: the brook at its marker,
// the waterfall, the fires, the wind, a fly-by, music, the rain and its
// controls, and the user's folders with a playlist and an address. One board
// serves every case, in order; the last one ends it.
#include "player/window/MainForm.h"

#include "platform/audio/win/WindowsBackends.h"
#include "platform/forms/Application.h"
#include "player/engine/BassErrorText.h"
#include "player/engine/BrookAndFire.h"
#include "player/engine/ClipPlacement.h"
#include "player/engine/FlyBys.h"
#include "player/engine/Layers.h"
#include "player/engine/UserFolders.h"
#include "player/engine/UserSounds.h"
#include "player/engine/WeatherStrands.h"
#include "support/LangUnit.h"
#include "tests/common/DialogAnswerer.h"
#include "tests/common/LoopbackServer.h"
#include "tests/platform/audio/win/SinkRecording.h"
#include "tests/player/window/BoardFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kToneFrames = SinkRecording::kRate;  // a second

// A second of the tests' tone as a 16-bit stereo WAVE file.
std::vector<uint8_t> ToneWave()
{
    const uint32_t dataBytes = kToneFrames * 4;
    std::vector<uint8_t> file(44 + dataBytes);
    const auto put = [&file](size_t at, uint32_t value, size_t width) {
        for (size_t i = 0; i < width; ++i)
            file[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    std::memcpy(&file[0], "RIFF", 4);
    put(4, 36 + dataBytes, 4);
    std::memcpy(&file[8], "WAVEfmt ", 8);
    put(16, 16, 4);
    put(20, 1, 2);
    put(22, 2, 2);
    put(24, SinkRecording::kRate, 4);
    put(28, SinkRecording::kRate * 4, 4);
    put(32, 4, 2);
    put(34, 16, 2);
    std::memcpy(&file[36], "data", 4);
    put(40, dataBytes, 4);
    for (uint32_t frame = 0; frame < kToneFrames; ++frame) {
        const auto sample = static_cast<uint16_t>(static_cast<int16_t>(ToneSample(frame) * 32767));
        put(44 + 4 * frame, sample, 2);
        put(46 + 4 * frame, sample, 2);
    }
    return file;
}

// Answers every request with the same sound, as a radio would.
TLoopbackServer::TConnection AnswerWithSound(SOCKET client, const std::vector<uint8_t>& sound)
{
    TLoopbackServer::ReadRequest(client);
    TLoopbackServer::Send(
        client, "HTTP/1.0 200 OK\r\nContent-Type: audio/wav\r\nContent-Length: " + std::to_string(sound.size()) +
                    "\r\n\r\n" + std::string(sound.begin(), sound.end()));
    return TLoopbackServer::TConnection::Close;
}

std::string Folder(const std::string& name)
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder =
        std::string(temp) + "ovel-soundscape-" + std::to_string(GetCurrentProcessId()) + "\\" + name + "\\";
    CreateDirectoryA(folder.substr(0, folder.rfind('\\', folder.size() - 2)).c_str(), nullptr);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool Playing(TLayerId layer) { return BASS_ChannelIsActive(LayerChannels[layer]) == BASS_ACTIVE_PLAYING; }

bool Opened(TLayerId layer) { return SoundOpensRunning() == 0 && Playing(layer); }

void Wait(std::chrono::seconds time)
{
    PumpUntil([] { return false; }, time);
}

// The nature folder holds only a playlist whose first entry is missing; the
// music folder a playlist naming an address of the loopback.
std::string NatureFolder;
std::string MissingEntry;
TLoopbackServer* Radio = nullptr;

class SoundscapeWinTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ovelaudio::RegisterWindowsBackends();
        PrepareLikeTheStart();
        const std::vector<uint8_t> tone = ToneWave();
        Radio = new TLoopbackServer([tone](SOCKET client) { return AnswerWithSound(client, tone); });
        NatureFolder = Folder("nature");
        const std::string tracks = Folder("nature\\tracks");
        WriteFile(tracks + "good.wav", std::string(tone.begin(), tone.end()));
        MissingEntry = tracks + "missing.wav";
        WriteFile(NatureFolder + "list.m3u", "#EXTM3U\r\ntracks\\missing.wav\r\ntracks\\good.wav\r\n");
        const std::string music = Folder("music");
        WriteFile(music + "radio.pls", "[playlist]\r\nFile1=" + Radio->Url("/forest.wav") + "\r\n");
        UserFolders[ufDayNature].Path = NatureFolder;
        UserFolders[ufDayMusic].Path = music;
        ASSERT_TRUE(PrepareApplication());
        ASSERT_TRUE(CreateOvelMainForm());
        HoldTheSchedule();
    }

    static void TearDownTestSuite()
    {
        FreeOvelMainForm();
        delete Radio;
        Radio = nullptr;
    }

    // Every case starts by day, whatever the calendar chose at the start.
    void SetUp() override
    {
        ASSERT_NE(OvelMainForm, nullptr) << "an earlier case ended the board";
        if (Board().OvelComboBox.ItemIndex() != kDayScene)
            Board().ForestClick(nullptr);
    }

    static TOvelMainForm& Board() { return *OvelMainForm; }

    // Only what a case starts is heard.
    static void SilenceTheForest() { StopLayers(); }

    // What the output had queued of the forest before it fell silent reaches
    // the recording late; a level measured from here on is the case's own.
    static void AwaitQuiet(const SinkRecording& recording)
    {
        constexpr double kQuiet = 0.005;
        constexpr int kTries = 50;
        for (int i = 0; i < kTries; ++i) {
            const uint64_t now = recording.Frames();
            if (now >= SinkRecording::kWindowFrames) {
                const ChannelLevels last =
                    LevelsOf(recording.Read(now - SinkRecording::kWindowFrames, SinkRecording::kWindowFrames));
                if (last.left < kQuiet && last.right < kQuiet)
                    return;
            }
            Sleep(100);
        }
        ADD_FAILURE() << "the forest did not fall silent";
    }

    static std::optional<SinkRecording> Recording()
    {
        std::optional<SinkRecording> recording = SinkRecording::Open();
        if (!recording)
            ADD_FAILURE() << "run under record-sink.sh";
        return recording;
    }
};

TEST_F(SoundscapeWinTest, ListsTheUserFoldersAtStart)
{
    EXPECT_EQ(UserFolders[ufDayNature].Count, 1) << "the playlist; its tracks lie in a subfolder";
    EXPECT_TRUE(UserFolders[ufDayNature].HasSubfolders);
    EXPECT_EQ(UserFolders[ufDayMusic].Count, 1);
    EXPECT_EQ(UserFolders[ufNightNature].Count, 0);
}

TEST_F(SoundscapeWinTest, BrookSoundsFromItsMarkersSide)
{
    const std::optional<SinkRecording> recording = Recording();
    ASSERT_TRUE(recording);
    SilenceTheForest();
    Board().OptionTrackBar.SetPosition(60);
    for (const int side : {0, 32}) {
        AwaitQuiet(*recording);
        StreamX = side;
        StreamY = 16;
        PlayBrook();
        ASSERT_TRUE(Playing(lyBrook));
        const ChannelLevels levels = recording->LevelsOnceSounding(recording->Frames());
        const double closer = side == 0 ? levels.left : levels.right;
        const double farther = side == 0 ? levels.right : levels.left;
        EXPECT_GT(closer, 0.001) << "marker at " << side;
        EXPECT_GT(closer, 2 * farther) << "marker at " << side;
        StopBrook();
    }
    StreamX = kDefaultStreamX;
    StreamY = kDefaultStreamY;
}

TEST_F(SoundscapeWinTest, WaterfallJoinsTheBrookTurnedUpHigh)
{
    Board().OptionTrackBar.SetPosition(90);
    PlayBrook();
    EXPECT_TRUE(Playing(lyBrook));
    EXPECT_TRUE(Playing(lyWaterfall));
    StopBrook();
    EXPECT_FALSE(Playing(lyWaterfall));
    Board().OptionTrackBar.SetPosition(10);
}

TEST_F(SoundscapeWinTest, ThreeGustsStartAtTheFirstTick)
{
    Board().StartFWind();
    ASSERT_TRUE(PumpUntil([] { return Playing(lyWind1); }, kShortPump));
    EXPECT_TRUE(Playing(lyWind2));
    EXPECT_TRUE(Playing(lyWind3));
    Board().StopFWind();
}

TEST_F(SoundscapeWinTest, FlyByPassesThroughItsMixerAndLeavesNothing)
{
    PlayFlight(fmBird);
    ASSERT_TRUE(Playing(lyFlight));
    const HSTREAM mixer = LayerMixers[lyFlight];
    EXPECT_EQ(BASS_ChannelIsActive(mixer), BASS_ACTIVE_PLAYING);
    ASSERT_TRUE(PumpUntil([] { return !Playing(lyFlight); }));
    EXPECT_TRUE(PumpUntil([mixer] { return BASS_ChannelIsActive(mixer) == BASS_ACTIVE_STOPPED; }, kShortPump));
}

TEST_F(SoundscapeWinTest, GuitarPlays)
{
    PlayMusic(mkGuitar);
    EXPECT_TRUE(Playing(lyMusic));
    EXPECT_EQ(MusicKind, mkGuitar);
    StopMusicKind(mkGuitar);
    EXPECT_FALSE(Playing(lyMusic));
}

TEST_F(SoundscapeWinTest, NightFireBurnsInThreePlacedStrands)
{
    Board().ForestNClick(nullptr);
    Board().Option1CheckBox.SetChecked(true);
    Board().Option1TrackBar.SetPosition(2);
    PlayFires();
    for (TLayerId fire : {lyFire1, lyFire2, lyFire3}) {
        EXPECT_TRUE(Playing(fire)) << fire;
        BASS_CHANNELINFO info{};
        BASS_ChannelGetInfo(LayerChannels[fire], &info);
        EXPECT_NE(info.flags & BASS_SAMPLE_3D, 0u) << fire;
    }
    StopFires();
    Board().Option1TrackBar.SetPosition(1);
    Board().ForestClick(nullptr);
    EXPECT_FALSE(Playing(lyFire1)) << "the day has no fire";
}

TEST_F(SoundscapeWinTest, RainFadesInWithItsControlsGreyedAndStopsRestoringThem)
{
    const std::optional<SinkRecording> recording = Recording();
    ASSERT_TRUE(recording);
    SilenceTheForest();
    // With the storm on, one start in four thunders at once, at full volume.
    Board().StormCheckBox.SetState(cbUnchecked);
    AwaitQuiet(*recording);
    const uint64_t start = recording->Frames();
    Board().RainNowClick(&Board().RainBitBtn);
    ASSERT_TRUE(RainPlays());
    EXPECT_FALSE(Board().RainCheckBox.Enabled());
    EXPECT_FALSE(Board().StormCheckBox.Enabled());
    EXPECT_FALSE(Board().RainComboBox.Enabled());
    EXPECT_FALSE(Board().Option1TrackBar.Enabled()) << "the bird activity stays during the rain";
    EXPECT_EQ(Board().RainNow.Caption, GetLangString("stoprain"));
    EXPECT_EQ(Board().RainBitBtn.Hint(), GetLangString("stoprain"));
    EXPECT_TRUE(Board().RainBitBtn.Visible());

    const ChannelLevels early = LevelsOf(recording->Read(start + SinkRecording::kRate, SinkRecording::kWindowFrames));
    const ChannelLevels late =
        LevelsOf(recording->Read(start + 9 * SinkRecording::kRate, SinkRecording::kWindowFrames));
    EXPECT_GT(late.left, 0.001) << "the rain is heard";
    EXPECT_GT(late.left, 2 * early.left) << "the rain fades in";
    EXPECT_GT(late.right, 2 * early.right);

    Board().RainNowClick(&Board().RainBitBtn);
    EXPECT_FALSE(RainPlays());
    EXPECT_TRUE(Board().RainCheckBox.Enabled());
    EXPECT_TRUE(Board().StormCheckBox.Enabled());
    EXPECT_TRUE(Board().RainComboBox.Enabled());
    EXPECT_TRUE(Board().Option1TrackBar.Enabled());
    EXPECT_EQ(Board().RainNow.Caption, GetLangString("rainnow"));
    EXPECT_TRUE(Playing(lyDayBackground1)) << "the forest comes back";
    Board().StormCheckBox.SetState(cbChecked);
}

TEST_F(SoundscapeWinTest, ToggleAskedForDuringAToggleRunsAfterItWhole)
{
    Application.Post([] { Board().RainNowClick(nullptr); });
    Board().RainNowClick(&Board().RainBitBtn);
    EXPECT_FALSE(RainPlays()) << "started, then stopped";
    EXPECT_TRUE(Board().RainCheckBox.Enabled());
    EXPECT_TRUE(Board().RainBitBtn.Visible());
    EXPECT_EQ(Board().RainNow.Caption, GetLangString("rainnow"));
}

TEST_F(SoundscapeWinTest, PlayOffStopsTheRainAtOnce)
{
    const std::optional<SinkRecording> recording = Recording();
    ASSERT_TRUE(recording);
    SilenceTheForest();
    Board().RainNowClick(&Board().RainBitBtn);
    Wait(std::chrono::seconds(9));
    const uint64_t click = recording->Frames();
    Board().PlayCheckBox.SetChecked(false);
    EXPECT_FALSE(RainPlays());
    EXPECT_TRUE(Board().RainCheckBox.Enabled());
    EXPECT_FALSE(Board().RainNow.Visible);
    const ChannelLevels before =
        LevelsOf(recording->Read(click - SinkRecording::kWindowFrames, SinkRecording::kWindowFrames));
    const ChannelLevels after =
        LevelsOf(recording->Read(click + 3 * SinkRecording::kRate / 2, SinkRecording::kWindowFrames));
    EXPECT_GT(before.left, 0.001);
    EXPECT_LT(after.left, before.left / 10) << "no fade";
    Board().PlayCheckBox.SetChecked(true);
    EXPECT_TRUE(Board().RainNow.Visible);
}

TEST_F(SoundscapeWinTest, AnImportEndsTheRainAndStartsTheForestAgain)
{
    const std::string file = Folder("settings") + "forest.Ovel";
    const std::wstring wideFile(file.begin(), file.end());
    {
        const DialogAnswerer answerer(wideFile);
        Board().ExportBitBtn.Click();
        ASSERT_TRUE(answerer.Boxes().empty());
    }
    Board().RainNowClick(&Board().RainBitBtn);
    ASSERT_TRUE(RainPlays());
    {
        const DialogAnswerer answerer(wideFile);
        Board().ImportBitBtn.Click();
        EXPECT_TRUE(answerer.Boxes().empty());
    }
    EXPECT_FALSE(RainPlays());
    EXPECT_FALSE(Board().RainTimer.Enabled());
    EXPECT_TRUE(Board().RainCheckBox.Enabled());
    EXPECT_EQ(Board().RainNow.Caption, GetLangString("rainnow"));
    EXPECT_TRUE(PumpUntil([] { return Opened(lyDayBackground1); }, kShortPump)) << "the forest plays again";
}

TEST_F(SoundscapeWinTest, PlaylistEntryThatIsMissingIsSkippedAndNamedOnTheFolderLabel)
{
    Board().NatureFolderCheckBox.SetChecked(true);
    bool named = false;
    for (int round = 0; round < 20 && !named; ++round) {
        StopNatureFolder();
        Board().NatureFolderTrackBarEnter(nullptr);
        ASSERT_TRUE(PumpUntil([] { return Opened(lyNature); }, kShortPump)) << "the other entry plays";
        named = Board().NatureFolderLabel.Hint() == MissingEntry + ": " + BassErrorText(BASS_ERROR_FILEOPEN, false);
    }
    EXPECT_TRUE(named) << Board().NatureFolderLabel.Hint();
    EXPECT_TRUE(Board().NatureAutoAllocCheckBox.Visible()) << "a stereo file gives the controls back";
}

TEST_F(SoundscapeWinTest, PlaylistNamingAnAddressPlaysItsStream)
{
    StopMusicKind(MusicKind);  // an instrument an earlier case started may still play
    Board().MusicFolderCheckBox.SetChecked(true);
    Board().MusicFolderTrackBarEnter(nullptr);
    EXPECT_TRUE(PumpUntil([] { return Opened(lyMusic); }, kShortPump));
    EXPECT_EQ(MusicKind, mkMusicFolder);
    EXPECT_EQ(Board().MusicFolderLabel.Hint(), "");
}

// Last: the board ends here, as the program ends it after its loop.
TEST_F(SoundscapeWinTest, ExitWhileAFilePlays)
{
    StopNatureFolder();
    Board().NatureFolderTrackBarEnter(nullptr);
    ASSERT_TRUE(PumpUntil([] { return Opened(lyNature); }, kShortPump));
    PostMessageA(Board().Handle(), WM_QUIT, 0, 0);
    Application.Run();
    FreeOvelMainForm();
    EXPECT_EQ(BASS_GetDevice(), static_cast<DWORD>(-1));
    EXPECT_EQ(LayerChannels[lyNature], 0u);
}

}  // namespace
