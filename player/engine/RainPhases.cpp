#include "player/engine/RainPhases.h"

#include "support/Random.h"

int RainFreq = kFirstRainFreq;
bool RainWithStorm = false;

namespace {

constexpr int kRainSpread = 32;  // interval spread per unit of F
constexpr int kGrayedStormRange = 4;
constexpr int kFirstThunderRange = 4;
constexpr int kLastThunderRange = 2;
constexpr int kThunderExitBias = 3;
constexpr unsigned kLastPhaseInterval = 16384;

constexpr int kLastPhase = 8;

}  // namespace

TStormChoice StormChoice(int boxState)
{
    switch (boxState) {
        case 1:
            return TStormChoice::Ticked;
        case 2:
            return TStormChoice::Grayed;
        default:
            return TStormChoice::Clear;
    }
}

unsigned RainInterval(int base)
{
    return static_cast<unsigned>(Random(kRainSpread * RainFreq + base)) + static_cast<unsigned>(base);
}

TRainActions TRainPhases::Start(TStormChoice storm, int rainItem)
{
    RainWithStorm = storm == TStormChoice::Ticked || (storm == TStormChoice::Grayed && Random(kGrayedStormRange) == 0);
    TRainActions actions{TRainAction::FadeOutScene, TRainAction::PlayRain1};
    if (rainItem == kEndlessRainItem)
        RainFreq = kEndlessRainFreq;
    phase_ = 0;
    interval_ = RainInterval(kRainBase);
    if (RainWithStorm && Random(kFirstThunderRange) == 0)
        actions.push_back(TRainAction::PlayStorm1);
    return actions;
}

int TRainPhases::ThunderNext(int phase, int next, int rainItem) const
{
    return Random(rainItem + kThunderExitBias) == 0 ? next : phase;
}

void TRainPhases::AfterRain(int thunderPhase, int rainPhase)
{
    phase_ = RainWithStorm ? thunderPhase : rainPhase;
    interval_ = RainInterval(RainWithStorm ? kStormBase : kRainBase);
}

TRainActions TRainPhases::Tick(int rainItem, bool rainPlays)
{
    switch (phase_) {
        case 0:
            AfterRain(1, 2);
            return {TRainAction::FadeOutScene, TRainAction::PlayRain2};
        case 1:
        case 3:
        case 5: {
            const int phase = phase_;
            phase_ = ThunderNext(phase, phase + 1, rainItem);
            interval_ = RainInterval(kStormBase);
            return {phase == 3 ? TRainAction::PlayStorm2 : TRainAction::PlayStorm1};
        }
        case 2:
            AfterRain(3, 4);
            return {TRainAction::PlayRain3};
        case 4:
            AfterRain(5, 6);
            return {TRainAction::FadeRain3};
        case 6:
            phase_ = rainItem == kEndlessRainItem ? 0 : 7;
            interval_ = static_cast<unsigned>(Random(kRainSpread * RainFreq + kRainBase)) + kLongRainAdded;
            return {TRainAction::FadeRain2};
        case 7: {
            phase_ = kLastPhase;
            interval_ = kLastPhaseInterval;
            TRainActions actions{TRainAction::FadeRain1};
            if (RainWithStorm && Random(kLastThunderRange) == 0)
                actions.push_back(TRainAction::PlayStorm1);
            actions.push_back(TRainAction::FadeInScene);
            return actions;
        }
        default:
            // Without sound (the device was lost) there is no rain to stop:
            // the episode ends instead of a new one starting.
            phase_ = 0;
            return {rainPlays ? TRainAction::StopWithFades : TRainAction::EndEpisode};
    }
}
