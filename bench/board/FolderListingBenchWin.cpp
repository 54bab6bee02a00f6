// A user folder of 10,000 sound files listed as the board lists it, through
// Windows' own folder walk. Prints the fastest, the median and the slowest
// of a few listings.
#include "player/engine/SystemUserFiles.h"
#include "player/engine/UserFolders.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kFiles = 10000;
constexpr int kListings = 5;

std::string MakeFolder()
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "ovel-listing-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    for (int i = 0; i < kFiles; ++i) {
        const std::string file = folder + "sound " + std::to_string(i) + ".mp3";
        CloseHandle(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    return folder;
}

void RemoveFolder(const std::string& folder)
{
    for (const std::string& file : UserFolders[ufDayNature].Files)
        DeleteFileA(file.c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace

int main()
{
    const std::string folder = MakeFolder();
    SetUserFileSystem(&SystemUserFiles());
    UserFolders[ufDayNature].Path = folder;
    std::vector<double> milliseconds;
    int listed = 0;
    for (int turn = 0; turn < kListings; ++turn) {
        const auto start = std::chrono::steady_clock::now();
        listed = ListFilesNature(ufDayNature, true);
        milliseconds.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    RemoveFolder(folder);
    std::sort(milliseconds.begin(), milliseconds.end());
    std::printf("listing %d files (%d listed), %d times: fastest %.1f ms, median %.1f ms, slowest %.1f ms\n", kFiles,
                listed, kListings, milliseconds.front(), milliseconds[milliseconds.size() / 2], milliseconds.back());
    return listed == kFiles ? 0 : 1;
}
