#include "platform/audio/core/Samples.h"

#include <cstdint>
#include <cstring>

namespace ovelaudio {
namespace {

constexpr size_t kFour = 4;
using FourWords = uint32_t __attribute__((vector_size(kFour * sizeof(uint32_t))));

// On the bits, four at a time where the processor has vectors: the exponent
// all ones is an infinity or a NaN, and magnitudes order as their bits do.
// In place: vectors passed by value change convention without SSE.
template <typename Bits>
void MakeSane(Bits& bits, const Bits& loudest)
{
    constexpr uint32_t kSign = 0x80000000u;
    constexpr uint32_t kNonFinite = 0x7F800000u;
    const Bits magnitude = bits & ~kSign;
    const Bits held = (bits & kSign) | (magnitude < loudest ? magnitude : loudest);
    bits = magnitude < kNonFinite ? held : 0;
}

}  // namespace

void SaneFloats(const void* in, size_t count, float* out)
{
    const auto* from = static_cast<const uint8_t*>(in);
    uint32_t loudest;
    std::memcpy(&loudest, &kLoudestSample, sizeof loudest);
    const FourWords loudestFour = {loudest, loudest, loudest, loudest};
    size_t i = 0;
    for (; i + kFour <= count; i += kFour) {
        FourWords bits;
        std::memcpy(&bits, from + i * sizeof(float), sizeof bits);
        MakeSane(bits, loudestFour);
        std::memcpy(out + i, &bits, sizeof bits);
    }
    for (; i < count; ++i) {
        uint32_t bits;
        std::memcpy(&bits, from + i * sizeof(float), sizeof bits);
        MakeSane(bits, loudest);
        std::memcpy(out + i, &bits, sizeof bits);
    }
}

}  // namespace ovelaudio
