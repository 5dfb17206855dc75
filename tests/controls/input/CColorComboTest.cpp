// The colour combo face: its press and click reports and its looks.
#include <gtest/gtest.h>

#include "DibCanvas.h"
#include "LibraryHost.h"
#include "RecordingControl.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

TEST(ColorCombo, ReportsAPressAndAReleaseInside)
{
    const CPoint in(20, 20), out(200, 200);
    struct Case { bool enabled; CPoint press, release; const char* heard; };
    const Case cases[] {
        { true, in, out, "5:1:0:0" },
        { true, in, in, "5:1:0:0 5:2:0:0" },
        { true, out, in, "5:2:0:0" },
        { false, in, in, "" },
    };
    for (const Case& c : cases) {
        RecordingParent parent;
        CColorCombo combo(&parent, 5, CRect(10, 10, 40, 30), 1, c.enabled ? 1 : 0);
        combo.OnLButtonDown(MK_LBUTTON, c.press);
        combo.OnLButtonUp(0, c.release);
        EXPECT_EQ(c.heard, noteLine(parent.notifications));
    }
}

TEST(ColorCombo, ShowsItsColourFramedAndCrossedWhenDisabled)
{
    PaintManager manager;
    RecordingParent parent;
    CColorCombo combo(&parent, 5, CRect(10, 10, 40, 30), 1, 1);
    combo.SetManager(&manager);
    combo.SetAreaColor(Gdiplus::Color(0xFF00FF00));
    DibCanvas canvas(60, 40);
    const auto paint = [&] {
        canvas.fill(0xFF0000FF);
        combo.SetUpdate(0, 0);
        combo.Draw(canvas.dc(), CRect(0, 0, 60, 40));
    };
    paint();
    expectPixels(canvas, { { 25, 20, 0x00FF00 }, { 10, 20, 0x050505 }, { 5, 5, 0x0000FF } }, 2);
    combo.SetControlEnabled(0);
    paint();
    // The diagonal from the bottom-left corner to the top-right one crosses the middle.
    expectPixels(canvas, { { 10, 20, 0x808080 }, { 15, 14, 0x00FF00 }, { 25, 20, 0xFF0000 } }, 2);
}

// The open flag is the host's note of its picker: kept and read back, and it changes neither
// the face nor what a click reports.
TEST(ColorCombo, TheOpenFlagIsKeptForTheHostAndChangesNothingElse)
{
    PaintManager manager;
    RecordingParent parent;
    CColorCombo combo(&parent, 5, CRect(10, 10, 40, 30), 1, 1);
    combo.SetManager(&manager);
    combo.SetAreaColor(Gdiplus::Color(0xFF00FF00));
    EXPECT_FALSE(combo.IsOpen());
    for (bool open : { true, false, true }) {
        combo.SetIsOpen(open);
        EXPECT_EQ(open, combo.IsOpen());
        DibCanvas canvas(60, 40);
        canvas.fill(0xFF0000FF);
        combo.SetUpdate(0, 0);
        combo.Draw(canvas.dc(), CRect(0, 0, 60, 40));
        expectPixels(canvas, { { 25, 20, 0x00FF00 }, { 10, 20, 0x050505 } }, 2);
        parent.notifications.clear();
        combo.OnLButtonDown(MK_LBUTTON, CPoint(20, 20));
        combo.OnLButtonUp(0, CPoint(20, 20));
        EXPECT_EQ("5:1:0:0 5:2:0:0", noteLine(parent.notifications)) << open;
    }
}

} // namespace
