#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordingControl.h"
#include "TestWindow.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

// Writes its id into a shared list when it is destroyed.
class DyingControl : public RecordingControl {
public:
    DyingControl(MObject* parent, UINT id, std::vector<UINT>& graveyard, EventLog& log)
        : RecordingControl(parent, id, CRect(0, 0, 10, 10), log), m_graveyard(graveyard) {}
    ~DyingControl() override { m_graveyard.push_back(GetControlID()); }

private:
    std::vector<UINT>& m_graveyard;
};

class BoundManager : public ::testing::Test {
protected:
    BoundManager() { manager.Init(window.hwnd(), nullptr); }

    RecordingControl* add(UINT id, int kind = 1, int tabStop = 1)
    {
        auto* control = new RecordingControl(&top, id, CRect(0, 0, 50, 50), log);
        control->SetManager(&manager);
        control->SetTabStop(tabStop);
        manager.AppendControl(control, kind);
        return control;
    }

    TestWindow window;
    RecordingParent top;
    EventLog log;
    PaintManager manager;
};

} // namespace

TEST(PaintManagerBinding, NullOrDeadWindowLeavesItUnbound)
{
    PaintManager manager;
    manager.Init(nullptr, nullptr);
    EXPECT_EQ(nullptr, manager.GetPaintWnd());
    HWND dead = TestWindow().hwnd();
    manager.Init(dead, nullptr);
    EXPECT_EQ(nullptr, manager.GetPaintWnd());
    EXPECT_EQ(nullptr, manager.GetPaintDC());
    EXPECT_EQ(0u, manager.GetScrollVID());
    int width = -1, height = -1;
    manager.GetClientSize(width, height);
    EXPECT_EQ(0, width);
    EXPECT_EQ(0, height);
    EXPECT_EQ(0, manager.SendMessageW(WM_USER, 0, 0));
    EXPECT_EQ(nullptr, manager.SetCapture());
}

TEST_F(BoundManager, InitTakesTheWindowDCAndScrollImages)
{
    EXPECT_EQ(window.hwnd(), manager.GetPaintWnd());
    EXPECT_NE(nullptr, manager.GetPaintDC());
    EXPECT_EQ(102u, manager.GetScrollVID());
    EXPECT_EQ(101u, manager.GetScrollHID());
    int width = 0, height = 0;
    manager.GetClientSize(width, height);
    EXPECT_EQ(400, width);
    EXPECT_EQ(300, height);
}

TEST_F(BoundManager, PostMessageDeliversAtOnceAndReturnsTheResult)
{
    window.onMessage([](UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
        if (msg != WM_APP + 7)
            return false;
        result = static_cast<LRESULT>(wParam) * 2;
        return true;
    });
    EXPECT_EQ(42, manager.PostMessageW(WM_APP + 7, 21, 0));
    EXPECT_EQ(10, manager.SendMessageW(WM_APP + 7, 5, 0));
}

TEST_F(BoundManager, CaptureGoesToTheBoundWindow)
{
    manager.SetCapture();
    EXPECT_EQ(window.hwnd(), GetCapture());
    EXPECT_TRUE(manager.ReleaseCapture());
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(0, manager.IsCaptured());
}

TEST_F(BoundManager, DestroyDataDeletesAreasBeforeControlsOnceOnly)
{
    std::vector<UINT> graveyard;
    for (UINT id : { 1u, 2u }) {
        auto* control = new DyingControl(&top, id, graveyard, log);
        control->SetManager(&manager);
        manager.AppendControl(control, 1);
    }
    auto* area = new DyingControl(&top, 3, graveyard, log);
    area->SetManager(&manager);
    manager.AppendControl(area, 0);

    manager.DestroyData();
    EXPECT_EQ((std::vector<UINT> { 3, 1, 2 }), graveyard);
    EXPECT_EQ(nullptr, manager.GetPaintDC());
    manager.DestroyData();
    EXPECT_EQ(3u, graveyard.size());
}

TEST_F(BoundManager, StaysUsableAfterDestroyData)
{
    manager.DestroyData();
    // The locks live as long as the paint manager: binding again and using the lists works.
    manager.Init(window.hwnd(), nullptr);
    RecordingControl* control = add(5);
    EXPECT_EQ(control, manager.GetControl(5));
    manager.RemoveControl(control);
    EXPECT_EQ(nullptr, manager.GetControl(5));
}

TEST_F(BoundManager, RemoveControlLeavesAreasAlone)
{
    RecordingControl* area = add(1, 0);
    add(2, 1);
    manager.RemoveControl(area);
    EXPECT_EQ(area, manager.GetControl(1));
    EXPECT_EQ(1u, manager.GetAreas().size());
}

TEST_F(BoundManager, GetControlSearchesControlsThenAreasAndSubtrees)
{
    RecordingControl* inArea = add(7, 0);
    RecordingControl* panel = add(8, 1);
    RecordingControl* nested = panel->addChild(9, CRect());
    RecordingControl* sameIdInControls = add(7, 1);
    EXPECT_EQ(sameIdInControls, manager.GetControl(7));
    EXPECT_EQ(nested, manager.GetControl(9));
    EXPECT_EQ(nullptr, manager.GetControl(99));
    (void)inArea;
}

TEST_F(BoundManager, FocusChangeTellsBothControls)
{
    RecordingControl* a = add(1);
    RecordingControl* b = add(2);
    manager.SetFocusControl(a);
    manager.SetFocusControl(a);
    manager.SetFocusControl(b);
    manager.SetFocusControl(nullptr);
    EXPECT_EQ("focus:1 blur:1 focus:2 blur:2", log.summary());
    EXPECT_EQ(nullptr, manager.GetFocusControl());
}

TEST_F(BoundManager, TabOrderSkipsUnfocusableAndWraps)
{
    RecordingControl* a = add(1);
    add(2, 1, 0);
    RecordingControl* c = add(3);
    RecordingControl* d = add(4);
    d->SetVisible(0, 0);

    EXPECT_EQ(a, manager.GetNextFocusableControl());
    manager.SetFocusControl(a);
    EXPECT_EQ(c, manager.GetNextFocusableControl());
    manager.SetFocusControl(c);
    EXPECT_EQ(a, manager.GetNextFocusableControl());
    EXPECT_EQ(a, manager.GetPrevFocusableControl());
    manager.SetFocusControl(a);
    EXPECT_EQ(c, manager.GetPrevFocusableControl());
}

TEST_F(BoundManager, TabOrderGivesNothingForFocusInsideAPanel)
{
    add(1);
    RecordingControl* panel = add(2);
    RecordingControl* inner = panel->addChild(3, CRect());
    manager.SetFocusControl(inner);
    EXPECT_EQ(nullptr, manager.GetNextFocusableControl());
    EXPECT_EQ(nullptr, manager.GetPrevFocusableControl());
}

TEST_F(BoundManager, DeletedControlsLeaveNoFocusBehind)
{
    RecordingControl* panel = add(1);
    RecordingControl* inner = panel->addChild(2, CRect(0, 0, 10, 10));
    inner->OnLButtonDown(MK_LBUTTON, CPoint(5, 5));
    ASSERT_EQ(inner, manager.GetFocusControl());
    // The panel removes its child while the child holds the window's focus.
    panel->RemoveControl(inner);
    EXPECT_EQ(nullptr, manager.GetFocusControl());

    RecordingControl* top2 = add(3);
    manager.SetFocusControl(top2);
    manager.ClearControls();
    EXPECT_EQ(nullptr, manager.GetFocusControl());
}

TEST_F(BoundManager, PressOnAControlMakesItTheFocusControl)
{
    RecordingControl* a = add(1);
    RecordingControl* b = add(2);
    manager.SetFocusControl(a);
    log.clear();
    b->OnLButtonDown(MK_LBUTTON, CPoint(5, 5));
    EXPECT_EQ(b, manager.GetFocusControl());
    EXPECT_EQ("blur:1 focus:2 down:2", log.summary());
    EXPECT_EQ(1, b->IsFocusControl());
    EXPECT_EQ(0, a->IsFocusControl());
}

TEST_F(BoundManager, ACopyIsUnboundAndOwnsNothing)
{
    std::vector<UINT> graveyard;
    auto* control = new DyingControl(&top, 1, graveyard, log);
    manager.AppendControl(control, 1);
    manager.SetBackColor(RGB(1, 2, 3), RGB(4, 5, 6));
    {
        PaintManager copy(manager);
        EXPECT_TRUE(copy.GetControls().empty());
        EXPECT_EQ(nullptr, copy.GetPaintDC());
    }
    EXPECT_TRUE(graveyard.empty());
    EXPECT_EQ(control, manager.GetControl(1));
    manager.ClearControls();
    EXPECT_EQ((std::vector<UINT> { 1 }), graveyard);
}

TEST_F(BoundManager, MissingBackgroundImageFails)
{
    EXPECT_EQ(0, manager.LoadBKImage(L"no-such-image.png"));
    EXPECT_EQ(0, manager.LoadBKImage(4242, L"PNG"));
}

TEST_F(BoundManager, SizeLimitsAndSettingsAreKept)
{
    manager.SetWindowMixSize(320, 200);
    int width = 0, height = 0;
    manager.GetWindowMinSize(width, height);
    EXPECT_EQ(320, width);
    EXPECT_EQ(200, height);
    manager.GetWindowManSize(width, height);
    EXPECT_EQ(320, width);
    manager.SetScrollResID(7, 8);
    EXPECT_EQ(7u, manager.GetScrollVID());
    EXPECT_EQ(8u, manager.GetScrollHID());
    EXPECT_EQ(0x808080u, manager.GetDefaultEnabledColor());
}
