// The Windows side of the language modules: the real file system, the
// settings value "LangFile", the boxes and the locale list.
#include "support/LangUnit.h"

#include "platform/forms/Registry.h"
#include "support/LanguagesDEPfix.h"
#include "support/ProgInfo.h"
#include "tests/common/MessageBoxWatcher.h"
#include "tests/support/LangFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

int IndexOf(const std::string& file)
{
    const auto found = std::find(LangFiles.begin(), LangFiles.end(), file);
    return found == LangFiles.end() ? -1 : static_cast<int>(found - LangFiles.begin());
}

class LangUnitWin : public ::testing::Test {
protected:
    void SetUp() override
    {
        ProgRegistry = &registry_;
        ProductName = "OvelLangUnitTest";
        ExeDir = FixtureProgramFolder("modules");
        UserLCID = 2057;
        RussianUI = false;
    }
    void TearDown() override
    {
        registry_.SetRootKey(HKEY_CURRENT_USER);
        registry_.DeleteKey(std::string(kProductKeyBase) + ProductName);
        ProgRegistry = nullptr;
    }

    static void StoreChoice(const std::string& file)
    {
        ASSERT_TRUE(OpenProductKey());
        ASSERT_TRUE(ProgRegistry->WriteString("LangFile", file));
        ProgRegistry->CloseKey();
    }

    TRegistry registry_;
};

TEST_F(LangUnitWin, LoadsTheModulesOfTheProgramFolder)
{
    ASSERT_TRUE(LoadLanguages());
    std::vector<std::string> files = LangFiles;
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"austrian.lng", "english.lng", "german.lng", "russian.lng"}));
    EXPECT_EQ(CurrentLangIndex, IndexOf("english.lng"));
    EXPECT_EQ(MatchedLangIndex, IndexOf("english.lng"));
    EXPECT_EQ(LangCode, 1033);
    EXPECT_EQ(GetLangText("filecorrupt", true), "Please reinstall the program.");
}

TEST_F(LangUnitWin, StoredChoiceSelectsItsModule)
{
    StoreChoice("german.lng");
    ASSERT_TRUE(LoadLanguages());
    EXPECT_EQ(CurrentLangIndex, IndexOf("german.lng"));
    EXPECT_EQ(LangCode, 1031);
}

TEST_F(LangUnitWin, BoxesAreCaptionedWithTheProgramName)
{
    ASSERT_TRUE(LoadLanguages());
    ProgName = "Ovel";
    for (auto* showBox : {&LangErrorBox, &LangWarningBox}) {
        MessageBoxWatcher watcher;
        showBox("The ovda.3bs file not found!");
        const SeenMessageBox box = watcher.Result();
        ASSERT_TRUE(box.found);
        EXPECT_EQ(box.caption, L"Ovel");
        EXPECT_EQ(box.text, L"The ovda.3bs file not found!");
    }
}

// Read by the module's code page, not by the system's Western one.
TEST_F(LangUnitWin, BoxesOfAModuleOfAnotherCodePageReadInIt)
{
    ASSERT_TRUE(LoadLanguages());
    ASSERT_TRUE(SelectLanguage(IndexOf("russian.lng")));
    MessageBoxWatcher watcher;
    LangErrorBox(GetLangTextFmt("filecorrupt", {"ovda.3bs"}, false));
    const SeenMessageBox box = watcher.Result();
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.caption, L"\x41E\x432\x435\x43B");            // Овел
    EXPECT_EQ(box.text.substr(0, 4), L"\x424\x430\x439\x43B");  // Файл
}

TEST_F(LangUnitWin, LocaleListHoldsUnitedStatesEnglish)
{
    const std::vector<TLocaleEntry> locales = InstalledLocales();
    const auto english =
        std::find_if(locales.begin(), locales.end(), [](const TLocaleEntry& entry) { return entry.Id == 1033; });
    ASSERT_NE(english, locales.end());
    EXPECT_EQ(english->Abbreviation, L"ENU");
    EXPECT_FALSE(english->Name.empty());
    for (const TLocaleEntry& entry : locales)
        EXPECT_FALSE(entry.Abbreviation.empty()) << entry.Id;
}

}  // namespace
