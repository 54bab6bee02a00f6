// MP3 frame headers and the tags around them.

#include "platform/audio/win/Mp3Frames.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using ovelaudio::Id3v2TagBytes;
using ovelaudio::ParseMp3Header;

struct HeaderCase {
    std::array<uint8_t, 4> header;
    uint32_t rate;
    uint32_t channels;
    uint32_t bytes;  // 0: not a header we decode
};

class Mp3HeaderTest : public testing::TestWithParam<HeaderCase> {};

TEST_P(Mp3HeaderTest, GivesRateChannelsAndFrameLength)
{
    const HeaderCase& c = GetParam();
    const auto frame = ParseMp3Header(c.header.data());
    if (c.bytes == 0) {
        EXPECT_FALSE(frame);
        return;
    }
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->rate, c.rate);
    EXPECT_EQ(frame->channels, c.channels);
    EXPECT_EQ(frame->bytes, c.bytes);
}

INSTANTIATE_TEST_SUITE_P(Headers, Mp3HeaderTest,
                         testing::Values(HeaderCase{{0xFF, 0xFB, 0x90, 0x00}, 44100, 2, 417},  // MPEG-1, 128 kbit/s
                                         HeaderCase{{0xFF, 0xFB, 0x92, 0x00}, 44100, 2, 418},  // padded
                                         HeaderCase{{0xFF, 0xF3, 0x40, 0xC0}, 22050, 1, 104},  // MPEG-2 mono
                                         HeaderCase{{0xFF, 0xE3, 0x18, 0xC0}, 8000, 1, 72},    // MPEG-2.5
                                         HeaderCase{{0xFF, 0xFD, 0x90, 0x00}, 0, 0, 0},        // layer II
                                         HeaderCase{{0xFF, 0xFB, 0x00, 0x00}, 0, 0, 0},        // free bitrate
                                         HeaderCase{{0xFF, 0xFB, 0xF0, 0x00}, 0, 0, 0},        // bad bitrate
                                         HeaderCase{{0xFF, 0xFB, 0x9C, 0x00}, 0, 0, 0},        // bad rate
                                         HeaderCase{{0xFF, 0xEB, 0x90, 0x00}, 0, 0, 0},        // reserved version
                                         HeaderCase{{0xFE, 0xFB, 0x90, 0x00}, 0, 0, 0}));      // no sync

TEST(Id3v2TagTest, CountsHeaderBodyAndFooter)
{
    const uint8_t plain[10] = {'I', 'D', '3', 4, 0, 0x00, 0, 0, 0x02, 0x01};
    const uint8_t footed[10] = {'I', 'D', '3', 4, 0, 0x10, 0, 0, 0x02, 0x01};
    const uint8_t broken[10] = {'I', 'D', '3', 4, 0, 0x00, 0, 0, 0x82, 0x01};
    const uint8_t frame[10] = {0xFF, 0xFB, 0x90, 0x00};
    EXPECT_EQ(Id3v2TagBytes(plain), 10u + 257u);
    EXPECT_EQ(Id3v2TagBytes(footed), 20u + 257u);
    EXPECT_EQ(Id3v2TagBytes(broken), 0u);
    EXPECT_EQ(Id3v2TagBytes(frame), 0u);
}

}  // namespace
