// Drives the board of a running player from another process:
//   boarddriver wait SECONDS   waits until the board window exists
//   boarddriver scene INDEX    chooses a scene in the scene combo
//   boarddriver language FILE  chooses the language of module FILE (russian.lng)
//   boarddriver keys SHORTCUT  types a shortcut word (e.g. 0xC04E, Ctrl+Alt+N) on the keyboard
//   boarddriver waitscene INDEX SECONDS  waits until the scene combo shows that scene
//   boarddriver show           asks the board to show itself (WM_APP) and waits until it is drawn
//   boarddriver exit           clicks the board's Exit button
//   boarddriver rect           prints where the board's client area is on screen, WxH+X+Y
//   boarddriver set NAME POSITION   takes hold of a track bar and moves it
//   boarddriver tick NAME STATE     clicks a check box until it shows STATE (0, 1, or 2 for grey)
//   boarddriver pick NAME INDEX     chooses an item in a combo box
//   boarddriver click NAME          clicks a button (and returns at once)
//   boarddriver caption NAME        prints a control's caption
//   boarddriver marker NAME LEFT TOP  lifts a marker onto its pad, drags it there and lets it go home
//   boarddriver memory         prints the player's working set, in kB
//   boarddriver alarm wait SECONDS | rect | key | gone SECONDS   the alarm window: waits for it,
//                              prints its rectangle, presses a key on it, waits until it has closed
// NAME is a control's name as the board's resource header gives it, without IDC_.
// Exit code 0 when done, 1 with a line on stderr otherwise.
#include "platform/forms/ShortCut.h"
#include "player/engine/StartUp.h"
#include "resources/player/BoardIds.h"
#include "support/LangUnit.h"

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr DWORD kPollMs = 100;
constexpr UINT kReplyLimitMs = 10000;
constexpr int kShowSeconds = 10;
constexpr int kCheckStates = 3;
constexpr int kCaptionLength = 256;
constexpr int kGripPixel = 4;  // where a marker is taken hold of, inside it
constexpr const char* kAlarmClassName = "TAlarmClockForm";

const std::map<std::string, int> kControlIds = {
#define OVEL_BOARD_CONTROL(Name, Kind, Container) {#Name, IDC_##Name},
#include "resources/player/BoardControls.h"
#undef OVEL_BOARD_CONTROL
};

int Fail(const std::string& why)
{
    std::fprintf(stderr, "boarddriver: %s\n", why.c_str());
    return 1;
}

HWND FindBoard() { return FindWindowA(kBoardClassName, nullptr); }

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK MatchControl(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<ControlSearch*>(data);
    if (GetDlgCtrlID(window) != search->id)
        return TRUE;
    search->found = window;
    return FALSE;
}

// Controls may sit inside group boxes and panels, so the whole tree is searched.
HWND FindControl(HWND board, int id)
{
    ControlSearch search{id, nullptr};
    EnumChildWindows(board, MatchControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR reply = 0;
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kReplyLimitMs, &reply) != 0;
}

// True once done() holds, false when the seconds have passed first.
template <typename TDone>
bool PollUntil(TDone done, int seconds)
{
    const DWORD deadline = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    while (!done()) {
        if (static_cast<LONG>(GetTickCount() - deadline) >= 0)
            return false;
        Sleep(kPollMs);
    }
    return true;
}

int WaitForBoard(int seconds)
{
    if (!PollUntil([] { return FindBoard() != nullptr; }, seconds))
        return Fail("no board window after " + std::to_string(seconds) + " s");
    return 0;
}

// Every control drawn before this returns, so that a screenshot shows the board whole.
void DrawWhole(HWND board) { RedrawWindow(board, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN); }

// The selection and the notification a user's choice in the list makes.
int Choose(HWND board, int comboId, int index, const std::string& what)
{
    HWND combo = FindControl(board, comboId);
    if (!combo)
        return Fail("no " + what + " combo");
    if (!Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0))
        return Fail("the " + what + " combo does not answer");
    const WPARAM notification = MAKEWPARAM(comboId, CBN_SELCHANGE);
    if (!Send(GetParent(combo), WM_COMMAND, notification, reinterpret_cast<LPARAM>(combo)))
        return Fail("the board does not take the " + what + " choice");
    DrawWhole(board);
    return 0;
}

// The folder of the program that made the board, with its backslash.
std::string ProgramFolder(HWND board)
{
    DWORD process = 0;
    GetWindowThreadProcessId(board, &process);
    HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
    char path[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    const bool found = handle && QueryFullProcessImageNameA(handle, 0, path, &length);
    if (handle)
        CloseHandle(handle);
    const std::string image = found ? std::string(path, length) : std::string();
    return image.substr(0, image.rfind('\\') + 1);
}

// The list holds the player's modules in the order its folder lists them.
int ChooseLanguage(HWND board, const std::string& file)
{
    const std::vector<std::string> modules = ListModuleFiles(ProgramFolder(board));
    const auto found = std::find(modules.begin(), modules.end(), file);
    if (found == modules.end())
        return Fail("the player has no module " + file);
    return Choose(board, IDC_LangComboBox, static_cast<int>(found - modules.begin()), "language");
}

// The modifiers go down first and up last, as a hand presses them.
int TypeShortCut(TShortCut shortCut)
{
    const struct {
        TShortCut Bit;
        WORD Key;
    } modifiers[] = {{scShift, VK_SHIFT}, {scCtrl, VK_CONTROL}, {scAlt, VK_MENU}};
    std::vector<WORD> keys;
    for (const auto& modifier : modifiers) {
        if (shortCut & modifier.Bit)
            keys.push_back(modifier.Key);
    }
    keys.push_back(ShortCutKey(shortCut));
    std::vector<INPUT> inputs;
    auto type = [&inputs](WORD key, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    for (auto key = keys.begin(); key != keys.end(); ++key)
        type(*key, 0);
    for (auto key = keys.rbegin(); key != keys.rend(); ++key)
        type(*key, KEYEVENTF_KEYUP);
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    return sent == inputs.size() ? 0 : Fail("the keys were not taken");
}

int WaitForScene(HWND board, int index, int seconds)
{
    HWND combo = FindControl(board, IDC_OvelComboBox);
    if (!combo)
        return Fail("no scene combo");
    if (!PollUntil([combo, index] { return SendMessageA(combo, CB_GETCURSEL, 0, 0) == index; }, seconds))
        return Fail("scene " + std::to_string(index) + " not shown after " + std::to_string(seconds) + " s");
    return 0;
}

// The board shows itself on its own thread; the drawing asked for after that
// waits until the thread has done so.
int ShowBoard(HWND board)
{
    if (!PostMessageA(board, WM_APP, 0, 0))
        return Fail("cannot post to the board");
    if (!PollUntil([board] { return IsWindowVisible(board) != FALSE; }, kShowSeconds))
        return Fail("the board is not shown after " + std::to_string(kShowSeconds) + " s");
    DrawWhole(board);
    return 0;
}

// Posted, since the click ends the player before it could answer.
int ClickExit(HWND board)
{
    HWND button = FindControl(board, IDC_ExitBitBtn);
    if (!button)
        return Fail("no Exit button");
    return PostMessageA(button, BM_CLICK, 0, 0) ? 0 : Fail("cannot click Exit");
}

// The client area in the form X geometry takes, for cutting a window out of a
// screenshot: without a window manager nobody draws the frame.
int PrintRect(HWND window)
{
    RECT client;
    POINT origin{0, 0};
    if (!GetClientRect(window, &client) || !ClientToScreen(window, &origin))
        return Fail("the window has no rectangle");
    std::printf("%ldx%ld+%ld+%ld\n", client.right, client.bottom, origin.x, origin.y);
    return 0;
}

HWND NamedControl(HWND board, const std::string& name)
{
    const auto id = kControlIds.find(name);
    return id == kControlIds.end() ? nullptr : FindControl(board, id->second);
}

// What a hand on the control does first: the control takes the focus, and
// the board hears of it.
bool Focus(HWND board, HWND control)
{
    return Send(board, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

// The track bar's own notification of a move, as when its thumb is let go.
int SetTrackBar(HWND board, HWND bar, int position)
{
    if (!Focus(board, bar))
        return Fail("the track bar does not take the focus");
    Send(bar, TBM_SETPOS, TRUE, position);
    const UINT scroll = (GetWindowLongA(bar, GWL_STYLE) & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
    const WPARAM code = MAKEWPARAM(TB_THUMBPOSITION, position);
    if (!Send(GetParent(bar), scroll, code, reinterpret_cast<LPARAM>(bar)) ||
        !Send(GetParent(bar), scroll, TB_ENDTRACK, reinterpret_cast<LPARAM>(bar)))
        return Fail("the board does not take the move");
    return 0;
}

// The board's boxes change on each click: off, on, and grey where a box has it.
int Tick(HWND box, int state)
{
    const auto shows = [box, state] { return SendMessageA(box, BM_GETCHECK, 0, 0) == static_cast<LRESULT>(state); };
    for (int click = 0; click < kCheckStates && !shows(); ++click) {
        const WPARAM notification = MAKEWPARAM(GetDlgCtrlID(box), BN_CLICKED);
        if (!Send(GetParent(box), WM_COMMAND, notification, reinterpret_cast<LPARAM>(box)))
            return Fail("the board does not take the click");
    }
    return shows() ? 0 : Fail("the box does not show state " + std::to_string(state));
}

// Posted: a button's work may take long (the rain) or show a window modally.
int ClickButton(HWND button) { return PostMessageA(button, BM_CLICK, 0, 0) ? 0 : Fail("cannot click"); }

RECT ScreenRect(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// The key goes where the window's thread has its focus, as typing would.
bool PressKey(HWND window, WPARAM key)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
        return false;
    HWND target = info.hwndFocus ? info.hwndFocus : window;
    return PostMessageA(target, WM_KEYDOWN, key, 0) && PostMessageA(target, WM_KEYUP, key, 0);
}

int PrintCaption(HWND control)
{
    char text[kCaptionLength] = {};
    GetWindowTextA(control, text, sizeof(text));
    std::printf("%s\n", text);
    return 0;
}

// Shown by itself, whether the board is shown or hidden in the tray.
bool Shown(HWND window) { return (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0; }

// A press on the marker lifts it onto the pad; a press and a drag move it
// there; the Tab key then takes the focus on, and the marker goes home.
int MoveMarker(HWND board, HWND marker, int left, int top)
{
    HWND pad = FindControl(board, IDC_PosPanel);
    if (!pad)
        return Fail("no placement pad");
    const LPARAM grip = MAKELPARAM(kGripPixel, kGripPixel);
    Send(marker, WM_LBUTTONDOWN, MK_LBUTTON, grip);
    Send(marker, WM_LBUTTONUP, 0, grip);
    if (!Shown(pad))
        return Fail("the marker's pad does not open");
    const RECT onPad = ScreenRect(marker);
    const RECT padRect = ScreenRect(pad);
    const int dx = left - (onPad.left - padRect.left);
    const int dy = top - (onPad.top - padRect.top);
    const LPARAM to = MAKELPARAM(static_cast<WORD>(kGripPixel + dx), static_cast<WORD>(kGripPixel + dy));
    Send(marker, WM_LBUTTONDOWN, MK_LBUTTON, grip);
    Send(marker, WM_MOUSEMOVE, MK_LBUTTON, to);
    Send(marker, WM_LBUTTONUP, 0, to);
    if (!PressKey(board, VK_TAB))
        return Fail("cannot press Tab");
    if (!PollUntil([pad] { return !Shown(pad); }, kShowSeconds))
        return Fail("the marker's pad stays open");
    return 0;
}

int PrintWorkingSet(HWND board)
{
    DWORD process = 0;
    GetWindowThreadProcessId(board, &process);
    HANDLE handle = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, process);
    PROCESS_MEMORY_COUNTERS counters{};
    const bool read = handle && GetProcessMemoryInfo(handle, &counters, sizeof(counters));
    if (handle)
        CloseHandle(handle);
    if (!read)
        return Fail("the player's memory cannot be read");
    std::printf("%zu\n", static_cast<size_t>(counters.WorkingSetSize / 1024));
    return 0;
}

HWND FindAlarm() { return FindWindowA(kAlarmClassName, nullptr); }

int Alarm(const std::string& what, int seconds)
{
    if (what == "wait")
        return PollUntil([] { return FindAlarm() != nullptr; }, seconds) ? 0 : Fail("no alarm window");
    if (what == "gone")
        return PollUntil([] { return FindAlarm() == nullptr; }, seconds) ? 0 : Fail("the alarm window stays");
    HWND alarm = FindAlarm();
    if (!alarm)
        return Fail("no alarm window");
    if (what == "rect") {
        DrawWhole(alarm);
        return PrintRect(alarm);
    }
    return PressKey(alarm, VK_SPACE) ? 0 : Fail("cannot press a key on the alarm window");
}

// The commands that work one named control.
int WorkControl(HWND board, const std::string& command, const std::vector<std::string>& args)
{
    HWND control = NamedControl(board, args[0]);
    if (!control)
        return Fail("the board has no control " + args[0]);
    int status = 1;
    if (command == "set" && args.size() == 2)
        status = SetTrackBar(board, control, std::atoi(args[1].c_str()));
    else if (command == "tick" && args.size() == 2)
        status = Tick(control, std::atoi(args[1].c_str()));
    else if (command == "pick" && args.size() == 2)
        status = Choose(board, GetDlgCtrlID(control), std::atoi(args[1].c_str()), args[0]);
    else if (command == "click" && args.size() == 1)
        return ClickButton(control);
    else if (command == "caption" && args.size() == 1)
        return PrintCaption(control);
    else if (command == "marker" && args.size() == 3)
        status = MoveMarker(board, control, std::atoi(args[1].c_str()), std::atoi(args[2].c_str()));
    else
        return Fail("usage: " + command + " NAME ...");
    if (status == 0)
        DrawWhole(board);
    return status;
}

int Usage()
{
    return Fail("usage: boarddriver wait SECONDS | scene INDEX | language FILE | keys SHORTCUT | waitscene INDEX "
                "SECONDS | show | exit | rect | set NAME POSITION | tick NAME STATE | pick NAME INDEX | click NAME | "
                "caption NAME | marker NAME LEFT TOP | memory | alarm wait SECONDS | alarm rect | alarm key | alarm gone SECONDS");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    const std::string command = argv[1];
    if (command == "wait" && argc == 3)
        return WaitForBoard(std::atoi(argv[2]));
    if (command == "keys" && argc == 3)
        return TypeShortCut(static_cast<TShortCut>(std::strtoul(argv[2], nullptr, 0)));
    if (command == "alarm" && (argc == 3 || argc == 4))
        return Alarm(argv[2], argc == 4 ? std::atoi(argv[3]) : 0);
    HWND board = FindBoard();
    if (!board)
        return Fail("no running player");
    if (command == "scene" && argc == 3)
        return Choose(board, IDC_OvelComboBox, std::atoi(argv[2]), "scene");
    if (command == "language" && argc == 3)
        return ChooseLanguage(board, argv[2]);
    if (command == "waitscene" && argc == 4)
        return WaitForScene(board, std::atoi(argv[2]), std::atoi(argv[3]));
    if (command == "show" && argc == 2)
        return ShowBoard(board);
    if (command == "exit" && argc == 2)
        return ClickExit(board);
    if (command == "rect" && argc == 2)
        return PrintRect(board);
    if (command == "memory" && argc == 2)
        return PrintWorkingSet(board);
    const std::vector<std::string> args(argv + 2, argv + argc);
    const bool onControl = command == "set" || command == "tick" || command == "pick" || command == "click" ||
                           command == "caption" || command == "marker";
    if (onControl && !args.empty())
        return WorkControl(board, command, args);
    return Usage();
}
