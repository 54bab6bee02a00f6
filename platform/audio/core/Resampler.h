#pragma once
// Windowed-sinc rate converter: a table of the filter's phases and the buffers
// are made once in Configure. Equal rates pass the source's frames straight through.

#include "platform/audio/core/Limits.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace ovelaudio {

class Resampler {
    // Four samples, in one register where the target has them; at any float's
    // address and over any float array. Read and written in place through
    // references, never passed by value, whose convention differs without SSE.
    using Lanes = float __attribute__((vector_size(16), aligned(alignof(float)), may_alias));

public:
    void Configure(uint32_t channels, uint32_t fromRate, uint32_t toRate, size_t chunkFrames);
    void Reset();

    // Writes up to frames output frames; pull(float* out, size_t frames) gives
    // source frames and answers how many (0 at the end). Fewer than frames: ended.
    template <typename Pull>
    size_t Render(float* out, size_t frames, Pull&& pull)
    {
        if (fromRate_ == toRate_)
            return pull(out, frames);
        size_t done = 0;
        while (done < frames) {
            done += Interpolate(out + done * channels_, frames - done);
            if (done < frames && !Refill(pull))
                break;
        }
        return done;
    }

private:
    // Between calls the position counts ticks of 1 / toRate source frames:
    // whole numbers, so it never drifts however long the sound plays. Within a
    // call it steps in 32.32 fixed point, rounded down so that it never runs
    // ahead of the exact position: 2^-32 of a frame behind at most per step.
    // The position is that of the filter's first tap; the output frame sits
    // taps_ / 2 - 1 frames later, and the buffer starts with as many silent
    // frames, so that the first output frame is the source's first.
    static constexpr int kFractionBits = 32;
    // Phases between two source frames; a position between two phases blends their rows.
    static constexpr int kPhaseBits = 7;
    static constexpr uint32_t kPhases = uint32_t{1} << kPhaseBits;
    static constexpr int kBlendBits = kFractionBits - kPhaseBits;
    static constexpr uint32_t kBlendMask = (uint32_t{1} << kBlendBits) - 1;
    static constexpr float kBlendScale = 1.0f / static_cast<float>(uint32_t{1} << kBlendBits);
    static constexpr size_t kLanes = sizeof(Lanes) / sizeof(float);  // taps come in whole lanes
    // Output frames of one phase the exact-double path filters at once: about
    // eight vectors of sums, enough to keep the adds' latency hidden.
    static constexpr size_t kBlockVectors = 8;
    template <uint32_t kChannels>
    static constexpr size_t kBlockFrames = kLanes* std::max<size_t>(1, kBlockVectors / kChannels);
    static constexpr size_t kSpareFrames = kBlockFrames<1>;  // the most a block reads past the last frame it needs

    uint64_t Ticks(size_t frames) const { return static_cast<uint64_t>(frames) * toRate_; }
    size_t Frame(uint64_t ticks) const { return static_cast<size_t>(ticks / toRate_); }
    uint64_t FixedPoint(uint64_t ticks) const
    {
        return (static_cast<uint64_t>(Frame(ticks)) << kFractionBits) + ((ticks % toRate_) << kFractionBits) / toRate_;
    }
    size_t FramesBefore() const { return taps_ / 2 - 1; }
    // A row holds each tap's coefficient once per channel, to line up with the interleaved frames.
    size_t RowLength() const { return taps_ * channels_; }
    const float* Row(uint32_t phase) const { return table_.data() + phase * RowLength(); }

    // How many of frames the buffered input covers: each needs taps_ frames from its position on.
    size_t Covered(size_t frames) const
    {
        if (buffered_ < taps_)
            return 0;
        const uint64_t end = Ticks(buffered_ - taps_ + 1);
        if (position_ >= end)
            return 0;
        return static_cast<size_t>(std::min<uint64_t>(frames, (end - position_ + fromRate_ - 1) / fromRate_));
    }

    // Output frames from what is buffered, until the next one needs more input.
    size_t Interpolate(float* out, size_t frames)
    {
        switch (channels_) {
            case 1:
                return InterpolateFrames<1>(out, frames);
            case 2:
                return InterpolateFrames<2>(out, frames);
            default:
                return InterpolateFrames<0>(out, frames);
        }
    }

    // kChannels 0: any count. A fixed count lets the compiler unroll the frame.
    template <uint32_t kChannels>
    size_t InterpolateFrames(float* out, size_t frames)
    {
        const size_t count = Covered(frames);
        const uint64_t position = FixedPoint(position_);
        if constexpr (kChannels != 0) {
            if (toRate_ == 2 * fromRate_) {
                DoubleRate<kChannels>(out, count, position);
            } else {
                AnyRate<kChannels>(out, count, position);
            }
        } else {
            AnyRate<kChannels>(out, count, position);
        }
        position_ += static_cast<uint64_t>(count) * fromRate_;
        return count;
    }

    // Every frame from its own position: the two rows of phases around it, blended.
    template <uint32_t kChannels>
    void AnyRate(float* __restrict out, size_t count, uint64_t position)
    {
        const uint32_t channels = kChannels == 0 ? channels_ : kChannels;
        const size_t vectors = RowLength() / kLanes;
        const float* __restrict input = input_.data();
        float* __restrict blended = blended_.data();
        for (size_t n = 0; n < count; ++n, position += fixedStep_, out += channels) {
            const uint32_t fraction = static_cast<uint32_t>(position);
            const float* __restrict low = Row(fraction >> kBlendBits);
            const float* __restrict high = low + RowLength();
            const float t = static_cast<float>(fraction & kBlendMask) * kBlendScale;
            for (size_t v = 0; v < vectors; ++v) {
                const Lanes from = LanesAt(low + v * kLanes);
                LanesAt(blended + v * kLanes) = from + (LanesAt(high + v * kLanes) - from) * t;
            }
            Filter<kChannels>(out, input + (position >> kFractionBits) * channels, blended);
        }
    }

    // Half-rate recordings on a full-rate output: output frames alternate
    // between the source's frames, which the unit impulse of phase 0 passes as
    // they are, and the half-way phase, filtered a block of frames at a time.
    // The last block may reach past the buffered frames, into the buffer's
    // spare end: the frames it makes from there are not written out.
    template <uint32_t kChannels>
    void DoubleRate(float* __restrict out, size_t count, uint64_t position) const
    {
        constexpr size_t kFrames = kBlockFrames<kChannels>;
        const float* __restrict in = input_.data() + (position >> kFractionBits) * kChannels;
        const float* __restrict halfway = Row(kPhases / 2);
        float block[kFrames * kChannels];
        bool halfwayFirst = static_cast<uint32_t>(position) != 0;
        for (size_t n = 0; n < count; in += kFrames * kChannels) {
            FilterHalfwayBlock<kChannels>(block, in, halfway);
            const float* __restrict source = in + FramesBefore() * kChannels;
            size_t k = 0;  // frame of the block
            if (halfwayFirst) {
                std::copy_n(block, kChannels, out + n++ * kChannels);
                k = 1;
                halfwayFirst = false;
            }
            const size_t pairs = std::min(kFrames - k, (count - n) / 2);
            Interleave<kChannels>(out + n * kChannels, source + k * kChannels, block + k * kChannels, pairs);
            n += 2 * pairs;
            k += pairs;
            if (k < kFrames && n < count)
                std::copy_n(source + k * kChannels, kChannels, out + n++ * kChannels);
        }
    }

    // A block of output frames of the half-way phase: frame k from the input at
    // frame k. Its row is symmetric, so taps mirrored about the middle share a
    // coefficient. Written in vectors of four samples: each tap is one broadcast
    // coefficient times plain loads, where the compiler left to itself shuffles scalars.
    template <uint32_t kChannels>
    void FilterHalfwayBlock(float* __restrict block, const float* __restrict in, const float* __restrict row) const
    {
        constexpr size_t kVectors = kBlockFrames<kChannels> * kChannels / kLanes;
        Lanes sums[kVectors] = {};
        for (size_t j = 0; j < taps_ / 2; ++j) {
            const float* __restrict tap = in + j * kChannels;
            const float* __restrict mirror = in + (taps_ - 1 - j) * kChannels;
#pragma GCC unroll 16
            for (size_t v = 0; v < kVectors; ++v)
                sums[v] += row[j * kChannels] * (LanesAt(tap + v * kLanes) + LanesAt(mirror + v * kLanes));
        }
        std::memcpy(block, sums, sizeof sums);
    }

    static const Lanes& LanesAt(const float* at) { return *reinterpret_cast<const Lanes*>(at); }
    static Lanes& LanesAt(float* at) { return *reinterpret_cast<Lanes*>(at); }

    template <uint32_t kChannels>
    static void Interleave(float* __restrict out, const float* __restrict even, const float* __restrict odd,
                           size_t pairs)
    {
        for (size_t k = 0; k < pairs; ++k) {
            std::copy_n(even + k * kChannels, kChannels, out + 2 * k * kChannels);
            std::copy_n(odd + k * kChannels, kChannels, out + (2 * k + 1) * kChannels);
        }
    }

    // One output frame: the row times the frames from in on, as one long
    // product of vectors. Vector v holds channels (4v + lane) % channels, so
    // vectors channels apart share a pattern and share a sum.
    template <uint32_t kChannels>
    void Filter(float* __restrict out, const float* __restrict in, const float* __restrict row) const
    {
        const uint32_t channels = kChannels == 0 ? channels_ : kChannels;
        const size_t vectors = taps_ * channels / kLanes;
        Lanes sums[kChannels == 0 ? kMaxChannels : kChannels] = {};
        for (size_t v = 0; v < vectors; v += channels)
            for (uint32_t a = 0; a < channels; ++a)
                sums[a] += LanesAt(row + (v + a) * kLanes) * LanesAt(in + (v + a) * kLanes);
        std::fill_n(out, channels, 0.0f);
        for (uint32_t a = 0; a < channels; ++a)
            for (size_t l = 0; l < kLanes; ++l)
                out[(a * kLanes + l) % channels] += sums[a][l];
    }

    // Keeps the frames still needed at the front and reads more behind them;
    // at the end, silence behind the last frame lets the filter reach it (a
    // stalled download looks the same, and its gap is silent anyway).
    template <typename Pull>
    bool Refill(Pull& pull)
    {
        const size_t first = Frame(position_);
        const size_t keep = first < buffered_ ? buffered_ - first : 0;
        const size_t drop = buffered_ - keep;
        std::memmove(input_.data(), input_.data() + drop * channels_, keep * channels_ * sizeof(float));
        position_ -= Ticks(drop);
        buffered_ = keep;
        const size_t got = pull(input_.data() + keep * channels_, capacity_ - keep);
        buffered_ += got;
        if (got > 0)
            return true;
        if (flushed_)
            return false;
        AppendSilence(FramesBefore());
        flushed_ = true;
        return true;
    }

    void AppendSilence(size_t frames);
    void MakeTable();

    uint32_t channels_ = 1;
    uint32_t fromRate_ = 1;
    uint32_t toRate_ = 1;
    uint64_t fixedStep_ = 0;  // fromRate / toRate in 32.32, rounded down
    uint64_t position_ = 0;   // ticks
    size_t taps_ = 0;
    size_t capacity_ = 0;
    size_t buffered_ = 0;
    bool flushed_ = false;      // the silence after the end is in
    std::vector<float> table_;  // kPhases + 1 rows: phase p filters at p / kPhases of a frame
    std::vector<float> blended_;
    std::vector<float> input_;
};

}  // namespace ovelaudio
