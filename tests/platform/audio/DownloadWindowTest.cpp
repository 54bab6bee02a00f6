// A URL stream's bytes held in a bounded window: an endless download keeps
// memory flat, the reader still gets every byte in order, and a full window
// is not mistaken for a dead connection.

#include "platform/audio/core/DownloadWindow.h"

#include <gtest/gtest.h>

#include <thread>

namespace audiotest {
namespace {

using ovelaudio::DownloadWindow;
using ovelaudio::WindowSource;
using namespace std::chrono_literals;

constexpr size_t kPiece = 16384;
constexpr size_t kOddRead = 3001;  // reads that straddle the ring's end at ever other places
constexpr uint64_t kReadTotal = 48ull * 1024 * 1024;

// Byte n of the download: a period that no window size is a multiple of.
uint8_t ByteAt(uint64_t n) { return static_cast<uint8_t>(n % 251); }

std::vector<uint8_t> BytesFrom(uint64_t first, size_t count)
{
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = ByteAt(first + i);
    return bytes;
}

// Like a radio station: pieces for ever, until the reader goes.
void Broadcast(DownloadWindow& window)
{
    for (uint64_t sent = 0;; sent += kPiece) {
        const std::vector<uint8_t> piece = BytesFrom(sent, kPiece);
        if (!window.Append(piece.data(), piece.size()))
            return;
    }
}

TEST(DownloadWindow, AnEndlessDownloadKeepsHeldBytesBoundedAndEveryByteInOrder)
{
    auto window = std::make_shared<DownloadWindow>();
    auto source = std::make_unique<WindowSource>(window, UINT64_MAX);
    std::thread station(Broadcast, std::ref(*window));

    std::vector<uint8_t> got(kOddRead);
    size_t largestHeld = 0;
    uint64_t read = 0;
    while (read < kReadTotal) {
        ASSERT_TRUE(source->Pending());
        const size_t count = source->Read(got.data(), got.size());
        if (count == 0) {
            std::this_thread::yield();
            continue;
        }
        got.resize(count);
        ASSERT_EQ(got, BytesFrom(read, count)) << "at byte " << read;
        got.resize(kOddRead);
        read += count;
        largestHeld = std::max(largestHeld, window->Held());
    }
    source.reset();
    station.join();
    EXPECT_LE(largestHeld, DownloadWindow::kBytes);
}

TEST(DownloadWindow, SeeksOnlyWithinWhatItStillHolds)
{
    DownloadWindow window;
    const std::vector<uint8_t> first = BytesFrom(0, DownloadWindow::kBytes);
    ASSERT_TRUE(window.Append(first.data(), first.size()));
    std::vector<uint8_t> skipped(DownloadWindow::kBytes / 2);
    ASSERT_EQ(window.Read(skipped.data(), skipped.size()), skipped.size());
    const std::vector<uint8_t> more = BytesFrom(first.size(), DownloadWindow::kBytes / 4);
    ASSERT_TRUE(window.Append(more.data(), more.size()));
    EXPECT_EQ(window.Held(), DownloadWindow::kBytes);

    const uint64_t end = first.size() + more.size();
    const uint64_t keptFrom = skipped.size() - DownloadWindow::kKeptBehind;
    struct SeekCase {
        uint64_t position;
        bool held;
    };
    for (const SeekCase& c : {SeekCase{0, false}, SeekCase{end - DownloadWindow::kBytes - 1, false},
                              SeekCase{keptFrom, true}, SeekCase{end, true}, SeekCase{end + 1, false}}) {
        EXPECT_EQ(window.Seek(c.position), c.held) << c.position;
    }
    ASSERT_TRUE(window.Seek(keptFrom));
    std::vector<uint8_t> back(DownloadWindow::kKeptBehind + more.size());
    ASSERT_EQ(window.Read(back.data(), back.size()), back.size());
    EXPECT_EQ(back, BytesFrom(keptFrom, back.size()));
}

TEST(DownloadWindow, ASilentDownloadEndsButAFullWindowIsNotSilence)
{
    constexpr auto kSilence = 20ms;
    DownloadWindow silent(kSilence);
    const uint8_t byte = 1;
    ASSERT_TRUE(silent.Append(&byte, 1));
    std::this_thread::sleep_for(2 * kSilence);
    EXPECT_FALSE(silent.Pending());
    EXPECT_FALSE(silent.Append(&byte, 1));

    DownloadWindow full(kSilence);
    const std::vector<uint8_t> bytes = BytesFrom(0, DownloadWindow::kBytes);
    ASSERT_TRUE(full.Append(bytes.data(), bytes.size()));
    bool appended = true;
    std::thread waiting([&] { appended = full.Append(&byte, 1); });
    std::this_thread::sleep_for(5 * kSilence);
    EXPECT_TRUE(full.Pending());
    full.Abandon();
    waiting.join();
    EXPECT_FALSE(appended);
}

}  // namespace
}  // namespace audiotest
