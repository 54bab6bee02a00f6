#pragma once
// The user's folders as Windows has them.

#include "player/engine/UserFolders.h"

TUserFileSystem& SystemUserFiles();
