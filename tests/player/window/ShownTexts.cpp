#include "tests/player/window/ShownTexts.h"

#include "resources/player/BoardIds.h"
#include "support/ProgInfo.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace {

struct TNamedControl {
    int Id;
    const char* Name;
};

constexpr TNamedControl kControls[] = {
#define OVEL_BOARD_CONTROL(Name, Kind, Container) {IDC_##Name, #Name},
#include "resources/player/BoardControls.h"
#undef OVEL_BOARD_CONTROL
};

constexpr auto kMenuWait = std::chrono::seconds(10);

std::wstring WindowText(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::vector<HWND> Children(HWND board)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(board, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

HWND Tooltip(HWND board)
{
    HWND tooltip = nullptr;
    while ((tooltip = FindWindowExW(nullptr, tooltip, TOOLTIPS_CLASSW, nullptr)))
        if (GetWindow(tooltip, GW_OWNER) == board)
            return tooltip;
    return nullptr;
}

void ReadHints(HWND board, TShownTexts& shown)
{
    HWND tooltip = Tooltip(board);
    if (!tooltip)
        return;
    const auto tools = static_cast<int>(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0));
    for (int i = 0; i < tools; ++i) {
        wchar_t text[1024] = {};
        TTTOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.lpszText = text;
        SendMessageW(tooltip, TTM_ENUMTOOLSW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&tool));
        tool.lpszText = text;
        SendMessageW(tooltip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
        shown["hint " + ControlName(reinterpret_cast<HWND>(tool.uId))] = text;
    }
}

void ReadItems(HWND combo, const std::string& name, TShownTexts& shown)
{
    const auto count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        shown["item " + name + " " + std::to_string(i)] = text;
    }
}

// A menu item by the command its menu gives it: its place among the items.
std::string MenuItemName(TOvelMainForm& board, UINT command)
{
    const struct {
        const TMenuItem& Item;
        const char* Name;
    } items[] = {
        {board.PlayOnOff, "PlayOnOff"},   {board.Forest, "Forest"},       {board.ForestN, "ForestN"},
        {board.RainNow, "RainNow"},       {board.HotKeys, "HotKeys"},     {board.About, "About"},
        {board.LiveUpdate, "LiveUpdate"}, {board.Customize, "Customize"}, {board.Exit, "Exit"},
    };
    const TMenuItem* item = board.PopupMenu1.Items().at(command - 1);
    for (const auto& named : items)
        if (&named.Item == item)
            return named.Name;
    return std::to_string(command);
}

// From another thread while the menu is open; closes it after.
TShownTexts ReadOpenMenu(TOvelMainForm& board)
{
    TShownTexts shown;
    HWND menu = nullptr;
    const auto end = std::chrono::steady_clock::now() + kMenuWait;
    while (!(menu = FindWindowA("#32768", nullptr)) && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    auto items = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
    for (int i = 0; i < GetMenuItemCount(items); ++i) {
        wchar_t text[256] = {};
        if (GetMenuStringW(items, static_cast<UINT>(i), text, 256, MF_BYPOSITION) > 0)
            shown["menu " + MenuItemName(board, GetMenuItemID(items, i))] = text;
    }
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    return shown;
}

}  // namespace

std::string ControlName(HWND control)
{
    const int id = GetDlgCtrlID(control);
    for (const TNamedControl& named : kControls)
        if (named.Id == id)
            return named.Name;
    return {};
}

TShownTexts ShownTexts(TOvelMainForm& board)
{
    TShownTexts shown;
    shown["caption board"] = WindowText(board.Handle());
    for (HWND child : Children(board.Handle())) {
        const std::string name = ControlName(child);
        if (name.empty())
            continue;
        shown["caption " + name] = WindowText(child);
        if (ClassOf(child) == L"ComboBox")
            ReadItems(child, name, shown);
    }
    ReadHints(board.Handle(), shown);
    TShownTexts menu;
    std::thread user([&menu, &board] { menu = ReadOpenMenu(board); });
    board.PopupMenu1.Popup(0, 0, board.Handle());
    user.join();
    shown.insert(menu.begin(), menu.end());
    return shown;
}

std::wstring Decoded(const std::string& text, unsigned codePage)
{
    const int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::map<std::string, std::string> StoredSettings()
{
    std::map<std::string, std::string> values;
    HKEY key = nullptr;
    const std::string path = kProductKeyBase + ProductName;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    for (DWORD i = 0;; ++i) {
        char name[256];
        BYTE data[4096];
        DWORD nameLength = sizeof name;
        DWORD dataLength = sizeof data;
        DWORD type = 0;
        if (RegEnumValueA(key, i, name, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS)
            break;
        values[name] = std::to_string(type) + ":" + std::string(reinterpret_cast<char*>(data), dataLength);
    }
    RegCloseKey(key);
    return values;
}

void ChooseLanguage(TOvelMainForm& board, int module)
{
    HWND combo = board.LangComboBox.Handle();
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(module), 0);
    SendMessageW(board.Handle(), WM_COMMAND, MAKEWPARAM(IDC_LangComboBox, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}
