#include "player/settings/SettingsLoader.h"

#include "player/engine/ClipPlacement.h"
#include "player/settings/BoardDesign.h"
#include "player/window/Scenes.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

using B = TBoardItem;

constexpr int kUnchecked = 0;
constexpr int kChecked = 1;
constexpr int kKeepItOn = 1;         // the mute action of a 0 word
constexpr int kMarkerFarthest = 32;  // pad side less marker side
constexpr double kMillisecondsPerDay = 86400000.0;

constexpr const char* kOlderLayoutMark = "Alternate";
constexpr const char* kOlderService = "AsService";

// The older mute actions and the item each selects when True.
struct TOlderMute {
    const char* Name;
    int Item;
};
constexpr TOlderMute kOlderMutes[] = {{"LoudnessDown", 0}, {"SendToSleep", 2}, {"TurnItOff", 3}};

TOlderValue OlderBool(const char* name, std::optional<int> absent = std::nullopt)
{
    return {name, TOlderKind::Bool, absent};
}
TOlderValue OlderInteger(const char* name, int absent) { return {name, TOlderKind::Integer, absent}; }

const std::vector<TLoadRow>& CommonRows()
{
    static const std::vector<TLoadRow> rows = {
        {B::HWMCheckBox, pwC1, std::nullopt, {}},
        {B::MemoryCleanCheckBox, pwC1, std::nullopt, {}},
        {B::AlternateCheckBox, pwC1, std::nullopt, OlderBool(kOlderLayoutMark)},
        {B::Chime00CheckBox, pwC1, std::nullopt, OlderBool("Chime00")},
        {B::FromComboBox, pwC5, std::nullopt, {}},
        {B::TillComboBox, pwC5, std::nullopt, {}},
        {B::Chime00TrackBar, pwC7, 0, OlderInteger("Chime00Vol", 0)},
        {B::Chime30CheckBox, pwC1, std::nullopt, OlderBool("Chime30")},
        {B::Chime30TrackBar, pwC7, 0, OlderInteger("Chime30Vol", 0)},
        {B::CompressionCheckBox, pwC1, std::nullopt, {}},
        {B::InnerAlarmRadioButton, pwC1, std::nullopt, OlderBool("InnerAlarm")},
        {B::AlarmClockCheckBox, pwC1, std::nullopt, OlderBool("AlarmClock")},
        {B::FileAlarmRadioButton, pwC1, std::nullopt, OlderBool("UserAlarm")},
        {B::VolumeTrackBar, pwC7, 0, OlderInteger("GeneralVolume", 0)},
        {B::AutoStartCheckBox, pwC1, std::nullopt, OlderBool("AutoStart")},
        {B::MuteTimeCheckBox, pwC1, std::nullopt, OlderBool("CompOff")},
        {B::TessilCheckBox, pwC1, std::nullopt, OlderBool("Tessil")},
    };
    return rows;
}

const TWordField& FieldOf(TPackedWordId word, TBoardItem item)
{
    const TWordField* field = FindField(word, item);
    if (!field)
        throw std::logic_error("a load row names a control its word does not hold");
    return *field;
}

std::optional<int> StoredOlder(const TOlderValue& older, const TStoredKey& key)
{
    if (older.Kind == TOlderKind::Bool) {
        const std::optional<bool> value = StoredBool(key, older.Name);
        if (!value)
            return std::nullopt;
        return *value ? kChecked : kUnchecked;
    }
    return StoredInteger(key, older.Name);
}

bool IsMarker(TBoardItem item)
{
    return item == B::StreamMarkerX || item == B::StreamMarkerY || item == B::FireMarkerX || item == B::FireMarkerY;
}

std::optional<int> RangeTested(const TWordField& field, std::optional<int> value, int scene)
{
    if (!value)
        return value;
    switch (field.Kind) {
        case TFieldKind::ItemIndex:
        case TFieldKind::OneHotItem:
            return ItemInList(value, field.Item);
        case TFieldKind::Position:
            return PositionInRange(value, field.Item, scene);
        default:
            return IsMarker(field.Item) ? std::clamp(*value, 0, kMarkerFarthest) : value;
    }
}

int DayMilliseconds(double time)
{
    return static_cast<int>(std::lround((time - std::floor(time)) * kMillisecondsPerDay));
}

bool Between(int low, int value, int high) { return low < value && value < high; }

// Before both or after both.
bool Outside(int value, int a, int b) { return (value < a && value < b) || (value > a && value > b); }

bool SceneHasOlderValues(int scene, const TStoredKey& key)
{
    const std::vector<const char*>& names = scene == kNightScene ? OlderNightValueNames : OlderDayValueNames;
    return std::any_of(names.begin(), names.end(), [&key](const char* name) { return key.Has(name); });
}

}  // namespace

TPackedWords ReadPackedWords(const TStoredKey& key)
{
    TPackedWords words;
    for (int id = 0; id < PackedWordCount; ++id) {
        const auto word = static_cast<TPackedWordId>(id);
        const std::optional<std::int32_t> stored = StoredInteger(key, WordLayout(word).Name);
        const auto value = static_cast<std::uint32_t>(stored.value_or(0));
        words[word] = ParityBad(value) ? 0 : value;
    }
    return words;
}

std::optional<int> ItemInList(std::optional<int> index, TBoardItem comboBox)
{
    if (index && *index >= 0 && *index < DesignItemCount(comboBox))
        return index;
    return std::nullopt;
}

std::optional<int> PositionInRange(std::optional<int> position, TBoardItem trackBar, int scene)
{
    const TRange range = TrackBarRange(trackBar, scene);
    if (position && *position >= range.Min && *position <= range.Max)
        return position;
    return std::nullopt;
}

TLoadDecision DecideRow(const TLoadRow& row, const TPackedWords& words, const TStoredKey& key, bool migrating,
                        int scene)
{
    const TWordField& field = FieldOf(row.Word, row.Item);
    TLoadDecision decision;
    if (migrating && row.Older.Name) {
        decision.Value = StoredOlder(row.Older, key);
        if (!decision.Value)
            decision.Value = row.Older.Absent;
        if (key.Has(row.Older.Name))
            decision.Deleted.push_back(row.Older.Name);
    } else if (words[row.Word] == 0) {
        decision.Value = row.WordZero;
    } else {
        decision.Value = FieldState(field, words[row.Word]);
    }
    if (row.RangeTested)
        decision.Value = RangeTested(field, decision.Value, scene);
    return decision;
}

const TLoadRow& CommonRow(TBoardItem item)
{
    for (const TLoadRow& row : CommonRows())
        if (row.Item == item)
            return row;
    throw std::logic_error("no common load row for the control");
}

bool OlderLayoutFound(const TStoredKey& key) { return key.Has(kOlderLayoutMark); }

bool SceneMigrates(int scene, const TMigration& migration, const TPackedWords& words, const TStoredKey& key)
{
    const bool night = scene == kNightScene;
    if (migration.Pending && !(night ? migration.NightMigrated : migration.DayMigrated))
        return true;
    return (night ? words.N1 : words.D1) == 0 && SceneHasOlderValues(scene, key);
}

void MarkSceneMigrated(TMigration& migration, int scene)
{
    if (!migration.Pending)
        return;
    (scene == kNightScene ? migration.NightMigrated : migration.DayMigrated) = true;
    if (migration.DayMigrated && migration.NightMigrated)
        migration.Pending = false;
}

std::optional<int> StoredItem(const TStoredKey& key, const std::string& name, TBoardItem comboBox,
                              std::optional<int> absentItem)
{
    const std::optional<std::int32_t> stored = StoredInteger(key, name);
    if (!stored)
        return absentItem;
    return ItemInList(stored, comboBox);
}

bool ChimeCaptionValid(const std::string& caption)
{
    constexpr std::size_t kCaptionLength = 3;
    constexpr int kMinutesPerHour = 60;
    if (caption.size() != kCaptionLength || caption[0] != ':')
        return false;
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (!digit(caption[1]) || !digit(caption[2]))
        return false;
    return (caption[1] - '0') * 10 + (caption[2] - '0') < kMinutesPerHour;
}

std::optional<std::string> StoredChimeCaption(const TStoredKey& key, const std::string& name,
                                              const std::string& absentCaption)
{
    const std::optional<std::string> caption = StoredText(key, name);
    if (!caption)
        return absentCaption;
    if (ChimeCaptionValid(*caption))
        return caption;
    return std::nullopt;
}

int StoredChimeNumber(const TStoredKey& key, const std::string& name, bool userFileSet, int defaultNumber,
                      int chimeCount)
{
    const std::optional<std::int32_t> stored = StoredInteger(key, name);
    const int number = stored ? *stored : userFileSet ? 0 : defaultNumber;
    return number >= 0 && number <= chimeCount ? number : 0;
}

TLimiterBounds LoadedLimiter(std::uint32_t c6)
{
    const int low = FieldState(FieldOf(pwC6, B::LimiterLowBound), c6);
    const int high = FieldState(FieldOf(pwC6, B::LimiterHighBound), c6);
    if (c6 == 0 || !LimiterZoneUsable(low, high))
        return {kDefaultLimiterLow, kDefaultLimiterHigh};
    return {low, high};
}

TLoadDecision DecideMuteItem(std::uint32_t c1, const TStoredKey& key, bool migrating)
{
    TLoadDecision decision;
    if (!migrating) {
        const int item = c1 == 0 ? kKeepItOn : FieldState(FieldOf(pwC1, B::MuteComboBox), c1);
        decision.Value = ItemInList(item, B::MuteComboBox);
        return decision;
    }
    for (const TOlderMute& older : kOlderMutes) {
        if (StoredBool(key, older.Name).value_or(false)) {
            if (!decision.Value)
                decision.Value = older.Item;
            decision.Deleted.push_back(older.Name);
        }
    }
    return decision;
}

TBoardItem DeviceRadio(std::uint32_t c1)
{
    if (c1 == 0 || FieldState(FieldOf(pwC1, B::UseCurrentDefDeviceRadioButton), c1))
        return B::UseCurrentDefDeviceRadioButton;
    if (FieldState(FieldOf(pwC1, B::WaitThisDeviceRadioButton), c1))
        return B::WaitThisDeviceRadioButton;
    return B::WaitAnyDefDeviceRadioButton;
}

TLoadDecision DecideServiceBox(const TServiceInputs& inputs, std::uint32_t c1, const TStoredKey& key, bool migrating)
{
    TLoadDecision decision;
    if (migrating && key.Has(kOlderService))
        decision.Deleted.push_back(kOlderService);
    if (inputs.StartedByRunKey) {
        decision.Value = inputs.ServerEdition ? kChecked : kUnchecked;
    } else if (inputs.IsAdmin) {
        std::optional<bool> checked = FieldState(FieldOf(pwC1, B::AsServiceCheckBox), c1) != 0;
        if (migrating)
            checked = inputs.ServerEdition ? StoredBool(key, kOlderService) : false;
        if (checked)
            decision.Value = *checked && inputs.ServerEdition ? kChecked : kUnchecked;
    }
    return decision;
}

TSceneChoice SceneByTimes(const TDayTimes& times)
{
    const int now = DayMilliseconds(times.Now);
    const int day = DayMilliseconds(times.DayOn);
    const int night = DayMilliseconds(times.NightOn);
    if (now == day || Between(day, now, night) || (night < day && Outside(now, day, night)))
        return TSceneChoice::Day;
    if (now == night || Between(night, now, day) || (day < night && Outside(now, day, night)))
        return TSceneChoice::Night;
    return TSceneChoice::Keep;
}

std::optional<TStartDecision> DecideStart(const TStartInputs& inputs)
{
    if (!inputs.StartedBySwitch || !inputs.AutoStartStored)
        return std::nullopt;
    TStartDecision decision;
    switch (inputs.AutoStartItem) {
        case kStartMuted:
            decision.Play = false;
            break;
        case kStartDay:
            decision.Scene = TSceneChoice::Day;
            break;
        case kStartNight:
            decision.Scene = TSceneChoice::Night;
            break;
        case kStartByCalendar:
            decision.Scene = TSceneChoice::ByCalendar;
            break;
        case kStartByTimes:
            decision.Scene = SceneByTimes(inputs.Times);
            break;
        case kStartAsAtClose:
            decision.Play = FieldState(FieldOf(pwC1, B::PlayCheckBox), inputs.C1) != 0;
            break;
        default:
            break;
    }
    return decision;
}

TSceneChoice DecideAlternation(bool startedBySwitch, bool alternateChecked, int alternationItem, const TDayTimes& times)
{
    if (startedBySwitch || !alternateChecked)
        return TSceneChoice::Keep;
    if (alternationItem == kAlternateByCalendar)
        return TSceneChoice::ByCalendar;
    if (alternationItem == kAlternateByTimes)
        return SceneByTimes(times);
    return TSceneChoice::Keep;
}

TStartState DecideStartState(TStartState loaded, const TStartInputs& inputs, TAlternationInputs alternation,
                             const std::function<bool()>& calendarNight)
{
    TStartState state = loaded;
    const auto choose = [&state, &calendarNight](TSceneChoice choice) {
        switch (choice) {
            case TSceneChoice::Day:
                state.Scene = kDayScene;
                break;
            case TSceneChoice::Night:
                state.Scene = kNightScene;
                break;
            case TSceneChoice::ByCalendar:
                state.Scene = calendarNight() ? kNightScene : kDayScene;
                break;
            case TSceneChoice::Keep:
                break;
        }
    };
    if (const std::optional<TStartDecision> start = DecideStart(inputs)) {
        if (start->Play)
            state.Play = *start->Play;
        choose(start->Scene);
    }
    choose(DecideAlternation(inputs.StartedBySwitch, alternation.Checked, alternation.Item, inputs.Times));
    return state;
}

int StartDevice(std::optional<int> storedItem, int listed, int defaultDevice)
{
    constexpr int kMaxListedDevice = 255;
    const int device = storedItem ? *storedItem + 1 : defaultDevice;
    return device >= 1 && device <= listed && device <= kMaxListedDevice ? device : 1;
}
