// The water-cooling screen: a disc covered with rings of dots, an inner disc carrying the
// control image, a pointer and "N/A" under a veil of the accent colour. No coolant value is
// handed to the library, so nothing on it changes from frame to frame: it is all still layer.
//
// Runs inside a render with the render lock held, drawing from the frame's snapshot (LEDModeCtrl.cpp).
#include "lcd/renderer/LEDModeCtrl.h"

#include <cmath>

#include "lcd/renderer/LcdFrameSnapshot.h"
#include "lcd/screens/LcdScreenResources.h"

namespace KOVA {

namespace {
constexpr int kWaterScreen = 30;
// Where the pointer stands, in radians (215 degrees clockwise from straight up).
constexpr double kPointerAngle = 3.752457857;
constexpr BYTE kInnerDiscAlpha = 200;
constexpr BYTE kVeilAlpha = 100;
} // namespace

void LEDModeCtrl::DrawWaterCoolingMode(Gdiplus::Graphics& g, int& width, int& height)
{
    const FrameScope frame(*this);
    screenResources();
    DrawLayered(g, width, height, 0, kWaterScreen, &LEDModeCtrl::waterStill, &LEDModeCtrl::waterMoving);
}

void LEDModeCtrl::waterStill(Gdiplus::Graphics& g, int width, int height, int)
{
    LcdScreenResources& resources = *m_screenResources;
    g.SetTextRenderingHint(snapshot().hint);
    g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    const int cx = width / 2;
    const int cy = height / 2;
    Gdiplus::SolidBrush& brush = resources.brush;

    brush.SetColor(snapshot().background);
    g.FillEllipse(&brush, 0, 0, width, height);
    brush.SetColor(snapshot().value);
    g.FillPath(&brush, &resources.Dots(cx, cy));

    const Gdiplus::Rect inner((width - 270) / 2, (height - 270) / 2, 270, 270);
    brush.SetColor(LcdWithAlpha(snapshot().background, kInnerDiscAlpha));
    g.FillEllipse(&brush, inner);
    if (snapshot().strip.image)
        g.DrawImage(snapshot().strip.image.get(), inner);

    brush.SetColor(snapshot().value);
    g.FillEllipse(&brush, (width - 200) / 2, (height - 200) / 2, 200, 200);
    const float c = static_cast<float>(std::cos(kPointerAngle));
    const float s = static_cast<float>(std::sin(kPointerAngle));
    const float fx = static_cast<float>(cx);
    const float fy = static_cast<float>(cy);
    Gdiplus::PointF pointer[] = { { fx - 30, fy }, { fx + 30, fy }, { fx, 10 } };
    for (Gdiplus::PointF& p : pointer) {
        const float dx = p.X - fx;
        const float dy = p.Y - fy;
        p = Gdiplus::PointF(dx * c - dy * s + fx, dx * s + dy * c + fy);
    }
    g.FillPolygon(&brush, pointer, 3, Gdiplus::FillModeAlternate);

    brush.SetColor(snapshot().label);
    g.DrawString(L"N/A", -1, resources.Font(LcdFontRole::Value50),
                 Gdiplus::RectF(15, fy - 30, static_cast<float>(width - 30), 60), &resources.centred, &brush);
    brush.SetColor(LcdWithAlpha(snapshot().accent, kVeilAlpha));
    g.FillEllipse(&brush, 0, 0, width, height);
}

void LEDModeCtrl::waterMoving(Gdiplus::Graphics&, int, int, int)
{
    // Every element of the screen is in the still layer: a frame only copies it.
}

} // namespace KOVA
