#pragma once
// A mixer stream's sound: the sum of its decode-only sources at the mixer's rate.

#include "platform/audio/core/Channel.h"

namespace ovelaudio {

class EndListener {
public:
    virtual ~EndListener() = default;
    // On the mixing thread, with the engine locked.
    virtual void ChannelEnded(Channel& channel) = 0;
};

class MixerDecoder : public Decoder {
public:
    MixerDecoder(uint32_t rate, uint32_t channels, bool endWithSources, EndListener& listener);

    uint32_t Rate() const override { return rate_; }
    uint32_t Channels() const override { return channels_; }
    uint64_t LengthFrames() const override { return UINT64_MAX; }
    bool Rewind() override { return true; }
    size_t Read(float* out, size_t frames) override;

    void Add(Channel& source);
    void Remove(Channel& source);
    const std::vector<Channel*>& Sources() const { return sources_; }

private:
    // Frames of source mixed into out; fewer than frames: the source ended.
    size_t MixSource(Channel& source, float* out, size_t frames);

    uint32_t rate_;
    uint32_t channels_;
    bool endWithSources_;
    EndListener& listener_;
    std::vector<Channel*> sources_;
};

}  // namespace ovelaudio
