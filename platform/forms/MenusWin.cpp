#include "platform/forms/Menus.h"

#include "platform/forms/Application.h"
#include "platform/forms/Charsets.h"
#include "platform/forms/Graphics.h"
#include "platform/forms/ImageList.h"

namespace {

constexpr UINT kPopupFlags = TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY;

// Command ids start at 1: TrackPopupMenu returns 0 when nothing was chosen.
UINT CommandOf(size_t index) { return static_cast<UINT>(index + 1); }

UINT ItemState(const TMenuItem& item)
{
    UINT state = item.Enabled ? MFS_ENABLED : MFS_DISABLED;
    if (item.Checked)
        state |= MFS_CHECKED;
    if (item.Default)
        state |= MFS_DEFAULT;
    return state;
}

std::string SystemKeyName(std::uint8_t key)
{
    constexpr int kScanCodeShift = 16;
    const UINT scanCode = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    char name[64] = {};
    if (scanCode == 0 || GetKeyNameTextA(static_cast<LONG>(scanCode << kScanCodeShift), name, sizeof name) == 0)
        return {};
    return name;
}

// The caption in the menu's code page, the keys' names in the system's own.
std::u16string ItemText(const TMenuItem& item, unsigned codePage)
{
    const std::string shortCut = ShortCutToText(item.ShortCut);
    const std::u16string caption = ToUtf16(item.Caption, codePage);
    return shortCut.empty() ? caption : caption + u"\t" + ToUtf16(shortCut, CodePageOfCharset(kDefaultCharset));
}

}  // namespace

std::string ShortCutToText(TShortCut shortCut) { return ShortCutToText(shortCut, SystemKeyName); }

void TPopupMenu::Add(TMenuItem& item) { items_.push_back(&item); }

void TPopupMenu::AddSeparator() { items_.push_back(nullptr); }

HBITMAP TPopupMenu::Bitmap(const TMenuItem& item) const
{
    return Images ? Images->Bitmap(item.ImageIndex, clSystemColor | COLOR_MENU) : nullptr;
}

HMENU TPopupMenu::Build() const
{
    HMENU menu = CreatePopupMenu();
    const unsigned codePage = CodePageOfCharset(Charset);
    for (size_t i = 0; i < items_.size(); ++i) {
        const TMenuItem* item = items_[i];
        if (!item) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        if (!item->Visible)
            continue;
        const std::u16string text = ItemText(*item, codePage);
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE | MIIM_BITMAP;
        info.wID = CommandOf(i);
        info.dwTypeData = const_cast<wchar_t*>(WidePointer(text));
        info.fState = ItemState(*item);
        info.hbmpItem = Bitmap(*item);
        InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &info);
    }
    return menu;
}

void TPopupMenu::Popup(int x, int y, HWND owner)
{
    if (!owner)
        owner = Application.Handle();
    HMENU menu = Build();
    SetForegroundWindow(owner);  // so that a click elsewhere closes the menu
    UINT chosen = static_cast<UINT>(TrackPopupMenu(menu, kPopupFlags, x, y, 0, owner, nullptr));
    PostMessageA(owner, WM_NULL, 0, 0);
    DestroyMenu(menu);
    if (chosen == 0)
        return;
    TMenuItem* item = items_[chosen - 1];
    if (item->OnClick)
        item->OnClick(item);
}
