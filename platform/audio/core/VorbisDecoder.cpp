#include "platform/audio/core/VorbisDecoder.h"

#include "platform/audio/core/ByteSources.h"
#include "platform/audio/core/Limits.h"
#include "platform/audio/core/Samples.h"
#include "platform/audio/core/VorbisHeaders.h"
#include "platform/audio/core/VorbisMemory.h"

#include <algorithm>
#include <climits>
#include <cstring>

#define STB_VORBIS_HEADER_ONLY
#include "stb_vorbis.h"

namespace ovelaudio {
namespace {

constexpr char kOggMagic[] = "OggS";
constexpr size_t kOggMagicBytes = 4;
// What a stream's decoder may allocate besides its comments: the setup's
// tables and the decoding buffers. The largest streams encoders write (eight
// channels, the highest quality) take well under a megabyte.
constexpr size_t kSetupMemory = 4 * 1024 * 1024;

bool UsableInfo(const stb_vorbis_info& info)
{
    return info.channels >= 1 && static_cast<uint32_t>(info.channels) <= kMaxChannels && info.sample_rate >= kMinRate &&
           info.sample_rate <= kMaxRate;
}

// The decoder's frames, one array per channel, handed out interleaved.
class VorbisFrames : public Decoder {
public:
    uint32_t Rate() const override { return info_.sample_rate; }
    uint32_t Channels() const override { return static_cast<uint32_t>(info_.channels); }
    bool Compressed() const override { return true; }

    size_t Read(float* out, size_t frames) override
    {
        VorbisMemory::Scope scope(*memory_);
        size_t done = 0;
        while (done < frames && (outputAt_ < outputFrames_ || NextFrame())) {
            const size_t take = std::min(frames - done, outputFrames_ - outputAt_);
            Interleave(out + done * Channels(), take);
            done += take;
            outputAt_ += take;
        }
        return done;
    }

protected:
    ~VorbisFrames() override
    {
        if (vorbis_) {
            VorbisMemory::Scope scope(*memory_);
            stb_vorbis_close(vorbis_);
        }
    }

    // Decodes the next frame into outputs_; false at the end (or, for a download, not yet).
    virtual bool DecodeFrame(int& samples) = 0;

    // The memory the stream's decoder will have, before it opens.
    VorbisMemory& NewMemory(size_t commentMemory)
    {
        memory_ = std::make_unique<VorbisMemory>(kSetupMemory + commentMemory);
        return *memory_;
    }
    void Opened(stb_vorbis* vorbis)
    {
        vorbis_ = vorbis;
        info_ = stb_vorbis_get_info(vorbis);
    }
    void Forget() { outputAt_ = outputFrames_ = 0; }
    VorbisMemory& Memory() { return *memory_; }

    stb_vorbis* vorbis_ = nullptr;
    stb_vorbis_info info_{};
    float** outputs_ = nullptr;

private:
    bool NextFrame()
    {
        int samples = 0;
        if (!DecodeFrame(samples))
            return false;
        outputAt_ = 0;
        outputFrames_ = static_cast<size_t>(samples);
        return true;
    }

    void Interleave(float* out, size_t frames) const
    {
        const size_t channels = Channels();
        if (channels == 1)
            return SaneFloats(outputs_[0] + outputAt_, frames, out);
        for (size_t c = 0; c < channels; ++c) {
            const float* channel = outputs_[c] + outputAt_;
            for (size_t f = 0; f < frames; ++f)
                out[f * channels + c] = channel[f];
        }
        SaneFloats(out, frames * channels, out);
    }

    std::unique_ptr<VorbisMemory> memory_;
    size_t outputAt_ = 0;
    size_t outputFrames_ = 0;
};

// A complete file in memory, decoded frame by frame where it lies.
class VorbisDecoder : public VorbisFrames {
public:
    explicit VorbisDecoder(std::unique_ptr<MemorySource> bytes) : bytes_(std::move(bytes)) {}

    bool Open(size_t commentMemory)
    {
        VorbisMemory::Scope scope(NewMemory(commentMemory));
        int error = 0;
        const int size = static_cast<int>(std::min<uint64_t>(bytes_->Size(), INT_MAX));
        stb_vorbis* vorbis = stb_vorbis_open_memory(bytes_->Data(), size, &error, nullptr);
        if (!vorbis)
            return false;
        Opened(vorbis);
        const unsigned int samples = stb_vorbis_stream_length_in_samples(vorbis_);
        length_ = samples == 0 ? UINT64_MAX : samples;
        return UsableInfo(info_);
    }

    std::unique_ptr<MemorySource> ReleaseBytes() { return std::move(bytes_); }

    uint64_t LengthFrames() const override { return length_; }

    bool Rewind() override
    {
        VorbisMemory::Scope scope(Memory());
        Forget();
        return stb_vorbis_seek_start(vorbis_) != 0;
    }

private:
    bool DecodeFrame(int& samples) override
    {
        samples = stb_vorbis_get_frame_float(vorbis_, nullptr, &outputs_);
        return samples > 0;
    }

    std::unique_ptr<MemorySource> bytes_;  // what the decoder reads
    uint64_t length_ = UINT64_MAX;
};

// Over bytes still arriving: stb_vorbis's pushdata API, fed from a buffer sized once.
class VorbisPushDecoder : public VorbisFrames {
public:
    explicit VorbisPushDecoder(std::unique_ptr<ByteSource> source)
        : source_(std::move(source)), buffer_(kPushBufferBytes)
    {}

    // Reads the headers in small steps, so creation waits for little more than
    // them; the decoder sees them once they are all there and sound. A read
    // that gives nothing now gives nothing in time.
    bool Open()
    {
        for (;;) {
            const bool more = Fill(kOpenStepBytes);
            const VorbisHeaders headers = CheckVorbisHeaders(buffer_.data(), filled_, false);
            if (headers.check == HeaderCheck::Sound)
                return OpenDecoder(headers.commentMemory);
            if (headers.check == HeaderCheck::Broken || !more)
                return false;
        }
    }

    std::unique_ptr<ByteSource> ReleaseSource() { return std::move(source_); }

    uint64_t LengthFrames() const override { return UINT64_MAX; }

    bool Rewind() override
    {
        VorbisMemory::Scope scope(Memory());
        stb_vorbis_flush_pushdata(vorbis_);
        start_ = filled_ = 0;
        Forget();
        return source_->Seek(audioStart_);
    }

private:
    static constexpr size_t kPushBufferBytes = 128 * 1024;  // two of the largest Ogg pages
    static constexpr size_t kOpenStepBytes = 4096;

    bool OpenDecoder(size_t commentMemory)
    {
        VorbisMemory::Scope scope(NewMemory(commentMemory));
        int used = 0;
        int error = 0;
        stb_vorbis* vorbis =
            stb_vorbis_open_pushdata(buffer_.data(), static_cast<int>(filled_), &used, &error, nullptr);
        if (!vorbis)
            return false;
        Opened(vorbis);
        audioStart_ = start_ = static_cast<size_t>(used);
        return UsableInfo(info_);
    }

    // False when the bytes for the next frame have not arrived (or never will).
    bool DecodeFrame(int& samples) override
    {
        for (;;) {
            int channels = 0;
            const int used = stb_vorbis_decode_frame_pushdata(
                vorbis_, buffer_.data() + start_, static_cast<int>(filled_ - start_), &channels, &outputs_, &samples);
            start_ += static_cast<size_t>(used);
            if (samples > 0)
                return true;
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
std::unique_ptr<MemorySource> InMemory(std::unique_ptr<ByteSource> source)
{
    if (auto* memory = dynamic_cast<MemorySource*>(source.get())) {
        source.release();
        return std::unique_ptr<MemorySource>(memory);
    }
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

std::unique_ptr<Decoder> OpenVorbisInMemory(std::unique_ptr<ByteSource>& source)
{
    std::unique_ptr<MemorySource> bytes = InMemory(std::move(source));
    const VorbisHeaders headers = CheckVorbisHeaders(bytes->Data(), static_cast<size_t>(bytes->Size()), true);
    if (headers.check == HeaderCheck::Sound) {
        auto decoder = std::make_unique<VorbisDecoder>(std::move(bytes));
        if (decoder->Open(headers.commentMemory))
            return decoder;
        bytes = decoder->ReleaseBytes();
    }
    bytes->Seek(0);
    source = std::move(bytes);
    return nullptr;
}

}  // namespace

std::unique_ptr<Decoder> OpenVorbis(std::unique_ptr<ByteSource>& source)
{
    if (!LooksLikeOgg(*source))
        return nullptr;
    if (source->Pending())
        return OpenVorbisPush(source);
    return OpenVorbisInMemory(source);
}

}  // namespace ovelaudio
