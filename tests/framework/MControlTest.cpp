// The control tree: a control's routing of input, keys, timers and repaint requests among its
// children; the panel with its scroll bars, scrolled content and other threads; the scroll bar;
// and the font, text and image of a control (MControlFont).
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "DibCanvas.h"
#include "GdiObjectCount.h"
#include "InkScan.h"
#include "KOVA.h"
#include "LibraryHost.h"
#include "PumpUntil.h"
#include "RecordingControl.h"
#include "ScratchStrip.h"
#include "TestWindow.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

// A container (0,0)-(400,300) under a recording parent, with children added per case.
class Tree : public ::testing::Test {
protected:
    Tree() : root(new RecordingControl(&top, 10, CRect(0, 0, 400, 300), log)) {}
    ~Tree() override { delete root; }

    // "id(x,y) ..." of every press.
    std::string presses() const
    {
        std::string out;
        for (const Event& e : log.events())
            if (e.what == "down")
                out += std::to_string(e.id) + "(" + std::to_string(e.pt.x) + "," + std::to_string(e.pt.y) + ") ";
        return out;
    }

    RecordingParent top;
    EventLog log;
    RecordingControl* root;
};

// Makes its parent remove a sibling from inside its own tick.
class SiblingRemover : public RecordingControl {
public:
    using RecordingControl::RecordingControl;
    int OnControlTimer() override
    {
        RecordingControl::OnControlTimer();
        if (MControl* doomed = std::exchange(victim, nullptr))
            static_cast<MControl*>(m_parent)->RemoveControl(doomed);
        return 0;
    }
    MControl* victim { nullptr };
};

} // namespace

// ---- mouse routing

// The last child under the point that is visible, enabled and responsive takes the press;
// scroll-bar ids get the point unshifted, other children shifted by the container.
TEST_F(Tree, PressGoesToTheLastChildThatTakesInputThere)
{
    root->scrollOffset = CPoint(0, 100);
    root->addChild(1, CRect(380, 0, 400, 300));
    root->addChild(1001, CRect(10, 110, 110, 210));
    root->addChild(1002, CRect(50, 150, 150, 250));
    root->addChild(1003, CRect(10, 110, 110, 210))->SetEnabled(0);
    root->addChild(1004, CRect(10, 110, 110, 210), 0);
    root->addChild(1005, CRect(10, 110, 110, 210))->SetVisible(0);
    for (CPoint pt : { CPoint(390, 20), CPoint(60, 60), CPoint(20, 20) })
        root->OnLButtonDown(MK_LBUTTON, pt);
    EXPECT_EQ("1(390,20) 1002(60,160) 1001(20,120) ", presses());
}

// A move off the mouse child hands it over, still telling the old child, and leave tracking
// follows the pointer; while a button is held, moves over other children and the release go
// to the pressed one.
TEST_F(Tree, MovesHandTheMouseChildOverUnlessAButtonIsHeld)
{
    using Entry = int (MControl::*)(UINT, CPoint);
    const std::pair<Entry, Entry> buttons[] = { { &MControl::OnLButtonDown, &MControl::OnLButtonUp }, { &MControl::OnRButtonDown, &MControl::OnRButtonUp } };
    RecordingControl* first = root->addChild(1001, CRect(10, 10, 110, 110));
    root->addChild(1002, CRect(200, 10, 300, 110));
    first->setLeaveTracking(1);
    std::string outside = std::to_string(first->isOutside());
    for (CPoint pt : { CPoint(20, 20), CPoint(250, 20) }) {
        root->OnMouseMove(0, pt);
        outside += std::to_string(first->isOutside()) + std::to_string(root->GetMouseChild()->GetControlID());
    }
    EXPECT_EQ("1" "01001" "11002", outside);
    EXPECT_EQ("move:10 move:1001 move:1002 move:10 move:1001 move:1002", log.summary());
    log.clear();
    for (const auto& button : buttons) {
        (root->*button.first)(MK_LBUTTON, CPoint(20, 20));
        root->OnMouseMove(MK_LBUTTON, CPoint(250, 50));
        (root->*button.second)(0, CPoint(250, 50));
        EXPECT_EQ(0, root->isPressed());
    }
    EXPECT_EQ("down:1001 move:1001 up:1001 rdown:1001 move:1001 rup:1001", log.summary());
}

// A child that does not handle double clicks sees the second click as a press; one that does
// gets the double click, and with double-click notify its parent hears code 3.
TEST_F(Tree, DoubleClickFollowsTheChildsDoubleClickFlag)
{
    for (int dblClk : { 0, 1 }) {
        RecordingControl* child = root->addChild(1001 + dblClk, CRect(10, 10, 110, 110));
        child->setDblClk(dblClk);
        child->setDblClkNotify(1);
        root->OnLButtonDown(MK_LBUTTON, CPoint(20, 20));
        root->OnLButtonDblClk(MK_LBUTTON, CPoint(20, 20));
        root->RemoveAllControl();
    }
    EXPECT_EQ("down:1001 down:1001 down:1002 dblclk:1002", log.summary());
    ASSERT_EQ(1u, root->notifications.size());
    EXPECT_EQ(std::make_pair(1002u, 3u), std::make_pair(root->notifications[0].id, root->notifications[0].code));
}

// The wheel goes to the child under the point; an unresponsive, hidden or disabled container,
// or a point outside, takes no wheel, and the first two no press or move either.
TEST_F(Tree, WheelGoesToTheChildUnderThePointOfALiveContainer)
{
    root->answer = 0;
    root->addChild(1001, CRect(10, 10, 110, 110));
    root->addChild(1002, CRect(200, 10, 300, 110));
    EXPECT_EQ(1, root->OnScroll(1, 1, CPoint(250, 50)));
    EXPECT_EQ(0, root->OnScroll(1, 1, CPoint(500, 500)));
    EXPECT_EQ("wheel:10 wheel:1002", log.summary());
    const std::function<void(MControl&)> deaden[] = { [](MControl& c) { c.SetRresponse(0); }, [](MControl& c) { c.SetVisible(0); },
                                                      [](MControl& c) { c.SetEnabled(0); } };
    for (const auto& makeInert : deaden) {
        log.clear();
        RecordingControl container(&top, 20, CRect(0, 0, 400, 300), log);
        container.addChild(1003, CRect(10, 10, 110, 110));
        makeInert(container);
        EXPECT_EQ(0, container.OnScroll(1, 1, CPoint(20, 20)));
        if (container.IsEnabled()) {
            EXPECT_EQ(0, container.OnLButtonDown(MK_LBUTTON, CPoint(20, 20)) + container.OnMouseMove(0, CPoint(20, 20)));
        }
        EXPECT_EQ("", log.summary());
    }
}

// ---- keys and timer

// A key descends along focus to the deepest focused child, which notifies code 14 (key,
// modifiers); an untaken key still notifies; hiding the focused child takes its focus, and
// the descent ends there.
TEST_F(Tree, KeysDescendAlongFocusAndNotifyCode14)
{
    RecordingControl* panel = root->addChild(1001, CRect(10, 10, 200, 200));
    RecordingControl* edit = panel->addChild(1002, CRect(20, 20, 100, 50));
    panel->setFocused(1);
    edit->setFocused(1);
    edit->setKeyNotify(1);
    edit->keyAnswer = 1;
    EXPECT_EQ(1, root->OnKeyDown('A', 1, 0x4));
    edit->keyAnswer = 0;
    EXPECT_EQ(0, root->OnKeyDown(VK_F5, 1, 0));
    EXPECT_EQ("1002:14:65:4 1002:14:116:0", noteLine(panel->notifications));
    edit->SetVisible(0);
    EXPECT_EQ(0, root->OnKeyDown('A', 1, 0));
    EXPECT_EQ("key:1002 key:1002 blur:1002", log.summary());
}

// The tick descends into visible children with the run-timer flag. On the GUI thread a
// child's handler may make the parent remove a sibling (the list lock is re-entrant): the
// walk neither skips the rest nor calls anything twice.
TEST_F(Tree, TimerDescendsIntoVisibleRunTimerChildrenAndSurvivesRemovals)
{
    auto* remover = new SiblingRemover(root, 1001, CRect(0, 0, 10, 10), log);
    root->GetControls().push_back(remover);
    remover->victim = root->addChild(1002, CRect(0, 0, 10, 10));
    root->addChild(1003, CRect(0, 0, 10, 10));
    RecordingControl* hidden = root->addChild(1004, CRect(0, 0, 10, 10));
    hidden->SetVisible(0);
    root->addChild(1005, CRect(0, 0, 10, 10));
    for (MControl* child : { static_cast<MControl*>(remover), remover->victim, static_cast<MControl*>(hidden), root->GetControls().back() })
        child->SetRunTimer(1);
    root->OnTimer();
    EXPECT_EQ("tick:10 tick:1001 tick:1005", log.summary());
}

// ---- repaint requests

// Which state changes ask the parent for a repaint, with which rectangle and flag: SetRect asks
// for the union of the old and new rectangles (a width and a height are given). SetUpdate
// marks only the children it covers.
TEST_F(Tree, StateChangesRequestWhatChangedAndMarkOnlyWhatTheyCover)
{
    RecordingControl control(&top, 7, CRect(0, 0, 5, 5), log);
    control.SetRect(10, 20, 30, 40);
    control.SetVisible(1);           // unchanged: nothing
    control.SetVisible(0);
    control.SetEnabled(0);           // invisible: nothing
    control.SetVisible(1, 0);        // no redraw asked
    control.SetVisible(0, 0);
    control.UpdateControl(1, 0);     // invisible, not forced: nothing
    control.UpdateControl(CRect(1, 1, 2, 2), 1, 1);
    control.UpdateAControl(1, 1);
    std::string requests;
    for (const RecordingParent::Update& u : top.updates)
        requests += std::to_string(u.rect.left) + "," + std::to_string(u.rect.top) + "," + std::to_string(u.rect.right) + ","
            + std::to_string(u.rect.bottom) + ":" + std::to_string(u.flag) + (u.control == &control ? " " : "? ");
    EXPECT_EQ("0,0,40,60:1 10,20,40,60:1 1,1,2,2:1 10,20,40,60:0 ", requests);
    EXPECT_EQ(CRect(10, 20, 40, 60), control.GetRect());

    RecordingControl* inside = root->addChild(2, CRect(10, 10, 20, 20));
    RecordingControl* outside = root->addChild(3, CRect(500, 500, 520, 520));
    inside->SetUpdate(1, 0);
    outside->SetUpdate(1, 0);
    root->SetUpdate(0, 0);
    EXPECT_EQ("01", std::to_string(inside->GetUpdate()) + std::to_string(outside->GetUpdate()));
}

// ---- tree

// A removed child is no longer the mouse child: a press after the removal must not reach it.
TEST_F(Tree, LookupAndRemovalStayWithinTheTree)
{
    RecordingControl* child = root->addChild(1001, CRect(10, 10, 110, 110));
    RecordingControl* deep = child->addChild(1005, CRect(0, 0, 10, 10));
    EXPECT_EQ(deep, root->GetControl(1005));
    EXPECT_EQ(nullptr, root->GetControl(4242));
    root->OnMouseMove(0, CPoint(20, 20));
    RecordingControl stranger(&top, 99, CRect(), log);
    EXPECT_EQ(0, root->RemoveControl(&stranger));
    EXPECT_EQ(1u, root->GetControls().size());
    EXPECT_EQ(0, root->RemoveControl(child));
    EXPECT_TRUE(root->GetControls().empty());
    EXPECT_EQ(nullptr, root->GetMouseChild());
    root->OnLButtonDown(MK_LBUTTON, CPoint(20, 20));
    EXPECT_EQ(0, log.count("down", 1001));
}

// The walk up passes through every ancestor and stops at a dialog, at any parent that is not
// a control (even one without a class name), and at a hidden ancestor (its own visibility
// aside); a control without a parent has none visible.
TEST_F(Tree, IsParentVisibleWalksUpToTheTop)
{
    RecordingParent dialog, popup;
    dialog.m_className = L"MDialog";
    popup.m_className = nullptr;
    RecordingControl underDialog(&dialog, 1, CRect(), log);
    RecordingControl* middle = underDialog.addChild(2, CRect());
    RecordingControl* leaf = middle->addChild(3, CRect());
    RecordingControl underPopup(&popup, 4, CRect(), log);
    RecordingControl orphan(nullptr, 5, CRect(), log);
    EXPECT_EQ("110", std::to_string(leaf->IsParentVisible()) + std::to_string(underPopup.IsParentVisible()) + std::to_string(orphan.IsParentVisible()));
    for (RecordingControl* ancestor : { &underDialog, middle }) {
        ancestor->SetVisible(0, 0);
        EXPECT_EQ("01", std::to_string(leaf->IsParentVisible()) + std::to_string(ancestor->IsParentVisible()));
        ancestor->SetVisible(1, 0);
    }
}

// The copy's destruction leaves the original's child alone.
TEST_F(Tree, CopyTakesValuesButNoChildren)
{
    root->addChild(6, CRect());
    {
        RecordingControl copy(*root);
        EXPECT_EQ(CRect(0, 0, 400, 300), copy.GetRect());
        EXPECT_TRUE(copy.GetControls().empty());
    }
    ASSERT_EQ(1u, root->GetControls().size());
    EXPECT_EQ(6u, root->GetControls()[0]->GetControlID());
}

namespace {
struct PlainControl : MControl {
    PlainControl() : MControl(nullptr, 1, CRect(), 1, 1, 1) {}
    void DrawControl(HDC&, CRect) override {}
};
} // namespace

// A copy shares its original's paint manager and is noted with it, so it forgets one that goes
// first; an assigned-to control moves its note to the paint manager it takes.
TEST(ControlCopies, AreNotedWithThePaintManagerTheyShare)
{
    auto first = std::make_unique<PaintManager>();
    auto second = std::make_unique<PaintManager>();
    PlainControl original;
    original.SetManager(first.get());
    PlainControl copy(original);
    PlainControl assigned;
    assigned.SetManager(second.get());
    assigned = original;
    ASSERT_EQ(first.get(), copy.GetManager());
    first.reset();
    EXPECT_EQ(nullptr, copy.GetManager());
    EXPECT_EQ(nullptr, assigned.GetManager());
    // Nothing of the assigned control is left with the paint manager it had before.
    second.reset();
}

TEST_F(Tree, DrawPutsAreasBelowAndChildrenAboveInListOrder)
{
    root->GetAreas().push_back(new RecordingControl(root, 2, CRect(0, 0, 50, 50), log));
    root->addChild(3, CRect(0, 0, 10, 10));
    root->addChild(4, CRect(500, 500, 510, 510));
    HDC dc = GetDC(nullptr);
    root->Draw(dc, CRect(0, 0, 100, 100));
    ReleaseDC(nullptr, dc);
    EXPECT_EQ("draw:2 draw:10 draw:3", log.summary());
}

namespace {

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

namespace {

// Colours of the library's strips (0x00RRGGBB).
constexpr DWORD kThumbAtRest = 0x70707C, kThumbHovered = 0xA06EE6, kThumbDragged = 0xBD30FF, kWhite = 0xFFFFFF;
constexpr UINT kBarId = 1;

// A 12 × 400 vertical bar at (100, 50), as the library cuts its strips: the thumb's column
// is 12 pixels wide, so each strip column lands on the bar pixel for pixel.
const CRect kVerticalBar(100, 50, 112, 450);
const CRect kHorizontalBar(100, 50, 500, 62);

// A bar of the axis its rectangle is long in.
std::unique_ptr<MScroll> barOf(MObject* parent, CRect rect)
{
    if (rect.Width() > rect.Height())
        return std::make_unique<CScrollHorizontal>(parent, kBarId, rect, 1);
    return std::make_unique<CScrollVertical>(parent, kBarId, rect, 1);
}

// Records the positions reported (code 8 of the bar, lParam 0) and the bar's changing flag
// while each is reported.
class BarParent : public RecordingParent {
public:
    LONG OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam) override
    {
        EXPECT_TRUE(id == kBarId && code == MScroll::kPositionChanged && lParam == 0) << id << " " << code;
        positions.push_back(wParam);
        changing.push_back(bar ? bar->IsChangeing() : -1);
        return RecordingParent::OnBaseMessage(id, code, wParam, lParam);
    }
    MScroll* bar { nullptr };
    std::vector<UINT> positions;
    std::vector<int> changing;
};

} // namespace

// ---- geometry

// Each row: what is done to a new bar, then the thumb (empty: not checked), position, page
// and whether there is anything to scroll (kAny: not checked).
TEST(ScrollGeometry, RangePositionAndPageGiveTheThumb)
{
    constexpr int kAny = -1;
    const CRect kV = kVerticalBar, kNone;
    const struct { const char* name; CRect rect; void (*act)(MScroll&); CRect thumb; int position, page, needed; } cases[] = {
        { "new: its height as page, a proportional thumb at the top", kV, [](MScroll&) {}, CRect(100, 50, 112, 210), 0, 400, 1 },
        { "a large range takes a tenth as page, the thumb raised to 100", kV, [](MScroll& b) { b.SetScrollMaxRange(10000); }, CRect(100, 50, 112, 150), kAny, 1000, 1 },
        { "a bar too short for 100 keeps fifty pixels of travel", CRect(0, 0, 12, 120), [](MScroll& b) { b.SetScrollMaxRange(10000); }, CRect(0, 0, 12, 70), kAny, kAny, kAny },
        { "beyond the range the vertical thumb is pulled back", kV, [](MScroll& b) { b.SetScrollCurrentPos(2000); }, CRect(100, 290, 112, 450), 1000, kAny, kAny },
        { "beyond the range the horizontal thumb runs past the right edge", kHorizontalBar, [](MScroll& b) { b.SetScrollCurrentPos(2000); }, CRect(500, 50, 660, 62), 2000, kAny, kAny },
        // Thumb trunc(400 / 1400 × 400) = 114, travel 286; 500 of the 1000 positions.
        { "content pixels count up to the content less one bar", kV, [](MScroll& b) { b.SetScrollMaxRange(1400); b.SetScrollCurrentPosEx(500); }, CRect(100, 193, 112, 307), kAny, kAny, kAny },
        { "content no longer than the bar puts the thumb at the top", kV, [](MScroll& b) { b.SetScrollMaxRange(400); b.SetScrollSize(100, 0); b.SetScrollCurrentPosEx(50); }, CRect(100, 50, 112, 150), kAny, kAny, kAny },
        { "only an automatic page follows a new range", kV, [](MScroll& b) { b.SetScrollMaxRange(10000); b.SetScrollSize(300, 0); b.SetScrollMaxRange(5000); }, kNone, kAny, 300, kAny },
        { "with the reset flag a new range puts the position back", kV, [](MScroll& b) { b.SetScrollCurrentPos(500); b.SetScrollReset(1); b.SetScrollMaxRange(2000); }, CRect(100, 50, 112, 150), 0, kAny, kAny },
        { "rows step back to the start, telling whether they moved", kV, [](MScroll& b) { b.SetScrollCurrentPos(5); EXPECT_EQ(1, b.ScrollRow(-1)); EXPECT_EQ(0, b.ScrollRow(-1)); }, kNone, 0, kAny, kAny },
        { "a row is one step, and rows stop at the range", kV, [](MScroll& b) { EXPECT_EQ(1, b.ScrollRow(3)); EXPECT_EQ(30, b.GetScrollCurrentPos()); b.SetScrollCurrentPos(995); b.ScrollRow(1); }, kNone, 1000, kAny, kAny },
        { "a page as large as the range fills the track", kV, [](MScroll& b) { b.SetScrollSize(1000, 0); b.SetScrollFinalPos(); }, kV, 1000, kAny, 0 },
        { "an empty range never divides by zero", kV, [](MScroll& b) { b.SetScrollMaxRange(0); b.SetScrollFinalPos(); b.ScrollRow(1); b.SetScrollCurrentPosEx(10); b.SetScrollSize(5, 0); }, kV, kAny, kAny, 0 },
        { "a bar shorter than the travel kept gets no inverted thumb", CRect(0, 0, 12, 30), [](MScroll& b) { b.SetScrollMaxRange(10000); b.SetScrollFinalPos(); }, kNone, 10000, kAny, kAny },
    };
    for (const auto& given : cases) {
        SCOPED_TRACE(given.name);
        RecordingParent parent;
        const std::unique_ptr<MScroll> bar = barOf(&parent, given.rect);
        given.act(*bar);
        EXPECT_TRUE(given.thumb.IsRectEmpty() || given.thumb == bar->GetThumbRect()) << bar->GetThumbRect().top << " " << bar->GetThumbRect().bottom;
        EXPECT_GE(bar->GetThumbRect().Height(), 0);
        for (const auto& [expected, actual] : { std::pair { given.position, bar->GetScrollCurrentPos() }, { given.page, bar->GetScrollSize() }, { given.needed, bar->IsScrollNeeded() } })
            EXPECT_TRUE(expected == kAny || expected == actual) << expected << " " << actual;
        // Without anything to scroll the bar ignores the mouse.
        if (given.needed == 0) {
            EXPECT_TRUE(!bar->MoveRange(50) && !bar->OnLButtonDown(MK_LBUTTON, CPoint(106, 300)) && parent.notifications.empty());
        }
    }
}

// ---- paging, dragging and arrows

// The changing flag is up only while the user's move is reported.
TEST(ScrollMouse, AClickBesideTheThumbPagesAndADragMovesTheThumbEachReportedWhileChanging)
{
    BarParent parent;
    CScrollVertical bar { &parent, kBarId, kVerticalBar, 1 };
    parent.bar = &bar;
    EXPECT_NE(0, bar.OnLButtonDown(MK_LBUTTON, CPoint(106, 300)));
    EXPECT_EQ(CRect(100, 210, 112, 370), bar.GetThumbRect());
    ASSERT_EQ(1u, parent.updates.size());
    EXPECT_EQ(std::make_tuple(kVerticalBar, 1, static_cast<MControl*>(&bar)),
              std::make_tuple(parent.updates[0].rect, parent.updates[0].flag, parent.updates[0].control));
    bar.SetScrollCurrentPos(1000);
    bar.OnLButtonDown(MK_LBUTTON, CPoint(106, 100));
    EXPECT_EQ(CRect(100, 130, 112, 290), bar.GetThumbRect());
    bar.OnLButtonUp(0, CPoint(106, 100));

    // Gripped 50 pixels into the thumb; the drag stops at the end, and the release lets go.
    bar.SetScrollCurrentPos(0);
    EXPECT_NE(0, bar.OnLButtonDown(MK_LBUTTON, CPoint(106, 100)));
    bar.OnMouseMove(MK_LBUTTON, CPoint(106, 160));
    EXPECT_EQ(CRect(100, 110, 112, 270), bar.GetThumbRect());
    bar.OnMouseMove(MK_LBUTTON, CPoint(106, 900));
    EXPECT_EQ(CRect(100, 290, 112, 450), bar.GetThumbRect());
    bar.OnMouseMove(MK_LBUTTON, CPoint(106, 330));
    EXPECT_EQ(280, bar.GetThumbRect().top);
    bar.OnLButtonUp(0, CPoint(106, 330));
    bar.OnMouseMove(0, CPoint(106, 100));
    EXPECT_EQ(280, bar.GetThumbRect().top);
    EXPECT_EQ((std::vector<UINT> { 666, 333, 250, 1000, 958 }), parent.positions);
    EXPECT_EQ((std::vector<int> { 1, 1, 1, 1, 1 }), parent.changing);
    EXPECT_EQ(0, bar.IsChangeing());

    BarParent across;
    CScrollHorizontal horizontal { &across, kBarId, kHorizontalBar, 1 };
    horizontal.OnLButtonDown(MK_LBUTTON, CPoint(150, 56));
    horizontal.OnMouseMove(MK_LBUTTON, CPoint(210, 70));
    EXPECT_EQ(CRect(160, 50, 320, 62), horizontal.GetThumbRect());
    EXPECT_EQ(std::vector<UINT> { 250 }, across.positions);
}

namespace {
// A vertical bar with 20-pixel arrow buttons at its ends.
class ArrowBar : public CScrollVertical {
public:
    ArrowBar(MObject* parent, CRect rect) : CScrollVertical(parent, kBarId, rect, 1)
    {
        m_arrowSize = 20;
        SetRange();
    }
};
} // namespace

TEST(ScrollArrows, ArrowsTakeTheEndsShowOnlyWhileThereIsSomethingToScrollAndStepOneRow)
{
    EventLog log;
    BarParent parent;
    RecordingParent arrowParent;
    ArrowBar bar { &parent, kVerticalBar };
    auto* up = new RecordingControl(&arrowParent, 6, CRect(), log);
    auto* down = new RecordingControl(&arrowParent, 7, CRect(), log);
    auto* other = new RecordingControl(&arrowParent, 9, CRect(1, 2, 3, 4), log);
    up->SetControlVisible(0);
    bar.GetControls() = { up, down, other };
    bar.SetRect(kVerticalBar);
    EXPECT_EQ((std::vector<CRect> { CRect(100, 50, 112, 70), CRect(100, 430, 112, 450), CRect(1, 2, 3, 4) }),
              (std::vector<CRect> { up->GetRect(), down->GetRect(), other->GetRect() }));
    EXPECT_EQ(1, up->IsVisible());
    // Track 360, thumb 0.4 of it, starting below the top arrow.
    EXPECT_EQ(CRect(100, 70, 112, 214), bar.GetThumbRect());
    // Ids 2 and 4 step forward, 1 and 3 back, only with lParam 2.
    bar.OnMessage(4, 0, 0, 2);
    bar.OnMessage(2, 0, 0, 2);
    EXPECT_EQ(90, bar.GetThumbRect().top);
    bar.OnMessage(1, 0, 0, 2);
    bar.OnMessage(3, 0, 0, 2);
    bar.OnMessage(2, 0, 0, 7);
    EXPECT_EQ(70, bar.GetThumbRect().top);
    EXPECT_EQ(4u, parent.positions.size());
    bar.SetScrollSize(1000, 0);
    bar.SetRect(kVerticalBar);
    EXPECT_EQ((std::vector<int> { 0, 0, 1 }), (std::vector<int> { up->IsVisible(), down->IsVisible(), other->IsVisible() }));
    EXPECT_FALSE(arrowParent.updates.empty());
}

// ---- images and drawing

namespace {
class DrawnBar : public ::testing::Test {
protected:
    DrawnBar() { manager.SetScrollResID(102, 101); }
    DibCanvas& draw(MControl& bar)
    {
        bar.Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()));
        return canvas;
    }
    std::unique_ptr<MScroll> drawnBar(CRect rect, PaintManager& owner)
    {
        auto bar = barOf(&parent, rect);
        bar->SetManager(&owner);
        return bar;
    }

    PaintManager manager;
    RecordingParent parent;
    DibCanvas canvas { 600, 500, 0xFFFFFFFF };
};
} // namespace

TEST_F(DrawnBar, ThumbAndTrackComeFromTheEmbeddedStripsAndFollowHoverAndDrag)
{
    const struct { CRect rect; CPoint thumb; PixelAt track, beside[2]; DWORD dragged; } bars[] = {
        // The thumb y 50 to 210; the track a thin translucent dark line in the middle column.
        // The vertical strip has no look of its own for a drag.
        { kVerticalBar, CPoint(106, 130), { 106, 330, 0x56565B }, { { 101, 330, kWhite }, { 101, 130, kWhite } }, kThumbAtRest },
        // The thumb x 100 to 260; the track a grey line across the rest at half height.
        { kHorizontalBar, CPoint(180, 56), { 400, 56, 0x474747 }, { { 400, 52, kWhite }, { 400, 60, kWhite } }, kThumbDragged },
    };
    for (const auto& given : bars) {
        SCOPED_TRACE(given.rect.Width());
        canvas.fill(0xFFFFFFFF);
        const auto bar = drawnBar(given.rect, manager);
        ASSERT_NE(nullptr, bar->GetImage());
        expectPixels(draw(*bar), { { given.thumb.x, given.thumb.y, kThumbAtRest }, given.track, given.beside[0], given.beside[1],
                                   { given.thumb.x, 460, kWhite } }, 6);
        EXPECT_NE(0, bar->OnMouseMove(0, given.thumb));
        expectPixels(draw(*bar), { { given.thumb.x, given.thumb.y, kThumbHovered } }, 3);
        bar->OnLButtonDown(MK_LBUTTON, given.thumb);
        bar->SetUpdate(0, 0);
        expectPixels(draw(*bar), { { given.thumb.x, given.thumb.y, given.dragged } }, 3);
    }
}

TEST_F(DrawnBar, SkinFilesServeWhenThePaintManagerHasNoStripIds)
{
    // Declared before the manager goes so that its image is released before the file.
    ScratchStrip strip { GetSkinPath(), L"img_scroll_v.png", 12, 48, { 0xFFFF0000, 0xFF00FF00, 0xFF0000FF } };
    ASSERT_TRUE(strip.written());
    PaintManager skinned;
    const auto bar = drawnBar(kVerticalBar, skinned);
    ASSERT_NE(nullptr, bar->GetImage());
    expectPixels(draw(*bar), { { 101, 130, 0x0000FF }, { 101, 330, 0xFF0000 } }, 3);
}

// The kept picture carries the background it was made over, until the bar is marked stale;
// with nothing to scroll or no image only the background is there.
TEST_F(DrawnBar, TheCurrentPictureIsCopiedUntilMarkedStaleAndNothingIsDrawnWithoutThumbOrImage)
{
    const auto bar = drawnBar(kVerticalBar, manager);
    draw(*bar);
    canvas.fill(0xFF000000);
    expectPixels(draw(*bar), { { 101, 130, kWhite }, { 99, 130, 0 } });
    canvas.fill(0xFF000000);
    bar->SetUpdate(0, 0);
    expectPixels(draw(*bar), { { 101, 130, 0 }, { 106, 130, kThumbAtRest } }, 3);

    CScrollVertical unskinned { &parent, 1, kVerticalBar, 1 };
    canvas.fill(0xFFFFFFFF);
    EXPECT_TRUE(draw(unskinned).untouchedSinceFill());
    const auto idle = drawnBar(kVerticalBar, manager);
    idle->SetScrollSize(1000, 0);
    EXPECT_TRUE(draw(*idle).untouchedSinceFill());
}

namespace {

// The product's face: not installed on the test machines, so every lookup of it falls back.
const wchar_t* const kMissingFace = L"Alibaba-PuHuiTi";
const wchar_t* const kStripName = L"mcontrolfont_strip.png";
const UINT kScrollStrip = 101; // 144 × 48, four frames

class TextControl : public MControlFont {
public:
    TextControl(MObject* parent, const wchar_t* title) : MControlFont(parent, 7, CRect(10, 10, 130, 50), title, 1, 1, 1) {}
    void DrawControl(HDC&, CRect) override {}
    using MControlFont::DrawString;
};

// Puts back a library-wide setting a case changes.
template <class T>
struct Restore {
    Restore(T (*get)(), void (*set)(T)) : set(set), value(get()) {}
    ~Restore() { set(value); }
    void (*set)(T);
    T value;
};

class FontControl : public ::testing::Test {
protected:
    FontControl() { control.SetManager(&manager); }

    // Where the text landed on black, and how much of it is close to the colour.
    Ink drawText(const wchar_t* text, DWORD colour, int width = 120, int height = 40)
    {
        DibCanvas canvas(width, height);
        Gdiplus::Graphics graphics(canvas.dc());
        EXPECT_EQ(1, control.DrawString(graphics, text, CRect(0, 0, width, height)));
        return scanInk(canvas, CRect(0, 0, width, height), 0, colour, 39);
    }

    // Declared first so that every image it hands out is released before the file goes.
    ScratchStrip strip { GetSkinPath(), kStripName, 40, 16, std::vector<DWORD>(8, 0xFF3060C0) };
    PaintManager manager;
    RecordingParent parent;
    TextControl control { &parent, L"Fan" };
};

} // namespace

TEST_F(FontControl, GdiFontTakesTheLibraryFaceCutToThirtyOneAndIsCachedUntilCleared)
{
    Restore<CString> face(Manager::GetFontName, Manager::SetFontName);
    Manager::SetFontName(L"DejaVu Sans");
    control.SetFont(L"Liberation Serif", 18, static_cast<Gdiplus::FontStyle>(Gdiplus::FontStyleBold | Gdiplus::FontStyleItalic));
    HFONT first = control.GetGDIFont();
    control.SetFontWidth(30);
    EXPECT_EQ(first, control.GetGDIFont());
    const LOGFONTW font = logFontOf(first);
    EXPECT_STREQ(L"DejaVu Sans", font.lfFaceName);
    EXPECT_TRUE(font.lfHeight == -18 && font.lfWeight >= 700 && font.lfItalic);
    control.ClearGDIFont();
    EXPECT_EQ(-30, logFontOf(control.GetGDIFont()).lfHeight);

    const CString longFace(L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn");
    Manager::SetFontName(longFace);
    control.ClearGDIFont();
    EXPECT_STREQ(longFace.Left(LF_FACESIZE - 1), logFontOf(control.GetGDIFont()).lfFaceName);
}

TEST_F(FontControl, GdiFontsLeakNeitherAcrossChangesAndDestructionNorThroughCopies)
{
    // Each round leaves one cached font, which the destructor must delete.
    const auto round = [&] {
        TextControl local(&parent, L"");
        for (int size = 10; size < 40; ++size) {
            local.GetGDIFont();
            local.SetFont(L"DejaVu Sans", size, Gdiplus::FontStyleBold);
            local.ClearGDIFont();
            local.GetGDIFont();
            local.SetTitle(L"again");
            local.GetGDIFont();
        }
    };
    expectNoGdiGrowth(round, 10);
    control.GetGDIFont();
    auto copy = std::make_unique<TextControl>(control);
    EXPECT_STREQ(L"Fan", copy->GetTitle());
    EXPECT_TRUE(control.GetTextBrush() != copy->GetTextBrush() && control.GetGDIFont() != copy->GetGDIFont());
    copy.reset();
    EXPECT_NE(0u, GetObjectType(control.GetGDIFont())) << "a copy must not delete the original's font";
}

// Text lands where the alignment says, in the text colour, also in a face this machine lacks.
TEST_F(FontControl, AMissingFaceDrawsWithTheFallbackAlignedInTheTextColourAndNothingDrawsWithoutAManager)
{
    ASSERT_FALSE(Gdiplus::FontFamily(kMissingFace).IsAvailable()) << "the case needs a face this machine lacks";
    std::unique_ptr<Gdiplus::FontFamily> missing(control.GetFontFamily(kMissingFace));
    std::unique_ptr<Gdiplus::FontFamily> installed(control.GetFontFamily(L"DejaVu Serif"));
    ASSERT_TRUE(missing && installed);
    EXPECT_NE(manager.FindTempFont(L"DejaVu Serif"), installed.get()) << "the caller owns a clone";
    WCHAR name[LF_FACESIZE] {}, fallback[LF_FACESIZE] {};
    missing->GetFamilyName(name);
    manager.FindTempFontOrFallback(kMissingFace)->GetFamilyName(fallback);
    EXPECT_STREQ(fallback, name);

    control.SetFont(L"DejaVu Sans", 24, Gdiplus::FontStyleBold);
    control.SetTextColor(Gdiplus::Color(255, 255, 0, 0));
    EXPECT_GT(drawText(L"HHHH", 0xFF0000).matching, 20);
    control.SetTextFont(kMissingFace);
    EXPECT_GT(drawText(L"HHHH", 0xFF0000).matching, 20);

    control.SetAlignment(2, 8);
    const CRect farInk = drawText(L"HH", 0xFF0000, 200, 80).bounds;
    EXPECT_TRUE(farInk.left > 150 && farInk.top > 50) << "far and bottom";
    control.SetAlignment(0, 0);
    const CRect nearInk = drawText(L"HH", 0xFF0000, 200, 80).bounds;
    EXPECT_TRUE(nearInk.right < 50 && nearInk.bottom < 30) << "near and top";

    TextControl unattached(&parent, L"");
    EXPECT_EQ(nullptr, unattached.GetFontFamily(L"DejaVu Sans"));
    DibCanvas canvas(60, 20);
    Gdiplus::Graphics graphics(canvas.dc());
    EXPECT_EQ(0, unattached.DrawString(graphics, L"H", CRect(0, 0, 60, 20)));
    EXPECT_TRUE(canvas.untouchedSinceFill());
}

TEST_F(FontControl, SkinImageIsCutByTheFirstCountAndAFailedSetImageKeepsTheOldOne)
{
    ASSERT_TRUE(strip.written());
    ASSERT_EQ(1, control.SetImage(kStripName, 8));
    EXPECT_EQ((std::vector<int> { 320, 16, 40 }), (std::vector<int> { control.GetImageWidth(), control.GetImageHeight(), control.GetFrameWidth() }));
    EXPECT_EQ(1u, parent.updates.size());
    Gdiplus::Image* old = control.GetImage();
    EXPECT_EQ(0, control.SetImage(kStripName, 0));
    EXPECT_EQ(0, control.SetImage(kScrollStrip, L"PNG", -1));
    EXPECT_EQ(0, control.SetImage(L"no_such_strip.png", 4));
    control.SetImageCount(0);
    EXPECT_TRUE(old == control.GetImage() && control.GetFrameWidth() == 40 && parent.updates.size() == 1);
    EXPECT_EQ(0, TextControl(&parent, L"").SetImage(kStripName, 8)) << "no paint manager";
    // One cached record; the control cuts it by its own count.
    ASSERT_EQ(1, control.SetImage(kStripName, 4));
    EXPECT_TRUE(old == control.GetImage() && control.GetFrameWidth() == 80);
}
