#include "tools/bankmaker/BankWriter.h"

#include "player/engine/ClipScramble.h"
#include "tests/player/engine/BankFixtures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

namespace {

using namespace BankLayout;

// Reads every entry back the way the player does and unscrambles it.
std::vector<std::vector<std::uint8_t>> ReadBack(TBankId id, const std::vector<std::uint8_t>& bank, TBankHeader& header)
{
    const TBankCatalogueRow& row = BankCatalogue[id];
    TMemoryBankFile file(bank);
    EXPECT_EQ(ReadBankHeader(file, row.Kind, row.SingleGroup, header), TBankVerdict::Sound) << BankFileNames[id];
    std::vector<std::vector<std::uint8_t>> clips;
    for (std::uint32_t entry = 0; entry < header.TableEntries; ++entry) {
        TClipBuffer clip;
        EXPECT_TRUE(ReadEntryClip(file, header, entry, clip));
        if (!IsChimePicture(header, entry))
            UnscrambleClip(header.Kind, ClipSoundNumber(id, entry, header.EntryCount), clip);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(clip.Words.data());
        clips.emplace_back(bytes, bytes + clip.Bytes);
    }
    return clips;
}

TEST(BankWriter, EveryLayoutReadsBackAsWritten)
{
    for (const TSampleBank& sample : SampleBanks()) {
        const std::vector<BankClip> clips = SampleClips(sample);
        const std::vector<std::uint8_t> bank =
            WriteBank(BankFileNames[sample.id], 9, sample.groupCounts, sample.entryCount, clips);
        TBankHeader header;
        const std::vector<std::vector<std::uint8_t>> read = ReadBack(sample.id, bank, header);
        ASSERT_EQ(read.size(), clips.size()) << BankFileNames[sample.id];
        for (std::size_t i = 0; i < clips.size(); ++i)
            EXPECT_EQ(read[i], clips[i].bytes) << BankFileNames[sample.id] << " entry " << i;

        EXPECT_EQ(std::memcmp(bank.data(), BankFileNames[sample.id], kTagSize), 0) << "tag is the stem";
        EXPECT_EQ(header.Revision, 9);
        if (header.Kind == bk3bs) {
            EXPECT_EQ(bank[kVersionPos], 2);
            EXPECT_EQ(header.GroupCount1, sample.groupCounts[0]);
            EXPECT_EQ(header.GroupCount2, sample.groupCounts[1]);
            EXPECT_EQ(header.GroupCount3, sample.groupCounts[2]);
        } else {
            EXPECT_EQ(bank[kVersionPos], 9 + 32);
            EXPECT_EQ(header.EntryCount, sample.entryCount);
        }
    }
}

TEST(BankWriter, ClipsAreStoredScrambledUnlessPlain)
{
    const TSampleBank& chimes = SampleBanks()[3];
    const std::vector<BankClip> clips = SampleClips(chimes);
    const std::vector<std::uint8_t> bank = WriteBank("ovch.ics", 4, {}, chimes.entryCount, clips);
    std::size_t at = BankDataStart(bkIcs, 4);
    for (std::size_t i = 0; i < clips.size(); ++i) {
        const bool stored = std::equal(clips[i].bytes.begin(), clips[i].bytes.end(), bank.begin() + at);
        EXPECT_EQ(stored, !clips[i].scrambled) << "entry " << i;
        at += clips[i].bytes.size();
    }
}

TEST(BankWriter, SoundNumberOverrideDecidesTheKeystream)
{
    std::vector<BankClip> clips = TestClips(2, 400);
    clips[1].soundNumber = 7;
    const std::vector<std::uint8_t> bank = WriteBank("ovdw.cok", 1, {}, 2, clips);
    TMemoryBankFile file(bank);
    TBankHeader header;
    ASSERT_EQ(ReadBankHeader(file, bkCok, false, header), TBankVerdict::Sound);
    TClipBuffer clip;
    ASSERT_TRUE(ReadEntryClip(file, header, 1, clip));
    TClipBuffer byDefault = clip;
    UnscrambleClip(bkCok, 7, clip);
    UnscrambleClip(bkCok, ClipSoundNumber(sbOvdw, 1, 2), byDefault);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(clip.Words.data());
    const auto* defaultBytes = reinterpret_cast<const std::uint8_t*>(byDefault.Words.data());
    EXPECT_TRUE(std::equal(clips[1].bytes.begin(), clips[1].bytes.end(), bytes));
    EXPECT_FALSE(std::equal(clips[1].bytes.begin(), clips[1].bytes.end(), defaultBytes));
}

TEST(BankWriter, RefusesHeaderValuesThatDoNotFit)
{
    const struct {
        const char* what;
        const char* name;
        std::uint8_t revision;
        std::array<std::uint8_t, 3> groups;
        std::uint16_t entries;
        std::size_t clips;
    } cases[] = {
        {"name outside the catalogue", "ovxx.3bs", 1, {0, 1, 0}, 0, 1},
        {"single group, too few clips", "ovda.3bs", 1, {0, 3, 0}, 0, 2},
        {"single group, outer count set", "ovda.3bs", 1, {1, 3, 0}, 0, 3},
        {"single group, outer count set, clips for all", "ovda.3bs", 1, {1, 3, 1}, 0, 5},
        {"three groups, too many clips", "ovnb.3bs", 1, {1, 2, 3}, 0, 7},
        {"cok, clip count off", "ovdw.cok", 1, {}, 3, 4},
        {"ics takes two clips per entry", "ovch.ics", 1, {}, 3, 3},
        {"cok revision 0 reads as another version", "ovdw.cok", 0, {}, 1, 1},
        {"cok revision past the version byte", "ovdw.cok", 224, {}, 1, 1},
    };
    for (const auto& c : cases)
        EXPECT_THROW(WriteBank(c.name, c.revision, c.groups, c.entries, TestClips(c.clips)), std::invalid_argument)
            << c.what;
    EXPECT_NO_THROW(WriteBank("ovdw.cok", 223, {}, 1, TestClips(1)));
}

TEST(BankWriter, RefusesClipsPastTheOffsetRange)
{
    std::vector<BankClip> clips(1);
    clips[0].bytes.assign(std::size_t{1} << 24, 0);
    EXPECT_THROW(WriteBank("ovda.3bs", 1, {0, 1, 0}, 0, clips), std::length_error);
    EXPECT_NO_THROW(WriteBank("ovdw.cok", 1, {}, 1, clips));
}

}  // namespace
