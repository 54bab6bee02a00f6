#include "platform/audio/core/Resampler.h"

namespace ovelaudio {

void Resampler::Configure(uint32_t channels, uint32_t fromRate, uint32_t toRate, size_t chunkFrames) {
    channels_ = channels;
    fromRate_ = fromRate;
    toRate_ = toRate;
    fixedStep_ = (static_cast<uint64_t>(fromRate) << kFractionBits) / toRate;
    capacity_ = chunkFrames + 2;
    input_.assign(capacity_ * channels, 0.0f);
    Reset();
}

void Resampler::Reset() {
    position_ = 0;
    buffered_ = 0;
}

}  // namespace ovelaudio
