#include "player/engine/LayerChoices.h"

#include "player/engine/ClipPlacement.h"
#include "support/Random.h"

namespace {

constexpr int kWholeBank = 0;  // else group 1 .. 3 of a three-group bank

// Where a group's clips come from: a bank, or one group of it.
struct TClipSource {
    TBankId Bank = kNoBank;
    int Group = kWholeBank;
};

// The newer bank first; the older one serves when the newer is not there.
using TSourceList = std::array<TClipSource, 2>;

// The groups of a three-group bank are consecutive runs of its one table.
struct TEntryRun {
    std::uint32_t First = 0;
    std::uint32_t Count = 0;
};

TEntryRun SourceRun(const TSoundBank& bank, int group)
{
    if (group == kWholeBank)
        return {0, bank.TableEntries};
    const std::uint32_t counts[] = {bank.GroupCount1, bank.GroupCount2, bank.GroupCount3};
    TEntryRun run;
    for (int g = 1; g < group; ++g)
        run.First += counts[g - 1];
    run.Count = counts[group - 1];
    return run;
}

bool HasClips(const TSoundBankSet& banks, const TClipSource& source)
{
    return source.Bank != kNoBank && banks[source.Bank].Present &&
           SourceRun(banks[source.Bank], source.Group).Count > 0;
}

const TClipSource* FirstWithClips(const TSoundBankSet& banks, const TSourceList& sources)
{
    for (const TClipSource& source : sources)
        if (HasClips(banks, source))
            return &source;
    return nullptr;
}

// A group is taken when it is wanted, has a clip to give and its chance test
// passes; the test draws only for a group that could play.
template <typename Chance>
std::optional<TClipChoice> TryGroup(const TSoundBankSet& banks, TVoiceGroup group, bool wanted,
                                    const TSourceList& sources, Chance chance)
{
    if (!wanted)
        return std::nullopt;
    const TClipSource* source = FirstWithClips(banks, sources);
    if (!source || !chance())
        return std::nullopt;
    const TEntryRun run = SourceRun(banks[source->Bank], source->Group);
    const auto pick = static_cast<std::uint32_t>(Random(static_cast<int>(run.Count)));
    return TClipChoice{group, source->Bank, run.First + pick};
}

// An optional voice group's box (wanted) and combo box (its rarity level).
struct TOptionControls {
    TBoardControl Box;
    TBoardControl Rarity;
};

TOptionControls OptionControls(TVoiceGroup group)
{
    switch (group) {
        case TVoiceGroup::Option2:
            return {TBoardControl::Option2CheckBox, TBoardControl::Option2ComboBox};
        case TVoiceGroup::Option4:
            return {TBoardControl::Option4CheckBox, TBoardControl::Option4ComboBox};
        case TVoiceGroup::Option5:
            return {TBoardControl::Option5CheckBox, TBoardControl::Option5ComboBox};
        default:
            return {TBoardControl::Option6CheckBox, TBoardControl::Option6ComboBox};
    }
}

// A group the user ticked, tried at its rarity; allowed says whether this
// strand may play it at all.
std::optional<TClipChoice> TryOption(const TSoundBankSet& banks, TVoiceGroup group, const TLayerBoard& board,
                                     const TSourceList& sources, bool allowed = true)
{
    const TOptionControls controls = OptionControls(group);
    const int rarity = board.ItemIndex(controls.Rarity);
    return TryGroup(banks, group, allowed && board.Checked(controls.Box), sources,
                    [rarity] { return RarityChance(rarity); });
}

bool HalfChance() { return Random(2) == 0; }
bool Always() { return true; }

TSourceList Only(TBankId bank, int group = kWholeBank) { return {TClipSource{bank, group}, TClipSource{}}; }

// Groups of the three-group voice banks.
constexpr int kOption4Group = 1;
constexpr int kDefaultGroup = 2;
constexpr int kOption2Group = 3;

}  // namespace

std::optional<TClipChoice> ChooseBankClip(const TSoundBankSet& banks, TBankId bank)
{
    return TryGroup(banks, TVoiceGroup::Default, true, Only(bank), Always);
}

std::optional<TClipChoice> ChooseBirdClip(TBirdStrand strand, const TLayerBoard& board, const TSoundBankSet& banks,
                                          bool otherOnOption6)
{
    if (auto clip = TryGroup(banks, TVoiceGroup::Ambience, true, Only(sbOvda), HalfChance))
        return clip;
    const bool option2Strand = strand != TBirdStrand::Birds3;
    if (auto clip = TryOption(banks, TVoiceGroup::Option2, board,
                              {TClipSource{sbOvgh}, TClipSource{sbOvdb, kOption2Group}}, option2Strand))
        return clip;
    if (auto clip =
            TryOption(banks, TVoiceGroup::Option4, board, {TClipSource{sbOvwp}, TClipSource{sbOvdb, kOption4Group}}))
        return clip;
    if (auto clip = TryOption(banks, TVoiceGroup::Option5, board, Only(sbOvdc)))
        return clip;
    const bool option6Free = strand == TBirdStrand::Birds3 || !otherOnOption6;
    if (auto clip = TryOption(banks, TVoiceGroup::Option6, board, Only(sbOvcu), option6Free))
        return clip;
    return TryGroup(banks, TVoiceGroup::Default, true, {TClipSource{sbOvdw}, TClipSource{sbOvdb, kDefaultGroup}},
                    Always);
}

std::optional<TClipChoice> ChooseNightVoice(const TLayerBoard& board, const TSoundBankSet& banks, bool preview)
{
    const int option6Rarity = board.ItemIndex(TBoardControl::Option6ComboBox);
    if (auto clip = TryGroup(banks, TVoiceGroup::Option6, board.Checked(TBoardControl::Option6CheckBox), Only(sbOvfr),
                             [&] { return preview || RarityChance(option6Rarity); }))
        return clip;
    if (auto clip = TryGroup(banks, TVoiceGroup::Ambience, true, Only(sbOvna), HalfChance))
        return clip;
    if (auto clip =
            TryOption(banks, TVoiceGroup::Option2, board, {TClipSource{sbOvng}, TClipSource{sbOvnb, kOption2Group}}))
        return clip;
    if (auto clip = TryOption(banks, TVoiceGroup::Option4, board, Only(sbOvnb, kOption4Group)))
        return clip;
    if (auto clip = TryOption(banks, TVoiceGroup::Option5, board, Only(sbOvnw)))
        return clip;
    return TryGroup(banks, TVoiceGroup::Default, true, Only(sbOvnb, kDefaultGroup), Always);
}
