// The paint manager's fast timer: ticks on the timer thread, a walk that survives changes of
// its list, no lock of the paint manager held while a control runs, and controls that leave
// the list before anything of theirs goes. Ticks are driven by hand (OnMTimer) where the order
// of threads matters; events order the threads.
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
