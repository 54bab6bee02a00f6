#include "platform/audio/plugins/wavpack/WavPackDecoder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace ovelwavpack {
namespace {

using ovelplugin::ByteInput;

constexpr size_t kHeaderBytes = 32;
constexpr uint16_t kMinVersion = 0x402;
constexpr uint16_t kMaxVersion = 0x410;
constexpr uint32_t kMaxBlockBytes = 1 << 24;
constexpr uint32_t kMaxBlockSamples = 1 << 17;
constexpr uint32_t kMaxChannels = 8;

// Header flags.
constexpr uint32_t kBytesStored = 0x3;
constexpr uint32_t kMono = 0x4;
constexpr uint32_t kHybrid = 0x8;
constexpr uint32_t kJointStereo = 0x10;
constexpr uint32_t kFloatData = 0x80;
constexpr uint32_t kInt32Data = 0x100;
constexpr uint32_t kHybridBitrate = 0x200;
constexpr uint32_t kHybridBalance = 0x400;
constexpr uint32_t kInitialBlock = 0x800;
constexpr uint32_t kFinalBlock = 0x1000;
constexpr int kShiftLsb = 13;
constexpr uint32_t kShiftMask = 0x1F << kShiftLsb;
constexpr int kRateLsb = 23;
constexpr uint32_t kRateMask = 0xF << kRateLsb;
constexpr uint32_t kFalseStereo = 0x40000000;
constexpr uint32_t kMonoData = kMono | kFalseStereo;  // one channel coded, whatever is played
constexpr uint32_t kDsd = 0x80000000;

constexpr uint32_t kRates[15] = {6000,  8000,  9600,  11025, 12000, 16000, 22050, 24000,
                                 32000, 44100, 48000, 64000, 88200, 96000, 192000};

// Metadata ids.
constexpr uint8_t kIdFunction = 0x3F;
constexpr uint8_t kIdOddSize = 0x40;
constexpr uint8_t kIdLarge = 0x80;
constexpr uint8_t kIdDecorrTerms = 0x2;
constexpr uint8_t kIdDecorrWeights = 0x3;
constexpr uint8_t kIdDecorrSamples = 0x4;
constexpr uint8_t kIdEntropyVars = 0x5;
constexpr uint8_t kIdHybridProfile = 0x6;
constexpr uint8_t kIdFloatInfo = 0x8;
constexpr uint8_t kIdInt32Info = 0x9;
constexpr uint8_t kIdWvBitstream = 0xA;
constexpr uint8_t kIdWvxBitstream = 0xC;
constexpr uint8_t kIdChannelInfo = 0xD;
constexpr uint8_t kIdDsdBlock = 0xE;
constexpr uint8_t kIdSampleRate = 0x27;

constexpr int kMaxTerms = 16;
constexpr int kMaxTerm = 8;
constexpr int kWeightLimit = 1024;
constexpr uint32_t kLimitOnes = 16;
constexpr int kSlowShift = 8;
constexpr int kSlowOffset = 1 << (kSlowShift - 1);

// Float info flags.
constexpr uint8_t kFloatShiftOnes = 0x1;
constexpr uint8_t kFloatShiftSame = 0x2;
constexpr uint8_t kFloatShiftSent = 0x4;
constexpr uint8_t kFloatZerosSent = 0x8;
constexpr uint8_t kFloatNegativeZeros = 0x10;
constexpr uint32_t kFloatSpecial = 0x1000000;  // with extra bits: infinity or not a number

uint32_t Le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// Logarithms of the entropy coder: 8.8 fixed point, base 2.
struct LogTables {
    std::array<uint8_t, 256> exp2;  // fraction f: 256 * 2^(f / 256) - 256
    std::array<uint8_t, 256> log2;  // mantissa m: 256 * log2(1 + m / 256)
    LogTables()
    {
        for (int i = 0; i < 256; ++i) {
            exp2[i] = static_cast<uint8_t>(std::lround(256.0 * std::exp2(i / 256.0)) - 256);
            log2[i] = static_cast<uint8_t>(std::min(255L, std::lround(256.0 * std::log2(1.0 + i / 256.0))));
        }
    }
};

const LogTables& Tables()
{
    static const LogTables tables;
    return tables;
}

int32_t Exp2s(int32_t log)
{
    if (log < 0)
        return -Exp2s(-log);
    const uint32_t value = Tables().exp2[log & 0xFF] | 0x100u;
    const int32_t whole = log >> 8;
    if (whole <= 9)
        return static_cast<int32_t>(value >> (9 - whole));
    return whole >= 32 ? 0 : static_cast<int32_t>(value << (whole - 9));
}

int BitCount(uint32_t value) { return value == 0 ? 0 : 32 - __builtin_clz(value); }

int32_t Log2(uint32_t value)
{
    value += value >> 9;
    const int bits = BitCount(value);
    const uint32_t mantissa = bits <= 9 ? value << (9 - bits) : value >> (bits - 9);
    return (bits << 8) + Tables().log2[mantissa & 0xFF];
}

int32_t RestoreWeight(uint8_t stored)
{
    int32_t weight = static_cast<int8_t>(stored) * 8;
    if (weight > 0)
        weight += (weight + 64) >> 7;
    return weight;
}

// Least significant bit first; past the end it reads zeros and remembers that it did.
class BitReader {
public:
    BitReader() = default;
    BitReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool Open() const { return data_ != nullptr; }

    uint32_t Bit()
    {
        if (bits_ == 0)
            Refill();
        const uint32_t bit = static_cast<uint32_t>(cache_ & 1);
        cache_ >>= 1;
        --bits_;
        ++consumed_;
        return bit;
    }

    // n <= 32
    uint32_t Bits(unsigned n)
    {
        if (n == 0)
            return 0;
        if (bits_ < n)
            Refill();
        const uint32_t value = static_cast<uint32_t>(cache_ & ((uint64_t{1} << n) - 1));
        cache_ >>= n;
        bits_ -= n;
        consumed_ += n;
        return value;
    }

    // Ones before the next zero, at most limit (then no zero is taken).
    uint32_t Ones(uint32_t limit)
    {
        uint32_t ones = 0;
        while (ones < limit) {
            if (bits_ == 0)
                Refill();
            const uint32_t run =
                ~cache_ == 0 ? bits_ : std::min<uint32_t>(static_cast<uint32_t>(__builtin_ctzll(~cache_)), bits_);
            const uint32_t take = std::min(run, limit - ones);
            ones += take;
            cache_ >>= take;
            bits_ -= take;
            consumed_ += take;
            if (take < run || bits_ > 0)
                break;
        }
        if (ones < limit)
            Bit();
        return ones;
    }

    bool Overran() const { return consumed_ > uint64_t{size_} * 8; }

private:
    void Refill()
    {
        while (bits_ <= 56) {
            const uint64_t byte = next_ < size_ ? data_[next_] : 0;
            ++next_;
            cache_ |= byte << bits_;
            bits_ += 8;
        }
    }

    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t next_ = 0;
    uint64_t cache_ = 0;
    unsigned bits_ = 0;
    uint64_t consumed_ = 0;
};

struct DecorrPass {
    int term = 0;
    int32_t delta = 0;
    int32_t weightA = 0;
    int32_t weightB = 0;
    int32_t samplesA[kMaxTerm] = {};
    int32_t samplesB[kMaxTerm] = {};
};

struct EntropyChannel {
    uint32_t median[3] = {};
    uint32_t slowLevel = 0;
    uint32_t errorLimit = 0;
    uint32_t bitrateAcc = 0;
    uint32_t bitrateDelta = 0;
};

// What a block's metadata says, pointing into the block.
struct BlockData {
    DecorrPass passes[kMaxTerms];
    int terms = 0;
    EntropyChannel entropy[2];
    BitReader wv;
    BitReader wvx;
    uint8_t int32Info[4] = {};
    uint8_t floatInfo[4] = {};
    uint32_t channels = 0;  // from the channel info, 0 when not given
    uint32_t rate = 0;      // from the sample rate, 0 when not given
};

// The cross-channel terms (negative) belong to stereo blocks only.
bool ReadTerms(const uint8_t* p, size_t size, bool stereo, BlockData& data)
{
    if (size > kMaxTerms)
        return false;
    data.terms = static_cast<int>(size);
    for (size_t i = 0; i < size; ++i) {
        DecorrPass& pass = data.passes[i];
        pass.term = (p[i] & 0x1F) - 5;
        pass.delta = (p[i] >> 5) & 0x7;
        if (pass.term == 0 || pass.term < (stereo ? -3 : 1) || (pass.term > kMaxTerm && pass.term < 17) ||
            pass.term > 18)
            return false;
    }
    return true;
}

bool ReadWeights(const uint8_t* p, size_t size, bool stereo, BlockData& data)
{
    const size_t perPass = stereo ? 2 : 1;
    if (size % perPass != 0 || size / perPass > static_cast<size_t>(data.terms))
        return false;
    for (size_t i = 0; i < size / perPass; ++i) {
        data.passes[i].weightA = RestoreWeight(p[i * perPass]);
        if (stereo)
            data.passes[i].weightB = RestoreWeight(p[i * perPass + 1]);
    }
    return true;
}

bool ReadSamples(const uint8_t* p, size_t size, bool stereo, BlockData& data)
{
    const uint8_t* end = p + size;
    const auto next = [&](int32_t& value) {
        if (end - p < 2)
            return false;
        value = Exp2s(static_cast<int16_t>(Le16(p)));
        p += 2;
        return true;
    };
    for (int i = 0; i < data.terms && p < end; ++i) {
        DecorrPass& pass = data.passes[i];
        if (pass.term > kMaxTerm) {
            if (!next(pass.samplesA[0]) || !next(pass.samplesA[1]))
                return false;
            if (stereo && (!next(pass.samplesB[0]) || !next(pass.samplesB[1])))
                return false;
        } else if (pass.term < 0) {
            if (!stereo || !next(pass.samplesA[0]) || !next(pass.samplesB[0]))
                return false;
        } else {
            for (int m = 0; m < pass.term; ++m)
                if (!next(pass.samplesA[m]) || (stereo && !next(pass.samplesB[m])))
                    return false;
        }
    }
    return p == end;
}

bool ReadEntropy(const uint8_t* p, size_t size, bool stereo, BlockData& data)
{
    const size_t channels = stereo ? 2 : 1;
    if (size != 6 * channels)
        return false;
    for (size_t c = 0; c < channels; ++c)
        for (int m = 0; m < 3; ++m)
            data.entropy[c].median[m] = static_cast<uint32_t>(Exp2s(static_cast<int16_t>(Le16(p + 6 * c + 2 * m))));
    return true;
}

bool ReadHybridProfile(const uint8_t* p, size_t size, bool stereo, uint32_t flags, BlockData& data)
{
    const uint8_t* end = p + size;
    const size_t channels = stereo ? 2 : 1;
    const auto words = [&](size_t count) { return static_cast<size_t>(end - p) >= 2 * count; };
    if (flags & kHybridBitrate) {
        if (!words(channels))
            return false;
        for (size_t c = 0; c < channels; ++c, p += 2)
            data.entropy[c].slowLevel = static_cast<uint32_t>(Exp2s(static_cast<int16_t>(Le16(p))));
    }
    if (!words(channels))
        return false;
    for (size_t c = 0; c < channels; ++c, p += 2)
        data.entropy[c].bitrateAcc = uint32_t{Le16(p)} << 16;
    if (p < end) {
        if (!words(channels))
            return false;
        for (size_t c = 0; c < channels; ++c, p += 2)
            data.entropy[c].bitrateDelta = static_cast<uint32_t>(Exp2s(static_cast<int16_t>(Le16(p))));
    }
    return p == end;
}

bool ReadMetadata(const uint8_t* block, const BlockHeader& header, BlockData& data)
{
    const bool stereo = !(header.flags & kMonoData);
    const uint8_t* p = block + kHeaderBytes;
    const uint8_t* end = block + header.size;
    while (end - p >= 2) {
        const uint8_t id = p[0];
        size_t words = p[1];
        p += 2;
        if (id & kIdLarge) {
            if (end - p < 2)
                return false;
            words |= (size_t{p[0]} << 8) | (size_t{p[1]} << 16);
            p += 2;
        }
        size_t bytes = words * 2;
        if (bytes > static_cast<size_t>(end - p))
            return false;
        const uint8_t* body = p;
        p += bytes;
        if ((id & kIdOddSize) && bytes > 0)
            --bytes;
        bool ok = true;
        switch (id & kIdFunction) {
            case kIdDecorrTerms:
                ok = ReadTerms(body, bytes, stereo, data);
                break;
            case kIdDecorrWeights:
                ok = ReadWeights(body, bytes, stereo, data);
                break;
            case kIdDecorrSamples:
                ok = ReadSamples(body, bytes, stereo, data);
                break;
            case kIdEntropyVars:
                ok = ReadEntropy(body, bytes, stereo, data);
                break;
            case kIdHybridProfile:
                ok = ReadHybridProfile(body, bytes, stereo, header.flags, data);
                break;
            case kIdInt32Info:
            case kIdFloatInfo:
                ok = bytes == 4;
                if (ok)
                    std::memcpy((id & kIdFunction) == kIdInt32Info ? data.int32Info : data.floatInfo, body, 4);
                break;
            case kIdWvBitstream:
                data.wv = BitReader(body, bytes);
                break;
            case kIdWvxBitstream:
                // A checksum of the extra bits comes first.
                ok = bytes >= 4;
                if (ok)
                    data.wvx = BitReader(body + 4, bytes - 4);
                break;
            case kIdChannelInfo:
                ok = bytes >= 1;
                if (ok)
                    data.channels = body[0];
                break;
            case kIdSampleRate:
                ok = bytes >= 3;
                if (ok)
                    data.rate = body[0] | (body[1] << 8) | (body[2] << 16);
                break;
            case kIdDsdBlock:
                return false;
            default:
                break;
        }
        if (!ok)
            return false;
    }
    return data.wv.Open();
}

// The entropy decoder, its state shared by the channels of one block.
class WordReader {
public:
    WordReader(BlockData& data, uint32_t flags) : data_(data), flags_(flags), stereo_(!(flags & kMonoData)) {}

    // False when the bits run out or make no sense.
    bool Read(int chan, int32_t& word)
    {
        EntropyChannel& c = data_.entropy[chan];
        BitReader& bits = data_.wv;
        if ((data_.entropy[0].median[0] & ~1u) == 0 && !holdingZero_ && !holdingOne_ &&
            (data_.entropy[1].median[0] & ~1u) == 0) {
            if (zeros_) {
                if (--zeros_) {
                    Decay(c);
                    word = 0;
                    return true;
                }
            } else {
                if (!Escaped(bits, zeros_))
                    return false;
                if (zeros_) {
                    Decay(c);
                    std::fill(std::begin(data_.entropy[0].median), std::end(data_.entropy[0].median), 0u);
                    std::fill(std::begin(data_.entropy[1].median), std::end(data_.entropy[1].median), 0u);
                    word = 0;
                    return true;
                }
            }
        }
        uint32_t ones = 0;
        if (holdingZero_) {
            holdingZero_ = false;
        } else {
            ones = bits.Ones(kLimitOnes + 1);
            if (ones == kLimitOnes + 1)
                return false;
            if (ones == kLimitOnes) {
                uint32_t extra = 0;
                if (!Escaped(bits, extra))
                    return false;
                ones += extra;
            }
            const bool odd = (ones & 1) != 0;
            ones = holdingOne_ ? (ones >> 1) + 1 : ones >> 1;
            holdingOne_ = odd;
            holdingZero_ = !odd;
        }
        if ((flags_ & kHybrid) && chan == 0)
            UpdateErrorLimit();

        uint32_t low = 0;
        uint32_t high = 0;
        if (ones == 0) {
            high = Median(c, 0) - 1;
            Decrease(c, 0);
        } else {
            low = Median(c, 0);
            Increase(c, 0);
            if (ones == 1) {
                high = low + Median(c, 1) - 1;
                Decrease(c, 1);
            } else {
                low += Median(c, 1);
                Increase(c, 1);
                if (ones == 2) {
                    high = low + Median(c, 2) - 1;
                    Decrease(c, 2);
                } else {
                    low += (ones - 2) * Median(c, 2);
                    high = low + Median(c, 2) - 1;
                    Increase(c, 2);
                }
            }
        }
        low &= 0x7FFFFFFF;
        high &= 0x7FFFFFFF;
        if (low > high)
            high = low;
        uint32_t mid = (high + low + 1) >> 1;
        if (c.errorLimit == 0) {
            mid = Code(bits, high - low) + low;
        } else {
            while (high - low > c.errorLimit) {
                if (bits.Bit()) {
                    low = mid;
                    mid = (high + low + 1) >> 1;
                } else {
                    high = mid - 1;
                    mid = (high + low + 1) >> 1;
                }
            }
        }
        const bool negative = bits.Bit() != 0;
        if (flags_ & kHybridBitrate) {
            c.slowLevel -= (c.slowLevel + kSlowOffset) >> kSlowShift;
            c.slowLevel += static_cast<uint32_t>(Log2(mid));
        }
        word = negative ? ~static_cast<int32_t>(mid) : static_cast<int32_t>(mid);
        return !bits.Overran();
    }

private:
    static constexpr uint32_t kDivisors[3] = {128, 64, 32};

    static uint32_t Median(const EntropyChannel& c, int m) { return (c.median[m] >> 4) + 1; }
    static void Increase(EntropyChannel& c, int m) { c.median[m] += ((c.median[m] + kDivisors[m]) / kDivisors[m]) * 5; }
    static void Decrease(EntropyChannel& c, int m)
    {
        c.median[m] -= ((c.median[m] + (kDivisors[m] - 2)) / kDivisors[m]) * 2;
    }
    void Decay(EntropyChannel& c) const
    {
        if (flags_ & kHybridBitrate)
            c.slowLevel -= (c.slowLevel + kSlowOffset) >> kSlowShift;
    }

    // A count in the escape code: ones telling the width, then the bits under the top one.
    static bool Escaped(BitReader& bits, uint32_t& value)
    {
        const uint32_t width = bits.Ones(33);
        if (width == 33)
            return false;
        if (width < 2) {
            value = width;
            return true;
        }
        value = bits.Bits(width - 1) | (1u << (width - 1));
        return true;
    }

    // A value 0..maximum in the fewest bits, the shorter codes first.
    static uint32_t Code(BitReader& bits, uint32_t maximum)
    {
        if (maximum < 2)
            return maximum ? bits.Bit() : 0;
        const int width = BitCount(maximum);
        const uint32_t extras = static_cast<uint32_t>((uint64_t{1} << width) - 1 - maximum);
        uint32_t code = bits.Bits(static_cast<unsigned>(width - 1));
        if (code >= extras)
            code = (code << 1) - extras + bits.Bit();
        return code;
    }

    static uint32_t Limit(int32_t slowLog, int32_t bitrate)
    {
        return slowLog - bitrate > -0x100 ? static_cast<uint32_t>(Exp2s(slowLog - bitrate + 0x100)) : 0;
    }

    void UpdateErrorLimit()
    {
        EntropyChannel* c = data_.entropy;
        auto bitrate0 = static_cast<int32_t>((c[0].bitrateAcc += c[0].bitrateDelta) >> 16);
        if (!stereo_) {
            if (flags_ & kHybridBitrate)
                c[0].errorLimit = Limit(static_cast<int32_t>((c[0].slowLevel + kSlowOffset) >> kSlowShift), bitrate0);
            else
                c[0].errorLimit = static_cast<uint32_t>(Exp2s(bitrate0));
            return;
        }
        auto bitrate1 = static_cast<int32_t>((c[1].bitrateAcc += c[1].bitrateDelta) >> 16);
        if (!(flags_ & kHybridBitrate)) {
            c[0].errorLimit = static_cast<uint32_t>(Exp2s(bitrate0));
            c[1].errorLimit = static_cast<uint32_t>(Exp2s(bitrate1));
            return;
        }
        const auto slowLog0 = static_cast<int32_t>((c[0].slowLevel + kSlowOffset) >> kSlowShift);
        const auto slowLog1 = static_cast<int32_t>((c[1].slowLevel + kSlowOffset) >> kSlowShift);
        if (flags_ & kHybridBalance) {
            const int32_t balance = (slowLog1 - slowLog0 + bitrate1 + 1) >> 1;
            if (balance > bitrate0) {
                bitrate1 = bitrate0 * 2;
                bitrate0 = 0;
            } else if (-balance > bitrate0) {
                bitrate0 = bitrate0 * 2;
                bitrate1 = 0;
            } else {
                bitrate1 = bitrate0 + balance;
                bitrate0 = bitrate0 - balance;
            }
        }
        c[0].errorLimit = Limit(slowLog0, bitrate0);
        c[1].errorLimit = Limit(slowLog1, bitrate1);
    }

    BlockData& data_;
    uint32_t flags_;
    bool stereo_;
    uint32_t zeros_ = 0;
    bool holdingZero_ = false;
    bool holdingOne_ = false;
};

// Samples stay within 32 bits in a valid stream; wider products are computed apart.
int32_t ApplyWeight(int32_t weight, int32_t sample)
{
    if (sample == static_cast<int16_t>(sample))
        return static_cast<int32_t>((int64_t{weight} * sample + 512) >> 10);
    const int64_t low = static_cast<int64_t>(sample & 0xFFFF) * weight >> 9;
    const int64_t high = (static_cast<int64_t>(sample & ~0xFFFF) >> 9) * weight;
    return static_cast<int32_t>((low + high + 1) >> 1);
}

void UpdateWeight(int32_t& weight, int32_t delta, int32_t source, int32_t result)
{
    if (source && result)
        weight += ((source ^ result) < 0) ? -delta : delta;
}

void UpdateWeightClipped(int32_t& weight, int32_t delta, int32_t source, int32_t result)
{
    if (source && result) {
        weight += ((source ^ result) < 0) ? -delta : delta;
        weight = std::clamp(weight, -kWeightLimit, kWeightLimit);
    }
}

// Wrapping arithmetic: a damaged stream must not overflow, only decode wrong (and fail its checksum).
int32_t Add(int32_t a, int32_t b) { return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)); }

int32_t Predict(int term, const int32_t* history, int m)
{
    if (term == 17)
        return static_cast<int32_t>(2 * int64_t{history[0]} - history[1]);
    if (term == 18)
        return static_cast<int32_t>((3 * int64_t{history[0]} - history[1]) >> 1);
    return history[m];
}

// One channel of a positive term; in and out are every stride-th sample.
void UndoTerm(DecorrPass& pass, int32_t& weight, int32_t* history, int32_t* samples, size_t count, size_t stride)
{
    int m = 0;
    for (size_t i = 0; i < count; ++i) {
        int32_t& sample = samples[i * stride];
        const int32_t predicted = Predict(pass.term, history, m);
        const int32_t out = Add(ApplyWeight(weight, predicted), sample);
        UpdateWeight(weight, pass.delta, predicted, sample);
        if (pass.term > kMaxTerm) {
            history[1] = history[0];
            history[0] = out;
        } else {
            history[(m + pass.term) & (kMaxTerm - 1)] = out;
            m = (m + 1) & (kMaxTerm - 1);
        }
        sample = out;
    }
}

// One channel from the other's last sample, then the other from this one's new sample.
void CrossStep(int32_t& first, int32_t& second, int32_t& firstWeight, int32_t& secondWeight, int32_t& history,
               int32_t delta)
{
    const int32_t head = Add(first, ApplyWeight(firstWeight, history));
    UpdateWeightClipped(firstWeight, delta, history, first);
    first = head;
    history = Add(second, ApplyWeight(secondWeight, head));
    UpdateWeightClipped(secondWeight, delta, head, second);
    second = history;
}

// The cross-channel terms of a stereo block.
void UndoCrossTerm(DecorrPass& pass, int32_t* samples, size_t frames)
{
    for (size_t i = 0; i < frames; ++i) {
        int32_t& a = samples[2 * i];
        int32_t& b = samples[2 * i + 1];
        if (pass.term == -1) {
            CrossStep(a, b, pass.weightA, pass.weightB, pass.samplesA[0], pass.delta);
        } else if (pass.term == -2) {
            CrossStep(b, a, pass.weightB, pass.weightA, pass.samplesB[0], pass.delta);
        } else {
            const int32_t left = Add(a, ApplyWeight(pass.weightA, pass.samplesA[0]));
            UpdateWeightClipped(pass.weightA, pass.delta, pass.samplesA[0], a);
            const int32_t right = Add(b, ApplyWeight(pass.weightB, pass.samplesB[0]));
            UpdateWeightClipped(pass.weightB, pass.delta, pass.samplesB[0], b);
            a = pass.samplesB[0] = left;
            b = pass.samplesA[0] = right;
        }
    }
}

void Undecorrelate(BlockData& data, bool stereo, int32_t* samples, size_t frames)
{
    // The encoder ran the passes in their stored order; undo them backwards.
    for (int i = data.terms - 1; i >= 0; --i) {
        DecorrPass& pass = data.passes[i];
        if (pass.term < 0) {
            UndoCrossTerm(pass, samples, frames);
        } else if (stereo) {
            UndoTerm(pass, pass.weightA, pass.samplesA, samples, frames, 2);
            UndoTerm(pass, pass.weightB, pass.samplesB, samples + 1, frames, 2);
        } else {
            UndoTerm(pass, pass.weightA, pass.samplesA, samples, frames, 1);
        }
    }
}

uint32_t Checksum(const int32_t* samples, size_t count)
{
    uint32_t crc = 0xFFFFFFFF;
    for (size_t i = 0; i < count; ++i)
        crc = crc * 3 + static_cast<uint32_t>(samples[i]);
    return crc;
}

// Extended integers: bits dropped before coding come back as zeros, ones or copies of the lowest bit.
void RestoreInt32(const BlockData& data, int32_t* samples, size_t count, int& shift)
{
    const int sent = data.int32Info[0];
    const int zeros = data.int32Info[1];
    const int ones = data.int32Info[2];
    const int dups = data.int32Info[3];
    BitReader wvx = data.wvx;
    if (!wvx.Open() && sent == 0 && zeros + ones + dups == 0)
        return;
    if (!wvx.Open() && sent != 0) {
        shift += zeros + sent + ones + dups;
        return;
    }
    for (size_t i = 0; i < count; ++i) {
        uint32_t value = static_cast<uint32_t>(samples[i]);
        if (sent && wvx.Open())
            value = (value << sent) | wvx.Bits(static_cast<unsigned>(sent));
        if (zeros)
            value <<= zeros;
        else if (ones)
            value = ((value + 1) << ones) - 1;
        else if (dups)
            value = ((value + (value & 1)) << dups) - (value & 1);
        samples[i] = static_cast<int32_t>(value);
    }
}

struct FloatParts {
    uint32_t sign = 0;
    int exponent = 0;
    uint32_t mantissa = 0;  // with its leading one, 24 bits

    int32_t Bits() const
    {
        return static_cast<int32_t>((sign << 31) | (static_cast<uint32_t>(exponent & 0xFF) << 23) |
                                    (mantissa & 0x7FFFFF));
    }
};

// A float whose integer part was zero: the extra bits may carry what it was.
FloatParts ExtraZero(uint8_t flags, int maxExponent, BitReader& wvx)
{
    FloatParts out;
    if (!(flags & kFloatZerosSent))
        return out;
    if (wvx.Bit()) {
        out.mantissa = wvx.Bits(23);
        if (maxExponent >= 25)
            out.exponent = static_cast<int>(wvx.Bits(8));
        out.sign = wvx.Bit();
    } else if (flags & kFloatNegativeZeros) {
        out.sign = wvx.Bit();
    }
    return out;
}

// Float samples: the integers are mantissas under the block's largest
// exponent; the extra bits, when the file has them, restore what the
// integers could not hold.
void RestoreFloats(const BlockData& data, int32_t* samples, size_t count)
{
    const uint8_t flags = data.floatInfo[0];
    const int shift = data.floatInfo[1];
    const int maxExponent = data.floatInfo[2];
    BitReader wvx = data.wvx;
    const bool extra = wvx.Open();
    for (size_t i = 0; i < count; ++i) {
        uint32_t value = static_cast<uint32_t>(samples[i]);
        FloatParts out;
        if (value == 0) {
            if (extra)
                out = ExtraZero(flags, maxExponent, wvx);
            samples[i] = out.Bits();
            continue;
        }
        value = shift >= 32 ? 0 : value << shift;
        if (static_cast<int32_t>(value) < 0) {
            value = 0u - value;
            out.sign = 1;
        }
        out.exponent = maxExponent;
        if (extra && value == kFloatSpecial) {
            if (wvx.Bit())
                value = wvx.Bits(23);
            out.exponent = 0xFF;
        } else if (value >= kFloatSpecial) {
            while (value & 0xF000000) {
                value >>= 1;
                ++out.exponent;
            }
        } else if (out.exponent) {
            unsigned shifted = 0;
            while (!(value & 0x800000) && --out.exponent) {
                ++shifted;
                value <<= 1;
            }
            if (shifted == 0) {
            } else if ((flags & kFloatShiftOnes) || (extra && (flags & kFloatShiftSame) && wvx.Bit())) {
                value |= (1u << shifted) - 1;
            } else if (extra && (flags & kFloatShiftSent)) {
                value |= wvx.Bits(shifted) & ((1u << shifted) - 1);
            }
        }
        out.mantissa = value;
        samples[i] = out.Bits();
    }
}

// A lossy block may reach past the sample width: it is clipped there, then shifted into place.
void ShiftIntoPlace(uint32_t flags, int shift, int32_t* samples, size_t count)
{
    if (flags & kHybrid) {
        const int width = 8 * static_cast<int>((flags & kBytesStored) + 1);
        const int32_t maximum = static_cast<int32_t>(0x7FFFFFFFu >> (32 - width)) >> shift;
        const int32_t minimum = -maximum - 1;
        for (size_t i = 0; i < count; ++i)
            samples[i] = static_cast<int32_t>(static_cast<uint32_t>(std::clamp(samples[i], minimum, maximum)) << shift);
    } else if (shift > 0 && shift < 32) {
        for (size_t i = 0; i < count; ++i)
            samples[i] = static_cast<int32_t>(static_cast<uint32_t>(samples[i]) << shift);
    }
}

// Decodes one block into interleaved samples (one or two channels); false when damaged.
bool DecodeBlock(const uint8_t* block, const BlockHeader& header, std::vector<int32_t>& out)
{
    BlockData data;
    if (!ReadMetadata(block, header, data))
        return false;
    const bool stereo = !(header.flags & kMonoData);
    const size_t perFrame = stereo ? 2 : 1;
    out.resize(header.blockSamples * perFrame);
    WordReader words(data, header.flags);
    for (size_t i = 0; i < out.size(); ++i)
        if (!words.Read(static_cast<int>(i % perFrame), out[i]))
            return false;
    Undecorrelate(data, stereo, out.data(), header.blockSamples);
    if (stereo && (header.flags & kJointStereo))
        for (size_t f = 0; f < header.blockSamples; ++f) {
            out[2 * f + 1] = Add(out[2 * f + 1], -(out[2 * f] >> 1));
            out[2 * f] = Add(out[2 * f], out[2 * f + 1]);
        }
    if (Checksum(out.data(), out.size()) != header.crc)
        return false;
    int shift = static_cast<int>((header.flags & kShiftMask) >> kShiftLsb);
    if (header.flags & kFloatData) {
        RestoreFloats(data, out.data(), out.size());
        return true;
    }
    if (header.flags & kInt32Data)
        RestoreInt32(data, out.data(), out.size(), shift);
    ShiftIntoPlace(header.flags, shift, out.data(), out.size());
    return true;
}

bool ParseHeader(const uint8_t* p, BlockHeader& header)
{
    if (std::memcmp(p, "wvpk", 4) != 0)
        return false;
    header.size = Le32(p + 4) + 8;
    header.version = Le16(p + 8);
    const uint32_t totalLow = Le32(p + 12);
    header.totalKnown = totalLow != 0xFFFFFFFF;
    header.totalSamples = (uint64_t{p[11]} << 32) | totalLow;
    header.blockIndex = (uint64_t{p[10]} << 32) | Le32(p + 16);
    header.blockSamples = Le32(p + 20);
    header.flags = Le32(p + 24);
    header.crc = Le32(p + 28);
    return header.version >= kMinVersion && header.version <= kMaxVersion && header.size >= kHeaderBytes &&
           header.size <= kMaxBlockBytes && header.blockSamples <= kMaxBlockSamples;
}

uint32_t ChannelsOfBlock(uint32_t flags) { return (flags & kMono) ? 1 : 2; }

}  // namespace

WavPackDecoder::WavPackDecoder(ByteInput& input, const StreamInfo& info)
    : input_(input), info_(info), window_(input), samples_(info.channels)
{}

// The next whole block at offset at of the window; false when the input ends
// first, has not delivered it yet, or has no block header there.
bool WavPackDecoder::PeekBlock(size_t at, BlockHeader& header)
{
    return window_.Fill(at + kHeaderBytes) && ParseHeader(window_.Data() + at, header) &&
           window_.Fill(at + header.size);
}

// Skips to the next block that holds audio; false at the end, or while waiting.
bool WavPackDecoder::FindAudioBlock(BlockHeader& header)
{
    for (;;) {
        if (PeekBlock(0, header)) {
            if (header.blockSamples > 0)
                return true;
            window_.Drop(header.size);
            continue;
        }
        if (window_.Waiting() || window_.Available() < kHeaderBytes)
            return false;
        // Not a block, or one the file cuts short: resync at the next block id.
        const uint8_t* data = window_.Data();
        const size_t available = window_.Available();
        size_t next = 1;
        while (next + 4 <= available && std::memcmp(data + next, "wvpk", 4) != 0)
            ++next;
        window_.Drop(next);
    }
}

std::unique_ptr<WavPackDecoder> WavPackDecoder::Open(ByteInput& input)
{
    uint8_t head[4];
    if (input.Read(head, sizeof head) != sizeof head || std::memcmp(head, "wvpk", 4) != 0 || !input.Seek(0))
        return nullptr;
    std::unique_ptr<WavPackDecoder> decoder(new WavPackDecoder(input, StreamInfo{}));
    BlockHeader header;
    if (!decoder->FindAudioBlock(header) || (header.flags & kDsd))
        return nullptr;
    // The first block with audio tells the format.
    BlockData data;
    if (!ReadMetadata(decoder->window_.Data(), header, data))
        return nullptr;
    StreamInfo& info = decoder->info_;
    const uint32_t rateCode = (header.flags & kRateMask) >> kRateLsb;
    info.rate = rateCode < 15 ? kRates[rateCode] : data.rate;
    info.channels = data.channels ? data.channels : ChannelsOfBlock(header.flags);
    info.bitsPerSample = 8 * ((header.flags & kBytesStored) + 1);
    info.floatSamples = (header.flags & kFloatData) != 0;
    info.totalFrames = header.blockIndex == 0 && header.totalKnown ? header.totalSamples : 0;
    if (info.rate == 0 || info.channels == 0 || info.channels > kMaxChannels)
        return nullptr;
    decoder->samples_.assign(info.channels, {});
    return decoder;
}

bool WavPackDecoder::Rewind()
{
    window_.Clear();
    blockFrames_ = 0;
    return input_.Seek(0);
}

// The blocks of one stretch of time, from the initial to the final one,
// are decoded together once all of them are there.
bool WavPackDecoder::NextBlock()
{
    BlockHeader first;
    if (!FindAudioBlock(first))
        return false;
    std::vector<BlockHeader> group = {first};
    size_t end = first.size;
    uint32_t channels = ChannelsOfBlock(first.flags);
    while (!(group.back().flags & kFinalBlock) && channels < info_.channels) {
        BlockHeader header;
        if (!PeekBlock(end, header)) {
            if (window_.Waiting())
                return false;
            break;
        }
        if ((header.flags & kInitialBlock) || header.blockIndex != first.blockIndex)
            break;
        group.push_back(header);
        end += header.size;
        channels += ChannelsOfBlock(header.flags);
    }

    blockFrames_ = first.blockSamples;
    for (auto& channel : samples_)
        channel.assign(blockFrames_, 0);
    std::vector<int32_t> decoded;
    uint32_t channel = 0;
    size_t at = 0;
    for (const BlockHeader& header : group) {
        const uint32_t count = ChannelsOfBlock(header.flags);
        const bool fits = header.blockSamples == blockFrames_ && channel + count <= info_.channels &&
                          ((header.flags & kFloatData) != 0) == info_.floatSamples;
        // A damaged block stays silent.
        if (fits && DecodeBlock(window_.Data() + at, header, decoded)) {
            const size_t stride = (header.flags & kMonoData) ? 1 : 2;
            for (uint32_t c = 0; c < count; ++c)
                for (size_t f = 0; f < blockFrames_; ++f)
                    samples_[channel + c][f] = decoded[f * stride + (stride == 2 ? c : 0)];
        }
        channel += count;
        at += header.size;
    }
    window_.Drop(end);
    return true;
}

}  // namespace ovelwavpack
