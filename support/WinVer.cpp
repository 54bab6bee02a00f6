#include "support/WinVer.h"

#include "support/ProgInfo.h"

#include <cstdio>

bool VistaOrLater = false;
bool Win10OrLater = false;
bool Is64Bit = false;
bool IsServer = false;

namespace {

constexpr unsigned kPlatform9x = 1;
constexpr unsigned kPlatformNT = 2;

constexpr unsigned kWorkstation = 1;
constexpr unsigned kDomainController = 2;
constexpr unsigned kServer = 3;

constexpr unsigned kArchX86 = 0;
constexpr unsigned kArchIa64 = 6;
constexpr unsigned kArchAmd64 = 9;

constexpr unsigned kSuiteEnterprise = 0x2;
constexpr unsigned kSuiteEmbeddedNT = 0x40;
constexpr unsigned kSuiteDatacenter = 0x80;
constexpr unsigned kSuitePersonal = 0x200;
constexpr unsigned kSuiteBlade = 0x400;
constexpr unsigned kSuiteStorageServer = 0x2000;
constexpr unsigned kSuiteComputeServer = 0x4000;

constexpr unsigned kProductUnlicensed = 0xABCDABCD;

constexpr const char* kNamePrefix = "Microsoft Windows ";
constexpr const char* kDigits = "0123456789";

struct VersionParts {
    std::string name;
    std::string version;
    std::string servicePack;
    bool vistaOrLater = false;
    bool win10OrLater = false;
};

// What every step of the composition looks at.
struct Facts {
    const OsVersionAnswer& os;
    unsigned architecture;
    WinVerRevision revision;
    VersionSource& source;

    bool Workstation() const { return os.productType == kWorkstation; }
    const char* Pick(const char* workstationWord, const char* serverWord) const
    {
        return Workstation() ? workstationWord : serverWord;
    }
};

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

std::string Hex(unsigned value)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%x", value);
    return buffer;
}

std::string NumericVersion(const OsVersionAnswer& os)
{
    return std::to_string(os.major) + "." + std::to_string(os.minor) + "." + std::to_string(os.build);
}

// 9x keeps a letter in its service-pack text, after a leading blank.
char FirstLetter(const std::string& text)
{
    for (char c : text)
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
            return c;
    return '\0';
}

std::string Windows95Word(unsigned build, char letter)
{
    if (build == 1111)
        return "95 OSR 2.0";
    if (build == 1212 || build == 1213)
        return "95 OSR 2.1";
    if (build == 1214)
        return letter == 'C' ? "95 OSR 2.5" : "95 OSR 2.1";
    if (build > 1080)
        return "95 OSR 2.x";
    return letter == 'A' || letter == 'W' ? "95 OSR 1" : "95";
}

std::string Windows9xWord(const OsVersionAnswer& os)
{
    const char letter = FirstLetter(os.servicePack);
    if (os.major == 4) {
        switch (os.minor) {
            case 0:
            case 3:
                return Windows95Word(os.build, letter);
            case 10:
                return os.build == 2222 || letter == 'A' || letter == 'B' ? "98 SE" : "98";
            case 90:
                return "Millennium";
            default:
                break;
        }
    }
    return "Unknown 9x";
}

std::string Nt5Word(const Facts& f)
{
    switch (f.os.minor) {
        case 0:
            return "2000 ";
        case 1:
            return "XP ";
        case 2:
            if (f.source.MetricSet(EditionMetric::ServerR2))
                return "Server 2003 R2 ";
            if (f.os.suiteMask & kSuiteStorageServer)
                return "Storage Server 2003 ";
            if (f.Workstation() && f.architecture == kArchAmd64)
                return "XP ";
            return "Server 2003 ";
        default:
            return "Unknown version ";
    }
}

// The major number of a version the system does not name: "Server 11 ".
std::string WordOfVersion(const Facts& f, const std::string& version)
{
    const std::string major = version.substr(0, version.find('.'));
    return f.Pick("", "Server ") + (major.empty() ? major : major + " ");
}

// 6.2 is also what 8.1 and 10 report to a program that does not declare them.
std::string Nt62Word(const Facts& f, VersionParts& parts)
{
    const std::string output = f.source.ConsoleVersionOutput();
    parts.version = VersionInVerOutput(output);
    if (Contains(output, " 6.2"))
        return f.Pick("8 ", "Server 2012 ");
    if (Contains(output, " 6.3"))
        return f.Pick("8.1 ", "Server 2012 R2 ");
    if (Contains(output, " 10")) {
        parts.win10OrLater = true;
        return f.Pick("10 ", "Server 10 ");
    }
    return WordOfVersion(f, parts.version);
}

std::string Nt6Word(const Facts& f, VersionParts& parts)
{
    switch (f.os.minor) {
        case 0:
            return f.Pick("Vista ", "Server 2008 ");
        case 1:
            return f.Pick("7 ", "Server 2008 R2 ");
        case 2:
            return Nt62Word(f, parts);
        case 3:
            return f.Pick("8.1 ", "Server 2012 R2 ");
        default:
            return "";
    }
}

std::string NtWord(const Facts& f, VersionParts& parts)
{
    switch (f.os.major) {
        case 3:
        case 4:
            return "NT ";
        case 5:
            return Nt5Word(f);
        case 6:
            parts.vistaOrLater = true;
            return Nt6Word(f, parts);
        case 10:
            parts.vistaOrLater = true;
            parts.win10OrLater = true;
            if (f.os.minor != 0)
                return "";
            return f.Pick("10 ", f.revision == WinVerRevision::Player ? "Server 2016 " : "Server 10 ");
        default:
            parts.win10OrLater = true;
            parts.version = VersionInVerOutput(f.source.ConsoleVersionOutput());
            return WordOfVersion(f, parts.version);
    }
}

std::string WorkstationEdition(const Facts& f)
{
    if (f.os.major == 4)
        return "Workstation";
    if (f.os.major != 5)
        return "Unknown Workstation";
    if (f.os.minor == 2 && f.architecture == kArchAmd64)
        return "Professional x64";
    if (f.source.MetricSet(EditionMetric::Starter))
        return "Starter";
    if (f.source.MetricSet(EditionMetric::MediaCenter))
        return "Media Center";
    if (f.source.MetricSet(EditionMetric::TabletPC))
        return "Tablet PC";
    if (f.os.suiteMask & kSuitePersonal)
        return "Home";
    if (f.os.suiteMask & kSuiteEmbeddedNT)
        return "Embedded";
    return "Professional";
}

struct Server2003Names {
    unsigned architecture;
    const char* datacenter;
    const char* enterprise;
    const char* standard;
};

constexpr Server2003Names kServer2003Names[] = {
    {kArchX86, "Datacenter", "Enterprise", "Standard"},
    {kArchIa64, "Datacenter for Itanium-based Systems", "Enterprise for Itanium-based Systems",
     "Standard Itanium-based"},
    {kArchAmd64, "Datacenter x64", "Enterprise x64", "Standard x64"},
};

std::string Server2003Edition(const Facts& f)
{
    const unsigned suite = f.os.suiteMask;
    for (const Server2003Names& names : kServer2003Names) {
        if (names.architecture != f.architecture)
            continue;
        const bool x86 = f.architecture == kArchX86;
        if (x86 && (suite & kSuiteComputeServer))
            return f.revision == WinVerRevision::Player ? "Computer Cluster" : "Compute Cluster";
        if (suite & kSuiteDatacenter)
            return names.datacenter;
        if (suite & kSuiteEnterprise)
            return names.enterprise;
        if (x86 && suite == kSuiteBlade)
            return "Web";
        return names.standard;
    }
    return "Unknown on Architecture " + Hex(f.architecture);
}

std::string ServerEditionName(const Facts& f)
{
    const unsigned suite = f.os.suiteMask;
    if (f.os.major == 4)
        return suite & kSuiteEnterprise ? "Server 4.0 Enterprise" : "Server 4.0";
    if (f.os.major == 5 && f.os.minor == 0) {
        if (suite & kSuiteDatacenter)
            return "Datacenter Server";
        return suite & kSuiteEnterprise ? "Advanced Server" : "Server";
    }
    if (f.os.major == 5 && f.os.minor == 2)
        return Server2003Edition(f);
    return f.os.productType == kServer ? "Unknown Server" : "Unknown Domain controller";
}

struct ProductTypeName {
    unsigned type;
    const char* name;
};

constexpr ProductTypeName kProductNames[] = {
    {1, "Ultimate"},
    {2, "Home Basic"},
    {3, "Home Premium"},
    {4, "Enterprise"},
    {5, "Home Basic N"},
    {6, "Business"},
    {7, "Standard Server"},
    {8, "Datacenter"},
    {9, "Small Business Server"},
    {10, "Enterprise"},
    {11, "Starter"},
    {12, "Datacenter (core installation)"},
    {13, "Standard Server (core installation)"},
    {14, "Enterprise (core installation)"},
    {15, "Enterprise for Itanium-based Systems"},
    {16, "Business N"},
    {17, "Web"},
    {18, "Cluster"},
    {19, "Home"},
    {20, "Storage Server Express"},
    {21, "Storage Server Standard"},
    {22, "Storage Server Workgroup"},
    {23, "Storage Server Enterprise"},
    {24, "for Small Business"},
    {25, "Small Business Server Premium"},
    {26, "Home Premium N"},
    {27, "Enterprise N"},
    {28, "Ultimate N"},
    {29, "Web (core installation)"},
    {30, "Essential Business Server Management Server"},
    {31, "Essential Business Server Security Server"},
    {32, "Essential Business Server Messaging Server"},
    {47, "Starter N"},
    {48, "Professional"},
    {49, "Professional N"},
    {66, "Starter E"},
    {67, "Home Basic E"},
    {68, "Home Premium E"},
    {69, "Professional E"},
    {70, "Enterprise E"},
    {71, "Ultimate E"},
    {kProductUnlicensed, "UNLICENSED"},
};

std::string ProductEdition(std::optional<unsigned> type)
{
    if (!type)
        return "Unknown";
    for (const ProductTypeName& product : kProductNames)
        if (product.type == *type)
            return product.name;
    return "Unknown " + Hex(*type);
}

std::string Bitness(unsigned architecture)
{
    if (architecture == kArchAmd64)
        return " 64-bit";
    return architecture == kArchX86 ? " 32-bit" : "";
}

// Without its edition word the composed name ends in a blank the bitness does not need.
std::string WithoutTrailingBlank(std::string name)
{
    if (!name.empty() && name.back() == ' ')
        name.pop_back();
    return name;
}

// Vista and later name their own edition.
std::string ModernName(const Facts& f, const std::string& composedName)
{
    const std::string name = f.revision == WinVerRevision::Player
                                 ? f.source.RegistryProductName().value_or(WithoutTrailingBlank(composedName))
                                 : composedName + ProductEdition(f.source.ProductInfo());
    return name + Bitness(f.architecture);
}

// NT 4 before service pack 6 answers only the basic query.
std::string BasicEdition(const Facts& f)
{
    const std::string type = LowerCase(f.source.ProductOptionsType().value_or(""));
    if (type == "winnt")
        return "Workstation";
    if (type == "lanmannt")
        return "Server";
    if (type == "servernt")
        return "Advanced Server";
    return "Unknown";
}

void AddEdition(const Facts& f, std::string& name)
{
    if (!f.os.extended) {
        name += BasicEdition(f);
        return;
    }
    if (f.os.major == 6 || f.os.major == 10) {
        name = ModernName(f, name);
        return;
    }
    switch (f.os.productType) {
        case kWorkstation:
            name += WorkstationEdition(f);
            break;
        case kDomainController:
        case kServer:
            name += ServerEditionName(f);
            break;
        default:
            name += "Unknown";
            break;
    }
}

std::string NtServicePack(const Facts& f)
{
    if (f.os.major == 4 && f.os.servicePack == "Service Pack 6" && f.source.HotfixQ246009Present())
        return "Service Pack 6a";
    return f.os.servicePack;
}

VersionParts ComposeNt(const Facts& f)
{
    VersionParts parts;
    parts.name = kNamePrefix;
    if (f.os.platformId == kPlatformNT)
        parts.name += NtWord(f, parts);
    AddEdition(f, parts.name);
    parts.servicePack = NtServicePack(f);
    // A console command that gave no number leaves the one the system reported.
    if (parts.version.empty())
        parts.version = NumericVersion(f.os);
    return parts;
}

VersionParts Compose9x(const OsVersionAnswer& os)
{
    VersionParts parts;
    parts.name = kNamePrefix + Windows9xWord(os);
    parts.version = NumericVersion(os);
    parts.servicePack = os.servicePack;
    return parts;
}

}  // namespace

bool GetWindowsVersionInfo(VersionSource& source, WinVerRevision revision, std::string& name, std::string& version,
                           std::string& servicePack)
{
    const OsVersionAnswer os = source.QueryVersion();
    if (!os.answered)
        return false;
    const Facts facts{os, source.ProcessorArchitecture(), revision, source};
    const VersionParts parts = os.platformId == kPlatform9x ? Compose9x(os) : ComposeNt(facts);
    name = parts.name;
    version = parts.version;
    servicePack = parts.servicePack;
    VistaOrLater = parts.vistaOrLater;
    Win10OrLater = parts.win10OrLater;
    return true;
}

void GetWindowsVersionText(VersionSource& source, WinVerRevision revision, bool withVersion, std::string& text)
{
    std::string name;
    std::string version;
    std::string servicePack;
    if (!GetWindowsVersionInfo(source, revision, name, version, servicePack)) {
        text = "unknown";
        return;
    }
    text = name;
    if (withVersion)
        text += " " + version;
    if (!servicePack.empty())
        text += " " + servicePack;
    Is64Bit = Contains(text, " 64");
    IsServer = Contains(text, "Server");
}

std::string VersionInVerOutput(const std::string& output)
{
    // Windows writes "[Version 10.0.19045.3803]", Wine "Windows 6.1.7601", a
    // translated Windows its own word for "Version".
    const std::size_t word = output.find("ion");
    const std::size_t start = output.find_first_of(kDigits, word == std::string::npos ? 0 : word);
    if (start == std::string::npos)
        return "";
    const std::size_t end = output.find_first_not_of("0123456789.", start);
    return output.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string JoinOutputLines(const std::string& fileText)
{
    std::string output;
    std::size_t start = 0;
    while (start < fileText.size()) {
        std::size_t end = fileText.find('\n', start);
        if (end == std::string::npos)
            end = fileText.size();
        std::size_t lineEnd = end;
        if (lineEnd > start && fileText[lineEnd - 1] == '\r')
            --lineEnd;
        output.append(fileText, start, lineEnd - start);
        output += "\r\n";
        start = end + 1;
    }
    return output;
}

void AddTrailingBackslash(std::string& path)
{
    if (!path.empty() && path.back() != '\\')
        path += '\\';
}
