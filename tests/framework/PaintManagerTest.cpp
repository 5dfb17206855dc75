#include <gtest/gtest.h>

#include <memory>
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

    template <class Control>
    Control* adopt(Control* control, int kind)
    {
        control->SetManager(&manager);
        manager.AppendControl(control, kind);
        return control;
    }
    RecordingControl* add(UINT id, int kind = 1, int tabStop = 1)
    {
        auto* control = new RecordingControl(&top, id, CRect(0, 0, 50, 50), log);
        control->SetTabStop(tabStop);
        return adopt(control, kind);
    }
    DyingControl* addDying(UINT id, int kind, std::vector<UINT>& graveyard)
    {
        return adopt(new DyingControl(&top, id, graveyard, log), kind);
    }

    TestWindow window;
    RecordingParent top;
    EventLog log;
    PaintManager manager;
};

} // namespace

TEST(PaintManagerBinding, OnlyALiveWindowBindsItAndThenTakesItsDCScrollImagesAndMessages)
{
    TestWindow live;
    live.onMessage([](UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
        result = static_cast<LRESULT>(wParam) * 2;
        return msg == WM_APP + 7;
    });
    for (HWND window : { HWND(nullptr), TestWindow().hwnd(), live.hwnd() }) {
        SCOPED_TRACE(window == live.hwnd() ? "live" : window ? "destroyed" : "none");
        PaintManager manager;
        manager.Init(window, nullptr);
        const bool bound = window == live.hwnd();
        EXPECT_EQ(bound ? window : nullptr, manager.GetPaintWnd());
        EXPECT_EQ(bound, manager.GetPaintDC() != nullptr);
        EXPECT_EQ(bound ? CSize(102, 101) : CSize(), CSize(manager.GetScrollVID(), manager.GetScrollHID()));
        int width = -1, height = -1;
        manager.GetClientSize(width, height);
        EXPECT_EQ(bound ? CSize(400, 300) : CSize(), CSize(width, height));
        // Posting delivers at once.
        EXPECT_EQ(bound ? 42 : 0, manager.PostMessageW(WM_APP + 7, 21, 0));
        manager.SetCapture();
        EXPECT_EQ(bound ? window : nullptr, GetCapture());
        EXPECT_EQ(bound, manager.ReleaseCapture() != FALSE);
        EXPECT_EQ(nullptr, GetCapture());
        EXPECT_EQ(0, manager.IsCaptured());
        EXPECT_EQ(0, manager.LoadBKImage(L"no-such-image.png") + manager.LoadBKImage(4242, L"PNG"));
    }
}

TEST_F(BoundManager, DestroyDataDeletesAreasBeforeControlsOnceAndLeavesItUsable)
{
    std::vector<UINT> graveyard;
    addDying(1, 1, graveyard);
    addDying(2, 1, graveyard);
    addDying(3, 0, graveyard);
    manager.DestroyData();
    EXPECT_EQ((std::vector<UINT> { 3, 1, 2 }), graveyard);
    EXPECT_EQ(nullptr, manager.GetPaintDC());
    manager.DestroyData();
    EXPECT_EQ(3u, graveyard.size());
    // The locks live as long as the paint manager: binding again and using the lists works.
    manager.Init(window.hwnd(), nullptr);
    RecordingControl* control = add(5);
    EXPECT_EQ(control, manager.GetControl(5));
    manager.RemoveControl(control);
    EXPECT_EQ(nullptr, manager.GetControl(5));
}

TEST_F(BoundManager, LookupSearchesControlsThenAreasAndSubtreesRemovalOnlyControls)
{
    RecordingControl* inArea = add(7, 0);
    RecordingControl* panel = add(8, 1);
    RecordingControl* nested = panel->addChild(9, CRect());
    RecordingControl* sameIdInControls = add(7, 1);
    EXPECT_EQ(sameIdInControls, manager.GetControl(7));
    EXPECT_EQ(nested, manager.GetControl(9));
    EXPECT_EQ(nullptr, manager.GetControl(99));
    manager.RemoveControl(inArea);
    ASSERT_EQ(1u, manager.GetAreas().size());
    EXPECT_EQ(inArea, manager.GetAreas()[0]);
}

TEST_F(BoundManager, FocusChangesTellBothControlsAndDeletedControlsTakeTheirFocusAlong)
{
    RecordingControl* a = add(1);
    RecordingControl* b = add(2);
    manager.SetFocusControl(a);
    manager.SetFocusControl(a);
    manager.SetFocusControl(b);
    manager.SetFocusControl(nullptr);
    a->OnLButtonDown(MK_LBUTTON, CPoint(5, 5));
    EXPECT_EQ("focus:1 blur:1 focus:2 blur:2 focus:1 down:1", log.summary());
    EXPECT_EQ(1, a->IsFocusControl());
    EXPECT_EQ(0, b->IsFocusControl());

    RecordingControl* inner = b->addChild(3, CRect(0, 0, 10, 10));
    inner->OnLButtonDown(MK_LBUTTON, CPoint(5, 5));
    ASSERT_EQ(inner, manager.GetFocusControl());
    // The panel removes its child while the child holds the window's focus.
    b->RemoveControl(inner);
    EXPECT_EQ(nullptr, manager.GetFocusControl());
    manager.SetFocusControl(a);
    manager.ClearControls();
    EXPECT_EQ(nullptr, manager.GetFocusControl());
}

TEST_F(BoundManager, TabOrderSkipsUnfocusableWrapsAndGivesNothingInsideAPanel)
{
    RecordingControl* a = add(1);
    add(2, 1, 0);
    RecordingControl* c = add(3);
    add(4)->SetVisible(0, 0);
    struct Step {
        MControl* focus;
        MControl* next;
        MControl* previous;
    };
    for (const Step& step : { Step { nullptr, a, c }, Step { a, c, c }, Step { c, a, a } }) {
        manager.SetFocusControl(step.focus);
        EXPECT_EQ(step.next, manager.GetNextFocusableControl());
        manager.SetFocusControl(step.focus);
        EXPECT_EQ(step.previous, manager.GetPrevFocusableControl());
    }
    manager.SetFocusControl(c->addChild(5, CRect()));
    EXPECT_EQ(nullptr, manager.GetNextFocusableControl());
    EXPECT_EQ(nullptr, manager.GetPrevFocusableControl());
}

TEST_F(BoundManager, ACopyIsUnboundAndOwnsNothing)
{
    std::vector<UINT> graveyard;
    DyingControl* control = addDying(1, 1, graveyard);
    MWindow owner;
    manager.Init(window.hwnd(), &owner);
    {
        PaintManager copy(manager);
        EXPECT_TRUE(copy.GetControls().empty());
        EXPECT_TRUE(!copy.GetPaintDC() && !copy.GetPaintWnd() && !copy.GetMDialog());
        // Unbound, any thread is its window's thread, and nothing goes to the original window.
        EXPECT_TRUE(copy.IsGuiThread());
        EXPECT_EQ(0, copy.SendMessageW(WM_NULL, 0, 0));
    }
    EXPECT_TRUE(graveyard.empty());
    EXPECT_EQ(control, manager.GetControl(1));
    manager.ClearControls();
    EXPECT_EQ((std::vector<UINT> { 1 }), graveyard);
}

namespace {
// Keeps a copy of a child as a child of its own: the copy points at the child's paint
// manager without ever having been given it.
class CopyingControl : public RecordingControl {
public:
    using RecordingControl::RecordingControl;
    MControl* addCopyOf(const RecordingControl& child)
    {
        auto* copy = new RecordingControl(child);
        ScopedLock lock(m_controlsLock);
        m_controls->push_back(copy);
        return copy;
    }
};
} // namespace

TEST(CallerOwnedControls, ForgetAPaintManagerThatGoesFirstWithTheirWholeSubtree)
{
    EventLog log;
    RecordingParent top;
    CopyingControl owned(&top, 1, CRect(0, 0, 50, 50), log);
    auto window = std::make_unique<MDialog>();
    window->Create(nullptr, L"owner", WS_POPUP, 0, CRect(0, 0, 100, 100));
    PaintManager* manager = window->GetPaintManager();
    owned.SetManager(manager);
    RecordingControl* child = owned.addChild(2, CRect(0, 0, 10, 10));
    RecordingControl* grandchild = child->addChild(3, CRect());
    MControl* copy = owned.addCopyOf(*grandchild);
    ASSERT_EQ(manager, copy->GetManager());
    window->DestroyWindow();
    window.reset();
    for (const MControl* control : std::initializer_list<MControl*> { &owned, child, grandchild, copy })
        EXPECT_EQ(nullptr, control->GetManager()) << control->GetControlID();
    // Going now must not reach the freed paint manager.
    owned.RemoveControl(child);
    EXPECT_EQ((std::vector<MControl*> { copy }), owned.GetControls());
}
