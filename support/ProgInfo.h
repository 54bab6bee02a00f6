#pragma once
// Program-wide state: names, folders, locale, start switch, the shared
// registry object, and the message boxes that work before any language module.

#include <string>

class TRegistry;

extern std::string ProductName;  // exe name, settings key, Run value and shortcut names
extern std::string ProgName;     // caption: the module's program name once loaded
extern std::string EnProgName;   // caption of English bilingual boxes
extern std::string ProgDescr;
extern std::string EnProgDescr;
extern std::string VersionText;
extern int BuildNumber;

// Folders, each with a trailing backslash except ProgramFilesDir.
extern std::string ExeDir;
extern std::string SystemDir;
extern std::string WindowsDir;
extern std::string TempDir;
extern std::string DesktopDir;
extern std::string StartupDir;
extern std::string ProgramFilesDir;
extern bool IsAdmin;

extern std::string Param1;    // first argument, lower-cased
extern bool StartedByRunKey;  // "rstart"
extern bool StartedBySwitch;  // "rstart", "gstart" or "ystart"

extern unsigned UserLCID;
extern bool RussianUI;

extern TRegistry* ProgRegistry;

constexpr const char* kProductKeyBase = "Software\\Tamlin\\";

// Styles of every error and warning box: MB_SERVICE_NOTIFICATION | MB_ICONHAND,
// and MB_TOPMOST | MB_TASKMODAL | MB_ICONEXCLAMATION.
constexpr unsigned kErrorBoxStyle = 0x200010;
constexpr unsigned kWarningBoxStyle = 0x42030;

// Locales whose users read the Russian text of a bilingual box.
bool IsRussianInterfaceLocale(unsigned lcid);

// Sets Param1, StartedByRunKey and StartedBySwitch from the first argument.
void SetStartSwitch(const std::string& firstArgument);

// ASCII-only lower case, as file names and switches are compared.
std::string LowerCase(std::string text);

std::string RandomLetters8();

// Windows side.
void ProgInfoInitialization();
void ProgInfoFinalization();
bool OpenProductKey();  // HKCU\Software\Tamlin\<ProductName>, created when missing
void ShowErrorBilingual(const std::string& englishText, const std::string& russianText);
int ShowWarningBilingual(const std::string& englishText, const std::string& russianText);
