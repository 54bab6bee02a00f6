#pragma once
// Colours and a thin drawing surface over a device context.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// A colour is an RGB value (0x00BBGGRR) or, with the top byte 0xFF, a system
// colour index; clDefault means "as the parent has it".
using TColor = std::uint32_t;
constexpr TColor clSystemColor = 0xFF000000;
constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
constexpr TColor clMenuHighlight = clSystemColor | COLOR_MENUHILIGHT;
constexpr TColor clGradientActiveCaption = clSystemColor | COLOR_GRADIENTACTIVECAPTION;
constexpr TColor clDefault = 0x20000000;

COLORREF ColorToRGB(TColor color);

// Deletes the old brush; clDefault leaves none.
void ReplaceSolidBrush(HBRUSH& brush, TColor color);

struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    int Style = PS_SOLID;
};

struct TBrush {
    TColor Color = clWhite;
    bool Clear = false;  // shapes are drawn without filling
};

struct TCanvasFont {
    TColor Color = clWindowText;
    bool Bold = false;
};

// Draws on a device context it does not own.
class TCanvas {
public:
    explicit TCanvas(HDC dc = nullptr) : dc_(dc) {}
    HDC Handle() const { return dc_; }
    void SetHandle(HDC dc) { dc_ = dc; }

    TPen Pen;
    TBrush Brush;
    TCanvasFont Font;

    void FillRect(const RECT& rect);
    void Rectangle(int left, int top, int right, int bottom);
    void Ellipse(int left, int top, int right, int bottom);
    void Polygon(const std::vector<POINT>& points);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void TextOut(int x, int y, const std::string& text);
    int TextWidth(const std::string& text);
    void Draw(int x, int y, HBITMAP bitmap);

private:
    HDC dc_;
};
