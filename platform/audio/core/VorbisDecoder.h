#pragma once
// Ogg Vorbis. The whole file is decoded from memory: caller memory in place, any
// other source (a file, everything a URL delivered) read into memory first.

#include "platform/audio/core/Backends.h"

namespace ovelaudio {

std::unique_ptr<Decoder> OpenVorbis(std::unique_ptr<ByteSource>& source);

}  // namespace ovelaudio
