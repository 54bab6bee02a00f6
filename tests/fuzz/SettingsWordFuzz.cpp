// Fuzz target over stored settings: the bytes become the fourteen packed words
// and the older values of both scenes, then both scenes load as at a first
// migration and as later. Every state the loader gives must be one the board
// can hold.

#include "player/engine/ClipPlacement.h"
#include "player/settings/BoardDesign.h"
#include "player/settings/SceneLoader.h"
#include "player/window/Scenes.h"

#include <cstdlib>

namespace {

constexpr int kMarkerFarthest = 32;
constexpr int kLevelBits = 7;

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

bool IsMarker(TBoardItem item)
{
    return item == TBoardItem::StreamMarkerX || item == TBoardItem::StreamMarkerY || item == TBoardItem::FireMarkerX ||
           item == TBoardItem::FireMarkerY;
}

class TCheckingBoard : public TSceneBoard {
public:
    explicit TCheckingBoard(int scene) : scene_(scene) {}
    bool Present(TBankId bank) const override { return bank % 3 != 0 || scene_ == kDayScene; }
    bool Enabled(TBoardItem item) const override { return static_cast<int>(item) % 2 == 0; }
    void DeleteValue(const std::string&) override {}
    void RunStep(TSceneStep, bool) override {}
    void SetState(TBoardItem item, int state) override
    {
        const TRange range = TrackBarRange(item, scene_);
        if (const int items = DesignItemCount(item))
            Require(state >= 0 && state < items);
        else if (item == TBoardItem::Option6TrackBar)
            Require(state >= 0 && state < 1 << kLevelBits);
        else if (range.Min <= range.Max)
            Require(state >= range.Min && state <= range.Max);
        else if (IsMarker(item))
            Require(state >= 0 && state <= kMarkerFarthest);
        else
            Require(state >= 0 && state <= (item == TBoardItem::StormCheckBox ? 2 : 1));
    }

private:
    int scene_;
};

// Takes the next four bytes, or what is left.
TStoredValue NextValue(const std::uint8_t*& data, const std::uint8_t* end)
{
    TStoredValue value;
    value.Type = data < end && (*data & 0x80) ? kStoredString : kStoredDword;
    for (int i = 0; i < 4 && data < end; ++i)
        value.Data.push_back(*data++);
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::uint8_t* end = data + size;
    TStoredKey key;
    for (int id = 0; id < PackedWordCount; ++id)
        key.Set(WordLayout(static_cast<TPackedWordId>(id)).Name, NextValue(data, end));
    for (const auto* names : {&OlderDayValueNames, &OlderNightValueNames, &OlderCommonValueNames})
        for (const char* name : *names)
            if (data < end)
                key.Set(name, NextValue(data, end));

    const TPackedWords words = ReadPackedWords(key);
    for (int id = 0; id < PackedWordCount; ++id) {
        const auto word = static_cast<TPackedWordId>(id);
        Require(words[word] == 0 || !ParityBad(words[word]));
        for (const TWordField& field : WordLayout(word).Fields) {
            const int state = FieldState(field, words[word]);
            Require(state >= -1 && state < 1 << field.Width);
        }
    }
    const TLimiterBounds limiter = LoadedLimiter(words.C6);
    Require(LimiterZoneUsable(limiter.Low, limiter.High));
    const std::optional<int> mute = DecideMuteItem(words.C1, key, false).Value;
    Require(!mute || (*mute >= 0 && *mute < DesignItemCount(TBoardItem::MuteComboBox)));

    for (int scene : {kDayScene, kNightScene}) {
        for (bool pending : {true, false}) {
            TCheckingBoard board(scene);
            TMigration migration{pending, false, false};
            LoadSceneOptions(board, scene, words, key, migration);
        }
    }
    return 0;
}
