// Decodes half a minute of stereo CD audio through each plug-in's table, from
// memory; "realtime" is how many seconds of sound one second of decoding gives.

#include "platform/audio/plugins/flac/FlacPlugin.h"
#include "platform/audio/plugins/wavpack/WavPackPlugin.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr double kSeconds = 30;
constexpr double kRate = 44100;
constexpr size_t kPiece = 4096;

struct Bytes {
    std::vector<uint8_t> data;
    size_t position = 0;
};

OvelPluginInput InputOver(Bytes& bytes)
{
    OvelPluginInput input{};
    input.user = &bytes;
    input.read = [](void* user, void* out, size_t wanted) {
        auto& b = *static_cast<Bytes*>(user);
        const size_t take = std::min(wanted, b.data.size() - b.position);
        std::memcpy(out, b.data.data() + b.position, take);
        b.position += take;
        return take;
    };
    input.seek = [](void* user, uint64_t position) {
        static_cast<Bytes*>(user)->position = static_cast<size_t>(position);
        return 1;
    };
    input.size = [](void* user) { return static_cast<uint64_t>(static_cast<Bytes*>(user)->data.size()); };
    input.pending = [](void*) { return 0; };
    return input;
}

// The sound: pink noise like rain or a brook, or a chord of tones.
std::vector<uint8_t> Encoded(const std::string& sound, const std::string& encode, const std::string& extension)
{
    const std::string wave = "/tmp/ovel-bench-" + sound + ".wav";
    const std::string file = "/tmp/ovel-bench-" + sound + extension;
    const std::string synth = sound == "noise" ? "pinknoise gain -6" : "sine 220 sine 330 gain -6";
    const std::string make = std::string(OVEL_SOX) + " -r 44100 -c 2 -n -b 16 " + wave + " synth " +
                             std::to_string(static_cast<int>(kSeconds)) + " " + synth;
    if (std::system(make.c_str()) != 0 || std::system((encode + " " + wave + " -o " + file).c_str()) != 0)
        std::abort();
    std::ifstream in(file, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Decode(benchmark::State& state, const OvelPluginTable* table, std::vector<uint8_t> file)
{
    Bytes bytes{std::move(file)};
    const OvelPluginInput input = InputOver(bytes);
    std::vector<float> out(kPiece * 2);
    size_t frames = 0;
    for (auto _ : state) {
        bytes.position = 0;
        OvelPluginFormat format{};
        OvelPluginStream* stream = table->open(&input, &format);
        while (const size_t got = table->read(stream, out.data(), kPiece))
            frames += got;
        benchmark::DoNotOptimize(out.data());
        table->close(stream);
    }
    state.counters["realtime"] = benchmark::Counter(static_cast<double>(frames) / kRate, benchmark::Counter::kIsRate);
}

const std::string kFlac = std::string(OVEL_FLAC) + " --silent -f -5";
const std::string kWavPack = std::string(OVEL_WAVPACK) + " -q -y";

}  // namespace

int main(int argc, char** argv)
{
    for (const std::string sound : {"noise", "tones"}) {
        benchmark::RegisterBenchmark(("Flac/" + sound).c_str(), Decode, ovelflac::FlacPluginTable(),
                                     Encoded(sound, kFlac, ".flac"));
        benchmark::RegisterBenchmark(("WavPack/" + sound).c_str(), Decode, ovelwavpack::WavPackPluginTable(),
                                     Encoded(sound, kWavPack, ".wv"));
        benchmark::RegisterBenchmark(("WavPackHigh/" + sound).c_str(), Decode, ovelwavpack::WavPackPluginTable(),
                                     Encoded(sound, kWavPack + " -hh", "-high.wv"));
        benchmark::RegisterBenchmark(("WavPackHybrid/" + sound).c_str(), Decode, ovelwavpack::WavPackPluginTable(),
                                     Encoded(sound, kWavPack + " -b3", "-hybrid.wv"));
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
