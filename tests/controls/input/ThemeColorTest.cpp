// The theme colour row: where its entries are drawn, hover over the places of the last paint,
// and the press and release reports.
#include <gtest/gtest.h>

#include <memory>

#include "DibCanvas.h"
#include "LibraryHost.h"
#include "RecordingControl.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

class Row : public ::testing::Test {
protected:
    void SetUp() override
    {
        Manager::SetScaleValue(1.0f);
        row.SetManager(&manager);
        for (Gdiplus::ARGB colour : { 0xFFFF0000, 0xFF00FF00, 0xFF0000FF })
            row.AddItem(Gdiplus::Color(colour));
    }
    void paint()
    {
        canvas.fill(0xFF404040);
        row.SetUpdate(0, 0);
        row.Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()));
    }
    std::string heard()
    {
        const std::string line = noteLine(parent.notifications);
        parent.notifications.clear();
        return line;
    }
    int repaints()
    {
        const int count = static_cast<int>(parent.updates.size());
        parent.updates.clear();
        return count;
    }
    PaintManager manager;
    RecordingParent parent;
    ThemeColor row { &parent, 12, CRect(10, 10, 200, 70), 1, 1 };
    DibCanvas canvas { 220, 80 };
};

TEST_F(Row, EntriesAreBarsWithARingBelow)
{
    paint();
    expectPixels(canvas, { { 10 + 44, 20, 0x404040 }, { 10 + 45, 20, 0x00FF00 }, { 10 + 74, 20, 0x00FF00 },
                           { 10 + 15, 10 + 35, 0xC8C8C8 }, { 10 + 15, 10 + 50, 0x000000 } }, 60);
}

TEST_F(Row, NothingIsHitBeforeTheFirstPaint)
{
    row.OnMouseMove(0, CPoint(20, 20));
    row.OnLButtonDown(MK_LBUTTON, CPoint(20, 20));
    row.OnLButtonUp(0, CPoint(20, 20));
    EXPECT_EQ("", heard());
    EXPECT_EQ(-1, row.GetSelectItem());
}

TEST_F(Row, HoverFollowsTheEntriesAndClicksReportTheIndex)
{
    paint();
    struct Step { CPoint pt; int hover; int repaints; };
    const Step steps[] { { CPoint(20, 20), 0, 1 }, { CPoint(30, 20), 0, 0 }, { CPoint(47, 20), -1, 1 },
                         { CPoint(60, 20), 1, 1 }, { CPoint(300, 20), -1, 1 } };
    for (const Step& step : steps) {
        row.OnMouseMove(0, step.pt);
        EXPECT_EQ(step.repaints, repaints()) << step.pt.x;
        paint();
        // The dot of the hovered entry in its colour; the others' rings black.
        EXPECT_EQ(step.hover == 0 ? 0xFF0000u : 0u, canvas.rgb(10 + 15, 10 + 45)) << step.pt.x;
        EXPECT_EQ(step.hover == 1 ? 0x00FF00u : 0u, canvas.rgb(10 + 45 + 15, 10 + 45)) << step.pt.x;
    }
    row.OnMouseMove(0, CPoint(60, 20));
    row.OnLButtonDown(MK_LBUTTON, CPoint(60, 20));
    row.OnLButtonUp(0, CPoint(60, 20));
    EXPECT_EQ("12:1:1:0 12:2:1:0", heard());
    EXPECT_EQ(1, row.GetSelectItem());
    row.SetControlEnabled(0);
    EXPECT_EQ(0, row.OnControlLButtonDown(MK_LBUTTON, CPoint(60, 20)));
    row.ClearList();
    EXPECT_EQ(-1, row.GetSelectItem());
}

} // namespace
