// The board's global hot keys, pressed through the system's input as a user
// presses them, on the board as the program makes it; and the hot-key editor.
// Another program holds two combinations the whole time. One board serves
// every case, in order.
#include "player/window/MainForm.h"

#include "platform/audio/win/WindowsBackends.h"
#include "platform/forms/Application.h"
#include "platform/forms/Registry.h"
#include "player/tools/AlarmClockUnit.h"
#include "player/tools/HotKeysUnit.h"
#include "support/LangUnit.h"
#include "support/ProgInfo.h"
#include "tests/common/MessageBoxWatcher.h"
#include "tests/player/window/BoardFixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr TShortCut CtrlAlt(char key) { return scCtrl | scAlt | static_cast<TShortCut>(key); }

// Held by the other program: the first is stored for the bonfire's farther key before the start.
constexpr TShortCut kHeldAtStart = CtrlAlt('H');
constexpr TShortCut kHeldForTheEditor = CtrlAlt('J');
constexpr TShortCut kFree = CtrlAlt('K');

constexpr TShortCut kStored[kHotKeyActionCount] = {
    CtrlAlt('O'), CtrlAlt('P'), CtrlAlt('U'), CtrlAlt('L'), CtrlAlt('Y'), CtrlAlt('N'),
    CtrlAlt('B'), CtrlAlt('R'), CtrlAlt('E'), CtrlAlt('F'), CtrlAlt('T'), CtrlAlt('G'),
    CtrlAlt('C'), kHeldAtStart, CtrlAlt('A'), CtrlAlt('W'), CtrlAlt('X'),
};

std::wstring Wide(const std::string& text)
{
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), int(wide.size()))));
    return wide;
}

std::string ProductKey() { return kProductKeyBase + ProductName; }

std::optional<DWORD> StoredValue(const char* name)
{
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, ProductKey().c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

// Whether some window holds the combination: the probe's own registration is refused.
bool Taken(TShortCut shortCut)
{
    constexpr int kProbeId = 0xBFFF;
    if (RegisterHotKey(nullptr, kProbeId, HotKeyModifiers(shortCut), ShortCutKey(shortCut))) {
        UnregisterHotKey(nullptr, kProbeId);
        return false;
    }
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_HOTKEY_ALREADY_REGISTERED));
    return true;
}

// Every WM_HOTKEY the board's thread takes from its queue.
int HotKeysTaken = 0;
LRESULT CALLBACK CountHotKeys(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && message->message == WM_HOTKEY)
        ++HotKeysTaken;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void SendKey(std::vector<INPUT>& inputs, WORD key, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
}

// The combination typed on the keyboard, and the board's handling of its message.
void Press(TShortCut shortCut)
{
    const std::vector<WORD> modifiers = {VK_CONTROL, VK_MENU};
    std::vector<INPUT> inputs;
    for (WORD modifier : modifiers)
        SendKey(inputs, modifier, false);
    SendKey(inputs, ShortCutKey(shortCut), false);
    SendKey(inputs, ShortCutKey(shortCut), true);
    for (auto modifier = modifiers.rbegin(); modifier != modifiers.rend(); ++modifier)
        SendKey(inputs, *modifier, true);
    const int before = HotKeysTaken;
    ASSERT_EQ(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)), inputs.size());
    ASSERT_TRUE(PumpUntil([before] { return HotKeysTaken > before; }, kShortPump)) << std::hex << shortCut;
    ASSERT_TRUE(PumpQueued());
}

class TOtherProgram {
public:
    void Start(const std::vector<TShortCut>& shortCuts)
    {
        std::string command = "\"" OVEL_HOT_KEY_HOLDER "\" " + std::to_string(GetCurrentProcessId());
        for (TShortCut shortCut : shortCuts)
            command += " " + std::to_string(shortCut);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        ASSERT_TRUE(
            CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_));
        CloseHandle(process_.hThread);
        for (TShortCut shortCut : shortCuts)
            ASSERT_TRUE(PumpUntil([shortCut] { return Taken(shortCut); }, kShortPump));
    }
    ~TOtherProgram()
    {
        if (process_.hProcess) {
            TerminateProcess(process_.hProcess, 0);
            CloseHandle(process_.hProcess);
        }
    }

private:
    PROCESS_INFORMATION process_{};
};

TOtherProgram OtherProgram;
HHOOK MessageHook = nullptr;
SeenMessageBox StartBox;

void StoreBeforeTheStart()
{
    ASSERT_TRUE(OpenProductKey());
    ProgRegistry->WriteBool("UseHotKeys", true);
    ProgRegistry->WriteBool("ReportStartSCDeny", false);
    for (int action = 0; action < kHotKeyActionCount; ++action)
        ProgRegistry->WriteInteger(kHotKeyNames[action].RegistryValue, kStored[action]);
    ProgRegistry->CloseKey();
}

class BoardHotKeysWinTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ovelaudio::RegisterWindowsBackends();
        PrepareLikeTheStart();
        ASSERT_TRUE(PrepareApplication());
        StoreBeforeTheStart();
        OtherProgram.Start({kHeldAtStart, kHeldForTheEditor});
        MessageHook = SetWindowsHookExA(WH_GETMESSAGE, CountHotKeys, nullptr, GetCurrentThreadId());
        MessageBoxWatcher watcher;
        ASSERT_TRUE(CreateOvelMainForm());
        StartBox = watcher.Stop();
        HoldTheSchedule();
    }

    static void TearDownTestSuite()
    {
        FreeOvelMainForm();
        UnhookWindowsHookEx(MessageHook);
    }

    void SetUp() override { ASSERT_NE(OvelMainForm, nullptr) << "an earlier case ended the board"; }

    TOvelMainForm& Board() { return *OvelMainForm; }

    // Opens the editor as the tray item does, runs body in its modal loop and closes it with its button.
    void WithEditor(const std::function<void(THotKeysForm&)>& body)
    {
        bool ran = false;
        Application.Post([&] {
            struct TClose {
                ~TClose()
                {
                    if (HotKeysForm)
                        HotKeysForm->OKBitBtn.Click();
                }
            } close;
            ASSERT_NE(HotKeysForm, nullptr);
            body(*HotKeysForm);
            ran = true;
        });
        Board().HotKeys.OnClick(&Board().HotKeys);
        EXPECT_TRUE(ran);
        EXPECT_EQ(HotKeysForm, nullptr);
        EXPECT_TRUE(Board().HotKeys.Enabled);
        EXPECT_TRUE(Board().HotKeysBitBtn.Visible());
    }
};

TEST_F(BoardHotKeysWinTest, StartRegistersTheStoredKeysSilentlyWithoutTheHeldOne)
{
    EXPECT_FALSE(StartBox.found) << "no refusal is reported at the start";
    for (int action = 0; action < kHotKeyActionCount; ++action) {
        SCOPED_TRACE(kHotKeyNames[action].RegistryValue);
        EXPECT_EQ(HotKeyShortCuts[action], kStored[action]) << "stored even when refused, for the editor";
        EXPECT_NE(HotKeyAtoms[action], 0);
        EXPECT_TRUE(Taken(kStored[action]));
    }
    EXPECT_EQ(Board().PlayOnOff.ShortCut, kStored[hkPlay]);
    EXPECT_EQ(Board().Customize.ShortCut, kStored[hkControlBoard]);
    EXPECT_EQ(Board().Exit.ShortCut, kStored[hkExit]);
    EXPECT_TRUE(Board().HotKeys.Visible);
}

TEST_F(BoardHotKeysWinTest, PlayKeyTogglesPlay)
{
    const bool playing = Board().PlayCheckBox.Checked();
    Press(kStored[hkPlay]);
    EXPECT_NE(Board().PlayCheckBox.Checked(), playing);
    Press(kStored[hkPlay]);
    EXPECT_EQ(Board().PlayCheckBox.Checked(), playing);
}

TEST_F(BoardHotKeysWinTest, VolumeKeysStepOnlyWhilePlayingAndWithinTheRange)
{
    const struct {
        const char* what;
        bool playing;
        int from;
        THotKeyAction action;
        int to;
    } cases[] = {
        {"louder", true, 50, hkOvelLouder, 51},
        {"louder at the top", true, 100, hkOvelLouder, 100},
        {"lower at the top", true, 100, hkOvelLower, 99},
        {"lower at the bottom", true, 5, hkOvelLower, 5},
        {"louder while silent", false, 50, hkOvelLouder, 50},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Board().PlayCheckBox.SetChecked(c.playing);
        Board().VolumeTrackBar.SetPosition(c.from);
        Press(kStored[c.action]);
        EXPECT_EQ(Board().VolumeTrackBar.Position(), c.to);
    }
    Board().PlayCheckBox.SetChecked(true);
}

TEST_F(BoardHotKeysWinTest, BonfireKeysActOnlyInTheNightScene)
{
    Board().ForestClick(nullptr);
    const bool bonfire = Board().Option1CheckBox.Checked();
    const int activity = Board().Option1TrackBar.Position();
    Press(kStored[hkBonfire]);
    Press(kStored[hkBonfireHeavier]);
    EXPECT_EQ(Board().Option1CheckBox.Checked(), bonfire);
    EXPECT_EQ(Board().Option1TrackBar.Position(), activity) << "by day it is the birds' activity";

    // The night's own settings come with its scene: the fire starts out.
    Board().ForestNClick(nullptr);
    Board().Option1CheckBox.SetChecked(false);
    Board().Option1TrackBar.SetPosition(1);
    Press(kStored[hkBonfire]);
    Press(kStored[hkBonfireHeavier]);
    EXPECT_TRUE(Board().Option1CheckBox.Checked());
    EXPECT_EQ(Board().Option1TrackBar.Position(), 2);
}

TEST_F(BoardHotKeysWinTest, KeysLeaveDisabledControlsAsTheyAre)
{
    Board().OptionCheckBox.SetEnabled(true);  // the brook's bank is missing when disabled
    Board().OptionTrackBar.SetEnabled(true);
    Board().OptionTrackBar.SetPosition(50);
    const struct {
        const char* what;
        TControl& control;
        THotKeyAction action;
        std::function<int()> state;
    } cases[] = {
        {"brook", Board().OptionCheckBox, hkBrook, [this] { return int{Board().OptionCheckBox.Checked()}; }},
        {"wind", Board().WindCheckBox, hkWind, [this] { return int{Board().WindCheckBox.Checked()}; }},
        {"brook level", Board().OptionTrackBar, hkBrookLouder, [this] { return Board().OptionTrackBar.Position(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const int before = c.state();
        c.control.SetEnabled(false);
        Press(HotKeyShortCuts[c.action]);
        EXPECT_EQ(c.state(), before);
        c.control.SetEnabled(true);
        Press(HotKeyShortCuts[c.action]);
        EXPECT_NE(c.state(), before);
    }
}

TEST_F(BoardHotKeysWinTest, RainKeyRunsTheRainItemOnlyWhileItIsOffered)
{
    int runs = 0;
    TObject* sender = &Board();
    Board().RainNow.OnClick = [&](TObject* clicked) {
        ++runs;
        sender = clicked;
    };
    Board().RainNow.Visible = false;
    Press(kStored[hkRain]);
    EXPECT_EQ(runs, 0) << "no rain bank, or play is off";
    Board().RainNow.Visible = true;
    Press(kStored[hkRain]);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(sender, nullptr);
    Board().RainNow.Visible = false;
    Board().RainNow.OnClick = nullptr;
}

TEST_F(BoardHotKeysWinTest, ControlBoardKeyShowsAHiddenBoardAndHidesAShownOne)
{
    ASSERT_FALSE(Board().Visible());
    Press(kStored[hkControlBoard]);
    ASSERT_TRUE(PumpUntil([this] { return Board().Visible(); }, kShortPump));
    EXPECT_FALSE(Board().Customize.Enabled);
    Press(kStored[hkControlBoard]);
    ASSERT_TRUE(PumpUntil([this] { return !Board().Visible(); }, kShortPump));
    EXPECT_TRUE(Board().Customize.Enabled);
}

// The alarm's window holds the board beneath it: the key leaves the board shown.
TEST_F(BoardHotKeysWinTest, ControlBoardKeyLeavesTheBoardWhileTheAlarmWindowIsOpen)
{
    Board().CustomizeClick(nullptr);
    ASSERT_TRUE(PumpUntil([this] { return Board().Visible(); }, kShortPump));
    bool ran = false;
    Application.Post([&] {
        ASSERT_NE(AlarmClockForm, nullptr);
        EXPECT_FALSE(Board().AlarmTestBitBtn.Visible());
        Press(kStored[hkControlBoard]);
        ASSERT_TRUE(PumpQueued());
        EXPECT_TRUE(Board().Visible());
        ran = true;
        AlarmClockForm->Close();
    });
    Board().AlarmTestBitBtn.OnClick(&Board().AlarmTestBitBtn);
    EXPECT_TRUE(ran);
    EXPECT_EQ(AlarmClockForm, nullptr) << "cleared after the window is freed";
    EXPECT_TRUE(Board().AlarmTestBitBtn.Visible());
    Board().Close();
}

TEST_F(BoardHotKeysWinTest, NoKeyActsWhileTheEditorIsOpen)
{
    Board().CustomizeClick(nullptr);
    ASSERT_TRUE(PumpUntil([this] { return Board().Visible(); }, kShortPump));
    const bool playing = Board().PlayCheckBox.Checked();
    WithEditor([&](THotKeysForm&) {
        EXPECT_FALSE(Board().HotKeysBitBtn.Visible());
        EXPECT_FALSE(Board().HotKeys.Enabled);
        for (THotKeyAction action : {hkControlBoard, hkPlay, hkExit})
            Press(kStored[action]);
        EXPECT_TRUE(Board().Visible());
        EXPECT_EQ(Board().PlayCheckBox.Checked(), playing);
        EXPECT_FALSE(Application.Terminated());
    });
    Board().Close();
}

TEST_F(BoardHotKeysWinTest, EditorOpensCentredOnTheBoardWithTheStoredShortCuts)
{
    constexpr int kClientWidth = 587;
    constexpr int kClientHeight = 404;
    WithEditor([&](THotKeysForm& editor) {
        RECT client{};
        GetClientRect(editor.Handle(), &client);
        EXPECT_EQ(client.right, kClientWidth);
        EXPECT_EQ(client.bottom, kClientHeight);
        const RECT own = editor.Bounds();
        const RECT board = Board().Bounds();
        EXPECT_NEAR(own.left + own.right, board.left + board.right, 1);
        EXPECT_NEAR(own.top + own.bottom, board.top + board.bottom, 1);
        EXPECT_TRUE(GetWindowLongA(editor.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
        EXPECT_EQ(editor.Caption(), GetLangString("progname") + " - " + GetLangString("hotkeys"));
        EXPECT_EQ(editor.BonfireCloserLabel.Caption(), GetLangString("bonfirecloser"));
        for (int action = 0; action < kHotKeyActionCount; ++action) {
            EXPECT_EQ(HotKeyShortCuts[action], kStored[action]) << kHotKeyNames[action].RegistryValue;
        }
        EXPECT_EQ(editor.PlayHotKey.HotKey(), kStored[hkPlay]);
        EXPECT_EQ(editor.BonfireFartherHotKey.HotKey(), kHeldAtStart) << "refused at the start, still shown";
        EXPECT_TRUE(editor.HotKeysCheckBox.Checked());
        EXPECT_FALSE(editor.ReportSCDenyCheckBox.Checked());
    });
}

TEST_F(BoardHotKeysWinTest, EditorRowsApplyAndSaveEachChangeAtOnce)
{
    const struct {
        const char* what;
        TShortCut entered;  // 0: the user clears the row
        const char* boxKey;
        TShortCut shown;   // in the row afterwards
        TShortCut stored;  // the action's shortcut afterwards, as the registry has it too
        bool freeTaken;    // the board holds the free combination
    } cases[] = {
        {"its own", kHeldAtStart, nullptr, kHeldAtStart, kHeldAtStart, false},
        {"the play key's", kStored[hkPlay], "hotkeybusy", kStored[hkPlay], kHeldAtStart, false},
        {"a free one", kFree, nullptr, kFree, kFree, true},
        {"cleared", 0, nullptr, 0, 0, false},
        {"one held elsewhere", kHeldForTheEditor, "hotkeydeny", 0, 0, false},
    };
    WithEditor([&](THotKeysForm& editor) {
        THotKey& row = editor.BonfireFartherHotKey;
        EXPECT_TRUE(editor.HotKeysCheckBox.Checked());
        EXPECT_EQ(row.HotKey(), kHeldAtStart);
        for (const auto& c : cases) {
            SCOPED_TRACE(c.what);
            MessageBoxWatcher watcher;
            row.SetFocus();
            row.SetHotKey(c.entered);
            if (c.entered == 0)  // as the control reports the user's clearing
                SendMessageA(editor.Handle(), WM_COMMAND, MAKEWPARAM(row.Id(), EN_CHANGE),
                             reinterpret_cast<LPARAM>(row.Handle()));
            else
                editor.OKBitBtn.SetFocus();
            const SeenMessageBox box = watcher.Stop();
            if (c.boxKey) {
                EXPECT_EQ(box.text, Wide(GetLangStringFmt(c.boxKey, {ShortCutToText(c.entered)})));
            } else {
                EXPECT_FALSE(box.found) << std::string(box.text.begin(), box.text.end());
            }
            EXPECT_EQ(row.HotKey(), c.shown);
            EXPECT_EQ(HotKeyShortCuts[hkBonfireFarther], c.stored);
            EXPECT_EQ(StoredValue("BonfireFartherSC"), c.stored);
            EXPECT_EQ(Taken(kFree), c.freeTaken);
            EXPECT_TRUE(Taken(kStored[hkPlay]));
            EXPECT_EQ(Board().PlayOnOff.ShortCut, kStored[hkPlay]);
            EXPECT_EQ(StoredValue("PlaySC"), kStored[hkPlay]);
        }
    });
}

TEST_F(BoardHotKeysWinTest, SwitchingOffReleasesEveryKeyAndOnRegistersThemWithoutABox)
{
    WithEditor([&](THotKeysForm& editor) {
        editor.HotKeysCheckBox.SetChecked(false);
        EXPECT_EQ(StoredValue("UseHotKeys"), 0u);
        EXPECT_FALSE(editor.PlayHotKey.Enabled());
        for (int action = 0; action < kHotKeyActionCount; ++action) {
            SCOPED_TRACE(kHotKeyNames[action].RegistryValue);
            EXPECT_EQ(HotKeyAtoms[action], 0);
            EXPECT_EQ(GlobalFindAtomA(kHotKeyNames[action].Atom), 0) << "the atom is deleted, not only forgotten";
            if (HotKeyShortCuts[action] != 0) {
                EXPECT_FALSE(Taken(HotKeyShortCuts[action]));
            }
        }
        EXPECT_EQ(Board().PlayOnOff.ShortCut, 0);

        MessageBoxWatcher watcher;
        editor.HotKeysCheckBox.SetChecked(true);
        EXPECT_FALSE(watcher.Stop().found);
        EXPECT_EQ(StoredValue("UseHotKeys"), 1u);
        EXPECT_TRUE(editor.PlayHotKey.Enabled());
        for (int action = 0; action < kHotKeyActionCount; ++action) {
            SCOPED_TRACE(kHotKeyNames[action].RegistryValue);
            EXPECT_EQ(HotKeyAtoms[action] != 0, HotKeyShortCuts[action] != 0);
            if (HotKeyShortCuts[action] != 0) {
                EXPECT_TRUE(Taken(HotKeyShortCuts[action]));
            }
        }
        EXPECT_EQ(Board().PlayOnOff.ShortCut, kStored[hkPlay]);
    });
    Press(kStored[hkPlay]);
    Press(kStored[hkPlay]);
}

// A registered key and a refused one, each set twice: the release leaves no atom behind.
TEST_F(BoardHotKeysWinTest, SettingAnActionAgainReleasesWhatItHeldFirst)
{
    {
        MessageBoxWatcher watcher;
        EXPECT_TRUE(Board().SetPlaySC());
        EXPECT_TRUE(Board().SetPlaySC());
        EXPECT_FALSE(watcher.Stop().found);
    }
    HotKeyShortCuts[hkBonfireFarther] = kHeldForTheEditor;
    for (int time = 0; time < 2; ++time) {
        MessageBoxWatcher watcher;
        EXPECT_FALSE(Board().SetBonfireFartherSC());
        EXPECT_EQ(watcher.Stop().text, Wide(GetLangStringFmt("hotkeydeny", {ShortCutToText(kHeldForTheEditor)})));
    }
    Board().FreeSCs();
    for (const THotKeyNames& names : kHotKeyNames)
        EXPECT_EQ(GlobalFindAtomA(names.Atom), 0) << names.Atom;
    EXPECT_FALSE(Taken(kStored[hkPlay]));
}

}  // namespace
