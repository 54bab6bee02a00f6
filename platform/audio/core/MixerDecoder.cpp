#include "platform/audio/core/MixerDecoder.h"

#include "platform/audio/core/Limits.h"

#include <algorithm>

namespace ovelaudio {

MixerDecoder::MixerDecoder(uint32_t rate, uint32_t channels, bool endWithSources, EndListener& listener)
    : rate_(rate), channels_(channels), endWithSources_(endWithSources), listener_(listener)
{}

void MixerDecoder::Add(Channel& source) { sources_.push_back(&source); }

void MixerDecoder::Remove(Channel& source)
{
    sources_.erase(std::remove(sources_.begin(), sources_.end(), &source), sources_.end());
    source.owner = nullptr;
}

size_t MixerDecoder::Read(float* out, size_t frames)
{
    std::fill(out, out + frames * channels_, 0.0f);
    if (sources_.empty())
        return endWithSources_ ? 0 : frames;
    size_t longest = 0;
    for (size_t i = 0; i < sources_.size();) {
        Channel& source = *sources_[i];
        if (source.stopped) {
            longest = frames;
            ++i;
            continue;
        }
        const size_t got = MixSource(source, out, frames);
        longest = std::max(longest, got);
        if (got < frames) {
            Remove(source);
            listener_.ChannelEnded(source);
        } else {
            ++i;
        }
    }
    return endWithSources_ && sources_.empty() ? longest : frames;
}

// The mixer's own resampler may ask for more than a source's buffer holds: pieces of at most a block.
size_t MixerDecoder::MixSource(Channel& source, float* out, size_t frames)
{
    size_t done = 0;
    while (done < frames) {
        const size_t piece = std::min(frames - done, kBlockFrames);
        const size_t got = source.Render(piece);
        source.MixInto(out + done * channels_, channels_, got, 1.0f, MonoRouting::Everywhere);
        done += got;
        if (got < piece)
            break;
    }
    return done;
}

}  // namespace ovelaudio
