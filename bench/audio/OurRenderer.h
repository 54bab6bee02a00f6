#pragma once
// The scene through our library: the manual "no sound" device mixed into memory.

#include "bench/audio/Scene.h"

namespace audiobench {

// Which file of each clip our streams play.
enum class OurInput {
    Decoded,  // the float frames OpenAL gets: the same work
    AsPlayed  // the Ogg Vorbis and WAV files, decoded as the player's are: while mixing, or ahead on the library's
              // worker
};

class OurRenderer {
public:
    // Opens the output and starts every stream of the scene; throws on failure.
    OurRenderer(const Scene& scene, OurInput input);
    ~OurRenderer();
    OurRenderer(const OurRenderer&) = delete;
    OurRenderer& operator=(const OurRenderer&) = delete;

    // The next frames of the mix, stereo float interleaved.
    void Render(float* out, uint32_t frames);

private:
    bool rendering_ = false;
};

}  // namespace audiobench
