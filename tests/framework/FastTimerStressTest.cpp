// Thirty seconds of 1 ms fast-timer ticks raising repaint requests from the timer thread
// while the GUI thread paints, adds and deletes ticking controls. A lock-order inversion
// between the tick and the paint shows up as a stall, which the watchdog turns into a failure;
// a use after free shows up as a crash.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

#include "KOVA.h"
#include "TestWindow.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

constexpr DWORD kRunMs = 30000;
constexpr DWORD kStallMs = 5000;

// The top of the tree: forwards repaint requests to the paint manager as a dialog does.
class Top : public MObject {
public:
    explicit Top(PaintManager& manager) : m_manager(manager) {}
    LONG OnControlUpdate(CRect rect, int flag, MControl* control) override
    {
        return m_manager.OnControlUpdate(rect, flag, control);
    }

private:
    PaintManager& m_manager;
};

// Ticks and asks for a repaint on every tick; its child does the same through it, so a tick
// holds this control's list lock while the request climbs to the paint manager.
class Ticker : public MControl {
public:
    Ticker(MObject* parent, UINT id, CRect rect, std::atomic<long>& ticks)
        : MControl(parent, id, rect, 1, 1, 1), m_ticks(ticks) {}

    void DrawControl(HDC& dc, CRect) override
    {
        MRender::FillSolidRect(dc, &m_rect, RGB(40, static_cast<BYTE>(m_phase * 40), 200));
    }
    int OnControlTimer() override
    {
        m_phase = (m_phase + 1) % 6;
        ++m_ticks;
        UpdateControl(1, 0);
        return 1;
    }
    LONG OnControlUpdate(CRect rect, int flag, MControl*) override
    {
        return m_parent ? m_parent->OnControlUpdate(rect, flag, this) : 0;
    }
    Ticker* addChild(UINT id)
    {
        CRect inner = m_rect;
        inner.DeflateRect(4, 4);
        auto* child = new Ticker(this, id, inner, m_ticks);
        child->SetManager(m_manager);
        child->SetRunTimer(1);
        ScopedLock lock(m_controlsLock);
        m_controls->push_back(child);
        return child;
    }

private:
    std::atomic<long>& m_ticks;
    int m_phase { 0 };
};

} // namespace

TEST(FastTimerStress, TicksPaintsAndDeletionsNeverDeadlockOrCrash)
{
    TestWindow window(400, 300);
    PaintManager manager;
    window.onMessage([&](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        if (msg != WM_PAINT && msg != WM_TIMER)
            return false;
        result = manager.OnWindowMessage(msg, wParam, lParam);
        return true;
    });
    manager.Init(window.hwnd(), nullptr);
    Top top(manager);
    std::atomic<long> ticks { 0 };
    std::atomic<long> progress { 0 };
    std::atomic<bool> finished { false };

    std::thread watchdog([&] {
        long last = -1;
        DWORD lastChange = GetTickCount();
        while (!finished) {
            Sleep(100);
            if (progress != last) {
                last = progress;
                lastChange = GetTickCount();
            } else if (GetTickCount() - lastChange > kStallMs) {
                fprintf(stderr, "stress: the GUI thread stalled for %lu ms (deadlock)\n", kStallMs);
                fflush(stderr);
                ExitProcess(3);
            }
        }
    });

    manager.SetMTimer(1);
    std::mt19937 random(7);
    UINT nextId = 100;
    const DWORD start = GetTickCount();
    long created = 0;
    long deleted = 0;
    while (GetTickCount() - start < kRunMs) {
        if (manager.GetControls().size() < 12) {
            const int x = static_cast<int>(random() % 340);
            const int y = static_cast<int>(random() % 240);
            auto* ticker = new Ticker(&top, nextId++, CRect(x, y, x + 60, y + 60), ticks);
            ticker->SetManager(&manager);
            ticker->addChild(nextId++);
            manager.AppendControl(ticker, 1);
            ticker->AddMTimer();
            ++created;
        }
        if (random() % 3 == 0 && !manager.GetControls().empty()) {
            std::vector<MControl*>& controls = manager.GetControls();
            manager.RemoveControl(controls[random() % controls.size()]);
            ++deleted;
        }
        pumpMessages();
        UpdateWindow(window.hwnd());
        ++progress;
    }
    manager.KillMTimer();
    finished = true;
    watchdog.join();
    manager.DestroyData();

    EXPECT_GT(ticks.load(), 1000);
    EXPECT_GT(deleted, 100);
    EXPECT_GT(created, 100);
    printf("stress: %ld ticks, %ld controls created, %ld deleted, %ld GUI rounds\n", ticks.load(), created, deleted,
           progress.load());
}
