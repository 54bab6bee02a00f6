#pragma once
// Sound made in the test, encoded and decoded by the system's own codec
// tools, and plug-in input over bytes in memory.

#include "platform/audio/plugins/PluginStream.h"

#include <cstdint>
#include <string>
#include <vector>

namespace codectest {

// Interleaved integer samples of the given width: tones a little apart in
// each channel with some noise, so every predictor has work to do.
std::vector<int64_t> MakeSignal(uint32_t channels, uint32_t bits, size_t frames, uint32_t wastedBits = 0);

// A RIFF/WAVE file of integer samples of the given width, left-justified in
// whole bytes, as WAVE_FORMAT_EXTENSIBLE naming the valid bits and the speakers.
std::vector<uint8_t> MakeWave(const std::vector<int64_t>& samples, uint32_t channels, uint32_t rate, uint32_t bits);
// The samples of a RIFF/WAVE file, right-justified again; 32-bit float
// samples come as their bit patterns.
std::vector<int64_t> WaveSamples(const std::vector<uint8_t>& wave);

std::vector<uint8_t> ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
// A fresh file name in the test's scratch folder.
std::string ScratchPath(const std::string& name);
// Runs a shell command; false when it fails.
bool Run(const std::string& command);

// Reads bytes from memory; the vector must outlive the input. Like a
// download, it may offer only the first bytes for now.
class MemoryInput {
public:
    explicit MemoryInput(const std::vector<uint8_t>& bytes) : MemoryInput(bytes, bytes.size()) {}
    MemoryInput(const std::vector<uint8_t>& bytes, size_t arrived);
    const OvelPluginInput& Input() const { return input_; }
    void Arrive(size_t bytes) { arrived_ = std::min(bytes_.size(), arrived_ + bytes); }

private:
    const std::vector<uint8_t>& bytes_;
    size_t arrived_;
    uint64_t position_ = 0;
    OvelPluginInput input_;
};

// A file made by the system's encoder, and what the system's decoder makes of it.
struct Encoded {
    std::vector<uint8_t> file;
    std::vector<int64_t> reference;
};

// Every sample a decoder gives for a file, interleaved, each passed through keep.
struct Decoded {
    std::vector<int64_t> samples;
    std::vector<size_t> blockStarts;  // in frames
};

template <typename Decoder, typename Keep>
Decoded DecodeAll(const std::vector<uint8_t>& file, Keep keep)
{
    MemoryInput memory(file);
    ovelplugin::ByteInput input(memory.Input());
    std::unique_ptr<Decoder> decoder = Decoder::Open(input);
    Decoded out;
    if (!decoder)
        return out;
    const ovelplugin::StreamInfo info = decoder->Info();
    while (decoder->NextBlock()) {
        out.blockStarts.push_back(out.samples.size() / info.channels);
        for (size_t f = 0; f < decoder->BlockFrames(); ++f)
            for (uint32_t c = 0; c < info.channels; ++c)
                out.samples.push_back(keep(decoder->Samples(c)[f], info));
    }
    return out;
}

// How many samples differ from the reference; each that does must be silent.
size_t SilencedSamples(const Decoded& decoded, const std::vector<int64_t>& reference);

}  // namespace codectest
