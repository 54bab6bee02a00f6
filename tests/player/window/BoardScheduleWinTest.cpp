// The schedule's tick on the board as the program makes it, over a silent
// device and the board's clock set by hand: the chimes, the lowering at mute
// time, the alternation, the day and night pickers and the daylight switch.
#include "player/window/MainForm.h"

#include "platform/forms/Registry.h"
#include "player/engine/ChimeSound.h"
#include "player/window/Chimes.h"
#include "player/window/ScheduleClock.h"
#include "support/LangUnit.h"
#include "support/ProgInfo.h"
#include "tests/player/window/BoardFixture.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

const TDateTime kDay = EncodeDate(2026, 6, 15);
constexpr int kSwitchAfterFive = 0;
constexpr int kMuteLowers = 0;

TOvelMainForm& Board() { return *OvelMainForm; }

void Tick() { Board().ScheduleTimerTimer(nullptr); }

void SetClock(TDateTime day, int hour, int minute) { BoardClock().Wall = day + EncodeTime(hour, minute); }

template <typename TBox>
void SetQuietly(TBox& box, bool checked)
{
    const TNotifyEvent handler = box.OnClick;
    box.OnClick = nullptr;
    box.SetChecked(checked);
    box.OnClick = handler;
}

class BoardScheduleWinTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        UseSilentOutput();
        CreateDayForestBoard();
    }

    static void TearDownTestSuite() { FreeOvelMainForm(); }

    void SetUp() override
    {
        ASSERT_NE(OvelMainForm, nullptr) << "an earlier case ended the board";
        ASSERT_TRUE(Board().PlayCheckBox.Checked());
    }

    void TearDown() override { BoardClock().Wall = BoardClockStart(); }
};

TEST_F(BoardScheduleWinTest, AChimeSoundsAtItsMinuteOnceAndOnlyInsideItsHours)
{
    SetQuietly(Board().Chime00CheckBox, true);
    Board().Chime00CheckBox.SetCaption(ChimeMinuteCaption(15));
    Board().Chime00BitBtn.Tag = 3;
    Board().FromComboBox.SetItemIndex(8);
    Board().TillComboBox.SetItemIndex(20);

    struct Case {
        int hour;
        int minute;
        bool sounds;
    };
    const Case cases[] = {{14, 14, false}, {14, 15, true}, {14, 15, false}, {15, 15, true}, {21, 15, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.hour) + ":" + std::to_string(c.minute));
        StopChime();
        SetClock(kDay, c.hour, c.minute);
        Tick();
        EXPECT_EQ(ChimePlaying(), c.sounds);
        const bool inside = c.hour <= 20;
        EXPECT_EQ(Board().ChimesGroupBox.Hint(), inside ? "" : GetLangString("silencetime"));
        EXPECT_EQ(Board().Chime00BitBtn.Hint(), inside ? GetLangString("soundselection") : "");
    }
    StopChime();
    SetQuietly(Board().Chime00CheckBox, false);
}

TEST_F(BoardScheduleWinTest, MuteTimeLowersTheVolumeToAQuarterStepByStepUntilTheBoxIsUnticked)
{
    TTrackBar& volume = Board().VolumeTrackBar;
    ASSERT_LE(volume.Min(), 10);
    Board().MuteComboBox.SetItemIndex(kMuteLowers);
    Board().MuteDateTimePicker.SetTime(EncodeTime(23, 40));
    SetQuietly(Board().MuteTimeCheckBox, true);

    volume.SetPosition(40);
    SetClock(kDay, 23, 40);
    Tick();
    EXPECT_EQ(Board().RememberedVolume(), 40);
    EXPECT_TRUE(Board().FadeOutTimer.Enabled());
    EXPECT_TRUE(PumpUntil([] { return !Board().FadeOutTimer.Enabled(); }, kShortPump));
    EXPECT_EQ(volume.Position(), 10);

    // The next day the user unticks the box halfway down.
    volume.SetPosition(40);
    SetClock(kDay + 1, 23, 40);
    Tick();
    EXPECT_TRUE(PumpUntil([&volume] { return volume.Position() <= 30; }, kShortPump));
    SetQuietly(Board().MuteTimeCheckBox, false);
    EXPECT_TRUE(PumpUntil([] { return !Board().FadeOutTimer.Enabled(); }, kShortPump));
    const int leftAt = volume.Position();
    EXPECT_GT(leftAt, 10);
    EXPECT_FALSE(PumpUntil([&volume, leftAt] { return volume.Position() != leftAt; }, std::chrono::seconds(1)));

    Board().VolumeTrackBarEnter(nullptr);
    EXPECT_EQ(Board().RememberedVolume(), -1) << "the user took the volume";
}

TEST_F(BoardScheduleWinTest, TheAlternationSwitchesTheSceneWhenItsTimeComes)
{
    struct Case {
        const char* what;
        int mode;
        int hour;
        int minute;
        int scene;  // shown after the tick
    };
    const Case cases[] = {
        {"four minutes after the start", kSwitchAfterFive, 10, 4, kDayScene},
        {"five minutes after the start", kSwitchAfterFive, 10, 5, kNightScene},
        {"a minute missed", kSwitchAfterFive, 10, 7, kNightScene},
        {"by the calendar at noon", kAlternateByCalendar, 12, 0, kDayScene},
        {"by the calendar before midnight", kAlternateByCalendar, 23, 30, kNightScene},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetClock(kDay, 10, 0);
        Board().OvelComboBox.SetItemIndex(kDayScene);
        Board().OvelComboBoxSelect(nullptr);
        SetQuietly(Board().AlternateCheckBox, true);
        Board().AlternateComboBox.SetItemIndex(c.mode);
        SetClock(kDay, c.hour, c.minute);
        Tick();
        EXPECT_EQ(Board().OvelComboBox.ItemIndex(), c.scene);
        if (c.scene == kNightScene) {
            EXPECT_EQ(SceneSwitchTime, BoardClock().Wall) << "the alternation counts from the switch";
        }
    }
    SetQuietly(Board().AlternateCheckBox, false);
    Board().OvelComboBox.SetItemIndex(kDayScene);
    Board().OvelComboBoxSelect(nullptr);
}

TEST_F(BoardScheduleWinTest, ATimeSetInAPickerShowsAgainAtTheNextRefresh)
{
    const TDateTime sunrise = EncodeTime(5, 0);
    const TDateTime sunset = EncodeTime(22, 30);
    for (bool daylight : {false, true}) {
        SCOPED_TRACE(daylight ? "daylight time" : "standard time");
        BoardClock().Daylight = daylight;
        Board().AlternateComboBox.SetItemIndex(kAlternateByCalendar);
        Board().DayOnDateTimePicker.SetTime(sunrise);
        Board().DayOnDateTimePickerChange(nullptr);
        Board().NightOnDateTimePicker.SetTime(sunset);
        Board().NightOnDateTimePickerChange(nullptr);
        Board().NowIsNight(&Board().AlternateComboBox);
        EXPECT_EQ(MinuteOfTheDay(Board().DayOnDateTimePicker.Time()), MinuteOfTheDay(sunrise));
        EXPECT_EQ(MinuteOfTheDay(Board().NightOnDateTimePicker.Time()), MinuteOfTheDay(sunset));
    }
    BoardClock().Daylight = false;
    SunriseOffset = 0;
    SunsetOffset = 0;

    // At fixed times the pickers hold the times themselves.
    Board().AlternateComboBox.SetItemIndex(kAlternateByTimes);
    Board().DayOnDateTimePicker.SetTime(EncodeTime(7, 45));
    Board().DayOnDateTimePickerChange(nullptr);
    EXPECT_EQ(MinuteOfTheDay(DayOnTime), 7 * 60 + 45);
    EXPECT_EQ(SunriseOffset, 0);
    Board().AlternateComboBox.SetItemIndex(kAlternateByCalendar);
}

TEST_F(BoardScheduleWinTest, DaylightTimeIsLeftToTheUserByEitherTimeZoneValue)
{
    struct Case {
        const char* what;
        bool disableSet;
        std::optional<int> dynamicDisabled;
        bool disabled;
    };
    const Case cases[] = {
        {"neither", false, std::nullopt, false},
        {"the older switch, whatever its value", true, 0, true},
        {"dynamic daylight disabled", false, 1, true},
        {"dynamic daylight enabled", false, 0, false},
    };
    const std::string key = "System\\CurrentControlSet\\Control\\TimeZoneInformation";
    TRegistry zone(KEY_READ | KEY_WRITE);
    zone.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(zone.OpenKey(key, false));
    const std::optional<std::int32_t> dynamicBefore = zone.ReadInteger("DynamicDaylightTimeDisabled");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        zone.DeleteValue("DisableAutoDaylightTimeSet");
        zone.DeleteValue("DynamicDaylightTimeDisabled");
        if (c.disableSet)
            zone.WriteInteger("DisableAutoDaylightTimeSet", 0);
        if (c.dynamicDisabled)
            zone.WriteInteger("DynamicDaylightTimeDisabled", *c.dynamicDisabled);
        EXPECT_EQ(SystemAutoDSTDisabled(), c.disabled);
        EXPECT_EQ(ProgRegistry->RootKey(), HKEY_CURRENT_USER);
    }
    zone.DeleteValue("DisableAutoDaylightTimeSet");
    zone.DeleteValue("DynamicDaylightTimeDisabled");
    if (dynamicBefore)
        zone.WriteInteger("DynamicDaylightTimeDisabled", *dynamicBefore);
}

}  // namespace
