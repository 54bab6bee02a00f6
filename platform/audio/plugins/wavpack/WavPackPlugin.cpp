#include "platform/audio/plugins/wavpack/WavPackPlugin.h"

#include "platform/audio/plugins/BlockStream.h"
#include "platform/audio/plugins/wavpack/WavPackDecoder.h"

namespace ovelwavpack {
namespace {

class WavPackStream : public ovelplugin::BlockStream {
public:
    WavPackStream(const OvelPluginInput& input) : input_(input) {}

    bool Open(OvelPluginFormat& format)
    {
        decoder_ = WavPackDecoder::Open(input_);
        if (!decoder_)
            return false;
        const StreamInfo& info = decoder_->Info();
        format.rate = info.rate;
        format.channels = info.channels;
        format.length_frames = info.totalFrames == 0 ? UINT64_MAX : info.totalFrames;
        if (info.floatSamples)
            SetFloatPatterns();
        else
            SetScale(8 * info.bytesPerSample);
        return true;
    }

private:
    uint32_t Channels() const override { return decoder_->Info().channels; }
    bool NextBlock() override { return decoder_->NextBlock(); }
    size_t BlockFrames() const override { return decoder_->BlockFrames(); }
    const int64_t* Samples(uint32_t channel) const override { return decoder_->Samples(channel); }
    bool RewindBlocks() override { return decoder_->Rewind(); }

    ovelplugin::ByteInput input_;
    std::unique_ptr<WavPackDecoder> decoder_;
};

std::unique_ptr<ovelplugin::Stream> OpenWavPack(const OvelPluginInput& input, OvelPluginFormat& format)
{
    auto stream = std::make_unique<WavPackStream>(input);
    if (!stream->Open(format))
        return nullptr;
    return stream;
}

}  // namespace

const OvelPluginTable* WavPackPluginTable() { return ovelplugin::TableOf<OpenWavPack>(); }

}  // namespace ovelwavpack
