#pragma once
// Sound files from http, https and ftp addresses, through WinINet.

#include "platform/audio/core/Backends.h"

namespace ovelaudio {

// A UrlOpener. The download runs on a thread of its own into memory; the
// source reads what has arrived. A connection that delivers nothing for
// kUrlStallMs while everything arrived so far has been read ends the source
// there: Read waits that long at most, then answers 0 for good.
std::unique_ptr<ByteSource> OpenWinInetUrl(const std::string& url, uint32_t offset, int& error);

constexpr unsigned kUrlStallMs = 1000;

}  // namespace ovelaudio
