#include "tests/tools/bankmaker/synth/VorbisDecode.h"

#include <cstdlib>

// Debian ships stb_vorbis as one header holding the implementation too.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wconversion"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wunused-value"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wmisleading-indentation"
#pragma GCC diagnostic ignored "-Wpedantic"
#include <stb/stb_vorbis.h>
#pragma GCC diagnostic pop

DecodedVorbis DecodeVorbis(const std::vector<uint8_t>& file)
{
    DecodedVorbis out;
    short* samples = nullptr;
    const int frames =
        stb_vorbis_decode_memory(file.data(), static_cast<int>(file.size()), &out.channels, &out.rate, &samples);
    if (frames > 0)
        out.samples.assign(samples, samples + static_cast<size_t>(frames) * out.channels);
    std::free(samples);
    return out;
}
