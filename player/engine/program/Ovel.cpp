// The player's program block: the application, the pre-start, the board and
// its message loop.
#include "platform/forms/Application.h"
#include "player/engine/StartUp.h"
#include "player/window/MainForm.h"
#include "support/ProgInfo.h"
#include "support/SystemMute.h"

#include <windows.h>

namespace {

void OvelMain()
{
    if (!PrepareApplication() || !PrepareStart() || !CreateOvelMainForm())
        return;
    Application.Run();
    FreeOvelMainForm();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    ProgInfoInitialization();
    OvelMain();
    SystemMuteFinalization();
    ProgInfoFinalization();
    return 0;
}
