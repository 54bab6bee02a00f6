#include "player/settings/SceneLoader.h"

#include "player/window/Scenes.h"
#include "tests/player/settings/StoredKeyFixtures.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

using B = TBoardItem;

constexpr int kDayValue = 77;  // what every control held before the load

class TFakeSceneBoard : public TSceneBoard {
public:
    TFakeSceneBoard()
    {
        for (int bank = 0; bank < SoundBankCount; ++bank)
            Banks.insert(static_cast<TBankId>(bank));
    }

    bool Present(TBankId bank) const override { return Banks.count(bank) != 0; }
    bool Enabled(TBoardItem item) const override { return Disabled.count(item) == 0; }
    void SetState(TBoardItem item, int state) override
    {
        States[item] = state;
        Events.push_back("set " + std::to_string(static_cast<int>(item)));
    }
    void DeleteValue(const std::string& name) override { Deleted.push_back(name); }
    void RunStep(TSceneStep step, bool banksPresent) override
    {
        Steps[step] = banksPresent;
        Events.push_back("step " + std::to_string(static_cast<int>(step)));
    }

    int State(TBoardItem item) const
    {
        const auto found = States.find(item);
        return found == States.end() ? kDayValue : found->second;
    }

    std::set<TBankId> Banks;
    std::set<TBoardItem> Disabled;
    std::map<TBoardItem, int> States;
    std::vector<std::string> Deleted;
    std::map<TSceneStep, bool> Steps;
    std::vector<std::string> Events;
};

void Load(TFakeSceneBoard& board, int scene, const TStoredKey& key, TMigration migration = {})
{
    LoadSceneOptions(board, scene, ReadPackedWords(key), key, migration);
}

struct TExpected {
    TBoardItem Item;
    int State;
};

void ExpectStates(const TFakeSceneBoard& board, const std::vector<TExpected>& expected)
{
    for (const TExpected& e : expected)
        EXPECT_EQ(board.State(e.Item), e.State) << "item " << static_cast<int>(e.Item);
}

TEST(SceneLoader, NightWithNothingStoredTakesItsDefaultsAndKeepsTheRest)
{
    TFakeSceneBoard board;
    Load(board, kNightScene, {});
    ExpectStates(board, {
                            {B::OptionCheckBox, 0},
                            {B::OptionTrackBar, 10},
                            {B::StreamMarkerX, 24},
                            {B::StreamMarkerY, 8},
                            {B::Option1TrackBar, 2},
                            {B::Option1TrackBar1, 16},
                            {B::Option1CheckBox, 1},
                            {B::FireMarkerX, 8},
                            {B::FireMarkerY, 8},
                            {B::Option5CheckBox, kDayValue},
                            {B::Option5ComboBox, 0},
                            {B::GuitarCheckBox, 1},
                            {B::GuitarComboBox, 0},
                            {B::FluteCheckBox, 0},
                            {B::HaCheckBox, 0},
                            {B::NatureFolderCheckBox, kDayValue},
                            {B::NatureFolderComboBox, 0},
                            {B::NatureFolderTrackBar, kDayValue},
                            {B::MusicFolderTrackBar, kDayValue},
                            {B::NFBTrackBar, kDayValue},
                            {B::NFBComboBox, 0},
                            {B::Option6CheckBox, 0},
                            {B::Option6ComboBox, 2},
                            {B::Option6TrackBar, 85},
                            {B::WindCheckBox, 0},
                            {B::WindVolumeTrackBar, kDayValue},
                            {B::RainComboBox, kDayValue},
                            {B::RainCheckBox, 1},
                            {B::StormCheckBox, 1},
                            {B::Option4CheckBox, 1},
                            {B::Option4ComboBox, 0},
                            {B::Option2CheckBox, 0},
                            {B::Option2ComboBox, 0},
                        });
    EXPECT_TRUE(board.Deleted.empty());
}

TEST(SceneLoader, DayFromItsWords)
{
    TStoredKey key;
    key.Set("D1", Word(1u << 3 | 3u << 1 | 1u << 7 | 1u << 21));
    key.Set("D2", Word(2 | 3u << 6 | 1u << 22));
    key.Set("D70", Word(30 | 90u << 7 | 5u << 14 | 31u << 21));
    key.Set("D72", Word(19));
    key.Set("RainFreq", Dword(3));
    TFakeSceneBoard board;
    Load(board, kDayScene, key);
    ExpectStates(board, {
                            {B::OptionCheckBox, 1},
                            {B::StormCheckBox, 2},
                            {B::RainCheckBox, 0},
                            {B::Option5CheckBox, 1},
                            {B::MusicAutoAllocCheckBox, 1},
                            {B::NatureAutoAllocCheckBox, 0},
                            {B::FluteCheckBox, 0},
                            {B::Option1TrackBar, 2},
                            {B::Option5ComboBox, 3},
                            {B::MusicFolderComboBox, 1},
                            {B::WindVolumeTrackBar, 30},
                            {B::OptionTrackBar, 90},
                            {B::StreamMarkerX, 5},
                            {B::StreamMarkerY, 31},
                            {B::Option1TrackBar1, kDayValue},  // 19 lies below the day range
                            {B::NFBTrackBar, kDayValue},       // no D71
                            {B::RainComboBox, 3},
                        });
}

TEST(SceneLoader, MissingBanksLeaveTheirRowsAndTellTheBoard)
{
    TStoredKey key;
    key.Set("N1", Word(1u << 20 | 1u << 3));
    key.Set("RainFreqN", Dword(2));
    TFakeSceneBoard board;
    board.Banks = {sbOvda, sbOvna, sbOvrs};
    Load(board, kNightScene, key);
    for (TBoardItem item : {B::OptionCheckBox, B::Option1CheckBox, B::Option1TrackBar1, B::FireMarkerX, B::Option6TrackBar,
                            B::RainComboBox, B::RainCheckBox, B::StormCheckBox, B::GuitarCheckBox, B::Option2CheckBox})
        EXPECT_EQ(board.State(item), kDayValue) << static_cast<int>(item);
    EXPECT_EQ(board.State(B::Option4CheckBox), 0);
    const std::map<TSceneStep, bool> steps = {
        {TSceneStep::ReattachLevels, true}, {TSceneStep::FireBank, false}, {TSceneStep::Option5Bank, false},
        {TSceneStep::NatureSlot, true},     {TSceneStep::MusicSlot, true}, {TSceneStep::Option6Bank, false},
        {TSceneStep::StormBank, false},
    };
    EXPECT_EQ(board.Steps, steps);
}

TEST(SceneLoader, FlightsLoadForTheBoxesTheirBanksEnable)
{
    TStoredKey key;
    key.Set("D1", Word(1u << 5 | 1u << 6));
    key.Set("D2", Word(1u << 2 | 2u << 4));
    key.Set("D71", Word(40 | 60u << 7));
    key.Set("N1", Word(1u << 5 | 1u << 6));
    key.Set("N2", Word(1u << 2 | 2u << 4));
    key.Set("N71", Word(40 | 60u << 7));
    const struct {
        int Scene;
        std::set<TBankId> Banks;
        std::set<TBoardItem> Disabled;
        std::vector<TExpected> Expected;
    } cases[] = {
        {kDayScene,
         {sbOvdf},
         {},
         {{B::Option3CheckBox, 1}, {B::NFBTrackBar, 40}, {B::Option7CheckBox, 1}, {B::NFITrackBar, 60}}},
        {kDayScene,
         {sbOvbf},
         {B::Option7CheckBox},
         {{B::Option3CheckBox, 1},
          {B::NFBComboBox, 1},
          {B::Option7CheckBox, kDayValue},
          {B::NFITrackBar, kDayValue},
          {B::NFIComboBox, 2}}},
        {kNightScene,
         {sbOvif},
         {B::Option3CheckBox},
         {{B::Option3CheckBox, kDayValue},
          {B::NFBTrackBar, kDayValue},
          {B::NFBComboBox, kDayValue},
          {B::Option7CheckBox, 1},
          {B::NFIComboBox, 2}}},
        {kNightScene, {}, {}, {{B::Option3CheckBox, kDayValue}, {B::NFIComboBox, kDayValue}}},
    };
    for (const auto& c : cases) {
        TFakeSceneBoard board;
        board.Banks = c.Banks;
        board.Disabled = c.Disabled;
        Load(board, c.Scene, key);
        ExpectStates(board, c.Expected);
    }
}

TEST(SceneLoader, LevelHandlersComeBackBetweenTheLevelRows)
{
    TFakeSceneBoard board;
    Load(board, kDayScene, {});
    const auto at = [&board](const std::string& event) {
        return std::find(board.Events.begin(), board.Events.end(), event) - board.Events.begin();
    };
    const auto set = [](TBoardItem item) { return "set " + std::to_string(static_cast<int>(item)); };
    const std::string reattach = "step " + std::to_string(static_cast<int>(TSceneStep::ReattachLevels));
    EXPECT_EQ(board.Events.front(), "step " + std::to_string(static_cast<int>(TSceneStep::HideNoFireLabel)));
    EXPECT_LT(at(set(B::Option1TrackBar1)), at(reattach));
    EXPECT_LT(at(reattach), at(set(B::OptionTrackBar)));
}

void StoreAll(TStoredKey& key, const std::vector<const char*>& names, std::uint32_t value)
{
    for (const char* name : names)
        key.Set(name, Dword(value));
}

TEST(SceneLoader, MigrationReadsAndDeletesEveryOlderValueOfTheScene)
{
    for (int scene : {kDayScene, kNightScene}) {
        const bool night = scene == kNightScene;
        const std::vector<const char*>& names = night ? OlderNightValueNames : OlderDayValueNames;
        TStoredKey key;
        StoreAll(key, names, 1);
        key.Set(night ? "N1" : "D1", Word(0));
        TFakeSceneBoard board;
        TMigration migration{true, false, false};
        LoadSceneOptions(board, scene, ReadPackedWords(key), key, migration);
        EXPECT_EQ(std::multiset<std::string>(board.Deleted.begin(), board.Deleted.end()),
                  std::multiset<std::string>(names.begin(), names.end()))
            << scene;
        EXPECT_EQ(board.State(B::StormCheckBox), 2) << scene;
        EXPECT_EQ(board.State(B::Option5CheckBox), 1) << scene;
        EXPECT_EQ(board.State(B::Option5ComboBox), 1) << scene;
        EXPECT_EQ(board.State(B::Option2CheckBox), 1) << scene;
        EXPECT_EQ(board.State(B::Option1TrackBar), 1) << scene;
        EXPECT_EQ(night ? migration.NightMigrated : migration.DayMigrated, true);
        EXPECT_TRUE(migration.Pending);
    }
}

TEST(SceneLoader, MigrationEndsWhenBothScenesLoaded)
{
    TStoredKey key;
    key.Set("Crows", Dword(1));
    key.Set("Beasts", Dword(1));
    TMigration migration{true, false, false};
    TFakeSceneBoard board;
    // The board deletes what each load read before the next one reads the key.
    const auto load = [&](int scene) {
        LoadSceneOptions(board, scene, {}, key, migration);
        for (const std::string& name : board.Deleted)
            key.Remove(name);
    };
    load(kDayScene);
    load(kDayScene);
    EXPECT_EQ(board.Deleted, std::vector<std::string>({"Crows"}));
    EXPECT_TRUE(migration.Pending);
    load(kNightScene);
    EXPECT_EQ(board.Deleted, std::vector<std::string>({"Crows", "Beasts"}));
    EXPECT_FALSE(migration.Pending);
}

// The scene not shown in the run that found the older layout migrates later.
TEST(SceneLoader, AnUnvisitedSceneMigratesAtItsFirstLoadLater)
{
    TStoredKey key;
    key.Set("Beasts", Dword(1));
    key.Set("FireLevel", Dword(40));
    TFakeSceneBoard unvisited;
    Load(unvisited, kNightScene, key);
    EXPECT_EQ(unvisited.State(B::Option5CheckBox), 1);
    EXPECT_EQ(unvisited.State(B::Option1TrackBar1), 40);
    EXPECT_EQ(unvisited.Deleted, std::vector<std::string>({"FireLevel", "Beasts"}));

    key.Set("N1", Word(1u << 0));
    TFakeSceneBoard saved;
    Load(saved, kNightScene, key);
    EXPECT_EQ(saved.State(B::Option5CheckBox), 0);
    EXPECT_TRUE(saved.Deleted.empty());
}

TEST(SceneLoader, NearFlightsGoUnreadAndOnlyWhileMigrating)
{
    TStoredKey key;
    key.Set("NearFlights", Dword(1));
    key.Set("NearFlightsN", Dword(1));
    TFakeSceneBoard board;
    Load(board, kDayScene, key);
    Load(board, kNightScene, key);
    EXPECT_EQ(board.Deleted, std::vector<std::string>({"NearFlights", "NearFlightsN"}));
    EXPECT_EQ(board.State(B::Option3CheckBox), kDayValue);

    key.Set("D1", Word(1));
    TFakeSceneBoard kept;
    Load(kept, kDayScene, key);
    EXPECT_TRUE(kept.Deleted.empty());
}

TEST(SceneLoader, OlderStormIsGrayedOnlyByATrueOptionalValue)
{
    const struct {
        std::optional<std::uint32_t> Optional;
        std::optional<std::uint32_t> Storm;
        int Expected;
    } cases[] = {{1, 0, 2}, {0, 0, 0}, {0, std::nullopt, 1}, {std::nullopt, 1, 1}, {std::nullopt, std::nullopt, 1}};
    for (const auto& c : cases) {
        TStoredKey key;
        if (c.Optional)
            key.Set("RainStormOptional", Dword(*c.Optional));
        if (c.Storm)
            key.Set("RainStorm", Dword(*c.Storm));
        key.Set("Crows", Dword(0));
        TFakeSceneBoard board;
        Load(board, kDayScene, key);
        EXPECT_EQ(board.State(B::StormCheckBox), c.Expected) << c.Optional.value_or(9) << " " << c.Storm.value_or(9);
    }
}

TEST(SceneLoader, OnlyTheTwoScenesLoad)
{
    TFakeSceneBoard board;
    Load(board, -1, {});
    EXPECT_TRUE(board.Events.empty());
}

}  // namespace
