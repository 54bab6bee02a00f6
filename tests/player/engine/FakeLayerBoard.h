#pragma once
// A board whose controls are plain fields.

#include "player/engine/LayerBoard.h"

struct FakeOption {
    bool checked = false;
    int rarity = -1;
};

class FakeLayerBoard : public TLayerBoard {
public:
    int birdActivity = 1;
    int backgroundVolume = 60;
    bool limiter = false;
    FakeOption option2, option4, option5, option6;
    int option6Nearness = 50;

    int Option1TrackBarPosition() const override { return birdActivity; }
    int Option1TrackBar1Position() const override { return backgroundVolume; }
    bool CompressionCheckBoxChecked() const override { return limiter; }
    bool Option2CheckBoxChecked() const override { return option2.checked; }
    int Option2ComboBoxItemIndex() const override { return option2.rarity; }
    bool Option4CheckBoxChecked() const override { return option4.checked; }
    int Option4ComboBoxItemIndex() const override { return option4.rarity; }
    bool Option5CheckBoxChecked() const override { return option5.checked; }
    int Option5ComboBoxItemIndex() const override { return option5.rarity; }
    bool Option6CheckBoxChecked() const override { return option6.checked; }
    int Option6ComboBoxItemIndex() const override { return option6.rarity; }
    int Option6TrackBarPosition() const override { return option6Nearness; }
};
