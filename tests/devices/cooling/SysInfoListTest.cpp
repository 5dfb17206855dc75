#include <gtest/gtest.h>

#include "HomeTestKit.h"
#include "ScratchStrip.h"
#include "devices/cooling/SysInfoList.h"
#include "framework/AppPaths.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kTileOff = 0x303030;
constexpr DWORD kTileOn = 0x8030C0;

class SysInfo : public ListFixture {
protected:
    // The image cache lets go of the strips before they are deleted.
    ~SysInfo() override { manager.ClearImgResInfo(); }
    template <class T>
    std::unique_ptr<T> list(int width, int count)
    {
        auto control = make<T>(CRect(0, 0, width, 300));
        control->SetImage(L"home_sysinfo_tile.png", 2);
        for (int i = 0; i < count; ++i)
            control->AddItem(L"Type", L"unused", 50 + i % 4);
        paint(*control);
        return control;
    }
    ScratchStrip tile { GetSkinPath(), L"home_sysinfo_tile.png", 10, 10,
                        { 0xFF000000 | kTileOff, 0xFF000000 | kTileOn } };
};

TEST_F(SysInfo, TilesStandInTwoColumnsAndAClickTogglesTheirCheck)
{
    for (int width : { 330, 331 }) {
        SCOPED_TRACE(width);
        auto tiles = list<SysInfo2Ctrl>(width, 6);
        // Cells 150 wide at x 10 and 170, rows 60 high at 10, 80 and 150.
        const CPoint corners[] { { 10, 10 }, { 170, 10 }, { 10, 80 }, { 170, 80 }, { 10, 150 }, { 170, 150 } };
        for (int i = 0; i < 6; ++i) {
            parent.clear();
            click(*tiles, CPoint(corners[i].x + 1, corners[i].y + 1));
            EXPECT_EQ("2:0:" + std::to_string(i), parent.last());
            EXPECT_EQ("un2", parent.order.substr(parent.order.size() - 3)) << "repaint, then report";
            click(*tiles, CPoint(corners[i].x + 149, corners[i].y + 59));
            EXPECT_EQ("2:0:" + std::to_string(i), parent.last()) << "the cell's far corner";
        }
        const size_t heard = parent.notifications.size();
        click(*tiles, CPoint(165, 40));
        click(*tiles, CPoint(40, 75));
        EXPECT_EQ(heard, parent.notifications.size()) << "gaps are no tile";
    }
}

TEST_F(SysInfo, ChecksMarkTheFirstTypeAndTheSelectionReadsBack)
{
    auto tiles = list<SysInfo2Ctrl>(330, 6);
    int check = 9;
    EXPECT_EQ(0, tiles->GetCurSysType(check));
    EXPECT_EQ(0, check) << "no selection";
    tiles->SetSysTypeCheck(51, 0);
    paint(*tiles);
    EXPECT_TRUE(nearColor(canvas.rgb(170 + 40, 12), kTileOn, 2)) << "the first tile of type 51";
    EXPECT_TRUE(nearColor(canvas.rgb(170 + 40, 150 + 2), kTileOff, 2)) << "not the second one";
    tiles->SetItemCheck(4, 5);
    click(*tiles, CPoint(20, 160));
    EXPECT_EQ(50, tiles->GetCurSysType(check));
    EXPECT_EQ(0, check) << "a check of 5 counts as checked and clicks off";
    tiles->ResetItemCheck();
    click(*tiles, CPoint(20, 160));
    tiles->GetCurSysType(check);
    EXPECT_EQ(1, check);
}

TEST_F(SysInfo, RowsAreFullWidthEveryFortyEightPixels)
{
    auto rows = list<SysInfoCtrl>(200, 3);
    EXPECT_EQ(0, rows->GetCurSysType());
    click(*rows, CPoint(190, 40));
    EXPECT_TRUE(parent.notifications.empty()) << "between rows";
    click(*rows, CPoint(190, 50));
    EXPECT_EQ("2:0:1", parent.last());
    EXPECT_EQ(51, rows->GetCurSysType());
    rows->SetSelectItem(3);
    EXPECT_EQ(1, rows->GetSelectItem());
    paint(*rows);
    EXPECT_TRUE(nearColor(canvas.rgb(100, 50), kTileOn, 2)) << "the selected row";
    EXPECT_TRUE(nearColor(canvas.rgb(100, 2), kTileOff, 2));
}

} // namespace
