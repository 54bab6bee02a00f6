#pragma once
// AIFF and AIFF-C: big-endian PCM of 1 to 32 bits, and AIFF-C's "NONE",
// "sowt" (little-endian PCM), "fl32"/"FL32" and "fl64" floats.

#include "platform/audio/core/Backends.h"

namespace ovelaudio {

std::unique_ptr<Decoder> OpenAiff(std::unique_ptr<ByteSource>& source);

}  // namespace ovelaudio
