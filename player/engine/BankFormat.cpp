#include "player/engine/BankFormat.h"

#include <cstring>

using namespace BankLayout;

std::size_t BankOffsetSize(TBankKind kind) { return kind == bk3bs ? 3 : 4; }

std::size_t BankDataStartPos(TBankKind kind) { return kind == bk3bs ? k3bsDataStartPos : kCokDataStartPos; }

std::uint64_t TablePosition(TBankKind kind, std::uint32_t entry)
{
    return BankDataStartPos(kind) + std::uint64_t{entry} * BankOffsetSize(kind);
}

std::uint32_t BankDataStart(TBankKind kind, std::uint32_t tableEntries)
{
    // DataStart itself counts as end offset -1, so the table has one more slot.
    return static_cast<std::uint32_t>(TablePosition(kind, tableEntries + 1) + kChecksumSize);
}

std::uint32_t BankHeaderChecksum(TBankKind kind, const std::uint8_t* header, std::size_t count)
{
    std::uint32_t sum = kind == bk3bs ? k3bsChecksumSeed : kCokChecksumSeed;
    for (std::size_t i = 0; i < count; ++i)
        sum += header[i] * static_cast<std::uint32_t>(i + 1);
    return sum;
}

std::uint32_t LoadLittleEndian(const std::uint8_t* bytes, std::size_t width)
{
    std::uint32_t value = 0;
    for (std::size_t i = width; i-- > 0;)
        value = (value << 8) | bytes[i];
    return value;
}

void StoreLittleEndian(std::uint8_t* bytes, std::uint32_t value, std::size_t width)
{
    for (std::size_t i = 0; i < width; ++i, value >>= 8)
        bytes[i] = static_cast<std::uint8_t>(value);
}

bool TMemoryBankFile::ReadAt(std::uint64_t position, void* buffer, std::size_t count)
{
    if (position > bytes_.size() || count > bytes_.size() - position)
        return false;
    if (count > 0)
        std::memcpy(buffer, bytes_.data() + static_cast<std::size_t>(position), count);
    return true;
}

std::uint32_t TableEntryCount(TBankKind kind, bool singleGroup, std::uint8_t groupCount1, std::uint8_t groupCount2,
                              std::uint8_t groupCount3, std::uint16_t entryCount)
{
    switch (kind) {
        case bk3bs:
            return singleGroup ? groupCount2 : std::uint32_t{groupCount1} + groupCount2 + groupCount3;
        case bkCok:
            return entryCount;
        case bkIcs:
            return 2u * entryCount;
    }
    return 0;
}

namespace {

constexpr std::size_t kLongestPrefix = k3bsDataStartPos + 3;

// The counts and the revision from the bytes up to DataStart; false when the
// version byte tells another format version.
bool ReadVersionAndCounts(const std::uint8_t* prefix, TBankHeader& header)
{
    if (header.Kind == bk3bs) {
        if ((prefix[kVersionPos] & k3bsVersionFlag) == 0)
            return false;
        header.Revision = prefix[k3bsRevisionPos];
        header.GroupCount1 = prefix[k3bsGroupCountPos];
        header.GroupCount2 = prefix[k3bsGroupCountPos + 1];
        header.GroupCount3 = prefix[k3bsGroupCountPos + 2];
        return true;
    }
    if (prefix[kVersionPos] <= kCokRevisionBias)
        return false;
    header.Revision = static_cast<std::uint8_t>(prefix[kVersionPos] - kCokRevisionBias);
    header.EntryCount = static_cast<std::uint16_t>(LoadLittleEndian(prefix + kCokEntryCountPos, 2));
    return true;
}

bool OffsetsFitTheFile(const std::vector<std::uint8_t>& headerBytes, const TBankHeader& header, std::uint32_t dataStart)
{
    const std::size_t width = BankOffsetSize(header.Kind);
    std::uint32_t previous = dataStart;
    for (std::uint32_t i = 1; i <= header.TableEntries; ++i) {
        const auto position = static_cast<std::size_t>(TablePosition(header.Kind, i));
        const std::uint32_t end = LoadLittleEndian(headerBytes.data() + position, width);
        if (end < previous)
            return false;
        previous = end;
    }
    return std::uint64_t{previous} + kTrailerSize == header.FileSize;
}

}  // namespace

TBankVerdict ReadBankHeader(TBankFile& file, TBankKind kind, bool singleGroup, TBankHeader& header)
{
    header = TBankHeader{};
    header.Kind = kind;
    const std::size_t width = BankOffsetSize(kind);
    const std::size_t prefixSize = BankDataStartPos(kind) + width;
    std::uint8_t prefix[kLongestPrefix];
    const std::optional<std::uint64_t> size = file.Size();
    if (!size || !file.ReadAt(0, prefix, prefixSize))
        return TBankVerdict::Corrupt;
    header.FileSize = *size;
    if (!ReadVersionAndCounts(prefix, header))
        return TBankVerdict::BadVersion;
    header.TableEntries = TableEntryCount(kind, singleGroup, header.GroupCount1, header.GroupCount2, header.GroupCount3,
                                          header.EntryCount);

    // The table is read only once the file is known to hold it.
    const std::uint32_t dataStart = BankDataStart(kind, header.TableEntries);
    if (LoadLittleEndian(prefix + BankDataStartPos(kind), width) != dataStart ||
        header.FileSize < std::uint64_t{dataStart} + kTrailerSize)
        return TBankVerdict::Corrupt;
    std::vector<std::uint8_t> headerBytes(dataStart);
    if (!file.ReadAt(0, headerBytes.data(), dataStart))
        return TBankVerdict::Corrupt;
    const std::size_t checksumPos = dataStart - kChecksumSize;
    const std::uint32_t stored = LoadLittleEndian(headerBytes.data() + checksumPos, kChecksumSize);
    if (stored != BankHeaderChecksum(kind, headerBytes.data(), checksumPos) ||
        !OffsetsFitTheFile(headerBytes, header, dataStart))
        return TBankVerdict::Corrupt;
    return TBankVerdict::Sound;
}

std::optional<TEntryBounds> ReadEntryBounds(TBankFile& file, const TBankHeader& header, std::uint32_t entry)
{
    if (entry >= header.TableEntries)
        return std::nullopt;
    const std::size_t width = BankOffsetSize(header.Kind);
    std::uint8_t raw[2 * 4];
    if (!file.ReadAt(TablePosition(header.Kind, entry), raw, 2 * width))
        return std::nullopt;
    const TEntryBounds bounds{LoadLittleEndian(raw, width), LoadLittleEndian(raw + width, width)};
    if (bounds.Start > bounds.End || std::uint64_t{bounds.End} + kTrailerSize > header.FileSize)
        return std::nullopt;
    return bounds;
}

bool ReadEntryClip(TBankFile& file, const TBankHeader& header, std::uint32_t entry, TClipBuffer& clip)
{
    clip.Words.clear();
    clip.Bytes = 0;
    const std::optional<TEntryBounds> bounds = ReadEntryBounds(file, header, entry);
    if (!bounds)
        return false;
    const std::uint32_t bytes = bounds->End - bounds->Start;
    clip.Words.assign(bytes / 2 + bytes % 2, 0);
    if (!file.ReadAt(bounds->Start, clip.Words.data(), bytes)) {
        clip.Words.clear();
        return false;
    }
    clip.Bytes = bytes;
    return true;
}

bool IsChimePicture(const TBankHeader& header, std::uint32_t entry)
{
    return header.Kind == bkIcs && entry < header.EntryCount;
}
