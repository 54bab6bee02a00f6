#pragma once
// What the board keeps besides its controls and the settings carry: the
// calendar's offsets and the fixed switch times, the chosen chime files;
// which user folder a scene has.

#include "platform/forms/DateTime.h"
#include "player/engine/UserFolders.h"

#include <array>
#include <string>

// Fractions of a day, added to the calendar's sunset and sunrise.
extern TDateTime SunsetOffset;
extern TDateTime SunriseOffset;
// The switch times of the alternation at fixed times.
extern TDateTime DayOnTime;
extern TDateTime NightOnTime;
// When the scene last changed or the alternation's mode was chosen: the
// alternation counts from here.
extern TDateTime SceneSwitchTime;
// Windows leaves daylight time to the user: the calendar takes no daylight hour.
extern bool AutoDSTDisabled;

extern std::string Chime00Path;
extern std::string Chime30Path;
// The current hour lies inside the chimes' hours window; the window is the whole day.
extern bool ChimesActive;
extern bool RoundTheClock;

// The slot of the scene's nature and music folder.
TUserFolderId NatureFolderSlot(int scene);
TUserFolderId MusicFolderSlot(int scene);
