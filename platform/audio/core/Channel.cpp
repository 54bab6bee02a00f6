#include "platform/audio/core/Channel.h"

#include "platform/audio/bassmix.h"
#include "platform/audio/core/Limits.h"
#include "platform/audio/core/MixerDecoder.h"

#include <algorithm>

namespace ovelaudio {

Channel::Channel(DWORD handle, DWORD creationFlags, std::unique_ptr<Decoder> decoder, MixerDecoder* mixer)
    : flags(creationFlags), handle_(handle), decoder_(std::move(decoder)), mixer_(mixer)
{}

void Channel::Prepare(uint32_t targetRate)
{
    if (targetRate == targetRate_)
        return;
    targetRate_ = targetRate;
    resampler_.Configure(Channels(), Rate(), targetRate, kDecodeChunkFrames);
    buffer_.assign(kBlockFrames * Channels(), 0.0f);
}

void Channel::Restart()
{
    decoder_->Rewind();
    resampler_.Reset();
    ended = false;
    stalled = false;
    Resume();
}

void Channel::Resume()
{
    freshGains_ = true;
    if (mixer_)
        for (Channel* source : mixer_->Sources())
            source->Resume();
}

size_t Channel::Render(size_t frames)
{
    if (targetRate_ == 0)
        return 0;
    size_t got = resampler_.Render(buffer_.data(), frames,
                                   [this](float* out, size_t wanted) { return PullNative(out, wanted); });
    stalled = got < frames && Starved();
    if (stalled) {
        std::fill(buffer_.begin() + static_cast<std::ptrdiff_t>(got * Channels()),
                  buffer_.begin() + static_cast<std::ptrdiff_t>(frames * Channels()), 0.0f);
        got = frames;
    }
    const DWORD bytes = static_cast<DWORD>(got * Channels() * sizeof(float));
    for (const DspEntry& dsp : dsps_)
        dsp.proc(dsp.id, handle_, buffer_.data(), bytes, dsp.user);
    if (got < frames)
        ended = true;
    return got;
}

size_t Channel::PullNative(float* out, size_t frames)
{
    size_t done = 0;
    bool rewound = false;
    while (done < frames) {
        const size_t got = decoder_->Read(out + done * Channels(), frames - done);
        done += got;
        if (got > 0) {
            rewound = false;
            continue;
        }
        // A stalled download is no end; a loop that gives nothing after a rewind would spin for ever.
        if (Starved() || !(flags & BASS_SAMPLE_LOOP) || rewound || !decoder_->Rewind())
            break;
        rewound = true;
    }
    return done;
}

GainMatrix Channel::Routing(uint32_t outputs, MonoRouting mono) const
{
    if (hasMatrix_ && (sourceFlags & BASS_MIXER_MATRIX))
        return matrix_;
    if (IsSpatial() && !owner) {
        GainMatrix m{};
        for (uint32_t o = 0; o < outputs; ++o)
            Gain(m, o, 0) = spatialGains[o];
        return m;
    }
    GainMatrix m = DefaultRouting(Channels(), outputs, mono);
    ApplyBalance(pan.Value(), outputs, m);
    return m;
}

void Channel::MixInto(float* out, uint32_t outputs, size_t frames, float level, MonoRouting mono)
{
    if (frames == 0)
        return;
    GainMatrix gains = Routing(outputs, mono);
    Scale(gains, volume.Value() * level);
    MixRamped(buffer_.data(), Channels(), out, outputs, frames, freshGains_ ? gains : lastGains_, gains);
    lastGains_ = gains;
    freshGains_ = false;
}

void Channel::SetMatrix(const float* matrix, uint32_t outputs)
{
    matrix_ = GainMatrix{};
    for (uint32_t o = 0; o < outputs; ++o)
        for (uint32_t i = 0; i < Channels(); ++i)
            Gain(matrix_, o, i) = matrix[o * Channels() + i];
    hasMatrix_ = true;
}

void Channel::AddDsp(const DspEntry& dsp)
{
    const auto after = std::upper_bound(dsps_.begin(), dsps_.end(), dsp.priority,
                                        [](int priority, const DspEntry& e) { return priority > e.priority; });
    dsps_.insert(after, dsp);
}

}  // namespace ovelaudio
