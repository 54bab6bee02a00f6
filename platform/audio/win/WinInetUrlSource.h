#pragma once
// Sound files from http, https and ftp addresses, through WinINet.

#include "platform/audio/core/Backends.h"

namespace ovelaudio {

// A UrlOpener. The download runs on a thread of its own into a bounded
// window (DownloadWindow); the source reads what has arrived and never waits.
// It is pending until the download ends, fails, or delivers nothing for
// kNetTimeoutMs while the window has room: a connection that dead counts as
// ended, and what it sends later is dropped.
std::unique_ptr<ByteSource> OpenWinInetUrl(const std::string& url, uint32_t offset, int& error);

}  // namespace ovelaudio
