// The rain on the board: the toggle of the rain button, the tray item and the
// rain hot key, the timer that steps an episode through its phases, and the
// forest's fading out and back around the rain.
#include "player/window/MainForm.h"

#include "platform/forms/Application.h"
#include "player/engine/Layers.h"
#include "player/engine/SoundBanks.h"
#include "player/engine/WeatherStrands.h"
#include "player/window/BoardTexts.h"

namespace {

constexpr int kStartRainImage = 2;
constexpr int kStopRainImage = 3;
// A toggle's own pause, and the stop's fade and wait when the user stops it.
constexpr DWORD kToggleWait = 1024;
constexpr unsigned kUserStopFade = 4096;

bool RainBankPresent() { return SoundBanks[sbOvel].Present; }

}  // namespace

// A toggle that comes while one runs (through the pumping inside it, or a
// click on the tray meanwhile) runs after it, whole.
void TOvelMainForm::RainNowClick(TObject* sender)
{
    rainSender_ = sender;
    RunWhole(rainToggle_, [this] { ToggleRain(rainSender_); });
}

// A rain draw of the forest is a chance, not a request: none while a toggle runs.
void TOvelMainForm::RainDrawn()
{
    if (!rainToggle_.Running)
        RainNowClick(nullptr);
}

void TOvelMainForm::ToggleRain(TObject* sender)
{
    RainBitBtn.Hide();
    Application.ProcessMessages();
    const bool stopping = RainPlays();
    if (stopping)
        StopRainEpisode(sender);
    else
        StartRainEpisode();
    Sleep(kToggleWait);
    ShowRainButton(stopping ? kStartRainImage : kStopRainImage, sender);
}

// Switching play off ends the rain at once; every other stop fades it out.
void TOvelMainForm::StopRainEpisode(TObject* sender)
{
    if (sender != &PlayCheckBox) {
        RainFadeOut(kUserStopFade);
        OnRainFadeIn(kUserStopFade);
        Sleep(kUserStopFade);
    }
    StopRain();
}

void TOvelMainForm::StartRainEpisode()
{
    const TRainActions actions =
        rainPhases_.Start(StormChoice(Value(TBoardControl::StormCheckBox)), RainComboBox.ItemIndex());
    RainNow.ImageIndex = kStopRainImage;
    RainNow.Caption = StopRainText;
    RainCheckBox.SetEnabled(false);
    StormCheckBox.SetEnabled(false);
    RainComboBox.SetEnabled(false);
    RunRainActions(actions);
    RainTimer.SetInterval(rainPhases_.Interval());
    RainTimer.SetEnabled(true);
    // The bird activity cannot change during the rain.
    if (OvelComboBox.ItemIndex() == kDayScene)
        Option1TrackBar.SetEnabled(false);
}

void TOvelMainForm::ShowRainButton(int image, TObject* sender)
{
    RainBitBtn.SetGlyph(PopUpImageList.Bitmap(image, clBtnFace));
    RainBitBtn.SetHint(RainNow.Caption);
    RainBitBtn.SetCaption(RainNow.Caption);
    RainBitBtn.Show();
    if (sender == &RainBitBtn)
        RainBitBtn.SetFocus();
}

void TOvelMainForm::RainTimerTimer(TObject*)
{
    // A tick that comes while a toggle pumps is the toggle's to decide.
    if (rainToggle_.Running)
        return;
    RainTimer.SetEnabled(false);
    const TRainActions actions = rainPhases_.Tick(RainComboBox.ItemIndex(), RainPlays());
    RainTimer.SetInterval(rainPhases_.Interval());
    RunRainActions(actions);
    // A toggle that the actions caused may have ended the episode meanwhile.
    if (rainPhases_.Phase() > 0)
        RainTimer.SetEnabled(true);
}

void TOvelMainForm::RunRainActions(const TRainActions& actions)
{
    for (const TRainAction action : actions) {
        switch (action) {
            case TRainAction::FadeOutScene:
                OnRainFadeOut(kRainFade);
                break;
            case TRainAction::FadeInScene:
                OnRainFadeIn(kRainFade);
                break;
            case TRainAction::PlayRain1:
                PlayRain1();
                break;
            case TRainAction::PlayRain2:
                PlayRain2();
                break;
            case TRainAction::PlayRain3:
                PlayRain3();
                break;
            case TRainAction::PlayStorm1:
                PlayStorm1();
                break;
            case TRainAction::PlayStorm2:
                PlayStorm2();
                break;
            case TRainAction::FadeRain1:
                FadeRainStrand(lyRain1, kRainFade);
                break;
            case TRainAction::FadeRain2:
                FadeRainStrand(lyRain2, kRainFade);
                break;
            case TRainAction::FadeRain3:
                FadeRainStrand(lyRain3, kRainFade);
                break;
            case TRainAction::StopWithFades:
                RainNowClick(nullptr);
                break;
            case TRainAction::EndEpisode:
                StopRain();
                ShowRainButton(kStartRainImage, nullptr);
                break;
        }
    }
}

void TOvelMainForm::OnRainFadeOut(unsigned ms)
{
    if (WindCheckBox.Checked())
        FWindTimer.SetEnabled(false);
    FadeOutSceneForRain(ms);
}

void TOvelMainForm::OnRainFadeIn(unsigned ms)
{
    FadeInSceneAfterRain(ms);
    if (WindCheckBox.Checked())
        FWindTimer.SetEnabled(true);
}

void TOvelMainForm::RainFadeOut(unsigned ms)
{
    RainTimer.SetEnabled(false);
    FadeRainStrands(ms);
}

void TOvelMainForm::StopRain()
{
    RainTimer.SetEnabled(false);
    rainPhases_.Reset();
    FreeWeatherStrands();
    RainNow.ImageIndex = kStartRainImage;
    RainNow.Caption = RainNowText;
    RainNow.Visible = RainBankPresent() && PlayCheckBox.Checked();
    // The states the board keeps for the banks: no rain without its bank, no
    // thunder without the storm bank.
    RainCheckBox.SetEnabled(RainBankPresent());
    StormCheckBox.SetEnabled(SoundBanks[sbOvrs].Present);
    RainComboBox.SetEnabled(true);
    if (OvelComboBox.ItemIndex() == kDayScene)
        Option1TrackBar.SetEnabled(true);
}
