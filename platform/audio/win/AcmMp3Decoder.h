#pragma once
// MP3 through the system's ACM codec.

#include "platform/audio/core/Backends.h"

namespace ovelaudio {

// A DecoderFactory: MP3 is recognised by an optional ID3v2 tag followed by two
// frame headers that agree (or one frame that fills the rest of the bytes).
std::unique_ptr<Decoder> OpenAcmMp3Decoder(std::unique_ptr<ByteSource>& source);

}  // namespace ovelaudio
