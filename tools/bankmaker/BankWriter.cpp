#include "tools/bankmaker/BankWriter.h"

#include "player/engine/BankFormat.h"
#include "player/engine/ClipScramble.h"
#include "player/engine/SoundBanks.h"

#include <limits>
#include <stdexcept>

using namespace BankLayout;

namespace {

constexpr std::uint8_t kWrittenFlags = BankLayout::k3bsVersionFlag;
constexpr unsigned kLargestCokRevision = std::numeric_limits<std::uint8_t>::max() - kCokRevisionBias;

TBankId CatalogueBank(const std::string& fileName)
{
    const std::optional<TBankId> id = FindBank(fileName);
    if (!id)
        throw std::invalid_argument(fileName + " is not a bank of the catalogue");
    return *id;
}

std::uint64_t LargestOffset(TBankKind kind) { return (std::uint64_t{1} << (8 * BankOffsetSize(kind))) - 1; }

// The bytes before the end offsets: tag, version byte, counts, DataStart.
void WriteHeaderPrefix(std::vector<std::uint8_t>& bank, const std::string& fileName, TBankKind kind,
                       std::uint8_t revision, const std::array<std::uint8_t, 3>& groupCounts, std::uint16_t entryCount,
                       std::uint32_t dataStart)
{
    for (std::size_t i = 0; i < kTagSize && i < fileName.size() && fileName[i] != '.'; ++i)
        bank[i] = static_cast<std::uint8_t>(fileName[i]);
    if (kind == bk3bs) {
        bank[kVersionPos] = kWrittenFlags;
        bank[k3bsRevisionPos] = revision;
        for (std::size_t g = 0; g < groupCounts.size(); ++g)
            bank[k3bsGroupCountPos + g] = groupCounts[g];
    } else {
        if (revision < 1 || revision > kLargestCokRevision)
            throw std::invalid_argument(fileName + ": revision out of range");
        bank[kVersionPos] = static_cast<std::uint8_t>(revision + kCokRevisionBias);
        StoreLittleEndian(&bank[kCokEntryCountPos], entryCount, 2);
    }
    StoreLittleEndian(&bank[BankDataStartPos(kind)], dataStart, BankOffsetSize(kind));
}

std::uint32_t CountedEntries(const std::string& fileName, const TBankCatalogueRow& row,
                             const std::array<std::uint8_t, 3>& groupCounts, std::uint16_t entryCount,
                             std::size_t clipCount)
{
    if (row.Kind == bk3bs && row.SingleGroup && (groupCounts[0] != 0 || groupCounts[2] != 0))
        throw std::invalid_argument(fileName + " has one group: only the middle count may be set");
    const std::uint32_t entries =
        TableEntryCount(row.Kind, row.SingleGroup, groupCounts[0], groupCounts[1], groupCounts[2], entryCount);
    if (clipCount != entries)
        throw std::invalid_argument(fileName + ": " + std::to_string(clipCount) + " clips for " +
                                    std::to_string(entries) + " entries");
    return entries;
}

}  // namespace

std::vector<std::uint8_t> WriteBank(const std::string& fileName, std::uint8_t revision,
                                    std::array<std::uint8_t, 3> groupCounts, std::uint16_t entryCount,
                                    const std::vector<BankClip>& clips)
{
    const TBankId id = CatalogueBank(fileName);
    const TBankCatalogueRow& row = BankCatalogue[id];
    const TBankKind kind = row.Kind;
    const std::uint32_t entries = CountedEntries(fileName, row, groupCounts, entryCount, clips.size());
    const std::uint32_t dataStart = BankDataStart(kind, entries);
    const std::size_t width = BankOffsetSize(kind);

    std::vector<std::uint8_t> bank(dataStart, 0);
    WriteHeaderPrefix(bank, fileName, kind, revision, groupCounts, entryCount, dataStart);
    for (std::uint32_t entry = 0; entry < entries; ++entry) {
        const BankClip& clip = clips[entry];
        const std::size_t start = bank.size();
        bank.insert(bank.end(), clip.bytes.begin(), clip.bytes.end());
        if (bank.size() > LargestOffset(kind))
            throw std::length_error(fileName + ": the clips do not fit the bank's offsets");
        if (clip.scrambled)
            ScrambleClip(kind, clip.soundNumber.value_or(ClipSoundNumber(id, entry, entryCount)), bank.data() + start,
                         clip.bytes.size());
        const auto position = static_cast<std::size_t>(TablePosition(kind, entry + 1));
        StoreLittleEndian(&bank[position], static_cast<std::uint32_t>(bank.size()), width);
    }
    const std::size_t checksumPos = dataStart - kChecksumSize;
    StoreLittleEndian(&bank[checksumPos], BankHeaderChecksum(kind, bank.data(), checksumPos), kChecksumSize);
    bank.insert(bank.end(), kTrailerSize, 0);
    return bank;
}
