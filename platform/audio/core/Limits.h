#pragma once
// Sizes shared by the decoders and the mixing stage.

#include <cstddef>
#include <cstdint>

namespace ovelaudio {

constexpr uint32_t kMaxChannels = 8;
constexpr uint32_t kMinRate = 1000;
constexpr uint32_t kMaxRate = 384000;
constexpr size_t kDecodeChunkFrames = 1024;  // decoder scratch, sized once at creation
constexpr size_t kBlockFrames = 512;         // the mixing stage works in blocks of this many output frames
constexpr uint32_t kDefaultRate = 44100;
}  // namespace ovelaudio
