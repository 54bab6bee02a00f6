#pragma once
// Sizes shared by the decoders and the mixing stage, and the samples they pass on.

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace ovelaudio {

constexpr uint32_t kMaxChannels = 8;
constexpr uint32_t kMinRate = 1000;
constexpr uint32_t kMaxRate = 384000;
constexpr size_t kDecodeChunkFrames = 1024;  // decoder scratch, sized once at creation
constexpr size_t kBlockFrames = 512;         // the mixing stage works in blocks of this many output frames
constexpr uint32_t kDefaultRate = 44100;

// Far beyond any recording's overshoot (+36 dBFS), and far enough below the
// largest float that no sum the mixing stage makes can overflow.
constexpr float kLoudestSample = 64.0f;

// A decoded sample as the mix may take it: NaN and infinities, which would
// silence the whole mix, are silence; the rest is held to kLoudestSample.
inline float SaneSample(float sample)
{
    if (!std::isfinite(sample))
        return 0.0f;
    return sample > kLoudestSample ? kLoudestSample : (sample < -kLoudestSample ? -kLoudestSample : sample);
}

}  // namespace ovelaudio
