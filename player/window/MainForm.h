#pragma once
// The control board: the player's one main window, hidden most of the time,
// with its tray icon and menu. The live value of nearly every option is the
// state of one of its controls.

#include "platform/audio/bass.h"
#include "platform/forms/ComCtrls.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/ImageList.h"
#include "platform/forms/Menus.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/Timers.h"
#include "player/engine/LayerBoard.h"
#include "player/engine/Layers.h"
#include "player/engine/RainPhases.h"
#include "player/window/Scenes.h"

#include <shellapi.h>

#include <functional>
#include <string>

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

    // What the layers read: a control's state by its name.
    int Value(TBoardControl control) const override;

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

    NOTIFYICONDATAA TrayIconData{};
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
};

extern TOvelMainForm* OvelMainForm;

// The board as the program makes it (the main form) and frees it; FormDestroy
// runs at the latest when it is freed.
bool CreateOvelMainForm();
void FreeOvelMainForm();

// The program block's first step: the application object, minimised and
// hidden, with the program's icon; false when it cannot be made.
bool PrepareApplication();

// The output device failed while a layer's stream was playing on it.
void OnOutputDeviceFail();
