#pragma once
// A list of equally sized images, from a bitmap strip resource or icons.

#include "platform/forms/Graphics.h"

#include <commctrl.h>

#include <map>

class TImageList {
public:
    TImageList(int width, int height);
    ~TImageList();
    TImageList(const TImageList&) = delete;
    TImageList& operator=(const TImageList&) = delete;

    // Adds every image of a bitmap strip; pixels of the mask colour become
    // transparent. False when the resource is missing.
    bool AddStrip(LPCSTR resourceName, TColor mask);
    bool AddIcon(HICON icon);
    int Count() const;
    HIMAGELIST Handle() const { return list_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    void Draw(HDC dc, int x, int y, int index) const;
    // The image on the given background, as a bitmap the list keeps (for
    // menu items and buttons); null for an index out of range.
    HBITMAP Bitmap(int index, TColor background);

private:
    int width_;
    int height_;
    HIMAGELIST list_;
    std::map<int, HBITMAP> bitmaps_;
};
