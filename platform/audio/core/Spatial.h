#pragma once
// The 3D stage: distance rolloff and constant-power panning over the speakers
// (the model is stated at the top of bass.h).

#include "platform/audio/core/Limits.h"

#include <array>

namespace ovelaudio {

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

struct Listener {
    Vec3 position;
    Vec3 front{0.0f, 0.0f, 1.0f};
    Vec3 top{0.0f, 1.0f, 0.0f};
};

struct Factors {
    float distance = 1.0f;
    float rolloff = 1.0f;
    float doppler = 1.0f;
};

using SpeakerGains = std::array<float, kMaxChannels>;

// Gain of a mono source at position on each of the output's speakers (2, 4, 6 or 8).
SpeakerGains SpatialGains(const Vec3& position, const Listener& listener, const Factors& factors, uint32_t speakers);

}  // namespace ovelaudio
