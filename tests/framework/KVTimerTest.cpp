#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "PumpUntil.h"
#include "RecordingControl.h"
#include "TestWindow.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

// Counts its ticks and the thread they arrive on; a tick can be made to take a while.
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
    UINT lastAppId { 0 };
    CString lastAppName;
};

bool waitFor(const std::function<bool()>& done, DWORD timeoutMs = 3000)
{
    const DWORD deadline = GetTickCount() + timeoutMs;
    while (!done()) {
        if (GetTickCount() > deadline)
            return false;
        Sleep(1);
    }
    return true;
}

} // namespace

TEST(KVTimer, TicksArriveOnTheTimerThread)
{
    CountingTimer timer;
    const UINT id = timer.SetTimer(5, L"pump", 0);
    ASSERT_NE(0u, id);
    EXPECT_TRUE(waitFor([&] { return timer.ticks >= 3; }));
    EXPECT_NE(GetCurrentThreadId(), timer.tickThread.load());
    EXPECT_EQ(0, timer.appTicks.load());
    EXPECT_EQ(0, timer.KillTimer(id));
}

TEST(KVTimer, ApplicationTimersAreAlsoReportedByName)
{
    CountingTimer timer;
    const UINT id = timer.SetTimer(5, L"carousel", 1);
    EXPECT_TRUE(waitFor([&] { return timer.appTicks >= 1; }));
    timer.KillTimer();
    EXPECT_EQ(id, timer.lastAppId);
    EXPECT_EQ(CString(L"carousel"), timer.lastAppName);
    EXPECT_EQ(1, timer.IsAppTimer(id) + 1);
}

TEST(KVTimer, KillByNameRemovesOnlyTheFirstOfThatName)
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
    EXPECT_EQ(0, timer.KillTimer());
}

TEST(KVTimer, RegistryFindsTheOwnerOfATimer)
{
    CountingTimer a;
    CountingTimer b;
    const UINT id = b.SetTimer(50, L"", 0);
    EXPECT_EQ(&b, KVTimer::GetFSTimer(id));
    b.KillTimer();
    EXPECT_EQ(nullptr, KVTimer::GetFSTimer(id));
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

TEST(KVTimer, ResolutionIsBegunOnceWithinTheDeviceRange)
{
    CountingTimer timer;
    timer.SetTimer(10, L"", 0);
    EXPECT_EQ(1, KVTimer::m_bIsTmierOK);
    TIMECAPS caps {};
    timeGetDevCaps(&caps, sizeof(caps));
    EXPECT_GE(KVTimer::m_uAccuracy, caps.wPeriodMin);
    EXPECT_LE(KVTimer::m_uAccuracy, caps.wPeriodMax);
}

// ---- the paint manager's fast timer

namespace {
// A control whose ticks are counted across threads.
class TickCounter : public RecordingControl {
public:
    using RecordingControl::RecordingControl;
    int OnControlTimer() override
    {
        tickThread = GetCurrentThreadId();
        ++ticks;
        return 0;
    }
    std::atomic<int> ticks { 0 };
    std::atomic<DWORD> tickThread { 0 };
};

class FastTimer : public ::testing::Test {
protected:
    FastTimer() { manager.Init(window.hwnd(), nullptr); }
    ~FastTimer() override { manager.DestroyData(); }

    TickCounter* addTicking(UINT id)
    {
        auto* control = new TickCounter(&top, id, CRect(0, 0, 10, 10), log);
        control->SetManager(&manager);
        manager.AppendControl(control, 1);
        control->AddMTimer();
        return control;
    }

    TestWindow window;
    RecordingParent top;
    EventLog log;
    PaintManager manager;
};
} // namespace

TEST_F(FastTimer, TicksReachRegisteredControlsOnTheTimerThread)
{
    TickCounter* control = addTicking(1);
    manager.SetMTimer(5);
    EXPECT_TRUE(waitFor([&] { return control->ticks >= 3; }));
    EXPECT_NE(GetCurrentThreadId(), control->tickThread.load());
    manager.KillMTimer();
    const int ticks = control->ticks;
    Sleep(30);
    EXPECT_EQ(ticks, control->ticks.load());
}

TEST_F(FastTimer, ASecondFastTimerReplacesTheFirst)
{
    manager.SetMTimer(50);
    manager.SetMTimer(40);
    // Both are unnamed: killing the first unnamed entry leaves none when the first was replaced.
    EXPECT_EQ(0, manager.KVTimer::KillTimer(CString()));
}

TEST_F(FastTimer, TicksOfOtherTimersAreIgnored)
{
    TickCounter* control = addTicking(1);
    manager.SetMTimer(100000);
    manager.OnMTimer(0xFFFF);
    EXPECT_EQ(0, control->ticks.load());
}

TEST_F(FastTimer, DeletedControlsLeaveTheTickList)
{
    TickCounter* control = addTicking(1);
    addTicking(2);
    manager.SetMTimer(1);
    ASSERT_TRUE(waitFor([&] { return control->ticks >= 2; }));
    // Deleting a control waits out a tick in progress and removes it from the list.
    manager.RemoveControl(control);
    EXPECT_EQ(0, manager.DeleteFSTimer(control));
    manager.KillMTimer();
}

TEST_F(FastTimer, InvalidationsFromAnotherThreadAreJoinedAndDeliveredByTheWindow)
{
    window.onMessage([&](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        if (msg < 0xC000) // registered messages only
            return false;
        result = manager.OnWindowMessage(msg, wParam, lParam);
        return true;
    });
    pumpMessages();
    ValidateRect(window.hwnd(), nullptr);
    std::thread ticker([&] {
        manager.InvalidateRect(CRect(10, 10, 20, 20), 0);
        manager.InvalidateRect(CRect(50, 40, 60, 70), 0);
    });
    ticker.join();
    // Nothing is invalidated on the other thread itself...
    RECT update {};
    EXPECT_FALSE(GetUpdateRect(window.hwnd(), &update, FALSE));
    // ...and one posted request carries both rectangles.
    MSG msg;
    int posted = 0;
    while (PeekMessageW(&msg, window.hwnd(), WM_USER, 0xFFFF, PM_REMOVE)) {
        ++posted;
        DispatchMessageW(&msg);
    }
    EXPECT_EQ(1, posted);
    ASSERT_TRUE(GetUpdateRect(window.hwnd(), &update, FALSE));
    EXPECT_EQ(CRect(10, 10, 60, 70), CRect(update));
}
