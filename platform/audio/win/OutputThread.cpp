#include "platform/audio/win/OutputThread.h"

#include <windows.h>

#include <cstdio>

namespace ovelaudio {

void RaiseThisThreadForSound() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST); }

void ReportUnderruns(uint64_t underruns)
{
    char line[64];
    std::snprintf(line, sizeof line, "ovel audio: %llu underruns\n", static_cast<unsigned long long>(underruns));
    OutputDebugStringA(line);
}

}  // namespace ovelaudio
