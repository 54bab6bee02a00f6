#pragma once
// A board whose controls are a table of values, by the board's control names.

#include "player/engine/LayerBoard.h"

#include <map>

struct FakeOption {
    bool checked = false;
    int rarity = -1;
};

class FakeLayerBoard : public TLayerBoard {
public:
    FakeLayerBoard()
    {
        Set(TBoardControl::Option1TrackBar, 1);    // bird activity
        Set(TBoardControl::Option1TrackBar1, 60);  // background volume
        Set(TBoardControl::Option6TrackBar, 50);   // nearness of the night Option6 voice
        for (int group : {2, 4, 5, 6})
            SetOption(group, {});
    }

    int Value(TBoardControl control) const override
    {
        const auto found = values_.find(control);
        return found == values_.end() ? 0 : found->second;
    }

    void Set(TBoardControl control, int value) { values_[control] = value; }

    // The box and the rarity of optional voice group 2, 4, 5 or 6.
    void SetOption(int group, FakeOption option)
    {
        const TBoardControl controls[][2] = {
            {TBoardControl::Option2CheckBox, TBoardControl::Option2ComboBox},
            {TBoardControl::Option4CheckBox, TBoardControl::Option4ComboBox},
            {TBoardControl::Option5CheckBox, TBoardControl::Option5ComboBox},
            {TBoardControl::Option6CheckBox, TBoardControl::Option6ComboBox},
        };
        const int row = group == 2 ? 0 : group - 3;
        Set(controls[row][0], option.checked ? 1 : 0);
        Set(controls[row][1], option.rarity);
    }

private:
    std::map<TBoardControl, int> values_;
};
