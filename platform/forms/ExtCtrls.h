#pragma once
// Drawn controls over statics of the template: picture, paint box, shape.

#include "platform/forms/Controls.h"

class TGraphicControl : public TControl {
public:
    TNotifyEvent OnClick;

protected:
    void Attached() override;
    void Command(WORD code) override;
};

// A picture: a bitmap given to it, or one drawn through Canvas; with a
// transparent colour set, pixels of that colour let the background show.
class TImage : public TGraphicControl {
public:
    ~TImage() override;
    // The bitmap becomes the image's.
    void SetBitmap(HBITMAP bitmap);
    // A canvas on the image's own bitmap (made at the control's size when
    // there is none); call Invalidate after drawing.
    TCanvas& Canvas();
    void SetTransparentColor(TColor color);

protected:
    void WndProc(TMessage& message) override;

private:
    void Paint(HDC dc) const;
    void ReleaseBitmap();

    HBITMAP bitmap_ = nullptr;
    HDC memory_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    TColor transparent_ = clDefault;
    TCanvas canvas_;
};

// OnPaint draws on Canvas whenever the control paints.
class TPaintBox : public TGraphicControl {
public:
    TCanvas& Canvas() { return canvas_; }
    TNotifyEvent OnPaint;

protected:
    void WndProc(TMessage& message) override;

private:
    TCanvas canvas_;
};

enum TShapeType {
    stRectangle,
    stSquare,
    stEllipse,
    stCircle
};

class TShape : public TGraphicControl {
public:
    void SetShape(TShapeType shape);
    void SetPen(const TPen& pen);
    void SetBrush(const TBrush& brush);
    const TPen& Pen() const { return pen_; }
    const TBrush& Brush() const { return brush_; }

protected:
    void WndProc(TMessage& message) override;

private:
    void Paint(HDC dc);

    TShapeType shape_ = stRectangle;
    TPen pen_;
    TBrush brush_;
};
