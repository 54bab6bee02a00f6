#pragma once
// The control board: the player's one main window, hidden most of the time,
// with its tray icon and menu. The live value of nearly every option is the
// state of one of its controls.

#include "platform/audio/bass.h"
#include "platform/forms/ComCtrls.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/ImageList.h"
#include "platform/forms/Menus.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/Timers.h"
#include "player/engine/ClipPlacement.h"
#include "player/engine/LayerBoard.h"
#include "player/engine/Layers.h"
#include "player/engine/RainPhases.h"
#include "player/window/HotKeys.h"
#include "player/window/PlacementPad.h"
#include "player/window/BoardState.h"
#include "player/window/Scenes.h"
#include "player/window/SoundSpaceLimiter.h"
#include "player/settings/PackedWords.h"
#include "player/settings/SceneLoader.h"
#include "player/settings/SettingsLoader.h"
#include "player/window/Schedule.h"
#include "player/window/SunCalendar.h"

#include <shellapi.h>

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

// The output (owned by the board's unit; DefaultDevice lives with the start).
extern int OutputDevice;
extern std::string OutputDeviceName;  // the combo's text when the output last opened
extern int DefaultDeviceItem;         // combo index of the system default device; -1 when none
extern BASS_DEVICEINFO DeviceInfo;
extern bool DeviceFailed;  // the output device was lost
extern bool EmulatedDriver;

// While set, settings writers return at once, and messages and restarts are skipped.
extern bool LoadingSettings;
extern bool BoardStarting;

extern UINT TaskbarCreatedMsg;
// The tray icon's id and its callback message, in the application's range:
// the numbers from WM_USER on are the dialog's own.
constexpr UINT kTrayIconId = 193;
constexpr UINT kTrayCallbackMessage = WM_APP + 2;

// The last bird activity or bonfire strength applied (-1: none yet); the
// markers' places on the placement pads are the engine's (ClipPlacement.h).
extern int LastOption1Position;
extern std::string AlarmFileName;  // the alarm's own sound file; empty for none

// Scene colours; the text is drawn in clGradientActiveCaption in both.
constexpr TColor kDayColor = 0x008000;
constexpr TColor kNightColor = 0x393635;

class TOvelMainForm : public TForm, public TLayerBoard {
public:
    // The board's trackbars: down is left, and one wheel message moves one step.
    class TTrackBar : public ::TTrackBar {
    protected:
        void Attached() override;
        void WndProc(TMessage& message) override;
    };
    using TSpinButton = TUpDown;

    // Makes the board from its template; FormCreate runs inside.
    TOvelMainForm();
    ~TOvelMainForm() override;
    bool Created() const { return created_; }

#define OVEL_BOARD_CONTROL(Name, Kind, Container) T##Kind Name;
#include "resources/player/BoardControls.h"
#undef OVEL_BOARD_CONTROL

    TPopupMenu PopupMenu1;
    TMenuItem PlayOnOff;
    TMenuItem Forest;
    TMenuItem ForestN;
    TMenuItem RainNow;
    TMenuItem HotKeys;
    TMenuItem About;
    TMenuItem LiveUpdate;
    TMenuItem Customize;
    TMenuItem Exit;
    TImageList PopUpImageList{16, 16};
    TTimer ScheduleTimer;

    // Start, hiding and shut-down.
    void FormCreate(TObject* sender);
    void FormClose(TObject* sender, TCloseAction& action);
    void FormDestroy(TObject* sender);
    void ExitClick(TObject* sender);
    void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);
    void FormPaint(TObject* sender);

    // Output.
    // False when the device could not be opened.
    bool AudioIni();
    void PlayOvel();
    void StopOvel();
    void FillInDeviceCB(bool keepName);
    bool DeviceFailRestored();
    void DeviceComboBoxSelect(TObject* sender);
    void DeviceComboBoxKeyPress(TObject* sender, char& key);
    void DeviceComboBoxDropDown(TObject* sender);
    void DeviceComboBoxDrawItem(TObject* control, int index, const RECT& rect, UINT state);
    void HWMCheckBoxClick(TObject* sender);
    void BackToCBList();
    void LoseOutput();
    void ShowDeviceLost();

    // Scene and play switch.
    void ForestClick(TObject* sender);
    void ForestNClick(TObject* sender);
    void OvelComboBoxSelect(TObject* sender);
    void OvelComboBoxDrawItem(TObject* control, int index, const RECT& rect, UINT state);
    void SetTBColor(::TTrackBar& trackBar, TColor color);
    void PlayCheckBoxClick(TObject* sender);

    // Tray and showing.
    void MainIcon(const std::string& resourceName, const std::string& resourceType);
    void SetMainIcon();
    void PlayOnOffLook();
    void PlayOnOffClick(TObject* sender);
    void CustomizeClick(TObject* sender);
    void MinimizeImageClick(TObject* sender);
    void WrapBitBtnClick(TObject* sender);

    // Soundscape layers: the wind's and the rain's timers, the rain toggle
    // and its phases, the user folders' controls, the looks the layers ask for.
    TTimer FWindTimer;
    TTimer RainTimer;
    void StartFWind();
    void StopFWind();
    void FWindTimerTimer(TObject* sender);
    void RainNowClick(TObject* sender);
    // A background layer's rain draw came up.
    void RainDrawn();
    void RainTimerTimer(TObject* sender);
    void OnRainFadeOut(unsigned ms);
    void OnRainFadeIn(unsigned ms);
    void RainFadeOut(unsigned ms);
    void StopRain();
    void MusicAutoAllocCheckBoxClick(TObject* sender);
    void MusicFolderComboBoxDropDown(TObject* sender);
    void MusicFolderTrackBarEnter(TObject* sender);
    void MusicFolderTrackBarChange(TObject* sender);
    void NatureAutoAllocCheckBoxClick(TObject* sender);
    void NatureFolderComboBoxDropDown(TObject* sender);
    void NatureFolderTrackBarEnter(TObject* sender);
    void NatureFolderTrackBarChange(TObject* sender);
    void SetLook(TBoardControl control, TLook look, const std::string& text) override;
    // Global hot keys. Each action's setter registers its shortcut with the
    // board window after releasing what the action held (a shortcut of 0 only
    // releases); false when the system refused the key.
#define OVEL_HOT_KEY(Name, AtomName, RegistryValue, LabelKey, MenuItem)                                                \
    bool Set##Name##SC() { return SetHotKeySC(hk##Name); }
#include "player/window/HotKeyActions.h"
#undef OVEL_HOT_KEY
    // The hot-key settings of the registry, and the registrations they ask for.
    void SetSCs();
    // Releases every registration and atom.
    void FreeSCs();
    void WMHotKey(TMessage& message);
    void HotKeysClick(TObject* sender);
    // What each key does.
#define OVEL_HOT_KEY(Name, AtomName, RegistryValue, LabelKey, MenuItem) void Name##Key();
#include "player/window/HotKeyActions.h"
#undef OVEL_HOT_KEY
    // Control handlers, layer switches, placement pads and the limiter.
    // Live trackbars, the automation and device boxes, the shared routines.
    void VolumeTrackBarChange(TObject* sender);
    void WindVolumeTrackBarChange(TObject* sender);
    void OptionTrackBarChange(TObject* sender);
    void Option1TrackBarChange(TObject* sender);
    void Option1TrackBar1Change(TObject* sender);
    void AutoStartCheckBoxClick(TObject* sender);
    void AutoStartComboBoxChange(TObject* sender);
    void AsServiceCheckBoxClick(TObject* sender);
    void TessilCheckBoxClick(TObject* sender);
    void StormCheckBoxClick(TObject* sender);
    void MemoryCleanCheckBoxClick(TObject* sender);
    void TrimWorkingSet();
    void NatureSubfoldersCheckBoxClick(TObject* sender);
    void MusicSubfoldersCheckBoxClick(TObject* sender);
    void DeviceRadioButtonClick(TObject* sender);
    void AlarmTestBitBtnClick(TObject* sender);
    // The file choice of the alarm shows the file's name.
    void ShowAlarmFileName();
    void SetTessilControl();
    std::string RareHint(int index) const;
    void SetDeviceHint();
    void SetMusicCaption();
    void ApplicationEvents1Message(MSG& message, bool& handled);
    // Layer switches, folder groups, alternation and the trackbars' hints.
    void OptionCheckBoxClick(TObject* sender);
    void RainCheckBoxClick(TObject* sender);
    void RainComboBoxChange(TObject* sender);
    void Option1CheckBoxClick(TObject* sender);
    void Option2CheckBoxClick(TObject* sender);
    void Option4CheckBoxClick(TObject* sender);
    void Option5CheckBoxClick(TObject* sender);
    void Option6CheckBoxClick(TObject* sender);
    void Option3CheckBoxClick(TObject* sender);
    void Option7CheckBoxClick(TObject* sender);
    void FlightsOutlook();
    void WindCheckBoxClick(TObject* sender);
    bool ShowNatureFolderName();
    bool ShowMusicFolderName();
    void NatureFolderOutlook();
    void MusicOutlook();
    void NatureFolderCheckBoxClick(TObject* sender);
    void MusicFolderCheckBoxClick(TObject* sender);
    void NatureFolderBitBtnClick(TObject* sender);
    void MusicFolderBitBtnClick(TObject* sender);
    void GuitarCheckBoxClick(TObject* sender);
    void HaCheckBoxClick(TObject* sender);
    void FluteCheckBoxClick(TObject* sender);
    void AlternateCheckBoxClick(TObject* sender);
    void AlternateComboBoxChange(TObject* sender);
    void MuteTimeCheckBoxClick(TObject* sender);
    void Option6TrackBarEnter(TObject* sender);
    void Option6TrackBarExit(TObject* sender);
    void Option6TrackBarChange(TObject* sender);
    void NFBTrackBarEnter(TObject* sender);
    void NFITrackBarEnter(TObject* sender);
    void NFBTrackBarChange(TObject* sender);
    void NFITrackBarChange(TObject* sender);
    void NFBComboBoxChange(TObject* sender);
    void NFIComboBoxChange(TObject* sender);
    void NatureFolderComboBoxChange(TObject* sender);
    // The placement pads and the sound-space limiter.
    void OShapeMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    void O1ShapeMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    void OShapeMouseMove(TObject* sender, TShiftState shift, int x, int y);
    void O1ShapeMouseMove(TObject* sender, TShiftState shift, int x, int y);
    void RestorePositionMarker(TObject* sender);
    void ZoneVLabelMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    void ZoneVLabelMouseMove(TObject* sender, TShiftState shift, int x, int y);
    void ShowLimiters();
    void CompressionCheckBoxClick(TObject* sender);

    // The chimes: two chimes an hour, each at its minute, inside the hours window.
    void PlayChime(const std::string& path, int which);
    void Chime00TrackBarEnter(TObject* sender);
    void Chime30TrackBarEnter(TObject* sender);
    void Chime00TrackBarChange(TObject* sender);
    void Chime30TrackBarChange(TObject* sender);
    void Chime00CheckBoxClick(TObject* sender);
    void Chime30CheckBoxClick(TObject* sender);
    // Up steps the minute on, down back.
    void Chime00SpinButtonClick(TObject* sender, TUDBtnType button);
    void Chime30SpinButtonClick(TObject* sender, TUDBtnType button);
    void Chime00BitBtnClick(TObject* sender);
    void Chime30BitBtnClick(TObject* sender);
    void ChimesControls();
    void ChimesOutlook();
    // True when the current hour lies inside the hours window.
    bool ChimesWorkTime();
    void FromComboBoxChange(TObject* sender);
    void TillComboBoxChange(TObject* sender);
    // The alarm, and the menu that forgets the alarm's file or a scene's folder.
    void AlarmClockOutlook();
    // Checks the chosen file; unless quiet, an alarm that needs a file asks for one.
    void AlarmFileNameHandling(bool quiet);
    void AlarmFileBitBtnClick(TObject* sender);
    void InnerAlarmRadioButtonClick(TObject* sender);
    void FileAlarmRadioButtonClick(TObject* sender);
    void AlarmClockCheckBoxClick(TObject* sender);
    void FolderClearClick(TObject* sender);
    // The menu opens on the control's right click while offered.
    void OfferFolderMenu(const TControl& control, bool offered);
    TPopupMenu FolderPopupMenu;
    TMenuItem FolderClear;

    // Language application: the module chosen in the language list, applied
    // to every text of the board; also at every scene switch.
    void ToggleLang();
    void LangComboBoxChange(TObject* sender);
    // Settings store: the packed words and plain values written back, the
    // settings loaded into the board, their export to a file and import.
    // Each writer returns at once while LoadingSettings is set; with openKey
    // it opens and closes the settings key itself. False when a write failed.
    bool SaveC1(bool openKey);
    bool SaveC5(bool openKey);
    bool SaveC6(bool openKey);
    bool SaveC7(bool openKey);
    bool SaveD1(bool openKey);
    bool SaveD2(bool openKey);
    bool SaveD70(bool openKey);
    bool SaveD71(bool openKey);
    bool SaveD72(bool openKey);
    bool SaveN1(bool openKey);
    bool SaveN2(bool openKey);
    bool SaveN70(bool openKey);
    bool SaveN71(bool openKey);
    bool SaveN7F(bool openKey);
    // The words of the scene on show, the common words and the plain values.
    bool SaveOptions();
    // The common options while BoardStarting, then the scene on show.
    void SetControls();
    void OvelComboBoxDropDown(TObject* sender);
    void ExportBitBtnClick(TObject* sender);
    void ImportBitBtnClick(TObject* sender);
    // The state a stored setting takes from the board: a box 0, 1 or 2
    // (grayed), a radio button 0 or 1, a position, an item index, a place.
    int ItemState(TBoardItem item) const;
    void SetItemState(TBoardItem item, int state);
    TSaveDialog SetsSaveDialog;
    TOpenDialog UserFileDialog;

    // What the layers read: a control's state by its name.
    int Value(TBoardControl control) const override;

    // The schedule: one tick a few seconds apart drives what happens by the
    // clock; the volume lowered step by step at mute time; day and night by
    // the calendar and the pickers that show or set the switch times.
    TTimer FadeOutTimer;
    void ScheduleTimerTimer(TObject* sender);
    void FadeOutAll();
    void FadeOutTimerTimer(TObject* sender);
    void VolumeTrackBarEnter(TObject* sender);
    void MuteComboBoxChange(TObject* sender);
    void MuteDateTimePickerChange(TObject* sender);
    bool NowIsNight(TObject* control);
    void DayOnDateTimePickerChange(TObject* sender);
    void NightOnDateTimePickerChange(TObject* sender);
    // The volume taken at the mute time; -1 for none.
    int RememberedVolume() const { return schedule_.RememberedVolume; }

    void WndProc(TMessage& message) override;

protected:
    void AttachControls() override;
    void CreateParams(TCreateParams& params) override;

private:
    // A handler that the message pumping inside it may re-enter: the nested
    // call only asks for one more round, so that every round runs whole.
    struct TRerun {
        bool Running = false;
        bool Again = false;
    };
    static void RunWhole(TRerun& rerun, const std::function<void()>& round);

    // An event of a control calls the board's handler of that name.
    template <typename... Args>
    void Bind(std::function<void(Args...)>& event, void (TOvelMainForm::*handler)(Args...))
    {
        event = [this, handler](Args... args) { (this->*handler)(args...); };
    }

    void SetDesignValues();
    void FillSceneList();
    void SetMenu();
    void AttachHandlers();
    void AddTrayIcon();
    void ListDevices();
    void RestoreDeviceAndPlace();
    void FillLanguageList();
    void SetButtonGlyphs();
    void TrayMessage(LPARAM mouseMessage);
    bool SessionMessage(TMessage& message);
    void ShowPlayingLook();
    void StopAllSound();
    void ShowSilentLook();
    void SwitchScene();
    void ShowPlaySwitch();
    void ShowDayScene();
    void ShowNightScene();
    void SetSceneColor(TColor color);
    void DrawZoneWedges(TColor color);
    void GateOption(TCheckBox& box, TLabel& label, bool present);
    // Unticks the box without running its click handler.
    static void UncheckQuietly(TCheckBox& box);
    static bool AnimatedLook();
    static constexpr DWORD kBoardSlide = 256;  // ms of the show and hide animations
    // The play switch's images in the tray menu's strip.
    static constexpr int kSoundOnImage = 0;
    static constexpr int kSoundOffImage = 1;
    TColor SceneColor() const;

    NOTIFYICONDATAW TrayIconData{};
    TRerun sceneSwitch_;
    TRerun playSwitch_;
    unsigned outputRuns_ = 0;  // counts PlayOvel and StopOvel runs
    unsigned iconRuns_ = 0;    // counts SetMainIcon runs
    bool created_ = false;
    bool destroyed_ = false;

    // Soundscape layers.
    void AttachSoundscapeHandlers();
    void StartSoundscape();
    void EndSoundscape();
    void LoadPlugins();
    void ListUserFolders();
    void ToggleRain(TObject* sender);
    void StartRainEpisode();
    void StopRainEpisode(TObject* sender);
    void RunRainActions(const TRainActions& actions);
    void ShowRainButton(int image, TObject* sender);
    void AutoAllocClick(TCheckBox& box, ::TTrackBar& level, int& autoAlloc);
    void FolderLevelChange(::TTrackBar& level, TLayerId layer);
    TRainPhases rainPhases_;
    TRerun rainToggle_;
    TObject* rainSender_ = nullptr;
    // Global hot keys.
    void AttachHotKeysHandlers();
    bool SetHotKeySC(THotKeyAction action);
    void ReleaseHotKey(THotKeyAction action);
    void ShowShortCut(THotKeyAction action, TShortCut shortCut);
    // Hot keys drive only controls the user could use: a disabled one stays as it is.
    static void InvertCheckBox(TCheckBox& box);
    static void StepTrackBar(::TTrackBar& trackBar, int step);
    void StepBonfireTrackBar(::TTrackBar& trackBar, int step);
    // Control handlers, layer switches, placement pads and the limiter.
    // A marker on its way to the pad and back, and where it is held.
    struct TMarkerPlacing {
        TShape* Marker = nullptr;
        TGroupBox* Home = nullptr;
        TPadPoint HomePlace;
        int* X = nullptr;  // StreamX or FireX
        int* Y = nullptr;
        bool Anchored = false;  // pressed on the pad: moves drag it
        int MouseX = 0;
        int MouseY = 0;
    };
    void AttachControlHandlers();
    void AttachLayerHandlers();
    void AttachPadHandlers();
    void ShowLiveValue(::TTrackBar& trackBar);
    void PreviewFlight(int mode);
    void ListSubfolders(TCheckBox& box, int slot, int (*list)(int slot, bool fill));
    // The layer word of the scene on show.
    void SaveSceneLayers();
    // Measured in the box's own font: the board's keeps the default
    // character set, the box's is the module's.
    static void FitToCaption(TControl& box, int margin);
    // A layer box that is disabled, its bank missing, stays off.
    static void KeepOffWhenDisabled(TCheckBox& box);
    // Enabled in the parent's font, or disabled in grey.
    static void SetGreyed(TControl& control, bool enabled);
    // A layer's rarity choice, greyed while its box is off.
    static void GreyWithBox(TCheckBox& box, TComboBox& rarity);
    // The same for a layer switch, which saves.
    void GreyLayerWithBox(TCheckBox& box, TComboBox& rarity);
    void FlightsClick();
    void FlightLevelChange(::TTrackBar& level);
    void InstrumentClick(TCheckBox& box, int kind);
    bool Night() const;
    bool ShowFolderName(TLabel& label, TBitBtn& browse, int slot);
    void FolderOutlook(TCheckBox& box, TLabel& label, TBitBtn& browse, TCheckBox& subfolders, TCheckBox& autoAlloc,
                       TLabel& autoLabel, TTrackBar& level, TComboBox& rarity, bool folderSet, int slot);
    void BrowseSceneFolder(int slot, const std::string& firstLine, TCheckBox& subfolders,
                           int (*list)(int slot, bool fill));
    void LiftMarker(TShape& marker, TGroupBox& home, int& x, int& y);
    void MarkerMouseDown(TShape& marker, bool onMarker, TGroupBox& home, int& x, int& y, int mouseX, int mouseY);
    void DragPlacedMarker(TShiftState shift, int mouseX, int mouseY);
    void PlaceChannels(const BASS_3DVECTOR& position);
    TLimiterZone LimiterZone() const;
    TMarkerPlacing placing_;
    TLimiterGrip limiterGrip_ = TLimiterGrip::Body;
    int limiterPressY_ = 0;

    // Language application.
    void AttachLanguageHandlers();
    void ApplyLanguage();
    void ApplyLanguageCharset();
    std::vector<TComboBox*> RarityLists();
    void ApplyVolumeAndLimiterTexts();
    void ApplyRainAndFolderTexts();
    void ApplyFlightAndChimeTexts();
    void ApplyBottomRowTexts();
    void ApplyCaptionTexts();
    void ApplySceneTexts();
    void ApplyAutomationTexts();
    void ApplyMenuTexts();
    void FillRarityLists();
    void FillFixedLists(int scene);
    TRerun languageSwitch_;
    // Settings store.
    class TSceneLoading;
    struct TChimeValues {
        TBoardItem Box;
        const char* Caption;
        const char* AbsentCaption;
        const char* Path;
    };
    void FillDesignLists();
    void AttachSettingsHandlers();
    TControl* Control(TBoardItem item);
    bool SaveWord(TPackedWordId word, bool openKey);
    bool SaveSceneOptions(int scene);
    bool SavePlainValues();
    void Detach(TNotifyEvent& event);
    void Reattach(TNotifyEvent& event);
    void Forget(TNotifyEvent& event);
    void ReattachAll();
    void LoadSettings(const TStoredKey& key);
    // One chime's controls; 0 the first chime, 1 the second.
    struct TChime {
        TCheckBox& Box;
        TSpinButton& Spin;
        TBitBtn& Button;
        TTrackBar& Level;
        std::string& Path;
    };
    TChime Chime(int which);
    void AttachChimesHandlers();
    void AttachAlarmHandlers();
    void FolderMenuMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
    std::set<const TControl*> folderMenuOffered_;
    const TControl* folderMenuOpenedOn_ = nullptr;
    bool ChimeControls(int which);
    void ChimeLevelChange(int which);
    void SpinChimeMinute(int which, TUDBtnType button);
    void ChooseChime(int which);
    void ApplyDecision(TBoardItem item, const TLoadDecision& decision);
    void ApplyRow(TBoardItem item, const TStoredKey& key);
    void ApplyRowQuietly(TNotifyEvent& handler, TBoardItem item, const TStoredKey& key);
    void ApplyItem(TBoardItem item, std::optional<int> index);
    void LoadCommonOptions(const TStoredKey& key);
    void GateMissingBanks();
    static void ShowBankGate(TCheckBox& box, TLabel& label, bool present);
    void LoadChimes(const TStoredKey& key);
    void LoadChimeBox(const TChimeValues& chime, std::string& path, const TStoredKey& key);
    void LoadLimiter();
    void LoadAlarm(const TStoredKey& key);
    void LoadStartOptions(const TStoredKey& key, bool programStart);
    void LoadTimes(const TStoredKey& key);
    void DecideSceneAndPlay(const TStoredKey& key);
    void SetSceneRanges(int scene);
    void LoadSceneOptionsOnShow(const TStoredKey& key);
    void RunSceneStep(TSceneStep step, bool banksPresent);
    void ReattachSceneHandlers();
    bool ExportSettings(const std::string& fileName);
    int ImportSettings(const std::string& fileName);
    void ApplyImportedPlace();
    void PlaceBoard(std::optional<int> left, std::optional<int> top);
    int loadedScene_ = -1;  // the scene whose options the controls hold
    bool startDecided_ = false;
    TMigration migration_;
    std::map<TNotifyEvent*, TNotifyEvent> detached_;  // handlers off while the settings load
    std::vector<std::string> olderValuesRead_;
    // The schedule.
    void AttachScheduleHandlers();
    void StartSchedule();
    TBoardSnapshot ScheduleSnapshot() const;
    bool RunScheduleStep(const TScheduleStep& step);
    void WatchDeviceReturn();
    bool PowerOffByCountdown();
    void ShowChimeHints(bool active);
    void ShowSwitchTimes(TDateTime dayOn, TDateTime nightOn);
    TScheduleState schedule_;
    int fadeTarget_ = 0;

    // The sound started before the board: its output's look on the board,
    // and its take-over by the board's first output start.
    void ShowOutputOpened(bool opened);
    bool TakeOverEarlySound();
    void PassOnEarlyRainDraw();
    bool RestartOutput();
};

extern TOvelMainForm* OvelMainForm;

// The board as the program makes it (the main form) and frees it; FormDestroy
// runs at the latest when it is freed.
bool CreateOvelMainForm();
void FreeOvelMainForm();

// The program block's first step: the application object, minimised and
// hidden, with the program's icon; false when it cannot be made.
bool PrepareApplication();

// Daylight time shifts the calendar: it is in force and Windows adjusts for it.
bool DaylightShiftNow();
// Day or night by the calendar now, with the pickers' times when asked.
TNightAnswer CalendarNow(TSunState& state, TDateTime sunriseOffset, TDateTime sunsetOffset, bool fillPickers);

// The output device failed while a layer's stream was playing on it.
void OnOutputDeviceFail();

// The sound before the board. The stored settings give the scene, the play
// switch and what the layers read; with play on, the output opens and the
// scene's layers start, and the board's first output start takes them over
// as they play. Runs on the GUI thread between the pre-start and the board.
void StartSoundBeforeBoard();
// The scene and play switch that start decided, taken once by the board's load.
std::optional<TStartState> TakeEarlyStartState();
// The output as every start opens it, device and flags; false when it failed.
bool OpenOutput(int device);
// The settings key as it is now, value by value.
TStoredKey ReadSettingsKey();
// The layers' events go to the window from here on; the message that carries
// one, handled wherever it arrives, runs its layer work.
void RouteLayerEvents(HWND window);
bool HandleLayerEventMessage(TMessage& message);
