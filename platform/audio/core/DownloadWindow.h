#pragma once
// The bytes of a download between the thread that fetches them and the
// stream that reads them. Only a bounded window is kept: what the stream has
// read long ago is dropped, and the download waits while the stream is far
// behind, so memory stays flat however long a radio stream plays.

#include "platform/audio/core/Backends.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace ovelaudio {

class DownloadWindow {
public:
    // 1 MiB: over a minute of a 128 kbit/s stream, far more than a decoder's
    // read-ahead and the bytes format detection reads from the start.
    static constexpr size_t kBytes = 1024 * 1024;
    // Read bytes kept behind the reading position, so a decoder may step back.
    static constexpr size_t kKeptBehind = 64 * 1024;

    explicit DownloadWindow(std::chrono::milliseconds silenceLimit = std::chrono::milliseconds(kNetTimeoutMs));

    // The download's side. Waits while the window is full; false once the
    // reader has gone or given up, so the download should stop.
    bool Append(const uint8_t* bytes, size_t count);
    void Finish();

    // The reader's side, one reading position.
    size_t Read(void* out, size_t bytes);
    // Anywhere in what is held.
    bool Seek(uint64_t position);
    // More may come: not finished, and not silent for the silence limit while
    // there was room for more (a download that dead counts as ended).
    bool Pending();
    // The reader has gone: the download ends at its next piece.
    void Abandon();

    size_t Held() const;

private:
    // Bytes the download may still add: the free room and what lies far enough behind the reader.
    size_t Room() const;
    void DropBehind(size_t bytes);
    void Store(const uint8_t* bytes, size_t count);

    mutable std::mutex mutex_;
    std::condition_variable roomMade_;
    std::vector<uint8_t> ring_;
    size_t first_ = 0;  // ring index of the oldest held byte
    size_t held_ = 0;
    uint64_t base_ = 0;  // stream offset of the oldest held byte
    uint64_t position_ = 0;
    std::chrono::milliseconds silenceLimit_;
    std::chrono::steady_clock::time_point lastArrival_ = std::chrono::steady_clock::now();
    bool full_ = false;  // the download waits for room
    bool finished_ = false;
    bool abandoned_ = false;
};

// A reader of a download window, as a URL stream's bytes; it abandons the
// download when it goes.
class WindowSource : public ByteSource {
public:
    WindowSource(std::shared_ptr<DownloadWindow> window, uint64_t size) : window_(std::move(window)), size_(size) {}
    ~WindowSource() override { window_->Abandon(); }
    size_t Read(void* out, size_t bytes) override { return window_->Read(out, bytes); }
    bool Seek(uint64_t position) override { return window_->Seek(position); }
    uint64_t Size() const override { return size_; }
    bool Pending() const override { return window_->Pending(); }

private:
    std::shared_ptr<DownloadWindow> window_;
    const uint64_t size_;
};

}  // namespace ovelaudio
