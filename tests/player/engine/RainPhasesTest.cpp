#include "player/engine/RainPhases.h"

#include "ScriptedRandom.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using A = TRainAction;

constexpr int kSeldomItem = 1;
constexpr int kSeldomFreq = 256;
constexpr int kVerySeldomItem = 0;

class RainPhasesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RainFreq = kSeldomFreq;
        RainWithStorm = false;
    }
    void TearDown() override { RainFreq = kFirstRainFreq; }

    // The board's timer: each tick comes when the interval set before it has passed.
    TRainActions TickOnTime(int item, bool rainPlays = true)
    {
        clock += phases.Interval();
        return phases.Tick(item, rainPlays);
    }

    TRainPhases phases;
    unsigned clock = 0;  // ms since the episode started
};

struct IntervalCase {
    int freq;
    int base;
    int draw;  // of Random(32 * F + base)
    unsigned expected;
};

TEST_F(RainPhasesTest, IntervalsSpanTheBaseToTwiceItPlusTheFrequencySpread)
{
    const IntervalCase cases[] = {
        {256, kRainBase, 0, 32678},       {256, kRainBase, 32 * 256 + kRainBase - 1, 73547},
        {256, kStormBase, 0, 16384},      {256, kStormBase, 32 * 256 + kStormBase - 1, 40959},
        {2048, kRainBase, 98213, 130891}, {2048, kStormBase, 81919, 98303},
    };
    for (const IntervalCase& c : cases) {
        RainFreq = c.freq;
        ScriptedRandom random({c.draw});
        EXPECT_EQ(RainInterval(c.base), c.expected) << c.freq << " " << c.base << " " << c.draw;
        EXPECT_EQ(ScriptedRandom::Asked(), std::vector<int>{32 * c.freq + c.base});
    }
}

struct StartCase {
    TStormChoice storm;
    std::vector<int> draws;
    bool withStorm;
    bool firstThunder;
};

TEST_F(RainPhasesTest, StartDrawsTheThunderOnceAndSometimesAFirstClap)
{
    const StartCase cases[] = {
        {TStormChoice::Clear, {0}, false, false},       {TStormChoice::Ticked, {0, 1}, true, false},
        {TStormChoice::Ticked, {0, 0}, true, true},     {TStormChoice::Grayed, {1, 0}, false, false},
        {TStormChoice::Grayed, {0, 0, 3}, true, false}, {TStormChoice::Grayed, {0, 0, 0}, true, true},
    };
    for (const StartCase& c : cases) {
        ScriptedRandom random(c.draws);
        const TRainActions actions = phases.Start(c.storm, kSeldomItem);
        EXPECT_EQ(RainWithStorm, c.withStorm);
        TRainActions expected{A::FadeOutScene, A::PlayRain1};
        if (c.firstThunder)
            expected.push_back(A::PlayStorm1);
        EXPECT_EQ(actions, expected);
        EXPECT_EQ(phases.Phase(), 0);
        EXPECT_EQ(phases.Interval(), static_cast<unsigned>(kRainBase)) << "the first phase takes the rain base";
        EXPECT_TRUE(random.Used());
    }
}

TEST_F(RainPhasesTest, EpisodeWithoutThunderFadesOutPhaseByPhase)
{
    ScriptedRandom random({0, 5, 0, 0, 0});
    phases.Start(TStormChoice::Clear, kSeldomItem);
    EXPECT_EQ(TickOnTime(kSeldomItem), (TRainActions{A::FadeOutScene, A::PlayRain2}));
    EXPECT_EQ(phases.Phase(), 2);
    EXPECT_EQ(phases.Interval(), 32683u);
    EXPECT_EQ(TickOnTime(kSeldomItem), TRainActions{A::PlayRain3});
    EXPECT_EQ(TickOnTime(kSeldomItem), TRainActions{A::FadeRain3});
    EXPECT_EQ(phases.Phase(), 6);
    EXPECT_EQ(TickOnTime(kSeldomItem), TRainActions{A::FadeRain2});
    EXPECT_EQ(phases.Interval(), static_cast<unsigned>(kLongRainAdded)) << "the added constant is 32768";
    EXPECT_EQ(TickOnTime(kSeldomItem), (TRainActions{A::FadeRain1, A::FadeInScene}));
    EXPECT_EQ(phases.Phase(), 8) << "set before the forest comes back";
    EXPECT_EQ(phases.Interval(), 16384u);
    EXPECT_EQ(TickOnTime(kSeldomItem), TRainActions{A::StopWithFades});
    EXPECT_EQ(phases.Phase(), 0);
    EXPECT_EQ(clock, 32678u + 32683u + 32678u + 32678u + 32768u + 16384u);
    EXPECT_TRUE(random.Used());
}

TEST_F(RainPhasesTest, ThunderPhasesRepeatUntilTheirExitDraw)
{
    // Phase 1 thunders twice (exit draws 2, then 0), phases 3 and 5 once,
    // phase 7 adds a last clap.
    ScriptedRandom random({0, 1,  // start: interval, no first clap
                           0,     // phase 0
                           2, 0,  // phase 1 stays
                           0, 0,  // phase 1 leaves
                           0,     // phase 2
                           0, 0,  // phase 3 leaves
                           0,     // phase 4
                           0, 0,  // phase 5 leaves
                           0,     // phase 6
                           0});   // phase 7: a last clap
    phases.Start(TStormChoice::Ticked, kVerySeldomItem);
    EXPECT_EQ(TickOnTime(kVerySeldomItem), (TRainActions{A::FadeOutScene, A::PlayRain2}));
    EXPECT_EQ(phases.Interval(), static_cast<unsigned>(kStormBase));
    const std::vector<std::pair<TRainActions, int>> steps = {
        {{A::PlayStorm1}, 1}, {{A::PlayStorm1}, 2},
        {{A::PlayRain3}, 3},  {{A::PlayStorm2}, 4},
        {{A::FadeRain3}, 5},  {{A::PlayStorm1}, 6},
        {{A::FadeRain2}, 7},  {{A::FadeRain1, A::PlayStorm1, A::FadeInScene}, 8},
    };
    for (const auto& [actions, next] : steps) {
        EXPECT_EQ(TickOnTime(kVerySeldomItem), actions) << "to phase " << next;
        EXPECT_EQ(phases.Phase(), next);
    }
    EXPECT_TRUE(random.Used());
}

TEST_F(RainPhasesTest, ThunderExitChanceFollowsTheFrequencyItem)
{
    for (int item = 0; item <= kEndlessRainItem; ++item) {
        RainWithStorm = true;
        ScriptedRandom random({0, 0, 0});
        phases.Reset();
        phases.Tick(item, true);  // phase 0 to 1
        phases.Tick(item, true);
        EXPECT_EQ(ScriptedRandom::Asked().back(), 32 * RainFreq + kStormBase);
        EXPECT_EQ(ScriptedRandom::Asked()[1], item + 3) << "item " << item;
    }
}

TEST_F(RainPhasesTest, EndlessEpisodeStopsTheTimerAfterItsSixthPhaseAndKeepsItsFrequency)
{
    ScriptedRandom random({0, 0, 0, 0, 0});
    phases.Start(TStormChoice::Clear, kEndlessRainItem);
    EXPECT_EQ(RainFreq, kEndlessRainFreq);
    for (int tick = 0; tick < 3; ++tick)
        TickOnTime(kEndlessRainItem);
    EXPECT_EQ(TickOnTime(kEndlessRainItem), TRainActions{A::FadeRain2});
    EXPECT_EQ(phases.Phase(), 0) << "no further tick: the rain goes on until stopped";
    EXPECT_EQ(ScriptedRandom::Asked().back(), 32 * kEndlessRainFreq + kRainBase);
    phases.Reset();
    EXPECT_EQ(RainFreq, kEndlessRainFreq) << "until the choice is applied again";
}

TEST_F(RainPhasesTest, LastPhaseWithoutRainEndsTheEpisodeInsteadOfStartingOne)
{
    ScriptedRandom random({0, 0, 0, 0, 0});
    phases.Start(TStormChoice::Clear, kSeldomItem);
    for (int tick = 0; tick < 5; ++tick)
        TickOnTime(kSeldomItem, false);
    ASSERT_EQ(phases.Phase(), 8);
    EXPECT_EQ(TickOnTime(kSeldomItem, false), TRainActions{A::EndEpisode});
    EXPECT_EQ(phases.Phase(), 0);
}

TEST(StormChoice, ReadsTheBoxesThreeStates)
{
    EXPECT_EQ(StormChoice(0), TStormChoice::Clear);
    EXPECT_EQ(StormChoice(1), TStormChoice::Ticked);
    EXPECT_EQ(StormChoice(2), TStormChoice::Grayed);
}

}  // namespace
