#pragma once
// Decoded samples as the mix may take them: NaN and infinities, which would
// silence the whole mix, are silence, and the rest is held within
// kLoudestSample, so that no sum the mixing stage makes can overflow.

#include <cstddef>

namespace ovelaudio {

// Far beyond any recording's overshoot (+36 dBFS), far below the largest float.
constexpr float kLoudestSample = 64.0f;

// count floats from in (any alignment; in may be out) to out.
void SaneFloats(const void* in, size_t count, float* out);

}  // namespace ovelaudio
