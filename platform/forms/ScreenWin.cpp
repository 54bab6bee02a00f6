#include "platform/forms/Screen.h"

TScreen Screen;

namespace {

LPCSTR SystemCursor(TCursor cursor)
{
    switch (cursor) {
        case crHourGlass:
            return IDC_WAIT;
        case crHandPoint:
            return IDC_HAND;
        case crAppStart:
            return IDC_APPSTARTING;
        case crSizeNS:
        case crVSplit:  // when the program draws none of its own
            return IDC_SIZENS;
        case crSizeWE:
        case crHSplit:
            return IDC_SIZEWE;
        default:
            return IDC_ARROW;
    }
}

HCURSOR CursorHandle(TCursor cursor)
{
    if (cursor == crVSplit) {
        if (HCURSOR own = LoadCursorA(GetModuleHandleA(nullptr), kVSplitCursorName))
            return own;
    }
    return LoadCursorA(nullptr, SystemCursor(cursor));
}

}  // namespace

bool ApplyCursor(TCursor own)
{
    TCursor shown = Screen.Cursor() != crDefault ? Screen.Cursor() : own;
    if (shown == crDefault)
        return false;
    ::SetCursor(CursorHandle(shown));
    return true;
}

void TScreen::SetCursor(TCursor cursor)
{
    cursor_ = cursor;
    ::SetCursor(CursorHandle(cursor));
}

void TScreen::SetActiveControl(TControl* control)
{
    if (control == activeControl_)
        return;
    activeControl_ = control;
    if (OnActiveControlChange)
        OnActiveControlChange(nullptr);
}

void TScreen::ControlDestroyed(const TControl* control)
{
    if (activeControl_ == control)
        activeControl_ = nullptr;
}
