#include "bench/audio/OurRenderer.h"

#include "platform/audio/bass.h"
#include "platform/audio/bassmix.h"
#include "platform/audio/core/DecodeAhead.h"
#include "platform/audio/core/TestHooks.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace audiobench {
namespace {

constexpr BOOL kInMemory = 1;
constexpr DWORD kVoiceFlags = BASS_SAMPLE_3D | BASS_SAMPLE_LOOP;

template <typename T>
T Checked(T result, const char* what)
{
    if (!result)
        throw std::runtime_error(std::string(what) + " failed, error " + std::to_string(BASS_ErrorGetCode()));
    return result;
}

HSTREAM Stream(const Clip& clip, OurInput input, DWORD flags)
{
    const std::vector<uint8_t>& file = input == OurInput::Decoded ? clip.floatWav : clip.file;
    return Checked(BASS_StreamCreateFile(kInMemory, file.data(), 0, file.size(), flags), "stream");
}

void Play(DWORD channel) { Checked(BASS_ChannelPlay(channel, 0), "play"); }

HSTREAM PlacedVoice(const Voice& voice, OurInput input)
{
    const HSTREAM stream = Stream(*voice.clip, input, kVoiceFlags);
    const BASS_3DVECTOR position{voice.position.x, voice.position.y, voice.position.z};
    Checked(BASS_ChannelSet3DPosition(stream, &position, nullptr, nullptr), "3D position");
    Checked(BASS_ChannelSetAttribute(stream, BASS_ATTRIB_VOL, voice.volume), "volume");
    return stream;
}

void PlayVoices(const Scene& scene, OurInput input)
{
    std::vector<HSTREAM> streams;
    for (const Voice& voice : scene.voices)
        streams.push_back(PlacedVoice(voice, input));
    BASS_Apply3D();
    for (HSTREAM stream : streams)
        Play(stream);
}

void PlayRain(const Scene& scene, OurInput input)
{
    const HSTREAM mixer = Checked(BASS_Mixer_StreamCreate(kOutputRate, kRainMixerChannels, 0), "mixer");
    for (const RainSource& rain : scene.rain) {
        const HSTREAM source = Stream(*rain.clip, input, BASS_STREAM_DECODE | BASS_SAMPLE_LOOP);
        Checked(BASS_Mixer_StreamAddChannel(mixer, source, BASS_MIXER_MATRIX), "mixer source");
        Checked(BASS_Mixer_ChannelSetMatrix(source, rain.matrix.data()), "matrix");
    }
    Play(mixer);
}

}  // namespace

// The clips' decoding ahead is held back until rendering starts, so that the
// time measured has it, as a player's first minute would.
OurRenderer::OurRenderer(const Scene& scene, OurInput input)
{
    ovelaudio::HoldDecodingAhead(true);
    ovelaudio::testhooks::SetManualNoSound(true);
    Checked(BASS_Init(0, kOutputRate, 0, nullptr, nullptr), "BASS_Init");
    try {
        PlayVoices(scene, input);
        const HSTREAM brook = Stream(*scene.brook, input, BASS_SAMPLE_LOOP);
        Checked(BASS_ChannelSetAttribute(brook, BASS_ATTRIB_VOL, scene.brookVolume), "volume");
        Play(brook);
        PlayRain(scene, input);
    } catch (...) {
        BASS_Free();
        ovelaudio::HoldDecodingAhead(false);
        throw;
    }
}

OurRenderer::~OurRenderer()
{
    BASS_Free();
    ovelaudio::HoldDecodingAhead(false);
}

void OurRenderer::Render(float* out, uint32_t frames)
{
    if (!rendering_) {
        ovelaudio::HoldDecodingAhead(false);
        rendering_ = true;
    }
    ovelaudio::testhooks::RenderNoSound(out, frames);
}

}  // namespace audiobench
