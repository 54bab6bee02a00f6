#include "platform/audio/plugins/flac/FlacDecoder.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace ovelflac {
namespace {

using ovelplugin::ByteInput;

constexpr uint8_t kMarker[4] = {'f', 'L', 'a', 'C'};
constexpr size_t kId3HeaderBytes = 10;
constexpr uint8_t kId3FooterFlag = 0x10;
constexpr uint32_t kStreamInfoType = 0;
constexpr uint32_t kStreamInfoBytes = 34;
constexpr uint8_t kLastBlockFlag = 0x80;
constexpr uint32_t kMaxChannels = 8;
constexpr uint32_t kMinBits = 4;
constexpr uint32_t kMaxBits = 32;
constexpr uint32_t kMaxBlockSize = 65535;
constexpr size_t kMaxHeaderBytes = 16;
// A frame can hold every sample verbatim at 33 bits, plus its headers.
constexpr size_t kMaxFrameBytes = kMaxChannels * (kMaxBlockSize * 33 / 8 + 64) + kMaxHeaderBytes;

constexpr std::array<uint8_t, 256> Crc8Table()
{
    std::array<uint8_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t crc = i;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x80) ? (crc << 1) ^ 0x07 : crc << 1;
        table[i] = static_cast<uint8_t>(crc);
    }
    return table;
}

constexpr std::array<uint16_t, 256> Crc16Table()
{
    std::array<uint16_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t crc = i << 8;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? (crc << 1) ^ 0x8005 : crc << 1;
        table[i] = static_cast<uint16_t>(crc);
    }
    return table;
}

constexpr std::array<uint8_t, 256> kCrc8 = Crc8Table();
constexpr std::array<uint16_t, 256> kCrc16 = Crc16Table();

uint8_t Crc8(const uint8_t* data, size_t size)
{
    uint8_t crc = 0;
    for (size_t i = 0; i < size; ++i)
        crc = kCrc8[crc ^ data[i]];
    return crc;
}

uint16_t Crc16(const uint8_t* data, size_t size)
{
    uint16_t crc = 0;
    for (size_t i = 0; i < size; ++i)
        crc = static_cast<uint16_t>((crc << 8) ^ kCrc16[(crc >> 8) ^ data[i]]);
    return crc;
}

uint32_t Be24(const uint8_t* p) { return (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2]; }

// Most significant bit first; past the end it reads zeros and remembers that it did.
class BitReader {
public:
    BitReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    // n <= 56
    uint64_t Bits(unsigned n)
    {
        if (bits_ < n)
            Refill();
        const uint64_t value = n == 0 ? 0 : cache_ >> (64 - n);
        Consume(n);
        return value;
    }

    int64_t Signed(unsigned n)
    {
        if (n == 0)
            return 0;
        const uint64_t value = Bits(n);
        const uint64_t sign = uint64_t{1} << (n - 1);
        return static_cast<int64_t>(value ^ sign) - static_cast<int64_t>(sign);
    }

    // The number of zeros before the next one.
    uint64_t Unary()
    {
        uint64_t zeros = 0;
        for (;;) {
            if (bits_ == 0)
                Refill();
            if (cache_ != 0)
                break;
            zeros += bits_;
            Consume(bits_);
            if (Overran())
                return zeros;
        }
        const unsigned lead = static_cast<unsigned>(__builtin_clzll(cache_));
        Consume(lead + 1);
        return zeros + lead;
    }

    void AlignToByte() { Consume(static_cast<unsigned>(consumed_ % 8 == 0 ? 0 : 8 - consumed_ % 8)); }
    size_t BytePosition() const { return static_cast<size_t>(consumed_ / 8); }
    bool Overran() const { return consumed_ > uint64_t{size_} * 8; }

private:
    void Refill()
    {
        while (bits_ <= 56) {
            const uint64_t byte = next_ < size_ ? data_[next_] : 0;
            ++next_;
            cache_ |= byte << (56 - bits_);
            bits_ += 8;
        }
    }

    void Consume(unsigned n)
    {
        cache_ = n >= 64 ? 0 : cache_ << n;
        bits_ -= n;
        consumed_ += n;
    }

    const uint8_t* data_;
    size_t size_;
    size_t next_ = 0;
    uint64_t cache_ = 0;
    unsigned bits_ = 0;
    uint64_t consumed_ = 0;
};

bool SkipId3(ByteInput& input, uint8_t (&head)[4])
{
    uint8_t rest[kId3HeaderBytes - 4];
    if (input.Read(rest, sizeof rest) != sizeof rest)
        return false;
    uint64_t size = 0;
    for (int i = 2; i < 6; ++i) {
        if (rest[i] & 0x80)
            return false;
        size = (size << 7) | rest[i];
    }
    if (rest[1] & kId3FooterFlag)
        size += kId3HeaderBytes;
    return input.Skip(size) && input.Read(head, 4) == 4;
}

bool ParseStreamInfo(const uint8_t* p, StreamInfo& info)
{
    info.rate = (uint32_t{p[10]} << 12) | (uint32_t{p[11]} << 4) | (p[12] >> 4);
    info.channels = ((p[12] >> 1) & 0x07) + 1;
    info.bitsPerSample = (((p[12] & 1u) << 4) | (p[13] >> 4)) + 1;
    info.totalFrames = (uint64_t{p[13] & 0x0Fu} << 32) | (uint64_t{p[14]} << 24) | (uint64_t{p[15]} << 16) |
                       (uint64_t{p[16]} << 8) | p[17];
    return info.rate != 0 && info.bitsPerSample >= kMinBits && info.bitsPerSample <= kMaxBits;
}

// Reads up to the first frame; false when this is not a stream we decode.
bool ReadMetadata(ByteInput& input, StreamInfo& info)
{
    uint8_t head[4];
    if (input.Read(head, 4) != 4)
        return false;
    if (std::memcmp(head, "ID3", 3) == 0 && !SkipId3(input, head))
        return false;
    if (std::memcmp(head, kMarker, 4) != 0)
        return false;
    bool haveInfo = false;
    for (;;) {
        uint8_t block[4];
        if (input.Read(block, 4) != 4)
            return false;
        const uint32_t type = block[0] & 0x7F;
        const uint32_t size = Be24(block + 1);
        if (!haveInfo) {
            uint8_t body[kStreamInfoBytes];
            if (type != kStreamInfoType || size < kStreamInfoBytes || input.Read(body, sizeof body) != sizeof body ||
                !ParseStreamInfo(body, info) || !input.Skip(size - kStreamInfoBytes))
                return false;
            haveInfo = true;
        } else if (!input.Skip(size)) {
            return false;
        }
        if (block[0] & kLastBlockFlag)
            return true;
    }
}

constexpr uint32_t kRateCodes[12] = {0, 88200, 176400, 192000, 8000, 16000, 22050, 24000, 32000, 44100, 48000, 96000};
constexpr uint32_t kBitsCodes[8] = {0, 8, 12, 0, 16, 20, 24, 32};
constexpr uint32_t kIndependentMax = 7;
constexpr uint32_t kLeftSide = 8;
constexpr uint32_t kSideRight = 9;
constexpr uint32_t kMidSide = 10;

uint32_t ChannelsOf(uint32_t code) { return code <= kIndependentMax ? code + 1 : 2; }

// The frame or sample number: one to seven bytes, coded like UTF-8.
bool SkipCodedNumber(BitReader& bits)
{
    const uint32_t first = static_cast<uint32_t>(bits.Bits(8));
    const int ones = __builtin_clz(~(first << 24));
    if (ones == 1 || ones == 8)
        return false;
    for (int i = 1; i < ones; ++i)
        if ((bits.Bits(8) & 0xC0) != 0x80)
            return false;
    return true;
}

// Residual of a subframe, added onto the prediction later.
bool DecodeResidual(BitReader& bits, uint32_t blockSize, uint32_t order, int64_t* out)
{
    const uint32_t method = static_cast<uint32_t>(bits.Bits(2));
    if (method > 1)
        return false;
    const unsigned paramBits = method == 0 ? 4 : 5;
    const uint32_t escape = (1u << paramBits) - 1;
    const uint32_t partitionOrder = static_cast<uint32_t>(bits.Bits(4));
    const uint32_t partitions = 1u << partitionOrder;
    const uint32_t perPartition = blockSize >> partitionOrder;
    if ((blockSize & (partitions - 1)) != 0 || perPartition < order)
        return false;
    size_t at = order;
    for (uint32_t p = 0; p < partitions; ++p) {
        const size_t count = perPartition - (p == 0 ? order : 0);
        const uint32_t param = static_cast<uint32_t>(bits.Bits(paramBits));
        if (param == escape) {
            const unsigned width = static_cast<unsigned>(bits.Bits(5));
            for (size_t i = 0; i < count; ++i)
                out[at++] = bits.Signed(width);
        } else {
            for (size_t i = 0; i < count; ++i) {
                const uint64_t quotient = bits.Unary();
                if (quotient > (uint64_t{1} << 32) || bits.Overran())
                    return false;
                const uint64_t folded = (quotient << param) | bits.Bits(param);
                out[at++] = static_cast<int64_t>(folded >> 1) ^ -static_cast<int64_t>(folded & 1);
            }
        }
        if (bits.Overran())
            return false;
    }
    return true;
}

bool InRange(int64_t sample, unsigned width)
{
    const int64_t limit = int64_t{1} << (width - 1);
    return sample >= -limit && sample < limit;
}

constexpr int64_t kFixedCoefficients[5][4] = {{0, 0, 0, 0}, {1, 0, 0, 0}, {2, -1, 0, 0}, {3, -3, 1, 0}, {4, -6, 4, -1}};

// out holds warm-up samples and residuals; turns them into samples in place.
bool Predict(int64_t* out, uint32_t blockSize, const int64_t* coefficients, uint32_t order, unsigned shift,
             unsigned width)
{
    for (uint32_t i = order; i < blockSize; ++i) {
        int64_t sum = 0;
        for (uint32_t j = 0; j < order; ++j)
            sum += coefficients[j] * out[i - 1 - j];
        const int64_t sample = (sum >> shift) + out[i];
        if (!InRange(sample, width))
            return false;
        out[i] = sample;
    }
    return true;
}

bool DecodeSubframe(BitReader& bits, uint32_t blockSize, unsigned width, int64_t* out)
{
    if (bits.Bits(1) != 0)
        return false;
    const uint32_t type = static_cast<uint32_t>(bits.Bits(6));
    unsigned wasted = 0;
    if (bits.Bits(1)) {
        const uint64_t zeros = bits.Unary();
        if (zeros + 1 >= width)
            return false;
        wasted = static_cast<unsigned>(zeros + 1);
    }
    const unsigned coded = width - wasted;
    bool ok = true;
    if (type == 0) {
        const int64_t value = bits.Signed(coded);
        std::fill(out, out + blockSize, value);
    } else if (type == 1) {
        for (uint32_t i = 0; i < blockSize; ++i)
            out[i] = bits.Signed(coded);
    } else if (type >= 8 && type <= 12) {
        const uint32_t order = type - 8;
        if (order > blockSize)
            return false;
        for (uint32_t i = 0; i < order; ++i)
            out[i] = bits.Signed(coded);
        ok = DecodeResidual(bits, blockSize, order, out) &&
             Predict(out, blockSize, kFixedCoefficients[order], order, 0, coded);
    } else if (type >= 32) {
        const uint32_t order = type - 31;
        if (order > blockSize)
            return false;
        for (uint32_t i = 0; i < order; ++i)
            out[i] = bits.Signed(coded);
        const unsigned precision = static_cast<unsigned>(bits.Bits(4)) + 1;
        const int64_t shift = bits.Signed(5);
        if (precision == 16 || shift < 0)
            return false;
        int64_t coefficients[32];
        for (uint32_t j = 0; j < order; ++j)
            coefficients[j] = bits.Signed(precision);
        ok = DecodeResidual(bits, blockSize, order, out) &&
             Predict(out, blockSize, coefficients, order, static_cast<unsigned>(shift), coded);
    } else {
        return false;
    }
    if (!ok || bits.Overran())
        return false;
    if (wasted)
        for (uint32_t i = 0; i < blockSize; ++i)
            out[i] = static_cast<int64_t>(static_cast<uint64_t>(out[i]) << wasted);
    return true;
}

void Undo(uint32_t code, int64_t* a, int64_t* b, uint32_t frames)
{
    switch (code) {
        case kLeftSide:
            for (uint32_t i = 0; i < frames; ++i)
                b[i] = a[i] - b[i];
            break;
        case kSideRight:
            for (uint32_t i = 0; i < frames; ++i)
                a[i] += b[i];
            break;
        case kMidSide:
            for (uint32_t i = 0; i < frames; ++i) {
                const int64_t mid = static_cast<int64_t>(static_cast<uint64_t>(a[i]) << 1) | (b[i] & 1);
                a[i] = (mid + b[i]) >> 1;
                b[i] = (mid - b[i]) >> 1;
            }
            break;
        default:
            break;
    }
}

}  // namespace

std::unique_ptr<FlacDecoder> FlacDecoder::Open(ByteInput& input)
{
    StreamInfo info;
    if (!ReadMetadata(input, info))
        return nullptr;
    return std::unique_ptr<FlacDecoder>(new FlacDecoder(input, info, input.Position()));
}

FlacDecoder::FlacDecoder(ByteInput& input, const StreamInfo& info, uint64_t firstFrame)
    : input_(input), info_(info), firstFrame_(firstFrame), window_(input),
      samples_(info.channels, std::vector<int64_t>(kMaxBlockSize))
{}

bool FlacDecoder::Rewind()
{
    window_.Clear();
    blockFrames_ = 0;
    return input_.Seek(firstFrame_);
}

bool FlacDecoder::ParseHeader(const uint8_t* data, size_t size, Header& header) const
{
    BitReader bits(data, size);
    if (bits.Bits(15) != 0x7FFC)
        return false;
    bits.Bits(1);  // fixed or variable block size: both decode alike
    const uint32_t sizeCode = static_cast<uint32_t>(bits.Bits(4));
    const uint32_t rateCode = static_cast<uint32_t>(bits.Bits(4));
    header.channelCode = static_cast<uint32_t>(bits.Bits(4));
    const uint32_t bitsCode = static_cast<uint32_t>(bits.Bits(3));
    if (bits.Bits(1) != 0 || sizeCode == 0 || rateCode == 15 || header.channelCode > kMidSide || bitsCode == 3)
        return false;
    if (!SkipCodedNumber(bits))
        return false;
    if (sizeCode == 1)
        header.blockSize = 192;
    else if (sizeCode <= 5)
        header.blockSize = 576u << (sizeCode - 2);
    else if (sizeCode == 6)
        header.blockSize = static_cast<uint32_t>(bits.Bits(8)) + 1;
    else if (sizeCode == 7)
        header.blockSize = static_cast<uint32_t>(bits.Bits(16)) + 1;
    else
        header.blockSize = 256u << (sizeCode - 8);
    if (rateCode == 12)
        bits.Bits(8);
    else if (rateCode == 13 || rateCode == 14)
        bits.Bits(16);
    header.bitsPerSample = bitsCode == 0 ? info_.bitsPerSample : kBitsCodes[bitsCode];
    const size_t crcAt = bits.BytePosition();
    const uint8_t crc = static_cast<uint8_t>(bits.Bits(8));
    header.bytes = crcAt + 1;
    return !bits.Overran() && crc == Crc8(data, crcAt) && header.blockSize <= kMaxBlockSize &&
           ChannelsOf(header.channelCode) == info_.channels && header.bitsPerSample == info_.bitsPerSample;
}

// Scans for a sync code whose header checks out; leaves the window at it.
bool FlacDecoder::FindFrame(Header& header)
{
    for (;;) {
        if (!window_.Fill(kMaxHeaderBytes) && window_.Waiting())
            return false;
        const size_t available = window_.Available();
        if (available < 2)
            return false;
        const uint8_t* data = window_.Data();
        size_t at = 0;
        while (at + 1 < available && !(data[at] == 0xFF && (data[at + 1] & 0xFE) == 0xF8))
            ++at;
        window_.Drop(at);
        if (at + 1 >= available) {
            if (window_.Ended())
                return false;
            continue;
        }
        if (!window_.Fill(kMaxHeaderBytes) && window_.Waiting())
            return false;
        if (ParseHeader(window_.Data(), window_.Available(), header))
            return true;
        window_.Drop(1);
    }
}

bool FlacDecoder::DecodeFrame(const Header& header, size_t& frameBytes, bool& more)
{
    const uint8_t* data = window_.Data();
    const size_t available = window_.Available();
    BitReader bits(data + header.bytes, available - header.bytes);
    const bool stereo = header.channelCode > kIndependentMax;
    for (uint32_t c = 0; c < info_.channels; ++c) {
        const bool side = (header.channelCode == kLeftSide && c == 1) || (header.channelCode == kSideRight && c == 0) ||
                          (header.channelCode == kMidSide && c == 1);
        const unsigned width = header.bitsPerSample + (side ? 1 : 0);
        if (!DecodeSubframe(bits, header.blockSize, width, samples_[c].data())) {
            more = bits.Overran();
            return false;
        }
    }
    bits.AlignToByte();
    const size_t crcAt = header.bytes + bits.BytePosition();
    const uint16_t crc = static_cast<uint16_t>(bits.Bits(16));
    if (bits.Overran()) {
        more = true;
        return false;
    }
    if (crc != Crc16(data, crcAt))
        return false;
    if (stereo)
        Undo(header.channelCode, samples_[0].data(), samples_[1].data(), header.blockSize);
    frameBytes = crcAt + 2;
    blockFrames_ = header.blockSize;
    return true;
}

void FlacDecoder::Silence(size_t frames)
{
    for (auto& channel : samples_)
        std::fill(channel.begin(), channel.begin() + static_cast<std::ptrdiff_t>(frames), 0);
    blockFrames_ = frames;
}

bool FlacDecoder::NextBlock()
{
    Header header{};
    if (!FindFrame(header))
        return false;
    for (;;) {
        bool more = false;
        size_t frameBytes = 0;
        if (DecodeFrame(header, frameBytes, more)) {
            window_.Drop(frameBytes);
            return true;
        }
        const size_t available = window_.Available();
        if (!more || window_.Ended() || available >= kMaxFrameBytes)
            break;
        if (!window_.Fill(std::min(available * 2, kMaxFrameBytes)) && window_.Waiting())
            return false;
    }
    // A damaged frame keeps its place in time; the next one is searched after its sync code.
    Silence(header.blockSize);
    window_.Drop(2);
    return true;
}

}  // namespace ovelflac
