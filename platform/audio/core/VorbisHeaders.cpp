#include "platform/audio/core/VorbisHeaders.h"

#include <cstring>
#include <vector>

namespace ovelaudio {
namespace {

// Ogg page header fields (RFC 3533).
constexpr char kCapture[] = "OggS";
constexpr size_t kCaptureBytes = 4;
constexpr size_t kVersionAt = 4;
constexpr size_t kTypeAt = 5;
constexpr size_t kSerialAt = 14;
constexpr size_t kSegmentCountAt = 26;
constexpr size_t kPageHeaderBytes = 27;
constexpr uint8_t kContinued = 1;
constexpr uint8_t kFirstPage = 2;
constexpr uint8_t kLastPage = 4;
constexpr uint8_t kFullSegment = 255;  // a packet goes on in the next segment

// The three Vorbis header packets: identification, comment and setup.
constexpr char kVorbis[] = "vorbis";
constexpr size_t kTagBytes = 7;  // the packet type and "vorbis"
constexpr uint8_t kIdentification = 1;
constexpr uint8_t kComment = 3;
constexpr uint8_t kSetup = 5;
constexpr size_t kIdentificationBytes = 30;
constexpr size_t kChannelsAt = 11;
constexpr size_t kRateAt = 12;
constexpr size_t kBlockSizesAt = 28;
constexpr size_t kIdFramingAt = 29;
constexpr unsigned kSmallestBlockExponent = 6;
constexpr unsigned kLargestBlockExponent = 13;
constexpr uint8_t kFramingBit = 1;
constexpr size_t kLengthBytes = 4;
// The decoder rounds each of its allocations up to this.
constexpr size_t kAllocationStep = 8;

uint32_t Le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24); }

size_t Allocation(size_t bytes) { return (bytes + kAllocationStep - 1) / kAllocationStep * kAllocationStep; }

bool Tagged(const std::vector<uint8_t>& packet, uint8_t type)
{
    return packet.size() >= kTagBytes && packet[0] == type && std::memcmp(packet.data() + 1, kVorbis, 6) == 0;
}

// The header packets one after the other, over pages of one stream laid out
// as encoders write them.
class HeaderPackets {
public:
    HeaderPackets(const uint8_t* bytes, size_t size, bool final) : bytes_(bytes), size_(size), final_(final) {}

    // The first page: the identification header alone on it.
    HeaderCheck First(std::vector<uint8_t>& packet)
    {
        const HeaderCheck page = NextPage();
        if (page != HeaderCheck::Sound)
            return page;
        if ((type_ & (kFirstPage | kContinued | kLastPage)) != kFirstPage || segmentCount_ != 1 ||
            segments_[0] != kIdentificationBytes)
            return HeaderCheck::Broken;
        serial_ = pageSerial_;
        packet.assign(bytes_ + bodyAt_, bytes_ + bodyAt_ + kIdentificationBytes);
        segment_ = segmentCount_;
        return HeaderCheck::Sound;
    }

    // The next packet; it starts on a page of its own only where the last one
    // ended with its page.
    HeaderCheck Next(std::vector<uint8_t>& packet)
    {
        packet.clear();
        bool starting = true;
        for (;;) {
            if (segment_ == segmentCount_) {
                const HeaderCheck page = NextPage();
                if (page != HeaderCheck::Sound)
                    return page;
                const bool continued = (type_ & kContinued) != 0;
                if (pageSerial_ != serial_ || (type_ & kFirstPage) || segmentCount_ == 0 || continued == starting)
                    return HeaderCheck::Broken;
            }
            const uint8_t length = segments_[segment_++];
            packet.insert(packet.end(), bytes_ + bodyAt_, bytes_ + bodyAt_ + length);
            bodyAt_ += length;
            starting = false;
            if (length < kFullSegment)
                return HeaderCheck::Sound;
        }
    }

private:
    HeaderCheck Short() const { return final_ ? HeaderCheck::Broken : HeaderCheck::Incomplete; }

    // Reads the page header at pageAt_ and moves pageAt_ behind the page.
    HeaderCheck NextPage()
    {
        const size_t rest = size_ - pageAt_;
        const uint8_t* page = bytes_ + pageAt_;
        if (rest < kPageHeaderBytes)
            return Short();
        if (std::memcmp(page, kCapture, kCaptureBytes) != 0 || page[kVersionAt] != 0)
            return HeaderCheck::Broken;
        segmentCount_ = page[kSegmentCountAt];
        if (rest < kPageHeaderBytes + segmentCount_)
            return Short();
        segments_ = page + kPageHeaderBytes;
        size_t body = 0;
        for (size_t s = 0; s < segmentCount_; ++s)
            body += segments_[s];
        if (rest - kPageHeaderBytes - segmentCount_ < body)
            return Short();
        type_ = page[kTypeAt];
        pageSerial_ = Le32(page + kSerialAt);
        bodyAt_ = pageAt_ + kPageHeaderBytes + segmentCount_;
        pageAt_ = bodyAt_ + body;
        segment_ = 0;
        return HeaderCheck::Sound;
    }

    const uint8_t* bytes_;
    size_t size_;
    bool final_;
    size_t pageAt_ = 0;
    uint32_t serial_ = 0;
    // The page being read.
    uint8_t type_ = 0;
    uint32_t pageSerial_ = 0;
    const uint8_t* segments_ = nullptr;
    size_t segmentCount_ = 0;
    size_t segment_ = 0;  // the next segment's index
    size_t bodyAt_ = 0;   // the next segment's first byte
};

bool SoundIdentification(const std::vector<uint8_t>& packet)
{
    if (!Tagged(packet, kIdentification) || Le32(packet.data() + kTagBytes) != 0)
        return false;
    const unsigned small = packet[kBlockSizesAt] & 0x0F;
    const unsigned large = packet[kBlockSizesAt] >> 4;
    return packet[kChannelsAt] != 0 && Le32(packet.data() + kRateAt) != 0 && small >= kSmallestBlockExponent &&
           small <= large && large <= kLargestBlockExponent && (packet[kIdFramingAt] & kFramingBit);
}

// Every length inside what is left of the packet, and the framing bit behind
// the last comment; memory: what the decoder allocates for them.
bool SoundComments(const std::vector<uint8_t>& packet, size_t& memory)
{
    if (!Tagged(packet, kComment))
        return false;
    size_t at = kTagBytes;
    const auto length = [&](size_t& value) {
        if (packet.size() - at < kLengthBytes)
            return false;
        value = Le32(packet.data() + at);
        at += kLengthBytes;
        return true;
    };
    const auto string = [&]() {
        size_t bytes = 0;
        if (!length(bytes) || bytes > packet.size() - at)
            return false;
        at += bytes;
        memory += Allocation(bytes + 1);
        return true;
    };
    size_t count = 0;
    if (!string() || !length(count) || count > (packet.size() - at) / kLengthBytes)
        return false;
    memory += Allocation(count * sizeof(char*));
    for (size_t i = 0; i < count; ++i)
        if (!string())
            return false;
    return at < packet.size() && (packet[at] & kFramingBit);
}

}  // namespace

VorbisHeaders CheckVorbisHeaders(const uint8_t* bytes, size_t size, bool final)
{
    VorbisHeaders headers;
    HeaderPackets packets(bytes, size, final);
    std::vector<uint8_t> packet;
    if ((headers.check = packets.First(packet)) != HeaderCheck::Sound)
        return headers;
    if (!SoundIdentification(packet)) {
        headers.check = HeaderCheck::Broken;
        return headers;
    }
    if ((headers.check = packets.Next(packet)) != HeaderCheck::Sound)
        return headers;
    if (!SoundComments(packet, headers.commentMemory)) {
        headers.check = HeaderCheck::Broken;
        return headers;
    }
    if ((headers.check = packets.Next(packet)) == HeaderCheck::Sound && !Tagged(packet, kSetup))
        headers.check = HeaderCheck::Broken;
    return headers;
}

}  // namespace ovelaudio
