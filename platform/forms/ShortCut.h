#pragma once
// Shortcut words as menus and hot-key controls keep them: the virtual key in
// the low byte, Shift, Ctrl and Alt in the top three bits. Pure, so that it
// builds in every tree.

#include <cstdint>
#include <functional>
#include <string>

using TShortCut = std::uint16_t;

constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

std::uint8_t ShortCutKey(TShortCut shortCut);

// The hot-key control's value: the key in the low byte and the control's own
// modifier flags (Shift 1, Ctrl 2, Alt 4, extended key 8) in the high byte.
std::uint16_t HotKeyControlValue(TShortCut shortCut);
TShortCut ShortCutOfHotKeyControl(std::uint16_t value);

// The key's name when the key has none of its own here (punctuation, the
// number pad's operators, ...); empty when it has no name at all.
using TKeyNameLookup = std::function<std::string(std::uint8_t key)>;

// "Ctrl+Alt+F", "Shift+F5", "Alt+PgUp": the modifiers in the order Shift,
// Ctrl, Alt, then the key; empty for a key without a name.
std::string ShortCutToText(TShortCut shortCut, const TKeyNameLookup& otherKeyName);
