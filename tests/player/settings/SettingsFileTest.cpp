#include "player/settings/SettingsFile.h"

#include "tests/player/settings/ExportTexts.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <iterator>
#include <string>

namespace {

const std::string& kKey = kSettingsKeyName;

TBytes Pattern(std::size_t size)
{
    TBytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>((i * 131 + i / 7) ^ (i >> 9));
    return bytes;
}

void AppendChecksum(TBytes& packed)
{
    const std::uint32_t sum = SettingsChecksum(packed.data(), packed.size());
    for (int i = 0; i < 4; ++i)
        packed.push_back(static_cast<std::uint8_t>(sum >> (8 * i)));
}

// A zlib stream of the bytes, with a valid checksum behind it.
TBytes Deflated(const TBytes& text, int level)
{
    uLongf size = compressBound(static_cast<uLong>(text.size()));
    TBytes packed(size);
    EXPECT_EQ(compress2(packed.data(), &size, text.data(), static_cast<uLong>(text.size()), level), Z_OK);
    packed.resize(size);
    return packed;
}

TBytes WithChecksum(TBytes packed)
{
    AppendChecksum(packed);
    return packed;
}

int Unpacked(const TBytes& file)
{
    TBytes text = {1, 2, 3};
    const int code = UnpackFile(file, text);
    EXPECT_TRUE(code == 0 || text.empty());
    return code;
}

TEST(SettingsFile, ChecksumCountsWholeLittleEndianWordsByTheirPlace)
{
    EXPECT_EQ(SettingsChecksum(nullptr, 0), 2011u);
    const TBytes words = {1, 0, 0, 0, 0, 1, 0, 0, 9, 9, 9};
    EXPECT_EQ(SettingsChecksum(words.data(), 3), 2011u);
    EXPECT_EQ(SettingsChecksum(words.data(), 4), 2011u + 1);
    // The 4n + 3 tail does not count.
    EXPECT_EQ(SettingsChecksum(words.data(), words.size()), 2011u + 1 + 2 * 256);
    const TBytes high = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(SettingsChecksum(high.data(), high.size()), 2011u - 1 - 2);
}

TEST(SettingsFile, RoundTripsAtEverySizeAroundTheReadChunk)
{
    for (std::size_t size : {0u, 1u, 1023u, 1024u, 1025u, 200000u}) {
        const TBytes text = Pattern(size);
        const TBytes file = PackFile(text);
        ASSERT_GE(file.size(), 6u);
        EXPECT_EQ(file[0], 0x78);
        EXPECT_EQ(file[1], 0xDA);
        TBytes back;
        EXPECT_EQ(UnpackFile(file, back), 0) << size;
        EXPECT_EQ(back, text) << size;
    }
}

TEST(SettingsFile, DamagedFilesAreCorrupt)
{
    const TBytes good = PackFile(Pattern(5000));
    TBytes alteredTail(good.begin(), good.end() - 1);
    alteredTail.push_back(static_cast<std::uint8_t>(good.back() ^ 0x10));
    TBytes alteredData = good;
    alteredData[good.size() / 2] ^= 0x01;
    TBytes cut = good;
    cut.erase(cut.end() - 9, cut.end() - 4);
    TBytes garbage = Pattern(777);
    AppendChecksum(garbage);
    TBytes packed = Deflated(Pattern(3000), 9);
    TBytes trailing = packed;
    trailing.insert(trailing.end(), {0, 0, 0, 0});
    TBytes unended = packed;
    unended.resize(unended.size() - 6);
    const TBytes cases[] = {
        {},
        {0},
        {0, 0, 0},
        {0xDB, 0x07, 0, 0},  // an empty stream with its checksum is no stream
        alteredTail,
        alteredData,
        cut,
        garbage,
        WithChecksum(trailing),
        WithChecksum(unended),
    };
    for (const TBytes& file : cases)
        EXPECT_EQ(Unpacked(file), kUnpackCorrupt) << file.size() << " bytes";
}

TEST(SettingsFile, SizeLimitsEndTheReadOfABomb)
{
    const TBytes bomb = WithChecksum(Deflated(TBytes(kLargestSettingsText + 1), 9));
    ASSERT_LE(bomb.size(), kLargestSettingsFile);
    EXPECT_EQ(Unpacked(bomb), kUnpackCorrupt);
    const TBytes largest = WithChecksum(Deflated(TBytes(kLargestSettingsText), 9));
    EXPECT_EQ(Unpacked(largest), 0);
    TBytes oversized = WithChecksum(Deflated(Pattern(kLargestSettingsFile + 100), 0));
    ASSERT_GT(oversized.size(), kLargestSettingsFile);
    EXPECT_EQ(Unpacked(oversized), kUnpackCorrupt);
}

TEST(SettingsFile, ProposedNameHasNoSlashesOrColons)
{
    EXPECT_EQ(ExportFileName("C:\\Users\\me\\Desktop\\", "31/12/2024 23:59:07"),
              "C:\\Users\\me\\Desktop\\31.12.2024 23-59-07.Ovel");
    EXPECT_EQ(ExportFileName("D:\\", "2024-12-31 11:05:00 PM"), "D:\\2024-12-31 11-05-00 PM.Ovel");
}

TEST(SettingsFile, OnlyAnExportOfTheKeyPassesTheGate)
{
    const std::string sub = "[" + kKey + "\\Sub]\r\n\"x\"=\"y\"\r\n";
    const struct {
        TBytes Text;
        bool Accepted;
    } cases[] = {
        {Wide(kOwnExport), true},
        {Ansi("REGEDIT4\r\n\r\n[" + kKey + "]\r\n\"C1\"=dword:1\r\n"), true},
        {Ansi(kOwnExport), true},
        {Wide(kOwnExport + sub), true},
        {Wide(kExportHeader + "[hkey_current_user\\software\\tamlin\\ovel]\n"), true},
        {Wide(kOwnExport + "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"
                           "\"Ovel\"=\"calc.exe\"\r\n"),
         false},
        {Wide(kOwnExport + "  [HKEY_LOCAL_MACHINE\\Software]\r\n"), false},
        {Wide(kOwnExport + "\"x\"=\"y\"\r[HKEY_LOCAL_MACHINE\\Software]\r\n"), false},
        {Wide(kOwnExport + "[-" + kKey + "]\r\n"), false},
        {Wide(kOwnExport + "[-" + kKey + "\\Sub]\r\n"), false},
        {Wide(kExportHeader + "[" + kKey + "X]\r\n\"C1\"=dword:1\r\n"), false},
        {Wide(kExportHeader + "[HKEY_CURRENT_USER\\Software\\Tamlin]\r\n"), false},
        {Wide(kExportHeader + sub), false},
        {Wide(kExportHeader), false},
        {Wide("[" + kKey + "]\r\n"), false},
        {Ansi(kOwnExport + std::string(1, '\0') + "[HKEY_LOCAL_MACHINE\\Software]\r\n"), false},
        {[] {
             TBytes odd = Wide(kOwnExport);
             odd.push_back(0x41);
             return odd;
         }(),
         false},
        {{}, false},
        {Pattern(300), false},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(ExportTextAccepted(cases[i].Text, kKey), cases[i].Accepted) << "case " << i;
}

}  // namespace
