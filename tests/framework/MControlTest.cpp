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

// Cursor names are matched exactly; the cursor is set only inside the rectangle.
TEST_F(Tree, CursorNamesAreKnownNamesOnly)
{
    RecordingControl* control = root->addChild(1, CRect(0, 0, 10, 10));
    control->SetCursorEx(L"Hand");
    EXPECT_EQ(0, control->OnControlSetCursor(0, CPoint(5, 5)));
    control->SetCursorEx(L"hand");
    EXPECT_EQ(1, control->OnControlSetCursor(0, CPoint(5, 5)));
    EXPECT_EQ(0, control->OnControlSetCursor(0, CPoint(50, 5)));
}

// ---- keys and timer

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
    EXPECT_EQ("1002:14:65:4 1002:14:116:0", noteLine(panel->notifications));
    edit->SetVisible(0);
    EXPECT_EQ(0, root->OnKeyDown('A', 1, 0));
    EXPECT_EQ("key:1002 key:1002", log.summary());
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

// Modes 0 to 2 from the start or the end; 33.3 % of 99 in single precision is 32.967 -> 32;
// an unknown mode gives 0.
TEST_F(Tree, PositionItemResolvesTheThreeModes)
{
    const struct { FS_POSITION_ITEM item; int start, end, expected; } cases[] = {
        { { 2, 0, 150.0f }, 0, 200, 200 }, { { 1, 1, 10.0f }, 0, 100, 40 }, { { 1, 0, 10.9f }, 0, 100, 60 }, { { 0, 1, 5.7f }, 0, 100, 95 },
        { { 0, 0, 5.0f }, 10, 100, 15 },   { { 2, 0, 33.3f }, 0, 99, 32 },  { { 7, 0, 5.0f }, 10, 100, 0 } };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, root->callPositionItem(c.item, c.start, c.end)) << c.item.value;
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
