#pragma once
// A synthesised recording before it is encoded, and how to encode it.

#include <vector>

struct Sound {
    int rate = 44100;
    int channels = 1;            // 1 or 2
    std::vector<float> samples;  // interleaved, nominally within -1 .. 1
};

enum class ClipEncoding {
    Vorbis,
    Wav16,
    Wav8
};

struct SynthClip {
    Sound sound;
    ClipEncoding encoding = ClipEncoding::Vorbis;
    float vorbisQuality = 0.1f;  // libvorbis VBR quality, -0.1 .. 1
};
