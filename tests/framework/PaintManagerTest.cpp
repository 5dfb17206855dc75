// The paint manager on a real window: its binding, lists, focus and tab order and who owns
// what when it is copied or goes first; input routed by it (hover, press and capture, wheel
// and keys, tab order, reflected commands, the end of a press, size limits, tooltips); the
// window timers of controls; and what other threads hand to the window's thread.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "BoundWindow.h"
#include "NotifyingControl.h"
#include "PumpUntil.h"

using namespace KOVA;
using namespace KOVA::test;

// ---- binding, lists and ownership

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

// ---- routing

namespace {

// The modifiers a handler sees are the thread's key state as of the message.
void holdKey(int key, bool down)
{
    BYTE state[256];
    GetKeyboardState(state);
    state[key] = down ? 0x80 : 0;
    SetKeyboardState(state);
}

// A press on the background asks the system to move the window (WM_NCLBUTTONDOWN): routed to
// the paint manager, it is counted and never starts the move loop.
class Routing : public ::testing::Test, public BoundWindow<> {
protected:
    Routing()
        : BoundWindow([](UINT msg) {
              static const std::set<UINT> routed { WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP,
                                                   WM_MOUSEWHEEL, WM_KEYDOWN, WM_COMMAND, WM_MOUSELEAVE, WM_NCACTIVATE, WM_NCLBUTTONDOWN };
              return routed.count(msg) > 0;
          })
    {
        // Leave tracking follows the real pointer: keep it over the window.
        POINT inside { 200, 150 };
        ClientToScreen(window.hwnd(), &inside);
        SetCursorPos(inside.x, inside.y);
    }

    LRESULT send(UINT msg, WPARAM wParam, int x, int y) { return SendMessageW(window.hwnd(), msg, wParam, MAKELPARAM(x, y)); }
    void press(int x, int y)
    {
        send(WM_MOUSEMOVE, 0, x, y);
        send(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
    }
};

} // namespace

TEST_F(Routing, TheLastResponsiveControlIsTheHoverAndAPressCapturesUntilTheReleaseWhereverItLands)
{
    RecordingControl* pressed = add(1, CRect(10, 10, 100, 100));
    RecordingControl* over = add(2, CRect(50, 50, 150, 150));
    add(3, CRect(50, 50, 150, 150))->SetRresponse(0);
    add(4, CRect(200, 10, 300, 100));
    send(WM_MOUSEMOVE, 0, 60, 60);
    EXPECT_EQ(over, manager.GetHoverControl());

    press(20, 20);
    EXPECT_TRUE(GetCapture() == window.hwnd() && manager.IsCaptured() == 1 && manager.GetFocusControl() == pressed);
    log.clear();
    send(WM_MOUSEMOVE, MK_LBUTTON, 250, 50);
    EXPECT_EQ(pressed, manager.GetHoverControl()) << "a held button keeps the hover";
    send(WM_LBUTTONUP, 0, 250, 50);
    // Released outside: the control hears the release, then stops being the hover.
    EXPECT_EQ("up:1", log.summary());
    EXPECT_TRUE(!manager.GetHoverControl() && !GetCapture());

    // A press on the background moves the window, unless that is disabled.
    EXPECT_EQ(0, received[WM_NCLBUTTONDOWN]);
    press(300, 250);
    EXPECT_EQ(1, received[WM_NCLBUTTONDOWN]);
    manager.EnableWndDrag(0);
    press(300, 250);
    EXPECT_EQ(1, received[WM_NCLBUTTONDOWN]);
}

TEST_F(Routing, WheelCountsWholeNotchesAndKeysGoToTheHoverBeforeTheFocus)
{
    RecordingControl* focus = add(1, CRect(10, 10, 100, 100));
    RecordingControl* hover = add(2, CRect(200, 10, 300, 100));
    focus->keyAnswer = hover->keyAnswer = 1;
    manager.SetFocusControl(focus);
    send(WM_MOUSEMOVE, 0, 250, 50);
    log.clear();
    POINT screen { 250, 50 };
    ClientToScreen(window.hwnd(), &screen);
    EXPECT_EQ(0, send(WM_MOUSEWHEEL, MAKEWPARAM(0, 119), screen.x, screen.y));
    EXPECT_EQ(1, send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-360)), screen.x, screen.y));
    send(WM_KEYDOWN, 'A', 0, 0);
    EXPECT_EQ("wheel:2 wheel:2 wheel:2 key:2", log.summary());
}

TEST_F(Routing, TabAndShiftTabMoveTheFocusButCtrlTabDoesNot)
{
    RecordingControl* a = add(1, CRect(10, 10, 50, 50));
    RecordingControl* b = add(2, CRect(60, 10, 100, 50));
    a->SetTabStop(1);
    b->SetTabStop(1);
    MSG tab { window.hwnd(), WM_KEYDOWN, VK_TAB, 0, 0, {} };
    struct Step { int heldKey; int consumed; RecordingControl* focus; };
    for (const Step& step : { Step { 0, 1, a }, Step { 0, 1, b }, Step { VK_CONTROL, 0, b }, Step { VK_SHIFT, 1, a } }) {
        holdKey(step.heldKey, true);
        EXPECT_EQ(step.consumed, manager.PreTranslateMessage(&tab)) << step.heldKey;
        EXPECT_EQ(step.focus, manager.GetFocusControl()) << step.heldKey;
        holdKey(step.heldKey, false);
    }
}

TEST_F(Routing, CommandFromANativeChildIsReflectedToIt)
{
    UINT reflected = 0;
    TestWindow child(10, 10, WS_POPUP);
    child.onMessage([&](UINT msg, WPARAM, LPARAM, LRESULT& result) {
        reflected = msg >= 0x2000 ? msg : reflected;
        result = 77;
        return msg >= 0x2000;
    });
    EXPECT_EQ(77, SendMessageW(window.hwnd(), WM_COMMAND, 5, reinterpret_cast<LPARAM>(child.hwnd())));
    EXPECT_EQ(0x2111u, reflected);
    EXPECT_EQ(0, SendMessageW(window.hwnd(), WM_COMMAND, 5, 0));
}

// Another window takes the activation (the system's capture is the window's to drop: see
// MDialogTest), or a drag: one pixel of jitter either way is no drag, a clear move is.
TEST_F(Routing, LosingTheActivationOrADragPastTwoPixelsEndsThePress)
{
    RecordingControl* source = add(1, CRect(10, 10, 100, 100));
    source->SetDragDrop(1);
    const std::function<void()> endings[] = {
        [&] {
            send(WM_NCACTIVATE, FALSE, 0, 0);
            EXPECT_EQ(nullptr, manager.GetHoverControl());
        },
        [&] {
            send(WM_MOUSEMOVE, MK_LBUTTON, 21, 21);
            EXPECT_TRUE(manager.IsCaptured() == 1 && log.count("up", 1) == 0);
            send(WM_MOUSEMOVE, MK_LBUTTON, 30, 21);
            EXPECT_EQ(nullptr, GetCapture());
        },
    };
    for (const auto& end : endings) {
        log.clear();
        press(20, 20);
        ASSERT_EQ(1, manager.IsCaptured());
        end();
        EXPECT_EQ(1, log.count("up", 1));
        EXPECT_TRUE(!manager.IsCaptured() && !source->isPressed());
    }
}

// A Tab meant for a native edit or for another window is theirs, even when the host's loop
// hands it to this paint manager.
TEST_F(Routing, TabMovesTheFocusOnlyWhenItIsMeantForThisWindow)
{
    RecordingControl* a = add(1, CRect(10, 10, 50, 50));
    a->SetTabStop(1);
    TestWindow other(10, 10, WS_POPUP);
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, window.hwnd(), nullptr, nullptr, nullptr);
    for (HWND target : { edit, other.hwnd(), window.hwnd() }) {
        MSG tab { target, WM_KEYDOWN, VK_TAB, 0, 0, {} };
        const bool own = target == window.hwnd();
        EXPECT_EQ(own ? 1 : 0, manager.PreTranslateMessage(&tab));
        EXPECT_EQ(own ? a : nullptr, manager.GetFocusControl());
    }
    DestroyWindow(edit);
}

namespace {

// A rubber band: takes the mouse when pressed, and answers the press with 0.
class BandControl : public RecordingControl {
public:
    using RecordingControl::RecordingControl;
    int OnControlLButtonDown(UINT keys, CPoint pt) override
    {
        RecordingControl::OnControlLButtonDown(keys, pt);
        m_manager->SetCapture();
        return 0;
    }
};

} // namespace

// Without asking, a pressed control hears nothing once the pointer leaves it; one that takes
// the mouse hears every move, wherever it goes, until the release, and the press is its own
// (the window does not start moving).
TEST_F(Routing, AControlThatTakesTheMouseFollowsThePointerOutOfItselfUntilTheRelease)
{
    adopt(manager, new BandControl(&top, 1, CRect(10, 10, 100, 100), log));
    RecordingControl* other = add(2, CRect(200, 10, 300, 100));
    press(20, 20);
    EXPECT_TRUE(GetCapture() == window.hwnd() && manager.IsCaptured() == 1);
    EXPECT_EQ(0, received[WM_NCLBUTTONDOWN]);
    log.clear();
    send(WM_MOUSEMOVE, MK_LBUTTON, 250, 50);
    send(WM_MOUSEMOVE, MK_LBUTTON, 390, 290);
    send(WM_LBUTTONUP, 0, 390, 290);
    EXPECT_EQ("move:1 move:1 up:1", log.summary());
    EXPECT_EQ(CPoint(390, 290), log.events()[1].pt);
    EXPECT_TRUE(!GetCapture() && manager.IsCaptured() == 0);
    send(WM_MOUSEMOVE, 0, 250, 50);
    EXPECT_EQ(other, manager.GetHoverControl());
}

TEST_F(Routing, OneTooltipWindowServesEveryTip)
{
    const auto tooltipWindows = [&] {
        int count = 0;
        for (HWND tip = nullptr; (tip = FindWindowExW(nullptr, tip, L"tooltips_class32", nullptr));)
            count += GetWindow(tip, GW_OWNER) == window.hwnd();
        return count;
    };
    add(5, CRect(10, 10, 100, 100))->SetTooltip(L"Fan speed");
    send(WM_MOUSEMOVE, 0, 20, 20);
    EXPECT_EQ(5, manager.GetTooltipCtrlID());
    manager.SetTooltip(L"", CRect());
    manager.SetTooltip(L"Pump", CRect());
    EXPECT_EQ(1, tooltipWindows());
    manager.ClearTooltip();
    EXPECT_EQ(0, manager.GetTooltipCtrlID());
}

// ---- window timers

namespace {

// Long enough never to fire while a case runs.
constexpr UINT kNever = 3600000;
// Every usable control timer id: 1 to 239 without the paint manager's reserved 66, 88, 99.
constexpr int kUsableIds = 239 - 3;

// Runs a timer handler the case chooses.
class ScriptedControl : public RecordingControl {
public:
    using RecordingControl::RecordingControl;
    int OnControlTimer() override
    {
        if (onTick)
            onTick(*this);
        return RecordingControl::OnControlTimer();
    }
    std::function<void(ScriptedControl&)> onTick;
};

class Timers : public ::testing::Test, public BoundWindow<> {
protected:
    Timers() : BoundWindow([](UINT msg) { return msg == WM_TIMER; }) {}

    ScriptedControl* add(UINT id) { return adopt(manager, new ScriptedControl(&top, id, CRect(0, 0, 10, 10), log)); }
    void setTimers(MControl* control, UINT firstLocalId, int count)
    {
        for (int i = 0; i < count; ++i)
            ASSERT_EQ(1, manager.SetTimer(control, firstLocalId + i, kNever)) << "timer " << i;
    }
    // Fires the ids, then gives the ticks of controls 1 to 3 so far: "a b c".
    std::string fire(UINT firstId, UINT lastId)
    {
        for (UINT id = firstId; id <= lastId; ++id)
            manager.OnTimer(id);
        return std::to_string(log.count("tick", 1)) + " " + std::to_string(log.count("tick", 2)) + " "
            + std::to_string(log.count("tick", 3));
    }
};

} // namespace

// Ids are taken in turn from 17; the overlay's reserved ids and 0 are never given, and every
// other id is given once, after which SetTimer fails. Reserved ids reach no control. After the
// wrap, ids still in use are skipped: 1 to 16, then 31 past the ones a keeper holds.
TEST_F(Timers, IdsAreTakenInTurnWithoutReservedOnesOrOnesInUse)
{
    ScriptedControl* first = add(1);
    ScriptedControl* filler = add(2);
    ASSERT_EQ(1, manager.SetTimer(first, 5, kNever));
    setTimers(filler, 0, kUsableIds - 1);
    EXPECT_EQ(0, manager.SetTimer(filler, 1000, kNever));
    EXPECT_EQ("1 16 0", fire(0, 17));
    for (UINT id : { 66u, 88u, 99u, 6553u })
        manager.OnTimer(id);
    EXPECT_EQ("1 " + std::to_string(kUsableIds - 1) + " 0", fire(18, 239));

    manager.ClearTimers();
    log.clear();
    ScriptedControl* probe = add(3);
    setTimers(first, 0, 14);                // 17 to 30
    setTimers(filler, 0, 239 - 31 + 1 - 3); // 31 to 239 without the reserved ids
    manager.KillTimer(filler);
    setTimers(probe, 0, 17);
    EXPECT_EQ("0 0 1", fire(31, 31));
    EXPECT_EQ("14 0 17", fire(1, 30));
}

// A running timer keeps its period; a killed one keeps its record and is re-armed with the
// same id; killing what is not running fails. Killing a control's timers, or clearing them
// all, removes the records themselves: setting again takes a new id.
TEST_F(Timers, KilledTimersKeepTheirIdsAndForgottenOnesLoseTheirRecords)
{
    ScriptedControl* a = add(1);
    ScriptedControl* b = add(2);
    EXPECT_EQ(0, manager.KillTimer(a, 7));
    ASSERT_EQ(1, manager.SetTimer(a, 7, kNever)); // 17
    // Running already, not running for b, killed, killed already.
    EXPECT_EQ((std::vector<int> { 0, 0, 1, 0 }), (std::vector<int> { manager.SetTimer(a, 7, 10), manager.KillTimer(b, 7),
                                                                       manager.KillTimer(a, 7), manager.KillTimer(a, 7) }));
    EXPECT_EQ("0 0 0", fire(17, 17));
    EXPECT_EQ(1, manager.SetTimer(a, 7, kNever));
    EXPECT_EQ("1 0 0", fire(17, 17));
    for (UINT local : { 1u, 2u, 3u }) {
        manager.SetTimer(a, local, kNever); // 18, 20, 22
        manager.SetTimer(b, local, kNever); // 19, 21, 23
    }
    manager.KillTimer(a);
    EXPECT_EQ("1 3 0", fire(17, 23));
    EXPECT_EQ(1, manager.SetTimer(a, 1, kNever));
    EXPECT_EQ("2 3 0", fire(24, 24));
    manager.KillTimer(b, 1);
    manager.ClearTimers();
    EXPECT_EQ("2 3 0", fire(17, 24));
    EXPECT_EQ(1, manager.SetTimer(b, 1, kNever));
    EXPECT_EQ("2 4 0", fire(25, 25));

    PaintManager unbound;
    EXPECT_EQ(0, unbound.SetTimer(a, 1, 10) + unbound.KillTimer(a, 1));
}

// A handler may kill its own timers, set enough new ones to move the records' storage, and
// remove another control, whose timer goes with it: its id 18 is freed and answers nothing.
TEST_F(Timers, HandlersMayChangeTimersAndControls)
{
    ScriptedControl* control = add(1);
    ScriptedControl* victim = add(2);
    control->onTick = [this, victim](ScriptedControl& self) {
        manager.KillTimer(&self);
        setTimers(&self, 100, 40);
        manager.RemoveControl(victim);
    };
    ASSERT_EQ(1, manager.SetTimer(control, 1, kNever)); // 17
    ASSERT_EQ(1, manager.SetTimer(victim, 1, kNever));  // 18
    EXPECT_EQ("1 0 0", fire(17, 17));
    control->onTick = nullptr;
    EXPECT_EQ("2 0 0", fire(17, 19));
}

// A real WM_TIMER ticks the control; each way of ending its timer stops the messages.
TEST_F(Timers, RealTimersTickUntilEnded)
{
    const std::vector<std::function<void(ScriptedControl*)>> endings {
        [&](ScriptedControl* c) { manager.KillTimer(c, 1); }, [&](ScriptedControl* c) { manager.KillTimer(c); },
        [&](ScriptedControl*) { manager.ClearTimers(); },     [&](ScriptedControl* c) { manager.RemoveControl(c); },
        [&](ScriptedControl*) { manager.DestroyData(); },
    };
    for (size_t i = 0; i < endings.size(); ++i) {
        manager.Init(window.hwnd(), nullptr);
        ScriptedControl* control = add(1);
        ASSERT_EQ(1, manager.SetTimer(control, 1, 20)) << "ending " << i;
        log.clear();
        ASSERT_TRUE(pumpUntil([&] { return log.count("tick", 1) >= 2; })) << "ending " << i;
        endings[i](control);
        pumpMessages();
        const int after = received[WM_TIMER];
        pumpUntil([] { return false; }, 150);
        EXPECT_EQ(after, received[WM_TIMER]) << "ending " << i;
        manager.ClearAllControls();
    }
}

// ---- work from other threads

namespace {

// The top of a tree as a dialog is: repaint requests go to the paint manager; notifications
// are written down as "id:code:wParam:lParam" with a mark when they arrive off this thread.
class Top : public MObject {
public:
    explicit Top(PaintManager& manager) : m_manager(manager) {}
    LONG OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam) override
    {
        heard += std::to_string(id) + ":" + std::to_string(code) + ":" + std::to_string(wParam) + ":"
            + std::to_string(lParam) + (GetCurrentThreadId() == m_thread ? " " : "(elsewhere) ");
        ++count;
        if (onHeard)
            onHeard();
        return 0;
    }
    LONG OnControlUpdate(CRect rect, int flag, MControl* control) override { return m_manager.OnControlUpdate(rect, flag, control); }

    std::string heard;
    int count { 0 };
    std::function<void()> onHeard;

private:
    PaintManager& m_manager;
    DWORD m_thread { GetCurrentThreadId() };
};

void elsewhere(const std::function<void()>& action)
{
    std::thread(action).join();
}

// Registered messages (the posted work) go to the paint manager.
class Posted : public ::testing::Test, public BoundWindow<> {
protected:
    Posted() : BoundWindow([](UINT msg) { return msg >= 0xC000; }) { ValidateRect(window.hwnd(), nullptr); }

    NotifyingControl* add(UINT id, CRect rect = CRect(0, 0, 10, 10)) { return addNotifyingControl(manager, &parent, id, rect, log); }
    // Serves what other threads handed to the window, alone: no WM_PAINT validates the window
    // first. Returns the number of messages it took.
    int serve()
    {
        int served = 0;
        for (MSG msg; PeekMessageW(&msg, window.hwnd(), 0xC000, 0xFFFF, PM_REMOVE); ++served)
            DispatchMessageW(&msg);
        return served;
    }

    Top parent { manager };
};

} // namespace

// Notifications and invalidations raised on another thread wait for the window's thread,
// which takes them all, in order, with one posted message. A batch is what waited when it was
// taken: what arrives meanwhile comes with the next message, so a stream of ticks cannot hold
// the window's thread in one batch.
TEST_F(Posted, WorkFromAnotherThreadReachesTheGuiThreadInOrderOneBatchAtATime)
{
    NotifyingControl* control = add(7);
    elsewhere([&] {
        for (UINT code = 1; code <= 3; ++code)
            control->PostToParent(code, code * 10, -static_cast<LONG>(code));
        manager.InvalidateRect(CRect(10, 10, 20, 20), 0);
        manager.InvalidateRect(CRect(50, 40, 60, 70), 0);
    });
    EXPECT_EQ("", parent.heard);
    EXPECT_EQ(CRect(), invalid());
    parent.onHeard = [&] {
        if (parent.count == 1)
            elsewhere([&] { control->PostToParent(4, 0, 0); });
    };
    EXPECT_EQ(2, serve());
    EXPECT_EQ(CRect(10, 10, 60, 70), invalid());
    EXPECT_EQ("7:1:10:-1 7:2:20:-2 7:3:30:-3 7:4:0:0 ", parent.heard);
}

TEST_F(Posted, OnTheGuiThreadOrWithoutAPaintManagerItArrivesAtOnceAndUnboundItIsDropped)
{
    add(7)->PostToParent(1, 0, 0);
    RecordingControl loose(&parent, 8, CRect(), log);
    loose.PostToParent(2, 0, 0);
    PaintManager unbound;
    loose.SetManager(&unbound);
    loose.PostToParent(3, 0, 0);
    EXPECT_EQ("7:1:0:0 8:2:0:0 ", parent.heard);
    EXPECT_EQ(0, serve());
    loose.SetManager(nullptr);
}

// A control removed before the batch is served, or by the parent's answer to an earlier record
// of the same batch, takes its records with it. Removed controls' memory is poisoned: a use
// would crash.
TEST_F(Posted, RecordsOfAControlRemovedBeforeTheyAreServedAreDropped)
{
    NotifyingControl *doomed = add(7), *kept = add(8), *later = add(9);
    elsewhere([&] {
        doomed->PostToParent(1, 0, 0);
        kept->PostToParent(2, 0, 0);
        later->PostToParent(3, 0, 0);
        kept->PostToParent(4, 0, 0);
    });
    manager.RemoveControl(doomed);
    parent.onHeard = [&] { manager.RemoveControl(later); };
    serve();
    EXPECT_EQ("8:2:0:0 8:4:0:0 ", parent.heard);
}

// A handler that opens a loop of its own (a modal dialog) serves the rest of the batch there;
// what another thread posts meanwhile comes with the next message, not never.
TEST_F(Posted, WorkPostedWhileAHandlersOwnLoopServesTheBatchIsNotLost)
{
    NotifyingControl* control = add(7);
    elsewhere([&] {
        control->PostToParent(1, 0, 0);
        control->PostToParent(2, 0, 0);
    });
    parent.onHeard = [&] {
        if (parent.count != 1)
            return;
        elsewhere([&] { control->PostToParent(3, 0, 0); });
        serve();
    };
    serve();
    serve();
    EXPECT_EQ("7:1:0:0 7:2:0:0 7:3:0:0 ", parent.heard);
}

// Work for the window's thread (moving a native window from a tick) runs there, in order with
// the notifications posted before it, and goes with its control; on that thread, at once.
TEST_F(Posted, WorkForTheWindowsThreadRunsThereInOrderAndGoesWithItsControl)
{
    NotifyingControl *control = add(7), *doomed = add(8);
    struct Run {
        Top& top;
        static void note(MControl* control, void* context)
        {
            static_cast<Run*>(context)->top.OnBaseMessage(control->GetControlID(), 99, 0, 0);
        }
    } run { parent };
    elsewhere([&] {
        control->PostToParent(1, 0, 0);
        manager.PostRun(control, &Run::note, &run);
        manager.PostRun(doomed, &Run::note, &run);
    });
    manager.RemoveControl(doomed);
    EXPECT_EQ("", parent.heard);
    serve();
    EXPECT_EQ("7:1:0:0 7:99:0:0 ", parent.heard);
    manager.PostRun(control, &Run::note, &run);
    EXPECT_EQ("7:1:0:0 7:99:0:0 7:99:0:0 ", parent.heard);
}

// A cached control that overlaps the requester must be redrawn with it, also when the request
// came from a tick; the walk that finds it runs when the window's thread serves the request.
// A requester removed before that takes its request with it.
TEST_F(Posted, RequestFromAnotherThreadMarksTheItemsAboveWhenServed)
{
    NotifyingControl* requester = add(7, CRect(10, 10, 100, 100));
    NotifyingControl* above = add(8, CRect(50, 50, 150, 150));
    NotifyingControl* apart = add(9, CRect(200, 150, 250, 190));
    for (MControl* control : manager.GetControls())
        control->SetUpdate(1, 0);
    elsewhere([&] {
        requester->UpdateControl(1, 0);
        requester->UpdateControl(CRect(10, 10, 20, 20), 1, 0);
    });
    EXPECT_EQ("0 1 0", std::to_string(requester->GetUpdate()) + " " + std::to_string(above->GetUpdate()) + " " + std::to_string(invalid().right));
    EXPECT_EQ(1, serve());
    EXPECT_EQ("0 1", std::to_string(above->GetUpdate()) + " " + std::to_string(apart->GetUpdate()));
    EXPECT_EQ(CRect(10, 10, 150, 150), invalid());
    above->SetUpdate(1, 0);
    elsewhere([&] { requester->UpdateControl(1, 0); });
    manager.RemoveControl(requester);
    serve();
    EXPECT_EQ(1, above->GetUpdate());
}
