#include <gtest/gtest.h>

#include <functional>
#include <memory>
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
constexpr DWORD kThumbAtRest = 0x70707C;
constexpr DWORD kThumbHovered = 0xA06EE6;
constexpr DWORD kThumbDragged = 0xBD30FF;
constexpr DWORD kWhite = 0xFFFFFF;

constexpr UINT kBarId = 1;
constexpr UINT kPositionChanged = 8;

// A 12 × 400 vertical bar at (100, 50), as the library cuts its strips: the thumb's column
// is 12 pixels wide, so each strip column lands on the bar pixel for pixel.
const CRect kVerticalBar(100, 50, 112, 450);
const CRect kHorizontalBar(100, 50, 500, 62);

std::vector<UINT> positionsNotified(const RecordingParent& parent)
{
    std::vector<UINT> positions;
    for (const Notification& n : parent.notifications) {
        EXPECT_EQ(kBarId, n.id);
        EXPECT_EQ(kPositionChanged, n.code);
        EXPECT_EQ(0, n.lParam);
        positions.push_back(n.wParam);
    }
    return positions;
}

class VerticalBar : public ::testing::Test {
protected:
    RecordingParent parent;
    CScrollVertical bar { &parent, kBarId, kVerticalBar, 1 };
};

} // namespace

// ---- geometry

TEST(ScrollGeometry, RangePositionAndPageGiveTheThumb)
{
    constexpr int kAny = -1;
    const struct {
        const char* name;
        bool horizontal;
        CRect rect;
        std::function<void(MScroll&)> act;
        CRect thumb;      // empty: not checked
        int thumbLength;  // kAny: not checked
        int position;
        int page;
        int needed;
    } cases[] = {
        { "new bar: its height as page, a proportional thumb at the top", false, kVerticalBar, [](MScroll&) {},
          CRect(100, 50, 112, 210), kAny, 0, 400, 1 },
        { "a large range takes a tenth as page, the short thumb raised to 100", false, kVerticalBar,
          [](MScroll& bar) { bar.SetScrollMaxRange(10000); }, CRect(), 100, kAny, 1000, 1 },
        { "a bar too short for 100 keeps fifty pixels of travel", false, CRect(0, 0, 12, 120),
          [](MScroll& bar) { bar.SetScrollMaxRange(10000); }, CRect(), 70, kAny, kAny, kAny },
        { "a position places the thumb along its travel", false, kVerticalBar,
          [](MScroll& bar) { bar.SetScrollCurrentPos(500); }, CRect(100, 170, 112, 330), kAny, 500, kAny, kAny },
        { "beyond the range the vertical thumb is pulled back", false, kVerticalBar,
          [](MScroll& bar) { bar.SetScrollCurrentPos(2000); }, CRect(100, 290, 112, 450), kAny, 1000, kAny, kAny },
        { "beyond the range the horizontal thumb runs past the right edge", true, kHorizontalBar,
          [](MScroll& bar) { bar.SetScrollCurrentPos(2000); }, CRect(500, 50, 660, 62), kAny, 2000, kAny, kAny },
        // Thumb trunc(400 / 1400 × 400) = 114, travel 286; 500 of the 1000 positions.
        { "content pixels count up to the content less one bar", false, kVerticalBar,
          [](MScroll& bar) {
              bar.SetScrollMaxRange(1400);
              bar.SetScrollCurrentPosEx(500);
          },
          CRect(100, 193, 112, 307), kAny, kAny, kAny, kAny },
        { "content no longer than the bar puts the thumb at the top", false, kVerticalBar,
          [](MScroll& bar) {
              bar.SetScrollMaxRange(400);
              bar.SetScrollSize(100, 0);
              bar.SetScrollCurrentPosEx(50);
          },
          CRect(100, 50, 112, 150), kAny, kAny, kAny, kAny },
        { "only an automatic page follows a new range", false, kVerticalBar,
          [](MScroll& bar) {
              bar.SetScrollMaxRange(10000);
              bar.SetScrollSize(300, 0);
              bar.SetScrollMaxRange(5000);
          },
          CRect(), kAny, kAny, 300, kAny },
        { "a new range keeps the position", false, kVerticalBar,
          [](MScroll& bar) {
              bar.SetScrollCurrentPos(500);
              bar.SetScrollMaxRange(2000);
          },
          CRect(), kAny, 500, kAny, kAny },
        { "with the reset flag a new range puts the position back", false, kVerticalBar,
          [](MScroll& bar) {
              bar.SetScrollCurrentPos(500);
              bar.SetScrollReset(1);
              bar.SetScrollMaxRange(2000);
          },
          CRect(100, 50, 112, 150), kAny, 0, kAny, kAny },
        { "the final position is the range", false, kVerticalBar, [](MScroll& bar) { bar.SetScrollFinalPos(); },
          CRect(), kAny, 1000, kAny, kAny },
        { "a page as large as the range fills the track", false, kVerticalBar,
          [](MScroll& bar) {
              bar.SetScrollSize(1000, 0);
              bar.SetScrollFinalPos();
          },
          kVerticalBar, kAny, 1000, kAny, 0 },
        { "an empty range never divides by zero", false, kVerticalBar,
          [](MScroll& bar) {
              bar.SetScrollMaxRange(0);
              bar.SetScrollFinalPos();
              bar.ScrollRow(1);
              bar.SetScrollCurrentPosEx(10);
              bar.SetScrollSize(5, 0);
          },
          kVerticalBar, kAny, kAny, kAny, 0 },
        { "a bar shorter than the travel kept gets no inverted thumb", false, CRect(0, 0, 12, 30),
          [](MScroll& bar) {
              bar.SetScrollMaxRange(10000);
              bar.SetScrollFinalPos();
          },
          CRect(), kAny, 10000, kAny, kAny },
    };
    for (const auto& given : cases) {
        RecordingParent parent;
        std::unique_ptr<MScroll> bar;
        if (given.horizontal)
            bar = std::make_unique<CScrollHorizontal>(&parent, kBarId, given.rect, 1);
        else
            bar = std::make_unique<CScrollVertical>(&parent, kBarId, given.rect, 1);
        given.act(*bar);
        SCOPED_TRACE(given.name);
        if (!given.thumb.IsRectEmpty()) {
            EXPECT_EQ(given.thumb, bar->GetThumbRect());
        }
        if (given.thumbLength != kAny) {
            EXPECT_EQ(given.thumbLength, bar->GetThumbRect().Height());
        }
        EXPECT_GE(bar->GetThumbRect().Height(), 0);
        for (const auto& [expected, actual] : { std::pair { given.position, bar->GetScrollCurrentPos() },
                                               std::pair { given.page, bar->GetScrollSize() },
                                               std::pair { given.needed, bar->IsScrollNeeded() } })
            EXPECT_TRUE(expected == kAny || expected == actual) << expected << " " << actual;
        // Without anything to scroll the bar ignores the mouse.
        if (given.needed == 0) {
            EXPECT_EQ(0, bar->MoveRange(50));
            EXPECT_EQ(0, bar->OnLButtonDown(MK_LBUTTON, CPoint(106, 300)));
            EXPECT_TRUE(parent.notifications.empty());
        }
    }
}

TEST_F(VerticalBar, ScrollRowStopsAtTheEndsAndReportsWhetherItMoved)
{
    bar.SetScrollCurrentPos(5);
    EXPECT_EQ(1, bar.ScrollRow(-1));
    EXPECT_EQ(0, bar.GetScrollCurrentPos());
    EXPECT_EQ(0, bar.ScrollRow(-1));
    EXPECT_EQ(1, bar.ScrollRow(3));
    EXPECT_EQ(30, bar.GetScrollCurrentPos());
    bar.SetScrollCurrentPos(995);
    bar.ScrollRow(1);
    EXPECT_EQ(1000, bar.GetScrollCurrentPos());
}

// ---- paging, dragging and arrows

TEST_F(VerticalBar, AClickBesideTheThumbMovesOnePageAndNotifiesTheNewPosition)
{
    EXPECT_NE(0, bar.OnLButtonDown(MK_LBUTTON, CPoint(106, 300)));
    EXPECT_EQ(CRect(100, 210, 112, 370), bar.GetThumbRect());
    EXPECT_EQ(666, bar.GetScrollCurrentPos());
    ASSERT_EQ(1u, parent.updates.size());
    EXPECT_EQ(kVerticalBar, parent.updates[0].rect);
    EXPECT_EQ(1, parent.updates[0].flag);
    EXPECT_EQ(&bar, parent.updates[0].control);
    bar.SetScrollCurrentPos(1000);
    bar.OnLButtonDown(MK_LBUTTON, CPoint(106, 100));
    EXPECT_EQ(CRect(100, 130, 112, 290), bar.GetThumbRect());
    EXPECT_EQ((std::vector<UINT> { 666, 333 }), positionsNotified(parent));
}

namespace {
// Reads the bar's changing flag while the move is reported.
class ChangingProbe : public RecordingParent {
public:
    LONG OnBaseMessage(UINT id, UINT code, UINT wParam, LONG lParam) override
    {
        changingSeen.push_back(bar ? bar->IsChangeing() : -1);
        return RecordingParent::OnBaseMessage(id, code, wParam, lParam);
    }
    MScroll* bar { nullptr };
    std::vector<int> changingSeen;
};
} // namespace

TEST(ScrollPaging, ChangingFlagIsUpOnlyWhileTheUsersMoveIsReported)
{
    ChangingProbe parent;
    CScrollVertical bar { &parent, kBarId, kVerticalBar, 1 };
    parent.bar = &bar;
    bar.OnLButtonDown(MK_LBUTTON, CPoint(106, 300));
    EXPECT_EQ(std::vector<int> { 1 }, parent.changingSeen);
    EXPECT_EQ(0, bar.IsChangeing());
}

TEST_F(VerticalBar, TheThumbFollowsADragStopsAtTheEndKeepsTheGripAndLetsGoOnRelease)
{
    EXPECT_NE(0, bar.OnLButtonDown(MK_LBUTTON, CPoint(106, 100)));
    EXPECT_TRUE(parent.notifications.empty());
    bar.OnMouseMove(MK_LBUTTON, CPoint(106, 160));
    EXPECT_EQ(CRect(100, 110, 112, 270), bar.GetThumbRect());
    bar.OnMouseMove(MK_LBUTTON, CPoint(106, 900));
    EXPECT_EQ(CRect(100, 290, 112, 450), bar.GetThumbRect());
    EXPECT_EQ(1000, bar.GetScrollCurrentPos());
    // The grip sits 50 pixels into the thumb: at y 330 the thumb starts at 280.
    bar.OnMouseMove(MK_LBUTTON, CPoint(106, 330));
    EXPECT_EQ(280, bar.GetThumbRect().top);
    bar.OnLButtonUp(0, CPoint(106, 330));
    bar.OnMouseMove(0, CPoint(106, 100));
    EXPECT_EQ(280, bar.GetThumbRect().top);
    EXPECT_EQ((std::vector<UINT> { 250, 1000, 958 }), positionsNotified(parent));
}

TEST(ScrollDrag, TheHorizontalThumbFollowsX)
{
    RecordingParent parent;
    CScrollHorizontal bar { &parent, kBarId, kHorizontalBar, 1 };
    bar.OnLButtonDown(MK_LBUTTON, CPoint(150, 56));
    bar.OnMouseMove(MK_LBUTTON, CPoint(210, 70));
    EXPECT_EQ(CRect(160, 50, 320, 62), bar.GetThumbRect());
    EXPECT_EQ(std::vector<UINT> { 250 }, positionsNotified(parent));
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
    RecordingParent parent;
    RecordingParent arrowParent;
    ArrowBar bar { &parent, kVerticalBar };
    auto* up = new RecordingControl(&arrowParent, 6, CRect(), log);
    auto* down = new RecordingControl(&arrowParent, 7, CRect(), log);
    auto* other = new RecordingControl(&arrowParent, 9, CRect(1, 2, 3, 4), log);
    up->SetControlVisible(0);
    bar.GetControls() = { up, down, other };
    bar.SetRect(kVerticalBar);
    EXPECT_EQ(CRect(100, 50, 112, 70), up->GetRect());
    EXPECT_EQ(CRect(100, 430, 112, 450), down->GetRect());
    EXPECT_EQ(CRect(1, 2, 3, 4), other->GetRect());
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
    EXPECT_EQ(4u, parent.notifications.size());

    bar.SetScrollSize(1000, 0);
    bar.SetRect(kVerticalBar);
    EXPECT_EQ(0, up->IsVisible());
    EXPECT_EQ(0, down->IsVisible());
    EXPECT_EQ(1, other->IsVisible());
    EXPECT_FALSE(arrowParent.updates.empty());
}

// ---- images and drawing

namespace {
class DrawnBar : public ::testing::Test {
protected:
    DrawnBar() { manager.SetScrollResID(102, 101); }

    // Draws the bar over a white canvas and keeps the canvas.
    DibCanvas& draw(MControl& bar)
    {
        bar.Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()));
        GdiFlush();
        return canvas;
    }

    PaintManager manager;
    RecordingParent parent;
    DibCanvas canvas { 600, 500, 0xFFFFFFFF };
};
} // namespace

TEST_F(DrawnBar, VerticalThumbAndTrackComeFromTheEmbeddedStripAndFollowTheHover)
{
    CScrollVertical bar { &parent, 1, kVerticalBar, 1 };
    bar.SetManager(&manager);
    ASSERT_NE(nullptr, bar.GetImage());
    draw(bar);
    // The thumb (y 50 to 210) at rest, in the middle of its column.
    EXPECT_TRUE(nearColor(canvas.rgb(106, 130), kThumbAtRest)) << std::hex << canvas.rgb(106, 130);
    // The track under the rest of the bar: a thin translucent dark line, nothing beside it.
    EXPECT_LT(channel(canvas.rgb(106, 330), 8), 0xA0) << std::hex << canvas.rgb(106, 330);
    expectPixels(canvas, { { 101, 330, kWhite }, { 101, 130, kWhite }, { 106, 460, kWhite } });
    EXPECT_NE(0, bar.OnMouseMove(0, CPoint(106, 130)));
    draw(bar);
    EXPECT_TRUE(nearColor(canvas.rgb(106, 130), kThumbHovered)) << std::hex << canvas.rgb(106, 130);
}

TEST_F(DrawnBar, HorizontalThumbRowsFollowHoverAndDrag)
{
    CScrollHorizontal bar { &parent, 2, kHorizontalBar, 1 };
    bar.SetManager(&manager);
    draw(bar);
    // Thumb x 100 to 260 at rest; a grey line across the rest at half height.
    EXPECT_TRUE(nearColor(canvas.rgb(180, 56), kThumbAtRest)) << std::hex << canvas.rgb(180, 56);
    EXPECT_TRUE(nearColor(canvas.rgb(400, 56), 0x474747, 6)) << std::hex << canvas.rgb(400, 56);
    EXPECT_EQ(kWhite, canvas.rgb(400, 52));
    bar.OnMouseMove(0, CPoint(180, 56));
    draw(bar);
    EXPECT_TRUE(nearColor(canvas.rgb(180, 56), kThumbHovered)) << std::hex << canvas.rgb(180, 56);
    bar.OnLButtonDown(MK_LBUTTON, CPoint(180, 56));
    bar.SetUpdate(0, 0);
    draw(bar);
    EXPECT_TRUE(nearColor(canvas.rgb(180, 56), kThumbDragged)) << std::hex << canvas.rgb(180, 56);
}

TEST_F(DrawnBar, SkinFilesServeWhenThePaintManagerHasNoStripIds)
{
    // Declared before the manager goes so that its image is released before the file.
    ScratchStrip strip { GetSkinPath(), L"img_scroll_v.png", 12, 48, { 0xFFFF0000, 0xFF00FF00, 0xFF0000FF } };
    ASSERT_TRUE(strip.written());
    PaintManager skinned;
    {
        CScrollVertical bar { &parent, 1, kVerticalBar, 1 };
        bar.SetManager(&skinned);
        ASSERT_NE(nullptr, bar.GetImage());
        draw(bar);
        EXPECT_TRUE(nearColor(canvas.rgb(101, 130), 0x0000FF)) << std::hex << canvas.rgb(101, 130);
        EXPECT_TRUE(nearColor(canvas.rgb(101, 330), 0xFF0000)) << std::hex << canvas.rgb(101, 330);
    }
}

TEST_F(DrawnBar, WithNothingToScrollOrNoImageOnlyTheBackgroundIsDrawn)
{
    CScrollVertical unskinned { &parent, 1, kVerticalBar, 1 };
    draw(unskinned);
    EXPECT_TRUE(canvas.untouchedSinceFill());
    CScrollVertical bar { &parent, 1, kVerticalBar, 1 };
    bar.SetManager(&manager);
    bar.SetScrollSize(1000, 0);
    draw(bar);
    EXPECT_TRUE(canvas.untouchedSinceFill());
}

TEST_F(DrawnBar, CurrentPictureIsCopiedUntilMarkedStale)
{
    CScrollVertical bar { &parent, 1, kVerticalBar, 1 };
    bar.SetManager(&manager);
    draw(bar);
    canvas.fill(0xFF000000);
    draw(bar);
    // The kept picture carries the background it was made over.
    EXPECT_EQ(kWhite, canvas.rgb(101, 130));
    EXPECT_EQ(0u, canvas.rgb(99, 130));
    canvas.fill(0xFF000000);
    bar.SetUpdate(0, 0);
    draw(bar);
    EXPECT_EQ(0u, canvas.rgb(101, 130));
    EXPECT_TRUE(nearColor(canvas.rgb(106, 130), kThumbAtRest));
}
