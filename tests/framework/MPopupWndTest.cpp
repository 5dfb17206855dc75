#include <gtest/gtest.h>

#include "LibraryHost.h"

#include <algorithm>
#include <utility>
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
        deepest = std::max(deepest, ++depth);
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
    void SetUp() override { open(popup); }
    void TearDown() override { popup.DestroyWindow(); }
    void open(DropDown& window)
    {
        window.SetParent(&opener);
        window.Create(owner.hwnd(), L"ComboWnd", kDropDownStyle, WS_EX_TOOLWINDOW, kPlace);
        ASSERT_NE(nullptr, window.GetSafeHwnd());
    }
    bool closed()
    {
        return pumpUntil([&] { return popup.GetSafeHwnd() == nullptr; });
    }

    TestWindow owner;
    RecordingParent top;
    EventLog log;
    Opener opener { &top, 3, CRect(0, 0, 10, 10), log };
    DropDown popup;
};

// How many references others hold on a drop target.
ULONG heldByOthers(IDropTarget* target)
{
    const ULONG held = target->AddRef() - 1;
    target->Release();
    return held;
}

} // namespace

TEST_F(OpenDropDown, IsABoundFramelessToolWindowWhoseControlsReportToItsParentAsChildZero)
{
    EXPECT_TRUE(popup.GetExStyle() & WS_EX_TOOLWINDOW);
    EXPECT_EQ(0u, popup.GetStyle() & (WS_CAPTION | WS_THICKFRAME));
    EXPECT_EQ(std::vector<CRect> { CRect(0, 0, 160, 160) }, popup.initRects);
    EXPECT_EQ(popup.GetSafeHwnd(), popup.GetPaintManager()->GetPaintWnd());

    EXPECT_EQ(77, popup.SendMessageToParent(2, 5, 0x13));
    addNotifyingControl(*popup.GetPaintManager(), &popup, 88, CRect(0, 0, 50, 20), log);
    popup.GetControl(88)->OnLButtonDown(MK_LBUTTON, CPoint(5, 5));
    auto heard = [](const Notification& n) { return std::vector<UINT> { n.id, n.code, n.wParam }; };
    ASSERT_EQ(2u, opener.heard.size());
    EXPECT_EQ((std::vector<UINT> { 0, 2, 5 }), heard(opener.heard[0]));
    EXPECT_EQ((std::vector<UINT> { 0, 1, 0 }), heard(opener.heard[1]));
    popup.SetParent(nullptr);
    EXPECT_EQ(0, popup.SendMessageToParent(2, 5, 0x13));
}

TEST_F(OpenDropDown, ClosesWhenAnotherWindowIsActivatedOrOnCloseMessages)
{
    SetActiveWindow(popup.GetSafeHwnd());
    ASSERT_TRUE(pumpUntil([&] { return GetActiveWindow() == popup.GetSafeHwnd(); }));
    {
        TestWindow other;
        SetActiveWindow(other.hwnd());
        EXPECT_TRUE(closed());
    }
    open(popup);
    popup.PostMessageW(0x442, 1, 0);
    EXPECT_TRUE(closed());
    open(popup);
    popup.CloseWindow();
    EXPECT_TRUE(closed());
}

TEST_F(OpenDropDown, NewSizesReachUISizeWithoutRecursing)
{
    popup.SetWindowPos(nullptr, 10, 10, 120, 90, SWP_NOZORDER | SWP_NOACTIVATE);
    // The frame change raises the message once more inside the first; that one stops at once.
    EXPECT_EQ(2, popup.deepest);
    EXPECT_EQ(0, popup.depth);
    ASSERT_FALSE(popup.sizeRects.empty());
    EXPECT_EQ(CRect(0, 0, 120, 90), popup.sizeRects.back());
    popup.MoveWindow(0, 0, 120, 1, FALSE);
    EXPECT_EQ(CRect(0, 0, 120, 1), popup.sizeRects.back());
}

TEST_F(OpenDropDown, DefaultColourKeyMakesItColourKeyedAndRegionRounds)
{
    popup.SetupBackTranslucent();
    COLORREF key = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(popup.GetSafeHwnd(), &key, nullptr, &flags));
    EXPECT_EQ(std::make_pair(COLORREF(0x00F1F1F1), DWORD(LWA_COLORKEY)), std::make_pair(key, flags));
    popup.SetupRegion(8);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(COMPLEXREGION, GetWindowRgn(popup.GetSafeHwnd(), region));
    DeleteObject(region);
}

TEST_F(OpenDropDown, ADestroyedWindowLetsGoOfItsDropTargetButKeepsItsControlsUntilTheObjectGoes)
{
    int deaths = 0;
    auto* dropped = new DropDown;
    open(*dropped);
    addNotifyingControl(*dropped->GetPaintManager(), dropped, 88, CRect(0, 0, 50, 20), log, &deaths);
    IDropTarget* target = dropped->GetPaintManager();
    auto* data = new CIDataObject(nullptr);
    data->AddRef();
    FORMATETC format { CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI };
    STGMEDIUM medium { TYMED_GDI, { CreateBitmap(4, 4, 1, 32, nullptr) }, nullptr };
    ASSERT_EQ(S_OK, data->SetData(&format, &medium, TRUE));
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(S_OK, target->DragEnter(data, 0, POINTL { 10, 10 }, &effect));
    ASSERT_EQ(S_OK, target->Drop(data, 0, POINTL { 10, 10 }, &effect));
    data->Release();
    EXPECT_GT(heldByOthers(target), 0u); // OLE, for the registration

    dropped->DestroyWindow();
    EXPECT_EQ(0u, heldByOthers(target));
    EXPECT_EQ(0, deaths);
    EXPECT_NE(nullptr, dropped->GetControl(88));
    delete dropped;
    EXPECT_EQ(1, deaths);
}
