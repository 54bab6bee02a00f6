#include "platform/audio/core/Decoders.h"

#include "platform/audio/bass.h"
#include "platform/audio/core/AiffDecoder.h"
#include "platform/audio/core/ApiErrors.h"
#include "platform/audio/core/BackendRegistry.h"
#include "platform/audio/core/Limits.h"
#include "platform/audio/core/Plugins.h"
#include "platform/audio/core/VorbisDecoder.h"
#include "platform/audio/core/WaveDecoder.h"

#include <algorithm>

namespace ovelaudio {
namespace {

class MonoDownmix : public Decoder {
public:
    explicit MonoDownmix(std::unique_ptr<Decoder> inner)
        : inner_(std::move(inner)), scratch_(kDecodeChunkFrames * inner_->Channels())
    {}

    uint32_t Rate() const override { return inner_->Rate(); }
    uint32_t Channels() const override { return 1; }
    uint64_t LengthFrames() const override { return inner_->LengthFrames(); }
    bool Rewind() override { return inner_->Rewind(); }
    const void* Origin() const override { return inner_->Origin(); }

    size_t Read(float* out, size_t frames) override
    {
        const uint32_t channels = inner_->Channels();
        const float scale = 1.0f / static_cast<float>(channels);
        size_t done = 0;
        while (done < frames) {
            const size_t got = inner_->Read(scratch_.data(), std::min(frames - done, kDecodeChunkFrames));
            if (got == 0)
                break;
            for (size_t f = 0; f < got; ++f) {
                float sum = 0.0f;
                for (uint32_t c = 0; c < channels; ++c)
                    sum += scratch_[f * channels + c];
                out[done + f] = sum * scale;
            }
            done += got;
        }
        return done;
    }

private:
    std::unique_ptr<Decoder> inner_;
    std::vector<float> scratch_;
};

class Silence : public Decoder {
public:
    Silence(uint32_t rate, uint32_t channels) : rate_(rate), channels_(channels) {}
    uint32_t Rate() const override { return rate_; }
    uint32_t Channels() const override { return channels_; }
    uint64_t LengthFrames() const override { return UINT64_MAX; }
    bool Rewind() override { return true; }
    size_t Read(float* out, size_t frames) override
    {
        std::fill(out, out + frames * channels_, 0.0f);
        return frames;
    }

private:
    uint32_t rate_;
    uint32_t channels_;
};

// A decoder that claims more channels than the mixing stage takes is unusable.
bool Usable(const Decoder& decoder) { return FormatError(decoder.Rate(), decoder.Channels()) == BASS_OK; }

}  // namespace

std::unique_ptr<Decoder> OpenDecoder(std::unique_ptr<ByteSource> source, int& error)
{
    std::vector<DecoderFactory> factories = {OpenWave, OpenAiff, OpenVorbis};
    const std::vector<DecoderFactory> registered = RegisteredDecoders();
    factories.insert(factories.end(), registered.begin(), registered.end());
    factories.push_back(OpenWithPlugins);
    for (DecoderFactory factory : factories) {
        if (std::unique_ptr<Decoder> decoder = factory(source)) {
            if (Usable(*decoder))
                return decoder;
            error = BASS_ERROR_FORMAT;
            return nullptr;
        }
        if (!source)
            break;
    }
    error = BASS_ERROR_FILEFORM;
    return nullptr;
}

std::unique_ptr<Decoder> DownmixToMono(std::unique_ptr<Decoder> decoder)
{
    if (decoder->Channels() == 1)
        return decoder;
    return std::make_unique<MonoDownmix>(std::move(decoder));
}

std::unique_ptr<Decoder> MakeSilence(uint32_t rate, uint32_t channels)
{
    return std::make_unique<Silence>(rate, channels);
}

}  // namespace ovelaudio
