#pragma once
// A timer on the GUI thread: made disabled; it runs while Enabled and
// Interval > 0 and calls OnTimer from the message loop.

#include "platform/forms/Classes.h"

class TTimer : public TObject {
public:
    TTimer() = default;
    ~TTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    UINT Interval() const { return interval_; }
    // A new interval starts counting again.
    void SetInterval(UINT milliseconds);
    TNotifyEvent OnTimer;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static HWND Window();
    void Update() const;

    bool enabled_ = false;
    UINT interval_ = 1000;
};
