#pragma once
// One stream of the library: a decoded sound, a dummy or a mixer, with its
// attributes, 3D placement, syncs and DSPs, pulled block by block at the rate
// of whatever plays it (the output or a mixer).

#include "platform/audio/bass.h"
#include "platform/audio/core/Attribute.h"
#include "platform/audio/core/Backends.h"
#include "platform/audio/core/Mixing.h"
#include "platform/audio/core/Resampler.h"
#include "platform/audio/core/Spatial.h"
#include "platform/audio/core/UrlReader.h"

#include <vector>

namespace ovelaudio {

class MixerDecoder;

struct SyncEntry {
    HSYNC id;
    DWORD type;
    bool onetime;
    SYNCPROC* proc;
    void* user;
};

struct DspEntry {
    HDSP id;
    DSPPROC* proc;
    void* user;
    int priority;
};

class Channel {
public:
    Channel(DWORD handle, DWORD flags, std::unique_ptr<Decoder> decoder, MixerDecoder* mixer = nullptr);

    DWORD Handle() const { return handle_; }
    uint32_t Rate() const { return decoder_->Rate(); }
    uint32_t Channels() const { return decoder_->Channels(); }
    uint64_t LengthFrames() const { return decoder_->LengthFrames(); }
    MixerDecoder* AsMixer() const { return mixer_; }
    const void* Origin() const { return decoder_->Origin(); }
    bool IsDecodeOnly() const { return (flags & BASS_STREAM_DECODE) != 0; }
    bool IsSpatial() const { return (flags & BASS_SAMPLE_3D) != 0; }
    bool FreesItself() const { return ((flags | sourceFlags) & BASS_STREAM_AUTOFREE) != 0; }

    // Sizes the buffers for being pulled at targetRate (the only allocation).
    void Prepare(uint32_t targetRate);
    void Restart();
    // Plays on from where it stopped: the gains of now hold from its first frame, and its sources' too.
    void Resume();
    // Pulls frames (at most kBlockFrames) into the channel's buffer and runs its DSPs; fewer means it ended.
    size_t Render(size_t frames);
    // Adds the rendered frames to out, through the channel's routing and level.
    void MixInto(float* out, uint32_t outputs, size_t frames, float level, MonoRouting mono);

    void SetMatrix(const float* matrix, uint32_t outputs);
    void AddDsp(const DspEntry& dsp);

    DWORD flags;
    Attribute volume{1.0f};
    Attribute pan{0.0f};
    Vec3 pendingPosition;
    SpeakerGains spatialGains{};
    std::vector<SyncEntry> syncs;

    bool playing = false;     // in the output's list
    bool ended = false;       // reached its end
    bool stopped = false;     // a mixer source that was stopped
    bool endPending = false;  // ended, its END syncs not yet run
    bool stalled = false;     // its download is behind: it plays silence until bytes arrive

    std::shared_ptr<const DownloadState> download;  // of a URL stream

    Channel* owner = nullptr;  // the mixer of a source
    DWORD sourceFlags = 0;

private:
    size_t PullNative(float* out, size_t frames);
    // The last read came short because the download has not delivered yet.
    bool Starved() const { return download && download->starved; }
    GainMatrix Routing(uint32_t outputs, MonoRouting mono) const;

    DWORD handle_;
    std::unique_ptr<Decoder> decoder_;
    MixerDecoder* mixer_;
    uint32_t targetRate_ = 0;
    Resampler resampler_;
    std::vector<float> buffer_;
    std::vector<DspEntry> dsps_;
    bool hasMatrix_ = false;
    GainMatrix matrix_{};
    GainMatrix lastGains_{};
    bool freshGains_ = true;
};

}  // namespace ovelaudio
