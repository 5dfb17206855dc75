#pragma once
// What the hostile-input programs of the device views share: the places and the points a
// careless host passes, and a fixture that paints a control whole onto a canvas of its own and
// drives every button, the wheel and moves at every one of those points.
#include <gtest/gtest.h>

#include <climits>

#include "DibCanvas.h"
#include "KOVA.h"
#include "RecordingControl.h"

namespace KOVA::test {

// A usual place, none, upside down, one pixel, and a long thin strip.
inline const CRect kHostileRects[] = { CRect(10, 10, 470, 370), CRect(), CRect(300, 200, 20, 40), CRect(5, 5, 6, 6),
                                       CRect(0, 0, 30000, 8) };
inline const CPoint kHostilePoints[] = { CPoint(INT_MIN / 2, INT_MIN / 2), CPoint(-5, -5), CPoint(12, 12),
                                         CPoint(200, 150), CPoint(469, 369), CPoint(100000, 100000) };

class HostileControls : public ::testing::Test {
protected:
    ~HostileControls() override { manager.ClearImgResInfo(); }
    // Painted whole, then every button, the wheel and moves at every point, each round followed
    // by a tick when ticks is set, then painted again.
    void poke(MControl& control, bool ticks = false);
    void paint(MControl& control);

    PaintManager manager;
    RecordingParent parent;
    DibCanvas canvas { 480, 380 };
};

} // namespace KOVA::test
