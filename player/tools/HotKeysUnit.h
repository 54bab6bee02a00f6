#pragma once
// The hot-key editor: switches the global hot keys on or off, gives each of
// the board's actions its shortcut and chooses whether refusals at the
// board's start are reported. Every change is registered and saved at once;
// closing the window changes nothing more.

#include "platform/forms/ComCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"
#include "player/window/HotKeys.h"

class THotKeysForm : public TForm {
public:
    // Makes the window from its template; FormCreate runs inside.
    THotKeysForm();
    bool Created() const { return created_; }

    TGroupBox HotKeysGroupBox;
    TCheckBox HotKeysCheckBox;
    TLabel HelpLabel;
#define OVEL_HOT_KEY(Name, AtomName, RegistryValue, LabelKey, MenuItem)                                                \
    TLabel Name##Label;                                                                                                \
    THotKey Name##HotKey;
#include "player/window/HotKeyActions.h"
#undef OVEL_HOT_KEY
    TCheckBox ReportSCDenyCheckBox;
    TBitBtn OKBitBtn;

    void FormCreate(TObject* sender);
    void HotKeysCheckBoxClick(TObject* sender);
    void ReportSCDenyCheckBoxClick(TObject* sender);
    // A row's control lost the focus, or was cleared: its shortcut is applied and saved.
    void HotKeyExit(TObject* sender);
    void HotKeyChange(TObject* sender);
    // Another action has this shortcut: says so and gives true.
    bool HotKeyBusy(TShortCut shortCut);

protected:
    void AttachControls() override;
    void CreateParams(TCreateParams& params) override;

private:
    void FillTexts();

    bool HotKeysLoading = false;  // filling the window writes nothing
    bool created_ = false;
};

// The open editor; null while there is none.
extern THotKeysForm* HotKeysForm;
