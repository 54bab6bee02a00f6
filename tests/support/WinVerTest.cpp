#include "support/WinVer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

constexpr unsigned kPlatform9x = 1;
constexpr unsigned kPlatformNT = 2;
constexpr unsigned kWorkstation = 1;
constexpr unsigned kServer = 3;
constexpr unsigned kX86 = 0;
constexpr unsigned kAmd64 = 9;

constexpr const char* kWin10Ver = "\r\nMicrosoft Windows [Version 10.0.19045.3803]\r\n";

// What a system answers; built up case by case.
struct Answers {
    OsVersionAnswer os;
    unsigned architecture = kX86;
    std::vector<EditionMetric> metrics;
    std::optional<std::string> productName;
    std::optional<std::string> productOptionsType;
    bool hotfixQ246009 = false;
    std::optional<unsigned> productInfo;
    std::string verOutput;

    Answers& Arch(unsigned value)
    {
        architecture = value;
        return *this;
    }
    Answers& Suite(unsigned value)
    {
        os.suiteMask = value;
        return *this;
    }
    Answers& Metric(EditionMetric value)
    {
        metrics.push_back(value);
        return *this;
    }
    Answers& Named(const char* value)
    {
        productName = value;
        return *this;
    }
    Answers& Ver(const char* value)
    {
        verOutput = value;
        return *this;
    }
    Answers& Hotfix()
    {
        hotfixQ246009 = true;
        return *this;
    }
    Answers& Info(unsigned value)
    {
        productInfo = value;
        return *this;
    }
    Answers& BasicOnly(const char* type)
    {
        os.extended = false;
        os.suiteMask = 0;
        os.productType = 0;
        if (type)
            productOptionsType = type;
        return *this;
    }
};

Answers Os(unsigned platform, unsigned major, unsigned minor, unsigned build, const char* servicePack,
           unsigned productType)
{
    Answers a;
    a.os.answered = true;
    a.os.extended = true;
    a.os.platformId = platform;
    a.os.major = major;
    a.os.minor = minor;
    a.os.build = build;
    a.os.servicePack = servicePack;
    a.os.productType = productType;
    return a;
}

Answers Nt(unsigned major, unsigned minor, unsigned build, const char* servicePack, unsigned productType = kWorkstation)
{
    return Os(kPlatformNT, major, minor, build, servicePack, productType);
}

Answers Win9x(unsigned minor, unsigned build, const char* servicePack)
{
    return Os(kPlatform9x, 4, minor, build, servicePack, 0);
}

class FakeSystem final : public VersionSource {
public:
    explicit FakeSystem(Answers answers) : a_(std::move(answers)) {}

    int verRuns = 0;

    OsVersionAnswer QueryVersion() override { return a_.os; }
    unsigned ProcessorArchitecture() override { return a_.architecture; }
    bool MetricSet(EditionMetric metric) override
    {
        return std::find(a_.metrics.begin(), a_.metrics.end(), metric) != a_.metrics.end();
    }
    std::optional<std::string> RegistryProductName() override { return a_.productName; }
    std::optional<std::string> ProductOptionsType() override { return a_.productOptionsType; }
    bool HotfixQ246009Present() override { return a_.hotfixQ246009; }
    std::optional<unsigned> ProductInfo() override { return a_.productInfo; }
    std::string ConsoleVersionOutput() override
    {
        ++verRuns;
        return a_.verOutput;
    }

private:
    Answers a_;
};

struct Flags {
    bool vista;
    bool win10;
    bool bit64;
    bool server;
};

void ClearFlags() { VistaOrLater = Win10OrLater = Is64Bit = IsServer = false; }

void ExpectFlags(const Flags& expected, const char* what)
{
    EXPECT_EQ(VistaOrLater, expected.vista) << what;
    EXPECT_EQ(Win10OrLater, expected.win10) << what;
    EXPECT_EQ(Is64Bit, expected.bit64) << what;
    EXPECT_EQ(IsServer, expected.server) << what;
}

std::string Text(const Answers& answers, bool withVersion, WinVerRevision revision = WinVerRevision::Player)
{
    FakeSystem system(answers);
    std::string text;
    GetWindowsVersionText(system, revision, withVersion, text);
    return text;
}

TEST(WinVer, ComposesTextAndFlagsOfEachSystem)
{
    struct Case {
        const char* what;
        Answers system;
        const char* text;
        const char* textWithVersion;
        Flags flags;
        bool runsVer;
    };
    const Case cases[] = {
        {"XP SP3 Professional",
         Nt(5, 1, 2600, "Service Pack 3").Suite(0x100),
         "Microsoft Windows XP Professional Service Pack 3",
         "Microsoft Windows XP Professional 5.1.2600 Service Pack 3",
         {false, false, false, false},
         false},
        {"XP Media Center",
         Nt(5, 1, 2600, "Service Pack 3").Metric(EditionMetric::MediaCenter),
         "Microsoft Windows XP Media Center Service Pack 3",
         "Microsoft Windows XP Media Center 5.1.2600 Service Pack 3",
         {false, false, false, false},
         false},
        {"XP Home",
         Nt(5, 1, 2600, "Service Pack 2").Suite(0x300),
         "Microsoft Windows XP Home Service Pack 2",
         "Microsoft Windows XP Home 5.1.2600 Service Pack 2",
         {false, false, false, false},
         false},
        {"XP x64",
         Nt(5, 2, 3790, "Service Pack 2").Arch(kAmd64),
         "Microsoft Windows XP Professional x64 Service Pack 2",
         "Microsoft Windows XP Professional x64 5.2.3790 Service Pack 2",
         {false, false, false, false},
         false},
        {"2000 Professional",
         Nt(5, 0, 2195, "Service Pack 4"),
         "Microsoft Windows 2000 Professional Service Pack 4",
         "Microsoft Windows 2000 Professional 5.0.2195 Service Pack 4",
         {false, false, false, false},
         false},
        {"7 x64",
         Nt(6, 1, 7601, "Service Pack 1").Arch(kAmd64).Named("Windows 7 Ultimate"),
         "Windows 7 Ultimate 64-bit Service Pack 1",
         "Windows 7 Ultimate 64-bit 6.1.7601 Service Pack 1",
         {true, false, true, false},
         false},
        {"7 x86 without a registry name",
         Nt(6, 1, 7600, ""),
         "Microsoft Windows 7 32-bit",
         "Microsoft Windows 7 32-bit 6.1.7600",
         {true, false, false, false},
         false},
        {"10 reported as 6.2",
         Nt(6, 2, 9200, "").Arch(kAmd64).Named("Windows 10 Pro").Ver(kWin10Ver),
         "Windows 10 Pro 64-bit",
         "Windows 10 Pro 64-bit 10.0.19045.3803",
         {true, true, true, false},
         true},
        {"10 reported as 10",
         Nt(10, 0, 19045, "").Arch(kAmd64).Named("Windows 10 Pro"),
         "Windows 10 Pro 64-bit",
         "Windows 10 Pro 64-bit 10.0.19045",
         {true, true, true, false},
         false},
        {"10 x86 reported as 10",
         Nt(10, 0, 19045, "").Named("Windows 10 Home"),
         "Windows 10 Home 32-bit",
         "Windows 10 Home 32-bit 10.0.19045",
         {true, true, false, false},
         false},
        {"8 reported as 6.2",
         Nt(6, 2, 9200, "").Arch(kAmd64).Named("Windows 8 Pro").Ver("\r\nMicrosoft Windows [Version 6.2.9200]\r\n"),
         "Windows 8 Pro 64-bit",
         "Windows 8 Pro 64-bit 6.2.9200",
         {true, false, true, false},
         true},
        {"8.1 under Wine reported as 6.2",
         Nt(6, 2, 9200, "").Named("Windows 8.1").Ver("\r\nMicrosoft Windows 6.3.9600\r\n"),
         "Windows 8.1 32-bit",
         "Windows 8.1 32-bit 6.3.9600",
         {true, false, false, false},
         true},
        {"6.2 whose ver fails",
         Nt(6, 2, 9200, "").Arch(kAmd64).Named("Windows 10 Pro"),
         "Windows 10 Pro 64-bit",
         "Windows 10 Pro 64-bit 6.2.9200",
         {true, false, true, false},
         true},
        {"Server 2008 R2",
         Nt(6, 1, 7601, "Service Pack 1", kServer).Arch(kAmd64).Named("Windows Server 2008 R2 Standard"),
         "Windows Server 2008 R2 Standard 64-bit Service Pack 1",
         "Windows Server 2008 R2 Standard 64-bit 6.1.7601 Service Pack 1",
         {true, false, true, true},
         false},
        {"Server 2003 Enterprise",
         Nt(5, 2, 3790, "Service Pack 2", kServer).Suite(0x2),
         "Microsoft Windows Server 2003 Enterprise Service Pack 2",
         "Microsoft Windows Server 2003 Enterprise 5.2.3790 Service Pack 2",
         {false, false, false, true},
         false},
        {"Server 2003 R2 x64",
         Nt(5, 2, 3790, "Service Pack 2", kServer).Arch(kAmd64).Suite(0x80).Metric(EditionMetric::ServerR2),
         "Microsoft Windows Server 2003 R2 Datacenter x64 Service Pack 2",
         "Microsoft Windows Server 2003 R2 Datacenter x64 5.2.3790 Service Pack 2",
         {false, false, false, true},
         false},
        {"Storage Server 2003",
         Nt(5, 2, 3790, "", kServer).Suite(0x2000),
         "Microsoft Windows Storage Server 2003 Standard",
         "Microsoft Windows Storage Server 2003 Standard 5.2.3790",
         {false, false, false, true},
         false},
        {"Web Server 2003",
         Nt(5, 2, 3790, "", kServer).Suite(0x400),
         "Microsoft Windows Server 2003 Web",
         "Microsoft Windows Server 2003 Web 5.2.3790",
         {false, false, false, true},
         false},
        {"2003 on an unknown processor",
         Nt(5, 2, 3790, "", kServer).Arch(12),
         "Microsoft Windows Server 2003 Unknown on Architecture 0xc",
         "Microsoft Windows Server 2003 Unknown on Architecture 0xc 5.2.3790",
         {false, false, false, true},
         false},
        {"2000 domain controller",
         Nt(5, 0, 2195, "", 2).Suite(0x80),
         "Microsoft Windows 2000 Datacenter Server",
         "Microsoft Windows 2000 Datacenter Server 5.0.2195",
         {false, false, false, true},
         false},
        {"NT 4 SP6a",
         Nt(4, 0, 1381, "Service Pack 6").Hotfix(),
         "Microsoft Windows NT Workstation Service Pack 6a",
         "Microsoft Windows NT Workstation 4.0.1381 Service Pack 6a",
         {false, false, false, false},
         false},
        {"NT 4 SP6",
         Nt(4, 0, 1381, "Service Pack 6"),
         "Microsoft Windows NT Workstation Service Pack 6",
         "Microsoft Windows NT Workstation 4.0.1381 Service Pack 6",
         {false, false, false, false},
         false},
        {"NT 4 server, basic query only",
         Nt(4, 0, 1381, "Service Pack 5").BasicOnly("ServerNT"),
         "Microsoft Windows NT Advanced Server Service Pack 5",
         "Microsoft Windows NT Advanced Server 4.0.1381 Service Pack 5",
         {false, false, false, true},
         false},
        {"NT 4, basic query, no product type",
         Nt(4, 0, 1381, "Service Pack 3").BasicOnly(nullptr),
         "Microsoft Windows NT Unknown Service Pack 3",
         "Microsoft Windows NT Unknown 4.0.1381 Service Pack 3",
         {false, false, false, false},
         false},
        {"98 SE",
         Win9x(10, 2222, " A "),
         "Microsoft Windows 98 SE  A ",
         "Microsoft Windows 98 SE 4.10.2222  A ",
         {false, false, false, false},
         false},
        {"98",
         Win9x(10, 1998, ""),
         "Microsoft Windows 98",
         "Microsoft Windows 98 4.10.1998",
         {false, false, false, false},
         false},
        {"95 OSR 2.5",
         Win9x(0, 1214, " C"),
         "Microsoft Windows 95 OSR 2.5  C",
         "Microsoft Windows 95 OSR 2.5 4.0.1214  C",
         {false, false, false, false},
         false},
        {"95",
         Win9x(0, 950, ""),
         "Microsoft Windows 95",
         "Microsoft Windows 95 4.0.950",
         {false, false, false, false},
         false},
        {"Millennium",
         Win9x(90, 3000, ""),
         "Microsoft Windows Millennium",
         "Microsoft Windows Millennium 4.90.3000",
         {false, false, false, false},
         false},
        {"an unknown major version",
         Nt(11, 0, 1, "").Ver("\r\nMicrosoft Windows [Version 11.2.30000]\r\n"),
         "Microsoft Windows 11 Unknown Workstation",
         "Microsoft Windows 11 Unknown Workstation 11.2.30000",
         {false, true, false, false},
         true},
        {"an unknown major version under Wine",
         Nt(11, 0, 1, "", kServer).Ver("\r\nMicrosoft Windows 12.0.1\r\n"),
         "Microsoft Windows Server 12 Unknown Server",
         "Microsoft Windows Server 12 Unknown Server 12.0.1",
         {false, true, false, true},
         true},
        {"an unknown major version whose ver fails",
         Nt(11, 0, 1, ""),
         "Microsoft Windows Unknown Workstation",
         "Microsoft Windows Unknown Workstation 11.0.1",
         {false, true, false, false},
         true},
    };
    for (const Case& c : cases) {
        for (bool withVersion : {false, true}) {
            ClearFlags();
            FakeSystem system(c.system);
            std::string text;
            GetWindowsVersionText(system, WinVerRevision::Player, withVersion, text);
            EXPECT_EQ(text, withVersion ? c.textWithVersion : c.text) << c.what;
            ExpectFlags(c.flags, c.what);
            EXPECT_EQ(system.verRuns, c.runsVer ? 1 : 0) << c.what;
        }
    }
}

TEST(WinVer, FailedQueryGivesUnknownAndLeavesFlags)
{
    for (bool flags : {false, true}) {
        VistaOrLater = Win10OrLater = Is64Bit = IsServer = flags;
        FakeSystem system(Answers{});
        std::string text = "stale";
        GetWindowsVersionText(system, WinVerRevision::Player, true, text);
        EXPECT_EQ(text, "unknown");
        ExpectFlags({flags, flags, flags, flags}, "after a failed query");

        std::string name = "n", version = "v", servicePack = "s";
        EXPECT_FALSE(GetWindowsVersionInfo(system, WinVerRevision::Player, name, version, servicePack));
    }
}

TEST(WinVer, InfoGivesThePartsAndTheFirstTwoFlags)
{
    ClearFlags();
    FakeSystem system(Nt(6, 2, 9200, "").Arch(kAmd64).Named("Windows 10 Pro").Ver(kWin10Ver));
    std::string name, version, servicePack;
    ASSERT_TRUE(GetWindowsVersionInfo(system, WinVerRevision::Player, name, version, servicePack));
    EXPECT_EQ(name, "Windows 10 Pro 64-bit");
    EXPECT_EQ(version, "10.0.19045.3803");
    EXPECT_EQ(servicePack, "");
    ExpectFlags({true, true, false, false}, "Is64Bit and IsServer come from the joined text");
}

TEST(WinVer, SecondRevisionNamesEditionsItsOwnWay)
{
    struct Case {
        const char* what;
        Answers system;
        const char* playerText;
        const char* companionText;
    };
    const Case cases[] = {
        {"7 x64 Ultimate", Nt(6, 1, 7601, "Service Pack 1").Arch(kAmd64).Named("Windows 7 Ultimate").Info(1),
         "Windows 7 Ultimate 64-bit Service Pack 1", "Microsoft Windows 7 Ultimate 64-bit Service Pack 1"},
        {"7 without GetProductInfo", Nt(6, 1, 7601, "Service Pack 1").Named("Windows 7 Starter"),
         "Windows 7 Starter 32-bit Service Pack 1", "Microsoft Windows 7 Unknown 32-bit Service Pack 1"},
        {"10 reported as 6.2", Nt(6, 2, 9200, "").Arch(kAmd64).Named("Windows 10 Pro").Info(48).Ver(kWin10Ver),
         "Windows 10 Pro 64-bit", "Microsoft Windows 10 Professional 64-bit"},
        {"an unlisted product type", Nt(10, 0, 19045, "").Arch(kAmd64).Named("Windows 10 Home").Info(0x65),
         "Windows 10 Home 64-bit", "Microsoft Windows 10 Unknown 0x65 64-bit"},
        {"unlicensed", Nt(6, 0, 6002, "Service Pack 2").Named("Windows Vista (TM) Business").Info(0xABCDABCD),
         "Windows Vista (TM) Business 32-bit Service Pack 2",
         "Microsoft Windows Vista UNLICENSED 32-bit Service Pack 2"},
        {"Server 2016", Nt(10, 0, 14393, "", kServer).Arch(kAmd64).Info(7), "Microsoft Windows Server 2016 64-bit",
         "Microsoft Windows Server 10 Standard Server 64-bit"},
        {"2003 cluster", Nt(5, 2, 3790, "Service Pack 2", kServer).Suite(0x4000),
         "Microsoft Windows Server 2003 Computer Cluster Service Pack 2",
         "Microsoft Windows Server 2003 Compute Cluster Service Pack 2"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Text(c.system, false, WinVerRevision::Player), c.playerText) << c.what;
        EXPECT_EQ(Text(c.system, false, WinVerRevision::Companion), c.companionText) << c.what;
    }
}

TEST(WinVer, VersionInVerOutputNeverReadsPastTheText)
{
    struct Case {
        const char* output;
        const char* version;
    };
    const Case cases[] = {
        {"\r\nMicrosoft Windows [Version 10.0.19045.3803]\r\n", "10.0.19045.3803"},
        {"\r\nMicrosoft Windows 6.1.7601\r\n", "6.1.7601"},
        {"\r\nMicrosoft Windows [Версия 10.0.22631.2861]\r\n", "10.0.22631.2861"},
        {"Microsoft Windows [Version 10.0.19045", "10.0.19045"},
        {"Microsoft Windows [Version 10]", "10"},
        {"Microsoft Windows [Version]", ""},
        {"Version", ""},
        {"ion", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VersionInVerOutput(c.output), c.version) << c.output;
}

TEST(WinVer, OutputLinesEndInCrLf)
{
    struct Case {
        const char* file;
        const char* output;
    };
    const Case cases[] = {
        {"", ""},
        {"\r\nMicrosoft Windows 6.1.7601\r\n", "\r\nMicrosoft Windows 6.1.7601\r\n"},
        {"one\ntwo", "one\r\ntwo\r\n"},
        {"\n\n", "\r\n\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(JoinOutputLines(c.file), c.output) << c.file;
}

TEST(WinVer, TrailingBackslashOnlyOnNonEmptyPaths)
{
    struct Case {
        const char* path;
        const char* result;
    };
    const Case cases[] = {{"", ""}, {"C:\\Temp", "C:\\Temp\\"}, {"C:\\Temp\\", "C:\\Temp\\"}, {"\\", "\\"}};
    for (const Case& c : cases) {
        std::string path = c.path;
        AddTrailingBackslash(path);
        EXPECT_EQ(path, c.result) << c.path;
    }
}

}  // namespace
