#include "player/window/HotKeys.h"

#include <algorithm>
#include <iterator>

bool UseHotKeys = false;
bool ReportStartSCDeny = false;
TShortCut HotKeyShortCuts[kHotKeyActionCount] = {};
std::uint16_t HotKeyAtoms[kHotKeyActionCount] = {};

namespace {

struct TModifier {
    TShortCut ShortCut;
    unsigned Registration;
};

constexpr TModifier kModifiers[] = {
    {scAlt, 0x1},
    {scCtrl, 0x2},
    {scShift, 0x4},
};

constexpr std::uint32_t kWordMask = 0xFFFF;

}  // namespace

unsigned HotKeyModifiers(TShortCut shortCut)
{
    unsigned modifiers = 0;
    for (const TModifier& modifier : kModifiers) {
        if (shortCut & modifier.ShortCut)
            modifiers |= modifier.Registration;
    }
    return modifiers;
}

TShortCut StoredShortCut(std::int32_t value)
{
    return static_cast<TShortCut>(static_cast<std::uint32_t>(value) & kWordMask);
}

bool ShortCutInUse(TShortCut shortCut)
{
    return shortCut != 0 &&
           std::find(std::begin(HotKeyShortCuts), std::end(HotKeyShortCuts), shortCut) != std::end(HotKeyShortCuts);
}
