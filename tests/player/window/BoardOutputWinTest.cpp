// The board's output and device policy over scripted devices: which device
// plays, what a lost or unopenable device does, and the hardware-mixing
// switch. The devices render nothing, so every layer's stream plays on.
#include "player/window/MainForm.h"

#include "platform/forms/Application.h"
#include "player/engine/Layers.h"
#include "player/engine/StartUp.h"
#include "tests/player/window/BoardFixture.h"
#include "tests/player/window/ScriptedDevices.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using ovelaudio::DeviceEntry;

TScriptedDevices Devices;

const DeviceEntry kSpeakers{"Speakers", "spk", true, false};
const DeviceEntry kDisabled{"Line out", "line", false, false};
const DeviceEntry kHeadphones{"Headphones", "hp", true, true};

int LayersHeld()
{
    int held = 0;
    for (HSTREAM channel : LayerChannels)
        held += channel != 0 ? 1 : 0;
    return held;
}

class BoardOutputWinTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Devices.Set({kSpeakers, kDisabled, kHeadphones});
        ovelaudio::SetOutputBackend(&Devices);
        CreateDayForestBoard();
    }

    static void TearDownTestSuite() { FreeOvelMainForm(); }

    void SetUp() override
    {
        ASSERT_NE(OvelMainForm, nullptr);
        Devices.Set({kSpeakers, kDisabled, kHeadphones});
        Devices.RefuseOpen(false);
        Board().WaitAnyDefDeviceRadioButton.SetChecked(true);
        Board().FillInDeviceCB(false);
        Board().PlayCheckBox.SetChecked(true);
        Board().PlayOvel();
        ASSERT_FALSE(DeviceFailed);
    }

    static TOvelMainForm& Board() { return *OvelMainForm; }
    static TComboBox& Combo() { return Board().DeviceComboBox; }

    // The device is lost the way a stream reports it.
    static void LoseTheDevice()
    {
        Devices.FailOpenDevice();
        ASSERT_TRUE(PumpUntil([] { return DeviceFailed; }, kShortPump));
    }

    // While lost the list is red, and the checked policy that waits for the
    // device (none under "any default").
    static void ExpectLook(bool lost, const TControl* redPolicy = nullptr)
    {
        EXPECT_EQ(Combo().Color(), lost ? clRed : clDefault);
        for (const TControl* policy : {&Board().UseCurrentDefDeviceRadioButton, &Board().WaitThisDeviceRadioButton,
                                       &Board().WaitAnyDefDeviceRadioButton})
            EXPECT_EQ(policy->Color(), policy == redPolicy ? clRed : clDefault) << policy->Id();
    }
};

TEST_F(BoardOutputWinTest, ListsTheEnabledDevicesByTheirNumbersAndPlaysOnTheDefault)
{
    ASSERT_EQ(Combo().Items.Count(), 2);
    EXPECT_EQ(Combo().Items.Strings(0), "Speakers");
    EXPECT_EQ(Combo().Items.Objects(0), 1);
    EXPECT_EQ(Combo().Items.Strings(1), "Headphones");
    EXPECT_EQ(Combo().Items.Objects(1), 3);
    EXPECT_EQ(DefaultDeviceItem, 1);
    EXPECT_EQ(DefaultDevice, 3);
    EXPECT_EQ(OutputDevice, 3);
    EXPECT_EQ(Combo().ItemIndex(), 1);
    EXPECT_EQ(Devices.LastOpened(), 3u);
    EXPECT_GT(LayersHeld(), 0);
}

TEST_F(BoardOutputWinTest, EachPolicyFindsItsDeviceAfterALoss)
{
    struct Case {
        const char* what;
        TRadioButton TOvelMainForm::*policy;
        std::vector<DeviceEntry> devicesThen;
        bool restored;
        int outputDevice;  // when restored
    };
    const DeviceEntry speakersGone{"Speakers", "spk", false, false};
    const DeviceEntry speakersDefault{"Speakers", "spk", true, true};
    const DeviceEntry headphonesPlain{"Headphones", "hp", true, false};
    const Case cases[] = {
        {"any default: the new default",
         &TOvelMainForm::WaitAnyDefDeviceRadioButton,
         {speakersDefault, kDisabled, headphonesPlain},
         true,
         1},
        {"current default: the new default",
         &TOvelMainForm::UseCurrentDefDeviceRadioButton,
         {speakersDefault, kDisabled, headphonesPlain},
         true,
         1},
        {"any default, none left",
         &TOvelMainForm::WaitAnyDefDeviceRadioButton,
         {kSpeakers, kDisabled, headphonesPlain},
         false,
         0},
        {"this device, still listed",
         &TOvelMainForm::WaitThisDeviceRadioButton,
         {speakersDefault, kDisabled, headphonesPlain},
         true,
         3},
        {"this device, gone",
         &TOvelMainForm::WaitThisDeviceRadioButton,
         {speakersGone, kDisabled, {"Headphones", "hp", false, false}},
         false,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        (Board().*c.policy).SetChecked(true);
        Devices.Set(c.devicesThen);
        EXPECT_EQ(Board().DeviceFailRestored(), c.restored);
        if (c.restored) {
            EXPECT_EQ(static_cast<int>(Combo().Items.Objects(Combo().ItemIndex())), c.outputDevice);
            if (c.policy != &TOvelMainForm::WaitThisDeviceRadioButton) {
                EXPECT_EQ(OutputDevice, c.outputDevice);
            }
        }
    }
}

TEST_F(BoardOutputWinTest, AWaitedDeviceThatIsGoneKeepsItsNameUntilItReturns)
{
    Board().WaitThisDeviceRadioButton.SetChecked(true);
    ASSERT_EQ(OutputDeviceName, "Headphones");
    Devices.Set({kSpeakers, kDisabled, {"Headphones", "hp", false, false}});
    EXPECT_FALSE(Board().DeviceFailRestored());
    EXPECT_EQ(Combo().Style(), csDropDown);
    EXPECT_EQ(Combo().ItemIndex(), -1);
    EXPECT_EQ(Combo().Text(), "Headphones");

    // The shown name takes no typing; End still chooses, as in the list.
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(Combo().Handle(), &info));
    SendMessageA(info.hwndItem, WM_KEYDOWN, VK_DELETE, 0);
    SendMessageA(info.hwndItem, WM_CHAR, 'x', 0);
    SendMessageA(info.hwndItem, WM_CHAR, VK_BACK, 0);
    EXPECT_EQ(Combo().Text(), "Headphones");
    EXPECT_EQ(OutputDeviceName, "Headphones");
    SendMessageA(info.hwndItem, WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(Combo().Text(), "Speakers");
    EXPECT_EQ(OutputDevice, 1);
    EXPECT_EQ(Devices.LastOpened(), 1u);

    Devices.Set({kSpeakers, kDisabled, kHeadphones});
    OutputDeviceName = "Headphones";
    EXPECT_TRUE(Board().DeviceFailRestored());
    EXPECT_EQ(Combo().Style(), csOwnerDrawFixed);
    EXPECT_EQ(Combo().Text(), "Headphones");
}

TEST_F(BoardOutputWinTest, LosingTheDeviceSilencesOnceAndShowsItUntilTheOutputIsBack)
{
    Board().UseCurrentDefDeviceRadioButton.SetChecked(true);
    LoseTheDevice();
    EXPECT_EQ(LayersHeld(), 0);
    EXPECT_EQ(BASS_GetDevice(), static_cast<DWORD>(-1)) << "the output is freed";
    EXPECT_EQ(Board().ScheduleTimer.Interval(), kSilentScheduleInterval);
    ExpectLook(true, &Board().UseCurrentDefDeviceRadioButton);

    const size_t opens = Devices.Opens();
    OnOutputDeviceFail();  // a second layer's report
    EXPECT_EQ(Devices.Opens(), opens);
    EXPECT_TRUE(DeviceFailed);

    // The schedule's tick finds the device back and plays again.
    Board().ScheduleTimerTimer(nullptr);
    EXPECT_FALSE(DeviceFailed);
    ExpectLook(false);
    EXPECT_GT(LayersHeld(), 0);
    EXPECT_EQ(Board().ScheduleTimer.Interval(), kPlayingScheduleInterval);
    EXPECT_TRUE(Board().ScheduleTimer.Enabled());

    // A second loss is not ignored.
    LoseTheDevice();
    EXPECT_EQ(LayersHeld(), 0);
}

TEST_F(BoardOutputWinTest, TheTickLosesTheOutputWhenItsDeviceIsNoLongerTheDefaultAndWatchesForItsReturn)
{
    Board().UseCurrentDefDeviceRadioButton.SetChecked(true);
    ASSERT_EQ(OutputDevice, 3);
    Devices.Set({{"Speakers", "spk", true, true}, kDisabled, {"Headphones", "hp", true, false}});
    Board().ScheduleTimerTimer(nullptr);
    EXPECT_FALSE(DeviceFailed) << "the new default is there: the watch plays on it at once";
    EXPECT_EQ(OutputDevice, 1);
    EXPECT_EQ(Devices.LastOpened(), 1u);
    EXPECT_GT(LayersHeld(), 0);

    Devices.Set({kSpeakers, kDisabled, {"Headphones", "hp", true, false}});
    Board().ScheduleTimerTimer(nullptr);
    EXPECT_TRUE(DeviceFailed) << "no default is left";
    EXPECT_EQ(LayersHeld(), 0);
    ExpectLook(true, &Board().UseCurrentDefDeviceRadioButton);
    Board().ScheduleTimerTimer(nullptr);
    EXPECT_TRUE(DeviceFailed);

    Devices.Set({kSpeakers, kDisabled, kHeadphones});
    Board().ScheduleTimerTimer(nullptr);
    EXPECT_FALSE(DeviceFailed);
    EXPECT_EQ(OutputDevice, 3);
    EXPECT_GT(LayersHeld(), 0);
    ExpectLook(false);
}

TEST_F(BoardOutputWinTest, ADeviceThatCannotBeOpenedIsLostNotPlaying)
{
    Devices.RefuseOpen(true);
    Board().PlayOvel();
    EXPECT_TRUE(DeviceFailed);
    EXPECT_EQ(LayersHeld(), 0);
    ExpectLook(true);

    Devices.RefuseOpen(false);
    Board().PlayOvel();
    EXPECT_FALSE(DeviceFailed);
    EXPECT_GT(LayersHeld(), 0);
}

TEST_F(BoardOutputWinTest, HardwareMixingSwitchReopensTheOutputWithItsFlag)
{
    for (bool hardware : {true, false}) {
        SCOPED_TRACE(hardware);
        const size_t opens = Devices.Opens();
        Board().HWMCheckBox.SetChecked(hardware);
        EXPECT_EQ(SoftwareMixing, hardware ? 0 : 1);
        EXPECT_GT(Devices.Opens(), opens);
        BASS_CHANNELINFO info{};
        ASSERT_TRUE(BASS_ChannelGetInfo(LayerChannels[lyDayBackground1], &info));
        EXPECT_EQ((info.flags & BASS_SAMPLE_SOFTWARE) != 0, !hardware);
    }
}

}  // namespace
