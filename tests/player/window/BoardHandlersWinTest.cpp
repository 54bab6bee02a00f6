// The board's control handlers as the program makes the board: the live
// volume, the brook level, the chimes, the alarm's file, the rain rarity, the
// autostart and service boxes, what each handler saves, the bonfire by day,
// the placement pad's marker, the minimise box and the layer boxes of missing
// banks. The output is one scripted device whose mix the test pulls itself.
#include "player/window/MainForm.h"

#include "platform/audio/core/Backends.h"
#include "platform/forms/Application.h"
#include "player/engine/ChimeSound.h"
#include "player/engine/ClipPlacement.h"
#include "player/engine/Layers.h"
#include "player/engine/SoundBanks.h"
#include "player/engine/UserSounds.h"
#include "player/engine/WeatherStrands.h"
#include "player/engine/SystemInfoLine.h"
#include "player/engine/UserFolders.h"
#include "support/LangUnit.h"
#include "support/ProgInfo.h"
#include "tests/common/DialogAnswerer.h"
#include "tests/common/MessageBoxWatcher.h"
#include "tests/player/window/BoardFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

// One default device; its mix is rendered only when the test asks.
class TPulledDevice : public ovelaudio::OutputBackend {
public:
    std::vector<ovelaudio::DeviceEntry> Devices() override { return {{"Speakers", "spk", true, true}}; }

    std::unique_ptr<ovelaudio::OutputDriver> Open(size_t, uint32_t rate, void*, ovelaudio::RenderFn render,
                                                  ovelaudio::FailFn, int&) override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        render_ = std::move(render);
        return std::make_unique<TSilentDriver>(rate);
    }

    // The loudest sample of the next frames of the mix.
    float Peak(uint32_t frames)
    {
        ovelaudio::RenderFn render;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            render = render_;
        }
        std::vector<float> mix(2 * frames);
        render(mix.data(), 0, frames);
        float peak = 0;
        for (float sample : mix)
            peak = std::max(peak, std::fabs(sample));
        return peak;
    }

private:
    std::mutex mutex_;
    ovelaudio::RenderFn render_;
};

TPulledDevice Device;

// A second of 16-bit stereo at half of full scale, as a WAVE file in memory.
std::vector<char> HalfScaleWave()
{
    constexpr std::uint32_t kRate = 44100;
    constexpr std::uint16_t kChannels = 2;
    constexpr std::uint16_t kBits = 16;
    constexpr std::int16_t kHalf = 16384;
    const std::uint32_t dataBytes = kRate * kChannels * kBits / 8;
    std::vector<char> file(44 + dataBytes);
    auto put = [&file](std::size_t at, auto value) { std::memcpy(&file[at], &value, sizeof value); };
    std::memcpy(&file[0], "RIFF", 4);
    put(4, static_cast<std::uint32_t>(36 + dataBytes));
    std::memcpy(&file[8], "WAVEfmt ", 8);
    put(16, std::uint32_t{16});
    put(20, std::uint16_t{1});
    put(22, kChannels);
    put(24, kRate);
    put(28, static_cast<std::uint32_t>(kRate * kChannels * kBits / 8));
    put(32, static_cast<std::uint16_t>(kChannels * kBits / 8));
    put(34, kBits);
    std::memcpy(&file[36], "data", 4);
    put(40, dataBytes);
    for (std::size_t sample = 0; sample < dataBytes / 2; ++sample)
        put(44 + 2 * sample, kHalf);
    return file;
}

bool Stored(const char* name)
{
    const std::string key = kProductKeyBase + ProductName;
    return RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

void Forget(const char* name)
{
    const std::string key = kProductKeyBase + ProductName;
    RegDeleteKeyValueA(HKEY_CURRENT_USER, key.c_str(), name);
}

bool Playing(TLayerId layer) { return BASS_ChannelIsActive(LayerChannels[layer]) == BASS_ACTIVE_PLAYING; }

fs::path ScratchFolder(const char* name)
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const fs::path folder = fs::path(temp) / ("ovel-board-" + std::string(name) + "-" + std::to_string(GetTickCount()));
    fs::create_directories(folder);
    return folder;
}

void Click(const TControl& control)
{
    SendMessageA(control.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(control.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

// The user chooses an item of a list.
void Choose(TComboBox& combo, int item)
{
    SendMessageA(combo.Handle(), CB_SETCURSEL, static_cast<WPARAM>(item), 0);
    SendMessageA(GetParent(combo.Handle()), WM_COMMAND, MAKEWPARAM(combo.Id(), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo.Handle()));
}

// What the folder dialog met: whether the board took input while it was open
// and the error mode then; the dialog is ended with the button given.
struct TFolderDialog {
    bool found = false;
    bool boardEnabled = true;
    UINT errorMode = 0;
};

BOOL CALLBACK TakeOwnDialog(HWND window, LPARAM found)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (process != GetCurrentProcessId() || std::string(name) != "#32770" || !IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

std::future<TFolderDialog> AnswerFolderDialog(HWND board, WPARAM button)
{
    return std::async(std::launch::async, [board, button] {
        TFolderDialog seen;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        HWND dialog = nullptr;
        while (!dialog && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            EnumWindows(TakeOwnDialog, reinterpret_cast<LPARAM>(&dialog));
        }
        if (!dialog)
            return seen;
        seen = {true, IsWindowEnabled(board) != FALSE, GetErrorMode()};
        PostMessageA(dialog, WM_COMMAND, button, 0);
        return seen;
    });
}

class BoardHandlersWinTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ovelaudio::SetOutputBackend(&Device);
        PrepareLikeTheStart();
        ASSERT_TRUE(PrepareApplication());
        ASSERT_TRUE(CreateOvelMainForm());
        HoldTheSchedule();
    }

    static void TearDownTestSuite() { FreeOvelMainForm(); }

    void SetUp() override { ASSERT_NE(OvelMainForm, nullptr); }

    static TOvelMainForm& Board() { return *OvelMainForm; }

    static void ShowBoard()
    {
        PostMessageA(Board().Handle(), WM_APP, 0, 0);
        ASSERT_TRUE(PumpUntil([] { return Board().Visible(); }, kShortPump));
    }

    // The folders the autostart and service boxes work in.
    void UseScratchFolders(const char* name)
    {
        folder_ = ScratchFolder(name);
        StartupDir = folder_.string() + "\\";
        previousFolder_ = fs::current_path();
        fs::current_path(folder_);
    }

    void TearDown() override
    {
        if (folder_.empty())
            return;
        fs::current_path(previousFolder_);
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    fs::path StartupLink() const { return folder_ / "Ovel.lnk"; }

    fs::path folder_;
    fs::path previousFolder_;
};

TEST_F(BoardHandlersWinTest, VolumeTrackBarSetsTheGlobalStreamVolume)
{
    constexpr uint32_t kSettled = 4096;  // frames past the resampler's start
    StopLayers();
    const std::vector<char> wave = HalfScaleWave();
    const HSTREAM tone = BASS_StreamCreateFile(TRUE, wave.data(), 0, wave.size(), BASS_SAMPLE_LOOP);
    ASSERT_NE(tone, 0u);
    ASSERT_TRUE(BASS_ChannelPlay(tone, FALSE));

    Board().VolumeTrackBar.SetPosition(100);
    Device.Peak(kSettled);
    const float full = Device.Peak(kSettled);
    ASSERT_GT(full, 0.25f);
    Board().VolumeTrackBar.SetPosition(37);
    Device.Peak(kSettled);
    EXPECT_NEAR(Device.Peak(kSettled) / full, 0.37f, 0.005f);
    EXPECT_EQ(Board().VolumeTrackBar.Hint(), "37%");
    BASS_StreamFree(tone);
}

// Above 75 the waterfall joins the brook and takes the box's name; back at
// 75 it leaves, and the brook plays on. With the brook off no waterfall starts.
TEST_F(BoardHandlersWinTest, BrookLevelAbove75BringsInTheWaterfallAndNamesIt)
{
    Board().ForestClick(nullptr);
    Board().PlayCheckBox.SetChecked(true);
    TTrackBar& level = Board().OptionTrackBar;
    TCheckBox& box = Board().OptionCheckBox;
    level.SetPosition(75);
    box.SetChecked(true);
    ASSERT_TRUE(Playing(lyBrook));
    EXPECT_FALSE(Playing(lyWaterfall));
    EXPECT_EQ(box.Caption(), GetLangString("brook"));
    const int brookWidth = box.Width();

    level.SetPosition(76);
    EXPECT_TRUE(Playing(lyWaterfall));
    EXPECT_EQ(box.Caption(), GetLangString("waterfall"));
    EXPECT_GT(box.Width(), brookWidth) << "the longer caption widens the box";

    level.SetPosition(75);
    EXPECT_FALSE(Playing(lyWaterfall));
    EXPECT_TRUE(Playing(lyBrook));
    EXPECT_EQ(box.Caption(), GetLangString("brook"));
    EXPECT_EQ(box.Width(), brookWidth);

    box.SetChecked(false);
    EXPECT_FALSE(Playing(lyBrook));
    level.SetEnabled(true);
    level.SetPosition(80);
    EXPECT_FALSE(Playing(lyWaterfall)) << "no waterfall without the brook";
    level.SetPosition(75);
}

// The value each handler writes, and none while the settings load.
TEST_F(BoardHandlersWinTest, EachHandlerSavesItsValueAndNoneWhileSettingsLoad)
{
    Board().ForestClick(nullptr);
    Board().PlayCheckBox.SetChecked(true);
    const auto toggle = [](TCheckBox& box) { return [&box] { box.SetChecked(!box.Checked()); }; };
    const auto next = [](TComboBox& combo) {
        return [&combo] { Choose(combo, (combo.ItemIndex() + 1) % combo.Items.Count()); };
    };
    TTrackBar& activity = Board().Option1TrackBar;
    const struct {
        const char* what;
        std::function<void()> act;
        const char* value;
    } rows[] = {
        {"brook", toggle(Board().OptionCheckBox), "D1"},
        {"rain", toggle(Board().RainCheckBox), "D1"},
        {"storm", toggle(Board().StormCheckBox), "D1"},
        {"crickets", toggle(Board().Option2CheckBox), "D1"},
        {"cuckoos", toggle(Board().Option6CheckBox), "D1"},
        {"bird fly-bys", toggle(Board().Option3CheckBox), "D1"},
        {"wind", toggle(Board().WindCheckBox), "D1"},
        {"guitar, through the music outlook", toggle(Board().GuitarCheckBox), "D1"},
        {"bird activity", [&activity] { activity.SetPosition(activity.Position() == 1 ? 2 : 1); }, "D2"},
        {"rain rarity", next(Board().RainComboBox), "RainFreq"},
        {"autostart mode", next(Board().AutoStartComboBox), "AutoStartIndex"},
        {"alternation mode", next(Board().AlternateComboBox), "AlterIndex"},
        {"alternation", toggle(Board().AlternateCheckBox), "C1"},
        {"limiter", toggle(Board().CompressionCheckBox), "C1"},
        {"memory clean", toggle(Board().MemoryCleanCheckBox), "C1"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        LoadingSettings = true;
        Forget(row.value);
        row.act();
        LoadingSettings = false;
        EXPECT_FALSE(Stored(row.value)) << "saved while loading";
        row.act();
        EXPECT_TRUE(Stored(row.value));
    }
    if (RainPlays())
        Board().RainNowClick(nullptr);
}

// At night the box lights the fires and its strength gives their strands; the
// box saves only for a sender, not when the output's start puts it in line.
TEST_F(BoardHandlersWinTest, BonfireAtNightBurnsByItsBoxAndStrengthAndSavesOnlyForASender)
{
    Board().ForestNClick(nullptr);
    Board().PlayCheckBox.SetChecked(true);
    TCheckBox& fire = Board().Option1CheckBox;
    ASSERT_TRUE(fire.Enabled());
    TTrackBar& strength = Board().Option1TrackBar;
    strength.SetPosition(1);  // each row below then moves it
    fire.SetChecked(false);
    EXPECT_FALSE(Playing(lyFire1));
    Forget("N1");
    fire.SetChecked(true);
    EXPECT_TRUE(Stored("N1"));
    EXPECT_TRUE(Playing(lyFire1));

    const struct {
        int strength;
        bool second;
        bool third;
    } rows[] = {{2, true, true}, {0, false, false}, {1, true, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.strength);
        Forget("N2");
        strength.SetPosition(row.strength);
        EXPECT_TRUE(Stored("N2"));
        EXPECT_TRUE(Playing(lyFire1));
        EXPECT_EQ(Playing(lyFire2), row.second);
        EXPECT_EQ(Playing(lyFire3), row.third);
    }

    Forget("N1");
    Board().Option1CheckBoxClick(nullptr);
    EXPECT_FALSE(Stored("N1"));
    fire.SetChecked(false);
    EXPECT_FALSE(Playing(lyFire1));
    EXPECT_TRUE(Stored("N1"));
    Board().ForestClick(nullptr);
}

// The wind box starts the gusts' timer only while the output plays.
TEST_F(BoardHandlersWinTest, WindBoxBlowsOnlyWhilePlaying)
{
    TCheckBox& wind = Board().WindCheckBox;
    for (const bool playing : {false, true}) {
        SCOPED_TRACE(playing ? "playing" : "silent");
        Board().PlayCheckBox.SetChecked(playing);
        wind.SetChecked(false);
        EXPECT_FALSE(Board().FWindTimer.Enabled());
        wind.SetChecked(true);
        EXPECT_EQ(Board().FWindTimer.Enabled(), playing);
    }
    wind.SetChecked(false);
}

// Unticking an instrument's box ends the music only when that instrument plays.
TEST_F(BoardHandlersWinTest, InstrumentBoxEndsOnlyItsOwnMusic)
{
    Board().ForestClick(nullptr);
    Board().PlayCheckBox.SetChecked(true);
    PlayMusic(mkAccordion);
    ASSERT_TRUE(Playing(lyMusic));
    ASSERT_EQ(MusicKind, mkAccordion);
    const struct {
        TCheckBox& box;
        bool playingAfter;
    } rows[] = {{Board().GuitarCheckBox, true}, {Board().FluteCheckBox, true}, {Board().HaCheckBox, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.box.Id());
        row.box.SetChecked(true);
        row.box.SetChecked(false);
        EXPECT_EQ(Playing(lyMusic), row.playingAfter);
    }
}

// Entering a fly-by level plays a fly-by at once; another entry starts a new one.
TEST_F(BoardHandlersWinTest, FlyByLevelPlaysItsPreviewOnEntry)
{
    Board().PlayCheckBox.SetChecked(true);
    for (TTrackBar* level : {&Board().NFBTrackBar, &Board().NFITrackBar}) {
        SCOPED_TRACE(level->Id());
        level->OnEnter(level);
        EXPECT_TRUE(Playing(lyFlight));
    }
    BASS_ChannelStop(LayerChannels[lyFlight]);
}

// The bonfire belongs to the night: by day its box starts, stops and saves nothing.
TEST_F(BoardHandlersWinTest, BonfireBoxByDayDoesNothing)
{
    Board().ForestClick(nullptr);
    Board().PlayCheckBox.SetChecked(true);
    TCheckBox& fire = Board().Option1CheckBox;
    const bool levelEnabled = Board().Option1TrackBar.Enabled();
    for (const bool ticked : {!fire.Checked(), fire.Checked()}) {
        Forget("N1");
        fire.SetChecked(ticked);
        EXPECT_FALSE(Stored("N1"));
        EXPECT_FALSE(Playing(lyFire1));
        EXPECT_EQ(Board().Option1TrackBar.Enabled(), levelEnabled);
    }
}

TEST_F(BoardHandlersWinTest, ChimesSoundOneAtATimeAsTheirBoxesAndButtonsSay)
{
    ASSERT_TRUE(Present(sbOvch));
    StopLayers();
    Board().Chime00BitBtn.Tag = 1;
    Board().Chime30BitBtn.Tag = 2;
    Board().Chime00CheckBox.SetChecked(true);
    Board().Chime30CheckBox.SetChecked(true);
    EXPECT_TRUE(Board().FromComboBox.Enabled()) << "the hours window is offered";
    EXPECT_TRUE(Board().Chime00TrackBar.Visible());

    Board().Chime00TrackBarEnter(nullptr);
    ASSERT_TRUE(ChimePlaying());
    constexpr uint32_t kSecond = 44100;
    EXPECT_GT(Device.Peak(kSecond), 0.001f) << "the first chime is heard";
    const HSTREAM first = ChimeChannel;
    Board().Chime30TrackBarEnter(nullptr);
    EXPECT_TRUE(ChimePlaying());
    EXPECT_EQ(BASS_ChannelIsActive(first), BASS_ACTIVE_STOPPED) << "the second chime cuts the first";
    Board().Chime30CheckBox.SetChecked(false);
    EXPECT_FALSE(ChimePlaying()) << "unticking its box silences it";

    Board().Chime00CheckBox.SetCaption(":59");
    Board().Chime00SpinButtonClick(nullptr, btNext);
    EXPECT_EQ(Board().Chime00CheckBox.Caption(), ":00");
    Board().Chime00SpinButtonClick(nullptr, btPrev);
    EXPECT_EQ(Board().Chime00CheckBox.Caption(), ":59");
    Board().Chime00CheckBox.SetChecked(false);
    EXPECT_FALSE(Board().FromComboBox.Enabled());
    EXPECT_FALSE(Board().Chime00TrackBar.Visible());
}

TEST_F(BoardHandlersWinTest, AlarmFileThatWentIsReportedOnceAndTheBuiltInAlarmRingsInstead)
{
    ASSERT_TRUE(Present(sbOvac));
    UseScratchFolders("alarm");
    const fs::path file = folder_ / "wake.wav";
    std::ofstream(file, std::ios::binary).write(HalfScaleWave().data(), 44);
    AlarmFileName = file.string();
    Board().AlarmClockCheckBox.SetChecked(true);
    Board().FileAlarmRadioButton.SetChecked(true);
    EXPECT_EQ(Board().FileAlarmRadioButton.Caption(), GetLangString("file") + ": \"wake\"");
    EXPECT_TRUE(Board().AlarmTestBitBtn.Visible());

    fs::remove(file);
    std::vector<SeenMessageBox> boxes;
    {
        const DialogAnswerer answerer(L"");  // the file dialog it then opens is cancelled
        Board().AlarmClockCheckBoxClick(nullptr);
        boxes = answerer.Boxes();
    }
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find(L"wake.wav"), std::wstring::npos);
    EXPECT_TRUE(AlarmFileName.empty());
    EXPECT_TRUE(Board().InnerAlarmRadioButton.Checked());
    EXPECT_EQ(Board().FileAlarmRadioButton.Caption(), GetLangString("file") + ":");
    EXPECT_TRUE(Board().AlarmTestBitBtn.Visible()) << "the built-in alarm is armed";
    Board().AlarmClockCheckBox.SetChecked(false);
    EXPECT_FALSE(Board().AlarmTestBitBtn.Visible());
}

TEST_F(BoardHandlersWinTest, RainRarityChoosesTheRainFrequencyAndItsHint)
{
    TComboBox& rarity = Board().RainComboBox;
    rarity.Items.Clear();
    for (const char* key : {"veryseldom", "seldom", "often", "veryoften", "endless"})
        rarity.Items.Add(GetLangString(key));
    const int frequencies[] = {512, 256, 96, 32, 16};
    for (int item = 0; item < 5; ++item) {
        Choose(rarity, item);
        EXPECT_EQ(RainFreq, frequencies[item]) << item;
        EXPECT_EQ(rarity.Hint(), rarity.Items.Strings(item));
    }
    Board().RainCheckBox.SetChecked(false);
    Choose(rarity, 1);
    RainFreq = 0;
    Board().RainCheckBox.SetChecked(true);
    EXPECT_TRUE(rarity.Enabled());
    EXPECT_EQ(RainFreq, 256) << "ticking the box applies the chosen rarity";
    Board().RainCheckBox.SetChecked(false);
    EXPECT_FALSE(rarity.Enabled());
    EXPECT_EQ(rarity.FontColor(), clGray);
}

// Without the service option the Startup link serves the autostart alone.
TEST_F(BoardHandlersWinTest, AutostartMakesAndRemovesTheStartupLink)
{
    UseScratchFolders("startup");
    ServerEdition = false;
    const struct {
        bool asService;
        bool linked;
    } rows[] = {{false, true}, {true, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.asService ? "as a service" : "plain");
        Board().AsServiceCheckBox.SetChecked(row.asService);
        Board().AutoStartCheckBox.SetChecked(true);
        EXPECT_EQ(fs::exists(StartupLink()), row.linked);
        EXPECT_TRUE(Board().AutoStartComboBox.Enabled());
        Board().AutoStartCheckBox.SetChecked(false);
        EXPECT_FALSE(fs::exists(StartupLink()));
        EXPECT_FALSE(Board().AutoStartComboBox.Enabled());
        EXPECT_EQ(Board().AutoStartComboBox.FontColor(), clGray);
    }
    Board().AsServiceCheckBox.SetChecked(false);
}

// A service program that is missing or does not start is reported once (a
// second box would hold the handler until the test's time ran out) and its
// box unticked; a missing one also disables the box.
TEST_F(BoardHandlersWinTest, ServiceProgramThatCannotRunIsReportedOnceAndItsBoxUnticked)
{
    UseScratchFolders("service");
    const struct {
        const char* what;
        bool present;
        const wchar_t* english;
        const wchar_t* russian;
        bool boxEnabled;
    } rows[] = {
        {"missing", false, L"ovsrvc.exe file not found!", L"Файл ovsrvc.exe не найден!", false},
        {"no program", true, L"Can't start ovsrvc.exe!", L"Не удаётся запустить ovsrvc.exe!", true},
    };
    IsAdmin = true;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.present)
            std::ofstream(folder_ / "ovsrvc.exe") << "not a program";
        Board().AsServiceCheckBox.SetChecked(true);
        ServerEdition = true;
        MessageBoxWatcher watcher;
        Board().AutoStartCheckBox.SetChecked(true);
        const SeenMessageBox box = watcher.Result();
        ASSERT_TRUE(box.found);
        EXPECT_EQ(box.text, RussianUI ? row.russian : row.english);
        EXPECT_FALSE(Board().AsServiceCheckBox.Checked());
        EXPECT_EQ(Board().AsServiceCheckBox.Enabled(), row.boxEnabled);
        EXPECT_TRUE(fs::exists(StartupLink())) << "the plain autostart is left";
        ServerEdition = false;
        Board().AutoStartCheckBox.SetChecked(false);
    }
}

// A folder dialog that is cancelled keeps the folder in use; one that is gone
// is forgotten. The board takes no input meanwhile, critical-error boxes are
// off, and afterwards the board is active again.
TEST_F(BoardHandlersWinTest, FolderDialogKeepsTheFolderInUseAndForgetsAGoneOne)
{
    ShowBoard();
    Board().ForestClick(nullptr);  // the day's nature folder, whatever the calendar chose
    UseScratchFolders("nature");
    const std::string inUse = folder_.string();
    const struct {
        const char* what;
        std::string path;
        WPARAM button;
        std::string pathAfter;
    } rows[] = {
        {"box ticked with no folder yet, cancelled", "", IDCANCEL, ""},
        {"the folder in use, cancelled, kept", inUse, IDCANCEL, inUse},
        {"a folder that is gone, cancelled", (folder_ / "gone").string(), IDCANCEL, ""},
    };
    TCheckBox& box = Board().NatureFolderCheckBox;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        UserFolders[ufDayNature].Path = row.path;
        constexpr UINT kOwnErrorMode = SEM_NOGPFAULTERRORBOX;
        const UINT previous = SetErrorMode(kOwnErrorMode);
        std::future<TFolderDialog> dialog = AnswerFolderDialog(Board().Handle(), row.button);
        if (row.path.empty())
            box.SetChecked(true);
        else
            Board().NatureFolderBitBtnClick(&Board().NatureFolderBitBtn);
        const TFolderDialog seen = dialog.get();
        EXPECT_EQ(SetErrorMode(previous), kOwnErrorMode);
        ASSERT_TRUE(seen.found);
        EXPECT_FALSE(seen.boardEnabled);
        EXPECT_EQ(seen.errorMode & SEM_FAILCRITICALERRORS, static_cast<UINT>(SEM_FAILCRITICALERRORS));
        EXPECT_TRUE(IsWindowEnabled(Board().Handle()));
        EXPECT_EQ(GetActiveWindow(), Board().Handle()) << "the board is active again";
        EXPECT_EQ(UserFolders[ufDayNature].Path, row.pathAfter);
        EXPECT_FALSE(box.Checked());
    }
    UserFolders[ufDayNature].Path.clear();
}

TEST_F(BoardHandlersWinTest, LayerBoxOfAMissingBankStaysOff)
{
    TCheckBox& wind = Board().WindCheckBox;
    wind.SetEnabled(false);
    wind.SetChecked(true);
    EXPECT_FALSE(wind.Checked());
    EXPECT_FALSE(Board().WindVolumeTrackBar.Enabled());
    wind.SetEnabled(true);

    TCheckBox& storm = Board().StormCheckBox;
    storm.SetChecked(false);
    storm.SetEnabled(false);
    Board().StormCheckBoxClick(&Board());  // the storm hot key
    EXPECT_FALSE(storm.Checked());
    storm.SetEnabled(true);
    Board().StormCheckBoxClick(&Board());
    EXPECT_TRUE(storm.Checked());
}

// The drag arithmetic of the pads and the limiter counts in these pixels.
TEST_F(BoardHandlersWinTest, PadsAndLimiterTrackStandInThePixelsTheirDragsCountIn)
{
    const struct {
        const TControl& control;
        int width;
        int height;
    } rows[] = {{Board().PosPanel, kPadSize, kPadSize},
                {Board().OShape, kMarkerSize, kMarkerSize},
                {Board().O1Shape, kMarkerSize, kMarkerSize},
                {Board().OBackShape, 12, 12},
                {Board().O1BackShape, 12, 12},
                {Board().ZoneVPanel, 40, kLimiterTrackHeight},
                {Board().ZoneLImage, 10, kLimiterTrackHeight},
                {Board().ZoneRImage, 10, kLimiterTrackHeight}};
    for (const auto& row : rows) {
        EXPECT_EQ(row.control.Width(), row.width) << row.control.Id();
        EXPECT_EQ(row.control.Height(), row.height) << row.control.Id();
    }
    EXPECT_EQ(Board().OShape.Left() - Board().OBackShape.Left(), 2) << "the marker sits in its home square";
}

TEST_F(BoardHandlersWinTest, LimiterZoneDraggedPastTheTrackSetsTheFarBoundAndItsLabel)
{
    Board().CompressionCheckBox.SetChecked(true);
    ASSERT_TRUE(Board().FarthestSoundsLabel.Visible());
    TLabel& zone = Board().ZoneVLabel;
    SendMessageA(zone.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 10));
    SendMessageA(zone.Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, static_cast<WORD>(-40)));
    SendMessageA(zone.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 10));
    EXPECT_EQ(zone.Top() - Board().ZoneVPanel.Top(), 1);
    EXPECT_EQ(LimiterHigh, 52);
    EXPECT_EQ(LimiterLow, 33);
    const std::string unit = GetLangText("meterunit", false);
    EXPECT_EQ(Board().FarthestSoundsLabel.Caption(), "5.2 " + unit);
    EXPECT_EQ(Board().ClosestSoundsLabel.Caption(), "3.3 " + unit);
    EXPECT_LT(Board().FarthestSoundsLabel.Top(), Board().ClosestSoundsLabel.Top());

    Board().CompressionCheckBox.SetChecked(false);
    EXPECT_FALSE(Board().FarthestSoundsLabel.Visible());
    EXPECT_EQ(LimiterHigh, 52) << "the bounds stay while the limiter is off";
}

TEST_F(BoardHandlersWinTest, MarkerGoesHomeOnTabNotOnAClickOnALabel)
{
    ShowBoard();
    Board().PlayCheckBox.SetChecked(true);
    Board().OptionCheckBox.SetChecked(true);
    TShape& marker = Board().OShape;
    TPanel& pad = Board().PosPanel;
    const RECT home = marker.Bounds();
    StreamX = 24;
    StreamY = 8;

    Click(marker);
    ASSERT_EQ(marker.Tag, 1);
    EXPECT_TRUE(pad.Visible());
    EXPECT_EQ(marker.Left() - pad.Left(), 24);
    EXPECT_EQ(marker.Top() - pad.Top(), 8);

    // Dragged far up and right it stops at the pad's edges.
    SendMessageA(marker.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    SendMessageA(marker.Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(104, static_cast<WORD>(-96)));
    SendMessageA(marker.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    EXPECT_EQ(StreamX, kMarkerReach);
    EXPECT_EQ(StreamY, 0);
    EXPECT_EQ(marker.Left() - pad.Left(), kMarkerReach);

    Click(Board().ActMinutesLabel);
    ASSERT_TRUE(PumpQueued());
    EXPECT_EQ(marker.Tag, 1) << "a label takes no focus";
    EXPECT_TRUE(pad.Visible());

    PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
    ASSERT_TRUE(PumpQueued());
    EXPECT_EQ(marker.Tag, 0);
    EXPECT_FALSE(pad.Visible());
    const RECT back = marker.Bounds();
    EXPECT_EQ(back.left, home.left);
    EXPECT_EQ(back.top, home.top);
    EXPECT_EQ(StreamX, kMarkerReach) << "the place stays as dragged";
}

// A click on the speaker animation switches play, only on the active board.
TEST_F(BoardHandlersWinTest, SpeakerClickSwitchesPlayOnTheActiveBoardOnly)
{
    ShowBoard();
    Board().PlayCheckBox.SetChecked(true);
    const TControl& speaker = Board().SpkAnimate;
    RECT place{};
    GetWindowRect(speaker.Handle(), &place);
    SetCursorPos((place.left + place.right) / 2, (place.top + place.bottom) / 2);
    const struct {
        bool active;
        bool playingAfter;
    } rows[] = {{true, false}, {false, false}, {true, true}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.active ? "active" : "not active");
        SetActiveWindow(row.active ? Board().Handle() : Application.Handle());
        PostMessageA(speaker.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageA(speaker.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        ASSERT_TRUE(PumpQueued());
        EXPECT_EQ(Board().PlayCheckBox.Checked(), row.playingAfter);
    }
}

TEST_F(BoardHandlersWinTest, MinimiseHidesTheBoardToTheTrayWhereItIsOfferedAgain)
{
    ShowBoard();  // shown already: brought forward
    ASSERT_FALSE(Board().Customize.Enabled);
    EXPECT_EQ(GetActiveWindow(), Board().Handle());
    SendMessageA(Board().Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(PumpUntil([] { return !Board().Visible(); }, kShortPump));
    EXPECT_FALSE(IsIconic(Board().Handle()));
    EXPECT_TRUE(Board().Customize.Enabled);

    ShowBoard();  // the tray item and a second start show it as WM_APP does
    EXPECT_FALSE(IsIconic(Board().Handle()));
    EXPECT_EQ(GetActiveWindow(), Board().Handle());
    EXPECT_FALSE(Board().Customize.Enabled);
}

}  // namespace
