// The power-off countdown's window and the power actions.
#include "player/tools/CompOffUnit.h"

#include "player/tools/PowerCalls.h"
#include "player/tools/WindowLook.h"
#include "player/window/MainForm.h"
#include "player/window/PowerActions.h"
#include "resources/player/CompOffIds.h"
#include "support/LangUnit.h"
#include "support/ProgInfo.h"
#include "support/SystemFolders.h"
#include "support/WinVer.h"

#include <string>

bool CompOffConfirmed = false;
TCompOffForm* CompOffForm = nullptr;
FARPROC SetSuspendStateAddress = nullptr;

namespace {

constexpr const char* kTemplate = "TCOMPOFFFORM";
constexpr const char* kClassName = "TCompOffForm";
constexpr int kClientWidth = 461;
constexpr int kClientHeight = 215;
constexpr const char* kFontFace = "Arial";
constexpr int kCompOffFontHeight = -32;
constexpr int kCountDownFontHeight = -85;
constexpr int kCancelFontHeight = -16;
constexpr int kHibernateItem = 2;  // of the board's MuteComboBox
constexpr int kCountdownStart = 10;
constexpr UINT kCountdownStep = 1000;

constexpr const char* kPowerLibrary = "POWRPROF.dll";
constexpr const char* kSetSuspendState = "SetSuspendState";
constexpr BOOL kAllBitsTrue = -1;
constexpr DWORD kBooleanByte = 0xFF;

constexpr const char* kRunOnceSubkey = "\\RunOnce";  // of kCurrentVersionKey
constexpr const char* kSoundOnValue = "Tessil";
constexpr const char* kSoundOnProgram = "Tessil.exe";

int Countdown = kCountdownStart;

BOOL AsBool(bool value) { return value ? kAllBitsTrue : FALSE; }

// The steps of the power-off, each through the calls in force; the token,
// once open, is closed before the power-off and after a failure.
class TShutDownRun {
public:
    explicit TShutDownRun(TPowerCalls& calls) : calls_(calls) {}

    bool Step(const TPowerStep& step)
    {
        switch (step.Call) {
            case TPowerCall::ShellExecute:
                return calls_.ShellExecuteHidden(step.File, step.Parameters);
            case TPowerCall::OpenProcessToken:
                return calls_.OpenProcessToken(kShutDownTokenAccess, token_);
            case TPowerCall::LookupPrivilegeValue:
                return calls_.LookupPrivilege(kShutDownPrivilege, privilege_);
            case TPowerCall::AdjustTokenPrivileges:
                return calls_.AdjustTokenPrivileges(token_, privilege_, kPrivilegeEnabled) == ERROR_SUCCESS;
            case TPowerCall::ExitWindowsEx:
                CloseToken();
                return calls_.ExitWindowsEx(kPowerOffFlags, 0);
        }
        return false;
    }

    void Fail(const TPowerStep& step)
    {
        CloseToken();
        if (step.FailureCaption)
            calls_.ExitErrorBox(step.FailureCaption);
    }

private:
    void CloseToken()
    {
        if (token_)
            calls_.CloseHandle(token_);
        token_ = nullptr;
    }

    TPowerCalls& calls_;
    HANDLE token_ = nullptr;
    LUID privilege_{};
};

}  // namespace

TCompOffForm::TCompOffForm()
{
    OnCreate = [this](TObject* sender) { FormCreate(sender); };
    created_ = CreateFromTemplate(kTemplate);
    if (created_)
        CompOffForm = this;
}

TCompOffForm::~TCompOffForm()
{
    if (CompOffForm == this)
        CompOffForm = nullptr;
}

void TCompOffForm::CreateParams(TCreateParams& params)
{
    params.WindowClassName = kClassName;
    AddWindowShadow(params);
}

void TCompOffForm::AttachControls()
{
    CompOffLabel.Attach(*this, IDC_CompOffLabel);
    CountDownLabel.Attach(*this, IDC_CountDownLabel);
    CancelBitBtn.Attach(*this, IDCANCEL);
    CancelBitBtn.ModalResult = mrCancel;
    CompOffTimer.SetInterval(kCountdownStep);
    CompOffTimer.OnTimer = [this](TObject* sender) { CompOffTimerTimer(sender); };
}

void TCompOffForm::FormCreate(TObject*)
{
    SetFontCharset(static_cast<BYTE>(LangCharset));
    CompOffLabel.SetFont(kFontFace, kCompOffFontHeight, false);
    CountDownLabel.SetFont(kFontFace, kCountDownFontHeight, false);
    CancelBitBtn.SetFont(kFontFace, kCancelFontHeight, false);
    SetColor(clBlack);
    CompOffLabel.SetFontColor(clBlue);
    CountDownLabel.SetFontColor(clRed);
    SetClientSize(kClientWidth, kClientHeight);
    CentreOnDesktop();

    SetCaption(GetLangString("onschedule"));
    const bool hibernation = OvelMainForm->MuteComboBox.ItemIndex() == kHibernateItem;
    CompOffLabel.SetCaption(GetLangString(hibernation ? "compsleep" : "compoff"));
    CancelBitBtn.SetCaption(GetLangString("cancel"));
    Countdown = kCountdownStart;
    CompOffConfirmed = false;
    CompOffTimer.SetEnabled(true);
}

void TCompOffForm::CompOffTimerTimer(TObject*)
{
    CountDownLabel.SetCaption(std::to_string(Countdown));
    if (Countdown == 0) {
        CompOffTimer.SetEnabled(false);
        CompOffConfirmed = true;
        Close();
    }
    --Countdown;
}

bool CallSetSuspendState(bool hibernate, bool force, bool disableWakeEvent)
{
    TPowerCalls& calls = PowerCalls();
    if (!SetSuspendStateAddress)
        SetSuspendStateAddress = calls.DllProc(kPowerLibrary, kSetSuspendState);
    if (!SetSuspendStateAddress)
        return false;
    const DWORD answer =
        calls.SetSuspendState(SetSuspendStateAddress, AsBool(hibernate), AsBool(force), AsBool(disableWakeEvent));
    return (answer & kBooleanByte) != 0;
}

bool TCompOffForm::Hibernate() { return CallSetSuspendState(true, false, false); }

void TCompOffForm::ShutDown()
{
    TPowerCalls& calls = PowerCalls();
    const TWindowsVersion version = calls.WindowsVersion();
    TShutDownRun run(calls);
    for (const TPowerStep& step : ShutDownSteps(version.PlatformId, version.Major, version.Minor)) {
        if (!run.Step(step)) {
            run.Fail(step);
            return;
        }
    }
}

bool TCompOffForm::RegisterSoundOnAndMute()
{
    if (VistaOrLater)
        return true;
    TPowerCalls& calls = PowerCalls();
    if (!calls.WriteMachineString(std::string(kCurrentVersionKey) + kRunOnceSubkey, kSoundOnValue,
                                  ExeDir + kSoundOnProgram))
        return false;
    calls.MuteSystemSound();
    return true;
}
