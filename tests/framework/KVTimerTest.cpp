// The timers: KVTimer's multimedia timer entries (resolution, ticks, lookup, kill), then the
// paint manager's fast timer built on it: ticks on the timer thread, a walk that survives
// changes of its list, no lock of the paint manager held while a control runs, and controls
// that leave the list before anything of theirs goes. Fast ticks are driven by hand
// (OnMTimer) where the order of threads matters; events order the threads.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "KOVA.h"
#include "PumpUntil.h"
#include "RecordingControl.h"

#include <mmsystem.h>

using namespace KOVA;
using namespace KOVA::test;

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
        EXPECT_TRUE(pollUntil([&] { return timer.ticks >= 3 && timer.appTicks >= app; })) << app;
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
    ASSERT_TRUE(pollUntil([&] { return timer.insideTick.load(); }));
    timer.KillTimer();
    EXPECT_FALSE(timer.insideTick.load());
    // Two periods and a slow tick's length: a tick still due would have come.
    const int ticks = timer.ticks;
    Sleep(30);
    EXPECT_EQ(ticks, timer.ticks.load());
}

// ---- the paint manager's fast timer

namespace {

constexpr DWORD kDeadlineMs = 2000;

// An event that stays set: the threads of a case wait on each other with these.
struct Signal {
    ~Signal() { CloseHandle(handle); }
    void set() { SetEvent(handle); }
    bool wait(DWORD ms = kDeadlineMs) { return WaitForSingleObject(handle, ms) == WAIT_OBJECT_0; }
    HANDLE handle { CreateEventW(nullptr, TRUE, FALSE, nullptr) };
};

// Counts its ticks and the thread they came on, runs what a case asks of a tick, and notes
// a tick that still runs once its own destructor has begun.
class Ticking : public MControl {
public:
    Ticking(MObject* parent, UINT id, PaintManager& manager) : MControl(parent, id, CRect(0, 0, 10, 10), 1, 1, 1) { SetManager(&manager); }
    ~Ticking() override
    {
        StopFastTimer();
        stateGone = true;
    }
    void DrawControl(HDC&, CRect) override {}
    int OnControlTimer() override
    {
        thread = GetCurrentThreadId();
        ++ticks;
        if (onTick)
            onTick();
        ticksAfterStateWent += stateGone;
        return 0;
    }
    void holdChildren(bool hold) { hold ? m_controlsLock.Enter() : m_controlsLock.Leave(); }

    std::atomic<int> ticks { 0 };
    std::atomic<DWORD> thread { 0 };
    std::function<void()> onTick;
    std::atomic<bool> stateGone { false };
    static inline std::atomic<int> ticksAfterStateWent { 0 };
};

// A hand-driven tick needs the minimum spacing after the previous one.
void tickByHand(PaintManager& manager)
{
    static DWORD last = 0;
    while (timeGetTime() - last < 4)
        Sleep(1);
    last = timeGetTime();
    manager.OnMTimer(0);
}

class FastTimer : public ::testing::Test {
protected:
    Ticking* make(UINT id, bool listed = false)
    {
        controls.push_back(std::make_unique<Ticking>(&top, id, manager));
        if (listed)
            manager.AddMTimer(controls.back().get());
        return controls.back().get();
    }
    std::string ticks() const
    {
        std::string out;
        for (const auto& control : controls)
            out += std::to_string(control->ticks);
        return out;
    }

    RecordingParent top;
    PaintManager manager;
    std::vector<std::unique_ptr<Ticking>> controls;
};

} // namespace

// Only listed controls tick, on the timer thread; a replaced fast timer leaves one timer entry
// and ticks of other ids do nothing.
TEST_F(FastTimer, TicksReachListedControlsOnTheTimerThreadUntilKilled)
{
    Ticking* control = make(1, true);
    make(2);
    manager.SetMTimer(5);
    ASSERT_TRUE(pollUntil([&] { return control->ticks >= 3; }));
    EXPECT_NE(GetCurrentThreadId(), control->thread.load());
    manager.SetMTimer(100000);
    const int before = control->ticks;
    manager.OnMTimer(0xFFFF);
    manager.KillMTimer();
    EXPECT_EQ(std::make_pair(before, 0), std::make_pair(control->ticks.load(), controls[1]->ticks.load()));
    EXPECT_EQ(0, manager.KVTimer::KillTimer(CString()));
}

// b's tick removes a, which was walked already, and d, which was not, and adds forty more: the
// walk goes on over the controls listed when it began (c is not skipped, d is), and the new
// ones tick from the next tick on.
TEST_F(FastTimer, ControlsAddedOrRemovedInsideATickDoNotBreakTheWalk)
{
    Ticking* a = make(1, true);
    Ticking* b = make(2, true);
    make(3, true);
    Ticking* d = make(4, true);
    for (UINT id = 10; id < 50; ++id)
        make(id);
    b->onTick = [&] {
        manager.DeleteFSTimer(a);
        manager.DeleteFSTimer(d);
        for (size_t i = 4; i < controls.size(); ++i)
            manager.AddMTimer(controls[i].get());
        b->onTick = nullptr;
    };
    tickByHand(manager);
    EXPECT_EQ("1110" + std::string(40, '0'), ticks());
    tickByHand(manager);
    EXPECT_EQ("1220" + std::string(40, '1'), ticks());
}

// The GUI thread may hold a control's list lock (a window-timer handler walking children)
// while it adds or removes ticking controls. A tick that waits for that list lock must hold
// nothing those calls need.
TEST_F(FastTimer, ListChangesDoNotWaitForATickThatWaitsForAControlsListLock)
{
    Ticking* blocked = make(1, true);
    Ticking* other = make(2);
    Signal entered, changed;
    blocked->onTick = [&] { entered.set(); };
    blocked->holdChildren(true);
    std::thread tick([&] { manager.OnMTimer(0); });
    ASSERT_TRUE(entered.wait());
    // The tick now waits for blocked's list lock, right after its OnControlTimer.
    std::thread gui([&] {
        manager.AddMTimer(other);
        manager.DeleteFSTimer(other);
        changed.set();
    });
    const bool inTime = changed.wait();
    blocked->holdChildren(false);
    tick.join();
    gui.join();
    EXPECT_TRUE(inTime);
}

// A direct delete of a ticking derived control leaves the list before the derived state goes:
// it waits for the running tick.
TEST_F(FastTimer, DeletingATickingControlWaitsForItsTickBeforeItsStateGoes)
{
    auto* control = new Ticking(&top, 1, manager);
    manager.AddMTimer(control);
    Signal entered, mayFinish, deleted;
    control->onTick = [&] {
        entered.set();
        mayFinish.wait();
    };
    std::thread tick([&] { manager.OnMTimer(0); });
    ASSERT_TRUE(entered.wait());
    std::thread deleter([&] {
        delete control;
        deleted.set();
    });
    // Long enough for a delete that is free to go on to have gone on.
    EXPECT_FALSE(deleted.wait(100));
    mayFinish.set();
    tick.join();
    deleter.join();
    EXPECT_EQ(0, Ticking::ticksAfterStateWent.load());
}
