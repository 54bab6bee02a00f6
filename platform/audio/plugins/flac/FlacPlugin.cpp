#include "platform/audio/plugins/flac/FlacPlugin.h"

#include "platform/audio/plugins/BlockStream.h"
#include "platform/audio/plugins/flac/FlacDecoder.h"

namespace ovelflac {
namespace {

class FlacStream : public ovelplugin::BlockStream {
public:
    FlacStream(const OvelPluginInput& input) : input_(input) {}

    bool Open(OvelPluginFormat& format)
    {
        decoder_ = FlacDecoder::Open(input_);
        if (!decoder_)
            return false;
        const StreamInfo& info = decoder_->Info();
        format.rate = info.rate;
        format.channels = info.channels;
        format.length_frames = info.totalFrames == 0 ? UINT64_MAX : info.totalFrames;
        SetScale(info.bitsPerSample);
        return true;
    }

private:
    uint32_t Channels() const override { return decoder_->Info().channels; }
    bool NextBlock() override { return decoder_->NextBlock(); }
    size_t BlockFrames() const override { return decoder_->BlockFrames(); }
    const int64_t* Samples(uint32_t channel) const override { return decoder_->Samples(channel); }
    bool RewindBlocks() override { return decoder_->Rewind(); }

    ovelplugin::ByteInput input_;
    std::unique_ptr<FlacDecoder> decoder_;
};

std::unique_ptr<ovelplugin::Stream> OpenFlac(const OvelPluginInput& input, OvelPluginFormat& format)
{
    auto stream = std::make_unique<FlacStream>(input);
    if (!stream->Open(format))
        return nullptr;
    return stream;
}

}  // namespace

const OvelPluginTable* FlacPluginTable() { return ovelplugin::TableOf<OpenFlac>(); }

}  // namespace ovelflac
