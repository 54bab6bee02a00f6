#include "platform/audio/win/OutputThread.h"

#include <windows.h>

#include <cstdio>

namespace ovelaudio {

namespace {

using SetThreadDescriptionFn = HRESULT(WINAPI*)(HANDLE, PCWSTR);

}  // namespace

void EnterOutputThread()
{
    // Named where the system can (Windows 10 on, and Wine, which shows the name to Linux tools).
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const auto describe = kernel ? reinterpret_cast<SetThreadDescriptionFn>(
                                       reinterpret_cast<void*>(GetProcAddress(kernel, "SetThreadDescription")))
                                 : nullptr;
    if (describe)
        describe(GetCurrentThread(), L"ovel audio");
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
}

void ReportUnderruns(uint64_t underruns)
{
    char line[64];
    std::snprintf(line, sizeof line, "ovel audio: %llu underruns\n", static_cast<unsigned long long>(underruns));
    OutputDebugStringA(line);
}

}  // namespace ovelaudio
