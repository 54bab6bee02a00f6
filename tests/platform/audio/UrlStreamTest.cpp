// URL streams over a download of the test's own: creation waits only for the
// format's bytes, the stream stalls when it runs ahead and ends with the download.

#include "platform/audio/core/Backends.h"
#include "platform/audio/core/TestHooks.h"
#include "tests/platform/audio/AudioFixtures.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>
#include <thread>

namespace audiotest {
namespace {

constexpr size_t kWaveHeaderBytes = 44;
constexpr size_t kFrameBytes = 2;  // 16-bit mono
const char* const kUrl = "http://radio.test/stream";

// Bytes that the test hands over piece by piece, as a network would.
class Feed {
public:
    void Append(const uint8_t* from, const uint8_t* to)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        bytes_.insert(bytes_.end(), from, to);
    }
    void Finish()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        finished_ = true;
    }
    size_t CopyAt(size_t position, void* out, size_t bytes)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const size_t count = position < bytes_.size() ? std::min(bytes, bytes_.size() - position) : 0;
        if (count > 0)
            std::memcpy(out, bytes_.data() + position, count);
        return count;
    }
    size_t Arrived()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return bytes_.size();
    }
    bool Finished()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return finished_;
    }

private:
    std::mutex mutex_;
    std::vector<uint8_t> bytes_;
    bool finished_ = false;
};

class FeedSource : public ovelaudio::ByteSource {
public:
    explicit FeedSource(std::shared_ptr<Feed> feed) : feed_(std::move(feed)) {}
    size_t Read(void* out, size_t bytes) override
    {
        const size_t got = feed_->CopyAt(position_, out, bytes);
        position_ += got;
        return got;
    }
    bool Seek(uint64_t position) override
    {
        if (position > feed_->Arrived())
            return false;
        position_ = static_cast<size_t>(position);
        return true;
    }
    uint64_t Size() const override { return UINT64_MAX; }
    bool Pending() const override { return !feed_->Finished(); }

private:
    std::shared_ptr<Feed> feed_;
    size_t position_ = 0;
};

// Internet radio: a WAV header that announces all the data there is, then a level of 0.5 for ever.
class EndlessSource : public ovelaudio::ByteSource {
public:
    EndlessSource() : header_(MakeConstantWave(1, 0, {}))
    {
        std::fill(header_.begin() + kWaveHeaderBytes - 4, header_.end(), 0xFF);
    }
    size_t Read(void* out, size_t bytes) override
    {
        auto* at = static_cast<uint8_t*>(out);
        for (size_t i = 0; i < bytes; ++i, ++position_)
            at[i] = position_ < header_.size() ? header_[position_] : kSample[(position_ - header_.size()) % 2];
        return bytes;
    }
    bool Seek(uint64_t position) override
    {
        position_ = position;
        return true;
    }
    uint64_t Size() const override { return UINT64_MAX; }
    bool Pending() const override { return true; }

private:
    static constexpr uint8_t kSample[2] = {0x00, 0x40};  // 16384 / 32768
    std::vector<uint8_t> header_;
    uint64_t position_ = 0;
};

std::shared_ptr<Feed> currentFeed;

std::unique_ptr<ovelaudio::ByteSource> OpenFeed(const std::string&, uint32_t, int&)
{
    return std::make_unique<FeedSource>(currentFeed);
}

std::unique_ptr<ovelaudio::ByteSource> OpenEndless(const std::string&, uint32_t, int&)
{
    return std::make_unique<EndlessSource>();
}

void OVEL_AUDIO_CALLBACK CountEnd(HSYNC, DWORD, DWORD, void* user) { ++*static_cast<int*>(user); }

class UrlStreamTest : public ManualOutput {
protected:
    void SetUp() override
    {
        ManualOutput::SetUp();
        currentFeed = feed_;
        ovelaudio::SetUrlOpener(OpenFeed);
    }
    void TearDown() override
    {
        ovelaudio::SetUrlOpener(nullptr);
        ovelaudio::testhooks::SetUrlOpenWait(ovelaudio::kNetTimeoutMs);
        currentFeed.reset();
        ManualOutput::TearDown();
    }

    void Deliver(const std::vector<uint8_t>& bytes, size_t from, size_t to)
    {
        feed_->Append(bytes.data() + from, bytes.data() + to);
    }
    DWORD Active(HSTREAM stream) const { return BASS_ChannelIsActive(stream); }

    std::shared_ptr<Feed> feed_ = std::make_shared<Feed>();
};

// 1000 frames arrive, then half a frame more, then the rest: silence while it waits, no end until the download's.
TEST_F(UrlStreamTest, StallsWhenAheadOfTheDownloadAndEndsOnlyWithIt)
{
    const std::vector<uint8_t> wave = MakeConstantWave(1, 3000, {0.5f});
    const size_t firstPart = kWaveHeaderBytes + 1000 * kFrameBytes;
    Deliver(wave, 0, firstPart);
    const HSTREAM stream = BASS_StreamCreateURL(kUrl, 0, 0, nullptr, nullptr);
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
    int ends = 0;
    BASS_ChannelSetSync(stream, BASS_SYNC_END, 0, CountEnd, &ends);
    ASSERT_TRUE(BASS_ChannelPlay(stream, 0));

    std::vector<float> out = Render(1500);
    EXPECT_NEAR(out[2 * 999], 0.5f, 1e-3f);
    EXPECT_EQ(out.back(), 0.0f);
    EXPECT_EQ(Active(stream), static_cast<DWORD>(BASS_ACTIVE_STALLED));
    Render(20000);
    EXPECT_EQ(Active(stream), static_cast<DWORD>(BASS_ACTIVE_STALLED));
    EXPECT_EQ(ends, 0);

    const size_t halfFrameMore = firstPart + 1001;
    Deliver(wave, firstPart, halfFrameMore);
    out = Render(400);
    EXPECT_NEAR(out.back(), 0.5f, 1e-3f);
    EXPECT_EQ(Active(stream), static_cast<DWORD>(BASS_ACTIVE_PLAYING));

    Deliver(wave, halfFrameMore, wave.size());
    feed_->Finish();
    Render(3000);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(Active(stream), static_cast<DWORD>(BASS_ACTIVE_STOPPED));
}

TEST_F(UrlStreamTest, VorbisPlaysAsItArrives)
{
    constexpr size_t kSeconds = 20;
    const std::vector<uint8_t> ogg = MakeVorbis(kRate, kSeconds * kRate);
    Deliver(ogg, 0, ogg.size() / 2);
    const HSTREAM stream = BASS_StreamCreateURL(kUrl, 0, 0, nullptr, nullptr);
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
    int ends = 0;
    BASS_ChannelSetSync(stream, BASS_SYNC_END, 0, CountEnd, &ends);
    ASSERT_TRUE(BASS_ChannelPlay(stream, 0));

    float peak = 0.0f;
    for (float s : Render(kRate / 4))
        peak = std::max(peak, std::abs(s));
    EXPECT_NEAR(peak, 0.5f, 0.1f);
    Render(kSeconds * kRate);
    EXPECT_EQ(Active(stream), static_cast<DWORD>(BASS_ACTIVE_STALLED));
    EXPECT_EQ(ends, 0);

    Deliver(ogg, ogg.size() / 2, ogg.size());
    feed_->Finish();
    Render(kSeconds * kRate);
    EXPECT_EQ(ends, 1);
}

// The bytes that tell the format come after the call has begun to wait.
TEST_F(UrlStreamTest, CreationWaitsForTheFormatBytes)
{
    const std::vector<uint8_t> wave = MakeConstantWave(1, 100, {0.5f});
    std::thread network([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        Deliver(wave, 0, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        Deliver(wave, 10, wave.size());
    });
    const HSTREAM stream = BASS_StreamCreateURL(kUrl, 0, 0, nullptr, nullptr);
    network.join();
    EXPECT_NE(stream, 0u) << BASS_ErrorGetCode();
}

TEST_F(UrlStreamTest, CreationGivesUpWhenTheFormatBytesDoNotCome)
{
    const std::vector<uint8_t> wave = MakeConstantWave(1, 100, {0.5f});
    Deliver(wave, 0, 10);
    ovelaudio::testhooks::SetUrlOpenWait(50);
    EXPECT_EQ(BASS_StreamCreateURL(kUrl, 0, 0, nullptr, nullptr), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_TIMEOUT);
}

TEST_F(UrlStreamTest, ADownloadThatEndsTooSoonIsNoSound)
{
    const std::vector<uint8_t> wave = MakeConstantWave(1, 100, {0.5f});
    Deliver(wave, 0, 10);
    feed_->Finish();
    EXPECT_EQ(BASS_StreamCreateURL(kUrl, 0, 0, nullptr, nullptr), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
}

// A station's address often gives a playlist that names the stream itself.
TEST_F(UrlStreamTest, ABodyThatIsAPlaylistIsFollowedOnlyWhenUrlStreamsFollowPlaylists)
{
    const std::string file = std::string(OVEL_SCRATCH_DIR) + "/url-playlist-entry.wav";
    const std::vector<uint8_t> wave = MakeConstantWave(1, 100, {0.5f});
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(wave.data()), wave.size());
    const std::string playlist = "[playlist]\r\nFile1=" + file + "\r\n";
    feed_->Append(reinterpret_cast<const uint8_t*>(playlist.data()),
                  reinterpret_cast<const uint8_t*>(playlist.data() + playlist.size()));
    feed_->Finish();

    ASSERT_TRUE(BASS_SetConfig(BASS_CONFIG_NET_PLAYLIST, kFollowFilesOnly));
    EXPECT_EQ(BASS_StreamCreateURL(kUrl, 0, 0, nullptr, nullptr), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);

    ASSERT_TRUE(BASS_SetConfig(BASS_CONFIG_NET_PLAYLIST, kFollowFilesAndUrls));
    const HSTREAM stream = BASS_StreamCreateURL(kUrl, 0, 0, nullptr, nullptr);
    BASS_SetConfig(BASS_CONFIG_NET_PLAYLIST, kFollowNever);
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
    EXPECT_EQ(BASS_ChannelGetLength(stream, BASS_POS_BYTE), 100 * kFrameBytes);
}

// Damaged headers are refused as they arrive, before the decoder or the wait for more.
TEST_F(UrlStreamTest, DamagedVorbisHeadersGiveNoStream)
{
    std::vector<uint8_t> ogg = MakeVorbisWithComments(0x20000000u, 0);
    ogg.resize(ogg.size() + 8192);  // more on the way than creation reads at a time
    Deliver(ogg, 0, ogg.size());
    EXPECT_EQ(BASS_StreamCreateURL(kUrl, 0, 0, nullptr, nullptr), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
}

TEST_F(UrlStreamTest, AnEndlessDownloadDoesNotHoldUpCreation)
{
    ovelaudio::SetUrlOpener(OpenEndless);
    const HSTREAM stream = BASS_StreamCreateURL(kUrl, 0, BASS_SAMPLE_MONO, nullptr, nullptr);
    ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
    ASSERT_TRUE(BASS_ChannelPlay(stream, 0));
    EXPECT_NEAR(Render(10000).back(), 0.5f, 1e-3f);
    EXPECT_EQ(Active(stream), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
}

}  // namespace
}  // namespace audiotest
