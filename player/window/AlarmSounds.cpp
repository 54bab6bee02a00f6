#include "player/window/AlarmSounds.h"

#include "platform/audio/bass.h"
#include "support/Random.h"

namespace {

constexpr int kLastGroup1Sound = 7;
constexpr int kLastGroup2Sound = 15;

}  // namespace

int AlarmGroupOf(int soundNumber)
{
    if (soundNumber <= kLastGroup1Sound)
        return 1;
    return soundNumber <= kLastGroup2Sound ? 2 : 3;
}

std::optional<int> AlarmClipIndex(int soundNumber, const std::array<int, 3>& groupCounts)
{
    const int own = AlarmGroupOf(soundNumber) - 1;
    const int groups = static_cast<int>(groupCounts.size());
    for (int step = 0; step < groups; ++step) {
        for (const int group : {own - step, own + step}) {
            if (group < 0 || group >= groups || groupCounts[static_cast<std::size_t>(group)] <= 0)
                continue;
            int first = 0;
            for (int before = 0; before < group; ++before)
                first += groupCounts[static_cast<std::size_t>(before)];
            return first + Random(groupCounts[static_cast<std::size_t>(group)]);
        }
    }
    return std::nullopt;
}

bool AlarmStreamPlaying(TAlarmStall& stall, unsigned activeState, std::uint64_t nowMs)
{
    if (activeState != BASS_ACTIVE_STALLED) {
        stall.Stalled = false;
        return activeState == BASS_ACTIVE_PLAYING;
    }
    if (!stall.Stalled) {
        stall.Stalled = true;
        stall.SinceMs = nowMs;
    }
    return nowMs - stall.SinceMs < kAlarmStallLimitMs;
}

TAlarmTimerAction AlarmTimerStep(TAlarmTimer& timer, bool streamPlaying, bool innerAlarm)
{
    if (streamPlaying)
        return TAlarmTimerAction::Wait;
    if (!innerAlarm)
        return TAlarmTimerAction::Close;
    if (timer.FirstTick) {
        timer.FirstTick = false;
        timer.Interval = kAlarmInterval;
    }
    ++timer.SoundCount;
    return timer.SoundCount <= kAlarmSoundLimit ? TAlarmTimerAction::PlayNext : TAlarmTimerAction::Close;
}
