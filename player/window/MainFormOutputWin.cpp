// The board's audio output: opening it for a scene, starting and silencing
// the scene, the device list and what happens when the device is lost.
#include "player/window/MainForm.h"

#include "platform/forms/Application.h"
#include "player/engine/Layers.h"
#include "player/engine/SoundBanks.h"
#include "player/engine/StartUp.h"

namespace {

constexpr DWORD kFollowPlaylists = 2;  // file and URL streams
constexpr int kStereo = 2;
constexpr UINT kDeviceWatchInterval = 1024;
constexpr char kFirstArrowKey = 37;
constexpr char kLastArrowKey = 40;
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

void TOvelMainForm::AudioIni()
{
    BASS_SetConfig(BASS_CONFIG_NET_PLAYLIST, kFollowPlaylists);
    BASS_Init(OutputDevice, kOutputRate, BASS_DEVICE_DSOUND, Application.Handle(), nullptr);
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
}

void TOvelMainForm::PlayOvel()
{
    if (!PlayCheckBox.Checked()) {
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
    AudioIni();
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
    SpkAnimate.SetActive(true);
}

void TOvelMainForm::StopOvel()
{
    ++outputRuns_;
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
    DeviceComboBox.OnSelect = [this](TObject* sender) { DeviceComboBoxSelect(sender); };
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
    StopOvel();
    OutputDevice = static_cast<int>(DeviceComboBox.Items.Objects(item));
    DeviceComboBox.SetHint(DeviceComboBox.Text());
    PlayOvel();
}

// The editable style shows a lost device's name; it never takes typed text.
void TOvelMainForm::DeviceComboBoxKeyPress(TObject*, char& key)
{
    if (key < kFirstArrowKey || key > kLastArrowKey)
        key = 0;
}

void TOvelMainForm::DeviceComboBoxDropDown(TObject*) { FillInDeviceCB(false); }

void TOvelMainForm::DeviceComboBoxDrawItem(TObject*, int index, const RECT& rect, UINT)
{
    TCanvas& canvas = DeviceComboBox.Canvas();
    canvas.Brush.Color = SceneColor();
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

// On the GUI thread, from a layer whose stream reported the loss.
void OnOutputDeviceFail()
{
    if (DeviceFailed || OvelMainForm == nullptr)
        return;
    OvelMainForm->StopOvel();
    BASS_Free();
    DeviceFailed = true;
    OvelMainForm->ScheduleTimer.SetInterval(kDeviceWatchInterval);
}
