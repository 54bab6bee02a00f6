// The hot-key editor's window and its handlers.
#include "player/tools/HotKeysUnit.h"

#include "platform/forms/Menus.h"
#include "platform/forms/Registry.h"
#include "player/engine/SystemInfoLine.h"
#include "player/window/BoardTexts.h"
#include "player/window/MainForm.h"
#include "resources/player/HotKeysIds.h"
#include "support/LangUnit.h"
#include "support/ProgInfo.h"
#include "support/WinVer.h"

THotKeysForm* HotKeysForm = nullptr;

namespace {

constexpr const char* kTemplate = "THOTKEYSFORM";
constexpr const char* kClassName = "THotKeysForm";
constexpr int kClientWidth = 587;
constexpr int kClientHeight = 404;
constexpr int kHelpFontHeight = -11;
constexpr int kCheckBoxWidth = 24;  // the box and its gap before the caption

// One row per action, in the order of the action table.
struct TRow {
    TLabel THotKeysForm::*Label;
    THotKey THotKeysForm::*HotKey;
    bool (TOvelMainForm::*Setter)();
};

constexpr TRow kRows[kHotKeyActionCount] = {
#define OVEL_HOT_KEY(Name, AtomName, RegistryValue, LabelKey, MenuItem)                                                \
    {&THotKeysForm::Name##Label, &THotKeysForm::Name##HotKey, &TOvelMainForm::Set##Name##SC},
#include "player/window/HotKeyActions.h"
#undef OVEL_HOT_KEY
};

bool SetSC(int action) { return (OvelMainForm->*kRows[action].Setter)(); }

void SaveBool(const char* name, bool value)
{
    if (OpenProductKey())
        ProgRegistry->WriteBool(name, value);
    ProgRegistry->CloseKey();
}

void SaveShortCut(int action)
{
    if (OpenProductKey())
        ProgRegistry->WriteInteger(kHotKeyNames[action].RegistryValue, HotKeyShortCuts[action]);
    ProgRegistry->CloseKey();
}

}  // namespace

THotKeysForm::THotKeysForm()
{
    OnCreate = [this](TObject* sender) { FormCreate(sender); };
    created_ = CreateFromTemplate(kTemplate);
}

void THotKeysForm::CreateParams(TCreateParams& params)
{
    params.WindowClassName = kClassName;
    if (!OldWindowsLook && !Win10OrLater)
        params.WindowClassStyle |= CS_DROPSHADOW;
}

void THotKeysForm::AttachControls()
{
    HotKeysGroupBox.Attach(*this, IDC_HotKeysGroupBox);
    HotKeysCheckBox.Attach(*this, IDC_HotKeysCheckBox);
    HelpLabel.Attach(*this, IDC_HelpLabel);
#define OVEL_HOT_KEY(Name, AtomName, RegistryValue, LabelKey, MenuItem)                                                \
    Name##Label.Attach(*this, IDC_##Name##Label);                                                                      \
    Name##HotKey.Attach(*this, IDC_##Name##HotKey);
#include "player/window/HotKeyActions.h"
#undef OVEL_HOT_KEY
    ReportSCDenyCheckBox.Attach(*this, IDC_ReportSCDenyCheckBox);
    OKBitBtn.Attach(*this, IDC_OKBitBtn);
    OKBitBtn.ModalResult = mrOk;
    OKBitBtn.Cancel = true;
    for (const TRow& row : kRows) {
        THotKey& hotKey = this->*row.HotKey;
        hotKey.OnExit = [this](TObject* sender) { HotKeyExit(sender); };
        hotKey.OnChange = [this](TObject* sender) { HotKeyChange(sender); };
    }
}

void THotKeysForm::FormCreate(TObject*)
{
    SetFontCharset(static_cast<BYTE>(LangCharset));
    HelpLabel.SetFont(kHelpFontHeight, true);
    // The check boxes' handlers come after the filling, so that it writes nothing.
    HotKeysLoading = true;
    FillTexts();
    HotKeysCheckBox.OnClick = [this](TObject* sender) { HotKeysCheckBoxClick(sender); };
    ReportSCDenyCheckBox.OnClick = [this](TObject* sender) { ReportSCDenyCheckBoxClick(sender); };
    HotKeysCheckBoxClick(&HotKeysCheckBox);
    HotKeysLoading = false;
    SetClientSize(kClientWidth, kClientHeight);
    if (OvelMainForm)
        CentreOn(*OvelMainForm);
}

void THotKeysForm::FillTexts()
{
    SetCaption(GetLangString("progname") + " - " + HotKeysCaption);
    const std::string useHotKeys = GetLangString("usehotkeys");
    HotKeysCheckBox.SetCaption(useHotKeys);
    HotKeysCheckBox.SetWidth(HotKeysCheckBox.TextWidth(useHotKeys) + kCheckBoxWidth);
    HotKeysCheckBox.SetChecked(UseHotKeys);
    HelpLabel.SetCaption(GetLangString("presshotkeys"));
    for (int action = 0; action < kHotKeyActionCount; ++action) {
        (this->*kRows[action].Label).SetCaption(GetLangString(kHotKeyNames[action].LabelKey));
        if (HotKeyShortCuts[action] != 0)
            (this->*kRows[action].HotKey).SetHotKey(HotKeyShortCuts[action]);
    }
    ReportSCDenyCheckBox.SetCaption(GetLangText("reportstarthkdeny", false));
    ReportSCDenyCheckBox.SetChecked(ReportStartSCDeny);
}

void THotKeysForm::HotKeysCheckBoxClick(TObject*)
{
    const bool on = HotKeysCheckBox.Checked();
    HelpLabel.SetEnabled(on);
    ReportSCDenyCheckBox.SetEnabled(on);
    for (const TRow& row : kRows) {
        (this->*row.Label).SetEnabled(on);
        (this->*row.HotKey).SetEnabled(on);
    }
    if (HotKeysLoading)
        return;
    UseHotKeys = on;
    SaveBool(kUseHotKeysValue, on);
    if (!on) {
        OvelMainForm->FreeSCs();
        return;
    }
    for (int action = 0; action < kHotKeyActionCount; ++action)
        SetSC(action);
}

void THotKeysForm::ReportSCDenyCheckBoxClick(TObject*)
{
    ReportStartSCDeny = ReportSCDenyCheckBox.Checked();
    SaveBool(kReportStartSCDenyValue, ReportStartSCDeny);
}

void THotKeysForm::HotKeyExit(TObject* sender)
{
    if (HotKeysLoading)
        return;
    for (int action = 0; action < kHotKeyActionCount; ++action) {
        THotKey& hotKey = this->*kRows[action].HotKey;
        if (&hotKey != sender)
            continue;
        const TShortCut shortCut = hotKey.HotKey();
        if (shortCut == HotKeyShortCuts[action] || HotKeyBusy(shortCut))
            return;
        // The setter releases the old key first; a refusal it has reported leaves the row empty.
        HotKeyShortCuts[action] = shortCut;
        if (!SetSC(action)) {
            hotKey.SetHotKey(0);
            HotKeyShortCuts[action] = 0;
        }
        SaveShortCut(action);
        return;
    }
}

void THotKeysForm::HotKeyChange(TObject* sender)
{
    if (static_cast<THotKey*>(sender)->HotKey() == 0)
        HotKeyExit(sender);
}

bool THotKeysForm::HotKeyBusy(TShortCut shortCut)
{
    if (!ShortCutInUse(shortCut))
        return false;
    LangErrorBox(GetLangStringFmt("hotkeybusy", {ShortCutToText(shortCut)}));
    return true;
}
