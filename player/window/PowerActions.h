#pragma once
// The power-off by Windows version, as the calls it makes: the command-line
// tool on XP, the old exit on the 9x line, and elsewhere the shutdown right
// taken for the process and a forced power-off. The real calls are made by
// the power-off window; a failed call shows its caption under "Exit Error"
// and nothing further follows, and a token once opened is closed again.

#include <vector>

enum class TPowerCall {
    ShellExecute,           // File and Parameters, hidden, no verb
    OpenProcessToken,       // kShutDownTokenAccess
    LookupPrivilegeValue,   // kShutDownPrivilege on the local system
    AdjustTokenPrivileges,  // one privilege, kPrivilegeEnabled; an error left by the call fails it
    ExitWindowsEx,          // kPowerOffFlags, reason 0
};

struct TPowerStep {
    TPowerCall Call;
    const char* File = nullptr;
    const char* Parameters = nullptr;
    const char* FailureCaption = nullptr;  // null: a failure shows nothing
};

constexpr unsigned kPlatformWin32Windows = 1;
constexpr unsigned kPlatformWin32Nt = 2;
constexpr unsigned kShutDownTokenAccess = 0x28;  // TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY
constexpr const char* kShutDownPrivilege = "SeShutdownPrivilege";
constexpr unsigned kPrivilegeEnabled = 2;
constexpr unsigned kPowerOffFlags = 12;  // EWX_POWEROFF | EWX_FORCE
constexpr const char* kExitErrorText = "Exit Error";

std::vector<TPowerStep> ShutDownSteps(unsigned platformId, unsigned major, unsigned minor);
