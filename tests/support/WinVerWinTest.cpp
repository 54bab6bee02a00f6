#include "support/WinVer.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <set>

namespace {

std::string CurrentVersionProductName()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", 0,
                      KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return "";
    char value[256] = {};
    DWORD size = sizeof value - 1;
    const LONG result = RegQueryValueExA(key, "ProductName", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? value : "";
}

// A 64-bit process is on 64-bit Windows by construction; a 32-bit one is when
// it runs under WOW64.
bool RunsOn64BitWindows()
{
    if (sizeof(void*) == 8)
        return true;
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

std::set<std::string> TempFiles()
{
    char folder[MAX_PATH] = {};
    GetEnvironmentVariableA("Temp", folder, sizeof folder);
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((std::string(folder) + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.insert(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// Sets an environment variable for one test and puts the old value back.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name)
    {
        char old[MAX_PATH] = {};
        had_ = GetEnvironmentVariableA(name, old, sizeof old) > 0;
        old_ = old;
        SetEnvironmentVariableA(name, value);
    }
    ~ScopedEnvironment() { SetEnvironmentVariableA(name_, had_ ? old_.c_str() : nullptr); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

TEST(WinVerWin, NamesTheRunningSystemAndSetsItsFlags)
{
    std::string name, version, servicePack;
    ASSERT_TRUE(GetWindowsVersionInfo(name, version, servicePack));
    EXPECT_TRUE(VistaOrLater) << "Wine 8 reports Windows 7 or later";
    EXPECT_NE(version.find('.'), std::string::npos) << version;

    std::string text;
    GetWindowsVersionText(true, text);
    EXPECT_NE(text, "unknown");
    const std::string productName = CurrentVersionProductName();
    ASSERT_FALSE(productName.empty());
    EXPECT_EQ(text.rfind(productName + (RunsOn64BitWindows() ? " 64-bit " : " 32-bit ") + version, 0), 0u) << text;
    EXPECT_EQ(Is64Bit, RunsOn64BitWindows());
    EXPECT_FALSE(IsServer) << text;
}

TEST(WinVerWin, ConsoleVersionReadsAndCleansUp)
{
    const std::set<std::string> before = TempFiles();
    std::string output;
    RunConsoleCommand("ver", output);
    EXPECT_NE(output.find("Windows"), std::string::npos) << output;
    EXPECT_FALSE(VersionInVerOutput(output).empty()) << output;
    EXPECT_EQ(output.substr(output.size() - 2), "\r\n");
    EXPECT_EQ(TempFiles(), before) << "the output file is deleted";
}

TEST(WinVerWin, CommandsWithoutOutputGiveNone)
{
    for (const char* command : {"rem", "ovel_no_such_command"}) {
        std::string output = "stale";
        RunConsoleCommand(command, output);
        EXPECT_EQ(output, "") << command;
    }
}

TEST(WinVerWin, CommandPastItsTimeLimitIsEndedAndGivesNothing)
{
    const std::set<std::string> before = TempFiles();
    std::string output = "stale";
    RunConsoleCommand("echo started & pause", output, 500);
    EXPECT_EQ(output, "");
    EXPECT_EQ(TempFiles(), before) << "the output file is deleted";
}

TEST(WinVerWin, NoCommandProcessorGivesNoOutput)
{
    for (const char* comSpec : {static_cast<const char*>(nullptr), "C:\\ovel\\missing\\cmd.exe"}) {
        ScopedEnvironment environment("ComSpec", comSpec);
        std::string output = "stale";
        RunConsoleCommand("ver", output);
        EXPECT_EQ(output, "") << (comSpec ? comSpec : "no ComSpec");
    }
}

// The same text through Unicode: OEM code page in, ANSI code page out.
std::string OemToAnsiThroughUnicode(const std::string& text)
{
    wchar_t wide[64] = {};
    char ansi[64] = {};
    const int length = MultiByteToWideChar(CP_OEMCP, 0, text.c_str(), -1, wide, 64);
    WideCharToMultiByte(CP_ACP, 0, wide, length, ansi, sizeof ansi, nullptr, nullptr);
    return ansi;
}

TEST(WinVerWin, OemTextBecomesAnsi)
{
    const std::string accented = "\x82\x8A\x99";  // letters in both the Latin and the Cyrillic OEM pages
    EXPECT_EQ(OemToAnsiString(accented), OemToAnsiThroughUnicode(accented));
    EXPECT_NE(OemToAnsiString(accented), accented);
    EXPECT_EQ(OemToAnsiString("Version 1.0"), "Version 1.0");
    EXPECT_EQ(OemToAnsiString(""), "");
}

}  // namespace
