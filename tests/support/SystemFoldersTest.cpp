#include "support/SystemFolders.h"

#include "support/ProgInfo.h"
#include "tests/support/fakes/ProgInfoFakes.h"

#include <gtest/gtest.h>

namespace {

TEST(SystemFolders, AddBackslashOnlyToNonEmptyPathWithoutOne)
{
    struct Case {
        const char* path;
        const char* expected;
    };
    const Case cases[] = {
        {"", ""},
        {"C:", "C:\\"},
        {"C:\\", "C:\\"},
        {"C:\\Windows", "C:\\Windows\\"},
        {"C:\\Windows\\", "C:\\Windows\\"},
        {"\\", "\\"},
        {"C:\\Temp/", "C:\\Temp/\\"},
    };
    for (const Case& c : cases) {
        std::string path = c.path;
        AddBackslash(path);
        EXPECT_EQ(path, c.expected) << c.path;
    }
}

TEST(SystemFolders, FolderOfPathKeepsEverythingUpToTheLastBackslash)
{
    struct Case {
        const char* path;
        const char* folder;
    };
    const Case cases[] = {
        {"C:\\Program Files\\X\\Ovel.exe", "C:\\Program Files\\X\\"},
        {"C:\\Ovel.exe", "C:\\"},
        {"\\\\server\\share\\Ovel.exe", "\\\\server\\share\\"},
        {"C:\\Program Files\\X\\", "C:\\Program Files\\X\\"},
        {"Ovel.exe", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FolderOfPath(c.path), c.folder) << c.path;
}

TEST(SystemFolders, FileTitleOfPathDropsTheFolderAndTheLastExtension)
{
    struct Case {
        const char* path;
        const char* title;
    };
    const Case cases[] = {
        {"C:\\Sounds\\Bell.wav", "Bell"},
        {"C:\\Sounds\\my.bell.mp3", "my.bell"},
        {"C:\\Sounds.d\\Bell", "Bell"},
        {"Bell.ogg", "Bell"},
        {"C:\\Sounds\\.wav", ".wav"},
        {"C:\\Sounds\\", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FileTitleOfPath(c.path), c.title) << c.path;
}

class AutostartEntries : public ::testing::Test {
protected:
    void SetUp() override
    {
        ProductName = "Ovel";
        ExeDir = "C:\\Program Files\\Ovel\\";
        StartupDir = "C:\\Users\\u\\Start Menu\\Programs\\Startup\\";
    }
    void TearDown() override
    {
        ProductName.clear();
        ExeDir.clear();
        StartupDir.clear();
    }
};

TEST_F(AutostartEntries, RunValueStartsTheProgramWithRstart)
{
    EXPECT_EQ(RunValueName(), "!Ovel");
    EXPECT_EQ(RunValueData(), "C:\\Program Files\\Ovel\\Ovel.exe rstart");
}

TEST_F(AutostartEntries, RunKeyByPlatform)
{
    EXPECT_EQ(RunKeyPath(true), "Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    EXPECT_EQ(RunKeyPath(false), "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices");
}

TEST_F(AutostartEntries, StartupLinkPointsAtTheProgram)
{
    EXPECT_EQ(ProgramFilePath(), "C:\\Program Files\\Ovel\\Ovel.exe");
    EXPECT_EQ(StartupLinkPath(), "C:\\Users\\u\\Start Menu\\Programs\\Startup\\Ovel.lnk");
}

TEST(SystemFolders, StartupErrorIsABilingualWarning)
{
    RecordedBilingualBoxes().clear();
    ReportStartupError();
    ASSERT_EQ(RecordedBilingualBoxes().size(), 1u);
    const RecordedBox& box = RecordedBilingualBoxes().front();
    EXPECT_TRUE(box.warning);
    EXPECT_EQ(box.englishText, "Can't handle Startup System!");
    EXPECT_EQ(box.russianText, "Нет доступа к системе автозапуска!");
}

}  // namespace
