// The board template and its pictures, loaded the way the player loads them.
#include "resources/player/BoardIds.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

enum class Kind {
    CheckBox,
    RadioButton,
    BitBtn,
    GroupBox,
    Label,
    ComboBox,
    TrackBar,
    DateTimePicker,
    SpinButton,
    Image,
    Shape,
    Panel,
    Animate
};

struct BoardControl {
    const char* name;
    int id;
    Kind kind;
    const char* container;
};

const BoardControl kControls[] = {
#define OVEL_BOARD_CONTROL(Name, KindName, Container) {#Name, IDC_##Name, Kind::KindName, #Container},
#include "resources/player/BoardControls.h"
#undef OVEL_BOARD_CONTROL
};

constexpr char kBoardClass[] = "TOvelMainForm";
constexpr char kBoardTemplate[] = "TOVELMAINFORM";
constexpr char kBoardItself[] = "Board";

// Pairs that share a spot by design.
const std::set<std::pair<std::string, std::string>> kSharedSpots = {
    {"OvelComboBox", "OvelLabel"},  // scene choice, or the scene's name while alternating
    {"SpkAnimate", "SpkOffImage"},  // playing, or silent
    {"VShape", "HShape"},           // the placement pad's crosshair
};

const char* WindowClassOf(Kind kind)
{
    switch (kind) {
        case Kind::CheckBox:
        case Kind::RadioButton:
        case Kind::BitBtn:
        case Kind::GroupBox:
            return "Button";
        case Kind::ComboBox:
            return "ComboBox";
        case Kind::TrackBar:
            return TRACKBAR_CLASSA;
        case Kind::DateTimePicker:
            return DATETIMEPICK_CLASSA;
        case Kind::SpinButton:
            return UPDOWN_CLASSA;
        case Kind::Animate:
            return ANIMATE_CLASSA;
        case Kind::Label:
        case Kind::Image:
        case Kind::Shape:
        case Kind::Panel:
            return "Static";
    }
    return "";
}

// The button styles a kind accepts; empty for controls that are no buttons.
std::set<LONG> ButtonTypesOf(Kind kind)
{
    switch (kind) {
        case Kind::CheckBox:
            return {BS_AUTOCHECKBOX, BS_AUTO3STATE};
        case Kind::RadioButton:
            return {BS_AUTORADIOBUTTON};
        case Kind::BitBtn:
            return {BS_PUSHBUTTON, BS_DEFPUSHBUTTON};
        case Kind::GroupBox:
            return {BS_GROUPBOX};
        default:
            return {};
    }
}

INT_PTR CALLBACK BoardDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

class BoardTemplate : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_DATE_CLASSES |
                                                          ICC_UPDOWN_CLASS | ICC_ANIMATE_CLASS};
        ASSERT_TRUE(InitCommonControlsEx(&classes));
        WNDCLASSA boardClass{};
        boardClass.lpfnWndProc = DefDlgProcA;
        boardClass.cbWndExtra = DLGWINDOWEXTRA;
        boardClass.hInstance = GetModuleHandleA(nullptr);
        boardClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        boardClass.lpszClassName = kBoardClass;
        ASSERT_NE(RegisterClassA(&boardClass), 0);
        board_ = CreateDialogParamA(GetModuleHandleA(nullptr), kBoardTemplate, nullptr, BoardDialogProc, 0);
        ASSERT_NE(board_, nullptr) << "error " << GetLastError();
    }

    static void TearDownTestSuite()
    {
        DestroyWindow(board_);
        UnregisterClassA(kBoardClass, GetModuleHandleA(nullptr));
    }

    static HWND Item(const BoardControl& control) { return GetDlgItem(board_, control.id); }

    // A control's rectangle in the board's client coordinates.
    static RECT RectOf(const BoardControl& control)
    {
        RECT rect{};
        GetWindowRect(Item(control), &rect);
        MapWindowPoints(nullptr, board_, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    static RECT ContainerRect(const char* container)
    {
        if (std::string(container) == kBoardItself) {
            RECT client{};
            GetClientRect(board_, &client);
            return client;
        }
        return RectOf(Find(container));
    }

    static const BoardControl& Find(const std::string& name)
    {
        for (const auto& control : kControls) {
            if (name == control.name)
                return control;
        }
        ADD_FAILURE() << "no control " << name;
        return kControls[0];
    }

    static bool Holds(const std::string& outer, const BoardControl& inner)
    {
        for (std::string up = inner.container; up != kBoardItself; up = Find(up).container) {
            if (up == outer)
                return true;
        }
        return false;
    }

    static HWND board_;
};

HWND BoardTemplate::board_ = nullptr;

bool Inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

std::string ClassNameOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

TEST_F(BoardTemplate, BoardHasTheClassThatASecondStartLooksFor)
{
    EXPECT_EQ(ClassNameOf(board_), kBoardClass);
    EXPECT_EQ(FindWindowA(kBoardClass, nullptr), board_);
    EXPECT_FALSE(IsWindowVisible(board_));
}

TEST_F(BoardTemplate, EveryControlExistsWithTheWindowClassOfItsKind)
{
    for (const auto& control : kControls) {
        SCOPED_TRACE(control.name);
        HWND item = Item(control);
        ASSERT_NE(item, nullptr);
        EXPECT_STRCASEEQ(ClassNameOf(item).c_str(), WindowClassOf(control.kind));
        auto buttonTypes = ButtonTypesOf(control.kind);
        if (!buttonTypes.empty()) {
            EXPECT_EQ(buttonTypes.count(GetWindowLongA(item, GWL_STYLE) & BS_TYPEMASK), 1u);
        }
    }
}

TEST_F(BoardTemplate, IdsFileListsTheControlsOnceInTableOrder)
{
    std::ifstream ids(OVEL_SOURCE_DIR "/resources/player/BoardIds.h");
    ASSERT_TRUE(ids) << "BoardIds.h not found";
    std::vector<std::string> names;
    std::set<int> numbers;
    for (std::string word; ids >> word;) {
        if (word != "#define")
            continue;
        std::string name;
        int number = 0;
        ids >> name >> number;
        names.push_back(name.substr(4));
        EXPECT_TRUE(numbers.insert(number).second) << name << " reuses " << number;
    }
    ASSERT_EQ(names.size(), std::size(kControls));
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(names[i], kControls[i].name);
}

TEST_F(BoardTemplate, EveryControlLiesInsideItsContainerAndTheClientArea)
{
    RECT client = ContainerRect(kBoardItself);
    for (const auto& control : kControls) {
        SCOPED_TRACE(control.name);
        RECT rect = RectOf(control);
        EXPECT_GT(rect.right, rect.left);
        EXPECT_GT(rect.bottom, rect.top);
        EXPECT_TRUE(Inside(rect, client));
        EXPECT_TRUE(Inside(rect, ContainerRect(control.container))) << "outside " << control.container;
    }
}

TEST_F(BoardTemplate, ControlsOverlapOnlyTheContainersThatHoldThem)
{
    for (const auto& a : kControls) {
        for (const auto& b : kControls) {
            if (&a >= &b || kSharedSpots.count({a.name, b.name}) || kSharedSpots.count({b.name, a.name}))
                continue;
            RECT ra = RectOf(a), rb = RectOf(b), common{};
            if (IntersectRect(&common, &ra, &rb) && !Holds(a.name, b) && !Holds(b.name, a)) {
                ADD_FAILURE() << a.name << " overlaps " << b.name;
            }
        }
    }
}

TEST_F(BoardTemplate, VolumeTrackBarSitsInsideThePaintedWedge)
{
    // The board paints a wedge round the volume track bar at fixed pixels.
    const RECT wedge{150, 8, 259, 43};
    EXPECT_TRUE(Inside(RectOf(Find("VolumeTrackBar")), wedge));
}

TEST_F(BoardTemplate, SpeakerAnimationOpensInItsControl)
{
    HWND speaker = Item(Find("SpkAnimate"));
    EXPECT_TRUE(SendMessageA(speaker, ACM_OPENA, reinterpret_cast<WPARAM>(GetModuleHandleA(nullptr)),
                             reinterpret_cast<LPARAM>("speaker")));
    EXPECT_TRUE(SendMessageA(speaker, ACM_PLAY, static_cast<WPARAM>(-1), MAKELPARAM(0, 0xFFFF)));
    EXPECT_TRUE(SendMessageA(speaker, ACM_STOP, 0, 0));
    EXPECT_FALSE(SendMessageA(speaker, ACM_OPENA, reinterpret_cast<WPARAM>(GetModuleHandleA(nullptr)),
                              reinterpret_cast<LPARAM>("nosuchclip")));
}

// The tray takes an .ico file from a resource of type "I"; every image in it
// must make an icon.
class TrayIcon : public ::testing::TestWithParam<const char*> {};

#pragma pack(push, 1)
struct IconDirEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes, offset;
};
#pragma pack(pop)

TEST_P(TrayIcon, LoadsFromTypeIInEverySize)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, GetParam(), "I");
    ASSERT_NE(found, nullptr);
    auto data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    DWORD size = SizeofResource(module, found);
    ASSERT_GE(size, 6u);
    WORD count = reinterpret_cast<const WORD*>(data)[2];
    ASSERT_GE(count, 2u);
    std::set<int> widths;
    for (WORD i = 0; i < count; ++i) {
        const auto* entry = reinterpret_cast<const IconDirEntry*>(data + 6 + i * sizeof(IconDirEntry));
        ASSERT_LE(entry->offset + entry->bytes, size);
        HICON icon = CreateIconFromResourceEx(const_cast<BYTE*>(data + entry->offset), entry->bytes, TRUE, 0x00030000,
                                              entry->width, entry->height, 0);
        EXPECT_NE(icon, nullptr) << "image " << i;
        DestroyIcon(icon);
        widths.insert(entry->width);
    }
    EXPECT_EQ(widths, (std::set<int>{16, 32}));
}

// Names in lower case, as the board asks for them.
INSTANTIATE_TEST_SUITE_P(ByStateAndScene, TrayIcon,
                         ::testing::Values("if", "ift", "ifx", "ifxt", "ifn", "ifnt", "ifnx", "ifnxt"));

struct Picture {
    const char* name;
    UINT type;
    int width, height;
};

class BoardPicture : public ::testing::TestWithParam<Picture> {};

TEST_P(BoardPicture, LoadsInItsSize)
{
    const Picture& picture = GetParam();
    HANDLE image = LoadImageA(GetModuleHandleA(nullptr), picture.name, picture.type, 0, 0,
                              picture.type == IMAGE_ICON ? 0 : LR_CREATEDIBSECTION);
    ASSERT_NE(image, nullptr) << picture.name;
    if (picture.type == IMAGE_BITMAP) {
        BITMAP bitmap{};
        GetObjectA(image, sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidth, picture.width);
        EXPECT_EQ(bitmap.bmHeight, picture.height);
        DeleteObject(image);
    } else {
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(static_cast<HICON>(image), &info));
        BITMAP bitmap{};
        GetObjectA(info.hbmColor, sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidth, picture.width);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(static_cast<HICON>(image));
    }
}

constexpr int kPopupImages = 11;
constexpr int kSmallImage = 16;

INSTANTIATE_TEST_SUITE_P(AllOfThem, BoardPicture,
                         ::testing::Values(Picture{"MAINICON", IMAGE_ICON, 16, 16},
                                           Picture{"SPKOFF", IMAGE_ICON, 32, 32}, Picture{"DAYON", IMAGE_ICON, 16, 16},
                                           Picture{"NIGHTON", IMAGE_ICON, 16, 16},
                                           Picture{"MINIMIZE", IMAGE_ICON, 16, 16},
                                           Picture{"POPUPIMAGES", IMAGE_BITMAP, kPopupImages* kSmallImage, kSmallImage},
                                           Picture{"CHIMEFILE", IMAGE_BITMAP, 48, 48},
                                           Picture{"VSPLIT", IMAGE_CURSOR, 32, 32}),
                         [](const ::testing::TestParamInfo<Picture>& param) { return std::string(param.param.name); });

}  // namespace
