// Every window of the board's own joins here with its form variable.
#include "player/window/OwnWindows.h"

#include "player/tools/AlarmClockUnit.h"
#include "player/tools/CompOffUnit.h"
#include "player/tools/HotKeysUnit.h"

bool OwnWindowOpen() { return HotKeysForm || AlarmClockForm || CompOffForm; }
