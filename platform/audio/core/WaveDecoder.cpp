#include "platform/audio/core/WaveDecoder.h"

#include "platform/audio/core/Limits.h"

#include <algorithm>
#include <cstring>

namespace ovelaudio {
namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;
constexpr size_t kFmtMinimum = 16;
constexpr size_t kFmtExtensibleSubformat = 24;  // offset of the subformat's first word
constexpr size_t kFmtMaximum = 64;

uint32_t Le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

struct WaveFormat {
    uint16_t tag = 0;
    uint32_t channels = 0;
    uint32_t rate = 0;
    uint32_t bits = 0;
    uint64_t dataStart = 0;
    uint64_t dataBytes = 0;

    uint32_t FrameBytes() const { return channels * bits / 8; }
    bool Valid() const {
        const bool pcm = tag == kFormatPcm && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
        const bool flt = tag == kFormatFloat && bits == 32;
        return (pcm || flt) && channels >= 1 && channels <= kMaxChannels && rate >= kMinRate && rate <= kMaxRate;
    }
};

bool ReadExact(ByteSource& source, void* out, size_t bytes) { return source.Read(out, bytes) == bytes; }

bool ParseFmt(ByteSource& source, uint32_t size, WaveFormat& format) {
    uint8_t fmt[kFmtMaximum] = {};
    if (size < kFmtMinimum || !ReadExact(source, fmt, std::min<size_t>(size, kFmtMaximum))) return false;
    format.tag = Le16(fmt);
    format.channels = Le16(fmt + 2);
    format.rate = Le32(fmt + 4);
    format.bits = Le16(fmt + 14);
    if (format.tag == kFormatExtensible) {
        if (size < kFmtExtensibleSubformat + 2) return false;
        format.tag = Le16(fmt + kFmtExtensibleSubformat);
    }
    return true;
}

// Walks the chunks up to "data"; a data chunk longer than the file is clamped.
bool ParseWave(ByteSource& source, WaveFormat& format) {
    uint8_t header[12];
    if (!ReadExact(source, header, sizeof header) || std::memcmp(header, "RIFF", 4) != 0 ||
        std::memcmp(header + 8, "WAVE", 4) != 0)
        return false;
    uint64_t position = sizeof header;
    bool haveFmt = false;
    for (;;) {
        uint8_t chunk[8];
        if (!ReadExact(source, chunk, sizeof chunk)) return false;
        position += sizeof chunk;
        const uint32_t size = Le32(chunk + 4);
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (!ParseFmt(source, size, format)) return false;
            haveFmt = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFmt || !format.Valid()) return false;
            const uint64_t available = source.Size() == UINT64_MAX ? size : source.Size() - position;
            format.dataStart = position;
            format.dataBytes = std::min<uint64_t>(size, available);
            return format.dataBytes >= format.FrameBytes();
        }
        position += uint64_t{size} + (size & 1);
        if (position > source.Size() || !source.Seek(position)) return false;
    }
}

float SampleAt(const uint8_t* p, const WaveFormat& format) {
    switch (format.bits) {
    case 8: return (static_cast<float>(p[0]) - 128.0f) / 128.0f;
    case 16: return static_cast<float>(static_cast<int16_t>(Le16(p))) / 32768.0f;
    case 24: return static_cast<float>(static_cast<int32_t>(Le32(p - 1) & 0xFFFFFF00u)) / 2147483648.0f;
    default:
        if (format.tag == kFormatFloat) {
            const uint32_t bits = Le32(p);
            float value;
            std::memcpy(&value, &bits, sizeof value);
            return value;
        }
        return static_cast<float>(static_cast<int32_t>(Le32(p))) / 2147483648.0f;
    }
}

class WaveDecoder : public Decoder {
public:
    WaveDecoder(std::unique_ptr<ByteSource> source, const WaveFormat& format)
        : source_(std::move(source)), format_(format), scratch_(kDecodeChunkFrames * format.FrameBytes() + 1) {}

    uint32_t Rate() const override { return format_.rate; }
    uint32_t Channels() const override { return format_.channels; }
    uint64_t LengthFrames() const override { return format_.dataBytes / format_.FrameBytes(); }

    bool Rewind() override {
        framesRead_ = 0;
        held_ = 0;
        return source_->Seek(format_.dataStart);
    }

    // A download may stop inside a frame: its first part is held in front until the rest arrives.
    size_t Read(float* out, size_t frames) override {
        const size_t frameBytes = format_.FrameBytes();
        uint8_t* const bytes = scratch_.data() + 1;
        size_t done = 0;
        while (done < frames && framesRead_ < LengthFrames()) {
            const size_t want = static_cast<size_t>(
                std::min<uint64_t>({frames - done, kDecodeChunkFrames, LengthFrames() - framesRead_}));
            held_ += source_->Read(bytes + held_, want * frameBytes - held_);
            const size_t got = held_ / frameBytes;
            if (got == 0) break;
            Convert(got, out + done * format_.channels);
            held_ -= got * frameBytes;
            std::memmove(bytes, bytes + got * frameBytes, held_);
            done += got;
            framesRead_ += got;
        }
        return done;
    }

private:
    // scratch_[0] is a spare byte in front, so 24-bit samples read as the top of a 32-bit word.
    void Convert(size_t frames, float* out) const {
        const uint32_t sampleBytes = format_.bits / 8;
        const uint8_t* p = scratch_.data() + 1;
        for (size_t i = 0; i < frames * format_.channels; ++i, p += sampleBytes) out[i] = SampleAt(p, format_);
    }

    std::unique_ptr<ByteSource> source_;
    WaveFormat format_;
    std::vector<uint8_t> scratch_;
    uint64_t framesRead_ = 0;
    size_t held_ = 0;  // bytes of a frame not yet whole
};

}  // namespace

std::unique_ptr<Decoder> OpenWave(std::unique_ptr<ByteSource>& source) {
    WaveFormat format;
    const bool ok = ParseWave(*source, format) && source->Seek(format.dataStart);
    if (!ok) {
        source->Seek(0);
        return nullptr;
    }
    return std::make_unique<WaveDecoder>(std::move(source), format);
}

}  // namespace ovelaudio
