// Shortcut words: the hot-key control's value and the text menus show.
#include "platform/forms/ShortCut.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct ControlCase {
    TShortCut shortCut;
    std::uint16_t controlValue;
};

void PrintTo(const ControlCase& c, std::ostream* out) { *out << std::hex << "0x" << c.shortCut; }

class HotKeyControlTest : public ::testing::TestWithParam<ControlCase> {};

TEST_P(HotKeyControlTest, ShortCutAndControlValueGoBothWays)
{
    const ControlCase& c = GetParam();
    EXPECT_EQ(HotKeyControlValue(c.shortCut), c.controlValue);
    EXPECT_EQ(ShortCutOfHotKeyControl(c.controlValue), c.shortCut);
}

INSTANTIATE_TEST_SUITE_P(Modifiers, HotKeyControlTest,
                         ::testing::Values(ControlCase{0xC046, 0x0646},  // Ctrl+Alt+F
                                           ControlCase{0x2074, 0x0174},  // Shift+F5
                                           ControlCase{0xE041, 0x0741},  // all three
                                           ControlCase{0x8026, 0x0C26},  // Alt+Up: an extended key
                                           ControlCase{0x402E, 0x0A2E},  // Ctrl+Del: an extended key
                                           ControlCase{0x0000, 0x0000}));

TEST(HotKeyControlTest, ExtendedFlagFromTheControlIsNoPartOfTheShortCut)
{
    EXPECT_EQ(ShortCutOfHotKeyControl(0x0C26), 0x8026);
    EXPECT_EQ(ShortCutOfHotKeyControl(0x0826), 0x0026);
}

struct TextCase {
    TShortCut shortCut;
    const char* text;
};

void PrintTo(const TextCase& c, std::ostream* out) { *out << c.text; }

class ShortCutTextTest : public ::testing::TestWithParam<TextCase> {};

std::string NoOtherNames(std::uint8_t) { return {}; }

TEST_P(ShortCutTextTest, ModifiersInOrderThenTheKey)
{
    EXPECT_EQ(ShortCutToText(GetParam().shortCut, NoOtherNames), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Keys, ShortCutTextTest,
                         ::testing::Values(TextCase{0xC046, "Ctrl+Alt+F"}, TextCase{0x2074, "Shift+F5"},
                                           TextCase{0xE050, "Shift+Ctrl+Alt+P"}, TextCase{0x4031, "Ctrl+1"},
                                           TextCase{0x8065, "Alt+5"},  // the number pad's 5
                                           TextCase{0x4087, "Ctrl+F24"}, TextCase{0x8021, "Alt+PgUp"},
                                           TextCase{0xC028, "Ctrl+Alt+Down"}, TextCase{0x402D, "Ctrl+Ins"},
                                           TextCase{0x2008, "Shift+BkSp"}, TextCase{0x800D, "Alt+Enter"},
                                           TextCase{0x401B, "Ctrl+Esc"}, TextCase{0x4020, "Ctrl+Space"},
                                           TextCase{0x005A, "Z"}, TextCase{0x0000, ""},
                                           TextCase{0xC000, ""},    // modifiers without a key
                                           TextCase{0xC0BA, ""}));  // a key only the system names

TEST(ShortCutTextTest, KeysWithoutANameOfTheirOwnAskTheLookup)
{
    std::uint8_t asked = 0;
    const TKeyNameLookup system = [&asked](std::uint8_t key) {
        asked = key;
        return std::string(";");
    };
    EXPECT_EQ(ShortCutToText(0xC0BA, system), "Ctrl+Alt+;");
    EXPECT_EQ(asked, 0xBA);
    asked = 0;
    EXPECT_EQ(ShortCutToText(0x4046, system), "Ctrl+F");
    EXPECT_EQ(ShortCutToText(0x4000, system), "");
    EXPECT_EQ(asked, 0) << "a key of its own name, or no key, asks nothing";
}

}  // namespace
