// The schedule tick's plan, tick by tick on a fake clock: which steps act, in
// their order, and which one ends the tick. The fake board takes each plan's
// effect on the values the next tick reads.
#include "player/window/Schedule.h"

#include "platform/audio/bass.h"
#include "tests/player/engine/ScriptedRandom.h"
#include "tests/player/window/FakeScheduleClock.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr unsigned kPresent = BASS_DEVICE_ENABLED | BASS_DEVICE_DEFAULT;

class FakeProbes final : public TScheduleProbes {
public:
    std::optional<unsigned> DeviceFlags(int device) override
    {
        if (device < 1 || device > static_cast<int>(Devices.size()))
            return std::nullopt;
        return Devices[static_cast<std::size_t>(device - 1)];
    }
    bool Connected() override { return Online; }

    std::vector<unsigned> Devices = {kPresent};
    bool Online = false;
};

TDateTime Clock(const char* time)
{
    int hour = 0;
    int minute = 0;
    int second = 0;
    std::sscanf(time, "%d:%d:%d", &hour, &minute, &second);
    return EncodeTime(hour, minute, second);
}

const char* ActionName(TScheduleAction action)
{
    static const std::array<const char*, 20> names = {
        "FailOutput",     "MarkDeviceFailed", "WatchDeviceReturn", "RelistDevices", "PlayOn",
        "FillSunPickers", "MoveNightOnTime",  "SwitchScene",       "LowerVolume",   "FadeOutAll",
        "PlayOff",        "Hibernate",        "PowerOff",          "RestoreVolume", "RingAlarm",
        "ChimesWorkTime", "ChimeHints",       "PlayChime",         "LiveUpdate",    "TrimWorkingSet"};
    return names[static_cast<std::size_t>(action)];
}

std::string TimeText(TDateTime time)
{
    char text[16];
    const int minute = MinuteOfTheDay(time);
    std::snprintf(text, sizeof text, "%02d:%02d", minute / 60, minute % 60);
    return text;
}

std::string StepText(const TScheduleStep& step)
{
    std::string text = ActionName(step.Action);
    switch (step.Action) {
        case TScheduleAction::SwitchScene:
            return text + " " + std::to_string(step.Scene);
        case TScheduleAction::LowerVolume:
        case TScheduleAction::RestoreVolume:
            return text + " " + std::to_string(step.Volume);
        case TScheduleAction::PlayChime:
            return text + " " + std::to_string(step.Chime);
        case TScheduleAction::ChimesWorkTime:
        case TScheduleAction::ChimeHints:
            return text + (step.Active ? " on" : " off");
        case TScheduleAction::MoveNightOnTime:
            return text + " " + TimeText(step.NightOnTime);
        case TScheduleAction::FillSunPickers:
            return text + " " + TimeText(step.DayOnTime) + "-" + TimeText(step.NightOnTime);
        default:
            return text;
    }
}

bool IsChimeHint(TScheduleAction action)
{
    return action == TScheduleAction::ChimesWorkTime || action == TScheduleAction::ChimeHints;
}

// "Step, Step 1 [end]"; the chimes' window and hints only when asked for.
std::string PlanText(const TTickPlan& plan, bool withHints)
{
    std::string text;
    for (const TScheduleStep& step : plan.Steps) {
        if (!withHints && IsChimeHint(step.Action))
            continue;
        text += (text.empty() ? "" : ", ") + StepText(step);
    }
    if (plan.Ended)
        text += " [end]";
    return text;
}

// The board as the schedule sees it, carrying out what each plan changes.
class FakeBoard {
public:
    explicit FakeBoard(TDateTime date) : date_(date)
    {
        Snapshot.OutputDevice = 1;
        Snapshot.DefaultDevice = 1;
        Snapshot.TillComboBoxItemIndex = 23;
        Snapshot.NtPlatform = true;
    }

    // wallShiftMinutes: how far the wall clock was moved from real time.
    std::string Tick(int day, const char* time, int wallShiftMinutes, bool withHints = false)
    {
        const TDateTime wall = date_ + day + Clock(time);
        clock_.Wall = wall;
        clock_.Daylight = Daylight;
        const std::int64_t real = Milliseconds(wall - date_) - std::int64_t{wallShiftMinutes} * kMsPerMinute;
        clock_.Ticks = static_cast<std::uint64_t>(real);
        const TTickPlan plan = PlanScheduleTick(State, Snapshot, ReadClock(clock_), Probes);
        for (const TScheduleStep& step : plan.Steps)
            Apply(step, wall);
        return PlanText(plan, withHints);
    }

    TBoardSnapshot Snapshot;
    TScheduleState State;
    FakeProbes Probes;
    bool Daylight = false;

private:
    void Apply(const TScheduleStep& step, TDateTime wall)
    {
        switch (step.Action) {
            case TScheduleAction::FailOutput:
            case TScheduleAction::MarkDeviceFailed:
                Snapshot.DeviceFailed = true;
                break;
            case TScheduleAction::PlayOn:
                Snapshot.PlayCheckBoxChecked = true;
                break;
            case TScheduleAction::PlayOff:
                Snapshot.PlayCheckBoxChecked = false;
                break;
            case TScheduleAction::SwitchScene:
                Snapshot.OvelComboBoxItemIndex = step.Scene;
                Snapshot.SceneSwitchTime = wall;
                break;
            case TScheduleAction::MoveNightOnTime:
                Snapshot.NightOnDateTimePickerTime = step.NightOnTime;
                break;
            case TScheduleAction::FillSunPickers:
                Snapshot.DayOnDateTimePickerTime = step.DayOnTime;
                Snapshot.NightOnDateTimePickerTime = step.NightOnTime;
                break;
            case TScheduleAction::RestoreVolume:
                Snapshot.VolumeTrackBarPosition = step.Volume;
                break;
            default:
                break;
        }
    }

    TDateTime date_;
    TFakeScheduleClock clock_;
};

using Setup = void (*)(FakeBoard&);

struct Tick {
    const char* time;
    std::string plan;
    int day = 0;
    int wallShift = 0;
    Setup change = nullptr;  // the user's doing before this tick
};

struct PlanCase {
    std::string name;
    TDateTime date;
    Setup setup;
    std::vector<Tick> ticks;
    std::vector<int> draws = {};
};

void PrintTo(const PlanCase& c, std::ostream* out) { *out << c.name; }

class PlanTest : public ::testing::TestWithParam<PlanCase> {};

TEST_P(PlanTest, StepsActInOrderAndTheFirstThatEndsTheTickEndsIt)
{
    const PlanCase& c = GetParam();
    FakeBoard board(c.date);
    c.setup(board);
    ScriptedRandom random(c.draws);
    for (const Tick& tick : c.ticks) {
        if (tick.change)
            tick.change(board);
        EXPECT_EQ(board.Tick(tick.day, tick.time, tick.wallShift), tick.plan)
            << "day " << tick.day << " at " << tick.time;
    }
    EXPECT_TRUE(random.Used()) << "draws left over";
}

const TDateTime kJune = EncodeDate(2024, 6, 14);
const TDateTime kSpringChange = EncodeDate(2024, 3, 31);
const TDateTime kAutumnChange = EncodeDate(2024, 10, 27);
const TDateTime kMidsummer = EncodeDate(2023, 6, 15);  // day 166: sunrise 03:44, sunset 21:16

void Alternate(FakeBoard& board, int mode, const char* lastSwitch)
{
    board.Snapshot.AlternateCheckBoxChecked = true;
    board.Snapshot.AlternateComboBoxItemIndex = mode;
    board.Snapshot.SceneSwitchTime = kJune + Clock(lastSwitch);
}

void Play(FakeBoard& board) { board.Snapshot.PlayCheckBoxChecked = true; }
void Silence(FakeBoard& board) { board.Snapshot.PlayCheckBoxChecked = false; }

void MuteAt(FakeBoard& board, const char* time, int action, int volume, int minimum)
{
    board.Snapshot.MuteTimeCheckBoxChecked = true;
    board.Snapshot.MuteDateTimePickerTime = Clock(time);
    board.Snapshot.MuteComboBoxItemIndex = action;
    board.Snapshot.VolumeTrackBarPosition = volume;
    board.Snapshot.VolumeTrackBarMin = minimum;
}

void AlarmAt(FakeBoard& board, const char* time)
{
    board.Snapshot.AlarmClockCheckBoxChecked = true;
    board.Snapshot.AlarmTimePickerTime = Clock(time);
}

void ChimesAt(FakeBoard& board, int first, int second)
{
    Play(board);
    board.Snapshot.Chime00CheckBoxChecked = first >= 0;
    board.Snapshot.Chime00Minute = first;
    board.Snapshot.Chime30CheckBoxChecked = second >= 0;
    board.Snapshot.Chime30Minute = second;
}

void UpdateDue(FakeBoard& board, int intervalItem)
{
    board.Snapshot.AutoCheckup = true;
    board.Snapshot.AutoCheckupTime = intervalItem;
    board.Snapshot.LastCheckup = kJune;
    board.Probes.Online = true;
}

const std::string kNothing;
const std::string kPlayOnEnds = "PlayOn [end]";
const std::string kToNight = "SwitchScene 1 [end]";
const std::string kToDay = "SwitchScene 0 [end]";
const std::string kWatchEnds = "WatchDeviceReturn [end]";

INSTANTIATE_TEST_SUITE_P(
    Ticks, PlanTest,
    ::testing::Values(
        // Output device.
        PlanCase{"LostDefaultWhilePlayingFailsTheOutput", kJune,
                 [](FakeBoard& b) {
                     Play(b);
                     b.Snapshot.UseCurrentDefDeviceRadioButtonChecked = true;
                     b.Probes.Devices = {BASS_DEVICE_ENABLED};
                 },
                 {{"10:00:00", "FailOutput, " + kWatchEnds}, {"10:00:01", kWatchEnds}}},
        PlanCase{"FailedDeviceReadCountsAsLost", kJune,
                 [](FakeBoard& b) {
                     Play(b);
                     b.Snapshot.UseCurrentDefDeviceRadioButtonChecked = true;
                     b.Probes.Devices = {};
                 },
                 {{"10:00:00", "FailOutput, " + kWatchEnds}}},
        PlanCase{"FailedDeviceReadWhileSilentCountsAsLost", kJune, [](FakeBoard& b) { b.Probes.Devices = {}; },
                 {{"10:00:00", "MarkDeviceFailed, " + kWatchEnds}}},
        PlanCase{"SilentDeviceMustBeEnabled", kJune,
                 [](FakeBoard& b) { b.Probes.Devices = {BASS_DEVICE_DEFAULT}; },
                 {{"10:00:00", "MarkDeviceFailed, " + kWatchEnds}}},
        PlanCase{"SilentDeviceMustStayDefaultUnderTheDefaultPolicy", kJune,
                 [](FakeBoard& b) {
                     b.Snapshot.UseCurrentDefDeviceRadioButtonChecked = true;
                     b.Probes.Devices = {BASS_DEVICE_ENABLED, kPresent};
                 },
                 {{"10:00:00", "MarkDeviceFailed, " + kWatchEnds}}},
        PlanCase{"PlayingWithoutTheDefaultPolicyReadsNoDevice", kJune,
                 [](FakeBoard& b) {
                     Play(b);
                     b.Probes.Devices = {};
                 },
                 {{"10:00:00", kNothing}}},
        PlanCase{"DeviceListWalksPastDisabledDevices", kJune,
                 [](FakeBoard& b) {
                     b.Snapshot.BoardShown = true;
                     b.Snapshot.OutputDevice = 3;
                     b.Snapshot.DefaultDevice = 3;
                     b.Probes.Devices = {BASS_DEVICE_ENABLED, 0, kPresent};
                 },
                 {{"10:00:00", kNothing},
                  {"10:00:01", "RelistDevices", 0, 0, [](FakeBoard& b) { b.Snapshot.DefaultDevice = 1; }}}},
        PlanCase{"DeviceListWithoutDefaultAsBeforeStays", kJune,
                 [](FakeBoard& b) {
                     Play(b);
                     b.Snapshot.BoardShown = true;
                     b.Snapshot.DefaultDevice = -1;
                     b.Probes.Devices = {BASS_DEVICE_ENABLED};
                 },
                 {{"10:00:00", kNothing}}},
        PlanCase{"DeviceListOnlyWhileTheBoardIsShown", kJune,
                 [](FakeBoard& b) { b.Snapshot.DefaultDevice = 2; }, {{"10:00:00", kNothing}}},

        // Sound-on time.
        PlanCase{"SoundOnOnceEvenWhenPlayIsUntickedInItsMinute", kJune,
                 [](FakeBoard& b) {
                     b.Snapshot.TessilCheckBoxChecked = true;
                     b.Snapshot.TessilDateTimePickerTime = Clock("07:00");
                 },
                 {{"06:59:59", kNothing},
                  {"07:00:01", kPlayOnEnds},
                  {"07:00:09", kNothing, 0, 0, Silence},
                  {"07:00:01", kPlayOnEnds, 1}}},
        PlanCase{"SoundOnEndsTheTickBeforeTheAlternation", kJune,
                 [](FakeBoard& b) {
                     Alternate(b, 0, "06:00:00");
                     b.Snapshot.TessilCheckBoxChecked = true;
                     b.Snapshot.TessilDateTimePickerTime = Clock("07:00");
                 },
                 {{"07:00:01", kPlayOnEnds}, {"07:00:09", kToNight}}},

        // Alternation.
        PlanCase{"FiveMinutesSwitchToNightAndFiveMoreBackToDay", kJune,
                 [](FakeBoard& b) { Alternate(b, 0, "10:00:20"); },
                 {{"10:05:12", kNothing},
                  {"10:05:20", kToNight},
                  {"10:05:28", kNothing},
                  {"10:10:19", kNothing},
                  {"10:10:20", kToDay}}},
        PlanCase{"AGapPastFiveMinutesStillSwitches", kJune, [](FakeBoard& b) { Alternate(b, 0, "10:00:00"); },
                 {{"10:04:00", kNothing}, {"10:07:00", kToNight}}},
        PlanCase{"FifteenMinutes", kJune, [](FakeBoard& b) { Alternate(b, 1, "10:00:00"); },
                 {{"10:14:59", kNothing}, {"10:15:00", kToNight}}},
        PlanCase{"ThirtyMinutesAfterAGap", kJune, [](FakeBoard& b) { Alternate(b, 2, "10:00:00"); },
                 {{"10:29:00", kNothing}, {"10:31:00", kToNight}}},
        PlanCase{"EveryFullHourOnce", kJune, [](FakeBoard& b) { Alternate(b, 3, "10:30:00"); },
                 {{"10:59:56", kNothing}, {"11:00:04", kToNight}, {"11:00:12", kNothing}, {"12:00:04", kToDay}}},
        PlanCase{"NoFullHourSwitchWithinAMinuteOfAManualChange", kJune,
                 [](FakeBoard& b) { Alternate(b, 3, "10:59:50"); },
                 {{"11:00:02", kNothing}, {"11:00:40", kNothing}, {"12:00:02", kToNight}}},
        PlanCase{"CalendarFillsThePickersAndSwitchesAfterSunset", kMidsummer,
                 [](FakeBoard& b) {
                     Play(b);
                     Alternate(b, 4, "10:00:00");
                 },
                 {{"21:16:30", "FillSunPickers 03:44-21:16"}, {"21:17:02", kToNight}, {"21:17:10", kNothing}}},
        PlanCase{"CalendarInDaylightTime", kMidsummer,
                 [](FakeBoard& b) {
                     Alternate(b, 4, "10:00:00");
                     b.Daylight = true;
                 },
                 {{"22:16:30", "FillSunPickers 04:44-22:16"}, {"22:17:02", kToNight}}},
        PlanCase{"CalendarWithDaylightShiftDisabled", kMidsummer,
                 [](FakeBoard& b) {
                     Alternate(b, 4, "10:00:00");
                     b.Daylight = true;
                     b.Snapshot.AutoDSTDisabled = true;
                 },
                 {{"21:17:02", "FillSunPickers 03:44-21:16, " + kToNight}}},
        PlanCase{"EqualFixedTimesMoveTheNightTimeOneMinuteLater", kJune,
                 [](FakeBoard& b) {
                     Alternate(b, 5, "05:00:00");
                     b.Snapshot.DayOnDateTimePickerTime = Clock("07:00");
                     b.Snapshot.NightOnDateTimePickerTime = Clock("07:00");
                 },
                 {{"06:00:00", "MoveNightOnTime 07:01"}, {"06:00:08", kNothing}, {"07:01:00", kToNight}}},
        PlanCase{"FixedTimesSwitchEvenWhenTheSceneAlreadyPlays", kJune,
                 [](FakeBoard& b) {
                     Alternate(b, 5, "06:00:00");
                     b.Snapshot.DayOnDateTimePickerTime = Clock("07:00");
                     b.Snapshot.NightOnDateTimePickerTime = Clock("21:00");
                 },
                 {{"07:00:03", kToDay}, {"07:00:11", kNothing}, {"21:00:03", kToNight}, {"07:00:03", kToDay, 1}}},

        // Mute time and alarm.
        PlanCase{"LoweringGoesToAQuarter", kJune, [](FakeBoard& b) { MuteAt(b, "23:00", 0, 40, 5); },
                 {{"23:00:03", "LowerVolume 10"}, {"23:00:11", kNothing}}},
        PlanCase{"LoweringStopsAtTheMinimum", kJune, [](FakeBoard& b) { MuteAt(b, "23:00", 0, 12, 5); },
                 {{"23:00:03", "LowerVolume 5"}}},
        PlanCase{"AlarmBringsBackTheVolumeOfTheMuteTime", kJune,
                 [](FakeBoard& b) {
                     Play(b);
                     MuteAt(b, "23:00", 0, 40, 5);
                     AlarmAt(b, "07:00");
                 },
                 {{"23:00:03", "LowerVolume 10"}, {"07:00:03", "RestoreVolume 40, RingAlarm [end]", 1}}},
        PlanCase{"AlarmLeavesTheVolumeTheUserTookInHand", kJune,
                 [](FakeBoard& b) {
                     Play(b);
                     MuteAt(b, "23:00", 0, 40, 5);
                     AlarmAt(b, "07:00");
                 },
                 {{"23:00:03", "LowerVolume 10"},
                  {"06:00:00", kNothing, 1, 0, [](FakeBoard& b) { b.State.RememberedVolume = -1; }},
                  {"07:00:03", "RingAlarm [end]", 1}}},
        PlanCase{"SilentAlarmTurnsPlayOnFirst", kJune, [](FakeBoard& b) { AlarmAt(b, "07:00"); },
                 {{"07:00:03", "PlayOn, RingAlarm [end]"}, {"07:00:11", kNothing}}},
        PlanCase{"StopAtMuteTimeSilencesTheChimeOfThatMinute", kJune,
                 [](FakeBoard& b) {
                     ChimesAt(b, 15, -1);
                     MuteAt(b, "14:15", 1, 40, 5);
                 },
                 {{"14:15:02", "FadeOutAll, PlayOff"}}},
        PlanCase{"HibernationLetsTheTickGoOnToTheAlarm", kJune,
                 [](FakeBoard& b) {
                     Play(b);
                     MuteAt(b, "07:00", 2, 40, 5);
                     AlarmAt(b, "07:00");
                 },
                 {{"07:00:03", "Hibernate, RestoreVolume 40, RingAlarm [end]"}}},
        PlanCase{"CancelledPowerOffLetsTheTickGoOnToTheAlarm", kJune,
                 [](FakeBoard& b) {
                     Play(b);
                     MuteAt(b, "07:00", 3, 0, 0);
                     AlarmAt(b, "07:00");
                 },
                 {{"07:00:03", "PowerOff, RingAlarm [end]"}}},

        // Clock changes.
        PlanCase{"AlarmInTheSkippedSpringHourRingsAtTheFirstTickAfter", kSpringChange,
                 [](FakeBoard& b) { AlarmAt(b, "02:30"); },
                 {{"01:59:58", kNothing}, {"03:00:06", "PlayOn, RingAlarm [end]", 0, 60}, {"03:00:14", kNothing, 0, 60}}},
        PlanCase{"SkippedSoundOnAndAlarmBothFireInTheMinuteAfter", kSpringChange,
                 [](FakeBoard& b) {
                     AlarmAt(b, "02:30");
                     b.Snapshot.TessilCheckBoxChecked = true;
                     b.Snapshot.TessilDateTimePickerTime = Clock("02:10");
                 },
                 {{"01:59:58", kNothing},
                  {"03:00:06", kPlayOnEnds, 0, 60},
                  {"03:00:14", "RingAlarm [end]", 0, 60},
                  {"03:01:14", kNothing, 0, 60}}},
        PlanCase{"AlarmInTheRepeatedAutumnHourRingsOnce", kAutumnChange,
                 [](FakeBoard& b) {
                     Play(b);
                     AlarmAt(b, "02:30");
                 },
                 {{"02:30:02", "RingAlarm [end]"},
                  {"02:59:58", kNothing},
                  {"02:00:06", kNothing, 0, -60},
                  {"02:30:02", kNothing, 0, -60},
                  {"02:30:02", "RingAlarm [end]", 1, -60}}},
        PlanCase{"ChimesFollowTheWallClockThroughTheRepeatedHour", kAutumnChange,
                 [](FakeBoard& b) { ChimesAt(b, 15, -1); },
                 {{"02:15:00", "PlayChime 0 [end]"},
                  {"02:16:00", kNothing},
                  {"02:15:00", "PlayChime 0 [end]", 0, -60}}},
        PlanCase{"ChimesOfTheSkippedSpringHourDoNotSound", kSpringChange,
                 [](FakeBoard& b) { ChimesAt(b, 15, -1); },
                 {{"01:59:58", kNothing}, {"03:00:06", kNothing, 0, 60}, {"03:15:00", "PlayChime 0 [end]", 0, 60}}},

        // Chimes.
        PlanCase{"TwoChimesAtOneMinuteSoundOneTickApart", kJune, [](FakeBoard& b) { ChimesAt(b, 15, 15); },
                 {{"14:15:02", "PlayChime 0 [end]"},
                  {"14:15:10", "PlayChime 1 [end]"},
                  {"14:15:18", kNothing},
                  {"15:15:02", "PlayChime 0 [end]"}}},
        PlanCase{"ChimesInsideTheirHoursOnly", kJune,
                 [](FakeBoard& b) {
                     ChimesAt(b, 15, -1);
                     b.Snapshot.FromComboBoxItemIndex = 8;
                     b.Snapshot.TillComboBoxItemIndex = 20;
                 },
                 {{"07:15:00", kNothing},
                  {"08:15:00", "PlayChime 0 [end]"},
                  {"20:15:00", "PlayChime 0 [end]"},
                  {"21:15:00", kNothing}}},
        PlanCase{"AChimeSoundsAnHourLaterWithNoTickBetween", kJune, [](FakeBoard& b) { ChimesAt(b, 15, -1); },
                 {{"09:15:00", "PlayChime 0 [end]"}, {"10:15:00", "PlayChime 0 [end]"}}},
        PlanCase{"SilentChimesDoNotSound", kJune,
                 [](FakeBoard& b) {
                     ChimesAt(b, 15, -1);
                     Silence(b);
                 },
                 {{"09:15:00", kNothing}}},

        // Update check and trim.
        PlanCase{"UpdateCheckAfterMoreThanItsHours", kJune, [](FakeBoard& b) { UpdateDue(b, 0); },
                 {{"20:59:00", kNothing}, {"21:00:00", "LiveUpdate"}}},
        PlanCase{"UpdateCheckAfterAWeek", kJune, [](FakeBoard& b) { UpdateDue(b, 4); },
                 {{"20:00:00", kNothing, 6}, {"21:00:00", "LiveUpdate", 6}}},
        PlanCase{"UnknownUpdateIntervalEndsTheTickSilently", kJune,
                 [](FakeBoard& b) {
                     UpdateDue(b, 6);
                     b.Snapshot.MemoryCleanCheckBoxChecked = true;
                 },
                 {{"21:00:00", kNothing, 30}}},
        PlanCase{"NoSilentCheckWhileTheUpdateDialogIsOpenButATrim", kJune,
                 [](FakeBoard& b) {
                     UpdateDue(b, 0);
                     b.Snapshot.UpdateInteractive = true;
                     b.Snapshot.MemoryCleanCheckBoxChecked = true;
                 },
                 {{"21:00:00", "TrimWorkingSet"}},
                 {0}},
        PlanCase{"OfflineTheTrimRunsInstead", kJune,
                 [](FakeBoard& b) {
                     UpdateDue(b, 0);
                     b.Probes.Online = false;
                     b.Snapshot.MemoryCleanCheckBoxChecked = true;
                 },
                 {{"21:00:00", "TrimWorkingSet"}, {"21:00:08", kNothing}},
                 {0, 31}},
        PlanCase{"NoTrimBeforeNt", kJune,
                 [](FakeBoard& b) {
                     b.Snapshot.MemoryCleanCheckBoxChecked = true;
                     b.Snapshot.NtPlatform = false;
                 },
                 {{"21:00:00", kNothing}},
                 {0}}),
    [](const ::testing::TestParamInfo<PlanCase>& param) { return param.param.name; });

struct HintCase {
    bool playing;
    int from;
    int till;
    const char* time;
    std::string hints;
};

TEST(ChimeHintsTest, TheWindowIsTakenOnlyWhilePlaying)
{
    const std::vector<HintCase> cases = {
        {true, 8, 20, "12:00:00", "ChimesWorkTime on, ChimeHints on"},
        {true, 8, 20, "21:00:00", "ChimesWorkTime off, ChimeHints off"},
        {true, 22, 2, "00:30:00", "ChimesWorkTime on, ChimeHints on"},
        {false, 8, 20, "12:00:00", "ChimeHints off"},
    };
    for (const HintCase& c : cases) {
        FakeBoard board(kJune);
        board.Snapshot.PlayCheckBoxChecked = c.playing;
        board.Snapshot.FromComboBoxItemIndex = c.from;
        board.Snapshot.TillComboBoxItemIndex = c.till;
        EXPECT_EQ(board.Tick(0, c.time, 0, true), c.hints) << c.from << "-" << c.till << " at " << c.time;
    }
}

int LoweringSteps(int volume, int minimum, int untickAfter, int& position)
{
    const int target = FadeTarget(volume, minimum);
    position = volume;
    int steps = 0;
    bool goesOn = true;
    while (goesOn) {
        --position;
        ++steps;
        goesOn = FadeOutGoesOn(position, target, steps < untickAfter);
    }
    return steps;
}

TEST(LoweringTest, StepsDownToItsTargetOrStopsWhereTheBoxIsUnticked)
{
    int position = 0;
    EXPECT_EQ(LoweringSteps(40, 5, 1000, position), 30);
    EXPECT_EQ(position, 10);
    EXPECT_EQ(LoweringSteps(12, 5, 1000, position), 7);
    EXPECT_EQ(position, 5);
    EXPECT_EQ(LoweringSteps(40, 5, 12, position), 12);
    EXPECT_EQ(position, 28);
}

TEST(UpdateIntervalTest, HoursByItemAndNoneOutside)
{
    const std::vector<std::optional<int>> hours = {std::nullopt, 20, 44, 68, 116, 164, 332, std::nullopt};
    for (int item = -1; item <= 6; ++item)
        EXPECT_EQ(UpdateIntervalHours(item), hours[static_cast<std::size_t>(item + 1)]) << item;
}

}  // namespace
