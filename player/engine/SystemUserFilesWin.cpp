#include "player/engine/SystemUserFiles.h"

#include "support/TextFiles.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

bool IsDots(const char* name) { return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0; }

std::wstring WideFromUtf8(const std::string& text)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

class TWindowsUserFiles final : public TUserFileSystem {
public:
    bool FolderExists(const std::string& path) override
    {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }

    bool FileExists(const std::string& path) override
    {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    }

    std::vector<TFolderEntry> List(const std::string& folder) override
    {
        std::vector<TFolderEntry> entries;
        WIN32_FIND_DATAA found{};
        const HANDLE search = FindFirstFileA((folder + "*.*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return entries;
        do {
            if (!IsDots(found.cFileName))
                entries.push_back({found.cFileName, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
        } while (FindNextFileA(search, &found));
        FindClose(search);
        return entries;
    }

    // The volume and the folder's index on it, the same through a junction.
    std::string FolderIdentity(const std::string& folder) override
    {
        const HANDLE handle = CreateFileA(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            return {};
        BY_HANDLE_FILE_INFORMATION information{};
        const bool known = GetFileInformationByHandle(handle, &information) != 0;
        CloseHandle(handle);
        if (!known)
            return {};
        char identity[32];
        std::snprintf(identity, sizeof identity, "%08lx:%08lx%08lx", information.dwVolumeSerialNumber,
                      information.nFileIndexHigh, information.nFileIndexLow);
        return identity;
    }

    std::optional<std::string> ReadText(const std::string& path) override { return ReadFileBytes(path); }

    // A character the code page lacks makes the name one no file has.
    std::string FromUtf8(const std::string& text) override
    {
        const std::wstring wide = WideFromUtf8(text);
        const int length =
            WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
        std::string ansi(static_cast<std::size_t>(length), '\0');
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(), length, nullptr,
                            nullptr);
        return ansi;
    }
};

}  // namespace

TUserFileSystem& SystemUserFiles()
{
    static TWindowsUserFiles files;
    return files;
}
