#pragma once
// Pop-up menus built in code. Items are the caller's objects (so each can be
// a named member of its form); the menu is made anew at every Popup, so
// changes to an item's fields show the next time it opens.

#include "platform/forms/Charsets.h"
#include "platform/forms/Classes.h"
#include "platform/forms/ShortCut.h"

#include <string>
#include <vector>

class TImageList;

class TMenuItem : public TObject {
public:
    std::string Caption;
    bool Checked = false;
    bool Enabled = true;
    bool Visible = true;
    bool Default = false;
    int ImageIndex = -1;
    TShortCut ShortCut = 0;  // shown after the caption; 0 for none
    TNotifyEvent OnClick;
};

// The shortcut's text, the system naming the keys that have no name of their own.
std::string ShortCutToText(TShortCut shortCut);

class TPopupMenu : public TObject {
public:
    void Add(TMenuItem& item);
    void AddSeparator();
    const std::vector<TMenuItem*>& Items() const { return items_; }  // null for a separator
    TImageList* Images = nullptr;
    // The character set whose code page the captions are written in.
    int Charset = kDefaultCharset;

    // Opens the menu at the screen point and runs the chosen item's OnClick
    // after the menu has closed; owner receives the menu's messages (the
    // application window when null).
    void Popup(int x, int y, HWND owner = nullptr);
    // The bitmap shown for the item (from Images), or null.
    HBITMAP Bitmap(const TMenuItem& item) const;

private:
    HMENU Build() const;

    std::vector<TMenuItem*> items_;
};
