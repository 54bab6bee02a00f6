#include "support/Random.h"

#include <chrono>
#include <random>

namespace {
std::mt19937& Generator()
{
    static std::mt19937 generator(5489u);
    return generator;
}

TRandomSource ScriptedSource = nullptr;
}  // namespace

void Randomize()
{
    RandSeed(static_cast<std::uint32_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count()));
}

void RandSeed(std::uint32_t seed) { Generator().seed(seed); }

void SetRandomSource(TRandomSource source) { ScriptedSource = source; }

int Random(int range)
{
    if (range <= 0)
        return 0;
    if (ScriptedSource)
        return ScriptedSource(range);
    return std::uniform_int_distribution<int>(0, range - 1)(Generator());
}

double RandomFloat() { return std::uniform_real_distribution<double>(0.0, 1.0)(Generator()); }
