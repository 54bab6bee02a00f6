#include "platform/forms/ShortCut.h"

#include <string>

namespace {

constexpr TShortCut kKeyMask = 0x00FF;
constexpr int kControlModifierShift = 8;

struct TModifier {
    TShortCut ShortCut;
    std::uint8_t ControlFlag;
    const char* Text;
};

// In the order the text names them.
constexpr TModifier kModifiers[] = {
    {scShift, 0x01, "Shift+"},
    {scCtrl, 0x02, "Ctrl+"},
    {scAlt, 0x04, "Alt+"},
};
constexpr std::uint8_t kExtendedKeyFlag = 0x08;

struct TKeyRange {
    std::uint8_t First;
    std::uint8_t Last;
};

// Keys the hot-key control names by the extended scan code, not the number pad's.
constexpr TKeyRange kExtendedKeys[] = {
    {0x21, 0x28},  // PgUp, PgDn, End, Home and the arrows
    {0x2D, 0x2E},  // Ins, Del
    {0x5B, 0x5D},  // the Windows and menu keys
    {0x6F, 0x6F},  // the number pad's divide
    {0x90, 0x90},  // Num Lock
};

bool Extended(std::uint8_t key)
{
    for (const TKeyRange& range : kExtendedKeys) {
        if (key >= range.First && key <= range.Last)
            return true;
    }
    return false;
}

struct TNamedKey {
    std::uint8_t Key;
    const char* Name;
};

constexpr TNamedKey kNamedKeys[] = {
    {0x08, "BkSp"}, {0x09, "Tab"},   {0x0D, "Enter"}, {0x1B, "Esc"},  {0x20, "Space"},
    {0x21, "PgUp"}, {0x22, "PgDn"},  {0x23, "End"},   {0x24, "Home"}, {0x25, "Left"},
    {0x26, "Up"},   {0x27, "Right"}, {0x28, "Down"},  {0x2D, "Ins"},  {0x2E, "Del"},
};

constexpr std::uint8_t kDigit0 = 0x30;
constexpr std::uint8_t kDigit9 = 0x39;
constexpr std::uint8_t kLetterA = 0x41;
constexpr std::uint8_t kLetterZ = 0x5A;
constexpr std::uint8_t kPadDigit0 = 0x60;
constexpr std::uint8_t kPadDigit9 = 0x69;
constexpr std::uint8_t kF1 = 0x70;
constexpr std::uint8_t kF24 = 0x87;

std::string KeyName(std::uint8_t key, const TKeyNameLookup& otherKeyName)
{
    for (const TNamedKey& named : kNamedKeys) {
        if (named.Key == key)
            return named.Name;
    }
    if ((key >= kDigit0 && key <= kDigit9) || (key >= kLetterA && key <= kLetterZ))
        return std::string(1, static_cast<char>(key));
    if (key >= kPadDigit0 && key <= kPadDigit9)
        return std::string(1, static_cast<char>('0' + key - kPadDigit0));
    if (key >= kF1 && key <= kF24)
        return "F" + std::to_string(key - kF1 + 1);
    return key != 0 && otherKeyName ? otherKeyName(key) : std::string();
}

}  // namespace

std::uint8_t ShortCutKey(TShortCut shortCut) { return static_cast<std::uint8_t>(shortCut & kKeyMask); }

std::uint16_t HotKeyControlValue(TShortCut shortCut)
{
    const std::uint8_t key = ShortCutKey(shortCut);
    std::uint8_t flags = Extended(key) ? kExtendedKeyFlag : 0;
    for (const TModifier& modifier : kModifiers) {
        if (shortCut & modifier.ShortCut)
            flags |= modifier.ControlFlag;
    }
    return static_cast<std::uint16_t>(key | flags << kControlModifierShift);
}

TShortCut ShortCutOfHotKeyControl(std::uint16_t value)
{
    const auto flags = static_cast<std::uint8_t>(value >> kControlModifierShift);
    TShortCut shortCut = value & kKeyMask;
    for (const TModifier& modifier : kModifiers) {
        if (flags & modifier.ControlFlag)
            shortCut |= modifier.ShortCut;
    }
    return shortCut;
}

std::string ShortCutToText(TShortCut shortCut, const TKeyNameLookup& otherKeyName)
{
    const std::string name = KeyName(ShortCutKey(shortCut), otherKeyName);
    if (name.empty())
        return name;
    std::string text;
    for (const TModifier& modifier : kModifiers) {
        if (shortCut & modifier.ShortCut)
            text += modifier.Text;
    }
    return text + name;
}
