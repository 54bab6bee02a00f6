#include "tests/player/window/BoardLayout.h"

#include "resources/player/BoardIds.h"
#include "tests/player/window/ShownTexts.h"

#include <algorithm>
#include <set>

namespace {

// The boxes that take the width of their captions.
constexpr int kFittedBoxes[] = {
    IDC_NatureFolderCheckBox,
    IDC_NatureSubfoldersCheckBox,
    IDC_MusicSubfoldersCheckBox,
    IDC_MusicFolderCheckBox,
    IDC_GuitarCheckBox,
    IDC_FluteCheckBox,
    IDC_HaCheckBox,
    IDC_Option3CheckBox,
    IDC_Option7CheckBox,
    IDC_WindCheckBox,
    IDC_MemoryCleanCheckBox,
    IDC_CompressionCheckBox,
    IDC_OptionCheckBox,
    IDC_Option2CheckBox,
    IDC_Option4CheckBox,
    IDC_Option5CheckBox,
    IDC_Option6CheckBox,
    IDC_TessilCheckBox,
    IDC_Option1CheckBox,
    IDC_AutoStartCheckBox,
    IDC_AsServiceCheckBox,
    IDC_AlternateCheckBox,
    IDC_RainCheckBox,
    IDC_StormCheckBox,
    IDC_MuteTimeCheckBox,
    IDC_AlarmClockCheckBox,
    IDC_UseCurrentDefDeviceRadioButton,
    IDC_WaitThisDeviceRadioButton,
    IDC_WaitAnyDefDeviceRadioButton,
};

// Buttons of a picture's size that their handlers give a long caption all
// the same; and the labels that show a missing bank, over the box then off.
const std::set<int> kPictureButtons = {IDC_MusicFolderBitBtn, IDC_NatureFolderBitBtn, IDC_Chime00BitBtn,
                                       IDC_Chime30BitBtn};
const std::set<int> kMissingBankLabels = {
    IDC_NoOption2Label,    IDC_NoOption4Label, IDC_NoOption5Label, IDC_NoOption6Label, IDC_NoRainLabel,
    IDC_NoFireLabel,       IDC_NoStreamLabel,  IDC_NoOption3Label, IDC_NoOption7Label, IDC_NoStormLabel,
    IDC_NoInnerAlarmLabel, IDC_NoWindLabel,    IDC_NoGuitarLabel,  IDC_NoHaLabel,      IDC_NoFluteLabel,
};

// Room a control leaves beside its caption: the check mark (as the board
// widens its boxes), a button's edges and picture, a group's frame, a list's
// arrow; none for a label. Negative for a control that shows no caption.
constexpr int kBoxRoom = 20;
constexpr int kButtonRoom = 6;
constexpr int kPictureRoom = 20;
constexpr int kGroupRoom = 16;
constexpr int kListRoom = 22;

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

DWORD StyleOf(HWND window) { return static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)); }

bool IsGroupBox(HWND window) { return ClassOf(window) == L"Button" && (StyleOf(window) & BS_TYPEMASK) == BS_GROUPBOX; }

RECT RectOnBoard(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::vector<HWND> Controls(TOvelMainForm& board)
{
    std::vector<HWND> controls;
    for (HWND child = GetWindow(board.Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (!ControlName(child).empty())
            controls.push_back(child);
    return controls;
}

// The right edge a box keeps to: its group box's, else the board's.
LONG RightBound(TOvelMainForm& board, HWND box)
{
    const RECT own = RectOnBoard(box);
    RECT client{};
    GetClientRect(board.Handle(), &client);
    LONG bound = client.right;
    for (HWND other : Controls(board)) {
        const RECT frame = RectOnBoard(other);
        if (other != box && IsGroupBox(other) && PtInRect(&frame, POINT{own.left, own.top}))
            bound = std::min(bound, frame.right);
    }
    return bound;
}

int DrawnWidth(HWND control, const std::wstring& text)
{
    HDC dc = GetDC(control);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return size.cx;
}

int CaptionRoom(HWND control)
{
    const std::wstring kind = ClassOf(control);
    if (kind == L"Static")
        return (StyleOf(control) & SS_TYPEMASK) <= SS_RIGHT ? 0 : -1;
    if (kind == L"ComboBox")
        return kListRoom;
    if (kind != L"Button")
        return -1;
    switch (StyleOf(control) & BS_TYPEMASK) {
        case BS_GROUPBOX:
            return kGroupRoom;
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            return kButtonRoom + (SendMessageW(control, BM_GETIMAGE, IMAGE_BITMAP, 0) ? kPictureRoom : 0);
        default:
            return kBoxRoom;
    }
}

std::vector<std::wstring> CaptionsOf(HWND control)
{
    std::vector<std::wstring> captions;
    wchar_t text[512] = {};
    if (ClassOf(control) != L"ComboBox") {
        GetWindowTextW(control, text, 512);
        captions.push_back(text);
        return captions;
    }
    const auto count = static_cast<int>(SendMessageW(control, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        SendMessageW(control, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        captions.push_back(text);
    }
    return captions;
}

LONG Width(const RECT& rect) { return rect.right - rect.left; }

std::string Utf8(const std::wstring& text)
{
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr, nullptr);
    return bytes;
}

}  // namespace

std::vector<std::string> BoxesPastTheirBounds(TOvelMainForm& board)
{
    std::vector<std::string> found;
    for (const int id : kFittedBoxes) {
        HWND box = GetDlgItem(board.Handle(), id);
        const LONG past = RectOnBoard(box).right - RightBound(board, box);
        if (past > 0)
            found.push_back(ControlName(box) + " passes its bound by " + std::to_string(past) + " px");
    }
    return found;
}

std::vector<std::string> CutCaptions(TOvelMainForm& board)
{
    std::vector<std::string> found;
    for (HWND control : Controls(board)) {
        const int room = CaptionRoom(control);
        if (room < 0 || kPictureButtons.count(GetDlgCtrlID(control)))
            continue;
        const LONG width = Width(RectOnBoard(control));
        for (const std::wstring& caption : CaptionsOf(control)) {
            const int needed = DrawnWidth(control, caption) + room;
            if (!caption.empty() && needed > width)
                found.push_back(ControlName(control) + " \"" + Utf8(caption) + "\" needs " + std::to_string(needed) +
                                " of " + std::to_string(width) + " px");
        }
    }
    return found;
}

std::vector<std::string> BoxesRunningIntoOthers(TOvelMainForm& board)
{
    std::vector<std::string> found;
    for (const int id : kFittedBoxes) {
        HWND box = GetDlgItem(board.Handle(), id);
        const RECT own = RectOnBoard(box);
        for (HWND other : Controls(board)) {
            const RECT rect = RectOnBoard(other);
            RECT common{};
            const bool holds = PtInRect(&rect, POINT{own.left, own.top});
            if (other != box && !IsGroupBox(other) && !holds && !kMissingBankLabels.count(GetDlgCtrlID(other)) &&
                IntersectRect(&common, &own, &rect))
                found.push_back(ControlName(box) + " runs into " + ControlName(other));
        }
    }
    return found;
}
