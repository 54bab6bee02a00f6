#include "platform/forms/ExtCtrls.h"

#include <algorithm>

namespace {

// Runs draw between BeginPaint and EndPaint of the control's window.
template <typename Draw>
void PaintWith(HWND window, Draw draw)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    draw(dc);
    EndPaint(window, &paint);
}

// The background a static gets from its form (colours set there included).
void FillBackground(HWND window, HDC dc)
{
    auto brush = reinterpret_cast<HBRUSH>(SendMessageA(GetParent(window), WM_CTLCOLORSTATIC,
                                                       reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window)));
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, brush ? brush : GetSysColorBrush(COLOR_BTNFACE));
}

SIZE ClientSize(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

}  // namespace

// Without SS_NOTIFY a static lets the mouse through: no clicks, no hints.
void TGraphicControl::Attached() { SetStyleBits(SS_NOTIFY, 0); }

void TGraphicControl::Command(WORD code)
{
    if (code == STN_CLICKED && OnClick)
        OnClick(this);
}

TImage::~TImage() { ReleaseBitmap(); }

void TImage::ReleaseBitmap()
{
    if (memory_) {
        SelectObject(memory_, previous_);
        DeleteDC(memory_);
        memory_ = nullptr;
    }
    if (bitmap_)
        DeleteObject(bitmap_);
    bitmap_ = nullptr;
    canvas_.SetHandle(nullptr);
}

void TImage::SetBitmap(HBITMAP bitmap)
{
    ReleaseBitmap();
    bitmap_ = bitmap;
    Invalidate();
}

TCanvas& TImage::Canvas()
{
    if (!bitmap_) {
        SIZE size = ClientSize(Handle());
        HDC screen = GetDC(Handle());
        bitmap_ = CreateCompatibleBitmap(screen, size.cx, size.cy);
        ReleaseDC(Handle(), screen);
    }
    if (!memory_) {
        memory_ = CreateCompatibleDC(nullptr);
        previous_ = SelectObject(memory_, bitmap_);
        canvas_.SetHandle(memory_);
    }
    return canvas_;
}

void TImage::SetTransparentColor(TColor color)
{
    transparent_ = color;
    Invalidate();
}

void TImage::WndProc(TMessage& message)
{
    if (message.Msg == WM_PAINT && bitmap_) {
        PaintWith(Handle(), [this](HDC dc) { Paint(dc); });
        message.Result = 0;
        return;
    }
    TGraphicControl::WndProc(message);
}

void TImage::Paint(HDC dc) const
{
    BITMAP info{};
    GetObjectA(bitmap_, sizeof info, &info);
    HDC source = memory_ ? memory_ : CreateCompatibleDC(dc);
    HGDIOBJ old = memory_ ? nullptr : SelectObject(source, bitmap_);
    if (transparent_ == clDefault) {
        BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
    } else {
        FillBackground(Handle(), dc);
        TransparentBlt(dc, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, info.bmWidth, info.bmHeight,
                       ColorToRGB(transparent_));
    }
    if (!memory_) {
        SelectObject(source, old);
        DeleteDC(source);
    }
}

void TPaintBox::WndProc(TMessage& message)
{
    if (message.Msg == WM_PAINT && OnPaint) {
        PaintWith(Handle(), [this](HDC dc) {
            FillBackground(Handle(), dc);
            canvas_.SetHandle(dc);
            OnPaint(this);
            canvas_.SetHandle(nullptr);
        });
        message.Result = 0;
        return;
    }
    TGraphicControl::WndProc(message);
}

void TShape::SetShape(TShapeType shape)
{
    shape_ = shape;
    Invalidate();
}

void TShape::SetPen(const TPen& pen)
{
    pen_ = pen;
    Invalidate();
}

void TShape::SetBrush(const TBrush& brush)
{
    brush_ = brush;
    Invalidate();
}

void TShape::WndProc(TMessage& message)
{
    if (message.Msg == WM_PAINT) {
        PaintWith(Handle(), [this](HDC dc) { Paint(dc); });
        message.Result = 0;
        return;
    }
    TGraphicControl::WndProc(message);
}

// Squares and circles take the shorter side and sit in the middle.
void TShape::Paint(HDC dc)
{
    FillBackground(Handle(), dc);
    SIZE size = ClientSize(Handle());
    RECT frame{0, 0, size.cx, size.cy};
    if (shape_ == stSquare || shape_ == stCircle) {
        LONG side = std::min(size.cx, size.cy);
        frame = {(size.cx - side) / 2, (size.cy - side) / 2, (size.cx + side) / 2, (size.cy + side) / 2};
    }
    TCanvas canvas(dc);
    canvas.Pen = pen_;
    canvas.Brush = brush_;
    if (shape_ == stEllipse || shape_ == stCircle)
        canvas.Ellipse(frame.left, frame.top, frame.right, frame.bottom);
    else
        canvas.Rectangle(frame.left, frame.top, frame.right, frame.bottom);
}
