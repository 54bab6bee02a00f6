#pragma once
// The board as the stored settings give it, before its window exists: what
// the layers read of it while the board is still being made. The same rows
// and decisions as the board's own load, applied in the same order, so that
// the sound that starts here is the sound the board then shows.

#include "player/engine/LayerBoard.h"
#include "player/engine/SoundBanks.h"
#include "player/settings/SceneLoader.h"

#include <array>
#include <functional>

// What a program start knows besides the key: the clock, the start switch,
// the switch times and calendar offsets before any is loaded, and the
// calendar's answer for the loaded offsets.
struct TStartFacts {
    double Now = 0;
    bool StartedBySwitch = false;
    double DayOnTime = 0;
    double NightOnTime = 0;
    double SunriseOffset = 0;
    double SunsetOffset = 0;
    std::function<bool(double sunriseOffset, double sunsetOffset)> CalendarNight;
};

// The banks a layer box plays from are there; a box without them is gated.
// The storm also needs the rain's bank, which its own answer leaves out.
bool LayerBanksPresent(TBoardItem box, const std::array<TSoundBank, SoundBankCount>& banks);

class TStartBoard : public TLayerBoard, public TSceneBoard {
public:
    explicit TStartBoard(const std::array<TSoundBank, SoundBankCount>& banks) : banks_(banks) {}

    void Load(const TStoredKey& key, const TStartFacts& facts);

    // A control's state, a marker place or a limiter bound, as loaded.
    int State(TBoardItem item) const { return states_[Index(item)]; }
    TStartState Start() const { return start_; }

    int Value(TBoardControl control) const override { return states_[static_cast<std::size_t>(control)]; }
    // The looks are the board's to show once it exists.
    void SetLook(TBoardControl, TLook, const std::string&) override {}

    bool Present(TBankId bank) const override { return banks_[bank].Present; }
    bool Enabled(TBoardItem item) const override { return enabled_[Index(item)]; }
    void SetState(TBoardItem item, int state) override;
    // The board deletes the older values once it has stored what they gave.
    void DeleteValue(const std::string&) override {}
    void RunStep(TSceneStep step, bool banksPresent) override;

private:
    static constexpr std::size_t kItemCount = static_cast<std::size_t>(TBoardItem::LimiterHighBound) + 1;
    static std::size_t Index(TBoardItem item) { return static_cast<std::size_t>(item); }

    void SetDesign();
    void LoadCommon(const TStoredKey& key, const TStartFacts& facts);
    void ApplyRow(TBoardItem item, const TStoredKey& key);
    void GateMissingBanks();
    // Unticked and disabled without its banks, as the board's gate does.
    void Gate(TBoardItem box, bool present);
    void Disable(TBoardItem item, bool disabled = true) { enabled_[Index(item)] = !disabled; }
    // A disabled box stays off, as the box's handler keeps it.
    void KeepOffWhenDisabled(TBoardItem box);
    void SettleScene();

    const std::array<TSoundBank, SoundBankCount>& banks_;
    std::array<int, kItemCount> states_{};
    std::array<bool, kItemCount> enabled_{};
    TPackedWords words_{};
    TMigration migration_;
    TStartState start_{};
    int scene_ = 0;
};
