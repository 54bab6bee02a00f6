// The board's alarm file choice: the file's name on it, and its browse
// button beside it.
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

void TOvelMainForm::ShowAlarmFileName()
{
    const std::string file = GetLangString("file");
    FileAlarmRadioButton.SetCaption(AlarmFileName.empty() ? file + ":"
                                                          : file + ": \"" + FileTitle(AlarmFileName) + "\"");
    FitToCaption(FileAlarmRadioButton, kRadioMargin);
    AlarmFileBitBtn.SetLeft(FileAlarmRadioButton.Left() + FileAlarmRadioButton.Width() + kBrowseButtonGap);
}
