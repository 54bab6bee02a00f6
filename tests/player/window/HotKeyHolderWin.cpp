// Holds global hot keys for the board's tests, as another program would:
// HotKeyHolder <process id> <shortcut>... registers each shortcut and keeps
// them until that process ends. Exit code 1 when one cannot be registered.
#include "player/window/HotKeys.h"

#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    constexpr int kFirstShortCut = 2;
    if (argc < kFirstShortCut)
        return 2;
    HANDLE owner = OpenProcess(SYNCHRONIZE, FALSE, std::strtoul(argv[1], nullptr, 10));
    if (!owner)
        return 2;
    for (int i = kFirstShortCut; i < argc; ++i) {
        const auto shortCut = static_cast<TShortCut>(std::strtoul(argv[i], nullptr, 0));
        if (!RegisterHotKey(nullptr, i, HotKeyModifiers(shortCut), ShortCutKey(shortCut)))
            return 1;
    }
    WaitForSingleObject(owner, INFINITE);
    return 0;
}
