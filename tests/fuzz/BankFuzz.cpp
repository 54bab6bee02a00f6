// Fuzz target: the first byte picks a catalogue bank, the rest is its file.
// Whatever the bytes, the checks must not read past the file or allocate by a
// damaged count, and a bank they accept must give only entries inside it.

#include "player/engine/BankFormat.h"
#include "player/engine/ClipScramble.h"
#include "player/engine/SoundBanks.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

void ReadEveryEntry(TBankFile& file, const TBankHeader& header)
{
    const std::uint32_t dataStart = BankDataStart(header.Kind, header.TableEntries);
    TClipBuffer clip;
    for (std::uint32_t entry = 0; entry < header.TableEntries; ++entry) {
        const auto bounds = ReadEntryBounds(file, header, entry);
        Require(bounds && bounds->Start >= dataStart &&
                std::uint64_t{bounds->End} + BankLayout::kTrailerSize <= header.FileSize);
        Require(ReadEntryClip(file, header, entry, clip));
        UnscrambleClip(header.Kind, entry, clip);
    }
    Require(!ReadEntryBounds(file, header, header.TableEntries));
}

void CheckAs(TBankId id, const std::vector<std::uint8_t>& bytes)
{
    const TBankCatalogueRow& row = BankCatalogue[id];
    TMemoryBankFile file(bytes);
    TBankHeader header;
    if (ReadBankHeader(file, row.Kind, row.SingleGroup, header) == TBankVerdict::Sound)
        ReadEveryEntry(file, header);
}

// Gives random bytes a valid checksum, so that the table checks behind it get
// exercised too.
void RepairChecksum(TBankId id, std::vector<std::uint8_t>& bytes)
{
    const TBankCatalogueRow& row = BankCatalogue[id];
    const bool is3bs = row.Kind == bk3bs;
    const std::size_t countsEnd = is3bs ? BankLayout::k3bsGroupCountPos + 3 : BankLayout::kCokEntryCountPos + 2;
    if (bytes.size() < countsEnd)
        return;
    const std::uint8_t* groups = bytes.data() + BankLayout::k3bsGroupCountPos;
    const std::uint32_t tableEntries =
        is3bs ? TableEntryCount(row.Kind, row.SingleGroup, groups[0], groups[1], groups[2], 0)
              : TableEntryCount(
                    row.Kind, false, 0, 0, 0,
                    static_cast<std::uint16_t>(LoadLittleEndian(bytes.data() + BankLayout::kCokEntryCountPos, 2)));
    const std::uint32_t dataStart = BankDataStart(row.Kind, tableEntries);
    if (bytes.size() < dataStart)
        return;
    const std::size_t checksumPos = dataStart - BankLayout::kChecksumSize;
    StoreLittleEndian(bytes.data() + checksumPos, BankHeaderChecksum(row.Kind, bytes.data(), checksumPos),
                      BankLayout::kChecksumSize);
}

// Every catalogue name finds these same bytes.
class TOneFileEverywhere : public TBankFileSystem {
public:
    explicit TOneFileEverywhere(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
    bool FileExists(const std::string&) override { return true; }
    std::unique_ptr<TBankFile> OpenUnshared(const std::string&) override
    {
        return std::make_unique<TMemoryBankFile>(bytes_);
    }

private:
    const std::vector<std::uint8_t>& bytes_;
};

class TSilentMessages : public TBankMessages {
public:
    void ReportFileNotFound(const std::string&) override {}
    void ReportFileCantOpen(const std::string&) override {}
    void ReportFileBadVersion(const std::string&) override {}
    void ReportFileCorrupt(const std::string&) override {}
};

void ValidateCatalogue(const std::vector<std::uint8_t>& bytes)
{
    TOneFileEverywhere files(bytes);
    TSilentMessages messages;
    std::array<TSoundBank, SoundBankCount> banks;
    if (!OpenSoundBanks(banks, files, messages))
        return;
    for (TSoundBank& bank : banks)
        if (bank.Present)
            ReadEveryEntry(*bank.Handle, bank);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const auto id = static_cast<TBankId>(data[0] % SoundBankCount);
    std::vector<std::uint8_t> bytes(data + 1, data + size);
    CheckAs(id, bytes);
    ValidateCatalogue(bytes);
    RepairChecksum(id, bytes);
    CheckAs(id, bytes);
    return 0;
}
