#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include "GdiplusEnvironment.h"
#include "KOVA.h"
#include "PumpUntil.h"
#include "RecordingControl.h"
#include "TestWindow.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const gdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

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
    RecordingControl* add(UINT id, CRect rect, EventLog& log) { return adopt(new RecordingControl(this, id, rect, log)); }
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
    panel.GetScrollVertical()->SetScrollMaxRange(100);
    panel.GetScrollHorizontal()->SetScrollMaxRange(100);
    panel.GetScrollVertical()->SetScrollCurrentPos(verticalPos);
    panel.GetScrollHorizontal()->SetScrollCurrentPos(horizontalPos);
}

class Panel : public ::testing::Test {
protected:
    // Declared before the panels: attached controls tell their paint manager when they go.
    PaintManager manager;
    EventLog log;
    RecordingParent top;
    TestPanel panel { &top, 10, CRect(0, 0, 300, 200), 1 };
};

} // namespace

// Its bars are its first two children and go with its attachment; a copy takes the content
// size and gets bars of its own, not the original's.
TEST_F(Panel, ItsBarsAreItsFirstTwoChildrenAndGoWithItsAttachmentAndCopies)
{
    ASSERT_EQ((std::vector<MControl*> { panel.GetScrollVertical(), panel.GetScrollHorizontal() }), panel.GetControls());
    manager.SetScrollResID(102, 101);
    panel.SetManager(&manager);
    for (MScroll* bar : { static_cast<MScroll*>(panel.GetScrollVertical()), static_cast<MScroll*>(panel.GetScrollHorizontal()) })
        EXPECT_TRUE(bar->GetManager() == &manager && bar->GetImage());
    panel.SetVirtualHeight(900);
    panel.add(7, CRect(0, 0, 10, 10), log);
    MPanel copy(panel);
    EXPECT_EQ(900, copy.GetVirtualHeight());
    ASSERT_EQ(2u, copy.GetControls().size());
    EXPECT_NE(panel.GetScrollVertical(), copy.GetScrollVertical());
    EXPECT_EQ(&copy, copy.GetScrollHorizontal()->GetParantObject());
}

// Lookup searches depth first, areas too; the factory takes exact names only and attaches
// what it makes only when the panel is attached.
TEST_F(Panel, LookupFindsEveryDescendantAndTheFactoryAttachesLikeThePanel)
{
    RecordingControl* grandchild = panel.add(7, CRect(0, 0, 10, 10), log)->addChild(8, CRect(0, 0, 5, 5));
    auto* area = new RecordingControl(&panel, 9, CRect(0, 0, 10, 10), log);
    panel.GetAreas().push_back(area);
    EXPECT_EQ((std::vector<MControl*> { grandchild, area, panel.GetScrollVertical(), nullptr }),
              (std::vector<MControl*> { panel.GetControl(8), panel.GetControl(9), panel.GetControl(1), panel.GetControl(99) }));
    MControl* orphan = panel.CreateControl(L"MRichEdit", 20, CRect(), L"", 1, 1);
    ASSERT_NE(nullptr, orphan);
    EXPECT_TRUE(orphan->GetManager() == nullptr && orphan->GetParantObject() == &panel);

    TestWindow window;
    PaintManager windowed;
    windowed.Init(window.hwnd(), nullptr);
    auto* attached = new TestPanel(&top, 2, CRect(0, 0, 100, 100), 1);
    attached->SetManager(&windowed);
    windowed.AppendControl(attached, 1);
    MControl* child = attached->CreateControl(L"MRichEdit", 11, CRect(), L"", 1, 1);
    ASSERT_NE(nullptr, child);
    EXPECT_TRUE(child->GetManager() == &windowed && windowed.GetControl(11) == child);
    MControl* attachedArea = attached->CreateArea(L"MRichEdit", 12, CRect(), L"", 1, 1);
    EXPECT_EQ(std::vector<MControl*> { attachedArea }, attached->GetAreas());
    for (const wchar_t* name : { L"MRICHEDIT", L"NoSuchControl", L"" })
        EXPECT_EQ(nullptr, attached->CreateControl(name, 13, CRect(), L"", 1, 1));
    EXPECT_EQ(nullptr, attached->CreateArea(L"", 8, CRect(0, 0, 10, 10), L"", 1, 1));
    EXPECT_EQ(3u, attached->GetControls().size());
    windowed.DestroyData();
}

// Content children get points shifted by the scroll offsets (content that fits is not
// shifted); the wheel scrolls the content a row either way and asks the parent to repaint,
// or with scrolling disabled goes to the child under the point.
TEST_F(Panel, ContentChildrenReceiveScrolledPointsAndTheWheelScrollsTheContent)
{
    // Both bars half way, the content taller, wider or neither.
    const struct { int virtualHeight, virtualWidth; CPoint offset; } shifts[] = {
        { 0, 0, CPoint(0, 0) }, { 1000, 0, CPoint(0, 400) }, { 0, 600, CPoint(300, 0) } };
    for (const auto& c : shifts) {
        TestPanel shifted { &top, 10, CRect(0, 0, 300, 200), 1 };
        scroll(shifted, c.virtualHeight, c.virtualWidth, 50, 100);
        auto* child = shifted.add(7, CRect(0, 0, 700, 1000), log);
        log.clear();
        shifted.OnLButtonDown(MK_LBUTTON, CPoint(10, 10));
        shifted.OnMouseMove(MK_LBUTTON, CPoint(10, 10));
        ASSERT_EQ(2u, log.events().size());
        EXPECT_TRUE(log.events()[0].pt == CPoint(10, 10) + c.offset && log.events()[1].pt == log.events()[0].pt) << c.offset.x;
        EXPECT_EQ(child, shifted.GetMouseChild());
    }
    const struct { int enableScroll; UINT down; int position, childWheels; size_t requests; } wheels[] = {
        { 1, 1, 60, 0, 1 }, { 1, 0, 40, 0, 1 }, { 0, 1, 50, 1, 0 } };
    for (const auto& c : wheels) {
        TestPanel wheeled { &top, 10, CRect(0, 0, 300, 200), 1 };
        scroll(wheeled, 1000, 0, 50);
        wheeled.SetEnableScroll(c.enableScroll);
        wheeled.add(7, CRect(0, 0, 300, 1000), log);
        log.clear();
        top.updates.clear();
        EXPECT_EQ(1, wheeled.OnScroll(1, c.down, CPoint(10, 10)));
        EXPECT_EQ(c.position, wheeled.GetScrollVertical()->GetScrollCurrentPos());
        EXPECT_EQ(c.childWheels, log.count("wheel", 7));
        ASSERT_EQ(c.requests, top.updates.size());
        EXPECT_TRUE(!c.requests || (top.updates[0].control == &wheeled && top.updates[0].flag == 1));
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
    panel.add(7, CRect(0, 0, 280, 1000), log);
    // Shifted by the 400-pixel offset, these points would miss the bar altogether.
    panel.OnLButtonDown(MK_LBUTTON, CPoint(295, 60));
    panel.OnMouseMove(MK_LBUTTON, CPoint(295, 80));
    panel.OnLButtonUp(0, CPoint(295, 80));
    EXPECT_EQ(0, log.count("down", 7));
    EXPECT_EQ(CRect(290, 70, 300, 170), bar->GetThumbRect());
    EXPECT_EQ("1:" + std::to_string(MScroll::kPositionChanged) + ":700:0", noteLine(top.notifications));
}

// A notification keeps the raiser's id through nested panels; a window message stops at the
// first child that answers it.
TEST_F(Panel, NotificationsKeepTheRaisersIdAndWindowMessagesStopAtTheFirstAnswer)
{
    auto* inner = panel.adopt(new TestPanel(&panel, 20, CRect(0, 0, 100, 100), 1));
    inner->add(7, CRect(0, 0, 10, 10), log)->SendMessageW(5, 11, 12);
    EXPECT_EQ("7:5:11:12", noteLine(top.notifications));
    std::vector<WindowMessageChild*> children;
    for (LRESULT reply : { 0, 5, 1 }) {
        children.push_back(panel.adopt(new WindowMessageChild(&panel, 7, CRect(), log)));
        children.back()->reply = reply;
    }
    EXPECT_EQ(1, panel.OnWindowMessage(WM_USER + 3, 0, 0));
    EXPECT_EQ("110", std::to_string(children[0]->seen) + std::to_string(children[1]->seen) + std::to_string(children[2]->seen));
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

// The requester is marked only with flag 1; once attached, the visible children above it that
// meet the rectangle are marked too; nothing climbs to the parent.
TEST_F(Panel, RepaintRequestMarksTheRequesterAndTheVisibleChildrenAbove)
{
    struct Case { bool attached; int flag, requesterUpdate, aboveUpdate; };
    for (const Case& c : { Case { true, 1, 0, 0 }, Case { true, 0, 1, 0 }, Case { false, 1, 0, 1 } }) {
        TestPanel marked { &top, 10, CRect(0, 0, 300, 200), 1 };
        if (c.attached)
            marked.SetManager(&manager);
        std::vector<RecordingControl*> children; // below, requester, above, apart, hidden above
        for (const auto& [id, rect] : { std::pair { 6u, CRect(0, 0, 200, 200) }, { 7u, CRect(10, 10, 100, 100) }, { 8u, CRect(50, 50, 150, 150) },
                                        { 9u, CRect(200, 150, 250, 190) }, { 11u, CRect(50, 50, 150, 150) } })
            children.push_back(marked.add(id, rect, log));
        children[4]->SetControlVisible(0);
        for (MControl* child : marked.GetControls())
            child->SetUpdate(1, 0);
        children[1]->UpdateControl(c.flag, 0);
        std::string marks;
        for (int i : { 1, 2, 0, 3, 4 })
            marks += std::to_string(children[i]->GetUpdate());
        EXPECT_EQ(std::to_string(c.requesterUpdate) + std::to_string(c.aboveUpdate) + "111", marks);
        EXPECT_TRUE(top.updates.empty());
    }
}

// ---- in a window, and on other threads

namespace {
class PanelInWindow : public Panel {
protected:
    PanelInWindow()
    {
        manager.Init(window.hwnd(), nullptr);
        placed.SetManager(&manager);
        requester = placed.add(7, CRect(60, 50, 150, 140), log);
        above = placed.add(8, CRect(100, 90, 200, 190), log);
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
    // Runs the action on another thread while this thread holds the panel's list lock, as a
    // paint does; true when it finished within the patience.
    bool finishesWhileTheListIsHeld(const std::function<void()>& action, DWORD patienceMs)
    {
        placed.holdList(true);
        std::atomic<bool> done { false };
        std::thread worker([&] {
            action();
            done = true;
        });
        const bool inTime = pollUntil([&] { return done.load(); }, patienceMs);
        placed.holdList(false);
        worker.join();
        return inTime;
    }

    TestWindow window { 400, 300 };
    TestPanel placed { &top, 10, CRect(50, 40, 250, 190), 1 };
    RecordingControl* requester { nullptr };
    RecordingControl* above { nullptr };
};
} // namespace

// Content y 900 lies 425 pixels up in the window, below the panel: the window sees the panel.
TEST_F(PanelInWindow, ChildRequestInvalidatesThePanelsRectangle)
{
    scroll(placed, 1000, 0, 50);
    placed.add(9, CRect(60, 900, 200, 1000), log)->UpdateControl(1, 1);
    EXPECT_EQ(CRect(50, 40, 250, 190), invalid());
}

// Off the GUI thread the panel marks what it was asked to mark, takes no lock and walks no
// list; the window's thread then marks the children above.
TEST_F(PanelInWindow, RequestsAndMarkingFromAnotherThreadLeaveTheWalkToTheWindow)
{
    const std::function<void()> actions[] = { [this] { requester->UpdateControl(1, 0); }, [this] { placed.SetUpdate(0, 0); } };
    for (const auto& action : actions) {
        above->SetUpdate(1, 0);
        EXPECT_TRUE(finishesWhileTheListIsHeld(action, 2000));
        EXPECT_EQ(1, above->GetUpdate());
        deliverPosted();
        EXPECT_EQ(0, above->GetUpdate());
    }
    EXPECT_EQ(0, requester->GetUpdate() + placed.GetUpdate());
    EXPECT_EQ(CRect(50, 40, 250, 190), invalid());
}

// A lookup never walks a list the GUI thread may be changing: it waits for the list's lock.
TEST_F(PanelInWindow, LookupFromAnotherThreadWaitsForTheListAndFindsTheChild)
{
    MControl* found = nullptr;
    EXPECT_FALSE(finishesWhileTheListIsHeld([&] { found = placed.GetControl(8); }, 100));
    EXPECT_EQ(above, found);
}
