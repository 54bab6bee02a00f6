// File streams created from playlists: followed to the first entry that
// opens once the config asks for it, within bounds when playlists nest.

#include "tests/platform/audio/AudioFixtures.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace audiotest {
namespace {

constexpr size_t kGoodFrames = 1000;
constexpr size_t kOtherFrames = 700;

std::string Folder() { return std::string(OVEL_SCRATCH_DIR) + "/playlists/"; }

void Write(const std::string& name, const std::string& bytes)
{
    std::ofstream(Folder() + name, std::ios::binary) << bytes;
}

void WriteWave(const std::string& name, size_t frames)
{
    const std::vector<uint8_t> wave = MakeConstantWave(1, frames, {0.5f});
    Write(name, std::string(wave.begin(), wave.end()));
}

class PlaylistStreamTest : public ManualOutput {
protected:
    void SetUp() override
    {
        ManualOutput::SetUp();
        std::filesystem::create_directories(Folder());
        WriteWave("good.wav", kGoodFrames);
        WriteWave("other.wav", kOtherFrames);
        WriteWave("w\xC3\xA4ld.wav", kOtherFrames);
        ASSERT_TRUE(BASS_SetConfig(BASS_CONFIG_NET_PLAYLIST, kFollowFilesAndUrls));
    }
    void TearDown() override
    {
        BASS_SetConfig(BASS_CONFIG_NET_PLAYLIST, kFollowNever);
        ManualOutput::TearDown();
    }

    static HSTREAM Open(const std::string& name)
    {
        return BASS_StreamCreateFile(0, (Folder() + name).c_str(), 0, 0, 0);
    }
    static QWORD Frames(HSTREAM stream) { return BASS_ChannelGetLength(stream, BASS_POS_BYTE) / sizeof(int16_t); }
};

struct PlaylistCase {
    const char* name;
    std::string file;
    std::string text;
    size_t frames;  // of the entry that plays; 0 when none does
    int error;
};

TEST_F(PlaylistStreamTest, OpensTheFirstEntryThatOpens)
{
    Write("b.m3u", "good.wav\r\n");
    const PlaylistCase cases[] = {
        {"missing first entry", "list.m3u", "#EXTM3U\r\nmissing.wav\r\ngood.wav\r\nother.wav\r\n", kGoodFrames, 0},
        {"pls", "radio.pls", "[playlist]\r\nNumberOfEntries=1\r\nFile1=other.wav\r\n", kOtherFrames, 0},
        {"utf-8 name", "wald.m3u8", "\xEF\xBB\xBFw\xC3\xA4ld.wav\r\n", kOtherFrames, 0},
        {"known by its text", "list.txt", "[playlist]\nFile1=good.wav\n", kGoodFrames, 0},
        {"a playlist in a playlist", "a.m3u", "b.m3u\r\n", kGoodFrames, 0},
        {"naming itself", "self.m3u", "self.m3u\r\nself.m3u\r\n", 0, BASS_ERROR_FILEFORM},
        {"empty", "empty.m3u", "", 0, BASS_ERROR_FILEFORM},
        {"only comments", "comments.m3u", "#EXTM3U\r\n#EXTINF:1,Brook\r\n", 0, BASS_ERROR_FILEFORM},
        {"no entry opens", "gone.pls", "[playlist]\r\nFile1=missing.wav\r\n", 0, BASS_ERROR_FILEOPEN},
    };
    for (const PlaylistCase& c : cases) {
        Write(c.file, c.text);
        const HSTREAM stream = Open(c.file);
        if (c.frames == 0) {
            EXPECT_EQ(stream, 0u) << c.name;
            EXPECT_EQ(BASS_ErrorGetCode(), c.error) << c.name;
        } else {
            ASSERT_NE(stream, 0u) << c.name << ": " << BASS_ErrorGetCode();
            EXPECT_EQ(Frames(stream), c.frames) << c.name;
            BASS_StreamFree(stream);
        }
    }
}

TEST_F(PlaylistStreamTest, IsNoSoundFileWhenPlaylistsAreNotFollowed)
{
    Write("list.m3u", "good.wav\r\n");
    ASSERT_TRUE(BASS_SetConfig(BASS_CONFIG_NET_PLAYLIST, kFollowNever));
    EXPECT_EQ(Open("list.m3u"), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEFORM);
}

}  // namespace
}  // namespace audiotest
