#include "tests/support/CodePages.h"

#include <windows.h>

#include <algorithm>

namespace {

// Nothing when a byte sequence is no character of the page.
std::optional<std::wstring> Widened(const std::string& bytes, unsigned codePage)
{
    const int length = static_cast<int>(bytes.size());
    const int wideLength = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
    if (wideLength <= 0)
        return bytes.empty() ? std::optional<std::wstring>(std::wstring()) : std::nullopt;
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, wide.data(), wideLength);
    return wide;
}

// Nothing when a character has no bytes in the page: no best-fit stand-ins.
std::optional<std::string> Narrowed(const std::wstring& wide, unsigned codePage)
{
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int length = static_cast<int>(wide.size());
    BOOL replaced = FALSE;
    BOOL* replacedFlag = utf8 ? nullptr : &replaced;  // UTF-8 takes no default character
    const int narrowLength =
        WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0, nullptr, replacedFlag);
    std::string bytes(static_cast<std::size_t>(std::max(narrowLength, 0)), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), length, bytes.data(), narrowLength, nullptr, replacedFlag);
    if (replaced || (narrowLength <= 0 && !wide.empty()))
        return std::nullopt;
    return bytes;
}

std::optional<std::string> Recoded(const std::string& text, unsigned from, unsigned to)
{
    const std::optional<std::wstring> wide = Widened(text, from);
    return wide ? Narrowed(*wide, to) : std::nullopt;
}

}  // namespace

std::optional<std::string> CodePageToUtf8(const std::string& bytes, unsigned codePage)
{
    return Recoded(bytes, codePage, CP_UTF8);
}

std::optional<std::string> Utf8ToCodePage(const std::string& text, unsigned codePage)
{
    return Recoded(text, CP_UTF8, codePage);
}
