// The board's side of the soundscape layers: the wind's timer, the looks the
// layers ask for, the user folders' controls and their listing at start, and
// the format plug-ins.
#include "player/window/MainForm.h"

#include "platform/forms/Application.h"
#include "player/engine/SystemUserFiles.h"
#include "player/engine/UserFolders.h"
#include "player/engine/UserSounds.h"
#include "player/engine/WindGusts.h"
#include "support/LangUnit.h"

#include <string>

namespace {

constexpr UINT kWindInterval = 100;
constexpr const char* kPluginFiles[] = {"bassflac.dll", "basswma.dll", "basswv.dll"};
// An "Auto" box shows its caption while ticked, only its square while not.
constexpr int kAutoBoxMargin = 24;
constexpr int kAutoBoxSquare = 15;

TControl& BoardControlOf(TOvelMainForm& board, TBoardControl control)
{
    switch (control) {
#define OVEL_BOARD_CONTROL(Name, Kind, Container)                                                                      \
    case TBoardControl::Name:                                                                                          \
        return board.Name;
#include "resources/player/BoardControls.h"
#undef OVEL_BOARD_CONTROL
    }
    return board.OvelComboBox;
}

// The layers' listings run on the GUI thread and let it answer meanwhile.
void ShowListingRunning(bool running)
{
    if (!BoardStarting)
        Screen.SetCursor(running ? crAppStart : crDefault);
}

void LetTheBoardAnswer() { Application.ProcessMessages(); }

void OnRainDrawn()
{
    if (OvelMainForm != nullptr)
        OvelMainForm->RainDrawn();
}

}  // namespace

void TOvelMainForm::AttachSoundscapeHandlers()
{
    FWindTimer.SetInterval(kWindInterval);
    Bind(FWindTimer.OnTimer, &TOvelMainForm::FWindTimerTimer);
    Bind(RainTimer.OnTimer, &TOvelMainForm::RainTimerTimer);
    Bind(RainBitBtn.OnClick, &TOvelMainForm::RainNowClick);
    Bind(RainNow.OnClick, &TOvelMainForm::RainNowClick);
    Bind(MusicAutoAllocCheckBox.OnClick, &TOvelMainForm::MusicAutoAllocCheckBoxClick);
    Bind(MusicFolderComboBox.OnDropDown, &TOvelMainForm::MusicFolderComboBoxDropDown);
    Bind(MusicFolderTrackBar.OnEnter, &TOvelMainForm::MusicFolderTrackBarEnter);
    Bind(MusicFolderTrackBar.OnChange, &TOvelMainForm::MusicFolderTrackBarChange);
    Bind(NatureAutoAllocCheckBox.OnClick, &TOvelMainForm::NatureAutoAllocCheckBoxClick);
    Bind(NatureFolderComboBox.OnDropDown, &TOvelMainForm::NatureFolderComboBoxDropDown);
    Bind(NatureFolderTrackBar.OnEnter, &TOvelMainForm::NatureFolderTrackBarEnter);
    Bind(NatureFolderTrackBar.OnChange, &TOvelMainForm::NatureFolderTrackBarChange);
}

// Before the first scene starts: the layers' ways to the system and back to the board.
void TOvelMainForm::StartSoundscape()
{
    NatureListBusy = false;
    MusicListBusy = false;
    SetUserFileSystem(&SystemUserFiles());
    SetListingHooks({ShowListingRunning, LetTheBoardAnswer});
    SetRainDrawHandler(OnRainDrawn);
}

void TOvelMainForm::ListUserFolders()
{
    ListFilesNature(ufDayNature, true);
    ListFilesNature(ufNightNature, true);
    ListFilesMusic(ufDayMusic, true);
    ListFilesMusic(ufNightMusic, true);
}

// A plug-in that does not load takes its format with it; the start goes on.
void TOvelMainForm::LoadPlugins()
{
    for (const char* file : kPluginFiles)
        if (BASS_PluginLoad(file, 0) == 0)
            LangWarningBox(GetLangTextFmt("filenotfound", {file}, false));
}

void TOvelMainForm::EndSoundscape()
{
    RainTimer.SetEnabled(false);
    SetRainDrawHandler(nullptr);
    SetListingHooks({});
    SetUserFileSystem(nullptr);
    for (TUserFolderSlot& folder : UserFolders)
        folder.Files.clear();
}

void TOvelMainForm::StartFWind() { FWindTimer.SetEnabled(true); }
void TOvelMainForm::StopFWind() { FWindTimer.SetEnabled(false); }
void TOvelMainForm::FWindTimerTimer(TObject*) { WindTick(FWindTimer.Interval()); }

void TOvelMainForm::SetLook(TBoardControl control, TLook look, const std::string& text)
{
    TControl& target = BoardControlOf(*this, control);
    switch (look) {
        case TLook::Shown:
            target.Show();
            break;
        case TLook::Hidden:
            target.Hide();
            break;
        case TLook::Enabled:
            target.SetEnabled(true);
            break;
        case TLook::Hint:
            target.SetHint(text);
            break;
    }
}

void TOvelMainForm::AutoAllocClick(TCheckBox& box, ::TTrackBar& level, int& autoAlloc)
{
    autoAlloc = box.Checked() ? 1 : 0;
    if (box.Checked())
        FitToCaption(box, kAutoBoxMargin);
    else
        box.SetWidth(kAutoBoxSquare);
    level.SetVisible(!box.Checked());
}

void TOvelMainForm::FolderLevelChange(::TTrackBar& level, TLayerId layer)
{
    level.SetHint(std::to_string(level.Position()) + "%");
    if (BASS_ChannelIsActive(LayerChannels[layer]) == BASS_ACTIVE_PLAYING)
        BASS_ChannelSetAttribute(LayerChannels[layer], BASS_ATTRIB_VOL, static_cast<float>(level.Position()) / 100.0f);
    Application.CancelHint();
    Application.ProcessMessages();
}

void TOvelMainForm::MusicAutoAllocCheckBoxClick(TObject*)
{
    AutoAllocClick(MusicAutoAllocCheckBox, MusicFolderTrackBar, MusicAuto);
}

void TOvelMainForm::MusicFolderComboBoxDropDown(TObject*)
{
    if (!MusicFolderTrackBar.Visible())
        PlayMusic(mkMusicFolder);
}

void TOvelMainForm::MusicFolderTrackBarEnter(TObject*)
{
    if (BASS_ChannelIsActive(LayerChannels[lyMusic]) != BASS_ACTIVE_PLAYING)
        PlayMusic(mkMusicFolder);
}

void TOvelMainForm::MusicFolderTrackBarChange(TObject*) { FolderLevelChange(MusicFolderTrackBar, lyMusic); }

void TOvelMainForm::NatureAutoAllocCheckBoxClick(TObject*)
{
    AutoAllocClick(NatureAutoAllocCheckBox, NatureFolderTrackBar, NatureAuto);
}

void TOvelMainForm::NatureFolderComboBoxDropDown(TObject*)
{
    if (!NatureFolderTrackBar.Visible())
        PlayNatureFolder(true);
}

void TOvelMainForm::NatureFolderTrackBarEnter(TObject*)
{
    if (BASS_ChannelIsActive(LayerChannels[lyNature]) != BASS_ACTIVE_PLAYING)
        PlayNatureFolder(true);
}

void TOvelMainForm::NatureFolderTrackBarChange(TObject*) { FolderLevelChange(NatureFolderTrackBar, lyNature); }
