#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "GdiObjectCount.h"
#include "GdiplusEnvironment.h"
#include "RecordingControl.h"
#include "TestWindow.h"
#include "WindowCapture.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

auto* const gdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

// Test colours are 0x00RRGGBB, as the capture reads them back.
constexpr DWORD kBack = 0x1478DC;
constexpr DWORD kBorder = 0xC82864;
constexpr DWORD kAreaFill = 0x2020F0;
constexpr DWORD kControlFill = 0xF02020;
constexpr DWORD kFrame = 0xE6E6E6;
constexpr DWORD kFace = 0xFEFEFE;
constexpr DWORD kBar = 0xFFE100;

COLORREF toColorRef(DWORD rgb)
{
    return RGB(channel(rgb, 16), channel(rgb, 8), channel(rgb, 0));
}

// A control that fills its rectangle with one colour through GDI.
class FillControl : public RecordingControl {
public:
    FillControl(MObject* parent, UINT id, CRect rect, EventLog& log, DWORD rgb)
        : RecordingControl(parent, id, rect, log), color(rgb) {}

    void DrawControl(HDC& dc, CRect paintRect) override
    {
        RecordingControl::DrawControl(dc, paintRect);
        HBRUSH brush = CreateSolidBrush(toColorRef(color));
        FillRect(dc, &m_rect, brush);
        DeleteObject(brush);
    }

    DWORD color;
};

// A rich edit whose focus flag the test sets.
class FocusEdit : public MRichEdit {
public:
    FocusEdit(MObject* parent, CRect rect) : MRichEdit(parent, 40, rect, L"", 1, 1) {}
    void setFocused(int focused) { m_focused = focused; }
};

// A 400 × 400 window whose WM_PAINT and WM_TIMER go to its paint manager.
class PaintedWindow : public ::testing::Test {
protected:
    PaintedWindow() : window(400, 400)
    {
        window.onMessage([this](UINT msg, WPARAM wParam, LPARAM, LRESULT& result) { return handle(msg, wParam, result); });
        manager.Init(window.hwnd(), nullptr);
        manager.SetBackColor(toColorRef(kBack), toColorRef(kBorder));
        pumpMessages();
    }
    ~PaintedWindow() override
    {
        window.onMessage({});
        ::DestroyCaret();
    }

    bool handle(UINT msg, WPARAM wParam, LRESULT& result)
    {
        result = 0;
        if (msg == WM_PAINT) {
            ++paints;
            manager.OnPaint();
            return true;
        }
        if (msg == WM_ERASEBKGND) {
            result = 1;
            return true;
        }
        if (msg == WM_TIMER) {
            timerIds.push_back(static_cast<UINT>(wParam));
            manager.OnTimer(static_cast<UINT>(wParam));
            return true;
        }
        return false;
    }

    FillControl* add(UINT id, CRect rect, DWORD rgb, int kind = 1)
    {
        auto* control = new FillControl(&top, id, rect, log, rgb);
        control->SetManager(&manager);
        manager.AppendControl(control, kind);
        return control;
    }

    void repaint()
    {
        ::InvalidateRect(window.hwnd(), nullptr, FALSE);
        ::UpdateWindow(window.hwnd());
    }

    DWORD pixelAfterRepaint(int x, int y)
    {
        repaint();
        return captureClient(window.hwnd())->rgb(x, y);
    }

    CRect updateRect()
    {
        CRect rect;
        if (!::GetUpdateRect(window.hwnd(), &rect, FALSE))
            return CRect();
        return rect;
    }

    // Lets the message loop run until the window sees WM_TIMER with the id, for two seconds at most.
    bool pumpUntilTimer(UINT id)
    {
        auto seen = [&] { return std::count(timerIds.begin(), timerIds.end(), id) > 0; };
        const DWORD start = GetTickCount();
        while (!seen() && GetTickCount() - start < 2000) {
            pumpMessages();
            Sleep(5);
        }
        return seen();
    }

    void fadeSteps(int count)
    {
        for (int i = 0; i < count; ++i)
            manager.OnTimer(PaintManager::kOverlayFadeTimerId);
    }

    void progressSteps(int count)
    {
        for (int i = 0; i < count; ++i)
            manager.OnTimer(PaintManager::kProgressTimerId);
    }

    TestWindow window;
    RecordingParent top;
    EventLog log;
    PaintManager manager;
    int paints { 0 };
    std::vector<UINT> timerIds;
};

using Painting = PaintedWindow;
using RepaintRequest = PaintedWindow;
using Overlay = PaintedWindow;
using Caret = PaintedWindow;
using PaintResources = PaintedWindow;

void markAllCurrent(std::initializer_list<MControl*> controls)
{
    for (MControl* control : controls)
        control->SetUpdate(1, 0);
}

// A 24-bit BMP file of width × height whose pixel colours (0x00RRGGBB) come from colorAt.
void writeBmp(const CString& path, int width, int height, const std::function<DWORD(int, int)>& colorAt)
{
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file {};
    BITMAPINFOHEADER info {};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + stride * height;
    std::vector<BYTE> pixels(static_cast<size_t>(stride) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const DWORD rgb = colorAt(x, height - 1 - y);
            BYTE* p = &pixels[static_cast<size_t>(y) * stride + x * 3];
            p[0] = static_cast<BYTE>(channel(rgb, 0));
            p[1] = static_cast<BYTE>(channel(rgb, 8));
            p[2] = static_cast<BYTE>(channel(rgb, 16));
        }
    HANDLE out = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(out, &file, sizeof(file), &written, nullptr);
    WriteFile(out, &info, sizeof(info), &written, nullptr);
    WriteFile(out, pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
    CloseHandle(out);
}

// A 20 × 20 background image: a 4-pixel green frame around red.
CString writeFramedBackground()
{
    CreateDirectoryW(GetExePath() + L"skins", nullptr);
    CreateDirectoryW(GetSkinPath(), nullptr);
    writeBmp(GetSkinPath() + L"paint_test_back.bmp", 20, 20, [](int x, int y) {
        const bool frame = x < 4 || y < 4 || x >= 16 || y >= 16;
        return frame ? DWORD(0x00C800) : DWORD(0xC80000);
    });
    return L"paint_test_back.bmp";
}

} // namespace

// ---- painting

TEST_F(Painting, BackgroundIsTheBackColourInsideAOnePixelBorder)
{
    repaint();
    auto shot = captureClient(window.hwnd());
    for (POINT edge : { POINT { 0, 0 }, POINT { 200, 0 }, POINT { 399, 200 }, POINT { 200, 399 }, POINT { 0, 399 } })
        EXPECT_TRUE(nearColor(shot->rgb(edge.x, edge.y), kBorder)) << edge.x << "," << edge.y << " " << std::hex
                                                                   << shot->rgb(edge.x, edge.y);
    for (POINT inside : { POINT { 1, 1 }, POINT { 200, 200 }, POINT { 398, 398 } })
        EXPECT_TRUE(nearColor(shot->rgb(inside.x, inside.y), kBack)) << inside.x << "," << inside.y << " " << std::hex
                                                                     << shot->rgb(inside.x, inside.y);
}

TEST_F(Painting, ControlsDrawTheirFillAboveTheAreas)
{
    // The control is appended first, yet the area lies below it.
    add(1, CRect(100, 100, 200, 200), kControlFill, 1);
    add(2, CRect(50, 50, 150, 150), kAreaFill, 0);
    repaint();
    auto shot = captureClient(window.hwnd());
    EXPECT_EQ(kAreaFill, shot->rgb(75, 75));
    EXPECT_EQ(kControlFill, shot->rgb(125, 125));
    EXPECT_EQ(kControlFill, shot->rgb(175, 175));
    EXPECT_TRUE(nearColor(shot->rgb(250, 250), kBack));
}

TEST_F(Painting, OnlyTheUpdateRectangleReachesTheWindow)
{
    FillControl* control = add(1, CRect(0, 0, 400, 400), kControlFill);
    repaint();
    control->color = kAreaFill;
    RECT part { 0, 0, 100, 100 };
    ::InvalidateRect(window.hwnd(), &part, FALSE);
    ::UpdateWindow(window.hwnd());
    auto shot = captureClient(window.hwnd());
    EXPECT_EQ(kAreaFill, shot->rgb(50, 50));
    EXPECT_EQ(kControlFill, shot->rgb(150, 150));
}

TEST_F(Painting, StretchedBackgroundImageReplacesTheColours)
{
    ASSERT_EQ(1, manager.LoadBKImage(writeFramedBackground()));
    manager.SetBackMode(BackModeStretch, 4);
    repaint();
    auto shot = captureClient(window.hwnd());
    // Twenty times larger: the 4-pixel frame becomes 80 pixels wide.
    EXPECT_TRUE(nearColor(shot->rgb(0, 0), 0x00C800, 8)) << std::hex << shot->rgb(0, 0);
    EXPECT_TRUE(nearColor(shot->rgb(50, 50), 0x00C800, 8)) << std::hex << shot->rgb(50, 50);
    EXPECT_TRUE(nearColor(shot->rgb(200, 200), 0xC80000, 8)) << std::hex << shot->rgb(200, 200);
}

TEST_F(Painting, NineGridBackgroundKeepsItsFrameThin)
{
    ASSERT_EQ(1, manager.LoadBKImage(writeFramedBackground()));
    manager.SetBackMode(BackModeNineGrid, 4);
    repaint();
    auto shot = captureClient(window.hwnd());
    EXPECT_TRUE(nearColor(shot->rgb(2, 200), 0x00C800, 8)) << std::hex << shot->rgb(2, 200);
    EXPECT_TRUE(nearColor(shot->rgb(200, 397), 0x00C800, 8)) << std::hex << shot->rgb(200, 397);
    EXPECT_TRUE(nearColor(shot->rgb(50, 50), 0xC80000, 8)) << std::hex << shot->rgb(50, 50);
}

TEST_F(Painting, MinimisedWindowIsValidatedWithoutDrawing)
{
    FillControl* control = add(1, CRect(0, 0, 50, 50), kControlFill);
    ::ShowWindow(window.hwnd(), SW_MINIMIZE);
    pumpMessages();
    ASSERT_TRUE(::IsIconic(window.hwnd()));
    const int drawn = control->drawCount;
    // An iconic window has an empty client area: only its frame can be invalidated.
    ::RedrawWindow(window.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
    ASSERT_TRUE(::GetUpdateRect(window.hwnd(), nullptr, FALSE));
    EXPECT_EQ(1, manager.OnPaint());
    EXPECT_FALSE(::GetUpdateRect(window.hwnd(), nullptr, FALSE));
    EXPECT_EQ(drawn, control->drawCount);
}

TEST_F(Painting, NothingToPaintReturnsZero)
{
    pumpMessages();
    EXPECT_EQ(0, manager.OnPaint());
}

TEST_F(Painting, LayeredWindowPaintsWholeAndBecomesLayered)
{
    FillControl* control = add(1, CRect(300, 300, 350, 350), kControlFill);
    manager.SetLayeredWindow(1);
    RECT corner { 0, 0, 10, 10 };
    ::InvalidateRect(window.hwnd(), &corner, FALSE);
    const int drawn = control->drawCount;
    EXPECT_EQ(1, manager.OnPaint());
    // The control lies outside the update rectangle, but a layered window is drawn whole.
    EXPECT_EQ(drawn + 1, control->drawCount);
    EXPECT_NE(0, ::GetWindowLongW(window.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_FALSE(::GetUpdateRect(window.hwnd(), nullptr, FALSE));
}

TEST_F(Painting, NonLayeredPaintSkipsControlsOutsideTheUpdate)
{
    FillControl* control = add(1, CRect(300, 300, 350, 350), kControlFill);
    pumpMessages();
    RECT corner { 0, 0, 10, 10 };
    ::InvalidateRect(window.hwnd(), &corner, FALSE);
    const int drawn = control->drawCount;
    EXPECT_EQ(1, manager.OnPaint());
    EXPECT_EQ(drawn, control->drawCount);
    EXPECT_EQ(0, ::GetWindowLongW(window.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

// ---- repaint requests

TEST_F(RepaintRequest, FlagZeroMarksOnlyLaterOverlappingItems)
{
    FillControl* below = add(1, CRect(0, 0, 100, 100), kControlFill);
    FillControl* requester = add(2, CRect(50, 50, 150, 150), kControlFill);
    FillControl* above = add(3, CRect(100, 100, 200, 200), kControlFill);
    FillControl* apart = add(4, CRect(300, 300, 350, 350), kControlFill);
    pumpMessages();
    markAllCurrent({ below, requester, above, apart });

    EXPECT_EQ(0, manager.OnControlUpdate(requester->GetRect(), 0, requester));
    EXPECT_EQ(1, below->GetUpdate());
    EXPECT_EQ(1, requester->GetUpdate());
    EXPECT_EQ(0, above->GetUpdate());
    EXPECT_EQ(1, apart->GetUpdate());
    EXPECT_EQ(CRect(50, 50, 200, 200), updateRect());
}

TEST_F(RepaintRequest, NonZeroFlagAlsoMarksTheRequester)
{
    FillControl* requester = add(1, CRect(50, 50, 150, 150), kControlFill);
    pumpMessages();
    markAllCurrent({ requester });
    manager.OnControlUpdate(requester->GetRect(), 1, requester);
    EXPECT_EQ(0, requester->GetUpdate());
}

TEST_F(RepaintRequest, AnAreaRequestReachesLaterAreasThenControls)
{
    FillControl* earlierArea = add(1, CRect(0, 0, 100, 100), kAreaFill, 0);
    FillControl* requester = add(2, CRect(50, 50, 150, 150), kAreaFill, 0);
    FillControl* laterArea = add(3, CRect(60, 60, 70, 70), kAreaFill, 0);
    FillControl* control = add(4, CRect(140, 0, 160, 60), kControlFill);
    FillControl* hidden = add(5, CRect(50, 50, 60, 60), kControlFill);
    hidden->SetControlVisible(0);
    pumpMessages();
    markAllCurrent({ earlierArea, requester, laterArea, control, hidden });

    manager.OnControlUpdate(requester->GetRect(), 0, requester);
    EXPECT_EQ(1, earlierArea->GetUpdate());
    EXPECT_EQ(0, laterArea->GetUpdate());
    EXPECT_EQ(0, control->GetUpdate());
    EXPECT_EQ(1, hidden->GetUpdate());
    EXPECT_EQ(CRect(50, 0, 160, 150), updateRect());
}

TEST_F(RepaintRequest, OverlapThroughAnEnlargementIsNotMarked)
{
    FillControl* requester = add(1, CRect(0, 0, 50, 50), kControlFill);
    FillControl* above = add(2, CRect(40, 40, 100, 100), kControlFill);
    FillControl* aboveThat = add(3, CRect(90, 90, 120, 120), kControlFill);
    pumpMessages();
    markAllCurrent({ requester, above, aboveThat });

    manager.OnControlUpdate(requester->GetRect(), 0, requester);
    EXPECT_EQ(0, above->GetUpdate());
    EXPECT_EQ(1, aboveThat->GetUpdate());
    EXPECT_EQ(CRect(0, 0, 100, 100), updateRect());
}

TEST_F(RepaintRequest, TheLastControlInvalidatesExactlyItsRectangle)
{
    add(1, CRect(0, 0, 300, 300), kControlFill);
    FillControl* last = add(2, CRect(20, 30, 70, 90), kControlFill);
    pumpMessages();
    manager.OnControlUpdate(last->GetRect(), 1, last);
    EXPECT_EQ(last->GetRect(), updateRect());
}

TEST_F(RepaintRequest, LayeredWindowIsInvalidatedWhole)
{
    FillControl* control = add(1, CRect(20, 30, 70, 90), kControlFill);
    manager.SetLayeredWindow(1);
    pumpMessages();
    manager.OnControlUpdate(control->GetRect(), 1, control);
    EXPECT_EQ(CRect(0, 0, 400, 400), updateRect());
    pumpMessages();
    manager.InvalidateRect(CRect(1, 1, 2, 2), 0);
    EXPECT_EQ(CRect(0, 0, 400, 400), updateRect());
}

TEST_F(RepaintRequest, WithoutAControlNothingHappens)
{
    pumpMessages();
    EXPECT_EQ(0, manager.OnControlUpdate(CRect(0, 0, 10, 10), 1, nullptr));
    EXPECT_EQ(CRect(), updateRect());
}

TEST(RepaintRequestUnbound, MarksNothingBeforeInit)
{
    PaintManager manager;
    RecordingParent top;
    EventLog log;
    auto* requester = new RecordingControl(&top, 1, CRect(0, 0, 50, 50), log);
    auto* above = new RecordingControl(&top, 2, CRect(0, 0, 50, 50), log);
    manager.AppendControl(requester, 1);
    manager.AppendControl(above, 1);
    above->SetUpdate(1, 0);
    EXPECT_EQ(0, manager.OnControlUpdate(requester->GetRect(), 0, requester));
    EXPECT_EQ(1, above->GetUpdate());
    manager.ClearAllControls();
}

// ---- overlay

TEST_F(Overlay, MessageShowsFrameFaceAndText)
{
    manager.SetMessage(L"MMMMMMMM", CRect(20, 20, 220, 80), MsgLevelWarning);
    repaint();
    auto shot = captureClient(window.hwnd());
    EXPECT_EQ(kFrame, shot->rgb(20, 20));
    EXPECT_EQ(kFrame, shot->rgb(219, 79));
    EXPECT_EQ(kFace, shot->rgb(215, 75));
    EXPECT_TRUE(nearColor(shot->rgb(19, 19), kBack));
    // The overlay's own font is not installed here: the text still shows, dark on the face.
    int dark = 0;
    for (int y = 25; y < 75; ++y)
        for (int x = 25; x < 215; ++x)
            dark += channel(shot->rgb(x, y), 8) < 0x80;
    EXPECT_GT(dark, 20);
}

TEST_F(Overlay, MessageFadesAwayAtTheTwentyFourthStep)
{
    manager.SetMessage(L"saved", CRect(20, 20, 220, 80), MsgLevelInfo);
    manager.OnTimer(PaintManager::kMessageHoldTimerId);
    fadeSteps(23);
    // Alpha 25: still drawn, faintly.
    EXPECT_FALSE(nearColor(pixelAfterRepaint(100, 50), kBack)) << std::hex << pixelAfterRepaint(100, 50);
    fadeSteps(1);
    EXPECT_TRUE(nearColor(pixelAfterRepaint(100, 50), kBack)) << std::hex << pixelAfterRepaint(100, 50);
}

TEST_F(Overlay, HoldTimerHandsOverToTheFadeTimer)
{
    manager.SetMessage(L"saved", CRect(20, 20, 220, 80), MsgLevelInfo);
    manager.OnTimer(PaintManager::kMessageHoldTimerId);
    EXPECT_TRUE(pumpUntilTimer(PaintManager::kOverlayFadeTimerId));
}

TEST_F(Overlay, EmptyTextDrawsNothing)
{
    manager.SetMessage(L"", CRect(20, 20, 220, 80), MsgLevelInfo);
    EXPECT_TRUE(nearColor(pixelAfterRepaint(20, 20), kBack));
}

TEST_F(Overlay, EmptyRectangleGivesTheBottomStrip)
{
    manager.SetProgress(3, L"copying", CRect());
    repaint();
    auto shot = captureClient(window.hwnd());
    EXPECT_TRUE(nearColor(shot->rgb(200, 339), kBack));
    EXPECT_EQ(kFrame, shot->rgb(200, 340));
    EXPECT_EQ(kFace, shot->rgb(200, 345));
    EXPECT_EQ(kFrame, shot->rgb(200, 397));
    EXPECT_TRUE(nearColor(shot->rgb(200, 398), kBack));
}

TEST_F(Overlay, ProgressStepsTwoPercentATick)
{
    const CRect box(50, 100, 270, 160); // bar from x 60, 200 pixels long
    manager.SetProgress(40, L"copying", box);
    progressSteps(10);
    // 20 %: the bar ends near x 100.
    repaint();
    auto shot = captureClient(window.hwnd());
    EXPECT_TRUE(nearColor(shot->rgb(70, 145), kBar, 6)) << std::hex << shot->rgb(70, 145);
    EXPECT_FALSE(nearColor(shot->rgb(110, 145), kBar, 6));
    progressSteps(10);
    repaint();
    shot = captureClient(window.hwnd());
    EXPECT_TRUE(nearColor(shot->rgb(135, 145), kBar, 6));
    EXPECT_FALSE(nearColor(shot->rgb(150, 145), kBar, 6));
}

TEST_F(Overlay, FullProgressAnimatesFiftyTicksThenFades)
{
    const CRect box(50, 100, 270, 160);
    manager.SetProgress(100, L"done", box);
    progressSteps(49);
    repaint();
    auto shot = captureClient(window.hwnd());
    EXPECT_FALSE(nearColor(shot->rgb(259, 145), kBar, 6)) << "98 % leaves the last pixels";
    EXPECT_TRUE(nearColor(shot->rgb(255, 145), kBar, 6));
    progressSteps(1);
    repaint();
    shot = captureClient(window.hwnd());
    EXPECT_TRUE(nearColor(shot->rgb(259, 145), kBar, 6));
    EXPECT_TRUE(pumpUntilTimer(PaintManager::kOverlayFadeTimerId));
}

TEST_F(Overlay, SameProgressTwiceChangesNothing)
{
    manager.SetProgress(50, L"first", CRect(20, 20, 220, 80));
    progressSteps(25);
    manager.SetProgress(50, L"second", CRect(20, 200, 220, 260));
    repaint();
    auto shot = captureClient(window.hwnd());
    EXPECT_EQ(kFrame, shot->rgb(20, 20));
    EXPECT_TRUE(nearColor(shot->rgb(20, 200), kBack));
}

TEST_F(Overlay, SmallProgressStepIsShownAtOnce)
{
    const CRect box(50, 100, 270, 160);
    manager.SetProgress(4, L"x", box);
    repaint();
    auto shot = captureClient(window.hwnd());
    // 4 % of 200 pixels: the bar covers x 60 to 68.
    EXPECT_TRUE(nearColor(shot->rgb(62, 145), kBar, 6)) << std::hex << shot->rgb(62, 145);
}

// ---- caret

class CaretWindow : public PaintedWindow {
protected:
    CaretWindow()
    {
        edit = new FocusEdit(&top, CRect(10, 10, 200, 40));
        edit->SetManager(&manager);
        edit->SetTextColor(Gdiplus::Color(255, 0, 200, 0));
        edit->setFocused(1);
        manager.AppendControl(edit, 1);
        ::SetForegroundWindow(window.hwnd());
        ::SetFocus(window.hwnd());
        pumpMessages();
    }

    void showCaretAt(int x, int y)
    {
        ASSERT_EQ(1, manager.CreateCaret(nullptr, 2, 16));
        ASSERT_EQ(1, manager.SetCaretPos(edit, x, y));
        ASSERT_EQ(1, manager.ShowCaret(1));
    }

    bool caretDrawnAt(int x, int y) { return nearColor(pixelAfterRepaint(x, y), 0x00C800, 4); }

    FocusEdit* edit { nullptr };
};

TEST_F(CaretWindow, IsDrawnInTheOwnersTextColourAndBlinks)
{
    ASSERT_EQ(window.hwnd(), ::GetFocus());
    showCaretAt(30, 15);
    EXPECT_TRUE(caretDrawnAt(30, 20)) << std::hex << pixelAfterRepaint(30, 20);
    EXPECT_TRUE(caretDrawnAt(31, 30));
    EXPECT_FALSE(caretDrawnAt(32, 20));
    manager.OnTimer(PaintManager::kCaretTimerId);
    EXPECT_FALSE(caretDrawnAt(30, 20));
    manager.OnTimer(PaintManager::kCaretTimerId);
    EXPECT_TRUE(caretDrawnAt(30, 20));
}

TEST_F(CaretWindow, MovesWithSetCaretPos)
{
    showCaretAt(30, 15);
    ASSERT_EQ(1, manager.SetCaretPos(edit, 100, 15));
    EXPECT_FALSE(caretDrawnAt(30, 20));
    EXPECT_TRUE(caretDrawnAt(100, 20));
}

TEST_F(CaretWindow, StopsWhenTheOwnerLosesFocus)
{
    showCaretAt(30, 15);
    edit->setFocused(0);
    EXPECT_FALSE(caretDrawnAt(30, 20));
    // The blinking stopped with it: focus back alone does not show the caret again.
    edit->setFocused(1);
    EXPECT_FALSE(caretDrawnAt(30, 20));
}

TEST_F(CaretWindow, HiddenCaretIsNotDrawn)
{
    showCaretAt(30, 15);
    EXPECT_EQ(1, manager.ShowCaret(0));
    EXPECT_FALSE(caretDrawnAt(30, 20));
}

TEST_F(CaretWindow, OwnerIsForgottenWhenItGoesAway)
{
    showCaretAt(30, 15);
    EXPECT_EQ(edit, manager.GetCurrentCaretObject());
    manager.RemoveControl(edit);
    edit = nullptr;
    EXPECT_EQ(nullptr, manager.GetCurrentCaretObject());
    // Painting afterwards must not reach the dead owner.
    repaint();
    EXPECT_FALSE(::GetUpdateRect(window.hwnd(), nullptr, FALSE));
}

// ---- resources of a paint

TEST_F(PaintResources, NoGdiObjectOutlivesAPaint)
{
    const int before0 = countGdiObjects();
    if (before0 < 0)
        GTEST_SKIP() << "GDI objects cannot be counted outside Wine";
    add(1, CRect(10, 10, 100, 100), kControlFill);
    manager.SetMessage(L"message", CRect(20, 200, 220, 260), MsgLevelInfo);
    repaint(); // the first paint may create what GDI and GDI+ keep for the process
    const int before = countGdiObjects();
    for (int i = 0; i < 20; ++i)
        repaint();
    EXPECT_EQ(before, countGdiObjects());
}

TEST_F(PaintResources, NoGdiObjectOutlivesALayeredPaint)
{
    if (countGdiObjects() < 0)
        GTEST_SKIP() << "GDI objects cannot be counted outside Wine";
    add(1, CRect(10, 10, 100, 100), kControlFill);
    manager.SetLayeredWindow(1);
    repaint();
    const int before = countGdiObjects();
    for (int i = 0; i < 20; ++i)
        repaint();
    EXPECT_EQ(before, countGdiObjects());
}

TEST_F(PaintResources, MinimisedPaintsCreateNothing)
{
    if (countGdiObjects() < 0)
        GTEST_SKIP() << "GDI objects cannot be counted outside Wine";
    ::ShowWindow(window.hwnd(), SW_MINIMIZE);
    pumpMessages();
    const int before = countGdiObjects();
    for (int i = 0; i < 20; ++i) {
        ::RedrawWindow(window.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
        manager.OnPaint();
    }
    EXPECT_EQ(before, countGdiObjects());
}

// ---- layered pixels, looked at through the render seam

namespace {
class RenderProbe : public PaintManager {
public:
    using PaintManager::renderBackBuffer;
};

DWORD pixelAt(const BYTE* bits, int width, int height, int x, int y)
{
    return reinterpret_cast<const DWORD*>(bits)[(height - 1 - y) * width + x];
}
} // namespace

TEST(LayeredRender, GdiOutputBecomesOpaqueOverAFullBackground)
{
    TestWindow window(200, 100);
    RenderProbe manager;
    manager.Init(window.hwnd(), nullptr);
    manager.SetLayeredWindow(1);
    manager.SetBackColor(RGB(10, 20, 30), RGB(200, 0, 0));
    EventLog log;
    RecordingParent top;
    auto* control = new FillControl(&top, 1, CRect(50, 20, 150, 80), log, 0x336699);
    control->SetManager(&manager);
    manager.AppendControl(control, 1);

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BYTE* bits = nullptr;
    HBITMAP buffer = MRender::CreateARGB32Bitmap(screen, 200, 100, &bits);
    HGDIOBJ previous = SelectObject(memory, buffer);
    // Stale pixels from an earlier paint must not survive in the repainted area.
    memset(bits, 0x7F, 200 * 100 * 4);
    const CRect client(0, 0, 200, 100);
    manager.renderBackBuffer(memory, bits, client, client);
    GdiFlush();

    // The control's GDI fill left alpha 0: it is made opaque, its colour kept.
    EXPECT_EQ(0xFF336699u, pixelAt(bits, 200, 100, 100, 50));
    // The background covers every pixel: nothing of the stale buffer shows through.
    EXPECT_GE(pixelAt(bits, 200, 100, 10, 50) >> 24, 254u);
    EXPECT_GE(pixelAt(bits, 200, 100, 0, 0) >> 24, 254u);
    const DWORD back = pixelAt(bits, 200, 100, 10, 50);
    EXPECT_NEAR(10, static_cast<int>((back >> 16) & 0xFF), 1);
    EXPECT_NEAR(30, static_cast<int>(back & 0xFF), 1);
    const DWORD border = pixelAt(bits, 200, 100, 0, 50);
    EXPECT_NEAR(200, static_cast<int>((border >> 16) & 0xFF), 1);

    SelectObject(memory, previous);
    DeleteObject(buffer);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    manager.DestroyData();
}
