// The board's alarm controls: which source the alarm takes, its file's name
// on the file choice, and what is offered while the alarm is on.
#include "player/window/MainForm.h"

#include "support/LangUnit.h"

#include <string>

namespace {

constexpr int kRadioMargin = 20;      // the radio mark beside the caption
constexpr int kBrowseButtonGap = 16;  // from the file choice's right edge

// The file's name without its folder and its extension.
std::string FileTitle(const std::string& path)
{
    const std::size_t slash = path.find_last_of("\\/");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

}  // namespace

// Without a file the file choice falls back to the built-in alarm, or, with
// no alarm bank either, the alarm goes off.
void TOvelMainForm::AlarmClockOutlook()
{
    for (TRadioButton* source : {&InnerAlarmRadioButton, &FileAlarmRadioButton})
        source->Cursor = source->Checked() ? crArrow : crHandPoint;
    const std::string file = GetLangString("file");
    if (!AlarmFileName.empty()) {
        FileAlarmRadioButton.SetCaption(file + ": \"" + FileTitle(AlarmFileName) + "\"");
    } else {
        FileAlarmRadioButton.SetCaption(file + ":");
        if (FileAlarmRadioButton.Checked()) {
            if (NoInnerAlarmLabel.Visible())
                AlarmClockCheckBox.SetChecked(false);
            else
                InnerAlarmRadioButton.SetChecked(true);
        }
    }
    FitToCaption(FileAlarmRadioButton, kRadioMargin);
    AlarmFileBitBtn.SetLeft(FileAlarmRadioButton.Left() + FileAlarmRadioButton.Width() + kBrowseButtonGap);
    const bool inner = !NoInnerAlarmLabel.Visible() && InnerAlarmRadioButton.Checked();
    const bool ownFile = FileAlarmRadioButton.Checked() && !AlarmFileName.empty();
    const bool armed = AlarmClockCheckBox.Checked() && (inner || ownFile);
    AlarmTimePicker.SetVisible(armed);
    AlarmTestBitBtn.SetVisible(armed);
}
