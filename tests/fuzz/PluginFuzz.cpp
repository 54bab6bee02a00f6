// Fuzz target over a format plug-in's table: whatever the bytes, opening,
// reading, rewinding and reading again must stay inside the buffers, never
// hand back more frames than asked, and close cleanly.

#include "tests/fuzz/PluginFuzz.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr size_t kPiece = 4096;
constexpr size_t kMaxFrames = size_t{1} << 20;  // enough to reach every block of a small input

struct Bytes {
    const uint8_t* data;
    size_t size;
    size_t position;
};

OvelPluginInput InputOver(Bytes& bytes)
{
    OvelPluginInput input{};
    input.user = &bytes;
    input.read = [](void* user, void* out, size_t wanted) {
        auto& b = *static_cast<Bytes*>(user);
        const size_t take = std::min(wanted, b.size - b.position);
        if (take > 0)
            std::memcpy(out, b.data + b.position, take);
        b.position += take;
        return take;
    };
    input.seek = [](void* user, uint64_t position) {
        auto& b = *static_cast<Bytes*>(user);
        if (position > b.size)
            return 0;
        b.position = static_cast<size_t>(position);
        return 1;
    };
    input.size = [](void* user) { return static_cast<uint64_t>(static_cast<Bytes*>(user)->size); };
    input.pending = [](void*) { return 0; };
    return input;
}

void ReadUpTo(const OvelPluginTable& table, OvelPluginStream* stream, uint32_t channels, size_t limit)
{
    std::vector<float> out(kPiece * channels);
    for (size_t total = 0; total < limit;) {
        const size_t got = table.read(stream, out.data(), kPiece);
        if (got > kPiece)
            std::abort();
        if (got == 0)
            break;
        total += got;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const OvelPluginTable& table = *FuzzedTable();
    Bytes bytes{data, size, 0};
    const OvelPluginInput input = InputOver(bytes);
    OvelPluginFormat format{};
    OvelPluginStream* stream = table.open(&input, &format);
    if (!stream)
        return 0;
    if (format.channels < 1 || format.channels > 8 || format.rate == 0)
        std::abort();
    ReadUpTo(table, stream, format.channels, kMaxFrames);
    if (table.rewind(stream))
        ReadUpTo(table, stream, format.channels, kPiece);
    table.close(stream);
    return 0;
}
