#pragma once
// A board whose controls are a table of values, by the board's control names;
// the looks the layers ask for are kept the same way.

#include "player/engine/LayerBoard.h"

#include <map>
#include <optional>
#include <string>

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

    void SetLook(TBoardControl control, TLook look, const std::string& text) override
    {
        if (look == TLook::Hint)
            hints_[control] = text;
        else if (look == TLook::Enabled)
            enabled_[control] = true;
        else
            shown_[control] = look == TLook::Shown;
    }
    // What the layers last asked: shown (true), hidden (false) or nothing.
    std::optional<bool> Shown(TBoardControl control) const { return Found(shown_, control); }
    std::optional<bool> Enabled(TBoardControl control) const { return Found(enabled_, control); }
    std::string Hint(TBoardControl control) const
    {
        const auto found = hints_.find(control);
        return found == hints_.end() ? std::string() : found->second;
    }

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
    static std::optional<bool> Found(const std::map<TBoardControl, bool>& looks, TBoardControl control)
    {
        const auto found = looks.find(control);
        return found == looks.end() ? std::nullopt : std::optional<bool>(found->second);
    }

    std::map<TBoardControl, int> values_;
    std::map<TBoardControl, bool> shown_;
    std::map<TBoardControl, bool> enabled_;
    std::map<TBoardControl, std::string> hints_;
};
