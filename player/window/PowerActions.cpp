#include "player/window/PowerActions.h"

namespace {

constexpr unsigned kXpMajor = 5;
constexpr unsigned kXpMinor = 1;

}  // namespace

std::vector<TPowerStep> ShutDownSteps(unsigned platformId, unsigned major, unsigned minor)
{
    if (major == kXpMajor && minor == kXpMinor)
        return {{TPowerCall::ShellExecute, "shutdown", "-s -f -t 0"}};
    if (platformId != kPlatformWin32Nt)
        return {{TPowerCall::ShellExecute, "rundll.exe", "user.exe,exitwindows"}};
    return {
        {TPowerCall::OpenProcessToken, nullptr, nullptr, "OpenProcessToken Failed"},
        {TPowerCall::LookupPrivilegeValue, nullptr, nullptr, "LookupPrivilegeValue Failed"},
        {TPowerCall::AdjustTokenPrivileges, nullptr, nullptr, "AdjustTokenPrivileges Failed"},
        {TPowerCall::ExitWindowsEx},
    };
}
