#pragma once
// What the thread of every system output does first and last.

#include <cstdint>

namespace ovelaudio {

// Names the calling thread "ovel audio" (where the system can) and raises it
// above the program's other threads, so a busy machine delays the mix least.
void EnterOutputThread();

// A debug string when an output closes: "ovel audio: N underruns" (Wine
// shows debug strings with WINEDEBUG=warn+debugstr).
void ReportUnderruns(uint64_t underruns);

}  // namespace ovelaudio
