#include "platform/forms/ImageList.h"

#include <commctrl.h>

namespace {

constexpr UINT kListFlags = ILC_COLOR24 | ILC_MASK;
constexpr int kGrowBy = 4;

}  // namespace

TImageList::TImageList(int width, int height)
    : width_(width), height_(height), list_(ImageList_Create(width, height, kListFlags, 0, kGrowBy))
{}

TImageList::~TImageList()
{
    for (const auto& image : bitmaps_)
        DeleteObject(image.second);
    ImageList_Destroy(list_);
}

bool TImageList::AddStrip(LPCSTR resourceName, TColor mask)
{
    auto strip = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), resourceName, IMAGE_BITMAP, 0, 0, 0));
    if (!strip)
        return false;
    bool added = ImageList_AddMasked(list_, strip, ColorToRGB(mask)) >= 0;
    DeleteObject(strip);
    return added;
}

bool TImageList::AddIcon(HICON icon) { return ImageList_AddIcon(list_, icon) >= 0; }

int TImageList::Count() const { return ImageList_GetImageCount(list_); }

void TImageList::Draw(HDC dc, int x, int y, int index) const
{
    ImageList_Draw(list_, index, dc, x, y, ILD_TRANSPARENT);
}

HBITMAP TImageList::Bitmap(int index, TColor background)
{
    if (index < 0 || index >= Count())
        return nullptr;
    auto cached = bitmaps_.find(index);
    if (cached != bitmaps_.end())
        return cached->second;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width_, height_);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    TCanvas canvas(memory);
    canvas.Brush.Color = background;
    canvas.FillRect({0, 0, width_, height_});
    Draw(memory, 0, 0, index);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    bitmaps_[index] = bitmap;
    return bitmap;
}
