#pragma once
// Hands the library its Windows parts: the system's outputs (shared-mode
// endpoints, or DirectSound before Vista), MP3 through the ACM, URL sources
// through WinINet and plug-in files.

namespace ovelaudio {

// Only stores pointers: safe while the loader holds its lock.
void RegisterWindowsBackends();

}  // namespace ovelaudio
