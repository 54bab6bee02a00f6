#include "player/engine/ClipPlacement.h"

#include "support/Random.h"

#include <climits>
#include <cmath>
#include <iterator>

int LimiterLow = kDefaultLimiterLow;
int LimiterHigh = kDefaultLimiterHigh;

namespace {

constexpr int kRarityRanges[] = {64, 32, 12, 4};

// Half the side of the square of draws, and the accepted |x - z|, in decimetres.
struct TDrawZone {
    int reach;
    int low;
    int high;
};

constexpr TDrawZone kRowZones[] = {
    {160, 40, 120},  // prDayBackground
    {160, 30, 160},  // prNightBackground
    {240, 40, 240},  // prBirds
    {240, 30, 240},  // prNightVoices
    {80, 50, 100},   // prMusic
};

constexpr float kDecimetresPerMetre = 10.0f;
constexpr int kHeightSteps = 32;
constexpr int kLowestHeight = 24;  // decimetres

int DrawCoordinate(int reach) { return reach - Random(2 * reach + 1); }

TDrawZone ChosenZone(TPlacementRow row, bool limiterOn)
{
    if (!limiterOn)
        return kRowZones[row];
    if (LimiterZoneUsable(LimiterLow, LimiterHigh))
        return {kLimiterReach, LimiterLow, LimiterHigh};
    return {kLimiterReach, kDefaultLimiterLow, kDefaultLimiterHigh};
}

}  // namespace

bool RarityChance(int level)
{
    if (level < 0 || level >= static_cast<int>(std::size(kRarityRanges)))
        return false;
    return Random(kRarityRanges[level]) == 0;
}

int AbsTrunc(double x)
{
    const double magnitude = std::trunc(std::fabs(x));
    return magnitude >= static_cast<double>(INT_MAX) ? INT_MAX : static_cast<int>(magnitude);
}

TClipPosition DrawClipPosition(TPlacementRow row, bool limiterOn)
{
    const TDrawZone zone = ChosenZone(row, limiterOn);
    int x = 0;
    int z = 0;
    int difference = 0;
    do {
        x = DrawCoordinate(zone.reach);
        z = DrawCoordinate(zone.reach);
        difference = AbsTrunc(x - z);
    } while (difference < zone.low || difference > zone.high);
    TClipPosition position;
    position.x = static_cast<float>(x) / kDecimetresPerMetre;
    position.z = static_cast<float>(z) / kDecimetresPerMetre;
    position.y = DrawClipHeight();
    return position;
}

float DrawClipHeight() { return static_cast<float>(Random(kHeightSteps) + kLowestHeight) / kDecimetresPerMetre; }
