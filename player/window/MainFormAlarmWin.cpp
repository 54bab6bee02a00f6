// The board's alarm: on at its time, ringing the built-in alarm or a file of
// the user's in the alarm window, the file choice showing the file's name;
// and the menu that forgets a chosen file or folder.
#include "player/window/MainForm.h"

#include "player/engine/SoundBanks.h"
#include "player/tools/AlarmClockUnit.h"
#include "player/window/BoardTexts.h"
#include "player/window/OwnWindows.h"
#include "support/LangUnit.h"
#include "support/SystemFolders.h"

#include <string>

namespace {

constexpr int kRadioMargin = 20;      // the radio mark beside the caption
constexpr int kBrowseButtonGap = 16;  // from the file choice's right edge

}  // namespace

void TOvelMainForm::AttachAlarmHandlers()
{
    Bind(AlarmClockCheckBox.OnClick, &TOvelMainForm::AlarmClockCheckBoxClick);
    Bind(InnerAlarmRadioButton.OnClick, &TOvelMainForm::InnerAlarmRadioButtonClick);
    Bind(FileAlarmRadioButton.OnClick, &TOvelMainForm::FileAlarmRadioButtonClick);
    Bind(AlarmFileBitBtn.OnClick, &TOvelMainForm::AlarmFileBitBtnClick);
    Bind(AlarmTestBitBtn.OnClick, &TOvelMainForm::AlarmTestBitBtnClick);
    FolderPopupMenu.Add(FolderClear);
    Bind(FolderClear.OnClick, &TOvelMainForm::FolderClearClick);
    for (TControl* control :
         std::initializer_list<TControl*>{&FileAlarmRadioButton, &NatureFolderLabel, &MusicFolderLabel})
        Bind(control->OnMouseUp, &TOvelMainForm::FolderMenuMouseUp);
}

void TOvelMainForm::OfferFolderMenu(const TControl& control, bool offered)
{
    if (offered)
        folderMenuOffered_.insert(&control);
    else
        folderMenuOffered_.erase(&control);
}

void TOvelMainForm::FolderMenuMouseUp(TObject* sender, TMouseButton button, TShiftState, int, int)
{
    const auto* control = static_cast<const TControl*>(sender);
    if (button != TMouseButton::mbRight || !folderMenuOffered_.count(control))
        return;
    folderMenuOpenedOn_ = control;
    POINT cursor{};
    GetCursorPos(&cursor);
    FolderPopupMenu.Popup(cursor.x, cursor.y, Handle());
}

void TOvelMainForm::FolderClearClick(TObject*)
{
    if (folderMenuOpenedOn_ == &FileAlarmRadioButton) {
        AlarmFileName.clear();
        AlarmFileNameHandling(true);
        return;
    }
    const int scene = OvelComboBox.ItemIndex();
    if (scene != kDayScene && scene != kNightScene)
        return;
    if (folderMenuOpenedOn_ == &NatureFolderLabel) {
        UserFolders[NatureFolderSlot(scene)].Path.clear();
        NatureFolderOutlook();
    } else {
        UserFolders[MusicFolderSlot(scene)].Path.clear();
        MusicOutlook();
    }
}

void TOvelMainForm::AlarmClockOutlook()
{
    for (TRadioButton* button : {&InnerAlarmRadioButton, &FileAlarmRadioButton})
        button->Cursor = button->Checked() ? crArrow : crHandPoint;
    const bool hasFile = !AlarmFileName.empty();
    ShowAlarmFileName();
    if (!hasFile && FileAlarmRadioButton.Checked()) {
        if (NoInnerAlarmLabel.Visible())
            AlarmClockCheckBox.SetChecked(false);
        else
            InnerAlarmRadioButton.SetChecked(true);
    }
    const bool rings =
        AlarmClockCheckBox.Checked() && ((!NoInnerAlarmLabel.Visible() && InnerAlarmRadioButton.Checked()) ||
                                         (FileAlarmRadioButton.Checked() && hasFile));
    AlarmTimePicker.SetVisible(rings);
    AlarmTestBitBtn.SetVisible(rings);
}

void TOvelMainForm::ShowAlarmFileName()
{
    const std::string file = GetLangString("file");
    const bool hasFile = !AlarmFileName.empty();
    FileAlarmRadioButton.SetCaption(hasFile ? file + ": \"" + FileTitleOfPath(AlarmFileName) + "\"" : file + ":");
    OfferFolderMenu(FileAlarmRadioButton, hasFile);
    FitToCaption(FileAlarmRadioButton, kRadioMargin);
    AlarmFileBitBtn.SetLeft(FileAlarmRadioButton.Left() + FileAlarmRadioButton.Width() + kBrowseButtonGap);
}

// At the start a file that is not there stays chosen (its drive may come
// back); the alarm then rings the built-in sounds.
void TOvelMainForm::AlarmFileNameHandling(bool quiet)
{
    const bool alarmOn = AlarmClockCheckBox.Checked();
    if (!AlarmFileName.empty() && alarmOn && FileAlarmRadioButton.Checked() && !FileExists(AlarmFileName) &&
        !BoardStarting) {
        LangWarningBox(GetLangTextFmt("alarmfilenotfound", {AlarmFileName}, false));
        AlarmFileName.clear();
    }
    if (!BoardStarting && alarmOn && (FileAlarmRadioButton.Checked() || NoInnerAlarmLabel.Visible()) &&
        AlarmFileName.empty() && !quiet) {
        Detach(FileAlarmRadioButton.OnClick);
        FileAlarmRadioButton.SetChecked(true);
        Reattach(FileAlarmRadioButton.OnClick);
        AlarmFileBitBtnClick(this);
        return;
    }
    AlarmClockOutlook();
    SetMainIcon();
    if (!LoadingSettings && !LanguageApplying)
        SaveOptions();
}

void TOvelMainForm::AlarmFileBitBtnClick(TObject*)
{
    UserFileDialog.FileName = AlarmFileName;
    if (UserFileDialog.Execute(Handle())) {
        AlarmFileName = UserFileDialog.FileName;
        AlarmFileNameHandling(false);
    } else {
        AlarmClockOutlook();
    }
    // The alarm window reddens a file that failed to ring.
    if (FileAlarmRadioButton.FontColor() == clRed)
        FileAlarmRadioButton.SetFontColor(clDefault);
}

void TOvelMainForm::InnerAlarmRadioButtonClick(TObject*) { AlarmClockOutlook(); }

void TOvelMainForm::FileAlarmRadioButtonClick(TObject* sender)
{
    if (AlarmFileName.empty())
        AlarmFileBitBtnClick(sender);
    else
        AlarmClockOutlook();
}

void TOvelMainForm::AlarmClockCheckBoxClick(TObject*)
{
    AlarmFileNameHandling(false);
    const bool alarmOn = AlarmClockCheckBox.Checked();
    InnerAlarmRadioButton.SetEnabled(alarmOn && Present(sbOvac));
    FileAlarmRadioButton.SetEnabled(alarmOn);
    AlarmFileBitBtn.SetVisible(alarmOn);
    PlayCheckBox.SetShowHint(!PlayCheckBox.Checked() && alarmOn);
}

void TOvelMainForm::AlarmTestBitBtnClick(TObject*)
{
    AlarmTestBitBtn.Hide();
    ShowOwnWindow(AlarmClockForm);
    AlarmTestBitBtn.Show();
}
