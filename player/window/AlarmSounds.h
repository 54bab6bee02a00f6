#pragma once
// The built-in alarm: a series of up to 31 sounds from the alarm bank's three
// groups that grows more insistent, and the timer that paces it.

#include <array>
#include <cstdint>
#include <optional>

// The first seven sounds come from group 1, the next eight from group 2, the
// rest from group 3. An empty group gives way to the nearest one below it,
// else to the nearest above; none when every group is empty.
int AlarmGroupOf(int soundNumber);  // 1 .. 3; sounds count from 1
std::optional<int> AlarmClipIndex(int soundNumber, const std::array<int, 3>& groupCounts);

constexpr unsigned kAlarmFirstInterval = 1000;  // ms until the first sound
constexpr unsigned kAlarmInterval = 2048;       // ms between the following tests
constexpr int kAlarmSoundLimit = 31;

enum class TAlarmTimerAction {
    Wait,      // the sound still plays
    PlayNext,  // PlayInnerAlarm with the new count
    Close,
};

struct TAlarmTimer {
    bool FirstTick = false;  // set while the built-in alarm is yet to start
    int SoundCount = 0;      // built-in sounds started since the window opened
    unsigned Interval = kAlarmFirstInterval;
};

// A stream address stalls while its download runs behind: the window counts
// it as playing for this long at most, then as ended.
constexpr std::uint64_t kAlarmStallLimitMs = 30000;

struct TAlarmStall {
    bool Stalled = false;
    std::uint64_t SinceMs = 0;  // when the current stall was first seen
};

// Whether the alarm's stream counts as playing at nowMs, by the audio
// library's activity state (BASS_ACTIVE_*).
bool AlarmStreamPlaying(TAlarmStall& stall, unsigned activeState, std::uint64_t nowMs);

// One tick of the alarm window's timer.
TAlarmTimerAction AlarmTimerStep(TAlarmTimer& timer, bool streamPlaying, bool innerAlarm);
