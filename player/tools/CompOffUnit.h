#pragma once
// The power-off countdown and the power actions. When the mute time comes
// with hibernation or power-off chosen, the board shows the countdown: ten
// seconds that the user can cancel by the button, Enter, Esc or the close
// box. Only when it runs out is CompOffConfirmed set, and the board then
// calls one of the power actions, which use no form. Every Windows call they
// make goes through PowerCalls().

#include "platform/forms/Forms.h"
#include "platform/forms/StdCtrls.h"
#include "platform/forms/Timers.h"

class TCompOffForm : public TForm {
public:
    // Makes the window from its template; FormCreate runs inside.
    TCompOffForm();
    ~TCompOffForm() override;
    bool Created() const { return created_; }

    TLabel CompOffLabel;
    TLabel CountDownLabel;
    TBitBtn CancelBitBtn;
    TTimer CompOffTimer;

    void FormCreate(TObject* sender);
    // Shows 10, 9, .. 0, one a second, and closes confirmed at the next tick.
    void CompOffTimerTimer(TObject* sender);

    // False when the system does not hibernate.
    static bool Hibernate();
    // By the Windows version; a failed step shows its "Exit Error" box and
    // nothing further happens.
    static void ShutDown();
    // Before Vista: the sound-on tool is registered to run once at the next
    // start, then the system sound is muted; false (and nothing muted) when
    // the registration cannot be written. From Vista on nothing is done.
    static bool RegisterSoundOnAndMute();

protected:
    void AttachControls() override;
    void CreateParams(TCreateParams& params) override;

private:
    bool created_ = false;
};

// Set only when the countdown ran out; cleared when a countdown is made.
extern bool CompOffConfirmed;
// The countdown while its window exists; null otherwise.
extern TCompOffForm* CompOffForm;
// SetSuspendState once found; null until then (a failed look-up is tried again).
extern FARPROC SetSuspendStateAddress;

// True when the system took the request.
bool CallSetSuspendState(bool hibernate, bool force, bool disableWakeEvent);
