// URL sources against a small HTTP server of the test's own on the loopback.

#include "platform/audio/bass.h"
#include "platform/audio/win/WinInetUrlSource.h"
#include "tests/common/LoopbackServer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using ovelaudio::ByteSource;
using ovelaudio::OpenWinInetUrl;

constexpr size_t kBodyBytes = 50000;
constexpr size_t kStalledBytes = 1000;

std::vector<uint8_t> Body()
{
    std::vector<uint8_t> body(kBodyBytes);
    for (size_t i = 0; i < body.size(); ++i)
        body[i] = uint8_t(i * 7 % 251);
    return body;
}

// "/tone" answers the body, "/stall" a part of it and then nothing while the
// connection stays open, anything else 404.
TLoopbackServer::TConnection Answer(SOCKET client)
{
    const std::string request = TLoopbackServer::ReadRequest(client);
    const std::string path = request.substr(4, request.find(' ', 4) - 4);
    const std::vector<uint8_t> body = Body();
    if (path == "/tone") {
        TLoopbackServer::Send(client, "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                                          "\r\nConnection: close\r\n\r\n" + std::string(body.begin(), body.end()));
    } else if (path == "/stall") {
        TLoopbackServer::Send(client, "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" +
                                          std::string(body.begin(), body.begin() + kStalledBytes));
        return TLoopbackServer::TConnection::HoldOpen;
    } else {
        TLoopbackServer::Send(client, "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    }
    return TLoopbackServer::TConnection::Close;
}

constexpr auto kPoll = std::chrono::milliseconds(10);

// Reads never wait: a reader polls until the source is no longer pending.
std::vector<uint8_t> ReadToEnd(ByteSource& source)
{
    std::vector<uint8_t> all;
    uint8_t chunk[4096];
    for (;;) {
        const bool pending = source.Pending();
        const size_t got = source.Read(chunk, sizeof chunk);
        all.insert(all.end(), chunk, chunk + got);
        if (got == 0 && !pending)
            return all;
        if (got == 0)
            std::this_thread::sleep_for(kPoll);
    }
}

class WinInetUrlSourceTest : public testing::Test {
protected:
    TLoopbackServer server_{Answer};
    int error_ = BASS_OK;
};

TEST_F(WinInetUrlSourceTest, DeliversTheWholeBodyWithItsSizeAndReadsItAgainFromTheStart)
{
    const std::unique_ptr<ByteSource> source = OpenWinInetUrl(server_.Url("/tone"), 0, error_);
    ASSERT_NE(source, nullptr) << "error " << error_;
    EXPECT_EQ(source->Size(), kBodyBytes);
    EXPECT_EQ(ReadToEnd(*source), Body());
    ASSERT_TRUE(source->Seek(0));
    EXPECT_EQ(ReadToEnd(*source), Body());
}

TEST_F(WinInetUrlSourceTest, StartsAtTheOffsetWhenTheServerSendsEverything)
{
    constexpr uint32_t kOffset = 1000;
    const std::unique_ptr<ByteSource> source = OpenWinInetUrl(server_.Url("/tone"), kOffset, error_);
    ASSERT_NE(source, nullptr) << "error " << error_;
    const std::vector<uint8_t> body = Body();
    EXPECT_EQ(source->Size(), kBodyBytes - kOffset);
    EXPECT_EQ(ReadToEnd(*source), std::vector<uint8_t>(body.begin() + kOffset, body.end()));
}

// A stall is "not yet": the source stays pending until the connection has been
// silent for the net timeout, and only then ends after what has arrived.
TEST_F(WinInetUrlSourceTest, EndsADeadDownloadAfterWhatHasArrived)
{
    std::unique_ptr<ByteSource> source = OpenWinInetUrl(server_.Url("/stall"), 0, error_);
    ASSERT_NE(source, nullptr) << "error " << error_;
    EXPECT_EQ(source->Size(), UINT64_MAX);
    const std::vector<uint8_t> body = Body();
    std::vector<uint8_t> arrived;
    uint8_t chunk[kStalledBytes];
    while (arrived.size() < kStalledBytes) {
        const size_t got = source->Read(chunk, sizeof chunk);
        arrived.insert(arrived.end(), chunk, chunk + got);
        std::this_thread::sleep_for(kPoll);
    }
    EXPECT_TRUE(source->Pending());
    EXPECT_EQ(ReadToEnd(*source), std::vector<uint8_t>());
    EXPECT_FALSE(source->Pending());
    EXPECT_EQ(arrived, std::vector<uint8_t>(body.begin(), body.begin() + kStalledBytes));
    source.reset();  // with the connection still open
}

TEST_F(WinInetUrlSourceTest, RefusesMissingFilesAndOtherProtocols)
{
    const struct {
        std::string url;
        int error;
    } cases[] = {
        {server_.Url("/missing"), BASS_ERROR_FILEOPEN},
        {"rtsp://127.0.0.1/tone", BASS_ERROR_PROTOCOL},
        {"file:///c:/tone.mp3", BASS_ERROR_PROTOCOL},
        {"http:/", BASS_ERROR_PROTOCOL},
    };
    for (const auto& c : cases) {
        int error = BASS_OK;
        EXPECT_EQ(OpenWinInetUrl(c.url, 0, error), nullptr) << c.url;
        EXPECT_EQ(error, c.error) << c.url;
    }
}

}  // namespace
