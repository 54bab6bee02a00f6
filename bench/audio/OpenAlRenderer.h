#pragma once
// The scene through OpenAL Soft's loopback device, from the clips our decoders
// made: sources on shared buffers, the same distance model (inverse distance,
// reference 1 m, rolloff 1). OpenAL has no matrix mixer, so each rain plays as
// a stereo source at the gain its matrix gives the front pair.

#include "bench/audio/Scene.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <map>
#include <vector>

namespace audiobench {

// OpenAL Soft's own choice (linear interpolation), or the band-limited sinc
// filter it offers, of the same class as ours.
enum class OpenAlResampler {
    Default,
    Filtered
};

class OpenAlRenderer {
public:
    // Opens a loopback device and starts every source; throws on failure.
    OpenAlRenderer(const Scene& scene, OpenAlResampler resampler);
    ~OpenAlRenderer();
    OpenAlRenderer(const OpenAlRenderer&) = delete;
    OpenAlRenderer& operator=(const OpenAlRenderer&) = delete;

    // The next frames of the mix, stereo float interleaved.
    void Render(float* out, uint32_t frames);

private:
    ALuint Source(const Clip& clip, float gain);
    void ChooseFilteredResampler();
    ALuint BufferOf(const Clip& clip);
    void Release();

    ALCdevice* device_ = nullptr;
    ALCcontext* context_ = nullptr;
    std::map<const Clip*, ALuint> buffers_;
    std::vector<ALuint> sources_;
    ALint resampler_ = -1;  // -1: OpenAL's default
};

}  // namespace audiobench
