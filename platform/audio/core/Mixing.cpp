#include "platform/audio/core/Mixing.h"

#include "platform/audio/core/Kernels.h"

#include <algorithm>

namespace ovelaudio {
namespace {

constexpr uint32_t kLfe = 3;

enum class Side {
    Left,
    Right,
    Middle
};

// Stereo and quad put front and rear pairs at 0-1 and 2-3; 5.1 and 7.1 add centre and LFE at 2-3.
Side SideOf(uint32_t channel, uint32_t outputs)
{
    if (outputs == 1)
        return Side::Middle;
    if (outputs <= 4)
        return channel % 2 == 0 ? Side::Left : Side::Right;
    if (channel == 2 || channel == kLfe)
        return Side::Middle;
    return channel % 2 == 0 ? Side::Left : Side::Right;
}

bool IsLfe(uint32_t channel, uint32_t outputs) { return outputs > 4 && channel == kLfe; }

// One past the last input with a gain at either end of the ramp; 0 when silent.
uint32_t UsedInputs(uint32_t inputs, uint32_t outputs, const GainMatrix& from, const GainMatrix& to)
{
    uint32_t used = 0;
    for (uint32_t o = 0; o < outputs; ++o)
        for (uint32_t i = used; i < inputs; ++i)
            if (from[o * kMaxChannels + i] != 0.0f || to[o * kMaxChannels + i] != 0.0f)
                used = i + 1;
    return used;
}

}  // namespace

GainMatrix DefaultRouting(uint32_t inputs, uint32_t outputs, MonoRouting mono)
{
    GainMatrix m{};
    if (inputs == 1) {
        const uint32_t last = mono == MonoRouting::Everywhere ? outputs : std::min(outputs, 2u);
        for (uint32_t o = 0; o < last; ++o)
            if (!IsLfe(o, outputs))
                Gain(m, o, 0) = 1.0f;
    } else if (outputs == 1) {
        for (uint32_t i = 0; i < inputs; ++i)
            Gain(m, 0, i) = 1.0f / static_cast<float>(inputs);
    } else {
        for (uint32_t c = 0; c < std::min(inputs, outputs); ++c)
            Gain(m, c, c) = 1.0f;
    }
    return m;
}

void ApplyBalance(float pan, uint32_t outputs, GainMatrix& m)
{
    const float left = pan > 0.0f ? 1.0f - pan : 1.0f;
    const float right = pan < 0.0f ? 1.0f + pan : 1.0f;
    for (uint32_t o = 0; o < outputs; ++o) {
        const Side side = SideOf(o, outputs);
        if (side == Side::Middle)
            continue;
        const float factor = side == Side::Left ? left : right;
        for (uint32_t i = 0; i < kMaxChannels; ++i)
            Gain(m, o, i) *= factor;
    }
}

void Scale(GainMatrix& m, float factor)
{
    for (float& g : m)
        g *= factor;
}

void MixRamped(const float* in, uint32_t inputs, float* out, uint32_t outputs, size_t frames, const GainMatrix& from,
               const GainMatrix& to)
{
    const uint32_t used = UsedInputs(inputs, outputs, from, to);
    if (frames > 0 && used > 0)
        ChosenKernels().mixRamped(in, inputs, out, outputs, frames, from.data(), to.data(), used);
}

}  // namespace ovelaudio
