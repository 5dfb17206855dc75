#include <gtest/gtest.h>

#include "HomeTestKit.h"
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

} // namespace
