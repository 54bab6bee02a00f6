#include "platform/forms/Graphics.h"

#include "platform/forms/Charsets.h"

namespace {

constexpr TColor kSystemColorMask = 0xFF000000;
constexpr TColor kSystemIndexMask = 0x000000FF;

// Selects a GDI object for one drawing call and puts the old one back.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object, bool owned)
        : dc_(dc), object_(object), owned_(owned), previous_(SelectObject(dc, object))
    {}
    ~Selection()
    {
        SelectObject(dc_, previous_);
        if (owned_)
            DeleteObject(object_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ object_;
    bool owned_;
    HGDIOBJ previous_;
};

HPEN MakePen(const TPen& pen) { return CreatePen(pen.Style, pen.Width, ColorToRGB(pen.Color)); }

HGDIOBJ BrushObject(const TBrush& brush, bool& owned)
{
    owned = !brush.Clear;
    return brush.Clear ? GetStockObject(NULL_BRUSH) : CreateSolidBrush(ColorToRGB(brush.Color));
}

// Pen and brush of the canvas, selected for one shape.
struct ShapeTools {
    ShapeTools(HDC dc, const TPen& pen, const TBrush& brush)
        : pen_(dc, MakePen(pen), true), brush_(dc, BrushObject(brush, owned_), owned_)
    {}
    bool owned_ = false;
    Selection pen_;
    Selection brush_;
};

HFONT FontFor(HDC dc, bool bold)
{
    LOGFONTW font{};
    GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof font, &font);
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    return CreateFontIndirectW(&font);
}

// Text for the font selected into the device context, in its code page.
std::u16string DrawnText(HDC dc, const std::string& text)
{
    return ToUtf16(text, CodePageOfCharset(GetTextCharset(dc)));
}

}  // namespace

COLORREF ColorToRGB(TColor color)
{
    if ((color & kSystemColorMask) == kSystemColorMask)
        return GetSysColor(static_cast<int>(color & kSystemIndexMask));
    return color;
}

void ReplaceSolidBrush(HBRUSH& brush, TColor color)
{
    if (brush)
        DeleteObject(brush);
    brush = color == clDefault ? nullptr : CreateSolidBrush(ColorToRGB(color));
}

void TCanvas::FillRect(const RECT& rect)
{
    HBRUSH brush = CreateSolidBrush(ColorToRGB(Brush.Color));
    ::FillRect(dc_, &rect, brush);
    DeleteObject(brush);
}

void TCanvas::Rectangle(int left, int top, int right, int bottom)
{
    ShapeTools tools(dc_, Pen, Brush);
    ::Rectangle(dc_, left, top, right, bottom);
}

void TCanvas::Ellipse(int left, int top, int right, int bottom)
{
    ShapeTools tools(dc_, Pen, Brush);
    ::Ellipse(dc_, left, top, right, bottom);
}

void TCanvas::Polygon(const std::vector<POINT>& points)
{
    ShapeTools tools(dc_, Pen, Brush);
    ::Polygon(dc_, points.data(), static_cast<int>(points.size()));
}

void TCanvas::MoveTo(int x, int y) { MoveToEx(dc_, x, y, nullptr); }

void TCanvas::LineTo(int x, int y)
{
    Selection pen(dc_, MakePen(Pen), true);
    ::LineTo(dc_, x, y);
}

void TCanvas::TextOut(int x, int y, const std::string& text)
{
    Selection font(dc_, FontFor(dc_, Font.Bold), true);
    SetTextColor(dc_, ColorToRGB(Font.Color));
    SetBkMode(dc_, TRANSPARENT);
    const std::u16string wide = DrawnText(dc_, text);
    ::TextOutW(dc_, x, y, reinterpret_cast<const wchar_t*>(wide.c_str()), static_cast<int>(wide.size()));
}

int TCanvas::TextWidth(const std::string& text)
{
    Selection font(dc_, FontFor(dc_, Font.Bold), true);
    SIZE size{};
    const std::u16string wide = DrawnText(dc_, text);
    GetTextExtentPoint32W(dc_, reinterpret_cast<const wchar_t*>(wide.c_str()), static_cast<int>(wide.size()), &size);
    return size.cx;
}

void TCanvas::Draw(int x, int y, HBITMAP bitmap)
{
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    HDC source = CreateCompatibleDC(dc_);
    {
        Selection picture(source, bitmap, false);
        BitBlt(dc_, x, y, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
    }
    DeleteDC(source);
}
