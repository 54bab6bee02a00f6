#pragma once
// Language modules: language\<name>.lng in the program folder. Finds them,
// chooses one for the user's locale or earlier choice, looks texts up by key
// with a fallback to the default module, fills placeholders, and shows
// message boxes in the module's language. Texts are ANSI bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

extern std::vector<std::string> LangFiles;  // module file names, without folder
extern std::vector<std::string> LangNames;  // each module's "LangName"
extern std::vector<int> LangVersions;       // each module's "LangVer"
extern std::vector<int> LangCharsets;       // each module's "LangCharSet": its names show in its own page
extern int CurrentLangIndex;
extern int MatchedLangIndex;  // module listing UserLCID; -1 when none
extern int RussianLangIndex;
extern int EnglishLangIndex;
extern std::uint16_t LangCode;  // language of the message boxes
extern int LangCharset;         // font character set of every form

// Finds, checks and chooses the modules; false after a bilingual error box.
bool LoadLanguages();

// The module files of the program folder (with its backslash), in the order
// the file system lists them: the order of the language list.
std::vector<std::string> ListModuleFiles(const std::string& programFolder);

// Makes module index current and reads it afresh; false (code and character
// set unchanged) when its own "LangCharSet" or first "LangCode" line is not an
// integer.
bool SelectLanguage(int index);

// The value line of key, from the default module when the current one lacks
// it or leaves it empty; empty when both lack it.
std::string GetLangString(const std::string& key);

// The whole value of key, lines joined by CR LF; dropFirstLine leaves the
// first line out.
std::string GetLangText(const std::string& key, bool dropFirstLine);

// The same with "%1".."%4" filled from args; a placeholder without an
// argument stays as it is.
std::string GetLangStringFmt(const std::string& key, const std::vector<std::string>& args);
std::string GetLangTextFmt(const std::string& key, const std::vector<std::string>& args, bool dropFirstLine);

void ShowLanguageFileError(const std::string& fileName);

// While one lives (a form taking all its texts at once), a module that cannot
// be read shows its file box at its first lookup only.
class TLangLookupPass {
public:
    TLangLookupPass();
    ~TLangLookupPass();
    TLangLookupPass(const TLangLookupPass&) = delete;
    TLangLookupPass& operator=(const TLangLookupPass&) = delete;
};

// Every key of a complete module, in file order; the default module holds
// them all.
std::vector<std::string> ModuleKeys();

// A module's integer: decimal digits with an optional sign, blanks around
// allowed, within 32 bits; anything else is no integer.
std::optional<int> ParseLangInteger(const std::string& text);

// Windows side.
void LangErrorBox(const std::string& text);
void LangWarningBox(const std::string& text);
std::optional<std::string> ReadLangFileChoice();  // the settings value "LangFile"
