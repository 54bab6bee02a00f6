#pragma once
// The screen object: a cursor for the whole program and the focused control.

#include "platform/forms/Classes.h"

enum TCursor {
    crDefault,
    crArrow,
    crHourGlass,
    crHandPoint,
    crSizeNS,
    crSizeWE,
    crVSplit,
    crHSplit,
    crAppStart
};

// A program's own cursor for crVSplit, a CURSOR resource of this name.
constexpr const char* kVSplitCursorName = "VSPLIT";

class TControl;

class TScreen {
public:
    // Any cursor but crDefault overrides every control's own cursor.
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor);

    TControl* ActiveControl() const { return activeControl_; }
    // Runs OnActiveControlChange when the focus moves to another control.
    void SetActiveControl(TControl* control);
    TNotifyEvent OnActiveControlChange;
    // A control going away stops being the active one, silently.
    void ControlDestroyed(const TControl* control);

private:
    TCursor cursor_ = crDefault;
    TControl* activeControl_ = nullptr;
};

extern TScreen Screen;

// Shows the cursor for a window (WM_SETCURSOR): the screen's if set, else the
// given one; false when both are crDefault.
bool ApplyCursor(TCursor own);
