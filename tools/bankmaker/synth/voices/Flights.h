#pragma once
// Birds and insects passing the listener, in stereo: the sound travels from
// one side to the other, swelling as it comes near, its pitch bent by the
// Doppler shift.

#include "tools/bankmaker/synth/Dsp.h"

Sound BirdFlyBy(int variant, int rate, Rng& rng);
Sound InsectFlyBy(int variant, int rate, Rng& rng);
