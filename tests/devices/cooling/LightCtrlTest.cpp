#include <gtest/gtest.h>

#include "HomeTestKit.h"
#include "ScratchStrip.h"
#include "devices/cooling/LightCtrl.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kIconOff = 0x2040A0;
constexpr DWORD kIconOn = 0xA04020;

// At scale 1 cells are 78 × 70 (a 40-pixel icon area over a 30-pixel label), 88 apart across,
// rows touching.
CPoint cellAt(int index, int perRow) { return CPoint((index % perRow) * 88 + 5, (index / perRow) * 70 + 5); }

class LightModes : public ListFixture {
protected:
    std::unique_ptr<LightCtrl> modes(CRect rect, int count)
    {
        auto list = make<LightCtrl>(rect);
        for (int i = 0; i < count; ++i)
            list->AddLight(L"Mode", 100 + i % 3, L"home_light_icon.png");
        paint(*list);
        return list;
    }
    ScratchStrip icon { GetSkinPath(), L"home_light_icon.png", 20, 20,
                        { 0xFF000000 | kIconOff, 0xFF000000 | kIconOn } };
};

TEST_F(LightModes, AReleaseReportsTheCellPressedWhereverThePointerWent)
{
    auto list = modes(CRect(0, 0, 300, 300), 5);
    hover(*list, cellAt(1, 3));
    list->OnLButtonDown(MK_LBUTTON, cellAt(1, 3));
    hover(*list, cellAt(4, 3));
    list->OnLButtonUp(0, cellAt(4, 3));
    EXPECT_EQ("2:0:1", parent.last());
    EXPECT_EQ(1u, parent.notifications.size()) << "no report on the press";
    EXPECT_EQ(101, list->GetCurLightMode());
    paint(*list);
    // Cell 1 selected and cell 4 hovered are lit (white, lit icon frame); cell 0 is not.
    EXPECT_TRUE(nearColor(canvas.rgb(88 + 3, 3), 0xFFFFFF, 2));
    EXPECT_TRUE(nearColor(canvas.rgb(88 + 39, 20), kIconOn, 2));
    EXPECT_TRUE(nearColor(canvas.rgb(3, 3), 0x505050, 2));
    EXPECT_TRUE(nearColor(canvas.rgb(39, 20), kIconOff, 2));
    click(*list, CPoint(280, 280));
    EXPECT_EQ(1u, parent.notifications.size()) << "off every cell";
}

TEST_F(LightModes, ModesSelectTheFirstMatchAndUnknownOnesClearTheSelection)
{
    auto list = modes(CRect(0, 0, 300, 300), 5);
    list->SetCurLightMode(101);
    EXPECT_EQ(1, list->GetSelectItem());
    list->SetCurLightMode(77);
    EXPECT_EQ(-1, list->GetSelectItem());
    EXPECT_EQ(0, list->GetCurLightMode());
    EXPECT_EQ(0, list->GetLightMode(5));
    EXPECT_EQ(102, list->GetLightMode(2));
}

TEST_F(LightModes, TheHostsContentHeightScrollsTheRows)
{
    // Two cells a row in 200 pixels (195 beside the bar): cell 4 in row 2.
    auto list = modes(CRect(0, 0, 200, 100), 6);
    list->SetAllItemHeight(210);
    list->SetControlRect(CRect(0, 0, 200, 100));
    EXPECT_TRUE(list->GetScrollVertical()->IsVisible());
    EXPECT_EQ(1, list->OnScroll(1, 1, CPoint(50, 50)));
    // Offset (210 − 100) × 100 / 210 = 52.
    paint(*list);
    const CPoint at(cellAt(4, 2).x, cellAt(4, 2).y - 52);
    click(*list, at);
    EXPECT_EQ("2:0:4", parent.last());
}

} // namespace
