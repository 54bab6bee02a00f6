#pragma once
// Linear-interpolating rate converter; buffers are sized once in Configure.
// Equal rates pass the source's frames straight through.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace ovelaudio {

class Resampler {
public:
    void Configure(uint32_t channels, uint32_t fromRate, uint32_t toRate, size_t chunkFrames);
    void Reset();

    // Writes up to frames output frames; pull(float* out, size_t frames) gives
    // source frames and answers how many (0 at the end). Fewer than frames: ended.
    template <typename Pull>
    size_t Render(float* out, size_t frames, Pull&& pull) {
        if (fromRate_ == toRate_) return pull(out, frames);
        size_t done = 0;
        while (done < frames) {
            done += Interpolate(out + done * channels_, frames - done);
            if (done < frames && !Refill(pull)) break;
        }
        return done;
    }

private:
    // Between calls the position counts ticks of 1 / toRate source frames:
    // whole numbers, so it never drifts however long the sound plays. Within a
    // call it steps in 32.32 fixed point, rounded down so that it never runs
    // ahead of the exact position: 2^-32 of a frame behind at most per step.
    static constexpr int kFractionBits = 32;
    static constexpr float kFractionScale = 1.0f / static_cast<float>(uint64_t{1} << kFractionBits);
    static constexpr float kHalf = 0.5f;
    static constexpr size_t kPairsPerStep = 4;  // source frames, each with its half-way frame, a step of DoubleRate

    uint64_t Ticks(size_t frames) const { return static_cast<uint64_t>(frames) * toRate_; }
    size_t Frame(uint64_t ticks) const { return static_cast<size_t>(ticks / toRate_); }
    uint64_t FixedPoint(uint64_t ticks) const {
        return (static_cast<uint64_t>(Frame(ticks)) << kFractionBits) + ((ticks % toRate_) << kFractionBits) / toRate_;
    }

    // How many of frames the buffered input covers: each needs the frame at its position and the next.
    size_t Covered(size_t frames) const {
        if (buffered_ < 2) return 0;
        const uint64_t end = Ticks(buffered_ - 1);
        if (position_ >= end) return 0;
        return static_cast<size_t>(std::min<uint64_t>(frames, (end - position_ + fromRate_ - 1) / fromRate_));
    }

    // Output frames from what is buffered, until the next one needs more input.
    size_t Interpolate(float* out, size_t frames) {
        switch (channels_) {
        case 1: return InterpolateFrames<1>(out, frames);
        case 2: return InterpolateFrames<2>(out, frames);
        default: return InterpolateFrames<0>(out, frames);
        }
    }

    // kChannels 0: any count. A fixed count lets the compiler unroll the frame.
    template <uint32_t kChannels>
    size_t InterpolateFrames(float* out, size_t frames) {
        const size_t count = Covered(frames);
        const uint64_t position = FixedPoint(position_);
        if (toRate_ == 2 * fromRate_ && kChannels != 0) {
            DoubleRate<kChannels>(out, count, position);
        } else {
            AnyRate<kChannels>(out, count, position);
        }
        position_ += static_cast<uint64_t>(count) * fromRate_;
        return count;
    }

    // Every frame from its own position: independent of the one before it.
    template <uint32_t kChannels>
    void AnyRate(float* __restrict out, size_t count, uint64_t position) const {
        const uint32_t channels = kChannels == 0 ? channels_ : kChannels;
        const float* __restrict input = input_.data();
        for (size_t n = 0; n < count; ++n, position += fixedStep_, out += channels) {
            const float t = static_cast<float>(static_cast<uint32_t>(position)) * kFractionScale;
            Lerp<kChannels>(out, input + (position >> kFractionBits) * channels, t);
        }
    }

    // Half-rate recordings on a full-rate output: every other output frame is
    // a source frame, the ones between are half-way; the same sums as AnyRate,
    // with no position to keep, so the compiler vectorises the pairs.
    template <uint32_t kChannels>
    void DoubleRate(float* __restrict out, size_t count, uint64_t position) const {
        const float* __restrict a = input_.data() + (position >> kFractionBits) * kChannels;
        size_t n = 0;
        if (static_cast<uint32_t>(position) != 0 && count > 0) {
            Lerp<kChannels>(out, a, kHalf);
            a += kChannels;
            ++n;
        }
        for (; n + 2 * kPairsPerStep <= count; n += 2 * kPairsPerStep, a += kPairsPerStep * kChannels)
            SourceAndHalfWay<kChannels, kPairsPerStep>(out + n * kChannels, a);
        for (; n + 2 <= count; n += 2, a += kChannels) SourceAndHalfWay<kChannels, 1>(out + n * kChannels, a);
        if (n < count) Lerp<kChannels>(out + n * kChannels, a, 0.0f);
    }

    template <uint32_t kChannels, size_t kPairs>
    static void SourceAndHalfWay(float* __restrict out, const float* __restrict a) {
#pragma GCC unroll 16
        for (size_t k = 0; k < 2 * kPairs * kChannels; ++k) {
            const size_t frame = k / (2 * kChannels);
            const size_t c = frame * kChannels + k % kChannels;
            const float t = (k / kChannels) % 2 == 0 ? 0.0f : kHalf;
            out[k] = a[c] + (a[c + kChannels] - a[c]) * t;
        }
    }

    template <uint32_t kChannels>
    void Lerp(float* __restrict out, const float* __restrict a, float t) const {
        const uint32_t channels = kChannels == 0 ? channels_ : kChannels;
        for (uint32_t c = 0; c < channels; ++c) out[c] = a[c] + (a[c + channels] - a[c]) * t;
    }

    // Keeps the frames still needed at the front and reads more behind them.
    template <typename Pull>
    bool Refill(Pull& pull) {
        const size_t first = Frame(position_);
        const size_t keep = first < buffered_ ? buffered_ - first : 0;
        const size_t drop = buffered_ - keep;
        std::memmove(input_.data(), input_.data() + drop * channels_, keep * channels_ * sizeof(float));
        position_ -= Ticks(drop);
        buffered_ = keep;
        const size_t got = pull(input_.data() + keep * channels_, capacity_ - keep);
        buffered_ += got;
        return got > 0;
    }

    uint32_t channels_ = 1;
    uint32_t fromRate_ = 1;
    uint32_t toRate_ = 1;
    uint64_t fixedStep_ = 0;  // fromRate / toRate in 32.32, rounded down
    uint64_t position_ = 0;   // ticks
    size_t capacity_ = 0;
    size_t buffered_ = 0;
    std::vector<float> input_;
};

}  // namespace ovelaudio
