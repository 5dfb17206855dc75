#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "HomeTestKit.h"
#include "InkScan.h"
#include "NotedDialog.h"
#include "ScratchStrip.h"
#include "devices/cooling/ArchivedCtrl.h"
#include "devices/cooling/CDeviceCtrl.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kNormal = 0x303080;
constexpr DWORD kLit = 0x30C030;
constexpr DWORD kGrey = 0x808080;
constexpr DWORD kMagenta = 0xFF00FF;

class Cards : public ListFixture {
protected:
    // The image cache lets go of the strips before they are deleted.
    ~Cards() override { manager.ClearImgResInfo(); }
    std::unique_ptr<CDeviceCtrl> tiles(int width, int count, bool available)
    {
        auto control = make<CDeviceCtrl>(CRect(0, 0, width, 700));
        control->SetImage(L"home_card_bkg.png", 2);
        control->SetCheckImage(L"home_card_check.png");
        for (int i = 0; i < count; ++i)
            control->AddDevice(L"Dev", 10 + i, 20 + i, available, L"home_none.png");
        paint(*control);
        return control;
    }
    std::unique_ptr<ArchivedCtrl> cards(int count)
    {
        auto control = make<ArchivedCtrl>(CRect(0, 0, 1520, 700));
        control->SetImage(L"home_card_bkg.png", 2);
        for (int i = 0; i < count; ++i)
            control->AddItem(L"Title", L"Second", 100 + i, L"Third");
        paint(*control);
        return control;
    }

    ScratchStrip background { GetSkinPath(), L"home_card_bkg.png", 10, 10,
                              { 0xFF000000 | kNormal, 0xFF000000 | kLit } };
    ScratchStrip check { GetSkinPath(), L"home_card_check.png", 30, 30, { 0xFFFFFFFF, 0xFF000000 } };
    // Two frames whose colours tell at once which one a pixel came from.
    ScratchStrip greyMagenta { GetSkinPath(), L"home_grey_magenta.png", 100, 80,
                               { 0xFF000000 | kGrey, 0xFF000000 | kMagenta } };
    // The same at half opacity: the cells are blended over what lies under the grid.
    ScratchStrip halfGreyMagenta { GetSkinPath(), L"home_half_grey_magenta.png", 100, 80,
                                   { 0x80000000 | kGrey, 0x80000000 | kMagenta } };
};

TEST_F(Cards, TilesAndCardsShareTheGridCentredForThreeAcrossTheWidth)
{
    struct Row {
        int width;
        std::vector<CPoint> corners;
    };
    const Row rows[] {
        { 1520, { { 285, 0 }, { 595, 0 }, { 905, 0 }, { 1215, 0 }, { 285, 217 } } },
        { 1200, { { 125, 0 }, { 435, 0 }, { 745, 0 }, { 125, 217 }, { 435, 217 } } },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.width);
        auto control = tiles(row.width, 5, true);
        for (size_t i = 0; i < row.corners.size(); ++i) {
            const CPoint inside(row.corners[i].x + 20, row.corners[i].y + 20);
            hover(*control, inside);
            parent.clear();
            control->OnLButtonDown(MK_LBUTTON, inside);
            EXPECT_EQ("1:" + std::to_string(i) + ":0", parent.last());
            EXPECT_EQ("n1", parent.order) << "a press selects without a repaint";
            // The grid's gap and the spare right of a row are no tile.
            hover(*control, CPoint(row.corners[i].x - 5, row.corners[i].y + 20));
            control->OnLButtonDown(MK_LBUTTON, CPoint(row.corners[i].x - 5, row.corners[i].y + 20));
            EXPECT_EQ("1:" + std::to_string(i) + ":0", parent.last());
        }
    }
    // The archive's cards stand on the same grid, rows 218 apart.
    auto archive = cards(5);
    click(*archive, CPoint(285 + 10, 218 + 10));
    EXPECT_EQ("2:4:0", parent.last());
}

TEST_F(Cards, ReleaseOnTheCheckAreaTogglesTheCheckAndReportsAfterTheRepaint)
{
    auto control = tiles(1520, 2, true);
    // A 60 × 30 check strip on a 300 × 217 tile: (240, 157, 270, 187) from the tile's corner.
    struct Case {
        CPoint at;
        int checks;
        bool hand;
    };
    const Case cases[] {
        { { 595 + 240, 157 }, 1, true },   // the area's corner
        { { 595 + 269, 186 }, 0, true },   // its far corner toggles it back
        { { 595 + 270, 170 }, 0, false },  // just right of it: a plain click
        { { 595 + 239, 170 }, 0, false },
        { { 595 + 250, 160 }, 1, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.at.x);
        parent.clear();
        hover(*control, c.at);
        EXPECT_EQ(c.hand, ::GetCursor() == ::LoadCursorW(nullptr, IDC_HAND));
        control->OnLButtonDown(MK_LBUTTON, c.at);
        control->OnLButtonUp(0, c.at);
        EXPECT_EQ("2:1:0", parent.last());
        EXPECT_EQ(c.checks, control->GetCheckItemCount());
        const std::string tail = c.hand ? "un2" : "n1n2";
        EXPECT_EQ(tail, parent.order.substr(parent.order.size() - tail.size())) << "a toggle repaints before the report";
    }
}

TEST_F(Cards, AnUnavailableTileIsNeverHoveredNorReported)
{
    auto control = tiles(1520, 2, false);
    click(*control, CPoint(285 + 250, 160));
    click(*control, CPoint(595 + 20, 20));
    EXPECT_TRUE(parent.notifications.empty());
    EXPECT_EQ(kNormal, canvas.rgb(595 + 3, 3)) << "nothing lit";
    control->SetDeviceState(1, L"Dev", true, L"home_none.png");
    paint(*control);
    click(*control, CPoint(595 + 20, 20));
    EXPECT_EQ("2:1:0", parent.last());
    paint(*control);
    EXPECT_EQ(kLit, canvas.rgb(595 + 3, 3)) << "hovered and selected";
    EXPECT_EQ(kNormal, canvas.rgb(285 + 3, 3));
}

TEST_F(Cards, DeviceStatesFollowTheHostAndTheSelection)
{
    auto control = tiles(1520, 3, true);
    int first = -7, second = -7;
    control->GetCurDeviceInfo(first, second);
    EXPECT_EQ(-7, first) << "no selection leaves the arguments";
    click(*control, CPoint(595 + 20, 20));
    control->GetCurDeviceInfo(first, second);
    EXPECT_EQ(11, first);
    EXPECT_EQ(21, second);
    control->SetDeviceState(1, L"Off", false, L"home_none.png");
    first = second = -7;
    control->GetCurDeviceInfo(first, second);
    EXPECT_EQ(-7, first) << "an unavailable selected tile is no selection";
    control->SetDeviceState(7, L"Off", false, L"home_none.png");
    // Checked by first value: only the earlier of two tiles sharing it.
    control->AddDevice(L"Twin", 10, 0, true, L"");
    control->SetDeviceState(10, 0);
    EXPECT_EQ(1, control->GetCheckItemCount());
    control->ClearList();
    EXPECT_EQ(0, control->GetCheckItemCount());
    EXPECT_EQ(-1, control->GetSelectItem());
}

TEST_F(Cards, ArchiveSelectsByProfileAndKeepsTheSelectedCardLit)
{
    auto archive = cards(4);
    click(*archive, CPoint(905 + 20, 20));
    EXPECT_EQ("1:2:0", noteLine({ parent.notifications[0] }).substr(2));
    EXPECT_EQ("2:2:0", parent.last());
    EXPECT_EQ(102, archive->GetCurProfile());
    hover(*archive, CPoint(10, 600));
    paint(*archive);
    EXPECT_EQ(kLit, canvas.rgb(905 + 3, 3)) << "selected, not hovered";
    parent.clear();
    archive->SetCurProfile(555);
    EXPECT_EQ(2, archive->GetSelectItem()) << "no card of that profile keeps the selection";
    EXPECT_EQ("u", parent.order);
    archive->AddItem(L"Again", L"", 100, L"");
    archive->SetCurProfile(100);
    EXPECT_EQ(0, archive->GetSelectItem()) << "the earlier of two";
    archive->ClearList();
    EXPECT_EQ(-1, archive->GetSelectItem());
    EXPECT_EQ(0, archive->GetCurProfile());
    ArchivedCtrl copy(*archive);
    EXPECT_EQ(0, copy.GetItemCount());
}

// A grid that tells how many cell looks it keeps.
class CountedTiles : public CDeviceCtrl {
public:
    using CDeviceCtrl::CDeviceCtrl;
    int keptLooks()
    {
        ScopedLock lock(m_itemsLock);
        int kept = 0;
        for (const auto& item : *m_items)
            kept += (item->looks[0] ? 1 : 0) + (item->looks[1] ? 1 : 0);
        return kept;
    }
};

constexpr int kManyTiles = 1000;

TEST_F(Cards, ScrollingThroughAThousandTilesKeepsTheLooksOfAFewScreensOnly)
{
    // The host scrolls a grid taller than its window by moving it up a screen at a time.
    constexpr int kWidth = 620;
    constexpr int kScreen = 470;
    constexpr int kPerRow = 2;
    const int content = (kManyTiles / kPerRow) * CDeviceCtrl::kTileHeight;
    auto control = make<CountedTiles>(CRect(0, 0, kWidth, content));
    control->SetImage(L"home_card_bkg.png", 2);
    for (int i = 0; i < kManyTiles; ++i)
        control->AddDevice(L"Dev", i, i, true, L"");
    int most = 0;
    const auto scrollTo = [&](int top) {
        control->SetControlRect(CRect(0, -top, kWidth, content - top));
        paint(*control);
        most = std::max(most, control->keptLooks());
    };
    for (int top = 0; top < content - kScreen; top += kScreen)
        scrollTo(top);
    const int top = content - kScreen;
    scrollTo(top);
    // The canvas shows at most six rows of two at once: a few screens' worth is four of those.
    constexpr int kCellsOnCanvas = kPerRow * 6;
    EXPECT_LE(most, 4 * kCellsOnCanvas) << "looks kept for cells far out of view";
    // The last tile, scrolled into view, is where it is drawn and takes the pointer.
    const int lastTop = (kManyTiles / kPerRow - 1) * CDeviceCtrl::kTileHeight - top;
    EXPECT_EQ(kNormal, canvas.rgb(145 + 3, lastTop + 3));
    click(*control, CPoint(145 + 20, lastTop + 20));
    EXPECT_EQ("2:" + std::to_string(kManyTiles - 1) + ":0", parent.last());
}

// rgb at alpha (0 to 255) over backdrop.
DWORD over(DWORD rgb, int alpha, DWORD backdrop)
{
    DWORD blended = 0;
    for (int shift : { 0, 8, 16 })
        blended |= static_cast<DWORD>((channel(rgb, shift) * alpha + channel(backdrop, shift) * (255 - alpha)) / 255)
                   << shift;
    return blended;
}

// A plain cell shows nothing of the lit frame beside it in the strip and keeps its own colour to
// its last row and column; a lit cell nothing of the plain frame.
TEST_F(Cards, TilesAndCardsStretchOnlyTheirOwnFrameOfTheStrip)
{
    auto device = make<CDeviceCtrl>(CRect(0, 0, 1520, 700));
    auto archive = make<ArchivedCtrl>(CRect(0, 0, 1520, 700));
    device->AddDevice(L"", 1, 1, true, L"");
    device->AddDevice(L"", 2, 2, true, L"");
    archive->AddItem(L"", L"", 1, L"");
    archive->AddItem(L"", L"", 2, L"");
    struct Grid {
        const char* name;
        CardGrid* control;
        int cellHeight;
    };
    const Grid grids[] {
        { "device tiles", device.get(), CDeviceCtrl::kTileHeight },
        { "profile cards", archive.get(), ArchivedCtrl::kCardHeight },
    };
    struct Strip {
        const wchar_t* file;
        int alpha;
    };
    const Strip strips[] { { L"home_grey_magenta.png", 255 }, { L"home_half_grey_magenta.png", 128 } };
    struct Cell {
        int left;
        DWORD colour;
        DWORD neighbour;
    };
    const Cell cells[] { { 285, kGrey, kMagenta }, { 595, kMagenta, kGrey } };
    for (const Grid& grid : grids) {
        for (const Strip& strip : strips) {
            SCOPED_TRACE(std::string(grid.name) + (strip.alpha < 255 ? ", half opaque" : ", opaque"));
            grid.control->SetImage(strip.file, 2);
            paint(*grid.control);
            hover(*grid.control, CPoint(595 + 20, 20));
            paint(*grid.control);
            for (const Cell& cell : cells) {
                const CRect place(cell.left, 0, cell.left + 300, grid.cellHeight);
                const DWORD middle = canvas.rgb(place.CenterPoint().x, place.CenterPoint().y);
                ASSERT_TRUE(nearColor(middle, over(cell.colour, strip.alpha, kBackdrop), 3));
                const Ink other = scanInk(canvas, place, middle, over(cell.neighbour, strip.alpha, kBackdrop));
                EXPECT_EQ(0, other.pixels) << other.matching << " of the neighbour frame's colour, in ("
                                           << other.bounds.left << ", " << other.bounds.top << ") - ("
                                           << other.bounds.right << ", " << other.bounds.bottom << ")";
            }
        }
    }
}

// Another thread keeps asking the dialog for an answer, as the system asks a window it suspects
// of hanging; every question must be answered within the deadline.
class AnswerWatch {
public:
    AnswerWatch(HWND window, DWORD deadlineMs) : m_window(window), m_thread([this, deadlineMs] { ask(deadlineMs); }) {}
    ~AnswerWatch() { stop(); }
    AnswerWatch(const AnswerWatch&) = delete;
    AnswerWatch& operator=(const AnswerWatch&) = delete;

    // Ends the questions, pumping while the last one waits; true when none went unanswered.
    bool stop()
    {
        m_stopping = true;
        pumpUntil([this] { return m_ended.load(); }, 60000);
        if (m_thread.joinable())
            m_thread.join();
        return !m_missed;
    }

private:
    void ask(DWORD deadlineMs)
    {
        while (!m_stopping) {
            DWORD_PTR answer = 0;
            if (!::SendMessageTimeoutW(m_window, WM_NULL, 0, 0, SMTO_NORMAL, deadlineMs, &answer))
                m_missed = true;
        }
        m_ended = true;
        // Wakes the pump waiting for the end.
        ::PostMessageW(m_window, WM_NULL, 0, 0);
    }

    HWND m_window;
    std::atomic<bool> m_stopping { false };
    std::atomic<bool> m_ended { false };
    std::atomic<bool> m_missed { false };
    std::thread m_thread;
};

TEST(TileDialog, AThousandTilesOverAStretchedStripLeaveTheDialogAnswering)
{
    const ScratchStrip strip { GetSkinPath(), L"home_small_strip.png", 32, 16, { 0xFF000000 | kNormal, 0xFF000000 | kLit } };
    NotedDialog dialog { CRect(100, 100, 720, 570) };
    auto* tiles = dialog.create<CDeviceCtrl>(L"CDeviceCtrl", 35, CRect(0, 0, 620, 470));
    ASSERT_NE(nullptr, tiles);
    ASSERT_EQ(1, tiles->SetImage(L"home_small_strip.png", 2));
    for (int i = 0; i < kManyTiles; ++i)
        tiles->AddDevice(L"Device", i, i, true, L"");
    // Generous: a paint that stretches a frame for every tile misses it many times over.
    constexpr DWORD kDeadlineMs = 5000;
    AnswerWatch watch(dialog.GetSafeHwnd(), kDeadlineMs);
    // The second tile of the first row, (145, 0) - (445, 217).
    const CPoint onTile(200, 100);
    EXPECT_EQ(kNormal, dialog.shot()->rgb(145 + 3, 3));
    dialog.post({ WM_MOUSEMOVE, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, onTile);
    EXPECT_TRUE(pumpUntil([&] { return dialog.count(2) == 1; }, 20000));
    EXPECT_EQ(kLit, dialog.shot()->rgb(145 + 3, 3)) << "the clicked tile lit";
    tiles->ClearList();
    dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP }, onTile);
    const DWORD cleared = dialog.shot()->rgb(145 + 3, 3);
    EXPECT_TRUE(cleared != kNormal && cleared != kLit) << "no tile drawn after the clear";
    EXPECT_TRUE(watch.stop()) << "the dialog left a question unanswered for more than " << kDeadlineMs << " ms";
    EXPECT_EQ(1, dialog.count(2)) << "nothing left to click after the clear";
}

} // namespace
