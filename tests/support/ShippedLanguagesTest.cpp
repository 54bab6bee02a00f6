// The language modules the system ships, as the programs read them.
#include "support/LangUnit.h"

#include "support/ProgInfo.h"
#include "support/TextFiles.h"
#include "tests/support/fakes/LangUnitFakes.h"
#include "tests/support/fakes/ProgInfoFakes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

std::vector<std::string> ExpectedKeys()
{
    std::ifstream list(std::string(OVEL_TEST_DATA) + "/module-keys.txt");
    std::vector<std::string> keys;
    for (std::string key; std::getline(list, key);)
        keys.push_back(key);
    return keys;
}

std::string ModuleBytes(const std::string& file)
{
    std::ifstream in(std::string(OVEL_SOURCE_DIR) + "/language/" + file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The "[Key]" lines of a module, in file order.
std::vector<std::string> EntryKeys(const std::string& bytes)
{
    std::vector<std::string> keys;
    std::istringstream lines(bytes);
    for (std::string line; std::getline(lines, line);)
        if (!line.empty() && line[0] == '[')
            keys.push_back(line.substr(1, line.find(']') - 1));
    return keys;
}

class ShippedLanguages : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        RecordedBilingualBoxes().clear();
        FakeLangFileChoice().reset();
        ExeDir = std::string(OVEL_SOURCE_DIR) + "\\";
        UserLCID = 1033;
        RussianUI = false;
    }
};

TEST_P(ShippedLanguages, HoldEveryKeyInOrderWithCrLfLines)
{
    const std::string bytes = ModuleBytes(GetParam());
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(EntryKeys(bytes), ExpectedKeys());

    std::size_t lineStart = 0;
    for (std::size_t end; (end = bytes.find('\n', lineStart)) != std::string::npos; lineStart = end + 1)
        ASSERT_TRUE(end > 0 && bytes[end - 1] == '\r') << "bare LF at byte " << end;
    EXPECT_EQ(lineStart, bytes.size()) << "last line without CR LF";
}

TEST_P(ShippedLanguages, EveryKeyHasItsOwnValue)
{
    const std::string file = GetParam();
    RussianUI = file == "russian.lng";  // the module is its own fallback: no value borrowed
    ASSERT_TRUE(LoadLanguages());
    for (int i = 0; i < static_cast<int>(LangFiles.size()); ++i)
        if (LangFiles[i] == file)
            ASSERT_TRUE(SelectLanguage(i));
    ASSERT_EQ(LangFiles[CurrentLangIndex], file);
    for (const std::string& key : ExpectedKeys())
        EXPECT_FALSE(GetLangString(key).empty()) << key;
    EXPECT_TRUE(RecordedBilingualBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Modules, ShippedLanguages, ::testing::Values("english.lng", "russian.lng"));

TEST(ShippedLanguagesChoice, LocaleChoosesTheModuleAndItsCharset)
{
    struct Case {
        unsigned lcid;
        bool russianUI;
        const char* file;
        unsigned langCode;
        int charset;
    };
    const Case cases[] = {
        {1033, false, "english.lng", 1033, 255}, {2057, false, "english.lng", 1033, 255},
        {1049, true, "russian.lng", 1049, 204},  {1087, true, "russian.lng", 1049, 204},
        {1031, false, "english.lng", 1033, 255},
    };
    for (const Case& c : cases) {
        RecordedBilingualBoxes().clear();
        FakeLangFileChoice().reset();
        ExeDir = std::string(OVEL_SOURCE_DIR) + "\\";
        UserLCID = c.lcid;
        RussianUI = c.russianUI;
        ASSERT_TRUE(LoadLanguages()) << c.lcid;
        EXPECT_EQ(LangFiles[CurrentLangIndex], c.file) << c.lcid;
        EXPECT_EQ(LangCode, c.langCode) << c.lcid;
        EXPECT_EQ(LangCharset, c.charset) << c.lcid;
        EXPECT_TRUE(RecordedBilingualBoxes().empty()) << c.lcid;
    }
}

TEST(ShippedLanguagesChoice, QuotedEnglishTexts)
{
    ExeDir = std::string(OVEL_SOURCE_DIR) + "\\";
    UserLCID = 1033;
    RussianUI = false;
    FakeLangFileChoice().reset();
    ASSERT_TRUE(LoadLanguages());
    EXPECT_EQ(GetLangText("filecorrupt", true), "Please reinstall the program.");
    EXPECT_EQ(GetLangString("progname"), "Ovel");
}

}  // namespace
