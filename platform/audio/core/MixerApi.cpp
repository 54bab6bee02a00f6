// The mixer add-on's C operations.

#include "platform/audio/bassmix.h"
#include "platform/audio/core/ApiErrors.h"
#include "platform/audio/core/Engine.h"

#include <algorithm>
#include <cmath>

using namespace ovelaudio;

namespace {

// Whether mixer is source itself or plays, through its owners, inside source: adding would make a cycle.
bool Feeds(const Channel& source, const Channel& mixer)
{
    for (const Channel* at = &mixer; at; at = at->owner)
        if (at == &source)
            return true;
    return false;
}

}  // namespace

extern "C" {

HSTREAM BASSDEF(BASS_Mixer_StreamCreate)(DWORD freq, DWORD chans, DWORD flags)
{
    if (RefusedInMix())
        return 0;
    if (const int error = FormatError(freq, chans))
        return Failed<HSTREAM>(error, 0);
    Engine& engine = Engine::Instance();
    std::lock_guard<std::mutex> lock(engine.mutex);
    if (!engine.IsOpen())
        return Failed<HSTREAM>(BASS_ERROR_INIT, 0);
    const DWORD handle = engine.NewHandle();
    auto mixer = std::make_unique<MixerDecoder>(freq, chans, (flags & BASS_MIXER_END) != 0, engine);
    MixerDecoder* raw = mixer.get();
    engine.Add(std::make_unique<Channel>(handle, flags, std::move(mixer), raw));
    return Succeeded(handle);
}

BOOL BASSDEF(BASS_Mixer_StreamAddChannel)(HSTREAM handle, DWORD channel, DWORD flags)
{
    if (RefusedInMix())
        return kFalse;
    Engine& engine = Engine::Instance();
    std::lock_guard<std::mutex> lock(engine.mutex);
    Channel* mixer = engine.Find(handle);
    Channel* source = engine.Find(channel);
    if (!mixer || !mixer->AsMixer() || !source)
        return Failed<BOOL>(BASS_ERROR_HANDLE, kFalse);
    if (!source->IsDecodeOnly())
        return Failed<BOOL>(BASS_ERROR_DECODE, kFalse);
    if (Feeds(*source, *mixer))
        return Failed<BOOL>(BASS_ERROR_ILLPARAM, kFalse);
    engine.Attach(*mixer, *source, flags);
    source->Resume();
    return Succeeded<BOOL>(kTrue);
}

BOOL BASSDEF(BASS_Mixer_ChannelSetMatrix)(DWORD handle, const void* matrix)
{
    if (RefusedInMix())
        return kFalse;
    if (!matrix)
        return Failed<BOOL>(BASS_ERROR_ILLPARAM, kFalse);
    Engine& engine = Engine::Instance();
    std::lock_guard<std::mutex> lock(engine.mutex);
    Channel* source = engine.Find(handle);
    if (!source || !source->owner)
        return Failed<BOOL>(BASS_ERROR_HANDLE, kFalse);
    const auto* gains = static_cast<const float*>(matrix);
    const uint32_t outputs = source->owner->Channels();
    // A NaN or an infinity would reach every sample of the mix.
    if (!std::all_of(gains, gains + outputs * source->Channels(), [](float gain) { return std::isfinite(gain); }))
        return Failed<BOOL>(BASS_ERROR_ILLPARAM, kFalse);
    source->SetMatrix(gains, outputs);
    return Succeeded<BOOL>(kTrue);
}

}  // extern "C"
