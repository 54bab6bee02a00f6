#pragma once
// The course of a rain episode: which strands start, when thunder rolls and
// when the rain fades, phase by phase, each phase lasting a random interval
// scaled by the rain frequency. It decides; the board's timer and the strands
// act.

#include <vector>

// The rain frequency figure F: 1024 until the frequency choice is applied;
// an "endless" episode leaves it at 2048 until the choice is applied again.
extern int RainFreq;
// The running episode has thunder.
extern bool RainWithStorm;

constexpr int kFirstRainFreq = 1024;
constexpr int kEndlessRainFreq = 2048;
// The "endless" item of the rain frequency choice.
constexpr int kEndlessRainItem = 4;
// Every fade of the episode's own course, in ms.
constexpr unsigned kRainFade = 8192;

// The thunder box: ticked, clear or grayed (now and then).
enum class TStormChoice {
    Clear,
    Ticked,
    Grayed
};
// The box's state as the board reads it: 0 clear, 1 ticked, 2 grayed.
TStormChoice StormChoice(int boxState);

// Interval bases in ms.
constexpr int kStormBase = 16384;
constexpr int kRainBase = 32678;
constexpr int kLongRainAdded = 32768;
// Random(32 * F + base) + base ms, F = RainFreq now.
unsigned RainInterval(int base);

enum class TRainAction {
    FadeOutScene,  // the forest layers run out, the fires fade down
    FadeInScene,   // the forest comes back
    PlayRain1,
    PlayRain2,
    PlayRain3,
    PlayStorm1,
    PlayStorm2,
    FadeRain1,  // the strand's source slides to silence
    FadeRain2,
    FadeRain3,
    StopWithFades,  // the toggle's stop path
    EndEpisode,     // the episode ends at once
};
using TRainActions = std::vector<TRainAction>;

class TRainPhases {
public:
    // The phase of the next tick, 0 to 8; 0 is also the idle state.
    int Phase() const { return phase_; }
    // The interval until the next tick, set at the start and at every tick.
    unsigned Interval() const { return interval_; }

    // A new episode with rainItem chosen: draws the thunder, puts phase 0
    // and the first interval; what starts now.
    TRainActions Start(TStormChoice storm, int rainItem);

    // One tick: the phase and interval that follow are set before the
    // returned actions run, so a toggle they cause may still end the episode.
    // rainPlays: rain strand 1 sounds.
    TRainActions Tick(int rainItem, bool rainPlays);

    // The episode is over: phase 0.
    void Reset() { phase_ = 0; }

private:
    // A thunder phase repeats until Random(rainItem + 3) = 0 lets it go on.
    int ThunderNext(int phase, int next, int rainItem) const;
    // The phase after a rain phase: its thunder phase or the one beyond.
    void AfterRain(int thunderPhase, int rainPhase);

    int phase_ = 0;
    unsigned interval_ = 0;
};
