// The board's audio output: opening it for a scene, starting and silencing
// the scene, the device list and what happens when the device is lost.
#include "player/window/MainForm.h"

#include "platform/forms/Application.h"
#include "player/engine/BrookAndFire.h"
#include "player/engine/Layers.h"
#include "player/engine/SoundBanks.h"
#include "player/engine/StartUp.h"
#include "player/engine/WeatherStrands.h"
#include "player/settings/StartBoard.h"
#include "player/window/ScheduleClock.h"
#include "support/ProgInfo.h"

#include <utility>

namespace {

constexpr DWORD kFollowPlaylists = 2;  // file and URL streams
constexpr int kStereo = 2;
constexpr TColor kLostDeviceColor = clRed;
constexpr int kItemTextLeft = 4;
constexpr int kItemTextTop = 2;

// Distances in metres, rolloff as in nature, no Doppler.
constexpr float kDistanceFactor = 1.0f;
constexpr float kRolloffFactor = 1.0f;
constexpr float kDopplerFactor = 0.0f;
constexpr BASS_3DVECTOR kListenerPosition{0.0f, 1.7f, 0.0f};
constexpr BASS_3DVECTOR kNoVector{0.0f, 0.0f, 0.0f};

bool HasGroup(TBankId bank, std::uint8_t TBankHeader::*group) { return SoundBanks[bank].*group > 0; }

// The sound started before the board, until the board takes it over.
struct TEarlySound {
    bool Playing = false;
    bool RainDrawn = false;  // a background's rain draw came up meanwhile
    int Device = 0;
    int Scene = -1;
    int SoftwareMixing = 0;
};
TEarlySound EarlySound;
std::optional<TStartState> EarlyStartState;
// What the layers read until the board exists; they may still ask while it is made.
TStartBoard EarlyBoard(SoundBanks);

bool EarlyCalendarNight(double sunriseOffset, double sunsetOffset)
{
    TSunState state;
    return CalendarNow(state, sunriseOffset, sunsetOffset, false).Night;
}

// The device the board will choose: the stored name among the listed devices.
int EarlyDevice(const TStoredKey& key)
{
    const std::optional<std::string> name = StoredText(key, "DeviceName");
    std::optional<int> item;
    if (name)
        item = -1;
    int listed = 0;
    for (DWORD device = 1; BASS_GetDeviceInfo(device, &DeviceInfo); ++device, ++listed)
        if (name && *item < 0 && lstrcmpiA(DeviceInfo.name, name->c_str()) == 0)
            item = listed;
    return StartDevice(item, listed, DefaultDevice);
}

// The engine's own copies of what the load put into the board.
void ApplyEarlyPlaces(const TStartBoard& board)
{
    SoftwareMixing = board.State(TBoardItem::HWMCheckBox) ? 0 : 1;
    LimiterLow = board.State(TBoardItem::LimiterLowBound);
    LimiterHigh = board.State(TBoardItem::LimiterHighBound);
    if (Present(sbOves)) {
        StreamX = board.State(TBoardItem::StreamMarkerX);
        StreamY = board.State(TBoardItem::StreamMarkerY);
    }
    if (Present(sbOvef)) {
        FireX = board.State(TBoardItem::FireMarkerX);
        FireY = board.State(TBoardItem::FireMarkerY);
    }
}

// Until the board takes over, a lost device silences the output; the board's
// start then opens it again, or takes the failure path.
void OnEarlyDeviceFail()
{
    EarlySound.Playing = false;
    StopLayers();
    BASS_Stop();
    BASS_Free();
}

void OnEarlyRainDrawn() { EarlySound.RainDrawn = true; }

}  // namespace

bool OpenOutput(int device)
{
    BASS_SetConfig(BASS_CONFIG_NET_PLAYLIST, kFollowPlaylists);
    const bool opened = BASS_Init(device, kOutputRate, BASS_DEVICE_DSOUND, Application.Handle(), nullptr) ||
                        BASS_ErrorGetCode() == BASS_ERROR_ALREADY;
    BASS_Set3DFactors(kDistanceFactor, kRolloffFactor, kDopplerFactor);
    BASS_Set3DPosition(&kListenerPosition, &kNoVector, &kNoVector, &kNoVector);
    const HSTREAM probe = BASS_StreamCreate(kOutputRate, kStereo, BASS_SAMPLE_FLOAT, nullptr, nullptr);
    StreamFloatFlag = probe != 0 ? BASS_SAMPLE_FLOAT : 0;
    if (probe != 0)
        BASS_StreamFree(probe);
    BASS_INFO info{};
    BASS_GetInfo(&info);
    EmulatedDriver = (info.flags & DSCAPS_EMULDRIVER) != 0;
    SpeakerCount = static_cast<int>(info.speakers);
    return opened;
}

bool TOvelMainForm::AudioIni()
{
    const bool opened = OpenOutput(OutputDevice);
    ShowOutputOpened(opened);
    return opened;
}

void TOvelMainForm::ShowOutputOpened(bool opened)
{
    OutputDeviceName = DeviceComboBox.Text();
    if (!BoardStarting)
        SetDeviceHint();
    VolumeTrackBarChange(nullptr);
    if (opened && DeviceFailed) {
        DeviceFailed = false;
        ShowDeviceLost();
    }
}

void TOvelMainForm::PlayOvel()
{
    if (!PlayCheckBox.Checked()) {
        StopFWind();
        AudioIni();
        BASS_Stop();
        return;
    }
    const bool takenOver = TakeOverEarlySound();
    if (!takenOver && !RestartOutput())
        return;

    OptionGroupBox.Show();
    OptionCheckBox.Show();
    WindGroupBox.Show();
    WindVolumeTrackBar.SetEnabled(WindCheckBox.Checked());
    switch (OvelComboBox.ItemIndex()) {
        case kDayScene: {
            Option1GroupBox.SetEnabled(true);
            Option1GroupBox.Show();
            Option1CheckBox.Hide();
            Option1TrackBar.Show();
            Option1TrackBar1.Show();
            const bool birds = Option1TrackBar.Position() > 0;
            for (TGroupBox* group :
                 {&Option2GroupBox, &FlightsGroupBox, &Option6GroupBox, &Option4GroupBox, &Option5GroupBox})
                group->SetVisible(birds);
            if (!takenOver)
                StartDayLayers();
            break;
        }
        case kNightScene:
            for (TGroupBox* group : {&Option5GroupBox, &Option6GroupBox, &FlightsGroupBox, &Option1GroupBox})
                group->Show();
            Option1CheckBox.Show();
            Option1CheckBoxClick(nullptr);
            if (!SoundBanks[sbOvng].Present) {
                Option2CheckBox.SetEnabled(HasGroup(sbOvnb, &TBankHeader::GroupCount3));
                NoOption2Label.SetVisible(!Option2CheckBox.Enabled());
            }
            Option4CheckBox.SetEnabled(HasGroup(sbOvnb, &TBankHeader::GroupCount1));
            if (!Option4CheckBox.Enabled())
                UncheckQuietly(Option4CheckBox);
            NoOption4Label.SetVisible(!Option4CheckBox.Enabled());
            if (!takenOver)
                StartNightLayers();
            break;
        default:
            break;
    }
    if (OptionCheckBox.Checked())
        PlayBrook();
    if (WindCheckBox.Checked())
        StartFWind();
    SpkAnimate.SetActive(true);
}

// Every start opens the device afresh, with new flags; the streams the layers
// held end with the old output. False when nothing is to start.
bool TOvelMainForm::RestartOutput()
{
    BASS_Init(OutputDevice, kOutputRate, 0, Application.Handle(), nullptr);
    StopOvel();
    const unsigned run = ++outputRuns_;
    Application.ProcessMessages();
    // What was handled meanwhile may have played or silenced the board itself.
    if (run != outputRuns_ || !PlayCheckBox.Checked())
        return false;
    // A device that cannot be opened is lost, not playing.
    if (!AudioIni()) {
        LoseOutput();
        return false;
    }
    ClearChannel3DVectors();
    return true;
}

void TOvelMainForm::StopOvel()
{
    ++outputRuns_;
    EarlySound.Playing = false;
    StopFWind();
    BASS_Stop();
    BASS_Free();
    StopLayers();
}

void TOvelMainForm::FillInDeviceCB(bool keepName)
{
    DefaultDeviceItem = -1;
    DefaultDevice = -1;
    DeviceComboBox.Items.BeginUpdate();
    DeviceComboBox.OnSelect = nullptr;
    DeviceComboBox.Items.Clear();
    for (DWORD device = 1; BASS_GetDeviceInfo(device, &DeviceInfo); ++device) {
        if (!(DeviceInfo.flags & BASS_DEVICE_ENABLED))
            continue;
        if (DeviceInfo.flags & BASS_DEVICE_DEFAULT) {
            DefaultDeviceItem = DeviceComboBox.Items.Count();
            DefaultDevice = static_cast<int>(device);
        }
        DeviceComboBox.Items.Add(DeviceInfo.name, static_cast<std::intptr_t>(device));
    }
    if (keepName || WaitThisDeviceRadioButton.Checked()) {
        const int item = DeviceComboBox.Items.IndexOf(OutputDeviceName);
        if (item < 0) {
            // The lost device keeps its name shown until it comes back.
            if (DeviceComboBox.Style() != csDropDown)
                DeviceComboBox.SetStyle(csDropDown);
            DeviceComboBox.SetItemIndex(-1);
            DeviceComboBox.SetText(OutputDeviceName);
        } else {
            DeviceComboBox.SetItemIndex(item);
            BackToCBList();
        }
    } else {
        DeviceComboBox.SetItemIndex(DefaultDeviceItem);
        OutputDevice = DefaultDevice;
        BackToCBList();
    }
    DeviceComboBox.Items.EndUpdate();
    Bind(DeviceComboBox.OnSelect, &TOvelMainForm::DeviceComboBoxSelect);
}

void TOvelMainForm::BackToCBList()
{
    if (DeviceComboBox.Style() != csOwnerDrawFixed)
        DeviceComboBox.SetStyle(csOwnerDrawFixed);
}

bool TOvelMainForm::DeviceFailRestored()
{
    FillInDeviceCB(false);
    return DeviceComboBox.ItemIndex() >= 0;
}

void TOvelMainForm::DeviceComboBoxSelect(TObject*)
{
    if (BoardStarting)
        return;
    const int item = DeviceComboBox.ItemIndex();
    if (item < 0)
        return;
    if (RainPlays())
        RainNowClick(nullptr);
    StopOvel();
    OutputDevice = static_cast<int>(DeviceComboBox.Items.Objects(item));
    DeviceComboBox.SetHint(DeviceComboBox.Text());
    PlayOvel();
}

// Typed characters neither edit a lost device's name nor choose a device: the
// arrows, Home, End and the wheel choose, and never arrive as characters.
void TOvelMainForm::DeviceComboBoxKeyPress(TObject*, char& key) { key = 0; }

void TOvelMainForm::DeviceComboBoxDropDown(TObject*) { FillInDeviceCB(false); }

void TOvelMainForm::DeviceComboBoxDrawItem(TObject*, int index, const RECT& rect, UINT)
{
    TCanvas& canvas = DeviceComboBox.Canvas();
    canvas.Brush.Color = DeviceComboBox.Color() != clDefault ? DeviceComboBox.Color() : SceneColor();
    canvas.FillRect(rect);
    canvas.Font.Color = clGradientActiveCaption;
    canvas.Font.Bold = index == DefaultDeviceItem;
    canvas.TextOut(rect.left + kItemTextLeft, rect.top + kItemTextTop, DeviceComboBox.Items.Strings(index));
}

void TOvelMainForm::HWMCheckBoxClick(TObject*)
{
    if (!LoadingSettings)
        StopOvel();
    SoftwareMixing = HWMCheckBox.Checked() ? 0 : 1;
    if (!LoadingSettings)
        PlayOvel();
}

// Silence on the lost device; the schedule's tick then watches every second
// for it to come back.
void TOvelMainForm::LoseOutput()
{
    StopOvel();
    BASS_Free();
    DeviceFailed = true;
    ScheduleTimer.SetEnabled(false);
    ScheduleTimer.SetInterval(kSilentScheduleInterval);
    ScheduleTimer.SetEnabled(true);
    ShowDeviceLost();
}

// While the device is lost the checked policy that waits for it and the device
// list are red, and the tray tip says so.
void TOvelMainForm::ShowDeviceLost()
{
    TRadioButton* waiting = UseCurrentDefDeviceRadioButton.Checked() ? &UseCurrentDefDeviceRadioButton
                            : WaitThisDeviceRadioButton.Checked()    ? &WaitThisDeviceRadioButton
                                                                     : nullptr;
    for (TControl* control :
         {static_cast<TControl*>(&UseCurrentDefDeviceRadioButton), static_cast<TControl*>(&WaitThisDeviceRadioButton),
          static_cast<TControl*>(&WaitAnyDefDeviceRadioButton)})
        control->SetColor(DeviceFailed && control == waiting ? kLostDeviceColor : clDefault);
    DeviceComboBox.SetColor(DeviceFailed ? kLostDeviceColor : clDefault);
    DeviceComboBox.Invalidate();
    SetMainIcon();
}

// On the GUI thread, from a layer whose stream reported the loss.
void OnOutputDeviceFail()
{
    if (DeviceFailed || OvelMainForm == nullptr)
        return;
    OvelMainForm->LoseOutput();
}

void StartSoundBeforeBoard()
{
    const TStoredKey key = ReadSettingsKey();
    AutoDSTDisabled = SystemAutoDSTDisabled();
    EarlyBoard.Load(key, {ScheduleClock().Now(), StartedBySwitch, DayOnTime, NightOnTime, SunriseOffset, SunsetOffset,
                          EarlyCalendarNight});
    EarlyStartState = EarlyBoard.Start();
    if (!EarlyStartState->Play)
        return;
    const int device = EarlyDevice(key);
    ApplyEarlyPlaces(EarlyBoard);
    if (!OpenOutput(device)) {
        BASS_Free();
        return;
    }
    BASS_SetConfig(BASS_CONFIG_GVOL_STREAM,
                   static_cast<DWORD>(EarlyBoard.Position(TBoardControl::VolumeTrackBar)) * 100);
    ClearChannel3DVectors();
    Application.OnWindowMessage = HandleLayerEventMessage;
    RouteLayerEvents(Application.Handle());
    SetDeviceFailHandler(OnEarlyDeviceFail);
    SetRainDrawHandler(OnEarlyRainDrawn);
    SetLayerBoard(&EarlyBoard);
    EarlySound = {true, false, device, EarlyStartState->Scene, SoftwareMixing};
    if (EarlyStartState->Scene == kDayScene)
        StartDayLayers();
    else
        StartNightLayers();
    if (EarlyBoard.Checked(TBoardControl::OptionCheckBox))
        PlayBrook();
}

std::optional<TStartState> TakeEarlyStartState() { return std::exchange(EarlyStartState, std::nullopt); }

// Only the sound the board would start itself: the same device, scene and
// mixing; anything else starts afresh.
bool TOvelMainForm::TakeOverEarlySound()
{
    const bool same = EarlySound.Playing && OutputDevice == EarlySound.Device &&
                      OvelComboBox.ItemIndex() == EarlySound.Scene && SoftwareMixing == EarlySound.SoftwareMixing;
    EarlySound.Playing = false;
    if (same)
        ShowOutputOpened(true);
    else
        EarlySound.RainDrawn = false;
    return same;
}

void TOvelMainForm::PassOnEarlyRainDraw()
{
    if (std::exchange(EarlySound.RainDrawn, false) && PlayCheckBox.Checked())
        RainDrawn();
}
