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
            const size_t i0 = static_cast<size_t>(position_);
            if (i0 + 1 >= buffered_) {
                if (!Refill(i0, pull)) break;
                continue;
            }
            const float t = static_cast<float>(position_ - static_cast<double>(i0));
            const float* a = input_.data() + i0 * channels_;
            const float* b = a + channels_;
            for (uint32_t c = 0; c < channels_; ++c) out[done * channels_ + c] = a[c] + (b[c] - a[c]) * t;
            position_ += step_;
            ++done;
        }
        return done;
    }

private:
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
