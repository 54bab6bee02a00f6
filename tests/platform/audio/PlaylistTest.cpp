#include "platform/audio/core/Playlist.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Entries = std::vector<std::string>;

struct EntriesCase {
    const char* name;
    TPlaylistKind kind;
    std::string text;
    Entries expected;
};

TEST(PlaylistEntries, NameOnlyUsableLines)
{
    const EntriesCase cases[] = {
        {"empty m3u", TPlaylistKind::M3u, "", {}},
        {"only comments", TPlaylistKind::M3u, "#EXTM3U\r\n#EXTINF:12,Brook\r\n", {}},
        {"m3u lines",
         TPlaylistKind::M3u,
         "#EXTM3U\r\nbrook.mp3\r\n\r\n  \r\nsub\\rain.ogg\n",
         {"brook.mp3", "sub\\rain.ogg"}},
        {"blanks around", TPlaylistKind::M3u, "  far away.wav \t\r\n", {"far away.wav"}},
        {"byte-order mark", TPlaylistKind::M3u8, "\xEF\xBB\xBF\r\nwald.flac\r\n", {"wald.flac"}},
        {"mark before a name", TPlaylistKind::M3u8, "\xEF\xBB\xBFwald.flac", {"wald.flac"}},
        {"pls",
         TPlaylistKind::Pls,
         "[playlist]\r\nFile1=a.mp3\r\nTitle1=A\r\nfile2 = b.ogg\r\nNumberOfEntries=2\r\n",
         {"a.mp3", "b.ogg"}},
        {"no file line", TPlaylistKind::Pls, "[playlist]\r\nTitle1=A\r\nNumberOfEntries=1\r\n", {}},
        {"file line without a value", TPlaylistKind::Pls, "File1\r\nFile2=\r\nFile3=  \r\n", {}},
        {"url entry",
         TPlaylistKind::Pls,
         "File1=http://127.0.0.1:8000/rain.ogg\r\n",
         {"http://127.0.0.1:8000/rain.ogg"}},
        {"not a playlist", TPlaylistKind::None, "a.mp3\r\n", {}},
    };
    for (const EntriesCase& c : cases)
        EXPECT_EQ(PlaylistEntries(c.kind, c.text), c.expected) << c.name;
}

TEST(PlaylistKindOf, GoesByTheExtensionInAnyCase)
{
    EXPECT_EQ(PlaylistKindOf("C:\\m\\list.m3u"), TPlaylistKind::M3u);
    EXPECT_EQ(PlaylistKindOf("C:\\m\\LIST.M3U8"), TPlaylistKind::M3u8);
    EXPECT_EQ(PlaylistKindOf("C:\\m\\radio.Pls"), TPlaylistKind::Pls);
    EXPECT_EQ(PlaylistKindOf("C:\\m\\brook.mp3"), TPlaylistKind::None);
    EXPECT_EQ(PlaylistKindOf("C:\\m3u\\brook"), TPlaylistKind::None);
}

struct ResolveCase {
    std::string entry;
    std::string playlist;
    std::string expected;
};

TEST(ResolveEntry, MakesPathsAbsoluteFromThePlaylist)
{
    const ResolveCase cases[] = {
        {"brook.mp3", "D:\\Nature\\list.m3u", "D:\\Nature\\brook.mp3"},
        {"sub\\rain.ogg", "D:\\Nature\\list.m3u", "D:\\Nature\\sub\\rain.ogg"},
        {"C:\\Sounds\\wind.wav", "D:\\Nature\\list.m3u", "C:\\Sounds\\wind.wav"},
        {"\\Sounds\\wind.wav", "D:\\Nature\\list.m3u", "D:\\Sounds\\wind.wav"},
        {"\\Sounds\\wind.wav", "\\\\box\\share\\Nature\\list.pls", "\\\\box\\share\\Sounds\\wind.wav"},
        {"\\\\box\\share\\wind.wav", "D:\\Nature\\list.m3u", "\\\\box\\share\\wind.wav"},
        {"http://127.0.0.1/a.ogg", "D:\\Nature\\list.pls", "http://127.0.0.1/a.ogg"},
    };
    for (const ResolveCase& c : cases)
        EXPECT_EQ(ResolveEntry(c.entry, c.playlist), c.expected) << c.entry << " of " << c.playlist;
}

TEST(IsUrlEntry, AsksForTheSchemeMark)
{
    EXPECT_TRUE(IsUrlEntry("http://host/a.mp3"));
    EXPECT_TRUE(IsUrlEntry("ftp://host/a.mp3"));
    EXPECT_FALSE(IsUrlEntry("D:\\http\\a.mp3"));
}

}  // namespace
