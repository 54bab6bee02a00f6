// The picker's pictures from the chimes bank: whole bitmap files only, and
// only from offsets that lie in the file.
#include "player/window/ChimePictures.h"

#include "tools/bankmaker/BankWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t kHeadersSize = 14 + 40;

struct BitmapSpec {
    std::int32_t width = 52;
    std::int32_t height = 52;
    std::uint16_t bits = 24;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
};

// A whole bitmap file of that shape, its pixels all the same.
std::vector<std::uint8_t> Bitmap(const BitmapSpec& spec)
{
    const std::uint32_t palette = spec.coloursUsed ? spec.coloursUsed : spec.bits <= 8 ? 1u << spec.bits : 0;
    const std::uint32_t masks = spec.compression == 3 ? 12 : 0;
    const std::uint32_t bitsOffset = kHeadersSize + masks + 4 * palette;
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(spec.width) * spec.bits + 31) / 32 * 4;
    const std::uint32_t size = bitsOffset + rowBytes * static_cast<std::uint32_t>(std::abs(spec.height));
    std::vector<std::uint8_t> file(size, 0x5A);
    const auto put = [&file](std::size_t at, std::uint32_t value, std::size_t width) {
        StoreLittleEndian(file.data() + at, value, width);
    };
    put(0, 0x4D42, 2);
    put(2, size, 4);
    put(6, 0, 4);
    put(10, bitsOffset, 4);
    put(14, 40, 4);
    put(18, static_cast<std::uint32_t>(spec.width), 4);
    put(22, static_cast<std::uint32_t>(spec.height), 4);
    put(26, 1, 2);
    put(28, spec.bits, 2);
    put(30, spec.compression, 4);
    put(46, spec.coloursUsed, 4);
    return file;
}

struct WholeCase {
    std::string name;
    std::vector<std::uint8_t> file;
    std::optional<std::size_t> bitsOffset;
};

std::vector<std::uint8_t> Changed(std::vector<std::uint8_t> file, std::size_t at, std::uint32_t value,
                                  std::size_t width)
{
    StoreLittleEndian(file.data() + at, value, width);
    return file;
}

std::vector<std::uint8_t> Shortened(std::vector<std::uint8_t> file)
{
    file.pop_back();
    return file;
}

TEST(BitmapFileTest, OnlyAWholeUncompressedBitmapGivesItsRows)
{
    const std::vector<std::uint8_t> plain = Bitmap({});
    const std::vector<WholeCase> cases = {
        {"24-bit", plain, kHeadersSize},
        {"8-bit with its palette", Bitmap({52, 52, 8}), kHeadersSize + 1024},
        {"4-bit with 3 colours", Bitmap({52, 52, 4, 0, 3}), kHeadersSize + 12},
        {"top-down", Bitmap({52, -52, 24}), kHeadersSize},
        {"16-bit with masks", Bitmap({52, 52, 16, 3}), kHeadersSize + 12},
        {"one byte short", Shortened(plain), std::nullopt},
        {"rows start in the headers", Changed(plain, 10, 40, 4), std::nullopt},
        {"palette overlapping the rows", Changed(Bitmap({52, 52, 8}), 10, kHeadersSize + 1020, 4), std::nullopt},
        {"no magic", Changed(plain, 0, 0x4D41, 2), std::nullopt},
        {"no width", Changed(plain, 18, 0, 4), std::nullopt},
        {"no height", Changed(plain, 22, 0, 4), std::nullopt},
        {"huge width", Changed(plain, 18, 0x7FFFFFFF, 4), std::nullopt},
        {"two planes", Changed(plain, 26, 2, 2), std::nullopt},
        {"7 bits", Changed(plain, 28, 7, 2), std::nullopt},
        {"run-length coded", Changed(Bitmap({52, 52, 8}), 30, 1, 4), std::nullopt},
        {"a core header", Changed(plain, 14, 12, 4), std::nullopt},
        {"headers only", std::vector<std::uint8_t>(plain.begin(), plain.begin() + kHeadersSize - 1), std::nullopt},
    };
    for (const WholeCase& c : cases)
        EXPECT_EQ(BitmapFileBitsOffset(c.file), c.bitsOffset) << c.name;
}

// A chimes bank of four chimes: pictures, then a sound each.
std::vector<std::uint8_t> ChimesBank(const std::vector<std::vector<std::uint8_t>>& pictures)
{
    std::vector<BankClip> clips;
    for (const auto& picture : pictures)
        clips.push_back({picture, false, std::nullopt});
    for (std::size_t i = 0; i < pictures.size(); ++i)
        clips.push_back({std::vector<std::uint8_t>(100 + i, 1), true, std::nullopt});
    return WriteBank("ovch.ics", 4, {}, static_cast<std::uint16_t>(pictures.size()), clips);
}

TBankHeader HeaderOf(std::vector<std::uint8_t> bytes)
{
    TMemoryBankFile file(std::move(bytes));
    TBankHeader header;
    EXPECT_EQ(ReadBankHeader(file, bkIcs, false, header), TBankVerdict::Sound);
    return header;
}

TEST(ChimePicturesTest, EachWholePictureInEntryOrderAndBadOnesLeftEmpty)
{
    const std::vector<std::uint8_t> first = Bitmap({});
    const std::vector<std::uint8_t> second = Bitmap({52, 52, 8});
    const std::vector<std::uint8_t> cut(first.begin(), first.end() - 52);
    const std::vector<std::uint8_t> bytes = ChimesBank({first, cut, second, {}});
    TMemoryBankFile file(bytes);
    const std::vector<std::vector<std::uint8_t>> pictures = ReadChimePictures(file, HeaderOf(bytes));
    ASSERT_EQ(pictures.size(), 4u);
    EXPECT_EQ(pictures[0], first);
    EXPECT_TRUE(pictures[1].empty()) << "a cut picture";
    EXPECT_EQ(pictures[2], second);
    EXPECT_TRUE(pictures[3].empty()) << "an empty picture";
}

// The header was read from the bank as it was; the table now points past the file.
TEST(ChimePicturesTest, OffsetsThatLeaveTheFileGiveNoPicture)
{
    const std::vector<std::uint8_t> picture = Bitmap({});
    std::vector<std::uint8_t> bytes = ChimesBank({picture, picture, picture});
    const TBankHeader header = HeaderOf(bytes);
    StoreLittleEndian(bytes.data() + TablePosition(bkIcs, 2), static_cast<std::uint32_t>(bytes.size() + 1), 4);
    TMemoryBankFile file(bytes);
    const std::vector<std::vector<std::uint8_t>> pictures = ReadChimePictures(file, header);
    ASSERT_EQ(pictures.size(), 3u);
    EXPECT_EQ(pictures[0], picture);
    EXPECT_TRUE(pictures[1].empty()) << "ends past the file";
    EXPECT_TRUE(pictures[2].empty()) << "starts past its end";
}

TEST(ChimePicturesTest, ABankOfAnotherKindHasNoPictures)
{
    TMemoryBankFile file({});
    TBankHeader header;
    header.Kind = bk3bs;
    header.EntryCount = 3;
    EXPECT_TRUE(ReadChimePictures(file, header).empty());
}

}  // namespace
