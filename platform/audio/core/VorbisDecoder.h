#pragma once
// Ogg Vorbis. A complete file is decoded from memory: caller memory in place, any
// other source (a file, a finished download) read into memory first. Bytes still
// arriving are decoded as they come, frame by frame.

#include "platform/audio/core/Backends.h"

namespace ovelaudio {

std::unique_ptr<Decoder> OpenVorbis(std::unique_ptr<ByteSource>& source);

}  // namespace ovelaudio
