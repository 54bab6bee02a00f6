#include "player/settings/PackedWords.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

namespace {

using B = TBoardItem;

constexpr std::uint32_t kParityBits = 0xF0000000u;

// The kind of each board control, as the board template declares it.
std::map<TBoardItem, std::string> ControlKinds()
{
    std::map<TBoardItem, std::string> kinds;
#define OVEL_BOARD_CONTROL(Name, Kind, Container) kinds[TBoardItem::Name] = #Kind;
#include "resources/player/BoardControls.h"
#undef OVEL_BOARD_CONTROL
    return kinds;
}

// Fields not given hold nothing: unchecked, 0, no item chosen for a one-hot field.
std::uint32_t Pack(TPackedWordId id, const std::map<TBoardItem, int>& states)
{
    return PackWord(id, [&states](const TWordField& field) {
        const auto found = states.find(field.Item);
        if (found != states.end())
            return found->second;
        return field.Kind == TFieldKind::OneHotItem ? -1 : 0;
    });
}

// A state that fills the field and differs from its neighbours.
int DistinctState(const TWordField& field, int place)
{
    switch (field.Kind) {
        case TFieldKind::Checked:
            return place % 2;
        case TFieldKind::ThreeState:
            return 2;
        case TFieldKind::OneHotItem:
            return place % field.Width;
        default:
            return (place * 37 + 5) & ((1 << field.Width) - 1);
    }
}

TEST(PackedWords, ParityOfZeroAndOfEverySingleBitFlip)
{
    EXPECT_EQ(AddParityBits(0), kParityBits);
    EXPECT_FALSE(ParityBad(kParityBits));
    EXPECT_TRUE(ParityBad(0));
    for (std::uint32_t value : {0u, 0x0ABCDEFu, 0x0FFFFFFFu, 0x1u, 0x08000000u}) {
        const std::uint32_t word = AddParityBits(value);
        EXPECT_FALSE(ParityBad(word)) << std::hex << value;
        for (int bit = 0; bit < 32; ++bit)
            EXPECT_TRUE(ParityBad(word ^ 1u << bit)) << std::hex << value << " bit " << std::dec << bit;
    }
    EXPECT_EQ(AddParityBits(0xF0000001u), AddParityBits(1));
}

// The board as designed, packed: the words a first shut-down writes.
TEST(PackedWords, GoldenWordOfTheDesignedBoard)
{
    const struct {
        TPackedWordId Word;
        std::map<TBoardItem, int> States;
        std::uint32_t Expected;
    } cases[] = {
        {pwC1,
         {{B::PlayCheckBox, 1},
          {B::AlternateCheckBox, 1},
          {B::MuteComboBox, 1},
          {B::UseCurrentDefDeviceRadioButton, 1}},
         0x50200091},
        {pwC5, {{B::FromComboBox, 0}, {B::TillComboBox, 23}}, 0x300002E0},
        {pwC6, {{B::LimiterLowBound, 11}, {B::LimiterHighBound, 30}}, 0xB000078B},
        {pwC7, {{B::VolumeTrackBar, 90}, {B::Chime00TrackBar, 70}, {B::Chime30TrackBar, 70}}, 0xF011A35A},
        {pwD1,
         {{B::RainCheckBox, 1},
          {B::StormCheckBox, 1},
          {B::OptionCheckBox, 1},
          {B::Option6CheckBox, 1},
          {B::Option4CheckBox, 1},
          {B::FluteCheckBox, 1}},
         0x5002090B},
        {pwD2, {{B::Option1TrackBar, 1}}, 0x70000001},
        {pwD70, {{B::WindVolumeTrackBar, 70}, {B::OptionTrackBar, 10}, {B::StreamMarkerX, 24}, {B::StreamMarkerY, 8}}, 0x61060546},
        {pwD71,
         {{B::NFBTrackBar, 50}, {B::NFITrackBar, 50}, {B::NatureFolderTrackBar, 50}, {B::MusicFolderTrackBar, 50}},
         0x564C9932},
        {pwD72, {{B::Option1TrackBar1, 50}}, 0x70000032},
        {pwN1,
         {{B::RainCheckBox, 1},
          {B::StormCheckBox, 2},
          {B::Option4CheckBox, 1},
          {B::GuitarCheckBox, 1},
          {B::Option1CheckBox, 1}},
         0xD0108805},
        {pwN2, {{B::Option1TrackBar, 2}, {B::Option6ComboBox, 2}}, 0x30000202},
        {pwN70, {{B::WindVolumeTrackBar, 70}, {B::OptionTrackBar, 10}, {B::StreamMarkerX, 24}, {B::StreamMarkerY, 8}}, 0x61060546},
        {pwN71,
         {{B::NFBTrackBar, 50}, {B::NFITrackBar, 50}, {B::NatureFolderTrackBar, 50}, {B::MusicFolderTrackBar, 50}},
         0x564C9932},
        {pwN7F, {{B::Option1TrackBar1, 16}, {B::FireMarkerX, 8}, {B::FireMarkerY, 8}, {B::Option6TrackBar, 85}}, 0x1AA20410},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Pack(c.Word, c.States), c.Expected) << WordLayout(c.Word).Name;
}

TEST(PackedWords, EveryFieldRoundTripsAlone)
{
    for (int id = 0; id < PackedWordCount; ++id) {
        const auto word = static_cast<TPackedWordId>(id);
        const std::vector<TWordField>& fields = WordLayout(word).Fields;
        std::map<TBoardItem, int> states;
        for (std::size_t i = 0; i < fields.size(); ++i)
            states[fields[i].Item] = DistinctState(fields[i], static_cast<int>(i));
        const std::uint32_t packed = Pack(word, states);
        EXPECT_FALSE(ParityBad(packed));
        for (const TWordField& field : fields)
            EXPECT_EQ(FieldState(field, packed), states[field.Item])
                << WordLayout(word).Name << " bit " << field.FirstBit;
    }
}

TEST(PackedWords, NoIndexSpillsOutOfItsField)
{
    for (int id = 0; id < PackedWordCount; ++id) {
        const auto word = static_cast<TPackedWordId>(id);
        for (const TWordField& field : WordLayout(word).Fields) {
            for (int state : {-1, 1 << field.Width, 1000}) {
                const std::uint32_t value = Pack(word, {{field.Item, state}}) & ~kParityBits;
                const std::uint32_t own = ((1u << field.Width) - 1) << field.FirstBit;
                EXPECT_EQ(value & ~own, 0u) << WordLayout(word).Name << " bit " << field.FirstBit << " state " << state;
            }
        }
    }
    EXPECT_EQ(Pack(pwC1, {{B::MuteComboBox, -1}}), kParityBits);
}

TEST(PackedWords, StormAndItsThreeStates)
{
    const TWordField& storm = *FindField(pwD1, B::StormCheckBox);
    EXPECT_EQ(PlaceField(storm, 0), 0u);
    EXPECT_EQ(PlaceField(storm, 1), 1u << 1);
    EXPECT_EQ(PlaceField(storm, 2), 1u << 2);
    EXPECT_EQ(FieldState(storm, 3u << 1), 2);
}

TEST(PackedWords, MuteActionIsOneBitPerItemAndALaterBitWins)
{
    const TWordField& mute = *FindField(pwC1, B::MuteComboBox);
    for (int item = 0; item < 4; ++item)
        EXPECT_EQ(PlaceField(mute, item), 1u << (6 + item));
    EXPECT_EQ(FieldState(mute, 1u << 6 | 1u << 9), 3);
    EXPECT_EQ(FieldState(mute, 0), -1);
}

TEST(PackedWords, DayAndNightFlagsDifferOnlyAboveBit19)
{
    for (const TWordField& field : WordLayout(pwD1).Fields) {
        const TWordField* night = FindField(pwN1, field.Item);
        if (field.FirstBit < 20) {
            EXPECT_TRUE(night && night->FirstBit == field.FirstBit && night->Kind == field.Kind);
        }
    }
    const struct {
        TPackedWordId Word;
        int Bit;
        TBoardItem Item;
    } upper[] = {
        {pwD1, 20, B::NatureAutoAllocCheckBox}, {pwD1, 21, B::MusicAutoAllocCheckBox}, {pwN1, 20, B::Option1CheckBox},
        {pwN1, 21, B::NatureAutoAllocCheckBox}, {pwN1, 22, B::MusicAutoAllocCheckBox},
    };
    for (const auto& u : upper) {
        const TWordField* field = FindField(u.Word, u.Item);
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->FirstBit, u.Bit);
    }
    EXPECT_EQ(FindField(pwD1, B::Option1CheckBox), nullptr);
}

TEST(PackedWords, FieldsFitTheirWordAndNameControlsOfTheirKind)
{
    const std::map<TBoardItem, std::string> kinds = ControlKinds();
    const std::map<TFieldKind, std::vector<std::string>> allowed = {
        {TFieldKind::Checked, {"CheckBox", "RadioButton"}},
        {TFieldKind::ThreeState, {"CheckBox"}},
        {TFieldKind::ItemIndex, {"ComboBox"}},
        {TFieldKind::OneHotItem, {"ComboBox"}},
        {TFieldKind::Position, {"TrackBar"}},
        {TFieldKind::Number, {}},
    };
    for (int id = 0; id < PackedWordCount; ++id) {
        const TWordLayout& layout = WordLayout(static_cast<TPackedWordId>(id));
        std::uint32_t used = 0;
        for (const TWordField& field : layout.Fields) {
            const std::uint32_t own = ((1u << field.Width) - 1) << field.FirstBit;
            EXPECT_EQ(used & own, 0u) << layout.Name << " bit " << field.FirstBit;
            EXPECT_EQ(own & kParityBits, 0u) << layout.Name << " bit " << field.FirstBit;
            used |= own;
            const auto kind = kinds.find(field.Item);
            const std::vector<std::string>& expected = allowed.at(field.Kind);
            const std::string actual = kind == kinds.end() ? std::string() : kind->second;
            EXPECT_EQ(std::count(expected.begin(), expected.end(), actual), actual.empty() ? 0 : 1)
                << layout.Name << " bit " << field.FirstBit << " is a " << actual;
        }
    }
}

}  // namespace
