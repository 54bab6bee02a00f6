#include "platform/audio/core/Mixing.h"

#include <algorithm>
#include <iterator>

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

// The gain of the pair at frame f (counted from 0) of a ramp over frames.
inline float RampGain(float g0, float step, size_t f) { return g0 + step * static_cast<float>(f + 1); }

// Frames a kernel step takes: with its loops unrolled, the step's sums fill
// whole vector registers, and the block vectoriser (on at -O2) packs them.
constexpr size_t kChunkFrames = 4;

template <uint32_t kInputs, uint32_t kOutputs>
using ShapeGains = float[kOutputs][kInputs];

// kFrames frames from frame `first` of the ramp. Each output sample is its
// used inputs' sum in input order; a frame of input is kStride samples.
template <uint32_t kStride, uint32_t kUsed, uint32_t kOutputs, bool kRamp, size_t kFrames>
inline void MixChunk(const float* __restrict in, float* __restrict out, size_t first,
                     const ShapeGains<kUsed, kOutputs>& g0, const ShapeGains<kUsed, kOutputs>& step)
{
#pragma GCC unroll 64
    for (size_t k = 0; k < kFrames * kOutputs; ++k) {
        const size_t frame = k / kOutputs;
        const size_t o = k % kOutputs;
        float sum = out[k];
#pragma GCC unroll 8
        for (uint32_t i = 0; i < kUsed; ++i)
            sum += in[frame * kStride + i] * (kRamp ? RampGain(g0[o][i], step[o][i], first + frame) : g0[o][i]);
        out[k] = sum;
    }
}

// The caller's buffers never overlap; saying so lets the compiler vectorise.
template <uint32_t kStride, uint32_t kUsed, uint32_t kOutputs, bool kRamp>
void MixFrames(const float* __restrict in, float* __restrict out, size_t frames, const ShapeGains<kUsed, kOutputs>& g0,
               const ShapeGains<kUsed, kOutputs>& step)
{
    size_t f = 0;
    for (; f + kChunkFrames <= frames; f += kChunkFrames)
        MixChunk<kStride, kUsed, kOutputs, kRamp, kChunkFrames>(in + f * kStride, out + f * kOutputs, f, g0, step);
    for (; f < frames; ++f)
        MixChunk<kStride, kUsed, kOutputs, kRamp, 1>(in + f * kStride, out + f * kOutputs, f, g0, step);
}

// The shapes the mixing thread meets most, with the whole matrix at hand: the
// same sums in the same order as MixAnyShape. Inputs from kUsed on have no
// gain, so their terms are left out.
template <uint32_t kStride, uint32_t kUsed, uint32_t kOutputs>
void MixFixedShape(const float* in, float* out, size_t frames, const GainMatrix& from, const GainMatrix& to)
{
    const float perFrame = 1.0f / static_cast<float>(frames);
    ShapeGains<kUsed, kOutputs> g0;
    ShapeGains<kUsed, kOutputs> step;
    bool ramp = false;
    for (uint32_t o = 0; o < kOutputs; ++o) {
        for (uint32_t i = 0; i < kUsed; ++i) {
            g0[o][i] = from[o * kMaxChannels + i];
            step[o][i] = (to[o * kMaxChannels + i] - g0[o][i]) * perFrame;
            ramp = ramp || step[o][i] != 0.0f;
        }
    }
    if (ramp) {
        MixFrames<kStride, kUsed, kOutputs, true>(in, out, frames, g0, step);
    } else {
        MixFrames<kStride, kUsed, kOutputs, false>(in, out, frames, g0, step);
    }
}

struct FixedShape {
    uint32_t inputs;
    uint32_t used;  // inputs from this one on have no gain
    uint32_t outputs;
    void (*mix)(const float* in, float* out, size_t frames, const GainMatrix& from, const GainMatrix& to);
};

// For each shape the narrowest kernel first. An 8-channel mixer on a stereo
// output routes only its front pair there.
const FixedShape kFixedShapes[] = {
    {1, 1, 2, MixFixedShape<1, 1, 2>}, {2, 2, 2, MixFixedShape<2, 2, 2>}, {1, 1, 8, MixFixedShape<1, 1, 8>},
    {2, 2, 8, MixFixedShape<2, 2, 8>}, {8, 2, 2, MixFixedShape<8, 2, 2>}, {8, 8, 2, MixFixedShape<8, 8, 2>},
};

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

void MixAnyShape(const float* in, uint32_t inputs, float* out, uint32_t outputs, size_t frames, const GainMatrix& from,
                 const GainMatrix& to)
{
    const float perFrame = 1.0f / static_cast<float>(frames);
    for (uint32_t o = 0; o < outputs; ++o) {
        for (uint32_t i = 0; i < inputs; ++i) {
            const float g0 = from[o * kMaxChannels + i];
            const float g1 = to[o * kMaxChannels + i];
            if (g0 == 0.0f && g1 == 0.0f)
                continue;
            const float step = (g1 - g0) * perFrame;
            const float* src = in + i;
            float* dst = out + o;
            for (size_t f = 0; f < frames; ++f)
                dst[f * outputs] += src[f * inputs] * RampGain(g0, step, f);
        }
    }
}

void MixRamped(const float* in, uint32_t inputs, float* out, uint32_t outputs, size_t frames, const GainMatrix& from,
               const GainMatrix& to)
{
    const uint32_t used = UsedInputs(inputs, outputs, from, to);
    if (frames == 0 || used == 0)
        return;
    const auto fixed = std::find_if(std::begin(kFixedShapes), std::end(kFixedShapes), [&](const FixedShape& shape) {
        return shape.inputs == inputs && shape.outputs == outputs && shape.used >= used;
    });
    if (fixed != std::end(kFixedShapes))
        return fixed->mix(in, out, frames, from, to);
    MixAnyShape(in, inputs, out, outputs, frames, from, to);
}

}  // namespace ovelaudio
