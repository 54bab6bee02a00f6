#include "player/engine/UserFolders.h"

#include "FakeUserFiles.h"
#include "ScriptedRandom.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kRoot = "D:\\Nature\\";

class UserFoldersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        files.AddFolder(kRoot);
        SetUserFileSystem(&files);
        SetListingHooks({[this](bool running) { runningShown.push_back(running); },
                         [this] {
                             ++yields;
                             busyWhileYielding = NatureListBusy;
                         }});
        Slot() = TUserFolderSlot{};
        Slot().Path = kRoot;
    }
    void TearDown() override
    {
        SetUserFileSystem(nullptr);
        SetListingHooks({});
        NatureListBusy = MusicListBusy = false;
        Slot() = TUserFolderSlot{};
    }

    static TUserFolderSlot& Slot() { return UserFolders[ufDayNature]; }

    FakeUserFiles files;
    std::vector<bool> runningShown;
    int yields = 0;
    bool busyWhileYielding = false;
};

TEST_F(UserFoldersTest, ListsPlayableFilesInAnyLetterCase)
{
    for (const char* name : {"a.mp3", "B.MP3", "c.Ogg", "d.wav", "e.aif", "f.AIFF", "g.flac", "h.wma", "i.wm", "j.m3u",
                             "k.M3U8", "l.pls", "notes.txt", "cover.jpg", "mp3", "x.mp3.bak"})
        files.AddFile(kRoot, name);
    EXPECT_EQ(ListFilesNature(ufDayNature, true), 12);
    EXPECT_EQ(Slot().Count, 12);
    EXPECT_EQ(Slot().Files.front(), kRoot + "a.mp3");
    EXPECT_EQ(Slot().Files.back(), kRoot + "l.pls");
    EXPECT_EQ(runningShown, (std::vector<bool>{true, false}));
    EXPECT_FALSE(NatureListBusy);
}

TEST_F(UserFoldersTest, YieldsOnceForThreeHundredFilesWhileStillBusy)
{
    for (int i = 0; i < 300; ++i)
        files.AddFile(kRoot, std::to_string(i) + ".ogg");
    EXPECT_EQ(ListFilesNature(ufDayNature, false), 300);
    EXPECT_EQ(yields, 1);
    EXPECT_TRUE(busyWhileYielding);
    EXPECT_TRUE(Slot().Files.empty()) << "counted, not kept";
}

TEST_F(UserFoldersTest, SubfoldersGoBreadthFirstAndOnlyWhenAsked)
{
    files.AddSubfolder(kRoot, "deep");
    files.AddSubfolder(kRoot + "deep\\", "deeper");
    files.AddFile(kRoot + "deep\\deeper\\", "3.ogg");
    files.AddFile(kRoot + "deep\\", "2.ogg");
    files.AddSubfolder(kRoot, "near");
    files.AddFile(kRoot + "near\\", "2b.ogg");
    files.AddFile(kRoot, "1.ogg");

    EXPECT_EQ(ListFilesNature(ufDayNature, true), 1);
    EXPECT_TRUE(Slot().HasSubfolders);

    Slot().WithSubfolders = true;
    EXPECT_EQ(ListFilesNature(ufDayNature, true), 4);
    EXPECT_EQ(Slot().Files, (std::vector<std::string>{kRoot + "1.ogg", kRoot + "deep\\2.ogg", kRoot + "near\\2b.ogg",
                                                      kRoot + "deep\\deeper\\3.ogg"}));
}

TEST_F(UserFoldersTest, FolderReachedTwiceIsListedOnce)
{
    files.AddFile(kRoot, "1.ogg");
    files.AddSubfolder(kRoot, "sub");
    files.AddFile(kRoot + "sub\\", "2.ogg");
    files.AddJunction(kRoot + "sub\\", "back", kRoot);  // a loop
    files.AddJunction(kRoot, "again", kRoot + "sub\\");
    Slot().WithSubfolders = true;
    EXPECT_EQ(ListFilesNature(ufDayNature, true), 2);
    EXPECT_EQ(files.Listed().size(), 2u);
}

TEST_F(UserFoldersTest, RefusedListingChangesNothing)
{
    files.AddFile(kRoot, "1.ogg");
    Slot().Count = 7;
    NatureListBusy = true;
    EXPECT_EQ(ListFilesNature(ufDayNature, true), -1);
    EXPECT_TRUE(NatureListBusy) << "only the listing that set it clears it";
    NatureListBusy = false;
    EXPECT_EQ(ListFilesMusic(ufDayNature, true), 1) << "the other kind has its own flag";

    Slot().Path = "D:\\Gone\\";
    EXPECT_EQ(ListFilesNature(ufDayNature, true), -1);
    Slot().Path.clear();
    EXPECT_EQ(ListFilesNature(ufDayNature, true), -1);
    EXPECT_EQ(Slot().Count, 1);
}

TEST_F(UserFoldersTest, PickListsAgainWhenTheFileHasGone)
{
    for (const char* name : {"a.ogg", "b.ogg", "c.ogg"})
        files.AddFile(kRoot, name);
    ListFilesNature(ufDayNature, true);
    {
        ScriptedRandom random({1});
        EXPECT_EQ(PickFileNameNature(ufDayNature), kRoot + "b.ogg");
    }
    files.RemoveFile(kRoot + "b.ogg");
    {
        ScriptedRandom random({1, 1});
        EXPECT_EQ(PickFileNameNature(ufDayNature), kRoot + "c.ogg");
    }
    EXPECT_EQ(Slot().Count, 2);
    NatureListBusy = true;
    EXPECT_EQ(PickFileNameNature(ufDayNature), "");
}

TEST_F(UserFoldersTest, PickOfAnEmptyFolderDrawsNothing)
{
    ScriptedRandom random;
    ListFilesNature(ufDayNature, true);
    EXPECT_EQ(PickFileNameNature(ufDayNature), "");
}

struct PlaylistPickCase {
    const char* name;
    std::string file;
    std::string text;
    std::optional<std::string> expected;
    bool url;
};

TEST_F(UserFoldersTest, PlaylistGivesOneOfItsEntriesOrNothing)
{
    const PlaylistPickCase cases[] = {
        {"a sound", "a.ogg", "", kRoot + "a.ogg", false},
        {"relative entry", "list.m3u", "#EXTM3U\r\nsub\\b.mp3\r\n", kRoot + "sub\\b.mp3", false},
        {"utf-8 entry", "list.m3u8", "\xEF\xBB\xBFwald.flac\r\n", kRoot + "ansi:wald.flac", false},
        {"pls address", "radio.pls", "[playlist]\r\nFile1=http://127.0.0.1:1/a.ogg\r\n",
         std::string("http://127.0.0.1:1/a.ogg"), true},
        {"empty", "empty.m3u", "", std::nullopt, false},
        {"comments only", "notes.m3u", "#a\r\n#b\r\n", std::nullopt, false},
        {"no File line", "odd.pls", "[playlist]\r\nTitle1=x\r\n", std::nullopt, false},
    };
    for (const PlaylistPickCase& c : cases) {
        files.AddFile(kRoot, c.file, c.text);
        const std::size_t entries = c.text.find('\n') == std::string::npos || !c.expected ? 0 : 1;
        ScriptedRandom random(std::vector<int>(entries, 0));
        const std::optional<TSoundSource> picked = PickPlaylistEntry(kRoot + c.file);
        ASSERT_EQ(picked.has_value(), c.expected.has_value()) << c.name;
        if (picked) {
            EXPECT_EQ(picked->Name, *c.expected) << c.name;
            EXPECT_EQ(picked->Url, c.url) << c.name;
        }
        EXPECT_TRUE(random.Used()) << c.name;
    }
    EXPECT_FALSE(PickPlaylistEntry(kRoot + "missing.m3u")) << "an unreadable playlist names nothing";
}

}  // namespace
