#pragma once
// The shared vocabulary of the forms layer: the base object, the window
// message record and the event signatures every wrapper uses.

#include <windows.h>

#include <functional>
#include <string>

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;
};

// One window message as a form or control sees it; Result is what the
// window procedure returns when the handler does not call the default.
struct TMessage {
    HWND Window;
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};

// Shift state bits of keyboard and mouse events.
using TShiftState = unsigned;
constexpr TShiftState ssShift = 1;
constexpr TShiftState ssAlt = 2;
constexpr TShiftState ssCtrl = 4;
constexpr TShiftState ssLeft = 8;
constexpr TShiftState ssRight = 16;
constexpr TShiftState ssMiddle = 32;

enum class TMouseButton {
    mbLeft,
    mbRight,
    mbMiddle
};

// Events are plain closures: assign one, assign nullptr to detach.
using TNotifyEvent = std::function<void(TObject* sender)>;
using TKeyEvent = std::function<void(TObject* sender, WORD& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TObject* sender, char& key)>;
using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;

// Text at the windows' edge: the wide calls take UTF-16, which the texts
// become by the code page of the font they are shown in.
inline const wchar_t* WidePointer(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
std::u16string WideWindowText(HWND window);
void SetWideWindowText(HWND window, const std::u16string& text);
HFONT WindowFont(HWND window);
// The code page of the font's character set; the system's for no font.
unsigned FontCodePage(HFONT font);
