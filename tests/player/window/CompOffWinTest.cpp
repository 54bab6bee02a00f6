// The power-off countdown over the board as the program makes it, and the
// power actions over a recorder of their calls: nothing here powers off,
// hibernates or mutes.
#include "player/tools/CompOffUnit.h"

#include "platform/forms/Application.h"
#include "platform/forms/Registry.h"
#include "player/tools/PowerCalls.h"
#include "player/window/MainForm.h"
#include "support/LangUnit.h"
#include "support/ProgInfo.h"
#include "support/WinVer.h"
#include "tests/player/window/BoardFixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kHibernateItem = 2;
constexpr int kPowerOffItem = 3;
const HANDLE kToken = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x2C));
const FARPROC kSuspendProc = reinterpret_cast<FARPROC>(static_cast<INT_PTR>(0x5000));

std::string Hex(DWORD value)
{
    char text[16];
    wsprintfA(text, "0x%X", value);
    return text;
}

// Logs every call with its arguments and answers as scripted.
class TPowerRecorder : public TPowerCalls {
public:
    std::vector<std::string> Log;
    TWindowsVersion Version{VER_PLATFORM_WIN32_NT, 6, 1};
    bool Opens = true;
    bool LooksUp = true;
    DWORD AdjustError = ERROR_SUCCESS;
    bool Starts = true;
    FARPROC Proc = kSuspendProc;
    DWORD SuspendAnswer = 1;
    bool Writes = true;
    std::function<void()> BeforeExit;  // what the test looks at as the power goes

    TWindowsVersion WindowsVersion() override
    {
        Log.push_back("WindowsVersion");
        return Version;
    }
    bool ShellExecuteHidden(const std::string& file, const std::string& parameters) override
    {
        Log.push_back("ShellExecute " + file + " " + parameters);
        return Starts;
    }
    bool OpenProcessToken(DWORD access, HANDLE& token) override
    {
        Log.push_back("OpenProcessToken " + Hex(access));
        if (Opens)
            token = kToken;
        return Opens;
    }
    bool LookupPrivilege(const std::string& privilege, LUID& luid) override
    {
        Log.push_back("LookupPrivilegeValue " + privilege);
        luid = {0x13, 0};
        return LooksUp;
    }
    DWORD AdjustTokenPrivileges(HANDLE token, const LUID& luid, DWORD attributes) override
    {
        Log.push_back("AdjustTokenPrivileges " + Hex(static_cast<DWORD>(reinterpret_cast<INT_PTR>(token))) + " " +
                      Hex(luid.LowPart) + " " + Hex(attributes));
        return AdjustError;
    }
    bool ExitWindowsEx(UINT flags, DWORD reason) override
    {
        Log.push_back("ExitWindowsEx " + std::to_string(flags) + " " + std::to_string(reason));
        if (BeforeExit)
            BeforeExit();
        return true;
    }
    void CloseHandle(HANDLE handle) override
    {
        Log.push_back("CloseHandle " + Hex(static_cast<DWORD>(reinterpret_cast<INT_PTR>(handle))));
    }
    void ExitErrorBox(const std::string& caption) override { Log.push_back("Exit Error: " + caption); }
    FARPROC DllProc(const std::string& module, const std::string& procedure) override
    {
        Log.push_back("DllProc " + module + " " + procedure);
        return Proc;
    }
    DWORD SetSuspendState(FARPROC address, BOOL hibernate, BOOL force, BOOL disableWakeEvent) override
    {
        EXPECT_EQ(address, kSuspendProc);
        Log.push_back("SetSuspendState " + std::to_string(hibernate) + " " + std::to_string(force) + " " +
                      std::to_string(disableWakeEvent));
        return SuspendAnswer;
    }
    bool WriteMachineString(const std::string& key, const std::string& name, const std::string& value) override
    {
        Log.push_back("WriteMachineString " + key + " " + name + " " + value);
        return Writes;
    }
    void MuteSystemSound() override { Log.push_back("MuteSystemSound"); }
};

class CompOffWinTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        UseSilentOutput();
        CreateBoardLikeTheProgram();
        TComboBox& actions = OvelMainForm->MuteComboBox;
        for (const char* key : {"loudnessdown", "keepiton", "sendtosleep", "andturnoff"})
            actions.Items.Add(GetLangString(key));
    }

    static void TearDownTestSuite() { FreeOvelMainForm(); }

    void SetUp() override
    {
        ASSERT_NE(OvelMainForm, nullptr);
        SetPowerCalls(&recorder);
        SetSuspendStateAddress = nullptr;
        OvelMainForm->MuteComboBox.SetItemIndex(kPowerOffItem);
    }

    void TearDown() override { SetPowerCalls(nullptr); }

    // What the board does with a countdown: shows it, then acts only when it ran out.
    static void CountDownThenHibernate(const std::function<void(TCompOffForm&)>& meanwhile)
    {
        TCompOffForm form;
        ASSERT_TRUE(form.Created());
        meanwhile(form);
        form.ShowModal();
        if (CompOffConfirmed)
            TCompOffForm::Hibernate();
    }

    // The board's mute time comes with this action at the next tick.
    static void TickAtTheMuteTime(int action, int day)
    {
        TOvelMainForm& board = *OvelMainForm;
        board.MuteComboBox.SetItemIndex(action);
        board.MuteDateTimePicker.SetTime(EncodeTime(22, 0));
        const TNotifyEvent handler = board.MuteTimeCheckBox.OnClick;
        board.MuteTimeCheckBox.OnClick = nullptr;
        board.MuteTimeCheckBox.SetChecked(true);
        board.MuteTimeCheckBox.OnClick = handler;
        BoardClock().Wall = EncodeDate(2026, 6, day) + EncodeTime(22, 0);
        board.ScheduleTimerTimer(nullptr);
        BoardClock().Wall = BoardClockStart();
    }

    // Cancels the countdown by its button once it shows.
    static void CancelWhenShown() { SetTimer(nullptr, 0, kCancelPoll, CancelCountdown); }

    static void CALLBACK CancelCountdown(HWND, UINT, UINT_PTR timer, DWORD)
    {
        if (CompOffForm == nullptr)
            return;
        KillTimer(nullptr, timer);
        PostMessageA(CompOffForm->CancelBitBtn.Handle(), BM_CLICK, 0, 0);
    }

    // The board asked the program to end.
    static bool QuitPosted()
    {
        MSG message;
        return PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
    }

    static constexpr UINT kCancelPoll = 50;
    TPowerRecorder recorder;
};

TEST_F(CompOffWinTest, ShowsWhatComesAndTenAfterTheFirstSecond)
{
    for (const int action : {kHibernateItem, kPowerOffItem}) {
        OvelMainForm->MuteComboBox.SetItemIndex(action);
        EXPECT_EQ(CompOffForm, nullptr);
        {
            TCompOffForm form;
            ASSERT_TRUE(form.Created());
            EXPECT_EQ(CompOffForm, &form);
            EXPECT_EQ(form.Caption(), GetLangString("onschedule"));
            EXPECT_EQ(form.CompOffLabel.Caption(), GetLangString(action == kHibernateItem ? "compsleep" : "compoff"));
            EXPECT_EQ(form.CancelBitBtn.Caption(), GetLangString("cancel"));
            EXPECT_EQ(form.CountDownLabel.Caption(), "");
            EXPECT_TRUE(PumpUntil([&form] { return !form.CountDownLabel.Caption().empty(); }, kShortPump));
            EXPECT_EQ(form.CountDownLabel.Caption(), "10");
            RECT client{};
            GetClientRect(form.Handle(), &client);
            EXPECT_EQ(client.right, 461);
            EXPECT_EQ(client.bottom, 215);
        }
        EXPECT_EQ(CompOffForm, nullptr);
    }
}

TEST_F(CompOffWinTest, EnterEscAndTheButtonCancelAndNothingIsCalled)
{
    const std::vector<std::function<void(TCompOffForm&)>> cancels = {
        [](TCompOffForm& form) { PostMessageA(form.CancelBitBtn.Handle(), WM_KEYDOWN, VK_RETURN, 0); },
        [](TCompOffForm& form) { PostMessageA(form.CancelBitBtn.Handle(), WM_KEYDOWN, VK_ESCAPE, 0); },
        [](TCompOffForm& form) { PostMessageA(form.CancelBitBtn.Handle(), BM_CLICK, 0, 0); },
        [](TCompOffForm& form) { PostMessageA(form.Handle(), WM_CLOSE, 0, 0); },
    };
    for (std::size_t i = 0; i < cancels.size(); ++i) {
        CountDownThenHibernate(cancels[i]);
        EXPECT_FALSE(CompOffConfirmed) << "way " << i;
        EXPECT_TRUE(recorder.Log.empty()) << "way " << i;
    }
}

TEST_F(CompOffWinTest, RunningOutConfirmsAtTheEleventhTick)
{
    std::string lastShown;
    CountDownThenHibernate([&lastShown](TCompOffForm& form) {
        form.OnClose = [&lastShown, &form](TObject*, TCloseAction&) { lastShown = form.CountDownLabel.Caption(); };
    });
    EXPECT_TRUE(CompOffConfirmed);
    EXPECT_EQ(lastShown, "0");
    EXPECT_EQ(recorder.Log,
              (std::vector<std::string>{"DllProc POWRPROF.dll SetSuspendState", "SetSuspendState -1 0 0"}));
}

struct ShutDownCase {
    std::string name;
    std::function<void(TPowerRecorder&)> script;
    std::vector<std::string> calls;
};

TEST_F(CompOffWinTest, ShutDownMakesTheCallsOfItsWindowsVersionAndStopsAtAFailure)
{
    const std::vector<std::string> granted = {"WindowsVersion", "OpenProcessToken 0x28",
                                              "LookupPrivilegeValue SeShutdownPrivilege",
                                              "AdjustTokenPrivileges 0x2C 0x13 0x2"};
    const auto then = [](std::vector<std::string> calls, const std::vector<std::string>& more) {
        calls.insert(calls.end(), more.begin(), more.end());
        return calls;
    };
    const std::vector<ShutDownCase> cases = {
        {"NT 6.1", [](TPowerRecorder&) {}, then(granted, {"CloseHandle 0x2C", "ExitWindowsEx 12 0"})},
        {"NT 10.0",
         [](TPowerRecorder& r) {
             r.Version = {VER_PLATFORM_WIN32_NT, 10, 0};
         },
         then(granted, {"CloseHandle 0x2C", "ExitWindowsEx 12 0"})},
        {"XP",
         [](TPowerRecorder& r) {
             r.Version = {VER_PLATFORM_WIN32_NT, 5, 1};
         },
         {"WindowsVersion", "ShellExecute shutdown -s -f -t 0"}},
        {"XP refusing",
         [](TPowerRecorder& r) {
             r.Version = {VER_PLATFORM_WIN32_NT, 5, 1};
             r.Starts = false;
         },
         {"WindowsVersion", "ShellExecute shutdown -s -f -t 0"}},
        {"9x",
         [](TPowerRecorder& r) {
             r.Version = {VER_PLATFORM_WIN32_WINDOWS, 4, 10};
         },
         {"WindowsVersion", "ShellExecute rundll.exe user.exe,exitwindows"}},
        {"no token",
         [](TPowerRecorder& r) { r.Opens = false; },
         {"WindowsVersion", "OpenProcessToken 0x28", "Exit Error: OpenProcessToken Failed"}},
        {"no privilege",
         [](TPowerRecorder& r) { r.LooksUp = false; },
         {"WindowsVersion", "OpenProcessToken 0x28", "LookupPrivilegeValue SeShutdownPrivilege", "CloseHandle 0x2C",
          "Exit Error: LookupPrivilegeValue Failed"}},
        {"not granted", [](TPowerRecorder& r) { r.AdjustError = ERROR_NOT_ALL_ASSIGNED; },
         then(granted, {"CloseHandle 0x2C", "Exit Error: AdjustTokenPrivileges Failed"})},
    };
    for (const ShutDownCase& c : cases) {
        TPowerRecorder recorded;
        c.script(recorded);
        SetPowerCalls(&recorded);
        TCompOffForm::ShutDown();
        EXPECT_EQ(recorded.Log, c.calls) << c.name;
    }
}

struct SuspendCase {
    DWORD answer;
    bool hibernating;
};

TEST_F(CompOffWinTest, HibernateReadsOnlyTheLowByteOfTheAnswer)
{
    const std::vector<SuspendCase> cases = {{1, true},      {0, false},         {0xFFFFFF00, false},
                                            {0x100, false}, {0xABCDEF01, true}, {0xFF, true}};
    for (const SuspendCase& c : cases) {
        recorder.SuspendAnswer = c.answer;
        EXPECT_EQ(TCompOffForm::Hibernate(), c.hibernating) << Hex(c.answer);
    }
    EXPECT_EQ(recorder.Log.front(), "DllProc POWRPROF.dll SetSuspendState");
    EXPECT_EQ(recorder.Log.size(), 1 + cases.size()) << "looked up once";
}

TEST_F(CompOffWinTest, WithoutSetSuspendStateNothingHibernatesAndTheNextCallLooksAgain)
{
    recorder.Proc = nullptr;
    EXPECT_FALSE(TCompOffForm::Hibernate());
    EXPECT_FALSE(TCompOffForm::Hibernate());
    EXPECT_EQ(recorder.Log, (std::vector<std::string>{"DllProc POWRPROF.dll SetSuspendState",
                                                      "DllProc POWRPROF.dll SetSuspendState"}));
}

TEST_F(CompOffWinTest, BeforeVistaTheSoundOnToolIsRegisteredThenTheSoundMuted)
{
    const bool vista = VistaOrLater;
    const std::string registration =
        "WriteMachineString Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce Tessil " + ExeDir + "Tessil.exe";
    VistaOrLater = false;
    EXPECT_TRUE(TCompOffForm::RegisterSoundOnAndMute());
    EXPECT_EQ(recorder.Log, (std::vector<std::string>{registration, "MuteSystemSound"}));

    recorder.Log.clear();
    recorder.Writes = false;
    EXPECT_FALSE(TCompOffForm::RegisterSoundOnAndMute());
    EXPECT_EQ(recorder.Log, std::vector<std::string>{registration}) << "no mute without the registration";

    recorder.Log.clear();
    VistaOrLater = true;
    EXPECT_TRUE(TCompOffForm::RegisterSoundOnAndMute());
    EXPECT_TRUE(recorder.Log.empty());
    VistaOrLater = vista;
}

// The one real call here: the value lands in this test's own prefix.
TEST_F(CompOffWinTest, TheSystemsRegistrationWritesTheMachineValueAndLeavesTheUserRoot)
{
    SetPowerCalls(nullptr);
    const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
    ASSERT_TRUE(PowerCalls().WriteMachineString(key, "Tessil", "C:\\Ovel\\Tessil.exe"));
    EXPECT_EQ(ProgRegistry->RootKey(), HKEY_CURRENT_USER);
    TRegistry machine(KEY_READ);
    machine.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(machine.OpenKeyReadOnly(key));
    EXPECT_EQ(machine.ReadString("Tessil"), "C:\\Ovel\\Tessil.exe");
}

TEST_F(CompOffWinTest, AtTheMuteTimeTheBoardHibernatesOnlyWhenTheCountdownRunsOut)
{
    CancelWhenShown();
    TickAtTheMuteTime(kHibernateItem, 1);
    EXPECT_FALSE(CompOffConfirmed);
    EXPECT_EQ(CompOffForm, nullptr);
    EXPECT_TRUE(recorder.Log.empty());

    TickAtTheMuteTime(kHibernateItem, 2);
    EXPECT_TRUE(CompOffConfirmed);
    EXPECT_EQ(recorder.Log,
              (std::vector<std::string>{"DllProc POWRPROF.dll SetSuspendState", "SetSuspendState -1 0 0"}));
    EXPECT_TRUE(OvelMainForm->PlayCheckBox.Checked()) << "the board plays on after the wake-up";
    EXPECT_FALSE(QuitPosted());
}

TEST_F(CompOffWinTest, AtTheMuteTimeThePowerOffSavesTheOptionsFirstAndEndsTheBoard)
{
    const TDateTime marker = 0.0123;
    SunriseOffset = marker;
    std::optional<double> storedAtExit;
    recorder.BeforeExit = [&storedAtExit] {
        TRegistry stored(KEY_READ);
        if (stored.OpenKeyReadOnly(std::string(kProductKeyBase) + ProductName))
            storedAtExit = stored.ReadDateTime("SunriseOffset");
    };
    TickAtTheMuteTime(kPowerOffItem, 3);
    SunriseOffset = 0;
    ASSERT_FALSE(recorder.Log.empty());
    EXPECT_EQ(recorder.Log.back(), "ExitWindowsEx 12 0");
    EXPECT_EQ(storedAtExit, marker);
    EXPECT_TRUE(QuitPosted());
}

TEST_F(CompOffWinTest, BeforeVistaAPowerOffWhoseRegistrationFailsGoesNoFurther)
{
    const bool vista = VistaOrLater;
    VistaOrLater = false;
    recorder.Writes = false;
    TickAtTheMuteTime(kPowerOffItem, 4);
    VistaOrLater = vista;
    ASSERT_EQ(recorder.Log.size(), 1u);
    EXPECT_EQ(recorder.Log[0].rfind("WriteMachineString", 0), 0u) << recorder.Log[0];
    EXPECT_FALSE(QuitPosted());
}

}  // namespace
