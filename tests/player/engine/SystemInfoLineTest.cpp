#include "player/engine/SystemInfoLine.h"

#include <gtest/gtest.h>

namespace {

// Windows 10 Pro 64-bit, English, Moscow, offsets 0, two speakers, options off.
SystemInfoInputs ShippedPlayerOnWindows10()
{
    SystemInfoInputs inputs;
    inputs.productName = "Ovel";
    inputs.versionText = "2.8.10d.213";
    inputs.windowsText = "Win10 Pro 64-bit";
    inputs.languageName = "English";
    inputs.languageBrief = "Eng";
    inputs.timeZoneBias = -180;
    inputs.deviceName = "Speakers";
    inputs.speakerCount = 2;
    return inputs;
}

TEST(SystemInfoLine, ReadsAsTheUserAgentAndAsTheMailSubject)
{
    const SystemInfoInputs inputs = ShippedPlayerOnWindows10();
    EXPECT_EQ(BuildSystemInfoLine(inputs, false),
              "Ovel 2.8.10d.213 (Win10 Pro 64-bit English (Eng), UTC+3;  UpOff 0:0; DnOff 0:0; Speakers, 2 spkrs)");
    EXPECT_EQ(BuildSystemInfoLine(inputs, true),
              "Ovel%202.8.10d.213%20(Win10%20Pro%2064-bit%20English%20(Eng),%20UTC+3;%20%20UpOff%200:0;"
              "%20DnOff%200:0;%20Speakers,%202%20spkrs)");
}

TEST(SystemInfoLine, OffsetsAndOutputOptions)
{
    SystemInfoInputs inputs = ShippedPlayerOnWindows10();
    inputs.sunriseOffsetHour = 1;
    inputs.sunriseOffsetMinute = 5;
    inputs.sunsetOffsetMinute = 30;
    inputs.deviceName = "Realtek HD Audio";
    inputs.speakerCount = 6;
    inputs.compressed = true;
    inputs.hardwareMixing = true;
    EXPECT_EQ(BuildSystemInfoLine(inputs, false),
              "Ovel 2.8.10d.213 (Win10 Pro 64-bit English (Eng), UTC+3;  UpOff 1:5; DnOff 0:30; "
              "Realtek HD Audio, 6 spkrs, compressed, HMix)");
    inputs.compressed = false;
    EXPECT_EQ(BuildSystemInfoLine(inputs, false).find("compressed"), std::string::npos);
}

TEST(SystemInfoLine, TimeZoneInWholeHoursRoundedAwayFromZero)
{
    struct Case {
        long bias;
        const char* zone;
    };
    const Case cases[] = {
        {210, ", UTC-4;"},   {-330, ", UTC+6;"}, {-345, ", UTC+6;"}, {300, ", UTC-5;"},
        {0, ", UTC0;"},      {-180, ", UTC+3;"}, {-60, ", UTC+1;"},  {600, ", UTC-10;"},
        {-840, ", UTC+14;"}, {-270, ", UTC+5;"}, {-240, ", UTC+4;"},
    };
    SystemInfoInputs inputs = ShippedPlayerOnWindows10();
    for (const Case& c : cases) {
        inputs.timeZoneBias = c.bias;
        const std::string line = BuildSystemInfoLine(inputs, false);
        EXPECT_NE(line.find(c.zone), std::string::npos) << c.bias << ": " << line;
    }
}

TEST(SystemInfoLine, ShortWindowsTextAndLookFlags)
{
    struct Case {
        const char* text;
        bool isServer;
        const char* shortText;
        bool oldLook;
    };
    const Case cases[] = {
        {"Microsoft Windows NT Workstation Service Pack 6a", false, "WinNT Workstation SP6a", true},
        {"Microsoft Windows NT Advanced Server Service Pack 5", true, "WinNT Advanced Server SP5", true},
        {"Microsoft Windows 2000 Professional Service Pack 4", false, "Win2000 Pro SP4", true},
        {"Microsoft Windows XP Professional Service Pack 3", false, "WinXP Pro SP3", false},
        {"Microsoft Windows XP Home", false, "WinXP Home", false},
        {"Windows 7 Professional 64-bit Service Pack 1", false, "Win7 Pro 64-bit SP1", false},
        {"Windows 10 Pro 64-bit", false, "Win10 Pro 64-bit", false},
        {"Windows Server 2008 R2 Standard 64-bit Service Pack 1", true, "WinServer 2008 R2 Standard 64-bit SP1", false},
        {"unknown", false, "unknown", false},
        {"", false, "", false},
    };
    for (const Case& c : cases) {
        ServerEdition = !c.isServer;
        OldWindowsLook = !c.oldLook;
        EXPECT_EQ(ShortenWindowsVersionText(c.text, c.isServer), c.shortText) << c.text;
        EXPECT_EQ(ServerEdition, c.isServer) << c.text;
        EXPECT_EQ(OldWindowsLook, c.oldLook) << c.text;
    }
}

TEST(SystemInfoLine, EscapeSpacesReplacesEveryBlank)
{
    EXPECT_EQ(EscapeSpaces(""), "");
    EXPECT_EQ(EscapeSpaces("no-blanks"), "no-blanks");
    EXPECT_EQ(EscapeSpaces(" a  b "), "%20a%20%20b%20");
}

}  // namespace
