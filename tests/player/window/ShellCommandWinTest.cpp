// Commands run through the system's command interpreter, with the real reg.
#include "player/window/ShellCommand.h"

#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr unsigned kLimitMs = 30000;

int RunningProcesses(const char* exeName)
{
    int running = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        running += lstrcmpiA(entry.szExeFile, exeName) == 0 ? 1 : 0;
    CloseHandle(snapshot);
    return running;
}

TEST(ShellCommandWinTest, SucceedsOnlyWithExitCodeZero)
{
    const struct {
        const char* command;
        bool succeeds;
    } cases[] = {
        {"reg query HKCU\\Software", true},
        {"reg query HKCU\\Software\\OvelNoSuchKey", false},
        {"exit 3", false},
        {"exit 0", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RunShellCommand(c.command, kLimitMs), c.succeeds) << c.command;
}

// reg asks before it overwrites a file, and nobody answers its hidden console.
TEST(ShellCommandWinTest, ACommandPastItsTimeIsEndedWithWhatItStarted)
{
    const std::filesystem::path existing = std::filesystem::temp_directory_path() / "ovel-existing.reg";
    std::ofstream(existing) << "x";
    constexpr unsigned kShortLimitMs = 3000;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(RunShellCommand("reg export HKCU\\Software \"" + existing.string() + "\"", kShortLimitMs));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(kShortLimitMs + 5000));
    EXPECT_EQ(RunningProcesses("reg.exe"), 0);
    EXPECT_EQ(RunningProcesses("cmd.exe"), 0);
    std::filesystem::remove(existing);
}

}  // namespace
