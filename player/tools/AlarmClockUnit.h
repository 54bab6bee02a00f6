#pragma once
// The alarm: a small window with a ringing clock and one big button that the
// board shows modally when the alarm time comes or the alarm is tested. It
// plays the user's alarm file once, or a series of up to 31 built-in sounds
// of the alarm bank that grows more insistent; any key or the button closes
// it. The board's radio buttons choose the source.

#include "platform/audio/bass.h"
#include "platform/forms/ComCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/Timers.h"
#include "player/engine/BankFormat.h"
#include "player/window/AlarmSounds.h"

class TAlarmClockForm : public TForm {
public:
    // Makes the window from its template; FormCreate runs inside and starts
    // the alarm.
    TAlarmClockForm();
    bool Created() const { return created_; }

    TLabel Label1;
    TAnimate Animate1;
    TBitBtn ExitBitBtn;
    TTimer Timer1;

    void FormCreate(TObject* sender);
    void FormKeyDown(TObject* sender, WORD& key, TShiftState shift);
    void FormClose(TObject* sender, TCloseAction& action);
    void Timer1Timer(TObject* sender);
    // Plays the user's file once; when it cannot, the built-in alarm takes
    // over (and is the board's choice from now on) and the file choice turns
    // red. Without the alarm bank the window then closes at its first tick.
    void PlayAlarmFile();
    // The built-in sound numbered AlarmSeries.SoundCount; false when the
    // alarm bank can give none.
    bool PlayInnerAlarm();

protected:
    void AttachControls() override;
    void CreateParams(TCreateParams& params) override;

private:
    bool StartAlarmFile();
    void AlarmFileFailed();

    TAlarmStall stall_;
    bool created_ = false;
};

// The window while the board shows it.
extern TAlarmClockForm* AlarmClockForm;

// The stream that sounds now.
extern HSTREAM AlarmStream;
// The built-in series so far: whether it is yet to start, the sounds started
// since the window opened, the timer's interval.
extern TAlarmTimer AlarmSeries;
// The current built-in clip, which its stream plays from.
extern TClipBuffer AlarmBuffer;

// Swaps left and right of a stereo float buffer, so that the sound seems to
// come from the other side; runs on the mixing thread.
void OVEL_AUDIO_CALLBACK AlarmSwapStereoDSP(HDSP handle, DWORD channel, void* buffer, DWORD length, void* user);
