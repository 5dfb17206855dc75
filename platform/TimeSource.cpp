#include "platform/TimeSource.h"

#include <mmsystem.h>

#include <atomic>

namespace KOVA {

namespace {

// The pinned readings live in atomics: the fast-timer thread reads them while a test's thread
// moves them, and a torn 64-bit local time would show a wrong minute.
std::atomic<bool> g_pinned { false };
std::atomic<DWORD> g_pinnedMilliseconds { 0 };
// The pinned local time as FILETIME ticks (100 ns) at g_pinnedMilliseconds == its pin value.
std::atomic<long long> g_pinnedLocalTicks { 0 };
std::atomic<DWORD> g_pinBase { 0 };

constexpr long long kTicksPerMillisecond = 10000;

long long toTicks(const SYSTEMTIME& time)
{
    FILETIME file {};
    if (!::SystemTimeToFileTime(&time, &file))
        return 0;
    return (static_cast<long long>(file.dwHighDateTime) << 32) | file.dwLowDateTime;
}

void fromTicks(long long ticks, SYSTEMTIME& time)
{
    FILETIME file { static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32) };
    ::FileTimeToSystemTime(&file, &time);
}

} // namespace

DWORD TimeSource::Milliseconds()
{
    return g_pinned.load() ? g_pinnedMilliseconds.load() : ::timeGetTime();
}

void TimeSource::LocalTime(SYSTEMTIME& time)
{
    if (!g_pinned.load()) {
        ::GetLocalTime(&time);
        return;
    }
    const DWORD elapsed = g_pinnedMilliseconds.load() - g_pinBase.load();
    fromTicks(g_pinnedLocalTicks.load() + elapsed * kTicksPerMillisecond, time);
}

void TimeSource::Pin(DWORD milliseconds, const SYSTEMTIME& local)
{
    g_pinnedLocalTicks = toTicks(local);
    g_pinBase = milliseconds;
    g_pinnedMilliseconds = milliseconds;
    g_pinned = true;
}

void TimeSource::Advance(DWORD milliseconds)
{
    g_pinnedMilliseconds += milliseconds;
}

void TimeSource::Unpin()
{
    g_pinned = false;
}

bool TimeSource::IsPinned()
{
    return g_pinned.load();
}

} // namespace KOVA
