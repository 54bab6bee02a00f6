// The tray's tip as the board's state gives it.
#include "player/window/TrayTip.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TrayTipLineTest, AlarmLineGivesCaptionAndTwoDigitTime)
{
    EXPECT_EQ(TrayTipText("Ovel", "2.8.10d.213", AlarmTipLine("Alarm", 7, 5), 1252), "Ovel\r\nAlarm 07:05");
}

TEST(TrayTipLineTest, MuteActionWordByItem)
{
    EXPECT_EQ(MuteActionWord(0, "loudness down", "sleep", "off", 1252), "Loudness down");
    EXPECT_EQ(MuteActionWord(2, "send to sleep", "Sleep", "Off", 1252), "Sleep");
    EXPECT_EQ(MuteActionWord(3, "turn off", "Sleep", "Off", 1252), "Off");
    EXPECT_EQ(MuteActionWord(-1, "", "Sleep", "Off", 1252), "Off");
    EXPECT_EQ(MuteTipLine("Sleep", 23, 30), "\r\nSleep: 23:30");
}

// Only the first character changes, as a whole character of the module's page.
TEST(TrayTipLineTest, CapitaliseFirstTakesTheFirstCharacterOfThePage)
{
    const struct {
        const char* text;
        unsigned page;
        const char* capitalised;
    } rows[] = {
        {"\xEE\xF1\xF2\xE0\xE2\xE8\xF2\xFC", 1251, "\xCE\xF1\xF2\xE0\xE2\xE8\xF2\xFC"},  // оставить
        {"\xB8\xEB\xEA\xE0", 1251, "\xA8\xEB\xEA\xE0"},                                  // ёлка
        {"\xB3\xED\xF8\xE5", 1251, "\xB2\xED\xF8\xE5"},                                  // інше
        {"\x9C"
         "ciszy\xE6",
         1250,
         "\x8C"
         "ciszy\xE6"},  // ściszyć
        {"\xE9teindre", 1252, "\xC9teindre"},
        {"laut", 1252, "Laut"},
        {"\xE0\xA0\x89\xB9", 932, "\xE0\xA0\x89\xB9"},  // a lead byte from 0xE0 on stays whole
        {"\x82\xA0"
         "b",
         932,
         "\x82\xA0"
         "b"},  // a kana has no case
        {"\xA4\xA4"
         "a",
         950,
         "\xA4\xA4"
         "a"},
        {"", 1252, ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(CapitaliseFirst(row.text, row.page), row.capitalised) << row.page;
}

TEST(TrayTipTextTest, LongCaptionGivesWayToTheVersionAndTheTipStaysWithinTheShellsSize)
{
    const std::string line = MuteTipLine("Off", 1, 0);
    const std::string caption(kTrayTipSize - line.size() - 1, 'c');
    EXPECT_EQ(TrayTipText(caption, "2.8.10d.213", line, 1252), caption + line);  // 63 characters still fit

    const std::string longer = caption + "c";
    EXPECT_EQ(TrayTipText(longer, "2.8.10d.213", line, 1252), "2.8.10d.213" + line);

    const std::string lines = line + AlarmTipLine(std::string(60, 'a'), 6, 30);
    const std::string tip = TrayTipText(longer, "2.8.10d.213", lines, 1252);
    EXPECT_EQ(tip.size(), kTrayTipSize - 1);
    EXPECT_EQ(tip, ("2.8.10d.213" + lines).substr(0, kTrayTipSize - 1));
}

// Characters count, not bytes, and the cut falls between two of them.
TEST(TrayTipTextTest, DoubleByteTipIsCountedAndCutByCharacters)
{
    const std::string kanji = "\x93\xFA";  // 日
    std::string caption;
    for (int i = 0; i < 40; ++i)
        caption += kanji;
    const std::string line = AlarmTipLine("\x83\x41\x83\x89\x81\x5B\x83\x80", 7, 5);  // アラーム
    EXPECT_EQ(TrayTipText(caption, "2.8.10d.213", line, 932), caption + line) << "52 characters in 96 bytes";

    const std::string kanji100 = caption + caption + caption.substr(0, 2 * 20);
    const std::string lines = "\r\n" + kanji100;
    // 13 characters before the kanji, then 50 of them; with 14, 49 and never half of one.
    EXPECT_EQ(TrayTipText(caption, "2.8.10d.213", lines, 932), "2.8.10d.213\r\n" + kanji100.substr(0, 2 * 50));
    EXPECT_EQ(TrayTipText(caption, "2.8.10d.2130", lines, 932), "2.8.10d.2130\r\n" + kanji100.substr(0, 2 * 49));
}

}  // namespace
