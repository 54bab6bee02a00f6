#include "platform/audio/core/PluginDecoder.h"

namespace ovelaudio {
namespace {

size_t ReadBytes(void* user, void* out, size_t bytes) { return static_cast<ByteSource*>(user)->Read(out, bytes); }
int SeekBytes(void* user, uint64_t position) { return static_cast<ByteSource*>(user)->Seek(position) ? 1 : 0; }
uint64_t SizeOfBytes(void* user) { return static_cast<ByteSource*>(user)->Size(); }
int PendingBytes(void* user) { return static_cast<ByteSource*>(user)->Pending() ? 1 : 0; }

class PluginDecoder : public Decoder {
public:
    PluginDecoder(std::shared_ptr<PluginModule> module, std::unique_ptr<ByteSource> source,
                  std::unique_ptr<OvelPluginInput> input, OvelPluginStream* stream, const OvelPluginFormat& format)
        : module_(std::move(module)), source_(std::move(source)), input_(std::move(input)), stream_(stream),
          format_(format)
    {}
    ~PluginDecoder() override { module_->Table().close(stream_); }
    PluginDecoder(const PluginDecoder&) = delete;
    PluginDecoder& operator=(const PluginDecoder&) = delete;

    uint32_t Rate() const override { return format_.rate; }
    uint32_t Channels() const override { return format_.channels; }
    uint64_t LengthFrames() const override { return format_.length_frames; }
    size_t Read(float* out, size_t frames) override { return module_->Table().read(stream_, out, frames); }
    bool Rewind() override { return module_->Table().rewind(stream_) != 0; }
    const void* Origin() const override { return module_.get(); }

private:
    std::shared_ptr<PluginModule> module_;
    std::unique_ptr<ByteSource> source_;
    std::unique_ptr<OvelPluginInput> input_;  // the plug-in keeps its address
    OvelPluginStream* stream_;
    OvelPluginFormat format_;
};

}  // namespace

std::unique_ptr<Decoder> OpenPluginDecoder(const std::shared_ptr<PluginModule>& module,
                                           std::unique_ptr<ByteSource>& source)
{
    auto input = std::make_unique<OvelPluginInput>(
        OvelPluginInput{source.get(), ReadBytes, SeekBytes, SizeOfBytes, PendingBytes});
    OvelPluginFormat format{};
    OvelPluginStream* stream = module->Table().open(input.get(), &format);
    if (!stream) {
        source->Seek(0);
        return nullptr;
    }
    return std::make_unique<PluginDecoder>(module, std::move(source), std::move(input), stream, format);
}

}  // namespace ovelaudio
