#include "player/engine/SoundBanks.h"

#include <exception>
#include <set>
#include <utility>

const std::array<const char*, SoundBankCount> BankFileNames = {
    "ovda.3bs", "ovdw.cok", "ovdb.3bs", "ovna.3bs", "ovnb.3bs", "ovdc.3bs", "ovdf.3bs", "ovgh.cok", "ovwp.cok",
    "ovef.3bs", "oves.3bs", "ovmd.3bs", "ovmn.3bs", "ovnw.3bs", "ovel.3bs", "ovrs.3bs", "ovac.3bs", "ovcu.3bs",
    "ovfw.3bs", "ovgu.cok", "ovha.cok", "ovfl.cok", "ovfr.cok", "ovbf.cok", "ovif.cok", "ovng.cok", "ovch.ics",
};

namespace {
constexpr bool kSingle = true;
constexpr bool kThree = false;
constexpr bool kNoGroups = false;  // .cok and .ics count entries
constexpr int kAnyRevision = -1;
constexpr int kFlyByRevision = 5;  // the older fly-by bank works only in this revision
constexpr TBankRule kRequired = TBankRule::Required;
constexpr TBankRule kOptional = TBankRule::Optional;
}  // namespace

// The alarm bank is 99 so that alarm sound i is 99 + i; the chimes bank is
// 178 so that its 25 chime sounds run from 203, tag + 202.
const std::array<TBankCatalogueRow, SoundBankCount> BankCatalogue = {{
    {bk3bs, kSingle, kRequired, 17, kNoBank, kNoBank, false, kAnyRevision},                        // ovda
    {bkCok, kNoGroups, kOptional, 260, kNoBank, kNoBank, false, kAnyRevision},                     // ovdw
    {bk3bs, kThree, TBankRule::RequiredUnlessStandIn, 41, sbOvdw, kNoBank, false, kAnyRevision},   // ovdb
    {bk3bs, kSingle, kRequired, 63, kNoBank, kNoBank, false, kAnyRevision},                        // ovna
    {bk3bs, kThree, kRequired, 71, kNoBank, kNoBank, false, kAnyRevision},                         // ovnb
    {bk3bs, kSingle, TBankRule::RequiredWhenPresent, 113, kNoBank, kNoBank, false, kAnyRevision},  // ovdc
    {bk3bs, kThree, kOptional, 130, kNoBank, kNoBank, false, kFlyByRevision},                      // ovdf
    {bkCok, kNoGroups, kOptional, 301, kNoBank, kNoBank, false, kAnyRevision},                     // ovgh
    {bkCok, kNoGroups, kOptional, 317, kNoBank, kNoBank, false, kAnyRevision},                     // ovwp
    {bk3bs, kSingle, kOptional, 151, kNoBank, kNoBank, false, kAnyRevision},                       // ovef
    {bk3bs, kSingle, kOptional, 157, kNoBank, kNoBank, false, kAnyRevision},                       // oves
    {bk3bs, kThree, kOptional, 166, kNoBank, kNoBank, false, kAnyRevision},                        // ovmd
    {bk3bs, kThree, kOptional, 174, kNoBank, kNoBank, false, kAnyRevision},                        // ovmn
    {bk3bs, kSingle, kOptional, 189, kNoBank, kNoBank, false, kAnyRevision},                       // ovnw
    {bk3bs, kThree, kOptional, 205, kNoBank, kNoBank, false, kAnyRevision},                        // ovel
    {bk3bs, kThree, kOptional, 214, kNoBank, kNoBank, false, kAnyRevision},                        // ovrs
    {bk3bs, kThree, kOptional, 99, kNoBank, kNoBank, false, kAnyRevision},                         // ovac
    {bk3bs, kSingle, kOptional, 233, kNoBank, kNoBank, false, kAnyRevision},                       // ovcu
    {bk3bs, kSingle, kOptional, 245, kNoBank, kNoBank, false, kAnyRevision},                       // ovfw
    {bkCok, kNoGroups, kOptional, 22, kNoBank, sbOvmn, false, kAnyRevision},                       // ovgu
    {bkCok, kNoGroups, kOptional, 333, kNoBank, sbOvmn, false, kAnyRevision},                      // ovha
    {bkCok, kNoGroups, kOptional, 349, kNoBank, sbOvmd, false, kAnyRevision},                      // ovfl
    {bkCok, kNoGroups, kOptional, 401, kNoBank, kNoBank, false, kAnyRevision},                     // ovfr
    {bkCok, kNoGroups, kOptional, 419, kNoBank, sbOvdf, true, kAnyRevision},                       // ovbf
    {bkCok, kNoGroups, kOptional, 437, kNoBank, sbOvdf, true, kAnyRevision},                       // ovif
    {bkCok, kNoGroups, kOptional, 457, kNoBank, kNoBank, false, kAnyRevision},                     // ovng
    {bkIcs, kNoGroups, kOptional, 178, kNoBank, kNoBank, false, kAnyRevision},                     // ovch
}};

std::array<TSoundBank, SoundBankCount> SoundBanks;

std::uint32_t ClipSoundNumber(TBankId bank, std::uint32_t entry, std::uint16_t entryCount)
{
    if (BankCatalogue[bank].Kind == bkIcs && entry >= entryCount)
        return ChimeSoundNumber(entry - entryCount + 1);
    return BankCatalogue[bank].BankNumber + entry;
}

std::optional<TBankId> FindBank(const std::string& fileName)
{
    for (int i = 0; i < SoundBankCount; ++i)
        if (fileName == BankFileNames[i])
            return static_cast<TBankId>(i);
    return std::nullopt;
}

namespace {

enum class TOpenOutcome {
    Accepted,
    Skipped,
    EndStart
};

using TBankArray = std::array<TSoundBank, SoundBankCount>;

TOpenOutcome Failed(const TBankCatalogueRow& row)
{
    return row.Rule == TBankRule::Optional ? TOpenOutcome::Skipped : TOpenOutcome::EndStart;
}

TOpenOutcome Absent(TBankId id, const TBankArray& banks, TBankMessages& messages)
{
    const TBankCatalogueRow& row = BankCatalogue[id];
    switch (row.Rule) {
        case TBankRule::Required:
            messages.ReportFileNotFound(BankFileNames[id]);
            return TOpenOutcome::EndStart;
        case TBankRule::RequiredUnlessStandIn:
            if (banks[row.StandIn].Present)
                return TOpenOutcome::Skipped;
            // The user is told of the bank that is meant to be there.
            messages.ReportFileNotFound(BankFileNames[row.StandIn]);
            return TOpenOutcome::EndStart;
        case TBankRule::RequiredWhenPresent:
        case TBankRule::Optional:
            break;
    }
    return TOpenOutcome::Skipped;
}

TOpenOutcome ValidateBank(TBankId id, TBankArray& banks, TBankFileSystem& files, TBankMessages& messages)
{
    const TBankCatalogueRow& row = BankCatalogue[id];
    const std::string name = BankFileNames[id];
    if (!files.FileExists(name))
        return Absent(id, banks, messages);
    std::unique_ptr<TBankFile> file = files.OpenUnshared(name);
    if (!file) {
        messages.ReportFileCantOpen(name);
        return Failed(row);
    }
    TSoundBank& bank = banks[id];
    switch (ReadBankHeader(*file, row.Kind, row.SingleGroup, bank)) {
        case TBankVerdict::BadVersion:
            messages.ReportFileBadVersion(name);
            return Failed(row);
        case TBankVerdict::Corrupt:
            messages.ReportFileCorrupt(name);
            return Failed(row);
        case TBankVerdict::Sound:
            break;
    }
    if (row.RequiredRevision != kAnyRevision && bank.Revision != row.RequiredRevision)
        return TOpenOutcome::Skipped;
    bank.Handle = std::move(file);
    bank.Present = true;
    return TOpenOutcome::Accepted;
}

TOpenOutcome OpenBank(TBankId id, TBankArray& banks, TBankFileSystem& files, TBankMessages& messages)
{
    banks[id] = TSoundBank{};
    if (BankCatalogue[id].Rule != TBankRule::Optional)
        return ValidateBank(id, banks, files, messages);
    try {
        return ValidateBank(id, banks, files, messages);
    } catch (const std::exception&) {
        // An optional bank that cannot be read is simply not used.
        banks[id] = TSoundBank{};
        return TOpenOutcome::Skipped;
    }
}

// A bank the user has been told of once is not reported again: a damaged
// stand-in is not also "not found" for the bank it stands in for.
class TOncePerBank final : public TBankMessages {
public:
    explicit TOncePerBank(TBankMessages& messages) : messages_(messages) {}

    void ReportFileNotFound(const std::string& name) override { Once(&TBankMessages::ReportFileNotFound, name); }
    void ReportFileCantOpen(const std::string& name) override { Once(&TBankMessages::ReportFileCantOpen, name); }
    void ReportFileBadVersion(const std::string& name) override { Once(&TBankMessages::ReportFileBadVersion, name); }
    void ReportFileCorrupt(const std::string& name) override { Once(&TBankMessages::ReportFileCorrupt, name); }

private:
    void Once(void (TBankMessages::*report)(const std::string&), const std::string& name)
    {
        if (reported_.insert(name).second)
            (messages_.*report)(name);
    }

    TBankMessages& messages_;
    std::set<std::string> reported_;
};

}  // namespace

std::optional<unsigned> OpenSoundBanks(TBankArray& banks, TBankFileSystem& files, TBankMessages& allMessages)
{
    TOncePerBank messages(allMessages);
    std::array<unsigned, SoundBankCount> counted{};  // what each bank put into the sum
    unsigned sum = 0;
    for (int i = 0; i < SoundBankCount; ++i) {
        const auto id = static_cast<TBankId>(i);
        const TOpenOutcome outcome = OpenBank(id, banks, files, messages);
        if (outcome == TOpenOutcome::EndStart)
            return std::nullopt;
        if (outcome == TOpenOutcome::Skipped)
            continue;
        const TBankCatalogueRow& row = BankCatalogue[id];
        const bool standInServes = row.StandIn != kNoBank && banks[row.StandIn].Present;
        counted[id] = standInServes ? 0u : banks[id].Revision;
        sum += counted[id];
        if (row.Supersedes != kNoBank) {
            sum -= counted[row.Supersedes];
            counted[row.Supersedes] = 0;
            if (row.HidesSuperseded)
                banks[row.Supersedes].Present = false;
        }
    }
    return sum;
}
