#pragma once
// The three sound-bank layouts: a header with the counts, a table of end
// offsets, a header checksum, the clips back to back and a 4-byte trailer.
// All integers are little-endian; all offsets are absolute file offsets.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

enum TBankKind : std::uint8_t {
    bk3bs,
    bkCok,
    bkIcs
};

namespace BankLayout {
constexpr std::size_t kTagSize = 4;          // the file stem; never compared
constexpr std::size_t kVersionPos = 4;       // .3bs Flags, or .cok/.ics Revision + 32
constexpr std::uint8_t k3bsVersionFlag = 2;  // a .3bs without it is of another version
constexpr std::size_t k3bsRevisionPos = 5;
constexpr std::size_t k3bsGroupCountPos = 6;  // GroupCount1 .. GroupCount3, a byte each
constexpr std::size_t k3bsDataStartPos = 9;
constexpr std::size_t kCokEntryCountPos = 5;
constexpr std::size_t kCokDataStartPos = 7;
constexpr std::uint8_t kCokRevisionBias = 32;
constexpr std::size_t kChecksumSize = 4;
constexpr std::size_t kTrailerSize = 4;
constexpr std::uint32_t k3bsChecksumSeed = 2005;
constexpr std::uint32_t kCokChecksumSeed = 2011;
}  // namespace BankLayout

// Bytes of one end offset: 3 in a .3bs, 4 in a .cok/.ics.
std::size_t BankOffsetSize(TBankKind kind);
// Where DataStart stands; end offset i - 1 of the table stands right after it
// at TablePosition(kind, i), so entry i's bounds are two neighbouring values.
std::size_t BankDataStartPos(TBankKind kind);
std::uint64_t TablePosition(TBankKind kind, std::uint32_t entry);
// The header size, which DataStart must equal.
std::uint32_t BankDataStart(TBankKind kind, std::uint32_t tableEntries);
// The header bytes the checksum covers come from 0 up to DataStart - 4.
std::uint32_t BankHeaderChecksum(TBankKind kind, const std::uint8_t* header, std::size_t count);

std::uint32_t LoadLittleEndian(const std::uint8_t* bytes, std::size_t width);
void StoreLittleEndian(std::uint8_t* bytes, std::uint32_t value, std::size_t width);

// A bank file kept open by the player; the Windows side opens it unshared.
class TBankFile {
public:
    virtual ~TBankFile() = default;
    virtual std::optional<std::uint64_t> Size() = 0;
    // False when the file cannot give all count bytes at that position.
    virtual bool ReadAt(std::uint64_t position, void* buffer, std::size_t count) = 0;
};

// A bank held in memory: tools, tests and the fuzz target read through it.
class TMemoryBankFile : public TBankFile {
public:
    explicit TMemoryBankFile(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    std::optional<std::uint64_t> Size() override { return bytes_.size(); }
    bool ReadAt(std::uint64_t position, void* buffer, std::size_t count) override;

private:
    std::vector<std::uint8_t> bytes_;
};

// The header as read and checked. A single-group .3bs keeps its count in
// GroupCount2 and its table holds only those entries.
struct TBankHeader {
    TBankKind Kind = bk3bs;
    std::uint8_t Revision = 0;
    std::uint8_t GroupCount1 = 0;
    std::uint8_t GroupCount2 = 0;
    std::uint8_t GroupCount3 = 0;
    std::uint16_t EntryCount = 0;
    std::uint32_t TableEntries = 0;  // end offsets in the table
    std::uint64_t FileSize = 0;
};

std::uint32_t TableEntryCount(TBankKind kind, bool singleGroup, std::uint8_t groupCount1, std::uint8_t groupCount2,
                              std::uint8_t groupCount3, std::uint16_t entryCount);

enum class TBankVerdict {
    Sound,
    BadVersion,
    Corrupt
};

// Checks the version, the checksum, that DataStart is the header size, that
// the end offsets never decrease from DataStart and that the last one leaves
// exactly the trailer. The header fields are filled as far as they were read.
TBankVerdict ReadBankHeader(TBankFile& file, TBankKind kind, bool singleGroup, TBankHeader& header);

struct TEntryBounds {
    std::uint32_t Start = 0;
    std::uint32_t End = 0;
};

// Nothing for an entry outside the table or bounds that do not lie in the file.
std::optional<TEntryBounds> ReadEntryBounds(TBankFile& file, const TBankHeader& header, std::uint32_t entry);

// One clip in 16-bit words, the last one padded with zero for an odd count;
// Bytes is what the audio library is given.
struct TClipBuffer {
    std::vector<std::uint16_t> Words;
    std::uint32_t Bytes = 0;
};

// Reads one entry's stored bytes; false (and an empty buffer) when it cannot.
bool ReadEntryClip(TBankFile& file, const TBankHeader& header, std::uint32_t entry, TClipBuffer& clip);

// The first half of a chimes bank holds the picker's pictures, stored plain.
bool IsChimePicture(const TBankHeader& header, std::uint32_t entry);
