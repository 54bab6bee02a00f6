#pragma once
// Common controls: track bar, up-down, hot-key, date-time picker, animation
// and rich edit, each a thin translation to the Windows control.

#include "platform/forms/Controls.h"
#include "platform/forms/DateTime.h"
#include "platform/forms/ShortCut.h"

#include <richedit.h>

#include <string>

// Setting Position from code runs OnChange when the position changes; a
// user's move runs it once per change, never for a notification that leaves
// the position where it was.
class TTrackBar : public TControl {
public:
    int Min() const;
    int Max() const;
    void SetMin(int min) { SetRange(min, Max()); }
    void SetMax(int max) { SetRange(Min(), max); }
    void SetRange(int min, int max);
    int Position() const;
    void SetPosition(int position);
    void SetFrequency(int frequency) const;
    void SetTick(int position) const;
    void ClearTicks() const;
    void SetSelection(int start, int end) const;
    TNotifyEvent OnChange;

protected:
    void Attached() override;
    void Scrolled() override;

private:
    int position_ = 0;
};

enum TUDBtnType {
    btNext,
    btPrev
};
using TUDClickEvent = std::function<void(TObject* sender, TUDBtnType button)>;
using TUDChangingEvent = std::function<void(TObject* sender, bool& allowChange)>;

// OnClick runs after each change of Position, by a click or from code.
class TUpDown : public TControl {
public:
    int Min() const;
    int Max() const;
    void SetRange(int min, int max) const;
    int Position() const;
    void SetPosition(int position);
    void SetAssociate(const TControl& buddy) const;
    TUDClickEvent OnClick;
    TUDChangingEvent OnChanging;

protected:
    void Attached() override;
    bool Notify(const NMHDR& header, LRESULT& result) override;
    void Scrolled() override;

private:
    void Changed(int position);

    int position_ = 0;
};

class THotKey : public TControl {
public:
    TShortCut HotKey() const;
    void SetHotKey(TShortCut shortCut) const;
    TNotifyEvent OnChange;

protected:
    void Command(WORD code) override;
};

enum TDateTimeKind {
    dtkDate,
    dtkTime
};

class TDateTimePicker : public TControl {
public:
    TDateTime DateTime() const;
    void SetDateTime(TDateTime value) const;
    TDateTime Time() const;
    void SetTime(TDateTime time) const;
    TDateTimeKind Kind() const;
    void SetFormat(const std::string& format) const;
    TNotifyEvent OnChange;

protected:
    bool Notify(const NMHDR& header, LRESULT& result) override;
};

class TAnimate : public TControl {
public:
    // An AVI resource of the program, by name or by id.
    bool SetResName(const std::string& name) const;
    bool SetResId(int id) const;
    bool Active() const { return active_; }
    // Plays only while shown: a hidden animation would still draw every frame.
    void SetActive(bool active);
    bool Playing() const { return playing_; }

protected:
    void FormShown(bool shown) override;
    void WndProc(TMessage& message) override;

private:
    void Play(bool shown);

    bool active_ = false;
    bool playing_ = false;
};

class TRichEdit : public TControl {
public:
    std::string Text() const { return Caption(); }
    void SetText(const std::string& text) { SetCaption(text); }
    std::function<void(TObject* sender, const ENLINK& link)> OnLink;

protected:
    bool Notify(const NMHDR& header, LRESULT& result) override;
};
