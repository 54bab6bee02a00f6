#include "player/engine/UserFolders.h"

std::array<TUserFolder, UserFolderCount> UserFolders;
