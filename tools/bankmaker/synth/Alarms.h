#pragma once
// The built-in alarm: three groups that grow more insistent, from gentle
// chimes and whistles through beeps to ringing bells and buzzers.

#include "tools/bankmaker/synth/Sound.h"

#include <array>

constexpr std::array<int, 3> AlarmGroupCounts = {17, 13, 16};  // ovac.3bs

// Clip `index` numbered across the groups. Some are mono, some stereo, some
// plain PCM (among them 8-bit ones of an odd byte count).
SynthClip AlarmClip(int index);
