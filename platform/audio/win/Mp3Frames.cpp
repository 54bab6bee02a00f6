#include "platform/audio/win/Mp3Frames.h"

#include <cstring>

namespace ovelaudio {

namespace {

enum MpegVersion {
    kMpeg25 = 0,
    kMpegReserved = 1,
    kMpeg2 = 2,
    kMpeg1 = 3
};
constexpr uint32_t kLayer3 = 1;
constexpr uint32_t kMonoMode = 3;
constexpr uint32_t kBitratesMpeg1[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
constexpr uint32_t kBitratesMpeg2[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
constexpr uint32_t kRatesMpeg1[3] = {44100, 48000, 32000};
constexpr uint32_t kId3v2FooterFlag = 0x10;
constexpr uint32_t kFramesFieldFlag = 1;

uint32_t BigEndian32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

}  // namespace

std::optional<Mp3Frame> ParseMp3Header(const uint8_t* h)
{
    const uint32_t version = (h[1] >> 3) & 3;
    const uint32_t layer = (h[1] >> 1) & 3;
    const uint32_t bitrateIndex = h[2] >> 4;
    const uint32_t rateIndex = (h[2] >> 2) & 3;
    const bool syncs = h[0] == 0xFF && (h[1] & 0xE0) == 0xE0;
    if (!syncs || version == kMpegReserved || layer != kLayer3 || rateIndex == 3)
        return std::nullopt;
    const bool mpeg1 = version == kMpeg1;
    const uint32_t kbps = (mpeg1 ? kBitratesMpeg1 : kBitratesMpeg2)[bitrateIndex];
    if (kbps == 0)
        return std::nullopt;

    Mp3Frame frame;
    const uint32_t rateShift = mpeg1 ? 0 : version == kMpeg2 ? 1 : 2;
    frame.rate = kRatesMpeg1[rateIndex] >> rateShift;
    frame.channels = (h[3] >> 6) == kMonoMode ? 1 : 2;
    frame.bitrate = kbps * 1000;
    frame.samples = mpeg1 ? 1152 : 576;
    const uint32_t padding = (h[2] >> 1) & 1;
    frame.bytes = frame.samples / 8 * frame.bitrate / frame.rate + padding;
    if (mpeg1)
        frame.sideInfoBytes = frame.channels == 1 ? 17 : 32;
    else
        frame.sideInfoBytes = frame.channels == 1 ? 9 : 17;
    return frame;
}

size_t Id3v2TagBytes(const uint8_t* data)
{
    if (std::memcmp(data, "ID3", 3) != 0)
        return 0;
    size_t body = 0;
    for (int i = 6; i < 10; ++i) {
        if (data[i] & 0x80)
            return 0;  // sizes are 7 bits a byte
        body = body << 7 | data[i];
    }
    const size_t footer = (data[5] & kId3v2FooterFlag) ? kId3v2HeaderBytes : 0;
    return kId3v2HeaderBytes + body + footer;
}

std::optional<uint32_t> EncoderFrameCount(const Mp3Frame& frame, const uint8_t* data, size_t size)
{
    const size_t tag = kMp3HeaderBytes + frame.sideInfoBytes;
    constexpr size_t kFieldsAt = 4;
    constexpr size_t kFramesAt = 8;
    if (size < tag + kFramesAt + 4)
        return std::nullopt;
    const uint8_t* p = data + tag;
    if (std::memcmp(p, "Xing", 4) != 0 && std::memcmp(p, "Info", 4) != 0)
        return std::nullopt;
    if (!(BigEndian32(p + kFieldsAt) & kFramesFieldFlag))
        return std::nullopt;
    return BigEndian32(p + kFramesAt);
}

}  // namespace ovelaudio
