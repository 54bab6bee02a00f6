#pragma once
// A URL's bytes as its stream reads them. While the stream is being created,
// reads and seeks wait (until a deadline) for bytes still on their way, so the
// decoders can tell the format; once it plays they never wait, and the channel
// learns from the shared state whether a short read was a stall or the end.

#include "platform/audio/core/Backends.h"

#include <chrono>

namespace ovelaudio {

struct DownloadState {
    bool opening = true;    // the stream is being created: reads may wait
    bool timedOut = false;  // creation gave up waiting for bytes
    bool starved = false;   // the last read came short while more may come
};

class UrlReader : public ByteSource {
public:
    UrlReader(std::unique_ptr<ByteSource> download, std::shared_ptr<DownloadState> state, uint32_t waitMs);
    size_t Read(void* out, size_t bytes) override;
    bool Seek(uint64_t position) override;
    uint64_t Size() const override { return download_->Size(); }
    bool Pending() const override { return download_->Pending(); }

private:
    // Sleeps a little while the stream is being created and the deadline is ahead.
    bool WaitForMore();

    std::unique_ptr<ByteSource> download_;
    std::shared_ptr<DownloadState> state_;
    std::chrono::steady_clock::time_point deadline_;
};

}  // namespace ovelaudio
