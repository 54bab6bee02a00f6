#include "player/settings/SettingsLoader.h"

#include "player/settings/BoardDesign.h"
#include "player/window/Scenes.h"
#include "tests/player/settings/StoredKeyFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

namespace {

using B = TBoardItem;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

TEST(SettingsLoader, ValuesOfAnotherTypeOrSizeAreAbsent)
{
    TStoredKey key;
    key.Set("C1", Text("1342177425"));
    key.Set("C5", TStoredValue{kStoredDword, {0xE0, 0x02, 0x00}});
    key.Set("C6", Word(11 | 30 << 6));
    key.Set("AlarmTime", Dword(0x3FD10000));
    key.Set("TessilTime", Time(kNaN));
    key.Set("CompOffTime", Time(-kInfinity));
    key.Set("DayOnTime", Time(3.375));
    key.Set("SunsetOffset", Time(1.5));
    key.Set("SunriseOffset", Time(-0.25));
    key.Set("OvelIndex", Text("1"));
    key.Set("LangFile", TStoredValue{kStoredExpandString, {'r', 'u', '.', 'l', 'n', 'g', 0, 'x'}});

    const TPackedWords words = ReadPackedWords(key);
    EXPECT_EQ(words.C1, 0u);
    EXPECT_EQ(words.C5, 0u);
    EXPECT_EQ(words.C6, AddParityBits(11 | 30 << 6));
    EXPECT_FALSE(StoredTimeOfDay(key, "AlarmTime"));
    EXPECT_FALSE(StoredTimeOfDay(key, "TessilTime"));
    EXPECT_FALSE(StoredTimeOfDay(key, "CompOffTime"));
    EXPECT_DOUBLE_EQ(StoredTimeOfDay(key, "DayOnTime").value_or(-1), 0.375);
    EXPECT_FALSE(StoredOffset(key, "SunsetOffset"));
    EXPECT_DOUBLE_EQ(StoredOffset(key, "SunriseOffset").value_or(0), -0.25);
    EXPECT_FALSE(StoredItem(key, "OvelIndex", B::OvelComboBox, std::nullopt));
    EXPECT_EQ(StoredText(key, "langfile").value_or(""), "ru.lng");
}

TEST(SettingsLoader, EachWordLandsInItsOwnField)
{
    TStoredKey key;
    key.Set("C1", Word(1));
    key.Set("d72", Word(72));
    key.Set("N7F", Word(0x7F));
    const TPackedWords words = ReadPackedWords(key);
    EXPECT_EQ(words.C1, AddParityBits(1));
    EXPECT_EQ(words.D72, AddParityBits(72));
    EXPECT_EQ(words.N7F, AddParityBits(0x7F));
    EXPECT_EQ(words[pwN7F], words.N7F);
    for (std::uint32_t other : {words.C5, words.C6, words.C7, words.D1, words.D2, words.D70, words.D71, words.N1,
                                words.N2, words.N70, words.N71})
        EXPECT_EQ(other, 0u);
}

TEST(SettingsLoader, AWordWithAnyBitFlippedReadsAsNothingStored)
{
    for (int bit = 0; bit < 32; ++bit) {
        TStoredKey key;
        key.Set("D70", Dword(AddParityBits(70 | 10 << 7) ^ 1u << bit));
        EXPECT_EQ(ReadPackedWords(key).D70, 0u) << bit;
    }
}

TEST(SettingsLoader, PlainListIndexesInsideTheListOnly)
{
    const struct {
        const char* Name;
        TBoardItem ComboBox;
        std::optional<std::uint32_t> Stored;
        std::optional<int> Absent;
        std::optional<int> Expected;
    } cases[] = {
        {"OvelIndex", B::OvelComboBox, std::nullopt, std::nullopt, std::nullopt},
        {"OvelIndex", B::OvelComboBox, 0xFFFFFFFFu, std::nullopt, std::nullopt},
        {"OvelIndex", B::OvelComboBox, 2, std::nullopt, std::nullopt},
        {"OvelIndex", B::OvelComboBox, 1, std::nullopt, 1},
        {"AutoStartIndex", B::AutoStartComboBox, std::nullopt, 3, 3},
        {"AutoStartIndex", B::AutoStartComboBox, 6, 3, std::nullopt},
        {"AutoStartIndex", B::AutoStartComboBox, 5, 3, 5},
        {"AlterIndex", B::AlternateComboBox, std::nullopt, 4, 4},
        {"AlterIndex", B::AlternateComboBox, 0, 4, 0},
        {"RainFreq", B::RainComboBox, 4, std::nullopt, 4},
        {"RainFreq", B::RainComboBox, 5, std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        TStoredKey key;
        if (c.Stored)
            key.Set(c.Name, Dword(*c.Stored));
        EXPECT_EQ(StoredItem(key, c.Name, c.ComboBox, c.Absent), c.Expected)
            << c.Name << " " << c.Stored.value_or(12345);
    }
}

TEST(SettingsLoader, DesignListsAndRanges)
{
    const std::vector<std::string> hours = HourItems();
    ASSERT_EQ(hours.size(), 24u);
    EXPECT_EQ(hours.front(), "00");
    EXPECT_EQ(hours[9], "09");
    EXPECT_EQ(hours.back(), "23");
    EXPECT_EQ(ItemInList(23, B::TillComboBox), 23);
    EXPECT_FALSE(ItemInList(24, B::FromComboBox));
    EXPECT_EQ(ItemInList(3, B::NFIComboBox), 3);
    EXPECT_FALSE(ItemInList(4, B::NFIComboBox));
    EXPECT_EQ(ItemInList(3, B::MuteComboBox), 3);
    EXPECT_FALSE(ItemInList(0, B::LangComboBox));
    // The bonfire level goes down to 5 at night, the background level to 20 by day.
    EXPECT_EQ(PositionInRange(5, B::Option1TrackBar1, kNightScene), 5);
    EXPECT_FALSE(PositionInRange(19, B::Option1TrackBar1, kDayScene));
    EXPECT_FALSE(PositionInRange(4, B::VolumeTrackBar, kDayScene));
    EXPECT_EQ(PositionInRange(100, B::VolumeTrackBar, kDayScene), 100);
    EXPECT_FALSE(PositionInRange(101, B::Chime00TrackBar, kDayScene));
    EXPECT_FALSE(PositionInRange(std::nullopt, B::Chime00TrackBar, kDayScene));
}

TEST(SettingsLoader, ChimeCaptionIsAColonAndAMinute)
{
    const struct {
        const char* Caption;
        bool Valid;
    } cases[] = {{":07", true},  {":59", true}, {":00", true},  {":60", false},  {":75", false}, {"07", false},
                 {":x7", false}, {":5", false}, {":5x", false}, {":075", false}, {"", false},    {":-1", false}};
    for (const auto& c : cases) {
        EXPECT_EQ(ChimeCaptionValid(c.Caption), c.Valid) << c.Caption;
        TStoredKey key;
        key.Set("Chime00Min", Text(c.Caption));
        const std::optional<std::string> expected = c.Valid ? std::optional<std::string>(c.Caption) : std::nullopt;
        EXPECT_EQ(StoredChimeCaption(key, "Chime00Min", ":00"), expected) << c.Caption;
    }
    TStoredKey key;
    key.Set("Chime30Min", Dword(7));
    EXPECT_EQ(StoredChimeCaption(key, "Chime30Min", ":30"), ":30");
}

TEST(SettingsLoader, ChimeNumberInsideTheBank)
{
    const struct {
        std::optional<std::uint32_t> Stored;
        bool UserFile;
        int Default;
        int Chimes;
        int Expected;
    } cases[] = {
        {std::nullopt, false, kChime00Number, 10, 3},
        {std::nullopt, true, kChime00Number, 10, 0},
        {std::nullopt, false, kChime30Number, 5, 0},
        {std::nullopt, false, kChime30Number, 0, 0},
        {5, false, kChime00Number, 10, 5},
        {10, false, kChime00Number, 10, 10},
        {11, false, kChime00Number, 10, 0},
        {0xFFFFFFFFu, false, kChime00Number, 10, 0},
        {4, false, kChime00Number, 0, 0},
        {0, false, kChime00Number, 10, 0},
    };
    for (const auto& c : cases) {
        TStoredKey key;
        if (c.Stored)
            key.Set("Chime00Num", Dword(*c.Stored));
        EXPECT_EQ(StoredChimeNumber(key, "Chime00Num", c.UserFile, c.Default, c.Chimes), c.Expected)
            << c.Stored.value_or(12345) << " chimes " << c.Chimes;
    }
}

TEST(SettingsLoader, LimiterOfTheStoredWordOrTheDefaultZone)
{
    const struct {
        int Low;
        int High;
        int ExpectedLow;
        int ExpectedHigh;
    } cases[] = {
        {20, 27, 11, 30}, {20, 28, 20, 28}, {30, 11, 11, 30}, {9, 30, 11, 30},
        {20, 53, 11, 30}, {10, 52, 10, 52}, {44, 52, 44, 52}, {0, 0, 11, 30},
    };
    for (const auto& c : cases) {
        const TLimiterBounds bounds = LoadedLimiter(AddParityBits(c.Low | c.High << 6));
        EXPECT_EQ(bounds.Low, c.ExpectedLow) << c.Low << ".." << c.High;
        EXPECT_EQ(bounds.High, c.ExpectedHigh) << c.Low << ".." << c.High;
    }
    EXPECT_EQ(LoadedLimiter(0).Low, 11);
    EXPECT_EQ(LoadedLimiter(0).High, 30);
}

TEST(SettingsLoader, MuteActionFromTheWordOrTheOlderValues)
{
    const TStoredKey none;
    EXPECT_EQ(DecideMuteItem(0, none, false).Value, 1);
    EXPECT_EQ(DecideMuteItem(AddParityBits(1u << 8), none, false).Value, 2);
    EXPECT_EQ(DecideMuteItem(AddParityBits(1u << 7), none, false).Value, 1);
    EXPECT_EQ(DecideMuteItem(AddParityBits(1u << 6 | 1u << 9), none, false).Value, 3);
    EXPECT_FALSE(DecideMuteItem(AddParityBits(1), none, false).Value);

    TStoredKey older;
    older.Set("LoudnessDown", Dword(0));
    older.Set("SendToSleep", Dword(1));
    older.Set("TurnItOff", Dword(1));
    const TLoadDecision migrated = DecideMuteItem(AddParityBits(1u << 6), older, true);
    EXPECT_EQ(migrated.Value, 2);
    EXPECT_EQ(migrated.Deleted, (std::vector<std::string>{"SendToSleep", "TurnItOff"}));
    older.Set("SendToSleep", Dword(0));
    older.Set("TurnItOff", Dword(0));
    const TLoadDecision allFalse = DecideMuteItem(AddParityBits(1u << 6), older, true);
    EXPECT_FALSE(allFalse.Value);
    EXPECT_TRUE(allFalse.Deleted.empty());
}

TEST(SettingsLoader, DeviceRadioOfTheWord)
{
    EXPECT_EQ(DeviceRadio(0), B::UseCurrentDefDeviceRadioButton);
    EXPECT_EQ(DeviceRadio(AddParityBits(1u << 21)), B::UseCurrentDefDeviceRadioButton);
    EXPECT_EQ(DeviceRadio(AddParityBits(3u << 20)), B::UseCurrentDefDeviceRadioButton);
    EXPECT_EQ(DeviceRadio(AddParityBits(1u << 20)), B::WaitThisDeviceRadioButton);
    EXPECT_EQ(DeviceRadio(AddParityBits(1)), B::WaitAnyDefDeviceRadioButton);
}

TEST(SettingsLoader, ServiceBoxByStartAndRights)
{
    const std::uint32_t service = AddParityBits(1u << 2);
    const std::uint32_t noService = AddParityBits(1);
    TStoredKey older;
    older.Set("AsService", Dword(1));
    const struct {
        TServiceInputs Inputs;
        std::uint32_t C1;
        bool Migrating;
        std::optional<int> Expected;
    } cases[] = {
        {{true, true, false}, noService, false, 1}, {{true, false, true}, service, false, 0},
        {{false, true, true}, service, false, 1},   {{false, false, true}, service, false, 0},
        {{false, true, true}, noService, false, 0}, {{false, true, true}, 0, false, 0},
        {{false, true, false}, service, false, {}}, {{false, true, true}, noService, true, 1},
        {{false, false, true}, noService, true, 0},
    };
    for (const auto& c : cases) {
        const TLoadDecision decision = DecideServiceBox(c.Inputs, c.C1, older, c.Migrating);
        EXPECT_EQ(decision.Value, c.Expected)
            << c.Inputs.StartedByRunKey << c.Inputs.ServerEdition << c.Inputs.IsAdmin << " " << c.Migrating;
        EXPECT_EQ(decision.Deleted.size(), c.Migrating ? 1u : 0u);
    }
}

TEST(SettingsLoader, TimesRule)
{
    const double nine = HoursMinutes(9, 0);
    const double eight = HoursMinutes(20, 0);
    const double one = HoursMinutes(1, 0);
    const struct {
        double Now;
        double DayOn;
        double NightOn;
        TSceneChoice Expected;
    } cases[] = {
        {nine, nine, eight, TSceneChoice::Day},
        {eight, nine, eight, TSceneChoice::Night},
        {HoursMinutes(12, 0), nine, eight, TSceneChoice::Day},
        {HoursMinutes(22, 0), nine, eight, TSceneChoice::Night},
        {HoursMinutes(3, 0), nine, eight, TSceneChoice::Night},
        {HoursMinutes(8, 59), nine, eight, TSceneChoice::Night},
        // The night begins after midnight.
        {HoursMinutes(12, 0), nine, one, TSceneChoice::Day},
        {HoursMinutes(0, 30), nine, one, TSceneChoice::Day},
        {HoursMinutes(5, 0), nine, one, TSceneChoice::Night},
        {one, nine, one, TSceneChoice::Night},
        // The day begins in the evening.
        {HoursMinutes(23, 0), eight, nine, TSceneChoice::Day},
        {HoursMinutes(12, 0), eight, nine, TSceneChoice::Night},
        {nine, nine, nine, TSceneChoice::Day},
        {HoursMinutes(10, 0), nine, nine, TSceneChoice::Keep},
        // Now carries the date.
        {45000 + HoursMinutes(12, 0), nine, eight, TSceneChoice::Day},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SceneByTimes({c.Now, c.DayOn, c.NightOn}), c.Expected)
            << c.Now * 24 << "h, day " << c.DayOn * 24 << "h, night " << c.NightOn * 24 << "h";
}

TEST(SettingsLoader, StartDecisionByModeAfterTheTimes)
{
    const TDayTimes noon = {HoursMinutes(12, 0), HoursMinutes(9, 0), HoursMinutes(20, 0)};
    const TDayTimes late = {HoursMinutes(23, 0), HoursMinutes(9, 0), HoursMinutes(20, 0)};
    const std::uint32_t playing = AddParityBits(1);
    const struct {
        int Mode;
        std::uint32_t C1;
        TDayTimes Times;
        std::optional<bool> Play;
        TSceneChoice Scene;
    } cases[] = {
        {0, playing, noon, false, TSceneChoice::Keep},   {1, 0, late, std::nullopt, TSceneChoice::Day},
        {2, 0, noon, std::nullopt, TSceneChoice::Night}, {3, 0, noon, std::nullopt, TSceneChoice::ByCalendar},
        {4, 0, noon, std::nullopt, TSceneChoice::Day},   {4, 0, late, std::nullopt, TSceneChoice::Night},
        {5, playing, noon, true, TSceneChoice::Keep},    {5, AddParityBits(2), noon, false, TSceneChoice::Keep},
    };
    for (const auto& c : cases) {
        const std::optional<TStartDecision> decision = DecideStart({true, true, c.Mode, c.C1, c.Times});
        ASSERT_TRUE(decision) << c.Mode;
        EXPECT_EQ(decision->Play, c.Play) << c.Mode;
        EXPECT_EQ(decision->Scene, c.Scene) << c.Mode;
    }
    EXPECT_FALSE(DecideStart({false, true, 1, playing, noon}));
    EXPECT_FALSE(DecideStart({true, false, 1, playing, noon}));

    // A damaged "C1" counts as not playing at the last close.
    TStoredKey key;
    key.Set("C1", Dword(AddParityBits(1) ^ 1u << 30));
    key.Set("AutoStartIndex", Dword(5));
    const std::optional<TStartDecision> damaged = DecideStart(
        {true, StoredInteger(key, "AutoStartIndex").has_value(),
         StoredItem(key, "AutoStartIndex", B::AutoStartComboBox, 3).value_or(3), ReadPackedWords(key).C1, noon});
    ASSERT_TRUE(damaged);
    EXPECT_EQ(damaged->Play, false);
}

TEST(SettingsLoader, AlternationChoosesOnlyWithoutASwitch)
{
    const TDayTimes late = {HoursMinutes(23, 0), HoursMinutes(9, 0), HoursMinutes(20, 0)};
    EXPECT_EQ(DecideAlternation(false, true, 4, late), TSceneChoice::ByCalendar);
    EXPECT_EQ(DecideAlternation(false, true, 5, late), TSceneChoice::Night);
    EXPECT_EQ(DecideAlternation(false, true, 3, late), TSceneChoice::Keep);
    EXPECT_EQ(DecideAlternation(false, false, 5, late), TSceneChoice::Keep);
    EXPECT_EQ(DecideAlternation(true, true, 5, late), TSceneChoice::Keep);
}

TEST(SettingsLoader, StartStateBySwitchThenAlternation)
{
    const TDayTimes late = {HoursMinutes(23, 0), HoursMinutes(9, 0), HoursMinutes(20, 0)};
    const TStartState dayPlaying{kDayScene, true};
    const struct {
        bool BySwitch;
        int Mode;
        TAlternationInputs Alternation;
        bool CalendarNight;
        TStartState State;
        bool CalendarAsked;
    } cases[] = {
        {true, 0, {true, 5}, false, {kDayScene, false}, false},  // muted start; no alternation with a switch
        {true, 3, {false, 4}, true, {kNightScene, true}, true},
        {false, 0, {true, 4}, true, {kNightScene, true}, true},  // the mode is a switch's only
        {false, 0, {true, 5}, false, {kNightScene, true}, false},
        {false, 0, {false, 4}, true, dayPlaying, false},
    };
    for (const auto& c : cases) {
        bool asked = false;
        const TStartState state = DecideStartState(dayPlaying, {c.BySwitch, true, c.Mode, 0, late}, c.Alternation,
                                                   [&asked, &c] { return asked = true, c.CalendarNight; });
        EXPECT_EQ(state.Scene, c.State.Scene) << c.Mode;
        EXPECT_EQ(state.Play, c.State.Play) << c.Mode;
        EXPECT_EQ(asked, c.CalendarAsked) << c.Mode;
    }
}

TEST(SettingsLoader, StartDeviceByTheStoredNameOrTheDefault)
{
    EXPECT_EQ(StartDevice(1, 3, 1), 2);
    EXPECT_EQ(StartDevice(std::nullopt, 3, 3), 3);
    EXPECT_EQ(StartDevice(-1, 3, 2), 1);            // a name no longer listed
    EXPECT_EQ(StartDevice(std::nullopt, 3, -1), 1);  // no default device
    EXPECT_EQ(StartDevice(std::nullopt, 2, 3), 1);
    EXPECT_EQ(StartDevice(0, 0, 1), 1);
}

TEST(SettingsLoader, CommonRowsByWordDefaultOrOlderValue)
{
    TStoredKey key;
    key.Set("C1", Word(1u << 16 | 1u << 14));
    key.Set("C5", Word(7 | 30 << 5));
    key.Set("C7", Word(3 | 80 << 7));
    key.Set("Chime00", Dword(0));
    key.Set("GeneralVolume", Dword(60));
    key.Set("Tessil", Text("1"));
    const TPackedWords words = ReadPackedWords(key);
    const TPackedWords empty;
    const struct {
        TBoardItem Item;
        const TPackedWords& Words;
        bool Migrating;
        std::optional<int> Value;
        std::vector<std::string> Deleted;
    } cases[] = {
        {B::HWMCheckBox, words, false, 1, {}},
        {B::HWMCheckBox, empty, false, std::nullopt, {}},
        {B::HWMCheckBox, words, true, 1, {}},
        {B::Chime00CheckBox, words, false, 1, {}},
        {B::Chime00CheckBox, words, true, 0, {"Chime00"}},
        {B::FromComboBox, words, false, 7, {}},
        {B::TillComboBox, words, false, std::nullopt, {}},
        {B::Chime00TrackBar, words, false, 80, {}},
        {B::Chime00TrackBar, empty, false, std::nullopt, {}},
        {B::VolumeTrackBar, words, false, std::nullopt, {}},
        {B::VolumeTrackBar, words, true, 60, {"GeneralVolume"}},
        {B::Chime30TrackBar, words, true, std::nullopt, {}},
        {B::TessilCheckBox, words, true, std::nullopt, {"Tessil"}},
        {B::AlternateCheckBox, words, true, std::nullopt, {}},
    };
    for (const auto& c : cases) {
        const TLoadDecision decision = DecideRow(CommonRow(c.Item), c.Words, key, c.Migrating, kDayScene);
        EXPECT_EQ(decision.Value, c.Value) << static_cast<int>(c.Item) << " " << c.Migrating;
        EXPECT_EQ(decision.Deleted, c.Deleted) << static_cast<int>(c.Item) << " " << c.Migrating;
    }
}

// Every older common value is read by a row, the mute action or the service box.
TEST(SettingsLoader, EveryOlderCommonValueIsMigrated)
{
    TStoredKey key;
    for (const char* name : OlderCommonValueNames)
        key.Set(name, Dword(1));
    std::multiset<std::string> deleted;
    const auto add = [&deleted](const TLoadDecision& decision) {
        deleted.insert(decision.Deleted.begin(), decision.Deleted.end());
    };
    for (TBoardItem item :
         {B::HWMCheckBox, B::MemoryCleanCheckBox, B::AlternateCheckBox, B::Chime00CheckBox, B::FromComboBox,
          B::TillComboBox, B::Chime00TrackBar, B::Chime30CheckBox, B::Chime30TrackBar, B::CompressionCheckBox,
          B::InnerAlarmRadioButton, B::AlarmClockCheckBox, B::FileAlarmRadioButton, B::VolumeTrackBar,
          B::AutoStartCheckBox, B::MuteTimeCheckBox, B::TessilCheckBox})
        add(DecideRow(CommonRow(item), {}, key, true, kDayScene));
    add(DecideMuteItem(0, key, true));
    add(DecideServiceBox({false, true, true}, 0, key, true));
    EXPECT_EQ(deleted, std::multiset<std::string>(OlderCommonValueNames.begin(), OlderCommonValueNames.end()));
    EXPECT_TRUE(OlderLayoutFound(key));
    EXPECT_FALSE(OlderLayoutFound({}));
}

TEST(SettingsLoader, LayerValueNamesAreOlderValuesAndTitleKeys)
{
    const auto among = [](const std::vector<const char*>& names, const std::string& name) {
        return std::any_of(names.begin(), names.end(), [&name](const char* n) { return name == n; });
    };
    std::set<std::string> all;
    for (const TOptionValueName& layer : OptionValueNames) {
        if (layer.Day) {
            EXPECT_TRUE(among(OlderDayValueNames, layer.Day)) << layer.Day;
            all.insert(layer.Day);
        }
        if (layer.Night) {
            EXPECT_TRUE(among(OlderNightValueNames, layer.Night)) << layer.Night;
            all.insert(layer.Night);
        }
    }
    for (const char* title :
         {"Rain", "NearFlights", "Crows", "Nightingales", "Beasts", "Owls", "Crickets", "Guitar", "Flute"})
        EXPECT_EQ(all.count(title), 1u) << title;
}

TEST(SettingsLoader, MarkersStayOnThePad)
{
    TStoredKey key;
    key.Set("D70", Word(100u << 14 | 32u << 21));
    const TPackedWords words = ReadPackedWords(key);
    EXPECT_EQ(DecideRow({B::StreamMarkerX, pwD70, 24, {}}, words, key, false, kDayScene).Value, 32);
    EXPECT_EQ(DecideRow({B::StreamMarkerY, pwD70, 8, {}}, words, key, false, kDayScene).Value, 32);
    key.Set("StreamX", Dword(0xFFFFFFF0u));
    EXPECT_EQ(
        DecideRow({B::StreamMarkerX, pwD70, 24, {"StreamX", TOlderKind::Integer, 24}}, words, key, true, kDayScene).Value, 0);
}

TEST(SettingsLoader, QuotedFolderName)
{
    const struct {
        const char* Path;
        const char* Shown;
    } cases[] = {
        {"", "?"},
        {"C", "?"},
        {"C:", "\"C:\""},
        {"C:\\", "\"C:\\\""},
        {"C:\\Sounds\\Birds\\", "\"C:\\Sounds\\Birds\\\""},
        {"C:\\Sounds\\Birds", "\"Birds\""},
        {"Birds", "\"Birds\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QuotedFolderName(c.Path), c.Shown) << c.Path;
}

}  // namespace
