// The alarm window: the user's file or the built-in series, and the keys
// that end it.
#include "player/tools/AlarmClockUnit.h"

#include "platform/forms/Application.h"
#include "player/engine/ClipScramble.h"
#include "player/engine/Layers.h"
#include "player/engine/SoundBanks.h"
#include "player/engine/StartUp.h"
#include "player/window/MainForm.h"
#include "player/window/ScheduleClock.h"
#include "resources/player/AlarmClockIds.h"
#include "support/LangUnit.h"
#include "support/Random.h"
#include "support/SystemFolders.h"

HSTREAM AlarmStream = 0;
TAlarmTimer AlarmSeries;
TClipBuffer AlarmBuffer;

TAlarmClockForm* AlarmClockForm = nullptr;

namespace {

constexpr const char* kTemplate = "TALARMCLOCKFORM";
constexpr const char* kClassName = "TAlarmClockForm";
constexpr const char* kClockAnimation = "ALARMCLOCK";
constexpr const char* kFontFace = "Arial";
constexpr int kLabelFontHeight = -13;
constexpr int kButtonFontHeight = -19;
constexpr BOOL kFromMemory = TRUE;
constexpr BOOL kGoOn = FALSE;  // play on from where the stream stands
constexpr int kSoftwareShift = 4;
constexpr DWORD kInnerAlarmFlags = BASS_STREAM_AUTOFREE | BASS_SAMPLE_FLOAT;
constexpr DWORD kStereo = 2;
constexpr int kSwapChance = 2;  // one sound in two of the stereo ones
constexpr int kSwapPriority = 2;

void RestartTimer(TTimer& timer, UINT interval)
{
    timer.SetEnabled(false);
    timer.SetInterval(interval);
    timer.SetEnabled(true);
}

}  // namespace

void OVEL_AUDIO_CALLBACK AlarmSwapStereoDSP(HDSP handle, DWORD channel, void* buffer, DWORD length, void* user)
{
    SwapStereoDSP(handle, channel, buffer, length, user);
}

TAlarmClockForm::TAlarmClockForm()
{
    OnCreate = [this](TObject* sender) { FormCreate(sender); };
    created_ = CreateFromTemplate(kTemplate);
}

void TAlarmClockForm::CreateParams(TCreateParams& params) { params.WindowClassName = kClassName; }

void TAlarmClockForm::AttachControls()
{
    Label1.Attach(*this, IDC_Label1);
    Animate1.Attach(*this, IDC_Animate1);
    ExitBitBtn.Attach(*this, IDCANCEL);
    ExitBitBtn.ModalResult = mrCancel;
    KeyPreview = true;
    OnKeyDown = [this](TObject* sender, WORD& key, TShiftState shift) { FormKeyDown(sender, key, shift); };
    OnClose = [this](TObject* sender, TCloseAction& action) { FormClose(sender, action); };
    Timer1.OnTimer = [this](TObject* sender) { Timer1Timer(sender); };
}

void TAlarmClockForm::FormCreate(TObject*)
{
    AlarmSeries = TAlarmTimer{};
    SetFontCharset(static_cast<BYTE>(LangCharset));
    Label1.SetFont(kFontFace, kLabelFontHeight, true);
    ExitBitBtn.SetFont(kFontFace, kButtonFontHeight, false);
    SetColor(clWhite);
    Label1.SetFontColor(clNavy);
    CentreOn(*OvelMainForm);

    SetCaption(GetLangString("onschedule"));
    Label1.SetCaption(GetLangText("alarmformhint", false));
    ExitBitBtn.SetCaption(GetLangString("cancel"));
    Animate1.SetResName(kClockAnimation);
    Animate1.SetActive(true);
    // The board may have opened the device already.
    BASS_Init(OutputDevice, kOutputRate, 0, Application.Handle(), nullptr);
    BASS_Start();
    if (OvelMainForm->InnerAlarmRadioButton.Checked())
        AlarmSeries.FirstTick = true;
    else
        PlayAlarmFile();
    RestartTimer(Timer1, AlarmSeries.Interval);
}

void TAlarmClockForm::FormKeyDown(TObject*, WORD& key, TShiftState)
{
    key = 0;
    Close();
}

void TAlarmClockForm::FormClose(TObject*, TCloseAction&)
{
    Timer1.SetEnabled(false);
    BASS_StreamFree(AlarmStream);
    AlarmStream = 0;
}

void TAlarmClockForm::PlayAlarmFile()
{
    if (BASS_ChannelIsActive(AlarmStream) == BASS_ACTIVE_PLAYING)
        return;
    if (!StartAlarmFile())
        AlarmFileFailed();
}

bool TAlarmClockForm::StartAlarmFile()
{
    if (!FileExists(AlarmFileName))
        return false;
    const DWORD flags = BASS_STREAM_AUTOFREE | (static_cast<DWORD>(SoftwareMixing) << kSoftwareShift);
    AlarmStream = BASS_StreamCreateFile(FALSE, AlarmFileName.c_str(), 0, 0, flags);
    return AlarmStream != 0 && BASS_ChannelPlay(AlarmStream, kGoOn);
}

void TAlarmClockForm::AlarmFileFailed()
{
    OvelMainForm->FileAlarmRadioButton.SetFontColor(clRed);
    if (!SoundBanks[sbOvac].Present)
        return;
    AlarmSeries.FirstTick = true;
    OvelMainForm->InnerAlarmRadioButton.SetChecked(true);
}

bool TAlarmClockForm::PlayInnerAlarm()
{
    TSoundBank& bank = SoundBanks[sbOvac];
    if (!bank.Present || !bank.Handle)
        return false;
    const std::optional<int> index =
        AlarmClipIndex(AlarmSeries.SoundCount, {bank.GroupCount1, bank.GroupCount2, bank.GroupCount3});
    if (!index)
        return false;
    // The stream that played from the buffer goes before the buffer is read anew.
    BASS_StreamFree(AlarmStream);
    AlarmStream = 0;
    const auto entry = static_cast<std::uint32_t>(*index);
    if (!ReadEntryClip(*bank.Handle, bank, entry, AlarmBuffer))
        return true;  // this sound is lost; the series goes on
    UnscrambleClip(bank.Kind, ClipSoundNumber(sbOvac, entry, bank.EntryCount), AlarmBuffer);
    AlarmStream = BASS_StreamCreateFile(kFromMemory, AlarmBuffer.Words.data(), 0, AlarmBuffer.Bytes, kInnerAlarmFlags);
    BASS_CHANNELINFO info{};
    if (BASS_ChannelGetInfo(AlarmStream, &info) && info.chans == kStereo && Random(kSwapChance) == 0)
        BASS_ChannelSetDSP(AlarmStream, AlarmSwapStereoDSP, nullptr, kSwapPriority);
    BASS_ChannelPlay(AlarmStream, kGoOn);
    return true;
}

void TAlarmClockForm::Timer1Timer(TObject*)
{
    const bool playing =
        AlarmStreamPlaying(stall_, BASS_ChannelIsActive(AlarmStream), SystemScheduleClock().TickCount());
    switch (AlarmTimerStep(AlarmSeries, playing, OvelMainForm->InnerAlarmRadioButton.Checked())) {
        case TAlarmTimerAction::Wait:
            return;
        case TAlarmTimerAction::PlayNext:
            RestartTimer(Timer1, AlarmSeries.Interval);
            if (!PlayInnerAlarm())
                Close();
            return;
        case TAlarmTimerAction::Close:
            Close();
            return;
    }
}
