#include "player/window/ChimePictures.h"

#include <cstdlib>

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kBitsOffsetPos = 10;
constexpr std::size_t kInfoHeaderSize = 40;     // the smallest header this reads
constexpr std::uint16_t kBitmapMagic = 0x4D42;  // "BM"
constexpr std::uint32_t kUncompressed = 0;
constexpr std::uint32_t kBitFields = 3;
constexpr std::size_t kBitFieldMasksSize = 12;  // after a 40-byte header
constexpr std::size_t kPaletteEntrySize = 4;
constexpr std::uint32_t kLargestPaletteBits = 8;

// The fields of the headers, at their offsets from the start of the file.
struct TBitmapInfo {
    std::uint32_t HeaderSize;
    std::int32_t Width;
    std::int32_t Height;
    std::uint16_t Planes;
    std::uint16_t BitCount;
    std::uint32_t Compression;
    std::uint32_t ColoursUsed;
};

std::uint32_t Field(const std::vector<std::uint8_t>& file, std::size_t position, std::size_t width)
{
    return LoadLittleEndian(file.data() + position, width);
}

TBitmapInfo ReadInfo(const std::vector<std::uint8_t>& file)
{
    const std::size_t at = kFileHeaderSize;
    return {Field(file, at, 4),
            static_cast<std::int32_t>(Field(file, at + 4, 4)),
            static_cast<std::int32_t>(Field(file, at + 8, 4)),
            static_cast<std::uint16_t>(Field(file, at + 12, 2)),
            static_cast<std::uint16_t>(Field(file, at + 14, 2)),
            Field(file, at + 16, 4),
            Field(file, at + 32, 4)};
}

bool KnownBitCount(std::uint16_t bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

bool KnownCompression(const TBitmapInfo& info)
{
    return info.Compression == kUncompressed ||
           (info.Compression == kBitFields && (info.BitCount == 16 || info.BitCount == 32));
}

std::uint64_t ColourTableEnd(const TBitmapInfo& info)
{
    std::uint64_t entries = info.ColoursUsed;
    if (entries == 0 && info.BitCount <= kLargestPaletteBits)
        entries = std::uint64_t{1} << info.BitCount;
    const std::uint64_t masks =
        info.Compression == kBitFields && info.HeaderSize == kInfoHeaderSize ? kBitFieldMasksSize : 0;
    return kFileHeaderSize + std::uint64_t{info.HeaderSize} + masks + entries * kPaletteEntrySize;
}

}  // namespace

std::optional<std::size_t> BitmapFileBitsOffset(const std::vector<std::uint8_t>& file)
{
    if (file.size() < kFileHeaderSize + kInfoHeaderSize || Field(file, 0, 2) != kBitmapMagic)
        return std::nullopt;
    const TBitmapInfo info = ReadInfo(file);
    if (info.HeaderSize < kInfoHeaderSize || info.Width <= 0 || info.Height == 0 || info.Planes != 1 ||
        !KnownBitCount(info.BitCount) || !KnownCompression(info))
        return std::nullopt;
    const std::uint64_t bitsOffset = Field(file, kBitsOffsetPos, 4);
    const std::uint64_t rowBytes =
        (std::uint64_t{static_cast<std::uint32_t>(info.Width)} * info.BitCount + 31) / 32 * 4;
    const auto rows = static_cast<std::uint64_t>(std::abs(std::int64_t{info.Height}));
    if (ColourTableEnd(info) > bitsOffset || bitsOffset + rowBytes * rows > file.size())
        return std::nullopt;
    return static_cast<std::size_t>(bitsOffset);
}

std::vector<std::vector<std::uint8_t>> ReadChimePictures(TBankFile& file, const TBankHeader& header)
{
    std::vector<std::vector<std::uint8_t>> pictures(IsChimePicture(header, 0) ? header.EntryCount : 0);
    for (std::uint32_t entry = 0; entry < pictures.size(); ++entry) {
        const std::optional<TEntryBounds> bounds = ReadEntryBounds(file, header, entry);
        if (!bounds)
            continue;
        std::vector<std::uint8_t> bytes(bounds->End - bounds->Start);
        if (file.ReadAt(bounds->Start, bytes.data(), bytes.size()) && BitmapFileBitsOffset(bytes))
            pictures[entry] = std::move(bytes);
    }
    return pictures;
}
