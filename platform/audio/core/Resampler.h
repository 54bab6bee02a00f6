#pragma once
// Linear-interpolating rate converter; buffers are sized once in Configure.

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
        if (step_ == 1.0) return pull(out, frames);
        size_t done = 0;
        while (done < frames) {
            done += Interpolate(out + done * channels_, frames - done);
            if (done < frames && !Refill(static_cast<size_t>(position_), pull)) break;
        }
        return done;
    }

private:
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
        const uint32_t channels = kChannels == 0 ? channels_ : kChannels;
        const float* input = input_.data();
        double position = position_;
        size_t done = 0;
        for (; done < frames; ++done, position += step_) {
            const size_t i0 = static_cast<size_t>(position);
            if (i0 + 1 >= buffered_) break;
            const float t = static_cast<float>(position - static_cast<double>(i0));
            const float* a = input + i0 * channels;
            const float* b = a + channels;
            for (uint32_t c = 0; c < channels; ++c) out[done * channels + c] = a[c] + (b[c] - a[c]) * t;
        }
        position_ = position;
        return done;
    }

    // Keeps the frames still needed at the front and reads more behind them.
    template <typename Pull>
    bool Refill(size_t i0, Pull& pull) {
        const size_t keep = i0 < buffered_ ? buffered_ - i0 : 0;
        const size_t drop = buffered_ - keep;
        std::memmove(input_.data(), input_.data() + drop * channels_, keep * channels_ * sizeof(float));
        position_ -= static_cast<double>(drop);
        buffered_ = keep;
        const size_t got = pull(input_.data() + keep * channels_, capacity_ - keep);
        buffered_ += got;
        return got > 0;
    }

    uint32_t channels_ = 1;
    double step_ = 1.0;
    double position_ = 0.0;
    size_t capacity_ = 0;
    size_t buffered_ = 0;
    std::vector<float> input_;
};

}  // namespace ovelaudio
