#include "player/tools/WindowLook.h"

#include "player/engine/SystemInfoLine.h"
#include "support/SystemFolders.h"
#include "support/WinVer.h"

void AddWindowShadow(TCreateParams& params)
{
    if (IsNTPlatform() && !Win10OrLater && !OldWindowsLook)
        params.WindowClassStyle |= CS_DROPSHADOW;
}
