#pragma once
// Small banks of each layout for the tests, built by the bank writer.

#include "player/engine/BankFormat.h"
#include "player/engine/SoundBanks.h"
#include "tools/bankmaker/BankWriter.h"

#include <array>
#include <cstdint>
#include <vector>

// Clips whose bytes differ from clip to clip and from word to word, so that a
// misplaced clip or a swapped word shows.
inline std::vector<BankClip> TestClips(std::size_t count, std::size_t bytes = 160)
{
    std::vector<BankClip> clips(count);
    for (std::size_t i = 0; i < count; ++i)
        for (std::size_t b = 0; b < bytes + i; ++b)
            clips[i].bytes.push_back(static_cast<std::uint8_t>(b * 31 + i * 17 + (b >> 8)));
    return clips;
}

struct TSampleBank {
    TBankId id;
    std::array<std::uint8_t, 3> groupCounts;
    std::uint16_t entryCount;
    std::uint32_t clipCount;
};

// One bank of each layout: single-group and three-group .3bs, .cok, .ics.
inline const std::array<TSampleBank, 4>& SampleBanks()
{
    static const std::array<TSampleBank, 4> samples = {{
        {sbOvda, {0, 3, 0}, 0, 3},
        {sbOvnb, {2, 1, 2}, 0, 5},
        {sbOvdw, {0, 0, 0}, 4, 4},
        {sbOvch, {0, 0, 0}, 2, 4},
    }};
    return samples;
}

inline std::vector<BankClip> SampleClips(const TSampleBank& sample)
{
    std::vector<BankClip> clips = TestClips(sample.clipCount);
    if (BankCatalogue[sample.id].Kind == bkIcs)
        for (std::size_t i = 0; i < sample.entryCount; ++i)
            clips[i].scrambled = false;
    return clips;
}

inline std::vector<std::uint8_t> WriteSample(const TSampleBank& sample, std::uint8_t revision = 3)
{
    return WriteBank(BankFileNames[sample.id], revision, sample.groupCounts, sample.entryCount, SampleClips(sample));
}

// Rewrites the checksum after a test has changed header bytes on purpose.
inline void RepairChecksum(std::vector<std::uint8_t>& bank, TBankKind kind, std::uint32_t tableEntries)
{
    const std::size_t checksumPos = BankDataStart(kind, tableEntries) - BankLayout::kChecksumSize;
    StoreLittleEndian(&bank[checksumPos], BankHeaderChecksum(kind, bank.data(), checksumPos),
                      BankLayout::kChecksumSize);
}
