#include <gtest/gtest.h>

#include <atomic>
#include <functional>

#include "KOVA.h"

#include <mmsystem.h>

using namespace KOVA;

namespace {

// Counts the ticks and the thread they arrive on; a tick can be made to take a while.
class CountingTimer : public KVTimer {
public:
    void OnMTimer(UINT) override
    {
        insideTick = true;
        tickThread = GetCurrentThreadId();
        if (slowTicks)
            Sleep(15);
        ++ticks;
        insideTick = false;
    }
    void OnMTimer(UINT id, CString name) override
    {
        lastAppId = id;
        lastAppName = name;
        ++appTicks;
    }

    std::atomic<int> ticks { 0 };
    std::atomic<int> appTicks { 0 };
    std::atomic<bool> insideTick { false };
    std::atomic<bool> slowTicks { false };
    std::atomic<DWORD> tickThread { 0 };
    std::atomic<UINT> lastAppId { 0 };
    CString lastAppName;
};

bool waitFor(const std::function<bool()>& done)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > 3000)
            return false;
        Sleep(1);
    }
    return true;
}

// Counts the library's calls of timeBeginPeriod and timeEndPeriod and passes them on: the
// library is linked into this program, so its calls go through this program's import table,
// whose two entries point at the counters while the test runs.
using PeriodCall = MMRESULT(WINAPI*)(UINT);
PeriodCall realBegin = nullptr;
PeriodCall realEnd = nullptr;
std::atomic<int> begun { 0 };
std::atomic<int> ended { 0 };
MMRESULT WINAPI countBegin(UINT period)
{
    ++begun;
    return realBegin(period);
}
MMRESULT WINAPI countEnd(UINT period)
{
    ++ended;
    return realEnd(period);
}

// Replaces the import entry of a WINMM function; the old target, or null when not imported.
PeriodCall redirect(const char* function, PeriodCall from, PeriodCall to)
{
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    const FARPROC exported = function ? GetProcAddress(GetModuleHandleW(L"winmm.dll"), function) : nullptr;
    const auto target = from ? from : reinterpret_cast<PeriodCall>(reinterpret_cast<void*>(exported));
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); module->Name; ++module)
        for (auto* entry = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk); entry->u1.Function; ++entry)
            if (reinterpret_cast<PeriodCall>(entry->u1.Function) == target) {
                DWORD protection = 0;
                VirtualProtect(entry, sizeof(*entry), PAGE_READWRITE, &protection);
                entry->u1.Function = reinterpret_cast<DWORD_PTR>(to);
                VirtualProtect(entry, sizeof(*entry), protection, &protection);
                return target;
            }
    return nullptr;
}

} // namespace

// First in this program: nothing has begun the resolution before it.
TEST(KVTimer, ResolutionIsBegunOnceWithinTheDeviceRange)
{
    realBegin = redirect("timeBeginPeriod", nullptr, &countBegin);
    realEnd = redirect("timeEndPeriod", nullptr, &countEnd);
    ASSERT_TRUE(realBegin && realEnd);
    ASSERT_EQ(0, KVTimer::m_bIsTmierOK);
    for (int round = 0; round < 3; ++round) {
        CountingTimer first;
        CountingTimer second;
        first.SetTimer(10, L"", 0);
        second.SetTimer(20, L"", 0);
    }
    redirect(nullptr, &countBegin, realBegin);
    redirect(nullptr, &countEnd, realEnd);
    // Owners come and go; the resolution is ended once, when the library unloads.
    EXPECT_EQ(1, begun.load());
    EXPECT_EQ(0, ended.load());
    EXPECT_EQ(1, KVTimer::m_bIsTmierOK);
    TIMECAPS caps {};
    timeGetDevCaps(&caps, sizeof(caps));
    EXPECT_GE(KVTimer::m_uAccuracy, caps.wPeriodMin);
    EXPECT_LE(KVTimer::m_uAccuracy, caps.wPeriodMax);
}

// Every tick reaches OnMTimer(id) on the timer thread; an application timer's ticks also
// reach OnMTimer(id, name).
TEST(KVTimer, TicksArriveOnTheTimerThreadAndApplicationTimersByName)
{
    for (int app : { 0, 1 }) {
        CountingTimer timer;
        const UINT id = timer.SetTimer(5, L"carousel", app);
        ASSERT_NE(0u, id);
        EXPECT_TRUE(waitFor([&] { return timer.ticks >= 3 && timer.appTicks >= app; })) << app;
        timer.KillTimer();
        EXPECT_NE(GetCurrentThreadId(), timer.tickThread.load());
        EXPECT_EQ(app ? id : 0u, timer.lastAppId.load());
        EXPECT_EQ(CString(app ? L"carousel" : L""), timer.lastAppName);
    }
}

TEST(KVTimer, EntriesAreFoundAndKilledByIdOrFirstName)
{
    CountingTimer timer;
    const UINT first = timer.SetTimer(50, L"fan", 0);
    const UINT second = timer.SetTimer(50, L"fan", 1);
    timer.SetTimer(50, L"pump", 0);
    EXPECT_EQ(2, timer.KillTimer(CString(L"fan")));
    EXPECT_EQ(0, timer.GetTimerIsRun(first));
    EXPECT_EQ(1, timer.GetTimerIsRun(second));
    EXPECT_EQ(1, timer.GetTimerIsRun(CString(L"fan")));
    EXPECT_EQ(CString(L"fan"), timer.GetTimerName(second));
    EXPECT_EQ(1, timer.IsAppTimer(second));
    EXPECT_EQ(CString(), timer.GetTimerName(4242));
    EXPECT_EQ(2, timer.KillTimer(4242u));
    // The registry finds the owner of a running timer only.
    CountingTimer other;
    EXPECT_EQ(&timer, KVTimer::GetFSTimer(second));
    EXPECT_EQ(0, timer.KillTimer());
    EXPECT_EQ(nullptr, KVTimer::GetFSTimer(second));
}

TEST(KVTimer, KillWaitsOutATickInProgress)
{
    CountingTimer timer;
    timer.slowTicks = true;
    timer.SetTimer(1, L"", 0);
    ASSERT_TRUE(waitFor([&] { return timer.insideTick.load(); }));
    timer.KillTimer();
    // Once the kill returns no tick is running, so what it touched may be freed.
    EXPECT_FALSE(timer.insideTick.load());
    const int ticks = timer.ticks;
    Sleep(30);
    EXPECT_EQ(ticks, timer.ticks.load());
}
