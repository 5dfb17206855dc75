#include <gtest/gtest.h>

#include <atomic>
#include <functional>

#include "KOVA.h"
#include "PumpUntil.h"

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

    std::atomic<int> ticks { 0 }, appTicks { 0 };
    std::atomic<bool> insideTick { false }, slowTicks { false };
    std::atomic<DWORD> tickThread { 0 };
    std::atomic<UINT> lastAppId { 0 };
    CString lastAppName;
};

// Counts the library's calls of timeBeginPeriod and timeEndPeriod: the library is linked into
// this program, so its calls go through this program's import table, whose two entries point
// at the counters while the test runs.
using PeriodCall = MMRESULT(WINAPI*)(UINT);
PeriodCall realBegin = nullptr, realEnd = nullptr;
std::atomic<int> begun { 0 }, ended { 0 };
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

// Points the import entry that holds from at to; returns from, or null when nothing holds it.
PeriodCall redirect(PeriodCall from, PeriodCall to)
{
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); module->Name; ++module)
        for (auto* entry = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk); entry->u1.Function; ++entry)
            if (reinterpret_cast<PeriodCall>(entry->u1.Function) == from) {
                DWORD protection = 0;
                VirtualProtect(entry, sizeof(*entry), PAGE_READWRITE, &protection);
                entry->u1.Function = reinterpret_cast<DWORD_PTR>(to);
                VirtualProtect(entry, sizeof(*entry), protection, &protection);
                return from;
            }
    return nullptr;
}

PeriodCall winmm(const char* name)
{
    return reinterpret_cast<PeriodCall>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"winmm.dll"), name)));
}

} // namespace

// First in this program: nothing has begun the resolution before it. Owners come and go; the
// resolution is begun once and ended only when the library unloads.
TEST(KVTimer, ResolutionIsBegunOnceWithinTheDeviceRange)
{
    realBegin = redirect(winmm("timeBeginPeriod"), &countBegin);
    realEnd = redirect(winmm("timeEndPeriod"), &countEnd);
    ASSERT_TRUE(realBegin && realEnd);
    ASSERT_EQ(0, KVTimer::m_bIsTmierOK);
    for (int round = 0; round < 3; ++round) {
        CountingTimer first, second;
        first.SetTimer(10, L"", 0);
        second.SetTimer(20, L"", 0);
    }
    redirect(&countBegin, realBegin);
    redirect(&countEnd, realEnd);
    TIMECAPS caps {};
    timeGetDevCaps(&caps, sizeof(caps));
    EXPECT_EQ("1 0 1", std::to_string(begun) + " " + std::to_string(ended) + " " + std::to_string(KVTimer::m_bIsTmierOK));
    EXPECT_TRUE(KVTimer::m_uAccuracy >= caps.wPeriodMin && KVTimer::m_uAccuracy <= caps.wPeriodMax) << KVTimer::m_uAccuracy;
}

// Every tick reaches OnMTimer(id) on the timer thread; an application timer's ticks also
// reach OnMTimer(id, name).
TEST(KVTimer, TicksArriveOnTheTimerThreadAndApplicationTimersByName)
{
    for (int app : { 0, 1 }) {
        CountingTimer timer;
        const UINT id = timer.SetTimer(5, L"carousel", app);
        ASSERT_NE(0u, id);
        EXPECT_TRUE(KOVA::test::pollUntil([&] { return timer.ticks >= 3 && timer.appTicks >= app; })) << app;
        timer.KillTimer();
        EXPECT_NE(GetCurrentThreadId(), timer.tickThread.load());
        EXPECT_EQ(app ? id : 0u, timer.lastAppId.load());
        EXPECT_EQ(CString(app ? L"carousel" : L""), timer.lastAppName);
    }
}

// Killing by name ends the first entry of that name only; an unknown id is refused (2); the
// registry finds the owner of a running timer only.
TEST(KVTimer, EntriesAreFoundAndKilledByIdOrFirstName)
{
    CountingTimer timer;
    const UINT first = timer.SetTimer(50, L"fan", 0);
    const UINT second = timer.SetTimer(50, L"fan", 1);
    timer.SetTimer(50, L"pump", 0);
    EXPECT_EQ(2, timer.KillTimer(CString(L"fan")));
    EXPECT_EQ("0 1 1 1 2", std::to_string(timer.GetTimerIsRun(first)) + " " + std::to_string(timer.GetTimerIsRun(second)) + " "
                               + std::to_string(timer.GetTimerIsRun(CString(L"fan"))) + " "
                               + std::to_string(timer.IsAppTimer(second)) + " " + std::to_string(timer.KillTimer(4242u)));
    EXPECT_TRUE(timer.GetTimerName(second) == CString(L"fan") && timer.GetTimerName(4242).IsEmpty());
    CountingTimer other;
    EXPECT_EQ(&timer, KVTimer::GetFSTimer(second));
    EXPECT_EQ(0, timer.KillTimer());
    EXPECT_EQ(nullptr, KVTimer::GetFSTimer(second));
}

// Once the kill returns no tick runs, so what the ticks touch may be freed.
TEST(KVTimer, KillWaitsOutATickInProgress)
{
    CountingTimer timer;
    timer.slowTicks = true;
    timer.SetTimer(1, L"", 0);
    ASSERT_TRUE(KOVA::test::pollUntil([&] { return timer.insideTick.load(); }));
    timer.KillTimer();
    EXPECT_FALSE(timer.insideTick.load());
    // Two periods and a slow tick's length: a tick still due would have come.
    const int ticks = timer.ticks;
    Sleep(30);
    EXPECT_EQ(ticks, timer.ticks.load());
}
