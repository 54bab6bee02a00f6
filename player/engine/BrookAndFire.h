#pragma once
// The sounds bound to a place: the brook, the waterfall that joins it when the
// brook is turned up high, and the bonfire's one to three crackling strands.
// Each loops one recording at the spot its marker has on the placement pad.

// The brook's level above which the waterfall sounds.
constexpr int kWaterfallFrom = 75;

// The waterfall's volume at a brook level: 76 gives 0.04, 100 gives 1.
float WaterfallVolume(int brookLevel);

void PlayBrook();
void PlayWaterfall();
void StopBrook();
void StopWaterfall();
// The brook and the waterfall, where they play, slide to silence.
void FadeOutWater(unsigned ms);

void PlayFire1();
void PlayFire2();
void PlayFire3();
// One strand, two at intensity 1, three at 2; nothing while the bonfire is off.
void PlayFires();
void StopFires();
