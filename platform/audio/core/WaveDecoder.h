#pragma once
// RIFF/WAVE: PCM of 8 (unsigned), 16, 24 and 32 bits and 32-bit float, plain or extensible.

#include "platform/audio/core/Backends.h"

namespace ovelaudio {

std::unique_ptr<Decoder> OpenWave(std::unique_ptr<ByteSource>& source);

}  // namespace ovelaudio
