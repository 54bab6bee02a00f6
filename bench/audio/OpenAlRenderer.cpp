#include "bench/audio/OpenAlRenderer.h"

// OpenAL Soft exports its extension functions: no need to look them up.
#define AL_ALEXT_PROTOTYPES
#include <AL/alext.h>

#include <stdexcept>
#include <string>

namespace audiobench {
namespace {

void Check(bool ok, const char* what)
{
    if (!ok)
        throw std::runtime_error(std::string("OpenAL: ") + what + " failed");
}

void CheckAl(const char* what) { Check(alGetError() == AL_NO_ERROR, what); }

ALenum FloatFormat(uint32_t channels) { return channels == 1 ? AL_FORMAT_MONO_FLOAT32 : AL_FORMAT_STEREO_FLOAT32; }

}  // namespace

OpenAlRenderer::OpenAlRenderer(const Scene& scene, OpenAlResampler resampler)
{
    try {
        device_ = alcLoopbackOpenDeviceSOFT(nullptr);
        Check(device_ != nullptr, "loopback device");
        const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT,
                                     ALC_STEREO_SOFT,
                                     ALC_FORMAT_TYPE_SOFT,
                                     ALC_FLOAT_SOFT,
                                     ALC_FREQUENCY,
                                     kOutputRate,
                                     ALC_HRTF_SOFT,
                                     ALC_FALSE,
                                     0};
        context_ = alcCreateContext(device_, attributes);
        Check(context_ != nullptr && alcMakeContextCurrent(context_), "context");
        alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
        if (resampler == OpenAlResampler::Filtered)
            ChooseFilteredResampler();
        // OpenAL faces -z; the scene's listener faces +z with x to the right.
        for (const Voice& voice : scene.voices) {
            const ALuint source = Source(*voice.clip, voice.volume);
            alSource3f(source, AL_POSITION, voice.position.x, voice.position.y, -voice.position.z);
        }
        Source(*scene.brook, scene.brookVolume);
        for (const RainSource& rain : scene.rain)
            Source(*rain.clip, rain.matrix[0]);
        alSourcePlayv(static_cast<ALsizei>(sources_.size()), sources_.data());
        CheckAl("starting the sources");
    } catch (...) {
        Release();
        throw;
    }
}

OpenAlRenderer::~OpenAlRenderer() { Release(); }

void OpenAlRenderer::Render(float* out, uint32_t frames)
{
    alcRenderSamplesSOFT(device_, out, static_cast<ALCsizei>(frames));
}

// The shortest band-limited sinc filter OpenAL Soft offers ("11th order
// Sinc", 12 points), the nearest in kind to our 16-tap one; the list runs from
// the cheapest to the finest.
void OpenAlRenderer::ChooseFilteredResampler()
{
    Check(alIsExtensionPresent("AL_SOFT_source_resampler") == AL_TRUE, "source resampler extension");
    const ALint count = alGetInteger(AL_NUM_RESAMPLERS_SOFT);
    for (ALint i = 0; i < count && resampler_ < 0; ++i) {
        if (std::string(alGetStringiSOFT(AL_RESAMPLER_NAME_SOFT, i)).find("Sinc") != std::string::npos)
            resampler_ = i;
    }
    Check(resampler_ >= 0, "finding a sinc resampler");
}

// A looping source of the clip; stereo ones play as they are, mono ones at a position.
ALuint OpenAlRenderer::Source(const Clip& clip, float gain)
{
    ALuint source = 0;
    alGenSources(1, &source);
    CheckAl("source");
    sources_.push_back(source);
    alSourcei(source, AL_BUFFER, static_cast<ALint>(BufferOf(clip)));
    alSourcei(source, AL_LOOPING, AL_TRUE);
    alSourcef(source, AL_GAIN, gain);
    alSourcef(source, AL_REFERENCE_DISTANCE, 5.0f);  // as our 3D stage
    alSourcef(source, AL_ROLLOFF_FACTOR, 1.0f);
    if (resampler_ >= 0)
        alSourcei(source, AL_SOURCE_RESAMPLER_SOFT, resampler_);
    CheckAl("source settings");
    return source;
}

ALuint OpenAlRenderer::BufferOf(const Clip& clip)
{
    const auto found = buffers_.find(&clip);
    if (found != buffers_.end())
        return found->second;
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    CheckAl("buffer");
    buffers_[&clip] = buffer;
    alBufferData(buffer, FloatFormat(clip.channels), clip.decoded.data(),
                 static_cast<ALsizei>(clip.decoded.size() * sizeof(float)), static_cast<ALsizei>(clip.rate));
    CheckAl("buffer data");
    return buffer;
}

void OpenAlRenderer::Release()
{
    if (context_) {
        alSourceStopv(static_cast<ALsizei>(sources_.size()), sources_.data());
        alDeleteSources(static_cast<ALsizei>(sources_.size()), sources_.data());
        for (const auto& entry : buffers_)
            alDeleteBuffers(1, &entry.second);
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context_);
    }
    if (device_)
        alcCloseDevice(device_);
    sources_.clear();
    buffers_.clear();
    context_ = nullptr;
    device_ = nullptr;
}

}  // namespace audiobench
