#include "platform/audio/win/WinInetUrlSource.h"

#include "platform/audio/bass.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace ovelaudio {

namespace {

constexpr const char* kAgent = "Ovel";
constexpr const char* kSchemes[] = {"http://", "https://", "ftp://"};
constexpr DWORD kChunkBytes = 16384;
constexpr DWORD kReceiveTimeoutMs = 30000;  // bounds how long an abandoned download lingers
constexpr DWORD kHttpPartialContent = 206;
constexpr DWORD kHttpFirstError = 400;
constexpr DWORD kOpenFlags = INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_UI;

bool KnownScheme(const std::string& url)
{
    return std::any_of(std::begin(kSchemes), std::end(kSchemes), [&](const char* scheme) {
        return url.size() > std::strlen(scheme) && _strnicmp(url.c_str(), scheme, std::strlen(scheme)) == 0;
    });
}

bool IsHttp(const std::string& url) { return _strnicmp(url.c_str(), "http", 4) == 0; }

std::optional<DWORD> NumberHeader(HINTERNET request, DWORD query)
{
    DWORD value = 0;
    DWORD bytes = sizeof value;
    if (!HttpQueryInfoA(request, query | HTTP_QUERY_FLAG_NUMBER, &value, &bytes, nullptr))
        return std::nullopt;
    return value;
}

// What the download thread and the reader share; the thread keeps it alive
// after the reader has gone, until the connection lets it go.
struct Download {
    std::mutex mutex;
    std::vector<uint8_t> bytes;
    std::chrono::steady_clock::time_point lastArrival = std::chrono::steady_clock::now();
    bool finished = false;
    bool abandoned = false;
};

void Fetch(std::shared_ptr<Download> download, HINTERNET session, HINTERNET request, uint64_t skip)
{
    std::vector<uint8_t> chunk(kChunkBytes);
    for (;;) {
        // A read waits for all it asks for: ask only for what is there, so
        // that each piece reaches the reader as soon as it arrives.
        DWORD available = 0;
        DWORD got = 0;
        if (!InternetQueryDataAvailable(request, &available, 0, 0) || available == 0 ||
            !InternetReadFile(request, chunk.data(), std::min(available, kChunkBytes), &got) || got == 0)
            break;
        const DWORD skipped = static_cast<DWORD>(std::min<uint64_t>(skip, got));
        skip -= skipped;
        std::lock_guard<std::mutex> lock(download->mutex);
        if (download->abandoned)
            break;
        download->bytes.insert(download->bytes.end(), chunk.begin() + skipped, chunk.begin() + got);
        download->lastArrival = std::chrono::steady_clock::now();
    }
    InternetCloseHandle(request);
    InternetCloseHandle(session);
    std::lock_guard<std::mutex> lock(download->mutex);
    download->finished = true;
}

class WinInetUrlSource final : public ByteSource {
public:
    WinInetUrlSource(std::shared_ptr<Download> download, uint64_t size) : download_(std::move(download)), size_(size) {}

    // The download may hang on a silent server: it is left to end by itself.
    ~WinInetUrlSource() override
    {
        std::lock_guard<std::mutex> lock(download_->mutex);
        download_->abandoned = true;
    }

    size_t Read(void* out, size_t bytes) override
    {
        std::lock_guard<std::mutex> lock(download_->mutex);
        const size_t copied = std::min<size_t>(bytes, download_->bytes.size() - position_);
        if (copied > 0)
            std::memcpy(out, download_->bytes.data() + position_, copied);
        position_ += copied;
        return copied;
    }

    // Anywhere in what has arrived.
    bool Seek(uint64_t position) override
    {
        std::lock_guard<std::mutex> lock(download_->mutex);
        if (position > download_->bytes.size())
            return false;
        position_ = static_cast<size_t>(position);
        return true;
    }

    uint64_t Size() const override { return size_; }

    bool Pending() const override
    {
        std::lock_guard<std::mutex> lock(download_->mutex);
        if (!download_->finished &&
            std::chrono::steady_clock::now() - download_->lastArrival >= std::chrono::milliseconds(kNetTimeoutMs)) {
            download_->abandoned = true;
            download_->finished = true;
        }
        return !download_->finished;
    }

private:
    std::shared_ptr<Download> download_;
    const uint64_t size_;
    size_t position_ = 0;
};

int OpenError() { return GetLastError() == ERROR_INTERNET_TIMEOUT ? BASS_ERROR_TIMEOUT : BASS_ERROR_FILEOPEN; }

}  // namespace

std::unique_ptr<ByteSource> OpenWinInetUrl(const std::string& url, uint32_t offset, int& error)
{
    if (!KnownScheme(url)) {
        error = BASS_ERROR_PROTOCOL;
        return nullptr;
    }
    const HINTERNET session = InternetOpenA(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!session) {
        error = BASS_ERROR_FILEOPEN;
        return nullptr;
    }
    DWORD receiveTimeout = kReceiveTimeoutMs;
    InternetSetOptionA(session, INTERNET_OPTION_RECEIVE_TIMEOUT, &receiveTimeout, sizeof receiveTimeout);
    const bool http = IsHttp(url);
    const std::string range = http && offset > 0 ? "Range: bytes=" + std::to_string(offset) + "-\r\n" : "";
    const HINTERNET request = InternetOpenUrlA(session, url.c_str(), range.empty() ? nullptr : range.c_str(),
                                               static_cast<DWORD>(range.size()), kOpenFlags, 0);
    const std::optional<DWORD> status = request && http ? NumberHeader(request, HTTP_QUERY_STATUS_CODE) : std::nullopt;
    if (!request || (http && (!status || *status >= kHttpFirstError))) {
        error = request ? BASS_ERROR_FILEOPEN : OpenError();
        if (request)
            InternetCloseHandle(request);
        InternetCloseHandle(session);
        return nullptr;
    }

    // A server that ignores the range sends everything: we skip to the offset.
    const uint64_t skip = status == kHttpPartialContent ? 0 : offset;
    const std::optional<DWORD> length = http ? NumberHeader(request, HTTP_QUERY_CONTENT_LENGTH) : std::nullopt;
    const uint64_t size = length && *length >= skip ? *length - skip : UINT64_MAX;
    auto download = std::make_shared<Download>();
    try {
        std::thread(Fetch, download, session, request, skip).detach();
    } catch (const std::system_error&) {
        InternetCloseHandle(request);
        InternetCloseHandle(session);
        error = BASS_ERROR_MEM;
        return nullptr;
    }
    return std::make_unique<WinInetUrlSource>(std::move(download), size);
}

}  // namespace ovelaudio
