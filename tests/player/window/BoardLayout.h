#pragma once
// How the board's captions sit in their controls once a language is applied,
// as findings a test expects to be none: "WindCheckBox passes its bound by 12 px",
// "PlayCheckBox \"Sound\" needs 62 of 60 px" (captions in UTF-8).

#include "player/window/MainForm.h"

#include <string>
#include <vector>

// Boxes widened to their captions that pass the right edge of their group
// box, or of the board.
std::vector<std::string> BoxesPastTheirBounds(TOvelMainForm& board);

// Captions and list items that do not show whole in their controls.
std::vector<std::string> CutCaptions(TOvelMainForm& board);

// Boxes widened to their captions that run into another control.
std::vector<std::string> BoxesRunningIntoOthers(TOvelMainForm& board);
