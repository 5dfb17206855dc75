// The library's process-wide services (scaling, the window map, the message loop, paths, the
// registry store), and what the control families build on through a real dialog: the panels'
// scroll offsets, the scroll bar's repaint and the paint manager's caret.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "DibCanvas.h"
#include "KOVA.h"
#include "LibraryHost.h"
#include "NotedDialog.h"
#include "PumpUntil.h"
#include "RecordingControl.h"
#include "TestWindow.h"
#include "WindowCapture.h"
#include "framework/AppPaths.h"
#include "framework/Registry.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {
const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);
} // namespace

// 1.1f × 10 is 11.000000238 in single precision: still 11, not 10; negatives truncate toward zero.
TEST(ManagerSettings, ScaleTruncatesTowardZeroInSinglePrecision)
{
    Manager::SetScaleValue(1.5f);
    const std::vector<int> atOneAndAHalf { Manager::GetScaleValue(7), Manager::GetScaleValue(-7) };
    Manager::SetScaleValue(1.1f);
    EXPECT_EQ((std::vector<int> { 10, -10, 11 }), (std::vector<int> { atOneAndAHalf[0], atOneAndAHalf[1], Manager::GetScaleValue(10) }));
    Manager::SetScaleValue(1.0f);
}

// What came before the quit is dispatched; Alt+F4 is dropped only while both keys are down (a
// key pressed and released earlier leaves only the "pressed since" bit: not held).
TEST(ManagerLoop, DispatchesWhatCameBeforeTheQuitAndDropsAltF4OnlyWhileHeld)
{
    KOVA::test::TestWindow window(10, 10, WS_POPUP);
    int dispatched = 0;
    window.onMessage([&](UINT msg, WPARAM, LPARAM, LRESULT&) { return msg == WM_APP + 1 && ++dispatched; });
    PostMessageW(window.hwnd(), WM_APP + 1, 0, 0);
    PostMessageW(window.hwnd(), WM_APP + 1, 0, 0);
    PostQuitMessage(0);
    Manager::MessageLoop();
    EXPECT_EQ(2, dispatched);
    const auto droppedAfter = [](std::initializer_list<std::pair<BYTE, bool>> strokes) {
        for (const auto& [key, up] : strokes)
            keybd_event(key, 0, up ? KEYEVENTF_KEYUP : 0, 0);
        MSG msg {};
        return Manager::PreTranslateMessage(&msg);
    };
    EXPECT_EQ((std::vector<int> { 0, 1, 0 }),
              (std::vector<int> { droppedAfter({ { VK_MENU, false }, { VK_F4, false }, { VK_F4, true }, { VK_MENU, true } }),
                                  droppedAfter({ { VK_MENU, false }, { VK_F4, false } }), droppedAfter({ { VK_MENU, true }, { VK_F4, true } }) }));
}

// From a machine that has never seen the brand key: the first read creates it, a write
// before that does nothing, and a long value is read whole.
TEST(RegistryStore, FirstReadCreatesTheKeyThenWritesLandAndLongValuesAreReadWhole)
{
    const auto brandKeyExists = [] {
        HKEY key = nullptr;
        return RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\BRAVIK", 0, KEY_READ, &key) == ERROR_SUCCESS && !RegCloseKey(key);
    };
    RegDeleteKeyW(HKEY_CURRENT_USER, L"SOFTWARE\\BRAVIK");
    WriteRegString(L"led_image_scale", L"1.500000");
    EXPECT_FALSE(brandKeyExists());
    CString text = L"unchanged";
    EXPECT_FALSE(ReadRegString(text, L"led_cpushowtype"));
    EXPECT_TRUE(text == L"0" && brandKeyExists());
    const std::wstring longValue(700, L'7');
    WriteRegString(L"led_car_font_color", longValue.c_str());
    EXPECT_TRUE(ReadRegString(text, L"led_car_font_color"));
    EXPECT_EQ(CString(longValue.c_str()), text);
    RegDeleteKeyW(HKEY_CURRENT_USER, L"SOFTWARE\\BRAVIK");
}

namespace {

constexpr COLORREF kContent = RGB(0, 0, 0), kBand = RGB(255, 0, 0);
constexpr DWORD kBandRgb = 0xFF0000, kThumbAtRest = 0x70707C;
constexpr int kRow = 20;

// Content 1000 pixels tall in a 200-pixel panel, a red band at content y 100. It draws the
// content shifted by the offset the panel keeps, and counts the paints where it moved.
class ScrollingContent : public MPanel {
public:
    ScrollingContent(MObject* parent, CRect rect) : MPanel(parent, 10, rect, 1) { SetVirtualHeight(1000); }
    void DrawControl(HDC& dc, CRect) override
    {
        if (m_scrollOffsetY != m_drawnOffsetY)
            ++moves;
        m_drawnOffsetY = m_scrollOffsetY;
        MRender::FillSolidRect(dc, m_rect.left, m_rect.top, m_rect.Width() - 20, m_rect.Height(), kContent);
        MRender::FillSolidRect(dc, m_rect.left, m_rect.top + 100 - m_scrollOffsetY, m_rect.Width() - 20, 20, kBand);
    }
    int offset() const { return m_scrollOffsetY; }
    int offsetX() const { return m_scrollOffsetX; }
    int moves { 0 };
};

// A list as the list controls are: no virtual height, its rows scrolled by itself. It writes
// the panel's offset when it paints and hit-tests its rows with it.
class RowList : public MPanel {
public:
    RowList(MObject* parent, CRect rect) : MPanel(parent, 11, rect, 1) {}
    void DrawControl(HDC& dc, CRect) override
    {
        m_scrollOffsetY = scrolledBy;
        MRender::FillSolidRect(dc, m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), kContent);
    }
    int OnControlLButtonDown(UINT, CPoint pt) override
    {
        pressedRow = (pt.y - m_rect.top + m_scrollOffsetY) / kRow;
        return 1;
    }
    int scrolledBy { 0 };
    int pressedRow { -1 };
};

class ServicedDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        content = adopt(new ScrollingContent(&dialog, CRect(20, 20, 240, 220)));
        list = adopt(new RowList(&dialog, CRect(260, 20, 380, 220)));
        ASSERT_TRUE(settled());
    }
    template <class Control>
    Control* adopt(Control* control)
    {
        control->SetManager(manager());
        manager()->AppendControl(control, 1);
        return control;
    }
    PaintManager* manager() { return dialog.GetPaintManager(); }
    HWND hwnd() { return dialog.GetSafeHwnd(); }
    // Every message handled and every paint done.
    bool settled()
    {
        return pumpUntil([&] {
            MSG msg;
            return !PeekMessageW(&msg, hwnd(), 0, 0, PM_NOREMOVE) && !GetUpdateRect(hwnd(), nullptr, FALSE);
        });
    }
    void post(UINT msg, WPARAM wParam, CPoint pt) { PostMessageW(hwnd(), msg, wParam, MAKELPARAM(pt.x, pt.y)); }
    // One notch toward the user; the wheel carries screen coordinates.
    void wheelDown(CPoint pt)
    {
        ClientToScreen(hwnd(), &pt);
        post(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), pt);
    }
    DWORD shown(int x, int y) { return captureClient(hwnd())->rgb(x, y); }

    NotedDialog dialog { CRect(1300, 100, 1700, 400) };
    ScrollingContent* content { nullptr };
    RowList* list { nullptr };
};

} // namespace

TEST_F(ServicedDialog, APanelKeepsTheOffsetOfItsBarsWhereAListsOwnOffsetIsLeftAlone)
{
    EXPECT_EQ(kBandRgb, shown(100, 130));
    // One notch toward the user: the bar steps 10 of its 1000, the content 800 × 10 / 1000.
    content->GetScrollVertical()->SetScrollInfo(1000, 0, 400, 100);
    wheelDown(CPoint(100, 100));
    ASSERT_TRUE(settled());
    EXPECT_EQ(std::make_pair(80, 1), std::make_pair(content->offset(), content->moves));
    EXPECT_EQ(kBandRgb, shown(100, 50));
    EXPECT_EQ(0u, shown(100, 130));
    // Across, the content is 500 wide in 220: half way along, a moved pointer reads 140.
    content->SetVirtualWidth(500);
    content->GetScrollHorizontal()->SetScrollInfo(1000, 500, 100, 0);
    post(WM_MOUSEMOVE, 0, CPoint(100, 100));
    ASSERT_TRUE(settled());
    EXPECT_EQ(std::make_pair(140, 80), std::make_pair(content->offsetX(), content->offset()));

    // The list wrote 35 when it painted; moves, a child's repaint request and the wheel over
    // it keep it, so its rows are hit where they were drawn.
    list->scrolledBy = 35;
    list->UpdateControl(1, 0);
    ASSERT_TRUE(settled());
    EventLog log;
    auto* child = new RecordingControl(list, 12, CRect(262, 200, 270, 210), log);
    child->SetManager(manager());
    list->GetControls().push_back(child);
    post(WM_MOUSEMOVE, 0, CPoint(300, 30));
    child->UpdateControl(1, 0);
    wheelDown(CPoint(300, 100));
    post(WM_LBUTTONDOWN, MK_LBUTTON, CPoint(300, 30));
    post(WM_LBUTTONUP, 0, CPoint(300, 30));
    ASSERT_TRUE(pumpUntil([&] { return list->pressedRow >= 0; }));
    EXPECT_EQ((10 + 35) / kRow, list->pressedRow);
}

TEST_F(ServicedDialog, AnOwnersMoveOfTheBarRepaintsItThroughItsParent)
{
    CScrollVertical* bar = content->GetScrollVertical();
    bar->SetControlRect(CRect(228, 20, 240, 220));
    bar->SetScrollInfo(1000, 0, 400, 100);
    dialog.InvalidateRect(CRect(0, 0, 400, 300), FALSE);
    ASSERT_TRUE(settled());
    ASSERT_TRUE(nearColor(shown(234, 60), kThumbAtRest)) << std::hex << shown(234, 60);
    // Nothing else asks for it: the bar's own SetRange does.
    bar->SetScrollCurrentPos(1000);
    ASSERT_TRUE(settled());
    EXPECT_TRUE(nearColor(shown(234, 180), kThumbAtRest)) << std::hex << shown(234, 180);
    EXPECT_FALSE(nearColor(shown(234, 60), kThumbAtRest)) << std::hex << shown(234, 60);
}

// The window's blink timer turns the phase over and back.
TEST_F(ServicedDialog, TheCaretSitsWhereItIsPutAndBlinksWhileShown)
{
    ASSERT_EQ(1, manager()->CreateCaret(nullptr, 2, 16));
    ASSERT_EQ(1, manager()->SetCaretPos(nullptr, 30, 15));
    ASSERT_EQ(1, manager()->ShowCaret(1));
    EXPECT_EQ(std::make_pair(1, 1), std::make_pair(manager()->IsCaretShown(), manager()->GetCaretPhase()));
    EXPECT_TRUE(pumpUntil([&] { return manager()->GetCaretPhase() == 0; }, 3000));
    EXPECT_TRUE(pumpUntil([&] { return manager()->GetCaretPhase() == 1; }, 3000));
    manager()->ShowCaret(0);
    EXPECT_EQ(std::make_pair(0, 0), std::make_pair(manager()->IsCaretShown(), manager()->GetCaretPhase()));
    DestroyCaret();
}
