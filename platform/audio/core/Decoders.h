#pragma once
// Picks the decoder for a sound's bytes, and the decoders the library makes itself.

#include "platform/audio/core/Backends.h"

namespace ovelaudio {

// RIFF/WAVE, AIFF and Ogg Vorbis first, then the registered decoders, then the
// loaded plug-ins. On failure
// answers null and sets error to a BASS_ERROR_* code.
std::unique_ptr<Decoder> OpenDecoder(std::unique_ptr<ByteSource> source, int& error);

// The same sound mixed down to one channel.
std::unique_ptr<Decoder> DownmixToMono(std::unique_ptr<Decoder> decoder);

// Endless silence: the stream behind a dummy handle.
std::unique_ptr<Decoder> MakeSilence(uint32_t rate, uint32_t channels);

}  // namespace ovelaudio
