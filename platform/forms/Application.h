#pragma once
// The application object: a hidden application window that owns the forms,
// the message loop (with dialog navigation for the modeless forms) and a
// thread-safe way to run a closure on the GUI thread.

#include "platform/forms/Classes.h"

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

class TForm;

class TApplication {
public:
    // Registers the common controls, loads the rich edit control and makes the
    // application window; false when the window could not be made.
    bool Initialize();
    HWND Handle() const { return handle_; }

    // The title is written in the code page given (the system's by default).
    std::string Title() const { return title_; }
    void SetTitle(const std::string& title, unsigned codePage = CP_ACP);
    HICON Icon = nullptr;

    TForm* MainForm() const { return mainForm_; }
    void SetMainForm(TForm* form) { mainForm_ = form; }
    bool ShowMainForm = true;

    // The message loop; returns when Terminate has been called.
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    void ProcessMessages();
    // Waits for the next message and handles it; false once WM_QUIT came.
    bool HandleMessage();

    // A hidden application window is minimised without being shown: shown
    // only to be hidden again it would flash a taskbar button, and under Wine
    // without a window manager each such hiding waits two seconds.
    void Minimize() const;
    void Restore() const;
    bool IsIconic() const;
    void CancelHint() const;

    // Any thread: runs the closure on the GUI thread from its message loop.
    void Post(std::function<void()> task);

    // Every message the loop takes, before anything else; set handled to
    // stop it there.
    std::function<void(MSG& message, bool& handled)> OnMessage;
    // Messages sent or posted to the application window; true when handled
    // (the result goes in message.Result).
    std::function<bool(TMessage& message)> OnWindowMessage;

    // Used by forms: the loop gives their messages dialog navigation.
    void AddForm(TForm& form);
    void RemoveForm(const TForm& form);
    const std::vector<TForm*>& Forms() const { return forms_; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Dispatch(MSG& message);
    void RunPosted();

    HWND handle_ = nullptr;
    std::string title_;
    unsigned titleCodePage_ = CP_ACP;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
    std::vector<TForm*> forms_;
    std::mutex postedLock_;
    std::deque<std::function<void()>> posted_;
};

extern TApplication Application;
