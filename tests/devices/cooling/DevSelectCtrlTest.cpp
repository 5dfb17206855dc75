#include <gtest/gtest.h>

#include "HomeTestKit.h"
#include "devices/cooling/DevSelectCtrl.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

// At scale 1 tiles are 70 × 50, 10 apart: three a row in 300 pixels.
CPoint tileAt(int index, int perRow, int top = 0)
{
    return CPoint((index % perRow) * 80 + 30, (index / perRow) * 60 + 20 - top);
}

class DeviceSelection : public ListFixture {
protected:
    std::unique_ptr<DevSelectCtrl> devices(CRect rect, int count)
    {
        auto list = make<DevSelectCtrl>(rect);
        const wchar_t* names[] { L"All", L"A", L"B", L"C", L"D", L"E" };
        for (int i = 0; i < count; ++i)
            list->AddDevice(names[i], i == 0 ? 0 : 1 << (i - 1));
        paint(*list);
        return list;
    }
};

TEST_F(DeviceSelection, TheAllDevicesTileFollowsTheOthers)
{
    auto list = devices(CRect(0, 0, 300, 200), 4);
    struct Step {
        int click;
        unsigned long selected;
        const char* checks;
    };
    const Step steps[] {
        { 0, 7, "1111" },  // all checks every tile
        { 2, 5, "0101" },  // B off takes the all tile off
        { 2, 7, "1111" },  // B back on: all are on again
        { 0, 7, "0111" },  // unchecking all leaves the others
        { 1, 6, "0011" },
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.click);
        parent.clear();
        click(*list, tileAt(step.click, 3));
        EXPECT_EQ(step.selected, list->GetSelectDevice());
        std::string checks;
        for (int i = 0; i < 4; ++i)
            checks += list->GetItemCheck(i) ? '1' : '0';
        EXPECT_EQ(step.checks, checks);
        EXPECT_EQ("2:0:" + std::to_string(step.click), parent.last());
        EXPECT_EQ(1u, parent.notifications.size()) << "one click, one report";
        EXPECT_EQ("un2", parent.order.substr(parent.order.size() - 3));
    }
    EXPECT_EQ(0, list->GetItemCheck(4));
    EXPECT_EQ(0, list->GetItemCheck(-1));
    EXPECT_EQ(0, list->GetItemDevID(9));
    EXPECT_EQ(4, list->GetItemDevID(3));
    paint(*list);
    EXPECT_TRUE(nearColor(canvas.rgb(tileAt(3, 3).x, tileAt(3, 3).y - 15), 0xFFFFFF, 2)) << "a checked tile";
    EXPECT_TRUE(nearColor(canvas.rgb(tileAt(0, 3).x, tileAt(0, 3).y - 15), 0x878787, 2));
}

TEST_F(DeviceSelection, ANarrowListScrollsToItsLastRow)
{
    // Two tiles a row in 160 pixels (155 beside the bar): three rows of 60, not two.
    auto list = devices(CRect(0, 0, 160, 100), 6);
    EXPECT_TRUE(list->GetScrollVertical()->IsVisible());
    EXPECT_EQ(180, list->GetScrollVertical()->GetScrollMaxRange());
    list->GetScrollVertical()->SetScrollCurrentPos(180);
    paint(*list);
    // Offset 80: the last row, tiles 4 and 5, at 40..90.
    click(*list, tileAt(5, 2, 80));
    EXPECT_EQ("2:0:5", parent.last());
    list->ClearList();
    EXPECT_FALSE(list->GetScrollVertical()->IsVisible());
    EXPECT_EQ(0UL, list->GetSelectDevice());
}

} // namespace
