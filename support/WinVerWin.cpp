#include "support/WinVer.h"

#include "platform/forms/Registry.h"
#include "support/ProgInfo.h"

#include <windows.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace {

constexpr const char* kCurrentVersionKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr const char* kHotfixQ246009Key = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\Q246009";
constexpr const char* kProductOptionsKey = "SYSTEM\\CurrentControlSet\\Control\\ProductOptions";

constexpr DWORD kEnvironmentBufferSize = MAX_PATH;
constexpr DWORD kHiddenConsoleFlags = CREATE_NEW_CONSOLE | CREATE_NEW_PROCESS_GROUP;
constexpr DWORD kTerminateWaitMs = 1000;
constexpr WORD kBuildNumberMask9x = 0xFFFF;  // 9x keeps major and minor in the high word

static_assert(sizeof(OSVERSIONINFOEXA) == 156, "extended version structure");
static_assert(sizeof(OSVERSIONINFOA) == 148, "basic version structure");

// Functions newer systems have, looked up so that older ones still start.
template <typename Function>
Function Kernel32Function(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

OsVersionAnswer AnswerFrom(const OSVERSIONINFOA& info)
{
    OsVersionAnswer answer;
    answer.answered = true;
    answer.platformId = info.dwPlatformId;
    answer.major = info.dwMajorVersion;
    answer.minor = info.dwMinorVersion;
    answer.build =
        info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? info.dwBuildNumber & kBuildNumberMask9x : info.dwBuildNumber;
    answer.servicePack = info.szCSDVersion;
    return answer;
}

std::optional<std::string> ReadMachineString(REGSAM view, const char* path, const char* name)
{
    TRegistry registry(KEY_READ | view);
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKeyReadOnly(path))
        return std::nullopt;
    return registry.ReadString(name);
}

class SystemSource final : public VersionSource {
public:
    OsVersionAnswer QueryVersion() override
    {
        OSVERSIONINFOEXA extended{};
        extended.dwOSVersionInfoSize = sizeof extended;
        if (GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&extended))) {
            OsVersionAnswer answer = AnswerFrom(*reinterpret_cast<OSVERSIONINFOA*>(&extended));
            answer.extended = true;
            answer.suiteMask = extended.wSuiteMask;
            answer.productType = extended.wProductType;
            return answer;
        }
        OSVERSIONINFOA basic{};
        basic.dwOSVersionInfoSize = sizeof basic;
        if (GetVersionExA(&basic))
            return AnswerFrom(basic);
        return {};
    }

    unsigned ProcessorArchitecture() override
    {
        // A 32-bit program on 64-bit Windows sees x86 from GetSystemInfo.
        using NativeSystemInfo = void(WINAPI*)(LPSYSTEM_INFO);
        SYSTEM_INFO info{};
        if (auto native = Kernel32Function<NativeSystemInfo>("GetNativeSystemInfo"))
            native(&info);
        else
            GetSystemInfo(&info);
        return info.wProcessorArchitecture;
    }

    bool MetricSet(EditionMetric metric) override
    {
        switch (metric) {
            case EditionMetric::ServerR2:
                return GetSystemMetrics(SM_SERVERR2) != 0;
            case EditionMetric::Starter:
                return GetSystemMetrics(SM_STARTER) != 0;
            case EditionMetric::MediaCenter:
                return GetSystemMetrics(SM_MEDIACENTER) != 0;
            case EditionMetric::TabletPC:
                return GetSystemMetrics(SM_TABLETPC) != 0;
        }
        return false;
    }

    std::optional<std::string> RegistryProductName() override
    {
        return ReadMachineString(KEY_WOW64_64KEY, kCurrentVersionKey, "ProductName");
    }

    std::optional<std::string> ProductOptionsType() override
    {
        return ReadMachineString(0, kProductOptionsKey, "ProductType");
    }

    bool HotfixQ246009Present() override
    {
        TRegistry registry(KEY_READ);
        registry.SetRootKey(HKEY_LOCAL_MACHINE);
        return registry.KeyExists(kHotfixQ246009Key);
    }

    std::optional<unsigned> ProductInfo() override
    {
        using GetProductInfoFunction = BOOL(WINAPI*)(DWORD, DWORD, DWORD, DWORD, PDWORD);
        auto getProductInfo = Kernel32Function<GetProductInfoFunction>("GetProductInfo");
        DWORD type = 0;
        if (!getProductInfo || !getProductInfo(6, 0, 0, 0, &type))
            return std::nullopt;
        return type;
    }

    std::string ConsoleVersionOutput() override
    {
        std::string output;
        RunConsoleCommand("ver", output);
        return output;
    }
};

// Empty when unset or longer than the buffer.
std::string EnvironmentVariable(const char* name)
{
    char buffer[kEnvironmentBufferSize];
    const DWORD length = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer)
        return "";
    return std::string(buffer, length);
}

// True when the command line ran to its end within the time limit.
bool RunHidden(std::string commandLine, DWORD timeoutMs)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, kHiddenConsoleFlags, nullptr, nullptr,
                        &startup, &process))
        return false;
    const bool finished = WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0;
    if (!finished) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, kTerminateWaitMs);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return finished;
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace

VersionSource& SystemVersionSource()
{
    static SystemSource source;
    return source;
}

void GetWindowsVersionText(bool withVersion, std::string& text)
{
    GetWindowsVersionText(SystemVersionSource(), WinVerRevision::Player, withVersion, text);
}

bool GetWindowsVersionInfo(std::string& name, std::string& version, std::string& servicePack)
{
    return GetWindowsVersionInfo(SystemVersionSource(), WinVerRevision::Player, name, version, servicePack);
}

void RunConsoleCommand(const std::string& command, std::string& output)
{
    RunConsoleCommand(command, output, kConsoleCommandTimeoutMs);
}

void RunConsoleCommand(const std::string& command, std::string& output, unsigned timeoutMs)
{
    output.clear();
    const std::string commandProcessor = EnvironmentVariable("ComSpec");
    if (commandProcessor.empty())
        return;
    std::string outputFile = EnvironmentVariable("Temp");
    AddTrailingBackslash(outputFile);
    outputFile += RandomLetters8();

    const bool finished = RunHidden(commandProcessor + " /c " + command + " > \"" + outputFile + "\"", timeoutMs);
    if (finished)
        output = OemToAnsiString(JoinOutputLines(ReadWholeFile(outputFile)));
    DeleteFileA(outputFile.c_str());
}

std::string OemToAnsiString(const std::string& text)
{
    std::vector<char> converted(text.size() + 1);
    OemToCharA(text.c_str(), converted.data());
    return converted.data();
}
