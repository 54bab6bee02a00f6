#include "platform/audio/core/MixerDecoder.h"

#include <algorithm>

namespace ovelaudio {

MixerDecoder::MixerDecoder(uint32_t rate, uint32_t channels, bool endWithSources, EndListener& listener)
    : rate_(rate), channels_(channels), endWithSources_(endWithSources), listener_(listener) {}

void MixerDecoder::Add(Channel& source) {
    sources_.push_back(&source);
}

void MixerDecoder::Remove(Channel& source) {
    sources_.erase(std::remove(sources_.begin(), sources_.end(), &source), sources_.end());
    source.owner = nullptr;
}

size_t MixerDecoder::Read(float* out, size_t frames) {
    std::fill(out, out + frames * channels_, 0.0f);
    if (sources_.empty()) return endWithSources_ ? 0 : frames;
    size_t longest = 0;
    for (size_t i = 0; i < sources_.size();) {
        Channel& source = *sources_[i];
        if (source.stopped) {
            longest = frames;
            ++i;
            continue;
        }
        const size_t got = source.Render(frames);
        source.MixInto(out, channels_, got, 1.0f, MonoRouting::Everywhere);
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

}  // namespace ovelaudio
