#pragma once
// Windowed-sinc rate converter: a table of the filter's phases and the buffers
// are made once in Configure. Equal rates pass the source's frames straight
// through. The filtering itself is a kernel of Kernels.h.

#include "platform/audio/core/Kernels.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace ovelaudio {

class Resampler {
public:
    void Configure(uint32_t channels, uint32_t fromRate, uint32_t toRate, size_t chunkFrames,
                   const KernelSet& kernels = ChosenKernels());
    void Reset();

    // Writes up to frames output frames; pull(float* out, size_t frames) gives
    // source frames and answers how many (0 at the end). It is asked for no
    // more than these frames need, so what it gives is heard next. Fewer than
    // frames: ended, the last source frame having been held for its duration.
    template <typename Pull>
    size_t Render(float* out, size_t frames, Pull&& pull)
    {
        if (fromRate_ == toRate_)
            return pull(out, frames);
        size_t done = 0;
        while (done < frames) {
            done += Interpolate(out + done * channels_, frames - done);
            if (done < frames && !Refill(pull, frames - done))
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
    uint64_t Ticks(size_t frames) const { return static_cast<uint64_t>(frames) * toRate_; }
    size_t Frame(uint64_t ticks) const { return static_cast<size_t>(ticks / toRate_); }
    size_t FramesBefore() const { return taps_ / 2 - 1; }
    // A row holds each tap's coefficient once per channel, to line up with the interleaved frames.
    size_t RowLength() const { return taps_ * channels_; }

    // Output frames from what is buffered, until the next one needs more input.
    size_t Interpolate(float* out, size_t frames);

    // Keeps the frames still needed at the front and reads behind them what
    // the next `wanted` output frames reach; at the end, silence behind the
    // last frame lets the filter reach it and the frame's own duration (a
    // stalled download looks the same, and its gap is silent anyway).
    template <typename Pull>
    bool Refill(Pull& pull, size_t wanted)
    {
        const size_t first = Frame(position_);
        const size_t keep = first < buffered_ ? buffered_ - first : 0;
        const size_t drop = buffered_ - keep;
        std::memmove(input_.data(), input_.data() + drop * channels_, keep * channels_ * sizeof(float));
        position_ -= Ticks(drop);
        buffered_ = keep;
        // The last wanted frame's first tap, and the taps behind it; more than is kept, or it would be covered.
        const size_t reach = Frame(position_ + static_cast<uint64_t>(wanted - 1) * fromRate_) + taps_;
        const size_t got = pull(input_.data() + keep * channels_, std::min(reach, capacity_) - keep);
        buffered_ += got;
        if (got > 0)
            return true;
        if (flushed_)
            return false;
        AppendSilence(taps_ / 2);
        flushed_ = true;
        return true;
    }

    void AppendSilence(size_t frames);
    void MakeTable();

    const KernelSet* kernels_ = &kPortableKernels;
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
