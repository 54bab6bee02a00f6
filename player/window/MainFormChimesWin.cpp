// The board's chimes: two chimes an hour, each at the minute its box shows,
// inside the hours window, each a built-in chime or a file of the user's.
#include "player/window/MainForm.h"

#include "player/engine/ChimeSound.h"
#include "player/engine/SoundBanks.h"
#include "player/tools/ChimesUnit.h"
#include "player/window/Chimes.h"
#include "player/window/ScheduleClock.h"
#include "support/LangUnit.h"
#include "support/SystemFolders.h"

#include <optional>
#include <string>

namespace {

constexpr int kFirstChime = 0;
constexpr int kSecondChime = 1;
// Where the picker stands on the board.
constexpr int kPickerLeft = 222;
constexpr int kPickerTop = 90;

}  // namespace

TOvelMainForm::TChime TOvelMainForm::Chime(int which)
{
    if (which == kSecondChime)
        return {Chime30CheckBox, Chime30SpinButton, Chime30BitBtn, Chime30TrackBar, Chime30Path};
    return {Chime00CheckBox, Chime00SpinButton, Chime00BitBtn, Chime00TrackBar, Chime00Path};
}

void TOvelMainForm::AttachChimesHandlers()
{
    Bind(Chime00TrackBar.OnEnter, &TOvelMainForm::Chime00TrackBarEnter);
    Bind(Chime30TrackBar.OnEnter, &TOvelMainForm::Chime30TrackBarEnter);
    Bind(Chime00TrackBar.OnChange, &TOvelMainForm::Chime00TrackBarChange);
    Bind(Chime30TrackBar.OnChange, &TOvelMainForm::Chime30TrackBarChange);
    Bind(Chime00CheckBox.OnClick, &TOvelMainForm::Chime00CheckBoxClick);
    Bind(Chime30CheckBox.OnClick, &TOvelMainForm::Chime30CheckBoxClick);
    Bind(Chime00SpinButton.OnClick, &TOvelMainForm::Chime00SpinButtonClick);
    Bind(Chime30SpinButton.OnClick, &TOvelMainForm::Chime30SpinButtonClick);
    Bind(Chime00BitBtn.OnClick, &TOvelMainForm::Chime00BitBtnClick);
    Bind(Chime30BitBtn.OnClick, &TOvelMainForm::Chime30BitBtnClick);
    Bind(FromComboBox.OnChange, &TOvelMainForm::FromComboBoxChange);
    Bind(TillComboBox.OnChange, &TOvelMainForm::TillComboBoxChange);
}

// An empty path sounds the built-in chime the chime's button names.
void TOvelMainForm::PlayChime(const std::string& path, int which)
{
    const TChime chime = Chime(which);
    const float volume = static_cast<float>(chime.Level.Position()) / 100.0f;
    StopChime();
    if (path.empty())
        PlayBuiltInChime(static_cast<int>(chime.Button.Tag), volume);
    else if (FileExists(path))
        PlayChimeFile(path, volume);
}

void TOvelMainForm::Chime00TrackBarEnter(TObject*)
{
    PlayChime(Chime00BitBtn.Tag == 0 ? Chime00Path : std::string(), kFirstChime);
}

void TOvelMainForm::Chime30TrackBarEnter(TObject*)
{
    PlayChime(Chime30BitBtn.Tag == 0 ? Chime30Path : std::string(), kSecondChime);
}

// The chime that sounds follows the level moved, whichever chime it is.
void TOvelMainForm::ChimeLevelChange(int which)
{
    ::TTrackBar& level = Chime(which).Level;
    if (ChimePlaying())
        SetChimeVolume(static_cast<float>(level.Position()) / 100.0f);
    ShowLiveValue(level);
}

void TOvelMainForm::Chime00TrackBarChange(TObject*) { ChimeLevelChange(kFirstChime); }

void TOvelMainForm::Chime30TrackBarChange(TObject*) { ChimeLevelChange(kSecondChime); }

void TOvelMainForm::Chime00CheckBoxClick(TObject*)
{
    ChimesControls();
    ChimesOutlook();
}

void TOvelMainForm::Chime30CheckBoxClick(TObject* sender) { Chime00CheckBoxClick(sender); }

void TOvelMainForm::SpinChimeMinute(int which, TUDBtnType button)
{
    TCheckBox& box = Chime(which).Box;
    const int minute = ChimeCaptionMinute(box.Caption()).value_or(0);
    box.SetCaption(ChimeMinuteCaption(SpunChimeMinute(minute, button == btNext)));
}

void TOvelMainForm::Chime00SpinButtonClick(TObject*, TUDBtnType button) { SpinChimeMinute(kFirstChime, button); }

void TOvelMainForm::Chime30SpinButtonClick(TObject*, TUDBtnType button) { SpinChimeMinute(kSecondChime, button); }

// With the chimes bank the picker chooses; without it the user's file.
void TOvelMainForm::ChooseChime(int which)
{
    const TChime chime = Chime(which);
    if (Present(sbOvch) && ChimesForm) {
        ChimesGroupBox.Tag = which;
        const RECT picker = ChimesForm->Bounds();
        ChimesForm->SetBounds(Left() + kPickerLeft, Top() + kPickerTop, picker.right - picker.left,
                              picker.bottom - picker.top);
        ChimesForm->ShowModal();
    } else {
        UserFileDialog.FileName = chime.Path;
        if (UserFileDialog.Execute(Handle())) {
            chime.Path = UserFileDialog.FileName;
        } else if (chime.Path.empty()) {
            Detach(chime.Box.OnClick);
            chime.Box.SetChecked(false);
            Reattach(chime.Box.OnClick);
        }
    }
    Chime00CheckBoxClick(&chime.Box);
}

void TOvelMainForm::Chime00BitBtnClick(TObject*) { ChooseChime(kFirstChime); }

void TOvelMainForm::Chime30BitBtnClick(TObject*) { ChooseChime(kSecondChime); }

// False when the user must choose a file first: the dialog has run, and it
// ran the rest.
bool TOvelMainForm::ChimeControls(int which)
{
    const TChime chime = Chime(which);
    const bool ticked = chime.Box.Checked();
    chime.Spin.SetVisible(ticked);
    chime.Button.SetVisible(ticked);
    chime.Level.SetVisible(ticked && (chime.Button.Tag > 0 || !chime.Path.empty()));
    if (!Present(sbOvch) && ticked && chime.Path.empty()) {
        if (!LoadingSettings) {
            ChooseChime(which);
            return false;
        }
        Detach(chime.Box.OnClick);
        chime.Box.SetChecked(false);
        Reattach(chime.Box.OnClick);
    }
    if (!chime.Box.Checked() && ChimePlaying())
        StopChime();
    return true;
}

void TOvelMainForm::ChimesControls()
{
    if (!ChimeControls(kFirstChime) || !ChimeControls(kSecondChime))
        return;
    const std::string choice = Present(sbOvch) ? GetLangString("soundselection") : std::string();
    for (int which : {kFirstChime, kSecondChime}) {
        const TChime chime = Chime(which);
        chime.Button.SetHint(chime.Button.Tag != 0 ? choice
                             : !chime.Path.empty() ? FileTitleOfPath(chime.Path)
                                                   : UserFileDialog.Title);
    }
    if (!LoadingSettings)
        SaveC1(true);
}

void TOvelMainForm::ChimesOutlook()
{
    const bool any = Chime00CheckBox.Checked() || Chime30CheckBox.Checked();
    for (TControl* control : std::initializer_list<TControl*>{&OpHoursLabel, &FromComboBox, &TillLabel, &TillComboBox})
        control->SetEnabled(any);
    ChimesGroupBox.SetShowHint(any);
}

bool TOvelMainForm::ChimesWorkTime()
{
    const int hour = MinuteOfTheDay(ScheduleClock().Now()) / kMinutesPerHour;
    const TChimesWindow window = ChimesWorkTimeAt(FromComboBox.ItemIndex(), TillComboBox.ItemIndex(), hour);
    TillLabel.SetHint(std::to_string(window.Hours));
    TillLabel.SetShowHint(Chime00CheckBox.Checked() || Chime30CheckBox.Checked());
    RoundTheClock = window.RoundTheClock;
    OpHoursLabel.SetShowHint(RoundTheClock);
    ChimesActive = window.Active;
    return ChimesActive;
}

void TOvelMainForm::FromComboBoxChange(TObject*) { ChimesWorkTime(); }

void TOvelMainForm::TillComboBoxChange(TObject*) { ChimesWorkTime(); }
