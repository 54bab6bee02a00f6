#pragma once
// Which Windows the program runs on: a readable text and the flags that steer
// behaviour everywhere.

#include <optional>
#include <string>

extern bool VistaOrLater;  // NT 6 or 10: Core Audio instead of the old mixer
extern bool Win10OrLater;  // no window animation, no drop shadow
extern bool Is64Bit;       // 64-bit registry view
extern bool IsServer;      // offers the autostart service

// Fills text and sets the flags; "unknown" (flags untouched) when the system
// does not answer the version query.
void GetWindowsVersionText(bool withVersion, std::string& text);

// The three parts of the text; false when the version query failed.
bool GetWindowsVersionInfo(std::string& name, std::string& version, std::string& servicePack);

// Runs a console command hidden and gives back its output in the ANSI code page.
// A command that has not ended within the time limit is ended and gives no output.
void RunConsoleCommand(const std::string& command, std::string& output);
void RunConsoleCommand(const std::string& command, std::string& output, unsigned timeoutMs);
constexpr unsigned kConsoleCommandTimeoutMs = 10000;

void AddTrailingBackslash(std::string& path);
std::string OemToAnsiString(const std::string& text);

// What the version composition asks of the system. The real answers come from
// SystemVersionSource(); tests give their own.
struct OsVersionAnswer {
    bool answered = false;  // one of the two version queries succeeded
    bool extended = false;  // the extended one, with suite mask and product type
    unsigned platformId = 0;
    unsigned major = 0;
    unsigned minor = 0;
    unsigned build = 0;
    std::string servicePack;
    unsigned suiteMask = 0;
    unsigned productType = 0;
};

enum class EditionMetric {
    ServerR2,
    Starter,
    MediaCenter,
    TabletPC
};

class VersionSource {
public:
    virtual ~VersionSource() = default;
    virtual OsVersionAnswer QueryVersion() = 0;
    virtual unsigned ProcessorArchitecture() = 0;  // of the system, not of this process
    virtual bool MetricSet(EditionMetric metric) = 0;
    virtual std::optional<std::string> RegistryProductName() = 0;  // 64-bit view
    virtual std::optional<std::string> ProductOptionsType() = 0;
    virtual bool HotfixQ246009Present() = 0;
    virtual std::optional<unsigned> ProductInfo() = 0;  // no value when missing or failed
    virtual std::string ConsoleVersionOutput() = 0;     // the "ver" output; slow, asked only when needed
};

// The player's composition, or the one the uninstaller and the sound-on tool carry.
enum class WinVerRevision {
    Player,
    Companion
};

bool GetWindowsVersionInfo(VersionSource& source, WinVerRevision revision, std::string& name, std::string& version,
                           std::string& servicePack);
void GetWindowsVersionText(VersionSource& source, WinVerRevision revision, bool withVersion, std::string& text);

// The version number in a "ver" output, e.g. "10.0.19045.3803"; empty when there is none.
std::string VersionInVerOutput(const std::string& output);

// A command's output file as the caller gets it: every line ended by CR LF.
std::string JoinOutputLines(const std::string& fileText);

// Windows side.
VersionSource& SystemVersionSource();
