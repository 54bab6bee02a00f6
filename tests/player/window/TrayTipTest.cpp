// The tray's tip as the board's state gives it.
#include "player/window/TrayTip.h"

#include <gtest/gtest.h>

#include <string>

namespace {

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
