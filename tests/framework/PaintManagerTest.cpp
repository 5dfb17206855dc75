// The paint manager's binding to its window, its lists of controls and areas, focus and tab
// order, and who owns what when it is copied or goes first.
#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

#include "BoundWindow.h"

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

class BoundManager : public ::testing::Test, public BoundWindow<> {
protected:
    RecordingControl* addTabStop(UINT id, int kind = 1, int tabStop = 1)
    {
        RecordingControl* control = add(id, CRect(0, 0, 50, 50), kind);
        control->SetTabStop(tabStop);
        return control;
    }
    DyingControl* addDying(UINT id, int kind = 1) { return adopt(manager, new DyingControl(&top, id, graveyard, log), kind); }

    std::vector<UINT> graveyard;
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
        const bool bound = window == live.hwnd();
        PaintManager manager;
        manager.Init(window, nullptr);
        int width = -1, height = -1;
        manager.GetClientSize(width, height);
        // Window and DC taken, scroll images, client size, a posted message delivered at once.
        const std::vector<long> state { manager.GetPaintWnd() != nullptr, manager.GetPaintDC() != nullptr, long(manager.GetScrollVID()),
                                        long(manager.GetScrollHID()), width, height, manager.PostMessageW(WM_APP + 7, 21, 0) };
        const std::vector<long> expected = bound ? std::vector<long> { 1, 1, 102, 101, 400, 300, 42 } : std::vector<long>(7, 0);
        manager.SetCapture();
        EXPECT_EQ(bound ? window : nullptr, GetCapture());
        EXPECT_EQ(bound, manager.ReleaseCapture() != FALSE);
        EXPECT_EQ(expected, state) << window;
        EXPECT_EQ(nullptr, GetCapture());
        EXPECT_EQ(0, manager.IsCaptured() + manager.LoadBKImage(L"no-such-image.png") + manager.LoadBKImage(4242, L"PNG"));
    }
}

TEST_F(BoundManager, DestroyDataDeletesAreasBeforeControlsOnceAndLeavesItUsable)
{
    addDying(1);
    addDying(2);
    addDying(3, 0);
    manager.DestroyData();
    EXPECT_EQ(nullptr, manager.GetPaintDC());
    manager.DestroyData();
    EXPECT_EQ((std::vector<UINT> { 3, 1, 2 }), graveyard);
    // The locks live as long as the paint manager: binding again and using the lists works.
    manager.Init(window.hwnd(), nullptr);
    RecordingControl* control = addTabStop(5);
    EXPECT_EQ(control, manager.GetControl(5));
    manager.RemoveControl(control);
    EXPECT_EQ(nullptr, manager.GetControl(5));
}

TEST_F(BoundManager, LookupSearchesControlsThenAreasAndSubtreesRemovalOnlyControls)
{
    RecordingControl* inArea = addTabStop(7, 0);
    RecordingControl* nested = addTabStop(8)->addChild(9, CRect());
    RecordingControl* sameIdInControls = addTabStop(7);
    EXPECT_EQ((std::vector<MControl*> { sameIdInControls, nested, nullptr }),
              (std::vector<MControl*> { manager.GetControl(7), manager.GetControl(9), manager.GetControl(99) }));
    manager.RemoveControl(inArea);
    EXPECT_EQ((std::vector<MControl*> { inArea }), manager.GetAreas());
}

TEST_F(BoundManager, FocusChangesTellBothControlsAndDeletedControlsTakeTheirFocusAlong)
{
    RecordingControl* a = addTabStop(1);
    RecordingControl* b = addTabStop(2);
    for (MControl* focus : std::initializer_list<MControl*> { a, a, b, nullptr })
        manager.SetFocusControl(focus);
    a->OnLButtonDown(MK_LBUTTON, CPoint(5, 5));
    EXPECT_EQ("focus:1 blur:1 focus:2 blur:2 focus:1 down:1", log.summary());
    EXPECT_EQ((std::vector<int> { 1, 0 }), (std::vector<int> { a->IsFocusControl(), b->IsFocusControl() }));

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
    RecordingControl* a = addTabStop(1);
    addTabStop(2, 1, 0);
    RecordingControl* c = addTabStop(3);
    addTabStop(4)->SetVisible(0, 0);
    // From each focus: the next, then the previous.
    for (const auto& [focus, next, previous] : { std::tuple<MControl*, MControl*, MControl*> { nullptr, a, c }, { a, c, c }, { c, a, a },
                                                 { c->addChild(5, CRect()), nullptr, nullptr } }) {
        manager.SetFocusControl(focus);
        EXPECT_EQ(next, manager.GetNextFocusableControl());
        manager.SetFocusControl(focus);
        EXPECT_EQ(previous, manager.GetPrevFocusableControl());
    }
}

TEST_F(BoundManager, ACopyIsUnboundAndOwnsNothing)
{
    DyingControl* control = addDying(1);
    MWindow owner;
    manager.Init(window.hwnd(), &owner);
    {
        PaintManager copy(manager);
        EXPECT_TRUE(copy.GetControls().empty() && !copy.GetPaintDC() && !copy.GetPaintWnd() && !copy.GetMDialog());
        // Unbound, any thread is its window's thread, and nothing goes to the original window.
        EXPECT_TRUE(copy.IsGuiThread());
        EXPECT_EQ(0, copy.SendMessageW(WM_NULL, 0, 0));
    }
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
    owned.SetManager(window->GetPaintManager());
    RecordingControl* child = owned.addChild(2, CRect(0, 0, 10, 10));
    RecordingControl* grandchild = child->addChild(3, CRect());
    MControl* copy = owned.addCopyOf(*grandchild);
    ASSERT_EQ(window->GetPaintManager(), copy->GetManager());
    window->DestroyWindow();
    window.reset();
    for (const MControl* control : std::initializer_list<MControl*> { &owned, child, grandchild, copy })
        EXPECT_EQ(nullptr, control->GetManager()) << control->GetControlID();
    // Going now must not reach the freed paint manager.
    owned.RemoveControl(child);
    EXPECT_EQ((std::vector<MControl*> { copy }), owned.GetControls());
}
