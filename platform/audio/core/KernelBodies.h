#pragma once
// The bodies of the kernels in Kernels.h, for the two files that compile them
// with their own processor flags; nothing else includes this. Everything here
// has internal linkage and calls no inline function or template from another
// header: the linker keeps one copy of such functions for the whole program,
// and it could be the SSE2 one.

#include "platform/audio/core/Kernels.h"

#include <cstring>

namespace ovelaudio {
namespace {

// Four samples, in one register where the processor has them. Moved in and
// out with memcpy, which holds at any float's address; never passed by value,
// whose convention differs without SSE.
using Lanes = float __attribute__((vector_size(kLanes * sizeof(float))));

inline void Load(Lanes& lanes, const float* at) { std::memcpy(&lanes, at, sizeof lanes); }
inline void Store(float* at, const Lanes& lanes) { std::memcpy(at, &lanes, sizeof lanes); }

constexpr size_t Smaller(size_t a, size_t b) { return a < b ? a : b; }

inline void CopyFrames(float* out, const float* in, size_t samples) { std::memcpy(out, in, samples * sizeof(float)); }

// ---- Mixing through gain matrices ----

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
void MixFixedShape(const float* in, float* out, size_t frames, const float* from, const float* to)
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
    void (*mix)(const float* in, float* out, size_t frames, const float* from, const float* to);
};

// For each shape the narrowest kernel first. An 8-channel mixer on a stereo
// output routes only its front pair there.
const FixedShape kFixedShapes[] = {
    {1, 1, 2, MixFixedShape<1, 1, 2>}, {2, 2, 2, MixFixedShape<2, 2, 2>}, {1, 1, 8, MixFixedShape<1, 1, 8>},
    {2, 2, 8, MixFixedShape<2, 2, 8>}, {8, 2, 2, MixFixedShape<8, 2, 2>}, {8, 8, 2, MixFixedShape<8, 8, 2>},
};

void MixAnyShape(const float* in, uint32_t inputs, float* out, uint32_t outputs, size_t frames, const float* from,
                 const float* to)
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

void MixRamped(const float* in, uint32_t inputs, float* out, uint32_t outputs, size_t frames, const float* from,
               const float* to, uint32_t used)
{
    for (const FixedShape& shape : kFixedShapes) {
        if (shape.inputs == inputs && shape.outputs == outputs && shape.used >= used)
            return shape.mix(in, out, frames, from, to);
    }
    MixAnyShape(in, inputs, out, outputs, frames, from, to);
}

// ---- Rate conversion ----

constexpr int kBlendBits = kFractionBits - kPhaseBits;
constexpr uint32_t kBlendMask = (uint32_t{1} << kBlendBits) - 1;
constexpr float kBlendScale = 1.0f / static_cast<float>(uint32_t{1} << kBlendBits);
// Output frames of one phase the exact-double path filters at once: about
// eight vectors of sums, enough to keep the adds' latency hidden.
constexpr size_t kBlockVectors = 8;
template <uint32_t kChannels>
constexpr size_t kHalfwayFrames = kLanes*(kBlockVectors / kChannels > 0 ? kBlockVectors / kChannels : 1);
static_assert(kHalfwayFrames<1> <= kKernelSpareFrames, "a block reads past its last frame by at most this much");

inline size_t RowLength(const ResampleJob& job) { return job.taps * job.channels; }

// One output frame: the row times the frames from in on, as one long product
// of vectors. Vector v holds channels (4v + lane) % channels, so vectors
// channels apart share a pattern and share a sum.
template <uint32_t kChannels>
void Filter(float* __restrict out, const float* __restrict in, const float* __restrict row, size_t taps,
            uint32_t channels)
{
    const size_t vectors = taps * channels / kLanes;
    Lanes sums[kChannels == 0 ? kMaxChannels : kChannels] = {};
    for (size_t v = 0; v < vectors; v += channels) {
        for (uint32_t a = 0; a < channels; ++a) {
            Lanes coefficients;
            Lanes samples;
            Load(coefficients, row + (v + a) * kLanes);
            Load(samples, in + (v + a) * kLanes);
            sums[a] += coefficients * samples;
        }
    }
    for (uint32_t c = 0; c < channels; ++c)
        out[c] = 0.0f;
    for (uint32_t a = 0; a < channels; ++a)
        for (size_t l = 0; l < kLanes; ++l)
            out[(a * kLanes + l) % channels] += sums[a][l];
}

// Every frame from its own position: the two rows of phases around it, blended.
template <uint32_t kChannels>
void AnyRate(const ResampleJob& job, float* __restrict out, size_t count)
{
    const uint32_t channels = kChannels == 0 ? job.channels : kChannels;
    const size_t rowLength = job.taps * channels;
    const size_t vectors = rowLength / kLanes;
    float* __restrict blended = job.blended;
    uint64_t position = job.position;
    for (size_t n = 0; n < count; ++n, position += job.step, out += channels) {
        const uint32_t fraction = static_cast<uint32_t>(position);
        const float* __restrict low = job.table + (fraction >> kBlendBits) * rowLength;
        const float* __restrict high = low + rowLength;
        const float t = static_cast<float>(fraction & kBlendMask) * kBlendScale;
        for (size_t v = 0; v < vectors; ++v) {
            Lanes from;
            Lanes to;
            Load(from, low + v * kLanes);
            Load(to, high + v * kLanes);
            const Lanes mixed = from + (to - from) * t;
            Store(blended + v * kLanes, mixed);
        }
        Filter<kChannels>(out, job.input + (position >> kFractionBits) * channels, blended, job.taps, channels);
    }
}

// A block of output frames of the half-way phase: frame k from the input at
// frame k. Its row is symmetric, so taps mirrored about the middle share a
// coefficient. Written in vectors of four samples: each tap is one broadcast
// coefficient times plain loads, where the compiler left to itself shuffles scalars.
template <uint32_t kChannels>
void FilterHalfwayBlock(float* __restrict block, const float* __restrict in, const float* __restrict row, size_t taps)
{
    constexpr size_t kVectors = kHalfwayFrames<kChannels> * kChannels / kLanes;
    Lanes sums[kVectors] = {};
    for (size_t j = 0; j < taps / 2; ++j) {
        const float* __restrict tap = in + j * kChannels;
        const float* __restrict mirror = in + (taps - 1 - j) * kChannels;
        const float coefficient = row[j * kChannels];
#pragma GCC unroll 16
        for (size_t v = 0; v < kVectors; ++v) {
            Lanes near;
            Lanes far;
            Load(near, tap + v * kLanes);
            Load(far, mirror + v * kLanes);
            sums[v] += coefficient * (near + far);
        }
    }
    std::memcpy(block, sums, sizeof sums);
}

// Frames of even and odd, one after the other: in vectors as far as they go.
template <uint32_t kChannels>
void Interleave(float* __restrict out, const float* __restrict even, const float* __restrict odd, size_t pairs)
{
    static_assert(kChannels == 1 || kChannels == 2, "a vector holds whole frames");
    constexpr size_t kPairsAtOnce = kLanes / kChannels;
    size_t k = 0;
    for (; k + kPairsAtOnce <= pairs; k += kPairsAtOnce) {
        Lanes evens;
        Lanes odds;
        Load(evens, even + k * kChannels);
        Load(odds, odd + k * kChannels);
        Lanes first;
        Lanes second;
        if constexpr (kChannels == 1) {
            first = __builtin_shufflevector(evens, odds, 0, 4, 1, 5);
            second = __builtin_shufflevector(evens, odds, 2, 6, 3, 7);
        } else {
            first = __builtin_shufflevector(evens, odds, 0, 1, 4, 5);
            second = __builtin_shufflevector(evens, odds, 2, 3, 6, 7);
        }
        Store(out + 2 * k * kChannels, first);
        Store(out + 2 * k * kChannels + kLanes, second);
    }
    for (; k < pairs; ++k) {
        CopyFrames(out + 2 * k * kChannels, even + k * kChannels, kChannels);
        CopyFrames(out + (2 * k + 1) * kChannels, odd + k * kChannels, kChannels);
    }
}

// Half-rate recordings on a full-rate output: output frames alternate
// between the source's frames, which the unit impulse of phase 0 passes as
// they are, and the half-way phase, filtered a block of frames at a time.
// The last block may reach past the buffered frames, into the buffer's
// spare end: the frames it makes from there are not written out.
template <uint32_t kChannels>
void DoubleRate(const ResampleJob& job, float* __restrict out, size_t count)
{
    constexpr size_t kFrames = kHalfwayFrames<kChannels>;
    const size_t framesBefore = job.taps / 2 - 1;
    const float* __restrict in = job.input + (job.position >> kFractionBits) * kChannels;
    const float* __restrict halfway = job.table + (kPhases / 2) * RowLength(job);
    size_t n = 0;
    // Starting half-way: that frame alone, then pairs from the next source frame on.
    if (count > 0 && static_cast<uint32_t>(job.position) != 0) {
        Filter<kChannels>(out, in, halfway, job.taps, kChannels);
        n = 1;
        in += kChannels;
    }
    float block[kFrames * kChannels];
    for (; n < count; in += kFrames * kChannels) {
        FilterHalfwayBlock<kChannels>(block, in, halfway, job.taps);
        const float* __restrict source = in + framesBefore * kChannels;
        const size_t pairs = Smaller(kFrames, (count - n) / 2);
        Interleave<kChannels>(out + n * kChannels, source, block, pairs);
        n += 2 * pairs;
        if (pairs < kFrames && n < count)
            CopyFrames(out + n++ * kChannels, source + pairs * kChannels, kChannels);
    }
}

// A fixed channel count lets the compiler unroll the frame.
void Resample(const ResampleJob& job, float* out, size_t count)
{
    switch (job.channels) {
        case 1:
            return job.doubleRate ? DoubleRate<1>(job, out, count) : AnyRate<1>(job, out, count);
        case 2:
            return job.doubleRate ? DoubleRate<2>(job, out, count) : AnyRate<2>(job, out, count);
        default:
            return AnyRate<0>(job, out, count);
    }
}

}  // namespace
}  // namespace ovelaudio
