// The board's live trackbars, its automation and device boxes, the click
// filter on the application's messages and the small routines the other
// handlers share.
#include "player/window/MainForm.h"

#include "player/window/BoardTexts.h"

#include "platform/forms/Application.h"
#include "player/engine/BrookAndFire.h"
#include "player/engine/FlyBys.h"
#include "player/engine/Layers.h"
#include "player/engine/SystemInfoLine.h"
#include "player/engine/UserFolders.h"
#include "player/engine/WeatherStrands.h"
#include "support/LangUnit.h"
#include "support/ProgInfo.h"
#include "support/SystemFolders.h"

#include <array>

int LastOption1Position = -1;

namespace {

constexpr const char* kServiceExeName = "ovsrvc.exe";
constexpr const char* kInstallService = "1";
constexpr const char* kRemoveService = "0";
constexpr INT_PTR kShellExecuteLastError = 32;  // results up to this one are errors

constexpr DWORD kFlightStopPause = 16;  // ms for the stopped fly-by to leave the mix
constexpr int kCheckBoxMargin = 24;
constexpr int kWiderMusicBox = 159;  // pixels: wide enough for the group's long caption
constexpr int kAutoStartPlain = 0;
constexpr int kMuteKeepOn = 1;
constexpr float kPercent = 100.0f;

constexpr std::array<TLayerId, 2> kDayBackgrounds = {lyDayBackground1, lyDayBackground2};
constexpr std::array<TLayerId, 3> kWindGusts = {lyWind1, lyWind2, lyWind3};

bool Playing(TLayerId layer) { return BASS_ChannelIsActive(LayerChannels[layer]) == BASS_ACTIVE_PLAYING; }

void SetVolume(TLayerId layer, float volume)
{
    BASS_ChannelSetAttribute(LayerChannels[layer], BASS_ATTRIB_VOL, volume);
}

// The cursor lies on the control: client coordinates from 0 to the width
// and the height, both ends included.
bool CursorOn(const TControl& control)
{
    POINT cursor;
    GetCursorPos(&cursor);
    ScreenToClient(control.Handle(), &cursor);
    return cursor.x >= 0 && cursor.y >= 0 && cursor.x <= control.Width() && cursor.y <= control.Height();
}

}  // namespace

void TOvelMainForm::AttachControlHandlers()
{
    Bind(VolumeTrackBar.OnChange, &TOvelMainForm::VolumeTrackBarChange);
    Bind(WindVolumeTrackBar.OnChange, &TOvelMainForm::WindVolumeTrackBarChange);
    Bind(OptionTrackBar.OnChange, &TOvelMainForm::OptionTrackBarChange);
    Bind(Option1TrackBar.OnChange, &TOvelMainForm::Option1TrackBarChange);
    Bind(Option1TrackBar1.OnChange, &TOvelMainForm::Option1TrackBar1Change);
    Bind(NFBTrackBar.OnEnter, &TOvelMainForm::NFBTrackBarEnter);
    Bind(NFITrackBar.OnEnter, &TOvelMainForm::NFITrackBarEnter);
    Bind(AutoStartCheckBox.OnClick, &TOvelMainForm::AutoStartCheckBoxClick);
    Bind(AutoStartComboBox.OnChange, &TOvelMainForm::AutoStartComboBoxChange);
    Bind(AsServiceCheckBox.OnClick, &TOvelMainForm::AsServiceCheckBoxClick);
    Bind(TessilCheckBox.OnClick, &TOvelMainForm::TessilCheckBoxClick);
    Bind(StormCheckBox.OnClick, &TOvelMainForm::StormCheckBoxClick);
    Bind(MemoryCleanCheckBox.OnClick, &TOvelMainForm::MemoryCleanCheckBoxClick);
    Bind(NatureSubfoldersCheckBox.OnClick, &TOvelMainForm::NatureSubfoldersCheckBoxClick);
    Bind(MusicSubfoldersCheckBox.OnClick, &TOvelMainForm::MusicSubfoldersCheckBoxClick);
    for (TRadioButton* policy :
         {&WaitThisDeviceRadioButton, &WaitAnyDefDeviceRadioButton, &UseCurrentDefDeviceRadioButton})
        Bind(policy->OnClick, &TOvelMainForm::DeviceRadioButtonClick);
    Bind(Application.OnMessage, &TOvelMainForm::ApplicationEvents1Message);
    // The About window comes later; until then its button is not offered.
    InfoBitBtn.Hide();
}

void TOvelMainForm::ShowLiveValue(::TTrackBar& trackBar)
{
    trackBar.SetHint(std::to_string(trackBar.Position()) + "%");
    Application.CancelHint();
    Application.ProcessMessages();
}

// Without a sender (the output opening) only the volume is applied: pumping
// messages there could let a queued switch free the output being opened.
void TOvelMainForm::VolumeTrackBarChange(TObject* sender)
{
    BASS_SetConfig(BASS_CONFIG_GVOL_STREAM, static_cast<DWORD>(VolumeTrackBar.Position()) * 100);
    if (sender)
        ShowLiveValue(VolumeTrackBar);
}

void TOvelMainForm::WindVolumeTrackBarChange(TObject*)
{
    for (TLayerId gust : kWindGusts) {
        if (Playing(gust))
            SetVolume(gust, static_cast<float>(WindVolumeTrackBar.Position()) / kPercent);
    }
    ShowLiveValue(WindVolumeTrackBar);
}

// The waterfall joins the brook above its top level and leaves below it.
void TOvelMainForm::OptionTrackBarChange(TObject*)
{
    if (!OptionTrackBar.Visible())
        return;
    const int position = OptionTrackBar.Position();
    if (Playing(lyBrook))
        SetVolume(lyBrook, static_cast<float>(position) / kPercent);
    const bool waterfall = position > kWaterfallFrom;
    if (!waterfall) {
        if (Playing(lyWaterfall))
            StopWaterfall();
    } else if (Playing(lyWaterfall)) {
        SetVolume(lyWaterfall, WaterfallVolume(position));
    } else if (PlayCheckBox.Checked() && OptionCheckBox.Checked() && !BoardStarting && !LoadingSettings) {
        PlayWaterfall();
    }
    OptionCheckBox.SetCaption(LayerTitleTexts[waterfall ? ltWaterfall : ltBrook]);
    FitToCaption(OptionCheckBox, kCheckBoxMargin);
    ShowLiveValue(OptionTrackBar);
}

void TOvelMainForm::Option1TrackBarChange(TObject*)
{
    const int position = Option1TrackBar.Position();
    if (position == LastOption1Position)
        return;
    LastOption1Position = position;
    if (Night()) {
        if (PlayCheckBox.Checked() && !LoadingSettings) {
            StopFires();
            PlayFires();
        }
        SaveN2(true);
        return;
    }
    // The rain holds the day's layers as they are until it has passed.
    if (!RainPlays()) {
        StopOvel();
        if (!BoardStarting)
            PlayOvel();
    }
    SaveD2(true);
}

void TOvelMainForm::Option1TrackBar1Change(TObject*)
{
    const float volume = static_cast<float>(Option1TrackBar1.Position()) / kPercent;
    if (OvelComboBox.ItemIndex() == kDayScene) {
        for (TLayerId background : kDayBackgrounds)
            SetVolume(background, volume);
        const struct {
            TLayerId Strand;
            bool Ambience;
        } birds[] = {{lyBirds1, AmbienceClip1}, {lyBirds2, AmbienceClip2}, {lyBirds3, AmbienceClip3}};
        for (const auto& bird : birds) {
            if (bird.Ambience)
                SetVolume(bird.Strand, volume);
        }
        return;
    }
    const int strands = Option1TrackBar.Position();
    for (TLayerId fire : {lyFire1, lyFire2, lyFire3}) {
        if (fire - lyFire1 <= strands)
            SetVolume(fire, volume);
    }
    if (!BoardStarting)
        ShowLiveValue(Option1TrackBar1);
}

void TOvelMainForm::AutoStartCheckBoxClick(TObject* sender)
{
    const bool autostart = AutoStartCheckBox.Checked();
    SetGreyed(AutoStartComboBox, autostart);
    AsServiceCheckBox.SetEnabled(autostart);
    AutoStartComboBoxChange(sender);
    // A load only shows the stored choice; the service and the Startup link
    // are changed by the user's click alone.
    if (!LoadingSettings)
        AsServiceCheckBoxClick(sender);
}

void TOvelMainForm::AutoStartComboBoxChange(TObject*)
{
    if (AutoStartComboBox.ItemIndex() == kAutoStartPlain) {
        TessilCheckBox.SetEnabled(true);
    } else if (PlayCheckBox.Checked()) {
        UncheckQuietly(TessilCheckBox);
        TessilCheckBox.SetEnabled(false);
    }
    if (!LoadingSettings)
        SaveOptions();
}

// The service program installs and starts the autostart service with "1" and
// removes it with "0"; the Startup link serves the plain autostart.
void TOvelMainForm::AsServiceCheckBoxClick(TObject* sender)
{
    const bool byAutostart = sender == &AutoStartCheckBox;
    if (ServerEdition && IsAdmin) {
        const std::string name = kServiceExeName;
        if (!FileExists(name)) {
            ShowErrorBilingual(name + " file not found!", "Файл " + name + " не найден!");
            UncheckQuietly(AsServiceCheckBox);
            AsServiceCheckBox.SetEnabled(false);
        } else if (byAutostart) {
            const bool service = AutoStartCheckBox.Checked() && AsServiceCheckBox.Checked();
            const HINSTANCE started =
                ShellExecuteA(nullptr, "open", name.c_str(), service ? kInstallService : kRemoveService, ExeDir.c_str(),
                              SW_SHOWNORMAL);
            if (reinterpret_cast<INT_PTR>(started) <= kShellExecuteLastError) {
                ShowErrorBilingual("Can't start " + name + "!", "Не удаётся запустить " + name + "!");
                UncheckQuietly(AsServiceCheckBox);
            }
        }
    }
    if (byAutostart)
        SetStartupLinkAutostart(AutoStartCheckBox.Checked() && !AsServiceCheckBox.Checked());
    if (!LoadingSettings)
        SaveC1(true);
}

void TOvelMainForm::TessilCheckBoxClick(TObject*) { SetGreyed(TessilDateTimePicker, TessilCheckBox.Checked()); }

// With the form as sender (the hot key) the box is inverted, which runs this
// handler again with the box as sender.
void TOvelMainForm::StormCheckBoxClick(TObject* sender)
{
    if (sender == this) {
        if (StormCheckBox.Enabled())
            StormCheckBox.SetChecked(!StormCheckBox.Checked());
        return;
    }
    StormCheckBox.SetShowHint(StormCheckBox.Perform(BM_GETCHECK) == BST_INDETERMINATE);
    Application.CancelHint();
    if (!LoadingSettings)
        SaveSceneLayers();
}

void TOvelMainForm::MemoryCleanCheckBoxClick(TObject*)
{
    if (MemoryCleanCheckBox.Checked())
        TrimWorkingSet();
    if (!LoadingSettings)
        SaveC1(true);
}

// Gives the pages the player is not using back to the system.
void TOvelMainForm::TrimWorkingSet()
{
    if (HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, GetCurrentProcessId())) {
        SetProcessWorkingSetSize(process, static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
        CloseHandle(process);
    }
    Application.ProcessMessages();
}

void TOvelMainForm::NatureSubfoldersCheckBoxClick(TObject*)
{
    ListSubfolders(NatureSubfoldersCheckBox, NatureFolderSlot(OvelComboBox.ItemIndex()), ListFilesNature);
}

void TOvelMainForm::MusicSubfoldersCheckBoxClick(TObject*)
{
    ListSubfolders(MusicSubfoldersCheckBox, MusicFolderSlot(OvelComboBox.ItemIndex()), ListFilesMusic);
}

// The folder is listed anew with its subfolders or without; the box waits
// meanwhile. A load only shows the stored choice: the start lists every folder.
void TOvelMainForm::ListSubfolders(TCheckBox& box, int slot, int (*list)(int slot, bool fill))
{
    UserFolders[slot].WithSubfolders = box.Checked();
    if (LoadingSettings)
        return;
    box.SetEnabled(false);
    list(slot, true);
    box.SetEnabled(true);
    box.SetVisible(UserFolders[slot].HasSubfolders);
}

// The chosen policy shows the arrow, the others offer themselves with the hand.
void TOvelMainForm::DeviceRadioButtonClick(TObject*)
{
    for (TRadioButton* policy :
         {&WaitThisDeviceRadioButton, &WaitAnyDefDeviceRadioButton, &UseCurrentDefDeviceRadioButton})
        policy->Cursor = policy->Checked() ? crArrow : crHandPoint;
}

void TOvelMainForm::SetTessilControl()
{
    const bool soundOnKept = (AutoStartCheckBox.Checked() && AutoStartComboBox.ItemIndex() == kAutoStartPlain) ||
                             (MuteTimeCheckBox.Checked() && MuteComboBox.ItemIndex() == kMuteKeepOn);
    if (PlayCheckBox.Checked() && !soundOnKept) {
        UncheckQuietly(TessilCheckBox);
        TessilCheckBox.SetEnabled(false);
    } else {
        TessilCheckBox.SetEnabled(true);
    }
}

std::string TOvelMainForm::RareHint(int index) const
{
    return index >= 0 && index < RainComboBox.Items.Count() ? RainComboBox.Items.Strings(index) : std::string();
}

void TOvelMainForm::SetDeviceHint()
{
    DeviceComboBox.SetHint(GetLangString(EmulatedDriver ? "nodirectsound" : "directsound") + ".\r\n" +
                           GetLangString("speakercount") + " " + std::to_string(SpeakerCount));
}

void TOvelMainForm::SetMusicCaption()
{
    MusicGroupBox.SetCaption((MusicGroupBox.Width() > kWiderMusicBox ? MusicGroupBox.Hint() : GetLangString("Music")) +
                             " ");
}

// A fly-by sounds at once as a preview, one at a time.
void TOvelMainForm::NFBTrackBarEnter(TObject*) { PreviewFlight(fmBird); }

void TOvelMainForm::NFITrackBarEnter(TObject*) { PreviewFlight(fmInsect); }

void TOvelMainForm::PreviewFlight(int mode)
{
    if (Playing(lyFlight)) {
        BASS_ChannelStop(LayerChannels[lyFlight]);
        Sleep(kFlightStopPause);
    }
    PlayFlight(mode);
}

// A click on the speaker animation switches play, and one on a fly-by level
// that has the focus plays its preview again; the board's filter sees every
// message the application takes and never swallows one.
void TOvelMainForm::ApplicationEvents1Message(MSG& message, bool&)
{
    if (message.message != WM_LBUTTONDOWN || GetActiveWindow() != Handle())
        return;
    if (CursorOn(SpkAnimate))
        PlayOnOffClick(this);
    const struct {
        ::TTrackBar& Level;
        void (TOvelMainForm::*Enter)(TObject*);
    } previews[] = {{NFBTrackBar, &TOvelMainForm::NFBTrackBarEnter},
                    {NFITrackBar, &TOvelMainForm::NFITrackBarEnter},
                    {Chime00TrackBar, &TOvelMainForm::Chime00TrackBarEnter},
                    {Chime30TrackBar, &TOvelMainForm::Chime30TrackBarEnter}};
    for (const auto& preview : previews) {
        if (!preview.Level.Focused())
            continue;
        if (CursorOn(preview.Level))
            (this->*preview.Enter)(&preview.Level);
        return;
    }
}

// Measured as the control draws it: in its font, decoded by its font's code page.
void TOvelMainForm::FitToCaption(TControl& box, int margin) { box.SetWidth(box.TextWidth(box.Caption()) + margin); }

void TOvelMainForm::KeepOffWhenDisabled(TCheckBox& box)
{
    if (!box.Enabled() && box.Checked())
        UncheckQuietly(box);
}

void TOvelMainForm::SetGreyed(TControl& control, bool enabled)
{
    control.SetEnabled(enabled);
    control.SetFontColor(enabled ? clDefault : clGray);
}

bool TOvelMainForm::Night() const { return OvelComboBox.ItemIndex() == kNightScene; }
