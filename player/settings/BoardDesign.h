#pragma once
// The board as designed, before any setting: the lists the language module
// fills (by their keys) and the trackbar ranges, which the loader tests
// stored values against.

#include "player/settings/BoardItems.h"

#include <string>
#include <vector>

// Rain frequencies; the rarity lists are its first four items.
extern const std::vector<const char*> RainListKeys;
constexpr int kRarityItemCount = 4;
extern const std::vector<const char*> AutoStartListKeys;
extern const std::vector<const char*> AlternationListKeys;
extern const std::vector<const char*> MuteListKeys;
constexpr const char* kExportSetsKey = "exportsets";
constexpr const char* kImportSetsKey = "importsets";

// The chimes hours, "00" to "23".
std::vector<std::string> HourItems();

// Items of a list that holds stored settings; 0 for any other item.
int DesignItemCount(TBoardItem comboBox);

struct TTrackBarDesign {
    TBoardItem Item;
    int Min;
    int Max;
    int Position;
};
extern const std::vector<TTrackBarDesign> TrackBarDesign;

// The range a stored position must lie in: the design, except the
// background and bonfire level, whose range follows the scene.
struct TRange {
    int Min;
    int Max;
};
TRange TrackBarRange(TBoardItem trackBar, int scene);
