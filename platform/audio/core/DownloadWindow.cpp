#include "platform/audio/core/DownloadWindow.h"

#include <algorithm>
#include <cstring>

namespace ovelaudio {

DownloadWindow::DownloadWindow(std::chrono::milliseconds silenceLimit) : ring_(kBytes), silenceLimit_(silenceLimit) {}

bool DownloadWindow::Append(const uint8_t* bytes, size_t count)
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (count > 0) {
        full_ = true;
        roomMade_.wait(lock, [this] { return abandoned_ || Room() > 0; });
        full_ = false;
        if (abandoned_)
            return false;
        const size_t take = std::min(count, Room());
        DropBehind(take - std::min(take, kBytes - held_));
        Store(bytes, take);
        bytes += take;
        count -= take;
        lastArrival_ = std::chrono::steady_clock::now();
    }
    return !abandoned_;
}

void DownloadWindow::Finish()
{
    std::lock_guard<std::mutex> lock(mutex_);
    finished_ = true;
}

size_t DownloadWindow::Read(void* out, size_t bytes)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const size_t offset = static_cast<size_t>(position_ - base_);
    const size_t count = std::min(bytes, held_ - offset);
    const size_t at = (first_ + offset) % kBytes;
    const size_t firstPart = std::min(count, kBytes - at);
    std::memcpy(out, ring_.data() + at, firstPart);
    std::memcpy(static_cast<uint8_t*>(out) + firstPart, ring_.data(), count - firstPart);
    position_ += count;
    roomMade_.notify_all();
    return count;
}

bool DownloadWindow::Seek(uint64_t position)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (position < base_ || position > base_ + held_)
        return false;
    position_ = position;
    roomMade_.notify_all();
    return true;
}

bool DownloadWindow::Pending()
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (!finished_ && !full_ && std::chrono::steady_clock::now() - lastArrival_ >= silenceLimit_) {
        abandoned_ = true;
        finished_ = true;
        roomMade_.notify_all();
    }
    return !finished_;
}

void DownloadWindow::Abandon()
{
    std::lock_guard<std::mutex> lock(mutex_);
    abandoned_ = true;
    roomMade_.notify_all();
}

size_t DownloadWindow::Held() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return held_;
}

size_t DownloadWindow::Room() const
{
    const uint64_t keptFrom = position_ > kKeptBehind ? position_ - kKeptBehind : 0;
    const size_t behind = keptFrom > base_ ? static_cast<size_t>(keptFrom - base_) : 0;
    return kBytes - held_ + behind;
}

void DownloadWindow::DropBehind(size_t bytes)
{
    first_ = (first_ + bytes) % kBytes;
    held_ -= bytes;
    base_ += bytes;
}

void DownloadWindow::Store(const uint8_t* bytes, size_t count)
{
    const size_t at = (first_ + held_) % kBytes;
    const size_t firstPart = std::min(count, kBytes - at);
    std::memcpy(ring_.data() + at, bytes, firstPart);
    std::memcpy(ring_.data(), bytes + firstPart, count - firstPart);
    held_ += count;
}

}  // namespace ovelaudio
