// The 23 sound banks the build ships, read as the player reads them, every
// clip checked as the file it is; and the four test banks beside them.

#include "player/engine/BankFormat.h"
#include "player/engine/ClipScramble.h"
#include "player/engine/SoundBanks.h"
#include "tests/tools/bankmaker/shipped/FolderBankFiles.h"
#include "tests/tools/bankmaker/shipped/SoundFileChecks.h"
#include "tools/bankmaker/BankTool.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using namespace BankLayout;

constexpr unsigned kShippedRevisionSum = 213;
constexpr std::uintmax_t kShippedSizeLimit = 60u * 1024u * 1024u;
// The older fly-by bank's insects go up to entry 10.
constexpr std::uint32_t kFlightBankEntries = 11;

// What the layers that play a bank ask of its clips' channels.
enum class TChannels {
    Any,
    Stereo
};

struct TShippedBank {
    TBankId Id;
    std::uint8_t Revision;
    std::array<std::uint8_t, 3> GroupCounts;  // .3bs
    std::uint16_t EntryCount;                 // .cok, .ics
    std::uint32_t DataStart;
    TChannels Channels;
};

void PrintTo(const TShippedBank& bank, std::ostream* out) { *out << BankFileNames[bank.Id]; }

constexpr std::array<std::uint8_t, 3> kNoGroups{};

// The fly-bys and the weather go through a matrix of the clip's two channels.
const TShippedBank kShippedBanks[] = {
    {sbOvac, 5, {17, 13, 16}, 0, 154, TChannels::Any}, {sbOvbf, 4, kNoGroups, 7, 43, TChannels::Stereo},
    {sbOvch, 4, kNoGroups, 25, 215, TChannels::Any},   {sbOvcu, 1, {0, 5, 0}, 0, 31, TChannels::Any},
    {sbOvda, 17, {0, 8, 0}, 0, 40, TChannels::Any},    {sbOvdc, 9, {0, 37, 0}, 0, 127, TChannels::Any},
    {sbOvdw, 23, kNoGroups, 191, 779, TChannels::Any}, {sbOvef, 5, {0, 3, 0}, 0, 25, TChannels::Any},
    {sbOves, 6, {0, 2, 0}, 0, 22, TChannels::Any},     {sbOvfl, 10, kNoGroups, 85, 355, TChannels::Any},
    {sbOvfr, 1, kNoGroups, 24, 111, TChannels::Any},   {sbOvfw, 1, {0, 8, 0}, 0, 40, TChannels::Any},
    {sbOvgh, 6, kNoGroups, 23, 107, TChannels::Any},   {sbOvgu, 43, kNoGroups, 468, 1887, TChannels::Any},
    {sbOvha, 10, kNoGroups, 128, 527, TChannels::Any}, {sbOvif, 7, kNoGroups, 19, 91, TChannels::Stereo},
    {sbOvna, 21, {0, 37, 0}, 0, 127, TChannels::Any},  {sbOvnb, 19, {35, 59, 0}, 0, 298, TChannels::Any},
    {sbOvng, 2, kNoGroups, 22, 103, TChannels::Any},   {sbOvnw, 6, {0, 29, 0}, 0, 103, TChannels::Any},
    {sbOvel, 5, {2, 1, 1}, 0, 28, TChannels::Stereo},  {sbOvrs, 7, {6, 13, 0}, 0, 73, TChannels::Stereo},
    {sbOvwp, 1, kNoGroups, 8, 47, TChannels::Any},
};

const TBankId kTestBanks[] = {sbOvdb, sbOvdf, sbOvmd, sbOvmn};

class TRecordedMessages : public TBankMessages {
public:
    std::vector<std::string> Seen;
    void ReportFileNotFound(const std::string& name) override { Seen.push_back("not found: " + name); }
    void ReportFileCantOpen(const std::string& name) override { Seen.push_back("cannot open: " + name); }
    void ReportFileBadVersion(const std::string& name) override { Seen.push_back("bad version: " + name); }
    void ReportFileCorrupt(const std::string& name) override { Seen.push_back("corrupt: " + name); }
};

struct TOpenedBanks {
    std::array<TSoundBank, SoundBankCount> Banks;
    TRecordedMessages Messages;
    std::optional<unsigned> RevisionSum;
};

TOpenedBanks OpenFolder(const std::string& folder)
{
    TOpenedBanks opened;
    TFolderBankFiles files(folder);
    opened.RevisionSum = OpenSoundBanks(opened.Banks, files, opened.Messages);
    return opened;
}

std::uint32_t ReadField(TBankFile& file, std::size_t position, std::size_t width)
{
    std::array<std::uint8_t, 4> bytes{};
    EXPECT_TRUE(file.ReadAt(position, bytes.data(), width));
    return LoadLittleEndian(bytes.data(), width);
}

// What the player's checks leave out: a .3bs holds no flag but the version
// flag, and DataStart as written is the size of the header.
void ExpectLayoutRules(TBankFile& file, const TBankHeader& header, const char* name)
{
    if (header.Kind == bk3bs) {
        EXPECT_EQ(ReadField(file, kVersionPos, 1), k3bsVersionFlag) << name;
    }
    EXPECT_EQ(ReadField(file, BankDataStartPos(header.Kind), BankOffsetSize(header.Kind)),
              BankDataStart(header.Kind, header.TableEntries))
        << name;
}

TEST(ShippedBanks, OpenWithoutAMessageAndSumToTheShippedRevision)
{
    const TOpenedBanks opened = OpenFolder(OVEL_DIST_DIR);
    EXPECT_EQ(opened.Messages.Seen, std::vector<std::string>{});
    EXPECT_EQ(opened.RevisionSum, kShippedRevisionSum);
    for (const TShippedBank& expected : kShippedBanks)
        EXPECT_TRUE(opened.Banks[expected.Id].Present) << BankFileNames[expected.Id];
}

TEST(ShippedBanks, HeadersHoldTheShippedValues)
{
    TOpenedBanks opened = OpenFolder(OVEL_DIST_DIR);
    for (const TShippedBank& expected : kShippedBanks) {
        const char* name = BankFileNames[expected.Id];
        TSoundBank& bank = opened.Banks[expected.Id];
        ASSERT_TRUE(bank.Handle) << name;
        EXPECT_EQ(bank.Revision, expected.Revision) << name;
        EXPECT_EQ(bank.GroupCount1, expected.GroupCounts[0]) << name;
        EXPECT_EQ(bank.GroupCount2, expected.GroupCounts[1]) << name;
        EXPECT_EQ(bank.GroupCount3, expected.GroupCounts[2]) << name;
        EXPECT_EQ(bank.EntryCount, expected.EntryCount) << name;
        EXPECT_EQ(BankDataStart(bank.Kind, bank.TableEntries), expected.DataStart) << name;
        ExpectLayoutRules(*bank.Handle, bank, name);
    }
}

TEST(ShippedBanks, TogetherStayUnderTheSizeLimit)
{
    std::uintmax_t total = 0;
    for (const TShippedBank& bank : kShippedBanks)
        total += fs::file_size(fs::path(OVEL_DIST_DIR) / BankFileNames[bank.Id]);
    EXPECT_LT(total, kShippedSizeLimit);
}

std::vector<std::uint8_t> PlainClip(TBankId id, TBankFile& file, const TBankHeader& header, std::uint32_t entry)
{
    TClipBuffer clip;
    if (!ReadEntryClip(file, header, entry, clip))
        return {};
    if (!IsChimePicture(header, entry))
        UnscrambleClip(header.Kind, ClipSoundNumber(id, entry, header.EntryCount), clip);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(clip.Words.data());
    return {bytes, bytes + clip.Bytes};
}

TFileCheck CheckClip(const std::vector<std::uint8_t>& clip, bool picture)
{
    if (picture)
        return CheckChimePicture(clip);
    const std::string type = ClipFileExtension(clip.data(), clip.size());
    if (type == "ogg")
        return CheckVorbisFile(clip);
    if (type == "wav")
        return CheckWaveFile(clip);
    return {"a clip of type " + type, 0};
}

class ShippedBankClips : public testing::TestWithParam<TShippedBank> {};

TEST_P(ShippedBankClips, AreEachAFileOfItsKind)
{
    const TBankId id = GetParam().Id;
    const TBankCatalogueRow& row = BankCatalogue[id];
    TFolderBankFiles files(OVEL_DIST_DIR);
    const std::unique_ptr<TBankFile> file = files.OpenUnshared(BankFileNames[id]);
    ASSERT_TRUE(file);
    TBankHeader header;
    ASSERT_EQ(ReadBankHeader(*file, row.Kind, row.SingleGroup, header), TBankVerdict::Sound);
    for (std::uint32_t entry = 0; entry < header.TableEntries; ++entry) {
        const TFileCheck check = CheckClip(PlainClip(id, *file, header, entry), IsChimePicture(header, entry));
        EXPECT_EQ(check.Problem, "") << "entry " << entry;
        if (GetParam().Channels == TChannels::Stereo) {
            EXPECT_EQ(check.Channels, 2) << "entry " << entry;
        }
    }
}

std::string BankStem(const testing::TestParamInfo<TShippedBank>& info)
{
    return fs::path(BankFileNames[info.param.Id]).stem().string();
}

INSTANTIATE_TEST_SUITE_P(, ShippedBankClips, testing::ValuesIn(kShippedBanks), BankStem);

// The test banks built into a folder of their own, the shipped ones linked in beside them.
class BuiltTestBanks : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "ovel-banks-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        const std::string command = std::string("\"") + OVEL_BANKMAKER + "\" build-test \"" + folder_.string() + "\"";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        for (const TShippedBank& bank : kShippedBanks)
            fs::create_symlink(fs::path(OVEL_DIST_DIR) / BankFileNames[bank.Id], folder_ / BankFileNames[bank.Id]);
    }
    void TearDown() override
    {
        if (!folder_.empty())
            fs::remove_all(folder_);
    }

    fs::path folder_;
};

TEST_F(BuiltTestBanks, HaveSoundHeadersOfTheRevisionsThePlayerTakes)
{
    TFolderBankFiles files(folder_.string());
    for (const TBankId id : kTestBanks) {
        const char* name = BankFileNames[id];
        const std::unique_ptr<TBankFile> file = files.OpenUnshared(name);
        ASSERT_TRUE(file) << name;
        TBankHeader header;
        ASSERT_EQ(ReadBankHeader(*file, BankCatalogue[id].Kind, BankCatalogue[id].SingleGroup, header),
                  TBankVerdict::Sound)
            << name;
        ExpectLayoutRules(*file, header, name);
        if (id == sbOvdf) {
            EXPECT_EQ(header.Revision, BankCatalogue[id].RequiredRevision);
            EXPECT_GE(header.TableEntries, kFlightBankEntries);
        }
        if (id == sbOvmn) {
            EXPECT_EQ(header.GroupCount1, 0);
        }
    }
}

// Each test bank is an older bank whose newer one ships: accepted or not, it
// leaves the sum where the shipped set puts it.
TEST_F(BuiltTestBanks, BesideTheShippedOnesLeaveTheRevisionSum)
{
    const TOpenedBanks opened = OpenFolder(folder_.string());
    EXPECT_EQ(opened.Messages.Seen, std::vector<std::string>{});
    EXPECT_EQ(opened.RevisionSum, kShippedRevisionSum);
}

}  // namespace
