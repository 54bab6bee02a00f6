#pragma once
// The user's own folders of nature sounds and music, one for each scene.

#include <array>
#include <string>

enum TUserFolderSlot : int {
    ufDayNature,
    ufNightNature,
    ufDayMusic,
    ufNightMusic,
    UserFolderCount
};

struct TUserFolder {
    std::string Path;             // empty: none chosen
    bool HasSubfolders = false;   // the last listing met a subfolder
    bool WithSubfolders = false;  // subfolders are listed too
};

extern std::array<TUserFolder, UserFolderCount> UserFolders;
