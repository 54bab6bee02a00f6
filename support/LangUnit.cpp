#include "support/LangUnit.h"

#include "support/ProgInfo.h"
#include "support/TextFiles.h"

#include <algorithm>
#include <charconv>

std::vector<std::string> LangFiles;
std::vector<std::string> LangNames;
std::vector<int> LangVersions;
std::vector<int> LangCharsets;
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

// Every key of a complete module, in file order.
// clang-format off
const char* const kModuleKeys[] = {
    "LangVer", "LangName", "EngLangBrief", "LangCode", "LangCharSet", "ProgName", "ProgDescr0", "ProgDescr1",
    "InstallVerification", "VerificationFail", "BadInstaller", "PreLicence", "LicenceText", "PostLicence",
    "InstallOptions", "OvelFolder", "PathDemand", "BadFolder", "DesktopShortcut", "RunAfterInstall",
    "SoundQuest", "InstallAsk", "FilesInstall", "OlderFileVer", "ProgShellInfo", "InstallDone", "NoSound",
    "NoRight", "AskToRun", "BadDriver", "TryBadDriver", "HideDriverInfo", "FileNotFound", "FileCantOpen",
    "FileCorrupt", "FileBadVersion", "ControlBoard", "LiveUpdate", "Information", "Exit", "Minimize", "RainNow",
    "StopRain", "GaleNow", "StopGale", "DayForest", "NightForest", "Ocean", "Tessil", "SoundOff", "SoundPlay",
    "GeneralVolumeHint", "Nature", "Music", "MusicForDayForest", "MusicForNightForest", "MusicForOcean",
    "Compression", "SoundSpaceLimiter", "ClosestSounds", "FarthestSounds", "MeterUnit", "Automation", "Brook",
    "Waterfall", "StreamNearnessHint", "TopView", "Placement", "Seagulls", "GullsNearnessHint", "Rain", "Storm",
    "Gale", "Ducking", "NotAlways", "VerySeldom", "Seldom", "Often", "VeryOften", "Endless", "RareLongerHint",
    "BirdsActivity", "Bonfire", "FireIntensityHint", "FireNearnessHint", "Flute", "Guitar", "Accordion",
    "Fiddle", "SoundFolder", "Folder", "SoundFolderPathBrowse", "Clear", "SoundFolderPathHint",
    "WithSubfolders", "RandomAllocation", "AppearRate", "AndMore", "NearFlights", "NBFlights", "NIFlights",
    "NearVolumeHint", "Volume&AuditionHint", "Birds", "Insects", "Woodpeckers", "Crickets", "Crows", "Owls",
    "Nightingales", "Cuckoos", "Frogs", "FrogsNearnessHint", "Beasts", "Wind", "WindVolumeHint", "NoSoundsHint",
    "AutoStart", "AsService", "AsServiceHint", "MutedStart", "DayForestStart", "NightForestStart",
    "TimeForestStart", "SunriseToday", "SunsetToday", "OnExactTimeChange", "AsAtTheClose", "PlayStartTime",
    "ScreenSaverSync", "OvelChange", "5minChange", "15minChange", "30minChange", "OnHourChange",
    "ForestTimeChange", "ExactTimeChange", "DayOvelOn", "NightOvelOn", "OceanOvelOn", "MuteTime",
    "LoudnessDown", "VolumeRestoreHint", "KeepItOn", "SendToSleep", "AndTurnOff", "CompSoundOffHint", "Chimes",
    "SilenceTime", "ChimesHours", "RoundTheClock", "From", "Till", "ChimesMinutes", "RandomChoice",
    "DoubleSound", "AlarmClock", "OwnAlarms", "AlarmFileNotFound", "File", "SoundSelection", "AlarmPathBrowse",
    "AlarmPathHint", "AlarmSoundTest", "AlarmFormHint", "ExactingSound", "DeviceInUse", "UseCurrentDefDevice",
    "WaitThisDevice", "WaitAnyDefDevice", "SpeakerCount", "DirectSound", "NoDirectSound", "HWMixer", "Language",
    "HotKeys", "ShowSoundLevels", "ExportSets", "ImportSets", "FileCreateError", "Optimum", "OptimumHint",
    "AutoMemoryClean", "UseHotKeys", "PressHotKeys", "HotKeysExample", "OvelLouder", "OvelLower", "BrookLouder",
    "BrookLower", "BonfireHeavier", "BonfireWeaker", "BonfireCloser", "BonfireFarther", "ReportStartHKDeny",
    "HotKeyError", "HotKeyBusy", "HotKeyDeny", "LiveUpdateCaption", "LiveUpdateStartMessage", "ProxyUse",
    "ProxyAddress", "ProxyPort", "Authorization", "Name", "Password", "AutoUpdateCaption", "AllowSilentInstall",
    "SilentInstallHint", "AutoEveryDay", "AutoEvery2Days", "AutoEvery3Days", "AutoEvery5Days", "AutoEveryWeek",
    "AutoEvery2Weeks", "LastCheckup", "LastDownload", "Cancel", "Next", "CheckupProgress", "CheckupFail",
    "UpdateOffers", "OneUpdateOffer", "CriticalUpdate", "News1", "ProgShell", "DayBackground", "DayWinged",
    "ForestWind", "OceanWind", "NearDayFlights", "DayCrows", "DayMusic", "NightBackground", "NightWinged",
    "NightBeasts", "NightMusic", "Thunder", "BrookAndWaterfall", "OceanSounds", "GaleSounds", "AlarmSounds",
    "LangModule", "VersAndSize", "NoUpdates", "UpdateInstruction", "SelectAll", "NowDownloading",
    "NowInstalling", "OnSchedule", "CompOff", "CompSleep", "Version", "SoundVers", "FluteAndMore",
    "GuitarAndMore", "ThunderInfo", "Licence", "Author", "CopyRight", "Invitation", "Mail", "MailHint",
    "Donation", "BadDriverRenew", "BadDriverRenewHint", "BadDriverRenewDialog", "Unobvious", "InfoPart1",
    "InfoPart2", "InfoPart3", "Debug", "Credits", "MusicInfo", "VersionFormat", "Uninstall", "ThinkBetter",
    "UninstWarn", "UninstNoFolder", "UninstDone",
};
// clang-format on

// Header keys every module holds itself: they are its own, never borrowed.
const char* const kHeaderKeys[] = {"langver",     "langname", "englangbrief", "langcode",
                                   "langcharset", "progname", "progdescr0",   "progdescr1"};

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

// A module as read once: its lines, and its entry lines trimmed and
// lower-cased the way keys are matched.
struct ReadModule {
    std::string path;
    ValueLines lines;
    std::vector<std::pair<std::size_t, std::string>> entries;  // line number, matched form
};

// The current and the default module, read at their first lookup after a
// selection; a selection reads them anew.
std::vector<ReadModule> ReadModules;

ReadModule SplitModule(const std::string& path, const std::string& bytes)
{
    ReadModule module{path, SplitLines(bytes), {}};
    for (std::size_t i = 0; i < module.lines.size(); ++i)
        if (!module.lines[i].empty() && module.lines[i][0] == kEntryMark)
            module.entries.emplace_back(i, LowerCase(Trim(module.lines[i])));
    return module;
}

// Passes of lookups running now, and the modules that could not be read in them.
int LookupPasses = 0;
std::vector<std::string> UnreadInPass;

bool UnreadInThisPass(const std::string& path)
{
    return LookupPasses > 0 && std::find(UnreadInPass.begin(), UnreadInPass.end(), path) != UnreadInPass.end();
}

// A module that cannot be read shows the file box at every lookup in it, as
// when each lookup read the file; within a pass, at its first lookup only.
const ReadModule* Module(int index)
{
    const std::string path = ModulePath(index);
    const auto found = std::find_if(ReadModules.begin(), ReadModules.end(),
                                    [&path](const ReadModule& module) { return module.path == path; });
    if (found != ReadModules.end())
        return &*found;
    if (UnreadInThisPass(path))
        return nullptr;
    const std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes) {
        ShowLanguageFileError(path);
        if (LookupPasses > 0)
            UnreadInPass.push_back(path);
        return nullptr;
    }
    ReadModules.push_back(SplitModule(path, *bytes));
    return &ReadModules.back();
}

// The line after the key's entry and, for a whole text, the lines after it up
// to the first blank one. Empty when the key is absent or stands on the last
// line, or when the module cannot be read. The entry is the first line that
// begins with "[" whose key, lower-cased and followed by "]", stands right
// after the "[".
ValueLines ReadEntry(int index, const std::string& key, bool wholeText)
{
    const ReadModule* module = IsModule(index) ? Module(index) : nullptr;
    if (!module)
        return {};
    const std::string entry = LowerCase(key + "]");
    const auto found = std::find_if(module->entries.begin(), module->entries.end(),
                                    [&entry](const auto& line) { return line.second.find(entry) == 1; });
    if (found == module->entries.end() || found->first + 1 == module->lines.size())
        return {};
    const auto valueStart = module->lines.begin() + static_cast<std::ptrdiff_t>(found->first + 1);
    ValueLines value{*valueStart};
    for (auto next = valueStart + 1; wholeText && next != module->lines.end() && !Trim(*next).empty(); ++next)
        value.push_back(*next);
    return value;
}

bool LacksText(const ValueLines& value) { return value.empty() || value.front().empty(); }

// The module's own value line of key; empty when it has none.
std::string OwnLine(int index, const std::string& key)
{
    const ValueLines value = ReadEntry(index, key, false);
    return value.empty() ? std::string() : value.front();
}

ValueLines LookUp(const std::string& key, bool wholeText)
{
    ValueLines value = ReadEntry(CurrentLangIndex, key, wholeText);
    const int fallback = FallbackIndex();
    if (LacksText(value) && fallback != CurrentLangIndex)
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
    LangCharsets.clear();
    MatchedLangIndex = RussianLangIndex = EnglishLangIndex = kNoModule;
    ReadModules.clear();
}

void FindModules()
{
    ClearModuleList();
    for (const std::string& name : ListModuleFiles(ExeDir)) {
        const std::string lowerName = LowerCase(name);
        if (lowerName == kRussianModule)
            RussianLangIndex = ModuleCount();
        if (lowerName == kEnglishModule)
            EnglishLangIndex = ModuleCount();
        LangFiles.push_back(name);
    }
    LangNames.resize(LangFiles.size());
    LangVersions.resize(LangFiles.size());
    LangCharsets.resize(LangFiles.size());
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

// Whether the module itself gives each of keys a value.
template <std::size_t Count>
bool HoldsAll(int index, const char* const (&keys)[Count])
{
    return std::none_of(std::begin(keys), std::end(keys),
                        [index](const char* key) { return OwnLine(index, key).empty(); });
}

// Selects the module and reads its name, version and locale list; false when
// it lacks a header key or one of its numbers is no integer.
bool ReadModuleHeader(int index)
{
    if (!SelectLanguage(index) || !HoldsAll(index, kHeaderKeys))
        return false;
    LangNames[index] = OwnLine(index, "langname");
    LangCharsets[index] = LangCharset;
    const std::optional<int> version = ParseLangInteger(OwnLine(index, "langver"));
    if (!version)
        return false;
    LangVersions[index] = *version;
    for (const std::string& line : ReadEntry(index, "langcode", true)) {
        const std::optional<int> code = ParseLangInteger(line);
        if (!code)
            return false;
        if (*code >= 0 && static_cast<unsigned>(*code) == UserLCID)
            MatchedLangIndex = index;
    }
    return true;
}

// The default module gives every text the others lack, so it must hold them all.
bool IsSound(int index)
{
    return ReadModuleHeader(index) && (index != FallbackIndex() || HoldsAll(index, kModuleKeys));
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

std::vector<std::string> ListModuleFiles(const std::string& programFolder)
{
    std::vector<std::string> modules = ListFiles(programFolder + kLanguageFolder, kModuleExtension);
    modules.erase(
        std::remove_if(modules.begin(), modules.end(),
                       [](const std::string& name) { return name.find(kNotModuleMark) != std::string::npos; }),
        modules.end());
    return modules;
}

TLangLookupPass::TLangLookupPass() { ++LookupPasses; }

TLangLookupPass::~TLangLookupPass()
{
    if (--LookupPasses == 0)
        UnreadInPass.clear();
}

std::vector<std::string> ModuleKeys() { return {std::begin(kModuleKeys), std::end(kModuleKeys)}; }

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
        if (!IsSound(index)) {
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
    ReadModules.clear();
    CurrentLangIndex = index;
    ProgName = GetLangString("progname");
    ProgDescr = GetLangString("progdescr0");
    const std::optional<int> charset = ParseLangInteger(OwnLine(index, "langcharset"));
    const std::optional<int> code = ParseLangInteger(OwnLine(index, "langcode"));
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
