#pragma once
// A stream that decodes integer samples block by block, one array per
// channel, and hands them out as interleaved floats.

#include "platform/audio/plugins/PluginStream.h"

namespace ovelplugin {

class BlockStream : public Stream {
public:
    size_t Read(float* out, size_t frames) override;
    bool Rewind() override;

protected:
    // How the decoder's samples become floats.
    void SetSamples(const StreamInfo& info);

private:
    virtual uint32_t Channels() const = 0;
    // False at the end, or while the input has not delivered the next block (then Waiting()).
    virtual bool NextBlock() = 0;
    virtual bool Waiting() const = 0;
    virtual size_t BlockFrames() const = 0;
    virtual const int64_t* Samples(uint32_t channel) const = 0;
    virtual bool RewindBlocks() = 0;

    float scale_ = 1.0f;
    bool floatPatterns_ = false;  // samples are the bit patterns of 32-bit floats
    size_t used_ = 0;             // frames of the current block already handed out
    bool ended_ = false;
};

// The stream of a decoder class with Open(ByteInput&), Info(), NextBlock(),
// Waiting(), BlockFrames(), Samples(channel) and Rewind().
template <typename Decoder>
class DecoderStream : public BlockStream {
public:
    explicit DecoderStream(const OvelPluginInput& input) : input_(input) {}

    bool Open(OvelPluginFormat& format)
    {
        decoder_ = Decoder::Open(input_);
        if (!decoder_)
            return false;
        const StreamInfo& info = decoder_->Info();
        format.rate = info.rate;
        format.channels = info.channels;
        format.length_frames = info.totalFrames == 0 ? UINT64_MAX : info.totalFrames;
        SetSamples(info);
        return true;
    }

private:
    uint32_t Channels() const override { return decoder_->Info().channels; }
    bool NextBlock() override { return decoder_->NextBlock(); }
    bool Waiting() const override { return decoder_->Waiting(); }
    size_t BlockFrames() const override { return decoder_->BlockFrames(); }
    const int64_t* Samples(uint32_t channel) const override { return decoder_->Samples(channel); }
    bool RewindBlocks() override { return decoder_->Rewind(); }

    ByteInput input_;
    std::unique_ptr<Decoder> decoder_;
};

// A StreamOpener for TableOf.
template <typename Decoder>
std::unique_ptr<Stream> OpenDecoderStream(const OvelPluginInput& input, OvelPluginFormat& format)
{
    auto stream = std::make_unique<DecoderStream<Decoder>>(input);
    if (!stream->Open(format))
        return nullptr;
    return stream;
}

}  // namespace ovelplugin
