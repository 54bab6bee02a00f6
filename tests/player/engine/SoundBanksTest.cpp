#include "player/engine/SoundBanks.h"

#include "tests/player/engine/BankFixtures.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <ostream>
#include <set>
#include <stdexcept>

namespace {

using namespace BankLayout;

struct TMessage {
    std::string routine;
    std::string name;
    bool operator==(const TMessage& other) const { return routine == other.routine && name == other.name; }
};

std::ostream& operator<<(std::ostream& out, const TMessage& m) { return out << m.routine << "(" << m.name << ")"; }

class TRecordedMessages : public TBankMessages {
public:
    std::vector<TMessage> seen;
    void ReportFileNotFound(const std::string& name) override { seen.push_back({"NotFound", name}); }
    void ReportFileCantOpen(const std::string& name) override { seen.push_back({"CantOpen", name}); }
    void ReportFileBadVersion(const std::string& name) override { seen.push_back({"BadVersion", name}); }
    void ReportFileCorrupt(const std::string& name) override { seen.push_back({"Corrupt", name}); }
};

class TThrowingFile : public TBankFile {
public:
    std::optional<std::uint64_t> Size() override { throw std::runtime_error("device gone"); }
    bool ReadAt(std::uint64_t, void*, std::size_t) override { throw std::runtime_error("device gone"); }
};

class TFakeBankFiles : public TBankFileSystem {
public:
    std::map<std::string, std::vector<std::uint8_t>> files;
    std::set<std::string> locked;   // there, but another process holds them
    std::set<std::string> failing;  // reading them throws

    bool FileExists(const std::string& name) override { return files.count(name) > 0; }
    std::unique_ptr<TBankFile> OpenUnshared(const std::string& name) override
    {
        if (locked.count(name) > 0)
            return nullptr;
        if (failing.count(name) > 0)
            return std::make_unique<TThrowingFile>();
        return std::make_unique<TMemoryBankFile>(files.at(name));
    }
};

// A small sound bank in the layout of that catalogue row.
std::vector<std::uint8_t> Bank(TBankId id, std::uint8_t revision)
{
    const TBankCatalogueRow& row = BankCatalogue[id];
    const std::array<std::uint8_t, 3> groups = row.Kind != bk3bs ? std::array<std::uint8_t, 3>{}
                                               : row.SingleGroup ? std::array<std::uint8_t, 3>{0, 2, 0}
                                                                 : std::array<std::uint8_t, 3>{1, 1, 1};
    const std::uint16_t entries = row.Kind == bk3bs ? 0 : 2;
    const std::uint32_t clips = TableEntryCount(row.Kind, row.SingleGroup, groups[0], groups[1], groups[2], entries);
    return WriteBank(BankFileNames[id], revision, groups, entries, TestClips(clips));
}

std::vector<std::uint8_t> Corrupt(std::vector<std::uint8_t> bank, TBankKind kind)
{
    bank[static_cast<std::size_t>(TablePosition(kind, 1))] ^= 1;
    return bank;
}

// The banks a start needs, revision 1 each: the sum is 4.
TFakeBankFiles MinimalStart()
{
    TFakeBankFiles files;
    for (TBankId id : {sbOvda, sbOvdw, sbOvna, sbOvnb})
        files.files[BankFileNames[id]] = Bank(id, 1);
    return files;
}
constexpr unsigned kMinimalSum = 4;

void Add(TFakeBankFiles& files, TBankId id, std::uint8_t revision)
{
    files.files[BankFileNames[id]] = Bank(id, revision);
}

void AddCorrupt(TFakeBankFiles& files, TBankId id, std::uint8_t revision)
{
    files.files[BankFileNames[id]] = Corrupt(Bank(id, revision), BankCatalogue[id].Kind);
}

struct TRun {
    std::optional<unsigned> sum;
    std::vector<TMessage> messages;
    std::array<TSoundBank, SoundBankCount> banks;
};

TRun OpenAll(TFakeBankFiles& files)
{
    TRun run;
    TRecordedMessages messages;
    run.sum = OpenSoundBanks(run.banks, files, messages);
    run.messages = messages.seen;
    return run;
}

struct TShipped {
    TBankId id;
    std::uint8_t revision;
    std::array<std::uint8_t, 3> groupCounts;
    std::uint16_t entryCount;
    std::uint32_t dataStart;
};

const TShipped kShipped[] = {
    {sbOvac, 5, {17, 13, 16}, 0, 154}, {sbOvbf, 4, {}, 7, 43},           {sbOvch, 4, {}, 25, 215},
    {sbOvcu, 1, {0, 5, 0}, 0, 31},     {sbOvda, 17, {0, 8, 0}, 0, 40},   {sbOvdc, 9, {0, 37, 0}, 0, 127},
    {sbOvdw, 23, {}, 191, 779},        {sbOvef, 5, {0, 3, 0}, 0, 25},    {sbOves, 6, {0, 2, 0}, 0, 22},
    {sbOvfl, 10, {}, 85, 355},         {sbOvfr, 1, {}, 24, 111},         {sbOvfw, 1, {0, 8, 0}, 0, 40},
    {sbOvgh, 6, {}, 23, 107},          {sbOvgu, 43, {}, 468, 1887},      {sbOvha, 10, {}, 128, 527},
    {sbOvif, 7, {}, 19, 91},           {sbOvna, 21, {0, 37, 0}, 0, 127}, {sbOvnb, 19, {35, 59, 0}, 0, 298},
    {sbOvng, 2, {}, 22, 103},          {sbOvnw, 6, {0, 29, 0}, 0, 103},  {sbOvel, 5, {2, 1, 1}, 0, 28},
    {sbOvrs, 7, {6, 13, 0}, 0, 73},    {sbOvwp, 1, {}, 8, 47},
};

TEST(SoundBanks, ShippedSetIsAcceptedWithTheSum213)
{
    TFakeBankFiles files;
    for (const TShipped& s : kShipped) {
        const TBankCatalogueRow& row = BankCatalogue[s.id];
        const std::uint32_t clips = TableEntryCount(row.Kind, row.SingleGroup, s.groupCounts[0], s.groupCounts[1],
                                                    s.groupCounts[2], s.entryCount);
        std::vector<BankClip> clipList = TestClips(clips, 40);
        files.files[BankFileNames[s.id]] =
            WriteBank(BankFileNames[s.id], s.revision, s.groupCounts, s.entryCount, clipList);
        EXPECT_EQ(BankDataStart(row.Kind, clips), s.dataStart) << BankFileNames[s.id];
    }
    const TRun run = OpenAll(files);
    EXPECT_EQ(run.sum, 213u);
    EXPECT_TRUE(run.messages.empty());
    for (const TShipped& s : kShipped) {
        const TSoundBank& bank = run.banks[s.id];
        EXPECT_TRUE(bank.Present) << BankFileNames[s.id];
        EXPECT_TRUE(bank.Handle) << BankFileNames[s.id];
        EXPECT_EQ(bank.Revision, s.revision) << BankFileNames[s.id];
        EXPECT_EQ(bank.GroupCount1, s.groupCounts[0]) << BankFileNames[s.id];
        EXPECT_EQ(bank.GroupCount2, s.groupCounts[1]) << BankFileNames[s.id];
        EXPECT_EQ(bank.GroupCount3, s.groupCounts[2]) << BankFileNames[s.id];
        EXPECT_EQ(bank.EntryCount, s.entryCount) << BankFileNames[s.id];
    }
    for (TBankId unshipped : {sbOvdb, sbOvdf, sbOvmd, sbOvmn})
        EXPECT_FALSE(run.banks[unshipped].Present) << BankFileNames[unshipped];
}

struct TScenario {
    const char* what;
    std::function<void(TFakeBankFiles&)> setup;
    std::optional<unsigned> sum;  // nothing: the start ends
    std::vector<TMessage> messages;
};

const TScenario kScenarios[] = {
    {"ovdw present, ovdb absent", [](TFakeBankFiles&) {}, kMinimalSum, {}},
    {"ovdw and ovdb absent",
     [](TFakeBankFiles& f) { f.files.erase("ovdw.cok"); },
     std::nullopt,
     {{"NotFound", "ovdw.cok"}}},
    {"ovdw present, ovdb corrupt",
     [](TFakeBankFiles& f) { AddCorrupt(f, sbOvdb, 7); },
     std::nullopt,
     {{"Corrupt", "ovdb.3bs"}}},
    {"ovdw present, ovdb locked",
     [](TFakeBankFiles& f) {
         Add(f, sbOvdb, 7);
         f.locked.insert("ovdb.3bs");
     },
     std::nullopt,
     {{"CantOpen", "ovdb.3bs"}}},
    {"ovdw present, ovdb sound: ovdb adds nothing", [](TFakeBankFiles& f) { Add(f, sbOvdb, 7); }, kMinimalSum, {}},
    {"ovdb in place of an absent ovdw",
     [](TFakeBankFiles& f) {
         f.files.erase("ovdw.cok");
         Add(f, sbOvdb, 7);
     },
     kMinimalSum - 1 + 7,
     {}},
    {"ovdw corrupt, ovdb absent: one message for ovdw",
     [](TFakeBankFiles& f) { AddCorrupt(f, sbOvdw, 1); },
     std::nullopt,
     {{"Corrupt", "ovdw.cok"}}},
    {"ovda absent", [](TFakeBankFiles& f) { f.files.erase("ovda.3bs"); }, std::nullopt, {{"NotFound", "ovda.3bs"}}},
    {"ovna locked", [](TFakeBankFiles& f) { f.locked.insert("ovna.3bs"); }, std::nullopt, {{"CantOpen", "ovna.3bs"}}},
    {"ovnb of another version",
     [](TFakeBankFiles& f) { f.files["ovnb.3bs"][kVersionPos] = 0; },
     std::nullopt,
     {{"BadVersion", "ovnb.3bs"}}},
    {"ovdc absent", [](TFakeBankFiles&) {}, kMinimalSum, {}},
    {"ovdc with a wrong checksum",
     [](TFakeBankFiles& f) {
         Add(f, sbOvdc, 9);
         f.files["ovdc.3bs"][BankDataStart(bk3bs, 2) - 1] ^= 1;
     },
     std::nullopt,
     {{"Corrupt", "ovdc.3bs"}}},
    {"ovdc sound", [](TFakeBankFiles& f) { Add(f, sbOvdc, 9); }, kMinimalSum + 9, {}},
    {"ovgh corrupt", [](TFakeBankFiles& f) { AddCorrupt(f, sbOvgh, 6); }, kMinimalSum, {{"Corrupt", "ovgh.cok"}}},
    {"ovgh with a byte appended",
     [](TFakeBankFiles& f) {
         Add(f, sbOvgh, 6);
         f.files["ovgh.cok"].push_back(0);
     },
     kMinimalSum,
     {{"Corrupt", "ovgh.cok"}}},
    {"ovgh with byte 4 = 32",
     [](TFakeBankFiles& f) {
         Add(f, sbOvgh, 6);
         f.files["ovgh.cok"][kVersionPos] = 32;
     },
     kMinimalSum,
     {{"BadVersion", "ovgh.cok"}}},
    {"ovgh locked",
     [](TFakeBankFiles& f) {
         Add(f, sbOvgh, 6);
         f.locked.insert("ovgh.cok");
     },
     kMinimalSum,
     {{"CantOpen", "ovgh.cok"}}},
    {"ovgh failing to read, ovng after it sound",
     [](TFakeBankFiles& f) {
         Add(f, sbOvgh, 6);
         f.failing.insert("ovgh.cok");
         Add(f, sbOvng, 2);
     },
     kMinimalSum + 2,
     {}},
    {"ovgh with a flipped payload byte",
     [](TFakeBankFiles& f) {
         Add(f, sbOvgh, 6);
         f.files["ovgh.cok"][BankDataStart(bkCok, 2) + 5] ^= 1;
     },
     kMinimalSum + 6,
     {}},
    {"ovgh.cok holding the bytes of ovwp.cok",
     [](TFakeBankFiles& f) { f.files["ovgh.cok"] = Bank(sbOvwp, 6); },
     kMinimalSum + 6,
     {}},
    {"ovch.ics holding a .cok",
     [](TFakeBankFiles& f) { f.files["ovch.ics"] = Bank(sbOvwp, 6); },
     kMinimalSum,
     {{"Corrupt", "ovch.ics"}}},
    {"ovdf of revision 4", [](TFakeBankFiles& f) { Add(f, sbOvdf, 4); }, kMinimalSum, {}},
    {"ovdf of revision 5", [](TFakeBankFiles& f) { Add(f, sbOvdf, 5); }, kMinimalSum + 5, {}},
    {"ovdf of revision 4 corrupt",
     [](TFakeBankFiles& f) { AddCorrupt(f, sbOvdf, 4); },
     kMinimalSum,
     {{"Corrupt", "ovdf.3bs"}}},
};

TEST(SoundBanks, StartRulesOfTheCatalogue)
{
    for (const TScenario& s : kScenarios) {
        TFakeBankFiles files = MinimalStart();
        s.setup(files);
        const TRun run = OpenAll(files);
        EXPECT_EQ(run.sum, s.sum) << s.what;
        EXPECT_EQ(run.messages, s.messages) << s.what;
    }
}

TEST(SoundBanks, PresenceAndHandlesFollowTheVerdicts)
{
    TFakeBankFiles files = MinimalStart();
    AddCorrupt(files, sbOvgh, 6);
    Add(files, sbOvwp, 2);
    Add(files, sbOvnw, 3);
    files.failing.insert("ovnw.3bs");
    Add(files, sbOvmn, 4);
    Add(files, sbOvgu, 8);
    const TRun run = OpenAll(files);
    ASSERT_TRUE(run.sum);
    for (TBankId accepted : {sbOvda, sbOvdw, sbOvna, sbOvnb, sbOvwp, sbOvmn, sbOvgu}) {
        EXPECT_TRUE(run.banks[accepted].Present) << BankFileNames[accepted];
        EXPECT_TRUE(run.banks[accepted].Handle) << BankFileNames[accepted];
    }
    for (TBankId refused : {sbOvgh, sbOvnw, sbOvdb, sbOvch}) {
        EXPECT_FALSE(run.banks[refused].Present) << BankFileNames[refused];
        EXPECT_FALSE(run.banks[refused].Handle) << BankFileNames[refused];
    }
}

TEST(SoundBanks, NewerFlyByBanksLeaveTheOlderOneUnused)
{
    const struct {
        std::vector<TBankId> newer;
        bool ovdfPresent;
    } cases[] = {{{}, true}, {{sbOvbf}, false}, {{sbOvif}, false}, {{sbOvbf, sbOvif}, false}};
    for (const auto& c : cases) {
        TFakeBankFiles files = MinimalStart();
        Add(files, sbOvdf, 5);
        for (TBankId id : c.newer)
            Add(files, id, 3);
        const TRun run = OpenAll(files);
        EXPECT_EQ(run.banks[sbOvdf].Present, c.ovdfPresent) << c.newer.size();
        for (TBankId id : c.newer)
            EXPECT_TRUE(run.banks[id].Present) << BankFileNames[id];
    }
}

TEST(SoundBanks, NewerBanksTakeTheOlderRevisionOutOfTheSumOnce)
{
    struct TCase {
        const char* what;
        std::vector<std::pair<TBankId, std::uint8_t>> banks;
        std::vector<std::pair<TBankId, std::uint8_t>> corrupt;
        unsigned added;
    };
    const TCase cases[] = {
        {"ovmn alone", {{sbOvmn, 3}}, {}, 3},
        {"ovgu over ovmn", {{sbOvmn, 3}, {sbOvgu, 10}}, {}, 10},
        {"ovha over ovmn", {{sbOvmn, 3}, {sbOvha, 7}}, {}, 7},
        {"ovgu and ovha over ovmn", {{sbOvmn, 3}, {sbOvgu, 10}, {sbOvha, 7}}, {}, 17},
        {"ovgu and ovha without ovmn", {{sbOvgu, 10}, {sbOvha, 7}}, {}, 17},
        {"ovmd alone", {{sbOvmd, 2}}, {}, 2},
        {"ovfl over ovmd", {{sbOvmd, 2}, {sbOvfl, 9}}, {}, 9},
        {"ovbf over ovdf", {{sbOvdf, 5}, {sbOvbf, 4}}, {}, 4},
        {"ovif over ovdf", {{sbOvdf, 5}, {sbOvif, 6}}, {}, 6},
        {"ovbf and ovif over ovdf", {{sbOvdf, 5}, {sbOvbf, 4}, {sbOvif, 6}}, {}, 10},
        {"ovbf over a left-out ovdf of revision 4", {{sbOvdf, 4}, {sbOvbf, 4}}, {}, 4},
        {"ovgu over a corrupt ovmn", {{sbOvgu, 10}}, {{sbOvmn, 3}}, 10},
        {"ovif over a corrupt ovdf", {{sbOvif, 6}}, {{sbOvdf, 5}}, 6},
    };
    for (const TCase& c : cases) {
        TFakeBankFiles files = MinimalStart();
        for (const auto& [id, revision] : c.banks)
            Add(files, id, revision);
        for (const auto& [id, revision] : c.corrupt)
            AddCorrupt(files, id, revision);
        EXPECT_EQ(OpenAll(files).sum, kMinimalSum + c.added) << c.what;
    }
}

TEST(SoundBanks, SoundNumbersOfAlarmsAndChimes)
{
    for (std::uint32_t index = 0; index < 17 + 13 + 16; ++index)
        EXPECT_EQ(ClipSoundNumber(sbOvac, index, 0), 99 + index);
    for (std::uint16_t chimes : {std::uint16_t{25}, std::uint16_t{3}}) {
        for (std::uint32_t tag = 1; tag <= chimes; ++tag) {
            const std::uint32_t entry = chimes + tag - 1;
            EXPECT_EQ(ClipSoundNumber(sbOvch, entry, chimes), tag + 202) << chimes << " chimes, tag " << tag;
            if (chimes == 25) {
                EXPECT_EQ(BankCatalogue[sbOvch].BankNumber + entry, tag + 202) << tag;
            }
        }
    }
    for (int i = 0; i < SoundBankCount; ++i) {
        const TBankCatalogueRow& row = BankCatalogue[i];
        EXPECT_LT(row.BankNumber, row.Kind == bk3bs ? 256 : 512) << BankFileNames[i];
        EXPECT_EQ(ClipSoundNumber(static_cast<TBankId>(i), 1, 2), row.BankNumber + 1u) << BankFileNames[i];
    }
}

TEST(SoundBanks, FindBankKnowsTheCatalogueNames)
{
    for (int i = 0; i < SoundBankCount; ++i)
        EXPECT_EQ(FindBank(BankFileNames[i]), static_cast<TBankId>(i)) << BankFileNames[i];
    for (const char* other : {"ovxx.3bs", "ovda.cok", "", "ovda"})
        EXPECT_FALSE(FindBank(other)) << other;
}

}  // namespace
