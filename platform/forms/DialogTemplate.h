#pragma once
// Reading a dialog template resource (plain or extended) without Windows headers.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A rectangle in dialog units, or in pixels once converted.
struct TTemplateRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

struct TTemplateItem {
    std::uint32_t Id = 0;
    TTemplateRect Rect;
    // Parts drawn to the pixel take their rectangle in pixels from the
    // control's creation data of an extended template: four 16-bit words,
    // left, top, width and height in the form's client area.
    std::optional<TTemplateRect> Pixels;
};

struct TDialogTemplate {
    std::u16string ClassName;  // empty when the template names none or an atom
    TTemplateRect Rect;
    std::vector<TTemplateItem> Items;
};

// Forms are laid out in pixels as designed, whatever font the system gives
// the dialog: dialog units convert at these base units (4 x and 8 y units to
// them), not at the font's, so pixel-drawn parts of a form stay in place.
constexpr int kDesignBaseUnitX = 7;
constexpr int kDesignBaseUnitY = 13;

// Nothing when the bytes are not a whole template.
std::optional<TDialogTemplate> ReadDialogTemplate(const void* resource, std::size_t size);

TTemplateRect DesignPixels(const TTemplateRect& units);

// Where the item stands in pixels: its own pixels, else its units converted.
TTemplateRect ItemPixels(const TTemplateItem& item);
