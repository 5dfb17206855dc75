#include <gtest/gtest.h>

#include <climits>

#include "HomeTestKit.h"
#include "InkScan.h"
#include "devices/cooling/MLevelCtrl.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kRim = 0xA0A0A0;
constexpr DWORD kLit = 0xFFE100;

class LevelBar : public ListFixture {
protected:
    std::unique_ptr<MLevelCtrl> bar(int width)
    {
        auto control = make<MLevelCtrl>(CRect(0, 0, width, 40));
        paint(*control);
        return control;
    }
    // Segments of width s and 5 apart whose inner part is lit.
    int litSegments(int count, int width)
    {
        int lit = 0;
        for (int k = 0; k < count; ++k)
            lit += nearColor(canvas.rgb(k * (width + 5) + 1, 5), kLit, 2) ? 1 : 0;
        return lit;
    }
};

TEST_F(LevelBar, DefaultsLightTheFirstOfSixteenInsideAGreyRim)
{
    auto control = bar(400);  // segments of (400 − 80) / 16 = 20
    EXPECT_EQ(1, litSegments(16, 20));
    expectPixels(canvas, { { 0, 0, kRim }, { 19, 11, kRim }, { 1, 1, kLit }, { 18, 10, kLit }, { 25, 5, kRim },
                           { 22, 5, kBackdrop }, { 396, 5, kBackdrop } },
                 2);
    EXPECT_TRUE(scanInk(canvas, CRect(0, 12, 400, 40), kBackdrop, 0xFFFFFF).any()) << "the label 0";
}

TEST_F(LevelBar, AHundredPercentRangeLightsUpToTheLevelWithAPercentLabel)
{
    auto control = bar(1000);  // 101 segments of (1000 − 505) / 101 = 4
    control->SetRangeValue(0, 100);
    control->SetLevelValue(40);
    paint(*control);
    EXPECT_EQ(41, litSegments(101, 4));
    const Ink label = scanInk(canvas, CRect(0, 12, 1000, 40), kBackdrop, 0xFFFFFF);
    // "40%" is wider than "40" alone.
    control->SetRangeValue(0, 99);
    paint(*control);
    const Ink plain = scanInk(canvas, CRect(0, 12, 1000, 40), kBackdrop, 0xFFFFFF);
    EXPECT_GT(label.bounds.Width(), plain.bounds.Width());
}

TEST_F(LevelBar, ClicksOnASegmentSetItsValueAndReportAfterTheRepaint)
{
    auto control = bar(400);
    struct Click {
        CPoint at;
        const char* heard;
        int level;
    };
    const Click clicks[] {
        { { 22, 5 }, "-", 0 },     // the gap after segment 0
        { { 75, 5 }, "2:3:0", 3 }, // segment 3 spans 75..95
        { { 94, 11 }, "-", 3 },    // the same value again
        { { 80, 12 }, "-", 3 },    // below the segments
        { { 399, 5 }, "-", 3 },    // the spare right of the last
        { { 375, 0 }, "2:15:0", 15 },
    };
    for (const Click& c : clicks) {
        SCOPED_TRACE(c.at.x);
        parent.clear();
        control->OnLButtonDown(MK_LBUTTON, c.at);
        control->OnLButtonUp(0, c.at);
        EXPECT_EQ(c.heard, parent.last());
        EXPECT_EQ(c.level, control->GetLevelValue());
        if (!parent.notifications.empty()) {
            EXPECT_EQ("un2", parent.order.substr(parent.order.size() - 3));
        }
    }
    control->SetLevelValue(99);
    EXPECT_EQ(15, control->GetLevelValue());
}

TEST_F(LevelBar, RangesWithoutRoomForSegmentsShowAndHitNone)
{
    const std::pair<int, int> ranges[] { { 5, 2 }, { INT_MIN, INT_MAX }, { 0, 100 } };
    for (const auto& range : ranges) {
        SCOPED_TRACE(range.first);
        auto control = bar(300);
        control->SetRangeValue(range.first, range.second);
        paint(*control);
        EXPECT_FALSE(scanInk(canvas, CRect(0, 0, 300, 12), kBackdrop, kRim).any());
        control->OnLButtonUp(0, CPoint(1, 5));
        EXPECT_TRUE(parent.notifications.empty());
    }
}

} // namespace
