// System-information layouts 21 to 26: the plain forms of 11 to 16 on a rectangular background,
// the control image's first frame at its own size in the bottom-right corner, and for 23 one
// thin arc gauge. Each is split into its still part and the part every frame draws over it.
//
// Runs inside a render with the renderer's render lock held, from the frame's snapshot (LEDModeCtrl.cpp).
#include "lcd/renderer/LEDModeCtrl.h"
#include "lcd/screens/LcdLayoutResources.h"

namespace KOVA {

namespace {
using Part = LayoutPart;

// The background and the corner image under every plain layout.
void plainGround(Gdiplus::Graphics& g, LcdLayoutResources& resources, const LcdLayoutScene& s)
{
    FillLayoutBackground(g, resources, s, false);
    DrawCornerImage(g, s);
}

void panel(int layout, Part part, Gdiplus::Graphics& g, LcdLayoutResources& resources, const LcdLayoutScene& s)
{
    SetLayoutQuality(g, s);
    if (part == Part::Still)
        plainGround(g, resources, s);
    DrawPanelTexts(g, resources, s, layout, part);
}

void layout22(Part part, Gdiplus::Graphics& g, LcdLayoutResources& resources, const LcdLayoutScene& s)
{
    SetLayoutQuality(g, s);
    if (part == Part::Still)
        plainGround(g, resources, s);
    DrawGaugeTexts(part, g, resources, s, 2, 60, 10, s.value);
}

void layout23(Part part, Gdiplus::Graphics& g, LcdLayoutResources& resources, const LcdLayoutScene& s)
{
    // Drawn with the quality the frame already carries.
    if (part == Part::Still)
        plainGround(g, resources, s);
    DrawGaugeTexts(part, g, resources, s, 3, 50, 10, s.value, { L"ZEDIVER", resources.Font(20, Gdiplus::FontStyleRegular), 30.0f });
    if (part == Part::Moving && DialMarked(3, s.item)) {
        // Centred on the corner image's top-left corner, or on the frame's without one.
        const Gdiplus::Point corner = CornerImagePlace(s);
        g.DrawArc(&resources.Pen(s.accent, 1.0f), Gdiplus::Rect(corner.X - 160, corner.Y - 160, 320, 320), kDialStart,
                  DialSweep(3, s));
    }
}

void layout24(Part part, Gdiplus::Graphics& g, LcdLayoutResources& resources, const LcdLayoutScene& s)
{
    SetLayoutQuality(g, s);
    if (part == Part::Still)
        plainGround(g, resources, s);
    DrawGaugeTexts(part, g, resources, s, 4, 60, 10, s.value, { L"BRAVIK", resources.Font(30, Gdiplus::FontStyleRegular, true), 40.0f });
}
} // namespace

void DrawPlainLayout(int layout, LayoutPart part, Gdiplus::Graphics& g, LcdLayoutResources& resources, const LcdLayoutScene& scene)
{
    switch (layout) {
    case 22:
        layout22(part, g, resources, scene);
        break;
    case 23:
        layout23(part, g, resources, scene);
        break;
    case 24:
        layout24(part, g, resources, scene);
        break;
    default:
        panel(layout, part, g, resources, scene);
        break;
    }
}

} // namespace KOVA
