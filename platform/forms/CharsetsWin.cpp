#include "platform/forms/Charsets.h"

#include <windows.h>

std::u16string ToUtf16(const std::string& text, unsigned codePage)
{
    const int length = static_cast<int>(text.size());
    const int wideLength = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    std::u16string wide(static_cast<std::size_t>(wideLength > 0 ? wideLength : 0), u'\0');
    if (wideLength > 0)
        MultiByteToWideChar(codePage, 0, text.data(), length, reinterpret_cast<wchar_t*>(wide.data()), wideLength);
    return wide;
}

std::string FromUtf16(const std::u16string& text, unsigned codePage)
{
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    const int narrowLength = WideCharToMultiByte(codePage, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(narrowLength > 0 ? narrowLength : 0), '\0');
    if (narrowLength > 0)
        WideCharToMultiByte(codePage, 0, wide, length, narrow.data(), narrowLength, nullptr, nullptr);
    return narrow;
}

std::u16string UpperCase(const std::u16string& text)
{
    std::u16string upper = text;
    CharUpperBuffW(reinterpret_cast<wchar_t*>(upper.data()), static_cast<DWORD>(upper.size()));
    return upper;
}

unsigned CodePageOfCharset(int charset) { return CharsetCodePage(charset, GetACP()); }
