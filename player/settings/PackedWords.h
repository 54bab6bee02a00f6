#pragma once
// The fourteen packed settings words: up to 28 bits of board state each, with
// four odd parity bits on top so that a damaged or hand-edited word is known,
// and the place of every control's state in them.

#include "player/settings/BoardItems.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// Bit 31 makes byte 0 odd, bit 30 byte 1, bit 29 byte 2, bit 28 bits 24-27.
std::uint32_t AddParityBits(std::uint32_t value);
bool ParityBad(std::uint32_t word);

enum TPackedWordId {
    pwC1,
    pwC5,
    pwC6,
    pwC7,
    pwD1,
    pwD2,
    pwD70,
    pwD71,
    pwD72,
    pwN1,
    pwN2,
    pwN70,
    pwN71,
    pwN7F,
    PackedWordCount
};

// The last written or read form of each word, parity bits included; 0 means
// that nothing usable is stored.
struct TPackedWords {
    std::uint32_t C1 = 0;
    std::uint32_t C5 = 0;
    std::uint32_t C6 = 0;
    std::uint32_t C7 = 0;
    std::uint32_t D1 = 0;
    std::uint32_t D2 = 0;
    std::uint32_t D70 = 0;
    std::uint32_t D71 = 0;
    std::uint32_t D72 = 0;
    std::uint32_t N1 = 0;
    std::uint32_t N2 = 0;
    std::uint32_t N70 = 0;
    std::uint32_t N71 = 0;
    std::uint32_t N7F = 0;

    std::uint32_t& operator[](TPackedWordId id);
    std::uint32_t operator[](TPackedWordId id) const;
};
extern TPackedWords PackedWords;

// What a field holds, as the board reads and sets it.
enum class TFieldKind {
    Checked,     // check box or radio button: 1 when checked
    ThreeState,  // 0 unchecked, 1 checked, 2 grayed; a grayed box sets only the upper bit
    ItemIndex,   // a combo box's ItemIndex
    OneHotItem,  // a combo box's ItemIndex as the one set bit of the field
    Position,    // a trackbar's Position
    Number,      // one of the board's integers
};

struct TWordField {
    TBoardItem Item;
    TFieldKind Kind;
    int FirstBit;
    int Width;
};

struct TWordLayout {
    const char* Name;  // the registry value
    std::vector<TWordField> Fields;
};

const TWordLayout& WordLayout(TPackedWordId id);

// The field of item in the word, or null when the word does not hold it.
const TWordField* FindField(TPackedWordId id, TBoardItem item);

// A state cut to the field's width and put in place; a one-hot item outside
// the field (-1: nothing chosen) sets no bit.
std::uint32_t PlaceField(const TWordField& field, int state);

// The state a word gives the field. A three-state field with both bits reads
// grayed; a one-hot item reads its highest set bit, -1 when none is set.
int FieldState(const TWordField& field, std::uint32_t word);

// The word, parity included, from the state the board gives for each field.
using TFieldReader = std::function<int(const TWordField&)>;
std::uint32_t PackWord(TPackedWordId id, const TFieldReader& stateOf);
