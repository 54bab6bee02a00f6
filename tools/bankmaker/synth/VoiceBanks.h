#pragma once
// Clips of the banks that hold creatures' voices and music, in entry order.

#include "tools/bankmaker/synth/Sound.h"

#include <string>
#include <vector>

// The banks this covers (file names as in the catalogue).
const std::vector<std::string>& VoiceBankNames();

// All clips of one of those banks, in entry order; the count matches the
// bank's header counts. Deterministic: the same clips on every run.
std::vector<SynthClip> VoiceBankClips(const std::string& bankFileName);
