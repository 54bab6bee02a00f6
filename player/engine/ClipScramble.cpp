#include "player/engine/ClipScramble.h"

#include <algorithm>
#include <utility>

namespace {
constexpr std::size_t k3bsFirstWord = 48;
constexpr std::size_t kCokFirstWord = 8;
constexpr std::size_t kKeystreamCycle = 127;  // words at 64 .. 126 of each cycle stay
constexpr std::size_t kStateBits = 64;
}  // namespace

int ClipKindFlag(TBankKind kind) { return kind == bk3bs ? 0 : 1; }

std::size_t ClipFirstWord(TBankKind kind) { return kind == bk3bs ? k3bsFirstWord : kCokFirstWord; }

std::uint64_t ClipKeystreamSeed(int kindFlag, std::uint64_t soundNumber)
{
    // Square and multiply: the same power as repeated multiplication, in a
    // number of steps that stays small for any sound number.
    std::uint64_t factor = kindFlag == 0 ? kKeystreamBase3bs : kKeystreamBaseCok;
    std::uint64_t result = 1;
    for (std::uint64_t n = soundNumber; n != 0; n >>= 1) {
        if (n & 1)
            result *= factor;
        factor *= factor;
    }
    return result;
}

void UnscrambleClip(TBankKind kind, std::uint64_t soundNumber, std::uint8_t* bytes, std::size_t byteCount)
{
    const std::size_t words = byteCount / 2 + byteCount % 2;
    const std::size_t first = ClipFirstWord(kind);
    if (words < first + 2)
        return;
    std::uint64_t state = ClipKeystreamSeed(ClipKindFlag(kind), soundNumber);
    for (std::size_t i = first; i + 1 < words; ++i) {
        const std::size_t bit = i % kKeystreamCycle;
        if (bit < kStateBits && ((state >> bit) & 1u) != 0)
            std::swap(bytes[2 * i], bytes[2 * i + 1]);
        state *= kKeystreamMultiplier;
    }
}

void UnscrambleClip(TBankKind kind, std::uint64_t soundNumber, TClipBuffer& clip)
{
    const std::size_t byteCount = std::min<std::size_t>(clip.Bytes, clip.Words.size() * 2);
    UnscrambleClip(kind, soundNumber, reinterpret_cast<std::uint8_t*>(clip.Words.data()), byteCount);
}
