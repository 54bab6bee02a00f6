#pragma once
// Whole frames of fixed-size PCM from a byte source, for the decoders of
// uncompressed files. Frames in memory are converted where they lie; from
// elsewhere they are copied, and a download may stop inside a frame: its first
// part is held in front until the rest arrives.

#include "platform/audio/core/Backends.h"
#include "platform/audio/core/ByteSources.h"
#include "platform/audio/core/Limits.h"

#include <algorithm>
#include <cstring>

namespace ovelaudio {

class PcmFrames {
public:
    // The frames start at dataStart of source.
    PcmFrames(const ByteSource& source, uint64_t dataStart, uint64_t length, size_t frameBytes)
        : memory_(dynamic_cast<const MemorySource*>(&source)), dataStart_(dataStart), length_(length),
          frameBytes_(frameBytes), scratch_(memory_ ? 0 : kDecodeChunkFrames * frameBytes)
    {}

    uint64_t Length() const { return length_; }
    void Restart()
    {
        read_ = 0;
        held_ = 0;
    }

    // Up to frames frames; each run of whole frames goes to convert(bytes, count, first), first
    // counting from the start of this read.
    template <typename Convert>
    size_t Read(ByteSource& source, size_t frames, Convert convert)
    {
        if (memory_) {
            const auto count = static_cast<size_t>(std::min<uint64_t>(frames, length_ - read_));
            convert(memory_->Data() + dataStart_ + read_ * frameBytes_, count, 0);
            read_ += count;
            return count;
        }
        uint8_t* const bytes = scratch_.data();
        size_t done = 0;
        while (done < frames && read_ < length_) {
            const size_t want =
                static_cast<size_t>(std::min<uint64_t>({frames - done, kDecodeChunkFrames, length_ - read_}));
            held_ += source.Read(bytes + held_, want * frameBytes_ - held_);
            const size_t got = held_ / frameBytes_;
            if (got == 0)
                break;
            convert(bytes, got, done);
            held_ -= got * frameBytes_;
            std::memmove(bytes, bytes + got * frameBytes_, held_);
            done += got;
            read_ += got;
        }
        return done;
    }

private:
    const MemorySource* memory_;  // the source, when it is memory
    uint64_t dataStart_;
    uint64_t length_;
    size_t frameBytes_;
    std::vector<uint8_t> scratch_;
    uint64_t read_ = 0;
    size_t held_ = 0;  // bytes of a frame not yet whole
};

}  // namespace ovelaudio
