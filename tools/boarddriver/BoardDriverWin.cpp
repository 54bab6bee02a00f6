// Drives the board of a running player from another process:
//   boarddriver wait SECONDS   waits until the board window exists
//   boarddriver scene INDEX    chooses a scene in the scene combo
//   boarddriver language FILE  chooses the language of module FILE (russian.lng)
//   boarddriver keys SHORTCUT  types a shortcut word (e.g. 0xC04E, Ctrl+Alt+N) on the keyboard
//   boarddriver waitscene INDEX SECONDS  waits until the scene combo shows that scene
//   boarddriver show           asks the board to show itself (WM_APP) and waits until it is drawn
//   boarddriver exit           clicks the board's Exit button
//   boarddriver rect           prints where the board's client area is on screen, WxH+X+Y
// Exit code 0 when done, 1 with a line on stderr otherwise.
#include "platform/forms/ShortCut.h"
#include "player/engine/StartUp.h"
#include "resources/player/BoardIds.h"
#include "support/LangUnit.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr DWORD kPollMs = 100;
constexpr UINT kReplyLimitMs = 10000;
constexpr int kShowSeconds = 10;

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

// The client area in the form X geometry takes, for cutting the board out of a
// screenshot: without a window manager nobody draws the frame.
int PrintRect(HWND board)
{
    RECT client;
    POINT origin{0, 0};
    if (!GetClientRect(board, &client) || !ClientToScreen(board, &origin))
        return Fail("the board has no rectangle");
    std::printf("%ldx%ld+%ld+%ld\n", client.right, client.bottom, origin.x, origin.y);
    return 0;
}

int Usage()
{
    return Fail("usage: boarddriver wait SECONDS | scene INDEX | language FILE | keys SHORTCUT | waitscene INDEX "
                "SECONDS | show | exit | rect");
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
    return Usage();
}
