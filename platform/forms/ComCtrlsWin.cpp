#include "platform/forms/ComCtrls.h"

#include <commctrl.h>
#include <oleauto.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kRepeatForever = -1;

}  // namespace

int TTrackBar::Min() const { return static_cast<int>(Perform(TBM_GETRANGEMIN)); }

int TTrackBar::Max() const { return static_cast<int>(Perform(TBM_GETRANGEMAX)); }

// A new range may move the position into it; that runs no event.
void TTrackBar::SetRange(int min, int max)
{
    Perform(TBM_SETRANGEMIN, FALSE, min);
    Perform(TBM_SETRANGEMAX, TRUE, max);
    position_ = Position();
}

int TTrackBar::Position() const { return static_cast<int>(Perform(TBM_GETPOS)); }

void TTrackBar::SetPosition(int position)
{
    position = std::clamp(position, Min(), Max());
    if (position == Position())
        return;
    Perform(TBM_SETPOS, TRUE, position);
    position_ = position;
    if (OnChange)
        OnChange(this);
}

void TTrackBar::SetFrequency(int frequency) const { Perform(TBM_SETTICFREQ, static_cast<WPARAM>(frequency)); }

void TTrackBar::SetTick(int position) const { Perform(TBM_SETTIC, 0, position); }

void TTrackBar::ClearTicks() const { Perform(TBM_CLEARTICS, TRUE); }

void TTrackBar::SetSelection(int start, int end) const
{
    Perform(TBM_SETSELSTART, FALSE, start);
    Perform(TBM_SETSELEND, TRUE, end);
}

void TTrackBar::Attached() { position_ = Position(); }

void TTrackBar::Scrolled()
{
    int position = Position();
    if (position == position_)
        return;
    position_ = position;
    if (OnChange)
        OnChange(this);
}

int TUpDown::Min() const
{
    int min = 0;
    Perform(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&min), 0);
    return min;
}

int TUpDown::Max() const
{
    int max = 0;
    Perform(UDM_GETRANGE32, 0, reinterpret_cast<LPARAM>(&max));
    return max;
}

void TUpDown::SetRange(int min, int max) const { Perform(UDM_SETRANGE32, static_cast<WPARAM>(min), max); }

int TUpDown::Position() const { return static_cast<int>(Perform(UDM_GETPOS32)); }

void TUpDown::SetPosition(int position)
{
    position = std::clamp(position, std::min(Min(), Max()), std::max(Min(), Max()));
    if (position == Position())
        return;
    Perform(UDM_SETPOS32, 0, position);
    Changed(position);
}

void TUpDown::SetAssociate(const TControl& buddy) const
{
    Perform(UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy.Handle()));
}

void TUpDown::Attached() { position_ = Position(); }

bool TUpDown::Notify(const NMHDR& header, LRESULT& result)
{
    if (header.code != UDN_DELTAPOS || !OnChanging)
        return false;
    bool allow = true;
    OnChanging(this, allow);
    result = allow ? FALSE : TRUE;
    return true;
}

void TUpDown::Scrolled()
{
    int position = Position();
    if (position != position_)
        Changed(position);
}

void TUpDown::Changed(int position)
{
    TUDBtnType button = position > position_ ? btNext : btPrev;
    position_ = position;
    if (OnClick)
        OnClick(this, button);
}

TShortCut THotKey::HotKey() const
{
    return ShortCutOfHotKeyControl(static_cast<std::uint16_t>(Perform(HKM_GETHOTKEY)));
}

void THotKey::SetHotKey(TShortCut shortCut) const { Perform(HKM_SETHOTKEY, HotKeyControlValue(shortCut)); }

void THotKey::Command(WORD code)
{
    if (code == EN_CHANGE && OnChange)
        OnChange(this);
}

TDateTime TDateTimePicker::DateTime() const
{
    SYSTEMTIME time{};
    Perform(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time));
    DATE value = 0;
    SystemTimeToVariantTime(&time, &value);
    return value;
}

void TDateTimePicker::SetDateTime(TDateTime value) const
{
    SYSTEMTIME time{};
    if (VariantTimeToSystemTime(value, &time))
        Perform(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

TDateTime TDateTimePicker::Time() const
{
    TDateTime value = DateTime();
    return value - std::floor(value);
}

void TDateTimePicker::SetTime(TDateTime time) const { SetDateTime(std::floor(DateTime()) + time - std::floor(time)); }

TDateTimeKind TDateTimePicker::Kind() const
{
    return (GetWindowLongA(Handle(), GWL_STYLE) & DTS_TIMEFORMAT) == DTS_TIMEFORMAT ? dtkTime : dtkDate;
}

void TDateTimePicker::SetFormat(const std::string& format) const
{
    Perform(DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>(format.c_str()));
}

bool TDateTimePicker::Notify(const NMHDR& header, LRESULT& result)
{
    if (header.code != DTN_DATETIMECHANGE)
        return false;
    if (OnChange)
        OnChange(this);
    result = 0;
    return true;
}

bool TAnimate::SetResName(const std::string& name) const
{
    return Perform(ACM_OPENA, reinterpret_cast<WPARAM>(GetModuleHandleA(nullptr)),
                   reinterpret_cast<LPARAM>(name.c_str())) != FALSE;
}

bool TAnimate::SetResId(int id) const
{
    return Perform(ACM_OPENA, reinterpret_cast<WPARAM>(GetModuleHandleA(nullptr)),
                   reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(id))) != FALSE;
}

void TAnimate::SetActive(bool active)
{
    active_ = active;
    Play(IsWindowVisible(Handle()) != FALSE);
}

void TAnimate::FormShown(bool shown) { Play(shown && Visible()); }

void TAnimate::WndProc(TMessage& message)
{
    // Shown or hidden itself, while its form stays as it is.
    if (message.Msg == WM_SHOWWINDOW && message.LParam == 0)
        Play(message.WParam && IsWindowVisible(GetAncestor(Handle(), GA_ROOT)));
    TControl::WndProc(message);
}

void TAnimate::Play(bool shown)
{
    playing_ = active_ && shown && Perform(ACM_PLAY, static_cast<WPARAM>(kRepeatForever), MAKELONG(0, 0xFFFF)) != FALSE;
    if (!playing_)
        Perform(ACM_STOP);
}

bool TRichEdit::Notify(const NMHDR& header, LRESULT& result)
{
    if (header.code != EN_LINK || !OnLink)
        return false;
    OnLink(this, reinterpret_cast<const ENLINK&>(header));
    result = 0;
    return true;
}
