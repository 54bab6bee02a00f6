#pragma once
// Short compressed clips in memory are decoded whole on a worker thread of the
// library's, ahead of being heard: once all their frames are there the mixing
// thread takes them, loop after loop, instead of decoding. Until then it
// decodes the clip itself, so it never waits for the worker.

#include "platform/audio/core/Backends.h"

namespace ovelaudio {

// The most samples (frames times channels) a clip decoded ahead may have, 2 MB
// of them, and all clips decoded ahead together, 6 MB: beyond it a clip is
// decoded while it plays, so many layers at once cost no more memory.
constexpr size_t kMostSamplesAhead = 1024 * 1024;
constexpr size_t kMostSamplesHeldAhead = 3 * 1024 * 1024;

// decoder plays bytes; the worker decodes a copy of them. Answers decoder itself
// when its clip is not worth decoding ahead (cheap to decode, long, or of
// unknown length) or the clips decoded ahead hold all the room.
std::unique_ptr<Decoder> DecodeAhead(std::unique_ptr<Decoder> decoder, const uint8_t* bytes, size_t size);

// For tests: while held, the worker takes up no clip; and a wait until it has
// done every clip given to it.
void HoldDecodingAhead(bool hold);
void WaitForDecodingAhead();
// The samples the clips decoded ahead hold now.
size_t SamplesHeldAhead();

}  // namespace ovelaudio
