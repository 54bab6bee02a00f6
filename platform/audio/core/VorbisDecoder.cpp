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
        : source_(std::move(source)), vorbis_(vorbis), info_(stb_vorbis_get_info(vorbis))
    {
        const unsigned int samples = stb_vorbis_stream_length_in_samples(vorbis_);
        length_ = samples == 0 ? UINT64_MAX : samples;
    }
    ~VorbisDecoder() override { stb_vorbis_close(vorbis_); }

    uint32_t Rate() const override { return info_.sample_rate; }
    uint32_t Channels() const override { return static_cast<uint32_t>(info_.channels); }
    uint64_t LengthFrames() const override { return length_; }
    bool Rewind() override { return stb_vorbis_seek_start(vorbis_) != 0; }

    size_t Read(float* out, size_t frames) override
    {
        const int channels = info_.channels;
        size_t done = 0;
        while (done < frames) {
            const size_t floats = std::min<size_t>((frames - done) * channels, INT_MAX);
            const int got = stb_vorbis_get_samples_float_interleaved(vorbis_, channels, out + done * channels,
                                                                     static_cast<int>(floats));
            if (got <= 0)
                break;
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

bool UsableInfo(const stb_vorbis_info& info)
{
    return info.channels >= 1 && static_cast<uint32_t>(info.channels) <= kMaxChannels && info.sample_rate >= kMinRate &&
           info.sample_rate <= kMaxRate;
}

// Over bytes still arriving: stb_vorbis's pushdata API, fed from a buffer sized once.
class VorbisPushDecoder : public Decoder {
public:
    explicit VorbisPushDecoder(std::unique_ptr<ByteSource> source)
        : source_(std::move(source)), buffer_(kPushBufferBytes)
    {}
    ~VorbisPushDecoder() override
    {
        if (vorbis_)
            stb_vorbis_close(vorbis_);
    }

    // Reads the headers in small steps, so creation waits for little more than them.
    bool Open()
    {
        for (;;) {
            int used = 0;
            int error = 0;
            vorbis_ = stb_vorbis_open_pushdata(buffer_.data(), static_cast<int>(filled_), &used, &error, nullptr);
            if (vorbis_) {
                info_ = stb_vorbis_get_info(vorbis_);
                audioStart_ = start_ = static_cast<size_t>(used);
                return UsableInfo(info_);
            }
            if (error != VORBIS_need_more_data || !Fill(kOpenStepBytes))
                return false;
        }
    }

    std::unique_ptr<ByteSource> ReleaseSource() { return std::move(source_); }

    uint32_t Rate() const override { return info_.sample_rate; }
    uint32_t Channels() const override { return static_cast<uint32_t>(info_.channels); }
    uint64_t LengthFrames() const override { return UINT64_MAX; }

    bool Rewind() override
    {
        stb_vorbis_flush_pushdata(vorbis_);
        start_ = filled_ = 0;
        outputAt_ = outputFrames_ = 0;
        return source_->Seek(audioStart_);
    }

    size_t Read(float* out, size_t frames) override
    {
        const size_t channels = Channels();
        size_t done = 0;
        while (done < frames && (outputAt_ < outputFrames_ || DecodeFrame())) {
            const size_t take = std::min(frames - done, outputFrames_ - outputAt_);
            for (size_t f = 0; f < take; ++f)
                for (size_t c = 0; c < channels; ++c)
                    out[(done + f) * channels + c] = outputs_[c][outputAt_ + f];
            done += take;
            outputAt_ += take;
        }
        return done;
    }

private:
    static constexpr size_t kPushBufferBytes = 128 * 1024;  // two of the largest Ogg pages
    static constexpr size_t kOpenStepBytes = 4096;

    // False when the bytes for the next frame have not arrived (or never will).
    bool DecodeFrame()
    {
        for (;;) {
            int channels = 0;
            int samples = 0;
            const int used = stb_vorbis_decode_frame_pushdata(
                vorbis_, buffer_.data() + start_, static_cast<int>(filled_ - start_), &channels, &outputs_, &samples);
            start_ += static_cast<size_t>(used);
            if (samples > 0) {
                outputAt_ = 0;
                outputFrames_ = static_cast<size_t>(samples);
                return true;
            }
            if (used == 0 && !Fill(buffer_.size()))
                return false;
        }
    }

    // Moves the unused bytes to the front and reads up to step more; false when none came.
    bool Fill(size_t step)
    {
        std::memmove(buffer_.data(), buffer_.data() + start_, filled_ - start_);
        filled_ -= start_;
        start_ = 0;
        const size_t room = std::min(step, buffer_.size() - filled_);
        if (room == 0)
            return false;  // a frame larger than the buffer: the stream is broken
        const size_t got = source_->Read(buffer_.data() + filled_, room);
        filled_ += got;
        return got > 0;
    }

    std::unique_ptr<ByteSource> source_;
    std::vector<uint8_t> buffer_;
    size_t start_ = 0;   // first byte not yet given to the decoder
    size_t filled_ = 0;  // bytes in the buffer
    size_t audioStart_ = 0;
    stb_vorbis* vorbis_ = nullptr;
    stb_vorbis_info info_{};
    float** outputs_ = nullptr;
    size_t outputAt_ = 0;
    size_t outputFrames_ = 0;
};

bool LooksLikeOgg(ByteSource& source)
{
    char magic[kOggMagicBytes];
    const bool ogg =
        source.Read(magic, sizeof magic) == sizeof magic && std::memcmp(magic, kOggMagic, sizeof magic) == 0;
    source.Seek(0);
    return ogg;
}

// The bytes in memory: caller memory is used in place.
std::unique_ptr<ByteSource> InMemory(std::unique_ptr<ByteSource> source)
{
    if (dynamic_cast<MemorySource*>(source.get()))
        return source;
    return std::make_unique<OwnedMemorySource>(ReadAll(*source));
}

std::unique_ptr<Decoder> OpenVorbisPush(std::unique_ptr<ByteSource>& source)
{
    auto decoder = std::make_unique<VorbisPushDecoder>(std::move(source));
    if (decoder->Open())
        return decoder;
    source = decoder->ReleaseSource();
    source->Seek(0);
    return nullptr;
}

}  // namespace

std::unique_ptr<Decoder> OpenVorbis(std::unique_ptr<ByteSource>& source)
{
    if (!LooksLikeOgg(*source))
        return nullptr;
    if (source->Pending())
        return OpenVorbisPush(source);
    std::unique_ptr<ByteSource> memory = InMemory(std::move(source));
    auto& bytes = static_cast<MemorySource&>(*memory);
    int error = 0;
    stb_vorbis* vorbis = stb_vorbis_open_memory(
        bytes.Data(), static_cast<int>(std::min<uint64_t>(bytes.Size(), INT_MAX)), &error, nullptr);
    if (vorbis && UsableInfo(stb_vorbis_get_info(vorbis)))
        return std::make_unique<VorbisDecoder>(std::move(memory), vorbis);
    if (vorbis)
        stb_vorbis_close(vorbis);
    memory->Seek(0);
    source = std::move(memory);
    return nullptr;
}

}  // namespace ovelaudio
