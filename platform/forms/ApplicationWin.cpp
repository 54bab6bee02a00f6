#include "platform/forms/Application.h"

#include "platform/forms/Charsets.h"
#include "platform/forms/Forms.h"

#include <commctrl.h>

#include <algorithm>

TApplication Application;

namespace {

constexpr wchar_t kWindowClass[] = L"OvelApplication";
constexpr UINT kRunPosted = WM_USER + 0x100;
constexpr DWORD kCommonControls = ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_USEREX_CLASSES;
constexpr DWORD kWindowStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

}  // namespace

bool TApplication::Initialize()
{
    if (handle_)
        return true;
    INITCOMMONCONTROLSEX controls{sizeof controls, kCommonControls};
    InitCommonControlsEx(&controls);
    LoadLibraryA("riched20.dll");

    HINSTANCE module = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = module;
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);
    handle_ = CreateWindowExW(0, kWindowClass, WidePointer(ToUtf16(title_, titleCodePage_)), kWindowStyle, 0, 0, 0, 0,
                              nullptr, nullptr, module, this);
    return handle_ != nullptr;
}

void TApplication::SetTitle(const std::string& title, unsigned codePage)
{
    title_ = title;
    titleCodePage_ = codePage;
    if (handle_)
        SetWideWindowText(handle_, ToUtf16(title_, titleCodePage_));
}

void TApplication::Run()
{
    terminated_ = false;
    if (mainForm_ && ShowMainForm)
        mainForm_->Show();
    while (HandleMessage()) {
    }
}

// Only on the GUI thread; other threads Post a closure that calls it.
void TApplication::Terminate() { PostQuitMessage(0); }

bool TApplication::HandleMessage()
{
    MSG message;
    if (GetMessageW(&message, nullptr, 0, 0) <= 0) {
        terminated_ = true;
        return false;
    }
    Dispatch(message);
    return true;
}

void TApplication::ProcessMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            terminated_ = true;
            PostQuitMessage(static_cast<int>(message.wParam));  // for the loop that owns the program
            return;
        }
        Dispatch(message);
    }
}

void TApplication::Dispatch(MSG& message)
{
    bool handled = false;
    if (OnMessage)
        OnMessage(message, handled);
    if (handled)
        return;
    HWND root = message.hwnd ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    for (TForm* form : forms_) {
        if (form->Handle() == root && form->PreTranslate(message))
            return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void TApplication::Minimize() const
{
    if (IsWindowVisible(handle_)) {
        ShowWindow(handle_, SW_MINIMIZE);
        return;
    }
    const auto style = static_cast<DWORD>(GetWindowLongA(handle_, GWL_STYLE));
    SetWindowLongA(handle_, GWL_STYLE, static_cast<LONG>(style | WS_MINIMIZE));
}

void TApplication::Restore() const { ShowWindow(handle_, SW_RESTORE); }

bool TApplication::IsIconic() const { return ::IsIconic(handle_) != FALSE; }

void TApplication::CancelHint() const
{
    for (const TForm* form : forms_)
        form->CancelHint();
}

void TApplication::Post(std::function<void()> task)
{
    {
        std::lock_guard<std::mutex> guard(postedLock_);
        posted_.push_back(std::move(task));
    }
    PostMessageA(handle_, kRunPosted, 0, 0);
}

void TApplication::RunPosted()
{
    std::deque<std::function<void()>> tasks;
    {
        std::lock_guard<std::mutex> guard(postedLock_);
        tasks.swap(posted_);
    }
    for (auto& task : tasks)
        task();
}

void TApplication::AddForm(TForm& form) { forms_.push_back(&form); }

void TApplication::RemoveForm(const TForm& form)
{
    forms_.erase(std::remove(forms_.begin(), forms_.end(), &form), forms_.end());
    if (mainForm_ == &form)
        mainForm_ = nullptr;
}

LRESULT CALLBACK TApplication::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* application = reinterpret_cast<TApplication*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!application)
        return DefWindowProcW(window, message, wParam, lParam);
    TMessage hooked{window, message, wParam, lParam, 0};
    if (application->OnWindowMessage && application->OnWindowMessage(hooked))
        return hooked.Result;
    switch (message) {
        case kRunPosted:
            application->RunPosted();
            return 0;
        case WM_CLOSE:
            if (application->mainForm_)
                application->mainForm_->Close();
            else
                application->Terminate();
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}
