#include "player/window/ShellCommand.h"

#include "platform/forms/Application.h"

#include <windows.h>

namespace {

constexpr DWORD kLongestComSpec = 260;
constexpr DWORD kHiddenConsole = CREATE_NEW_CONSOLE | CREATE_NEW_PROCESS_GROUP;
constexpr DWORD kEndWaitMs = 2000;
constexpr UINT kEndedExitCode = 1;

class THandle {
public:
    explicit THandle(HANDLE handle) : handle_(handle) {}
    ~THandle()
    {
        if (handle_)
            CloseHandle(handle_);
    }
    THandle(const THandle&) = delete;
    THandle& operator=(const THandle&) = delete;
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

std::string CommandInterpreter()
{
    char path[kLongestComSpec + 1];
    const DWORD length = GetEnvironmentVariableA("ComSpec", path, sizeof path);
    return length == 0 || length > kLongestComSpec ? std::string() : std::string(path, length);
}

// A job that ends every process in it once it is closed.
HANDLE NewKillingJob()
{
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    if (!job)
        return nullptr;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    return job;
}

// Waits for the process while handling messages; false when the time is up.
bool WaitPumping(HANDLE process, DWORD limitMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD waited = GetTickCount() - start;
        const DWORD left = waited < limitMs ? limitMs - waited : 0;
        // Once the program is ending no message is handled any more.
        if (left == 0 || Application.Terminated())
            return WaitForSingleObject(process, left) == WAIT_OBJECT_0;
        if (MsgWaitForMultipleObjects(1, &process, FALSE, left, QS_ALLINPUT) == WAIT_OBJECT_0)
            return true;
        Application.ProcessMessages();
    }
}

}  // namespace

bool RunShellCommand(const std::string& command, unsigned limitMs)
{
    const std::string interpreter = CommandInterpreter();
    if (interpreter.empty())
        return false;
    std::string commandLine = interpreter + " /c " + command;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION started{};
    // Started held, so that whatever it starts is in the job from the first.
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, kHiddenConsole | CREATE_SUSPENDED, nullptr,
                        nullptr, &startup, &started))
        return false;
    const THandle process(started.hProcess);
    const THandle thread(started.hThread);
    const THandle job(NewKillingJob());
    const bool inJob = job.Get() && AssignProcessToJobObject(job.Get(), process.Get());
    ResumeThread(thread.Get());
    if (!WaitPumping(process.Get(), limitMs)) {
        if (inJob)
            TerminateJobObject(job.Get(), kEndedExitCode);
        else
            TerminateProcess(process.Get(), kEndedExitCode);
        WaitForSingleObject(process.Get(), kEndWaitMs);
        return false;
    }
    DWORD exitCode = kEndedExitCode;
    return GetExitCodeProcess(process.Get(), &exitCode) && exitCode == 0;
}
