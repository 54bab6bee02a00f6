#include "player/settings/BoardDesign.h"

#include "player/window/Scenes.h"

#include <cstdio>

namespace {

constexpr int kHours = 24;
constexpr int kSceneCount = 2;
constexpr TRange kDayBackgroundRange = {20, 100};
constexpr TRange kNightFireRange = {5, 100};

}  // namespace

const std::vector<const char*> RainListKeys = {"veryseldom", "seldom", "often", "veryoften", "endless"};
const std::vector<const char*> AutoStartListKeys = {"mutedstart",      "dayforeststart",    "nightforeststart",
                                                    "timeforeststart", "onexacttimechange", "asattheclose"};
const std::vector<const char*> AlternationListKeys = {"5minchange",   "15minchange",      "30minchange",
                                                      "onhourchange", "foresttimechange", "exacttimechange"};
const std::vector<const char*> MuteListKeys = {"loudnessdown", "keepiton", "sendtosleep", "andturnoff"};

std::vector<std::string> HourItems()
{
    std::vector<std::string> hours;
    for (int hour = 0; hour < kHours; ++hour) {
        char text[4];
        std::snprintf(text, sizeof text, "%02d", hour);
        hours.push_back(text);
    }
    return hours;
}

int DesignItemCount(TBoardItem comboBox)
{
    using B = TBoardItem;
    switch (comboBox) {
        case B::OvelComboBox:
            return kSceneCount;
        case B::RainComboBox:
            return static_cast<int>(RainListKeys.size());
        case B::Option2ComboBox:
        case B::Option4ComboBox:
        case B::Option5ComboBox:
        case B::Option6ComboBox:
        case B::GuitarComboBox:
        case B::FluteComboBox:
        case B::HaComboBox:
        case B::MusicFolderComboBox:
        case B::NatureFolderComboBox:
        case B::NFBComboBox:
        case B::NFIComboBox:
            return kRarityItemCount;
        case B::AutoStartComboBox:
            return static_cast<int>(AutoStartListKeys.size());
        case B::AlternateComboBox:
            return static_cast<int>(AlternationListKeys.size());
        case B::MuteComboBox:
            return static_cast<int>(MuteListKeys.size());
        case B::FromComboBox:
        case B::TillComboBox:
            return kHours;
        default:
            return 0;
    }
}

const std::vector<TTrackBarDesign> TrackBarDesign = {
    {TBoardItem::VolumeTrackBar, 5, 100, 90},       {TBoardItem::Chime00TrackBar, 4, 100, 70},
    {TBoardItem::Chime30TrackBar, 4, 100, 70},      {TBoardItem::OptionTrackBar, 4, 100, 10},
    {TBoardItem::Option1TrackBar, 0, 2, 1},         {TBoardItem::Option1TrackBar1, 10, 100, 64},
    {TBoardItem::NFBTrackBar, 4, 100, 50},          {TBoardItem::NFITrackBar, 4, 100, 50},
    {TBoardItem::NatureFolderTrackBar, 4, 100, 50}, {TBoardItem::MusicFolderTrackBar, 4, 100, 50},
    {TBoardItem::WindVolumeTrackBar, 4, 100, 70},   {TBoardItem::Option6TrackBar, 76, 100, 85},
};

TRange TrackBarRange(TBoardItem trackBar, int scene)
{
    if (trackBar == TBoardItem::Option1TrackBar1)
        return scene == kNightScene ? kNightFireRange : kDayBackgroundRange;
    for (const TTrackBarDesign& design : TrackBarDesign)
        if (design.Item == trackBar)
            return {design.Min, design.Max};
    return {0, -1};
}
