#pragma once
// The Ogg pages that carry a Vorbis stream's three header packets, and its
// identification and comment headers, checked before the decoder is given the
// bytes: stb_vorbis believes the lengths and counts it reads there. Pages of
// another stream, or laid out in any way but the plain one, are refused too.

#include <cstddef>
#include <cstdint>

namespace ovelaudio {

enum class HeaderCheck {
    Sound,
    Incomplete,  // the bytes so far are sound, but end before the third header does
    Broken
};

struct VorbisHeaders {
    HeaderCheck check = HeaderCheck::Broken;
    // What the decoder allocates for the comment header's strings and list.
    size_t commentMemory = 0;
};

// bytes: the start of a stream; final: no more will follow them.
VorbisHeaders CheckVorbisHeaders(const uint8_t* bytes, size_t size, bool final);

}  // namespace ovelaudio
