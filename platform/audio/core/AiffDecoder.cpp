#include "platform/audio/core/AiffDecoder.h"

#include "platform/audio/core/Limits.h"
#include "platform/audio/core/PcmFrames.h"
#include "platform/audio/core/Samples.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace ovelaudio {
namespace {

constexpr size_t kCommPlainBytes = 18;
constexpr size_t kCommCompressedBytes = 22;  // plus the compression's name
constexpr size_t kSsndHeaderBytes = 8;
constexpr int kExtendedBias = 16383;
constexpr int kMantissaBits = 63;

uint32_t Be32(const uint8_t* p) { return (uint32_t{p[0]} << 24) | (p[1] << 16) | (p[2] << 8) | p[3]; }
uint16_t Be16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

// The sample rate: an 80-bit extended float (sign, 15-bit exponent, 64-bit mantissa).
double Extended(const uint8_t* p)
{
    const int exponent = ((p[0] & 0x7F) << 8) | p[1];
    uint64_t mantissa = 0;
    for (int i = 2; i < 10; ++i)
        mantissa = (mantissa << 8) | p[i];
    const double value = std::ldexp(static_cast<double>(mantissa), exponent - kExtendedBias - kMantissaBits);
    return (p[0] & 0x80) ? -value : value;
}

enum class Encoding {
    BigEndian,
    LittleEndian,
    Float32,
    Float64
};

struct AiffFormat {
    Encoding encoding = Encoding::BigEndian;
    uint32_t channels = 0;
    uint32_t rate = 0;
    uint32_t sampleBytes = 0;
    uint64_t frames = 0;
    uint64_t dataStart = 0;

    uint32_t FrameBytes() const { return channels * sampleBytes; }
};

bool ReadExact(ByteSource& source, void* out, size_t bytes) { return source.Read(out, bytes) == bytes; }

bool PickEncoding(const uint8_t* type, uint32_t bits, AiffFormat& format)
{
    const auto is = [type](const char* name) { return std::memcmp(type, name, 4) == 0; };
    if (is("NONE") || is("sowt")) {
        format.encoding = is("NONE") ? Encoding::BigEndian : Encoding::LittleEndian;
        return bits >= 1 && bits <= 32;
    }
    if ((is("fl32") || is("FL32")) && bits == 32) {
        format.encoding = Encoding::Float32;
        return true;
    }
    if (is("fl64") && bits == 64) {
        format.encoding = Encoding::Float64;
        format.sampleBytes = 8;
        return true;
    }
    return false;
}

bool ParseComm(ByteSource& source, uint32_t size, bool compressed, AiffFormat& format)
{
    uint8_t comm[kCommCompressedBytes];
    const size_t need = compressed ? kCommCompressedBytes : kCommPlainBytes;
    if (size < need || !ReadExact(source, comm, need))
        return false;
    format.channels = Be16(comm);
    format.frames = Be32(comm + 2);
    const uint32_t bits = Be16(comm + 6);
    const double rate = Extended(comm + 8);
    if (!(rate >= kMinRate && rate <= kMaxRate) || format.channels < 1 || format.channels > kMaxChannels)
        return false;
    format.rate = static_cast<uint32_t>(std::lround(rate));
    format.sampleBytes = (bits + 7) / 8;
    if (compressed)
        return PickEncoding(comm + 18, bits, format);
    return bits >= 1 && bits <= 32;
}

// Walks the chunks up to the sound data; frames beyond the file's end are dropped.
bool ParseAiff(ByteSource& source, AiffFormat& format)
{
    uint8_t header[12];
    if (!ReadExact(source, header, sizeof header) || std::memcmp(header, "FORM", 4) != 0)
        return false;
    const bool compressed = std::memcmp(header + 8, "AIFC", 4) == 0;
    if (!compressed && std::memcmp(header + 8, "AIFF", 4) != 0)
        return false;
    uint64_t position = sizeof header;
    bool haveComm = false;
    for (;;) {
        uint8_t chunk[8];
        if (!ReadExact(source, chunk, sizeof chunk))
            return false;
        position += sizeof chunk;
        const uint32_t size = Be32(chunk + 4);
        if (std::memcmp(chunk, "COMM", 4) == 0) {
            if (!ParseComm(source, size, compressed, format))
                return false;
            haveComm = true;
        } else if (std::memcmp(chunk, "SSND", 4) == 0) {
            uint8_t ssnd[kSsndHeaderBytes];
            if (!haveComm || size < kSsndHeaderBytes || !ReadExact(source, ssnd, sizeof ssnd))
                return false;
            format.dataStart = position + kSsndHeaderBytes + Be32(ssnd);
            const uint64_t end = std::min<uint64_t>(position + size, source.Size());
            const uint64_t available = end > format.dataStart ? (end - format.dataStart) / format.FrameBytes() : 0;
            format.frames = std::min(format.frames, available);
            return format.frames > 0;
        }
        position += uint64_t{size} + (size & 1);
        if (position > source.Size() || !source.Seek(position))
            return false;
    }
}

// Reads one sample of the given width as the top bits of a 32-bit word.
int32_t BigEndianWord(const uint8_t* p, uint32_t bytes)
{
    uint32_t word = 0;
    for (uint32_t i = 0; i < bytes; ++i)
        word |= uint32_t{p[i]} << (24 - 8 * i);
    return static_cast<int32_t>(word);
}

int32_t LittleEndianWord(const uint8_t* p, uint32_t bytes)
{
    uint32_t word = 0;
    for (uint32_t i = 0; i < bytes; ++i)
        word |= uint32_t{p[bytes - 1 - i]} << (24 - 8 * i);
    return static_cast<int32_t>(word);
}

constexpr float kWordScale = 2147483648.0f;

float Sample(const uint8_t* p, const AiffFormat& format)
{
    switch (format.encoding) {
        case Encoding::BigEndian:
            return static_cast<float>(BigEndianWord(p, format.sampleBytes)) / kWordScale;
        case Encoding::LittleEndian:
            return static_cast<float>(LittleEndianWord(p, format.sampleBytes)) / kWordScale;
        case Encoding::Float32: {
            const uint32_t bits = Be32(p);
            float value;
            std::memcpy(&value, &bits, sizeof value);
            return value;
        }
        case Encoding::Float64: {
            const uint64_t bits = (uint64_t{Be32(p)} << 32) | Be32(p + 4);
            double value;
            std::memcpy(&value, &bits, sizeof value);
            return static_cast<float>(value);
        }
    }
    return 0.0f;
}

class AiffDecoder : public Decoder {
public:
    AiffDecoder(std::unique_ptr<ByteSource> source, const AiffFormat& format)
        : source_(std::move(source)), format_(format),
          frames_(*source_, format.dataStart, format.frames, format.FrameBytes())
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
        return frames_.Read(*source_, frames, [&](const uint8_t* bytes, size_t count, size_t first) {
            float* to = out + first * format_.channels;
            for (size_t i = 0; i < count * format_.channels; ++i)
                to[i] = Sample(bytes + i * format_.sampleBytes, format_);
            SaneFloats(to, count * format_.channels, to);
        });
    }

private:
    std::unique_ptr<ByteSource> source_;
    AiffFormat format_;
    PcmFrames frames_;
};

}  // namespace

std::unique_ptr<Decoder> OpenAiff(std::unique_ptr<ByteSource>& source)
{
    AiffFormat format;
    const bool ok = ParseAiff(*source, format) && source->Seek(format.dataStart);
    if (!ok) {
        source->Seek(0);
        return nullptr;
    }
    return std::make_unique<AiffDecoder>(std::move(source), format);
}

}  // namespace ovelaudio
