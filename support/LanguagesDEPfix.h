#pragma once
// The locales installed on the machine, listed without run-time generated
// callback code.

#include <string>
#include <vector>

struct TLocaleEntry {
    std::wstring Name;  // LOCALE_SLANGUAGE
    unsigned Id;
    std::wstring Abbreviation;  // LOCALE_SABBREVLANGNAME
};

// Windows side: every supported locale that has an abbreviated language name.
std::vector<TLocaleEntry> InstalledLocales();
