#pragma once
// Which Windows the program runs on: a readable text and the flags that steer
// behaviour everywhere.

#include <string>

extern bool VistaOrLater;   // NT 6 or 10: Core Audio instead of the old mixer
extern bool Win10OrLater;   // no window animation, no drop shadow
extern bool Is64Bit;        // 64-bit registry view
extern bool IsServer;       // offers the autostart service

// Fills text and sets the flags; "unknown" (flags untouched) when the system
// does not answer the version query.
void GetWindowsVersionText(bool withVersion, std::string& text);

// The three parts of the text; false when the version query failed.
bool GetWindowsVersionInfo(std::string& name, std::string& version, std::string& servicePack);

// Runs a console command hidden and gives back its output in the ANSI code page.
void RunConsoleCommand(const std::string& command, std::string& output);

void AddTrailingBackslash(std::string& path);
std::string OemToAnsiString(const std::string& text);
