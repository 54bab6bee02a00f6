#include "player/window/FolderBrowse.h"

#include "platform/forms/Application.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

namespace {

int CALLBACK BrowseForFolderCallback(HWND dialog, UINT message, LPARAM, LPARAM path)
{
    if (message == BFFM_INITIALIZED)
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, path);
    return 0;
}

bool FolderExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return !path.empty() && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// While the dialog is open the program's other windows are disabled and a
// drive without a disc gives no system box; both are restored however the
// dialog ends, and the window that was active is active again (the dialog's
// owner, the hidden application window, would be otherwise).
class TDialogScope {
public:
    TDialogScope() : errorMode_(SetErrorMode(SEM_FAILCRITICALERRORS)), active_(GetActiveWindow())
    {
        EnumThreadWindows(GetCurrentThreadId(), DisableWindow, reinterpret_cast<LPARAM>(this));
    }
    ~TDialogScope()
    {
        for (HWND window : disabled_)
            EnableWindow(window, TRUE);
        SetErrorMode(errorMode_);
        if (active_)
            SetActiveWindow(active_);
    }
    TDialogScope(const TDialogScope&) = delete;
    TDialogScope& operator=(const TDialogScope&) = delete;

private:
    static BOOL CALLBACK DisableWindow(HWND window, LPARAM scope)
    {
        if (IsWindowVisible(window) && IsWindowEnabled(window)) {
            EnableWindow(window, FALSE);
            reinterpret_cast<TDialogScope*>(scope)->disabled_.push_back(window);
        }
        return TRUE;
    }

    UINT errorMode_;
    HWND active_;
    std::vector<HWND> disabled_;
};

// The desktop's item list of a folder path; null when it names none.
LPITEMIDLIST ParsedFolder(const std::string& folder)
{
    IShellFolder* desktop = nullptr;
    if (folder.empty() || FAILED(SHGetDesktopFolder(&desktop)))
        return nullptr;
    std::vector<wchar_t> wide(folder.size() + 1);
    MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    LPITEMIDLIST list = nullptr;
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &list, nullptr)))
        list = nullptr;
    desktop->Release();
    return list;
}

}  // namespace

bool BrowseForFolder(const std::string& title, const std::string& root, std::string& path)
{
    if (!FolderExists(path))
        path.clear();
    const HRESULT com = CoInitialize(nullptr);
    IMalloc* allocator = nullptr;
    bool chosen = false;
    if (SUCCEEDED(SHGetMalloc(&allocator))) {
        auto* name = static_cast<char*>(allocator->Alloc(MAX_PATH));
        LPITEMIDLIST rootList = ParsedFolder(root);
        BROWSEINFOA info{};
        info.hwndOwner = Application.Handle();
        info.pidlRoot = rootList;
        info.pszDisplayName = name;
        info.lpszTitle = title.c_str();
        info.ulFlags = BIF_RETURNONLYFSDIRS;
        if (!path.empty()) {
            info.lpfn = BrowseForFolderCallback;
            info.lParam = reinterpret_cast<LPARAM>(path.c_str());
        }
        LPITEMIDLIST list = nullptr;
        {
            TDialogScope scope;
            list = SHBrowseForFolderA(&info);
        }
        if (list) {
            chosen = SHGetPathFromIDListA(list, name) != FALSE;
            if (chosen)
                path = name;
            allocator->Free(list);
        }
        if (rootList)
            allocator->Free(rootList);
        allocator->Free(name);
        allocator->Release();
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return chosen;
}
