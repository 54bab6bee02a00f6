#pragma once
// What the board shows a user, read back from its windows as UTF-16: every
// control's caption, every hint of its tooltip, every list item and every
// item of the tray menu.

#include "player/window/MainForm.h"

#include <map>
#include <string>

// By place: "caption PlayCheckBox", "hint VolumeTrackBar", "item RainComboBox 2",
// "menu Exit"; the board's own caption is "caption board".
using TShownTexts = std::map<std::string, std::wstring>;

TShownTexts ShownTexts(TOvelMainForm& board);

// The control's name in the board's control table; empty for none.
std::string ControlName(HWND control);

// Text of the code page as the windows show it.
std::wstring Decoded(const std::string& text, unsigned codePage);

// The values of the board's settings key, by name.
std::map<std::string, std::string> StoredSettings();

// Chooses the module in the language list as a user does.
void ChooseLanguage(TOvelMainForm& board, int module);
