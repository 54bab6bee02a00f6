#pragma once
// WavPack 4 and 5 files: a series of blocks, each one or two channels of the
// same stretch of time; a multichannel file repeats a group of blocks from
// the initial to the final one. Integer and float PCM, lossless or hybrid
// lossy (decoded without a correction file). A block whose checksum fails
// plays as silence and the reader resyncs at the next block.

#include "platform/audio/plugins/ByteWindow.h"

#include <memory>
#include <vector>

namespace ovelwavpack {

using ovelplugin::StreamInfo;

struct BlockHeader {
    uint32_t size = 0;  // of the whole block
    uint16_t version = 0;
    uint64_t totalSamples = 0;
    bool totalKnown = false;
    uint64_t blockIndex = 0;
    uint32_t blockSamples = 0;
    uint32_t flags = 0;
    uint32_t crc = 0;
};

class WavPackDecoder {
public:
    // Null when the input is not a WavPack stream of a format we decode.
    static std::unique_ptr<WavPackDecoder> Open(ovelplugin::ByteInput& input);

    const StreamInfo& Info() const { return info_; }
    // Decodes the next group of blocks; false at the end of the stream, or
    // while the input has not delivered it yet (then Waiting()).
    bool NextBlock();
    bool Waiting() const { return window_.Waiting(); }
    size_t BlockFrames() const { return blockFrames_; }
    // One channel of the block: integers of Info().bitsPerSample bits (a
    // narrower sound left-justified in them), or the bit patterns of floats.
    const int64_t* Samples(uint32_t channel) const { return samples_[channel].data(); }
    bool Rewind();

private:
    WavPackDecoder(ovelplugin::ByteInput& input, const StreamInfo& info);
    bool PeekBlock(size_t at, BlockHeader& header);
    bool FindAudioBlock(BlockHeader& header);

    ovelplugin::ByteInput& input_;
    StreamInfo info_;
    ovelplugin::ByteWindow window_;  // bytes from the next block on
    std::vector<std::vector<int64_t>> samples_;
    size_t blockFrames_ = 0;
};

}  // namespace ovelwavpack
