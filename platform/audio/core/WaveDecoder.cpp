#include "platform/audio/core/WaveDecoder.h"

#include "platform/audio/core/ByteSources.h"
#include "platform/audio/core/Limits.h"
#include "platform/audio/core/PcmFrames.h"
#include "platform/audio/core/Samples.h"

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
    bool Valid() const
    {
        const bool pcm = tag == kFormatPcm && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
        const bool flt = tag == kFormatFloat && bits == 32;
        return (pcm || flt) && channels >= 1 && channels <= kMaxChannels && rate >= kMinRate && rate <= kMaxRate;
    }
};

bool ReadExact(ByteSource& source, void* out, size_t bytes) { return source.Read(out, bytes) == bytes; }

bool ParseFmt(ByteSource& source, uint32_t size, WaveFormat& format)
{
    uint8_t fmt[kFmtMaximum] = {};
    if (size < kFmtMinimum || !ReadExact(source, fmt, std::min<size_t>(size, kFmtMaximum)))
        return false;
    format.tag = Le16(fmt);
    format.channels = Le16(fmt + 2);
    format.rate = Le32(fmt + 4);
    format.bits = Le16(fmt + 14);
    if (format.tag == kFormatExtensible) {
        if (size < kFmtExtensibleSubformat + 2)
            return false;
        format.tag = Le16(fmt + kFmtExtensibleSubformat);
    }
    return true;
}

// Walks the chunks up to "data"; a data chunk longer than the file is clamped.
bool ParseWave(ByteSource& source, WaveFormat& format)
{
    uint8_t header[12];
    if (!ReadExact(source, header, sizeof header) || std::memcmp(header, "RIFF", 4) != 0 ||
        std::memcmp(header + 8, "WAVE", 4) != 0)
        return false;
    uint64_t position = sizeof header;
    bool haveFmt = false;
    for (;;) {
        uint8_t chunk[8];
        if (!ReadExact(source, chunk, sizeof chunk))
            return false;
        position += sizeof chunk;
        const uint32_t size = Le32(chunk + 4);
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (!ParseFmt(source, size, format))
                return false;
            haveFmt = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFmt || !format.Valid())
                return false;
            const uint64_t available = source.Size() == UINT64_MAX ? size : source.Size() - position;
            format.dataStart = position;
            format.dataBytes = std::min<uint64_t>(size, available);
            return format.dataBytes >= format.FrameBytes();
        }
        position += uint64_t{size} + (size & 1);
        if (position > source.Size() || !source.Seek(position))
            return false;
    }
}

constexpr float kScale8 = 128.0f;
constexpr float kScale16 = 32768.0f;
constexpr float kScale32 = 2147483648.0f;  // 24-bit samples are read as the top of a 32-bit word

// Converts count samples of one format; chosen once per stream, so the loops stay tight.
using SampleConverter = void (*)(const uint8_t* in, size_t count, float* out);

// Every sample through one(its bytes), in chunks of a fixed count, which the
// compiler turns into vector code.
template <size_t kBytes, typename One>
inline void ConvertAll(const uint8_t* in, size_t count, float* out, One one)
{
    constexpr size_t kChunk = 8;
    size_t i = 0;
    for (; i + kChunk <= count; i += kChunk) {
#pragma GCC unroll 8
        for (size_t k = 0; k < kChunk; ++k)
            out[i + k] = one(in + kBytes * (i + k));
    }
    for (; i < count; ++i)
        out[i] = one(in + kBytes * i);
}

void Unsigned8(const uint8_t* in, size_t count, float* out)
{
    ConvertAll<1>(in, count, out, [](const uint8_t* p) { return (static_cast<float>(*p) - kScale8) / kScale8; });
}

// Four samples at a time as vectors, where the compiler does not see one in the loop.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "samples are read as they lie");
constexpr size_t kFour = 4;
using FourShorts = int16_t __attribute__((vector_size(kFour * sizeof(int16_t))));
using FourFloats = float __attribute__((vector_size(kFour * sizeof(float))));

void Signed16(const uint8_t* in, size_t count, float* out)
{
    size_t i = 0;
    for (; i + kFour <= count; i += kFour) {
        FourShorts samples;
        std::memcpy(&samples, in + 2 * i, sizeof samples);
        const FourFloats converted = __builtin_convertvector(samples, FourFloats) / kScale16;
        std::memcpy(out + i, &converted, sizeof converted);
    }
    ConvertAll<2>(in + 2 * i, count - i, out + i,
                  [](const uint8_t* p) { return static_cast<float>(static_cast<int16_t>(Le16(p))) / kScale16; });
}

void Signed24(const uint8_t* in, size_t count, float* out)
{
    ConvertAll<3>(in, count, out, [](const uint8_t* p) {
        const uint32_t word = (uint32_t{p[0]} << 8) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 24);
        return static_cast<float>(static_cast<int32_t>(word)) / kScale32;
    });
}

void Signed32(const uint8_t* in, size_t count, float* out)
{
    ConvertAll<4>(in, count, out,
                  [](const uint8_t* p) { return static_cast<float>(static_cast<int32_t>(Le32(p))) / kScale32; });
}

void Float32(const uint8_t* in, size_t count, float* out) { SaneFloats(in, count, out); }

SampleConverter ConverterFor(const WaveFormat& format)
{
    switch (format.bits) {
        case 8:
            return Unsigned8;
        case 16:
            return Signed16;
        case 24:
            return Signed24;
        default:
            return format.tag == kFormatFloat ? Float32 : Signed32;
    }
}

class WaveDecoder : public Decoder {
public:
    WaveDecoder(std::unique_ptr<ByteSource> source, const WaveFormat& format)
        : source_(std::move(source)), format_(format), convert_(ConverterFor(format)),
          frames_(*source_, format.dataStart, format.dataBytes / format.FrameBytes(), format.FrameBytes())
    {}

    uint32_t Rate() const override { return format_.rate; }
    uint32_t Channels() const override { return format_.channels; }
    uint64_t LengthFrames() const override { return frames_.Length(); }

    bool Rewind() override
    {
        frames_.Restart();
        return source_->Seek(format_.dataStart);
    }

    size_t Read(float* out, size_t frames) override
    {
        const uint32_t channels = format_.channels;
        return frames_.Read(*source_, frames, [&](const uint8_t* bytes, size_t count, size_t first) {
            convert_(bytes, count * channels, out + first * channels);
        });
    }

private:
    std::unique_ptr<ByteSource> source_;
    WaveFormat format_;
    SampleConverter convert_;
    PcmFrames frames_;
};

}  // namespace

std::unique_ptr<Decoder> OpenWave(std::unique_ptr<ByteSource>& source)
{
    WaveFormat format;
    const bool ok = ParseWave(*source, format) && source->Seek(format.dataStart);
    if (!ok) {
        source->Seek(0);
        return nullptr;
    }
    return std::make_unique<WaveDecoder>(std::move(source), format);
}

}  // namespace ovelaudio
