#include <gtest/gtest.h>

#include "GdiObjectCount.h"
#include "HomeTestKit.h"
#include "ScratchStrip.h"
#include "devices/cooling/ModeRowList.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kOff = 0x102030;
constexpr DWORD kOn = 0x20E020;
constexpr DWORD kRowFill = 0x505050;
// Three rows of 32 fit exactly.
const CRect kList(0, 0, 200, 96);

class ModeRows : public ListFixture {
protected:
    // The image cache lets go of the strips before they are deleted.
    ~ModeRows() override { manager.ClearImgResInfo(); }
    template <class T>
    std::unique_ptr<T> rows(CRect rect = kList)
    {
        auto list = make<T>(rect);
        list->SetImage(L"home_row_box.png", 2);
        return list;
    }
    ScratchStrip box { GetSkinPath(), L"home_row_box.png", 16, 16, { 0xFF000000 | kOff, 0xFF000000 | kOn } };
};

TEST_F(ModeRows, LayersListNewestFirstCoolModesInOrderAndUnknownModesSelectDifferently)
{
    auto layers = rows<LightLayer>();
    auto modes = rows<Fan2CoolMode>();
    const wchar_t* names[] { L"A", L"B", L"C" };
    for (int i = 0; i < 3; ++i) {
        layers->AddLight(names[i], 10 + i, false);
        modes->AddLight(names[i], 10 + i);
    }
    EXPECT_EQ(CString(L"C"), layers->GetItemText(0));
    EXPECT_EQ(CString(L"A"), layers->GetItemText(2));
    EXPECT_EQ(CString(L"A"), modes->GetItemText(0));
    EXPECT_EQ(CString(L"C"), modes->GetItemText(2));
    EXPECT_EQ(1, layers->SetCurLightLayerID(11));
    EXPECT_EQ(11, layers->GetCurLightLayerID());
    EXPECT_EQ(0, layers->SetCurLightLayerID(99)) << "a layer list falls back to its first row";
    EXPECT_EQ(0, layers->GetSelectItem());
    EXPECT_EQ(-1, modes->SetCurLightLayerID(99));
    EXPECT_EQ(0, modes->GetCurLightLayerID());
    modes->SetSelectItem(7);
    EXPECT_EQ(7, modes->GetSelectItem()) << "stored as given";
    EXPECT_EQ(0, modes->GetLightMode(7));
}

TEST_F(ModeRows, ShowBoxReleasesReportNineAndRowsTwoAndTheRightButtonFive)
{
    auto layers = rows<LightLayer>();
    layers->AddLight(L"A", 1, false);
    layers->AddLight(L"B", 2, false);
    paint(*layers);
    EXPECT_TRUE(nearColor(canvas.rgb(8, 8), kOff, 2)) << "the box of a hidden layer";
    // Row 1 spans 32..62; its box (scaled 16 × 16, inset (32 − 16) / 2 − 2) is 38..54.
    struct Case {
        CPoint at;
        const char* heard;
        bool shown;
    };
    const Case cases[] {
        { { 7, 39 }, "9:0:1", true },
        { { 21, 53 }, "9:0:1", false },
        { { 23, 40 }, "2:0:1", false },
        { { 150, 50 }, "2:0:1", false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.at.y);
        parent.clear();
        click(*layers, c.at);
        EXPECT_EQ(1u, parent.notifications.size());
        EXPECT_EQ(c.heard, parent.last());
        EXPECT_EQ(c.shown, layers->GetItemShowState(1));
    }
    click(*layers, CPoint(7, 39));
    paint(*layers);
    EXPECT_TRUE(nearColor(canvas.rgb(8, 40), kOn, 2)) << "a shown layer's box";
    parent.clear();
    hover(*layers, CPoint(100, 10));
    layers->OnRButtonDown(MK_RBUTTON, CPoint(100, 10));
    layers->OnRButtonUp(0, CPoint(100, 10));
    EXPECT_EQ("5:0:0", parent.last());
    EXPECT_EQ(0, layers->GetSelectItem());
    EXPECT_FALSE(layers->GetItemShowState(5));
}

TEST_F(ModeRows, ABarAndTheWheelOnlyWhenTheRowsDoNotFit)
{
    auto modes = rows<Fan2CoolMode>();
    for (int i = 0; i < 3; ++i)
        modes->AddLight(L"Mode", i);
    EXPECT_FALSE(modes->GetScrollVertical()->IsVisible()) << "an exact fit";
    EXPECT_EQ(0, modes->OnScroll(1, 1, CPoint(50, 50)));
    modes->AddLight(L"Mode", 3);
    EXPECT_TRUE(modes->GetScrollVertical()->IsVisible());
    EXPECT_EQ(1, modes->OnScroll(1, 1, CPoint(50, 50)));
    EXPECT_EQ(100, modes->GetScrollVertical()->GetScrollCurrentPos());
}

TEST_F(ModeRows, OnlyRowsThatExistArePaintedAndHitWhereTheyShow)
{
    auto modes = rows<Fan2CoolMode>();
    paint(*modes);
    EXPECT_TRUE(canvas.untouchedSinceFill()) << "an empty list shows what lies under it";
    for (int i = 0; i < 10; ++i)
        modes->AddLight(L"Mode", i);
    // Offset (320 − 96) × 24 / 320 = 16: half of row 0 hidden above the top.
    modes->GetScrollVertical()->SetScrollCurrentPos(24);
    paint(*modes);
    const std::pair<int, const char*> hits[] { { 5, "2:0:0" }, { 20, "2:0:1" }, { 92, "2:0:3" } };
    for (const auto& hit : hits) {
        click(*modes, CPoint(150, hit.first));
        EXPECT_EQ(hit.second, parent.last()) << hit.first;
    }
    EXPECT_TRUE(nearColor(canvas.rgb(150, 15), kBackdrop, 2)) << "the parting strip below row 0, at 14..16";
    // The bar left far down by a longer list.
    modes->GetScrollVertical()->SetScrollCurrentPos(320);
    while (modes->GetItemCount() > 1)
        modes->DeleteItem(0);
    EXPECT_EQ(-1, modes->GetSelectItem());
    paint(*modes);
    EXPECT_TRUE(nearColor(canvas.rgb(150, 10), kRowFill, 2));
    EXPECT_TRUE(nearColor(canvas.rgb(150, 40), kBackdrop, 2)) << "no row past the last";
    EXPECT_EQ(0, modes->DeleteItem(3));
}

TEST_F(ModeRows, ScrolledPaintsKeepGdiObjectsFlat)
{
    auto layers = rows<LightLayer>();
    for (int i = 0; i < 12; ++i)
        layers->AddLight(L"Layer", i, i % 2 == 0);
    int round = 0;
    expectNoGdiGrowth(
        [&] {
            layers->GetScrollVertical()->SetScrollCurrentPos((round++ * 37) % 384);
            paint(*layers);
        },
        1000);
}

} // namespace
