#include "support/ProgInfo.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgInfo, StartSwitchesCountInAnyCaseAndOnlyWhole)
{
    struct Case {
        const char* argument;
        const char* param1;
        bool byRunKey;
        bool bySwitch;
    };
    const Case cases[] = {
        {"", "", false, false},
        {"rstart", "rstart", true, true},
        {"RStart", "rstart", true, true},
        {"GSTART", "gstart", false, true},
        {"ystart", "ystart", false, true},
        {"gstartx", "gstartx", false, false},
        {"rstart ", "rstart ", false, false},
        {"silentcurdir", "silentcurdir", false, false},
    };
    for (const Case& c : cases) {
        SetStartSwitch(c.argument);
        EXPECT_EQ(Param1, c.param1) << c.argument;
        EXPECT_EQ(StartedByRunKey, c.byRunKey) << c.argument;
        EXPECT_EQ(StartedBySwitch, c.bySwitch) << c.argument;
    }
}

TEST(ProgInfo, RussianInterfaceLocales)
{
    for (unsigned lcid : {1026u, 1049u, 1058u, 1059u, 1087u, 1092u, 2073u})
        EXPECT_TRUE(IsRussianInterfaceLocale(lcid)) << lcid;
    for (unsigned lcid : {0u, 1033u, 2057u, 1031u, 1048u, 3097u})
        EXPECT_FALSE(IsRussianInterfaceLocale(lcid)) << lcid;
}

TEST(ProgInfo, RandomLettersAreEightLowerCaseLetters)
{
    const std::string letters = RandomLetters8();
    ASSERT_EQ(letters.size(), 8u);
    for (char c : letters)
        EXPECT_TRUE(c >= 'a' && c <= 'z') << letters;
}

}  // namespace
