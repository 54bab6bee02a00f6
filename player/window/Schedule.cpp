#include "player/window/Schedule.h"

#include "platform/audio/bass.h"
#include "player/window/Chimes.h"
#include "player/window/Scenes.h"
#include "support/Random.h"

#include <algorithm>
#include <array>

namespace {

// Alternation modes by AlternateComboBox item.
constexpr std::array<std::int64_t, 3> kSwitchAfterMinutes = {5, 15, 30};
constexpr int kEveryHourMode = 3;
constexpr int kCalendarMode = 4;
constexpr int kFixedTimesMode = 5;

// Mute-time actions by MuteComboBox item.
constexpr int kLowerVolume = 0;
constexpr int kStopSound = 1;
constexpr int kHibernate = 2;
constexpr int kPowerOff = 3;

constexpr int kFadeDivisor = 4;
constexpr std::array<int, 6> kUpdateIntervalHours = {20, 44, 68, 116, 164, 332};
constexpr int kTrimChance = 32;  // one tick in 32 on average

// The wall clock ran ahead of real time by more than this: minutes were skipped.
constexpr std::int64_t kClockJumpMs = kMsPerMinute;

// Wall minutes count from the day-number origin, so they are never negative.
std::int64_t DateOf(std::int64_t wallMinute) { return wallMinute / kMinutesPerDay; }

int MinuteOfDayOf(std::int64_t wallMinute) { return static_cast<int>(wallMinute % kMinutesPerDay); }

int OtherScene(int scene) { return scene == kDayScene ? kNightScene : kDayScene; }

class TTickPlanner {
public:
    TTickPlanner(TScheduleState& state, const TBoardSnapshot& board, const TClockSample& clock, TScheduleProbes& probes)
        : state_(state), board_(board), clock_(clock), probes_(probes), now_(WallMinute(clock.Now)),
          minuteOfDay_(MinuteOfTheDay(clock.Now)), playing_(board.PlayCheckBoxChecked)
    {}

    TTickPlan Plan()
    {
        NoteClockJump();
        ClearLatches();
        if (WatchDevice())
            return plan_;
        DeviceList();
        if (SoundOnTime() || Alternation())
            return plan_;
        MuteTime();
        if (Alarm() || Chimes())
            return plan_;
        UpdateCheckOrTrim();
        return plan_;
    }

private:
    TScheduleStep& Add(TScheduleAction action)
    {
        plan_.Steps.push_back({});
        plan_.Steps.back().Action = action;
        return plan_.Steps.back();
    }

    bool End()
    {
        plan_.Ended = true;
        return true;
    }

    void NoteClockJump()
    {
        if (state_.LastSample) {
            const std::int64_t wallAdvance = Milliseconds(clock_.Now) - Milliseconds(state_.LastSample->Now);
            const std::int64_t realAdvance = clock_.TickMs >= state_.LastSample->TickMs
                                                 ? static_cast<std::int64_t>(clock_.TickMs - state_.LastSample->TickMs)
                                                 : 0;
            if (wallAdvance - realAdvance > kClockJumpMs) {
                // A jump of a day or more skips no hour of a clock change.
                const std::int64_t from = WallMinute(state_.LastSample->Now);
                state_.Skipped = {now_ - from < kMinutesPerDay, from, now_};
            }
        }
        state_.LastSample = clock_;
    }

    // A daily latch holds until its box is unticked, its time changes or the date does.
    void ClearDaily(TLatch& latch, bool checked, TDateTime picked) const
    {
        if (latch.Set &&
            (!checked || MinuteOfDayOf(latch.Minute) != MinuteOfTheDay(picked) || DateOf(latch.Minute) != DateOf(now_)))
            latch.Set = false;
    }

    // A chime's latch holds for the minute it fired in.
    void ClearChime(TLatch& latch, bool checked) const
    {
        if (latch.Set && (!checked || latch.Minute != now_))
            latch.Set = false;
    }

    void ClearLatches()
    {
        const bool fixedTimes = board_.AlternateCheckBoxChecked && board_.AlternateComboBoxItemIndex == kFixedTimesMode;
        ClearDaily(state_.TessilDone, board_.TessilCheckBoxChecked, board_.TessilDateTimePickerTime);
        ClearDaily(state_.MuteDone, board_.MuteTimeCheckBoxChecked, board_.MuteDateTimePickerTime);
        ClearDaily(state_.AlarmDone, board_.AlarmClockCheckBoxChecked, board_.AlarmTimePickerTime);
        ClearDaily(state_.DayOnDone, fixedTimes, board_.DayOnDateTimePickerTime);
        ClearDaily(state_.NightOnDone, fixedTimes, board_.NightOnDateTimePickerTime);
        ClearChime(state_.Chime00Done, board_.Chime00CheckBoxChecked);
        ClearChime(state_.Chime30Done, board_.Chime30CheckBoxChecked);
    }

    // The wall minute a daily time is due for at this tick: now, or a minute
    // the clock skipped on its way to now.
    std::optional<std::int64_t> DueMinute(const TLatch& latch, int minuteOfDay) const
    {
        if (latch.Set)
            return std::nullopt;
        if (minuteOfDay == minuteOfDay_)
            return now_;
        const TSkippedMinutes& skipped = state_.Skipped;
        if (!skipped.Any || skipped.Landing != now_)
            return std::nullopt;
        const std::int64_t first = skipped.From + 1;
        const int ahead = (minuteOfDay - MinuteOfDayOf(first) + kMinutesPerDay) % kMinutesPerDay;
        const std::int64_t due = first + ahead;
        return due < skipped.Landing ? std::optional<std::int64_t>(due) : std::nullopt;
    }

    // Fires the daily time when due, setting its latch.
    bool FireDaily(TLatch& latch, TDateTime picked) const
    {
        const std::optional<std::int64_t> due = DueMinute(latch, MinuteOfTheDay(picked));
        if (!due)
            return false;
        latch = {true, *due};
        return true;
    }

    // A device that cannot be read counts as lost. While playing only the
    // default policy watches the device; while silent it must be there.
    bool DeviceLost() const
    {
        const bool followDefault = board_.UseCurrentDefDeviceRadioButtonChecked;
        if (playing_ && !followDefault)
            return false;
        const std::optional<unsigned> flags = probes_.DeviceFlags(board_.OutputDevice);
        if (!flags)
            return true;
        const bool isDefault = (*flags & BASS_DEVICE_DEFAULT) != 0;
        if (playing_)
            return !isDefault;
        return !(*flags & BASS_DEVICE_ENABLED) || (followDefault && !isDefault);
    }

    // The walk skips disabled devices and ends at the first that cannot be read.
    int CurrentDefaultDevice() const
    {
        for (int device = 1;; ++device) {
            const std::optional<unsigned> flags = probes_.DeviceFlags(device);
            if (!flags)
                return -1;
            if ((*flags & BASS_DEVICE_ENABLED) && (*flags & BASS_DEVICE_DEFAULT))
                return device;
        }
    }

    bool WatchDevice()
    {
        if (!board_.DeviceFailed) {
            if (!DeviceLost())
                return false;
            Add(playing_ ? TScheduleAction::FailOutput : TScheduleAction::MarkDeviceFailed);
        }
        Add(TScheduleAction::WatchDeviceReturn);
        return End();
    }

    // Only while the board is shown; rebuilt when the default device changed.
    void DeviceList()
    {
        if (board_.BoardShown && CurrentDefaultDevice() != board_.DefaultDevice)
            Add(TScheduleAction::RelistDevices);
    }

    bool SoundOnTime()
    {
        if (playing_ || !board_.TessilCheckBoxChecked || !FireDaily(state_.TessilDone, board_.TessilDateTimePickerTime))
            return false;
        Add(TScheduleAction::PlayOn);
        return End();
    }

    bool SwitchTo(int scene)
    {
        Add(TScheduleAction::SwitchScene).Scene = scene;
        return End();
    }

    bool Alternation()
    {
        if (!board_.AlternateCheckBoxChecked)
            return false;
        const int mode = board_.AlternateComboBoxItemIndex;
        const int scene = board_.OvelComboBoxItemIndex;
        const std::int64_t sinceSwitch = MinutesBetween(clock_.Now, board_.SceneSwitchTime);
        if (mode >= 0 && mode < static_cast<int>(kSwitchAfterMinutes.size())) {
            if (sinceSwitch >= kSwitchAfterMinutes[static_cast<std::size_t>(mode)])
                return SwitchTo(OtherScene(scene));
            return false;
        }
        switch (mode) {
            case kEveryHourMode:
                if (minuteOfDay_ % kMinutesPerHour == 0 && sinceSwitch > 0)
                    return SwitchTo(OtherScene(scene));
                return false;
            case kCalendarMode:
                return CalendarSwitch(scene);
            case kFixedTimesMode:
                return FixedTimesSwitch(sinceSwitch);
            default:
                return false;
        }
    }

    bool CalendarSwitch(int scene)
    {
        TSunSettings settings;
        settings.DaylightShift = clock_.Daylight && !board_.AutoDSTDisabled;
        settings.SunriseOffset = board_.SunriseOffset;
        settings.SunsetOffset = board_.SunsetOffset;
        const TNightAnswer answer = NightAt(state_.Sun, clock_.Now, settings, false);
        if (answer.FillPickers) {
            TScheduleStep& fill = Add(TScheduleAction::FillSunPickers);
            fill.DayOnTime = answer.DayOnTime;
            fill.NightOnTime = answer.NightOnTime;
        }
        if (answer.Night && scene == kDayScene)
            return SwitchTo(kNightScene);
        if (!answer.Night && scene == kNightScene)
            return SwitchTo(kDayScene);
        return false;
    }

    // The switch happens even when that scene already plays, which restarts it.
    bool FixedTimesSwitch(std::int64_t sinceSwitch)
    {
        const TDateTime dayOn = board_.DayOnDateTimePickerTime;
        TDateTime nightOn = board_.NightOnDateTimePickerTime;
        if (MinuteOfTheDay(nightOn) == MinuteOfTheDay(dayOn)) {
            nightOn = TimeOfDay((MinuteOfTheDay(dayOn) + 1) % kMinutesPerDay);
            Add(TScheduleAction::MoveNightOnTime).NightOnTime = nightOn;
        }
        if (sinceSwitch <= 0)
            return false;
        if (FireDaily(state_.DayOnDone, dayOn))
            return SwitchTo(kDayScene);
        if (FireDaily(state_.NightOnDone, nightOn))
            return SwitchTo(kNightScene);
        return false;
    }

    void MuteTime()
    {
        if (!board_.MuteTimeCheckBoxChecked || !FireDaily(state_.MuteDone, board_.MuteDateTimePickerTime))
            return;
        state_.RememberedVolume = board_.VolumeTrackBarPosition;
        switch (board_.MuteComboBoxItemIndex) {
            case kLowerVolume:
                Add(TScheduleAction::LowerVolume).Volume =
                    FadeTarget(board_.VolumeTrackBarPosition, board_.VolumeTrackBarMin);
                break;
            case kStopSound:
                Add(TScheduleAction::FadeOutAll);
                if (playing_)
                    Add(TScheduleAction::PlayOff);
                playing_ = false;
                break;
            case kHibernate:
                Add(TScheduleAction::Hibernate);
                break;
            case kPowerOff:
                Add(TScheduleAction::PowerOff);
                break;
            default:
                break;
        }
    }

    bool Alarm()
    {
        if (!board_.AlarmClockCheckBoxChecked || !FireDaily(state_.AlarmDone, board_.AlarmTimePickerTime))
            return false;
        if (!playing_)
            Add(TScheduleAction::PlayOn);
        if (state_.RememberedVolume > 0) {
            Add(TScheduleAction::RestoreVolume).Volume = state_.RememberedVolume;
            state_.RememberedVolume = -1;
        }
        Add(TScheduleAction::RingAlarm);
        return End();
    }

    bool ChimeDue(TLatch& latch, bool checked, int minute) const
    {
        if (!checked || minute != minuteOfDay_ % kMinutesPerHour || latch.Set)
            return false;
        latch = {true, now_};
        return true;
    }

    bool PlayChime(int chime)
    {
        Add(TScheduleAction::PlayChime).Chime = chime;
        return End();
    }

    bool Chimes()
    {
        bool active = false;
        if (playing_) {
            active = ChimesWorkTimeAt(board_.FromComboBoxItemIndex, board_.TillComboBoxItemIndex,
                                      minuteOfDay_ / kMinutesPerHour)
                         .Active;
            Add(TScheduleAction::ChimesWorkTime).Active = active;
        }
        Add(TScheduleAction::ChimeHints).Active = active;
        if (!active)
            return false;
        if (ChimeDue(state_.Chime00Done, board_.Chime00CheckBoxChecked, board_.Chime00Minute))
            return PlayChime(0);
        if (ChimeDue(state_.Chime30Done, board_.Chime30CheckBoxChecked, board_.Chime30Minute))
            return PlayChime(1);
        return false;
    }

    void UpdateCheckOrTrim()
    {
        if (board_.AutoCheckup && !board_.UpdateInteractive && !board_.UpdateScheduled && probes_.Connected()) {
            const std::optional<int> hours = UpdateIntervalHours(board_.AutoCheckupTime);
            if (hours && HoursBetween(clock_.Now, board_.LastCheckup) > *hours)
                Add(TScheduleAction::LiveUpdate);
            return;
        }
        if (board_.MemoryCleanCheckBoxChecked && Random(kTrimChance) == 0 && board_.NtPlatform)
            Add(TScheduleAction::TrimWorkingSet);
    }

    TScheduleState& state_;
    const TBoardSnapshot& board_;
    const TClockSample& clock_;
    TScheduleProbes& probes_;
    const std::int64_t now_;
    const int minuteOfDay_;
    bool playing_;
    TTickPlan plan_;
};

}  // namespace

TTickPlan PlanScheduleTick(TScheduleState& state, const TBoardSnapshot& board, const TClockSample& clock,
                           TScheduleProbes& probes)
{
    return TTickPlanner(state, board, clock, probes).Plan();
}

int FadeTarget(int volume, int minimum) { return std::max(volume / kFadeDivisor, minimum); }

bool FadeOutGoesOn(int newPosition, int fadeTarget, bool muteTimeChecked)
{
    return muteTimeChecked && fadeTarget < newPosition;
}

std::optional<int> UpdateIntervalHours(int autoCheckupTime)
{
    if (autoCheckupTime < 0 || autoCheckupTime >= static_cast<int>(kUpdateIntervalHours.size()))
        return std::nullopt;
    return kUpdateIntervalHours[static_cast<std::size_t>(autoCheckupTime)];
}
