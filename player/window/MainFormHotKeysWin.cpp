// The board's global hot keys: their settings, their registration with the
// window manager, and what each key does on the board.
#include "player/window/MainForm.h"

#include "platform/forms/Application.h"
#include "platform/forms/Registry.h"
#include "player/tools/HotKeysUnit.h"
#include "player/window/OwnWindows.h"
#include "support/LangUnit.h"
#include "support/ProgInfo.h"

namespace {

struct THotKeyRow {
    TMenuItem TOvelMainForm::*MenuItem;  // the tray item that shows the shortcut, or null
    void (TOvelMainForm::*Run)();
};

constexpr THotKeyRow kHotKeyRows[kHotKeyActionCount] = {
#define OVEL_HOT_KEY(Name, AtomName, RegistryValue, LabelKey, MenuItem) {MenuItem, &TOvelMainForm::Name##Key},
#include "player/window/HotKeyActions.h"
#undef OVEL_HOT_KEY
};

// A value of another type counts as absent.
void ReadHotKeySettings()
{
    TRegistry& registry = *ProgRegistry;
    if (OpenProductKey()) {
        UseHotKeys = registry.ReadBool(kUseHotKeysValue).value_or(UseHotKeys);
        ReportStartSCDeny = registry.ReadBool(kReportStartSCDenyValue).value_or(ReportStartSCDeny);
        for (int action = 0; action < kHotKeyActionCount; ++action) {
            if (const std::optional<std::int32_t> value = registry.ReadInteger(kHotKeyNames[action].RegistryValue))
                HotKeyShortCuts[action] = StoredShortCut(*value);
        }
    }
    registry.CloseKey();
}

}  // namespace

void TOvelMainForm::AttachHotKeysHandlers()
{
    Bind(HotKeys.OnClick, &TOvelMainForm::HotKeysClick);
    Bind(HotKeysBitBtn.OnClick, &TOvelMainForm::HotKeysClick);
}

// The shortcuts are stored even while hot keys are off, so that the editor shows them.
void TOvelMainForm::SetSCs()
{
    ReadHotKeySettings();
    if (!UseHotKeys)
        return;
    for (int action = 0; action < kHotKeyActionCount; ++action) {
        if (HotKeyShortCuts[action] != 0)
            SetHotKeySC(static_cast<THotKeyAction>(action));
    }
}

void TOvelMainForm::FreeSCs()
{
    for (int action = 0; action < kHotKeyActionCount; ++action)
        ReleaseHotKey(static_cast<THotKeyAction>(action));
}

void TOvelMainForm::ShowShortCut(THotKeyAction action, TShortCut shortCut)
{
    if (TMenuItem TOvelMainForm::*item = kHotKeyRows[action].MenuItem)
        (this->*item).ShortCut = shortCut;
}

void TOvelMainForm::ReleaseHotKey(THotKeyAction action)
{
    std::uint16_t& atom = HotKeyAtoms[action];
    if (atom == 0)
        return;
    UnregisterHotKey(Handle(), atom);
    GlobalDeleteAtom(atom);
    atom = 0;
    ShowShortCut(action, 0);
}

// A refused key keeps its atom until the next release; the dispatch never meets it.
bool TOvelMainForm::SetHotKeySC(THotKeyAction action)
{
    ReleaseHotKey(action);
    const TShortCut shortCut = HotKeyShortCuts[action];
    if (shortCut == 0)
        return true;
    const ATOM atom = GlobalAddAtomA(kHotKeyNames[action].Atom);
    HotKeyAtoms[action] = atom;
    if (atom != 0 && RegisterHotKey(Handle(), atom, HotKeyModifiers(shortCut), ShortCutKey(shortCut))) {
        ShowShortCut(action, shortCut);
        return true;
    }
    if (!BoardStarting || ReportStartSCDeny)
        LangErrorBox(GetLangStringFmt("hotkeydeny", {ShortCutToText(shortCut)}));
    return false;
}

void TOvelMainForm::WMHotKey(TMessage& message)
{
    message.Result = 0;
    // Under the editor's modal window no key acts: Exit would end the program beneath it.
    if (HotKeysForm)
        return;
    for (int action = 0; action < kHotKeyActionCount; ++action) {
        if (HotKeyAtoms[action] != 0 && HotKeyAtoms[action] == message.WParam) {
            (this->*kHotKeyRows[action].Run)();
            return;
        }
    }
}

void TOvelMainForm::HotKeysClick(TObject*)
{
    HotKeysBitBtn.Hide();
    HotKeys.Enabled = false;
    ShowOwnWindow(HotKeysForm);
    HotKeysBitBtn.Show();
    HotKeys.Enabled = true;
}

// Setting the box runs its click handler, as the user's click would.
void TOvelMainForm::InvertCheckBox(TCheckBox& box)
{
    if (box.Enabled())
        box.SetChecked(!box.Checked());
}

// The position stays within the range; a change runs the change handler, which applies the level.
void TOvelMainForm::StepTrackBar(::TTrackBar& trackBar, int step)
{
    if (trackBar.Enabled())
        trackBar.SetPosition(trackBar.Position() + step);
}

void TOvelMainForm::ControlBoardKey()
{
    if (Application.IsIconic())
        CustomizeClick(nullptr);
    else if (!OwnWindowOpen())
        Close();
}

void TOvelMainForm::PlayKey() { PlayOnOffClick(nullptr); }

void TOvelMainForm::OvelLouderKey()
{
    if (PlayCheckBox.Checked())
        StepTrackBar(VolumeTrackBar, 1);
}

void TOvelMainForm::OvelLowerKey()
{
    if (PlayCheckBox.Checked())
        StepTrackBar(VolumeTrackBar, -1);
}

void TOvelMainForm::DayForestKey()
{
    Forest.Checked = true;
    ForestClick(nullptr);
}

void TOvelMainForm::NightForestKey()
{
    ForestN.Checked = true;
    ForestNClick(nullptr);
}

void TOvelMainForm::BrookKey() { InvertCheckBox(OptionCheckBox); }

void TOvelMainForm::BrookLouderKey() { StepTrackBar(OptionTrackBar, 1); }

void TOvelMainForm::BrookLowerKey() { StepTrackBar(OptionTrackBar, -1); }

// By day the bonfire's controls are the birds' activity and the background level: its keys do nothing.
void TOvelMainForm::StepBonfireTrackBar(::TTrackBar& trackBar, int step)
{
    if (OvelComboBox.ItemIndex() == kNightScene)
        StepTrackBar(trackBar, step);
}

void TOvelMainForm::BonfireKey()
{
    if (OvelComboBox.ItemIndex() == kNightScene)
        InvertCheckBox(Option1CheckBox);
}

void TOvelMainForm::BonfireHeavierKey() { StepBonfireTrackBar(Option1TrackBar, 1); }

void TOvelMainForm::BonfireWeakerKey() { StepBonfireTrackBar(Option1TrackBar, -1); }

void TOvelMainForm::BonfireCloserKey() { StepBonfireTrackBar(Option1TrackBar1, 1); }

void TOvelMainForm::BonfireFartherKey() { StepBonfireTrackBar(Option1TrackBar1, -1); }

// The tray item is offered only while the rain can play (its bank present, play on).
void TOvelMainForm::RainKey()
{
    if (RainNow.Visible && RainNow.Enabled && RainNow.OnClick)
        RainNow.OnClick(nullptr);
}

void TOvelMainForm::WindKey() { InvertCheckBox(WindCheckBox); }

void TOvelMainForm::ExitKey() { ExitClick(nullptr); }
