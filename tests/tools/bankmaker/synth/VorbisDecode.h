#pragma once
// Decoding the encoder's Ogg Vorbis output, to check it as a player would.

#include <cstdint>
#include <vector>

struct DecodedVorbis {
    int channels = 0;
    int rate = 0;
    std::vector<short> samples;  // interleaved; empty when the stream is broken
};

DecodedVorbis DecodeVorbis(const std::vector<uint8_t>& file);
