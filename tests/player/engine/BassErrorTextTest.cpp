#include "player/engine/BassErrorText.h"

#include <gtest/gtest.h>

namespace {

struct ErrorTextCase {
    int code;
    bool russian;
    const char* text;
};

// Russian literals are compiled to the Windows Russian code page, as the boxes show them.
const ErrorTextCase kCases[] = {
    {0, false, "all is OK"},
    {14, false, "already initialized"},
    {14, true, "уже инициализирован"},
    {38, false, "the channel is a \"decoding channel\""},
    {38, true, "это \"канал декодирования\""},
    {40, false, "connection timedout"},
    {40, true, "неизвестная ошибка"},
    {48, true, "неподдерживаемый протокол"},
    {10, false, "some mystery error"},
    {36, true, "неизвестная ошибка"},
    {49, false, "some mystery error"},
    {-1, false, "some mystery error"},
};

TEST(BassErrorText, WordsByCodeWithTheDefaultForTheRest)
{
    for (const ErrorTextCase& c : kCases)
        EXPECT_EQ(BassErrorText(c.code, c.russian), c.text) << "code " << c.code << " russian " << c.russian;
}

}  // namespace
