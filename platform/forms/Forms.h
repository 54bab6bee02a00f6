#pragma once
// Forms: modeless dialogs made from DIALOG/DIALOGEX templates in the
// program's resources. A template with a CLASS gets that class registered as
// a dialog class (DefDlgProc, DLGWINDOWEXTRA) before the form is created.

#include "platform/forms/Classes.h"
#include "platform/forms/Graphics.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class TButton;
class TControl;

enum TCloseAction {
    caNone,
    caHide,
    caFree
};
using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;

enum TModalResult : int {
    mrNone = 0,
    mrOk = IDOK,
    mrCancel = IDCANCEL,
    mrAbort = IDABORT,
    mrRetry = IDRETRY,
    mrIgnore = IDIGNORE,
    mrYes = IDYES,
    mrNo = IDNO
};

// What a form may change before its window class is registered. The class
// name comes from the template; resource compilers may upper-case it, and as
// class names compare without regard to case a form may give its own spelling.
struct TCreateParams {
    std::string WindowClassName;
    UINT WindowClassStyle;
};

class TForm : public TObject {
public:
    TForm() = default;
    ~TForm() override;

    // Creates the (hidden) window from the template named so (or
    // MAKEINTRESOURCE(id)) in module (the program when null), owned by the
    // application window; then AttachControls and OnCreate run.
    bool CreateFromTemplate(LPCSTR templateName, HINSTANCE module = nullptr);
    HWND Handle() const { return handle_; }

    void Show();
    void Hide();
    bool Visible() const;
    void SetVisible(bool visible);
    void BringToFront() const;
    // The caption is written in the code page of the form's font.
    std::string Caption() const;
    void SetCaption(const std::string& caption) const;
    unsigned CodePage() const;

    RECT Bounds() const;
    void SetBounds(int left, int top, int width, int height) const;
    int Left() const { return Bounds().left; }
    int Top() const { return Bounds().top; }
    void SetClientSize(int width, int height) const;
    // Places the form's centre on the other form's, or on the desktop's work area.
    void CentreOn(const TForm& form) const;
    void CentreOnDesktop() const;

    // Runs OnClose; caHide hides, caFree destroys the window. Closing the
    // main form ends the application unless the action is caNone. A modal
    // form ends its loop with mrCancel instead.
    void Close();
    // Shows the form and runs a nested loop until ModalResult is set.
    int ShowModal();
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }
    bool Modal() const { return modal_; }

    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor color);
    // Gives the form's font, and every control's, this character set.
    void SetFontCharset(BYTE charset);

    void Invalidate() const;
    void Repaint() const;
    // Valid while OnPaint runs; outside it call Repaint.
    TCanvas& Canvas() { return canvas_; }

    // OnKeyDown sees keys of every control first when KeyPreview is set;
    // setting the key to 0 swallows it.
    bool KeyPreview = false;
    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TKeyEvent OnKeyDown;

    // Messages of the form's window; an override ends by calling the base to
    // keep the form's own handling and the dialog's default.
    virtual void WndProc(TMessage& message);

    // For the application's loop: key preview, then dialog navigation.
    bool PreTranslate(MSG& message);

    // Used by the control wrappers.
    void AddControl(TControl& control);
    void RemoveControl(const TControl& control);
    bool ChildVisible(HWND child) const;
    void SetChildVisible(HWND child, bool visible);
    bool ChildEnabled(HWND child) const;
    void SetChildEnabled(HWND child, bool enabled);
    void ReplaceChild(HWND old, HWND now);
    // A control made in code joins the children, and leaves them.
    void AddChild(HWND child);
    void RemoveChild(HWND child);
    std::vector<HWND> ChildrenWithin(HWND container) const;
    void AddToContainer(HWND container, HWND child);
    // The smallest container holding child, or null.
    HWND ContainerOf(HWND child) const;
    // Moves child, and what it holds, to (left, top) of container: it leaves
    // every container that held it for container and those holding that one,
    // and stands just above container, so that it is drawn over it.
    void Reparent(HWND child, HWND container, int left, int top);
    std::vector<HWND> Children() const;
    void UpdateHint(const TControl& control);
    void RelayToHint(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;
    void CancelHint() const;

protected:
    // Binds the wrappers of a derived form; runs before OnCreate.
    virtual void AttachControls() {}
    virtual void CreateParams(TCreateParams&) {}
    void DefaultHandler(TMessage& message) const;

private:
    struct ChildState {
        bool visible;
        bool enabled;
    };

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool RegisterTemplateClass(const std::string& templateClass);
    void TrackChildren();
    void SetChildState(HWND child, bool ChildState::*field, bool value);
    void ApplyChildState(HWND child);
    TControl* ControlOf(HWND window) const;
    TControl* ControlById(int id) const;
    TButton* CancelButton() const;
    bool Reflect(TMessage& message);
    bool ColorMessage(TMessage& message);
    void Paint();
    void Destroyed();

    HWND handle_ = nullptr;
    WNDPROC dialogProc_ = nullptr;
    HWND tooltip_ = nullptr;
    HFONT font_ = nullptr;
    std::vector<TControl*> controls_;
    std::map<HWND, ChildState> children_;
    std::map<HWND, std::vector<HWND>> containers_;
    int modalResult_ = mrNone;
    bool modal_ = false;
    TColor color_ = clDefault;
    TColor fontColor_ = clDefault;
    HBRUSH brush_ = nullptr;
    TCanvas canvas_;
};
