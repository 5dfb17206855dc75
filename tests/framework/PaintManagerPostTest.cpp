// What other threads hand to the window's thread: notifications and the marking part of
// repaint requests, served there in order, and dropped for controls that went away first.
#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

#include "NotifyingControl.h"
#include "TestWindow.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

// The top of a tree as a dialog is: repaint requests go to the paint manager; notifications
// are written down with the thread they arrived on.
class Top : public MObject {
public:
    explicit Top(PaintManager& manager) : m_manager(manager) {}
    LONG OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam) override
    {
        heard.push_back({ id, code, wParam, lParam });
        threads.push_back(GetCurrentThreadId());
        if (onHeard)
            onHeard();
        return 0;
    }
    LONG OnControlUpdate(CRect rect, int flag, MControl* control) override
    {
        return m_manager.OnControlUpdate(rect, flag, control);
    }

    std::vector<Notification> heard;
    std::vector<DWORD> threads;
    std::function<void()> onHeard;

private:
    PaintManager& m_manager;
};

void elsewhere(const std::function<void()>& action)
{
    std::thread(action).join();
}

class Posted : public ::testing::Test {
protected:
    Posted()
    {
        window.onMessage([this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
            if (msg < 0xC000) // registered messages only
                return false;
            result = manager.OnWindowMessage(msg, wParam, lParam);
            return true;
        });
        manager.Init(window.hwnd(), nullptr);
        pumpMessages();
        ValidateRect(window.hwnd(), nullptr);
    }
    ~Posted() override
    {
        window.onMessage({});
        manager.DestroyData();
    }

    NotifyingControl* add(UINT id, CRect rect) { return addNotifyingControl(manager, &top, id, rect, log); }

    // Serves what other threads handed to the window, alone: no WM_PAINT validates the window
    // first. Returns the number of messages it took.
    int serve()
    {
        int served = 0;
        MSG msg;
        while (PeekMessageW(&msg, window.hwnd(), 0xC000, 0xFFFF, PM_REMOVE)) {
            DispatchMessageW(&msg);
            ++served;
        }
        return served;
    }

    CRect invalid() const
    {
        CRect rect;
        return GetUpdateRect(window.hwnd(), &rect, FALSE) ? rect : CRect();
    }

    TestWindow window;
    PaintManager manager;
    Top top { manager };
    EventLog log;
};

} // namespace

// Notifications and invalidations raised on another thread wait for the window's thread,
// which takes them all with one posted message.
TEST_F(Posted, NotificationsAndInvalidationsFromAnotherThreadReachTheGuiThreadInOrder)
{
    NotifyingControl* control = add(7, CRect(0, 0, 10, 10));
    elsewhere([&] {
        for (UINT code = 1; code <= 5; ++code)
            control->PostToParent(code, code * 10, -static_cast<LONG>(code));
        manager.InvalidateRect(CRect(10, 10, 20, 20), 0);
        manager.InvalidateRect(CRect(50, 40, 60, 70), 0);
    });
    EXPECT_TRUE(top.heard.empty());
    EXPECT_EQ(CRect(), invalid());
    EXPECT_EQ(1, serve());
    EXPECT_EQ(CRect(10, 10, 60, 70), invalid());
    ASSERT_EQ(5u, top.heard.size());
    for (UINT i = 0; i < 5; ++i) {
        EXPECT_EQ(7u, top.heard[i].id);
        EXPECT_EQ(i + 1, top.heard[i].code);
        EXPECT_EQ((i + 1) * 10, top.heard[i].wParam);
        EXPECT_EQ(-static_cast<LONG>(i + 1), top.heard[i].lParam);
        EXPECT_EQ(GetCurrentThreadId(), top.threads[i]);
    }
}

// A batch is what waited when the window's thread took it: what arrives meanwhile comes with
// the next message, so a stream of ticks cannot hold the window's thread in one batch.
TEST_F(Posted, WhatArrivesWhileABatchIsServedWaitsForTheNextMessage)
{
    NotifyingControl* control = add(7, CRect(0, 0, 10, 10));
    elsewhere([&] { control->PostToParent(1, 0, 0); });
    top.onHeard = [&] {
        if (top.heard.size() == 1)
            elsewhere([&] { control->PostToParent(2, 0, 0); });
    };
    EXPECT_EQ(2, serve());
    EXPECT_EQ(2u, top.heard.size());
}

TEST_F(Posted, OnTheGuiThreadOrWithoutAPaintManagerItArrivesAtOnceAndUnboundItIsDropped)
{
    add(7, CRect(0, 0, 10, 10))->PostToParent(1, 0, 0);
    RecordingControl loose(&top, 8, CRect(), log);
    loose.PostToParent(2, 0, 0);
    PaintManager unbound;
    loose.SetManager(&unbound);
    loose.PostToParent(3, 0, 0);
    ASSERT_EQ(2u, top.heard.size());
    EXPECT_EQ(1u, top.heard[0].code);
    EXPECT_EQ(2u, top.heard[1].code);
    EXPECT_EQ(0, serve());
    loose.SetManager(nullptr);
}

TEST_F(Posted, RecordsOfAControlRemovedBeforeTheyAreServedAreDropped)
{
    NotifyingControl* doomed = add(7, CRect(0, 0, 10, 10));
    NotifyingControl* kept = add(8, CRect(0, 0, 10, 10));
    NotifyingControl* later = add(9, CRect(0, 0, 10, 10));
    elsewhere([&] {
        doomed->PostToParent(1, 0, 0);
        kept->PostToParent(2, 0, 0);
        later->PostToParent(3, 0, 0);
        kept->PostToParent(4, 0, 0);
    });
    manager.RemoveControl(doomed);
    // The parent's answer to the first record removes a control whose record waits behind it
    // in the same batch. The removed controls' memory is poisoned: a use would crash.
    top.onHeard = [&] { manager.RemoveControl(later); };
    serve();
    ASSERT_EQ(2u, top.heard.size());
    EXPECT_EQ(2u, top.heard[0].code);
    EXPECT_EQ(4u, top.heard[1].code);
}

// A cached control that overlaps the requester must be redrawn with it, also when the request
// came from a tick; the walk that finds it runs when the window's thread serves the request.
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
    EXPECT_EQ(0, requester->GetUpdate());
    EXPECT_EQ(1, above->GetUpdate());
    EXPECT_EQ(CRect(), invalid());
    EXPECT_EQ(1, serve());
    EXPECT_EQ(0, above->GetUpdate());
    EXPECT_EQ(1, apart->GetUpdate());
    EXPECT_EQ(CRect(10, 10, 150, 150), invalid());
    // A requester removed before the window serves its request takes the request with it.
    above->SetUpdate(1, 0);
    elsewhere([&] { requester->UpdateControl(1, 0); });
    manager.RemoveControl(requester);
    serve();
    EXPECT_EQ(1, above->GetUpdate());
}
