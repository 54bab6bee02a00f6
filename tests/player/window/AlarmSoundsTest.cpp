// The built-in alarm's series: which group each sound comes from, what an
// empty group gives way to, and the end after 31 sounds; how long a stalled
// stream counts as playing.
#include "player/window/AlarmSounds.h"

#include "platform/audio/bass.h"
#include "tests/player/engine/ScriptedRandom.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct ClipCase {
    int sound;
    std::array<int, 3> groups;
    int draw;
    std::optional<int> clip;
    int range;  // the draw's range; 0 for no draw
};

TEST(AlarmClipTest, SevenFromTheFirstGroupEightFromTheSecondTheRestFromTheThird)
{
    const std::vector<ClipCase> cases = {
        {1, {17, 13, 16}, 16, 16, 17},  {7, {17, 13, 16}, 0, 0, 17},        {8, {17, 13, 16}, 0, 17, 13},
        {15, {17, 13, 16}, 12, 29, 13}, {16, {17, 13, 16}, 0, 30, 16},      {31, {17, 13, 16}, 15, 45, 16},
        {8, {17, 0, 16}, 3, 3, 17},     {1, {0, 13, 16}, 2, 2, 13},         {16, {17, 13, 0}, 1, 18, 13},
        {16, {0, 0, 16}, 4, 4, 16},     {1, {0, 0, 0}, 0, std::nullopt, 0},
    };
    for (const ClipCase& c : cases) {
        ScriptedRandom random(c.range > 0 ? std::vector<int>{c.draw} : std::vector<int>{});
        EXPECT_EQ(AlarmClipIndex(c.sound, c.groups), c.clip)
            << "sound " << c.sound << " of " << c.groups[0] << ", " << c.groups[1] << ", " << c.groups[2];
        EXPECT_EQ(ScriptedRandom::Asked(), c.range > 0 ? std::vector<int>{c.range} : std::vector<int>{});
    }
}

TEST(AlarmTimerTest, TheBuiltInAlarmEndsAfter31Sounds)
{
    TAlarmTimer timer;
    timer.FirstTick = true;
    EXPECT_EQ(AlarmTimerStep(timer, false, true), TAlarmTimerAction::PlayNext);
    EXPECT_EQ(timer.Interval, kAlarmInterval);
    EXPECT_FALSE(timer.FirstTick);
    int sounds = 1;
    for (int tick = 0; tick < 100; ++tick) {
        EXPECT_EQ(AlarmTimerStep(timer, true, true), TAlarmTimerAction::Wait);
        const TAlarmTimerAction next = AlarmTimerStep(timer, false, true);
        if (next == TAlarmTimerAction::Close)
            break;
        ASSERT_EQ(next, TAlarmTimerAction::PlayNext);
        ++sounds;
    }
    EXPECT_EQ(sounds, 31);
}

TEST(AlarmTimerTest, AUserFileClosesTheWindowOnceItEnded)
{
    TAlarmTimer timer;
    EXPECT_EQ(AlarmTimerStep(timer, true, false), TAlarmTimerAction::Wait);
    EXPECT_EQ(AlarmTimerStep(timer, false, false), TAlarmTimerAction::Close);
    EXPECT_EQ(timer.Interval, kAlarmFirstInterval);
}

struct StallReading {
    unsigned state;
    std::uint64_t ms;
    bool playing;
};

TEST(AlarmStallTest, AStalledStreamCountsAsPlayingForThirtySecondsOfOneStall)
{
    const std::vector<std::vector<StallReading>> cases = {
        {{BASS_ACTIVE_PLAYING, 0, true}, {BASS_ACTIVE_STOPPED, 1000, false}},
        {{BASS_ACTIVE_STALLED, 5000, true}, {BASS_ACTIVE_STALLED, 34999, true}, {BASS_ACTIVE_STALLED, 35000, false}},
        // Playing again in between starts the next stall afresh.
        {{BASS_ACTIVE_STALLED, 0, true},
         {BASS_ACTIVE_PLAYING, 20000, true},
         {BASS_ACTIVE_STALLED, 25000, true},
         {BASS_ACTIVE_STALLED, 54000, true},
         {BASS_ACTIVE_STALLED, 55000, false}},
        {{BASS_ACTIVE_STALLED, 0, true}, {BASS_ACTIVE_STOPPED, 1000, false}, {BASS_ACTIVE_STALLED, 40000, true}},
    };
    for (std::size_t c = 0; c < cases.size(); ++c) {
        TAlarmStall stall;
        for (const StallReading& reading : cases[c])
            EXPECT_EQ(AlarmStreamPlaying(stall, reading.state, reading.ms), reading.playing)
                << "case " << c << " at " << reading.ms << " ms";
    }
}

}  // namespace
