// The player's pre-start as an installed player meets it. The program folder
// is the folder of the running program, so each start runs in a copy of this
// test program placed in a scratch folder beside bass.dll, the shipped banks
// and the language modules; the copy writes what it saw into that folder.
#include "player/engine/StartUp.h"

#include "support/ProgInfo.h"
#include "tests/common/MessageBoxWatcher.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace {

constexpr const char* kStartSwitch = "--start-in-own-folder";
constexpr const char* kOutcomeFile = "outcome.txt";
constexpr DWORD kStartLimitMs = 60000;
constexpr const char* kShippedVersion = "2.8.10d.213";

// What a start in its own folder answered and showed.
struct StartOutcome {
    bool started = false;
    std::string versionText;
    bool boxShown = false;
    std::string boxText;
};

std::string Utf8(const std::wstring& text)
{
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], length, nullptr, nullptr);
    return utf8;
}

fs::path OwnProgram()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

// The side of the copy: one start, its answer and its box into the outcome file.
int StartInOwnFolder()
{
    ProgInfoInitialization();
    MessageBoxWatcher watcher;
    const bool started = PrepareStart();
    const SeenMessageBox box = watcher.Result();
    std::ofstream outcome(ExeDir + kOutcomeFile, std::ios::binary);
    outcome << started << '\n' << VersionText << '\n' << box.found << '\n' << Utf8(box.text);
    return outcome ? 0 : 1;
}

StartOutcome ReadOutcome(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    StartOutcome outcome;
    std::string line;
    std::getline(in, line);
    outcome.started = line == "1";
    std::getline(in, outcome.versionText);
    std::getline(in, line);
    outcome.boxShown = line == "1";
    std::ostringstream rest;
    rest << in.rdbuf();
    outcome.boxText = rest.str();
    return outcome;
}

// A program folder laid out as the installer lays it out, with this program as the player.
class ProgramFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder_ = fs::path(temp) / ("ovel-start-" + std::to_string(GetTickCount()) + "-" +
                                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_ / "language");
        fs::copy_file(OwnProgram(), folder_ / "Ovel.exe");
        const fs::path dist = OVEL_DIST_DIR;
        ASSERT_TRUE(fs::exists(dist / "ovda.3bs")) << "no shipped banks in " << dist << ": build the native tree";
        for (const auto& entry : fs::directory_iterator(dist)) {
            const std::string extension = entry.path().extension().string();
            if (extension == ".3bs" || extension == ".cok" || extension == ".ics")
                fs::copy_file(entry.path(), folder_ / entry.path().filename());
        }
        for (const char* library : {"bass.dll", "bassmix.dll"})
            fs::copy_file(fs::path(OVEL_PROGRAM_DIR) / library, folder_ / library);
        for (const auto& entry : fs::directory_iterator(fs::path(OVEL_SOURCE_DIR) / "language"))
            fs::copy_file(entry.path(), folder_ / "language" / entry.path().filename());
    }

    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    fs::path Bank(const char* name) const { return folder_ / name; }

    // Runs the copy in the folder and waits for it, as a user's start would.
    StartOutcome Start() const
    {
        std::string commandLine = "\"" + (folder_ / "Ovel.exe").string() + "\" " + kStartSwitch;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        const std::string workFolder = folder_.string();
        if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, workFolder.c_str(), &startup,
                            &process)) {
            ADD_FAILURE() << "cannot run " << commandLine;
            return {};
        }
        const bool ended = WaitForSingleObject(process.hProcess, kStartLimitMs) == WAIT_OBJECT_0;
        if (!ended)
            TerminateProcess(process.hProcess, 1);
        DWORD exitCode = 1;
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        EXPECT_TRUE(ended) << "the start did not end";
        EXPECT_EQ(exitCode, 0u) << "the start wrote no outcome";
        return ReadOutcome(folder_ / kOutcomeFile);
    }

    fs::path folder_;
};

TEST_F(ProgramFolder, FullSetStartsWithTheBanksRevisionSum)
{
    const StartOutcome outcome = Start();
    EXPECT_TRUE(outcome.started);
    EXPECT_EQ(outcome.versionText, kShippedVersion);
    EXPECT_FALSE(outcome.boxShown) << outcome.boxText;
}

TEST_F(ProgramFolder, MissingRequiredBankIsNamedAndEndsTheStart)
{
    fs::remove(Bank("ovda.3bs"));
    const StartOutcome outcome = Start();
    EXPECT_FALSE(outcome.started);
    ASSERT_TRUE(outcome.boxShown);
    EXPECT_EQ(outcome.boxText, "ovda.3bs not found\r\n\r\nPlease reinstall the program.");
}

// One byte past the last clip: the size no longer matches the offset table.
TEST_F(ProgramFolder, CorruptOptionalBankIsReportedAndSkipped)
{
    std::ofstream(Bank("ovgh.cok"), std::ios::binary | std::ios::app).put('\0');
    const StartOutcome outcome = Start();
    EXPECT_TRUE(outcome.started);
    ASSERT_TRUE(outcome.boxShown);
    EXPECT_EQ(outcome.boxText, "File ovgh.cok is corrupt!\r\nPlease reinstall the program.");
    EXPECT_EQ(outcome.versionText, "2.8.10d.207") << "ovgh.cok's revision 6 left out of the sum";
}

// A running player stand-in: the marker and a board window of the board's class.
class RunningPlayer : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ProgInfoInitialization(); }
    static void TearDownTestSuite() { ProgInfoFinalization(); }

    void SetUp() override
    {
        appMessages_ = 0;
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = BoardProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kBoardClassName;
        ASSERT_TRUE(RegisterClassA(&windowClass));
        marker_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kRunningMarkerSize,
                                     kRunningMarkerName);
        ASSERT_NE(marker_, nullptr);
        board_ = CreateWindowA(kBoardClassName, "", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(board_, nullptr);
    }

    void TearDown() override
    {
        DestroyWindow(board_);
        UnregisterClassA(kBoardClassName, GetModuleHandleA(nullptr));
        CloseHandle(marker_);
    }

    static LRESULT CALLBACK BoardProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_APP && wParam == 0 && lParam == 0)
            ++appMessages_;
        return DefWindowProcA(window, message, wParam, lParam);
    }

    static void DeliverPosted()
    {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }

    static int appMessages_;
    HANDLE marker_ = nullptr;
    HWND board_ = nullptr;
};

int RunningPlayer::appMessages_ = 0;

TEST_F(RunningPlayer, SecondStartBringsTheBoardForwardAndEnds)
{
    struct Case {
        bool boardShown;
        int appMessages;
    };
    MessageBoxWatcher watcher;
    for (const Case& c : {Case{false, 1}, Case{true, 0}}) {
        SCOPED_TRACE(c.boardShown ? "board shown" : "board hidden");
        appMessages_ = 0;
        ShowWindow(board_, c.boardShown ? SW_SHOW : SW_HIDE);
        EXPECT_FALSE(PrepareStart());
        EXPECT_EQ(RunningBoardWnd, board_);
        DeliverPosted();
        EXPECT_EQ(appMessages_, c.appMessages);
    }
    const SeenMessageBox box = watcher.Result();
    EXPECT_FALSE(box.found) << Utf8(box.text);
}

// Between the first start's marker and its board the banks are held unshared:
// the second start waits for the board and hands over, reaching no bank.
TEST_F(RunningPlayer, SecondStartDuringTheFirstsStartWaitsForItsBoard)
{
    constexpr DWORD kBoardLate = 500;
    DestroyWindow(board_);
    appMessages_ = 0;
    std::atomic<HWND> late{nullptr};
    std::atomic<DWORD> firstThread{0};
    std::thread first([&] {
        firstThread = GetCurrentThreadId();
        Sleep(kBoardLate);
        HWND board = CreateWindowA(kBoardClassName, "", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
        late = board;
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0)
            DispatchMessageA(&message);
        DestroyWindow(board);
    });
    MessageBoxWatcher watcher;
    EXPECT_FALSE(PrepareStart());
    while (!late.load())
        Sleep(1);  // the window may be found before its maker has its handle
    EXPECT_EQ(RunningBoardWnd, late.load());
    PostThreadMessageA(firstThread, WM_QUIT, 0, 0);
    first.join();
    EXPECT_EQ(appMessages_, 1) << "the hidden board is asked to show";
    const SeenMessageBox box = watcher.Result();
    EXPECT_FALSE(box.found) << Utf8(box.text);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::string(argv[1]) == kStartSwitch)
        return StartInOwnFolder();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
