#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

#include "DibCanvas.h"
#include "GdiplusEnvironment.h"
#include "KOVA.h"
#include "RecordingControl.h"
#include "TestWindow.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const gdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

constexpr UINT kPositionChanged = 8;
constexpr DWORD kDeadlineMs = 2000;

// A panel whose children a test hands over directly (the class-name factory is not needed).
class TestPanel : public MPanel {
public:
    using MPanel::MPanel;

    template <class Child>
    Child* adopt(Child* child)
    {
        ScopedLock lock(m_controlsLock);
        m_controls->push_back(child);
        return child;
    }
    template <class Child>
    Child* adoptArea(Child* child)
    {
        ScopedLock lock(m_areasLock);
        m_areas->push_back(child);
        return child;
    }
};

// A child that answers window messages with a chosen result and writes them down.
class WindowMessageChild : public RecordingControl {
public:
    WindowMessageChild(MObject* parent, UINT id, EventLog& log, LRESULT reply)
        : RecordingControl(parent, id, CRect(0, 0, 10, 10), log), m_reply(reply) {}
    LRESULT OnWindowMessage(UINT msg, WPARAM, LPARAM) override
    {
        seen.push_back(msg);
        return m_reply;
    }
    std::vector<UINT> seen;

private:
    LRESULT m_reply;
};

class Panel : public ::testing::Test {
protected:
    RecordingControl* addChild(UINT id, CRect rect) { return panel.adopt(new RecordingControl(&panel, id, rect, log)); }
    // Content of 1000 pixels in a panel 200 high, scrolled halfway: 400 pixels down.
    void scrollHalfwayDown()
    {
        panel.SetVirtualHeight(1000);
        panel.GetScrollVertical()->SetScrollMaxRange(100);
        panel.GetScrollVertical()->SetScrollCurrentPos(50);
    }

    // Declared before the panel: attached controls tell their paint manager when they go.
    PaintManager manager;
    EventLog log;
    RecordingParent top;
    TestPanel panel { &top, 10, CRect(0, 0, 300, 200), 1 };
};

// ---- structure

TEST_F(Panel, ItsBarsAreItsFirstTwoChildrenWithIdsOneAndTwo)
{
    const std::vector<MControl*>& children = panel.GetControls();
    ASSERT_EQ(2u, children.size());
    EXPECT_EQ(panel.GetScrollVertical(), children[0]);
    EXPECT_EQ(panel.GetScrollHorizontal(), children[1]);
    EXPECT_EQ(1u, children[0]->GetControlID());
    EXPECT_EQ(2u, children[1]->GetControlID());
    EXPECT_EQ(CRect(-5, 0, 0, 0), children[0]->GetRect());
    EXPECT_EQ(CRect(0, -5, 0, 0), children[1]->GetRect());
    EXPECT_EQ(&panel, panel.GetScrollVertical()->GetParantObject());
    EXPECT_EQ(1, panel.IsEnabled());
    EXPECT_EQ(1, panel.GetDblClk());
    EXPECT_TRUE(panel.GetTitle().IsEmpty());
    EXPECT_EQ(1, panel.GetEnableScroll());
}

TEST_F(Panel, GetControlSearchesDepthFirstAndFindsNoUnknownId)
{
    RecordingControl* child = addChild(7, CRect(0, 0, 10, 10));
    RecordingControl* grandchild = child->addChild(8, CRect(0, 0, 5, 5));
    auto* area = panel.adoptArea(new RecordingControl(&panel, 9, CRect(0, 0, 10, 10), log));
    EXPECT_EQ(child, panel.GetControl(7));
    EXPECT_EQ(grandchild, panel.GetControl(8));
    EXPECT_EQ(area, panel.GetControl(9));
    EXPECT_EQ(panel.GetScrollVertical(), panel.GetControl(1));
    EXPECT_EQ(nullptr, panel.GetControl(99));
}

TEST_F(Panel, AttachingItAttachesItsBarsWhichLoadTheirStrips)
{
    manager.SetScrollResID(102, 101);
    panel.SetManager(&manager);
    EXPECT_EQ(&manager, panel.GetScrollVertical()->GetManager());
    EXPECT_EQ(&manager, panel.GetScrollHorizontal()->GetManager());
    EXPECT_NE(nullptr, panel.GetScrollVertical()->GetImage());
    EXPECT_NE(nullptr, panel.GetScrollHorizontal()->GetImage());
}

TEST_F(Panel, CopyTakesTheContentSizeAndGetsBarsOfItsOwn)
{
    panel.SetVirtualHeight(900);
    addChild(7, CRect(0, 0, 10, 10));
    MPanel copy(panel);
    EXPECT_EQ(900, copy.GetVirtualHeight());
    ASSERT_EQ(2u, copy.GetControls().size());
    EXPECT_NE(panel.GetScrollVertical(), copy.GetScrollVertical());
    EXPECT_EQ(copy.GetScrollVertical(), copy.GetControls()[0]);
    EXPECT_EQ(&copy, copy.GetScrollHorizontal()->GetParantObject());
}

TEST_F(Panel, UnknownClassNamesCreateNothing)
{
    EXPECT_EQ(nullptr, panel.CreateControl(L"NoSuchControl", 7, CRect(0, 0, 10, 10), L"", 1, 1));
    EXPECT_EQ(nullptr, panel.CreateArea(L"", 8, CRect(0, 0, 10, 10), L"", 1, 1));
    EXPECT_EQ(nullptr, panel.CreateControl(1, &panel, nullptr, 9, CRect(0, 0, 10, 10), L"", 1, 1));
    EXPECT_EQ(2u, panel.GetControls().size());
    EXPECT_TRUE(panel.GetAreas().empty());
}

// ---- coordinates

TEST_F(Panel, ContentThatFitsPassesPointsUnchanged)
{
    panel.GetScrollVertical()->SetScrollMaxRange(100);
    panel.GetScrollVertical()->SetScrollCurrentPos(50);
    RecordingControl* child = addChild(7, CRect(0, 0, 100, 100));
    panel.OnLButtonDown(MK_LBUTTON, CPoint(10, 10));
    ASSERT_EQ(1, log.count("down", 7));
    EXPECT_EQ(CPoint(10, 10), log.events().back().pt);
    EXPECT_EQ(child, panel.GetMouseChild());
}

TEST_F(Panel, ContentChildrenReceiveScrolledPoints)
{
    scrollHalfwayDown();
    addChild(7, CRect(0, 400, 300, 600));
    EXPECT_EQ(CPoint(0, 400), panel.GetScrollOffset());
    panel.OnLButtonDown(MK_LBUTTON, CPoint(10, 10));
    ASSERT_EQ(1, log.count("down", 7));
    EXPECT_EQ(CPoint(10, 410), log.events().back().pt);
}

TEST_F(Panel, HorizontalContentShiftsX)
{
    panel.SetVirtualWidth(600);
    panel.GetScrollHorizontal()->SetScrollMaxRange(100);
    panel.GetScrollHorizontal()->SetScrollCurrentPos(100);
    addChild(7, CRect(300, 0, 600, 200));
    panel.OnMouseMove(0, CPoint(10, 10));
    ASSERT_EQ(1, log.count("move", 7));
    EXPECT_EQ(CPoint(310, 10), log.events().back().pt);
}

TEST_F(Panel, BarsReceiveWindowPointsWhileTheContentIsScrolled)
{
    panel.SetVirtualHeight(1000);
    CScrollVertical* bar = panel.GetScrollVertical();
    bar->SetRect(CRect(290, 0, 300, 200));
    bar->SetScrollMaxRange(1000);
    bar->SetScrollCurrentPos(500);
    ASSERT_EQ(CRect(290, 50, 300, 150), bar->GetThumbRect());
    addChild(7, CRect(0, 0, 280, 1000));

    // Shifted by the 400-pixel offset, these points would miss the bar altogether.
    panel.OnLButtonDown(MK_LBUTTON, CPoint(295, 60));
    panel.OnMouseMove(MK_LBUTTON, CPoint(295, 80));
    panel.OnLButtonUp(0, CPoint(295, 80));
    EXPECT_EQ(0, log.count("down", 7));
    EXPECT_EQ(CRect(290, 70, 300, 170), bar->GetThumbRect());
    ASSERT_EQ(1u, top.notifications.size());
    EXPECT_EQ(1u, top.notifications[0].id);
    EXPECT_EQ(kPositionChanged, top.notifications[0].code);
    EXPECT_EQ(700u, top.notifications[0].wParam);
}

// ---- notifications

TEST_F(Panel, NotificationKeepsTheRaisersIdThroughNestedPanels)
{
    auto* inner = panel.adopt(new TestPanel(&panel, 20, CRect(0, 0, 100, 100), 1));
    auto* child = inner->adopt(new RecordingControl(inner, 7, CRect(0, 0, 10, 10), log));
    child->SendMessageW(5, 11, 12);
    ASSERT_EQ(1u, top.notifications.size());
    EXPECT_EQ(7u, top.notifications[0].id);
    EXPECT_EQ(5u, top.notifications[0].code);
    EXPECT_EQ(11u, top.notifications[0].wParam);
    EXPECT_EQ(12, top.notifications[0].lParam);
}

// ---- wheel

TEST_F(Panel, WheelScrollsTheContentAndAsksTheParentToRepaint)
{
    scrollHalfwayDown();
    panel.GetScrollVertical()->SetScrollCurrentPos(0);
    addChild(7, CRect(0, 0, 300, 1000));
    EXPECT_EQ(1, panel.OnScroll(1, 1, CPoint(10, 10)));
    EXPECT_EQ(10, panel.GetScrollVertical()->GetScrollCurrentPos());
    EXPECT_EQ(CPoint(0, 80), panel.GetScrollOffset());
    ASSERT_EQ(1u, top.updates.size());
    EXPECT_EQ(panel.GetRect(), top.updates[0].rect);
    EXPECT_EQ(1, top.updates[0].flag);
    EXPECT_EQ(&panel, top.updates[0].control);
    EXPECT_EQ(0, log.count("wheel", 7));

    panel.OnMouseMove(0, CPoint(10, 10));
    EXPECT_EQ(CPoint(10, 90), log.events().back().pt);
}

TEST_F(Panel, WheelTowardTheScreenScrollsBack)
{
    scrollHalfwayDown();
    EXPECT_EQ(1, panel.OnScroll(1, 0, CPoint(10, 10)));
    EXPECT_EQ(40, panel.GetScrollVertical()->GetScrollCurrentPos());
}

TEST_F(Panel, WheelGoesToTheChildWhenScrollingIsDisabled)
{
    scrollHalfwayDown();
    panel.SetEnableScroll(0);
    addChild(7, CRect(0, 0, 100, 100));
    EXPECT_EQ(1, panel.OnScroll(1, 1, CPoint(10, 10)));
    EXPECT_EQ(1, log.count("wheel", 7));
    EXPECT_EQ(50, panel.GetScrollVertical()->GetScrollCurrentPos());
}

// ---- state passed to the children

TEST_F(Panel, DisablingDisablesEveryChildAndRepaintsTheVisibleOnes)
{
    RecordingParent childParent;
    auto* shown = panel.adopt(new RecordingControl(&childParent, 7, CRect(0, 0, 10, 10), log));
    auto* hidden = panel.adopt(new RecordingControl(&childParent, 8, CRect(0, 0, 10, 10), log));
    hidden->SetControlVisible(0);
    panel.SetEnabled(0);
    EXPECT_EQ(0, shown->IsEnabled());
    EXPECT_EQ(0, hidden->IsEnabled());
    EXPECT_EQ(0, panel.GetScrollVertical()->IsEnabled());
    ASSERT_EQ(1u, childParent.updates.size());
    EXPECT_EQ(shown, childParent.updates[0].control);
    EXPECT_EQ(1, childParent.updates[0].flag);
}

TEST_F(Panel, WindowMessagesStopAtTheFirstChildThatAnswers)
{
    auto* silent = panel.adopt(new WindowMessageChild(&panel, 7, log, 0));
    auto* answering = panel.adopt(new WindowMessageChild(&panel, 8, log, 5));
    auto* late = panel.adopt(new WindowMessageChild(&panel, 9, log, 1));
    EXPECT_EQ(1, panel.OnWindowMessage(WM_USER + 3, 0, 0));
    EXPECT_EQ(std::vector<UINT> { WM_USER + 3 }, silent->seen);
    EXPECT_EQ(std::vector<UINT> { WM_USER + 3 }, answering->seen);
    EXPECT_TRUE(late->seen.empty());
}

// ---- repaint requests of the children

class PanelRepaint : public Panel {
protected:
    PanelRepaint()
    {
        below = addChild(6, CRect(0, 0, 200, 200));
        requester = addChild(7, CRect(10, 10, 100, 100));
        above = addChild(8, CRect(50, 50, 150, 150));
        apart = addChild(9, CRect(200, 150, 250, 190));
        hiddenAbove = addChild(11, CRect(50, 50, 150, 150));
        hiddenAbove->SetControlVisible(0);
        for (MControl* child : panel.GetControls())
            child->SetUpdate(1, 0);
    }

    RecordingControl* below { nullptr };
    RecordingControl* requester { nullptr };
    RecordingControl* above { nullptr };
    RecordingControl* apart { nullptr };
    RecordingControl* hiddenAbove { nullptr };
};

TEST_F(PanelRepaint, MarksTheRequesterAndTheVisibleChildrenAboveItThatItMeets)
{
    panel.SetManager(&manager);
    requester->UpdateControl(1, 0);
    EXPECT_EQ(0, requester->GetUpdate());
    EXPECT_EQ(0, above->GetUpdate());
    EXPECT_EQ(1, below->GetUpdate());
    EXPECT_EQ(1, apart->GetUpdate());
    EXPECT_EQ(1, hiddenAbove->GetUpdate());
    EXPECT_TRUE(top.updates.empty());
}

TEST_F(PanelRepaint, FlagZeroLeavesTheRequestersPicture)
{
    panel.SetManager(&manager);
    requester->UpdateControl(0, 0);
    EXPECT_EQ(1, requester->GetUpdate());
    EXPECT_EQ(0, above->GetUpdate());
}

TEST_F(PanelRepaint, BeforeItIsAttachedOnlyTheRequesterIsMarked)
{
    requester->UpdateControl(1, 0);
    EXPECT_EQ(0, requester->GetUpdate());
    EXPECT_EQ(1, above->GetUpdate());
}

TEST(PanelInWindow, ChildRequestInvalidatesThePanelsRectangleAndGoesNoHigher)
{
    TestWindow window(400, 300);
    PaintManager manager;
    manager.Init(window.hwnd(), nullptr);
    EventLog log;
    RecordingParent top;
    TestPanel panel { &top, 10, CRect(50, 40, 250, 190), 1 };
    panel.SetManager(&manager);
    panel.SetVirtualHeight(1000);
    panel.GetScrollVertical()->SetScrollMaxRange(100);
    panel.GetScrollVertical()->SetScrollCurrentPos(50);
    // Content y 900: 425 pixels up in the window, below the panel; the window sees the panel.
    auto* child = panel.adopt(new RecordingControl(&panel, 7, CRect(60, 900, 200, 1000), log));
    pumpMessages();
    ValidateRect(window.hwnd(), nullptr);

    child->UpdateControl(1, 1);
    CRect invalid;
    ASSERT_TRUE(GetUpdateRect(window.hwnd(), &invalid, FALSE));
    EXPECT_EQ(CRect(50, 40, 250, 190), invalid);
    EXPECT_TRUE(top.updates.empty());
    window.destroy();
}

// ---- threads

TEST(PanelThreads, PaintManagerKnowsItsWindowsThread)
{
    PaintManager manager;
    EXPECT_TRUE(manager.IsGuiThread());
    TestWindow window(100, 100);
    manager.Init(window.hwnd(), nullptr);
    EXPECT_TRUE(manager.IsGuiThread());
    bool elsewhere = true;
    std::thread([&] { elsewhere = manager.IsGuiThread(); }).join();
    EXPECT_FALSE(elsewhere);
    window.destroy();
}

// While the panel draws it (the panel's controls lock held by the GUI thread), runs an action
// on another thread and waits a bounded time for it.
class ActsElsewhereWhileDrawn : public RecordingControl {
public:
    using RecordingControl::RecordingControl;
    ~ActsElsewhereWhileDrawn() override
    {
        joinWorker();
        CloseHandle(m_done);
    }

    void DrawControl(HDC& dc, CRect paintRect) override
    {
        RecordingControl::DrawControl(dc, paintRect);
        if (!action || m_worker.joinable())
            return;
        m_worker = std::thread([this] {
            action();
            SetEvent(m_done);
        });
        finishedInTime = WaitForSingleObject(m_done, patienceMs) == WAIT_OBJECT_0;
    }
    void joinWorker()
    {
        if (m_worker.joinable())
            m_worker.join();
    }

    std::function<void()> action;
    DWORD patienceMs { kDeadlineMs };
    bool finishedInTime { false };

private:
    HANDLE m_done { CreateEventW(nullptr, TRUE, FALSE, nullptr) };
    std::thread m_worker;
};

class PanelOnTimerThread : public ::testing::Test {
protected:
    PanelOnTimerThread()
    {
        manager.Init(window.hwnd(), nullptr);
        panel.SetManager(&manager);
        holder = panel.adopt(new ActsElsewhereWhileDrawn(&panel, 6, CRect(0, 0, 100, 100), log));
        requester = panel.adopt(new RecordingControl(&panel, 7, CRect(10, 10, 100, 100), log));
        above = panel.adopt(new RecordingControl(&panel, 8, CRect(50, 50, 150, 150), log));
        for (MControl* child : panel.GetControls())
            child->SetUpdate(1, 0);
        pumpMessages();
        ValidateRect(window.hwnd(), nullptr);
    }
    ~PanelOnTimerThread() override
    {
        holder->joinWorker();
        window.destroy();
    }

    // Another thread's invalidation reaches the window as a posted (registered) message for
    // its paint manager; delivered alone, so that no WM_PAINT validates the window first.
    void deliverPostedInvalidation()
    {
        MSG msg;
        while (PeekMessageW(&msg, window.hwnd(), 0xC000, 0xFFFF, PM_REMOVE))
            manager.OnWindowMessage(msg.message, msg.wParam, msg.lParam);
    }

    void drawPanel()
    {
        DibCanvas canvas(400, 300);
        panel.Draw(canvas.dc(), CRect(0, 0, 400, 300));
        holder->joinWorker();
    }

    TestWindow window { 400, 300 };
    PaintManager manager;
    EventLog log;
    RecordingParent top;
    TestPanel panel { &top, 10, CRect(0, 0, 300, 200), 1 };
    ActsElsewhereWhileDrawn* holder { nullptr };
    RecordingControl* requester { nullptr };
    RecordingControl* above { nullptr };
};

// Off the GUI thread the panel marks the requester and leaves the walk of its list to the
// window's thread, which then marks the children above the requester.
TEST_F(PanelOnTimerThread, RepaintRequestMarksTheRequesterAndTheWindowMarksTheChildrenAbove)
{
    holder->action = [this] { requester->UpdateControl(1, 0); };
    drawPanel();
    EXPECT_TRUE(holder->finishedInTime);
    EXPECT_EQ(0, requester->GetUpdate());
    EXPECT_EQ(1, above->GetUpdate());
    deliverPostedInvalidation();
    EXPECT_EQ(0, above->GetUpdate());
    CRect invalid;
    ASSERT_TRUE(GetUpdateRect(window.hwnd(), &invalid, FALSE));
    EXPECT_EQ(CRect(0, 0, 300, 200), invalid);
}

TEST_F(PanelOnTimerThread, SameRequestOnTheGuiThreadMarksTheChildrenAbove)
{
    requester->UpdateControl(1, 0);
    EXPECT_EQ(0, requester->GetUpdate());
    EXPECT_EQ(0, above->GetUpdate());
}

// Its children are the GUI thread's to walk: off it the panel marks itself and posts.
TEST_F(PanelOnTimerThread, MarkingThePanelStaleFromAnotherThreadLeavesItsChildrenToTheWindow)
{
    holder->action = [this] { panel.SetUpdate(0, 0); };
    drawPanel();
    EXPECT_TRUE(holder->finishedInTime);
    EXPECT_EQ(0, panel.GetUpdate());
    EXPECT_EQ(1, above->GetUpdate());
    deliverPostedInvalidation();
    EXPECT_EQ(0, above->GetUpdate());
}

// A lookup never walks a list the GUI thread may be changing: it waits for the list's lock.
TEST_F(PanelOnTimerThread, LookupFromAnotherThreadWaitsForTheListAndFindsTheChild)
{
    MControl* found = nullptr;
    holder->action = [&] { found = panel.GetControl(8); };
    holder->patienceMs = 100;
    drawPanel();
    EXPECT_FALSE(holder->finishedInTime);
    EXPECT_EQ(above, found);
}

} // namespace
