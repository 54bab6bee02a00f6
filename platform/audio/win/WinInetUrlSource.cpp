#include "platform/audio/win/WinInetUrlSource.h"

#include "platform/audio/bass.h"
#include "platform/audio/core/DownloadWindow.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cstring>
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

// The window outlives the reader until the connection lets the thread go.
void Fetch(std::shared_ptr<DownloadWindow> window, HINTERNET session, HINTERNET request, uint64_t skip)
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
        if (!window->Append(chunk.data() + skipped, got - skipped))
            break;
    }
    InternetCloseHandle(request);
    InternetCloseHandle(session);
    window->Finish();
}

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
    auto window = std::make_shared<DownloadWindow>();
    try {
        std::thread(Fetch, window, session, request, skip).detach();
    } catch (const std::system_error&) {
        InternetCloseHandle(request);
        InternetCloseHandle(session);
        error = BASS_ERROR_MEM;
        return nullptr;
    }
    return std::make_unique<WindowSource>(std::move(window), size);
}

}  // namespace ovelaudio
