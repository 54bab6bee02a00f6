#include "player/settings/StartBoard.h"

#include "player/window/Scenes.h"
#include "tests/player/settings/StoredKeyFixtures.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

namespace {

using B = TBoardItem;
using C = TBoardControl;

std::uint32_t Fields(TPackedWordId word, std::initializer_list<std::pair<TBoardItem, int>> states)
{
    std::uint32_t value = 0;
    for (const auto& [item, state] : states)
        value |= PlaceField(*FindField(word, item), state);
    return value;
}

class StartBoardTest : public ::testing::Test {
protected:
    StartBoardTest()
    {
        for (TSoundBank& bank : banks_)
            bank.Present = true;
        banks_[sbOvnb].GroupCount1 = 1;
        banks_[sbOvnb].GroupCount3 = 1;
    }

    TStartBoard& Loaded()
    {
        board_.Load(key_, facts_);
        return board_;
    }

    std::array<TSoundBank, SoundBankCount> banks_;
    TStoredKey key_;
    bool calendarNight_ = false;
    double sunriseAsked_ = -1;
    TStartFacts facts_{HoursMinutes(12, 0),
                       false,
                       HoursMinutes(9, 0),
                       HoursMinutes(20, 0),
                       0,
                       0,
                       [this](double sunrise, double) { return sunriseAsked_ = sunrise, calendarNight_; }};
    TStartBoard board_{banks_};
};

TEST_F(StartBoardTest, AnEmptyKeyPlaysTheCalendarsSceneWithItsDefaults)
{
    calendarNight_ = true;
    const TStartBoard& board = Loaded();
    EXPECT_EQ(board.Start().Scene, kNightScene);
    EXPECT_TRUE(board.Start().Play);
    EXPECT_EQ(board.ItemIndex(C::OvelComboBox), kNightScene);
    EXPECT_EQ(board.Position(C::Option1TrackBar), 2);  // three fires
    EXPECT_EQ(board.Position(C::Option1TrackBar1), 16);
    EXPECT_TRUE(board.Checked(C::Option1CheckBox));
    EXPECT_FALSE(board.Checked(C::OptionCheckBox));
    EXPECT_EQ(board.Position(C::VolumeTrackBar), 90);
    EXPECT_EQ(board.State(B::LimiterLowBound), 11);
    EXPECT_EQ(board.State(B::LimiterHighBound), 30);
}

TEST_F(StartBoardTest, TheStoredDaySceneWithItsWords)
{
    key_.Set("OvelIndex", Dword(kDayScene));
    key_.Set("C1", Word(Fields(pwC1, {{B::PlayCheckBox, 1}, {B::HWMCheckBox, 1}})));
    key_.Set("C7", Word(Fields(pwC7, {{B::VolumeTrackBar, 40}})));
    key_.Set("D1", Word(Fields(pwD1, {{B::OptionCheckBox, 1}, {B::Option2CheckBox, 1}})));
    key_.Set("D2", Word(Fields(pwD2, {{B::Option1TrackBar, 2}})));
    key_.Set("D70", Word(Fields(pwD70, {{B::OptionTrackBar, 70}, {B::StreamMarkerX, 30}})));
    key_.Set("SunriseOffset", Time(HoursMinutes(1, 0)));
    const TStartBoard& board = Loaded();
    EXPECT_EQ(board.Start().Scene, kDayScene);  // the alternation, off, keeps it
    EXPECT_TRUE(board.Checked(C::HWMCheckBox));
    EXPECT_EQ(board.Position(C::VolumeTrackBar), 40);
    EXPECT_EQ(board.Position(C::Option1TrackBar), 2);
    EXPECT_TRUE(board.Checked(C::OptionCheckBox));
    EXPECT_EQ(board.Position(C::OptionTrackBar), 70);
    EXPECT_EQ(board.State(B::StreamMarkerX), 30);
    EXPECT_TRUE(board.Checked(C::Option2CheckBox));
    EXPECT_LT(sunriseAsked_, 0);  // no choice went by the calendar

    // The calendar is asked with the stored offsets.
    key_.Set("C1", Word(Fields(pwC1, {{B::PlayCheckBox, 1}, {B::AlternateCheckBox, 1}})));
    calendarNight_ = true;
    EXPECT_EQ(Loaded().Start().Scene, kNightScene);
    EXPECT_DOUBLE_EQ(sunriseAsked_, HoursMinutes(1, 0));
}

TEST_F(StartBoardTest, AStartBySwitchDecidesPlayAndScene)
{
    facts_.StartedBySwitch = true;
    key_.Set("AutoStartIndex", Dword(kStartMuted));
    EXPECT_FALSE(Loaded().Start().Play);
    key_.Set("AutoStartIndex", Dword(kStartNight));
    EXPECT_EQ(Loaded().Start().Scene, kNightScene);
    EXPECT_TRUE(board_.Start().Play);
}

TEST_F(StartBoardTest, LayersWithoutTheirBanksStayOff)
{
    key_.Set("OvelIndex", Dword(kDayScene));
    key_.Set("C1", Word(Fields(pwC1, {{B::PlayCheckBox, 1}})));
    key_.Set("D1", Word(Fields(pwD1, {{B::OptionCheckBox, 1}, {B::Option2CheckBox, 1}, {B::Option5CheckBox, 1}})));
    for (TBankId bank : {sbOves, sbOvgh, sbOvdb, sbOvdc})
        banks_[bank].Present = false;
    const TStartBoard& board = Loaded();
    EXPECT_FALSE(board.Checked(C::OptionCheckBox));
    EXPECT_FALSE(board.Checked(C::Option2CheckBox));
    EXPECT_FALSE(board.Checked(C::Option5CheckBox));

    // The night's owls need their group in the night bank.
    key_.Set("OvelIndex", Dword(kNightScene));
    banks_[sbOvnb].GroupCount1 = 0;
    EXPECT_FALSE(Loaded().Checked(C::Option4CheckBox));
}

TEST_F(StartBoardTest, ADamagedWordGivesTheDefaults)
{
    key_.Set("OvelIndex", Dword(kDayScene));
    key_.Set("C1", Word(Fields(pwC1, {{B::PlayCheckBox, 1}})));
    key_.Set("D2", Dword(AddParityBits(Fields(pwD2, {{B::Option1TrackBar, 2}})) ^ 1u << 29));
    key_.Set("C7", Text("loud"));
    const TStartBoard& board = Loaded();
    EXPECT_EQ(board.Position(C::Option1TrackBar), 1);
    EXPECT_EQ(board.Position(C::VolumeTrackBar), 90);
}

}  // namespace
