// Writes the decoder fuzz target's starting corpus: small Vorbis and WAVE files
// of each kind the decoders take, each behind the mode byte the target reads.

#include "tests/platform/audio/AudioFixtures.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

namespace {

using namespace audiotest;

constexpr uint8_t kFromMemory = 0;
constexpr uint8_t kAsDownload = 1;
constexpr uint8_t kLoopedMono = 2 | 4;
constexpr size_t kFrames = 3000;

struct Seed {
    const char* name;
    uint8_t mode;
    std::vector<uint8_t> file;
};

std::vector<float> Ramp(size_t samples)
{
    std::vector<float> values(samples);
    for (size_t i = 0; i < samples; ++i)
        values[i] = static_cast<float>(i % 200) / 100.0f - 1.0f;
    return values;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: DecoderFuzzSeeds <corpus dir>\n";
        return 2;
    }
    const Seed seeds[] = {
        {"vorbis-22050", kFromMemory, MakeVorbis(22050, kFrames)},
        {"vorbis-44100-download", kAsDownload, MakeVorbis(kRate, kFrames)},
        {"vorbis-looped", kLoopedMono, MakeVorbis(kRate, kFrames / 4)},
        {"wave-16-stereo", kFromMemory, MakeWave({kPcm, 16, 2, kRate, false}, Ramp(2 * kFrames))},
        {"wave-8-download", kAsDownload, MakeWave({kPcm, 8, 1, 11025, false}, Ramp(kFrames))},
        {"wave-24", kFromMemory, MakeWave({kPcm, 24, 1, 32000, false}, Ramp(kFrames))},
        {"wave-float-extensible", kLoopedMono, MakeWave({kFloat, 32, 2, 48000, true}, Ramp(2 * kFrames))},
    };
    const std::filesystem::path dir = argv[1];
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    for (const Seed& seed : seeds) {
        std::ofstream file(dir / seed.name, std::ios::binary);
        file.put(static_cast<char>(seed.mode));
        file.write(reinterpret_cast<const char*>(seed.file.data()), static_cast<std::streamsize>(seed.file.size()));
        if (!file.flush())
            return 1;
    }
    return 0;
}
