#include "platform/forms/Controls.h"

#include "platform/forms/Charsets.h"
#include "platform/forms/Forms.h"

#include <windowsx.h>

#include <algorithm>
#include <mutex>
#include <unordered_map>

namespace {

// Which control a subclassed window belongs to and its own procedure. Kept in
// the process, not in window properties: every control message looks it up,
// and a property is a round trip to the window server under Wine.
struct TSubclass {
    TControl* Control;
    WNDPROC Original;
};

std::mutex SubclassesLock;
std::unordered_map<HWND, TSubclass>& Subclasses()
{
    static std::unordered_map<HWND, TSubclass> subclasses;
    return subclasses;
}

TSubclass FindSubclass(HWND window)
{
    std::lock_guard<std::mutex> guard(SubclassesLock);
    const auto found = Subclasses().find(window);
    return found != Subclasses().end() ? found->second : TSubclass{nullptr, nullptr};
}

void ForgetSubclass(HWND window)
{
    std::lock_guard<std::mutex> guard(SubclassesLock);
    Subclasses().erase(window);
}

// Ids of controls made in code start above those of the templates.
constexpr int kFirstMadeControlId = 0x7000;

TShiftState MouseShiftState(WPARAM keys)
{
    TShiftState shift = 0;
    if (keys & MK_SHIFT)
        shift |= ssShift;
    if (keys & MK_CONTROL)
        shift |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0)
        shift |= ssAlt;
    if (keys & MK_LBUTTON)
        shift |= ssLeft;
    if (keys & MK_RBUTTON)
        shift |= ssRight;
    if (keys & MK_MBUTTON)
        shift |= ssMiddle;
    return shift;
}

bool IsButtonDown(UINT message)
{
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
}

bool IsButtonUp(UINT message) { return message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP; }

TMouseButton ButtonOf(UINT message)
{
    switch (message) {
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            return TMouseButton::mbRight;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            return TMouseButton::mbMiddle;
        default:
            return TMouseButton::mbLeft;
    }
}

}  // namespace

HFONT WindowFont(HWND window) { return reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)); }

std::u16string WideWindowText(HWND window)
{
    std::u16string text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, u'\0');
    text.resize(static_cast<size_t>(
        GetWindowTextW(window, reinterpret_cast<wchar_t*>(text.data()), static_cast<int>(text.size()))));
    return text;
}

void SetWideWindowText(HWND window, const std::u16string& text) { SetWindowTextW(window, WidePointer(text)); }

unsigned FontCodePage(HFONT font)
{
    LOGFONTW description{};
    const int charset =
        font && GetObjectW(font, sizeof description, &description) ? description.lfCharSet : kDefaultCharset;
    return CodePageOfCharset(charset);
}

TControl::~TControl()
{
    HWND owned = ownsWindow_ ? handle_ : nullptr;
    ReleaseWindows();
    if (form_)
        form_->RemoveControl(*this);
    if (owned) {
        form_->RemoveChild(owned);
        DestroyWindow(owned);
    }
    if (brush_)
        DeleteObject(brush_);
    if (font_)
        DeleteObject(font_);
    Screen.ControlDestroyed(this);
}

bool TControl::Attach(TForm& form, int id)
{
    HWND window = GetDlgItem(form.Handle(), id);
    if (!window)
        return false;
    ReleaseWindows();
    form_ = &form;
    handle_ = window;
    form.AddControl(*this);
    Subclass(window);
    Attached();
    return true;
}

bool TControl::CreateIn(TForm& form, const char* windowClass, DWORD style, const RECT& bounds)
{
    int id = kFirstMadeControlId;
    while (GetDlgItem(form.Handle(), id))
        ++id;
    HWND window =
        CreateWindowExA(0, windowClass, "", style | WS_CHILD, bounds.left, bounds.top, bounds.right - bounds.left,
                        bounds.bottom - bounds.top, form.Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                        GetModuleHandleA(nullptr), nullptr);
    if (!window)
        return false;
    SendMessageA(window, WM_SETFONT, static_cast<WPARAM>(SendMessageA(form.Handle(), WM_GETFONT, 0, 0)), FALSE);
    form.AddChild(window);
    ownsWindow_ = Attach(form, id);
    return ownsWindow_;
}

int TControl::Id() const { return GetDlgCtrlID(handle_); }

void TControl::Subclass(HWND window)
{
    {
        // Registered before the procedure changes: its first message already looks it up.
        std::lock_guard<std::mutex> guard(SubclassesLock);
        Subclasses()[window] = {this, reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC))};
    }
    // A wide procedure makes the window take its text as UTF-16.
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc));
    subclassed_.push_back(window);
}

void TControl::ReleaseWindows()
{
    for (HWND window : subclassed_) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FindSubclass(window).Original));
        ForgetSubclass(window);
    }
    subclassed_.clear();
    handle_ = nullptr;
}

void TControl::Rebind(HWND window)
{
    HWND old = handle_;
    ReleaseWindows();
    handle_ = window;
    form_->ReplaceChild(old, window);
    Subclass(window);
    form_->UpdateHint(*this);
}

LRESULT CALLBACK TControl::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    TControl* control = FindSubclass(window).Control;
    TMessage hooked{window, message, wParam, lParam, 0};
    control->WndProc(hooked);
    if (message == WM_NCDESTROY) {
        auto& windows = control->subclassed_;
        windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
        ForgetSubclass(window);
        if (window == control->handle_)
            control->handle_ = nullptr;
    }
    return hooked.Result;
}

void TControl::DefaultHandler(TMessage& message) const
{
    const WNDPROC original = FindSubclass(message.Window).Original;
    message.Result = CallWindowProcW(original, message.Window, message.Msg, message.WParam, message.LParam);
}

void TControl::WndProc(TMessage& message)
{
    switch (message.Msg) {
        case WM_SETCURSOR:
            if (Cursors(message))
                return;
            break;
        case WM_SETFOCUS:
            Screen.SetActiveControl(this);
            if (OnEnter)
                OnEnter(this);
            break;
        case WM_KILLFOCUS:
            if (OnExit)
                OnExit(this);
            break;
        default:
            if (message.Msg >= WM_MOUSEFIRST && message.Msg <= WM_MBUTTONUP) {
                Mouse(message);
                return;
            }
            break;
    }
    DefaultHandler(message);
}

bool TControl::Cursors(TMessage& message) const
{
    if (LOWORD(message.LParam) != HTCLIENT || !ApplyCursor(Cursor))
        return false;
    message.Result = TRUE;
    return true;
}

// Press and move events come before the control's own handling, release
// events after it (a button still needs its capture to report the click).
void TControl::Mouse(TMessage& message)
{
    if (form_)
        form_->RelayToHint(message.Window, message.Msg, message.WParam, message.LParam);
    int x = GET_X_LPARAM(message.LParam);
    int y = GET_Y_LPARAM(message.LParam);
    TShiftState shift = MouseShiftState(message.WParam);
    if (message.Msg == WM_MOUSEMOVE && OnMouseMove)
        OnMouseMove(this, shift, x, y);
    if (IsButtonDown(message.Msg)) {
        if (OnMouseMove && GetCapture() != message.Window)
            SetCapture(message.Window);  // drags go on outside the control
        if (OnMouseDown)
            OnMouseDown(this, ButtonOf(message.Msg), shift, x, y);
    }
    DefaultHandler(message);
    if (IsButtonUp(message.Msg)) {
        if (OnMouseMove && GetCapture() == message.Window)
            ReleaseCapture();
        if (OnMouseUp)
            OnMouseUp(this, ButtonOf(message.Msg), shift, x, y);
    }
}

bool TControl::Visible() const { return form_ && form_->ChildVisible(handle_); }

void TControl::SetVisible(bool visible)
{
    if (form_)
        form_->SetChildVisible(handle_, visible);
}

bool TControl::Enabled() const { return form_ && form_->ChildEnabled(handle_); }

void TControl::SetEnabled(bool enabled)
{
    if (form_)
        form_->SetChildEnabled(handle_, enabled);
}

void TControl::SetHint(const std::string& hint)
{
    hint_ = hint;
    hintCodePage_ = form_ ? form_->CodePage() : CodePageOfCharset(kDefaultCharset);
    if (form_)
        form_->UpdateHint(*this);
}

void TControl::SetShowHint(bool show)
{
    showHint_ = show;
    if (form_)
        form_->UpdateHint(*this);
}

std::string TControl::Caption() const { return FromUtf16(WideWindowText(handle_), CodePage()); }

void TControl::SetCaption(const std::string& caption) { SetWideWindowText(handle_, ToUtf16(caption, CodePage())); }

unsigned TControl::CodePage() const { return FontCodePage(WindowFont(handle_)); }

void TControl::ReplaceFont(const std::function<void(LOGFONTW&)>& change)
{
    LOGFONTW font{};
    GetObjectW(WindowFont(handle_), sizeof font, &font);
    change(font);
    HFONT made = CreateFontIndirectW(&font);
    SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(made), TRUE);
    if (font_)
        DeleteObject(font_);
    font_ = made;
}

void TControl::SetFontCharset(BYTE charset)
{
    ReplaceFont([charset](LOGFONTW& font) { font.lfCharSet = charset; });
}

int TControl::TextWidth(const std::string& text) const
{
    HDC dc = GetDC(handle_);
    HGDIOBJ previous = SelectObject(dc, WindowFont(handle_));
    const std::u16string wide = ToUtf16(text, CodePage());
    SIZE size{};
    GetTextExtentPoint32W(dc, WidePointer(wide), static_cast<int>(wide.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(handle_, dc);
    return size.cx;
}

RECT TControl::Bounds() const
{
    RECT rect{};
    GetWindowRect(handle_, &rect);
    MapWindowPoints(nullptr, GetParent(handle_), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int TControl::Width() const
{
    RECT rect = Bounds();
    return rect.right - rect.left;
}

int TControl::Height() const
{
    RECT rect = Bounds();
    return rect.bottom - rect.top;
}

void TControl::SetBounds(int left, int top, int width, int height)
{
    MoveWindow(handle_, left, top, width, height, TRUE);
}

void TControl::SetColor(TColor color)
{
    color_ = color;
    ReplaceSolidBrush(brush_, color);
    Invalidate();
}

void TControl::SetFontColor(TColor color)
{
    fontColor_ = color;
    Invalidate();
}

void TControl::SetFont(int height, bool italic)
{
    ReplaceFont([height, italic](LOGFONTW& font) {
        font.lfHeight = height;
        font.lfItalic = italic ? TRUE : FALSE;
    });
}

void TControl::SetFont(const std::string& face, int height, bool bold)
{
    ReplaceFont([&face, height, bold](LOGFONTW& font) {
        const std::wstring wide(face.begin(), face.end());
        lstrcpynW(font.lfFaceName, wide.c_str(), LF_FACESIZE);
        font.lfHeight = height;
        font.lfWidth = 0;
        font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    });
}

void TControl::Reparent(const TControl& container, int left, int top) const
{
    if (form_)
        form_->Reparent(handle_, container.Handle(), left, top);
}

LRESULT TControl::Perform(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return SendMessageA(handle_, message, wParam, lParam);
}

void TControl::SetFocus() const { ::SetFocus(handle_); }

bool TControl::Focused() const { return handle_ && GetFocus() == handle_; }

void TControl::Invalidate() const { InvalidateRect(handle_, nullptr, TRUE); }

void TControl::Repaint() const
{
    Invalidate();
    UpdateWindow(handle_);
}

void TControl::SetStyleBits(DWORD add, DWORD remove) const
{
    auto style = static_cast<DWORD>(GetWindowLongW(handle_, GWL_STYLE));
    SetWindowLongW(handle_, GWL_STYLE, static_cast<LONG>((style & ~remove) | add));
}

void TContainer::Attached()
{
    for (HWND child : Form()->ChildrenWithin(Handle()))
        Form()->AddToContainer(Handle(), child);
}

void TContainer::Include(const TControl& control) const { Form()->AddToContainer(Handle(), control.Handle()); }
