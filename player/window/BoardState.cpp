#include "player/window/BoardState.h"

#include "player/window/Scenes.h"

namespace {

constexpr double kHoursPerDay = 24.0;

}  // namespace

TDateTime SunsetOffset = 0;
TDateTime SunriseOffset = 0;
TDateTime DayOnTime = 9 / kHoursPerDay;
TDateTime NightOnTime = 20 / kHoursPerDay;
TDateTime SceneSwitchTime = 0;
bool AutoDSTDisabled = false;

std::string Chime00Path;
std::string Chime30Path;
bool ChimesActive = false;
bool RoundTheClock = false;

TUserFolderId NatureFolderSlot(int scene) { return scene == kNightScene ? ufNightNature : ufDayNature; }

TUserFolderId MusicFolderSlot(int scene) { return scene == kNightScene ? ufNightMusic : ufDayMusic; }
