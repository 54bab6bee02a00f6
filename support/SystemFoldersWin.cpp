#include "support/SystemFolders.h"

#include "platform/forms/Registry.h"
#include "support/ProgInfo.h"

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <vector>

namespace {

using Microsoft::WRL::ComPtr;

constexpr UINT kFolderBufferSize = 255;
constexpr DWORD kWin9xPlatformBit = 0x80000000;
constexpr const char* kStartupLinkArgument = "gstart";
constexpr int kProgramIconIndex = 0;

std::string ModuleFileName()
{
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size())
            return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

// An answer that does not fit the buffer counts as no folder.
std::string SystemFolder(UINT(WINAPI* query)(LPSTR, UINT))
{
    char buffer[kFolderBufferSize];
    const UINT length = query(buffer, kFolderBufferSize);
    std::string folder = length < kFolderBufferSize ? std::string(buffer, length) : std::string();
    AddBackslash(folder);
    return folder;
}

std::string EnvironmentFolder(const char* name)
{
    const DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
    if (size == 0)
        return {};
    std::string folder(size, '\0');
    const DWORD length = GetEnvironmentVariableA(name, &folder[0], size);
    folder.resize(length < size ? length : 0);
    AddBackslash(folder);
    return folder;
}

// A value of the open key; empty (no lone backslash) when it cannot be read.
std::string RegistryFolder(const char* name)
{
    std::string folder = ProgRegistry->ReadString(name).value_or("");
    AddBackslash(folder);
    return folder;
}

std::wstring WideText(const std::string& text)
{
    const int textLength = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), textLength, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), textLength, &wide[0], length);
    return wide;
}

bool WriteOrDeleteRunValue(bool enable)
{
    const std::string name = RunValueName();
    if (enable)
        return ProgRegistry->WriteString(name, RunValueData());
    return !ProgRegistry->ValueExists(name) || ProgRegistry->DeleteValue(name);
}

// Without a known Startup folder the link would land in the current folder.
bool CreateStartupLink()
{
    return !StartupDir.empty() &&
           CreateShellLink(ProgramFilePath(), StartupLinkPath(), kStartupLinkArgument, kProgramIconIndex, "");
}

bool DeleteStartupLink()
{
    const std::string link = StartupLinkPath();
    return StartupDir.empty() || !FileExists(link) || DeleteFileA(link.c_str());
}

}  // namespace

bool IsNTPlatform() { return (GetVersion() & kWin9xPlatformBit) == 0; }

bool FileExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool InitSystemFolders()
{
    ExeDir = FolderOfPath(ModuleFileName());
    SystemDir = SystemFolder(GetSystemDirectoryA);
    WindowsDir = SystemFolder(GetWindowsDirectoryA);
    TempDir = EnvironmentFolder("Temp");

    ProgRegistry->SetRootKey(HKEY_CURRENT_USER);
    ProgRegistry->OpenKeyReadOnly(std::string(kCurrentVersionKey) + "\\Explorer\\Shell Folders");
    DesktopDir = RegistryFolder("Desktop");
    StartupDir = RegistryFolder("Startup");
    ProgRegistry->CloseKey();

    ProgRegistry->SetRootKey(HKEY_LOCAL_MACHINE);
    ProgRegistry->OpenKeyReadOnly(kCurrentVersionKey);
    ProgramFilesDir = ProgRegistry->ReadString("ProgramFilesDir").value_or("");
    ProgRegistry->CloseKey();

    IsAdmin = IsUserAnAdmin() != FALSE;
    return true;
}

bool CreateShellLink(const std::string& target, const std::string& linkFile, const std::string& arguments,
                     int iconIndex, const std::string& description)
{
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) ||
        FAILED(link.As(&file)))
        return false;
    return SUCCEEDED(link->SetPath(target.c_str())) &&
           SUCCEEDED(link->SetWorkingDirectory(FolderOfPath(target).c_str())) &&
           SUCCEEDED(link->SetDescription(description.c_str())) && SUCCEEDED(link->SetArguments(arguments.c_str())) &&
           SUCCEEDED(link->SetShowCmd(SW_SHOW)) && SUCCEEDED(link->SetIconLocation(target.c_str(), iconIndex)) &&
           SUCCEEDED(file->Save(WideText(linkFile).c_str(), TRUE));
}

bool SetRunKeyAutostart(bool enable)
{
    ProgRegistry->SetRootKey(HKEY_LOCAL_MACHINE);
    const bool done = ProgRegistry->OpenKey(RunKeyPath(IsNTPlatform()), false) && WriteOrDeleteRunValue(enable);
    ProgRegistry->CloseKey();
    if (!done)
        ReportStartupError();
    return done;
}

void SetStartupLinkAutostart(bool enable)
{
    if (!(enable ? CreateStartupLink() : DeleteStartupLink()))
        ReportStartupError();
}
