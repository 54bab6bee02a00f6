// The board's start, hiding and shut-down, its window messages and keys.
#include "player/window/MainForm.h"

#include "platform/forms/Application.h"
#include "platform/forms/Charsets.h"
#include "platform/forms/Registry.h"
#include "player/engine/Layers.h"
#include "player/engine/SoundBanks.h"
#include "player/engine/StartUp.h"
#include "player/engine/SystemInfoLine.h"
#include "player/settings/BoardDesign.h"
#include "resources/player/BoardIds.h"
#include "support/LangUnit.h"
#include "support/ProgInfo.h"
#include "support/SystemFolders.h"
#include "support/SystemMute.h"
#include "support/WinVer.h"

#include <atomic>
#include <exception>

int OutputDevice = 1;
std::string OutputDeviceName;
int DefaultDeviceItem = -1;
BASS_DEVICEINFO DeviceInfo{};
bool DeviceFailed = false;
bool EmulatedDriver = false;
bool LoadingSettings = false;
bool BoardStarting = false;
UINT TaskbarCreatedMsg = 0;
std::string AlarmFileName;
TOvelMainForm* OvelMainForm = nullptr;

namespace {

constexpr const char* kBoardTemplate = "TOVELMAINFORM";
constexpr const char* kApplicationIcon = "MAINICON";
constexpr const char* kSpeakerAnimation = "SPEAKER";
constexpr const char* kPopupImages = "POPUPIMAGES";
constexpr TColor kPopupImageMask = 0xFF00FF;

// The other images of the tray menu's strip.
constexpr int kStartRainImage = 2;
constexpr int kDayForestImage = 4;
constexpr int kNightForestImage = 5;
constexpr int kHotKeysImage = 6;
constexpr int kAboutImage = 7;
constexpr int kLiveUpdateImage = 8;
constexpr int kControlBoardImage = 9;
constexpr int kExitImage = 10;

constexpr UINT kTrayIconFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
// The layers' END and device-failure events, carried to the GUI thread.
constexpr UINT kLayerEventMessage = WM_APP + 1;

constexpr WPARAM kSysCommandMask = 0xFFF0;  // the low four bits are the system's own
constexpr DWORD kHideAnimation = AW_HIDE | AW_CENTER;
constexpr int kTaskbarGap = 40;

constexpr const char* kNoLanguageHintRussian =
    "Пожалуйста, свяжитесь с автором\r\nдля совместного создания интерфейса программы\r\nна Вашем родном языке!";
constexpr const char* kNoLanguageHintEnglish =
    "Please contact the author\r\nfor your native language\r\nprogram interface codesign!";

// The banks the start requires; the other handles end with the process.
constexpr TBankId kRequiredBanks[] = {sbOvda, sbOvdb, sbOvna, sbOvnb};

std::atomic<HWND> LayerEventWindow{nullptr};

// Runs on the audio library's sync thread and on workers: only a message leaves it.
void PostLayerEvent(TLayerEvent event, TLayerId layer, DWORD data)
{
    if (HWND board = LayerEventWindow.load())
        PostMessageA(board, kLayerEventMessage, MAKEWPARAM(static_cast<WORD>(event), static_cast<WORD>(layer)),
                     static_cast<LPARAM>(data));
}

struct TTimeDesign {
    TDateTimePicker TOvelMainForm::*Control;
    int Hour;
    int Minute;
};

constexpr TTimeDesign kTimeDesign[] = {
    {&TOvelMainForm::TessilDateTimePicker, 10, 0},  {&TOvelMainForm::MuteDateTimePicker, 1, 0},
    {&TOvelMainForm::AlarmTimePicker, 6, 30},       {&TOvelMainForm::DayOnDateTimePicker, 9, 0},
    {&TOvelMainForm::NightOnDateTimePicker, 20, 0},
};
constexpr const char* kTimeFormat = "HH:mm";

}  // namespace

// Window animation and shadow belong to the look of NT from XP up to before Windows 10.
bool TOvelMainForm::AnimatedLook() { return !OldWindowsLook && !Win10OrLater; }

void TOvelMainForm::TTrackBar::Attached()
{
    ::TTrackBar::Attached();
    SetStyleBits(TBS_DOWNISLEFT, 0);
}

void TOvelMainForm::TTrackBar::WndProc(TMessage& message)
{
    if (message.Msg != WM_MOUSEWHEEL) {
        ::TTrackBar::WndProc(message);
        return;
    }
    const short delta = GET_WHEEL_DELTA_WPARAM(message.WParam);
    SetPosition(Position() + (delta > 0 ? 1 : -1));
    message.Result = 0;
}

TOvelMainForm::TOvelMainForm()
{
    OnCreate = [this](TObject* sender) { FormCreate(sender); };
    created_ = CreateFromTemplate(kBoardTemplate);
}

TOvelMainForm::~TOvelMainForm() { FormDestroy(this); }

void TOvelMainForm::CreateParams(TCreateParams& params)
{
    params.WindowClassName = kBoardClassName;
    if (AnimatedLook())
        params.WindowClassStyle |= CS_DROPSHADOW;
}

void TOvelMainForm::AttachControls()
{
#define OVEL_BOARD_CONTROL(Name, Kind, Container) Name.Attach(*this, IDC_##Name);
#include "resources/player/BoardControls.h"
#undef OVEL_BOARD_CONTROL
    SetDesignValues();
    FillSceneList();
    FillDesignLists();
    SetMenu();
    AttachHandlers();
}

// What the board shows before any setting is applied.
void TOvelMainForm::SetDesignValues()
{
    for (const TTrackBarDesign& design : TrackBarDesign) {
        auto& trackBar = dynamic_cast<::TTrackBar&>(*Control(design.Item));
        trackBar.SetRange(design.Min, design.Max);
        trackBar.SetPosition(design.Position);
    }
    for (const TTimeDesign& design : kTimeDesign) {
        const TDateTimePicker& picker = this->*design.Control;
        picker.SetFormat(kTimeFormat);
        picker.SetTime(EncodeTime(design.Hour, design.Minute));
    }
    PlayCheckBox.SetChecked(true);
    AlternateCheckBox.SetChecked(true);
    ScheduleTimer.SetInterval(kPlayingScheduleInterval);
}

// The scenes' names come with the language.
void TOvelMainForm::FillSceneList()
{
    for (int scene : {kDayScene, kNightScene})
        OvelComboBox.Items.Add("", scene);
    OvelComboBox.SetItemIndex(kDayScene);
}

void TOvelMainForm::SetMenu()
{
    PopUpImageList.AddStrip(kPopupImages, kPopupImageMask);
    PopupMenu1.Images = &PopUpImageList;
    const struct {
        TMenuItem& Item;
        int Image;
    } items[] = {
        {Forest, kDayForestImage},       {ForestN, kNightForestImage}, {RainNow, kStartRainImage},
        {HotKeys, kHotKeysImage},        {About, kAboutImage},         {LiveUpdate, kLiveUpdateImage},
        {Customize, kControlBoardImage}, {Exit, kExitImage},
    };
    for (const auto& item : items)
        item.Item.ImageIndex = item.Image;
    PlayOnOff.ImageIndex = kSoundOnImage;
    // Their windows come later; until then they are not offered.
    for (TMenuItem* item : {&About, &LiveUpdate})
        item->Visible = false;
    PopupMenu1.Add(PlayOnOff);
    PopupMenu1.AddSeparator();
    PopupMenu1.Add(Forest);
    PopupMenu1.Add(ForestN);
    PopupMenu1.AddSeparator();
    for (TMenuItem* item : {&RainNow, &HotKeys, &About, &LiveUpdate, &Customize, &Exit})
        PopupMenu1.Add(*item);
}

void TOvelMainForm::AttachHandlers()
{
    Bind(OnClose, &TOvelMainForm::FormClose);
    Bind(OnDestroy, &TOvelMainForm::FormDestroy);
    Bind(OnPaint, &TOvelMainForm::FormPaint);
    Bind(OnKeyDown, &TOvelMainForm::FormKeyDown);
    KeyPreview = true;

    Bind(PlayOnOff.OnClick, &TOvelMainForm::PlayOnOffClick);
    Bind(Forest.OnClick, &TOvelMainForm::ForestClick);
    Bind(ForestN.OnClick, &TOvelMainForm::ForestNClick);
    Bind(Customize.OnClick, &TOvelMainForm::CustomizeClick);
    Bind(Exit.OnClick, &TOvelMainForm::ExitClick);
    Bind(ExitBitBtn.OnClick, &TOvelMainForm::ExitClick);
    Bind(WrapBitBtn.OnClick, &TOvelMainForm::WrapBitBtnClick);
    Bind(MinimizeImage.OnClick, &TOvelMainForm::MinimizeImageClick);

    Bind(PlayCheckBox.OnClick, &TOvelMainForm::PlayCheckBoxClick);
    Bind(OvelComboBox.OnSelect, &TOvelMainForm::OvelComboBoxSelect);
    Bind(OvelComboBox.OnDrawItem, &TOvelMainForm::OvelComboBoxDrawItem);
    DeviceComboBox.SetChoiceOnly(true);
    Bind(DeviceComboBox.OnSelect, &TOvelMainForm::DeviceComboBoxSelect);
    Bind(DeviceComboBox.OnKeyPress, &TOvelMainForm::DeviceComboBoxKeyPress);
    Bind(DeviceComboBox.OnDropDown, &TOvelMainForm::DeviceComboBoxDropDown);
    Bind(DeviceComboBox.OnDrawItem, &TOvelMainForm::DeviceComboBoxDrawItem);
    Bind(HWMCheckBox.OnClick, &TOvelMainForm::HWMCheckBoxClick);
    AttachHotKeysHandlers();
    AttachControlHandlers();
    AttachLayerHandlers();
    AttachPadHandlers();
    AttachLanguageHandlers();
    AttachSettingsHandlers();
    AttachSoundscapeHandlers();
    AttachChimesHandlers();
    AttachAlarmHandlers();
    AttachScheduleHandlers();
}

namespace {

// A control's state as the layers read it, by its kind.
// A three-state box answers 2 while grayed.
int StateOf(const TCheckBox& box) { return static_cast<int>(box.Perform(BM_GETCHECK)); }
int StateOf(const TRadioButton& button) { return button.Checked() ? 1 : 0; }
int StateOf(const ::TTrackBar& trackBar) { return trackBar.Position(); }
int StateOf(const TComboBox& combo) { return combo.ItemIndex(); }
int StateOf(const TControl&) { return 0; }

}  // namespace

int TOvelMainForm::Value(TBoardControl control) const
{
    switch (control) {
#define OVEL_BOARD_CONTROL(Name, Kind, Container)                                                                      \
    case TBoardControl::Name:                                                                                          \
        return StateOf(Name);
#include "resources/player/BoardControls.h"
#undef OVEL_BOARD_CONTROL
    }
    return 0;
}

void TOvelMainForm::FormCreate(TObject*)
{
    // The layers may report a lost device before the constructor returns.
    OvelMainForm = this;
    BoardStarting = true;
    LoadingSettings = true;
    SpkAnimate.SetResName(kSpeakerAnimation);
    UnmuteSystemSound();
    AddTrayIcon();
    ListDevices();
    RestoreDeviceAndPlace();
    FillLanguageList();
    if (!IsNTPlatform()) {
        ExportBitBtn.Hide();
        ImportBitBtn.Hide();
    }
    SetControls();
    SetButtonGlyphs();
    SetSCs();
    Option6Preview = false;
    RouteLayerEvents(Handle());
    SetDeviceFailHandler(OnOutputDeviceFail);
    SetLayerBoard(this);
    StartSoundscape();
    OvelComboBoxSelect(nullptr);
    PassOnEarlyRainDraw();
    ListUserFolders();
    BoardStarting = false;
    Bind(Screen.OnActiveControlChange, &TOvelMainForm::RestorePositionMarker);
    LoadPlugins();
    StartSchedule();
}

void TOvelMainForm::AddTrayIcon()
{
    TrayIconData.cbSize = NOTIFYICONDATAW_V1_SIZE;
    TrayIconData.hWnd = Handle();
    TrayIconData.uID = kTrayIconId;
    TrayIconData.uFlags = kTrayIconFlags;
    TrayIconData.uCallbackMessage = kTrayCallbackMessage;
    TrayIconData.hIcon = Application.Icon;
    TrayIconData.szTip[0] = L'\0';
    TaskbarCreatedMsg = RegisterWindowMessageA("TaskbarCreated");
    Shell_NotifyIconW(NIM_ADD, &TrayIconData);
}

void TOvelMainForm::ListDevices()
{
    for (DWORD device = 1; BASS_GetDeviceInfo(device, &DeviceInfo); ++device)
        DeviceComboBox.Items.Add(DeviceInfo.name, static_cast<std::intptr_t>(device));
    OutputDevice = 1;
    DeviceComboBox.SetItemIndex(0);
}

// The remembered device and board place; a value out of range gives the default.
void TOvelMainForm::RestoreDeviceAndPlace()
{
    TRegistry& registry = *ProgRegistry;
    const bool opened = OpenProductKey();
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    if (opened)
        registry.WriteString("TheLastRunFolder", folder);

    const std::optional<std::string> deviceName = opened ? registry.ReadString("DeviceName") : std::nullopt;
    const std::optional<int> storedItem =
        deviceName ? std::optional<int>(DeviceComboBox.Items.IndexOf(*deviceName)) : std::nullopt;
    OutputDevice = StartDevice(storedItem, DeviceComboBox.Items.Count(), DefaultDevice);
    DeviceComboBox.SetItemIndex(OutputDevice - 1);

    const std::optional<std::int32_t> left = opened ? registry.ReadInteger("BoardLeft") : std::nullopt;
    const std::optional<std::int32_t> top = opened ? registry.ReadInteger("BoardTop") : std::nullopt;
    registry.CloseKey();
    PlaceBoard(left, top);
}

// A stored place only where the whole board shows; else the bottom right corner.
void TOvelMainForm::PlaceBoard(std::optional<int> left, std::optional<int> top)
{
    const RECT bounds = Bounds();
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    const int spareWidth = GetSystemMetrics(SM_CXSCREEN) - width;
    const int spareHeight = GetSystemMetrics(SM_CYSCREEN) - height;
    const int boardLeft = left && *left >= 0 && *left < spareWidth ? *left : spareWidth;
    const int boardTop = top && *top >= 0 && *top < spareHeight ? *top : spareHeight - kTaskbarGap;
    SetBounds(boardLeft, boardTop, width, height);
}

void TOvelMainForm::FillLanguageList()
{
    // Each name in its own module's code page.
    LangComboBox.Items.BeginUpdate();
    for (std::size_t i = 0; i < LangNames.size(); ++i)
        LangComboBox.Items.AddInCodePage(LangNames[i], CodePageOfCharset(LangCharsets[i]));
    LangComboBox.Items.EndUpdate();
    LangComboBox.SetItemIndex(CurrentLangIndex);
    if (MatchedLangIndex >= 0)
        return;
    LangComboBox.SetHint(RussianUI ? kNoLanguageHintRussian : kNoLanguageHintEnglish);
    LangComboBox.SetShowHint(true);
}

void TOvelMainForm::SetButtonGlyphs()
{
    RainBitBtn.SetGlyph(PopUpImageList.Bitmap(kStartRainImage, clBtnFace));
    LiveUpdateBitBtn.SetGlyph(PopupMenu1.Bitmap(LiveUpdate));
    HotKeysBitBtn.SetGlyph(PopupMenu1.Bitmap(HotKeys));
}

void TOvelMainForm::FormClose(TObject*, TCloseAction& action)
{
    action = caNone;
    if (AnimatedLook())
        AnimateWindow(Handle(), kBoardSlide, kHideAnimation);
    else
        Hide();
    Application.Minimize();
    ShowWindow(Application.Handle(), SW_HIDE);
    Customize.Enabled = true;
}

void TOvelMainForm::ExitClick(TObject*) { Application.Terminate(); }

// Runs once, whichever way the program ends: Exit, a posted WM_QUIT, the end
// of the Windows session or the window's destruction.
void TOvelMainForm::FormDestroy(TObject*)
{
    if (destroyed_ || !created_)
        return;
    destroyed_ = true;
    ScheduleTimer.SetEnabled(false);
    BASS_PluginFree(0);
    StopOvel();
    // The rest of the shut-down runs whatever the registry did.
    try {
        SaveOptions();
    } catch (const std::exception&) {
    }
    EndSoundscape();
    SetLayerBoard(nullptr);
    RouteLayerEvents(nullptr);
    SetDeviceFailHandler(nullptr);
    for (TBankId bank : kRequiredBanks)
        SoundBanks[bank].Handle.reset();
    FreeSCs();
    Shell_NotifyIconW(NIM_DELETE, &TrayIconData);
    Screen.OnActiveControlChange = nullptr;
    Application.OnMessage = nullptr;
    Application.OnWindowMessage = nullptr;
    placing_ = {};
}

void TOvelMainForm::FormKeyDown(TObject*, WORD& key, TShiftState shift)
{
    if (key == VK_F4 && (shift & ssAlt)) {
        key = 0;
        ExitClick(this);
    } else if (key == VK_ESCAPE) {
        key = 0;
        WrapBitBtnClick(this);
    }
}

// The wedge round the volume control, in the play state's colour.
void TOvelMainForm::FormPaint(TObject*)
{
    constexpr int kWedgeLeft = 18;
    constexpr int kWedgeBelow = 3;
    constexpr int kWedgeRight = 1;
    constexpr int kWedgeAbove = 14;
    const RECT volume = VolumeTrackBar.Bounds();
    const POINT start{volume.left - kWedgeLeft, volume.bottom + kWedgeBelow};
    const POINT corner{volume.right + kWedgeRight, start.y};
    const POINT tip{corner.x, volume.top - kWedgeAbove};
    TCanvas& canvas = Canvas();
    canvas.Pen.Color = PlayCheckBox.Checked() ? clGradientActiveCaption : SceneColor();
    canvas.Pen.Width = 1;
    canvas.Pen.Style = PS_SOLID;
    canvas.MoveTo(start.x, start.y);
    canvas.LineTo(corner.x, corner.y);
    canvas.LineTo(tip.x, tip.y);
    canvas.LineTo(start.x, start.y);
}

void TOvelMainForm::WndProc(TMessage& message)
{
    if (TaskbarCreatedMsg != 0 && message.Msg == TaskbarCreatedMsg)
        Shell_NotifyIconW(NIM_ADD, &TrayIconData);
    if (HandleLayerEventMessage(message))
        return;
    switch (message.Msg) {
        case kTrayCallbackMessage:
            TrayMessage(message.LParam);
            message.Result = 0;
            return;
        case WM_APP:
            TForm::WndProc(message);
            CustomizeClick(this);
            return;
        case WM_HOTKEY:
            WMHotKey(message);
            return;
        case WM_SYSCOMMAND:
            // Minimised the board would be out of reach: it goes to the tray as Esc sends it.
            if ((message.WParam & kSysCommandMask) == SC_MINIMIZE) {
                Close();
                message.Result = 0;
                return;
            }
            break;
        default:
            if (SessionMessage(message))
                return;
            break;
    }
    TForm::WndProc(message);
}

// Windows may end the process once WM_ENDSESSION returns: shut down first.
bool TOvelMainForm::SessionMessage(TMessage& message)
{
    if (message.Msg == WM_QUERYENDSESSION) {
        message.Result = TRUE;
        return true;
    }
    if (message.Msg == WM_ENDSESSION && message.WParam) {
        FormDestroy(this);
        Application.Terminate();
        message.Result = 0;
        return true;
    }
    return false;
}

void RouteLayerEvents(HWND window)
{
    LayerEventWindow.store(window);
    SetLayerEventPoster(window ? PostLayerEvent : nullptr);
}

bool HandleLayerEventMessage(TMessage& message)
{
    if (message.Msg != kLayerEventMessage)
        return false;
    DispatchLayerEvent(static_cast<TLayerEvent>(LOWORD(message.WParam)), static_cast<TLayerId>(HIWORD(message.WParam)),
                       static_cast<DWORD>(message.LParam));
    message.Result = 0;
    return true;
}

bool PrepareApplication()
{
    if (!Application.Initialize())
        return false;
    Application.Icon = LoadIconA(GetModuleHandleA(nullptr), kApplicationIcon);
    Application.ShowMainForm = false;
    Application.Minimize();
    ShowWindow(Application.Handle(), SW_HIDE);
    return true;
}

bool CreateOvelMainForm()
{
    OvelMainForm = new TOvelMainForm;
    if (OvelMainForm->Created()) {
        Application.SetMainForm(OvelMainForm);
        return true;
    }
    FreeOvelMainForm();
    return false;
}

void FreeOvelMainForm()
{
    delete OvelMainForm;
    OvelMainForm = nullptr;
}
