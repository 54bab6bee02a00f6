// The system's clock for the schedule.
#include "player/window/ScheduleClock.h"

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

}  // namespace

TScheduleClock& SystemScheduleClock()
{
    static TSystemScheduleClock clock;
    return clock;
}
