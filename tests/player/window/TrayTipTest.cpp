// The tray's icon and tip as the board's state gives them.
#include "player/window/TrayTip.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct IconCase {
    int scene;
    bool playing;
    bool armed;
    const char* icon;
};

void PrintTo(const IconCase& c, std::ostream* out)
{
    *out << "scene " << c.scene << (c.playing ? " playing" : " silent") << (c.armed ? " armed" : "");
}

class TrayIconTest : public ::testing::TestWithParam<IconCase> {};

TEST_P(TrayIconTest, SceneSoundAndArmingChooseTheIcon)
{
    const IconCase& c = GetParam();
    EXPECT_EQ(TrayIconName(c.scene, c.playing, c.armed), c.icon);
}

INSTANTIATE_TEST_SUITE_P(EveryState, TrayIconTest,
                         ::testing::Values(IconCase{0, true, false, "if"}, IconCase{0, true, true, "ift"},
                                           IconCase{0, false, false, "ifx"}, IconCase{0, false, true, "ifxt"},
                                           IconCase{1, true, false, "ifn"}, IconCase{1, true, true, "ifnt"},
                                           IconCase{1, false, false, "ifnx"}, IconCase{1, false, true, "ifnxt"},
                                           IconCase{-1, true, false, ""}, IconCase{2, false, true, ""}));

TEST(TrayArmedTest, AnAlarmNeedsItsSoundAMuteTimeNothingMore)
{
    EXPECT_TRUE(TrayArmed(true, false, false, false, false));
    EXPECT_TRUE(TrayArmed(false, true, true, false, false));
    EXPECT_TRUE(TrayArmed(false, true, false, true, true));
    EXPECT_FALSE(TrayArmed(false, true, false, true, false));  // file alarm without a file
    EXPECT_FALSE(TrayArmed(false, true, false, false, true));  // no alarm kind chosen
    EXPECT_FALSE(TrayArmed(false, false, true, true, true));   // alarm box off
}

TEST(TrayTipLineTest, AlarmLineGivesCaptionAndTwoDigitTime)
{
    EXPECT_EQ(TrayTipText("Ovel", "2.8.10d.213", AlarmTipLine("Alarm", 7, 5)), "Ovel\r\nAlarm 07:05");
}

TEST(TrayTipLineTest, MuteActionWordByItem)
{
    EXPECT_EQ(MuteActionWord(0, "loudness down", "sleep", "off"), "Loudness down");
    EXPECT_EQ(MuteActionWord(1, "\xEE\xF1\xF2\xE0\xE2\xE8\xF2\xFC", "sleep", "off"),
              "\xCE\xF1\xF2\xE0\xE2\xE8\xF2\xFC");  // Russian: only the first letter changes case
    EXPECT_EQ(MuteActionWord(2, "send to sleep", "Sleep", "Off"), "Sleep");
    EXPECT_EQ(MuteActionWord(3, "turn off", "Sleep", "Off"), "Off");
    EXPECT_EQ(MuteActionWord(-1, "", "Sleep", "Off"), "Off");
    EXPECT_EQ(MuteTipLine("Sleep", 23, 30), "\r\nSleep: 23:30");
}

TEST(TrayTipTextTest, LongCaptionGivesWayToTheVersionAndTheTipStaysWithinTheShellsSize)
{
    const std::string line = MuteTipLine("Off", 1, 0);
    const std::string caption(kTrayTipSize - line.size() - 1, 'c');
    EXPECT_EQ(TrayTipText(caption, "2.8.10d.213", line), caption + line);  // 63 characters still fit

    const std::string longer = caption + "c";
    EXPECT_EQ(TrayTipText(longer, "2.8.10d.213", line), "2.8.10d.213" + line);

    const std::string lines = line + AlarmTipLine(std::string(60, 'a'), 6, 30);
    const std::string tip = TrayTipText(longer, "2.8.10d.213", lines);
    EXPECT_EQ(tip.size(), kTrayTipSize - 1);
    EXPECT_EQ(tip, ("2.8.10d.213" + lines).substr(0, kTrayTipSize - 1));
}

}  // namespace
