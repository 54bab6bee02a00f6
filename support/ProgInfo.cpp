#include "support/ProgInfo.h"

#include "support/Random.h"

std::string ProductName;
std::string ProgName;
std::string EnProgName;
std::string ProgDescr;
std::string EnProgDescr;
std::string VersionText;
int BuildNumber = 0;

std::string ExeDir;
std::string SystemDir;
std::string WindowsDir;
std::string TempDir;
std::string DesktopDir;
std::string StartupDir;
std::string ProgramFilesDir;
bool IsAdmin = false;

std::string Param1;
bool StartedByRunKey = false;
bool StartedBySwitch = false;

unsigned UserLCID = 0;
bool RussianUI = false;

TRegistry* ProgRegistry = nullptr;

bool IsRussianInterfaceLocale(unsigned lcid)
{
    switch (lcid) {
        case 1026:  // Bulgarian
        case 1049:  // Russian
        case 1058:  // Ukrainian
        case 1059:  // Belarusian
        case 1087:  // Kazakh
        case 1092:  // Tatar
        case 2073:  // Russian, Moldova
            return true;
        default:
            return false;
    }
}

std::string LowerCase(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

void SetStartSwitch(const std::string& firstArgument)
{
    Param1 = LowerCase(firstArgument);
    StartedByRunKey = Param1 == "rstart";
    StartedBySwitch = StartedByRunKey || Param1 == "gstart" || Param1 == "ystart";
}

std::string RandomLetters8()
{
    std::string letters(8, 'a');
    for (char& c : letters)
        c = static_cast<char>('a' + Random(26));
    return letters;
}
