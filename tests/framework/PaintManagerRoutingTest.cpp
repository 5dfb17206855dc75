#include <gtest/gtest.h>

#include <set>

#include "RecordingControl.h"
#include "TestWindow.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

// The modifiers a handler sees are the thread's key state as of the message.
void holdKey(int key, bool down)
{
    BYTE state[256];
    GetKeyboardState(state);
    state[key] = down ? 0x80 : 0;
    SetKeyboardState(state);
}

LPARAM at(int x, int y)
{
    return MAKELPARAM(x, y);
}

// A real window whose input messages go through the paint manager's routing.
class Routing : public ::testing::Test {
protected:
    Routing()
    {
        window.onMessage([this](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
            if (msg == WM_NCLBUTTONDOWN) {
                ++windowDragRequests;
                return true;
            }
            if (!routed.count(msg))
                return false;
            result = manager.OnWindowMessage(msg, wParam, lParam);
            return true;
        });
        manager.Init(window.hwnd(), nullptr);
        // Leave tracking follows the real pointer: keep it over the window.
        POINT inside { 200, 150 };
        ClientToScreen(window.hwnd(), &inside);
        SetCursorPos(inside.x, inside.y);
    }
    ~Routing() override { manager.DestroyData(); }

    RecordingControl* add(UINT id, CRect rect)
    {
        auto* control = new RecordingControl(&top, id, rect, log);
        control->SetManager(&manager);
        manager.AppendControl(control, 1);
        return control;
    }
    LRESULT send(UINT msg, WPARAM wParam, LPARAM lParam) { return SendMessageW(window.hwnd(), msg, wParam, lParam); }

    std::set<UINT> routed { WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONUP,
                            WM_MOUSEWHEEL, WM_KEYDOWN, WM_COMMAND, WM_MOUSELEAVE };
    TestWindow window;
    RecordingParent top;
    EventLog log;
    PaintManager manager;
    int windowDragRequests { 0 };
};

// Deletes itself through the paint manager from inside its own release handler, as a host
// that removes a control in its notification does.
class SelfRemovingControl : public RecordingControl {
public:
    using RecordingControl::RecordingControl;
    int OnControlLButtonUp(UINT keys, CPoint pt) override
    {
        RecordingControl::OnControlLButtonUp(keys, pt);
        GetManager()->RemoveControl(this);
        return 1;
    }
};

} // namespace

TEST_F(Routing, MoveMakesTheLastResponsiveControlTheHover)
{
    add(1, CRect(10, 10, 100, 100));
    RecordingControl* over = add(2, CRect(50, 50, 150, 150));
    add(3, CRect(50, 50, 150, 150))->SetRresponse(0);
    send(WM_MOUSEMOVE, 0, at(60, 60));
    EXPECT_EQ(over, manager.GetHoverControl());
    send(WM_MOUSEMOVE, 0, at(300, 250));
    EXPECT_EQ(nullptr, manager.GetHoverControl());
}

TEST_F(Routing, ClickReachesTheControlAndCapturesTheWindow)
{
    RecordingControl* button = add(1, CRect(10, 10, 100, 100));
    send(WM_MOUSEMOVE, 0, at(20, 20));
    send(WM_LBUTTONDOWN, MK_LBUTTON, at(20, 20));
    EXPECT_EQ(window.hwnd(), GetCapture());
    EXPECT_EQ(1, manager.IsCaptured());
    EXPECT_EQ(button, manager.GetFocusControl());
    send(WM_LBUTTONUP, 0, at(20, 20));
    EXPECT_EQ(nullptr, GetCapture());
    EXPECT_EQ(1, log.count("down", 1));
    EXPECT_EQ(1, log.count("up", 1));
    EXPECT_EQ(0, windowDragRequests);
}

TEST_F(Routing, HeldButtonKeepsTheHoverAndStarvesOthers)
{
    RecordingControl* pressed = add(1, CRect(10, 10, 100, 100));
    add(2, CRect(200, 10, 300, 100));
    send(WM_MOUSEMOVE, 0, at(20, 20));
    send(WM_LBUTTONDOWN, MK_LBUTTON, at(20, 20));
    log.clear();
    send(WM_MOUSEMOVE, MK_LBUTTON, at(250, 50));
    EXPECT_EQ(pressed, manager.GetHoverControl());
    EXPECT_EQ(0, log.count("move", 2));
    send(WM_LBUTTONUP, 0, at(250, 50));
    // Released outside: the control hears the release, then stops being the hover.
    EXPECT_EQ(1, log.count("up", 1));
    EXPECT_EQ(nullptr, manager.GetHoverControl());
}

TEST_F(Routing, PressOnTheBackgroundMovesTheWindowUnlessDisabled)
{
    add(1, CRect(10, 10, 100, 100));
    send(WM_MOUSEMOVE, 0, at(300, 250));
    send(WM_LBUTTONDOWN, MK_LBUTTON, at(300, 250));
    EXPECT_EQ(1, windowDragRequests);
    manager.EnableWndDrag(0);
    send(WM_LBUTTONDOWN, MK_LBUTTON, at(300, 250));
    EXPECT_EQ(1, windowDragRequests);
}

TEST_F(Routing, WheelCountsWholeNotchesOnly)
{
    add(1, CRect(0, 0, 400, 300));
    send(WM_MOUSEMOVE, 0, at(20, 20));
    POINT screen { 20, 20 };
    ClientToScreen(window.hwnd(), &screen);
    EXPECT_EQ(0, send(WM_MOUSEWHEEL, MAKEWPARAM(0, 119), MAKELPARAM(screen.x, screen.y)));
    EXPECT_EQ(0, log.count("wheel", 1));
    EXPECT_EQ(1, send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-360)), MAKELPARAM(screen.x, screen.y)));
    EXPECT_EQ(3, log.count("wheel", 1));
}

TEST_F(Routing, KeyGoesToTheHoverBeforeTheFocus)
{
    RecordingControl* focus = add(1, CRect(10, 10, 100, 100));
    RecordingControl* hover = add(2, CRect(200, 10, 300, 100));
    focus->keyAnswer = 1;
    hover->keyAnswer = 1;
    manager.SetFocusControl(focus);
    send(WM_MOUSEMOVE, 0, at(250, 50));
    send(WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(1, log.count("key", 2));
    EXPECT_EQ(0, log.count("key", 1));
}

TEST_F(Routing, TabMovesFocusButCtrlTabDoesNot)
{
    RecordingControl* a = add(1, CRect(10, 10, 50, 50));
    RecordingControl* b = add(2, CRect(60, 10, 100, 50));
    a->SetTabStop(1);
    b->SetTabStop(1);
    MSG tab { window.hwnd(), WM_KEYDOWN, VK_TAB, 0, 0, {} };
    EXPECT_EQ(1, manager.PreTranslateMessage(&tab));
    EXPECT_EQ(a, manager.GetFocusControl());
    EXPECT_EQ(1, manager.PreTranslateMessage(&tab));
    EXPECT_EQ(b, manager.GetFocusControl());

    holdKey(VK_CONTROL, true);
    EXPECT_EQ(0, manager.PreTranslateMessage(&tab));
    EXPECT_EQ(b, manager.GetFocusControl());
    holdKey(VK_CONTROL, false);
    holdKey(VK_SHIFT, true);
    EXPECT_EQ(1, manager.PreTranslateMessage(&tab));
    EXPECT_EQ(a, manager.GetFocusControl());
    holdKey(VK_SHIFT, false);
}

TEST_F(Routing, CommandFromANativeChildIsReflectedToIt)
{
    UINT reflected = 0;
    TestWindow child(10, 10, WS_POPUP);
    child.onMessage([&](UINT msg, WPARAM, LPARAM, LRESULT& result) {
        if (msg < 0x2000)
            return false;
        reflected = msg;
        result = 77;
        return true;
    });
    EXPECT_EQ(77, send(WM_COMMAND, 5, reinterpret_cast<LPARAM>(child.hwnd())));
    EXPECT_EQ(0x2111u, reflected);
    EXPECT_EQ(0, send(WM_COMMAND, 5, 0));
}

TEST_F(Routing, ControlRemovedInItsOwnReleaseLeavesNothingBehind)
{
    auto* control = new SelfRemovingControl(&top, 1, CRect(10, 10, 100, 100), log);
    control->SetManager(&manager);
    manager.AppendControl(control, 1);
    send(WM_MOUSEMOVE, 0, at(20, 20));
    send(WM_LBUTTONDOWN, MK_LBUTTON, at(20, 20));
    send(WM_LBUTTONUP, 0, at(20, 20));
    EXPECT_EQ(1, log.count("up", 1));
    EXPECT_EQ(nullptr, manager.GetHoverControl());
    EXPECT_EQ(nullptr, manager.GetFocusControl());
    EXPECT_EQ(nullptr, GetCapture());
    // Further input must not reach the deleted control.
    send(WM_MOUSEMOVE, 0, at(20, 20));
    send(WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(manager.GetControls().empty());
}

TEST_F(Routing, DragStartsOnlyAfterMovingMoreThanTwoPixels)
{
    RecordingControl* source = add(1, CRect(10, 10, 100, 100));
    source->SetDragDrop(1);
    send(WM_MOUSEMOVE, 0, at(20, 20));
    send(WM_LBUTTONDOWN, MK_LBUTTON, at(20, 20));
    ASSERT_EQ(1, manager.IsCaptured());
    // One pixel of jitter in both directions is no drag.
    send(WM_MOUSEMOVE, MK_LBUTTON, at(21, 21));
    EXPECT_EQ(1, manager.IsCaptured());
    EXPECT_EQ(0, log.count("up", 1));
    // A clear move along one axis starts it: capture and press are over.
    send(WM_MOUSEMOVE, MK_LBUTTON, at(30, 21));
    EXPECT_EQ(0, manager.IsCaptured());
    EXPECT_EQ(1, log.count("up", 1));
    EXPECT_EQ(0, source->isPressed());
}

TEST_F(Routing, DeactivationReleasesTheHeldPress)
{
    add(1, CRect(10, 10, 100, 100));
    send(WM_MOUSEMOVE, 0, at(20, 20));
    send(WM_LBUTTONDOWN, MK_LBUTTON, at(20, 20));
    manager.OnNcActivate(FALSE);
    EXPECT_EQ(1, log.count("up", 1));
    EXPECT_EQ(nullptr, manager.GetHoverControl());
    EXPECT_EQ(0, manager.IsCaptured());
}

TEST_F(Routing, MinMaxInfoTakesOnlyPositiveLimits)
{
    MINMAXINFO info {};
    info.ptMinTrackSize = { 1, 2 };
    info.ptMaxTrackSize = { 3, 4 };
    manager.SetWindowMixSize(320, 0);
    manager.SetWindowMaxSize(0, 900);
    manager.OnGetMinMaxInfo(&info);
    EXPECT_EQ(320, info.ptMinTrackSize.x);
    EXPECT_EQ(2, info.ptMinTrackSize.y);
    EXPECT_EQ(3, info.ptMaxTrackSize.x);
    EXPECT_EQ(900, info.ptMaxTrackSize.y);
    EXPECT_EQ(900, info.ptMaxSize.y);
}

namespace {
struct TooltipSearch {
    HWND owner;
    int count;
};

BOOL CALLBACK countTooltip(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<TooltipSearch*>(param);
    wchar_t name[64] {};
    GetClassNameW(hwnd, name, 64);
    if (wcscmp(name, L"tooltips_class32") == 0 && GetWindow(hwnd, GW_OWNER) == search->owner)
        ++search->count;
    return TRUE;
}

int countTooltipWindows(HWND owner)
{
    TooltipSearch search { owner, 0 };
    EnumThreadWindows(GetCurrentThreadId(), countTooltip, reinterpret_cast<LPARAM>(&search));
    return search.count;
}
} // namespace

TEST_F(Routing, OneTooltipWindowServesEveryTip)
{
    RecordingControl* control = add(5, CRect(10, 10, 100, 100));
    control->SetTooltip(L"Fan speed");
    send(WM_MOUSEMOVE, 0, at(20, 20));
    EXPECT_EQ(5, manager.GetTooltipCtrlID());
    EXPECT_EQ(1, countTooltipWindows(window.hwnd()));
    manager.SetTooltip(L"", CRect());
    manager.SetTooltip(L"Pump", CRect());
    EXPECT_EQ(1, countTooltipWindows(window.hwnd()));
    manager.ClearTooltip();
    EXPECT_EQ(0, manager.GetTooltipCtrlID());
}
