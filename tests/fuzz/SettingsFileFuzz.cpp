// Fuzz target over settings files: the first byte's low bit picks the
// unpacker or the export-text gate. Whatever the bytes, unpacking must stay
// within its limits and give back what packing its result gives, and the gate
// must only answer.

#include "player/settings/SettingsFile.h"
#include "tests/player/settings/ExportTexts.h"

#include <cstdlib>

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

void Unpack(const TBytes& file)
{
    TBytes text;
    const int code = UnpackFile(file, text);
    Require(code == 0 || code == kUnpackCorrupt);
    Require(code == 0 || text.empty());
    Require(text.size() <= kLargestSettingsText);
    if (code != 0)
        return;
    TBytes again;
    Require(UnpackFile(PackFile(text), again) == 0 && again == text);
}

// The bytes with a checksum that fits them, so that inflating gets exercised.
TBytes WithChecksum(TBytes bytes)
{
    const std::uint32_t sum = SettingsChecksum(bytes.data(), bytes.size());
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<std::uint8_t>(sum >> (8 * i)));
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const TBytes bytes(data + 1, data + size);
    if (data[0] & 1) {
        ExportTextAccepted(bytes, kSettingsKeyName);
        return 0;
    }
    Unpack(bytes);
    Unpack(WithChecksum(bytes));
    return 0;
}
