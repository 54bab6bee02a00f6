#include "player/engine/ClipPlacement.h"

#include "support/Random.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

constexpr int kDraws = 3000;

class ClipPlacement : public ::testing::Test {
protected:
    void SetUp() override { RandSeed(20240611); }
    void TearDown() override
    {
        LimiterLow = kDefaultLimiterLow;
        LimiterHigh = kDefaultLimiterHigh;
    }
};

int Decimetres(float metres) { return static_cast<int>(std::lround(metres * 10.0f)); }

void ExpectHeight(float y)
{
    EXPECT_GE(y, 2.4f - 1e-5f);
    EXPECT_LE(y, 5.5f + 1e-5f);
}

struct TZone {
    int reach;
    int low;
    int high;
};

// Every kept pair lies in the square and its truncated |x - z| in the zone;
// the zone's two ends are both reached.
void ExpectDrawsIn(TPlacementRow row, bool limiterOn, const TZone& zone)
{
    bool lowSeen = false;
    bool highSeen = false;
    for (int i = 0; i < kDraws; ++i) {
        const TClipPosition p = DrawClipPosition(row, limiterOn);
        const int x = Decimetres(p.x);
        const int z = Decimetres(p.z);
        const int d = std::abs(x - z);
        ASSERT_LE(std::abs(x), zone.reach) << row;
        ASSERT_LE(std::abs(z), zone.reach) << row;
        ASSERT_GE(d, zone.low) << row;
        ASSERT_LE(d, zone.high) << row;
        ExpectHeight(p.y);
        lowSeen = lowSeen || d == zone.low;
        highSeen = highSeen || d == zone.high;
    }
    EXPECT_TRUE(lowSeen) << row;
    EXPECT_TRUE(highSeen) << row;
}

TEST_F(ClipPlacement, RarityLevelsPassAtTheirChance)
{
    constexpr int kTries = 64000;
    const struct {
        int level;
        int oneIn;
    } cases[] = {{0, 64}, {1, 32}, {2, 12}, {3, 4}};
    for (const auto& c : cases) {
        int passed = 0;
        for (int i = 0; i < kTries; ++i)
            passed += RarityChance(c.level) ? 1 : 0;
        const double expected = static_cast<double>(kTries) / c.oneIn;
        EXPECT_NEAR(passed, expected, expected * 0.15) << c.level;
    }
    for (int level : {-1, 4, 100}) {
        for (int i = 0; i < 1000; ++i)
            ASSERT_FALSE(RarityChance(level)) << level;
    }
}

TEST_F(ClipPlacement, AbsTruncTruncatesTowardZero)
{
    const struct {
        double x;
        int result;
    } cases[] = {{0.0, 0}, {2.9, 2}, {-2.9, 2}, {-104.0, 104}, {104.99, 104}, {-0.5, 0}, {1e300, INT_MAX}};
    for (const auto& c : cases)
        EXPECT_EQ(AbsTrunc(c.x), c.result) << c.x;
}

TEST_F(ClipPlacement, LimiterOffDrawsByTheLayerRow)
{
    const struct {
        TPlacementRow row;
        TZone zone;
    } cases[] = {
        {prDayBackground, {160, 40, 120}}, {prNightBackground, {160, 30, 160}},
        {prBirds, {240, 40, 240}},         {prNightVoices, {240, 30, 240}},
        {prMusic, {80, 50, 100}},
    };
    for (const auto& c : cases)
        ExpectDrawsIn(c.row, false, c.zone);
}

TEST_F(ClipPlacement, LimiterOnDrawsEveryLayerInTheZone)
{
    const struct {
        int low;
        int high;
    } zones[] = {{kDefaultLimiterLow, kDefaultLimiterHigh}, {10, 52}, {43, 52}, {10, 18}, {44, 52}};
    for (const auto& zone : zones) {
        LimiterLow = zone.low;
        LimiterHigh = zone.high;
        for (TPlacementRow row : {prDayBackground, prNightBackground, prBirds, prNightVoices, prMusic})
            ExpectDrawsIn(row, true, {52, zone.low, zone.high});
    }
}

TEST_F(ClipPlacement, LimiterBoundsOutOfOrderOrRangeOrTooNarrowDrawInTheDefaultZone)
{
    const struct {
        int low;
        int high;
    } zones[] = {{30, 11}, {52, 10}, {9, 30}, {11, 53}, {0, 3}, {105, 200}, {-5, 20}, {10, 10}, {52, 52}, {20, 27}};
    for (const auto& zone : zones) {
        LimiterLow = zone.low;
        LimiterHigh = zone.high;
        for (TPlacementRow row : {prDayBackground, prMusic})
            ExpectDrawsIn(row, true, {52, kDefaultLimiterLow, kDefaultLimiterHigh});
    }
}

TEST_F(ClipPlacement, HeightCoversTheTenthsFrom24To55)
{
    bool seen[32] = {};
    for (int i = 0; i < kDraws; ++i) {
        const float y = DrawClipHeight();
        ExpectHeight(y);
        const int step = Decimetres(y) - 24;
        ASSERT_GE(step, 0);
        ASSERT_LT(step, 32);
        EXPECT_NEAR(y * 10.0f, static_cast<float>(Decimetres(y)), 1e-4f);
        seen[step] = true;
    }
    for (int step = 0; step < 32; ++step)
        EXPECT_TRUE(seen[step]) << step;
}

}  // namespace
