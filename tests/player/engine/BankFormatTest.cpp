#include "player/engine/BankFormat.h"

#include "tests/player/engine/BankFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

using namespace BankLayout;

TEST(BankFormat, ChecksumIsSeedPlusBytesWeightedByPositionAndWraps)
{
    const std::vector<std::uint8_t> three = {1, 2, 3};
    EXPECT_EQ(BankHeaderChecksum(bk3bs, three.data(), three.size()), 2005u + 1 + 4 + 9);
    EXPECT_EQ(BankHeaderChecksum(bkCok, three.data(), three.size()), 2011u + 1 + 4 + 9);
    EXPECT_EQ(BankHeaderChecksum(bkIcs, three.data(), three.size()), 2011u + 1 + 4 + 9);

    const std::vector<std::uint8_t> large(10000, 0xFF);
    const std::uint64_t n = large.size();
    const auto expected = static_cast<std::uint32_t>(2005 + 255 * (n * (n + 1) / 2));
    EXPECT_EQ(BankHeaderChecksum(bk3bs, large.data(), large.size()), expected);
}

struct TDamage {
    const char* what;
    std::function<void(std::vector<std::uint8_t>&, TBankKind)> damage;
    bool repairChecksum;  // so that only the check under test can notice
    TBankVerdict verdict;
};

std::size_t FirstOffsetPos(TBankKind kind) { return static_cast<std::size_t>(TablePosition(kind, 1)); }

void SetOffset(std::vector<std::uint8_t>& bank, TBankKind kind, std::uint32_t entry, std::uint32_t value)
{
    StoreLittleEndian(&bank[static_cast<std::size_t>(TablePosition(kind, entry + 1))], value, BankOffsetSize(kind));
}

std::uint32_t Offset(const std::vector<std::uint8_t>& bank, TBankKind kind, std::uint32_t entry)
{
    return LoadLittleEndian(&bank[static_cast<std::size_t>(TablePosition(kind, entry + 1))], BankOffsetSize(kind));
}

std::uint32_t DataStartValue(const std::vector<std::uint8_t>& bank, TBankKind kind)
{
    return LoadLittleEndian(&bank[BankDataStartPos(kind)], BankOffsetSize(kind));
}

const TDamage kDamages[] = {
    {"none", [](auto&, TBankKind) {}, false, TBankVerdict::Sound},
    {"byte appended after the trailer", [](auto& b, TBankKind) { b.push_back(0); }, false, TBankVerdict::Corrupt},
    {"trailer cut short", [](auto& b, TBankKind) { b.pop_back(); }, false, TBankVerdict::Corrupt},
    {"flipped table byte", [](auto& b, TBankKind k) { b[FirstOffsetPos(k)] ^= 1; }, false, TBankVerdict::Corrupt},
    {"flipped checksum byte", [](auto& b, TBankKind k) { b[DataStartValue(b, k) - kChecksumSize] ^= 1; }, false,
     TBankVerdict::Corrupt},
    {"flipped payload byte", [](auto& b, TBankKind) { b[b.size() - 20] ^= 0x40; }, false, TBankVerdict::Sound},
    {"flipped trailer byte", [](auto& b, TBankKind) { b.back() ^= 0xFF; }, false, TBankVerdict::Sound},
    {"flipped tag byte, checksum repaired", [](auto& b, TBankKind) { b[0] ^= 0x20; }, true, TBankVerdict::Sound},
    {"DataStart moved, checksum repaired",
     [](auto& b, TBankKind k) {
         StoreLittleEndian(&b[BankDataStartPos(k)], DataStartValue(b, k) + 1, BankOffsetSize(k));
     },
     true, TBankVerdict::Corrupt},
    {"first offset below DataStart, checksum repaired",
     [](auto& b, TBankKind k) { SetOffset(b, k, 0, DataStartValue(b, k) - 1); }, true, TBankVerdict::Corrupt},
    {"offsets decreasing, checksum repaired", [](auto& b, TBankKind k) { SetOffset(b, k, 1, Offset(b, k, 0) - 1); },
     true, TBankVerdict::Corrupt},
    {"last offset past the file, checksum repaired", [](auto& b, TBankKind k) { SetOffset(b, k, 2, 0xFFFFFF); }, true,
     TBankVerdict::Corrupt},
    {"cut inside the header", [](auto& b, TBankKind) { b.resize(11); }, false, TBankVerdict::Corrupt},
    {"empty file", [](auto& b, TBankKind) { b.clear(); }, false, TBankVerdict::Corrupt},
};

TEST(BankFormat, HeaderChecksOfEveryLayout)
{
    for (const TSampleBank& sample : SampleBanks()) {
        const TBankCatalogueRow& row = BankCatalogue[sample.id];
        for (const TDamage& d : kDamages) {
            std::vector<std::uint8_t> bank = WriteSample(sample);
            d.damage(bank, row.Kind);
            if (d.repairChecksum)
                RepairChecksum(bank, row.Kind, sample.clipCount);
            TMemoryBankFile file(bank);
            TBankHeader header;
            EXPECT_EQ(ReadBankHeader(file, row.Kind, row.SingleGroup, header), d.verdict)
                << BankFileNames[sample.id] << ": " << d.what;
        }
    }
}

TEST(BankFormat, VersionByte)
{
    struct Case {
        TBankId id;
        std::uint8_t versionByte;
        TBankVerdict verdict;
        std::uint8_t revision;
    };
    const Case cases[] = {
        {sbOvdw, 32, TBankVerdict::BadVersion, 0},   {sbOvdw, 0, TBankVerdict::BadVersion, 0},
        {sbOvdw, 33, TBankVerdict::Sound, 1},        {sbOvdw, 255, TBankVerdict::Sound, 223},
        {sbOvch, 32, TBankVerdict::BadVersion, 0},   {sbOvda, 0, TBankVerdict::BadVersion, 0},
        {sbOvda, 0xFD, TBankVerdict::BadVersion, 0}, {sbOvda, 2, TBankVerdict::Sound, 3},
        {sbOvda, 0xFF, TBankVerdict::Sound, 3},
    };
    for (const Case& c : cases) {
        const TSampleBank& sample = *std::find_if(SampleBanks().begin(), SampleBanks().end(),
                                                  [&](const TSampleBank& s) { return s.id == c.id; });
        const TBankCatalogueRow& row = BankCatalogue[c.id];
        std::vector<std::uint8_t> bank = WriteSample(sample);
        bank[kVersionPos] = c.versionByte;
        RepairChecksum(bank, row.Kind, sample.clipCount);
        TMemoryBankFile file(bank);
        TBankHeader header;
        EXPECT_EQ(ReadBankHeader(file, row.Kind, row.SingleGroup, header), c.verdict)
            << BankFileNames[c.id] << " version byte " << int{c.versionByte};
        if (c.verdict == TBankVerdict::Sound) {
            EXPECT_EQ(header.Revision, c.revision);
        }
    }
}

TEST(BankFormat, HugeCountsInASmallFileAreCorrupt)
{
    struct Case {
        TBankId id;
        std::size_t countPos;
    };
    const Case cases[] = {{sbOvdw, kCokEntryCountPos}, {sbOvch, kCokEntryCountPos}, {sbOvnb, k3bsGroupCountPos}};
    for (const Case& c : cases) {
        const TBankCatalogueRow& row = BankCatalogue[c.id];
        std::vector<std::uint8_t> bank(64, 0);
        bank[kVersionPos] = 0xFF;
        bank[c.countPos] = 0xFF;
        bank[c.countPos + 1] = 0xFF;
        const std::uint32_t entries = row.Kind == bk3bs ? 0xFF * 2 : TableEntryCount(row.Kind, false, 0, 0, 0, 0xFFFF);
        StoreLittleEndian(&bank[BankDataStartPos(row.Kind)], BankDataStart(row.Kind, entries),
                          BankOffsetSize(row.Kind));
        TMemoryBankFile file(bank);
        TBankHeader header;
        EXPECT_EQ(ReadBankHeader(file, row.Kind, row.SingleGroup, header), TBankVerdict::Corrupt)
            << BankFileNames[c.id];
    }
}

TEST(BankFormat, EntriesAreTheStoredClipsBackToBack)
{
    for (const TSampleBank& sample : SampleBanks()) {
        const TBankCatalogueRow& row = BankCatalogue[sample.id];
        const std::vector<std::uint8_t> bank = WriteSample(sample);
        TMemoryBankFile file(bank);
        TBankHeader header;
        ASSERT_EQ(ReadBankHeader(file, row.Kind, row.SingleGroup, header), TBankVerdict::Sound);
        ASSERT_EQ(header.TableEntries, sample.clipCount);

        // Entry 0 begins at the DataStart field's value: byte 9 of a .3bs, byte 7 otherwise.
        std::uint32_t expectedStart = LoadLittleEndian(&bank[row.Kind == bk3bs ? 9 : 7], BankOffsetSize(row.Kind));
        EXPECT_EQ(expectedStart, BankDataStart(row.Kind, header.TableEntries));
        const std::vector<BankClip> clips = SampleClips(sample);
        for (std::uint32_t entry = 0; entry < header.TableEntries; ++entry) {
            const std::optional<TEntryBounds> bounds = ReadEntryBounds(file, header, entry);
            ASSERT_TRUE(bounds);
            EXPECT_EQ(bounds->Start, expectedStart);
            EXPECT_EQ(bounds->End - bounds->Start, clips[entry].bytes.size());
            expectedStart = bounds->End;

            TClipBuffer clip;
            ASSERT_TRUE(ReadEntryClip(file, header, entry, clip));
            EXPECT_EQ(clip.Bytes, clips[entry].bytes.size());
            EXPECT_EQ(clip.Words.size(), (clip.Bytes + 1) / 2);
            const auto* stored = reinterpret_cast<const std::uint8_t*>(clip.Words.data());
            EXPECT_TRUE(std::equal(stored, stored + clip.Bytes, bank.begin() + bounds->Start));
            if (clip.Bytes % 2 == 1) {
                EXPECT_EQ(stored[clip.Bytes], 0) << "padding of the last word";
            }
        }
        EXPECT_EQ(std::uint64_t{expectedStart} + kTrailerSize, bank.size());
        EXPECT_FALSE(ReadEntryBounds(file, header, header.TableEntries));
        TClipBuffer outside;
        EXPECT_FALSE(ReadEntryClip(file, header, header.TableEntries, outside));
        EXPECT_TRUE(outside.Words.empty());
    }
}

TEST(BankFormat, ReaderRefusesBoundsOutsideTheFile)
{
    const TSampleBank& sample = SampleBanks()[2];
    const TBankCatalogueRow& row = BankCatalogue[sample.id];
    std::vector<std::uint8_t> bank = WriteSample(sample);
    TBankHeader header;
    {
        TMemoryBankFile file(bank);
        ASSERT_EQ(ReadBankHeader(file, row.Kind, row.SingleGroup, header), TBankVerdict::Sound);
    }
    struct Case {
        const char* what;
        std::uint32_t entry;
        std::uint32_t end;
    };
    const std::uint32_t start1 = Offset(bank, row.Kind, 0);
    const Case cases[] = {
        {"end past the file", 1, static_cast<std::uint32_t>(bank.size()) + 100},
        {"end inside the trailer", 1, static_cast<std::uint32_t>(bank.size()) - 2},
        {"end before start", 1, start1 - 1},
        {"huge end", 1, 0xFFFFFFFFu},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> damaged = bank;
        SetOffset(damaged, row.Kind, c.entry, c.end);
        TMemoryBankFile file(damaged);
        TClipBuffer clip;
        EXPECT_FALSE(ReadEntryBounds(file, header, c.entry)) << c.what;
        EXPECT_FALSE(ReadEntryClip(file, header, c.entry, clip)) << c.what;
        EXPECT_TRUE(ReadEntryBounds(file, header, c.entry - 1)) << c.what;
    }
}

TEST(BankFormat, ChimePicturesAreTheFirstHalfOfAnIcsOnly)
{
    TBankHeader ics;
    ics.Kind = bkIcs;
    ics.EntryCount = 3;
    ics.TableEntries = 6;
    TBankHeader cok = ics;
    cok.Kind = bkCok;
    for (std::uint32_t entry = 0; entry < 6; ++entry) {
        EXPECT_EQ(IsChimePicture(ics, entry), entry < 3) << entry;
        EXPECT_FALSE(IsChimePicture(cok, entry)) << entry;
    }
}

}  // namespace
