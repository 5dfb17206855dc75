#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "RecordingControl.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

// A container (0,0)-(400,300) under a recording parent, with children added per case.
class Tree : public ::testing::Test {
protected:
    Tree() : root(new RecordingControl(&top, 10, CRect(0, 0, 400, 300), log)) {}
    ~Tree() override { delete root; }

    // "what:id(x,y) ..." of every event of the given kinds.
    std::string seen(std::initializer_list<const char*> kinds) const
    {
        std::string out;
        for (const Event& event : log.events())
            for (const char* kind : kinds)
                if (event.what == kind)
                    out += (out.empty() ? "" : " ") + event.what + ":" + std::to_string(event.id) + "("
                        + std::to_string(event.pt.x) + "," + std::to_string(event.pt.y) + ")";
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
    EXPECT_EQ("down:1(390,20) down:1002(60,160) down:1001(20,120)", seen({ "down" }));
}

// While a button is held, moves over other children and the release go to the pressed one.
TEST_F(Tree, ThePressedChildKeepsMovesAndTheRelease)
{
    using Entry = int (MControl::*)(UINT, CPoint);
    const std::pair<Entry, Entry> buttons[] = { { &MControl::OnLButtonDown, &MControl::OnLButtonUp },
                                                { &MControl::OnRButtonDown, &MControl::OnRButtonUp } };
    root->addChild(1001, CRect(10, 10, 110, 110));
    root->addChild(1002, CRect(200, 10, 300, 110));
    for (const auto& button : buttons) {
        (root->*button.first)(MK_LBUTTON, CPoint(20, 20));
        root->OnMouseMove(MK_LBUTTON, CPoint(250, 50));
        (root->*button.second)(0, CPoint(250, 50));
        EXPECT_EQ(0, root->isPressed());
    }
    EXPECT_EQ("down:1001 move:1001 up:1001 rdown:1001 move:1001 rup:1001", log.summary());
}

// A move off the mouse child hands it over, still telling the old child; leave tracking
// follows the pointer.
TEST_F(Tree, MovesHandTheMouseChildOverAndTrackLeaving)
{
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
    EXPECT_EQ(1002u, root->notifications[0].id);
    EXPECT_EQ(3u, root->notifications[0].code);
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
    const std::function<void(MControl&)> deaden[] = { [](MControl& c) { c.SetRresponse(0); },
                                                      [](MControl& c) { c.SetVisible(0); },
                                                      [](MControl& c) { c.SetEnabled(0); } };
    for (const auto& makeInert : deaden) {
        log.clear();
        RecordingControl container(&top, 20, CRect(0, 0, 400, 300), log);
        container.addChild(1003, CRect(10, 10, 110, 110));
        makeInert(container);
        EXPECT_EQ(0, container.OnScroll(1, 1, CPoint(20, 20)));
        if (container.IsEnabled()) {
            EXPECT_EQ(0, container.OnLButtonDown(MK_LBUTTON, CPoint(20, 20)));
            EXPECT_EQ(0, container.OnMouseMove(0, CPoint(20, 20)));
        }
        EXPECT_EQ("", log.summary());
    }
}

// ---- keys

// A key descends along focus to the deepest focused child, which notifies code 14 (key,
// modifiers); an untaken key still notifies; a hidden focused child ends the descent.
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
    EXPECT_EQ("key:1002 key:1002", log.summary());
    ASSERT_EQ(2u, panel->notifications.size());
    const Notification& first = panel->notifications[0];
    EXPECT_EQ("1002 14 65 4", std::to_string(first.id) + " " + std::to_string(first.code) + " "
                                  + std::to_string(first.wParam) + " " + std::to_string(first.lParam));
    EXPECT_EQ(static_cast<UINT>(VK_F5), panel->notifications[1].wParam);
    edit->SetVisible(0);
    EXPECT_EQ(0, root->OnKeyDown('A', 1, 0));
    EXPECT_EQ(2, log.count("key", 1002));
}

// ---- timer

// The tick descends into visible children with the run-timer flag. On the GUI thread a
// child's handler may make the parent remove a sibling (the list lock is re-entrant): the
// walk neither skips the rest nor calls anything twice.
TEST_F(Tree, TimerDescendsIntoVisibleRunTimerChildrenAndSurvivesRemovals)
{
    auto* remover = new SiblingRemover(root, 1001, CRect(0, 0, 10, 10), log);
    root->GetControls().push_back(remover);
    remover->SetRunTimer(1);
    remover->victim = root->addChild(1002, CRect(0, 0, 10, 10));
    remover->victim->SetRunTimer(1);
    root->addChild(1003, CRect(0, 0, 10, 10));
    RecordingControl* hidden = root->addChild(1004, CRect(0, 0, 10, 10));
    hidden->SetRunTimer(1);
    hidden->SetVisible(0);
    root->addChild(1005, CRect(0, 0, 10, 10))->SetRunTimer(1);
    root->OnTimer();
    EXPECT_EQ("tick:10 tick:1001 tick:1005", log.summary());
}

// ---- repaint requests

// Which state changes ask the parent for a repaint, with which rectangle and flag.
TEST(MControlRepaint, StateChangesRequestWhatChanged)
{
    RecordingParent top;
    EventLog log;
    RecordingControl control(&top, 7, CRect(0, 0, 5, 5), log);
    control.SetRect(10, 20, 30, 40); // a width and a height; the union is asked for
    control.SetVisible(1);           // unchanged: nothing
    control.SetVisible(0);
    control.SetEnabled(0);           // invisible: nothing
    control.SetVisible(1, 0);        // no redraw asked
    control.SetVisible(0, 0);
    control.UpdateControl(1, 0);     // invisible, not forced: nothing
    control.UpdateControl(CRect(1, 1, 2, 2), 1, 1);
    control.UpdateAControl(1, 1);
    std::string requests;
    for (const RecordingParent::Update& update : top.updates)
        requests += std::to_string(update.rect.right) + "," + std::to_string(update.rect.bottom) + ":"
            + std::to_string(update.flag) + (update.control == &control ? " " : "? ");
    EXPECT_EQ("40,60:1 40,60:1 2,2:1 40,60:0 ", requests);
    EXPECT_EQ(CRect(10, 20, 40, 60), control.GetRect());
    EXPECT_EQ(CRect(0, 0, 40, 60), top.updates[0].rect);
}

TEST(MControlRepaint, SetUpdateMarksOnlyChildrenItCovers)
{
    RecordingParent top;
    EventLog log;
    RecordingControl parent(&top, 1, CRect(0, 0, 100, 100), log);
    RecordingControl* inside = parent.addChild(2, CRect(10, 10, 20, 20));
    RecordingControl* outside = parent.addChild(3, CRect(200, 200, 220, 220));
    inside->SetUpdate(1, 0);
    outside->SetUpdate(1, 0);
    parent.SetUpdate(0, 0);
    EXPECT_EQ(0, inside->GetUpdate());
    EXPECT_EQ(1, outside->GetUpdate());
}

TEST(MControlPosition, ResolvesTheThreeModes)
{
    RecordingParent top;
    EventLog log;
    RecordingControl control(&top, 1, CRect(), log);
    EXPECT_EQ(200, control.callPositionItem({ 2, 0, 150.0f }, 0, 200));
    EXPECT_EQ(40, control.callPositionItem({ 1, 1, 10.0f }, 0, 100));
    EXPECT_EQ(60, control.callPositionItem({ 1, 0, 10.9f }, 0, 100));
    EXPECT_EQ(95, control.callPositionItem({ 0, 1, 5.7f }, 0, 100));
    EXPECT_EQ(15, control.callPositionItem({ 0, 0, 5.0f }, 10, 100));
    // 33.3 % of 99 in single precision is 32.967 → 32.
    EXPECT_EQ(32, control.callPositionItem({ 2, 0, 33.3f }, 0, 99));
    EXPECT_EQ(0, control.callPositionItem({ 7, 0, 5.0f }, 10, 100));
}

// ---- tree

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
    // A press after the removal must not reach the deleted child.
    EXPECT_EQ(nullptr, root->GetMouseChild());
    root->OnLButtonDown(MK_LBUTTON, CPoint(20, 20));
    EXPECT_EQ(0, log.count("down", 1001));
}

// The walk stops at a dialog, at any parent that is not a control, and at a hidden ancestor.
TEST(MControlTree, IsParentVisibleStopsAtTheTop)
{
    EventLog log;
    RecordingParent dialog;
    dialog.m_className = L"MDialog";
    RecordingParent popup;
    popup.m_className = nullptr;
    RecordingControl top(&dialog, 1, CRect(), log);
    RecordingControl* child = top.addChild(2, CRect());
    RecordingControl underPopup(&popup, 3, CRect(), log);
    RecordingControl orphan(nullptr, 4, CRect(), log);
    EXPECT_EQ(1, child->IsParentVisible() + underPopup.IsParentVisible() + orphan.IsParentVisible() - 1);
    top.SetVisible(0, 0);
    EXPECT_EQ(0, child->IsParentVisible());
}

TEST(MControlTree, CopyTakesValuesButNoChildren)
{
    EventLog log;
    RecordingParent top;
    RecordingControl original(&top, 5, CRect(1, 2, 3, 4), log);
    original.addChild(6, CRect());
    {
        RecordingControl copy(original);
        EXPECT_EQ(CRect(1, 2, 3, 4), copy.GetRect());
        EXPECT_TRUE(copy.GetControls().empty());
    }
    // The copy's destruction left the original's child alone.
    ASSERT_EQ(1u, original.GetControls().size());
    EXPECT_EQ(6u, original.GetControls()[0]->GetControlID());
}

TEST(MControlTree, DrawPutsAreasBelowAndChildrenAboveInListOrder)
{
    EventLog log;
    RecordingParent top;
    RecordingControl parent(&top, 1, CRect(0, 0, 100, 100), log);
    parent.GetAreas().push_back(new RecordingControl(&parent, 2, CRect(0, 0, 50, 50), log));
    parent.addChild(3, CRect(0, 0, 10, 10));
    parent.addChild(4, CRect(500, 500, 510, 510));
    HDC dc = GetDC(nullptr);
    parent.Draw(dc, CRect(0, 0, 100, 100));
    ReleaseDC(nullptr, dc);
    EXPECT_EQ("draw:2 draw:1 draw:3", log.summary());
}

// Cursor names are matched exactly; the cursor is set only inside the rectangle.
TEST(MControlCursor, KnownNamesOnly)
{
    EventLog log;
    RecordingParent top;
    RecordingControl control(&top, 1, CRect(0, 0, 10, 10), log);
    control.SetCursorEx(L"Hand");
    EXPECT_EQ(0, control.OnControlSetCursor(0, CPoint(5, 5)));
    control.SetCursorEx(L"hand");
    EXPECT_EQ(1, control.OnControlSetCursor(0, CPoint(5, 5)));
    EXPECT_EQ(0, control.OnControlSetCursor(0, CPoint(50, 5)));
}
