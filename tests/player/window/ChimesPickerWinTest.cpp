// The chimes picker over the board as the program makes it, with the shipped
// chimes bank of 25 chimes, over a silent device.
#include "player/tools/ChimesUnit.h"

#include "platform/forms/Application.h"
#include "platform/forms/Registry.h"
#include "player/window/Chimes.h"
#include "player/window/MainForm.h"
#include "resources/player/ChimesIds.h"
#include "support/LangUnit.h"
#include "support/ProgInfo.h"
#include "tests/player/window/BoardFixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <optional>
#include <string>
#include <thread>

namespace {

constexpr int kShippedChimes = 25;
constexpr const char* kDialogClass = "#32770";

// Cancels the first file dialog the process shows with that title, from a
// thread of its own; tells whether one came up.
class TFileDialogCanceller {
public:
    explicit TFileDialogCanceller(std::string title)
        : seen_(std::async(std::launch::async, [title = std::move(title)] { return CancelWhenShown(title); }))
    {}
    bool Seen() { return seen_.get(); }

private:
    static bool CancelWhenShown(const std::string& title)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < deadline) {
            HWND dialog = FindWindowA(kDialogClass, title.c_str());
            if (dialog && IsWindowVisible(dialog)) {
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    std::future<bool> seen_;
};

class ChimesPickerWinTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        UseSilentOutput();
        CreateBoardLikeTheProgram();
        CreateChimesForm();
    }

    static void TearDownTestSuite()
    {
        FreeChimesForm();
        FreeOvelMainForm();
    }

    void SetUp() override
    {
        ASSERT_NE(ChimesForm, nullptr) << "made with the chimes bank";
        Chime00Path.clear();
        Chime30Path.clear();
        Board().ChimesGroupBox.Tag = 0;
        Board().Chime00BitBtn.Tag = 1;
        Board().Chime30BitBtn.Tag = 1;
    }

    static TOvelMainForm& Board() { return *OvelMainForm; }
    static TChimesForm& Picker() { return *ChimesForm; }
    static void Click(const TButton& button) { SendMessageA(button.Handle(), BM_CLICK, 0, 0); }
};

TEST_F(ChimesPickerWinTest, TwentyFiveButtonsInRowsOfFiveAndTheUserFileBelowThem)
{
    ASSERT_EQ(Picker().ChimeButtons.size(), static_cast<std::size_t>(kShippedChimes));
    for (int i = 0; i < kShippedChimes; ++i) {
        const TBitBtn& button = *Picker().ChimeButtons[static_cast<std::size_t>(i)];
        const TChimeButtonPlace place = ChimeButtonPlace(i);
        EXPECT_EQ(button.Left(), place.Left) << i;
        EXPECT_EQ(button.Top(), place.Top) << i;
        EXPECT_EQ(button.Width(), kChimeButtonSize) << i;
        EXPECT_EQ(button.Height(), kChimeButtonSize) << i;
        EXPECT_EQ(button.Tag, i + 1);
        EXPECT_EQ(button.Cursor, crHandPoint);
        EXPECT_TRUE(button.Visible());
        EXPECT_NE(button.Glyph(), nullptr) << "picture " << i;
    }
    const int gridHeight = 5 * kChimeGridStep;
    EXPECT_EQ(Picker().UserFileBitBtn.Top(), gridHeight);
    EXPECT_EQ(Picker().UserFileBitBtn.Width(), kChimeButtonSize);
    EXPECT_GT(Picker().UserFileLabel.Top(), gridHeight);
    EXPECT_EQ(Picker().UserFileLabel.Hint(), GetLangString("alarmpathbrowse"));
    RECT client{};
    GetClientRect(Picker().Handle(), &client);
    EXPECT_LE(Picker().OKBitBtn.Bounds().bottom, client.bottom);
    EXPECT_GT(Picker().OKBitBtn.Top(), Picker().UserFileBitBtn.Bounds().bottom - 1);
    EXPECT_EQ(Picker().ChimeFileBitBtn.Left(), Picker().UserFileLabel.Bounds().right + 2);
}

TEST_F(ChimesPickerWinTest, AClickGivesTheEditedChimeItsTagAndPictureOnly)
{
    Click(*Picker().ChimeButtons[6]);
    EXPECT_EQ(Board().Chime00BitBtn.Tag, 7);
    EXPECT_EQ(Board().Chime00BitBtn.Glyph(), Picker().ChimeButtons[6]->Glyph());
    EXPECT_EQ(Board().Chime30BitBtn.Tag, 1);

    Board().ChimesGroupBox.Tag = 1;
    Click(*Picker().ChimeButtons[24]);
    EXPECT_EQ(Board().Chime30BitBtn.Tag, 25);
    EXPECT_EQ(Board().Chime30BitBtn.Glyph(), Picker().ChimeButtons[24]->Glyph());
    EXPECT_EQ(Board().Chime00BitBtn.Tag, 7);
    EXPECT_EQ(Board().Chime00BitBtn.Glyph(), Picker().ChimeButtons[6]->Glyph());
}

TEST_F(ChimesPickerWinTest, OkWritesTheEditedChimesTagAlone)
{
    const struct {
        int edited;
        const char* written;
        const char* untouched;
    } cases[] = {{0, "Chime00Num", "Chime30Num"}, {1, "Chime30Num", "Chime00Num"}};
    for (const auto& c : cases) {
        ASSERT_TRUE(OpenProductKey());
        ProgRegistry->DeleteValue("Chime00Num");
        ProgRegistry->DeleteValue("Chime30Num");
        ProgRegistry->CloseKey();
        Board().ChimesGroupBox.Tag = c.edited;
        Click(*Picker().ChimeButtons[4]);
        Click(Picker().OKBitBtn);
        EXPECT_EQ(Picker().ModalResult(), mrOk);
        ASSERT_TRUE(OpenProductKey());
        EXPECT_EQ(ProgRegistry->ReadInteger(c.written), 5) << c.written;
        EXPECT_FALSE(ProgRegistry->ValueExists(c.untouched)) << c.untouched;
        ProgRegistry->CloseKey();
    }
}

TEST_F(ChimesPickerWinTest, TheUserFileWithoutAFileOpensTheFileDialogInsteadOfPlaying)
{
    TFileDialogCanceller canceller(GetLangString("alarmpathbrowse"));
    Click(Picker().UserFileBitBtn);
    EXPECT_TRUE(canceller.Seen());
    EXPECT_EQ(Board().Chime00BitBtn.Tag, 0);
    EXPECT_EQ(Board().Chime00BitBtn.Glyph(), Picker().UserFileBitBtn.Glyph());
    EXPECT_TRUE(Chime00Path.empty()) << "cancelled";
}

TEST_F(ChimesPickerWinTest, ClearingTheUserFileKeepsTheChosenChime)
{
    Chime00Path = "C:\\Sounds\\Bell.wav";
    Board().Chime00BitBtn.Tag = 3;
    Picker().FileClearClick(nullptr);
    EXPECT_TRUE(Chime00Path.empty());
    EXPECT_EQ(Picker().UserFileLabel.Caption(), "...");
    EXPECT_EQ(Board().Chime00BitBtn.Tag, 3);
}

struct ShownCase {
    int edited;
    std::intptr_t tag;
    std::string path;
    std::string label;
    std::optional<std::size_t> focused;  // a chime button; none for the user file's
};

TEST_F(ChimesPickerWinTest, ShownItNamesTheEditedChimesFileAndFocusesItsChoice)
{
    const std::vector<ShownCase> cases = {
        {0, 9, "C:\\Sounds\\Bell.wav", "Bell", 8},
        {1, 0, "", "...", std::nullopt},
        {0, 99, "", "...", std::nullopt},  // no built-in chime
    };
    for (const ShownCase& c : cases) {
        Board().ChimesGroupBox.Tag = c.edited;
        (c.edited ? Board().Chime30BitBtn : Board().Chime00BitBtn).Tag = c.tag;
        (c.edited ? Chime30Path : Chime00Path) = c.path;
        std::string label;
        std::string caption;
        bool focused = false;
        Application.Post([&] {
            label = Picker().UserFileLabel.Caption();
            caption = Picker().Caption();
            const TBitBtn& expected =
                c.focused ? *Picker().ChimeButtons[*c.focused] : static_cast<const TBitBtn&>(Picker().UserFileBitBtn);
            focused = expected.Focused();
            Picker().Close();
        });
        Picker().ShowModal();
        EXPECT_EQ(label, c.label) << c.tag;
        EXPECT_TRUE(focused) << c.tag;
        const TCheckBox& chimeBox = c.edited ? Board().Chime30CheckBox : Board().Chime00CheckBox;
        EXPECT_EQ(caption,
                  GetLangString("progname") + " - " + Board().ChimesGroupBox.Caption() + " " + chimeBox.Caption());
        EXPECT_EQ(Picker().Color(), Board().Color());
    }
}

}  // namespace
