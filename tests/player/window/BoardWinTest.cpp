// The control board made as the program makes it, with the shipped banks and
// language modules, playing on the real output of the null sink. One board
// serves every case, in order; the last one ends it.
#include "player/window/MainForm.h"

#include "platform/audio/core/TestHooks.h"
#include "platform/audio/win/WindowsBackends.h"
#include "platform/forms/Application.h"
#include "player/engine/Layers.h"
#include "player/engine/SoundBanks.h"
#include "tests/player/window/BoardFixture.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <functional>
#include <fstream>
#include <set>
#include <vector>

namespace {

constexpr std::array<TLayerId, 5> kDayLayers = {lyDayBackground1, lyDayBackground2, lyBirds1, lyBirds2, lyBirds3};
constexpr std::array<TLayerId, 4> kNightLayers = {lyNightBackground1, lyNightBackground2, lyNightVoices1,
                                                  lyNightVoices2};

template <std::size_t N>
int LayersHeld(const std::array<TLayerId, N>& layers)
{
    int held = 0;
    for (TLayerId layer : layers)
        held += LayerChannels[layer] != 0 ? 1 : 0;
    return held;
}

int AllLayersHeld()
{
    int held = 0;
    for (HSTREAM channel : LayerChannels)
        held += channel != 0 ? 1 : 0;
    return held;
}

// Every stream a layer has had; only the one it holds may still sound.
class TLayerWatch {
public:
    void Look()
    {
        int sounding = 0;
        for (int i = 0; i < LayerSlotCount; ++i) {
            const HSTREAM held = LayerChannels[i];
            if (held != 0 && seen_[i].insert(held).second && seen_[i].size() > 1)
                ++chains_;
            for (HSTREAM earlier : seen_[i]) {
                if (earlier != held) {
                    EXPECT_EQ(BASS_ChannelIsActive(earlier), BASS_ACTIVE_STOPPED) << "layer " << i << " holds two";
                }
            }
            sounding += BASS_ChannelIsActive(held) == BASS_ACTIVE_PLAYING ? 1 : 0;
        }
        mostSounding_ = std::max(mostSounding_, sounding);
        EXPECT_LE(ovelaudio::testhooks::LiveStreams(), static_cast<std::size_t>(AllLayersHeld()));
    }
    int Chains() const { return chains_; }
    int MostSounding() const { return mostSounding_; }

private:
    std::array<std::set<HSTREAM>, LayerSlotCount> seen_;
    int chains_ = 0;
    int mostSounding_ = 0;
};

class BoardWinTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ovelaudio::RegisterWindowsBackends();
        CreateDayForestBoard();
    }

    static void TearDownTestSuite() { FreeOvelMainForm(); }

    void SetUp() override { ASSERT_NE(OvelMainForm, nullptr) << "an earlier case ended the board"; }

    TOvelMainForm& Board() { return *OvelMainForm; }
    bool SpeakerPlays() { return Board().SpkAnimate.Playing(); }
};

TEST_F(BoardWinTest, StartsHiddenPlayingTheDayForestWithItsTrayIcon)
{
    EXPECT_FALSE(Board().Visible());
    EXPECT_TRUE(Board().Customize.Enabled) << "the tray offers the hidden board";
    EXPECT_GT(LayersHeld(kDayLayers), 0);
    EXPECT_EQ(LayersHeld(kNightLayers), 0);
    BASS_CHANNELINFO info{};
    ASSERT_TRUE(BASS_ChannelGetInfo(LayerChannels[lyDayBackground1], &info));
    EXPECT_NE(info.flags & BASS_SAMPLE_SOFTWARE, 0u) << "mixed in software, as the unticked hardware box says";
    EXPECT_TRUE(Board().SpkAnimate.Active());
    EXPECT_FALSE(SpeakerPlays()) << "the hidden board draws no animation";

    NOTIFYICONDATAA icon{};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = Board().Handle();
    icon.uID = kTrayIconId;
    EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &icon));
}

TEST_F(BoardWinTest, DayForestSoundsInSeveralLayersThatChainByTheirEnds)
{
    TLayerWatch watch;
    const bool chained =
        PumpUntil([&] { return watch.Chains() > 0 && watch.MostSounding() >= 3; }, kPumpLimit, [&] { watch.Look(); });
    EXPECT_TRUE(chained) << "layers sounding at once: " << watch.MostSounding() << ", chains: " << watch.Chains();
    EXPECT_EQ(LayersHeld(kNightLayers), 0);
}

TEST_F(BoardWinTest, NightSwitchStopsTheDayLayersAndStartsTheNightOnes)
{
    Board().ForestNClick(nullptr);
    EXPECT_EQ(Board().OvelComboBox.ItemIndex(), kNightScene);
    EXPECT_EQ(Board().Color(), kNightColor);
    EXPECT_TRUE(Board().ForestN.Checked);
    EXPECT_FALSE(Board().Forest.Checked);
    EXPECT_EQ(LayersHeld(kDayLayers), 0);
    EXPECT_EQ(LayersHeld(kNightLayers), static_cast<int>(kNightLayers.size()));

    TLayerWatch watch;
    PumpUntil([] { return false; }, std::chrono::seconds(3), [&] { watch.Look(); });
    EXPECT_EQ(LayersHeld(kDayLayers), 0);
    EXPECT_GT(watch.MostSounding(), 0);
}

TEST_F(BoardWinTest, PlaySwitchSilencesAndRestores)
{
    Board().PlayCheckBox.SetChecked(false);
    EXPECT_EQ(AllLayersHeld(), 0);
    EXPECT_EQ(ovelaudio::testhooks::LiveStreams(), 0u);
    EXPECT_FALSE(Board().SpkAnimate.Visible());
    EXPECT_EQ(Board().PlayOnOff.ImageIndex, 0);  // the item offers sound on

    Board().PlayOnOffClick(nullptr);  // the tray's play item
    EXPECT_TRUE(Board().PlayCheckBox.Checked());
    EXPECT_GT(LayersHeld(kNightLayers), 0);
    EXPECT_TRUE(PumpUntil([] { return BASS_ChannelIsActive(LayerChannels[lyNightBackground1]) != 0; }, kShortPump));
}

// Two clicks queued back to back: the first one's start pumps the second.
TEST_F(BoardWinTest, TrayDoubleClickWhileSilentEndsSilent)
{
    Board().PlayCheckBox.SetChecked(false);
    for (int click = 0; click < 2; ++click)
        PostMessageA(Board().Handle(), kTrayCallbackMessage, kTrayIconId, WM_LBUTTONUP);
    ASSERT_TRUE(PumpQueued());
    EXPECT_FALSE(Board().PlayCheckBox.Checked());
    EXPECT_EQ(AllLayersHeld(), 0);
    EXPECT_EQ(ovelaudio::testhooks::LiveStreams(), 0u);
    EXPECT_FALSE(Board().SpkAnimate.Active());
    EXPECT_EQ(Board().PlayOnOff.ImageIndex, 0);
}

// The night switch's recolouring pumps the queued day switch: the later one wins whole.
TEST_F(BoardWinTest, SceneSwitchQueuedDuringAnotherEndsInTheLaterScene)
{
    constexpr int kDayBackgroundMin = 20;
    Board().PlayCheckBox.SetChecked(true);
    Application.Post([this] { Board().ForestClick(nullptr); });
    Board().ForestNClick(nullptr);
    ASSERT_TRUE(PumpQueued());
    EXPECT_EQ(Board().OvelComboBox.ItemIndex(), kDayScene);
    EXPECT_EQ(Board().Color(), kDayColor);
    EXPECT_TRUE(Board().Forest.Checked);
    EXPECT_FALSE(Board().ForestN.Checked);
    EXPECT_FALSE(Board().O1Shape.Visible());
    EXPECT_EQ(Board().Option1TrackBar1.Min(), kDayBackgroundMin);
    EXPECT_EQ(LayersHeld(kNightLayers), 0);
    EXPECT_GT(LayersHeld(kDayLayers), 0);

    Board().ForestNClick(nullptr);  // the cases after play the night forest
}

TEST_F(BoardWinTest, ShownByWmAppAndHiddenByEscWhileTheForestPlaysOn)
{
    PostMessageA(Board().Handle(), WM_APP, 0, 0);
    ASSERT_TRUE(PumpUntil([this] { return Board().Visible(); }, kShortPump));
    EXPECT_FALSE(Board().Customize.Enabled);
    EXPECT_TRUE(SpeakerPlays());

    PostMessageA(Board().Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(PumpUntil([this] { return !Board().Visible(); }, kShortPump));
    EXPECT_TRUE(Board().Customize.Enabled);
    EXPECT_FALSE(SpeakerPlays());
    EXPECT_FALSE(Application.Terminated());
    EXPECT_GT(LayersHeld(kNightLayers), 0);
}

TEST_F(BoardWinTest, AltF4AsksTheLoopToEnd)
{
    constexpr LPARAM kAltDown = 1 << 29;
    PostMessageA(Board().Handle(), WM_SYSKEYDOWN, VK_F4, kAltDown);
    // Taken out of the queue, so that the board lives on for the last case.
    bool quitPosted = false;
    MSG quit;
    PumpUntil([&] { return quitPosted = quitPosted || PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE); },
              kShortPump);
    EXPECT_TRUE(quitPosted);
}

// The colour pixels of an icon, top row first.
std::vector<std::uint32_t> IconPixels(HICON icon)
{
    ICONINFO info{};
    if (!GetIconInfo(icon, &info))
        return {};
    BITMAP bitmap{};
    GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = bitmap.bmWidth;
    format.bmiHeader.biHeight = -bitmap.bmHeight;
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(bitmap.bmWidth) * bitmap.bmHeight);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, info.hbmColor, 0, static_cast<UINT>(bitmap.bmHeight), pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return pixels;
}

// The tray's size of the program's icon file of type "I" with this name, as
// the system loads an icon file.
std::vector<std::uint32_t> TrayPicture(const char* name)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, name, "I");
    if (!resource)
        return {};
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(module, resource)));
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string file = std::string(folder) + name + ".ico";
    std::ofstream(file, std::ios::binary).write(bytes, SizeofResource(module, resource));
    const int side = GetSystemMetrics(SM_CXSMICON);
    auto icon = static_cast<HICON>(LoadImageA(nullptr, file.c_str(), IMAGE_ICON, side, side, LR_LOADFROMFILE));
    std::vector<std::uint32_t> pixels = icon ? IconPixels(icon) : std::vector<std::uint32_t>{};
    if (icon)
        DestroyIcon(icon);
    DeleteFileA(file.c_str());
    return pixels;
}

// The tray's picture tells the scene, the sound and an alarm or mute time
// waiting; a file alarm waits only with its file chosen.
TEST_F(BoardWinTest, TrayIconShowsSceneSoundAndWhatWaits)
{
    const struct {
        const char* what;
        bool night;
        bool playing;
        bool muteTime;
        bool alarm;
        bool innerAlarm;
        const char* alarmFile;
        const char* icon;
    } rows[] = {
        {"day playing", false, true, false, false, false, "", "if"},
        {"day silent", false, false, false, false, false, "", "ifx"},
        {"day silent, mute time set", false, false, true, false, false, "", "ifxt"},
        {"day, built-in alarm set", false, true, false, true, true, "", "ift"},
        {"day, file alarm without its file", false, true, false, true, false, "", "if"},
        {"day, file alarm with its file", false, true, false, true, false, "alarm.wav", "ift"},
        {"night playing", true, true, false, false, false, "", "ifn"},
        {"night silent, mute time set", true, false, true, false, false, "", "ifnxt"},
    };
    // The alarm's controls as the user left them: their handlers would ask
    // for the file a file alarm lacks.
    const auto setQuietly = [](auto& control, bool checked) {
        const TNotifyEvent handler = control.OnClick;
        control.OnClick = nullptr;
        control.SetChecked(checked);
        control.OnClick = handler;
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.night)
            Board().ForestNClick(nullptr);
        else
            Board().ForestClick(nullptr);
        Board().MuteTimeCheckBox.SetChecked(row.muteTime);
        setQuietly(Board().AlarmClockCheckBox, row.alarm);
        if (row.innerAlarm)
            setQuietly(Board().InnerAlarmRadioButton, true);
        else
            setQuietly(Board().FileAlarmRadioButton, true);
        AlarmFileName = row.alarmFile;
        Board().PlayCheckBox.SetChecked(!row.playing);
        Board().PlayCheckBox.SetChecked(row.playing);
        const std::vector<std::uint32_t> expected = TrayPicture(row.icon);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(IconPixels(Application.Icon), expected);
    }
    Board().MuteTimeCheckBox.SetChecked(false);
    setQuietly(Board().AlarmClockCheckBox, false);
    AlarmFileName.clear();
    Board().PlayCheckBox.SetChecked(true);  // the last case ends the night forest
}

// Last: the board ends here, as the program ends it after its loop.
TEST_F(BoardWinTest, PostedQuitRemovesTheTrayIconAndFreesTheOutput)
{
    const HWND board = Board().Handle();
    const HSTREAM channel = LayerChannels[lyNightBackground1];
    ASSERT_NE(channel, 0u);
    PostMessageA(board, WM_QUIT, 0, 0);
    Application.Run();
    FreeOvelMainForm();

    NOTIFYICONDATAA icon{};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = board;
    icon.uID = kTrayIconId;
    EXPECT_FALSE(Shell_NotifyIconA(NIM_MODIFY, &icon));
    EXPECT_EQ(BASS_GetDevice(), static_cast<DWORD>(-1));
    EXPECT_EQ(BASS_ChannelIsActive(channel), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(AllLayersHeld(), 0);
    EXPECT_FALSE(SoundBanks[sbOvda].Handle);
}

}  // namespace
