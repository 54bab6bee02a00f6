// The board's tray icon, its tip and menu, and showing and hiding the board.
#include "player/window/MainForm.h"

#include "platform/forms/Application.h"
#include "platform/forms/Charsets.h"
#include "player/window/TrayTip.h"
#include "support/LangUnit.h"
#include "support/ProgInfo.h"

#include <cstring>
#include <vector>

namespace {

constexpr const char* kTrayIconType = "i";
constexpr DWORD kShowAnimation = AW_ACTIVATE | AW_SLIDE | AW_VER_NEGATIVE;
constexpr DWORD kIconFormatVersion = 0x00030000;

// An .ico file: a directory of images, each found by its offset.
#pragma pack(push, 1)
struct TIconDirectory {
    WORD Reserved;
    WORD Type;
    WORD Count;
};
struct TIconDirectoryEntry {
    BYTE Width;
    BYTE Height;
    BYTE Colors;
    BYTE Reserved;
    WORD Planes;
    WORD BitCount;
    DWORD Bytes;
    DWORD Offset;
};
#pragma pack(pop)

// The tray's size from the .ico file's images: the smallest one at least that big.
HICON IconFromFile(const std::vector<BYTE>& file)
{
    if (file.size() < sizeof(TIconDirectory))
        return nullptr;
    TIconDirectory directory;
    std::memcpy(&directory, file.data(), sizeof directory);
    const int wanted = GetSystemMetrics(SM_CXSMICON);
    const TIconDirectoryEntry* chosen = nullptr;
    std::vector<TIconDirectoryEntry> entries(directory.Count);
    if (file.size() < sizeof directory + entries.size() * sizeof(TIconDirectoryEntry))
        return nullptr;
    std::memcpy(entries.data(), file.data() + sizeof directory, entries.size() * sizeof(TIconDirectoryEntry));
    auto side = [](const TIconDirectoryEntry& entry) { return entry.Width == 0 ? 256 : int{entry.Width}; };
    for (const TIconDirectoryEntry& entry : entries) {
        if (entry.Offset + std::size_t{entry.Bytes} > file.size())
            continue;
        const bool bigEnough = side(entry) >= wanted;
        if (!chosen || (bigEnough && (side(*chosen) < wanted || side(entry) < side(*chosen))))
            chosen = &entry;
    }
    if (!chosen)
        return nullptr;
    auto* image = const_cast<BYTE*>(file.data() + chosen->Offset);
    return CreateIconFromResourceEx(image, chosen->Bytes, TRUE, kIconFormatVersion, wanted, wanted, LR_DEFAULTCOLOR);
}

// The icon the tray shows now; the program's own icon is not ours to destroy.
HICON TrayIcon = nullptr;

int Hour(TDateTime time) { return static_cast<int>(time * 24.0 + 1e-6) % 24; }

int Minute(TDateTime time) { return static_cast<int>(time * 24.0 * 60.0 + 1e-6) % 60; }

}  // namespace

void TOvelMainForm::MainIcon(const std::string& resourceName, const std::string& resourceType)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, resourceName.c_str(), resourceType.c_str());
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const auto* bytes = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
    if (!bytes)
        return;
    const std::vector<BYTE> file(bytes, bytes + SizeofResource(module, resource));
    HICON icon = IconFromFile(file);
    const unsigned run = iconRuns_;
    Application.ProcessMessages();
    FreeResource(loaded);
    if (!icon)
        return;
    // A newer SetMainIcon handled meanwhile has set its own icon.
    if (run != iconRuns_) {
        DestroyIcon(icon);
        return;
    }
    if (TrayIcon)
        DestroyIcon(TrayIcon);
    TrayIcon = icon;
    Application.Icon = icon;
}

void TOvelMainForm::SetMainIcon()
{
    const unsigned run = ++iconRuns_;
    const bool armed =
        TrayArmed(MuteTimeCheckBox.Checked(), AlarmClockCheckBox.Checked(), InnerAlarmRadioButton.Checked(),
                  FileAlarmRadioButton.Checked(), !AlarmFileName.empty());
    std::string lines;
    if (armed) {
        if (AlarmClockCheckBox.Checked() && (InnerAlarmRadioButton.Checked() || FileAlarmRadioButton.Checked())) {
            const TDateTime alarm = AlarmTimePicker.Time();
            lines += AlarmTipLine(AlarmClockCheckBox.Caption(), Hour(alarm), Minute(alarm));
        }
        if (MuteTimeCheckBox.Checked()) {
            const int action = MuteComboBox.ItemIndex();
            const std::string itemText = action >= 0 ? MuteComboBox.Items.Strings(action) : std::string();
            const std::string word = MuteActionWord(action, itemText, GetLangString("compsleep"),
                                                    GetLangString("compoff"), CodePageOfCharset(LangCharset));
            const TDateTime mute = MuteDateTimePicker.Time();
            lines += MuteTipLine(word, Hour(mute), Minute(mute));
        }
    }
    if (DeviceFailed)
        lines += LostOutputTipLine(GetLangString("nosound"));
    const std::string iconName = TrayIconName(OvelComboBox.ItemIndex(), PlayCheckBox.Checked(), armed);
    if (!iconName.empty())
        MainIcon(iconName, kTrayIconType);
    if (run != iconRuns_)
        return;  // a newer call has set the tray
    const unsigned codePage = CodePageOfCharset(LangCharset);
    const std::u16string tip = ToUtf16(TrayTipText(Caption(), VersionText, lines, codePage), codePage);
    lstrcpynW(TrayIconData.szTip, WidePointer(tip), static_cast<int>(kTrayTipSize));
    TrayIconData.hIcon = Application.Icon;
    Shell_NotifyIconW(NIM_MODIFY, &TrayIconData);
}

void TOvelMainForm::PlayOnOffLook()
{
    const bool playing = PlayCheckBox.Checked();
    PlayOnOff.ImageIndex = playing ? kSoundOffImage : kSoundOnImage;
    PlayOnOff.Caption = GetLangString(playing ? "soundoff" : "tessil");
}

void TOvelMainForm::PlayOnOffClick(TObject*)
{
    PlayCheckBox.SetChecked(!PlayCheckBox.Checked());
    PlayOnOffLook();
}

void TOvelMainForm::TrayMessage(LPARAM mouseMessage)
{
    if (mouseMessage == WM_LBUTTONUP) {
        PlayCheckBox.SetChecked(!PlayCheckBox.Checked());
    } else if (mouseMessage == WM_RBUTTONUP) {
        POINT cursor;
        GetCursorPos(&cursor);
        // The menu closes when the user clicks elsewhere only if its owner is in front.
        SetForegroundWindow(Handle());
        PopupMenu1.Popup(cursor.x, cursor.y, Handle());
    }
}

void TOvelMainForm::CustomizeClick(TObject*)
{
    Customize.Enabled = false;
    // Shown already: the board itself comes forward, not the hidden
    // application window, which would take the activation from it.
    if (!Application.IsIconic()) {
        SetForegroundWindow(Handle());
        return;
    }
    Application.Restore();
    if (AnimatedLook())
        AnimateWindow(Handle(), kBoardSlide, kShowAnimation);
    Show();
    ShowWindow(Application.Handle(), SW_HIDE);
}

void TOvelMainForm::MinimizeImageClick(TObject*) { Close(); }

void TOvelMainForm::WrapBitBtnClick(TObject*) { Close(); }
