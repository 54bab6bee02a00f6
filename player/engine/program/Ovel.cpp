// The player's program block: the application, the pre-start, the board and
// the chimes picker, and the message loop.
#include "platform/forms/Application.h"
#include "player/engine/StartUp.h"
#include "player/tools/ChimesUnit.h"
#include "player/window/MainForm.h"
#include "support/ProgInfo.h"
#include "support/SystemMute.h"

#include <windows.h>

namespace {

void OvelMain()
{
    if (!PrepareApplication() || !PrepareStart() || !CreateOvelMainForm())
        return;
    CreateChimesForm();
    Application.Run();
    FreeChimesForm();
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
