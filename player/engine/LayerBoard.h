#pragma once
// The engine's view of the board: a control by its name in the board's
// control table, read as the state the layers need of it (a box's Checked,
// a track bar's Position, a combo box's ItemIndex), and the few looks the
// layers change on it. The board answers from its live controls, and before
// it exists the stored settings answer; the layers ask only on the GUI thread.

#include <string>

enum class TBoardControl {
#define OVEL_BOARD_CONTROL(Name, Kind, Container) Name,
#include "resources/player/BoardControls.h"
#undef OVEL_BOARD_CONTROL
};

enum class TLook {
    Shown,
    Hidden,
    Enabled,
    Hint,  // the control's hint becomes the text
};

class TLayerBoard {
public:
    virtual ~TLayerBoard() = default;

    // Checked as 1 or 0 (2 for a grayed three-state box), Position or
    // ItemIndex (-1: none chosen), by the kind of the control; 0 for a
    // control without such a state.
    virtual int Value(TBoardControl control) const = 0;

    // text is used by TLook::Hint only.
    virtual void SetLook(TBoardControl control, TLook look, const std::string& text) = 0;

    bool Checked(TBoardControl control) const { return Value(control) != 0; }
    int Position(TBoardControl control) const { return Value(control); }
    int ItemIndex(TBoardControl control) const { return Value(control); }

    void ShowControl(TBoardControl control, bool shown = true)
    {
        SetLook(control, shown ? TLook::Shown : TLook::Hidden, {});
    }
    void HideControl(TBoardControl control) { ShowControl(control, false); }
    void EnableControl(TBoardControl control) { SetLook(control, TLook::Enabled, {}); }
    void SetControlHint(TBoardControl control, const std::string& hint) { SetLook(control, TLook::Hint, hint); }
};
