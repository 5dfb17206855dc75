// 1 ms fast-timer ticks against a busy GUI thread, for 30 seconds (KOVA_STRESS_SECONDS sets
// another length). Ticking controls ask for repaints and notify their parents from the timer
// thread; panels tick their children while the GUI thread adds and removes them, also from
// inside window-timer handlers and notification handlers; controls are deleted through their
// parents and directly. A deadlock stalls a thread, which the watchdog turns into a failure;
// a use after free hits poisoned memory and crashes.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "KOVA.h"
#include "TestWindow.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

// A deadlock never ends; a thread starved of the processor on a loaded machine does.
constexpr DWORD kStallMs = 20000;
constexpr UINT kTickCode = 77;

struct Stats {
    DWORD guiThread { GetCurrentThreadId() };
    std::atomic<long> ticks { 0 }, ticksAfterDeath { 0 }, guiRounds { 0 };
    long heard { 0 }, heardOffGui { 0 }, removedInHandlers { 0 }, deletedDirectly { 0 }, created { 0 };
};

// Freed memory is overwritten and kept from reuse until thousands of later deletes: a use of
// a deleted control within that time crashes.
template <class Base>
class Poisoned : public Base {
public:
    using Base::Base;
    static void operator delete(void* memory, std::size_t size)
    {
        static std::mutex lock;
        static std::deque<void*> held;
        std::memset(memory, 0xDD, size);
        std::lock_guard<std::mutex> guard(lock);
        held.push_back(memory);
        if (held.size() > 4096) {
            ::operator delete(held.front());
            held.pop_front();
        }
    }
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
    for (const DWORD start = GetTickCount(); GetTickCount() - start < length; ++stats.guiRounds) {
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
    // Every road was taken, also on a loaded machine.
    EXPECT_TRUE(stats.ticks > 1000 && stats.heard > 10 && stats.removedInHandlers > 10 && stats.deletedDirectly > 10 && stats.created > 10);
    printf("stress: %ld ticks, %ld notifications, %ld created, %ld removed in handlers, %ld deleted directly, %ld GUI rounds\n",
           stats.ticks.load(), stats.heard, stats.created, stats.removedInHandlers, stats.deletedDirectly, stats.guiRounds.load());
}
