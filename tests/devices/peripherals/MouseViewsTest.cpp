#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "DibCanvas.h"
#include "GdiObjectCount.h"
#include "LibraryHost.h"
#include "RecordingControl.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr UINT kId = 21;
const CRect kPlace(10, 10, 260, 210);

class Views : public ::testing::Test {
protected:
    Views()
    {
        rows = std::make_unique<MouseKeyCtrl>(&parent, kId, kPlace, 1);
        callouts = std::make_unique<MouseCtrl>(&parent, kId, kPlace, 1);
        zones = std::make_unique<MouseLight>(&parent, kId, kPlace, 1);
        for (MControl* view : std::initializer_list<MControl*> { rows.get(), callouts.get(), zones.get() })
            view->SetManager(&manager);
        for (int i = 0; i < 3; ++i)
            rows->AddItem(L"Button", L"Copy", 100 + i);
        callouts->AddItem(L"Left Button", 200, 1, CPoint(10, 20), CPoint(100, 50));
        callouts->AddItem(L"Right", 201, 2, CPoint(170, 120), CPoint(240, 150));
    }
    void paint(MControl& view, bool stale = true)
    {
        canvas.fill(0xFF202020);
        if (stale)
            view.SetUpdate(0, 0);
        view.Draw(canvas.dc(), CRect(0, 0, canvas.width(), canvas.height()));
    }
    std::string click(MControl& view, CPoint at)
    {
        parent.notifications.clear();
        view.OnMouseMove(0, at);
        view.OnLButtonDown(MK_LBUTTON, at);
        view.OnLButtonUp(0, at);
        return noteLine(parent.notifications);
    }

    RecordingParent parent;
    PaintManager manager;
    std::unique_ptr<MouseKeyCtrl> rows;
    std::unique_ptr<MouseCtrl> callouts;
    std::unique_ptr<MouseLight> zones;
    DibCanvas canvas { 280, 230 };
};

TEST_F(Views, PressAndReleaseReportTheHoveredEntry)
{
    paint(*rows);
    paint(*callouts);
    struct Case {
        MouseItemList* view;
        CPoint at;
        const char* notes;
        int selected;
    };
    const Case cases[] = {
        { rows.get(), CPoint(50, 10 + 32 + 10), "21:1:1:0 21:2:1:0", 1 },
        { rows.get(), CPoint(50, 10 + 64 + 26), "21:1:2:0 21:2:2:0", 2 },
        { rows.get(), CPoint(50, 10 + 29), "21:1:4294967295:0", -1 }, // the gap between two rows
        { callouts.get(), CPoint(10 + 130, 10 + 50), "21:1:0:0 21:2:0:0", 0 },
        { callouts.get(), CPoint(10 + 170 - 30, 10 + 120), "21:1:1:0 21:2:1:0", 1 },
        { callouts.get(), CPoint(10 + 5, 10 + 5), "21:1:4294967295:0", -1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.notes);
        EXPECT_EQ(c.notes, click(*c.view, c.at));
        EXPECT_EQ(c.selected, c.view->GetSelectItem()) << "a press off every entry clears the selection";
    }
    EXPECT_EQ(101, rows->GetItemKeyValue(1));
    EXPECT_EQ(0, rows->GetItemKeyValue(3));
}

TEST_F(Views, CalloutLabelBoxesStandWhereTheirPointAndScaleSay)
{
    paint(*callouts);
    struct Probe {
        CPoint at;
        int hover;
    };
    // Side 1, second point (100, 50), scale 1: the box (101, 37, 167, 63).
    for (const Probe& p : { Probe { CPoint(101, 37), 0 }, Probe { CPoint(100, 37), -1 }, Probe { CPoint(166, 62), 0 },
                            Probe { CPoint(167, 62), -1 }, Probe { CPoint(166, 63), -1 } }) {
        callouts->OnMouseMove(0, CPoint(0, 0));
        callouts->OnMouseMove(0, p.at + kPlace.TopLeft());
        callouts->OnLButtonDown(MK_LBUTTON, p.at + kPlace.TopLeft());
        EXPECT_EQ(p.hover, callouts->GetSelectItem()) << p.at.x << "," << p.at.y;
    }
    callouts->SetScaleValue(0.5f);
    paint(*callouts);
    callouts->OnMouseMove(0, CPoint(0, 0));
    callouts->OnMouseMove(0, CPoint(51, 19) + kPlace.TopLeft());
    callouts->OnLButtonDown(MK_LBUTTON, CPoint(51, 19) + kPlace.TopLeft());
    EXPECT_EQ(0, callouts->GetSelectItem()) << "at half scale the box starts at (50, 18)";
}

TEST_F(Views, RowTooltipsShowFromTheSecondMoveAndTextsRepaintOnlyOnChange)
{
    paint(*rows);
    const CPoint at(60, 20);
    rows->OnMouseMove(0, at);
    EXPECT_EQ(0, manager.GetTooltipCtrlID());
    rows->OnMouseMove(0, at + CPoint(1, 0));
    EXPECT_EQ(static_cast<int>(kId), manager.GetTooltipCtrlID());
    rows->OnMouseMove(0, CPoint(0, 0));
    EXPECT_EQ(0, manager.GetTooltipCtrlID());
    parent.updates.clear();
    rows->SetItemText(0, L"Button");
    EXPECT_TRUE(parent.updates.empty()) << "the same text";
    rows->SetItemText(0, L"Forward");
    EXPECT_EQ(1u, parent.updates.size());
    EXPECT_EQ(L"Forward", std::wstring(rows->GetItemKeyName(0)));
    EXPECT_EQ(1, rows->SetItemKeyDesc(999, L"None"));
    EXPECT_EQ(2u, parent.updates.size()) << "an unknown value still repaints";
}

TEST_F(Views, ZonesShowTheirColourAtTheNextRepaintOnly)
{
    zones->AddItem(5, CRect(20, 20, 80, 80));
    zones->AddItem(6, CRect(100, 20, 160, 80));
    paint(*zones);
    const CPoint centre(10 + 50, 10 + 50);
    EXPECT_EQ(0x000000u, canvas.rgb(centre.x, centre.y)) << "an uncoloured zone is black";
    parent.updates.clear();
    zones->SetLightColor(0, RGB(255, 0, 0));
    EXPECT_TRUE(parent.updates.empty());
    paint(*zones, false);
    EXPECT_EQ(0x000000u, canvas.rgb(centre.x, centre.y));
    paint(*zones);
    EXPECT_TRUE(nearColor(canvas.rgb(centre.x, centre.y), 0xFF0000, 2));
    EXPECT_EQ(static_cast<COLORREF>(RGB(255, 0, 0)), zones->GetLightColor(0, 0));
    EXPECT_EQ(0u, zones->GetLightColor(5, 0));
    parent.updates.clear();
    zones->OnMouseMove(0, centre);
    zones->OnMouseMove(0, centre + CPoint(1, 1));
    EXPECT_TRUE(parent.updates.empty()) << "the zones take no input";
}

TEST_F(Views, RepaintsKeepTheGdiObjectCount)
{
    zones->AddItem(5, CRect(20, 20, 80, 80));
    int round = 0;
    expectNoGdiGrowth([&] {
        rows->SetSelectItem(round % 3);
        callouts->SetSelectItem(round % 2);
        zones->SetLightColor(0, RGB(round % 256, 0, 0));
        for (MControl* view : std::initializer_list<MControl*> { rows.get(), callouts.get(), zones.get() })
            paint(*view);
        ++round;
    }, 1000);
}

} // namespace
