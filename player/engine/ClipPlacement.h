#pragma once
// Chance tests by rarity level and the random place of a clip in the space
// around the listener.

// Placed layers by their limiter-off draw.
enum TPlacementRow {
    prDayBackground,    // day backgrounds and nature-folder files
    prNightBackground,  // night backgrounds 1 and 2
    prBirds,            // bird strands 1 to 3
    prNightVoices,      // night voices 1 and 2
    prMusic,            // music files
};

// The sound-space limiter zone in decimetres of |x - z|.
extern int LimiterLow;
extern int LimiterHigh;
constexpr int kDefaultLimiterLow = 11;
constexpr int kDefaultLimiterHigh = 30;

// Bounds the limiter control can set: inside 10..52 and at least 8 apart.
// Any others, stored or not, stand for the default zone.
constexpr int kLimiterLeast = 10;
constexpr int kLimiterReach = 52;
constexpr int kLimiterNarrowest = 8;
constexpr bool LimiterZoneUsable(int low, int high)
{
    return kLimiterLeast <= low && high <= kLimiterReach && high - low >= kLimiterNarrowest;
}

// Metres: x left-right, y height, z front-back.
struct TClipPosition {
    float x = 0;
    float y = 0;
    float z = 0;
};

// 1/64, 1/32, 1/12 or 1/4 for levels 0 to 3; any other level never passes.
bool RarityChance(int level);

int AbsTrunc(double x);

// Draws x and z until their difference lies in the allowed zone, then the height.
// Unusable limiter bounds draw in the default zone.
TClipPosition DrawClipPosition(TPlacementRow row, bool limiterOn);

// 2.4 to 5.5 metres.
float DrawClipHeight();
