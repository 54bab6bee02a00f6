#pragma once
// The board controls the forest layers read, named after the controls. The
// board answers from its live controls; the layers ask only on the GUI thread.

class TLayerBoard {
public:
    virtual ~TLayerBoard() = default;

    virtual int Option1TrackBarPosition() const = 0;      // bird activity 0, 1 or 2
    virtual int Option1TrackBar1Position() const = 0;     // background volume, percent
    virtual bool CompressionCheckBoxChecked() const = 0;  // the sound-space limiter

    // Optional voice groups: wanted, and their rarity level (-1: none chosen).
    virtual bool Option2CheckBoxChecked() const = 0;
    virtual int Option2ComboBoxItemIndex() const = 0;
    virtual bool Option4CheckBoxChecked() const = 0;
    virtual int Option4ComboBoxItemIndex() const = 0;
    virtual bool Option5CheckBoxChecked() const = 0;
    virtual int Option5ComboBoxItemIndex() const = 0;
    virtual bool Option6CheckBoxChecked() const = 0;
    virtual int Option6ComboBoxItemIndex() const = 0;

    virtual int Option6TrackBarPosition() const = 0;  // nearness of the night Option6 voice, 0 .. 100
};
