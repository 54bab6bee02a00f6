#include "tools/bankmaker/BankTool.h"

#include "player/engine/BankFormat.h"
#include "player/engine/ClipScramble.h"
#include "player/engine/SoundBanks.h"
#include "support/ProgInfo.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <optional>
#include <ostream>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct TMagic {
    const char* bytes;
    std::size_t size;
    const char* extension;
};

const TMagic kMagics[] = {
    {"RIFF", 4, "wav"},    {"OggS", 4, "ogg"},         {"ID3", 3, "mp3"},  {"BM", 2, "bmp"},
    {"\x89PNG", 4, "png"}, {"\xFF\xD8\xFF", 3, "jpg"}, {"GIF8", 4, "gif"}, {"\x00\x00\x01\x00", 4, "ico"},
};

// An MPEG audio frame starts with eleven set bits.
bool StartsWithFrameSync(const std::uint8_t* bytes, std::size_t size)
{
    return size >= 2 && bytes[0] == 0xFF && (bytes[1] & 0xE0) == 0xE0;
}

struct TToolBank {
    TBankId Id;
    TMemoryBankFile File;
    TBankHeader Header;
    TBankVerdict Verdict;
};

std::optional<TToolBank> LoadBank(const std::string& path, std::ostream& errors)
{
    const std::optional<TBankId> id = FindBank(LowerCase(fs::path(path).filename().string()));
    if (!id) {
        errors << path << ": not the name of a bank of the catalogue\n";
        return std::nullopt;
    }
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        errors << path << ": cannot open\n";
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    TToolBank bank{*id, TMemoryBankFile(std::move(bytes)), {}, TBankVerdict::Corrupt};
    const TBankCatalogueRow& row = BankCatalogue[*id];
    bank.Verdict = ReadBankHeader(bank.File, row.Kind, row.SingleGroup, bank.Header);
    return bank;
}

const char* VerdictText(TBankVerdict verdict)
{
    switch (verdict) {
        case TBankVerdict::Sound:
            return "sound";
        case TBankVerdict::BadVersion:
            return "bad version";
        case TBankVerdict::Corrupt:
            break;
    }
    return "corrupt";
}

void PrintHeader(const TToolBank& bank, std::ostream& out)
{
    const TBankHeader& h = bank.Header;
    out << BankFileNames[bank.Id] << ": revision " << unsigned{h.Revision};
    if (h.Kind == bk3bs)
        out << ", groups " << unsigned{h.GroupCount1} << ' ' << unsigned{h.GroupCount2} << ' '
            << unsigned{h.GroupCount3};
    else
        out << ", entry count " << h.EntryCount;
    out << ", " << h.TableEntries << " entries, data start " << BankDataStart(h.Kind, h.TableEntries) << ", "
        << h.FileSize << " bytes: " << VerdictText(bank.Verdict) << '\n';
}

// The clip as it was before it went into the bank.
bool ReadPlainClip(TToolBank& bank, std::uint32_t entry, TClipBuffer& clip)
{
    if (!ReadEntryClip(bank.File, bank.Header, entry, clip))
        return false;
    if (!IsChimePicture(bank.Header, entry))
        UnscrambleClip(bank.Header.Kind, ClipSoundNumber(bank.Id, entry, bank.Header.EntryCount), clip);
    return true;
}

const std::uint8_t* ClipBytes(const TClipBuffer& clip)
{
    return reinterpret_cast<const std::uint8_t*>(clip.Words.data());
}

std::string ClipFileName(TBankId id, std::uint32_t entry, const TClipBuffer& clip)
{
    std::ostringstream name;
    name << fs::path(BankFileNames[id]).stem().string() << '-' << std::setw(3) << std::setfill('0') << entry << '.'
         << ClipFileExtension(ClipBytes(clip), clip.Bytes);
    return name.str();
}

}  // namespace

std::string ClipFileExtension(const std::uint8_t* bytes, std::size_t size)
{
    for (const TMagic& magic : kMagics)
        if (size >= magic.size && std::memcmp(bytes, magic.bytes, magic.size) == 0)
            return magic.extension;
    return StartsWithFrameSync(bytes, size) ? "mp3" : "bin";
}

int ListBank(const std::string& path, std::ostream& out, std::ostream& errors)
{
    std::optional<TToolBank> bank = LoadBank(path, errors);
    if (!bank)
        return 1;
    PrintHeader(*bank, out);
    if (bank->Verdict != TBankVerdict::Sound)
        return 1;
    out << "entry     start       end     bytes  sound  type\n";
    TClipBuffer clip;
    for (std::uint32_t entry = 0; entry < bank->Header.TableEntries; ++entry) {
        const std::optional<TEntryBounds> bounds = ReadEntryBounds(bank->File, bank->Header, entry);
        if (!bounds || !ReadPlainClip(*bank, entry, clip))
            return 1;
        out << std::setw(5) << entry << std::setw(10) << bounds->Start << std::setw(10) << bounds->End << std::setw(10)
            << clip.Bytes << std::setw(7) << ClipSoundNumber(bank->Id, entry, bank->Header.EntryCount) << "  "
            << ClipFileExtension(ClipBytes(clip), clip.Bytes) << (IsChimePicture(bank->Header, entry) ? " (plain)" : "")
            << '\n';
    }
    return 0;
}

int ExtractBank(const std::string& path, const std::string& outDir, std::ostream& out, std::ostream& errors)
{
    std::optional<TToolBank> bank = LoadBank(path, errors);
    if (!bank)
        return 1;
    if (bank->Verdict != TBankVerdict::Sound) {
        errors << path << ": " << VerdictText(bank->Verdict) << ", nothing extracted\n";
        return 1;
    }
    std::error_code failure;
    fs::create_directories(outDir, failure);
    TClipBuffer clip;
    for (std::uint32_t entry = 0; entry < bank->Header.TableEntries; ++entry) {
        if (!ReadPlainClip(*bank, entry, clip)) {
            errors << path << ": entry " << entry << " cannot be read\n";
            return 1;
        }
        const fs::path file = fs::path(outDir) / ClipFileName(bank->Id, entry, clip);
        std::ofstream stream(file, std::ios::binary);
        stream.write(reinterpret_cast<const char*>(ClipBytes(clip)), clip.Bytes);
        if (!stream.flush()) {
            errors << file.string() << ": cannot write\n";
            return 1;
        }
    }
    out << "extracted " << bank->Header.TableEntries << " clips of " << path << " to " << outDir << '\n';
    return 0;
}
