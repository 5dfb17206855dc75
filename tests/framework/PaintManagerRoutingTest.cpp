// Input posted to a real window and routed by its paint manager: hover, press and capture,
// wheel and keys, tab order, reflected commands, the end of a press, size limits, tooltips.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <vector>

#include "BoundWindow.h"

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
    struct Step {
        int heldKey;
        int consumed;
        RecordingControl* focus;
    };
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

TEST_F(Routing, MinMaxInfoTakesOnlyPositiveLimits)
{
    MINMAXINFO info { {}, {}, {}, { 1, 2 }, { 3, 4 } };
    manager.SetWindowMixSize(320, 0);
    manager.SetWindowMaxSize(0, 900);
    manager.OnGetMinMaxInfo(&info);
    EXPECT_EQ((std::vector<LONG> { 320, 2, 3, 900, 900 }),
              (std::vector<LONG> { info.ptMinTrackSize.x, info.ptMinTrackSize.y, info.ptMaxTrackSize.x, info.ptMaxTrackSize.y, info.ptMaxSize.y }));
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
