#pragma once
// Day voices besides the songbirds: woodpeckers, cuckoos, crows and the
// crickets and grasshoppers of the meadow edge. `variant` picks the kind
// (cycling), the random source everything else.

#include "tools/bankmaker/synth/Dsp.h"

Signal Woodpecker(int variant, int rate, Rng& rng);
Signal Cuckoo(int variant, int rate, Rng& rng);
Signal Crow(int variant, int rate, Rng& rng);
Signal Grasshopper(int variant, int rate, Rng& rng);

// A long, even trill of a cricket in the grass, lasting `seconds`.
Signal CricketTrill(int rate, double seconds, Rng& rng);
