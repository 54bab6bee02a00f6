#pragma once
// Routing a channel's samples onto a wider or narrower set of outputs.

#include "platform/audio/core/Limits.h"

#include <array>

namespace ovelaudio {

// Gains [output][input], kMaxChannels inputs a row.
using GainMatrix = std::array<float, kMaxChannels * kMaxChannels>;

inline float& Gain(GainMatrix& m, uint32_t output, uint32_t input) { return m[output * kMaxChannels + input]; }

enum class MonoRouting {
    FrontPair,
    Everywhere
};

// Channel i to output i; mono to the front pair (or every speaker but the LFE), stereo on one output averaged.
GainMatrix DefaultRouting(uint32_t inputs, uint32_t outputs, MonoRouting mono);

// Pan as a left/right balance: pan < 0 lowers the right-side outputs (front,
// rear and side right) by 1 + pan, pan > 0 the left-side ones by 1 - pan;
// centre and LFE keep their level.
void ApplyBalance(float pan, uint32_t outputs, GainMatrix& m);

void Scale(GainMatrix& m, float factor);

// Adds in through gains that move linearly from `from` to `to` over the frames
// (the kernels of Kernels.h).
void MixRamped(const float* in, uint32_t inputs, float* out, uint32_t outputs, size_t frames, const GainMatrix& from,
               const GainMatrix& to);

}  // namespace ovelaudio
