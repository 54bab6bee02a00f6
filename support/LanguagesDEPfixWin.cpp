#include "support/LanguagesDEPfix.h"

#include <windows.h>

#include <cstdlib>

namespace {
// The enumeration callback takes no context, so the list being built lives here.
std::vector<TLocaleEntry>* Collected = nullptr;

// The identifier is the low word of the eight-digit hexadecimal locale string.
constexpr std::size_t kIdStart = 4;
constexpr std::size_t kIdLength = 4;
constexpr int kHexBase = 16;

std::wstring LocaleText(LCID id, LCTYPE item)
{
    const int length = GetLocaleInfoW(id, item, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    GetLocaleInfoW(id, item, text.data(), length);
    text.resize(static_cast<std::size_t>(length - 1));  // the count includes the final zero
    return text;
}

BOOL CALLBACK CollectLocale(LPSTR localeString)
{
    const std::string text(localeString);
    if (text.size() != kIdStart + kIdLength)
        return TRUE;
    const std::string digits = text.substr(kIdStart, kIdLength);
    char* end = nullptr;
    const unsigned long id = std::strtoul(digits.c_str(), &end, kHexBase);
    if (*end != '\0')
        return TRUE;
    const LCID locale = static_cast<LCID>(id);
    const std::wstring abbreviation = LocaleText(locale, LOCALE_SABBREVLANGNAME);
    if (!abbreviation.empty())
        Collected->push_back({LocaleText(locale, LOCALE_SLANGUAGE), static_cast<unsigned>(id), abbreviation});
    return TRUE;
}
}  // namespace

std::vector<TLocaleEntry> InstalledLocales()
{
    std::vector<TLocaleEntry> locales;
    Collected = &locales;
    EnumSystemLocalesA(CollectLocale, LCID_SUPPORTED);
    Collected = nullptr;
    return locales;
}
