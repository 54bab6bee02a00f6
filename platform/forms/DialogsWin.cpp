#include "platform/forms/Dialogs.h"

#include "platform/forms/Application.h"

#include <commdlg.h>
#include <objbase.h>

#include <algorithm>
#include <vector>

namespace {

constexpr DWORD kDialogOptions = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
constexpr char kFilterSeparator = '|';

// The dialog's form of a filter: each part ends in a NUL, the whole in two.
std::string DialogFilter(std::string filter)
{
    std::replace(filter.begin(), filter.end(), kFilterSeparator, '\0');
    filter.push_back('\0');
    filter.push_back('\0');
    return filter;
}

}  // namespace

bool TOpenDialog::Execute(HWND owner)
{
    const std::string filter = DialogFilter(Filter);
    std::vector<char> file(MAX_PATH, '\0');
    FileName.copy(file.data(), file.size() - 1);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner ? owner : Application.Handle();
    dialog.lpstrFilter = Filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
    dialog.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
    dialog.Flags = kDialogOptions;
    // The dialog browses the shell's folders, which need COM on this thread.
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    const bool confirmed = save_ ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
    if (com)
        CoUninitialize();
    if (!confirmed)
        return false;
    FileName = file.data();
    return true;
}
