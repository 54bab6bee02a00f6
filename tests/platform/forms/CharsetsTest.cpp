// Which code page a font's character set means, how its bytes make
// characters, and the conversion to UTF-16 and back.
#include "platform/forms/Charsets.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr unsigned kSystemPage = 1257;  // a system page none of the rows gives

TEST(CharsetsTest, EachCharacterSetMeansItsCodePage)
{
    const struct {
        int charset;
        unsigned page;
    } rows[] = {
        {0, 1252},   {255, 1252}, {1, kSystemPage}, {2, kSystemPage}, {204, 1251}, {238, 1250},       {128, 932},
        {129, 949},  {134, 936},  {136, 950},       {161, 1253},      {162, 1254}, {177, 1255},       {178, 1256},
        {186, 1257}, {222, 874},  {163, 1258},      {130, 1361},      {77, 10000}, {99, kSystemPage},
    };
    for (const auto& row : rows)
        EXPECT_EQ(CharsetCodePage(row.charset, kSystemPage), row.page) << row.charset;
}

TEST(CharsetsTest, DoubleByteCharactersCountAndCutWhole)
{
    const std::string japanese = "\x93\xFA\x96\x7B\x8C\xEA";  // 日本語
    const std::string mixed = "A\xE0\x40"
                              "B";  // a lead byte of 932 from 0xE0 on
    const struct {
        std::string text;
        unsigned page;
        std::size_t characters;
        std::size_t firstTwoBytes;  // bytes of the first two characters
    } rows[] = {
        {japanese, 932, 3, 4},
        {mixed, 932, 3, 3},
        {mixed, 1251, 4, 2},              // the same bytes are single in a Cyrillic page
        {"\xC7\xD1\xB1\xB9", 949, 2, 4},  // 한국
        {"\xA4\xA4\xA4\xE5", 950, 2, 4},  // 中文
        {"\xD6\xD0\xCE\xC4", 936, 2, 4},  // 中文
        {"\x81", 932, 1, 1},              // a lead byte alone at the end
        {"", 932, 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.page);
        EXPECT_EQ(CharacterCount(row.text, row.page), row.characters);
        EXPECT_EQ(FirstCharacters(row.text, 2, row.page), row.text.substr(0, row.firstTwoBytes));
    }
    EXPECT_EQ(FirstCharacters(japanese, 9, 932), japanese);
}

TEST(CharsetsTest, TextOfACodePageReadsAsUtf16AndBack)
{
    const struct {
        std::string bytes;
        unsigned page;
        std::u16string wide;
    } rows[] = {
        {"\xD0\xF3\xF1\xF1\xEA\xE8\xE9", 1251, u"Русский"},
        {"\xC8"
         "e\x9Atina",
         1250, u"Čeština"},
        {"Fran\xE7"
         "ais",
         1252, u"Français"},
        {"\x93\xFA\x96\x7B\x8C\xEA", 932, u"日本語"},
        {"\xC7\xD1\xB1\xB9\xBE\xEE", 949, u"한국어"},
        {"\xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4", 936, u"简体中文"},
        {"\xC1\x63\xC5\xE9\xA4\xA4\xA4\xE5", 950, u"繁體中文"},
        {"", 1251, u""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.page);
        EXPECT_EQ(ToUtf16(row.bytes, row.page), row.wide);
        EXPECT_EQ(FromUtf16(row.wide, row.page), row.bytes);
    }
    EXPECT_EQ(FromUtf16(u"Жук", 1252), "???");  // letters the page lacks
}

TEST(CharsetsTest, UpperCaseFollowsUnicode)
{
    const struct {
        std::u16string text;
        std::u16string upper;
    } rows[] = {
        {u"жёлтый", u"ЖЁЛТЫЙ"}, {u"été", u"ÉTÉ"}, {u"ґіўř", u"ҐІЎŘ"}, {u"日本ｶﾀ", u"日本ｶﾀ"},  // no case
    };
    for (const auto& row : rows)
        EXPECT_TRUE(UpperCase(row.text) == row.upper);
}

}  // namespace
