#include "platform/forms/StdCtrls.h"

#include "platform/forms/Application.h"
#include "platform/forms/Charsets.h"
#include "platform/forms/Forms.h"

#include <vector>

namespace {

constexpr DWORD kButtonTypeMask = BS_TYPEMASK;
constexpr DWORD kComboTypeMask =
    CBS_SIMPLE | CBS_DROPDOWN | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS;
constexpr int kSelectionField = -1;
constexpr char kButtonClass[] = "BUTTON";
constexpr int kListItems = 0;

// The wrappers check and uncheck themselves, so Windows must not: an
// automatic button would already have changed when the click is reported.
void MakeManualButton(HWND button, DWORD type)
{
    auto style = static_cast<DWORD>(GetWindowLongA(button, GWL_STYLE));
    SendMessageA(button, BM_SETSTYLE, (style & ~kButtonTypeMask) | type, TRUE);
}

bool IsChecked(HWND button) { return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetCheck(HWND button, bool checked)
{
    SendMessageA(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool IsRadioButton(HWND window) { return (SendMessageA(window, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0; }

DWORD ComboStyleBits(TComboBoxStyle style)
{
    switch (style) {
        case csSimple:
            return CBS_SIMPLE;
        case csDropDownList:
            return CBS_DROPDOWNLIST;
        case csOwnerDrawFixed:
            return CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
        default:
            return CBS_DROPDOWN;
    }
}

bool IsListStyle(TComboBoxStyle style) { return style == csDropDownList || style == csOwnerDrawFixed; }

// A combo box may change its style from its own notification (a drop-down that
// refills the list), while its window still runs: the old window is hidden
// now and destroyed from the loop, handing its focus and open list on.
void RetireCombo(HWND old, HWND now)
{
    HWND focus = GetFocus();
    const bool focused = focus == old || IsChild(old, focus);
    ShowWindow(old, SW_HIDE);
    Application.Post([old, now, focused] {
        if (!IsWindow(old))
            return;
        const bool dropped = SendMessageA(old, CB_GETDROPPEDSTATE, 0, 0) != 0;
        DestroyWindow(old);
        if (!IsWindow(now))
            return;
        if (focused)
            SetFocus(now);
        if (dropped)
            SendMessageA(now, CB_SHOWDROPDOWN, TRUE, 0);
    });
}

}  // namespace

TCheckBoxState TCheckBox::State() const
{
    switch (SendMessageA(Handle(), BM_GETCHECK, 0, 0)) {
        case BST_CHECKED:
            return cbChecked;
        case BST_INDETERMINATE:
            return cbGrayed;
        default:
            return cbUnchecked;
    }
}

void TCheckBox::SetState(TCheckBoxState state)
{
    if (state == cbGrayed && !allowGrayed_)
        state = cbUnchecked;
    if (state == State())
        return;
    const WPARAM check = state == cbChecked ? BST_CHECKED : state == cbGrayed ? BST_INDETERMINATE : BST_UNCHECKED;
    SendMessageA(Handle(), BM_SETCHECK, check, 0);
    if (OnClick)
        OnClick(this);
}

void TCheckBox::Attached()
{
    const auto type = static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE)) & kButtonTypeMask;
    allowGrayed_ = type == BS_3STATE || type == BS_AUTO3STATE;
    MakeManualButton(Handle(), allowGrayed_ ? BS_3STATE : BS_CHECKBOX);
}

void TCheckBox::Command(WORD code)
{
    if (code != BN_CLICKED)
        return;
    switch (State()) {
        case cbUnchecked:
            SetState(cbChecked);
            break;
        case cbChecked:
            SetState(allowGrayed_ ? cbGrayed : cbUnchecked);
            break;
        case cbGrayed:
            SetState(cbUnchecked);
            break;
    }
}

bool TRadioButton::Checked() const { return IsChecked(Handle()); }

void TRadioButton::SetChecked(bool checked)
{
    if (checked == Checked())
        return;
    SetCheck(Handle(), checked);
    if (!checked)
        return;
    UncheckNeighbours();
    if (OnClick)
        OnClick(this);
}

void TRadioButton::UncheckNeighbours() const
{
    HWND container = Form()->ContainerOf(Handle());
    for (HWND other : Form()->Children()) {
        if (other != Handle() && IsRadioButton(other) && Form()->ContainerOf(other) == container)
            SetCheck(other, false);
    }
}

void TRadioButton::Attached() { MakeManualButton(Handle(), BS_RADIOBUTTON); }

void TRadioButton::Command(WORD code)
{
    if (code == BN_CLICKED)
        SetChecked(true);
}

void TButton::Click()
{
    if (ModalResult != 0 && Form())
        Form()->SetModalResult(ModalResult);
    if (OnClick)
        OnClick(this);
}

void TButton::Command(WORD code)
{
    if (code == BN_CLICKED)
        Click();
}

bool TBitBtn::Create(TForm& form, int left, int top, int width, int height)
{
    return CreateIn(form, kButtonClass, BS_PUSHBUTTON | BS_BITMAP | WS_TABSTOP,
                    {left, top, left + width, top + height});
}

void TBitBtn::SetGlyph(HBITMAP glyph) { Perform(BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(glyph)); }

HBITMAP TBitBtn::Glyph() const { return reinterpret_cast<HBITMAP>(Perform(BM_GETIMAGE, IMAGE_BITMAP)); }

// Without SS_NOTIFY a static lets the mouse through: no clicks, no hints.
void TLabel::Attached() { SetStyleBits(SS_NOTIFY, 0); }

void TLabel::Command(WORD code)
{
    if (code == STN_CLICKED && OnClick)
        OnClick(this);
}

void TEdit::Command(WORD code)
{
    if (code == EN_CHANGE && OnChange)
        OnChange(this);
}

int TComboBox::TItems::Add(const std::string& text, std::intptr_t object)
{
    return AddInCodePage(text, owner_.CodePage(), object);
}

int TComboBox::TItems::AddInCodePage(const std::string& text, unsigned codePage, std::intptr_t object)
{
    return AddWide(ToUtf16(text, codePage), object);
}

int TComboBox::TItems::AddWide(const std::u16string& text, std::intptr_t object)
{
    auto index =
        static_cast<int>(SendMessageW(owner_.Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WidePointer(text))));
    SetObject(index, object);
    return index;
}

void TComboBox::TItems::Delete(int index) { owner_.Perform(CB_DELETESTRING, static_cast<WPARAM>(index)); }

void TComboBox::TItems::Clear() { owner_.Perform(CB_RESETCONTENT); }

int TComboBox::TItems::Count() const { return static_cast<int>(owner_.Perform(CB_GETCOUNT)); }

std::string TComboBox::TItems::Strings(int index) const { return FromUtf16(WideString(index), owner_.CodePage()); }

std::u16string TComboBox::TItems::WideString(int index) const
{
    auto length = SendMessageW(owner_.Handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR)
        return {};
    std::u16string text(static_cast<size_t>(length) + 1, u'\0');
    SendMessageW(owner_.Handle(), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

std::intptr_t TComboBox::TItems::Objects(int index) const
{
    return static_cast<std::intptr_t>(owner_.Perform(CB_GETITEMDATA, static_cast<WPARAM>(index)));
}

void TComboBox::TItems::SetObject(int index, std::intptr_t object)
{
    owner_.Perform(CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(object));
}

int TComboBox::TItems::IndexOf(const std::string& text) const
{
    const std::u16string wide = ToUtf16(text, owner_.CodePage());
    auto found = SendMessageW(owner_.Handle(), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                              reinterpret_cast<LPARAM>(WidePointer(wide)));
    return found == CB_ERR ? -1 : static_cast<int>(found);
}

void TComboBox::TItems::BeginUpdate()
{
    if (updating_++ == 0)
        owner_.Perform(WM_SETREDRAW, FALSE);
}

void TComboBox::TItems::EndUpdate()
{
    if (updating_ == 0 || --updating_ > 0)
        return;
    owner_.Perform(WM_SETREDRAW, TRUE);
    owner_.Invalidate();
}

int TComboBox::ItemIndex() const { return static_cast<int>(Perform(CB_GETCURSEL)); }

void TComboBox::SetItemIndex(int index) { Perform(CB_SETCURSEL, static_cast<WPARAM>(index)); }

void TComboBox::SetText(const std::string& text)
{
    if (IsListStyle(Style()))
        SetItemIndex(Items.IndexOf(text));
    else
        SetCaption(text);
}

TComboBoxStyle TComboBox::Style() const
{
    auto style = static_cast<DWORD>(GetWindowLongA(Handle(), GWL_STYLE));
    if (style & CBS_OWNERDRAWFIXED)
        return csOwnerDrawFixed;
    switch (style & CBS_DROPDOWNLIST) {
        case CBS_DROPDOWNLIST:
            return csDropDownList;
        case CBS_SIMPLE:
            return csSimple;
        default:
            return csDropDown;
    }
}

void TComboBox::SetStyle(TComboBoxStyle style)
{
    if (style == Style())
        return;
    HWND old = Handle();
    RECT bounds = Bounds();
    RECT dropped{};
    Perform(CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    auto windowStyle = (static_cast<DWORD>(GetWindowLongA(old, GWL_STYLE)) & ~kComboTypeMask) | ComboStyleBits(style);
    HWND now = CreateWindowExW(static_cast<DWORD>(GetWindowLongW(old, GWL_EXSTYLE)), L"COMBOBOX", L"", windowStyle,
                               bounds.left, bounds.top, bounds.right - bounds.left, dropped.bottom - dropped.top,
                               GetParent(old), reinterpret_cast<HMENU>(static_cast<INT_PTR>(GetDlgCtrlID(old))),
                               GetModuleHandleW(nullptr), nullptr);
    if (!now)
        return;
    SendMessageA(now, WM_SETFONT, static_cast<WPARAM>(SendMessageA(old, WM_GETFONT, 0, 0)), FALSE);
    for (int field : {kSelectionField, kListItems})
        SendMessageA(now, CB_SETITEMHEIGHT, static_cast<WPARAM>(field),
                     SendMessageA(old, CB_GETITEMHEIGHT, static_cast<WPARAM>(field), 0));
    SetWindowPos(now, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    struct Item {
        std::u16string text;
        std::intptr_t object;
    };
    std::vector<Item> items;
    for (int i = 0; i < Items.Count(); ++i)
        items.push_back({Items.WideString(i), Items.Objects(i)});
    int selected = ItemIndex();
    Rebind(now);
    RetireCombo(old, now);
    for (const Item& item : items)
        Items.AddWide(item.text, item.object);
    SetItemIndex(selected);
    SubclassEdit();
}

void TComboBox::Attached() { SubclassEdit(); }

void TComboBox::SetChoiceOnly(bool choiceOnly)
{
    choiceOnly_ = choiceOnly;
    SubclassEdit();
}

// Typed keys of an editable combo box reach its edit child, not the combo.
void TComboBox::SubclassEdit()
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(Handle(), &info) || !info.hwndItem || info.hwndItem == Handle())
        return;
    Subclass(info.hwndItem);
    SendMessageA(info.hwndItem, EM_SETREADONLY, choiceOnly_ ? TRUE : FALSE, 0);
}

bool TComboBox::ChooseByKey(WPARAM key)
{
    if (!choiceOnly_ || IsListStyle(Style()) || (key != VK_HOME && key != VK_END) || Items.Count() == 0)
        return false;
    SetItemIndex(key == VK_HOME ? 0 : Items.Count() - 1);
    Command(CBN_SELCHANGE);
    return true;
}

void TComboBox::Command(WORD code)
{
    switch (code) {
        case CBN_SELCHANGE:
            if (OnSelect)
                OnSelect(this);
            else if (OnChange)
                OnChange(this);
            break;
        case CBN_EDITCHANGE:
            if (OnChange)
                OnChange(this);
            break;
        case CBN_DROPDOWN:
            if (OnDropDown)
                OnDropDown(this);
            break;
        default:
            break;
    }
}

bool TComboBox::DrawItem(const DRAWITEMSTRUCT& item)
{
    if (!OnDrawItem)
        return false;
    if (item.itemID == static_cast<UINT>(-1))
        return true;  // an empty selection field: nothing to draw
    canvas_.SetHandle(item.hDC);
    OnDrawItem(this, static_cast<int>(item.itemID), item.rcItem, item.itemState);
    canvas_.SetHandle(nullptr);
    return true;
}

void TComboBox::WndProc(TMessage& message)
{
    if (message.Msg == WM_KEYDOWN && ChooseByKey(message.WParam)) {
        message.Result = 0;
        return;
    }
    if (message.Msg == WM_CHAR && OnKeyPress && KeyPress(message)) {
        message.Result = 0;
        return;
    }
    TControl::WndProc(message);
}

// The window takes characters as UTF-16; the event sees a character that the
// control's code page writes in one byte. True when the event swallowed it.
bool TComboBox::KeyPress(TMessage& message)
{
    const unsigned codePage = CodePage();
    const std::string typed = FromUtf16(std::u16string(1, static_cast<char16_t>(message.WParam)), codePage);
    if (typed.size() != 1)
        return false;
    char key = typed[0];
    OnKeyPress(this, key);
    if (key == 0)
        return true;
    const std::u16string changed = key != typed[0] ? ToUtf16(std::string(1, key), codePage) : std::u16string();
    if (!changed.empty())
        message.WParam = changed.front();
    return false;
}
