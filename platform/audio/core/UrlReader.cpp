#include "platform/audio/core/UrlReader.h"

#include <thread>

namespace ovelaudio {
namespace {

constexpr auto kPoll = std::chrono::milliseconds(5);

}  // namespace

UrlReader::UrlReader(std::unique_ptr<ByteSource> download, std::shared_ptr<DownloadState> state, uint32_t waitMs)
    : download_(std::move(download)), state_(std::move(state)),
      deadline_(std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs))
{}

size_t UrlReader::Read(void* out, size_t bytes)
{
    auto* at = static_cast<uint8_t*>(out);
    size_t done = 0;
    for (;;) {
        const bool pending = download_->Pending();
        done += download_->Read(at + done, bytes - done);
        state_->starved = done < bytes && pending;
        if (!state_->starved || !WaitForMore())
            return done;
    }
}

bool UrlReader::Seek(uint64_t position)
{
    for (;;) {
        const bool pending = download_->Pending();
        if (download_->Seek(position))
            return true;
        if (!pending || !WaitForMore())
            return false;
    }
}

bool UrlReader::WaitForMore()
{
    if (!state_->opening)
        return false;
    if (std::chrono::steady_clock::now() >= deadline_) {
        state_->timedOut = true;
        return false;
    }
    std::this_thread::sleep_for(kPoll);
    return true;
}

}  // namespace ovelaudio
