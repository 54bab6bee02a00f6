#include "platform/forms/Forms.h"

#include "platform/forms/Application.h"
#include "platform/forms/Charsets.h"
#include "platform/forms/Controls.h"
#include "platform/forms/DialogTemplate.h"
#include "platform/forms/StdCtrls.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>

namespace {

constexpr UINT kFormClassStyle = CS_DBLCLKS;
constexpr int kMaxTipWidth = 400;
constexpr LPARAM kAltDownBit = LPARAM(1) << 29;

void SizeClientArea(HWND form, int width, int height)
{
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(form, GWL_STYLE)), GetMenu(form) != nullptr,
                       static_cast<DWORD>(GetWindowLongA(form, GWL_EXSTYLE)));
    SetWindowPos(form, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The dialog manager placed the controls by the font's base units; this puts
// them, and the form's client area, where the design's units put them. The
// children stand in template order.
void LayOutAsDesigned(HWND form, const TDialogTemplate& dialog)
{
    size_t index = 0;
    for (HWND child = GetWindow(form, GW_CHILD); child && index < dialog.Items.size();
         child = GetWindow(child, GW_HWNDNEXT), ++index) {
        const TTemplateItem& item = dialog.Items[index];
        // Ids compare as 16-bit words: a wide dialog gives an unnamed control -1, not 0xFFFF.
        if (static_cast<WORD>(GetDlgCtrlID(child)) != static_cast<WORD>(item.Id))
            continue;
        const TTemplateRect pixels = ItemPixels(item);
        MoveWindow(child, pixels.Left, pixels.Top, pixels.Width, pixels.Height, FALSE);
    }
    const TTemplateRect client = DesignPixels(dialog.Rect);
    SizeClientArea(form, client.Width, client.Height);
}

TShiftState KeyShiftState(const MSG& message)
{
    TShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        shift |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0)
        shift |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0 || (message.message == WM_SYSKEYDOWN && (message.lParam & kAltDownBit)))
        shift |= ssAlt;
    return shift;
}

bool Contains(const std::vector<HWND>& windows, HWND window)
{
    return std::find(windows.begin(), windows.end(), window) != windows.end();
}

long Area(const RECT& rect) { return long(rect.right - rect.left) * (rect.bottom - rect.top); }

RECT WindowRect(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

bool IsColorMessage(UINT message) { return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC; }

// The form's own colours reach only its background, labels and buttons;
// edits and lists keep their window colours unless a control asks.
bool TakesFormColors(UINT message)
{
    return message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN || message == WM_CTLCOLORDLG;
}

BOOL CALLBACK GiveFont(HWND child, LPARAM font)
{
    SendMessageA(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
    return TRUE;
}

}  // namespace

TForm::~TForm()
{
    OnDestroy = nullptr;
    OnHide = nullptr;
    if (handle_)
        DestroyWindow(handle_);
    if (font_)
        DeleteObject(font_);
    if (brush_)
        DeleteObject(brush_);
}

bool TForm::CreateFromTemplate(LPCSTR templateName, HINSTANCE module)
{
    if (!module)
        module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, templateName, reinterpret_cast<LPCSTR>(RT_DIALOG));
    const void* bytes = resource ? LockResource(LoadResource(module, resource)) : nullptr;
    const std::optional<TDialogTemplate> dialog =
        bytes ? ReadDialogTemplate(bytes, SizeofResource(module, resource)) : std::nullopt;
    if (!dialog)
        return false;
    const unsigned systemPage = CodePageOfCharset(kDefaultCharset);
    const std::string className = FromUtf16(dialog->ClassName, systemPage);
    if (!className.empty() && !RegisterTemplateClass(className))
        return false;
    // A wide dialog and wide controls take their texts as UTF-16.
    handle_ = CreateDialogIndirectParamW(module, static_cast<LPCDLGTEMPLATEW>(bytes), Application.Handle(), DialogProc,
                                         reinterpret_cast<LPARAM>(this));
    if (!handle_)
        return false;
    LayOutAsDesigned(handle_, *dialog);
    dialogProc_ =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FormProc)));
    ShowWindow(handle_, SW_HIDE);
    TrackChildren();
    Application.AddForm(*this);
    AttachControls();
    if (OnCreate)
        OnCreate(this);
    return true;
}

bool TForm::RegisterTemplateClass(const std::string& templateClass)
{
    HINSTANCE module = GetModuleHandleW(nullptr);
    const unsigned systemPage = CodePageOfCharset(kDefaultCharset);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (GetClassInfoExW(module, WidePointer(ToUtf16(templateClass, systemPage)), &windowClass))
        return true;
    TCreateParams params{templateClass, kFormClassStyle};
    CreateParams(params);
    if (lstrcmpiA(params.WindowClassName.c_str(), templateClass.c_str()) != 0)
        return false;  // the dialog manager looks the template's name up
    windowClass.style = params.WindowClassStyle;
    windowClass.lpfnWndProc = DefDlgProcW;
    windowClass.cbWndExtra = DLGWINDOWEXTRA;
    windowClass.hInstance = module;
    // A handle of the class's own: whoever set the application's icon may
    // replace and destroy it while the class lives on.
    windowClass.hIcon = Application.Icon ? CopyIcon(Application.Icon) : nullptr;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    const std::u16string name = ToUtf16(params.WindowClassName, systemPage);
    windowClass.lpszClassName = WidePointer(name);
    return RegisterClassExW(&windowClass) != 0;
}

INT_PTR CALLBACK TForm::DialogProc(HWND window, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    SetWindowLongPtrA(window, GWLP_USERDATA, lParam);
    return TRUE;
}

LRESULT CALLBACK TForm::FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* form = reinterpret_cast<TForm*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    TMessage hooked{window, message, wParam, lParam, 0};
    form->WndProc(hooked);
    return hooked.Result;
}

void TForm::DefaultHandler(TMessage& message) const
{
    message.Result = CallWindowProcW(dialogProc_, message.Window, message.Msg, message.WParam, message.LParam);
}

void TForm::WndProc(TMessage& message)
{
    switch (message.Msg) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_HSCROLL:
        case WM_VSCROLL:
        case WM_DRAWITEM:
            if (Reflect(message))
                return;
            break;
        case WM_ERASEBKGND:
            if (brush_) {
                RECT client;
                GetClientRect(handle_, &client);
                FillRect(reinterpret_cast<HDC>(message.WParam), &client, brush_);
                message.Result = TRUE;
                return;
            }
            break;
        case WM_PAINT:
            if (OnPaint) {
                Paint();
                return;
            }
            break;
        case WM_CLOSE:
            Close();
            return;
        case WM_SETCURSOR:
            if (LOWORD(message.LParam) == HTCLIENT && ApplyCursor(crDefault)) {
                message.Result = TRUE;
                return;
            }
            break;
        case WM_SHOWWINDOW:
            if (message.LParam == 0 && (message.WParam ? OnShow : OnHide))
                (message.WParam ? OnShow : OnHide)(this);
            break;
        case WM_WINDOWPOSCHANGED: {
            const UINT flags = reinterpret_cast<const WINDOWPOS*>(message.LParam)->flags;
            if (flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) {
                for (TControl* control : controls_)
                    control->FormShown((flags & SWP_SHOWWINDOW) != 0);
            }
            break;
        }
        case WM_DESTROY:
            if (OnDestroy)
                OnDestroy(this);
            break;
        default:
            if (IsColorMessage(message.Msg) && ColorMessage(message))
                return;
            break;
    }
    DefaultHandler(message);
    if (message.Msg == WM_NCDESTROY)
        Destroyed();
}

void TForm::Destroyed()
{
    SetWindowLongPtrW(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(dialogProc_));
    SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);
    Application.RemoveForm(*this);
    handle_ = nullptr;
    tooltip_ = nullptr;
    children_.clear();
    containers_.clear();
}

TControl* TForm::ControlOf(HWND window) const
{
    for (int level = 0; level < 2 && window && window != handle_; ++level) {
        for (TControl* control : controls_) {
            if (control->Handle() == window)
                return control;
        }
        window = GetParent(window);  // the edit or list of a combo box
    }
    return nullptr;
}

TButton* TForm::CancelButton() const
{
    for (TControl* control : controls_) {
        auto* button = dynamic_cast<TButton*>(control);
        if (button && button->Cancel)
            return button;
    }
    return nullptr;
}

TControl* TForm::ControlById(int id) const
{
    for (TControl* control : controls_) {
        if (control->Id() == id)
            return control;
    }
    return nullptr;
}

bool TForm::Reflect(TMessage& message)
{
    switch (message.Msg) {
        case WM_COMMAND: {
            TControl* control = ControlOf(reinterpret_cast<HWND>(message.LParam));
            if (!control && LOWORD(message.WParam) == IDCANCEL && !ControlById(IDCANCEL)) {
                if (TButton* cancel = CancelButton()) {
                    cancel->Click();
                    return true;
                }
                if (modal_) {
                    modalResult_ = mrCancel;  // Esc closes a modal form that has no cancel button
                    return true;
                }
            }
            if (!control)
                return false;
            control->Command(HIWORD(message.WParam));
            message.Result = 0;
            return true;
        }
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(message.LParam);
            TControl* control = ControlOf(header->hwndFrom);
            return control && control->Notify(*header, message.Result);
        }
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam);
            TControl* control = ControlOf(item->hwndItem);
            if (!control || !control->DrawItem(*item))
                return false;
            message.Result = TRUE;
            return true;
        }
        default: {  // WM_HSCROLL, WM_VSCROLL from track bars and up-down controls
            TControl* control = ControlOf(reinterpret_cast<HWND>(message.LParam));
            if (!control)
                return false;
            control->Scrolled();
            message.Result = 0;
            return true;
        }
    }
}

bool TForm::ColorMessage(TMessage& message)
{
    const TControl* control = ControlOf(reinterpret_cast<HWND>(message.LParam));
    bool formColors = TakesFormColors(message.Msg);
    TColor text = control && control->FontColor() != clDefault ? control->FontColor()
                  : formColors                                 ? fontColor_
                                                               : clDefault;
    TColor back = control && control->Color() != clDefault ? control->Color() : formColors ? color_ : clDefault;
    if (text == clDefault && back == clDefault)
        return false;
    DefaultHandler(message);
    auto dc = reinterpret_cast<HDC>(message.WParam);
    if (text != clDefault)
        SetTextColor(dc, ColorToRGB(text));
    if (back != clDefault) {
        SetBkColor(dc, ColorToRGB(back));
        HBRUSH brush = control && control->BackgroundBrush() ? control->BackgroundBrush() : brush_;
        message.Result = reinterpret_cast<LRESULT>(brush);
    }
    return true;
}

void TForm::Paint()
{
    PAINTSTRUCT paint;
    canvas_.SetHandle(BeginPaint(handle_, &paint));
    OnPaint(this);
    canvas_.SetHandle(nullptr);
    EndPaint(handle_, &paint);
}

bool TForm::PreTranslate(MSG& message)
{
    if (KeyPreview && OnKeyDown && (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN)) {
        auto key = static_cast<WORD>(message.wParam);
        OnKeyDown(this, key, KeyShiftState(message));
        if (key == 0)
            return true;
    }
    return IsDialogMessageW(handle_, &message) != FALSE;
}

void TForm::Show()
{
    ShowWindow(handle_, SW_SHOW);
    BringToFront();
}

void TForm::Hide() { ShowWindow(handle_, SW_HIDE); }

bool TForm::Visible() const { return IsWindowVisible(handle_) != FALSE; }

void TForm::SetVisible(bool visible) { visible ? Show() : Hide(); }

void TForm::BringToFront() const { SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

std::string TForm::Caption() const { return FromUtf16(WideWindowText(handle_), CodePage()); }

void TForm::SetCaption(const std::string& caption) const { SetWideWindowText(handle_, ToUtf16(caption, CodePage())); }

// A dialog answers WM_GETFONT with its template's font whatever it was given later.
unsigned TForm::CodePage() const { return FontCodePage(font_ ? font_ : WindowFont(handle_)); }

RECT TForm::Bounds() const { return WindowRect(handle_); }

void TForm::SetBounds(int left, int top, int width, int height) const
{
    MoveWindow(handle_, left, top, width, height, TRUE);
}

void TForm::SetClientSize(int width, int height) const { SizeClientArea(handle_, width, height); }

void TForm::CentreOn(const TForm& form) const
{
    const RECT own = Bounds();
    const RECT other = form.Bounds();
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    SetBounds((other.left + other.right - width) / 2, (other.top + other.bottom - height) / 2, width, height);
}

void TForm::CentreOnDesktop() const
{
    RECT desktop{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &desktop, 0);
    const RECT own = Bounds();
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    SetBounds((desktop.left + desktop.right - width) / 2, (desktop.top + desktop.bottom - height) / 2, width, height);
}

void TForm::Close()
{
    if (modal_) {
        modalResult_ = mrCancel;  // the modal loop asks OnClose
        return;
    }
    TCloseAction action = caHide;
    if (OnClose)
        OnClose(this, action);
    if (action == caNone)
        return;
    if (Application.MainForm() == this)
        Application.Terminate();
    else if (action == caHide)
        Hide();
    else
        DestroyWindow(handle_);
}

int TForm::ShowModal()
{
    std::vector<HWND> disabled;
    for (const TForm* form : Application.Forms()) {
        if (form != this && IsWindowEnabled(form->Handle())) {
            EnableWindow(form->Handle(), FALSE);
            disabled.push_back(form->Handle());
        }
    }
    modal_ = true;
    modalResult_ = mrNone;
    Show();
    while (true) {
        if (!Application.HandleMessage()) {
            PostQuitMessage(0);  // the program's own loop ends too
            if (modalResult_ == mrNone)
                modalResult_ = mrCancel;
            break;
        }
        if (modalResult_ == mrNone)
            continue;
        TCloseAction action = caHide;
        if (OnClose)
            OnClose(this, action);
        if (action != caNone)
            break;
        modalResult_ = mrNone;
    }
    for (HWND window : disabled)
        EnableWindow(window, TRUE);
    Hide();
    modal_ = false;
    return modalResult_;
}

void TForm::SetColor(TColor color)
{
    color_ = color;
    ReplaceSolidBrush(brush_, color);
    RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TForm::SetFontColor(TColor color)
{
    fontColor_ = color;
    RedrawWindow(handle_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TForm::SetFontCharset(BYTE charset)
{
    LOGFONTW font{};
    GetObjectW(font_ ? font_ : WindowFont(handle_), sizeof font, &font);
    if (font.lfCharSet == charset)
        return;
    font.lfCharSet = charset;
    HFONT made = CreateFontIndirectW(&font);
    SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(made), FALSE);
    EnumChildWindows(handle_, GiveFont, reinterpret_cast<LPARAM>(made));
    if (font_)
        DeleteObject(font_);
    font_ = made;
}

void TForm::Invalidate() const { InvalidateRect(handle_, nullptr, TRUE); }

void TForm::Repaint() const
{
    Invalidate();
    UpdateWindow(handle_);
}

void TForm::AddControl(TControl& control)
{
    if (std::find(controls_.begin(), controls_.end(), &control) == controls_.end())
        controls_.push_back(&control);
}

void TForm::RemoveControl(const TControl& control)
{
    controls_.erase(std::remove(controls_.begin(), controls_.end(), &control), controls_.end());
}

void TForm::TrackChildren()
{
    for (HWND child = GetWindow(handle_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        AddChild(child);
}

std::vector<HWND> TForm::Children() const
{
    std::vector<HWND> windows;
    for (const auto& child : children_)
        windows.push_back(child.first);
    return windows;
}

bool TForm::ChildVisible(HWND child) const
{
    auto state = children_.find(child);
    return state != children_.end() ? state->second.visible : IsWindowVisible(child) != FALSE;
}

bool TForm::ChildEnabled(HWND child) const
{
    auto state = children_.find(child);
    return state != children_.end() ? state->second.enabled : IsWindowEnabled(child) != FALSE;
}

void TForm::SetChildVisible(HWND child, bool visible) { SetChildState(child, &ChildState::visible, visible); }

void TForm::SetChildEnabled(HWND child, bool enabled) { SetChildState(child, &ChildState::enabled, enabled); }

void TForm::SetChildState(HWND child, bool ChildState::*field, bool value)
{
    auto state = children_.find(child);
    if (state == children_.end()) {  // not one of the template's controls
        if (field == &ChildState::visible)
            ShowWindow(child, value ? SW_SHOWNA : SW_HIDE);
        else
            EnableWindow(child, value);
        return;
    }
    state->second.*field = value;
    ApplyChildState(child);
    auto contents = containers_.find(child);
    if (contents != containers_.end()) {
        for (HWND content : contents->second)
            ApplyChildState(content);
    }
}

// What shows is the child's own state within every container that holds it;
// a container inside another lies within its rectangle too, so one level of
// look-up covers the nesting.
void TForm::ApplyChildState(HWND child)
{
    ChildState shown = children_.at(child);
    for (const auto& [container, contents] : containers_) {
        if (container != child && Contains(contents, child)) {
            const ChildState& outer = children_.at(container);
            shown.visible = shown.visible && outer.visible;
            shown.enabled = shown.enabled && outer.enabled;
        }
    }
    bool showing = (GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE) != 0;  // whatever the form's own state
    if (showing != shown.visible)
        ShowWindow(child, shown.visible ? SW_SHOWNA : SW_HIDE);
    EnableWindow(child, shown.enabled);
}

void TForm::ReplaceChild(HWND old, HWND now)
{
    auto state = children_.find(old);
    if (state != children_.end()) {
        children_[now] = state->second;
        children_.erase(old);
    }
    for (auto& container : containers_)
        std::replace(container.second.begin(), container.second.end(), old, now);
}

void TForm::AddChild(HWND child)
{
    auto style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
    children_[child] = {(style & WS_VISIBLE) != 0, (style & WS_DISABLED) == 0};
}

void TForm::RemoveChild(HWND child)
{
    children_.erase(child);
    containers_.erase(child);
    for (auto& container : containers_) {
        auto& contents = container.second;
        contents.erase(std::remove(contents.begin(), contents.end(), child), contents.end());
    }
}

std::vector<HWND> TForm::ChildrenWithin(HWND container) const
{
    RECT outer = WindowRect(container);
    std::vector<HWND> within;
    for (const auto& child : children_) {
        RECT inner = WindowRect(child.first);
        POINT centre{(inner.left + inner.right) / 2, (inner.top + inner.bottom) / 2};
        if (child.first != container && PtInRect(&outer, centre) && Area(inner) < Area(outer))
            within.push_back(child.first);
    }
    return within;
}

void TForm::AddToContainer(HWND container, HWND child)
{
    if (!children_.count(container) || !children_.count(child))
        return;
    auto& contents = containers_[container];
    if (!Contains(contents, child))
        contents.push_back(child);
    ApplyChildState(child);
}

HWND TForm::ContainerOf(HWND child) const
{
    HWND smallest = nullptr;
    long smallestArea = 0;
    for (const auto& [container, contents] : containers_) {
        long area = Area(WindowRect(container));
        if (Contains(contents, child) && (!smallest || area < smallestArea)) {
            smallest = container;
            smallestArea = area;
        }
    }
    return smallest;
}

void TForm::Reparent(HWND child, HWND container, int left, int top)
{
    if (!children_.count(child) || !children_.count(container) || child == container)
        return;
    std::vector<HWND> moved{child};
    const auto held = containers_.find(child);
    if (held != containers_.end())
        moved.insert(moved.end(), held->second.begin(), held->second.end());
    for (auto& [outer, contents] : containers_) {
        if (!Contains(moved, outer)) {
            contents.erase(std::remove_if(contents.begin(), contents.end(),
                                          [&moved](HWND content) { return Contains(moved, content); }),
                           contents.end());
        }
    }
    for (auto& [outer, contents] : containers_) {
        if (outer == container || Contains(contents, container)) {
            for (HWND window : moved) {
                if (!Contains(contents, window))
                    contents.push_back(window);
            }
        }
    }
    if (!containers_.count(container))
        containers_[container] = moved;

    const RECT from = WindowRect(child);
    const RECT to = WindowRect(container);
    const int dx = to.left + left - from.left;
    const int dy = to.top + top - from.top;
    HWND above = container;
    for (HWND window : moved) {
        RECT rect = WindowRect(window);
        MapWindowPoints(nullptr, handle_, reinterpret_cast<POINT*>(&rect), 2);
        HWND after = GetWindow(above, GW_HWNDPREV);
        const UINT keepOrder = after == window ? SWP_NOZORDER : 0;
        SetWindowPos(window, after ? after : HWND_TOP, rect.left + dx, rect.top + dy, 0, 0,
                     SWP_NOSIZE | SWP_NOACTIVATE | keepOrder);
        above = window;
        ApplyChildState(window);
    }
}

void TForm::UpdateHint(const TControl& control)
{
    if (!tooltip_) {
        tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, handle_, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, kMaxTipWidth);
    }
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = handle_;
    tool.uId = reinterpret_cast<UINT_PTR>(control.Handle());
    SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    if (!control.ShowHint() || control.Hint().empty())
        return;
    const std::u16string hint = ToUtf16(control.Hint(), control.HintCodePage());
    tool.lpszText = const_cast<wchar_t*>(WidePointer(hint));
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TForm::RelayToHint(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const
{
    if (!tooltip_)
        return;
    MSG relayed{window, message, wParam, lParam, 0, {}};
    SendMessageA(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

void TForm::CancelHint() const
{
    if (tooltip_)
        SendMessageA(tooltip_, TTM_POP, 0, 0);
}
