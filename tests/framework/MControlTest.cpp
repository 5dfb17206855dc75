#include <gtest/gtest.h>

#include "RecordingControl.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

// A container (0,0)-(400,300) under a recording parent, with children added per case.
class Tree : public ::testing::Test {
protected:
    Tree() : root(new RecordingControl(&top, 10, CRect(0, 0, 400, 300), log)) {}
    ~Tree() override { delete root; }

    RecordingParent top;
    EventLog log;
    RecordingControl* root;
};

std::string eventsOf(const EventLog& log, const std::string& what)
{
    std::string out;
    for (const Event& event : log.events())
        if (event.what == what)
            out += (out.empty() ? "" : " ") + std::to_string(event.id);
    return out;
}

} // namespace

// ---- mouse routing

TEST_F(Tree, PressGoesToLaterOverlappingChild)
{
    root->addChild(1001, CRect(10, 10, 110, 110));
    root->addChild(1002, CRect(50, 50, 150, 150));
    root->OnLButtonDown(MK_LBUTTON, CPoint(60, 60));
    EXPECT_EQ("1002", eventsOf(log, "down"));
    EXPECT_EQ(root->GetControl(1002), root->GetMouseChild());
}

TEST_F(Tree, PressSkipsHiddenDisabledAndUnresponsiveChildren)
{
    root->addChild(1001, CRect(10, 10, 110, 110));
    root->addChild(1002, CRect(10, 10, 110, 110))->SetEnabled(0);
    root->addChild(1003, CRect(10, 10, 110, 110), 0);
    root->addChild(1004, CRect(10, 10, 110, 110))->SetVisible(0);
    root->OnLButtonDown(MK_LBUTTON, CPoint(20, 20));
    EXPECT_EQ("1001", eventsOf(log, "down"));
}

TEST_F(Tree, ReleaseAfterLeavingGoesToThePressedChild)
{
    root->addChild(1001, CRect(10, 10, 110, 110));
    root->addChild(1002, CRect(200, 10, 300, 110));
    root->OnMouseMove(0, CPoint(20, 20));
    root->OnLButtonDown(MK_LBUTTON, CPoint(20, 20));
    log.clear();
    // While pressed, moves over another child still go to the pressed one.
    root->OnMouseMove(MK_LBUTTON, CPoint(250, 50));
    EXPECT_EQ(root->GetControl(1001), root->GetMouseChild());
    root->OnLButtonUp(0, CPoint(250, 50));
    EXPECT_EQ("1001", eventsOf(log, "up"));
    EXPECT_EQ(0, log.count("move", 1002));
    EXPECT_EQ(0, root->isPressed());
}

TEST_F(Tree, MoveOffTheChildHandsTheMouseChildOver)
{
    root->addChild(1001, CRect(10, 10, 110, 110));
    root->addChild(1002, CRect(200, 10, 300, 110));
    root->OnMouseMove(0, CPoint(20, 20));
    EXPECT_EQ(root->GetControl(1001), root->GetMouseChild());
    log.clear();
    root->OnMouseMove(0, CPoint(250, 20));
    EXPECT_EQ(root->GetControl(1002), root->GetMouseChild());
    // The old child is told about the move that left it.
    EXPECT_EQ(1, log.count("move", 1001));
}

TEST_F(Tree, ScrollBarIdsGetUnshiftedPointsOthersShifted)
{
    root->scrollOffset = CPoint(0, 100);
    RecordingControl* bar = root->addChild(1, CRect(380, 0, 400, 300));
    RecordingControl* content = root->addChild(1001, CRect(10, 110, 110, 210));
    root->OnLButtonDown(MK_LBUTTON, CPoint(390, 20));
    ASSERT_EQ(1, log.count("down", 1));
    EXPECT_EQ(CPoint(390, 20), log.events().back().pt);
    root->OnLButtonUp(0, CPoint(390, 20));

    log.clear();
    root->OnLButtonDown(MK_LBUTTON, CPoint(20, 20));
    ASSERT_EQ(1, log.count("down", 1001));
    EXPECT_EQ(CPoint(20, 120), log.events().back().pt);
    (void)bar;
    (void)content;
}

TEST_F(Tree, DoubleClickOnAControlWithoutDblClkArrivesAsPress)
{
    root->addChild(1001, CRect(10, 10, 110, 110));
    root->OnLButtonDown(MK_LBUTTON, CPoint(20, 20));
    root->OnLButtonUp(0, CPoint(20, 20));
    root->OnLButtonDblClk(MK_LBUTTON, CPoint(20, 20));
    EXPECT_EQ("1001 1001", eventsOf(log, "down"));
    EXPECT_EQ("", eventsOf(log, "dblclk"));
}

TEST_F(Tree, DoubleClickNotifiesCodeThreeWhenAsked)
{
    RecordingControl* child = root->addChild(1001, CRect(10, 10, 110, 110));
    child->setDblClk(1);
    child->setDblClkNotify(1);
    root->OnLButtonDown(MK_LBUTTON, CPoint(20, 20));
    root->OnLButtonDblClk(MK_LBUTTON, CPoint(20, 20));
    EXPECT_EQ("1001", eventsOf(log, "dblclk"));
    ASSERT_EQ(1u, root->notifications.size());
    EXPECT_EQ(1001u, root->notifications[0].id);
    EXPECT_EQ(3u, root->notifications[0].code);
}

TEST_F(Tree, RightButtonFollowsTheSameRoad)
{
    root->addChild(1001, CRect(10, 10, 110, 110));
    root->OnRButtonDown(MK_RBUTTON, CPoint(20, 20));
    root->OnRButtonUp(0, CPoint(300, 200));
    EXPECT_EQ("1001", eventsOf(log, "rdown"));
    EXPECT_EQ("1001", eventsOf(log, "rup"));
}

TEST_F(Tree, HiddenOrUnresponsiveContainerTakesNothing)
{
    root->addChild(1001, CRect(10, 10, 110, 110));
    root->SetRresponse(0);
    EXPECT_EQ(0, root->OnLButtonDown(MK_LBUTTON, CPoint(20, 20)));
    EXPECT_EQ(0, root->OnMouseMove(0, CPoint(20, 20)));
    EXPECT_TRUE(log.events().empty());
}

TEST_F(Tree, LeaveTrackingFollowsThePointer)
{
    RecordingControl* child = root->addChild(1001, CRect(10, 10, 110, 110));
    child->setLeaveTracking(1);
    EXPECT_EQ(1, child->isOutside());
    root->OnMouseMove(0, CPoint(20, 20));
    EXPECT_EQ(0, child->isOutside());
    root->OnMouseMove(0, CPoint(300, 200));
    EXPECT_EQ(1, child->isOutside());
}

// ---- wheel

TEST_F(Tree, WheelGoesToTheChildUnderThePoint)
{
    root->answer = 0;
    root->addChild(1001, CRect(10, 10, 110, 110));
    root->addChild(1002, CRect(200, 10, 300, 110));
    EXPECT_EQ(1, root->OnScroll(1, 1, CPoint(250, 50)));
    EXPECT_EQ("10 1002", eventsOf(log, "wheel"));
}

TEST_F(Tree, WheelOutsideOrOnDisabledControlIsNotTaken)
{
    root->addChild(1001, CRect(10, 10, 110, 110));
    EXPECT_EQ(0, root->OnScroll(1, 1, CPoint(500, 500)));
    root->SetEnabled(0);
    EXPECT_EQ(0, root->OnScroll(1, 1, CPoint(20, 20)));
    EXPECT_TRUE(log.events().empty());
}

// ---- keys

TEST_F(Tree, KeyDescendsAlongFocusAndNotifiesCode14)
{
    RecordingControl* panel = root->addChild(1001, CRect(10, 10, 200, 200));
    RecordingControl* edit = panel->addChild(1002, CRect(20, 20, 100, 50));
    panel->setFocused(1);
    edit->setFocused(1);
    edit->setKeyNotify(1);
    edit->keyAnswer = 1;
    EXPECT_EQ(1, root->OnKeyDown('A', 1, 0x4));
    EXPECT_EQ("1002", eventsOf(log, "key"));
    ASSERT_EQ(1u, panel->notifications.size());
    EXPECT_EQ(1002u, panel->notifications[0].id);
    EXPECT_EQ(14u, panel->notifications[0].code);
    EXPECT_EQ(static_cast<UINT>('A'), panel->notifications[0].wParam);
    EXPECT_EQ(0x4, panel->notifications[0].lParam);
}

TEST_F(Tree, UntakenKeyStillNotifiesWhenAsked)
{
    root->setKeyNotify(1);
    EXPECT_EQ(0, root->OnKeyDown(VK_F5, 1, 0));
    ASSERT_EQ(1u, top.notifications.size());
    EXPECT_EQ(14u, top.notifications[0].code);
}

TEST_F(Tree, KeyStopsAtAHiddenFocusedChild)
{
    RecordingControl* child = root->addChild(1001, CRect(10, 10, 100, 100));
    child->setFocused(1);
    child->keyAnswer = 1;
    child->SetVisible(0);
    EXPECT_EQ(0, root->OnKeyDown('A', 1, 0));
    EXPECT_EQ(0, log.count("key", 1001));
}

// ---- timer

TEST_F(Tree, TimerDescendsIntoVisibleRunTimerChildrenOnly)
{
    root->addChild(1001, CRect(0, 0, 10, 10))->SetRunTimer(1);
    root->addChild(1002, CRect(0, 0, 10, 10));
    RecordingControl* hidden = root->addChild(1003, CRect(0, 0, 10, 10));
    hidden->SetRunTimer(1);
    hidden->SetVisible(0);
    root->OnTimer();
    EXPECT_EQ("10 1001", eventsOf(log, "tick"));
}

// ---- repaint requests

TEST(MControlRepaint, SetRectTakesWidthAndHeightAndRequestsTheUnion)
{
    RecordingParent top;
    EventLog log;
    RecordingControl control(&top, 7, CRect(0, 0, 5, 5), log);
    control.SetRect(10, 20, 30, 40);
    EXPECT_EQ(CRect(10, 20, 40, 60), control.GetRect());
    ASSERT_EQ(1u, top.updates.size());
    EXPECT_EQ(CRect(0, 0, 40, 60), top.updates[0].rect);
    EXPECT_EQ(1, top.updates[0].flag);
    EXPECT_EQ(&control, top.updates[0].control);
}

TEST(MControlRepaint, UnchangedOrInvisibleStateSendsNoRequest)
{
    RecordingParent top;
    EventLog log;
    RecordingControl control(&top, 7, CRect(0, 0, 5, 5), log);
    control.SetVisible(1);
    EXPECT_TRUE(top.updates.empty());
    control.SetVisible(0);
    EXPECT_EQ(1u, top.updates.size());
    control.SetEnabled(0);
    EXPECT_EQ(0, control.IsEnabled());
    EXPECT_EQ(1u, top.updates.size());
    control.SetVisible(1, 0);
    EXPECT_EQ(1u, top.updates.size());
}

TEST(MControlRepaint, UpdateControlHonoursForceAndAnimateFlag)
{
    RecordingParent top;
    EventLog log;
    RecordingControl control(&top, 7, CRect(0, 0, 5, 5), log);
    control.SetVisible(0, 0);
    control.UpdateControl(1, 0);
    EXPECT_TRUE(top.updates.empty());
    control.UpdateControl(CRect(1, 1, 2, 2), 1, 1);
    ASSERT_EQ(1u, top.updates.size());
    EXPECT_EQ(CRect(1, 1, 2, 2), top.updates[0].rect);
    control.UpdateAControl(1, 1);
    ASSERT_EQ(2u, top.updates.size());
    EXPECT_EQ(0, top.updates[1].flag);
}

TEST(MControlRepaint, SetUpdateMarksOnlyChildrenItCovers)
{
    RecordingParent top;
    EventLog log;
    RecordingControl parent(&top, 1, CRect(0, 0, 100, 100), log);
    RecordingControl* inside = parent.addChild(2, CRect(10, 10, 20, 20));
    RecordingControl* outside = parent.addChild(3, CRect(200, 200, 220, 220));
    HDC screen = GetDC(nullptr);
    inside->UpdateMemDC(screen, 10, 10);
    outside->UpdateMemDC(screen, 10, 10);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(1, inside->GetUpdate());
    parent.SetUpdate(0, 0);
    EXPECT_EQ(0, inside->GetUpdate());
    EXPECT_EQ(1, outside->GetUpdate());
}

// ---- position rules

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

TEST_F(Tree, GetControlSearchesDepthFirstControlsThenAreas)
{
    RecordingControl* panel = root->addChild(1001, CRect(0, 0, 10, 10));
    RecordingControl* deep = panel->addChild(1005, CRect(0, 0, 10, 10));
    EXPECT_EQ(deep, root->GetControl(1005));
    EXPECT_EQ(nullptr, root->GetControl(4242));
}

TEST_F(Tree, RemoveControlDeletesOnlyItsOwnChildAndClearsTheMouseChild)
{
    RecordingControl* child = root->addChild(1001, CRect(10, 10, 110, 110));
    root->OnMouseMove(0, CPoint(20, 20));
    ASSERT_EQ(child, root->GetMouseChild());
    RecordingControl stranger(&top, 99, CRect(), log);
    EXPECT_EQ(0, root->RemoveControl(&stranger));
    EXPECT_EQ(1u, root->GetControls().size());
    EXPECT_EQ(0, root->RemoveControl(child));
    EXPECT_TRUE(root->GetControls().empty());
    EXPECT_EQ(nullptr, root->GetMouseChild());
    // A press after the removal must not reach the deleted child.
    root->OnLButtonDown(MK_LBUTTON, CPoint(20, 20));
    EXPECT_EQ(0, log.count("down", 1001));
}

TEST(MControlTree, IsParentVisibleStopsAtTheTop)
{
    EventLog log;
    RecordingParent dialog;
    dialog.m_className = L"MDialog";
    RecordingControl top(&dialog, 1, CRect(), log);
    RecordingControl* child = top.addChild(2, CRect());
    EXPECT_EQ(1, child->IsParentVisible());
    top.SetVisible(0, 0);
    EXPECT_EQ(0, child->IsParentVisible());

    // A pop-up parent answers no class name and is not a control.
    RecordingParent popup;
    popup.m_className = nullptr;
    RecordingControl underPopup(&popup, 3, CRect(), log);
    EXPECT_EQ(1, underPopup.IsParentVisible());
    RecordingControl orphan(nullptr, 4, CRect(), log);
    EXPECT_EQ(0, orphan.IsParentVisible());
}

TEST(MControlTree, CopyTakesValuesButNoChildren)
{
    EventLog log;
    RecordingParent top;
    RecordingControl original(&top, 5, CRect(1, 2, 3, 4), log);
    original.addChild(6, CRect());
    original.SetTooltip(L"tip");
    {
        RecordingControl copy(original);
        EXPECT_EQ(5u, copy.GetControlID());
        EXPECT_EQ(CRect(1, 2, 3, 4), copy.GetRect());
        EXPECT_EQ(CString(L"tip"), copy.GetTooltip());
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
    auto* area = new RecordingControl(&parent, 2, CRect(0, 0, 50, 50), log);
    parent.GetAreas().push_back(area);
    parent.addChild(3, CRect(0, 0, 10, 10));
    parent.addChild(4, CRect(500, 500, 510, 510));
    HDC dc = GetDC(nullptr);
    parent.Draw(dc, CRect(0, 0, 100, 100));
    ReleaseDC(nullptr, dc);
    EXPECT_EQ("draw:2 draw:1 draw:3", log.summary());
}

TEST(MControlCursor, KnownNamesOnly)
{
    EventLog log;
    RecordingParent top;
    RecordingControl control(&top, 1, CRect(0, 0, 10, 10), log);
    EXPECT_EQ(0, control.OnControlSetCursor(0, CPoint(5, 5)));
    control.SetCursorEx(L"Hand");
    EXPECT_EQ(0, control.OnControlSetCursor(0, CPoint(5, 5)));
    control.SetCursorEx(L"hand");
    EXPECT_EQ(1, control.OnControlSetCursor(0, CPoint(5, 5)));
    EXPECT_EQ(0, control.OnControlSetCursor(0, CPoint(50, 5)));
}
