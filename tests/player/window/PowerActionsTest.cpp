// The power-off's calls by Windows version.
#include "player/window/PowerActions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string StepsText(const std::vector<TPowerStep>& steps)
{
    static const char* const names[] = {"ShellExecute", "OpenProcessToken", "LookupPrivilegeValue",
                                        "AdjustTokenPrivileges", "ExitWindowsEx"};
    std::string text;
    for (const TPowerStep& step : steps) {
        text += text.empty() ? "" : "; ";
        text += names[static_cast<int>(step.Call)];
        if (step.File)
            text += std::string(" ") + step.File + " " + step.Parameters;
        if (step.FailureCaption)
            text += std::string(" or \"") + step.FailureCaption + "\"";
    }
    return text;
}

struct VersionCase {
    unsigned platform;
    unsigned major;
    unsigned minor;
    std::string steps;
};

TEST(ShutDownTest, CallsByVersion)
{
    const std::string tokenWay = "OpenProcessToken or \"OpenProcessToken Failed\"; "
                                 "LookupPrivilegeValue or \"LookupPrivilegeValue Failed\"; "
                                 "AdjustTokenPrivileges or \"AdjustTokenPrivileges Failed\"; ExitWindowsEx";
    const std::vector<VersionCase> cases = {
        {kPlatformWin32Nt, 5, 1, "ShellExecute shutdown -s -f -t 0"},
        {kPlatformWin32Windows, 4, 10, "ShellExecute rundll.exe user.exe,exitwindows"},
        {kPlatformWin32Nt, 5, 0, tokenWay},
        {kPlatformWin32Nt, 5, 2, tokenWay},
        {kPlatformWin32Nt, 6, 1, tokenWay},
        {kPlatformWin32Nt, 10, 0, tokenWay},
    };
    for (const VersionCase& c : cases)
        EXPECT_EQ(StepsText(ShutDownSteps(c.platform, c.major, c.minor)), c.steps)
            << c.platform << " " << c.major << "." << c.minor;
}

}  // namespace
