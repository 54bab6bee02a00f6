#include "player/window/BoardState.h"

#include "player/window/Scenes.h"

namespace {

constexpr double kHoursPerDay = 24.0;

}  // namespace

int StreamX = 24;
int StreamY = 8;
int FireX = 8;
int FireY = 8;

TDateTime SunsetOffset = 0;
TDateTime SunriseOffset = 0;
TDateTime DayOnTime = 9 / kHoursPerDay;
TDateTime NightOnTime = 20 / kHoursPerDay;

std::string Chime00Path;
std::string Chime30Path;

TUserFolderSlot NatureFolderSlot(int scene) { return scene == kNightScene ? ufNightNature : ufDayNature; }

TUserFolderSlot MusicFolderSlot(int scene) { return scene == kNightScene ? ufNightMusic : ufDayMusic; }
