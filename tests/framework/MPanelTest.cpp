#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

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
    void holdList(bool hold) { hold ? m_controlsLock.Enter() : m_controlsLock.Leave(); }
};

// A child that counts the window messages it sees and answers them with a chosen result.
struct WindowMessageChild : RecordingControl {
    using RecordingControl::RecordingControl;
    LRESULT OnWindowMessage(UINT, WPARAM, LPARAM) override
    {
        ++seen;
        return reply;
    }
    LRESULT reply { 0 };
    int seen { 0 };
};

// Gives a panel content of the given size, each bar ranging 0 to 100 at the given positions.
void scroll(MPanel& panel, int virtualHeight, int virtualWidth, int verticalPos, int horizontalPos = 0)
{
    panel.SetVirtualHeight(virtualHeight);
    panel.SetVirtualWidth(virtualWidth);
    for (MScroll* bar : { static_cast<MScroll*>(panel.GetScrollVertical()), static_cast<MScroll*>(panel.GetScrollHorizontal()) })
        bar->SetScrollMaxRange(100);
    panel.GetScrollVertical()->SetScrollCurrentPos(verticalPos);
    panel.GetScrollHorizontal()->SetScrollCurrentPos(horizontalPos);
}

std::string describe(const Notification& n)
{
    return std::to_string(n.id) + ":" + std::to_string(n.code) + ":" + std::to_string(n.wParam) + ":" + std::to_string(n.lParam);
}

class Panel : public ::testing::Test {
protected:
    RecordingControl* addChild(UINT id, CRect rect) { return panel.adopt(new RecordingControl(&panel, id, rect, log)); }

    // Declared before the panel: attached controls tell their paint manager when they go.
    PaintManager manager;
    EventLog log;
    RecordingParent top;
    TestPanel panel { &top, 10, CRect(0, 0, 300, 200), 1 };
};

} // namespace

// The copy takes the content size and gets bars of its own, not the original's.
TEST_F(Panel, ItsBarsAreItsFirstTwoChildrenAndGoWithItsAttachmentAndCopies)
{
    const std::vector<MControl*>& children = panel.GetControls();
    ASSERT_EQ(2u, children.size());
    EXPECT_EQ(panel.GetScrollVertical(), children[0]);
    EXPECT_EQ(panel.GetScrollHorizontal(), children[1]);
    EXPECT_EQ(CRect(-5, 0, 0, 0), children[0]->GetRect());
    EXPECT_EQ(CRect(0, -5, 0, 0), children[1]->GetRect());
    EXPECT_EQ(1, panel.GetDblClk());
    manager.SetScrollResID(102, 101);
    panel.SetManager(&manager);
    for (MScroll* bar : { static_cast<MScroll*>(panel.GetScrollVertical()), static_cast<MScroll*>(panel.GetScrollHorizontal()) }) {
        EXPECT_EQ(&manager, bar->GetManager());
        EXPECT_NE(nullptr, bar->GetImage());
    }
    panel.SetVirtualHeight(900);
    addChild(7, CRect(0, 0, 10, 10));
    MPanel copy(panel);
    EXPECT_EQ(900, copy.GetVirtualHeight());
    ASSERT_EQ(2u, copy.GetControls().size());
    EXPECT_NE(panel.GetScrollVertical(), copy.GetScrollVertical());
    EXPECT_EQ(&copy, copy.GetScrollHorizontal()->GetParantObject());
}

TEST_F(Panel, GetControlSearchesDepthFirstAndFindsNoUnknownId)
{
    RecordingControl* child = addChild(7, CRect(0, 0, 10, 10));
    RecordingControl* grandchild = child->addChild(8, CRect(0, 0, 5, 5));
    auto* area = new RecordingControl(&panel, 9, CRect(0, 0, 10, 10), log);
    panel.GetAreas().push_back(area);
    EXPECT_EQ(grandchild, panel.GetControl(8));
    EXPECT_EQ(area, panel.GetControl(9));
    EXPECT_EQ(panel.GetScrollVertical(), panel.GetControl(1));
    EXPECT_EQ(nullptr, panel.GetControl(99));
    EXPECT_EQ(nullptr, panel.CreateControl(L"NoSuchControl", 7, CRect(0, 0, 10, 10), L"", 1, 1));
    EXPECT_EQ(nullptr, panel.CreateArea(L"", 8, CRect(0, 0, 10, 10), L"", 1, 1));
    EXPECT_EQ(3u, panel.GetControls().size());
}

// Content children get points shifted by the scroll offsets; content that fits is not shifted.
TEST_F(Panel, ContentChildrenReceiveScrolledPoints)
{
    struct Case { int virtualHeight, virtualWidth, verticalPos, horizontalPos; CPoint offset; };
    const Case cases[] = {
        { 0, 0, 50, 0, CPoint(0, 0) },
        { 1000, 0, 50, 0, CPoint(0, 400) },
        { 0, 600, 0, 100, CPoint(300, 0) },
    };
    for (const Case& c : cases) {
        TestPanel shifted { &top, 10, CRect(0, 0, 300, 200), 1 };
        scroll(shifted, c.virtualHeight, c.virtualWidth, c.verticalPos, c.horizontalPos);
        auto* child = shifted.adopt(new RecordingControl(&shifted, 7, CRect(0, 0, 700, 1000), log));
        log.clear();
        shifted.OnLButtonDown(MK_LBUTTON, CPoint(10, 10));
        shifted.OnMouseMove(MK_LBUTTON, CPoint(10, 10));
        ASSERT_EQ(2u, log.events().size());
        EXPECT_TRUE(log.events()[0].pt == CPoint(10, 10) + c.offset && log.events()[1].pt == log.events()[0].pt);
        EXPECT_EQ(child, shifted.GetMouseChild());
    }
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
    EXPECT_EQ("1:" + std::to_string(kPositionChanged) + ":700:0", describe(top.notifications[0]));
}

TEST_F(Panel, NotificationKeepsTheRaisersIdThroughNestedPanels)
{
    auto* inner = panel.adopt(new TestPanel(&panel, 20, CRect(0, 0, 100, 100), 1));
    auto* child = inner->adopt(new RecordingControl(inner, 7, CRect(0, 0, 10, 10), log));
    child->SendMessageW(5, 11, 12);
    ASSERT_EQ(1u, top.notifications.size());
    EXPECT_EQ("7:5:11:12", describe(top.notifications[0]));
}

// The wheel scrolls the content a row either way and asks the parent to repaint; with
// scrolling disabled it goes to the child under the point.
TEST_F(Panel, WheelScrollsTheContentOrReachesTheChild)
{
    struct Case { int enableScroll; UINT down; int position, childWheels; size_t requests; };
    for (const Case& c : { Case { 1, 1, 60, 0, 1 }, Case { 1, 0, 40, 0, 1 }, Case { 0, 1, 50, 1, 0 } }) {
        TestPanel wheeled { &top, 10, CRect(0, 0, 300, 200), 1 };
        scroll(wheeled, 1000, 0, 50);
        wheeled.SetEnableScroll(c.enableScroll);
        wheeled.adopt(new RecordingControl(&wheeled, 7, CRect(0, 0, 300, 1000), log));
        log.clear();
        top.updates.clear();
        EXPECT_EQ(1, wheeled.OnScroll(1, c.down, CPoint(10, 10)));
        EXPECT_EQ(c.position, wheeled.GetScrollVertical()->GetScrollCurrentPos());
        EXPECT_EQ(c.childWheels, log.count("wheel", 7));
        ASSERT_EQ(c.requests, top.updates.size());
        EXPECT_TRUE(!c.requests || (top.updates[0].control == &wheeled && top.updates[0].flag == 1));
    }
}

TEST_F(Panel, DisablingDisablesEveryChildAndRepaintsTheVisibleOnes)
{
    RecordingParent childParent;
    auto* shown = panel.adopt(new RecordingControl(&childParent, 7, CRect(0, 0, 10, 10), log));
    auto* hidden = panel.adopt(new RecordingControl(&childParent, 8, CRect(0, 0, 10, 10), log));
    hidden->SetControlVisible(0);
    panel.SetEnabled(0);
    EXPECT_EQ(0, shown->IsEnabled() + hidden->IsEnabled() + panel.GetScrollVertical()->IsEnabled());
    ASSERT_EQ(1u, childParent.updates.size());
    EXPECT_EQ(shown, childParent.updates[0].control);
}

TEST_F(Panel, WindowMessagesStopAtTheFirstChildThatAnswers)
{
    std::string seen;
    for (LRESULT reply : { 0, 5, 1 })
        panel.adopt(new WindowMessageChild(&panel, 7, CRect(), log))->reply = reply;
    EXPECT_EQ(1, panel.OnWindowMessage(WM_USER + 3, 0, 0));
    for (size_t i = 2; i < panel.GetControls().size(); ++i)
        seen += std::to_string(static_cast<WindowMessageChild*>(panel.GetControls()[i])->seen);
    EXPECT_EQ("110", seen);
}

// The requester is marked only with flag 1; once attached, the visible children above it that
// meet the rectangle are marked too; nothing climbs to the parent.
TEST_F(Panel, RepaintRequestMarksTheRequesterAndTheVisibleChildrenAbove)
{
    struct Case { bool attached; int flag, requesterUpdate, aboveUpdate; };
    for (const Case& c : { Case { true, 1, 0, 0 }, Case { true, 0, 1, 0 }, Case { false, 1, 0, 1 } }) {
        TestPanel marked { &top, 10, CRect(0, 0, 300, 200), 1 };
        if (c.attached)
            marked.SetManager(&manager);
        auto* below = marked.adopt(new RecordingControl(&marked, 6, CRect(0, 0, 200, 200), log));
        auto* requester = marked.adopt(new RecordingControl(&marked, 7, CRect(10, 10, 100, 100), log));
        auto* above = marked.adopt(new RecordingControl(&marked, 8, CRect(50, 50, 150, 150), log));
        auto* apart = marked.adopt(new RecordingControl(&marked, 9, CRect(200, 150, 250, 190), log));
        auto* hiddenAbove = marked.adopt(new RecordingControl(&marked, 11, CRect(50, 50, 150, 150), log));
        hiddenAbove->SetControlVisible(0);
        for (MControl* child : marked.GetControls())
            child->SetUpdate(1, 0);
        requester->UpdateControl(c.flag, 0);
        EXPECT_EQ(std::to_string(c.requesterUpdate) + std::to_string(c.aboveUpdate) + "111",
                  std::to_string(requester->GetUpdate()) + std::to_string(above->GetUpdate()) + std::to_string(below->GetUpdate())
                      + std::to_string(apart->GetUpdate()) + std::to_string(hiddenAbove->GetUpdate()));
        EXPECT_TRUE(top.updates.empty());
    }
}

// ---- in a window, and on other threads

// Runs the action on another thread while this thread holds the panel's list lock, as a paint
// does; true when it finished within the patience.
bool finishesWhileTheListIsHeld(TestPanel& panel, const std::function<void()>& action, DWORD patienceMs)
{
    panel.holdList(true);
    std::atomic<bool> done { false };
    std::thread worker([&] {
        action();
        done = true;
    });
    for (const DWORD start = GetTickCount(); !done && GetTickCount() - start < patienceMs;)
        Sleep(1);
    const bool inTime = done;
    panel.holdList(false);
    worker.join();
    return inTime;
}

class PanelInWindow : public ::testing::Test {
protected:
    PanelInWindow()
    {
        manager.Init(window.hwnd(), nullptr);
        panel.SetManager(&manager);
        requester = panel.adopt(new RecordingControl(&panel, 7, CRect(60, 50, 150, 140), log));
        above = panel.adopt(new RecordingControl(&panel, 8, CRect(100, 90, 200, 190), log));
        pumpMessages();
        ValidateRect(window.hwnd(), nullptr);
    }
    // Another thread's work reaches the window as a posted (registered) message for its paint
    // manager; delivered alone, so that no WM_PAINT validates the window first.
    void deliverPosted()
    {
        for (MSG msg; PeekMessageW(&msg, window.hwnd(), 0xC000, 0xFFFF, PM_REMOVE);)
            manager.OnWindowMessage(msg.message, msg.wParam, msg.lParam);
    }
    CRect invalid() const
    {
        CRect rect;
        return GetUpdateRect(window.hwnd(), &rect, FALSE) ? rect : CRect();
    }

    TestWindow window { 400, 300 };
    PaintManager manager;
    EventLog log;
    RecordingParent top;
    TestPanel panel { &top, 10, CRect(50, 40, 250, 190), 1 };
    RecordingControl* requester { nullptr };
    RecordingControl* above { nullptr };
};

// Content y 900 lies 425 pixels up in the window, below the panel: the window sees the panel.
TEST_F(PanelInWindow, ChildRequestInvalidatesThePanelsRectangle)
{
    scroll(panel, 1000, 0, 50);
    auto* child = panel.adopt(new RecordingControl(&panel, 9, CRect(60, 900, 200, 1000), log));
    child->UpdateControl(1, 1);
    EXPECT_EQ(CRect(50, 40, 250, 190), invalid());
}

// Off the GUI thread the panel marks what it was asked to mark, takes no lock and walks no
// list; the window's thread then marks the children above.
TEST_F(PanelInWindow, RequestsAndMarkingFromAnotherThreadLeaveTheWalkToTheWindow)
{
    const std::function<void()> actions[] = { [this] { requester->UpdateControl(1, 0); },
                                              [this] { panel.SetUpdate(0, 0); } };
    for (const auto& action : actions) {
        above->SetUpdate(1, 0);
        EXPECT_TRUE(finishesWhileTheListIsHeld(panel, action, kDeadlineMs));
        EXPECT_EQ(1, above->GetUpdate());
        deliverPosted();
        EXPECT_EQ(0, above->GetUpdate());
    }
    EXPECT_EQ(0, requester->GetUpdate() + panel.GetUpdate());
    EXPECT_EQ(CRect(50, 40, 250, 190), invalid());
}

// A lookup never walks a list the GUI thread may be changing: it waits for the list's lock.
TEST_F(PanelInWindow, LookupFromAnotherThreadWaitsForTheListAndFindsTheChild)
{
    MControl* found = nullptr;
    EXPECT_FALSE(finishesWhileTheListIsHeld(panel, [&] { found = panel.GetControl(8); }, 100));
    EXPECT_EQ(above, found);
}
