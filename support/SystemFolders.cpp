#include "support/SystemFolders.h"

#include "support/ProgInfo.h"
#include "support/WinVer.h"

void AddBackslash(std::string& path) { AddTrailingBackslash(path); }

std::string FolderOfPath(const std::string& path)
{
    const auto last = path.rfind('\\');
    return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

std::string FileTitleOfPath(const std::string& path)
{
    const std::string name = path.substr(FolderOfPath(path).size());
    const auto dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string RunKeyPath(bool ntPlatform)
{
    return std::string(kCurrentVersionKey) + (ntPlatform ? "\\Run" : "\\RunServices");
}

std::string RunValueName() { return "!" + ProductName; }

std::string RunValueData() { return ProgramFilePath() + " rstart"; }

std::string ProgramFilePath() { return ExeDir + ProductName + ".exe"; }

std::string StartupLinkPath() { return StartupDir + ProductName + ".lnk"; }

void ReportStartupError()
{
    ShowWarningBilingual("Can't handle Startup System!", "Нет доступа к системе автозапуска!");
}
