// The board made as the program makes it, in a Western system, switched to
// each shipped language module in both scenes: it shows the module's texts,
// read as Windows shows them, the language list every module's name, every
// caption and list item whole in its control, and each box widened to its
// caption within its group box and the board, clear of the other controls.
#include "player/window/MainForm.h"

#include "platform/forms/Charsets.h"
#include "support/LangUnit.h"
#include "support/ProgInfo.h"
#include "tests/player/window/BoardFixture.h"
#include "tests/player/window/BoardLayout.h"
#include "tests/player/window/ShownTexts.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

// Rows the module gives line by line: the place, the key and what follows.
struct TModuleRow {
    const char* Place;
    const char* Key;
    const char* After;
};

constexpr TModuleRow kRows[] = {
    {"caption PlayCheckBox", "soundplay", ""},
    {"caption CompressionCheckBox", "compression", ""},
    {"caption RainCheckBox", "rain", " "},
    {"caption StormCheckBox", "storm", " "},
    {"caption WindCheckBox", "wind", " "},
    {"caption NatureFolderCheckBox", "soundfolder", ""},
    {"caption MusicSubfoldersCheckBox", "withsubfolders", ""},
    {"caption HaCheckBox", "accordion", ""},
    {"caption Option3CheckBox", "birds", ""},
    {"caption ChimesGroupBox", "chimes", " "},
    {"caption DeviceGroupBox", "deviceinuse", " "},
    {"caption WaitThisDeviceRadioButton", "waitthisdevice", ""},
    {"caption AlternateCheckBox", "ovelchange", ""},
    {"caption MemoryCleanCheckBox", "automemoryclean", ""},
    {"caption WrapBitBtn", "minimize", ""},
    {"hint HWMCheckBox", "hwmixer", ""},
    {"item RainComboBox 0", "veryseldom", ""},
    {"item AutoStartComboBox 3", "timeforeststart", ""},
    {"item MuteComboBox 3", "andturnoff", ""},
    {"menu Exit", "exit", ""},
    {"menu ForestN", "nightforest", ""},
};

constexpr TModuleRow kDayRows[] = {
    {"caption Option1GroupBox", "birdsactivity", " "},
    {"caption Option2CheckBox", "crickets", ""},
    {"caption Option6CheckBox", "cuckoos", ""},
};

constexpr TModuleRow kNightRows[] = {
    {"caption Option1CheckBox", "bonfire", ""},
    {"caption Option2CheckBox", "nightingales", ""},
    {"caption Option6CheckBox", "frogs", ""},
};

class BoardLanguagesWinTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        UseSilentOutput();
        CreateBoardLikeTheProgram();
        HoldTheSchedule();
    }

    static void TearDownTestSuite() { FreeOvelMainForm(); }

    static TOvelMainForm& Board() { return *OvelMainForm; }

    template <std::size_t Count>
    static void ExpectRows(const TModuleRow (&rows)[Count], const TShownTexts& shown, unsigned codePage)
    {
        for (const TModuleRow& row : rows) {
            const auto found = shown.find(row.Place);
            ASSERT_NE(found, shown.end()) << row.Place;
            EXPECT_EQ(found->second, Decoded(GetLangString(row.Key) + row.After, codePage)) << row.Place;
        }
    }

    // The language list keeps the default character set and shows each name
    // in its own module's page, whatever the board's language.
    static void ExpectLanguageListInEveryPage(const TShownTexts& shown)
    {
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(Board().LangComboBox.Handle(), WM_GETFONT, 0, 0)), sizeof font,
                   &font);
        EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
        for (std::size_t other = 0; other < LangNames.size(); ++other)
            EXPECT_EQ(shown.at("item LangComboBox " + std::to_string(other)),
                      Decoded(LangNames[other], CodePageOfCharset(LangCharsets[other])))
                << LangFiles[other];
    }
};

TEST_F(BoardLanguagesWinTest, EveryModuleShowsItsTextsInBothScenesWithinTheBoxes)
{
    for (std::size_t module = 0; module < LangFiles.size(); ++module) {
        SCOPED_TRACE(LangFiles[module]);
        ChooseLanguage(Board(), static_cast<int>(module));
        ASSERT_EQ(CurrentLangIndex, static_cast<int>(module));
        const unsigned codePage = CodePageOfCharset(LangCharsets[module]);
        for (int scene : {kNightScene, kDayScene}) {
            SCOPED_TRACE(scene == kNightScene ? "night" : "day");
            scene == kNightScene ? Board().ForestNClick(nullptr) : Board().ForestClick(nullptr);
            const TShownTexts shown = ShownTexts(Board());
            ExpectRows(kRows, shown, codePage);
            if (scene == kNightScene)
                ExpectRows(kNightRows, shown, codePage);
            else
                ExpectRows(kDayRows, shown, codePage);
            EXPECT_EQ(shown.at("caption board"), Decoded(GetLangString("progname") + " " + VersionText, codePage));
            ExpectLanguageListInEveryPage(shown);
            EXPECT_THAT(BoxesPastTheirBounds(Board()), ::testing::IsEmpty());
            EXPECT_THAT(CutCaptions(Board()), ::testing::IsEmpty());
            EXPECT_THAT(BoxesRunningIntoOthers(Board()), ::testing::IsEmpty());
        }
    }
}

}  // namespace
