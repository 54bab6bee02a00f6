// The language modules the system ships, as the installer packs them and the
// programs read them.
#include "support/LangUnit.h"

#include "support/ProgInfo.h"
#include "tests/support/CodePages.h"
#include "tests/support/ShippedModules.h"
#include "tests/support/fakes/LangUnitFakes.h"
#include "tests/support/fakes/ProgInfoFakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

namespace {

// The language files of the installer's list, in its order; "codes.lng" is
// placed as "!codes.lng".
constexpr const char* kLangFileList =
    "codes.lng;polish.lng;portugues_br.lng;ukrainian.lng;english.lng;french.lng;japanese.lng;korean.lng;"
    "Simplified_Chinese.lng;Trad_Chinese.lng;italian.lng;czech.lng;spanish.lng;german.lng;russian.lng;"
    "belarussian.lng;serbian.lng;bulgarian.lng;";
constexpr const char* kReferenceList = "codes.lng";
constexpr const char* kPlacedReferenceList = "!codes.lng";
constexpr int kModuleVersion = 28;

std::vector<std::string> ListedKeys()
{
    std::ifstream list(std::string(OVEL_TEST_DATA) + "/module-keys.txt");
    std::vector<std::string> keys;
    for (std::string key; std::getline(list, key);)
        keys.push_back(key);
    return keys;
}

struct Entry {
    std::string key;
    std::vector<std::string> lines;
};

// A module split as its writers lay it out: lines ended by CR LF, a preamble,
// then entries, each followed by exactly one empty line. A line that begins
// with "[" always starts an entry, so a value line never does.
struct ModuleText {
    std::vector<Entry> entries;
    std::vector<std::string> faults;
};

ModuleText Split(const std::string& bytes)
{
    ModuleText module;
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1) {
        const bool crLf = end > start && bytes[end - 1] == '\r';
        if (!crLf)
            module.faults.push_back("bare LF at byte " + std::to_string(end));
        lines.push_back(bytes.substr(start, end - start - (crLf ? 1 : 0)));
    }
    if (start != bytes.size())
        module.faults.push_back("last line without CR LF");
    for (std::size_t cr = bytes.find('\r'); cr != std::string::npos; cr = bytes.find('\r', cr + 1))
        if (cr + 1 == bytes.size() || bytes[cr + 1] != '\n')
            module.faults.push_back("CR without LF at byte " + std::to_string(cr));

    const auto isEntryLine = [&lines](std::size_t i) { return !lines[i].empty() && lines[i][0] == '['; };
    const auto nextEntry = [&lines, &isEntryLine](std::size_t i) {
        while (i < lines.size() && !isEntryLine(i))
            ++i;
        return i;
    };
    for (std::size_t i = nextEntry(0); i < lines.size(); i = nextEntry(i)) {
        Entry entry{lines[i].substr(1, lines[i].find(']') - 1), {}};
        if (lines[i] != "[" + entry.key + "]")
            module.faults.push_back("entry line " + lines[i]);
        for (++i; i < lines.size() && lines[i].find_first_not_of(" \t") != std::string::npos; ++i)
            entry.lines.push_back(lines[i]);
        if (i == lines.size() || !lines[i].empty())
            module.faults.push_back("no empty line after " + entry.key);
        else if (++i < lines.size() && !isEntryLine(i))
            module.faults.push_back("more than one empty line after " + entry.key);
        module.entries.push_back(std::move(entry));
    }
    return module;
}

std::string JoinedByCrLf(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : "\r\n") + line;
    return text;
}

std::map<std::string, std::vector<std::string>> Values(const ModuleText& module)
{
    std::map<std::string, std::vector<std::string>> values;
    for (const Entry& entry : module.entries)
        values.emplace(entry.key, entry.lines);
    return values;
}

// The placeholders "%0" to "%9" the text holds.
std::set<std::string> Placeholders(const std::vector<std::string>& lines)
{
    std::set<std::string> found;
    for (const std::string& line : lines)
        for (std::size_t at = line.find('%'); at != std::string::npos; at = line.find('%', at + 1))
            if (at + 1 < line.size() && line[at + 1] >= '0' && line[at + 1] <= '9')
                found.insert(line.substr(at, 2));
    return found;
}

// The keys whose value may equal the English one, module by module: names,
// and words spelled alike in both languages.
std::set<std::pair<std::string, std::string>> AllowedAsEnglish()
{
    std::ifstream list(std::string(OVEL_TEST_DATA) + "/same-as-english.txt");
    std::set<std::pair<std::string, std::string>> allowed;
    for (std::string line; std::getline(list, line);) {
        std::istringstream words(line);
        std::string file;
        std::string key;
        if (line.empty() || line[0] == '#' || !(words >> file >> key))
            continue;
        allowed.insert({file, key});
    }
    return allowed;
}

// Set by rule, equal in every module: the format's version, the program's name.
bool IsFixedByRule(const std::string& key) { return key == "LangVer" || key == "ProgName"; }

std::string Name(const ::testing::TestParamInfo<ShippedModule>& info)
{
    std::string name = info.param.file;
    name.erase(name.find('.'));
    return name;
}

TEST(ShippedLanguageFolder, HoldsExactlyTheFilesOfTheInstallList)
{
    // Fails until all seventeen modules are written.
    std::set<std::string> listed;
    std::istringstream list(kLangFileList);
    for (std::string file; std::getline(list, file, ';');)
        listed.insert(file == kReferenceList ? kPlacedReferenceList : file);
    std::set<std::string> present;
    for (const auto& file : std::filesystem::directory_iterator(ShippedLanguageFolder()))
        present.insert(file.path().filename().string());
    EXPECT_EQ(present, listed);

    std::set<std::string> table;
    for (const ShippedModule& module : ShippedModules())
        table.insert(module.file);
    listed.erase(kPlacedReferenceList);
    EXPECT_EQ(table, listed);
}

TEST(ShippedLanguageFolder, KeyListOfTheWritersIsTheProgramsOwn) { EXPECT_EQ(ListedKeys(), ModuleKeys()); }

TEST(ShippedLanguageFolder, NoLocaleChoosesTwoModules)
{
    std::map<unsigned, std::string> owners;
    for (const ShippedModule& module : ShippedModules())
        for (unsigned code : module.codes) {
            const auto [owner, added] = owners.emplace(code, module.file);
            EXPECT_TRUE(added) << code << " in " << owner->second << " and " << module.file;
        }
}

TEST(ShippedLanguageFolder, ReferenceListNamesEachModuleWithItsLocales)
{
    std::istringstream list(ReadShippedBytes(kPlacedReferenceList));
    std::set<std::string> words;
    for (std::string word; list >> word;)
        words.insert(word);
    for (const ShippedModule& module : ShippedModules()) {
        EXPECT_TRUE(words.count(module.file)) << module.file;
        for (unsigned code : module.codes)
            EXPECT_TRUE(words.count(std::to_string(code))) << module.file << " " << code;
    }
}

class ShippedLanguages : public ::testing::TestWithParam<ShippedModule> {
protected:
    void SetUp() override
    {
        RecordedBilingualBoxes().clear();
        if (!IsShipped(GetParam().file))
            GTEST_SKIP() << GetParam().file << " is not written yet";
        bytes_ = ReadShippedBytes(GetParam().file);
        module_ = Split(bytes_);
    }

    std::string bytes_;
    ModuleText module_;
};

TEST_P(ShippedLanguages, HoldEveryKeyInOrderWithCrLfLinesAndOneEmptyLineAfterEach)
{
    std::vector<std::string> keys;
    for (const Entry& entry : module_.entries)
        keys.push_back(entry.key);
    EXPECT_EQ(keys, ModuleKeys());
    EXPECT_EQ(module_.faults, std::vector<std::string>());
}

TEST_P(ShippedLanguages, EveryByteIsOfTheCodePageAndReadsBackTheSame)
{
    const std::optional<std::string> text = CodePageToUtf8(bytes_, GetParam().codePage);
    ASSERT_TRUE(text) << "a byte outside code page " << GetParam().codePage;
    EXPECT_TRUE(Utf8ToCodePage(*text, GetParam().codePage) == bytes_) << "the bytes differ after the round trip";
}

TEST_P(ShippedLanguages, HeaderAsTheTableGivesIt)
{
    const ShippedModule& expected = GetParam();
    auto values = Values(module_);
    const auto line = [&values, &expected](const char* key) {
        const std::vector<std::string>& lines = values[key];
        return lines.empty() ? std::string() : CodePageToUtf8(lines[0], expected.codePage).value_or("");
    };
    EXPECT_EQ(ParseLangInteger(line("LangVer")), kModuleVersion);
    EXPECT_EQ(line("LangName"), expected.langName);
    EXPECT_EQ(line("EngLangBrief"), expected.engLangBrief);
    EXPECT_EQ(ParseLangInteger(line("LangCharSet")), expected.charset);
    EXPECT_EQ(line("ProgName"), expected.progName);
    std::vector<unsigned> codes;
    for (const std::string& code : values["LangCode"]) {
        const std::optional<int> value = ParseLangInteger(code);
        ASSERT_TRUE(value) << code;
        codes.push_back(static_cast<unsigned>(*value));
    }
    EXPECT_EQ(codes, expected.codes);
}

TEST_P(ShippedLanguages, EachTextHasTheEnglishPlaceholdersAndLineCount)
{
    auto english = Values(Split(ReadShippedBytes("english.lng")));
    for (const Entry& entry : module_.entries) {
        SCOPED_TRACE(entry.key);
        ASSERT_FALSE(entry.lines.empty()) << "empty value";
        EXPECT_EQ(Placeholders(entry.lines), Placeholders(english[entry.key]));
        if (entry.key != "LangCode") {
            EXPECT_EQ(entry.lines.size(), english[entry.key].size());
        }
    }
}

TEST_P(ShippedLanguages, TextEqualsTheEnglishOneOnlyWhereTheListAllowsIt)
{
    if (GetParam().file == std::string("english.lng"))
        GTEST_SKIP() << "the English module itself";
    auto english = Values(Split(ReadShippedBytes("english.lng")));
    const auto allowed = AllowedAsEnglish();
    for (const Entry& entry : module_.entries) {
        if (IsFixedByRule(entry.key))
            continue;
        const bool same = entry.lines == english[entry.key];
        const bool mayBeSame = allowed.count({GetParam().file, entry.key}) != 0;
        EXPECT_EQ(same, mayBeSame) << entry.key << (same ? " is left in English" : " is listed as English");
    }
}

TEST_P(ShippedLanguages, TheProgramsReadEachTextAsWritten)
{
    FakeLangFileChoice() = GetParam().file;
    ExeDir = std::string(OVEL_SOURCE_DIR) + "\\";
    UserLCID = 1033;
    RussianUI = false;
    ASSERT_TRUE(LoadLanguages());
    ASSERT_EQ(LangFiles[CurrentLangIndex], GetParam().file);
    for (const Entry& entry : module_.entries)
        EXPECT_EQ(GetLangText(entry.key, false), JoinedByCrLf(entry.lines)) << entry.key;
    EXPECT_TRUE(RecordedBilingualBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Modules, ShippedLanguages, ::testing::ValuesIn(ShippedModules()), Name);

// The whole folder as the programs load it.
class ShippedLanguagesChoice : public ::testing::Test {
protected:
    void SetUp() override
    {
        RecordedBilingualBoxes().clear();
        FakeLangFileChoice().reset();
        ExeDir = std::string(OVEL_SOURCE_DIR) + "\\";
    }

    // Loads the folder for a user of lcid: the module chosen and its number.
    std::string ChosenFor(unsigned lcid, bool russianUI)
    {
        UserLCID = lcid;
        RussianUI = russianUI;
        if (!LoadLanguages())
            return "(no load)";
        return LangFiles[CurrentLangIndex];
    }
};

TEST_F(ShippedLanguagesChoice, EachModulesFirstAndLastLocaleChooseIt)
{
    for (const ShippedModule& module : ShippedModules()) {
        if (!IsShipped(module.file))
            continue;  // the folder test names it
        for (unsigned lcid : {module.codes.front(), module.codes.back()}) {
            SCOPED_TRACE(lcid);
            EXPECT_EQ(ChosenFor(lcid, IsRussianInterfaceLocale(lcid)), module.file);
            EXPECT_EQ(LangCode, module.codes.front());
            EXPECT_EQ(LangCharset, module.charset);
        }
    }
    EXPECT_TRUE(RecordedBilingualBoxes().empty());
}

TEST_F(ShippedLanguagesChoice, LocaleOfNoModuleGetsTheDefaultModule)
{
    EXPECT_EQ(ChosenFor(1035, false), "english.lng");  // Finnish
    EXPECT_EQ(LangCode, 1033);
    EXPECT_EQ(ChosenFor(1035, true), "russian.lng");
    EXPECT_EQ(LangCode, 1049);
    EXPECT_TRUE(RecordedBilingualBoxes().empty());
}

TEST_F(ShippedLanguagesChoice, QuotedEnglishTexts)
{
    ASSERT_EQ(ChosenFor(1033, false), "english.lng");
    EXPECT_EQ(GetLangText("filecorrupt", true), "Please reinstall the program.");
    EXPECT_EQ(GetLangString("progname"), "Ovel");
}

}  // namespace
