// The system's own power calls.
#include "player/tools/PowerCalls.h"

#include "platform/forms/Registry.h"
#include "player/window/PowerActions.h"
#include "support/ProgInfo.h"
#include "support/SystemMute.h"

#include <shellapi.h>

namespace {

constexpr INT_PTR kShellExecuteFailures = 32;  // results up to this are errors

// The record holds one privilege.
static_assert(sizeof(TOKEN_PRIVILEGES) == 16, "one privilege in 16 bytes");

using TSetSuspendStateRegister = DWORD(WINAPI*)(BOOL hibernate, BOOL force, BOOL disableWakeEvent);

class TSystemPowerCalls final : public TPowerCalls {
public:
    TWindowsVersion WindowsVersion() override
    {
        OSVERSIONINFOA info{};
        info.dwOSVersionInfoSize = sizeof info;
        if (!GetVersionExA(&info))
            return {};
        return {info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
    }

    bool ShellExecuteHidden(const std::string& file, const std::string& parameters) override
    {
        const HINSTANCE result = ShellExecuteA(nullptr, nullptr, file.c_str(), parameters.c_str(), nullptr, SW_HIDE);
        return reinterpret_cast<INT_PTR>(result) > kShellExecuteFailures;
    }

    bool OpenProcessToken(DWORD access, HANDLE& token) override
    {
        return ::OpenProcessToken(GetCurrentProcess(), access, &token) != FALSE;
    }

    bool LookupPrivilege(const std::string& privilege, LUID& luid) override
    {
        return LookupPrivilegeValueA(nullptr, privilege.c_str(), &luid) != FALSE;
    }

    DWORD AdjustTokenPrivileges(HANDLE token, const LUID& luid, DWORD attributes) override
    {
        TOKEN_PRIVILEGES wanted{};
        wanted.PrivilegeCount = 1;
        wanted.Privileges[0].Luid = luid;
        wanted.Privileges[0].Attributes = attributes;
        TOKEN_PRIVILEGES previous{};
        DWORD previousSize = 0;
        ::AdjustTokenPrivileges(token, FALSE, &wanted, sizeof previous, &previous, &previousSize);
        return GetLastError();
    }

    bool ExitWindowsEx(UINT flags, DWORD reason) override { return ::ExitWindowsEx(flags, reason) != FALSE; }

    void CloseHandle(HANDLE handle) override { ::CloseHandle(handle); }

    void ExitErrorBox(const std::string& caption) override
    {
        MessageBoxA(nullptr, kExitErrorText, caption.c_str(), MB_OK);
    }

    FARPROC DllProc(const std::string& module, const std::string& procedure) override
    {
        HMODULE handle = GetModuleHandleA(module.c_str());
        if (!handle)
            handle = LoadLibraryA(module.c_str());
        return handle ? GetProcAddress(handle, procedure.c_str()) : nullptr;
    }

    DWORD SetSuspendState(FARPROC address, BOOL hibernate, BOOL force, BOOL disableWakeEvent) override
    {
        const auto call = reinterpret_cast<TSetSuspendStateRegister>(reinterpret_cast<void*>(address));
        return call(hibernate, force, disableWakeEvent);
    }

    bool WriteMachineString(const std::string& key, const std::string& name, const std::string& value) override
    {
        TRegistry& registry = *ProgRegistry;
        registry.SetRootKey(HKEY_LOCAL_MACHINE);
        const bool written = registry.OpenKey(key, true) && registry.WriteString(name, value);
        registry.SetRootKey(HKEY_CURRENT_USER);
        return written;
    }

    void MuteSystemSound() override { ::MuteSystemSound(); }
};

TPowerCalls* Installed = nullptr;

}  // namespace

TPowerCalls& PowerCalls()
{
    static TSystemPowerCalls system;
    return Installed ? *Installed : system;
}

void SetPowerCalls(TPowerCalls* calls) { Installed = calls; }
