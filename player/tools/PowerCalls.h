#pragma once
// Every Windows call of the power actions, the box that reports their
// failure, the sound-on registration and the mute before a power-off, behind
// one small interface: the program makes the real calls, and a test puts in a
// stand-in that records them and answers as it is told.

#include <windows.h>

#include <string>

struct TWindowsVersion {
    unsigned PlatformId = 0;  // VER_PLATFORM_WIN32_*
    unsigned Major = 0;
    unsigned Minor = 0;
};

class TPowerCalls {
public:
    virtual ~TPowerCalls() = default;

    // GetVersionExA with the 148-byte record; zeros when it fails.
    virtual TWindowsVersion WindowsVersion() = 0;
    // ShellExecuteA without a window, a verb or a folder, hidden; true when
    // the program started.
    virtual bool ShellExecuteHidden(const std::string& file, const std::string& parameters) = 0;
    // The current process's token with that access.
    virtual bool OpenProcessToken(DWORD access, HANDLE& token) = 0;
    // The privilege's LUID on the local system.
    virtual bool LookupPrivilege(const std::string& privilege, LUID& luid) = 0;
    // One privilege with these attributes, not disabling all, the previous
    // state into a 16-byte buffer; gives what GetLastError then reports.
    virtual DWORD AdjustTokenPrivileges(HANDLE token, const LUID& luid, DWORD attributes) = 0;
    virtual bool ExitWindowsEx(UINT flags, DWORD reason) = 0;
    virtual void CloseHandle(HANDLE handle) = 0;
    // MessageBoxA without an owner: "Exit Error" under this caption, MB_OK.
    virtual void ExitErrorBox(const std::string& caption) = 0;

    // The procedure of a module already loaded, else loaded now; null when
    // either cannot be had.
    virtual FARPROC DllProc(const std::string& module, const std::string& procedure) = 0;
    // SetSuspendState at that address, each flag a 32-bit BOOL. It answers an
    // 8-bit BOOLEAN: of the 32-bit register given back only the low byte counts.
    virtual DWORD SetSuspendState(FARPROC address, BOOL hibernate, BOOL force, BOOL disableWakeEvent) = 0;

    // A string value under HKEY_LOCAL_MACHINE, through the shared registry
    // object; false when it cannot be written.
    virtual bool WriteMachineString(const std::string& key, const std::string& name, const std::string& value) = 0;
    virtual void MuteSystemSound() = 0;
};

// The calls in force: the system's own unless a test has put others.
TPowerCalls& PowerCalls();
// Null puts the system's own back.
void SetPowerCalls(TPowerCalls* calls);
