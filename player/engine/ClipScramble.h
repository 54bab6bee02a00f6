#pragma once
// The keystream that scrambles every clip of a bank. Scrambling only swaps the
// two bytes of some words, so the same pass both scrambles and unscrambles.

#include "player/engine/BankFormat.h"

#include <cstddef>
#include <cstdint>

// Key material shared by the player and the bank writer. All odd: an even base
// or multiplier runs the state to zero and leaves the clips as they were.
constexpr std::uint32_t kKeystreamBase3bs = 0x6F1D3A97u;
constexpr std::uint32_t kKeystreamBaseCok = 0x3C8E5B2Du;
constexpr std::uint32_t kKeystreamMultiplier = 0xA7E49C35u;
static_assert((kKeystreamBase3bs & kKeystreamBaseCok & kKeystreamMultiplier & 1u) == 1u,
              "keystream constants must be odd");

// 0 for a .3bs clip, 1 for a .cok/.ics clip.
int ClipKindFlag(TBankKind kind);
// Words before this one hold the file's own header and stay as stored.
std::size_t ClipFirstWord(TBankKind kind);

// base ^ soundNumber modulo 2^64, base chosen by the kind flag.
std::uint64_t ClipKeystreamSeed(int kindFlag, std::uint64_t soundNumber);

// Works on the words of byteCount bytes (the last one may be half a word); the
// final word is never touched.
void UnscrambleClip(TBankKind kind, std::uint64_t soundNumber, std::uint8_t* bytes, std::size_t byteCount);
void UnscrambleClip(TBankKind kind, std::uint64_t soundNumber, TClipBuffer& clip);

inline void ScrambleClip(TBankKind kind, std::uint64_t soundNumber, std::uint8_t* bytes, std::size_t byteCount)
{
    UnscrambleClip(kind, soundNumber, bytes, byteCount);
}
