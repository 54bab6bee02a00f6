// bass.dll: the library with its Windows parts in place from the moment it loads.

#include "platform/audio/win/WindowsBackends.h"

#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        ovelaudio::RegisterWindowsBackends();
    return TRUE;
}
