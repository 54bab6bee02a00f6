// The player's program block: the application, the pre-start, the board and
// the chimes picker, and the message loop.
#include "platform/forms/Application.h"
#include "player/engine/StartUp.h"
#include "player/tools/ChimesUnit.h"
#include "player/window/MainForm.h"
#include "support/ProgInfo.h"
#include "support/SystemMute.h"

#include <windows.h>

#include <cstdio>

namespace {

ULONGLONG Ticks(const FILETIME& time) { return (ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime; }

// A debug string for whoever measures the start: the loader's share of it.
void ReportLoaderTime()
{
    FILETIME created{}, exited{}, kernel{}, user{}, now{};
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return;
    GetSystemTimeAsFileTime(&now);
    constexpr ULONGLONG kTicksPerMs = 10000;
    char line[80];
    std::snprintf(line, sizeof line, "ovel: WinMain %llu ms after the process start\n",
                  static_cast<unsigned long long>((Ticks(now) - Ticks(created)) / kTicksPerMs));
    OutputDebugStringA(line);
}

void OvelMain()
{
    if (!PrepareApplication() || !PrepareStart())
        return;
    // Making the board waits on its template and the window manager: the
    // sound starts first, and the board takes it over.
    StartSoundBeforeBoard();
    if (!CreateOvelMainForm())
        return;
    CreateChimesForm();
    Application.Run();
    FreeChimesForm();
    FreeOvelMainForm();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    ReportLoaderTime();
    ProgInfoInitialization();
    OvelMain();
    SystemMuteFinalization();
    ProgInfoFinalization();
    return 0;
}
