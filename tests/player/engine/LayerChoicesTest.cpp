#include "player/engine/LayerChoices.h"

#include "FakeLayerBoard.h"
#include "ScriptedRandom.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

struct BankShape {
    TBankId id;
    std::array<std::uint8_t, 3> groups;  // .3bs
    std::uint16_t entries;               // .cok
};

// Three-group banks have groups of 2, 3 and 4 clips, so group 2 starts at
// entry 2 and group 3 at entry 5.
const std::vector<BankShape> kDayBanks = {
    {sbOvda, {0, 8, 0}, 0}, {sbOvdb, {2, 3, 4}, 0}, {sbOvdc, {0, 5, 0}, 0}, {sbOvcu, {0, 3, 0}, 0},
    {sbOvgh, {}, 6},        {sbOvwp, {}, 7},        {sbOvdw, {}, 9},
};
const std::vector<BankShape> kNightBanks = {
    {sbOvna, {0, 6, 0}, 0}, {sbOvnb, {2, 3, 4}, 0}, {sbOvnw, {0, 5, 0}, 0}, {sbOvng, {}, 7}, {sbOvfr, {}, 8},
};

void Shape(TSoundBank& bank, TBankId id, std::array<std::uint8_t, 3> groups, std::uint16_t entries)
{
    const TBankCatalogueRow& row = BankCatalogue[id];
    bank.Kind = row.Kind;
    bank.GroupCount1 = groups[0];
    bank.GroupCount2 = groups[1];
    bank.GroupCount3 = groups[2];
    bank.EntryCount = entries;
    bank.TableEntries = TableEntryCount(row.Kind, row.SingleGroup, groups[0], groups[1], groups[2], entries);
}

void MakeBanks(TSoundBankSet& banks, const std::vector<BankShape>& shapes)
{
    for (TSoundBank& bank : banks)
        bank = TSoundBank{};
    for (const BankShape& shape : shapes) {
        Shape(banks[shape.id], shape.id, shape.groups, shape.entries);
        banks[shape.id].Present = true;
    }
}

using BoardSetup = void (*)(FakeLayerBoard&);
using BankChange = void (*)(TSoundBankSet&);

void NoOptions(FakeLayerBoard&) {}
void AllBanks(TSoundBankSet&) {}

struct Expected {
    TVoiceGroup group;
    TBankId bank;
    std::uint32_t entry;
};

struct ChoiceCase {
    std::string name;
    BoardSetup board;
    BankChange banks;
    std::vector<int> draws;
    std::optional<Expected> expected;
    TBirdStrand strand = TBirdStrand::Birds1;
    bool partnerOnOption6OrPreview = false;
};

void PrintTo(const ChoiceCase& c, std::ostream* out) { *out << c.name; }
std::string CaseName(const ::testing::TestParamInfo<ChoiceCase>& param) { return param.param.name; }

class ChoiceTest : public ::testing::TestWithParam<ChoiceCase> {
protected:
    void Check(const std::vector<BankShape>& shapes,
               std::optional<TClipChoice> (*choose)(const ChoiceCase&, const FakeLayerBoard&, const TSoundBankSet&))
    {
        const ChoiceCase& c = GetParam();
        FakeLayerBoard board;
        c.board(board);
        MakeBanks(banks_, shapes);
        c.banks(banks_);
        ScriptedRandom random(c.draws);
        const std::optional<TClipChoice> choice = choose(c, board, banks_);
        EXPECT_TRUE(random.Used()) << "draws left over";
        ASSERT_EQ(choice.has_value(), c.expected.has_value());
        if (!choice)
            return;
        EXPECT_EQ(choice->Group, c.expected->group);
        EXPECT_EQ(choice->Bank, c.expected->bank);
        EXPECT_EQ(choice->Entry, c.expected->entry);
    }

private:
    TSoundBankSet banks_;
};

std::optional<TClipChoice> BirdChoice(const ChoiceCase& c, const FakeLayerBoard& board, const TSoundBankSet& banks)
{
    return ChooseBirdClip(c.strand, board, banks, c.partnerOnOption6OrPreview);
}

std::optional<TClipChoice> NightChoice(const ChoiceCase& c, const FakeLayerBoard& board, const TSoundBankSet& banks)
{
    return ChooseNightVoice(board, banks, c.partnerOnOption6OrPreview);
}

// Draws: Random(2) = 0 is ambience; rarity levels 0..3 draw from 64, 32, 12, 4.
using BirdChoiceTest = ChoiceTest;
TEST_P(BirdChoiceTest, ChoosesTheFirstGroupThatPasses) { Check(kDayBanks, BirdChoice); }

const TVoiceGroup kAmbience = TVoiceGroup::Ambience;
const TVoiceGroup kOption2 = TVoiceGroup::Option2;
const TVoiceGroup kOption4 = TVoiceGroup::Option4;
const TVoiceGroup kOption5 = TVoiceGroup::Option5;
const TVoiceGroup kOption6 = TVoiceGroup::Option6;
const TVoiceGroup kDefault = TVoiceGroup::Default;

INSTANTIATE_TEST_SUITE_P(
    Day, BirdChoiceTest,
    ::testing::Values(ChoiceCase{"Ambience", NoOptions, AllBanks, {0, 5}, Expected{kAmbience, sbOvda, 5}},
                      ChoiceCase{"DefaultBirds", NoOptions, AllBanks, {1, 4}, Expected{kDefault, sbOvdw, 4}},
                      ChoiceCase{"Option2Passes",
                                 [](FakeLayerBoard& b) {
                                     b.SetOption(2, {true, 3});
                                 },
                                 AllBanks,
                                 {1, 0, 2},
                                 Expected{kOption2, sbOvgh, 2}},
                      ChoiceCase{"FailedTestPassesOn",
                                 [](FakeLayerBoard& b) {
                                     b.SetOption(2, {true, 3});
                                     b.SetOption(4, {true, 0});
                                 },
                                 AllBanks,
                                 {1, 1, 0, 3},
                                 Expected{kOption4, sbOvwp, 3}},
                      ChoiceCase{"NoRarityNeverDraws",
                                 [](FakeLayerBoard& b) {
                                     b.SetOption(2, {true, -1});
                                     b.SetOption(5, {true, 2});
                                 },
                                 AllBanks,
                                 {1, 0, 1},
                                 Expected{kOption5, sbOvdc, 1}},
                      ChoiceCase{"UncheckedNeverDraws",
                                 [](FakeLayerBoard& b) {
                                     b.SetOption(2, {false, 3});
                                 },
                                 AllBanks,
                                 {1, 0},
                                 Expected{kDefault, sbOvdw, 0}},
                      ChoiceCase{"Option6",
                                 [](FakeLayerBoard& b) {
                                     b.SetOption(6, {true, 1});
                                 },
                                 AllBanks,
                                 {1, 0, 2},
                                 Expected{kOption6, sbOvcu, 2}},
                      ChoiceCase{"Option6HeldByPartner",
                                 [](FakeLayerBoard& b) {
                                     b.SetOption(6, {true, 3});
                                 },
                                 AllBanks,
                                 {1, 3},
                                 Expected{kDefault, sbOvdw, 3},
                                 TBirdStrand::Birds1,
                                 true},
                      ChoiceCase{"Option6HeldByPartnerOfStrand2",
                                 [](FakeLayerBoard& b) {
                                     b.SetOption(6, {true, 3});
                                 },
                                 AllBanks,
                                 {1, 3},
                                 Expected{kDefault, sbOvdw, 3},
                                 TBirdStrand::Birds2,
                                 true},
                      ChoiceCase{"Strand3HasNoOption6Partner",
                                 [](FakeLayerBoard& b) {
                                     b.SetOption(6, {true, 3});
                                 },
                                 AllBanks,
                                 {1, 0, 1},
                                 Expected{kOption6, sbOvcu, 1},
                                 TBirdStrand::Birds3,
                                 true},
                      ChoiceCase{"Strand3SkipsOption2",
                                 [](FakeLayerBoard& b) {
                                     b.SetOption(2, {true, 3});
                                 },
                                 AllBanks,
                                 {1, 0},
                                 Expected{kDefault, sbOvdw, 0},
                                 TBirdStrand::Birds3},
                      ChoiceCase{"Option2FallsBackToGroup3",
                                 [](FakeLayerBoard& b) {
                                     b.SetOption(2, {true, 3});
                                 },
                                 [](TSoundBankSet& s) { s[sbOvgh].Present = false; },
                                 {1, 0, 3},
                                 Expected{kOption2, sbOvdb, 8},
                                 TBirdStrand::Birds2},
                      ChoiceCase{"Option4FallsBackToGroup1",
                                 [](FakeLayerBoard& b) {
                                     b.SetOption(4, {true, 3});
                                 },
                                 [](TSoundBankSet& s) { s[sbOvwp].Present = false; },
                                 {1, 0, 1},
                                 Expected{kOption4, sbOvdb, 1}},
                      ChoiceCase{"DefaultFallsBackToGroup2",
                                 NoOptions,
                                 [](TSoundBankSet& s) { s[sbOvdw].Present = false; },
                                 {1, 2},
                                 Expected{kDefault, sbOvdb, 4}},
                      ChoiceCase{"AbsentOption5BankFailsItsTest",
                                 [](FakeLayerBoard& b) {
                                     b.SetOption(5, {true, 3});
                                 },
                                 [](TSoundBankSet& s) { s[sbOvdc].Present = false; },
                                 {1, 0},
                                 Expected{kDefault, sbOvdw, 0}},
                      ChoiceCase{"EmptyFallbackGroupFailsItsTest",
                                 [](FakeLayerBoard& b) {
                                     b.SetOption(2, {true, 3});
                                 },
                                 [](TSoundBankSet& s) {
                                     s[sbOvgh].Present = false;
                                     Shape(s[sbOvdb], sbOvdb, {2, 3, 0}, 0);
                                 },
                                 {1, 0},
                                 Expected{kDefault, sbOvdw, 0}},
                      ChoiceCase{"EmptyAmbienceIsNotDrawn",
                                 NoOptions,
                                 [](TSoundBankSet& s) { Shape(s[sbOvda], sbOvda, {}, 0); },
                                 {4},
                                 Expected{kDefault, sbOvdw, 4}},
                      ChoiceCase{"NoBirdsAtAll",
                                 NoOptions,
                                 [](TSoundBankSet& s) { s[sbOvdw].Present = s[sbOvdb].Present = false; },
                                 {1},
                                 std::nullopt}),
    CaseName);

// Draws: the Option6 test first, then Random(2) = 0 for ambience.
using NightVoiceChoiceTest = ChoiceTest;
TEST_P(NightVoiceChoiceTest, ChoosesTheFirstGroupThatPasses) { Check(kNightBanks, NightChoice); }

constexpr bool kPreview = true;
constexpr TBirdStrand kAnyStrand = TBirdStrand::Birds1;

INSTANTIATE_TEST_SUITE_P(
    Night, NightVoiceChoiceTest,
    ::testing::Values(ChoiceCase{"Option6ComesFirst",
                                 [](FakeLayerBoard& b) {
                                     b.SetOption(6, {true, 3});
                                 },
                                 AllBanks,
                                 {0, 5},
                                 Expected{kOption6, sbOvfr, 5}},
                      ChoiceCase{"PreviewSkipsTheRarityTest",
                                 [](FakeLayerBoard& b) {
                                     b.SetOption(6, {true, -1});
                                 },
                                 AllBanks,
                                 {5},
                                 Expected{kOption6, sbOvfr, 5},
                                 kAnyStrand,
                                 kPreview},
                      ChoiceCase{"PreviewNeedsTheOption6Box",
                                 NoOptions,
                                 AllBanks,
                                 {0, 2},
                                 Expected{kAmbience, sbOvna, 2},
                                 kAnyStrand,
                                 kPreview},
                      ChoiceCase{"PreviewWithoutOption6Bank",
                                 [](FakeLayerBoard& b) {
                                     b.SetOption(6, {true, 3});
                                 },
                                 [](TSoundBankSet& s) { s[sbOvfr].Present = false; },
                                 {0, 1},
                                 Expected{kAmbience, sbOvna, 1},
                                 kAnyStrand,
                                 kPreview},
                      ChoiceCase{"Option6FailsThenAmbience",
                                 [](FakeLayerBoard& b) {
                                     b.SetOption(6, {true, 3});
                                 },
                                 AllBanks,
                                 {1, 0, 3},
                                 Expected{kAmbience, sbOvna, 3}},
                      ChoiceCase{"Option2",
                                 [](FakeLayerBoard& b) {
                                     b.SetOption(2, {true, 3});
                                 },
                                 AllBanks,
                                 {1, 0, 6},
                                 Expected{kOption2, sbOvng, 6}},
                      ChoiceCase{"Option2FallsBackToGroup3",
                                 [](FakeLayerBoard& b) {
                                     b.SetOption(2, {true, 3});
                                 },
                                 [](TSoundBankSet& s) { s[sbOvng].Present = false; },
                                 {1, 0, 0},
                                 Expected{kOption2, sbOvnb, 5}},
                      ChoiceCase{"Option4IsGroup1",
                                 [](FakeLayerBoard& b) {
                                     b.SetOption(4, {true, 2});
                                 },
                                 AllBanks,
                                 {1, 0, 1},
                                 Expected{kOption4, sbOvnb, 1}},
                      ChoiceCase{"EmptyOption4GroupFailsItsTest",
                                 [](FakeLayerBoard& b) {
                                     b.SetOption(4, {true, 3});
                                 },
                                 [](TSoundBankSet& s) {
                                     Shape(s[sbOvnb], sbOvnb, {0, 3, 4}, 0);
                                 },
                                 {1, 2},
                                 Expected{kDefault, sbOvnb, 2}},
                      ChoiceCase{"Option5",
                                 [](FakeLayerBoard& b) {
                                     b.SetOption(5, {true, 0});
                                 },
                                 AllBanks,
                                 {1, 0, 4},
                                 Expected{kOption5, sbOvnw, 4}},
                      ChoiceCase{"AbsentOption5BankFailsItsTest",
                                 [](FakeLayerBoard& b) {
                                     b.SetOption(5, {true, 3});
                                 },
                                 [](TSoundBankSet& s) { s[sbOvnw].Present = false; },
                                 {1, 0},
                                 Expected{kDefault, sbOvnb, 2}},
                      ChoiceCase{"DefaultIsGroup2", NoOptions, AllBanks, {1, 2}, Expected{kDefault, sbOvnb, 4}}),
    CaseName);

TEST(BankClipChoice, DrawsOverTheWholeBankOrGivesNothing)
{
    TSoundBankSet banks;
    MakeBanks(banks, kNightBanks);
    {
        ScriptedRandom random({5});
        const std::optional<TClipChoice> clip = ChooseBankClip(banks, sbOvna);
        ASSERT_TRUE(clip);
        EXPECT_EQ(clip->Entry, 5u);
        EXPECT_EQ(ScriptedRandom::Asked(), std::vector<int>{6});
    }
    ScriptedRandom noDraws;
    EXPECT_FALSE(ChooseBankClip(banks, sbOvda)) << "absent bank";
    Shape(banks[sbOvna], sbOvna, {}, 0);
    EXPECT_FALSE(ChooseBankClip(banks, sbOvna)) << "empty bank";
}

}  // namespace
