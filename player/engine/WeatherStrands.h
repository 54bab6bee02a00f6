#pragma once
// The weather's five strands: three of rain, two of thunder. Each decodes one
// clip into a mixer of its own whose matrix spreads it over every speaker, so
// that the weather surrounds the listener instead of standing at a place.

#include "player/engine/Layers.h"

void PlayRain1();
void PlayRain2();
void PlayRain3();
void PlayStorm1();
void PlayStorm2();

// Whether it rains, everywhere in the program: rain strand 1 sounds.
bool RainPlays();

// The strand's source slides to silence over ms, when it sounds.
void FadeRainStrand(TLayerId strand, unsigned ms);
// All three rain strands do.
void FadeRainStrands(unsigned ms);

// Every strand stops: its source, its mixer and its clip go.
void FreeWeatherStrands();
