#include "support/LangUnit.h"

#include "support/ProgInfo.h"
#include "support/TextFiles.h"

#include <algorithm>
#include <charconv>

std::vector<std::string> LangFiles;
std::vector<std::string> LangNames;
std::vector<int> LangVersions;
int CurrentLangIndex = -1;
int MatchedLangIndex = -1;
int RussianLangIndex = -1;
int EnglishLangIndex = -1;
std::uint16_t LangCode = 0xFFFF;
int LangCharset = 255;

namespace {
constexpr int kNoModule = -1;
constexpr const char* kLanguageFolder = "language\\";
constexpr const char* kModuleExtension = ".lng";
constexpr char kNotModuleMark = '!';  // "!codes.lng" is a reference list, not a module
constexpr const char* kRussianModule = "russian.lng";
constexpr const char* kEnglishModule = "english.lng";
constexpr const char* kLineBreak = "\r\n";
constexpr char kEntryMark = '[';
constexpr char kPlaceholderMark = '%';
constexpr int kPlaceholderCount = 4;

using ValueLines = std::vector<std::string>;

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string Trim(const std::string& text)
{
    const auto first = std::find_if_not(text.begin(), text.end(), IsBlank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), IsBlank).base();
    return first < last ? std::string(first, last) : std::string();
}

std::string JoinLines(const ValueLines& lines, std::size_t first)
{
    std::string text;
    for (std::size_t i = first; i < lines.size(); ++i) {
        if (i > first)
            text += kLineBreak;
        text += lines[i];
    }
    return text;
}

int ModuleCount() { return static_cast<int>(LangFiles.size()); }

bool IsModule(int index) { return index >= 0 && index < ModuleCount(); }

std::string ModulePath(int index) { return ExeDir + kLanguageFolder + LangFiles[index]; }

int FallbackIndex() { return RussianUI ? RussianLangIndex : EnglishLangIndex; }

// entry is the lower-cased key followed by "]"; it must stand right after the "[".
bool IsEntryLine(const std::string& line, const std::string& entry)
{
    return !line.empty() && line[0] == kEntryMark && LowerCase(Trim(line)).find(entry) == 1;
}

// The line after the key's entry and, for a whole text, the lines after it up
// to the first blank one. Empty when the key is absent or stands on the last
// line, or when the module cannot be read (after the file box).
ValueLines ReadEntry(int index, const std::string& key, bool wholeText)
{
    const std::string path = ModulePath(index);
    const std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes) {
        ShowLanguageFileError(path);
        return {};
    }
    const ValueLines lines = SplitLines(*bytes);
    const std::string entry = LowerCase(key + "]");
    const auto found = std::find_if(lines.begin(), lines.end(),
                                    [&entry](const std::string& line) { return IsEntryLine(line, entry); });
    if (found == lines.end() || found + 1 == lines.end())
        return {};
    ValueLines value{*(found + 1)};
    for (auto next = found + 2; wholeText && next != lines.end() && !Trim(*next).empty(); ++next)
        value.push_back(*next);
    return value;
}

bool LacksText(const ValueLines& value) { return value.empty() || value.front().empty(); }

ValueLines LookUp(const std::string& key, bool wholeText)
{
    ValueLines value;
    if (IsModule(CurrentLangIndex))
        value = ReadEntry(CurrentLangIndex, key, wholeText);
    const int fallback = FallbackIndex();
    if (LacksText(value) && fallback != CurrentLangIndex && IsModule(fallback))
        value = ReadEntry(fallback, key, wholeText);
    return value;
}

// One pass, so text coming from an argument is never filled again.
std::string FillPlaceholders(const std::string& text, const std::vector<std::string>& args)
{
    std::string filled;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == kPlaceholderMark && i + 1 < text.size()) {
            const int number = text[i + 1] - '0';
            if (number >= 1 && number <= kPlaceholderCount && number <= static_cast<int>(args.size())) {
                filled += args[number - 1];
                ++i;
                continue;
            }
        }
        filled += text[i];
    }
    return filled;
}

void ClearModuleList()
{
    LangFiles.clear();
    LangNames.clear();
    LangVersions.clear();
    MatchedLangIndex = RussianLangIndex = EnglishLangIndex = kNoModule;
}

void FindModules()
{
    ClearModuleList();
    for (const std::string& name : ListFiles(ExeDir + kLanguageFolder, kModuleExtension)) {
        if (name.find(kNotModuleMark) != std::string::npos)
            continue;
        const std::string lowerName = LowerCase(name);
        if (lowerName == kRussianModule)
            RussianLangIndex = ModuleCount();
        if (lowerName == kEnglishModule)
            EnglishLangIndex = ModuleCount();
        LangFiles.push_back(name);
    }
    LangNames.resize(LangFiles.size());
    LangVersions.resize(LangFiles.size());
}

// Empty when every module the user's interface needs is there.
std::string MissingModule()
{
    if (RussianUI && RussianLangIndex == kNoModule)
        return kRussianModule;
    if (EnglishLangIndex == kNoModule)
        return kEnglishModule;
    return {};
}

// Selects the module and reads its name, version and locale list; false when
// one of its numbers is no integer.
bool ReadModuleHeader(int index)
{
    if (!SelectLanguage(index))
        return false;
    LangNames[index] = GetLangString("langname");
    const std::optional<int> version = ParseLangInteger(GetLangString("langver"));
    if (!version)
        return false;
    LangVersions[index] = *version;
    for (const std::string& line : LookUp("langcode", true)) {
        const std::optional<int> code = ParseLangInteger(line);
        if (!code)
            return false;
        if (*code >= 0 && static_cast<unsigned>(*code) == UserLCID)
            MatchedLangIndex = index;
    }
    return true;
}

// A stored choice of a module that is no longer there is ignored.
void ApplyUserChoice()
{
    const std::optional<std::string> choice = ReadLangFileChoice();
    if (!choice)
        return;
    const auto found = std::find(LangFiles.begin(), LangFiles.end(), *choice);
    const int index = static_cast<int>(found - LangFiles.begin());
    if (found != LangFiles.end() && index != CurrentLangIndex)
        SelectLanguage(index);
}
}  // namespace

std::optional<int> ParseLangInteger(const std::string& text)
{
    const std::string trimmed = Trim(text);
    const std::size_t signLength = !trimmed.empty() && (trimmed[0] == '+' || trimmed[0] == '-') ? 1 : 0;
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (trimmed.size() == signLength || !std::all_of(trimmed.begin() + signLength, trimmed.end(), isDigit))
        return std::nullopt;
    // from_chars takes a minus sign but no plus sign.
    const char* first = trimmed.data() + (trimmed[0] == '+' ? 1 : 0);
    const char* last = trimmed.data() + trimmed.size();
    int value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last)
        return std::nullopt;
    return value;
}

bool LoadLanguages()
{
    FindModules();
    const std::string missing = MissingModule();
    if (!missing.empty()) {
        ShowErrorBilingual("Can't work with no " + missing + " file!\r\nPlease reinstall the program.",
                           "Работа без файла " + missing + " невозможна!\r\nПожалуйста, переустановите программу.");
        return false;
    }
    for (int index = 0; index < ModuleCount(); ++index) {
        if (!ReadModuleHeader(index)) {
            const std::string& file = LangFiles[index];
            ShowErrorBilingual(file + " file contains errors.\r\nPlease reinstall the program.",
                               "Файл " + file + " содержит ошибки!\r\nПожалуйста, переустановите программу.");
            return false;
        }
    }
    SelectLanguage(MatchedLangIndex != kNoModule ? MatchedLangIndex : FallbackIndex());
    ApplyUserChoice();
    return true;
}

bool SelectLanguage(int index)
{
    CurrentLangIndex = index;
    ProgName = GetLangString("progname");
    ProgDescr = GetLangString("progdescr0");
    const std::optional<int> charset = ParseLangInteger(GetLangString("langcharset"));
    const std::optional<int> code = ParseLangInteger(GetLangString("langcode"));
    if (!charset || !code)
        return false;
    LangCharset = *charset;
    LangCode = static_cast<std::uint16_t>(*code);
    return true;
}

std::string GetLangString(const std::string& key)
{
    const ValueLines value = LookUp(key, false);
    return value.empty() ? std::string() : value.front();
}

std::string GetLangText(const std::string& key, bool dropFirstLine)
{
    return JoinLines(LookUp(key, true), dropFirstLine ? 1 : 0);
}

std::string GetLangStringFmt(const std::string& key, const std::vector<std::string>& args)
{
    return FillPlaceholders(GetLangString(key), args);
}

std::string GetLangTextFmt(const std::string& key, const std::vector<std::string>& args, bool dropFirstLine)
{
    return FillPlaceholders(GetLangText(key, dropFirstLine), args);
}

void ShowLanguageFileError(const std::string& fileName)
{
    ShowErrorBilingual("Can't handle the language support file " + fileName,
                       "Не удаётся работать с файлом языковой поддержки " + fileName);
}
