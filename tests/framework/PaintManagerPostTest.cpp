// What other threads hand to the window's thread: notifications and the marking part of
// repaint requests, served there in order, and dropped for controls that went away first.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

#include "BoundWindow.h"
#include "NotifyingControl.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

// The top of a tree as a dialog is: repaint requests go to the paint manager; notifications
// are written down as "id:code:wParam:lParam" with a mark when they arrive off this thread.
class Top : public MObject {
public:
    explicit Top(PaintManager& manager) : m_manager(manager) {}
    LONG OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam) override
    {
        heard += std::to_string(id) + ":" + std::to_string(code) + ":" + std::to_string(wParam) + ":"
            + std::to_string(lParam) + (GetCurrentThreadId() == m_thread ? " " : "(elsewhere) ");
        ++count;
        if (onHeard)
            onHeard();
        return 0;
    }
    LONG OnControlUpdate(CRect rect, int flag, MControl* control) override { return m_manager.OnControlUpdate(rect, flag, control); }

    std::string heard;
    int count { 0 };
    std::function<void()> onHeard;

private:
    PaintManager& m_manager;
    DWORD m_thread { GetCurrentThreadId() };
};

void elsewhere(const std::function<void()>& action)
{
    std::thread(action).join();
}

// Registered messages (the posted work) go to the paint manager.
class Posted : public ::testing::Test, public BoundWindow<> {
protected:
    Posted() : BoundWindow([](UINT msg) { return msg >= 0xC000; }) { ValidateRect(window.hwnd(), nullptr); }

    NotifyingControl* add(UINT id, CRect rect = CRect(0, 0, 10, 10)) { return addNotifyingControl(manager, &parent, id, rect, log); }
    // Serves what other threads handed to the window, alone: no WM_PAINT validates the window
    // first. Returns the number of messages it took.
    int serve()
    {
        int served = 0;
        for (MSG msg; PeekMessageW(&msg, window.hwnd(), 0xC000, 0xFFFF, PM_REMOVE); ++served)
            DispatchMessageW(&msg);
        return served;
    }

    Top parent { manager };
};

} // namespace

// Notifications and invalidations raised on another thread wait for the window's thread,
// which takes them all, in order, with one posted message. A batch is what waited when it was
// taken: what arrives meanwhile comes with the next message, so a stream of ticks cannot hold
// the window's thread in one batch.
TEST_F(Posted, WorkFromAnotherThreadReachesTheGuiThreadInOrderOneBatchAtATime)
{
    NotifyingControl* control = add(7);
    elsewhere([&] {
        for (UINT code = 1; code <= 3; ++code)
            control->PostToParent(code, code * 10, -static_cast<LONG>(code));
        manager.InvalidateRect(CRect(10, 10, 20, 20), 0);
        manager.InvalidateRect(CRect(50, 40, 60, 70), 0);
    });
    EXPECT_EQ("", parent.heard);
    EXPECT_EQ(CRect(), invalid());
    parent.onHeard = [&] {
        if (parent.count == 1)
            elsewhere([&] { control->PostToParent(4, 0, 0); });
    };
    EXPECT_EQ(2, serve());
    EXPECT_EQ(CRect(10, 10, 60, 70), invalid());
    EXPECT_EQ("7:1:10:-1 7:2:20:-2 7:3:30:-3 7:4:0:0 ", parent.heard);
}

TEST_F(Posted, OnTheGuiThreadOrWithoutAPaintManagerItArrivesAtOnceAndUnboundItIsDropped)
{
    add(7)->PostToParent(1, 0, 0);
    RecordingControl loose(&parent, 8, CRect(), log);
    loose.PostToParent(2, 0, 0);
    PaintManager unbound;
    loose.SetManager(&unbound);
    loose.PostToParent(3, 0, 0);
    EXPECT_EQ("7:1:0:0 8:2:0:0 ", parent.heard);
    EXPECT_EQ(0, serve());
    loose.SetManager(nullptr);
}

// A control removed before the batch is served, or by the parent's answer to an earlier record
// of the same batch, takes its records with it. Removed controls' memory is poisoned: a use
// would crash.
TEST_F(Posted, RecordsOfAControlRemovedBeforeTheyAreServedAreDropped)
{
    NotifyingControl *doomed = add(7), *kept = add(8), *later = add(9);
    elsewhere([&] {
        doomed->PostToParent(1, 0, 0);
        kept->PostToParent(2, 0, 0);
        later->PostToParent(3, 0, 0);
        kept->PostToParent(4, 0, 0);
    });
    manager.RemoveControl(doomed);
    parent.onHeard = [&] { manager.RemoveControl(later); };
    serve();
    EXPECT_EQ("8:2:0:0 8:4:0:0 ", parent.heard);
}

// A cached control that overlaps the requester must be redrawn with it, also when the request
// came from a tick; the walk that finds it runs when the window's thread serves the request.
// A requester removed before that takes its request with it.
TEST_F(Posted, RequestFromAnotherThreadMarksTheItemsAboveWhenServed)
{
    NotifyingControl* requester = add(7, CRect(10, 10, 100, 100));
    NotifyingControl* above = add(8, CRect(50, 50, 150, 150));
    NotifyingControl* apart = add(9, CRect(200, 150, 250, 190));
    for (MControl* control : manager.GetControls())
        control->SetUpdate(1, 0);
    elsewhere([&] {
        requester->UpdateControl(1, 0);
        requester->UpdateControl(CRect(10, 10, 20, 20), 1, 0);
    });
    EXPECT_EQ("0 1 0", std::to_string(requester->GetUpdate()) + " " + std::to_string(above->GetUpdate()) + " " + std::to_string(invalid().right));
    EXPECT_EQ(1, serve());
    EXPECT_EQ("0 1", std::to_string(above->GetUpdate()) + " " + std::to_string(apart->GetUpdate()));
    EXPECT_EQ(CRect(10, 10, 150, 150), invalid());
    above->SetUpdate(1, 0);
    elsewhere([&] { requester->UpdateControl(1, 0); });
    manager.RemoveControl(requester);
    serve();
    EXPECT_EQ(1, above->GetUpdate());
}
