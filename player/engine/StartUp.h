#pragma once
// The player's pre-start: single instance, language, audio library, default
// device and sound banks, before any window exists.

#include <string>

// A running player: the mapping's name alone marks it; its board has this class.
constexpr const char* kRunningMarkerName = "ovel_memfile";
constexpr const char* kBoardClassName = "TOvelMainForm";
constexpr unsigned kRunningMarkerSize = 64;

// The rate the output mixes at, in Hz.
constexpr unsigned kOutputRate = 44100;

extern void* InstanceMapping;  // "ovel_memfile", open for the whole run
extern void* RunningBoardWnd;  // the board of a player that already runs
extern int DefaultDevice;      // the system default output; -1 when none

// Creates or opens the running-player marker; finds the running board, waiting
// a few seconds for the board of a player that is still starting.
void FindRunningInstance();

// False ends the program: a message was shown or a running player was brought forward.
bool PrepareStart();

void ReportFileBadVersion(const std::string& name);
void ReportFileCorrupt(const std::string& name);
void ReportFileCantOpen(const std::string& name);
void ReportFileNotFound(const std::string& name);

// A box with the words for the audio library's last error code.
void ShowBassErrorMessage(const std::string& caption);
