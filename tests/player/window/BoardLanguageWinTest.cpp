// The board made as the program makes it, in a Western system, switched from
// English to Russian and back in both scenes: every text follows the module,
// read as Windows shows it; nothing chosen is lost and nothing is stored.
#include "player/window/MainForm.h"

#include "platform/forms/Charsets.h"
#include "player/window/BoardTexts.h"
#include "support/LangUnit.h"
#include "support/ProgInfo.h"
#include "tests/player/window/BoardFixture.h"
#include "tests/player/window/BoardLayout.h"
#include "tests/player/window/ShownTexts.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cwctype>
#include <set>
#include <thread>

namespace {

constexpr unsigned kRussianPage = 1251;

// Texts alike in every language: names of devices, pictures' resource
// names, and the built-in "auto" and "HMix".
const std::set<std::string> kAlikeInEveryLanguage = {
    "caption SpkOffImage",    "caption MinimizeImage",   "caption DayOnImage",
    "caption NightOnImage",   "caption AutoNatureLabel", "caption AutoMusicLabel",
    "caption DeviceComboBox", "hint DeviceComboBox",     "caption HWMCheckBox",
};

// What a switch cost, for the record; never a condition of the test.
void PrintCost(const char* what, std::chrono::steady_clock::time_point start)
{
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s: %lld ms\n", what, static_cast<long long>(ms));
}

bool HasLetters(const std::wstring& text) { return std::any_of(text.begin(), text.end(), ::iswalpha); }

bool AlikeInEveryLanguage(const std::string& place)
{
    const bool listed = place.rfind("item DeviceComboBox", 0) == 0 || place.rfind("item LangComboBox", 0) == 0 ||
                        place.rfind("caption TessilDateTimePicker", 0) == 0;
    return listed || kAlikeInEveryLanguage.count(place);
}

// Choices other than the board's first ones, in every list the language refills.
struct TChoice {
    TComboBox TOvelMainForm::*List;
    int Item;
};
constexpr TChoice kChoices[] = {
    {&TOvelMainForm::RainComboBox, 4},         {&TOvelMainForm::MuteComboBox, 3},
    {&TOvelMainForm::AutoStartComboBox, 5},    {&TOvelMainForm::AlternateComboBox, 4},
    {&TOvelMainForm::Option2ComboBox, 3},      {&TOvelMainForm::Option4ComboBox, 2},
    {&TOvelMainForm::Option5ComboBox, 1},      {&TOvelMainForm::Option6ComboBox, 3},
    {&TOvelMainForm::GuitarComboBox, 2},       {&TOvelMainForm::FluteComboBox, 1},
    {&TOvelMainForm::HaComboBox, 3},           {&TOvelMainForm::MusicFolderComboBox, 2},
    {&TOvelMainForm::NatureFolderComboBox, 1}, {&TOvelMainForm::NFBComboBox, 3},
    {&TOvelMainForm::NFIComboBox, 2},
};

class BoardLanguageWinTest : public ::testing::TestWithParam<int> {
protected:
    static void SetUpTestSuite()
    {
        UseSilentOutput();
        CreateBoardLikeTheProgram();
        HoldTheSchedule();
    }

    static void TearDownTestSuite() { FreeOvelMainForm(); }

    void SetUp() override
    {
        ASSERT_NE(OvelMainForm, nullptr);
        ASSERT_EQ(LangFiles[CurrentLangIndex], "english.lng");
        if (Board().OvelComboBox.ItemIndex() != GetParam()) {
            const auto start = std::chrono::steady_clock::now();
            GetParam() == kNightScene ? Board().ForestNClick(nullptr) : Board().ForestClick(nullptr);
            PrintCost("scene switch", start);
        }
        ASSERT_EQ(Board().OvelComboBox.ItemIndex(), GetParam());
        for (const TChoice& choice : kChoices)
            (Board().*choice.List).SetItemIndex(choice.Item);
        // The hints that follow the choices, as the language shows them.
        Board().ToggleLang();
    }

    void TearDown() override
    {
        if (OvelMainForm)
            ChooseLanguage(Board(), EnglishLangIndex);
    }

    static TOvelMainForm& Board() { return *OvelMainForm; }

    static void ExpectChoicesKept()
    {
        for (const TChoice& choice : kChoices)
            EXPECT_EQ((Board().*choice.List).ItemIndex(), choice.Item) << ControlName((Board().*choice.List).Handle());
        EXPECT_EQ(Board().OvelComboBox.ItemIndex(), GetParam());
        EXPECT_EQ(Board().LangComboBox.ItemIndex(), CurrentLangIndex);
    }
};

TEST_P(BoardLanguageWinTest, RussianReplacesEveryEnglishTextAndEnglishComesBackWhole)
{
    const std::map<std::string, std::string> stored = StoredSettings();
    const TShownTexts english = ShownTexts(Board());
    const int compressionWidth = Board().CompressionCheckBox.Width();

    const auto start = std::chrono::steady_clock::now();
    ChooseLanguage(Board(), RussianLangIndex);
    PrintCost("language switch", start);
    ASSERT_EQ(LangFiles[CurrentLangIndex], "russian.lng");
    const TShownTexts russian = ShownTexts(Board());
    for (const auto& [place, text] : english) {
        if (!HasLetters(text) || AlikeInEveryLanguage(place))
            continue;
        const auto found = russian.find(place);
        ASSERT_NE(found, russian.end()) << place;
        EXPECT_NE(found->second, text) << place << " stays English";
    }
    ExpectChoicesKept();
    EXPECT_GT(Board().CompressionCheckBox.Width(), compressionWidth) << "a longer caption widens its box";

    ChooseLanguage(Board(), EnglishLangIndex);
    const TShownTexts back = ShownTexts(Board());
    EXPECT_EQ(back.size(), english.size());
    for (const auto& [place, text] : english) {
        const auto found = back.find(place);
        ASSERT_NE(found, back.end()) << place;
        EXPECT_EQ(found->second, text) << place;
    }
    ExpectChoicesKept();
    EXPECT_EQ(StoredSettings(), stored);
}

// Rows as the Russian module gives them, read back as Windows shows them.
TEST_P(BoardLanguageWinTest, RussianRowsReadAsTheModuleWritesThem)
{
    ChooseLanguage(Board(), RussianLangIndex);
    const TShownTexts russian = ShownTexts(Board());
    const auto module = [](const char* key, const char* after = "") {
        return Decoded(GetLangString(key) + after, kRussianPage);
    };
    const struct {
        std::string place;
        std::wstring text;
    } rows[] = {
        {"caption board", module("progname", " ") + Decoded(VersionText, kRussianPage)},
        {"caption PlayCheckBox", module("soundplay")},
        {"caption RainCheckBox", module("Rain", " ")},
        {"caption ChimesGroupBox", module("chimes", " ")},
        {"caption AutomationGroupBox", module("automation", " ")},
        {"caption TillLabel", module("till")},
        {"caption Option5CheckBox", module(GetParam() == kNightScene ? "Beasts" : "Crows")},
        {"caption OvelLabel", module(GetParam() == kNightScene ? "nightforest" : "dayforest")},
        {"hint VolumeTrackBar", Decoded(GetLangText("generalvolumehint", false), kRussianPage)},
        {"hint NoRainLabel", Decoded(NoSoundsHint, kRussianPage)},
        {"hint HWMCheckBox", module("hwmixer")},
        {"item RainComboBox 4", module("endless")},
        {"item MuteComboBox 2", module("sendtosleep")},
        {"item OvelComboBox 1", module("nightforest")},
        {"menu Customize", module("controlboard")},
        {"menu Exit", module("exit")},
        {"item LangComboBox " + std::to_string(RussianLangIndex), module("langname")},
    };
    for (const auto& row : rows) {
        const auto found = russian.find(row.place);
        ASSERT_NE(found, russian.end()) << row.place;
        EXPECT_EQ(found->second, row.text) << row.place;
    }
    EXPECT_EQ(russian.at("item LangComboBox " + std::to_string(EnglishLangIndex)), L"English");
}

// The two modules that come with every installation read whole on the board.
TEST_P(BoardLanguageWinTest, EnglishAndRussianCaptionsShowWholeAndClearOfEachOther)
{
    for (const int module : {EnglishLangIndex, RussianLangIndex}) {
        SCOPED_TRACE(LangFiles[module]);
        ChooseLanguage(Board(), module);
        EXPECT_THAT(CutCaptions(Board()), ::testing::IsEmpty());
        EXPECT_THAT(BoxesRunningIntoOthers(Board()), ::testing::IsEmpty());
        EXPECT_THAT(BoxesPastTheirBounds(Board()), ::testing::IsEmpty());
    }
}

// Closes every message box of the process and counts them, until stopped.
class TBoxCounter {
public:
    TBoxCounter()
        : thread_([this] {
              while (!stop_) {
                  if (HWND box = FindWindowA("#32770", nullptr)) {
                      ++boxes_;
                      SendMessageA(box, WM_COMMAND, IDOK, 0);
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(20));
              }
          })
    {}
    ~TBoxCounter() { Stop(); }
    int Stop()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        return boxes_;
    }

private:
    std::atomic<bool> stop_{false};
    std::atomic<int> boxes_{0};
    std::thread thread_;
};

// The module held by another program: the switch tells it once and goes on
// with the default module's texts.
TEST_P(BoardLanguageWinTest, ModuleThatCannotBeReadIsReportedOncePerSwitch)
{
    const std::string path = ExeDir + "language\\russian.lng";
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const std::string english = Board().PlayCheckBox.Caption();
    TBoxCounter counter;
    ChooseLanguage(Board(), RussianLangIndex);
    ASSERT_TRUE(PumpQueued());
    EXPECT_EQ(counter.Stop(), 1);
    CloseHandle(held);
    EXPECT_EQ(Board().PlayCheckBox.Caption(), english);
}

INSTANTIATE_TEST_SUITE_P(BothScenes, BoardLanguageWinTest, ::testing::Values(kDayScene, kNightScene),
                         [](const ::testing::TestParamInfo<int>& scene) {
                             return scene.param == kNightScene ? "Night" : "Day";
                         });

}  // namespace
