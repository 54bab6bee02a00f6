// The board's scene choice (day or night forest) and its play switch.
#include "player/window/MainForm.h"

#include "platform/forms/Application.h"
#include "player/engine/SoundBanks.h"
#include "player/engine/WeatherStrands.h"
#include "player/window/BoardState.h"
#include "player/window/ScheduleClock.h"

#include <commctrl.h>

namespace {

constexpr int kSceneTextTop = 2;
constexpr int kSceneTextMargin = 32;
constexpr int kFewestTicked = 2;  // a range below this has no inner ticks

}  // namespace

TColor TOvelMainForm::SceneColor() const { return OvelComboBox.ItemIndex() == kDayScene ? kDayColor : kNightColor; }

void TOvelMainForm::ForestClick(TObject*)
{
    if (!LoadingSettings)
        SaveOptions();
    OvelComboBox.SetItemIndex(kDayScene);
    OvelComboBoxSelect(nullptr);
}

void TOvelMainForm::ForestNClick(TObject*)
{
    if (!LoadingSettings)
        SaveOptions();
    OvelComboBox.SetItemIndex(kNightScene);
    OvelComboBoxSelect(nullptr);
}

void TOvelMainForm::RunWhole(TRerun& rerun, const std::function<void()>& round)
{
    if (rerun.Running) {
        rerun.Again = true;
        return;
    }
    rerun.Running = true;
    do {
        rerun.Again = false;
        round();
    } while (rerun.Again);
    rerun.Running = false;
}

void TOvelMainForm::OvelComboBoxSelect(TObject*)
{
    RunWhole(sceneSwitch_, [this] { SwitchScene(); });
}

void TOvelMainForm::SwitchScene()
{
    // Keys and the wheel choose without a drop-down: the options go under the
    // scene they belong to before the chosen scene's are loaded.
    const bool reload = !LoadingSettings && !BoardStarting;
    if (reload)
        SaveOptions();
    if (reload && PlayCheckBox.Checked()) {
        if (FWindTimer.Enabled())
            StopFWind();
        if (RainPlays())
            RainNowClick(nullptr);
    }
    switch (OvelComboBox.ItemIndex()) {
        case kDayScene:
            ShowDayScene();
            DrawZoneWedges(kDayColor);
            break;
        case kNightScene:
            ShowNightScene();
            DrawZoneWedges(kNightColor);
            break;
        default:
            break;
    }
    if (reload)
        SetControls();
    SceneSwitchTime = ScheduleClock().Now();
    PlayCheckBoxClick(nullptr);
    ToggleLang();  // several texts follow the scene
}

void TOvelMainForm::ShowDayScene()
{
    Forest.Checked = true;
    ForestN.Checked = false;
    SetSceneColor(kDayColor);
    Option1TrackBar.SetEnabled(true);
    Option1TrackBar1.SetEnabled(true);
    SetSceneRanges(kDayScene);
    O1Shape.Hide();
    O1BackShape.Hide();
    for (TTrackBar* trackBar : {&Option1TrackBar, &Option1TrackBar1, &VolumeTrackBar, &NFBTrackBar, &NFITrackBar,
                                &WindVolumeTrackBar, &NatureFolderTrackBar, &MusicFolderTrackBar, &OptionTrackBar,
                                &Option6TrackBar, &Chime00TrackBar, &Chime30TrackBar})
        SetTBColor(*trackBar, kDayColor);
    GateOption(Option2CheckBox, NoOption2Label, Present(sbOvgh) || Present(sbOvdb));
    GateOption(Option4CheckBox, NoOption4Label, Present(sbOvwp) || Present(sbOvdb));
}

void TOvelMainForm::ShowNightScene()
{
    Forest.Checked = false;
    ForestN.Checked = true;
    SetSceneColor(kNightColor);
    SetTBColor(VolumeTrackBar, kNightColor);
    O1Shape.Show();
    O1BackShape.Show();
    for (TTrackBar* trackBar :
         {&Option1TrackBar, &Option1TrackBar1, &NFBTrackBar, &NFITrackBar, &WindVolumeTrackBar, &NatureFolderTrackBar,
          &MusicFolderTrackBar, &OptionTrackBar, &Option6TrackBar, &Chime00TrackBar, &Chime30TrackBar})
        SetTBColor(*trackBar, kNightColor);
    SetSceneRanges(kNightScene);
    GateOption(Option2CheckBox, NoOption2Label, Present(sbOvng));
    Option4CheckBox.SetEnabled(true);
    NoOption4Label.Hide();
}

void TOvelMainForm::SetSceneColor(TColor color)
{
    SetColor(color);
    SetFontColor(clGradientActiveCaption);
    OvelLabel.SetFontColor(clGradientActiveCaption);
    Invalidate();
}

void TOvelMainForm::UncheckQuietly(TCheckBox& box)
{
    TNotifyEvent handler = std::move(box.OnClick);
    box.OnClick = nullptr;
    box.SetChecked(false);
    box.OnClick = std::move(handler);
}

// A voice group whose bank is missing is unticked, greyed and labelled so.
void TOvelMainForm::GateOption(TCheckBox& box, TLabel& label, bool present)
{
    if (!present)
        UncheckQuietly(box);
    box.SetEnabled(present);
    label.SetVisible(!present);
}

// The limiter's wedges: the scene-coloured half shows, the red half is transparent.
void TOvelMainForm::DrawZoneWedges(TColor color)
{
    for (TImage* image : {&ZoneLImage, &ZoneRImage}) {
        const int width = image->Width();
        const int height = image->Height();
        const bool left = image == &ZoneLImage;
        TCanvas& canvas = image->Canvas();
        canvas.Pen.Color = color;
        canvas.Brush.Color = color;
        canvas.Polygon(left ? std::vector<POINT>{{0, 0}, {width, 0}, {0, height}}
                            : std::vector<POINT>{{0, 0}, {width, 0}, {width, height}});
        canvas.Pen.Color = clRed;
        canvas.Brush.Color = clRed;
        canvas.Polygon(left ? std::vector<POINT>{{width, 0}, {width, height}, {0, height}}
                            : std::vector<POINT>{{0, 0}, {width, height}, {0, height}});
        image->SetTransparentColor(clRed);
        image->Invalidate();
    }
}

void TOvelMainForm::OvelComboBoxDrawItem(TObject*, int index, const RECT& rect, UINT)
{
    TCanvas& canvas = OvelComboBox.Canvas();
    canvas.Brush.Color = index == kDayScene ? kDayColor : kNightColor;
    canvas.FillRect(rect);
    canvas.Font.Color = clGradientActiveCaption;
    const std::string text = OvelComboBox.Items.Strings(index);
    const int x = rect.left + (OvelComboBox.Width() - canvas.TextWidth(text) - kSceneTextMargin) / 2;
    canvas.TextOut(x, rect.top + kSceneTextTop, text);
}

// Ticks drawn anew make the trackbar repaint on the board's new colour.
void TOvelMainForm::SetTBColor(::TTrackBar& trackBar, TColor color)
{
    PostMessageA(trackBar.Handle(), TBM_CLEARTICS, TRUE, static_cast<LPARAM>(color));
    Application.ProcessMessages();
    if (trackBar.Max() - trackBar.Min() < kFewestTicked)
        return;
    for (int position = trackBar.Min() + 1; position < trackBar.Max(); ++position)
        trackBar.SetTick(position);
}

void TOvelMainForm::PlayCheckBoxClick(TObject*)
{
    RunWhole(playSwitch_, [this] { ShowPlaySwitch(); });
}

void TOvelMainForm::ShowPlaySwitch()
{
    if (PlayCheckBox.Checked())
        ShowPlayingLook();
    else
        ShowSilentLook();
    Repaint();
    PlayOnOffLook();
    RainNow.Visible = Present(sbOvel) && PlayCheckBox.Checked();
    PlayCheckBox.SetShowHint(!PlayCheckBox.Checked() && AlarmClockCheckBox.Checked());
    SetTessilControl();
    SetMainIcon();
}

void TOvelMainForm::ShowPlayingLook()
{
    SpkOffImage.Hide();
    VolumeTrackBar.Show();
    SpkAnimate.Show();
    for (TGroupBox* group : {&CompressionGroupBox, &RainGroupBox, &Option2GroupBox, &WindGroupBox,
                             &NatureFolderGroupBox, &MusicGroupBox, &ChimesGroupBox})
        group->Show();
    const struct {
        TComboBox& Folder;
        TCheckBox& AutoAlloc;
        TTrackBar& Level;
    } folders[] = {{NatureFolderComboBox, NatureAutoAllocCheckBox, NatureFolderTrackBar},
                   {MusicFolderComboBox, MusicAutoAllocCheckBox, MusicFolderTrackBar}};
    for (const auto& folder : folders) {
        folder.AutoAlloc.SetVisible(folder.Folder.Enabled());
        folder.Level.SetVisible(folder.Folder.Enabled() && !folder.AutoAlloc.Checked());
    }
    const bool day = OvelComboBox.ItemIndex() == kDayScene;
    Option4GroupBox.SetVisible(!day || Option1TrackBar.Position() > 0);
    NoOption5Label.SetVisible(!Present(day ? sbOvdc : sbOvnw));
    SpkAnimate.SetShowHint(false);
    PlayCheckBox.SetShowHint(false);
    PlayOvel();
    // A click handled while the output opened may have silenced the board.
    if (!DeviceFailed && PlayCheckBox.Checked())
        ScheduleTimer.SetInterval(kPlayingScheduleInterval);
}

// The rain ends at once and gives its controls back; the wind and the
// output stop with the sound.
void TOvelMainForm::StopAllSound()
{
    if (Present(sbOvel) && RainPlays())
        RainNowClick(&PlayCheckBox);
    StopOvel();
}

void TOvelMainForm::ShowSilentLook()
{
    StopAllSound();
    SpkAnimate.SetActive(false);
    SpkAnimate.Hide();
    SpkOffImage.Show();
    VolumeTrackBar.Hide();
    for (TGroupBox* group : {&CompressionGroupBox, &OptionGroupBox, &Option1GroupBox, &RainGroupBox, &Option2GroupBox,
                             &FlightsGroupBox, &WindGroupBox, &Option4GroupBox, &Option5GroupBox, &Option6GroupBox,
                             &NatureFolderGroupBox, &MusicGroupBox, &ChimesGroupBox})
        group->Hide();
    TessilCheckBox.Show();
    SpkAnimate.SetShowHint(true);
    ScheduleTimer.SetInterval(kSilentScheduleInterval);
}
