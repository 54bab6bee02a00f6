#include "player/engine/StartUp.h"

#include "platform/audio/bass.h"
#include "player/engine/BassErrorText.h"
#include "player/engine/ProductConsts.h"
#include "player/engine/SoundBanks.h"
#include "support/LangUnit.h"
#include "support/ProgInfo.h"
#include "support/SystemFolders.h"

#include <windows.h>

#include <optional>

void* InstanceMapping = nullptr;
void* RunningBoardWnd = nullptr;
int DefaultDevice = -1;

namespace {

constexpr DWORD kRequiredBassVersion = 0x0204;
constexpr int kDefaultOutput = -1;
constexpr WORD kRussianLanguage = 25;
constexpr DWORD kBoardWaitMs = 5000;
constexpr DWORD kBoardLookInterval = 50;

// A bank file opened with no sharing, so that nothing changes it while the player runs.
class TWinBankFile : public TBankFile {
public:
    explicit TWinBankFile(HANDLE handle) : handle_(handle) {}
    ~TWinBankFile() override { CloseHandle(handle_); }
    TWinBankFile(const TWinBankFile&) = delete;
    TWinBankFile& operator=(const TWinBankFile&) = delete;

    std::optional<std::uint64_t> Size() override
    {
        LARGE_INTEGER size;
        if (!GetFileSizeEx(handle_, &size))
            return std::nullopt;
        return static_cast<std::uint64_t>(size.QuadPart);
    }

    bool ReadAt(std::uint64_t position, void* buffer, std::size_t count) override
    {
        LARGE_INTEGER to;
        to.QuadPart = static_cast<LONGLONG>(position);
        DWORD read = 0;
        return SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN) &&
               ReadFile(handle_, buffer, static_cast<DWORD>(count), &read, nullptr) && read == count;
    }

private:
    HANDLE handle_;
};

class TWinBankFileSystem : public TBankFileSystem {
public:
    bool FileExists(const std::string& name) override { return ::FileExists(name); }

    std::unique_ptr<TBankFile> OpenUnshared(const std::string& name) override
    {
        HANDLE handle =
            CreateFileA(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            return nullptr;
        return std::make_unique<TWinBankFile>(handle);
    }
};

class TStartMessages : public TBankMessages {
public:
    void ReportFileNotFound(const std::string& name) override { ::ReportFileNotFound(name); }
    void ReportFileCantOpen(const std::string& name) override { ::ReportFileCantOpen(name); }
    void ReportFileBadVersion(const std::string& name) override { ::ReportFileBadVersion(name); }
    void ReportFileCorrupt(const std::string& name) override { ::ReportFileCorrupt(name); }
};

// The first line of a language text.
std::string FirstLine(const std::string& text) { return text.substr(0, text.find_first_of("\r\n")); }

// A player still starting holds the banks unshared until its board exists:
// its board is waited for a few seconds, so that this start hands over to it.
HWND WaitForRunningBoard()
{
    const DWORD start = GetTickCount();
    HWND board = FindWindowA(kBoardClassName, nullptr);
    while (!board && GetTickCount() - start < kBoardWaitMs) {
        Sleep(kBoardLookInterval);
        board = FindWindowA(kBoardClassName, nullptr);
    }
    return board;
}

bool RunningPlayerBroughtForward()
{
    FindRunningInstance();
    HWND board = static_cast<HWND>(RunningBoardWnd);
    if (!board)
        return false;
    if (!IsWindowVisible(board))
        PostMessageA(board, WM_APP, 0, 0);
    SetForegroundWindow(board);
    return true;
}

bool AudioLibraryUsable()
{
    if (HIWORD(BASS_GetVersion()) != kRequiredBassVersion) {
        ReportFileBadVersion("bass.dll");
        return false;
    }
    BASS_SetConfig(BASS_CONFIG_DEV_DEFAULT, 0);
    if (!BASS_Init(kDefaultOutput, kOutputRate, 0, nullptr, nullptr)) {
        ShowBassErrorMessage(FirstLine(GetLangString("nosound")) + "..");
        return false;
    }
    DefaultDevice = static_cast<int>(BASS_GetDevice());
    BASS_Free();
    return true;
}

}  // namespace

void FindRunningInstance()
{
    InstanceMapping =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kRunningMarkerSize, kRunningMarkerName);
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    RunningBoardWnd = existed ? WaitForRunningBoard() : nullptr;
}

bool PrepareStart()
{
    SetProductGlobals();
    if (!InitSystemFolders())
        return false;
    if (RunningPlayerBroughtForward())
        return false;
    SetCurrentDirectoryA(ExeDir.c_str());
    if (!LoadLanguages())
        return false;
    ProgName = GetLangString("progname");
    ProgDescr = GetLangString("progdescr0");
    if (!AudioLibraryUsable())
        return false;
    TWinBankFileSystem files;
    TStartMessages messages;
    const std::optional<unsigned> revisionSum = OpenSoundBanks(SoundBanks, files, messages);
    if (!revisionSum)
        return false;
    AppendRevisionSum(*revisionSum);
    return true;
}

void ReportFileBadVersion(const std::string& name) { LangErrorBox(GetLangTextFmt("filebadversion", {name}, false)); }

void ReportFileCorrupt(const std::string& name) { LangErrorBox(GetLangTextFmt("filecorrupt", {name}, false)); }

void ReportFileCantOpen(const std::string& name) { LangErrorBox(GetLangTextFmt("filecantopen", {name}, false)); }

void ReportFileNotFound(const std::string& name)
{
    LangErrorBox(GetLangTextFmt("filenotfound", {name}, false) + "\r\n\r\n" + GetLangText("filecorrupt", true));
}

void ShowBassErrorMessage(const std::string& caption)
{
    const std::string text = BassErrorText(BASS_ErrorGetCode(), RussianUI);
    if (RussianUI)
        MessageBoxExA(nullptr, text.c_str(), caption.c_str(), 0, kRussianLanguage);
    else
        MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK);
}
