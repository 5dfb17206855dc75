// The timers: KVTimer's multimedia timer entries (resolution, ticks, lookup, kill), then the
// paint manager's fast timer built on it: ticks on the timer thread, a walk that survives
// changes of its list, no lock of the paint manager held while a control runs, and controls
// that leave the list before anything of theirs goes. Fast ticks are driven by hand
// (OnMTimer) where the order of threads matters; events order the threads. Last, 1 ms ticks
// against a busy GUI thread for 30 seconds (KOVA_STRESS_SECONDS sets another length): ticking
// controls ask for repaints and notify their parents from the timer thread; panels tick their
// children while the GUI thread adds and removes them, also from inside window-timer and
// notification handlers; controls are deleted through their parents and directly. A deadlock
// stalls a thread, which the watchdog turns into a failure; a use after free hits poisoned
// memory and crashes.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
#include <stdexcept>
#include <thread>
#include <vector>

#include "KOVA.h"
#include "LibraryHost.h"
#include "Poisoned.h"
#include "PumpUntil.h"
#include "RecordingControl.h"
#include "TestWindow.h"
#include "ThreadTextCheck.h"

#include <mmsystem.h>

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

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
    CountingTimer other;
    EXPECT_EQ(&timer, KVTimer::GetFSTimer(second));
    EXPECT_EQ(0, timer.KillTimer());
    EXPECT_EQ(nullptr, KVTimer::GetFSTimer(second));
}

// A period the system refuses gives id 0 and leaves no entry that would count as running.
TEST(KVTimer, ARefusedTimerLeavesNoEntry)
{
    CountingTimer timer;
    EXPECT_EQ(0u, timer.SetTimer(100000, L"refused", 0));
    EXPECT_EQ(0, timer.GetTimerIsRun(CString(L"refused")));
    EXPECT_EQ(0, timer.GetTimerIsRun(0u));
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

// A control that throws from its tick loses that tick only: the controls after it tick in the
// same tick, the timer thread goes on, and the control can still leave the list.
TEST_F(FastTimer, AControlThatThrowsLosesItsTickOnlyAndCanStillLeave)
{
    Ticking* thrower = make(1, true);
    Ticking* after = make(2, true);
    thrower->onTick = [] { throw std::runtime_error("a tick failed"); };
    tickByHand(manager);
    tickByHand(manager);
    EXPECT_EQ("22", ticks());
    manager.SetMTimer(2);
    EXPECT_TRUE(pollUntil([&] { return thrower->ticks >= 5 && after->ticks >= 5; }));
    EXPECT_EQ(1, manager.DeleteFSTimer(thrower));
    const int before = after->ticks;
    EXPECT_TRUE(pollUntil([&] { return after->ticks >= before + 3; }));
    manager.KillMTimer();
}

// A control whose tick runs MMX code and returns with the registers in use (a host's own
// player) leaves nothing behind for the controls after it, which draw text with GDI+ on the
// same thread.
TEST_F(FastTimer, EachControlTicksWithTheX87RegistersFreeWhateverTheOneBeforeItLeft)
{
    Ticking* player = make(1, true);
    Ticking* renderer = make(2, true);
    player->onTick = [] { __asm__ __volatile__("movd %0, %%mm0" : : "r"(1) : "mm0"); };
    std::vector<int> heights;
    renderer->onTick = [&] { heights.push_back(textInkHeightHere()); };
    tickByHand(manager);
    tickByHand(manager);
    ASSERT_EQ(heights.size(), 2u);
    for (int height : heights)
        EXPECT_TRUE(height >= 12 && height <= 24) << height;
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

namespace {

// A deadlock never ends; a thread starved of the processor on a loaded machine does.
constexpr DWORD kStallMs = 20000;
constexpr UINT kTickCode = 77;

struct Stats {
    DWORD guiThread { GetCurrentThreadId() };
    std::atomic<long> ticks { 0 }, ticksAfterDeath { 0 }, guiRounds { 0 };
    long heard { 0 }, heardOffGui { 0 }, removedInHandlers { 0 }, deletedDirectly { 0 }, created { 0 };
};

// Ticks, asks for a repaint on every tick and now and then notifies its parent; on the
// timer thread both go through the posting paths.
class TickerBase : public MControl {
public:
    TickerBase(MObject* parent, UINT id, CRect rect, PaintManager& manager, Stats& stats)
        : MControl(parent, id, rect, 1, 1, 1), m_stats(stats)
    {
        SetManager(&manager);
        SetRunTimer(1);
    }
    ~TickerBase() override
    {
        StopFastTimer();
        m_alive = false;
    }
    void DrawControl(HDC& dc, CRect) override { MRender::FillSolidRect(dc, &m_rect, RGB(40, m_phase * 40, 200)); }
    int OnControlTimer() override
    {
        m_stats.ticksAfterDeath += !m_alive;
        ++m_stats.ticks;
        m_phase = (m_phase + 1) % 6;
        UpdateControl(1, 0);
        if (m_phase == 0)
            PostToParent(kTickCode, m_uControlID, 0);
        return 1;
    }
    void adopt(MControl* child)
    {
        ScopedLock lock(m_controlsLock);
        m_controls->push_back(child);
    }

private:
    Stats& m_stats;
    std::atomic<bool> m_alive { true };
    int m_phase { 0 };
};
using Ticker = Poisoned<TickerBase>;

// A panel of tickers. Its fast tick walks its children while the GUI thread changes them:
// its window timer adds and removes children, and so does its answer to their notifications.
class BoardBase : public MPanel {
public:
    BoardBase(MObject* parent, UINT id, CRect rect, PaintManager& manager, Stats& stats, std::mt19937& random)
        : MPanel(parent, id, rect, 1), m_paintManager(manager), m_stats(stats), m_random(random)
    {
        SetManager(&manager);
        SetRunTimer(1);
        for (int i = 0; i < 4; ++i)
            addChild();
    }
    ~BoardBase() override { StopFastTimer(); }
    LONG OnMessage(UINT id, UINT code, UINT, LONG) override
    {
        ++m_stats.heard;
        m_stats.heardOffGui += GetCurrentThreadId() != m_stats.guiThread;
        if (code == kTickCode)
            removeChildOtherThan(id);
        return 0;
    }
    int OnControlTimer() override
    {
        if (!m_paintManager.IsGuiThread())
            return 0;
        removeChildOtherThan(0);
        addChild();
        return 1;
    }

private:
    void addChild()
    {
        if (GetControls().size() >= 8)
            return;
        const int x = m_rect.left + static_cast<int>(m_random() % 80);
        const int y = m_rect.top + static_cast<int>(m_random() % 80);
        auto* child = new Ticker(this, m_nextId++, CRect(x, y, x + 30, y + 30), m_paintManager, m_stats);
        if (m_random() % 2)
            child->adopt(new Ticker(child, m_nextId++, CRect(x + 4, y + 4, x + 20, y + 20), m_paintManager, m_stats));
        {
            ScopedLock lock(m_controlsLock);
            m_controls->push_back(child);
        }
        if (m_random() % 2) // also ticked directly, besides through the panel
            child->AddMTimer();
    }
    // Never the raiser: its handler is still running.
    void removeChildOtherThan(UINT raiser)
    {
        std::vector<MControl*>& children = GetControls();
        MControl* doomed = children.size() > 4 ? children[2 + m_random() % (children.size() - 2)] : nullptr;
        if (!doomed || doomed->GetControlID() == raiser)
            return;
        RemoveControl(doomed);
        ++m_stats.removedInHandlers;
    }

    PaintManager& m_paintManager;
    Stats& m_stats;
    std::mt19937& m_random;
    UINT m_nextId { 1000 };
};
using Board = Poisoned<BoardBase>;

// The top of the tree, as a dialog is.
class Top : public MObject {
public:
    explicit Top(PaintManager& manager) : m_manager(manager) {}
    LONG OnControlUpdate(CRect rect, int flag, MControl* control) override { return m_manager.OnControlUpdate(rect, flag, control); }

private:
    PaintManager& m_manager;
};

// Ends the process when the GUI thread or the fast timer stops making progress.
void watch(const Stats& stats, const std::atomic<bool>& finished)
{
    const std::atomic<long>* counters[2] = { &stats.guiRounds, &stats.ticks };
    long last[2] = { -1, -1 };
    DWORD changed[2] = { GetTickCount(), GetTickCount() };
    for (; !finished; Sleep(100))
        for (int i = 0; i < 2; ++i)
            if (counters[i]->load() != last[i]) {
                last[i] = counters[i]->load();
                changed[i] = GetTickCount();
            } else if (GetTickCount() - changed[i] > kStallMs) {
                fprintf(stderr, "stress: the %s stalled (deadlock)\n", i ? "fast timer" : "GUI thread");
                fflush(stderr);
                ExitProcess(3);
            }
}

} // namespace

TEST(FastTimerStress, TicksPaintsRemovalsAndDeletesNeverDeadlockOrCrash)
{
    TestWindow window(400, 300);
    PaintManager manager;
    window.onMessage([&](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        if (msg != WM_PAINT && msg != WM_TIMER && msg < 0xC000)
            return false;
        result = manager.OnWindowMessage(msg, wParam, lParam);
        return true;
    });
    manager.Init(window.hwnd(), nullptr);
    Top top(manager);
    Stats stats;
    std::mt19937 random(7);
    UINT nextId = 100;
    std::vector<MControl*> loose;
    auto place = [&](int size) {
        const int x = static_cast<int>(random() % (400 - size)), y = static_cast<int>(random() % (300 - size));
        return CRect(x, y, x + size, y + size);
    };
    // A board, or a ticker with a ticking child.
    auto make = [&](int tickerSize) -> MControl* {
        if (random() % 2)
            return new Board(&top, nextId++, place(120), manager, stats, random);
        auto* ticker = new Ticker(&top, nextId++, place(tickerSize), manager, stats);
        ticker->adopt(new Ticker(ticker, nextId++, place(30), manager, stats));
        return ticker;
    };

    manager.SetMTimer(1);
    std::atomic<bool> finished { false };
    std::thread watchdog(watch, std::cref(stats), std::cref(finished));
    const char* seconds = std::getenv("KOVA_STRESS_SECONDS");
    const DWORD length = static_cast<DWORD>(seconds && std::atoi(seconds) > 0 ? std::atoi(seconds) : 30) * 1000;
    // A crowded machine takes longer to take every road; the run goes on until it has, and
    // the check below says which it missed.
    auto everyRoadTaken = [&] {
        return stats.ticks > 1000 && stats.heard > 10 && stats.removedInHandlers > 10 && stats.deletedDirectly > 10 && stats.created > 10;
    };
    auto ended = [&](DWORD spent) { return spent >= length && (everyRoadTaken() || spent >= length + kStallMs); };
    for (const DWORD start = GetTickCount(); !ended(GetTickCount() - start); ++stats.guiRounds) {
        if (manager.GetControls().size() < 10) {
            MControl* control = make(60);
            if (dynamic_cast<Board*>(control))
                manager.SetTimer(control, 1, 1 + random() % 10);
            manager.AppendControl(control, 1);
            control->AddMTimer();
            ++stats.created;
        }
        if (random() % 3 == 0 && !manager.GetControls().empty())
            manager.RemoveControl(manager.GetControls()[random() % manager.GetControls().size()]);
        // Controls no list owns, deleted directly while they tick.
        if (loose.size() < 4) {
            loose.push_back(make(40));
            loose.back()->AddMTimer();
        } else if (random() % 4 == 0) {
            const size_t index = random() % loose.size();
            delete loose[index];
            loose.erase(loose.begin() + static_cast<std::ptrdiff_t>(index));
            ++stats.deletedDirectly;
        }
        // A bounded share of messages per round: ticks post faster than a starved GUI thread
        // serves, and draining the queue would never end.
        MSG msg;
        for (int i = 0; i < 50 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i)
            DispatchMessageW(&msg);
        UpdateWindow(window.hwnd());
    }
    manager.KillMTimer();
    finished = true;
    watchdog.join();
    for (MControl* control : loose)
        delete control;
    manager.DestroyData();
    EXPECT_EQ(0, stats.ticksAfterDeath.load() + stats.heardOffGui);
    EXPECT_TRUE(everyRoadTaken());
    printf("stress: %ld ticks, %ld notifications, %ld created, %ld removed in handlers, %ld deleted directly, %ld GUI rounds\n",
           stats.ticks.load(), stats.heard, stats.created, stats.removedInHandlers, stats.deletedDirectly, stats.guiRounds.load());
}
