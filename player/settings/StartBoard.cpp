#include "player/settings/StartBoard.h"

#include "player/settings/BoardDesign.h"
#include "player/window/Scenes.h"

#include <algorithm>

namespace {

using B = TBoardItem;

constexpr int kUnchecked = 0;
constexpr int kChecked = 1;

}  // namespace

bool LayerBanksPresent(TBoardItem box, const std::array<TSoundBank, SoundBankCount>& banks)
{
    const auto present = [&banks](TBankId bank) { return banks[bank].Present; };
    switch (box) {
        case B::Option3CheckBox:
            return present(sbOvdf) || present(sbOvbf);
        case B::Option7CheckBox:
            return present(sbOvdf) || present(sbOvif);
        case B::WindCheckBox:
            return present(sbOvfw);
        case B::OptionCheckBox:
            return present(sbOves);
        case B::StormCheckBox:
            return present(sbOvrs);
        case B::RainCheckBox:
            return present(sbOvel);
        case B::GuitarCheckBox:
            return present(sbOvgu) || present(sbOvmn);
        case B::HaCheckBox:
            return present(sbOvha) || present(sbOvmn);
        case B::FluteCheckBox:
            return present(sbOvfl) || present(sbOvmd);
        default:
            return true;
    }
}

void TStartBoard::Load(const TStoredKey& key, const TStartFacts& facts)
{
    SetDesign();
    words_ = ReadPackedWords(key);
    LoadCommon(key, facts);
    scene_ = start_.Scene;
    SetState(B::OvelComboBox, start_.Scene);
    SetState(B::PlayCheckBox, start_.Play ? kChecked : kUnchecked);
    LoadSceneOptions(*this, scene_, words_, key, migration_);
    SettleScene();
}

void TStartBoard::SetState(TBoardItem item, int state)
{
    const TRange range = TrackBarRange(item, scene_);
    states_[Index(item)] = range.Min <= range.Max ? std::clamp(state, range.Min, range.Max) : state;
}

void TStartBoard::RunStep(TSceneStep step, bool banksPresent)
{
    switch (step) {
        case TSceneStep::Option5Bank:
            Gate(B::Option5CheckBox, banksPresent);
            break;
        case TSceneStep::Option6Bank:
            Disable(B::Option6CheckBox, !banksPresent);
            break;
        case TSceneStep::FireBank:
            Gate(B::Option1CheckBox, banksPresent);
            break;
        case TSceneStep::StormBank:
            if (!banksPresent)
                Disable(B::StormCheckBox);
            break;
        default:
            break;
    }
}

// What the board shows before any setting: its design values, the day scene.
void TStartBoard::SetDesign()
{
    states_.fill(0);
    enabled_.fill(true);
    scene_ = kDayScene;
    for (const TTrackBarDesign& design : TrackBarDesign)
        SetState(design.Item, design.Position);
    SetState(B::PlayCheckBox, kChecked);
    SetState(B::AlternateCheckBox, kChecked);
    SetState(B::AlternateComboBox, kAlternateByCalendar);
}

// The common rows that the layers or the start decision read, in the board's order.
void TStartBoard::LoadCommon(const TStoredKey& key, const TStartFacts& facts)
{
    if (const std::optional<int> scene = StoredItem(key, "OvelIndex", B::OvelComboBox, std::nullopt))
        SetState(B::OvelComboBox, *scene);
    GateMissingBanks();
    migration_ = TMigration{OlderLayoutFound(key)};
    ApplyRow(B::HWMCheckBox, key);
    ApplyRow(B::AlternateCheckBox, key);
    if (const std::optional<int> item = StoredItem(key, "AlterIndex", B::AlternateComboBox, kAlternateByCalendar))
        SetState(B::AlternateComboBox, *item);
    const TLimiterBounds limiter = LoadedLimiter(words_.C6);
    SetState(B::LimiterLowBound, limiter.Low);
    SetState(B::LimiterHighBound, limiter.High);
    ApplyRow(B::CompressionCheckBox, key);
    ApplyRow(B::VolumeTrackBar, key);
    if (const std::optional<int> item = StoredItem(key, "AutoStartIndex", B::AutoStartComboBox, kStartByCalendar))
        SetState(B::AutoStartComboBox, *item);

    const double dayOn = StoredTimeOfDay(key, "DayOnTime").value_or(facts.DayOnTime);
    const double nightOn = StoredTimeOfDay(key, "NightOnTime").value_or(facts.NightOnTime);
    const double sunrise = StoredOffset(key, "SunriseOffset").value_or(facts.SunriseOffset);
    const double sunset = StoredOffset(key, "SunsetOffset").value_or(facts.SunsetOffset);
    start_ = DecideStartState({State(B::OvelComboBox), State(B::PlayCheckBox) != kUnchecked},
                              {facts.StartedBySwitch,
                               key.Has("AutoStartIndex"),
                               State(B::AutoStartComboBox),
                               words_.C1,
                               {facts.Now, dayOn, nightOn}},
                              {State(B::AlternateCheckBox) != kUnchecked, State(B::AlternateComboBox)},
                              [&facts, sunrise, sunset] { return facts.CalendarNight(sunrise, sunset); });
}

void TStartBoard::ApplyRow(TBoardItem item, const TStoredKey& key)
{
    const TLoadDecision decision = DecideRow(CommonRow(item), words_, key, migration_.Pending, State(B::OvelComboBox));
    if (decision.Value)
        SetState(item, *decision.Value);
}

void TStartBoard::GateMissingBanks()
{
    const auto present = [this](TBoardItem box) { return LayerBanksPresent(box, banks_); };
    for (TBoardItem box : {B::Option3CheckBox, B::Option7CheckBox})
        Gate(box, present(box));
    for (TBoardItem box :
         {B::WindCheckBox, B::OptionCheckBox, B::RainCheckBox, B::GuitarCheckBox, B::HaCheckBox, B::FluteCheckBox})
        Disable(box, !present(box));
    Disable(B::StormCheckBox, !present(B::StormCheckBox) || !present(B::RainCheckBox));
}

void TStartBoard::Gate(TBoardItem box, bool present)
{
    if (!present)
        SetState(box, kUnchecked);
    Disable(box, !present);
}

void TStartBoard::KeepOffWhenDisabled(TBoardItem box)
{
    if (!Enabled(box))
        SetState(box, kUnchecked);
}

// After the load: the handlers the load runs, the scene's show and the
// output's start, each of which keeps or turns off what its banks lack.
void TStartBoard::SettleScene()
{
    for (TBoardItem box : {B::OptionCheckBox, B::Option4CheckBox, B::Option2CheckBox, B::Option5CheckBox,
                           B::Option6CheckBox, B::RainCheckBox})
        KeepOffWhenDisabled(box);
    if (scene_ == kDayScene) {
        Gate(B::Option2CheckBox, Present(sbOvgh) || Present(sbOvdb));
        Gate(B::Option4CheckBox, Present(sbOvwp) || Present(sbOvdb));
        return;
    }
    Gate(B::Option2CheckBox, Present(sbOvng));
    KeepOffWhenDisabled(B::Option1CheckBox);
    if (!Present(sbOvng))
        Disable(B::Option2CheckBox, banks_[sbOvnb].GroupCount3 == 0);
    Disable(B::Option4CheckBox, banks_[sbOvnb].GroupCount1 == 0);
    KeepOffWhenDisabled(B::Option4CheckBox);
}
