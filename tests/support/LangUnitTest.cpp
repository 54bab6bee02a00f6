#include "support/LangUnit.h"

#include "support/ProgInfo.h"
#include "tests/support/fakes/LangUnitFakes.h"
#include "tests/support/LangFixtures.h"
#include "tests/support/fakes/ProgInfoFakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>

namespace {

std::string ShippedModule(const std::string& file)
{
    std::ifstream in(std::string(OVEL_SOURCE_DIR) + "/language/" + file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The module up to the entry of its middle key of the key list.
std::string FirstHalf(const std::string& module)
{
    const std::vector<std::string> keys = ModuleKeys();
    return module.substr(0, module.find("[" + keys[keys.size() / 2] + "]"));
}

std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    return text.replace(text.find(from), from.size(), to);
}

int IndexOf(const std::string& file)
{
    const auto found = std::find(LangFiles.begin(), LangFiles.end(), file);
    return found == LangFiles.end() ? -1 : static_cast<int>(found - LangFiles.begin());
}

class LangUnit : public ::testing::Test {
protected:
    void SetUp() override
    {
        RecordedBilingualBoxes().clear();
        FakeLangFileChoice().reset();
        ExeDir = FixtureProgramFolder("modules");
        UserLCID = 1033;
        RussianUI = false;
        CurrentLangIndex = -1;
        LangCode = 0xFFFF;
        LangCharset = 255;
        ProgName.clear();
        ProgDescr.clear();
    }

    // Loads the lookup fixtures and makes file current.
    void Select(const std::string& file)
    {
        ASSERT_TRUE(LoadLanguages());
        ASSERT_NE(IndexOf(file), -1) << file;
        ASSERT_TRUE(SelectLanguage(IndexOf(file)));
    }

    void ExpectOneError(const std::string& englishText, const std::string& russianText)
    {
        ASSERT_EQ(RecordedBilingualBoxes().size(), 1u);
        EXPECT_EQ(RecordedBilingualBoxes()[0].englishText, englishText);
        EXPECT_EQ(RecordedBilingualBoxes()[0].russianText, russianText);
        EXPECT_FALSE(RecordedBilingualBoxes()[0].warning);
    }
};

TEST_F(LangUnit, FindsModulesAndReadsTheirHeaders)
{
    ASSERT_TRUE(LoadLanguages());
    EXPECT_TRUE(RecordedBilingualBoxes().empty());

    std::vector<std::string> files = LangFiles;
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"austrian.lng", "english.lng", "german.lng", "russian.lng"}));
    EXPECT_EQ(EnglishLangIndex, IndexOf("english.lng"));
    EXPECT_EQ(RussianLangIndex, IndexOf("russian.lng"));
    EXPECT_EQ(LangNames[IndexOf("german.lng")], "Deutsch");
    EXPECT_EQ(LangNames[IndexOf("russian.lng")], "Русский");
    EXPECT_EQ(LangVersions[IndexOf("english.lng")], 28);
    EXPECT_EQ(LangVersions[IndexOf("german.lng")], 5);
    EXPECT_EQ(LangCharsets[IndexOf("german.lng")], 0);
    EXPECT_EQ(LangCharsets[IndexOf("russian.lng")], 204);
    EXPECT_EQ(LangCharsets[IndexOf("english.lng")], 255);
}

TEST_F(LangUnit, ChoosesTheModuleListingTheUserLocaleElseTheDefault)
{
    struct Case {
        unsigned lcid;
        bool russianUI;
        const char* current;
        bool matched;
        std::uint16_t langCode;
        int charset;
        const char* progName;
        const char* progDescr;
    };
    const Case cases[] = {
        {1033, false, "english.lng", true, 1033, 255, "Ovel", "Forest ambient sounds"},
        {2057, false, "english.lng", true, 1033, 255, "Ovel", "Forest ambient sounds"},
        {1031, false, "german.lng", true, 1031, 0, "Ovel", "Waldger\xe4usche"},
        {1036, false, "english.lng", false, 1033, 255, "Ovel", "Forest ambient sounds"},
        {1087, true, "russian.lng", true, 1049, 204, "Овел", "Звуки леса"},
        {1058, true, "russian.lng", false, 1049, 204, "Овел", "Звуки леса"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lcid);
        UserLCID = c.lcid;
        RussianUI = c.russianUI;
        ASSERT_TRUE(LoadLanguages());
        EXPECT_EQ(CurrentLangIndex, IndexOf(c.current));
        EXPECT_EQ(MatchedLangIndex, c.matched ? IndexOf(c.current) : -1);
        EXPECT_EQ(LangCode, c.langCode);
        EXPECT_EQ(LangCharset, c.charset);
        EXPECT_EQ(ProgName, c.progName);
        EXPECT_EQ(ProgDescr, c.progDescr);
    }
    EXPECT_TRUE(RecordedBilingualBoxes().empty());
}

TEST_F(LangUnit, OfTwoModulesListingTheLocaleTheLastInListOrderWins)
{
    UserLCID = 3079;  // listed by german.lng and austrian.lng
    ASSERT_TRUE(LoadLanguages());
    const int last = std::max(IndexOf("german.lng"), IndexOf("austrian.lng"));
    EXPECT_EQ(MatchedLangIndex, last);
    EXPECT_EQ(CurrentLangIndex, last);
}

TEST_F(LangUnit, StoredChoiceCountsOnlyWhenItNamesAModuleExactly)
{
    struct Case {
        std::optional<std::string> stored;
        const char* current;
    };
    const Case cases[] = {
        {std::nullopt, "english.lng"},  {"german.lng", "german.lng"},
        {"english.lng", "english.lng"}, {"klingon.lng", "english.lng"},  // module removed since
        {"German.lng", "english.lng"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.value_or("(none)"));
        FakeLangFileChoice() = c.stored;
        ASSERT_TRUE(LoadLanguages());
        EXPECT_EQ(CurrentLangIndex, IndexOf(c.current));
        EXPECT_EQ(LangCode, c.current == std::string("german.lng") ? 1031 : 1033);
    }
}

TEST_F(LangUnit, MissingRequiredModuleStopsTheLoad)
{
    struct Case {
        const char* folder;
        bool russianUI;
        const char* missing;  // nullptr: loads
    };
    const Case cases[] = {
        {"noenglish", false, "english.lng"},
        {"noenglish", true, "english.lng"},
        {"norussian", true, "russian.lng"},
        {"norussian", false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.folder) + (c.russianUI ? " russian" : " english"));
        RecordedBilingualBoxes().clear();
        ExeDir = FixtureProgramFolder(c.folder);
        RussianUI = c.russianUI;
        if (!c.missing) {
            EXPECT_TRUE(LoadLanguages());
            EXPECT_TRUE(RecordedBilingualBoxes().empty());
            continue;
        }
        const std::string name = c.missing;
        EXPECT_FALSE(LoadLanguages());
        ExpectOneError("Can't work with no " + name + " file!\r\nPlease reinstall the program.",
                       "Работа без файла " + name + " невозможна!\r\nПожалуйста, переустановите программу.");
    }
}

TEST_F(LangUnit, NumberThatIsNoIntegerFailsTheLoadWithTheErrorsBox)
{
    for (const char* folder : {"badversion", "badcharset", "badfirstcode", "badlatercode"}) {
        SCOPED_TRACE(folder);
        RecordedBilingualBoxes().clear();
        ExeDir = FixtureProgramFolder(folder);
        EXPECT_FALSE(LoadLanguages());
        ExpectOneError("english.lng file contains errors.\r\nPlease reinstall the program.",
                       "Файл english.lng содержит ошибки!\r\nПожалуйста, "
                       "переустановите программу.");
    }
}

TEST_F(LangUnit, ModuleOfAnotherLanguageHoldsItsOwnHeaderOrFailsTheLoad)
{
    const std::vector<std::pair<std::string, std::string>> header = {
        {"LangVer", "3"},     {"LangName", "tlhIngan Hol"}, {"EngLangBrief", "Kli"},  {"LangCode", "1033"},
        {"LangCharSet", "0"}, {"ProgName", "Ovel"},         {"ProgDescr0", "Qo'noS"}, {"ProgDescr1", "tera'"},
    };
    const auto moduleWithout = [&header](const std::string& left) {
        std::string module;
        for (const auto& [key, value] : header)
            if (key != left)
                module += "[" + key + "]\r\n" + value + "\r\n\r\n";
        return module;
    };
    std::string noise(3000, ' ');
    std::mt19937 draw(15);
    for (char& c : noise)
        c = static_cast<char>(draw());

    std::vector<std::pair<std::string, std::string>> damaged = {
        {"empty", ""}, {"noise", noise}, {"text", "Just a note\r\nof two lines\r\n"}};
    for (const auto& [key, value] : header)
        damaged.push_back({"no " + key, moduleWithout(key)});
    for (const auto& [what, bytes] : damaged) {
        SCOPED_TRACE(what);
        RecordedBilingualBoxes().clear();
        ExeDir = FixtureProgramFolder("modules", {{"klingon.lng", bytes}});
        EXPECT_FALSE(LoadLanguages());
        ExpectOneError("klingon.lng file contains errors.\r\nPlease reinstall the program.",
                       "Файл klingon.lng содержит ошибки!\r\nПожалуйста, переустановите программу.");
    }

    RecordedBilingualBoxes().clear();
    ExeDir = FixtureProgramFolder("modules", {{"klingon.lng", moduleWithout("")}});
    ASSERT_TRUE(LoadLanguages());
    EXPECT_TRUE(RecordedBilingualBoxes().empty());
    EXPECT_EQ(LangNames[IndexOf("klingon.lng")], "tlhIngan Hol");
    EXPECT_EQ(LangVersions[IndexOf("klingon.lng")], 3);
}

TEST_F(LangUnit, DefaultModuleMustHoldEveryKey)
{
    struct Case {
        const char* what;
        bool russianUI;
        FixtureFiles files;
        const char* failing;  // nullptr: loads
    };
    const std::string english = ShippedModule("english.lng");
    const std::string russian = ShippedModule("russian.lng");
    const Case cases[] = {
        {"complete", false, {{"english.lng", english}, {"russian.lng", russian}}, nullptr},
        {"english half", false, {{"english.lng", FirstHalf(english)}}, "english.lng"},
        {"english empty exit",
         false,
         {{"english.lng", Replaced(english, "[Exit]\r\nExit", "[Exit]\r\n")}},
         "english.lng"},
        {"russian half", true, {{"russian.lng", FirstHalf(russian)}}, "russian.lng"},
        {"russian half, english user", false, {{"russian.lng", FirstHalf(russian)}}, nullptr},
        {"english half, russian user", true, {{"english.lng", FirstHalf(english)}}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordedBilingualBoxes().clear();
        RussianUI = c.russianUI;
        ExeDir = FixtureProgramFolder("modules", c.files);
        if (!c.failing) {
            EXPECT_TRUE(LoadLanguages());
            EXPECT_TRUE(RecordedBilingualBoxes().empty());
            continue;
        }
        const std::string file = c.failing;
        EXPECT_FALSE(LoadLanguages());
        ExpectOneError(file + " file contains errors.\r\nPlease reinstall the program.",
                       "Файл " + file + " содержит ошибки!\r\nПожалуйста, переустановите программу.");
    }
}

TEST_F(LangUnit, SelectionReadsTheModuleAsItIsNow)
{
    Select("german.lng");
    EXPECT_EQ(GetLangString("cancelled"), "Abgebrochen");
    const std::string path = ExeDir.substr(0, ExeDir.size() - 1) + "/language/german.lng";
    std::ifstream in(path, std::ios::binary);
    const std::string module{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    in.close();
    std::ofstream(path, std::ios::binary) << Replaced(module, "Abgebrochen", "Storniert");
    ASSERT_TRUE(SelectLanguage(IndexOf("german.lng")));
    EXPECT_EQ(GetLangString("cancelled"), "Storniert");
}

TEST_F(LangUnit, LooksKeysUpInTheCurrentModuleThenInTheDefaultOne)
{
    struct Case {
        const char* module;
        bool russianUI;
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        {"english.lng", false, "filenotfound", "The %1 file not found!"},  // entry written "[FileNotFound]"
        {"english.lng", false, "FILENOTFOUND", "The %1 file not found!"},
        {"english.lng", false, "filenot", ""},
        {"english.lng", false, "exit", "Exit"},  // "[OldExit]" stands before it
        {"english.lng", false, "hidden", ""},    // entry not in the first column
        {"english.lng", false, "padded", "  two blanks before and after  "},
        {"german.lng", false, "cancel", "Cancel"},      // only "[Cancelled]" there
        {"german.lng", false, "exit", "Exit"},          // empty value line
        {"german.lng", false, "minimize", "Minimize"},  // key on the last line
        {"german.lng", false, "nosuchkey", ""},
        {"german.lng", true, "exit", "Выход"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.module) + " " + c.key);
        RussianUI = c.russianUI;
        Select(c.module);
        EXPECT_EQ(GetLangString(c.key), c.value);
    }
    EXPECT_TRUE(RecordedBilingualBoxes().empty());
}

TEST_F(LangUnit, TextRunsToTheFirstBlankLineOrTheEndOfTheFile)
{
    struct Case {
        const char* module;
        const char* key;
        bool dropFirstLine;
        const char* text;
    };
    const Case cases[] = {
        {"english.lng", "filecorrupt", false, "The %1 file is corrupt!\r\nPlease reinstall the program."},
        {"english.lng", "filecorrupt", true, "Please reinstall the program."},
        {"german.lng", "filecorrupt", false, "The %1 file is corrupt!\r\nPlease reinstall the program."},
        {"german.lng", "filecorrupt", true, "Please reinstall the program."},
        {"english.lng", "credits", false, "Sounds: synthesised\r\nCode: ours"},
        {"german.lng", "langcode", false, "1031\r\n3079"},  // lines ended by LF alone
        {"english.lng", "exit", true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.module) + " " + c.key + (c.dropFirstLine ? " dropped" : ""));
        Select(c.module);
        EXPECT_EQ(GetLangText(c.key, c.dropFirstLine), c.text);
    }
}

TEST_F(LangUnit, FillsEachPlaceholderThatHasAnArgumentOnce)
{
    struct Case {
        const char* key;
        std::vector<std::string> args;
        const char* text;
    };
    const Case cases[] = {
        {"fmtboth", {"a.wav", "b"}, "a.wav then b"},
        {"fmtsecond", {"x", "y"}, "y only"},
        {"fmtboth", {"%2.wav", "b"}, "%2.wav then b"},
        {"fmtall", {"a"}, "a,%2,%3,%4"},
        {"fmtall", {}, "%1,%2,%3,%4"},
        {"fmtall", {"1", "2", "3", "4", "5"}, "1,2,3,4"},
    };
    Select("english.lng");
    for (const Case& c : cases)
        EXPECT_EQ(GetLangStringFmt(c.key, c.args), c.text) << c.key;
    EXPECT_EQ(GetLangTextFmt("filecorrupt", {"ovda.3bs"}, false),
              "The ovda.3bs file is corrupt!\r\nPlease reinstall the program.");
}

TEST_F(LangUnit, ModuleThatCannotBeReadGivesTheFileBoxAndGoesOn)
{
    struct Case {
        std::vector<std::string> files;  // the current module is the last
        const char* value;
    };
    const Case cases[] = {
        {{"english.lng", "gone.lng"}, "Exit"},
        {{"gone.lng"}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.files.size());
        RecordedBilingualBoxes().clear();
        LangFiles = c.files;
        EnglishLangIndex = 0;
        CurrentLangIndex = static_cast<int>(c.files.size()) - 1;
        EXPECT_EQ(GetLangString("exit"), c.value);
        const std::string path = ExeDir + "language\\gone.lng";
        ExpectOneError("Can't handle the language support file " + path,
                       "Не удаётся работать с файлом языковой поддержки " + path);
    }
}

TEST_F(LangUnit, ModuleThatCannotBeReadGivesOneFileBoxPerPass)
{
    LangFiles = {"english.lng", "gone.lng"};
    EnglishLangIndex = 0;
    CurrentLangIndex = 1;
    for (int pass = 0; pass < 2; ++pass) {
        RecordedBilingualBoxes().clear();
        TLangLookupPass lookups;
        for (const char* key : {"exit", "minimize", "filecorrupt"})
            EXPECT_FALSE(GetLangString(key).empty()) << key;
        EXPECT_EQ(RecordedBilingualBoxes().size(), 1u) << "pass " << pass;
    }
}

TEST_F(LangUnit, IntegersAreDecimalWithOptionalSignAndBlanks)
{
    struct Case {
        const char* text;
        std::optional<int> value;
    };
    const Case cases[] = {
        {"1033", 1033},
        {" 204\t", 204},
        {"-5", -5},
        {"+7", 7},
        {"2147483647", 2147483647},
        {"", std::nullopt},
        {"  ", std::nullopt},
        {"-", std::nullopt},
        {"+-1", std::nullopt},
        {"12a", std::nullopt},
        {"20 57", std::nullopt},
        {"$409", std::nullopt},
        {"0x409", std::nullopt},
        {"2147483648", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseLangInteger(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
