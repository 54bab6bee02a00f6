#include "platform/audio/core/Resampler.h"

namespace ovelaudio {

void Resampler::Configure(uint32_t channels, uint32_t fromRate, uint32_t toRate, size_t chunkFrames) {
    channels_ = channels;
    step_ = static_cast<double>(fromRate) / static_cast<double>(toRate);
    capacity_ = chunkFrames + 2;
    input_.assign(capacity_ * channels, 0.0f);
    Reset();
}

void Resampler::Reset() {
    position_ = 0.0;
    buffered_ = 0;
}

}  // namespace ovelaudio
