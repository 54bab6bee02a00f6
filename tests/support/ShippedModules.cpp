#include "tests/support/ShippedModules.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

// base + 1024 * k for k = 0 .. count - 1: the sublanguages of a language.
std::vector<unsigned> Sublanguages(unsigned base, unsigned count)
{
    std::vector<unsigned> codes;
    for (unsigned k = 0; k < count; ++k)
        codes.push_back(base + 1024 * k);
    return codes;
}

std::vector<unsigned> SpanishCodes()
{
    std::vector<unsigned> codes = Sublanguages(1034, 22);
    codes.erase(std::find(codes.begin(), codes.end(), 3082u));
    codes.insert(codes.begin(), 3082);  // modern sort
    return codes;
}

}  // namespace

const std::vector<ShippedModule>& ShippedModules()
{
    static const std::vector<ShippedModule> modules = {
        {"english.lng", 1252, u8"English", "Eng", 255, {1033, 2057, 3081, 4105, 5129, 6153}, "Ovel"},
        {"russian.lng", 1251, u8"Русский", "Rus", 204, {1049, 1087, 1092}, u8"Овел"},
        {"polish.lng", 1250, u8"Polski", "Pol", 238, {1045}, "Ovel"},
        {"portugues_br.lng", 1252, u8"Português (Brasil)", "PtBr", 0, {1046, 2070}, "Ovel"},
        {"ukrainian.lng", 1251, u8"Українська", "Ukr", 204, {1058}, "Ovel"},
        {"french.lng", 1252, u8"Français", "Fre", 0, Sublanguages(1036, 15), "Ovel"},
        {"japanese.lng", 932, u8"日本語", "Jpn", 128, {1041}, "Ovel"},
        {"korean.lng", 949, u8"한국어", "Kor", 129, {1042}, "Ovel"},
        {"Simplified_Chinese.lng", 936, u8"简体中文", "ChS", 134, {2052, 4100}, "Ovel"},
        {"Trad_Chinese.lng", 950, u8"繁體中文", "ChT", 136, {1028, 3076, 5124}, "Ovel"},
        {"italian.lng", 1252, u8"Italiano", "Ita", 0, {1040, 2064}, "Ovel"},
        {"czech.lng", 1250, u8"Čeština", "Cze", 238, {1029, 1051}, "Ovel"},
        {"spanish.lng", 1252, u8"Español", "Spa", 0, SpanishCodes(), "Ovel"},
        {"german.lng", 1252, u8"Deutsch", "Ger", 0, Sublanguages(1031, 5), "Ovel"},
        {"belarussian.lng", 1251, u8"Беларуская", "Bel", 204, {1059}, "Ovel"},
        {"serbian.lng", 1251, u8"Српски", "Srp", 204, {3098, 10266, 12314, 7194, 2074, 9242, 11290, 6170}, "Ovel"},
        {"bulgarian.lng", 1251, u8"Български", "Bul", 204, {1026}, "Ovel"},
    };
    return modules;
}

void PrintTo(const ShippedModule& module, std::ostream* out) { *out << module.file; }

std::string ShippedLanguageFolder() { return std::string(OVEL_SOURCE_DIR) + "/language/"; }

bool IsShipped(const std::string& file) { return std::ifstream(ShippedLanguageFolder() + file).good(); }

std::string ReadShippedBytes(const std::string& file)
{
    std::ifstream in(ShippedLanguageFolder() + file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
