#pragma once
// The schedule tick as a plan. From one snapshot of the board, the schedule's
// own state and one reading of the clock it tells which steps act this tick,
// in their order, and whether one of them ends the tick; the board carries
// the steps out. In order: the device watch, the device list, the sound-on
// time, the alternation of day and night, the mute time, the alarm, the
// chimes, and the update check or the working-set trim.
//
// Daily times (sound-on, mute, alarm, fixed switch times) fire once per date:
// when the clock goes back an hour they do not fire again, and a time the
// clock skipped going ahead fires at the first tick after the jump. Chimes
// follow the wall clock.

#include "platform/forms/DateTime.h"
#include "player/window/ScheduleClock.h"
#include "player/window/SunCalendar.h"

#include <cstdint>
#include <optional>
#include <vector>

// The options and globals the tick reads, as the board holds them now.
struct TBoardSnapshot {
    // Output.
    bool DeviceFailed = false;
    bool PlayCheckBoxChecked = false;
    bool UseCurrentDefDeviceRadioButtonChecked = false;
    int OutputDevice = 0;
    int DefaultDevice = -1;   // the system default by the last listing; -1 for none
    bool BoardShown = false;  // the application window is not iconic
    // Sound-on time.
    bool TessilCheckBoxChecked = false;
    TDateTime TessilDateTimePickerTime = 0;
    // Alternation of day and night.
    bool AlternateCheckBoxChecked = false;
    int AlternateComboBoxItemIndex = 0;
    int OvelComboBoxItemIndex = 0;
    TDateTime SceneSwitchTime = 0;
    TDateTime DayOnDateTimePickerTime = 0;
    TDateTime NightOnDateTimePickerTime = 0;
    bool AutoDSTDisabled = false;
    TDateTime SunriseOffset = 0;
    TDateTime SunsetOffset = 0;
    // Mute time.
    bool MuteTimeCheckBoxChecked = false;
    TDateTime MuteDateTimePickerTime = 0;
    int MuteComboBoxItemIndex = 0;
    int VolumeTrackBarPosition = 0;
    int VolumeTrackBarMin = 0;
    // Alarm.
    bool AlarmClockCheckBoxChecked = false;
    TDateTime AlarmTimePickerTime = 0;
    // Chimes: each chime's minute as its caption gives it, -1 for none.
    bool Chime00CheckBoxChecked = false;
    int Chime00Minute = -1;
    bool Chime30CheckBoxChecked = false;
    int Chime30Minute = -1;
    int FromComboBoxItemIndex = 0;
    int TillComboBoxItemIndex = 0;
    // Update check and trim.
    bool AutoCheckup = false;
    bool UpdateInteractive = false;
    bool UpdateScheduled = false;
    int AutoCheckupTime = 0;
    TDateTime LastCheckup = 0;
    bool MemoryCleanCheckBoxChecked = false;
    bool NtPlatform = false;
};

// What the tick asks of the system, only when a step needs the answer.
class TScheduleProbes {
public:
    virtual ~TScheduleProbes() = default;
    // The output device's flags (BASS_DEVICE_ENABLED, BASS_DEVICE_DEFAULT);
    // none when the device cannot be read.
    virtual std::optional<unsigned> DeviceFlags(int device) = 0;
    virtual bool Connected() = 0;  // the system reports an Internet connection
};

enum class TScheduleAction {
    FailOutput,         // the device-failure handler, as if the output had reported the loss
    MarkDeviceFailed,   // silent: DeviceFailed := true, nothing to stop
    WatchDeviceReturn,  // red device controls; restore and play when the device is back
    RelistDevices,      // FillInDeviceCB(true)
    PlayOn,             // tick PlayCheckBox
    FillSunPickers,     // DayOnDateTimePicker := DayOnTime, NightOnDateTimePicker := NightOnTime
    MoveNightOnTime,    // NightOnDateTimePicker and NightOnTime := NightOnTime
    SwitchScene,        // SaveOptions, OvelComboBox := Scene, FadeOutAll, OvelComboBoxSelect
    LowerVolume,        // FadeTarget := Volume, FadeOutTimer on
    FadeOutAll,
    PlayOff,         // PlayOnOffClick
    Hibernate,       // the countdown, then SaveOptions and hibernation
    PowerOff,        // the countdown, then the power-off
    RestoreVolume,   // VolumeTrackBar.Position := Volume
    RingAlarm,       // AlarmTestBitBtnClick
    ChimesWorkTime,  // ChimesActive := Active: the hours window for this tick's hour
    ChimeHints,      // the chimes' hints for Active (inside the window and playing) or not
    PlayChime,       // Chime00TrackBarEnter for Chime 0, Chime30TrackBarEnter for Chime 1
    LiveUpdate,      // LiveUpdateClick with ScheduleTimer as sender
    TrimWorkingSet,
};

struct TScheduleStep {
    TScheduleAction Action = TScheduleAction::PlayOn;
    int Scene = 0;
    int Volume = 0;
    int Chime = 0;
    bool Active = false;
    TDateTime DayOnTime = 0;
    TDateTime NightOnTime = 0;
};

struct TTickPlan {
    std::vector<TScheduleStep> Steps;
    bool Ended = false;  // the last step ends the tick
};

// Set when its time fires, holding the wall-clock minute it fired for.
struct TLatch {
    bool Set = false;
    std::int64_t Minute = 0;
};

// Wall-clock minutes the clock skipped going ahead: those after From and
// before Landing are due while the clock shows the minute Landing.
struct TSkippedMinutes {
    bool Any = false;
    std::int64_t From = 0;
    std::int64_t Landing = 0;
};

struct TScheduleState {
    TLatch TessilDone;
    TLatch MuteDone;
    TLatch AlarmDone;
    TLatch DayOnDone;
    TLatch NightOnDone;
    TLatch Chime00Done;
    TLatch Chime30Done;
    // The volume when the mute time came; -1 for none. The user's own touch
    // of the volume sets it back to -1.
    int RememberedVolume = -1;
    TSunState Sun;
    std::optional<TClockSample> LastSample;
    TSkippedMinutes Skipped;
};

// The tick's intervals: while playing, and while silent or waiting for a lost device.
constexpr unsigned kPlayingScheduleInterval = 8192;
constexpr unsigned kSilentScheduleInterval = 1024;

TTickPlan PlanScheduleTick(TScheduleState& state, const TBoardSnapshot& board, const TClockSample& clock,
                           TScheduleProbes& probes);

// The lowering at mute time goes down to a quarter of the volume, not below
// the trackbar's minimum; it goes on one step at a time while the mute box
// stays ticked and the target lies below the new position.
int FadeTarget(int volume, int minimum);
bool FadeOutGoesOn(int newPosition, int fadeTarget, bool muteTimeChecked);

// Hours between update checks by AutoCheckupTime; none for an unknown value.
std::optional<int> UpdateIntervalHours(int autoCheckupTime);
