#pragma once
// Which clip a forest layer plays next: its bank and entry, drawn from the
// board's options, the banks at hand and the random source.

#include "player/engine/LayerBoard.h"
#include "player/engine/SoundBanks.h"

#include <array>
#include <cstdint>
#include <optional>

using TSoundBankSet = std::array<TSoundBank, SoundBankCount>;

// What a voice strand's clip is: day or night ambience, one of the optional
// voice groups, or the strand's default voices.
enum class TVoiceGroup {
    Ambience,
    Option2,
    Option4,
    Option5,
    Option6,
    Default
};

struct TClipChoice {
    TVoiceGroup Group = TVoiceGroup::Default;
    TBankId Bank = kNoBank;
    std::uint32_t Entry = 0;  // in the bank's whole entry table
};

enum class TBirdStrand {
    Birds1,
    Birds2,
    Birds3
};

// A random entry of the whole bank; nothing when it is absent or empty.
std::optional<TClipChoice> ChooseBankClip(const TSoundBankSet& banks, TBankId bank);

// otherOnOption6: the partner strand (1 for 2, 2 for 1) plays an Option6 voice
// now; strand 3 has no partner.
std::optional<TClipChoice> ChooseBirdClip(TBirdStrand strand, const TLayerBoard& board, const TSoundBankSet& banks,
                                          bool otherOnOption6);

// preview: the user holds the Option6 nearness control, so every clip is an
// Option6 voice while that group is wanted.
std::optional<TClipChoice> ChooseNightVoice(const TLayerBoard& board, const TSoundBankSet& banks, bool preview);
