#pragma once
// FLAC streams: the metadata that tells the format, then frame after frame
// of integer samples. A frame whose checksums fail plays as silence and the
// reader resyncs at the next frame.

#include "platform/audio/plugins/ByteWindow.h"

#include <memory>
#include <vector>

namespace ovelflac {

using ovelplugin::StreamInfo;

class FlacDecoder {
public:
    // Null when the input is not a FLAC stream of a format we decode.
    static std::unique_ptr<FlacDecoder> Open(ovelplugin::ByteInput& input);

    const StreamInfo& Info() const { return info_; }
    // Decodes the next frame; false at the end of the stream, or while the
    // input has not delivered it yet (then Waiting()).
    bool NextBlock();
    bool Waiting() const { return window_.Waiting(); }
    size_t BlockFrames() const { return blockFrames_; }
    // The block's samples of one channel, right-aligned in Info().bitsPerSample bits.
    const int64_t* Samples(uint32_t channel) const { return samples_[channel].data(); }
    bool Rewind();

private:
    FlacDecoder(ovelplugin::ByteInput& input, const StreamInfo& info, uint64_t firstFrame);

    struct Header {
        uint32_t blockSize;
        uint32_t channelCode;
        uint32_t bitsPerSample;
        size_t bytes;
    };
    bool FindFrame(Header& header);
    bool ParseHeader(const uint8_t* data, size_t size, Header& header) const;
    // False when the frame is damaged or needs more bytes than the window has (more set).
    bool DecodeFrame(const Header& header, size_t& frameBytes, bool& more);
    void Silence(size_t frames);

    ovelplugin::ByteInput& input_;
    StreamInfo info_;
    uint64_t firstFrame_;
    ovelplugin::ByteWindow window_;  // bytes from the next frame on
    std::vector<std::vector<int64_t>> samples_;
    size_t blockFrames_ = 0;
};

}  // namespace ovelflac
