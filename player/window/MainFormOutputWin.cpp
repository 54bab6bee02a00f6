// The board's audio output: opening it for a scene, starting and silencing
// the scene, the device list and what happens when the device is lost.
#include "player/window/MainForm.h"

#include "platform/forms/Application.h"
#include "player/engine/BrookAndFire.h"
#include "player/engine/Layers.h"
#include "player/engine/SoundBanks.h"
#include "player/engine/StartUp.h"
#include "player/engine/WeatherStrands.h"

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

}  // namespace

bool TOvelMainForm::AudioIni()
{
    BASS_SetConfig(BASS_CONFIG_NET_PLAYLIST, kFollowPlaylists);
    const bool opened = BASS_Init(OutputDevice, kOutputRate, BASS_DEVICE_DSOUND, Application.Handle(), nullptr) ||
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
    OutputDeviceName = DeviceComboBox.Text();
    if (!BoardStarting)
        SetDeviceHint();
    VolumeTrackBarChange(nullptr);
    if (opened && DeviceFailed) {
        DeviceFailed = false;
        ShowDeviceLost();
    }
    return opened;
}

void TOvelMainForm::PlayOvel()
{
    if (!PlayCheckBox.Checked()) {
        StopFWind();
        AudioIni();
        BASS_Stop();
        return;
    }
    // Every start opens the device afresh, with new flags; the streams the
    // layers held end with the old output.
    BASS_Init(OutputDevice, kOutputRate, 0, Application.Handle(), nullptr);
    StopOvel();
    const unsigned run = ++outputRuns_;
    Application.ProcessMessages();
    // What was handled meanwhile may have played or silenced the board itself.
    if (run != outputRuns_ || !PlayCheckBox.Checked())
        return;
    // A device that cannot be opened is lost, not playing.
    if (!AudioIni()) {
        LoseOutput();
        return;
    }
    ClearChannel3DVectors();

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

void TOvelMainForm::StopOvel()
{
    ++outputRuns_;
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
