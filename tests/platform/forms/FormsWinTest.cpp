#include "platform/forms/Application.h"
#include "platform/forms/Charsets.h"
#include "platform/forms/ComCtrls.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Forms.h"
#include "platform/forms/Menus.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/Timers.h"

#include "FormsTestIds.h"
#include "tests/common/DialogAnswerer.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

namespace {

constexpr auto kPumpLimit = std::chrono::seconds(10);

// Handles messages until done() holds or the (generous) limit passes.
bool PumpUntil(const std::function<bool()>& done)
{
    auto end = std::chrono::steady_clock::now() + kPumpLimit;
    while (!done() && std::chrono::steady_clock::now() < end) {
        Application.ProcessMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return done();
}

class TTestForm : public TForm {
public:
    explicit TTestForm(int templateId = IDD_BOARD) { created = CreateFromTemplate(MAKEINTRESOURCEA(templateId)); }

    bool created = false;
    int events = 0;  // every event of every control counts here
    TGroupBox Group;
    TCheckBox Check;
    TRadioButton RadioA;
    TRadioButton RadioB;
    TLabel Label;
    TPanel Panel;
    TCheckBox PanelCheck;
    TRadioButton PanelRadio;
    TCheckBox Outside;
    TCheckBox ThreeState;
    TTrackBar Track;
    TComboBox Combo;
    TEdit Edit;
    TButton Ok;

    void CountEvents()
    {
        auto count = [this](TObject*) { ++events; };
        for (TCheckBox* box : {&Check, &PanelCheck, &Outside, &ThreeState})
            box->OnClick = count;
        for (TRadioButton* radio : {&RadioA, &RadioB, &PanelRadio})
            radio->OnClick = count;
        Track.OnChange = count;
        Combo.OnSelect = count;
        Ok.OnClick = count;
    }

protected:
    void CreateParams(TCreateParams& params) override { params.WindowClassName = "TOvelTestForm"; }

    void AttachControls() override
    {
        // Containers first is not required: their contents are found by place.
        Check.Attach(*this, IDC_CHECK);
        RadioA.Attach(*this, IDC_RADIO_A);
        RadioB.Attach(*this, IDC_RADIO_B);
        Label.Attach(*this, IDC_LABEL);
        PanelCheck.Attach(*this, IDC_PANEL_CHECK);
        PanelRadio.Attach(*this, IDC_PANEL_RADIO);
        Outside.Attach(*this, IDC_OUTSIDE);
        ThreeState.Attach(*this, IDC_THREE_STATE);
        Track.Attach(*this, IDC_TRACK);
        Combo.Attach(*this, IDC_COMBO);
        Edit.Attach(*this, IDC_EDIT);
        Ok.Attach(*this, IDOK);
        Group.Attach(*this, IDC_GROUP);
        Panel.Attach(*this, IDC_PANEL);
    }
};

class FormsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(Application.Initialize()); }

    void SetUp() override
    {
        ASSERT_TRUE(form.created);
        form.Track.SetRange(0, 10);
        form.CountEvents();
    }

    TTestForm form;
};

// The control's own show state; the test forms stay hidden, since under a
// bare X server every hide of a shown window waits for a window manager.
bool Shown(const TControl& control) { return (GetWindowLongA(control.Handle(), GWL_STYLE) & WS_VISIBLE) != 0; }

std::string ClassName(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

TEST_F(FormsTest, FormTakesItsTemplatesClassRegisteredAsADialogClass)
{
    EXPECT_EQ(ClassName(form.Handle()), "TOvelTestForm");
    EXPECT_EQ(GetClassLongPtrA(form.Handle(), GCL_CBWNDEXTRA), DLGWINDOWEXTRA);
    EXPECT_EQ(GetWindow(form.Handle(), GW_OWNER), Application.Handle());
    EXPECT_EQ(form.Caption(), "Board");

    TTestForm plain(IDD_PLAIN);
    ASSERT_TRUE(plain.created);
    EXPECT_EQ(ClassName(plain.Handle()), "#32770");
    EXPECT_FALSE(plain.Visible());
}

RECT ClientRectOf(HWND window)
{
    RECT rect{};
    GetClientRect(window, &rect);
    return rect;
}

RECT RectInParent(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Pixel-drawn parts of a form rely on its controls standing where the design
// put them, whatever font the system gives the dialog: 7 x 13 pixels to 4 x 8
// dialog units, rounded to the nearest pixel.
TEST_F(FormsTest, FormIsLaidOutInTheDesignsPixelsWhateverItsFont)
{
    for (int templateId : {IDD_PLAIN, IDD_PLAIN_LARGE_FONT}) {
        SCOPED_TRACE(templateId);
        TTestForm plain(templateId);
        ASSERT_TRUE(plain.created);
        const RECT client = ClientRectOf(plain.Handle());
        EXPECT_EQ(client.right, 210);  // 120 units
        EXPECT_EQ(client.bottom, 98);  // 60 units: 97.5
        const RECT button = RectInParent(GetDlgItem(plain.Handle(), IDOK));
        EXPECT_EQ(button.left, 18);    // 10 units: 17.5
        EXPECT_EQ(button.top, 65);     // 40 units
        EXPECT_EQ(button.right, 88);   // 40 units wide
        EXPECT_EQ(button.bottom, 88);  // 14 units: 22.75
        const RECT unnamed = RectInParent(GetDlgItem(plain.Handle(), -1));
        EXPECT_EQ(unnamed.left, 7);     // 4 units
        EXPECT_EQ(unnamed.right, 112);  // 60 units wide
    }
}

TEST_F(FormsTest, ItemWithItsOwnPixelsStandsAtThem)
{
    const RECT pixels = RectInParent(GetDlgItem(form.Handle(), IDC_PIXELS));
    EXPECT_EQ(pixels.left, 401);
    EXPECT_EQ(pixels.top, 200);
    EXPECT_EQ(pixels.right - pixels.left, 40);
    EXPECT_EQ(pixels.bottom - pixels.top, 41);
}

class TIconedForm : public TForm {
public:
    TIconedForm() { created = CreateFromTemplate(MAKEINTRESOURCEA(IDD_ICONED)); }
    bool created = false;

protected:
    void CreateParams(TCreateParams& params) override { params.WindowClassName = "TOvelIconTest"; }
};

// Whoever set the application's icon may destroy it once it changes again.
TEST_F(FormsTest, FormClassKeepsAnIconOfItsOwn)
{
    HICON given = CopyIcon(LoadIconA(nullptr, IDI_APPLICATION));
    Application.Icon = given;
    TIconedForm iconed;
    Application.Icon = nullptr;
    ASSERT_TRUE(iconed.created);
    DestroyIcon(given);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(reinterpret_cast<HICON>(GetClassLongPtrA(iconed.Handle(), GCLP_HICON)), &info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

// A control moved into a container goes with it, leaves its old one and is
// drawn over it; a container takes what it holds along.
TEST_F(FormsTest, ReparentedControlMovesIntoItsContainerWithWhatItHolds)
{
    form.Label.Reparent(form.Panel, 10, 5);
    EXPECT_EQ(form.Label.Left() - form.Panel.Left(), 10);
    EXPECT_EQ(form.Label.Top() - form.Panel.Top(), 5);
    EXPECT_EQ(GetWindow(form.Label.Handle(), GW_HWNDNEXT), form.Panel.Handle());
    form.Group.Hide();
    EXPECT_TRUE(Shown(form.Label));
    form.Group.Show();
    form.Panel.Hide();
    EXPECT_FALSE(Shown(form.Label));
    form.Panel.Show();
    EXPECT_TRUE(Shown(form.Label));

    const int checkLeft = form.PanelCheck.Left() - form.Panel.Left();
    const int checkTop = form.PanelCheck.Top() - form.Panel.Top();
    form.Panel.Reparent(form.Group, 6, 12);
    EXPECT_EQ(form.Panel.Left() - form.Group.Left(), 6);
    EXPECT_EQ(form.PanelCheck.Left() - form.Panel.Left(), checkLeft);
    EXPECT_EQ(form.PanelCheck.Top() - form.Panel.Top(), checkTop);
    form.Group.Hide();
    EXPECT_FALSE(Shown(form.PanelCheck));
    EXPECT_FALSE(Shown(form.Label));
    EXPECT_FALSE(Shown(form.Panel));
    EXPECT_TRUE(form.Panel.Visible());
}

TEST_F(FormsTest, MissingTemplateOrControlIsReported)
{
    TForm missing;
    EXPECT_FALSE(missing.CreateFromTemplate("NOSUCHFORM"));
    TCheckBox stray;
    EXPECT_FALSE(stray.Attach(form, 999));
}

// One row of a table: what is done to a form, and the number it should give.
struct FormCase {
    const char* what;
    std::function<void(TTestForm&)> act;
    int expected;
};

using CodeChange = FormCase;

class CodeChangeTest : public FormsTest, public ::testing::WithParamInterface<CodeChange> {};

TEST_P(CodeChangeTest, RunsTheControlsEventOnlyWhenTheValueChanges)
{
    form.Track.SetPosition(3);
    form.RadioA.SetChecked(true);
    form.events = 0;
    GetParam().act(form);
    EXPECT_EQ(form.events, GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CodeChangeTest,
    ::testing::Values(CodeChange{"check on", [](TTestForm& f) { f.Check.SetChecked(true); }, 1},
                      CodeChange{"check on, off",
                                 [](TTestForm& f) {
                                     f.Check.SetChecked(true);
                                     f.Check.SetChecked(false);
                                 },
                                 2},
                      CodeChange{"check off while off", [](TTestForm& f) { f.Check.SetChecked(false); }, 0},
                      CodeChange{"radio on", [](TTestForm& f) { f.RadioB.SetChecked(true); }, 1},
                      CodeChange{"radio on while on", [](TTestForm& f) { f.RadioA.SetChecked(true); }, 0},
                      CodeChange{"radio off", [](TTestForm& f) { f.RadioA.SetChecked(false); }, 0},
                      CodeChange{"track moved", [](TTestForm& f) { f.Track.SetPosition(7); }, 1},
                      CodeChange{"track to where it is", [](TTestForm& f) { f.Track.SetPosition(3); }, 0},
                      CodeChange{"track beyond the end",
                                 [](TTestForm& f) {
                                     f.Track.SetPosition(99);
                                     f.Track.SetPosition(10);
                                 },
                                 1},
                      CodeChange{"range change moving the position", [](TTestForm& f) { f.Track.SetRange(5, 10); }, 0},
                      CodeChange{"item index",
                                 [](TTestForm& f) {
                                     f.Combo.Items.Add("a");
                                     f.Combo.SetItemIndex(0);
                                 },
                                 0}));

TEST_F(FormsTest, DetachedEventDoesNotRunAndRunsAgainOnceAttached)
{
    TNotifyEvent handler = form.Check.OnClick;
    form.Check.OnClick = nullptr;
    form.Check.SetChecked(true);
    EXPECT_EQ(form.events, 0);
    EXPECT_TRUE(form.Check.Checked());
    form.Check.OnClick = handler;
    form.Check.SetChecked(false);
    EXPECT_EQ(form.events, 1);
}

TEST_F(FormsTest, UserClickTogglesACheckBoxAndRunsOnClickOnce)
{
    form.Check.Perform(BM_CLICK);
    EXPECT_TRUE(form.Check.Checked());
    EXPECT_EQ(form.events, 1);

    form.Check.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    form.Check.Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    EXPECT_FALSE(form.Check.Checked());
    EXPECT_EQ(form.events, 2);
}

TEST_F(FormsTest, ThreeStateBoxIsGrayedInTurnAndFromCodeAPlainBoxNever)
{
    ASSERT_TRUE(form.ThreeState.AllowGrayed());
    EXPECT_FALSE(form.Check.AllowGrayed());
    for (TCheckBoxState next : {cbChecked, cbGrayed, cbUnchecked, cbChecked}) {
        form.ThreeState.Perform(BM_CLICK);
        EXPECT_EQ(form.ThreeState.State(), next);
    }
    EXPECT_EQ(form.events, 4);

    form.ThreeState.SetState(cbGrayed);
    EXPECT_FALSE(form.ThreeState.Checked());
    EXPECT_EQ(form.ThreeState.Perform(BM_GETCHECK), BST_INDETERMINATE);
    form.ThreeState.SetState(cbGrayed);
    EXPECT_EQ(form.events, 5);
    form.ThreeState.SetChecked(false);
    EXPECT_EQ(form.ThreeState.State(), cbUnchecked);
    EXPECT_EQ(form.events, 6);

    form.Check.SetState(cbGrayed);
    EXPECT_EQ(form.Check.State(), cbUnchecked);
    EXPECT_EQ(form.events, 6);
}

// The system's own dialogs, answered the way a user does.
TEST_F(FormsTest, FileDialogsGiveTheConfirmedNameAndNothingWhenCancelled)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "ovel-dialogs";
    std::filesystem::create_directories(folder);
    const std::filesystem::path existing = folder / "settings.Ovel";
    std::ofstream(existing) << "x";

    TSaveDialog save;
    save.Title = "Export";
    save.Filter = "Ovel|*.Ovel";
    save.FileName = "proposed.Ovel";
    {
        const DialogAnswerer answerer((folder / "chosen.Ovel").wstring());
        EXPECT_TRUE(save.Execute(form.Handle()));
        EXPECT_EQ(answerer.FileDialogs(), 1);
    }
    EXPECT_EQ(std::filesystem::path(save.FileName), folder / "chosen.Ovel");

    TOpenDialog open;
    open.Filter = save.Filter;
    {
        const DialogAnswerer answerer(existing.wstring());
        EXPECT_TRUE(open.Execute());
    }
    EXPECT_EQ(std::filesystem::path(open.FileName), existing);
    {
        const DialogAnswerer cancelling(L"");
        EXPECT_FALSE(open.Execute());
    }
    EXPECT_EQ(std::filesystem::path(open.FileName), existing) << "a cancelled dialog leaves the name";
    std::filesystem::remove_all(folder);
}

TEST_F(FormsTest, RadioButtonsUncheckTheirNeighboursInTheSameContainerOnly)
{
    form.PanelRadio.SetChecked(true);
    form.RadioA.SetChecked(true);
    form.events = 0;

    form.RadioB.Perform(BM_CLICK);
    EXPECT_TRUE(form.RadioB.Checked());
    EXPECT_FALSE(form.RadioA.Checked());
    EXPECT_TRUE(form.PanelRadio.Checked());
    EXPECT_EQ(form.events, 1);

    form.RadioB.Perform(BM_CLICK);  // already checked: no change, no event
    EXPECT_EQ(form.events, 1);

    form.RadioA.SetChecked(true);
    EXPECT_FALSE(form.RadioB.Checked());
    EXPECT_TRUE(form.PanelRadio.Checked());
}

TEST_F(FormsTest, UserMoveOfATrackBarRunsOnChangeOncePerChange)
{
    form.Track.SetPosition(0);
    form.events = 0;
    form.Track.Perform(WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(form.Track.Position(), 10);
    EXPECT_EQ(form.events, 1);
    form.Track.Perform(WM_KEYDOWN, VK_END, 0);  // at the end already
    EXPECT_EQ(form.events, 1);
}

TEST_F(FormsTest, HidingOrDisablingAContainerReachesWhatItHoldsWithoutChangingTheirOwnState)
{
    form.Label.Hide();
    form.Group.Hide();
    EXPECT_FALSE(Shown(form.Check));
    EXPECT_FALSE(Shown(form.RadioB));
    EXPECT_TRUE(Shown(form.Outside));
    EXPECT_TRUE(Shown(form.PanelCheck));
    EXPECT_TRUE(form.Check.Visible());

    form.Group.Show();
    EXPECT_TRUE(Shown(form.Check));
    EXPECT_FALSE(Shown(form.Label)) << "hidden on its own, it stays hidden";

    form.Panel.SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(form.PanelCheck.Handle()));
    EXPECT_TRUE(form.PanelCheck.Enabled());
    EXPECT_TRUE(IsWindowEnabled(form.Check.Handle()));

    form.Panel.Include(form.Outside);
    EXPECT_FALSE(IsWindowEnabled(form.Outside.Handle()));
    form.Panel.SetEnabled(true);
    EXPECT_TRUE(IsWindowEnabled(form.Outside.Handle()));
}

TEST_F(FormsTest, ComboItemsKeepTheirObjectsAcrossAStyleChange)
{
    form.Combo.Items.BeginUpdate();
    form.Combo.Items.Add("Speakers", 3);
    form.Combo.Items.Add("Headphones", 7);
    form.Combo.Items.EndUpdate();
    form.Combo.SetItemIndex(1);
    EXPECT_EQ(form.Combo.Items.Objects(0), 3);
    EXPECT_EQ(form.Combo.Text(), "Headphones");

    form.Combo.SetStyle(csOwnerDrawFixed);
    EXPECT_EQ(form.Combo.Style(), csOwnerDrawFixed);
    EXPECT_EQ(form.Combo.Id(), IDC_COMBO);
    ASSERT_EQ(form.Combo.Items.Count(), 2);
    EXPECT_EQ(form.Combo.Items.Strings(1), "Headphones");
    EXPECT_EQ(form.Combo.Items.Objects(1), 7);
    EXPECT_EQ(form.Combo.ItemIndex(), 1);
    EXPECT_EQ(form.Combo.Items.IndexOf("speakers"), 0);

    // The new window still reports to the wrapper.
    SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(IDC_COMBO, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(form.Combo.Handle()));
    EXPECT_EQ(form.events, 1);
}

// A drop-down that refills the list may change the style while the combo box
// still handles its own notification.
TEST_F(FormsTest, ComboChangesStyleFromItsOwnDropDown)
{
    form.Combo.Items.Add("Speakers", 3);
    form.Combo.OnDropDown = [this](TObject*) { form.Combo.SetStyle(csOwnerDrawFixed); };
    const HWND old = form.Combo.Handle();
    SendMessageA(old, CB_SHOWDROPDOWN, TRUE, 0);
    EXPECT_EQ(form.Combo.Style(), csOwnerDrawFixed);
    EXPECT_NE(form.Combo.Handle(), old);
    EXPECT_EQ(GetWindowLongA(old, GWL_STYLE) & WS_VISIBLE, 0);

    ASSERT_TRUE(PumpUntil([old] { return !IsWindow(old); }));
    EXPECT_EQ(form.Combo.Items.Objects(0), 3);
    EXPECT_NE(SendMessageA(form.Combo.Handle(), CB_GETDROPPEDSTATE, 0, 0), 0) << "the open list moves on";
    SendMessageA(form.Combo.Handle(), CB_SHOWDROPDOWN, FALSE, 0);
}

TEST_F(FormsTest, ComboSelectionRunsOnChangeWhenNoOnSelectIsSet)
{
    int changes = 0;
    form.Combo.OnSelect = nullptr;
    form.Combo.OnChange = [&changes](TObject*) { ++changes; };
    SendMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(IDC_COMBO, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(form.Combo.Handle()));
    EXPECT_EQ(changes, 1);
}

// The text of the hint the form's tooltip shows for the control.
std::wstring HintShown(const TForm& form, const TControl& control)
{
    HWND tooltip = nullptr;
    while ((tooltip = FindWindowExW(nullptr, tooltip, TOOLTIPS_CLASSW, nullptr)) &&
           GetWindow(tooltip, GW_OWNER) != form.Handle()) {
    }
    wchar_t text[256] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = form.Handle();
    tool.uId = reinterpret_cast<UINT_PTR>(control.Handle());
    tool.lpszText = text;
    SendMessageW(tooltip, TTM_GETTEXTW, sizeof text / sizeof text[0], reinterpret_cast<LPARAM>(&tool));
    return text;
}

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

std::wstring ComboItemShown(const TComboBox& combo, int index)
{
    wchar_t text[256] = {};
    SendMessageW(combo.Handle(), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
}

struct CodedText {
    BYTE charset;
    const char* bytes;
    std::u16string wide;
};

// Windows would read ANSI text by the system's page: Russian in a Western
// system would show as "\xD0\xF3\xF1\xF1\xEA\xE8\xE9" read in 1252.
const CodedText kCodedTexts[] = {
    {204, "\xD0\xF3\xF1\xF1\xEA\xE8\xE9", u"Русский"},
    {238,
     "\xC8"
     "e\x9Atina",
     u"Čeština"},
    {128, "\x93\xFA\x96\x7B\x8C\xEA", u"日本語"},
    {136, "\xC1\x63\xC5\xE9\xA4\xA4\xA4\xE5", u"繁體中文"},
};

TEST_F(FormsTest, TextsReachTheWindowsInTheCodePageOfTheirFont)
{
    for (const CodedText& text : kCodedTexts) {
        SCOPED_TRACE(int{text.charset});
        form.SetFontCharset(text.charset);
        form.SetCaption(text.bytes);
        EXPECT_EQ(Wide(WideWindowText(form.Handle())), Wide(text.wide));
        EXPECT_EQ(form.Caption(), text.bytes);

        form.Check.SetCaption(text.bytes);
        EXPECT_EQ(Wide(WideWindowText(form.Check.Handle())), Wide(text.wide));
        EXPECT_EQ(form.Check.Caption(), text.bytes);

        form.Label.SetHint(text.bytes);
        EXPECT_EQ(HintShown(form, form.Label), Wide(text.wide));

        form.Combo.Items.Clear();
        form.Combo.Items.Add(text.bytes);
        EXPECT_EQ(ComboItemShown(form.Combo, 0), Wide(text.wide));
        EXPECT_EQ(form.Combo.Items.Strings(0), text.bytes);
        EXPECT_EQ(form.Combo.Items.IndexOf(text.bytes), 0);
    }
}

// One control's font of its own; a list may hold items of several pages.
TEST_F(FormsTest, ControlOfItsOwnCharsetAndItemsOfOtherPages)
{
    form.SetFontCharset(204);
    form.Combo.SetFontCharset(DEFAULT_CHARSET);
    form.Check.SetCaption(kCodedTexts[0].bytes);
    EXPECT_EQ(Wide(WideWindowText(form.Check.Handle())), Wide(kCodedTexts[0].wide));

    form.Combo.Items.Clear();
    for (const CodedText& text : kCodedTexts)
        form.Combo.Items.AddInCodePage(text.bytes, CodePageOfCharset(text.charset));
    for (int i = 0; i < form.Combo.Items.Count(); ++i)
        EXPECT_EQ(ComboItemShown(form.Combo, i), Wide(kCodedTexts[i].wide));
    form.Combo.SetStyle(csOwnerDrawFixed);
    EXPECT_EQ(ComboItemShown(form.Combo, 2), Wide(kCodedTexts[2].wide)) << "kept across a style change";
}

TEST_F(FormsTest, FontColourOfAControlReachesItsDrawing)
{
    form.Label.SetFontColor(clRed);
    form.SetColor(clGreen);
    HDC dc = CreateCompatibleDC(nullptr);
    auto brush = SendMessageA(form.Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                              reinterpret_cast<LPARAM>(form.Label.Handle()));
    EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0));
    EXPECT_EQ(GetBkColor(dc), RGB(0, 128, 0));
    EXPECT_NE(brush, 0);
    DeleteDC(dc);
}

TEST_F(FormsTest, ButtonMadeInCodeIsAHiddenChildThatClicksAndGoesWithItsWrapper)
{
    HWND window = nullptr;
    {
        TBitBtn made;
        ASSERT_TRUE(made.Create(form, 10, 20, 52, 52));
        window = made.Handle();
        EXPECT_EQ(GetParent(window), form.Handle());
        EXPECT_NE(made.Id(), IDOK);
        EXPECT_EQ(GetDlgItem(form.Handle(), made.Id()), window);
        EXPECT_EQ(made.Bounds().left, 10);
        EXPECT_EQ(made.Bounds().top, 20);
        EXPECT_EQ(made.Width(), 52);
        EXPECT_FALSE(made.Visible());
        made.Show();
        EXPECT_TRUE(made.Visible()) << "its own state, while the form stays hidden";

        TBitBtn second;
        ASSERT_TRUE(second.Create(form, 70, 20, 52, 52));
        EXPECT_NE(second.Id(), made.Id());

        HBITMAP glyph = CreateBitmap(52, 52, 1, 32, nullptr);
        made.SetGlyph(glyph);
        EXPECT_EQ(made.Glyph(), glyph);
        made.Tag = 7;
        std::intptr_t clicked = 0;
        made.OnClick = [&clicked](TObject* sender) { clicked = static_cast<TControl*>(sender)->Tag; };
        SendMessageA(window, BM_CLICK, 0, 0);
        EXPECT_EQ(clicked, 7);
        made.SetGlyph(nullptr);
        DeleteObject(glyph);
    }
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(FormsTest, OwnFontOfAControlTakesFaceHeightAndWeightAndKeepsTheCharacterSet)
{
    form.SetFontCharset(RUSSIAN_CHARSET);
    form.Label.SetFont("Arial", -32, true);
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(form.Label.Perform(WM_GETFONT)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, "Arial");
    EXPECT_EQ(font.lfHeight, -32);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(font.lfCharSet, RUSSIAN_CHARSET);
    EXPECT_GT(form.Label.TextWidth("MMMM"), form.Check.TextWidth("MMMM"));
}

TEST_F(FormsTest, KeyPreviewSeesKeysOfControlsAndCanSwallowThem)
{
    WORD seen = 0;
    form.KeyPreview = true;
    form.OnKeyDown = [&seen](TObject*, WORD& key, TShiftState) {
        seen = key;
        key = 0;
    };
    PostMessageA(form.Edit.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(PumpUntil([&seen] { return seen != 0; }));
    EXPECT_EQ(seen, VK_ESCAPE);
}

TEST_F(FormsTest, TimerRunsFromTheMessageLoop)
{
    TTimer timer;
    int ticks = 0;
    timer.OnTimer = [&ticks](TObject*) { ++ticks; };
    timer.SetInterval(10);
    timer.SetEnabled(true);
    EXPECT_TRUE(PumpUntil([&ticks] { return ticks >= 2; }));
}

TEST_F(FormsTest, PostedClosureRunsOnTheGuiThread)
{
    DWORD guiThread = GetCurrentThreadId();
    DWORD ranOn = 0;
    std::thread([&ranOn] { Application.Post([&ranOn] { ranOn = GetCurrentThreadId(); }); }).join();
    EXPECT_TRUE(PumpUntil([&ranOn] { return ranOn != 0; }));
    EXPECT_EQ(ranOn, guiThread);
}

using ModalEnd = FormCase;

// As the keyboard gives it to the dialog: the loop's dialog navigation turns it into a command.
void PressEsc(const TForm& form) { PostMessageA(form.Handle(), WM_KEYDOWN, VK_ESCAPE, 0); }

class ModalTest : public FormsTest, public ::testing::WithParamInterface<ModalEnd> {};

TEST_P(ModalTest, ShowModalReturnsTheModalResult)
{
    TTestForm dialog;
    dialog.Ok.ModalResult = mrOk;
    Application.Post([&dialog] { GetParam().act(dialog); });
    EXPECT_EQ(dialog.ShowModal(), GetParam().expected) << GetParam().what;
    EXPECT_FALSE(dialog.Visible());
    EXPECT_TRUE(IsWindowEnabled(form.Handle()));
}

INSTANTIATE_TEST_SUITE_P(Cases, ModalTest,
                         ::testing::Values(ModalEnd{"button click", [](TTestForm& d) { d.Ok.Perform(BM_CLICK); }, mrOk},
                                           ModalEnd{"close", [](TTestForm& d) { d.Close(); }, mrCancel},
                                           ModalEnd{"set result", [](TTestForm& d) { d.SetModalResult(mrRetry); },
                                                    mrRetry},
                                           ModalEnd{"Esc", [](TTestForm& d) { PressEsc(d); }, mrCancel},
                                           ModalEnd{"Esc with a cancel button",
                                                    [](TTestForm& d) {
                                                        d.Ok.Cancel = true;
                                                        PressEsc(d);
                                                    },
                                                    mrOk},
                                           ModalEnd{"close refused, then a result",
                                                    [](TTestForm& d) {
                                                        d.OnClose = [&d](TObject*, TCloseAction& action) {
                                                            action = caNone;
                                                            d.OnClose = nullptr;
                                                            Application.Post([&d] { d.SetModalResult(mrNo); });
                                                        };
                                                        d.Close();
                                                    },
                                                    mrNo}));

HWND WaitForOpenMenu()
{
    HWND menu = nullptr;
    auto end = std::chrono::steady_clock::now() + kPumpLimit;
    while (!(menu = FindWindowA("#32768", nullptr)) && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return menu;
}

// Picks the first item the open menu offers, the way a keyboard user would.
void ChooseFirstMenuItem()
{
    HWND menu = WaitForOpenMenu();
    PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
}

TEST_F(FormsTest, PopupMenuRunsTheChosenItemAndLeavesHiddenItemsOut)
{
    TMenuItem hidden;
    TMenuItem shown;
    hidden.Caption = "Hidden";
    hidden.Visible = false;
    shown.Caption = "Shown";
    TObject* chosen = nullptr;
    hidden.OnClick = shown.OnClick = [&chosen](TObject* sender) { chosen = sender; };
    TPopupMenu menu;
    menu.Add(hidden);
    menu.Add(shown);

    std::thread user(ChooseFirstMenuItem);
    menu.Popup(10, 10);
    user.join();
    EXPECT_EQ(chosen, &shown);
}

// The first item's text as the open menu shows it; then the menu is closed unchosen.
std::wstring ReadFirstMenuItem()
{
    HWND menu = WaitForOpenMenu();
    wchar_t text[128] = {};
    auto items = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
    GetMenuStringW(items, 0, text, 128, MF_BYPOSITION);
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    return text;
}

std::wstring FirstItemShown(TPopupMenu& menu)
{
    std::wstring shown;
    std::thread user([&shown] { shown = ReadFirstMenuItem(); });
    menu.Popup(10, 10);
    user.join();
    return shown;
}

TEST_F(FormsTest, PopupMenuShowsAnItemsShortCutAfterATab)
{
    TMenuItem item;
    item.Caption = "Play";
    item.ShortCut = scCtrl | scAlt | 'P';
    TPopupMenu menu;
    menu.Add(item);
    EXPECT_EQ(FirstItemShown(menu), L"Play\tCtrl+Alt+P");
}

TEST_F(FormsTest, MenuCaptionsShowInTheMenusCharset)
{
    for (const CodedText& text : kCodedTexts) {
        SCOPED_TRACE(int{text.charset});
        TMenuItem item;
        item.Caption = text.bytes;
        TPopupMenu menu;
        menu.Charset = text.charset;
        menu.Add(item);
        EXPECT_EQ(FirstItemShown(menu), Wide(text.wide));
    }
}

TEST_F(FormsTest, TerminateEndsRun)
{
    bool ran = false;
    Application.Post([&ran] {
        ran = true;
        Application.Terminate();
    });
    Application.Run();
    EXPECT_TRUE(ran);
    EXPECT_TRUE(Application.Terminated());
}

TEST_F(FormsTest, HiddenApplicationWindowIsMinimizedWithoutBeingShown)
{
    Application.Minimize();
    EXPECT_TRUE(Application.IsIconic());
    EXPECT_FALSE(IsWindowVisible(Application.Handle()));
}

TEST_F(FormsTest, ClosingTheMainFormEndsRunUnlessTheCloseIsRefused)
{
    int closes = 0;
    form.OnClose = [&closes](TObject*, TCloseAction& action) { action = ++closes == 1 ? caNone : caHide; };
    Application.SetMainForm(&form);
    Application.ShowMainForm = false;
    Application.Post([this] { PostMessageA(form.Handle(), WM_CLOSE, 0, 0); });
    Application.Post([this] { PostMessageA(form.Handle(), WM_CLOSE, 0, 0); });
    Application.Run();
    Application.SetMainForm(nullptr);
    EXPECT_EQ(closes, 2);
}

}  // namespace
