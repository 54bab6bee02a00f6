#include "platform/audio/core/Mixing.h"

#include <algorithm>
#include <iterator>

namespace ovelaudio {
namespace {

constexpr uint32_t kLfe = 3;

enum class Side { Left, Right, Middle };

// Stereo and quad put front and rear pairs at 0-1 and 2-3; 5.1 and 7.1 add centre and LFE at 2-3.
Side SideOf(uint32_t channel, uint32_t outputs) {
    if (outputs == 1) return Side::Middle;
    if (outputs <= 4) return channel % 2 == 0 ? Side::Left : Side::Right;
    if (channel == 2 || channel == kLfe) return Side::Middle;
    return channel % 2 == 0 ? Side::Left : Side::Right;
}

bool IsLfe(uint32_t channel, uint32_t outputs) { return outputs > 4 && channel == kLfe; }

// The gain of the pair at frame f (counted from 0) of a ramp over frames.
inline float RampGain(float g0, float step, size_t f) { return g0 + step * static_cast<float>(f + 1); }

// Any number of inputs and outputs: one strided pass per pair in use.
void MixAnyShape(const float* in, uint32_t inputs, float* out, uint32_t outputs, size_t frames, const GainMatrix& from,
                 const GainMatrix& to) {
    const float perFrame = 1.0f / static_cast<float>(frames);
    for (uint32_t o = 0; o < outputs; ++o) {
        for (uint32_t i = 0; i < inputs; ++i) {
            const float g0 = from[o * kMaxChannels + i];
            const float g1 = to[o * kMaxChannels + i];
            if (g0 == 0.0f && g1 == 0.0f) continue;
            const float step = (g1 - g0) * perFrame;
            const float* src = in + i;
            float* dst = out + o;
            for (size_t f = 0; f < frames; ++f) dst[f * outputs] += src[f * inputs] * RampGain(g0, step, f);
        }
    }
}

template <uint32_t kInputs, uint32_t kOutputs>
using ShapeGains = float[kOutputs][kInputs];

// The caller's buffers never overlap; saying so lets the compiler vectorise.
template <uint32_t kInputs, uint32_t kOutputs, bool kRamp>
void MixFrames(const float* __restrict in, float* __restrict out, size_t frames, const ShapeGains<kInputs, kOutputs>& g0,
               const ShapeGains<kInputs, kOutputs>& step) {
    for (size_t f = 0; f < frames; ++f, in += kInputs, out += kOutputs) {
        for (uint32_t o = 0; o < kOutputs; ++o) {
            float sum = out[o];
            for (uint32_t i = 0; i < kInputs; ++i) sum += in[i] * (kRamp ? RampGain(g0[o][i], step[o][i], f) : g0[o][i]);
            out[o] = sum;
        }
    }
}

// The shapes the mixing thread meets most, frame by frame with the whole
// matrix at hand: the same sums in the same order as MixAnyShape.
template <uint32_t kInputs, uint32_t kOutputs>
void MixFixedShape(const float* in, float* out, size_t frames, const GainMatrix& from, const GainMatrix& to) {
    const float perFrame = 1.0f / static_cast<float>(frames);
    ShapeGains<kInputs, kOutputs> g0;
    ShapeGains<kInputs, kOutputs> step;
    bool ramp = false;
    for (uint32_t o = 0; o < kOutputs; ++o) {
        for (uint32_t i = 0; i < kInputs; ++i) {
            g0[o][i] = from[o * kMaxChannels + i];
            step[o][i] = (to[o * kMaxChannels + i] - g0[o][i]) * perFrame;
            ramp = ramp || step[o][i] != 0.0f;
        }
    }
    if (ramp) {
        MixFrames<kInputs, kOutputs, true>(in, out, frames, g0, step);
    } else {
        MixFrames<kInputs, kOutputs, false>(in, out, frames, g0, step);
    }
}

struct FixedShape {
    uint32_t inputs;
    uint32_t outputs;
    void (*mix)(const float* in, float* out, size_t frames, const GainMatrix& from, const GainMatrix& to);
};

const FixedShape kFixedShapes[] = {
    {1, 2, MixFixedShape<1, 2>}, {2, 2, MixFixedShape<2, 2>}, {1, 8, MixFixedShape<1, 8>},
    {2, 8, MixFixedShape<2, 8>}, {8, 2, MixFixedShape<8, 2>},
};

}  // namespace

GainMatrix DefaultRouting(uint32_t inputs, uint32_t outputs, MonoRouting mono) {
    GainMatrix m{};
    if (inputs == 1) {
        const uint32_t last = mono == MonoRouting::Everywhere ? outputs : std::min(outputs, 2u);
        for (uint32_t o = 0; o < last; ++o)
            if (!IsLfe(o, outputs)) Gain(m, o, 0) = 1.0f;
    } else if (outputs == 1) {
        for (uint32_t i = 0; i < inputs; ++i) Gain(m, 0, i) = 1.0f / static_cast<float>(inputs);
    } else {
        for (uint32_t c = 0; c < std::min(inputs, outputs); ++c) Gain(m, c, c) = 1.0f;
    }
    return m;
}

void ApplyBalance(float pan, uint32_t outputs, GainMatrix& m) {
    const float left = pan > 0.0f ? 1.0f - pan : 1.0f;
    const float right = pan < 0.0f ? 1.0f + pan : 1.0f;
    for (uint32_t o = 0; o < outputs; ++o) {
        const Side side = SideOf(o, outputs);
        if (side == Side::Middle) continue;
        const float factor = side == Side::Left ? left : right;
        for (uint32_t i = 0; i < kMaxChannels; ++i) Gain(m, o, i) *= factor;
    }
}

void Scale(GainMatrix& m, float factor) {
    for (float& g : m) g *= factor;
}

void MixRamped(const float* in, uint32_t inputs, float* out, uint32_t outputs, size_t frames, const GainMatrix& from,
               const GainMatrix& to) {
    if (frames == 0) return;
    const auto fixed = std::find_if(std::begin(kFixedShapes), std::end(kFixedShapes), [&](const FixedShape& shape) {
        return shape.inputs == inputs && shape.outputs == outputs;
    });
    if (fixed != std::end(kFixedShapes)) return fixed->mix(in, out, frames, from, to);
    MixAnyShape(in, inputs, out, outputs, frames, from, to);
}

}  // namespace ovelaudio
