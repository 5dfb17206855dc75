// What the paint manager puts on its window: the plain background and its border, background
// images, areas below controls, the repaint walk, layered windows, the message and progress
// overlay and the caret, read back from the window or from its back buffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "BoundWindow.h"
#include "GdiObjectCount.h"
#include "LibraryHost.h"
#include "InkScan.h"
#include "PumpUntil.h"
#include "ScratchStrip.h"
#include "WindowCapture.h"
#include "framework/AppPaths.h"
#include "framework/RectsMeet.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

// Test colours are 0x00RRGGBB, as the capture reads them back.
constexpr DWORD kBack = 0x1478DC, kBorder = 0xC82864, kAreaFill = 0x2020F0, kControlFill = 0xF02020;
constexpr DWORD kFrame = 0xE6E6E6, kFace = 0xFEFEFE, kBar = 0xFFE100;

COLORREF toColorRef(DWORD rgb)
{
    return RGB(channel(rgb, 16), channel(rgb, 8), channel(rgb, 0));
}

// Fills its rectangle with one colour through GDI and notes the DC it was drawn into: the
// window's back buffer, whose pixels (0xAARRGGBB, bottom-up) can then be read.
class FillControl : public RecordingControl {
public:
    FillControl(MObject* parent, UINT id, CRect rect, EventLog& log, DWORD rgb) : RecordingControl(parent, id, rect, log), color(rgb) {}
    void DrawControl(HDC& dc, CRect paintRect) override
    {
        RecordingControl::DrawControl(dc, paintRect);
        MRender::FillSolidRect(dc, &m_rect, toColorRef(color));
        buffer = dc;
    }
    DWORD bufferPixel(int x, int y) const
    {
        GdiFlush();
        DIBSECTION dib {};
        GetObjectW(GetCurrentObject(buffer, OBJ_BITMAP), sizeof(dib), &dib);
        return static_cast<const DWORD*>(dib.dsBm.bmBits)[(dib.dsBm.bmHeight - 1 - y) * dib.dsBm.bmWidth + x];
    }

    DWORD color;
    HDC buffer { nullptr };
};

// A framed cell with a centred caption, drawn as every list, tile and button family draws one.
class CaptionControl : public MControl {
public:
    CaptionControl(MObject* parent, CRect rect, HFONT font) : MControl(parent, 7, rect, 1, 1, 1), m_font(font) {}
    void DrawControl(HDC& dc, CRect) override
    {
        MRender::FillFramedRect(dc, m_rect, RGB(0x3A, 0x6E, 0xA5), RGB(0xA0, 0xC4, 0xE8));
        CRect text = m_rect;
        MRender::DrawTextW(dc, text, caption, RGB(255, 255, 255), m_font, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }

    const wchar_t* caption { L"" };

private:
    HFONT m_font;
};

// The same cell drawn by the system's own calls.
std::unique_ptr<DibCanvas> systemsCell(CRect cell, const wchar_t* caption, HFONT font)
{
    auto canvas = std::make_unique<DibCanvas>(400, 400);
    HDC dc = canvas->dc();
    SetDCBrushColor(dc, RGB(0xA0, 0xC4, 0xE8));
    FillRect(dc, &cell, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    CRect inside = cell;
    inside.DeflateRect(1, 1);
    SetDCBrushColor(dc, RGB(0x3A, 0x6E, 0xA5));
    FillRect(dc, &inside, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    const HGDIOBJ previous = SelectObject(dc, font);
    ::DrawTextW(dc, caption, -1, &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, previous);
    return canvas;
}

// The pixels of one canvas that differ from another's inside area.
int differences(const DibCanvas& a, const DibCanvas& b, const CRect& area)
{
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            count += a.rgb(x, y) != b.rgb(x, y) ? 1 : 0;
    return count;
}

// A rich edit whose focus flag the test sets.
class FocusEdit : public MRichEdit {
public:
    FocusEdit(MObject* parent, CRect rect) : MRichEdit(parent, 40, rect, L"", 1, 1) {}
    void setFocused(int focused) { m_focused = focused; }
};

// Reaches the back buffer's rendering.
class RenderProbe : public PaintManager {
public:
    using PaintManager::renderBackBuffer;
};

// A 400 × 400 window whose paints and timers go to its paint manager.
class Painting : public ::testing::Test, public BoundWindow<RenderProbe> {
protected:
    Painting() : BoundWindow([](UINT msg) { return msg == WM_PAINT || msg == WM_ERASEBKGND || msg == WM_TIMER; }, 400, 400)
    {
        manager.SetBackColor(toColorRef(kBack), toColorRef(kBorder));
    }

    FillControl* add(UINT id, CRect rect, DWORD rgb = kControlFill, int kind = 1)
    {
        return adopt(manager, new FillControl(&top, id, rect, log, rgb), kind);
    }
    std::unique_ptr<DibCanvas> shot()
    {
        ::InvalidateRect(window.hwnd(), nullptr, FALSE);
        ::UpdateWindow(window.hwnd());
        return captureClient(window.hwnd());
    }
    bool timerSeen(UINT id)
    {
        return pumpUntil([&] { return timerTicks[id] > 0; });
    }
    void ticks(UINT id, int count)
    {
        for (int i = 0; i < count; ++i)
            manager.OnTimer(id);
    }
};

} // namespace

// ---- painting

TEST_F(Painting, BorderAroundTheBackColourThenAreasThenControlsAndOnlyTheUpdateReachesTheWindow)
{
    // The control is appended first, yet the area lies below it.
    FillControl* control = add(1, CRect(100, 100, 200, 200), kControlFill, 1);
    add(2, CRect(50, 50, 150, 150), kAreaFill, 0);
    expectPixels(*shot(), { { 0, 0, kBorder }, { 200, 0, kBorder }, { 399, 200, kBorder }, { 200, 399, kBorder }, { 0, 399, kBorder },
                            { 1, 1, kBack }, { 398, 398, kBack }, { 250, 250, kBack }, { 75, 75, kAreaFill }, { 125, 125, kControlFill },
                            { 175, 175, kControlFill } }, 3);
    control->color = kAreaFill;
    RECT part { 150, 150, 175, 175 };
    ::InvalidateRect(window.hwnd(), &part, FALSE);
    ::UpdateWindow(window.hwnd());
    expectPixels(*captureClient(window.hwnd()), { { 160, 160, kAreaFill }, { 190, 190, kControlFill } });
}

// The plain background is written row by row into the part being painted: the window's
// outermost pixels inside that part take the border colour, whichever edges the part touches,
// and nothing outside it is written.
TEST_F(Painting, APartialPaintFramesOnlyTheWindowEdgesItTouches)
{
    constexpr int kWidth = 9, kHeight = 6;
    constexpr DWORD kStale = 0x7F7F7F7F;
    BackBuffer buffer;
    HDC screen = GetDC(nullptr);
    ASSERT_TRUE(buffer.Ensure(screen, kWidth, kHeight));
    ReleaseDC(nullptr, screen);
    DWORD* pixels = reinterpret_cast<DWORD*>(buffer.bits());
    auto pixel = [&](int x, int y) { return pixels[(kHeight - 1 - y) * kWidth + x]; };
    const CRect client(0, 0, kWidth, kHeight);
    manager.renderBackBuffer(buffer.dc(), buffer.bits(), client, client);
    const DWORD edge = pixel(0, 0), inside = pixel(1, 1);
    ASSERT_TRUE(nearColor(edge & 0xFFFFFF, kBorder, 1) && nearColor(inside & 0xFFFFFF, kBack, 1)) << std::hex << edge << " " << inside;
    for (const CRect& part : { CRect(0, 0, 3, 2), CRect(5, 3, 9, 6), CRect(2, 1, 6, 4), CRect(8, 0, 9, 6), CRect(0, 5, 9, 6),
                               CRect(0, 1, 9, 5), CRect(-2, 2, 4, 9), client }) {
        std::fill_n(pixels, kWidth * kHeight, kStale);
        manager.renderBackBuffer(buffer.dc(), buffer.bits(), client, part);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const bool onEdge = x == 0 || y == 0 || x == kWidth - 1 || y == kHeight - 1;
                EXPECT_EQ(!part.PtInRect(POINT { x, y }) ? kStale : onEdge ? edge : inside, pixel(x, y))
                    << "part (" << part.left << ", " << part.top << ", " << part.right << ", " << part.bottom << ") at " << x << ", " << y;
            }
    }
}

// A caption drawn from its kept measure in the paint shows the system's pixels and follows a
// new text; a repaint of part of the cell changes that part only, the rest keeps the old text.
TEST_F(Painting, CaptionFollowsItsTextAndAPartialRepaintChangesOnlyItsPart)
{
    HFONT font = CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH, L"DejaVu Sans");
    const CRect cell(100, 100, 221, 151), left(100, 100, 160, 151), right(160, 100, 221, 151);
    CaptionControl* control = adopt(manager, new CaptionControl(&top, cell, font));
    control->caption = L"Before";
    const auto before = systemsCell(cell, L"Before", font), after = systemsCell(cell, L"After it", font);
    ASSERT_GT(differences(*before, *after, left), 0);
    ASSERT_GT(differences(*before, *after, right), 0);
    EXPECT_EQ(0, differences(*shot(), *before, cell));
    control->caption = L"After it";
    ::InvalidateRect(window.hwnd(), &left, FALSE);
    ::UpdateWindow(window.hwnd());
    const auto partly = captureClient(window.hwnd());
    EXPECT_EQ((std::vector<int> { 0, 0 }), (std::vector<int> { differences(*partly, *after, left), differences(*partly, *before, right) }));
    EXPECT_EQ(0, differences(*shot(), *after, cell));
    DeleteObject(font);
}

// The inline test of whether two rectangles meet answers as IntersectRect does, for every pair
// of small rectangles: touching, overlapping, nested, empty and inside out.
TEST(PaintWalk, RectsMeetWhereIntersectRectFindsAPixel)
{
    std::vector<RECT> rects;
    for (int left = 0; left < 4; ++left)
        for (int top = 0; top < 3; ++top)
            for (int right = 0; right < 4; ++right)
                for (int bottom = 0; bottom < 3; ++bottom)
                    rects.push_back(RECT { left, top, right, bottom });
    int disagreements = 0;
    for (const RECT& a : rects)
        for (const RECT& b : rects) {
            RECT common;
            disagreements += detail::RectsMeet(a, b) != (::IntersectRect(&common, &a, &b) != FALSE) ? 1 : 0;
        }
    EXPECT_EQ(0, disagreements);
}

// A background image stretched over the window keeps its own colour out to the last row and
// column, paint after paint: nothing from past the picture's edges is smeared into them.
TEST_F(Painting, StretchedBackgroundImageReachesTheWindowEdgesInItsOwnColour)
{
    constexpr DWORD kPicture = 0x00FFFF;
    const ScratchPng picture(GetSkinPath(), L"paint_stretched_back.png", 16, 16, { { 0, 0, 16, 16, 0xFF000000 | kPicture } });
    ASSERT_TRUE(picture.written());
    ASSERT_EQ(1, manager.LoadBKImage(L"paint_stretched_back.png"));
    ASSERT_EQ(BackModeStretch, manager.GetBackMode());
    for (int paint = 0; paint < 3; ++paint) {
        const auto canvas = shot();
        int astray = 0;
        for (int i = 0; i < 400; ++i)
            for (const POINT at : { POINT { i, 0 }, POINT { i, 399 }, POINT { 0, i }, POINT { 399, i }, POINT { i, i } })
                astray += nearColor(canvas->rgb(at.x, at.y), kPicture, 2) ? 0 : 1;
        EXPECT_EQ(0, astray) << "paint " << paint;
    }
}

TEST_F(Painting, MinimisedWindowIsValidatedWithoutDrawingOrCreatingAnything)
{
    FillControl* control = add(1, CRect(0, 0, 50, 50));
    ::ShowWindow(window.hwnd(), SW_MINIMIZE);
    pumpMessages();
    ASSERT_TRUE(::IsIconic(window.hwnd()));
    const int drawn = control->drawCount;
    // An iconic window has an empty client area: only its frame can be invalidated.
    expectNoGdiGrowth([&] {
        ::RedrawWindow(window.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
        ASSERT_TRUE(::GetUpdateRect(window.hwnd(), nullptr, FALSE));
        EXPECT_EQ(1, manager.OnPaint());
        EXPECT_FALSE(::GetUpdateRect(window.hwnd(), nullptr, FALSE));
    }, 20);
    EXPECT_EQ(drawn, control->drawCount);
}

TEST_F(Painting, LayeredWindowIsDrawnWholeOthersOnlyWhereUpdatedAndNoPaintLeavesAGdiObject)
{
    for (const int layered : { 0, 1 }) {
        SCOPED_TRACE(layered ? "layered" : "plain");
        FillControl* control = add(1, CRect(300, 300, 350, 350));
        manager.SetMessage(L"message", CRect(20, 200, 220, 260), MsgLevelInfo);
        manager.SetLayeredWindow(layered);
        pumpMessages();
        RECT corner { 0, 0, 10, 10 };
        ::InvalidateRect(window.hwnd(), &corner, FALSE);
        const int drawn = control->drawCount;
        EXPECT_EQ(1, manager.OnPaint());
        EXPECT_EQ(drawn + layered, control->drawCount);
        EXPECT_EQ(layered != 0, (::GetWindowLongW(window.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED) != 0);
        EXPECT_FALSE(::GetUpdateRect(window.hwnd(), nullptr, FALSE));
        expectNoGdiGrowth([&] { shot(); }, 20);
        manager.ClearControls();
    }
}

// A layered window is presented whole, and Wine clips a paint's own rectangle to the screen:
// what GDI drew (alpha 0) and the background must be made opaque also on the part off the
// screen, their colours kept.
TEST_F(Painting, LayeredOutputIsMadeOpaqueWholeAlsoOffTheScreen)
{
    ::SetWindowPos(window.hwnd(), nullptr, ::GetSystemMetrics(SM_CXSCREEN) - 20, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pumpMessages();
    FillControl* control = add(1, CRect(10, 20, 180, 80), 0x336699);
    manager.SetLayeredWindow(1);
    ::InvalidateRect(window.hwnd(), nullptr, FALSE);
    ASSERT_EQ(1, manager.OnPaint());
    ASSERT_TRUE(control->buffer);
    for (const PixelAt& at : { PixelAt { 15, 50, 0x336699 }, { 150, 50, 0x336699 }, { 5, 50, kBack }, { 250, 50, kBack }, { 0, 50, kBorder },
                               { 399, 50, kBorder } }) {
        const DWORD pixel = control->bufferPixel(at.x, at.y);
        EXPECT_TRUE(pixel >> 24 >= 254 && nearColor(pixel, at.rgb, 1)) << at.x << ", " << at.y << ": " << std::hex << pixel;
    }
}

// ---- repaint requests: which items the walk marks stale (0) and what it invalidates

TEST_F(Painting, RepaintRequestMarksLaterOverlappingItemsOnlyAndInvalidatesTheirUnion)
{
    struct Item { CRect rect; int kind; bool visible; int updateAfter; };
    struct Case { const char* name; std::vector<Item> items; size_t requester; int flag; CRect invalidated; };
    const Case cases[] = {
        { "flag 0 leaves the requester and earlier items", { { { 0, 0, 100, 100 }, 1, true, 1 }, { { 50, 50, 150, 150 }, 1, true, 1 },
                                                             { { 100, 100, 200, 200 }, 1, true, 0 }, { { 300, 300, 350, 350 }, 1, true, 1 } },
          1, 0, { 50, 50, 200, 200 } },
        { "another flag marks the requester too", { { { 50, 50, 150, 150 }, 1, true, 0 } }, 0, 1, { 50, 50, 150, 150 } },
        { "an area reaches later areas, then controls, not hidden ones",
          { { { 0, 0, 100, 100 }, 0, true, 1 }, { { 50, 50, 150, 150 }, 0, true, 1 }, { { 60, 60, 70, 70 }, 0, true, 0 },
            { { 140, 0, 160, 60 }, 1, true, 0 }, { { 50, 50, 60, 60 }, 1, false, 1 } },
          1, 0, { 50, 0, 160, 150 } },
        { "no overlap through an enlargement", { { { 0, 0, 50, 50 }, 1, true, 1 }, { { 40, 40, 100, 100 }, 1, true, 0 },
                                                 { { 90, 90, 120, 120 }, 1, true, 1 } },
          0, 0, { 0, 0, 100, 100 } },
        { "the last control invalidates exactly its rectangle", { { { 0, 0, 300, 300 }, 1, true, 1 }, { { 20, 30, 70, 90 }, 1, true, 0 } },
          1, 1, { 20, 30, 70, 90 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<FillControl*> controls;
        for (const Item& item : c.items) {
            controls.push_back(add(static_cast<UINT>(controls.size() + 1), item.rect, kControlFill, item.kind));
            controls.back()->SetControlVisible(item.visible);
        }
        pumpMessages();
        for (FillControl* control : controls)
            control->SetUpdate(1, 0);
        EXPECT_EQ(0, manager.OnControlUpdate(controls[c.requester]->GetRect(), c.flag, controls[c.requester]));
        for (size_t i = 0; i < controls.size(); ++i)
            EXPECT_EQ(c.items[i].updateAfter, controls[i]->GetUpdate()) << "item " << i;
        EXPECT_EQ(c.invalidated, invalid());
        manager.ClearAreaControls();
        manager.ClearControls();
        ::ValidateRect(window.hwnd(), nullptr);
    }
}

TEST_F(Painting, RepaintRequestOfALayeredWindowIsWholeAndWithoutAControlOrAWindowMarksNothing)
{
    EXPECT_EQ(0, manager.OnControlUpdate(CRect(0, 0, 10, 10), 1, nullptr));
    EXPECT_EQ(CRect(), invalid());
    FillControl* control = add(1, CRect(20, 30, 70, 90));
    manager.SetLayeredWindow(1);
    pumpMessages();
    manager.OnControlUpdate(control->GetRect(), 1, control);
    EXPECT_EQ(CRect(0, 0, 400, 400), invalid());

    PaintManager unbound;
    auto* requester = new RecordingControl(&top, 1, CRect(0, 0, 50, 50), log);
    auto* above = new RecordingControl(&top, 2, CRect(0, 0, 50, 50), log);
    unbound.AppendControl(requester, 1);
    unbound.AppendControl(above, 1);
    above->SetUpdate(1, 0);
    unbound.OnControlUpdate(requester->GetRect(), 0, requester);
    EXPECT_EQ(1, above->GetUpdate()) << "nothing is marked before Init";
    unbound.ClearAllControls();
}

// ---- overlay

// A message shows frame, face and text unless empty; progress without a rectangle is the
// bottom strip; progress set again to the same value changes nothing.
TEST_F(Painting, OverlayShowsInItsRectangleUnlessEmptyOrUnchanged)
{
    manager.SetMessage(L"", CRect(20, 20, 220, 80), MsgLevelInfo);
    expectPixels(*shot(), { { 20, 20, kBack } }, 3);
    manager.SetMessage(L"MMMMMMMM", CRect(20, 20, 220, 80), MsgLevelWarning);
    const auto canvas = shot();
    expectPixels(*canvas, { { 20, 20, kFrame }, { 219, 79, kFrame }, { 215, 75, kFace }, { 19, 19, kBack } }, 3);
    // The overlay's own font is not installed here: the text still shows, dark on the face.
    EXPECT_GT(scanInk(*canvas, CRect(25, 25, 215, 75), kFace, 0, 0x7F).matching, 20);

    manager.SetProgress(3, L"copying", CRect());
    expectPixels(*shot(), { { 200, 339, kBack }, { 200, 340, kFrame }, { 200, 345, kFace }, { 200, 397, kFrame }, { 200, 398, kBack } }, 3);
    manager.SetProgress(50, L"first", CRect(20, 20, 220, 80));
    ticks(PaintManager::kProgressTimerId, 25);
    manager.SetProgress(50, L"second", CRect(20, 200, 220, 260));
    expectPixels(*shot(), { { 20, 20, kFrame }, { 20, 200, kBack } }, 3);
}

TEST_F(Painting, OverlayHoldTimerHandsOverToTheFadeWhichEndsAtTheTwentyFourthStep)
{
    manager.SetMessage(L"saved", CRect(20, 20, 220, 80), MsgLevelInfo);
    manager.OnTimer(PaintManager::kMessageHoldTimerId);
    ASSERT_TRUE(timerSeen(PaintManager::kOverlayFadeTimerId));
    // The fade's own steps so far, then the test's up to the 23rd: alpha 25, still drawn, faintly.
    ticks(PaintManager::kOverlayFadeTimerId, 23 - timerTicks[PaintManager::kOverlayFadeTimerId]);
    EXPECT_FALSE(nearColor(shot()->rgb(100, 50), kBack));
    ticks(PaintManager::kOverlayFadeTimerId, 1);
    EXPECT_TRUE(nearColor(shot()->rgb(100, 50), kBack));
}

TEST_F(Painting, OverlayProgressBarGrowsTwoPercentATickUpToItsValue)
{
    // The bar starts at x 60 and is 200 pixels long at 100 %; a step under 6 % shows at once.
    struct Step { int value, ticks, filledAt, emptyAt; };
    for (const Step step : { Step { 4, 0, 62, 70 }, Step { 40, 10, 70, 110 }, Step { 40, 8, 135, 150 }, Step { 100, 29, 255, 259 },
                             Step { 100, 1, 259, 262 } }) {
        manager.SetProgress(step.value, L"copying", CRect(50, 100, 270, 160));
        ticks(PaintManager::kProgressTimerId, step.ticks);
        const auto canvas = shot();
        EXPECT_TRUE(nearColor(canvas->rgb(step.filledAt, 145), kBar, 6) && !nearColor(canvas->rgb(step.emptyAt, 145), kBar, 6))
            << step.value << "%, " << step.ticks << " more ticks";
    }
    EXPECT_TRUE(timerSeen(PaintManager::kOverlayFadeTimerId)) << "full progress fades";
}

// ---- caret

class CaretWindow : public Painting {
protected:
    CaretWindow()
    {
        // The test steps the blinking itself: the real caret timer is not served.
        routed = [](UINT msg) { return msg == WM_PAINT || msg == WM_ERASEBKGND; };
        edit = adopt(manager, new FocusEdit(&top, CRect(10, 10, 200, 40)));
        edit->SetTextColor(Gdiplus::Color(255, 0, 200, 0));
        edit->setFocused(1);
    }
    ~CaretWindow() override { ::DestroyCaret(); }
    // The caret shows only in the focused window, and a paint without the focus stops its
    // blinking for good; a test program beside this one may take the activation at any moment.
    // So the focus is taken back, with nothing left to paint meanwhile, before each look.
    bool caretAt(int x, int y)
    {
        ::ValidateRect(window.hwnd(), nullptr);
        EXPECT_TRUE(::GetFocus() == window.hwnd() || pumpUntil([&] {
            ::SetForegroundWindow(window.hwnd());
            ::SetFocus(window.hwnd());
            return ::GetFocus() == window.hwnd();
        })) << "the window cannot take the focus";
        return nearColor(shot()->rgb(x, y), 0x00C800, 4);
    }
    void showCaretAt(int x, int y)
    {
        caretAt(x, y);
        ASSERT_EQ(1, manager.CreateCaret(nullptr, 2, 16));
        ASSERT_EQ(1, manager.SetCaretPos(edit, x, y));
        ASSERT_EQ(1, manager.ShowCaret(1));
    }

    FocusEdit* edit { nullptr };
};

TEST_F(CaretWindow, IsDrawnInTheOwnersTextColourBlinksMovesHidesAndStopsWithTheOwnersFocus)
{
    showCaretAt(30, 15);
    EXPECT_TRUE(caretAt(30, 20) && caretAt(31, 30) && !caretAt(32, 20));
    manager.OnTimer(PaintManager::kCaretTimerId);
    EXPECT_FALSE(caretAt(30, 20));
    manager.OnTimer(PaintManager::kCaretTimerId);
    ASSERT_EQ(1, manager.SetCaretPos(edit, 100, 15));
    EXPECT_TRUE(!caretAt(30, 20) && caretAt(100, 20));
    EXPECT_EQ(1, manager.ShowCaret(0));
    EXPECT_FALSE(caretAt(100, 20));

    showCaretAt(30, 15);
    edit->setFocused(0);
    EXPECT_FALSE(caretAt(30, 20));
    // The blinking stopped with it: focus back alone does not show the caret again.
    edit->setFocused(1);
    EXPECT_FALSE(caretAt(30, 20));
}

// The focus went elsewhere (another window, a native edit) and came back: the owner shows its
// caret again, and it blinks again.
TEST_F(CaretWindow, ComesBackWhenItsOwnerShowsItAgainAfterTheFocusLeft)
{
    showCaretAt(30, 15);
    edit->setFocused(0);
    EXPECT_FALSE(caretAt(30, 20));
    EXPECT_EQ(0, manager.IsCaretShown());
    edit->setFocused(1);
    ASSERT_EQ(1, manager.ShowCaret(1));
    EXPECT_TRUE(caretAt(30, 20));
    manager.OnTimer(PaintManager::kCaretTimerId);
    EXPECT_FALSE(caretAt(30, 20));
}

TEST_F(CaretWindow, IsForgottenWithItsOwner)
{
    showCaretAt(30, 15);
    EXPECT_EQ(edit, manager.GetCurrentCaretObject());
    manager.RemoveControl(edit);
    edit = nullptr;
    EXPECT_EQ(nullptr, manager.GetCurrentCaretObject());
    // Painting afterwards must not reach the dead owner.
    shot();
    EXPECT_FALSE(::GetUpdateRect(window.hwnd(), nullptr, FALSE));
}
