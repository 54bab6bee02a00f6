#pragma once
// The loader's decisions: what each stored setting puts into the board, from
// the packed words, the plain values or, once, the older separate values.
// The board applies them in its loading order; nothing here touches it.

#include "player/engine/SoundBanks.h"
#include "player/settings/PackedWords.h"
#include "player/settings/RegistryValues.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// Absent, of another type or failing parity: 0.
TPackedWords ReadPackedWords(const TStoredKey& key);

// The range tests: a combo box takes an index of its design list, a trackbar
// a position in its range in the scene.
std::optional<int> ItemInList(std::optional<int> index, TBoardItem comboBox);
std::optional<int> PositionInRange(std::optional<int> position, TBoardItem trackBar, int scene);

// What a load gives a control: a state, or none when it keeps its own; and
// the older values it read, which are to be deleted.
struct TLoadDecision {
    std::optional<int> Value;
    std::vector<std::string> Deleted;
};

enum class TOlderKind {
    None,
    Bool,
    Integer,
};

// The older separate value a row reads instead of its packed word while the
// older layout migrates, and what an absent one gives.
struct TOlderValue {
    const char* Name = nullptr;
    TOlderKind Kind = TOlderKind::None;
    std::optional<int> Absent;
};

// A control and its packed field, what a 0 word gives, its older value.
struct TLoadRow {
    TBoardItem Item;
    TPackedWordId Word;
    std::optional<int> WordZero;
    TOlderValue Older;
    bool RangeTested = true;
};

// The row's state, range-tested (marker places clamped to the pad).
TLoadDecision DecideRow(const TLoadRow& row, const TPackedWords& words, const TStoredKey& key, bool migrating,
                        int scene);

// The common rows with a packed field, by the control they load.
const TLoadRow& CommonRow(TBoardItem item);

// The older layout migrates while "Alternate" is stored; each scene's older
// values when that scene first loads, or later while the scene has no flag
// word but older values left.
struct TMigration {
    bool Pending = false;
    bool DayMigrated = false;
    bool NightMigrated = false;
};
bool OlderLayoutFound(const TStoredKey& key);
bool SceneMigrates(int scene, const TMigration& migration, const TPackedWords& words, const TStoredKey& key);
void MarkSceneMigrated(TMigration& migration, int scene);

// A plain list index: absent gives absentItem, outside the list nothing.
std::optional<int> StoredItem(const TStoredKey& key, const std::string& name, TBoardItem comboBox,
                              std::optional<int> absentItem);

// A chime caption is ":" and two digits below 60; absent gives absentCaption,
// anything else leaves the caption.
bool ChimeCaptionValid(const std::string& caption);
std::optional<std::string> StoredChimeCaption(const TStoredKey& key, const std::string& name,
                                              const std::string& absentCaption);

// A chime button's number: 0 the user's file, 1..chimeCount the bank's chimes
// (chimeCount 0 without the bank); absent gives 0 with a user file, else
// defaultNumber; outside the bank 0.
constexpr int kChime00Number = 3;
constexpr int kChime30Number = 8;
int StoredChimeNumber(const TStoredKey& key, const std::string& name, bool userFileSet, int defaultNumber,
                      int chimeCount);

// The limiter bounds of "C6"; unusable or a 0 word: the default zone.
struct TLimiterBounds {
    int Low;
    int High;
};
TLimiterBounds LoadedLimiter(std::uint32_t c6);

// The mute action of "C1" (a later bit wins, a 0 word keeps it on), or while
// migrating the first older action that is True; a False one stays stored.
TLoadDecision DecideMuteItem(std::uint32_t c1, const TStoredKey& key, bool migrating);

// The device radio button "C1" checks.
TBoardItem DeviceRadio(std::uint32_t c1);

// The service box: by the server edition when started by the Run key, else
// for an administrator from "C1" (older: "AsService", only on a server).
struct TServiceInputs {
    bool StartedByRunKey;
    bool ServerEdition;
    bool IsAdmin;
};
TLoadDecision DecideServiceBox(const TServiceInputs& inputs, std::uint32_t c1, const TStoredKey& key, bool migrating);

// Day fractions: now and the two switch times of the alternation.
struct TDayTimes {
    double Now;
    double DayOn;
    double NightOn;
};

enum class TSceneChoice {
    Keep,
    Day,
    Night,
    ByCalendar,  // night when the calendar says so, else day
};

// Day between the day and the night time, night between the night and the
// day time; each time itself counts for its scene; equal times keep the scene.
TSceneChoice SceneByTimes(const TDayTimes& times);

// Start modes of a start by a switch, the items of AutoStartComboBox.
constexpr int kStartMuted = 0;
constexpr int kStartDay = 1;
constexpr int kStartNight = 2;
constexpr int kStartByCalendar = 3;
constexpr int kStartByTimes = 4;
constexpr int kStartAsAtClose = 5;
// Alternation modes of AlternateComboBox that choose the scene at a start.
constexpr int kAlternateByCalendar = 4;
constexpr int kAlternateByTimes = 5;

// A start by a switch with "AutoStartIndex" stored: play and scene by the mode.
struct TStartDecision {
    std::optional<bool> Play;
    TSceneChoice Scene = TSceneChoice::Keep;
};
struct TStartInputs {
    bool StartedBySwitch;
    bool AutoStartStored;
    int AutoStartItem;  // after loading
    std::uint32_t C1;
    TDayTimes Times;  // after loading
};
std::optional<TStartDecision> DecideStart(const TStartInputs& inputs);

// The alternation's scene at a start without a switch.
TSceneChoice DecideAlternation(bool startedBySwitch, bool alternateChecked, int alternationItem,
                               const TDayTimes& times);

// The scene and play switch a program start settles on: by its switch, then
// by the alternation, from what the load gave them; calendarNight is asked
// only when a choice goes by the calendar.
struct TStartState {
    int Scene;
    bool Play;
};
struct TAlternationInputs {
    bool Checked;
    int Item;
};
TStartState DecideStartState(TStartState loaded, const TStartInputs& inputs, TAlternationInputs alternation,
                             const std::function<bool()>& calendarNight);

// The device a start opens: the stored name's place in the list (-1 when not
// listed; none when no name is stored) plus one, else the default device; one
// outside the list.
int StartDevice(std::optional<int> storedItem, int listed, int defaultDevice);
