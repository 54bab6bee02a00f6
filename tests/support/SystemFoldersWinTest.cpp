#include "support/SystemFolders.h"

#include "platform/forms/Registry.h"
#include "support/ProgInfo.h"

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Microsoft::WRL::ComPtr;

constexpr const char* kCaption = "Ovel tests";
constexpr const char* kStartupError = "Can't handle Startup System!";

BOOL CALLBACK CollectStaticText(HWND child, LPARAM text)
{
    char className[16] = {};
    char line[256] = {};
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0 && GetWindowTextA(child, line, sizeof line) > 0)
        *reinterpret_cast<std::string*>(text) += line;
    return TRUE;
}

// Runs action while another thread answers every message box captioned as
// ours, so an unexpected box fails the test instead of hanging it. Without a
// window manager Wine takes about two seconds to close each box.
std::vector<std::string> BoxesShownBy(const std::function<void()>& action)
{
    std::atomic<bool> done{false};
    std::vector<std::string> texts;
    std::thread watcher([&] {
        while (!done) {
            HWND box = FindWindowA("#32770", kCaption);
            if (!box || !IsWindowVisible(box)) {
                Sleep(20);
                continue;
            }
            std::string text;
            EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&text));
            texts.push_back(text);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            while (IsWindow(box))
                Sleep(10);
        }
    });
    action();
    done = true;
    watcher.join();
    return texts;
}

std::string ModulePath()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

bool FileExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FolderExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

struct LinkFields {
    std::string path;
    std::string arguments;
    std::string workingDirectory;
    std::string description;
    std::string iconFile;
    int iconIndex = -1;
    int showCmd = -1;
};

LinkFields ReadLink(const std::string& linkFile)
{
    LinkFields fields;
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) ||
        FAILED(link.As(&file)) || FAILED(file->Load(Wide(linkFile).c_str(), STGM_READ))) {
        ADD_FAILURE() << "cannot load " << linkFile;
        return fields;
    }
    char text[MAX_PATH] = {};
    link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
    fields.path = text;
    link->GetArguments(text, MAX_PATH);
    fields.arguments = text;
    link->GetWorkingDirectory(text, MAX_PATH);
    fields.workingDirectory = text;
    link->GetDescription(text, MAX_PATH);
    fields.description = text;
    link->GetIconLocation(text, MAX_PATH, &fields.iconIndex);
    fields.iconFile = text;
    link->GetShowCmd(&fields.showCmd);
    return fields;
}

std::optional<std::string> RunValue()
{
    TRegistry machine;
    machine.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!machine.OpenKeyReadOnly(RunKeyPath(true)))
        return std::nullopt;
    return machine.ReadString("!Ovel");
}

class SystemFoldersWin : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_HRESULT_SUCCEEDED(CoInitialize(nullptr));
        ProgRegistry = new TRegistry(KEY_ALL_ACCESS);
        ProductName = "Ovel";
        EnProgName = kCaption;
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "ovel-folders-test\\";
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
    }

    void TearDown() override
    {
        DeleteFileA((folder_ + "Ovel.lnk").c_str());
        RemoveDirectoryA(folder_.c_str());
        delete ProgRegistry;
        ProgRegistry = nullptr;
        CoUninitialize();
    }

    std::string folder_;
};

TEST_F(SystemFoldersWin, InitSystemFoldersFillsEveryFolder)
{
    ASSERT_TRUE(InitSystemFolders());
    struct Folder {
        const char* name;
        const std::string& path;
    };
    const Folder folders[] = {
        {"ExeDir", ExeDir},   {"SystemDir", SystemDir},   {"WindowsDir", WindowsDir},
        {"TempDir", TempDir}, {"DesktopDir", DesktopDir}, {"StartupDir", StartupDir},
    };
    for (const Folder& folder : folders) {
        ASSERT_FALSE(folder.path.empty()) << folder.name;
        EXPECT_EQ(folder.path.back(), '\\') << folder.name << ": " << folder.path;
        EXPECT_NE(folder.path.substr(folder.path.size() - 2), "\\\\") << folder.name << ": " << folder.path;
    }
    EXPECT_TRUE(FileExists(ExeDir + "SystemFoldersWinTest.exe")) << ExeDir;
    EXPECT_TRUE(FileExists(SystemDir + "kernel32.dll")) << SystemDir;
    EXPECT_TRUE(FolderExists(WindowsDir + "system32")) << WindowsDir;
    EXPECT_TRUE(FolderExists(TempDir)) << TempDir;
    ASSERT_FALSE(ProgramFilesDir.empty());
    EXPECT_NE(ProgramFilesDir.back(), '\\') << ProgramFilesDir;
    EXPECT_TRUE(FolderExists(ProgramFilesDir)) << ProgramFilesDir;
    EXPECT_TRUE(IsAdmin) << "Wine runs as an administrator";
}

TEST_F(SystemFoldersWin, UnreadableShellFolderStaysEmpty)
{
    TRegistry user;
    ASSERT_TRUE(user.OpenKey(std::string(kCurrentVersionKey) + "\\Explorer\\Shell Folders", false));
    ASSERT_TRUE(user.DeleteValue("Startup"));
    user.CloseKey();

    ASSERT_TRUE(InitSystemFolders());
    EXPECT_EQ(StartupDir, "");
    EXPECT_FALSE(DesktopDir.empty());
}

TEST_F(SystemFoldersWin, ShellLinkReadsBackAsWritten)
{
    const std::string target = ModulePath();
    const std::string linkFile = folder_ + "Ovel.lnk";
    ASSERT_TRUE(CreateShellLink(target, linkFile, "gstart", 2, "Forest at night"));

    const LinkFields link = ReadLink(linkFile);
    EXPECT_STRCASEEQ(link.path.c_str(), target.c_str());
    EXPECT_EQ(link.arguments, "gstart");
    EXPECT_STRCASEEQ(link.workingDirectory.c_str(), FolderOfPath(target).c_str());
    EXPECT_EQ(link.description, "Forest at night");
    EXPECT_STRCASEEQ(link.iconFile.c_str(), target.c_str());
    EXPECT_EQ(link.iconIndex, 2);
    // The link format reads a plain SW_SHOW back as SW_SHOWNORMAL.
    EXPECT_TRUE(link.showCmd == SW_SHOW || link.showCmd == SW_SHOWNORMAL) << link.showCmd;
}

TEST_F(SystemFoldersWin, ShellLinkIntoMissingFolderFails)
{
    EXPECT_FALSE(CreateShellLink(ModulePath(), folder_ + "absent\\Ovel.lnk", "", 0, ""));
    EXPECT_FALSE(FolderExists(folder_ + "absent"));
}

TEST_F(SystemFoldersWin, RunValueIsWrittenAndRemovedSilently)
{
    ExeDir = "C:\\Program Files\\Ovel\\";
    EXPECT_TRUE(BoxesShownBy([] { EXPECT_TRUE(SetRunKeyAutostart(true)); }).empty());
    EXPECT_EQ(RunValue(), "C:\\Program Files\\Ovel\\Ovel.exe rstart");

    EXPECT_TRUE(BoxesShownBy([] {
                    EXPECT_TRUE(SetRunKeyAutostart(false));
                    EXPECT_TRUE(SetRunKeyAutostart(false)) << "nothing left to remove is no failure";
                }).empty());
    EXPECT_EQ(RunValue(), std::nullopt);
}

TEST_F(SystemFoldersWin, RunKeyFailuresAreReported)
{
    const std::vector<std::string> oneWarning{kStartupError};
    TRegistry machine;
    machine.SetRootKey(HKEY_LOCAL_MACHINE);

    // A Run key that cannot be opened.
    ASSERT_TRUE(machine.DeleteKey(RunKeyPath(true)));
    EXPECT_EQ(BoxesShownBy([] { EXPECT_FALSE(SetRunKeyAutostart(true)); }), oneWarning);
    EXPECT_EQ(BoxesShownBy([] { EXPECT_FALSE(SetRunKeyAutostart(false)); }), oneWarning);

    // A Run key that opens but takes no change.
    ASSERT_TRUE(machine.OpenKey(RunKeyPath(true), true));
    ASSERT_TRUE(machine.WriteString("!Ovel", "kept"));
    machine.CloseKey();
    delete ProgRegistry;
    ProgRegistry = new TRegistry(KEY_READ);
    EXPECT_EQ(BoxesShownBy([] { EXPECT_FALSE(SetRunKeyAutostart(true)); }), oneWarning);
    EXPECT_EQ(BoxesShownBy([] { EXPECT_FALSE(SetRunKeyAutostart(false)); }), oneWarning);
    EXPECT_EQ(RunValue(), "kept");
}

TEST_F(SystemFoldersWin, StartupLinkIsCreatedAndRemovedSilently)
{
    ExeDir = "C:\\Program Files\\Ovel\\";
    StartupDir = folder_;
    const std::string linkFile = folder_ + "Ovel.lnk";

    EXPECT_TRUE(BoxesShownBy([] { SetStartupLinkAutostart(true); }).empty());
    ASSERT_TRUE(FileExists(linkFile));
    const LinkFields link = ReadLink(linkFile);
    EXPECT_STRCASEEQ(link.path.c_str(), "C:\\Program Files\\Ovel\\Ovel.exe");
    EXPECT_EQ(link.arguments, "gstart");
    EXPECT_EQ(link.iconIndex, 0);

    EXPECT_TRUE(BoxesShownBy([] {
                    SetStartupLinkAutostart(false);
                    SetStartupLinkAutostart(false);
                }).empty());
    EXPECT_FALSE(FileExists(linkFile));
}

TEST_F(SystemFoldersWin, StartupLinkFailuresAreReported)
{
    const std::vector<std::string> oneWarning{kStartupError};
    ExeDir = "C:\\Program Files\\Ovel\\";

    StartupDir = folder_ + "absent\\";
    EXPECT_EQ(BoxesShownBy([] { SetStartupLinkAutostart(true); }), oneWarning);

    // No known Startup folder: no link lands in the current folder instead.
    StartupDir.clear();
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    ASSERT_TRUE(SetCurrentDirectoryA(folder_.c_str()));
    EXPECT_EQ(BoxesShownBy([] { SetStartupLinkAutostart(true); }), oneWarning);
    EXPECT_TRUE(BoxesShownBy([] { SetStartupLinkAutostart(false); }).empty());
    EXPECT_FALSE(FileExists(folder_ + "Ovel.lnk"));
    SetCurrentDirectoryA(current);

    // A link that cannot be deleted stays and is reported.
    StartupDir = folder_;
    const std::string linkFile = folder_ + "Ovel.lnk";
    SetStartupLinkAutostart(true);
    ASSERT_TRUE(SetFileAttributesA(linkFile.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(BoxesShownBy([] { SetStartupLinkAutostart(false); }), oneWarning);
    EXPECT_TRUE(FileExists(linkFile));
    SetFileAttributesA(linkFile.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
