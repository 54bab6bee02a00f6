#pragma once
// The folders the system works with, shell links, and the player's two
// autostart entries: a Run value that starts it with "rstart" and a Startup
// shortcut that starts it with "gstart".

#include <string>

constexpr const char* kCurrentVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";

// Appends "\" to a non-empty path that does not end in one.
void AddBackslash(std::string& path);

// The folder part of a file path, up to and including its last "\"; empty
// when there is none.
std::string FolderOfPath(const std::string& path);

// The file name of a path without its folder and its extension: what the
// board shows of a chosen sound file.
std::string FileTitleOfPath(const std::string& path);

// The Run key under HKEY_LOCAL_MACHINE: "Run" on NT, "RunServices" on 9x.
std::string RunKeyPath(bool ntPlatform);
std::string RunValueName();     // "!" + ProductName
std::string RunValueData();     // the program file, a blank, "rstart"
std::string ProgramFilePath();  // ExeDir + ProductName + ".exe"
std::string StartupLinkPath();  // StartupDir + ProductName + ".lnk"

void ReportStartupError();

// Windows side.
bool IsNTPlatform();
bool FileExists(const std::string& path);  // a file, not a folder
bool InitSystemFolders();
bool CreateShellLink(const std::string& target, const std::string& linkFile, const std::string& arguments,
                     int iconIndex, const std::string& description);
bool SetRunKeyAutostart(bool enable);
void SetStartupLinkAutostart(bool enable);
