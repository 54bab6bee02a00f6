#include "platform/audio/core/VorbisDecoder.h"

#include "platform/audio/core/ByteSources.h"
#include "platform/audio/core/Limits.h"

#include <algorithm>
#include <climits>
#include <cstring>

#define STB_VORBIS_HEADER_ONLY
#include "stb_vorbis.h"

namespace ovelaudio {
namespace {

constexpr char kOggMagic[] = "OggS";
constexpr size_t kOggMagicBytes = 4;

class VorbisDecoder : public Decoder {
public:
    VorbisDecoder(std::unique_ptr<ByteSource> source, stb_vorbis* vorbis)
        : source_(std::move(source)), vorbis_(vorbis), info_(stb_vorbis_get_info(vorbis)) {
        const unsigned int samples = stb_vorbis_stream_length_in_samples(vorbis_);
        length_ = samples == 0 ? UINT64_MAX : samples;
    }
    ~VorbisDecoder() override { stb_vorbis_close(vorbis_); }

    uint32_t Rate() const override { return info_.sample_rate; }
    uint32_t Channels() const override { return static_cast<uint32_t>(info_.channels); }
    uint64_t LengthFrames() const override { return length_; }
    bool Rewind() override { return stb_vorbis_seek_start(vorbis_) != 0; }

    size_t Read(float* out, size_t frames) override {
        const int channels = info_.channels;
        size_t done = 0;
        while (done < frames) {
            const size_t floats = std::min<size_t>((frames - done) * channels, INT_MAX);
            const int got = stb_vorbis_get_samples_float_interleaved(vorbis_, channels, out + done * channels,
                                                                     static_cast<int>(floats));
            if (got <= 0) break;
            done += static_cast<size_t>(got);
        }
        return done;
    }

private:
    std::unique_ptr<ByteSource> source_;  // holds the bytes the decoder reads
    stb_vorbis* vorbis_;
    stb_vorbis_info info_;
    uint64_t length_;
};

bool LooksLikeOgg(ByteSource& source) {
    char magic[kOggMagicBytes];
    const bool ogg = source.Read(magic, sizeof magic) == sizeof magic && std::memcmp(magic, kOggMagic, sizeof magic) == 0;
    source.Seek(0);
    return ogg;
}

// The bytes in memory: caller memory is used in place.
std::unique_ptr<ByteSource> InMemory(std::unique_ptr<ByteSource> source) {
    if (dynamic_cast<MemorySource*>(source.get())) return source;
    return std::make_unique<OwnedMemorySource>(ReadAll(*source));
}

bool UsableInfo(const stb_vorbis_info& info) {
    return info.channels >= 1 && static_cast<uint32_t>(info.channels) <= kMaxChannels && info.sample_rate >= kMinRate &&
           info.sample_rate <= kMaxRate;
}

}  // namespace

std::unique_ptr<Decoder> OpenVorbis(std::unique_ptr<ByteSource>& source) {
    if (!LooksLikeOgg(*source)) return nullptr;
    std::unique_ptr<ByteSource> memory = InMemory(std::move(source));
    auto& bytes = static_cast<MemorySource&>(*memory);
    int error = 0;
    stb_vorbis* vorbis = stb_vorbis_open_memory(bytes.Data(), static_cast<int>(std::min<uint64_t>(bytes.Size(), INT_MAX)),
                                                &error, nullptr);
    if (vorbis && UsableInfo(stb_vorbis_get_info(vorbis)))
        return std::make_unique<VorbisDecoder>(std::move(memory), vorbis);
    if (vorbis) stb_vorbis_close(vorbis);
    memory->Seek(0);
    source = std::move(memory);
    return nullptr;
}

}  // namespace ovelaudio
