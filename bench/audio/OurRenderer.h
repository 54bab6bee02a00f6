#pragma once
// The scene through our library: the manual "no sound" device mixed into memory.

#include "bench/audio/Scene.h"

namespace audiobench {

class OurRenderer {
public:
    // Opens the output and starts every stream of the scene; throws on failure.
    explicit OurRenderer(const Scene& scene);
    ~OurRenderer();
    OurRenderer(const OurRenderer&) = delete;
    OurRenderer& operator=(const OurRenderer&) = delete;

    // The next frames of the mix, stereo float interleaved.
    void Render(float* out, uint32_t frames);
};

}  // namespace audiobench
