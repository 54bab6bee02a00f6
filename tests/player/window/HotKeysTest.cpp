// What the board registers for a shortcut, and when a shortcut is taken.
#include "player/window/HotKeys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <ostream>

namespace {

struct RegistrationCase {
    TShortCut shortCut;
    std::uint8_t key;
    unsigned modifiers;
};

void PrintTo(const RegistrationCase& c, std::ostream* out) { *out << std::hex << "0x" << c.shortCut; }

class HotKeyRegistrationTest : public ::testing::TestWithParam<RegistrationCase> {};

TEST_P(HotKeyRegistrationTest, KeyIsTheLowByteModifiersTheTopBits)
{
    EXPECT_EQ(ShortCutKey(GetParam().shortCut), GetParam().key);
    EXPECT_EQ(HotKeyModifiers(GetParam().shortCut), GetParam().modifiers);
}

INSTANTIATE_TEST_SUITE_P(Modifiers, HotKeyRegistrationTest,
                         ::testing::Values(RegistrationCase{0xC046, 0x46, 3},  // Ctrl+Alt+F
                                           RegistrationCase{0x2074, 0x74, 4},  // Shift+F5
                                           RegistrationCase{0xE050, 0x50, 7}, RegistrationCase{0x8026, 0x26, 1},
                                           RegistrationCase{0x0041, 0x41, 0}, RegistrationCase{0x0000, 0x00, 0}));

TEST(StoredShortCutTest, OnlyTheLowWordOfAStoredValueIsTheShortCut)
{
    EXPECT_EQ(StoredShortCut(0xC046), 0xC046);
    EXPECT_EQ(StoredShortCut(0x1C046), 0xC046);
    EXPECT_EQ(StoredShortCut(0x10000), 0);
}

class ShortCutInUseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::fill(std::begin(HotKeyShortCuts), std::end(HotKeyShortCuts), TShortCut{0});
        HotKeyShortCuts[hkPlay] = 0xC050;  // Ctrl+Alt+P
    }
    void TearDown() override { std::fill(std::begin(HotKeyShortCuts), std::end(HotKeyShortCuts), TShortCut{0}); }
};

TEST_F(ShortCutInUseTest, TheWholeWordMustMatchModifiersIncluded)
{
    EXPECT_TRUE(ShortCutInUse(0xC050));
    EXPECT_FALSE(ShortCutInUse(0x4050)) << "Ctrl+P";
    EXPECT_FALSE(ShortCutInUse(0x8050)) << "Alt+P";
    EXPECT_FALSE(ShortCutInUse(0xE050)) << "Shift+Ctrl+Alt+P";
    EXPECT_FALSE(ShortCutInUse(0xC051)) << "Ctrl+Alt+Q";
    EXPECT_FALSE(ShortCutInUse(0)) << "the empty shortcut of the other actions";
}

}  // namespace
