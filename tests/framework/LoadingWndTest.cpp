#include <gtest/gtest.h>

#include "LibraryHost.h"

#include <climits>
#include <memory>
#include <utility>

#include "DibCanvas.h"
#include "GdiObjectCount.h"
#include "PumpUntil.h"
#include "ScratchGif.h"
#include "ScratchStrip.h"
#include "TestWindow.h"
#include "KOVA.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kYellow = 0xFFFFFF00, kCyan = 0xFF00FFFF, kMagenta = 0xFFFF00FF;
// Far from where other test programs put their windows: the hover case moves the real cursor.
const CRect kPlace(1300, 600, 1700, 900);
const CPoint kCloseCentre(373, 20); // strip frames of 24 × 20 at (400 − 39, 10)
const CPoint kAnimationCentre(200, 150); // the 232 × 58 box centred in 400 × 300
const CPoint kOutsideButton(100, 250);

class ProbedSplash : public LoadingWnd {
public:
    using LoadingWnd::GetCloseButtonRect;
    using LoadingWnd::GetCloseButtonState;
    using LoadingWnd::GetCurrentFrame;
    using LoadingWnd::GetFrameCount;
    using LoadingWnd::HasAnimateImage;
    using LoadingWnd::IsTrackingMouse;
    DWORD pixelAt(CPoint pt)
    {
        DibCanvas canvas(kPlace.Width(), kPlace.Height(), 0);
        RenderBackBuffer(canvas.dc(), canvas.width(), canvas.height());
        return canvas.pixel(pt.x, pt.y);
    }
};

class Splash : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (splash)
            splash->DestroyWindow();
    }
    // A splash the case has prepared keeps its media.
    void open(std::vector<DWORD> gifFrames = {}, CRect place = kPlace)
    {
        if (!gifFrames.empty())
            gif = std::make_unique<ScratchGif>(GetSkinPath() + L"loading\\", L"loading.gif", 58, 20, gifFrames);
        if (!splash)
            splash = std::make_unique<ProbedSplash>();
        ASSERT_NE(nullptr, splash->CreateDlg(parent.hwnd(), place));
        ::KillTimer(splash->GetSafeHwnd(), LoadingWnd::kAnimationTimerId);
    }
    void send(UINT msg, CPoint pt) { splash->SendMessageW(msg, MK_LBUTTON, MAKELPARAM(pt.x, pt.y)); }
    void tick(int count)
    {
        for (int i = 0; i < count; ++i)
            splash->SendMessageW(WM_TIMER, LoadingWnd::kAnimationTimerId, 0);
    }

    TestWindow parent;
    ScratchStrip closeStrip { GetSkinPath(), L"img_sys_close.png", 24, 20, { kRed, kGreen, kBlue, kYellow } };
    ScratchStrip logo { GetSkinPath() + L"logo\\", L"logo_loading.png", 100, 40, { kMagenta } };
    std::unique_ptr<ScratchGif> gif;
    // Last: its images go before the files under them.
    std::unique_ptr<ProbedSplash> splash;
};

} // namespace

// The button shows its state's frame (red at rest, blue pressed, green hovered); a release on
// it tells the parent once with no arguments, a release elsewhere nothing, and the host decides
// when the splash goes. A leave ends the hover and the tracking.
TEST_F(Splash, TheCloseButtonShowsItsStateAndAClickOnItTellsTheParentOnce)
{
    open();
    ASSERT_EQ(CRect(361, 10, 385, 30), splash->GetCloseButtonRect());
    int closeClicks = 0;
    WPARAM clickArguments = 0;
    bool marked = false;
    parent.onMessage([&](UINT msg, WPARAM wParam, LPARAM lParam, LRESULT&) {
        closeClicks += msg == LoadingWnd::kCloseClickedMessage;
        clickArguments |= msg == LoadingWnd::kCloseClickedMessage ? wParam | static_cast<WPARAM>(lParam) : 0;
        marked = marked || msg == WM_APP;
        return false;
    });
    EXPECT_EQ(kRed, splash->pixelAt(kCloseCentre));
    for (const CPoint release : { kOutsideButton, kCloseCentre }) {
        send(WM_LBUTTONDOWN, kCloseCentre);
        EXPECT_EQ(kBlue, splash->pixelAt(kCloseCentre));
        send(WM_MOUSEMOVE, release);
        send(WM_LBUTTONUP, release);
        // Anything the release posted is queued ahead of this marker.
        marked = false;
        PostMessageW(parent.hwnd(), WM_APP, 0, 0);
        ASSERT_TRUE(pumpUntil([&] { return marked; }));
        EXPECT_EQ(release == kCloseCentre ? 1 : 0, closeClicks);
        EXPECT_EQ(release == kCloseCentre ? 1 : 0, splash->GetCloseButtonState());
    }
    EXPECT_EQ(0u, clickArguments);
    EXPECT_EQ(kGreen, splash->pixelAt(kCloseCentre));
    EXPECT_TRUE(splash->IsWindowVisible());
    splash->SendMessageW(WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(splash->GetCloseButtonState() == 0 && !splash->IsTrackingMouse());
}

TEST_F(Splash, TheGifAdvancesEverySecondTickAndWraps)
{
    open({ kRed, kGreen, kBlue, kYellow, kCyan });
    ASSERT_TRUE(gif->written());
    ASSERT_EQ(5, splash->GetFrameCount());
    // Ticks given, then the frame shown.
    for (const auto& [ticks, frame] : { std::pair { 1, 0 }, { 1, 1 }, { 4, 3 }, { 4, 0 }, { 2, 1 } }) {
        tick(ticks);
        EXPECT_EQ(frame, splash->GetCurrentFrame());
    }
    EXPECT_EQ(kGreen, splash->pixelAt(kAnimationCentre));
    splash->SendMessageW(WM_TIMER, LoadingWnd::kAnimationTimerId + 1, 0);
    splash->SendMessageW(WM_TIMER, LoadingWnd::kAnimationTimerId + 1, 0);
    splash->OnClose();
    tick(4);
    EXPECT_EQ(1, splash->GetCurrentFrame()) << "other timers and a closing splash leave the frame";
}

TEST_F(Splash, HoverEndsWhenTheRealCursorLeavesEveryTime)
{
    open();
    splash->SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // Put back at every wake-up: another test program may move the shared cursor meanwhile.
    const auto cursorAt = [&](CPoint screen, int state) {
        return pumpUntil([&] {
            SetCursorPos(screen.x, screen.y);
            return splash->GetCloseButtonState() == state;
        });
    };
    // The second round fails when the first leave did not end the tracking: no leave comes.
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(cursorAt(CPoint(kPlace.left + kCloseCentre.x, kPlace.top + kCloseCentre.y), 1)) << "round " << round;
        EXPECT_TRUE(splash->IsTrackingMouse());
        ASSERT_TRUE(cursorAt(CPoint(kPlace.left - 200, kPlace.top - 200), 0)) << "round " << round;
        EXPECT_FALSE(splash->IsTrackingMouse());
    }
}

// Frame slots outside 0 to 18 are refused; the window is a rounded tool window that ignores
// the dialog result message.
TEST_F(Splash, FrameSlotsOutsideZeroToEighteenAreRefusedAndTheDialogResultIsIgnored)
{
    splash = std::make_unique<ProbedSplash>();
    for (int index : { -1, 19, 1000, INT_MIN })
        EXPECT_EQ(0, splash->LoadAnimateImage(L"img_sys_close.png", index)) << index;
    EXPECT_EQ(std::make_pair(1, 1), std::make_pair(splash->LoadAnimateImage(L"img_sys_close.png", 0), splash->LoadAnimateImage(L"img_sys_close.png", 18)));
    EXPECT_EQ(0, splash->LoadAnimateImage(L"no_such_frame.png", 5));
    EXPECT_TRUE(splash->HasAnimateImage(18) && !splash->HasAnimateImage(5));
    open();
    EXPECT_EQ(1, splash->SendMessageW(0x442, 1, 0));
    tick(2);
    EXPECT_TRUE(splash->IsWindowVisible());
}

TEST_F(Splash, GdiObjectsStayFlatOverAThousandShowHideCycles)
{
    // Small, and without the GIF and the background image, whose scaled draws cost Wine's
    // GDI+ some 20 ms a redraw; neither makes a GDI object of ours.
    open({}, CRect(1300, 600, 1560, 760));
    const auto cycle = [&] {
        splash->ShowWindow(SW_HIDE);
        splash->ShowWindow(SW_SHOWNOACTIVATE);
        tick(2);
    };
    expectNoGdiGrowth(cycle, 1000);
}
