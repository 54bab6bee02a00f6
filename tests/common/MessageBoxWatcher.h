#pragma once
// Reads the first message box the process shows and closes it, from a thread
// of its own, so a test can show a real box and check what the user saw.

#include <windows.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>

struct SeenMessageBox {
    bool found = false;
    std::wstring caption;
    std::wstring text;
};

class MessageBoxWatcher {
public:
    MessageBoxWatcher()
        : stopped_(std::make_shared<std::atomic<bool>>(false)),
          seen_(std::async(std::launch::async, &MessageBoxWatcher::Watch, stopped_))
    {}

    // Waits for the watcher; an empty result when no box came up in time.
    SeenMessageBox Result() { return seen_.get(); }

    // Ends the watch at once: after a call that would have waited for its
    // box, whether it showed one.
    SeenMessageBox Stop()
    {
        stopped_->store(true);
        return Result();
    }

private:
    struct Search {
        DWORD process;
        HWND found;
    };

    static BOOL CALLBACK TakeOwnDialog(HWND window, LPARAM data)
    {
        auto* search = reinterpret_cast<Search*>(data);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        char className[16] = {};
        GetClassNameA(window, className, sizeof className);
        if (process == search->process && std::string(className) == "#32770" && IsWindowVisible(window)) {
            search->found = window;
            return FALSE;
        }
        return TRUE;
    }

    static HWND FindOwnDialog()
    {
        Search search{GetCurrentProcessId(), nullptr};
        EnumWindows(TakeOwnDialog, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    static std::wstring WindowText(HWND window)
    {
        wchar_t buffer[1024] = {};
        GetWindowTextW(window, buffer, 1024);
        return buffer;
    }

    static SeenMessageBox Watch(std::shared_ptr<std::atomic<bool>> stopped)
    {
        constexpr int kBoxTextId = 0xFFFF;  // the static control holding a box's text
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!stopped->load() && std::chrono::steady_clock::now() < deadline) {
            if (HWND box = FindOwnDialog()) {
                SeenMessageBox seen{true, WindowText(box), WindowText(GetDlgItem(box, kBoxTextId))};
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                return seen;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return {};
    }

    std::shared_ptr<std::atomic<bool>> stopped_;
    std::future<SeenMessageBox> seen_;
};
