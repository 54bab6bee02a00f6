#pragma once
// MP3 frame headers (MPEG-1, 2 and 2.5, layer III) and the tags in front of
// and inside the first frame.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace ovelaudio {

struct Mp3Frame {
    uint32_t rate = 0;
    uint32_t channels = 0;
    uint32_t bitrate = 0;        // bits per second
    uint32_t bytes = 0;          // the whole frame, header and padding included
    uint32_t samples = 0;        // per channel
    uint32_t sideInfoBytes = 0;  // between the header and the main data
};

constexpr size_t kMp3HeaderBytes = 4;
constexpr size_t kId3v2HeaderBytes = 10;

// Empty for anything but a valid layer III header with a known bitrate.
std::optional<Mp3Frame> ParseMp3Header(const uint8_t* header);
// Bytes of an ID3v2 tag that starts at data (header, body and footer); 0 when none.
size_t Id3v2TagBytes(const uint8_t* data);
// The frame count an encoder wrote into the first frame ("Xing"/"Info"), if any.
std::optional<uint32_t> EncoderFrameCount(const Mp3Frame& frame, const uint8_t* data, size_t size);

}  // namespace ovelaudio
