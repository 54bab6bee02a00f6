#pragma once
// The board's global hot keys: the actions, their shortcuts and atoms, and
// the shortcut's registration values. Pure, so that it builds in every tree;
// registration and dispatch are the board's (MainFormHotKeysWin.cpp).

#include "platform/forms/ShortCut.h"

#include <cstdint>

enum THotKeyAction : int {
#define OVEL_HOT_KEY(Name, AtomName, RegistryValue, LabelKey, MenuItem) hk##Name,
#include "player/window/HotKeyActions.h"
#undef OVEL_HOT_KEY
    kHotKeyActionCount
};

struct THotKeyNames {
    const char* Atom;
    const char* RegistryValue;
    const char* LabelKey;
};

constexpr THotKeyNames kHotKeyNames[kHotKeyActionCount] = {
#define OVEL_HOT_KEY(Name, AtomName, RegistryValue, LabelKey, MenuItem) {AtomName, RegistryValue, LabelKey},
#include "player/window/HotKeyActions.h"
#undef OVEL_HOT_KEY
};

// The switches' registry values (booleans); each action's shortcut has its own in kHotKeyNames.
constexpr const char* kUseHotKeysValue = "UseHotKeys";
constexpr const char* kReportStartSCDenyValue = "ReportStartSCDeny";

extern bool UseHotKeys;         // off when its value is absent
extern bool ReportStartSCDeny;  // refusals at the board's start are reported
// Each action's shortcut; 0 for none.
extern TShortCut HotKeyShortCuts[kHotKeyActionCount];
// Each action's global atom, the identifier of its registration; 0 while it holds none.
extern std::uint16_t HotKeyAtoms[kHotKeyActionCount];

// The registration's modifiers: Alt 1, Ctrl 2, Shift 4 (never the Windows key,
// which a shortcut word cannot hold).
unsigned HotKeyModifiers(TShortCut shortCut);

// A stored value as a shortcut: only its low 16 bits are the word.
TShortCut StoredShortCut(std::int32_t value);

// Whether an action already has this shortcut, compared as whole words,
// modifiers included; never for 0.
bool ShortCutInUse(TShortCut shortCut);
