#pragma once
// The catalogue of the 27 sound banks the player knows, in the order the start
// opens them, with the rule of each, and their validation at start.

#include "player/engine/BankFormat.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

enum TBankId : int {
    sbOvda,
    sbOvdw,
    sbOvdb,
    sbOvna,
    sbOvnb,
    sbOvdc,
    sbOvdf,
    sbOvgh,
    sbOvwp,
    sbOvef,
    sbOves,
    sbOvmd,
    sbOvmn,
    sbOvnw,
    sbOvel,
    sbOvrs,
    sbOvac,
    sbOvcu,
    sbOvfw,
    sbOvgu,
    sbOvha,
    sbOvfl,
    sbOvfr,
    sbOvbf,
    sbOvif,
    sbOvng,
    sbOvch,
    SoundBankCount
};
constexpr TBankId kNoBank = SoundBankCount;

extern const std::array<const char*, SoundBankCount> BankFileNames;

enum class TBankRule {
    Required,               // absent or failing, the start ends
    RequiredUnlessStandIn,  // absent, the start ends unless its stand-in was accepted; failing, it ends
    RequiredWhenPresent,    // absent, silently skipped; failing, the start ends
    Optional,               // absent, silently skipped; failing, reported and skipped
};

struct TBankCatalogueRow {
    TBankKind Kind;
    bool SingleGroup;  // a .3bs of one group counts only GroupCount2
    TBankRule Rule;
    std::uint16_t BankNumber;  // sound number of entry 0; below 256 for .3bs, 512 otherwise
    TBankId StandIn;           // newer bank opened earlier; once accepted, this one adds no revision
    TBankId Supersedes;        // older bank whose revision this one takes out of the sum
    bool HidesSuperseded;      // accepting this one leaves the older bank unused
    int RequiredRevision;      // -1 for any; another revision is left out without a message
};

extern const std::array<TBankCatalogueRow, SoundBankCount> BankCatalogue;

// The chime with tag T (1 .. N) is entry N + T - 1 of the chimes bank.
constexpr std::uint32_t kChimeSoundBase = 202;
constexpr std::uint32_t ChimeSoundNumber(std::uint32_t tag) { return tag + kChimeSoundBase; }

// The number that seeds an entry's keystream: bank number + entry, the chime
// sounds going by their tag so that any chime count agrees with the player.
std::uint32_t ClipSoundNumber(TBankId bank, std::uint32_t entry, std::uint16_t entryCount);

// The catalogue bank of that file name (lower case, no folder).
std::optional<TBankId> FindBank(const std::string& fileName);

// One catalogue bank as the start left it: the header fields as read, and the
// handle of an accepted bank, kept open for the whole run.
struct TSoundBank : TBankHeader {
    std::unique_ptr<TBankFile> Handle;
    bool Present = false;  // passed validation and is to be used
};

extern std::array<TSoundBank, SoundBankCount> SoundBanks;

inline bool Present(TBankId bank) { return SoundBanks[bank].Present; }

// What the start needs from the system: the Windows side opens with no sharing.
class TBankFileSystem {
public:
    virtual ~TBankFileSystem() = default;
    virtual bool FileExists(const std::string& name) = 0;
    virtual std::unique_ptr<TBankFile> OpenUnshared(const std::string& name) = 0;  // null on failure
};

// The start-up message routines, each naming the bank file.
class TBankMessages {
public:
    virtual ~TBankMessages() = default;
    virtual void ReportFileNotFound(const std::string& name) = 0;
    virtual void ReportFileCantOpen(const std::string& name) = 0;
    virtual void ReportFileBadVersion(const std::string& name) = 0;
    virtual void ReportFileCorrupt(const std::string& name) = 0;
};

// Validates every bank in catalogue order into banks and gives the revision
// sum, or nothing when a message has ended the start. A newer bank takes out
// of the sum only what its older bank had put in.
std::optional<unsigned> OpenSoundBanks(std::array<TSoundBank, SoundBankCount>& banks, TBankFileSystem& files,
                                       TBankMessages& messages);
