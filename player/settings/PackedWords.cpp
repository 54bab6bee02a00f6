#include "player/settings/PackedWords.h"

#include <array>

TPackedWords PackedWords;

namespace {

constexpr int kValueBits = 28;
constexpr std::uint32_t kValueMask = (1u << kValueBits) - 1;

// Each parity bit and the value bits it makes odd.
struct TParityGroup {
    int ParityBit;
    std::uint32_t Bits;
};
constexpr TParityGroup kParityGroups[] = {
    {31, 0x000000FFu},
    {30, 0x0000FF00u},
    {29, 0x00FF0000u},
    {28, 0x0F000000u},
};

bool OddCount(std::uint32_t bits)
{
    bool odd = false;
    for (; bits != 0; bits &= bits - 1)
        odd = !odd;
    return odd;
}

// The record's field of each word, in the order of TPackedWordId.
constexpr std::uint32_t TPackedWords::*kStoredWords[PackedWordCount] = {
    &TPackedWords::C1, &TPackedWords::C5,  &TPackedWords::C6,  &TPackedWords::C7,  &TPackedWords::D1,
    &TPackedWords::D2, &TPackedWords::D70, &TPackedWords::D71, &TPackedWords::D72, &TPackedWords::N1,
    &TPackedWords::N2, &TPackedWords::N70, &TPackedWords::N71, &TPackedWords::N7F,
};

std::uint32_t WidthMask(int width) { return (1u << width) - 1; }

using B = TBoardItem;
using K = TFieldKind;

TWordField Flag(int bit, TBoardItem item) { return {item, K::Checked, bit, 1}; }
TWordField Field(int firstBit, int width, TBoardItem item, TFieldKind kind) { return {item, kind, firstBit, width}; }
TWordField Item2(int firstBit, TBoardItem item) { return Field(firstBit, 2, item, K::ItemIndex); }
TWordField Level7(int firstBit, TBoardItem item) { return Field(firstBit, 7, item, K::Position); }
TWordField Number7(int firstBit, TBoardItem item) { return Field(firstBit, 7, item, K::Number); }

// Bits 0-19 of "D1" and "N1": the same controls in both scenes.
std::vector<TWordField> SceneFlags(std::vector<TWordField> upperBits)
{
    std::vector<TWordField> fields = {
        Flag(0, B::RainCheckBox),
        Field(1, 2, B::StormCheckBox, K::ThreeState),
        Flag(3, B::OptionCheckBox),
        Flag(5, B::Option3CheckBox),
        Flag(6, B::Option7CheckBox),
        Flag(7, B::Option5CheckBox),
        Flag(8, B::Option6CheckBox),
        Flag(9, B::WindCheckBox),
        Flag(10, B::Option2CheckBox),
        Flag(11, B::Option4CheckBox),
        Flag(12, B::NatureFolderCheckBox),
        Flag(13, B::NatureSubfoldersCheckBox),
        Flag(15, B::GuitarCheckBox),
        Flag(16, B::HaCheckBox),
        Flag(17, B::FluteCheckBox),
        Flag(18, B::MusicFolderCheckBox),
        Flag(19, B::MusicSubfoldersCheckBox),
    };
    fields.insert(fields.end(), upperBits.begin(), upperBits.end());
    return fields;
}

// "D2" and "N2": the activity trackbar and the rarity of every layer.
std::vector<TWordField> SceneChoices()
{
    return {
        Field(0, 2, B::Option1TrackBar, K::Position),
        Item2(2, B::NFBComboBox),
        Item2(4, B::NFIComboBox),
        Item2(6, B::Option5ComboBox),
        Item2(8, B::Option6ComboBox),
        Item2(10, B::Option2ComboBox),
        Item2(12, B::Option4ComboBox),
        Item2(14, B::GuitarComboBox),
        Item2(16, B::HaComboBox),
        Item2(18, B::FluteComboBox),
        Item2(20, B::NatureFolderComboBox),
        Item2(22, B::MusicFolderComboBox),
    };
}

std::vector<TWordField> SceneLevels()
{
    return {Level7(0, B::WindVolumeTrackBar), Level7(7, B::OptionTrackBar), Number7(14, B::StreamMarkerX),
            Number7(21, B::StreamMarkerY)};
}

std::vector<TWordField> SceneFolderLevels()
{
    return {Level7(0, B::NFBTrackBar), Level7(7, B::NFITrackBar), Level7(14, B::NatureFolderTrackBar),
            Level7(21, B::MusicFolderTrackBar)};
}

const std::array<TWordLayout, PackedWordCount>& Layouts()
{
    static const std::array<TWordLayout, PackedWordCount> layouts = {{
        {"C1",
         {
             Flag(0, B::PlayCheckBox),
             Flag(1, B::AutoStartCheckBox),
             Flag(2, B::AsServiceCheckBox),
             Flag(3, B::TessilCheckBox),
             Flag(4, B::AlternateCheckBox),
             Flag(5, B::MuteTimeCheckBox),
             Field(6, 4, B::MuteComboBox, K::OneHotItem),
             Flag(10, B::AlarmClockCheckBox),
             Flag(11, B::InnerAlarmRadioButton),
             Flag(12, B::FileAlarmRadioButton),
             Flag(14, B::Chime00CheckBox),
             Flag(15, B::Chime30CheckBox),
             Flag(16, B::HWMCheckBox),
             Flag(18, B::CompressionCheckBox),
             Flag(19, B::MemoryCleanCheckBox),
             Flag(20, B::WaitThisDeviceRadioButton),
             Flag(21, B::UseCurrentDefDeviceRadioButton),
         }},
        {"C5", {Field(0, 5, B::FromComboBox, K::ItemIndex), Field(5, 5, B::TillComboBox, K::ItemIndex)}},
        {"C6", {Field(0, 6, B::LimiterLowBound, K::Number), Field(6, 6, B::LimiterHighBound, K::Number)}},
        {"C7", {Level7(0, B::VolumeTrackBar), Level7(7, B::Chime00TrackBar), Level7(14, B::Chime30TrackBar)}},
        {"D1", SceneFlags({Flag(20, B::NatureAutoAllocCheckBox), Flag(21, B::MusicAutoAllocCheckBox)})},
        {"D2", SceneChoices()},
        {"D70", SceneLevels()},
        {"D71", SceneFolderLevels()},
        {"D72", {Level7(0, B::Option1TrackBar1)}},
        {"N1", SceneFlags({Flag(20, B::Option1CheckBox), Flag(21, B::NatureAutoAllocCheckBox),
                           Flag(22, B::MusicAutoAllocCheckBox)})},
        {"N2", SceneChoices()},
        {"N70", SceneLevels()},
        {"N71", SceneFolderLevels()},
        {"N7F",
         {Level7(0, B::Option1TrackBar1), Number7(7, B::FireMarkerX), Number7(14, B::FireMarkerY), Level7(21, B::Option6TrackBar)}},
    }};
    return layouts;
}

}  // namespace

std::uint32_t AddParityBits(std::uint32_t value)
{
    value &= kValueMask;
    for (const TParityGroup& group : kParityGroups)
        if (!OddCount(value & group.Bits))
            value |= 1u << group.ParityBit;
    return value;
}

bool ParityBad(std::uint32_t word)
{
    for (const TParityGroup& group : kParityGroups)
        if (!OddCount(word & (group.Bits | 1u << group.ParityBit)))
            return true;
    return false;
}

std::uint32_t& TPackedWords::operator[](TPackedWordId id) { return this->*kStoredWords[id]; }

std::uint32_t TPackedWords::operator[](TPackedWordId id) const { return this->*kStoredWords[id]; }

const TWordLayout& WordLayout(TPackedWordId id) { return Layouts()[id]; }

const TWordField* FindField(TPackedWordId id, TBoardItem item)
{
    for (const TWordField& field : WordLayout(id).Fields)
        if (field.Item == item)
            return &field;
    return nullptr;
}

std::uint32_t PlaceField(const TWordField& field, int state)
{
    if (field.Kind == TFieldKind::OneHotItem)
        return state >= 0 && state < field.Width ? 1u << (field.FirstBit + state) : 0;
    return (static_cast<std::uint32_t>(state) & WidthMask(field.Width)) << field.FirstBit;
}

int FieldState(const TWordField& field, std::uint32_t word)
{
    const std::uint32_t bits = (word >> field.FirstBit) & WidthMask(field.Width);
    switch (field.Kind) {
        case TFieldKind::ThreeState:
            return bits >= 2 ? 2 : static_cast<int>(bits);
        case TFieldKind::OneHotItem:
            for (int item = field.Width - 1; item >= 0; --item)
                if (bits & 1u << item)
                    return item;
            return -1;
        default:
            return static_cast<int>(bits);
    }
}

std::uint32_t PackWord(TPackedWordId id, const TFieldReader& stateOf)
{
    std::uint32_t value = 0;
    for (const TWordField& field : WordLayout(id).Fields)
        value |= PlaceField(field, stateOf(field));
    return AddParityBits(value);
}
