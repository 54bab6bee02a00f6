#include "platform/forms/Timers.h"

#include <set>

namespace {

constexpr char kWindowClass[] = "OvelTimers";

// Timers that exist; a WM_TIMER still queued for a destroyed one is dropped.
std::set<const TTimer*>& LiveTimers()
{
    static std::set<const TTimer*> timers;
    return timers;
}

UINT_PTR TimerId(const TTimer* timer) { return reinterpret_cast<UINT_PTR>(timer); }

}  // namespace

TTimer::~TTimer()
{
    KillTimer(Window(), TimerId(this));
    LiveTimers().erase(this);
}

void TTimer::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    Update();
}

void TTimer::SetInterval(UINT milliseconds)
{
    interval_ = milliseconds;
    Update();
}

void TTimer::Update() const
{
    KillTimer(Window(), TimerId(this));
    if (!enabled_ || interval_ == 0) {
        LiveTimers().erase(this);
        return;
    }
    LiveTimers().insert(this);
    SetTimer(Window(), TimerId(this), interval_, nullptr);
}

// One hidden message-only window of the GUI thread carries every timer.
HWND TTimer::Window()
{
    static HWND window = [] {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kWindowClass;
        RegisterClassExA(&windowClass);
        return CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance,
                               nullptr);
    }();
    return window;
}

LRESULT CALLBACK TTimer::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_TIMER)
        return DefWindowProcA(window, message, wParam, lParam);
    auto* timer = reinterpret_cast<TTimer*>(wParam);
    if (LiveTimers().count(timer) && timer->OnTimer)
        timer->OnTimer(timer);
    return 0;
}
