// The sound that starts before the board: the stored scene plays at once, and
// the board, made afterwards, takes over what plays without opening the output
// again and reads as the layers read it before.
#include "player/window/MainForm.h"

#include "platform/forms/Registry.h"
#include "player/engine/LayerStreams.h"
#include "player/settings/StartBoard.h"
#include "player/window/BoardState.h"
#include "player/window/Scenes.h"
#include "support/ProgInfo.h"
#include "tests/player/window/BoardFixture.h"
#include "tests/player/window/ScriptedDevices.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

namespace {

using B = TBoardItem;
using C = TBoardControl;

TScriptedDevices Devices;
const ovelaudio::DeviceEntry kSpeakers{"Speakers", "spk", true, true};
const ovelaudio::DeviceEntry kHeadphones{"Headphones", "hp", true, false};

// What the layers read of the board.
constexpr C kLayerControls[] = {
    C::OvelComboBox,         C::Option1TrackBar,       C::Option1TrackBar1,     C::Option1CheckBox,
    C::OptionCheckBox,       C::OptionTrackBar,        C::Option2CheckBox,      C::Option2ComboBox,
    C::Option3CheckBox,      C::Option4CheckBox,       C::Option4ComboBox,      C::Option5CheckBox,
    C::Option5ComboBox,      C::Option6CheckBox,       C::Option6ComboBox,      C::Option6TrackBar,
    C::Option7CheckBox,      C::NFBTrackBar,           C::NFBComboBox,          C::NFITrackBar,
    C::NFIComboBox,          C::GuitarCheckBox,        C::GuitarComboBox,       C::FluteCheckBox,
    C::FluteComboBox,        C::HaCheckBox,            C::HaComboBox,           C::RainCheckBox,
    C::WindVolumeTrackBar,   C::CompressionCheckBox,   C::NatureFolderCheckBox, C::NatureFolderTrackBar,
    C::NatureFolderComboBox, C::NatureAutoAllocCheckBox, C::MusicFolderCheckBox, C::MusicFolderTrackBar,
    C::MusicFolderComboBox,  C::MusicAutoAllocCheckBox,
};

// The layers that start with each scene's sound.
constexpr TLayerId kDayStart[] = {lyDayBackground1, lyDayBackground2, lyBirds1, lyBirds2};
constexpr TLayerId kNightStart[] = {lyNightBackground1, lyNightBackground2, lyNightVoices1, lyNightVoices2};

std::uint32_t Word(TPackedWordId word, std::initializer_list<std::pair<TBoardItem, int>> states)
{
    std::uint32_t value = 0;
    for (const auto& [item, state] : states)
        value |= PlaceField(*FindField(word, item), state);
    return AddParityBits(value);
}

struct TStored {
    const char* Name;
    std::uint32_t Value;
};

void StoreKey(std::initializer_list<TStored> values, const char* device = nullptr)
{
    TRegistry().DeleteKey("Software\\Tamlin\\Ovel");
    ASSERT_TRUE(OpenProductKey());
    for (const TStored& value : values) {
        EXPECT_TRUE(ProgRegistry->WriteInteger(value.Name, static_cast<std::int32_t>(value.Value)));
    }
    if (device) {
        EXPECT_TRUE(ProgRegistry->WriteString("DeviceName", device));
    }
    ProgRegistry->CloseKey();
}

// The stored settings as the sound before the board reads them; the cases
// here choose no scene by the calendar.
TStartBoard StartBoardOfTheKey()
{
    TStartBoard board(SoundBanks);
    board.Load(ReadSettingsKey(), {0, false, DayOnTime, NightOnTime, SunriseOffset, SunsetOffset,
                                   [](double, double) { return false; }});
    return board;
}

class StartSoundWinTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Devices.Set({kSpeakers, kHeadphones});
        ovelaudio::SetOutputBackend(&Devices);
        PrepareLikeTheStart();
        ASSERT_TRUE(PrepareApplication());
    }

    // The board closes the banks the start requires when it goes.
    void SetUp() override { PrepareLikeTheStart(); }

    void TearDown() override
    {
        FreeOvelMainForm();
        Devices.RefuseOpen(false);
        StartedBySwitch = false;
    }

    // The sound before the board, then the board; the output opens once, and
    // the layers that played before play on, on the same streams.
    static void ExpectTakenOver(const TLayerId (&layers)[4], std::size_t device)
    {
        const std::size_t opens = Devices.Opens();
        StartSoundBeforeBoard();
        ASSERT_EQ(Devices.Opens(), opens + 1);
        EXPECT_EQ(Devices.LastOpened(), device);
        HSTREAM before[4];
        for (std::size_t i = 0; i < 4; ++i) {
            before[i] = LayerChannels[layers[i]];
            EXPECT_TRUE(LayerPlaying(layers[i])) << layers[i];
        }
        const TStartBoard expected = StartBoardOfTheKey();

        ASSERT_TRUE(CreateOvelMainForm());
        ASSERT_TRUE(PumpQueued());
        EXPECT_EQ(Devices.Opens(), opens + 1);
        EXPECT_EQ(LayerBoard(), OvelMainForm);
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(LayerChannels[layers[i]], before[i]) << layers[i];
            EXPECT_TRUE(LayerPlaying(layers[i])) << layers[i];
        }
        for (C control : kLayerControls)
            EXPECT_EQ(OvelMainForm->Value(control), expected.Value(control)) << static_cast<int>(control);
        EXPECT_FALSE(DeviceFailed);
        EXPECT_TRUE(OvelMainForm->SpkAnimate.Visible());
    }
};

TEST_F(StartSoundWinTest, TheStoredDayForestPlaysOnInTheBoard)
{
    StoreKey({{"OvelIndex", kDayScene},
              {"C1", Word(pwC1, {{B::PlayCheckBox, 1}, {B::UseCurrentDefDeviceRadioButton, 1}})},
              {"D1", Word(pwD1, {{B::OptionCheckBox, 1}, {B::Option2CheckBox, 1}, {B::Option5CheckBox, 1}})},
              {"D2", Word(pwD2, {{B::Option1TrackBar, 1}, {B::Option5ComboBox, 2}})},
              {"D70", Word(pwD70, {{B::OptionTrackBar, 40}})}});
    ExpectTakenOver(kDayStart, 1);
    EXPECT_TRUE(LayerPlaying(lyBrook));
}

TEST_F(StartSoundWinTest, TheStoredNightForestOnTheStoredDevice)
{
    StoreKey({{"OvelIndex", kNightScene},
              {"C1", Word(pwC1, {{B::PlayCheckBox, 1}, {B::WaitThisDeviceRadioButton, 1}})},
              {"N1", Word(pwN1, {{B::Option1CheckBox, 1}, {B::Option4CheckBox, 1}, {B::Option6CheckBox, 1}})},
              {"N2", Word(pwN2, {{B::Option1TrackBar, 1}, {B::Option6ComboBox, 3}})}},
             "headphones");
    ExpectTakenOver(kNightStart, 2);
    // The bonfire is lit by the board's own start.
    EXPECT_TRUE(LayerPlaying(lyFire1));
    EXPECT_TRUE(LayerPlaying(lyFire2));
}

TEST_F(StartSoundWinTest, AStartWithoutSoundOpensNothingBeforeTheBoard)
{
    StartedBySwitch = true;
    StoreKey({{"OvelIndex", kDayScene}, {"AutoStartIndex", kStartMuted}});
    const std::size_t opens = Devices.Opens();
    StartSoundBeforeBoard();
    EXPECT_EQ(Devices.Opens(), opens);
    ASSERT_TRUE(CreateOvelMainForm());
    EXPECT_FALSE(OvelMainForm->PlayCheckBox.Checked());
    EXPECT_FALSE(LayerPlaying(lyDayBackground1));
}

TEST_F(StartSoundWinTest, ADeviceThatCannotOpenTakesTheBoardsFailurePath)
{
    StoreKey({{"OvelIndex", kDayScene}, {"C1", Word(pwC1, {{B::PlayCheckBox, 1}})}});
    Devices.RefuseOpen(true);
    StartSoundBeforeBoard();
    EXPECT_FALSE(LayerPlaying(lyDayBackground1));
    ASSERT_TRUE(CreateOvelMainForm());
    EXPECT_TRUE(DeviceFailed);
    EXPECT_EQ(OvelMainForm->DeviceComboBox.Color(), clRed);
    EXPECT_FALSE(LayerPlaying(lyDayBackground1));
}

TEST_F(StartSoundWinTest, ADeviceLostBeforeTheBoardIsOpenedAgainByIt)
{
    StoreKey({{"OvelIndex", kDayScene}, {"C1", Word(pwC1, {{B::PlayCheckBox, 1}})}});
    const std::size_t opens = Devices.Opens();
    StartSoundBeforeBoard();
    Devices.FailOpenDevice();
    ASSERT_TRUE(PumpUntil([] { return !LayerPlaying(lyDayBackground1); }, kShortPump));
    ASSERT_TRUE(CreateOvelMainForm());
    // The board's own start: the reset, then the output.
    EXPECT_EQ(Devices.Opens(), opens + 3);
    EXPECT_FALSE(DeviceFailed);
    EXPECT_TRUE(LayerPlaying(lyDayBackground1));
}

}  // namespace
