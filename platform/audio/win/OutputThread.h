#pragma once
// What the thread of every system output does first and last.

#include <cstdint>

namespace ovelaudio {

// Above the program's other threads, so a busy machine delays the mix least.
void RaiseThisThreadForSound();

// A debug string when an output closes: "ovel audio: N underruns" (Wine
// shows debug strings with WINEDEBUG=+debugstr).
void ReportUnderruns(uint64_t underruns);

}  // namespace ovelaudio
