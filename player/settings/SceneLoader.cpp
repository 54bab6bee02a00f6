#include "player/settings/SceneLoader.h"

#include "player/window/Scenes.h"

#include <algorithm>

namespace {

using B = TBoardItem;

constexpr int kUnchecked = 0;
constexpr int kChecked = 1;
constexpr int kGrayed = 2;
constexpr std::optional<int> kUnchanged = std::nullopt;

enum class TRowKind {
    Value,
    Storm,          // the three-state box; older: a True "...Optional" grays it
    RainFrequency,  // a plain list index
    Delete,         // an older value dropped unread
    Step,
};

struct TSceneRow {
    TRowKind Kind = TRowKind::Value;
    std::vector<TBankId> AnyOf;  // one of them installed; none listed: always
    std::vector<TBankId> AllOf;
    TLoadRow Load{};
    std::optional<int> SetFirst;
    std::optional<TBoardItem> OnlyIfEnabled;
    TSceneStep Step{};
    const char* Name = nullptr;  // the storm's "...Optional", the value of RainFrequency and Delete
};

TOlderValue Bool(const char* name, std::optional<int> absent) { return {name, TOlderKind::Bool, absent}; }
TOlderValue Integer(const char* name, int absent) { return {name, TOlderKind::Integer, absent}; }

TSceneRow Row(std::vector<TBankId> anyOf, TBoardItem item, TPackedWordId word, std::optional<int> wordZero,
              TOlderValue older = {})
{
    TSceneRow row;
    row.AnyOf = std::move(anyOf);
    row.Load = {item, word, wordZero, older};
    return row;
}

TSceneRow SetFirst(TSceneRow row, int state)
{
    row.SetFirst = state;
    return row;
}

TSceneRow OnlyIfEnabled(TSceneRow row, TBoardItem box)
{
    row.OnlyIfEnabled = box;
    return row;
}

TSceneRow Unranged(TSceneRow row)
{
    row.Load.RangeTested = false;
    return row;
}

TSceneRow Step(TSceneStep step, std::vector<TBankId> anyOf = {}, std::vector<TBankId> allOf = {})
{
    TSceneRow row;
    row.Kind = TRowKind::Step;
    row.Step = step;
    row.AnyOf = std::move(anyOf);
    row.AllOf = std::move(allOf);
    return row;
}

TSceneRow Named(TRowKind kind, std::vector<TBankId> anyOf, const char* name)
{
    TSceneRow row;
    row.Kind = kind;
    row.AnyOf = std::move(anyOf);
    row.Name = name;
    return row;
}

TSceneRow Storm(TPackedWordId word, const char* optionalName, const char* stormName)
{
    TSceneRow row;
    row.Kind = TRowKind::Storm;
    row.AllOf = {sbOvel, sbOvrs};
    row.Load = {B::StormCheckBox, word, kChecked, Bool(stormName, kChecked)};
    row.Name = optionalName;
    return row;
}

const std::vector<TBankId> kFlights = {sbOvdf, sbOvbf, sbOvif};
const std::vector<TBankId> kGuitar = {sbOvgu, sbOvmn};
const std::vector<TBankId> kFlute = {sbOvfl, sbOvmd};
const std::vector<TBankId> kAccordion = {sbOvha, sbOvmn};

const std::vector<TSceneRow>& DayRows()
{
    static const std::vector<TSceneRow> rows = {
        Step(TSceneStep::HideNoFireLabel),
        Row({}, B::Option1TrackBar, pwD2, 1, Integer("BirdsActivity", 1)),
        Row({}, B::Option1TrackBar1, pwD72, 50),
        Step(TSceneStep::ReattachLevels),
        Row({sbOves}, B::OptionTrackBar, pwD70, 10, Integer("StreamLevel", 10)),
        Row({sbOves}, B::OptionCheckBox, pwD1, kChecked, Bool("StreamSound", kChecked)),
        Row({sbOves}, B::StreamMarkerX, pwD70, 24, Integer("StreamX", 24)),
        Row({sbOves}, B::StreamMarkerY, pwD70, 8, Integer("StreamY", 8)),
        Row({sbOvdc}, B::Option5CheckBox, pwD1, kUnchecked, Bool("Crows", kUnchecked)),
        Row({sbOvdc}, B::Option5ComboBox, pwD2, 0, Integer("CrowsRare", 0)),
        Step(TSceneStep::Option5Bank, {sbOvdc}),
        Row(kGuitar, B::GuitarCheckBox, pwD1, kUnchanged, Bool("Guitar", kUnchanged)),
        Row(kGuitar, B::GuitarComboBox, pwD2, 0, Integer("GuitarRare", 0)),
        Row(kFlute, B::FluteCheckBox, pwD1, kChecked, Bool("Flute", kChecked)),
        Row(kFlute, B::FluteComboBox, pwD2, 0, Integer("FluteRare", 0)),
        Row(kAccordion, B::HaCheckBox, pwD1, kUnchanged, Bool("Accord", kUnchanged)),
        Row(kAccordion, B::HaComboBox, pwD2, 0, Integer("AccordRare", 0)),
        Row({}, B::NatureFolderCheckBox, pwD1, kUnchanged, Bool("NatureFolderDF", kUnchanged)),
        Row({}, B::NatureFolderTrackBar, pwD71, 0, Integer("NatureFolderDFVolume", 0)),
        Row({}, B::NatureFolderComboBox, pwD2, 0, Integer("NatureFolderDFRare", 0)),
        Row({}, B::NatureSubfoldersCheckBox, pwD1, kUnchanged, Bool("NatureSubfolders", kUnchanged)),
        Step(TSceneStep::NatureSlot),
        Row({}, B::NatureAutoAllocCheckBox, pwD1, kUnchanged),
        Row({}, B::MusicFolderCheckBox, pwD1, kUnchanged, Bool("MusicFolderDF", kUnchanged)),
        Row({}, B::MusicFolderTrackBar, pwD71, 0, Integer("MusicFolderDFVolume", 0)),
        Row({}, B::MusicFolderComboBox, pwD2, 0, Integer("MusicFolderDFRare", 0)),
        Row({}, B::MusicSubfoldersCheckBox, pwD1, kUnchanged, Bool("MusicSubfolders", kUnchanged)),
        Step(TSceneStep::MusicSlot),
        Row({}, B::MusicAutoAllocCheckBox, pwD1, kUnchanged),
        Named(TRowKind::Delete, kFlights, "NearFlights"),
        OnlyIfEnabled(Row(kFlights, B::Option3CheckBox, pwD1, kUnchanged, Bool("NFB", kUnchanged)), B::Option3CheckBox),
        OnlyIfEnabled(Row(kFlights, B::NFBTrackBar, pwD71, 0, Integer("NFVolume", 0)), B::Option3CheckBox),
        Row(kFlights, B::NFBComboBox, pwD2, 0, Integer("NFBRare", 0)),
        OnlyIfEnabled(Row(kFlights, B::Option7CheckBox, pwD1, kUnchanged, Bool("NFI", kUnchanged)), B::Option7CheckBox),
        OnlyIfEnabled(Row(kFlights, B::NFITrackBar, pwD71, 0, Integer("NFIVolume", 0)), B::Option7CheckBox),
        Row(kFlights, B::NFIComboBox, pwD2, 0, Integer("NFIRare", 0)),
        Row({sbOvcu}, B::Option6CheckBox, pwD1, kChecked, Bool("Cuckoo", kChecked)),
        Row({sbOvcu}, B::Option6ComboBox, pwD2, 0, Integer("CuckooRare", 0)),
        Step(TSceneStep::Option6Bank, {sbOvcu}),
        Row({sbOvfw}, B::WindCheckBox, pwD1, kUnchecked, Bool("DFWind", kUnchecked)),
        Row({sbOvfw}, B::WindVolumeTrackBar, pwD70, 0, Integer("DFWindVolume", 0)),
        Named(TRowKind::RainFrequency, {sbOvel}, "RainFreq"),
        Storm(pwD1, "RainStormOptional", "RainStorm"),
        Row({sbOvel}, B::RainCheckBox, pwD1, kChecked, Bool("Rain", kChecked)),
        SetFirst(Row({sbOvwp, sbOvdb}, B::Option4CheckBox, pwD1, kChecked, Bool("Woodpeck", kChecked)), kChecked),
        Row({sbOvwp, sbOvdb}, B::Option4ComboBox, pwD2, 0, Integer("WoodpeckRare", 0)),
        Row({sbOvgh, sbOvdb}, B::Option2CheckBox, pwD1, kUnchecked, Bool("Crickets", kUnchecked)),
        Row({sbOvgh, sbOvdb}, B::Option2ComboBox, pwD2, 0, Integer("CrickRare", 0)),
    };
    return rows;
}

const std::vector<TSceneRow>& NightRows()
{
    static const std::vector<TSceneRow> rows = {
        SetFirst(Row({sbOves}, B::OptionCheckBox, pwN1, kUnchecked, Bool("StreamSoundN", kUnchecked)), kUnchecked),
        Row({sbOves}, B::OptionTrackBar, pwN70, 10, Integer("StreamLevelN", 10)),
        Row({sbOves}, B::StreamMarkerX, pwN70, 24, Integer("StreamNX", 24)),
        Row({sbOves}, B::StreamMarkerY, pwN70, 8, Integer("StreamNY", 8)),
        Row({sbOvef}, B::Option1TrackBar, pwN2, 2, Integer("FireActivity", 2)),
        Row({sbOvef}, B::Option1TrackBar1, pwN7F, 16, Integer("FireLevel", 16)),
        SetFirst(Row({sbOvef}, B::Option1CheckBox, pwN1, kChecked, Bool("FireSound", kChecked)), kChecked),
        Row({sbOvef}, B::FireMarkerX, pwN7F, 8, Integer("FireX", 8)),
        Row({sbOvef}, B::FireMarkerY, pwN7F, 8, Integer("FireY", 8)),
        // Without the bonfire the level handlers still come back.
        Step(TSceneStep::ReattachLevels),
        Step(TSceneStep::FireBank, {sbOvef}),
        Row({sbOvnw}, B::Option5CheckBox, pwN1, kUnchanged, Bool("Beasts", kUnchanged)),
        Row({sbOvnw}, B::Option5ComboBox, pwN2, 0, Integer("BeastsRare", 0)),
        Step(TSceneStep::Option5Bank, {sbOvnw}),
        SetFirst(Row(kGuitar, B::GuitarCheckBox, pwN1, kChecked, Bool("GuitarN", kChecked)), kChecked),
        Row(kGuitar, B::GuitarComboBox, pwN2, 0, Integer("GuitarNRare", 0)),
        SetFirst(Row(kFlute, B::FluteCheckBox, pwN1, kUnchecked, Bool("FluteN", kUnchecked)), kUnchecked),
        Row(kFlute, B::FluteComboBox, pwN2, 0, Integer("FluteNRare", 0)),
        SetFirst(Row(kAccordion, B::HaCheckBox, pwN1, kUnchecked, Bool("AccordN", kUnchecked)), kUnchecked),
        Row(kAccordion, B::HaComboBox, pwN2, 0, Integer("AccordNRare", 0)),
        Row({}, B::NatureFolderCheckBox, pwN1, kUnchanged, Bool("NatureFolderNF", kUnchanged)),
        Row({}, B::NatureFolderComboBox, pwN2, 0, Integer("NatureFolderNFRare", 0)),
        Row({}, B::NatureFolderTrackBar, pwN71, 0, Integer("NatureFolderNFVolume", 0)),
        Row({}, B::NatureSubfoldersCheckBox, pwN1, kUnchanged, Bool("NatureSubfoldersNF", kUnchanged)),
        Step(TSceneStep::NatureSlot),
        Row({}, B::NatureAutoAllocCheckBox, pwN1, kUnchanged),
        Row({}, B::MusicFolderCheckBox, pwN1, kUnchanged, Bool("MusicFolderNF", kUnchanged)),
        Row({}, B::MusicFolderTrackBar, pwN71, 0, Integer("MusicFolderNFVolume", 0)),
        Row({}, B::MusicFolderComboBox, pwN2, 0, Integer("MusicFolderNFRare", 0)),
        Row({}, B::MusicSubfoldersCheckBox, pwN1, kUnchanged, Bool("MusicSubfoldersNF", kUnchanged)),
        Step(TSceneStep::MusicSlot),
        Row({}, B::MusicAutoAllocCheckBox, pwN1, kUnchanged),
        Named(TRowKind::Delete, kFlights, "NearFlightsN"),
        OnlyIfEnabled(Row(kFlights, B::Option3CheckBox, pwN1, kUnchanged, Bool("NFBN", kUnchanged)),
                      B::Option3CheckBox),
        OnlyIfEnabled(Row(kFlights, B::NFBTrackBar, pwN71, 0, Integer("NFVolumeN", 0)), B::Option3CheckBox),
        OnlyIfEnabled(Row(kFlights, B::NFBComboBox, pwN2, 0, Integer("NFBRareN", 0)), B::Option3CheckBox),
        OnlyIfEnabled(Row(kFlights, B::Option7CheckBox, pwN1, kUnchanged, Bool("NFIN", kUnchanged)),
                      B::Option7CheckBox),
        OnlyIfEnabled(Row(kFlights, B::NFITrackBar, pwN71, 0, Integer("NFIVolumeN", 0)), B::Option7CheckBox),
        OnlyIfEnabled(Row(kFlights, B::NFIComboBox, pwN2, 0, Integer("NFIRareN", 0)), B::Option7CheckBox),
        Row({sbOvfr}, B::Option6CheckBox, pwN1, kUnchecked),
        Row({sbOvfr}, B::Option6ComboBox, pwN2, 2),
        Unranged(Row({sbOvfr}, B::Option6TrackBar, pwN7F, 85)),
        Step(TSceneStep::Option6Bank, {sbOvfr}),
        SetFirst(Row({sbOvfw}, B::WindCheckBox, pwN1, kUnchecked, Bool("NFWind", kUnchecked)), kUnchecked),
        Row({sbOvfw}, B::WindVolumeTrackBar, pwN70, 0, Integer("NFWindVolume", 0)),
        Named(TRowKind::RainFrequency, {sbOvel}, "RainFreqN"),
        Row({sbOvel}, B::RainCheckBox, pwN1, kChecked, Bool("RainN", kChecked)),
        Storm(pwN1, "RainStormNOptional", "RainStormN"),
        Step(TSceneStep::StormBank, {}, {sbOvel, sbOvrs}),
        Row({}, B::Option4CheckBox, pwN1, kChecked, Bool("Owls", kChecked)),
        Row({}, B::Option4ComboBox, pwN2, 0, Integer("OwlsRare", 0)),
        Row({sbOvng}, B::Option2CheckBox, pwN1, kUnchecked, Bool("Nightingales", kUnchecked)),
        Row({}, B::Option2ComboBox, pwN2, 0, Integer("NightinRare", 0)),
    };
    return rows;
}

bool GatePasses(const TSceneRow& row, const TSceneBoard& board)
{
    const auto present = [&board](TBankId bank) { return board.Present(bank); };
    return (row.AnyOf.empty() || std::any_of(row.AnyOf.begin(), row.AnyOf.end(), present)) &&
           std::all_of(row.AllOf.begin(), row.AllOf.end(), present);
}

TLoadDecision DecideStorm(const TSceneRow& row, const TPackedWords& words, const TStoredKey& key, bool migrating,
                          int scene)
{
    if (!migrating)
        return DecideRow(row.Load, words, key, false, scene);
    TLoadDecision decision = DecideRow(row.Load, words, key, true, scene);
    if (StoredBool(key, row.Name).value_or(false))
        decision.Value = kGrayed;
    if (key.Has(row.Name))
        decision.Deleted.push_back(row.Name);
    return decision;
}

TLoadDecision DecideSceneRow(const TSceneRow& row, const TPackedWords& words, const TStoredKey& key, bool migrating,
                             int scene)
{
    TLoadDecision decision;
    switch (row.Kind) {
        case TRowKind::Value:
            return DecideRow(row.Load, words, key, migrating, scene);
        case TRowKind::Storm:
            return DecideStorm(row, words, key, migrating, scene);
        case TRowKind::RainFrequency:
            decision.Value = ItemInList(StoredInteger(key, row.Name), B::RainComboBox);
            break;
        case TRowKind::Delete:
            if (migrating && key.Has(row.Name))
                decision.Deleted.push_back(row.Name);
            break;
        case TRowKind::Step:
            break;
    }
    return decision;
}

// The control a row sets; the rain frequency row sets the rain list.
TBoardItem RowItem(const TSceneRow& row)
{
    return row.Kind == TRowKind::RainFrequency ? B::RainComboBox : row.Load.Item;
}

}  // namespace

void LoadSceneOptions(TSceneBoard& board, int scene, const TPackedWords& words, const TStoredKey& key,
                      TMigration& migration)
{
    if (scene != kDayScene && scene != kNightScene)
        return;
    const bool migrating = SceneMigrates(scene, migration, words, key);
    for (const TSceneRow& row : scene == kDayScene ? DayRows() : NightRows()) {
        const bool present = GatePasses(row, board);
        if (row.Kind == TRowKind::Step) {
            board.RunStep(row.Step, present);
            continue;
        }
        if (!present)
            continue;
        if (row.SetFirst)
            board.SetState(row.Load.Item, *row.SetFirst);
        if (row.OnlyIfEnabled && !board.Enabled(*row.OnlyIfEnabled))
            continue;
        const TLoadDecision decision = DecideSceneRow(row, words, key, migrating, scene);
        for (const std::string& name : decision.Deleted)
            board.DeleteValue(name);
        if (decision.Value)
            board.SetState(RowItem(row), *decision.Value);
    }
    MarkSceneMigrated(migration, scene);
}
