// The schedule on the board: each tick takes a snapshot of the controls,
// lets the plan tell which steps act, and carries them out; the lowering of
// the volume at mute time, the day and night pickers, and the system's
// daylight switch.
#include "player/window/MainForm.h"

#include "platform/forms/Application.h"
#include "player/engine/BrookAndFire.h"
#include "player/engine/StartUp.h"
#include "player/engine/WeatherStrands.h"
#include "player/tools/CompOffUnit.h"
#include "player/window/Chimes.h"
#include "player/window/OwnWindows.h"
#include "support/LangUnit.h"
#include "support/SystemFolders.h"

#include <wininet.h>

namespace {

constexpr UINT kFadeOutInterval = 100;
constexpr unsigned kFadeAllMs = 2048;
constexpr int kMuteHibernateItem = 2;
constexpr int kMuteComputerOffItem = 3;

// What the tick asks the system: a device's flags, the Internet connection.
class TSystemProbes final : public TScheduleProbes {
public:
    std::optional<unsigned> DeviceFlags(int device) override
    {
        BASS_DEVICEINFO info{};
        if (device < 0 || !BASS_GetDeviceInfo(static_cast<DWORD>(device), &info))
            return std::nullopt;
        return info.flags;
    }

    bool Connected() override
    {
        DWORD flags = 0;
        return InternetGetConnectedState(&flags, 0) != FALSE;
    }
};

std::optional<int> ChimeMinute(const TCheckBox& box) { return ChimeCaptionMinute(box.Caption()); }

}  // namespace

void TOvelMainForm::AttachScheduleHandlers()
{
    Bind(ScheduleTimer.OnTimer, &TOvelMainForm::ScheduleTimerTimer);
    FadeOutTimer.SetInterval(kFadeOutInterval);
    Bind(FadeOutTimer.OnTimer, &TOvelMainForm::FadeOutTimerTimer);
    Bind(VolumeTrackBar.OnEnter, &TOvelMainForm::VolumeTrackBarEnter);
    Bind(MuteComboBox.OnChange, &TOvelMainForm::MuteComboBoxChange);
    Bind(MuteDateTimePicker.OnChange, &TOvelMainForm::MuteDateTimePickerChange);
    Bind(DayOnDateTimePicker.OnChange, &TOvelMainForm::DayOnDateTimePickerChange);
    Bind(NightOnDateTimePicker.OnChange, &TOvelMainForm::NightOnDateTimePickerChange);
}

void TOvelMainForm::StartSchedule()
{
    schedule_.RememberedVolume = -1;
    ScheduleTimer.SetEnabled(true);
}

TBoardSnapshot TOvelMainForm::ScheduleSnapshot() const
{
    TBoardSnapshot board;
    board.DeviceFailed = DeviceFailed;
    board.PlayCheckBoxChecked = PlayCheckBox.Checked();
    board.UseCurrentDefDeviceRadioButtonChecked = UseCurrentDefDeviceRadioButton.Checked();
    board.OutputDevice = OutputDevice;
    board.DefaultDevice = DefaultDevice;
    board.BoardShown = !Application.IsIconic();
    board.TessilCheckBoxChecked = TessilCheckBox.Checked();
    board.TessilDateTimePickerTime = TessilDateTimePicker.Time();
    board.AlternateCheckBoxChecked = AlternateCheckBox.Checked();
    board.AlternateComboBoxItemIndex = AlternateComboBox.ItemIndex();
    board.OvelComboBoxItemIndex = OvelComboBox.ItemIndex();
    board.SceneSwitchTime = SceneSwitchTime;
    board.DayOnDateTimePickerTime = DayOnDateTimePicker.Time();
    board.NightOnDateTimePickerTime = NightOnDateTimePicker.Time();
    board.AutoDSTDisabled = AutoDSTDisabled;
    board.SunriseOffset = SunriseOffset;
    board.SunsetOffset = SunsetOffset;
    board.MuteTimeCheckBoxChecked = MuteTimeCheckBox.Checked();
    board.MuteDateTimePickerTime = MuteDateTimePicker.Time();
    board.MuteComboBoxItemIndex = MuteComboBox.ItemIndex();
    board.VolumeTrackBarPosition = VolumeTrackBar.Position();
    board.VolumeTrackBarMin = VolumeTrackBar.Min();
    board.AlarmClockCheckBoxChecked = AlarmClockCheckBox.Checked();
    board.AlarmTimePickerTime = AlarmTimePicker.Time();
    board.Chime00CheckBoxChecked = Chime00CheckBox.Checked();
    board.Chime00Minute = ChimeMinute(Chime00CheckBox).value_or(-1);
    board.Chime30CheckBoxChecked = Chime30CheckBox.Checked();
    board.Chime30Minute = ChimeMinute(Chime30CheckBox).value_or(-1);
    board.FromComboBoxItemIndex = FromComboBox.ItemIndex();
    board.TillComboBoxItemIndex = TillComboBox.ItemIndex();
    board.MemoryCleanCheckBoxChecked = MemoryCleanCheckBox.Checked();
    board.NtPlatform = IsNTPlatform();
    return board;
}

void TOvelMainForm::ScheduleTimerTimer(TObject*)
{
    TSystemProbes probes;
    const TTickPlan plan = PlanScheduleTick(schedule_, ScheduleSnapshot(), ReadClock(ScheduleClock()), probes);
    for (const TScheduleStep& step : plan.Steps)
        if (!RunScheduleStep(step))
            return;
}

// False when the step ends the tick before the plan does.
bool TOvelMainForm::RunScheduleStep(const TScheduleStep& step)
{
    switch (step.Action) {
        case TScheduleAction::FailOutput:
            OnOutputDeviceFail();
            break;
        case TScheduleAction::MarkDeviceFailed:
            DeviceFailed = true;
            break;
        case TScheduleAction::WatchDeviceReturn:
            WatchDeviceReturn();
            break;
        case TScheduleAction::RelistDevices:
            FillInDeviceCB(true);
            break;
        case TScheduleAction::PlayOn:
            PlayCheckBox.SetChecked(true);
            break;
        case TScheduleAction::FillSunPickers:
            ShowSwitchTimes(step.DayOnTime, step.NightOnTime);
            break;
        case TScheduleAction::MoveNightOnTime:
            NightOnTime = step.NightOnTime;
            NightOnDateTimePicker.SetTime(NightOnTime);
            break;
        case TScheduleAction::SwitchScene:
            SaveOptions();
            OvelComboBox.SetItemIndex(step.Scene);
            FadeOutAll();
            OvelComboBoxSelect(nullptr);
            break;
        case TScheduleAction::LowerVolume:
            fadeTarget_ = step.Volume;
            FadeOutTimer.SetEnabled(true);
            break;
        case TScheduleAction::FadeOutAll:
            FadeOutAll();
            break;
        case TScheduleAction::PlayOff:
            PlayOnOffClick(nullptr);
            break;
        case TScheduleAction::Hibernate:
            ShowOwnWindow(CompOffForm);
            if (CompOffConfirmed) {
                SaveOptions();
                TCompOffForm::Hibernate();
            }
            break;
        case TScheduleAction::PowerOff:
            return PowerOffByCountdown();
        case TScheduleAction::RestoreVolume:
            VolumeTrackBar.SetPosition(step.Volume);
            break;
        case TScheduleAction::RingAlarm:
            AlarmTestBitBtnClick(nullptr);
            break;
        case TScheduleAction::ChimesWorkTime:
            ChimesWorkTime();
            break;
        case TScheduleAction::ChimeHints:
            ShowChimeHints(step.Active);
            break;
        case TScheduleAction::PlayChime:
            if (step.Chime == 0)
                Chime00TrackBarEnter(nullptr);
            else
                Chime30TrackBarEnter(nullptr);
            break;
        case TScheduleAction::LiveUpdate:
            // The update check is not part of this program yet: AutoCheckup stays clear.
            break;
        case TScheduleAction::TrimWorkingSet:
            TrimWorkingSet();
            break;
    }
    return true;
}

// The timer rests while the restore is tried: the device list can take a while.
void TOvelMainForm::WatchDeviceReturn()
{
    ScheduleTimer.SetEnabled(false);
    ShowDeviceLost();
    if (DeviceFailRestored()) {
        DeviceFailed = false;
        ShowDeviceLost();
        PlayOvel();
        ScheduleTimer.SetInterval(kPlayingScheduleInterval);
    }
    ScheduleTimer.SetEnabled(true);
}

// Only a countdown run out powers off. Before Vista the sound-on tool is
// registered and the sound muted first; when that cannot be written nothing
// follows. The options are saved first: the forced power-off ends the
// process before the board is destroyed.
bool TOvelMainForm::PowerOffByCountdown()
{
    ShowOwnWindow(CompOffForm);
    if (!CompOffConfirmed)
        return true;
    FadeOutAll();
    if (!TCompOffForm::RegisterSoundOnAndMute())
        return false;
    SaveOptions();
    TCompOffForm::ShutDown();
    ExitClick(nullptr);
    return true;
}

void TOvelMainForm::ShowChimeHints(bool active)
{
    ChimesGroupBox.SetHint(active ? std::string() : GetLangString("silencetime"));
    const std::string choice = active ? GetLangString("soundselection") : std::string();
    Chime00BitBtn.SetHint(choice);
    Chime30BitBtn.SetHint(choice);
}

// Everything that sounds fades out over two seconds, heard before what follows.
void TOvelMainForm::FadeOutAll()
{
    OnRainFadeOut(kFadeAllMs);
    FadeOutWater(kFadeAllMs);
    if (RainPlays())
        RainFadeOut(kFadeAllMs);
    if (PlayCheckBox.Checked())
        Sleep(kFadeAllMs);
}

void TOvelMainForm::FadeOutTimerTimer(TObject*)
{
    FadeOutTimer.SetEnabled(false);
    VolumeTrackBar.SetPosition(VolumeTrackBar.Position() - 1);
    if (FadeOutGoesOn(VolumeTrackBar.Position(), fadeTarget_, MuteTimeCheckBox.Checked()))
        FadeOutTimer.SetEnabled(true);
}

// The user takes the volume into their own hands: the alarm leaves it be.
void TOvelMainForm::VolumeTrackBarEnter(TObject*) { schedule_.RememberedVolume = -1; }

void TOvelMainForm::MuteComboBoxChange(TObject*)
{
    switch (MuteComboBox.ItemIndex()) {
        case kMuteHibernateItem:
            MuteComboBox.SetHint("");
            break;
        case kMuteComputerOffItem:
            MuteComboBox.SetHint(GetLangText("compsoundoffhint", false));
            break;
        default:
            MuteComboBox.SetHint(PlayCheckBox.Hint());
            break;
    }
    SetTessilControl();
    SetMainIcon();
}

void TOvelMainForm::MuteDateTimePickerChange(TObject*) { SetMainIcon(); }

bool DaylightShiftNow() { return ScheduleClock().DaylightInForce() && !AutoDSTDisabled; }

TNightAnswer CalendarNow(TSunState& state, TDateTime sunriseOffset, TDateTime sunsetOffset, bool fillPickers)
{
    const TSunSettings settings{DaylightShiftNow(), sunriseOffset, sunsetOffset};
    return NightAt(state, ScheduleClock().Now(), settings, fillPickers);
}

// Null asks as the tick does: the pickers follow only a new day or a new
// daylight state; a control asks them to show today's times now.
bool TOvelMainForm::NowIsNight(TObject* control)
{
    const TNightAnswer answer = CalendarNow(schedule_.Sun, SunriseOffset, SunsetOffset, control != nullptr);
    if (answer.FillPickers)
        ShowSwitchTimes(answer.DayOnTime, answer.NightOnTime);
    return answer.Night;
}

void TOvelMainForm::ShowSwitchTimes(TDateTime dayOn, TDateTime nightOn)
{
    DayOnDateTimePicker.SetTime(dayOn);
    NightOnDateTimePicker.SetTime(nightOn);
}

void TOvelMainForm::DayOnDateTimePickerChange(TObject*)
{
    const TDateTime picked = DayOnDateTimePicker.Time();
    if (AlternateComboBox.ItemIndex() == kAlternateByTimes)
        DayOnTime = picked;
    else
        SunriseOffset = SunriseOffsetFor(picked, ScheduleClock().Now(), DaylightShiftNow());
}

void TOvelMainForm::NightOnDateTimePickerChange(TObject*)
{
    const TDateTime picked = NightOnDateTimePicker.Time();
    if (AlternateComboBox.ItemIndex() == kAlternateByTimes)
        NightOnTime = picked;
    else
        SunsetOffset = SunsetOffsetFor(picked, ScheduleClock().Now(), DaylightShiftNow());
}
