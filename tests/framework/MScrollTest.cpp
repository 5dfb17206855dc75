#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

#include "DibCanvas.h"
#include "GdiplusEnvironment.h"
#include "KOVA.h"
#include "RecordingControl.h"
#include "ScratchStrip.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const gdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

// Colours of the library's strips (0x00RRGGBB).
constexpr DWORD kThumbAtRest = 0x70707C, kThumbHovered = 0xA06EE6, kThumbDragged = 0xBD30FF, kWhite = 0xFFFFFF;
constexpr UINT kBarId = 1;

// A 12 × 400 vertical bar at (100, 50), as the library cuts its strips: the thumb's column
// is 12 pixels wide, so each strip column lands on the bar pixel for pixel.
const CRect kVerticalBar(100, 50, 112, 450);
const CRect kHorizontalBar(100, 50, 500, 62);

// A bar of the axis its rectangle is long in.
std::unique_ptr<MScroll> barOf(MObject* parent, CRect rect)
{
    if (rect.Width() > rect.Height())
        return std::make_unique<CScrollHorizontal>(parent, kBarId, rect, 1);
    return std::make_unique<CScrollVertical>(parent, kBarId, rect, 1);
}

// Records the positions reported (code 8 of the bar, lParam 0) and the bar's changing flag
// while each is reported.
class BarParent : public RecordingParent {
public:
    LONG OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam) override
    {
        EXPECT_TRUE(id == kBarId && code == MScroll::kPositionChanged && lParam == 0) << id << " " << code;
        positions.push_back(wParam);
        changing.push_back(bar ? bar->IsChangeing() : -1);
        return RecordingParent::OnBaseMessage(id, code, wParam, lParam);
    }
    MScroll* bar { nullptr };
    std::vector<UINT> positions;
    std::vector<int> changing;
};

} // namespace

// ---- geometry

// Each row: what is done to a new bar, then the thumb (empty: not checked), position, page
// and whether there is anything to scroll (kAny: not checked).
TEST(ScrollGeometry, RangePositionAndPageGiveTheThumb)
{
    constexpr int kAny = -1;
    const CRect kV = kVerticalBar, kNone;
    const struct { const char* name; CRect rect; void (*act)(MScroll&); CRect thumb; int position, page, needed; } cases[] = {
        { "new: its height as page, a proportional thumb at the top", kV, [](MScroll&) {}, CRect(100, 50, 112, 210), 0, 400, 1 },
        { "a large range takes a tenth as page, the thumb raised to 100", kV, [](MScroll& b) { b.SetScrollMaxRange(10000); }, CRect(100, 50, 112, 150), kAny, 1000, 1 },
        { "a bar too short for 100 keeps fifty pixels of travel", CRect(0, 0, 12, 120), [](MScroll& b) { b.SetScrollMaxRange(10000); }, CRect(0, 0, 12, 70), kAny, kAny, kAny },
        { "a position places the thumb along its travel", kV, [](MScroll& b) { b.SetScrollCurrentPos(500); }, CRect(100, 170, 112, 330), 500, kAny, kAny },
        { "beyond the range the vertical thumb is pulled back", kV, [](MScroll& b) { b.SetScrollCurrentPos(2000); }, CRect(100, 290, 112, 450), 1000, kAny, kAny },
        { "beyond the range the horizontal thumb runs past the right edge", kHorizontalBar, [](MScroll& b) { b.SetScrollCurrentPos(2000); }, CRect(500, 50, 660, 62), 2000, kAny, kAny },
        // Thumb trunc(400 / 1400 × 400) = 114, travel 286; 500 of the 1000 positions.
        { "content pixels count up to the content less one bar", kV, [](MScroll& b) { b.SetScrollMaxRange(1400); b.SetScrollCurrentPosEx(500); }, CRect(100, 193, 112, 307), kAny, kAny, kAny },
        { "content no longer than the bar puts the thumb at the top", kV, [](MScroll& b) { b.SetScrollMaxRange(400); b.SetScrollSize(100, 0); b.SetScrollCurrentPosEx(50); }, CRect(100, 50, 112, 150), kAny, kAny, kAny },
        { "only an automatic page follows a new range", kV, [](MScroll& b) { b.SetScrollMaxRange(10000); b.SetScrollSize(300, 0); b.SetScrollMaxRange(5000); }, kNone, kAny, 300, kAny },
        { "a new range keeps the position", kV, [](MScroll& b) { b.SetScrollCurrentPos(500); b.SetScrollMaxRange(2000); }, kNone, 500, kAny, kAny },
        { "with the reset flag a new range puts the position back", kV, [](MScroll& b) { b.SetScrollCurrentPos(500); b.SetScrollReset(1); b.SetScrollMaxRange(2000); }, CRect(100, 50, 112, 150), 0, kAny, kAny },
        { "the final position is the range", kV, [](MScroll& b) { b.SetScrollFinalPos(); }, kNone, 1000, kAny, kAny },
        { "rows step back to the start, telling whether they moved", kV, [](MScroll& b) { b.SetScrollCurrentPos(5); EXPECT_EQ(1, b.ScrollRow(-1)); EXPECT_EQ(0, b.ScrollRow(-1)); }, kNone, 0, kAny, kAny },
        { "a row is one step, and rows stop at the range", kV, [](MScroll& b) { EXPECT_EQ(1, b.ScrollRow(3)); EXPECT_EQ(30, b.GetScrollCurrentPos()); b.SetScrollCurrentPos(995); b.ScrollRow(1); }, kNone, 1000, kAny, kAny },
        { "a page as large as the range fills the track", kV, [](MScroll& b) { b.SetScrollSize(1000, 0); b.SetScrollFinalPos(); }, kV, 1000, kAny, 0 },
        { "an empty range never divides by zero", kV, [](MScroll& b) { b.SetScrollMaxRange(0); b.SetScrollFinalPos(); b.ScrollRow(1); b.SetScrollCurrentPosEx(10); b.SetScrollSize(5, 0); }, kV, kAny, kAny, 0 },
        { "a bar shorter than the travel kept gets no inverted thumb", CRect(0, 0, 12, 30), [](MScroll& b) { b.SetScrollMaxRange(10000); b.SetScrollFinalPos(); }, kNone, 10000, kAny, kAny },
    };
    for (const auto& given : cases) {
        SCOPED_TRACE(given.name);
        RecordingParent parent;
        const std::unique_ptr<MScroll> bar = barOf(&parent, given.rect);
        given.act(*bar);
        EXPECT_TRUE(given.thumb.IsRectEmpty() || given.thumb == bar->GetThumbRect()) << bar->GetThumbRect().top << " " << bar->GetThumbRect().bottom;
        EXPECT_GE(bar->GetThumbRect().Height(), 0);
        for (const auto& [expected, actual] : { std::pair { given.position, bar->GetScrollCurrentPos() }, { given.page, bar->GetScrollSize() }, { given.needed, bar->IsScrollNeeded() } })
            EXPECT_TRUE(expected == kAny || expected == actual) << expected << " " << actual;
        // Without anything to scroll the bar ignores the mouse.
        if (given.needed == 0) {
            EXPECT_TRUE(!bar->MoveRange(50) && !bar->OnLButtonDown(MK_LBUTTON, CPoint(106, 300)) && parent.notifications.empty());
        }
    }
}

// ---- paging, dragging and arrows

// The changing flag is up only while the user's move is reported.
TEST(ScrollMouse, AClickBesideTheThumbPagesAndADragMovesTheThumbEachReportedWhileChanging)
{
    BarParent parent;
    CScrollVertical bar { &parent, kBarId, kVerticalBar, 1 };
    parent.bar = &bar;
    EXPECT_NE(0, bar.OnLButtonDown(MK_LBUTTON, CPoint(106, 300)));
    EXPECT_EQ(CRect(100, 210, 112, 370), bar.GetThumbRect());
    ASSERT_EQ(1u, parent.updates.size());
    EXPECT_EQ(std::make_tuple(kVerticalBar, 1, static_cast<MControl*>(&bar)),
              std::make_tuple(parent.updates[0].rect, parent.updates[0].flag, parent.updates[0].control));
    bar.SetScrollCurrentPos(1000);
    bar.OnLButtonDown(MK_LBUTTON, CPoint(106, 100));
    EXPECT_EQ(CRect(100, 130, 112, 290), bar.GetThumbRect());
    bar.OnLButtonUp(0, CPoint(106, 100));

    // Gripped 50 pixels into the thumb; the drag stops at the end, and the release lets go.
    bar.SetScrollCurrentPos(0);
    EXPECT_NE(0, bar.OnLButtonDown(MK_LBUTTON, CPoint(106, 100)));
    bar.OnMouseMove(MK_LBUTTON, CPoint(106, 160));
    EXPECT_EQ(CRect(100, 110, 112, 270), bar.GetThumbRect());
    bar.OnMouseMove(MK_LBUTTON, CPoint(106, 900));
    EXPECT_EQ(CRect(100, 290, 112, 450), bar.GetThumbRect());
    bar.OnMouseMove(MK_LBUTTON, CPoint(106, 330));
    EXPECT_EQ(280, bar.GetThumbRect().top);
    bar.OnLButtonUp(0, CPoint(106, 330));
    bar.OnMouseMove(0, CPoint(106, 100));
    EXPECT_EQ(280, bar.GetThumbRect().top);
    EXPECT_EQ((std::vector<UINT> { 666, 333, 250, 1000, 958 }), parent.positions);
    EXPECT_EQ((std::vector<int> { 1, 1, 1, 1, 1 }), parent.changing);
    EXPECT_EQ(0, bar.IsChangeing());

    BarParent across;
    CScrollHorizontal horizontal { &across, kBarId, kHorizontalBar, 1 };
    horizontal.OnLButtonDown(MK_LBUTTON, CPoint(150, 56));
    horizontal.OnMouseMove(MK_LBUTTON, CPoint(210, 70));
    EXPECT_EQ(CRect(160, 50, 320, 62), horizontal.GetThumbRect());
    EXPECT_EQ(std::vector<UINT> { 250 }, across.positions);
}

namespace {
// A vertical bar with 20-pixel arrow buttons at its ends.
class ArrowBar : public CScrollVertical {
public:
    ArrowBar(MObject* parent, CRect rect) : CScrollVertical(parent, kBarId, rect, 1)
    {
        m_arrowSize = 20;
        SetRange();
    }
};
} // namespace

TEST(ScrollArrows, ArrowsTakeTheEndsShowOnlyWhileThereIsSomethingToScrollAndStepOneRow)
{
    EventLog log;
    BarParent parent;
    RecordingParent arrowParent;
    ArrowBar bar { &parent, kVerticalBar };
    auto* up = new RecordingControl(&arrowParent, 6, CRect(), log);
    auto* down = new RecordingControl(&arrowParent, 7, CRect(), log);
    auto* other = new RecordingControl(&arrowParent, 9, CRect(1, 2, 3, 4), log);
    up->SetControlVisible(0);
    bar.GetControls() = { up, down, other };
    bar.SetRect(kVerticalBar);
    EXPECT_EQ((std::vector<CRect> { CRect(100, 50, 112, 70), CRect(100, 430, 112, 450), CRect(1, 2, 3, 4) }),
              (std::vector<CRect> { up->GetRect(), down->GetRect(), other->GetRect() }));
    EXPECT_EQ(1, up->IsVisible());
    // Track 360, thumb 0.4 of it, starting below the top arrow.
    EXPECT_EQ(CRect(100, 70, 112, 214), bar.GetThumbRect());
    // Ids 2 and 4 step forward, 1 and 3 back, only with lParam 2.
    bar.OnMessage(4, 0, 0, 2);
    bar.OnMessage(2, 0, 0, 2);
    EXPECT_EQ(90, bar.GetThumbRect().top);
    bar.OnMessage(1, 0, 0, 2);
    bar.OnMessage(3, 0, 0, 2);
    bar.OnMessage(2, 0, 0, 7);
    EXPECT_EQ(70, bar.GetThumbRect().top);
    EXPECT_EQ(4u, parent.positions.size());
    bar.SetScrollSize(1000, 0);
    bar.SetRect(kVerticalBar);
    EXPECT_EQ((std::vector<int> { 0, 0, 1 }), (std::vector<int> { up->IsVisible(), down->IsVisible(), other->IsVisible() }));
    EXPECT_FALSE(arrowParent.updates.empty());
}

// ---- images and drawing

namespace {
class DrawnBar : public ::testing::Test {
protected:
    DrawnBar() { manager.SetScrollResID(102, 101); }
    DibCanvas& draw(MControl& bar)
    {
        bar.Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()));
        return canvas;
    }
    std::unique_ptr<MScroll> drawnBar(CRect rect, PaintManager& owner)
    {
        auto bar = barOf(&parent, rect);
        bar->SetManager(&owner);
        return bar;
    }

    PaintManager manager;
    RecordingParent parent;
    DibCanvas canvas { 600, 500, 0xFFFFFFFF };
};
} // namespace

TEST_F(DrawnBar, ThumbAndTrackComeFromTheEmbeddedStripsAndFollowHoverAndDrag)
{
    const struct {
        CRect rect;
        CPoint thumb;
        PixelAt track, beside[2];
        DWORD dragged;
    } bars[] = {
        // The thumb y 50 to 210; the track a thin translucent dark line in the middle column.
        // The vertical strip has no look of its own for a drag.
        { kVerticalBar, CPoint(106, 130), { 106, 330, 0x56565B }, { { 101, 330, kWhite }, { 101, 130, kWhite } }, kThumbAtRest },
        // The thumb x 100 to 260; the track a grey line across the rest at half height.
        { kHorizontalBar, CPoint(180, 56), { 400, 56, 0x474747 }, { { 400, 52, kWhite }, { 400, 60, kWhite } }, kThumbDragged },
    };
    for (const auto& given : bars) {
        SCOPED_TRACE(given.rect.Width());
        canvas.fill(0xFFFFFFFF);
        const auto bar = drawnBar(given.rect, manager);
        ASSERT_NE(nullptr, bar->GetImage());
        expectPixels(draw(*bar), { { given.thumb.x, given.thumb.y, kThumbAtRest }, given.track, given.beside[0], given.beside[1],
                                   { given.thumb.x, 460, kWhite } }, 6);
        EXPECT_NE(0, bar->OnMouseMove(0, given.thumb));
        expectPixels(draw(*bar), { { given.thumb.x, given.thumb.y, kThumbHovered } }, 3);
        bar->OnLButtonDown(MK_LBUTTON, given.thumb);
        bar->SetUpdate(0, 0);
        expectPixels(draw(*bar), { { given.thumb.x, given.thumb.y, given.dragged } }, 3);
    }
}

TEST_F(DrawnBar, SkinFilesServeWhenThePaintManagerHasNoStripIds)
{
    // Declared before the manager goes so that its image is released before the file.
    ScratchStrip strip { GetSkinPath(), L"img_scroll_v.png", 12, 48, { 0xFFFF0000, 0xFF00FF00, 0xFF0000FF } };
    ASSERT_TRUE(strip.written());
    PaintManager skinned;
    const auto bar = drawnBar(kVerticalBar, skinned);
    ASSERT_NE(nullptr, bar->GetImage());
    expectPixels(draw(*bar), { { 101, 130, 0x0000FF }, { 101, 330, 0xFF0000 } }, 3);
}

// The kept picture carries the background it was made over, until the bar is marked stale;
// with nothing to scroll or no image only the background is there.
TEST_F(DrawnBar, TheCurrentPictureIsCopiedUntilMarkedStaleAndNothingIsDrawnWithoutThumbOrImage)
{
    const auto bar = drawnBar(kVerticalBar, manager);
    draw(*bar);
    canvas.fill(0xFF000000);
    expectPixels(draw(*bar), { { 101, 130, kWhite }, { 99, 130, 0 } });
    canvas.fill(0xFF000000);
    bar->SetUpdate(0, 0);
    expectPixels(draw(*bar), { { 101, 130, 0 }, { 106, 130, kThumbAtRest } }, 3);

    CScrollVertical unskinned { &parent, 1, kVerticalBar, 1 };
    canvas.fill(0xFFFFFFFF);
    EXPECT_TRUE(draw(unskinned).untouchedSinceFill());
    const auto idle = drawnBar(kVerticalBar, manager);
    idle->SetScrollSize(1000, 0);
    EXPECT_TRUE(draw(*idle).untouchedSinceFill());
}
