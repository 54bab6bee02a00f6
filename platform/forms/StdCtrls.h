#pragma once
// Standard controls: buttons, check boxes, radio buttons, labels, edits and
// combo boxes. Setting Checked from code runs OnClick when the state changes;
// a user click runs it exactly once.

#include "platform/forms/Controls.h"

#include <cstdint>
#include <string>

enum TCheckBoxState {
    cbUnchecked,
    cbChecked,
    cbGrayed
};

// A box made three-state in the template (BS_3STATE, BS_AUTO3STATE) also
// takes the grayed state, and a click moves it on from unchecked to checked,
// grayed and unchecked again; any other box is never grayed.
class TCheckBox : public TControl {
public:
    bool Checked() const { return State() == cbChecked; }
    void SetChecked(bool checked) { SetState(checked ? cbChecked : cbUnchecked); }
    bool AllowGrayed() const { return allowGrayed_; }
    TCheckBoxState State() const;
    void SetState(TCheckBoxState state);
    TNotifyEvent OnClick;

protected:
    void Attached() override;
    void Command(WORD code) override;

private:
    bool allowGrayed_ = false;
};

// Checking one from code, or by a click, unchecks the radio buttons of its
// container (group box or panel, else the form); OnClick runs only for the
// button that becomes checked.
class TRadioButton : public TControl {
public:
    bool Checked() const;
    void SetChecked(bool checked);
    TNotifyEvent OnClick;

protected:
    void Attached() override;
    void Command(WORD code) override;

private:
    void UncheckNeighbours() const;
};

class TButton : public TControl {
public:
    // Runs what a user click runs: sets the form's ModalResult, then OnClick.
    void Click();
    int ModalResult = 0;
    bool Cancel = false;  // Esc clicks it
    TNotifyEvent OnClick;

protected:
    void Command(WORD code) override;
};

class TBitBtn : public TButton {
public:
    // A picture button made in code, hidden until shown; false when its
    // window cannot be made.
    bool Create(TForm& form, int left, int top, int width, int height);
    // The bitmap stays the caller's.
    void SetGlyph(HBITMAP glyph);
    HBITMAP Glyph() const;
};

class TLabel : public TControl {
public:
    TNotifyEvent OnClick;

protected:
    void Attached() override;
    void Command(WORD code) override;
};

class TEdit : public TControl {
public:
    std::string Text() const { return Caption(); }
    void SetText(const std::string& text) { SetCaption(text); }
    TNotifyEvent OnChange;  // also for changes from code, as the control reports them

protected:
    void Command(WORD code) override;
};

enum TComboBoxStyle {
    csDropDown,
    csSimple,
    csDropDownList,
    csOwnerDrawFixed
};

using TDrawItemEvent = std::function<void(TObject* control, int index, const RECT& rect, UINT state)>;

// Setting ItemIndex from code runs nothing. A selection by the user runs
// OnSelect, or OnChange when no OnSelect is set; typing runs OnChange.
class TComboBox : public TControl {
public:
    class TItems {
    public:
        explicit TItems(TComboBox& owner) : owner_(owner) {}
        // Items are written in the code page of the combo box's font, or in
        // the one given.
        int Add(const std::string& text, std::intptr_t object = 0);
        int AddInCodePage(const std::string& text, unsigned codePage, std::intptr_t object = 0);
        void Delete(int index);
        void Clear();
        int Count() const;
        std::string Strings(int index) const;
        std::intptr_t Objects(int index) const;
        void SetObject(int index, std::intptr_t object);
        int IndexOf(const std::string& text) const;
        // Nested pairs; the list redraws once at the outermost EndUpdate.
        void BeginUpdate();
        void EndUpdate();

    private:
        friend class TComboBox;
        int AddWide(const std::u16string& text, std::intptr_t object);
        std::u16string WideString(int index) const;

        TComboBox& owner_;
        int updating_ = 0;
    };

    TComboBox() : Items(*this) {}
    TItems Items;

    int ItemIndex() const;
    void SetItemIndex(int index);
    std::string Text() const { return Caption(); }
    // In the list styles the text selects the item that has it.
    void SetText(const std::string& text);
    TComboBoxStyle Style() const;
    // Win32 fixes a combo box's style at creation, so the control is made anew
    // with the same place, font, items and selection.
    void SetStyle(TComboBoxStyle style);
    // Valid while OnDrawItem runs.
    TCanvas& Canvas() { return canvas_; }
    // In the editable style the text is shown, never edited, and Home and End
    // choose the first and the last item as in a list.
    void SetChoiceOnly(bool choiceOnly);

    TNotifyEvent OnSelect;
    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;
    TKeyPressEvent OnKeyPress;  // set the key to 0 to discard it
    TDrawItemEvent OnDrawItem;

protected:
    void Attached() override;
    void Command(WORD code) override;
    bool DrawItem(const DRAWITEMSTRUCT& item) override;
    void WndProc(TMessage& message) override;

private:
    void SubclassEdit();
    bool ChooseByKey(WPARAM key);
    bool KeyPress(TMessage& message);

    TCanvas canvas_;
    bool choiceOnly_ = false;
};
