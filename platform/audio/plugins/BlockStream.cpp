#include "platform/audio/plugins/BlockStream.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace ovelplugin {

void BlockStream::SetSamples(const StreamInfo& info)
{
    floatPatterns_ = info.floatSamples;
    scale_ = std::ldexp(1.0f, 1 - static_cast<int>(info.bitsPerSample));
}

size_t BlockStream::Read(float* out, size_t frames)
{
    const uint32_t channels = Channels();
    size_t done = 0;
    while (done < frames && !ended_) {
        if (used_ == BlockFrames()) {
            if (!NextBlock()) {
                ended_ = !Waiting();
                break;
            }
            used_ = 0;
            continue;
        }
        const size_t take = std::min(frames - done, BlockFrames() - used_);
        for (uint32_t c = 0; c < channels; ++c) {
            const int64_t* in = Samples(c) + used_;
            float* to = out + done * channels + c;
            if (floatPatterns_)
                for (size_t f = 0; f < take; ++f) {
                    const auto bits = static_cast<uint32_t>(in[f]);
                    std::memcpy(to + f * channels, &bits, sizeof bits);
                }
            else
                for (size_t f = 0; f < take; ++f)
                    to[f * channels] = static_cast<float>(in[f]) * scale_;
        }
        used_ += take;
        done += take;
    }
    return done;
}

bool BlockStream::Rewind()
{
    used_ = 0;
    ended_ = false;
    return RewindBlocks();
}

}  // namespace ovelplugin
