#include "player/engine/ClipScramble.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

std::uint64_t NaivePower(std::uint64_t base, std::uint64_t n)
{
    std::uint64_t v = 1;
    for (std::uint64_t i = 0; i < n; ++i)
        v *= base;
    return v;
}

std::vector<std::uint8_t> Pattern(std::size_t bytes)
{
    std::vector<std::uint8_t> data(bytes);
    for (std::size_t i = 0; i < bytes; ++i)
        data[i] = static_cast<std::uint8_t>(i * 37 + 11 + (i >> 8));
    return data;
}

TEST(ClipScramble, SeedIsTheBaseToTheSoundNumber)
{
    EXPECT_EQ(ClipKeystreamSeed(0, 0), 1u);
    EXPECT_EQ(ClipKeystreamSeed(1, 0), 1u);
    EXPECT_EQ(ClipKeystreamSeed(0, 1), kKeystreamBase3bs);
    EXPECT_EQ(ClipKeystreamSeed(1, 1), kKeystreamBaseCok);
    EXPECT_NE(kKeystreamBase3bs, kKeystreamBaseCok);
    for (std::uint64_t n :
         {2u, 3u, 4u, 5u, 7u, 8u, 63u, 64u, 99u, 127u, 203u, 255u, 256u, 511u, 1000u, 65535u, 131071u}) {
        EXPECT_EQ(ClipKeystreamSeed(0, n), NaivePower(kKeystreamBase3bs, n)) << n;
        EXPECT_EQ(ClipKeystreamSeed(1, n), NaivePower(kKeystreamBaseCok, n)) << n;
    }
}

// The words of the file's own header, as the format gives them for each kind.
struct KindHeader {
    TBankKind kind;
    std::size_t headerWords;
};
const KindHeader kHeaders[] = {{bk3bs, 48}, {bkCok, 8}, {bkIcs, 8}};

TEST(ClipScramble, ClipWithoutRoomPastItsHeaderStaysAsStored)
{
    for (const KindHeader& header : kHeaders) {
        // The header and at most one word more: the last word, which is never swapped.
        for (std::size_t bytes = 0; bytes <= 2 * (header.headerWords + 1); ++bytes) {
            const std::vector<std::uint8_t> original = Pattern(bytes);
            std::vector<std::uint8_t> data = original;
            UnscrambleClip(header.kind, 7, data.data(), data.size());
            EXPECT_EQ(data, original) << header.kind << " " << bytes;
        }
    }
}

// Words before the first, the last word and words at 64 .. 126 of each cycle
// of 127 stay; the others are left or have their two bytes exchanged.
void ExpectOnlyEligibleWordsSwapped(const KindHeader& header, std::uint64_t soundNumber, std::size_t bytes)
{
    const TBankKind kind = header.kind;
    const std::vector<std::uint8_t> original = Pattern(bytes);
    std::vector<std::uint8_t> data = original;
    ScrambleClip(kind, soundNumber, data.data(), data.size());
    const std::size_t words = (bytes + 1) / 2;
    std::size_t eligible = 0;
    std::size_t swapped = 0;
    for (std::size_t i = 0; i < words; ++i) {
        const std::size_t lo = 2 * i;
        const std::size_t hi = lo + 1;
        const bool same = data[lo] == original[lo] && (hi >= bytes || data[hi] == original[hi]);
        const bool mayChange = i >= header.headerWords && i + 1 < words && i % 127 < 64;
        if (!mayChange) {
            EXPECT_TRUE(same) << "word " << i << " of " << words;
            continue;
        }
        ++eligible;
        if (!same) {
            ++swapped;
            EXPECT_EQ(data[lo], original[hi]) << i;
            EXPECT_EQ(data[hi], original[lo]) << i;
        }
    }
    // A working keystream swaps about half of them.
    EXPECT_GT(swapped, eligible / 4) << kind;
    EXPECT_LT(swapped, eligible - eligible / 4) << kind;
}

TEST(ClipScramble, OnlyEligibleWordsAreSwapped)
{
    // The last word falls in the swappable part of the cycle.
    constexpr std::size_t kWords = 650;
    for (const KindHeader& header : kHeaders)
        for (std::uint64_t soundNumber = 40; soundNumber < 48; ++soundNumber)
            for (std::size_t bytes : {2 * kWords, 2 * kWords - 1})
                ExpectOnlyEligibleWordsSwapped(header, soundNumber, bytes);
}

TEST(ClipScramble, KeystreamDependsOnKindAndSoundNumber)
{
    const std::vector<std::uint8_t> original = Pattern(2000);
    auto scrambled = [&](TBankKind kind, std::uint64_t n) {
        std::vector<std::uint8_t> data = original;
        ScrambleClip(kind, n, data.data(), data.size());
        return data;
    };
    EXPECT_NE(scrambled(bkCok, 5), scrambled(bkCok, 6));
    EXPECT_EQ(scrambled(bkCok, 5), scrambled(bkIcs, 5));
    // Past the first words of both kinds only the base tells them apart.
    const std::vector<std::uint8_t> cok = scrambled(bkCok, 5);
    const std::vector<std::uint8_t> as3bs = scrambled(bk3bs, 5);
    const auto past = static_cast<std::ptrdiff_t>(2 * kHeaders[0].headerWords);
    EXPECT_FALSE(std::equal(cok.begin() + past, cok.end(), as3bs.begin() + past));
}

TEST(ClipScramble, ClipBufferIsUnscrambledLikeItsBytes)
{
    for (std::uint32_t bytes : {201u, 200u}) {
        const std::vector<std::uint8_t> stored = Pattern(bytes);
        TClipBuffer clip;
        clip.Words.assign((bytes + 1) / 2, 0);
        std::copy(stored.begin(), stored.end(), reinterpret_cast<std::uint8_t*>(clip.Words.data()));
        clip.Bytes = bytes;
        UnscrambleClip(bkCok, 210, clip);

        std::vector<std::uint8_t> expected = stored;
        UnscrambleClip(bkCok, 210, expected.data(), expected.size());
        const auto* result = reinterpret_cast<const std::uint8_t*>(clip.Words.data());
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), result)) << bytes;
        EXPECT_NE(expected, stored);
    }
}

}  // namespace
