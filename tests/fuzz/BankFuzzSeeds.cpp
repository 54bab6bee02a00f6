// Writes the fuzz target's starting corpus: a small sound bank of each layout,
// each prefixed by the catalogue index the target reads it as.

#include "player/engine/SoundBanks.h"
#include "tools/bankmaker/BankWriter.h"

#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

constexpr std::size_t kClipBytes = 130;  // past the first scrambled word of either kind

std::vector<BankClip> Clips(std::size_t count)
{
    std::vector<BankClip> clips(count);
    for (std::size_t i = 0; i < count; ++i)
        for (std::size_t b = 0; b < kClipBytes + i; ++b)
            clips[i].bytes.push_back(static_cast<std::uint8_t>(b * 7 + i));
    return clips;
}

struct TSeed {
    TBankId id;
    std::array<std::uint8_t, 3> groupCounts;
    std::uint16_t entryCount;
    std::size_t clips;
};

const TSeed kSeeds[] = {
    {sbOvda, {0, 3, 0}, 0, 3},
    {sbOvnb, {1, 2, 1}, 0, 4},
    {sbOvdw, {0, 0, 0}, 3, 3},
    {sbOvch, {0, 0, 0}, 2, 4},
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: BankFuzzSeeds <corpus dir>\n";
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    for (const TSeed& seed : kSeeds) {
        const std::vector<std::uint8_t> bank =
            WriteBank(BankFileNames[seed.id], 3, seed.groupCounts, seed.entryCount, Clips(seed.clips));
        std::ofstream file(dir / BankFileNames[seed.id], std::ios::binary);
        file.put(static_cast<char>(seed.id));
        file.write(reinterpret_cast<const char*>(bank.data()), static_cast<std::streamsize>(bank.size()));
        if (!file.flush())
            return 1;
    }
    return 0;
}
