#pragma once
// Answers the dialogs the process shows, from a thread of its own, while a
// test runs code that shows them: a file dialog gets the given file name and
// OK (or Cancel when the name is empty), a message box is read and closed.
// It answers until it is destroyed.

#include "tests/common/MessageBoxWatcher.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class DialogAnswerer {
public:
    explicit DialogAnswerer(std::wstring fileName) : fileName_(std::move(fileName)), thread_([this] { Answer(); }) {}
    ~DialogAnswerer()
    {
        stop_ = true;
        thread_.join();
    }
    DialogAnswerer(const DialogAnswerer&) = delete;
    DialogAnswerer& operator=(const DialogAnswerer&) = delete;

    std::vector<SeenMessageBox> Boxes() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return boxes_;
    }
    int FileDialogs() const { return fileDialogs_; }

private:
    // The file name box of the system's file dialogs, and a message box's text.
    static constexpr int kFileNameCombo = 0x47C;
    static constexpr int kFileNameEdit = 0x480;
    static constexpr int kBoxTextId = 0xFFFF;

    static BOOL CALLBACK TakeOwnDialog(HWND window, LPARAM data)
    {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        char className[16] = {};
        GetClassNameA(window, className, sizeof className);
        if (process == GetCurrentProcessId() && std::string(className) == "#32770" && IsWindowVisible(window))
            reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
        return TRUE;
    }

    static std::wstring WindowText(HWND window)
    {
        wchar_t buffer[1024] = {};
        GetWindowTextW(window, buffer, 1024);
        return buffer;
    }

    static BOOL CALLBACK TakeEdit(HWND window, LPARAM data)
    {
        char className[16] = {};
        GetClassNameA(window, className, sizeof className);
        if (std::string(className) != "Edit")
            return TRUE;
        *reinterpret_cast<HWND*>(data) = window;
        return FALSE;
    }

    // The edit line of a file name box, which may sit inside combo boxes.
    static HWND EditLine(HWND box)
    {
        HWND edit = nullptr;
        TakeEdit(box, reinterpret_cast<LPARAM>(&edit));
        if (!edit)
            EnumChildWindows(box, TakeEdit, reinterpret_cast<LPARAM>(&edit));
        return edit;
    }

    static void Press(HWND dialog, int id)
    {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }

    // Each dialog once; a dialog may open another above it.
    void Answer()
    {
        std::vector<HWND> answered;
        while (!stop_) {
            std::vector<HWND> shown;
            EnumWindows(TakeOwnDialog, reinterpret_cast<LPARAM>(&shown));
            for (HWND dialog : shown)
                if (std::find(answered.begin(), answered.end(), dialog) == answered.end() && Handle(dialog))
                    answered.push_back(dialog);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }

    // False while the dialog is not ready to be answered.
    bool Handle(HWND dialog)
    {
        HWND nameBox = GetDlgItem(dialog, kFileNameCombo);
        if (!nameBox)
            nameBox = GetDlgItem(dialog, kFileNameEdit);
        if (nameBox) {
            if (fileName_.empty()) {
                Press(dialog, IDCANCEL);
            } else {
                HWND edit = EditLine(nameBox);
                if (!edit)
                    return false;
                SetWindowTextW(edit, fileName_.c_str());
                Press(dialog, IDOK);
            }
            ++fileDialogs_;
            return true;
        }
        HWND text = GetDlgItem(dialog, kBoxTextId);
        if (!text)
            return false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            boxes_.push_back({true, WindowText(dialog), WindowText(text)});
        }
        Press(dialog, IDOK);
        return true;
    }

    const std::wstring fileName_;
    std::atomic<bool> stop_{false};
    std::atomic<int> fileDialogs_{0};
    mutable std::mutex mutex_;
    std::vector<SeenMessageBox> boxes_;
    std::thread thread_;
};
