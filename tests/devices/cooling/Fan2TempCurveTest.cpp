// The fan curve editor: geometry and grabbing driven through its handlers, the drag on a real
// dialog with the pixels it paints, and its paints leaking no GDI objects.
#include <gtest/gtest.h>

#include <vector>

#include "DibCanvas.h"
#include "GdiObjectCount.h"
#include "LibraryHost.h"
#include "NotedDialog.h"
#include "PumpUntil.h"
#include "RecordingControl.h"
#include "WindowCapture.h"
#include "devices/cooling/Fan2TempCurve.h"
#include "framework/MPanel.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

// A control of 570 × 305 at (10, 20): plot (60, 5, 565, 280), 505 × 275, steps 50 and 34.
const CRect kPlace(10, 20, 580, 325);
constexpr int kLeft = 60;
constexpr int kBottom = 280;

std::vector<TempCurvePoint> curve(std::initializer_list<std::pair<int, int>> points)
{
    std::vector<TempCurvePoint> made;
    for (const auto& point : points)
        made.push_back({ point.first, point.second, 0, 0 });
    return made;
}

CPoint onScreen(const TempCurvePoint& point)
{
    return CPoint(kPlace.left + point.x, kPlace.top + point.y);
}

class Curve : public ::testing::Test {
protected:
    RecordingParent parent;
    Fan2TempCurve editor { &parent, 5, kPlace, 1, 1 };
};

TEST_F(Curve, PointsSitOnTheirTensAndClampedSpeeds)
{
    editor.UpdateCurveData(curve({ { 0, 20 }, { 10, 60 }, { 15, 100 }, { 100, 150 }, { 50, 0 } }));
    const std::vector<TempCurvePoint> points = editor.GetCurrentCurve();
    const struct { int x, y; } expected[] = { { kLeft, kBottom }, { kLeft + 50, kBottom - 137 }, { kLeft + 50, 5 },
                                              { kLeft + 505, 5 }, { kLeft + 252, kBottom } };
    ASSERT_EQ(5u, points.size());
    for (size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(expected[i].x, points[i].x) << i;
        EXPECT_EQ(expected[i].y, points[i].y) << i;
    }
    EXPECT_EQ(150, points[3].speed);
}

TEST_F(Curve, SetCurvePointMatchesExactTemperaturesOnly)
{
    editor.UpdateCurveData(curve({ { 20, 40 }, { 30, 50 } }));
    parent.updates.clear();
    editor.SetCurvePoint(25, 50);
    EXPECT_TRUE(parent.updates.empty());
    editor.SetCurvePoint(30, 150);
    EXPECT_EQ(1u, parent.updates.size());
    EXPECT_EQ(150, editor.GetCurrentCurve()[1].speed);
    EXPECT_EQ(5, editor.GetCurrentCurve()[1].y);
}

TEST_F(Curve, PressGrabsTheNearestPointWithinTenPixels)
{
    editor.UpdateCurveData(curve({ { 50, 60 }, { 50, 60 }, { 80, 60 } }));
    const CPoint marker = onScreen(editor.GetCurrentCurve()[0]);
    const struct { int dx, dy; bool grabbed; } cases[] = { { 10, 0, true }, { 6, 8, true }, { 0, -10, true },
                                                           { 11, 0, false }, { 8, 8, false } };
    for (const auto& press : cases) {
        SCOPED_TRACE(std::to_string(press.dx) + "," + std::to_string(press.dy));
        parent.notifications.clear();
        editor.OnControlLButtonDown(MK_LBUTTON, CPoint(marker.x + press.dx, marker.y + press.dy));
        editor.OnControlMouseMove(MK_LBUTTON, CPoint(marker.x, kPlace.top + kBottom));
        editor.OnControlLButtonUp(0, CPoint(marker.x, kPlace.top + kBottom));
        const bool grabbed = press.grabbed;
        EXPECT_EQ(grabbed ? 20 : 60, editor.GetCurrentCurve()[0].speed);
        EXPECT_EQ(60, editor.GetCurrentCurve()[1].speed);
        EXPECT_EQ(grabbed ? "5:2:0:0" : "", noteLine(parent.notifications));
        editor.UpdateCurveData(curve({ { 50, 60 }, { 50, 60 }, { 80, 60 } }));
    }
}

TEST_F(Curve, DragSurvivesACurveReplacedUnderItAndAPlotWithoutHeight)
{
    editor.UpdateCurveData(curve({ { 0, 20 }, { 50, 60 }, { 100, 90 } }));
    editor.OnControlLButtonDown(MK_LBUTTON, onScreen(editor.GetCurrentCurve()[2]));
    editor.UpdateCurveData(curve({ { 0, 30 } }));
    editor.OnControlMouseMove(MK_LBUTTON, CPoint(kPlace.left + 100, kPlace.top + 10));
    EXPECT_EQ(30, editor.GetCurrentCurve()[0].speed);
    editor.OnControlLButtonUp(0, CPoint(kPlace.left + 100, kPlace.top + 10));

    editor.SetControlRect(CRect(10, 20, 580, 50)); // 30 high: the plot has no height left
    editor.OnControlLButtonDown(MK_LBUTTON, onScreen(editor.GetCurrentCurve()[0]));
    editor.OnControlMouseMove(MK_LBUTTON, CPoint(kPlace.left + 60, kPlace.top + 1));
    EXPECT_EQ(30, editor.GetCurrentCurve()[0].speed);
}

TEST_F(Curve, FanRowsAnswerBadIndexesWithZero)
{
    editor.AddItem(L"fan", L"", 3);
    editor.AddItem(L"pump", L"", 4);
    for (int bad : { -1, 2 }) {
        EXPECT_EQ(0, editor.SetItemCheck(bad, 0));
        EXPECT_EQ(0, editor.GetItemCheck(bad));
    }
    EXPECT_EQ(1, editor.SetItemCheck(1, 0));
    EXPECT_EQ(0, editor.GetItemCheck(1));
    EXPECT_EQ(1, editor.GetItemCheck(0));
    editor.ClearList();
    EXPECT_EQ(0, editor.GetItemCount());
    EXPECT_EQ(-1, editor.GetSelectItem());
}

// ---- on a real dialog

TEST(CurveDialog, DragAboveThePlotGivesFullSpeedAndPaintsTheGrabbedRing)
{
    NotedDialog dialog(CRect(100, 100, 700, 460));
    auto* page = new MPanel(&dialog, 20, CRect(0, 0, 600, 360), 1);
    page->SetManager(dialog.GetPaintManager());
    dialog.GetPaintManager()->AppendControl(page, 1);
    auto* editor = dynamic_cast<Fan2TempCurve*>(page->CreateControl(L"Fan2TempCurve", 5, kPlace, L"", 1, 1));
    ASSERT_NE(nullptr, editor);
    editor->UpdateCurveData(curve({ { 0, 20 }, { 50, 60 }, { 100, 90 } }));
    const CPoint marker = onScreen(editor->GetCurrentCurve()[1]);
    dialog.post({ WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_MOUSEMOVE }, marker);
    dialog.post({ WM_MOUSEMOVE }, CPoint(marker.x, kPlace.top + 2));
    ASSERT_TRUE(pumpUntil([&] { return editor->GetCurrentCurve()[1].speed == 100; }));
    ::UpdateWindow(dialog.GetSafeHwnd());
    auto shot = captureClient(dialog.GetSafeHwnd());
    const CPoint top = onScreen(editor->GetCurrentCurve()[1]);
    expectPixels(*shot, { { top.x, top.y, 0xFFFFFF },       // the white disc
                          { top.x, top.y + 6, 0xFF0000 },   // the red ring while dragging
                          { kPlace.left + kLeft, kPlace.top + 150, 0xBD30FF } }, // the border
                 2);
    EXPECT_TRUE(nearColor(shot->rgb(top.x + 4, top.y), 0xBD30FF, 40));

    dialog.post({ WM_LBUTTONUP }, CPoint(marker.x, kPlace.top + 2));
    ASSERT_TRUE(pumpUntil([&] { return !dialog.notes.empty(); }));
    EXPECT_EQ("5:2:0:0", noteLine(dialog.notes));
    ::UpdateWindow(dialog.GetSafeHwnd());
    shot = captureClient(dialog.GetSafeHwnd());
    EXPECT_FALSE(nearColor(shot->rgb(top.x, top.y + 6), 0xFF0000, 40));
}

TEST(CurveDialog, ThousandPaintsLeakNoGdiObjects)
{
    RecordingParent parent;
    Fan2TempCurve editor(&parent, 5, CRect(0, 0, 570, 305), 1, 1);
    editor.UpdateCurveData(curve({ { 0, 20 }, { 50, 60 }, { 100, 90 } }));
    DibCanvas canvas(600, 330);
    expectNoGdiGrowth(
        [&] {
            for (int i = 0; i < 10; ++i) {
                editor.SetUpdate(0, 0);
                editor.DrawControl(canvas.dc(), CRect(0, 0, 600, 330));
            }
        },
        100);
}

} // namespace
