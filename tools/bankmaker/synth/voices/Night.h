#pragma once
// Night voices: owls, nightingales, the other birds and insects of a summer
// night, beasts in the distance and frogs. `variant` picks the kind
// (cycling), the random source everything else.

#include "tools/bankmaker/synth/Dsp.h"

Signal Owl(int variant, int rate, Rng& rng);
Signal Nightingale(int rate, Rng& rng);
Signal NightCaller(int variant, int rate, Rng& rng);
Signal Beast(int variant, int rate, Rng& rng);
Signal Frog(int variant, int rate, Rng& rng);
