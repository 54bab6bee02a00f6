// The system's clock for the schedule.
#include "player/window/ScheduleClock.h"

#include "platform/forms/Registry.h"
#include "support/ProgInfo.h"

#include <windows.h>

namespace {

using TGetTickCount64 = ULONGLONG(WINAPI*)();

class TSystemScheduleClock final : public TScheduleClock {
public:
    TDateTime Now() override
    {
        SYSTEMTIME time{};
        GetLocalTime(&time);
        return EncodeDate(time.wYear, time.wMonth, time.wDay) +
               EncodeTime(time.wHour, time.wMinute, time.wSecond, time.wMilliseconds);
    }

    bool DaylightInForce() override
    {
        TIME_ZONE_INFORMATION zone{};
        return GetTimeZoneInformation(&zone) == TIME_ZONE_ID_DAYLIGHT;
    }

    // Systems before Vista have only the 32-bit count, which wraps after
    // 49.7 days: its wraps are counted here.
    std::uint64_t TickCount() override
    {
        if (tickCount64_)
            return tickCount64_();
        const DWORD ticks = GetTickCount();
        if (ticks < lastTicks_)
            ++wraps_;
        lastTicks_ = ticks;
        return (wraps_ << 32) | ticks;
    }

private:
    const TGetTickCount64 tickCount64_ = reinterpret_cast<TGetTickCount64>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetTickCount64")));
    DWORD lastTicks_ = 0;
    std::uint64_t wraps_ = 0;
};

TScheduleClock* Installed = nullptr;

constexpr const char* kTimeZoneKey = "System\\CurrentControlSet\\Control\\TimeZoneInformation";

}  // namespace

TScheduleClock& SystemScheduleClock()
{
    static TSystemScheduleClock clock;
    return clock;
}

TScheduleClock& ScheduleClock() { return Installed != nullptr ? *Installed : SystemScheduleClock(); }

void SetScheduleClock(TScheduleClock* clock) { Installed = clock; }

// Read-only, on the shared registry object, which goes back to the user's root.
bool SystemAutoDSTDisabled()
{
    TRegistry& registry = *ProgRegistry;
    bool disabled = false;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    if (registry.OpenKeyReadOnly(kTimeZoneKey)) {
        if (registry.ValueExists("DisableAutoDaylightTimeSet"))
            disabled = true;
        else if (const std::optional<std::int32_t> dynamic = registry.ReadInteger("DynamicDaylightTimeDisabled"))
            disabled = *dynamic == 1;
    }
    registry.CloseKey();
    registry.SetRootKey(HKEY_CURRENT_USER);
    return disabled;
}
