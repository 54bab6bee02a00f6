#pragma once
// The base of every control wrapper: it is bound to a control of a form's
// dialog template by its id, holds the window handle and translates.

#include "platform/forms/Classes.h"
#include "platform/forms/Graphics.h"
#include "platform/forms/Screen.h"

#include <cstdint>
#include <string>
#include <vector>

class TForm;

class TControl : public TObject {
public:
    TControl() = default;
    ~TControl() override;

    // Binds the wrapper to the form's control with this dialog id; false when
    // the form has no such control.
    bool Attach(TForm& form, int id);
    HWND Handle() const { return handle_; }
    TForm* Form() const { return form_; }
    int Id() const;

    // Visible and Enabled are the control's own state; a hidden or disabled
    // container hides or disables it too, without changing that state.
    bool Visible() const;
    void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const;
    void SetEnabled(bool enabled);

    // The hint is written in the code page of the form's font when it is set.
    const std::string& Hint() const { return hint_; }
    unsigned HintCodePage() const { return hintCodePage_; }
    void SetHint(const std::string& hint);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool show);

    // Captions are written in the code page of the control's font.
    std::string Caption() const;
    void SetCaption(const std::string& caption);
    unsigned CodePage() const;
    // A font of the control's own: the one it has now, in this character set.
    void SetFontCharset(BYTE charset);
    // The width of text as the control draws it, in pixels.
    int TextWidth(const std::string& text) const;

    // Position and size in the parent's client coordinates.
    int Left() const { return Bounds().left; }
    int Top() const { return Bounds().top; }
    int Width() const;
    int Height() const;
    RECT Bounds() const;
    void SetBounds(int left, int top, int width, int height);
    void SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
    void SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
    void SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
    void SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }
    // The template makes every control a child of the form: this moves the
    // control, and what it holds, into container at (left, top) of it.
    void Reparent(const TControl& container, int left, int top) const;

    // Colours the form applies through WM_CTLCOLOR*; clDefault takes the form's.
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor color);
    HBRUSH BackgroundBrush() const { return brush_; }
    // A font of the control's own: the one it has now, at this height (in
    // pixels; negative for the characters' height) and slant.
    void SetFont(int height, bool italic);
    // The same in this face, its character set kept, at this height and weight.
    void SetFont(const std::string& face, int height, bool bold);

    LRESULT Perform(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void SetFocus() const;
    bool Focused() const;
    void Invalidate() const;
    void Repaint() const;

    TCursor Cursor = crDefault;
    std::intptr_t Tag = 0;

    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;

protected:
    friend class TForm;

    // Called once the handle is known, for control-specific setup.
    virtual void Attached() {}
    // Notifications the form reflects to the control that sent them.
    virtual void Command(WORD) {}
    virtual bool Notify(const NMHDR&, LRESULT&) { return false; }
    virtual void Scrolled() {}
    virtual bool DrawItem(const DRAWITEMSTRUCT&) { return false; }
    // The form was shown or hidden.
    virtual void FormShown(bool) {}

    // Messages of the control's own window (and of windows added with
    // Subclass); an override ends by calling this to get the default.
    virtual void WndProc(TMessage& message);
    void DefaultHandler(TMessage& message) const;

    // Makes the control's window in code, a child of the form with a free
    // dialog id, and binds the wrapper to it; the wrapper destroys it again.
    bool CreateIn(TForm& form, const char* windowClass, DWORD style, const RECT& bounds);
    void Subclass(HWND window);
    // Gives the control its own font: the one it has, as change leaves it.
    void ReplaceFont(const std::function<void(LOGFONTW&)>& change);
    void ReleaseWindows();
    void SetStyleBits(DWORD add, DWORD remove) const;
    // For a control whose window had to be created anew.
    void Rebind(HWND window);

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool Cursors(TMessage& message) const;
    void Mouse(TMessage& message);

    TForm* form_ = nullptr;
    HWND handle_ = nullptr;
    std::vector<HWND> subclassed_;
    std::string hint_;
    unsigned hintCodePage_ = 0;
    bool showHint_ = true;
    TColor color_ = clDefault;
    TColor fontColor_ = clDefault;
    HBRUSH brush_ = nullptr;
    HFONT font_ = nullptr;
    bool ownsWindow_ = false;  // made by CreateIn
};

// Containers: the template makes their contents siblings, so the container
// holds the controls whose rectangles lie within its own (found at Attach)
// plus any given to Include.
class TContainer : public TControl {
public:
    void Include(const TControl& control) const;

protected:
    void Attached() override;
};

class TGroupBox : public TContainer {};
class TPanel : public TContainer {};
