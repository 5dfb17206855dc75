#include <gtest/gtest.h>

#include "LibraryHost.h"

#include <algorithm>
#include <vector>

#include "NotifyingControl.h"
#include "PumpUntil.h"
#include "TestWindow.h"
#include "KOVA.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

// A drop-down as the combo boxes make them: passes what its controls report to its parent.
class DropDown : public MPopupWnd {
public:
    void InitUI(CRect rect) override { initRects.push_back(rect); }
    void UISize(CRect rect) override { sizeRects.push_back(rect); }
    LRESULT OnMessage(UINT, UINT code, UINT wParam, LONG lParam) override
    {
        return SendMessageToParent(code, wParam, lParam);
    }
    int OnWindowPosChanged(WINDOWPOS* position) override
    {
        ++depth;
        deepest = std::max(deepest, depth);
        const int result = MPopupWnd::OnWindowPosChanged(position);
        --depth;
        return result;
    }
    using MPopupWnd::SetupRegion;

    std::vector<CRect> initRects;
    std::vector<CRect> sizeRects;
    int depth { 0 };
    int deepest { 0 };
};

// The control that opened the drop-down: hears it in OnMessage.
class Opener : public RecordingControl {
public:
    using RecordingControl::RecordingControl;
    LONG OnMessage(UINT id, UINT code, UINT wParam, LONG lParam) override
    {
        heard.push_back({ id, code, wParam, lParam });
        return 77;
    }
    std::vector<Notification> heard;
};

constexpr DWORD kDropDownStyle = 0x96000000; // popup, visible, clip siblings and children
const CRect kPlace(200, 150, 360, 310);

class OpenDropDown : public ::testing::Test {
protected:
    void SetUp() override
    {
        popup.SetParent(&opener);
        popup.Create(owner.hwnd(), L"ComboWnd", kDropDownStyle, WS_EX_TOOLWINDOW, kPlace);
        ASSERT_NE(nullptr, popup.GetSafeHwnd());
    }
    void TearDown() override { popup.DestroyWindow(); }
    bool closed()
    {
        return pumpUntil([&] { return popup.GetSafeHwnd() == nullptr; });
    }

    TestWindow owner;
    RecordingParent top;
    EventLog log;
    Opener opener { &top, 3, CRect(0, 0, 10, 10), log };
    int deaths { 0 };
    DropDown popup;
};

} // namespace

TEST_F(OpenDropDown, IsAFramelessToolWindowThatGetsItsClientRectangle)
{
    EXPECT_TRUE(popup.GetExStyle() & WS_EX_TOOLWINDOW);
    EXPECT_EQ(0u, popup.GetStyle() & (WS_CAPTION | WS_THICKFRAME));
    ASSERT_EQ(1u, popup.initRects.size());
    EXPECT_EQ(CRect(0, 0, 160, 160), popup.initRects[0]);
    EXPECT_EQ(popup.GetSafeHwnd(), popup.GetPaintManager()->GetPaintWnd());
}

TEST_F(OpenDropDown, ReportsToItsParentAsChildZero)
{
    EXPECT_EQ(77, popup.SendMessageToParent(2, 5, 0x13));
    ASSERT_EQ(1u, opener.heard.size());
    EXPECT_EQ(0u, opener.heard[0].id);
    EXPECT_EQ(2u, opener.heard[0].code);
    EXPECT_EQ(5u, opener.heard[0].wParam);
    popup.SetParent(nullptr);
    EXPECT_EQ(0, popup.SendMessageToParent(2, 5, 0x13));
}

TEST_F(OpenDropDown, ItsControlsNotificationsReachThePopupsOnMessage)
{
    addNotifyingControl(*popup.GetPaintManager(), &popup, 88, CRect(0, 0, 50, 20), log);
    popup.GetControl(88)->OnLButtonDown(MK_LBUTTON, CPoint(5, 5));
    ASSERT_FALSE(opener.heard.empty());
    EXPECT_EQ(1u, opener.heard.back().code);
}

TEST_F(OpenDropDown, ClosesWhenAnotherWindowIsActivated)
{
    SetActiveWindow(popup.GetSafeHwnd());
    ASSERT_TRUE(pumpUntil([&] { return GetActiveWindow() == popup.GetSafeHwnd(); }));
    TestWindow other;
    SetActiveWindow(other.hwnd());
    EXPECT_TRUE(closed());
}

TEST_F(OpenDropDown, CloseMessagesEndIt)
{
    popup.PostMessageW(0x442, 1, 0);
    EXPECT_TRUE(closed());
    popup.Create(owner.hwnd(), L"ComboWnd", kDropDownStyle, WS_EX_TOOLWINDOW, kPlace);
    popup.CloseWindow();
    EXPECT_TRUE(closed());
}

TEST_F(OpenDropDown, MovingReappliesTheFrameWithoutRecursing)
{
    popup.sizeRects.clear();
    popup.SetWindowPos(nullptr, 10, 10, 120, 90, SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame change raises the message once more inside the first; that one stops at once.
    EXPECT_EQ(2, popup.deepest);
    EXPECT_EQ(0, popup.depth);
    ASSERT_FALSE(popup.sizeRects.empty());
    EXPECT_EQ(CRect(0, 0, 120, 90), popup.sizeRects.back());
}

TEST_F(OpenDropDown, UISizeComesEvenForAOnePixelClient)
{
    popup.sizeRects.clear();
    popup.MoveWindow(0, 0, 120, 1, FALSE);
    ASSERT_FALSE(popup.sizeRects.empty());
    EXPECT_EQ(CRect(0, 0, 120, 1), popup.sizeRects.back());
}

TEST_F(OpenDropDown, DefaultColourKeyMakesItColourKeyedAndRegionRounds)
{
    popup.SetupBackTranslucent();
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(popup.GetSafeHwnd(), &key, &alpha, &flags));
    EXPECT_EQ(0x00F1F1F1u, key);
    EXPECT_EQ(static_cast<DWORD>(LWA_COLORKEY), flags);

    popup.SetupRegion(8);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(COMPLEXREGION, GetWindowRgn(popup.GetSafeHwnd(), region));
    DeleteObject(region);
}

TEST_F(OpenDropDown, ItsControlsStayUntilTheObjectGoes)
{
    addNotifyingControl(*popup.GetPaintManager(), &popup, 88, CRect(0, 0, 50, 20), log, &deaths);
    popup.DestroyWindow();
    EXPECT_EQ(nullptr, popup.GetSafeHwnd());
    EXPECT_EQ(0, deaths);
    EXPECT_NE(nullptr, popup.GetControl(88));
}
