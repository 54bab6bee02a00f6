#pragma once
// The board's own windows: the About window, the alarm clock, the power-off
// countdown, the hot-key editor and the update window. Each lives in its form
// variable from its making until after its free, so that the board can tell
// whether one is open: while one is, the control-board hot key leaves the
// board as it is.

#include "platform/forms/Forms.h"

// Makes the window into its variable, shows it modally, then frees it and
// clears the variable, whatever happens in between.
template <typename TWindow>
int ShowOwnWindow(TWindow*& variable)
{
    struct TForget {
        TWindow*& Variable;
        ~TForget()
        {
            delete Variable;
            Variable = nullptr;
        }
    } forget{variable};
    variable = new TWindow;
    return variable->Created() ? variable->ShowModal() : mrNone;
}

// True while any of them exists (a scheduled update check counts, as its
// window's object exists meanwhile).
bool OwnWindowOpen();
