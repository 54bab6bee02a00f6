#pragma once
// What the board keeps besides its controls and the settings carry: the
// marker places on the placement pads, the calendar's offsets and the fixed
// switch times, the chosen chime files; which user folder a scene has.

#include "platform/forms/DateTime.h"
#include "player/engine/UserFolders.h"

#include <array>
#include <string>

// Places on the 40 x 40 pad, the marker's left and top: 0 .. 32.
extern int StreamX;
extern int StreamY;
extern int FireX;
extern int FireY;

// Fractions of a day, added to the calendar's sunset and sunrise.
extern TDateTime SunsetOffset;
extern TDateTime SunriseOffset;
// The switch times of the alternation at fixed times.
extern TDateTime DayOnTime;
extern TDateTime NightOnTime;

extern std::string Chime00Path;
extern std::string Chime30Path;

// The slot of the scene's nature and music folder.
TUserFolderSlot NatureFolderSlot(int scene);
TUserFolderSlot MusicFolderSlot(int scene);
