// The placement pads, where a marker lifted onto the pad places the brook or
// the bonfire around the listener, and the sound-space limiter, whose zone
// bounds the distances of the scattered layers.
#include "player/window/MainForm.h"

#include "platform/forms/Application.h"
#include "player/engine/ClipPlacement.h"
#include "player/engine/Layers.h"
#include "support/LangUnit.h"

namespace {

// Where the pad opens in the marker's group box.
constexpr int kPadLeft = 80;
constexpr int kPadTop = 4;
// The bound labels stand by the zone's edges, in the group box.
constexpr int kFarLabelBelowTop = 18;
constexpr int kNearLabelBelowBottom = 16;

const TPen kCrosshairPen{clBlack, 1, PS_DOT};

int LeftIn(const TControl& control, const TControl& container) { return control.Left() - container.Left(); }

int TopIn(const TControl& control, const TControl& container) { return control.Top() - container.Top(); }

std::string MeterUnit() { return GetLangText("meterunit", false); }

}  // namespace

void TOvelMainForm::AttachPadHandlers()
{
    const struct {
        TShape& Marker;
        TColor Color;
    } markers[] = {{OShape, clMenuHighlight}, {O1Shape, clRed}};
    for (const auto& marker : markers) {
        marker.Marker.SetShape(stCircle);
        marker.Marker.SetPen({marker.Color, 1, PS_SOLID});
        marker.Marker.SetBrush({marker.Color, false});
        marker.Marker.Cursor = crHandPoint;
    }
    PosPanel.SetColor(clLime);
    VShape.SetPen(kCrosshairPen);
    HShape.SetPen(kCrosshairPen);
    ZoneVPanel.SetColor(clOlive);

    for (TShape* press : {&OShape, &OBackShape})
        Bind(press->OnMouseDown, &TOvelMainForm::OShapeMouseDown);
    for (TShape* press : {&O1Shape, &O1BackShape})
        Bind(press->OnMouseDown, &TOvelMainForm::O1ShapeMouseDown);
    Bind(OShape.OnMouseMove, &TOvelMainForm::OShapeMouseMove);
    Bind(O1Shape.OnMouseMove, &TOvelMainForm::O1ShapeMouseMove);
    Bind(ZoneVLabel.OnMouseDown, &TOvelMainForm::ZoneVLabelMouseDown);
    Bind(ZoneVLabel.OnMouseMove, &TOvelMainForm::ZoneVLabelMouseMove);
    Bind(CompressionCheckBox.OnClick, &TOvelMainForm::CompressionCheckBoxClick);
}

void TOvelMainForm::OShapeMouseDown(TObject* sender, TMouseButton, TShiftState, int x, int y)
{
    MarkerMouseDown(OShape, sender == &OShape, OptionGroupBox, StreamX, StreamY, x, y);
}

void TOvelMainForm::O1ShapeMouseDown(TObject* sender, TMouseButton, TShiftState, int x, int y)
{
    MarkerMouseDown(O1Shape, sender == &O1Shape, Option1GroupBox, FireX, FireY, x, y);
}

// A press on a marker at home or on its home square lifts the marker onto the
// pad; a press on the marker on the pad starts its drag.
void TOvelMainForm::MarkerMouseDown(TShape& marker, bool onMarker, TGroupBox& home, int& x, int& y, int mouseX,
                                    int mouseY)
{
    if (marker.Tag == 0) {
        LiftMarker(marker, home, x, y);
        return;
    }
    if (!onMarker)
        return;
    placing_.Anchored = true;
    placing_.MouseX = mouseX;
    placing_.MouseY = mouseY;
}

// Focusing the group box first puts back the other marker if it is on the pad.
void TOvelMainForm::LiftMarker(TShape& marker, TGroupBox& home, int& x, int& y)
{
    home.SetFocus();
    placing_ = {&marker, &home, {LeftIn(marker, home), TopIn(marker, home)}, &x, &y};
    PosPanel.Reparent(home, kPadLeft, kPadTop);
    marker.Reparent(PosPanel, x, y);
    marker.SetShowHint(false);
    PosPanel.Show();
    PosPanel.SetFocus();
    marker.Tag = 1;
}

void TOvelMainForm::OShapeMouseMove(TObject*, TShiftState shift, int x, int y) { DragPlacedMarker(shift, x, y); }

void TOvelMainForm::O1ShapeMouseMove(TObject*, TShiftState shift, int x, int y) { DragPlacedMarker(shift, x, y); }

// The mouse's place is relative to the marker, which follows it: its offset
// from the press is the step.
void TOvelMainForm::DragPlacedMarker(TShiftState shift, int mouseX, int mouseY)
{
    TShape* marker = placing_.Marker;
    if (!(shift & ssLeft) || !placing_.Anchored || !marker || marker->Tag != 1)
        return;
    const TPadPoint to = DragMarker({LeftIn(*marker, PosPanel), TopIn(*marker, PosPanel)}, mouseX - placing_.MouseX,
                                    mouseY - placing_.MouseY);
    marker->SetBounds(PosPanel.Left() + to.Left, PosPanel.Top() + to.Top, marker->Width(), marker->Height());
    *placing_.X = to.Left;
    *placing_.Y = to.Top;
    PlaceChannels(PadPosition(to));
}

// The first strand of the marker's sound follows it always, the others while
// they play: the brook with its waterfall, the bonfire with its second and
// third strands; the engine places the sounds it starts likewise.
void TOvelMainForm::PlaceChannels(const BASS_3DVECTOR& position)
{
    const std::initializer_list<TLayerId> fires = {lyFire1, lyFire2, lyFire3};
    const std::initializer_list<TLayerId> water = {lyBrook, lyWaterfall};
    const std::initializer_list<TLayerId>& strands = placing_.Marker == &O1Shape ? fires : water;
    for (TLayerId strand : strands) {
        const HSTREAM channel = LayerChannels[strand];
        if (strand == *strands.begin() || BASS_ChannelIsActive(channel) == BASS_ACTIVE_PLAYING)
            BASS_ChannelSet3DPosition(channel, &position, &ListenerNoVector[0], &ListenerNoVector[1]);
    }
    BASS_Apply3D();
}

// The pad closes as soon as the focus leaves it; the place stays as dragged.
void TOvelMainForm::RestorePositionMarker(TObject*)
{
    TShape* marker = placing_.Marker;
    if (!marker || marker->Tag == 0 || Screen.ActiveControl() == &PosPanel)
        return;
    marker->Reparent(*placing_.Home, placing_.HomePlace.Left, placing_.HomePlace.Top);
    marker->Tag = 0;
    marker->SetShowHint(true);
    placing_.Anchored = false;
    PosPanel.Hide();
}

TLimiterZone TOvelMainForm::LimiterZone() const { return {TopIn(ZoneVLabel, ZoneVPanel), ZoneVLabel.Height()}; }

void TOvelMainForm::ZoneVLabelMouseDown(TObject*, TMouseButton, TShiftState, int, int y)
{
    limiterGrip_ = GripAt(y, ZoneVLabel.Height());
    limiterPressY_ = y;
}

void TOvelMainForm::ZoneVLabelMouseMove(TObject*, TShiftState shift, int, int y)
{
    if (!(shift & ssLeft)) {
        ZoneVLabel.Cursor = GripAt(y, ZoneVLabel.Height()) == TLimiterGrip::Body ? crSizeNS : crVSplit;
        ApplyCursor(ZoneVLabel.Cursor);
        return;
    }
    const TLimiterZone zone = DragZone(LimiterZone(), limiterGrip_, y, limiterPressY_);
    ZoneVLabel.SetBounds(ZoneVLabel.Left(), ZoneVPanel.Top() + zone.Top, ZoneVLabel.Width(), zone.Height);
    LimiterHigh = FarBound(zone);
    LimiterLow = NearBound(zone);
    ShowLimiters();
}

void TOvelMainForm::ShowLimiters()
{
    const TLimiterZone zone = LimiterZone();
    const int zoneTop = CompressionGroupBox.Top() + zone.Top;
    FarthestSoundsLabel.SetTop(zoneTop + kFarLabelBelowTop);
    FarthestSoundsLabel.SetCaption(BoundText(LimiterHigh, MeterUnit()));
    ClosestSoundsLabel.SetTop(zoneTop + zone.Height + kNearLabelBelowBottom);
    ClosestSoundsLabel.SetCaption(BoundText(LimiterLow, MeterUnit()));
}

// The bounds stay as they are while the limiter is off; they are saved with
// the other options, not at each drag.
void TOvelMainForm::CompressionCheckBoxClick(TObject*)
{
    const bool limited = CompressionCheckBox.Checked();
    ZoneVPanel.SetEnabled(limited);
    FarthestSoundsLabel.SetVisible(limited);
    ClosestSoundsLabel.SetVisible(limited);
    ZoneVLabel.SetColor(limited ? clLime : clGray);
    if (!LoadingSettings)
        SaveC1(true);
}
