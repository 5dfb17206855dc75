// System-information layouts 11 to 16, drawn around the centre of the round 480 × 480 screen:
// three-value panels (11, 15, 16) and dials with a needle (12), an arc (13) or a pie (14). Each
// is split into its still part and the part every frame draws over it (LEDModeCtrlLayouts.cpp).
//
// Runs inside a render with the renderer's render lock held, from the frame's snapshot (LEDModeCtrl.cpp).
#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "lcd/renderer/LEDModeCtrl.h"
#include "lcd/screens/LcdLayoutResources.h"

namespace KOVA {

namespace {
using Part = LayoutPart;
const Gdiplus::Color kGrey(0x96969696);
const Gdiplus::Color kTrack(0xFF242527);
constexpr float kTrackWidth = 26.0f;
constexpr int kScaleSide = 480;
constexpr int kPieScaleSide = 430;

Gdiplus::Color withAlpha(Gdiplus::Color c, BYTE alpha)
{
    return Gdiplus::Color(alpha, c.GetR(), c.GetG(), c.GetB());
}

bool oneOf(int item, std::initializer_list<int> items)
{
    return std::find(items.begin(), items.end(), item) != items.end();
}

Gdiplus::Rect around(int cx, int cy, int radius)
{
    return Gdiplus::Rect(cx - radius, cy - radius, 2 * radius, 2 * radius);
}

Gdiplus::Rect centredSquare(const LcdLayoutScene& s, int side)
{
    return Gdiplus::Rect((s.width - side) / 2, (s.height - side) / 2, side, side);
}

// ---- layout 11: one device's three values over the stretched control image

void layout11(Part part, Gdiplus::Graphics& g, LcdLayoutResources& resources, const LcdLayoutScene& s)
{
    SetLayoutQuality(g, s);
    if (part == Part::Still) {
        FillLayoutBackground(g, resources, s, s.round);
        DrawPicture(g, s.controlImage, Gdiplus::Rect(0, 0, s.width, s.height));
        Gdiplus::SolidBrush& bar = resources.Brush(withAlpha(s.background, 255));
        g.FillRectangle(&bar, Gdiplus::Rect(s.cx() - 80, 305, 160, 20));
        g.FillRectangle(&bar, Gdiplus::Rect(s.cx() - 80, 385, 160, 20));
    }
    DrawPanelTexts(g, resources, s, 11, part);
}

// ---- layout 15: three bubbles

struct Stroke {
    bool arc;
    int anchor; // 0 left edge, 1 centre, 2 right edge
    int x, y, side;
    bool accent;
    float width;
    Gdiplus::DashStyle dash;
    float start, sweep;
};

const Stroke kBubbleStrokes[] = {
    { false, 1, -75, 65, 150, true, 2, Gdiplus::DashStyleDash, 0, 0 },
    { false, 1, -65, 75, 130, false, 2, Gdiplus::DashStyleSolid, 0, 0 },
    { false, 1, -55, 85, 110, false, 2, Gdiplus::DashStyleDot, 0, 0 },
    { false, 0, 65, 255, 150, true, 5, Gdiplus::DashStyleDot, 0, 0 },
    { false, 0, 85, 275, 110, false, 1, Gdiplus::DashStyleSolid, 0, 0 },
    { false, 2, -210, 260, 140, false, 1, Gdiplus::DashStyleDot, 0, 0 },
    { true, 2, -195, 275, 110, false, 1, Gdiplus::DashStyleSolid, 180, 270 },
    { true, 2, -210, 260, 140, true, 3, Gdiplus::DashStyleSolid, 100, 60 },
    { true, 2, -195, 275, 110, true, 3, Gdiplus::DashStyleSolid, 260, 60 },
};

void layout15(Part part, Gdiplus::Graphics& g, LcdLayoutResources& resources, const LcdLayoutScene& s)
{
    SetLayoutQuality(g, s);
    if (part == Part::Still) {
        FillLayoutBackground(g, resources, s, s.round);
        Gdiplus::SolidBrush& outer = resources.Brush(withAlpha(s.background, 230));
        for (const Gdiplus::Rect& r : { Gdiplus::Rect(s.cx() - 80, 60, 160, 160), Gdiplus::Rect(60, 250, 160, 160),
                                        Gdiplus::Rect(s.width - 220, 250, 160, 160) })
            g.FillEllipse(&outer, r);
        Gdiplus::SolidBrush& inner = resources.Brush(withAlpha(s.background, 200));
        g.FillEllipse(&inner, Gdiplus::Rect(75, 265, 130, 130));
        g.FillEllipse(&inner, Gdiplus::Rect(s.width - 215, 255, 150, 150));
        const int origins[] = { 0, s.cx(), s.width };
        for (const Stroke& stroke : kBubbleStrokes) {
            Gdiplus::Pen& pen = resources.Pen(stroke.accent ? withAlpha(s.accent, 150) : kGrey, stroke.width, stroke.dash);
            const Gdiplus::Rect r(origins[stroke.anchor] + stroke.x, stroke.y, stroke.side, stroke.side);
            if (stroke.arc)
                g.DrawArc(&pen, r, stroke.start, stroke.sweep);
            else
                g.DrawEllipse(&pen, r);
        }
    }
    DrawPanelTexts(g, resources, s, 15, part);
}

// ---- layout 16: a band across the upper half, clipped to the inscribed ellipse

void layout16(Part part, Gdiplus::Graphics& g, LcdLayoutResources& resources, const LcdLayoutScene& s)
{
    // The clip stays on the frame's graphics: whatever the frame draws after the layout is
    // clipped as well.
    g.SetClip(&resources.FrameEllipse(s.width, s.height), Gdiplus::CombineModeReplace);
    SetLayoutQuality(g, s);
    if (part == Part::Still) {
        FillLayoutBackground(g, resources, s, s.round);
        Gdiplus::SolidBrush& band = resources.Brush(s.value);
        g.FillRectangle(&band, Gdiplus::Rect(0, 120, s.width, 120));
        g.FillRectangle(&band, Gdiplus::Rect(s.cx(), s.cy() + 50, 1, 100));
    }
    DrawPanelTexts(g, resources, s, 16, part);
}

// ---- layout 12: needle dial
// The halo, hub and rings lie over the needle and do not move: they stay in the layer, and the
// resources' covered copy shows them over the dial filled with the needle's colour.

// The value-colour ring of the dials: as set, then the inner fill.
void dialRing(Gdiplus::Graphics& g, LcdLayoutResources& resources, const LcdLayoutScene& s, bool ellipses, Gdiplus::Color inner)
{
    const Gdiplus::Rect rims[] = { Gdiplus::Rect(10, 10, s.width - 20, s.height - 20),
                                   Gdiplus::Rect(15, 15, s.width - 30, s.height - 30) };
    const Gdiplus::Color fills[] = { s.value, inner };
    for (int i = 0; i < 2; ++i) {
        Gdiplus::SolidBrush& brush = resources.Brush(fills[i]);
        if (ellipses)
            g.FillEllipse(&brush, rims[i]);
        else
            g.FillRectangle(&brush, rims[i]);
    }
}

// A covered copy for layout: what its still part draws under the mark depends on these.
LcdCoverKey coverKey(int layout, Gdiplus::Graphics& g, const LcdLayoutScene& s, const LcdPicture& scale)
{
    LcdCoverKey key;
    key.layout = layout;
    key.width = s.width;
    key.height = s.height;
    key.round = s.round;
    key.background = s.background.GetValue();
    key.value = s.value.GetValue();
    key.accent = s.accent.GetValue();
    key.scale = scale.image.get();
    key.interpolation = g.GetInterpolationMode();
    return key;
}

const LcdPicture& needleScale(const LcdLayoutScene& s)
{
    const bool first = oneOf(s.item, { HardwareCpuTemperature, HardwareCpuLoad, HardwareGpuTemperature,
                                       HardwareGpuLoad, HardwareMemoryLoad });
    return s.gpuScale[first ? 0 : 1];
}

void needleDial(Gdiplus::Graphics& g, LcdLayoutResources& resources, const LcdLayoutScene& s)
{
    FillLayoutBackground(g, resources, s, s.round);
    dialRing(g, resources, s, s.round, s.background);
    DrawPicture(g, needleScale(s), centredSquare(s, kScaleSide));
}

void needleShape(const LcdLayoutScene& s, Gdiplus::PointF (&needle)[4])
{
    const float degrees = DialSweep(2, s) + 210.0f;
    const float theta = static_cast<float>(degrees * 3.1415926 / 180.0);
    const float c = std::cos(theta);
    const float n = std::sin(theta);
    const float cx = static_cast<float>(s.cx());
    const float cy = static_cast<float>(s.cy());
    const Gdiplus::PointF corners[] = { { cx - 3, cy + 120 }, { cx + 3, cy + 120 }, { cx + 3, 70 }, { cx - 3, 70 } };
    for (int i = 0; i < 4; ++i) {
        const float dx = corners[i].X - cx;
        const float dy = corners[i].Y - cy;
        needle[i] = Gdiplus::PointF(dx * c - dy * n + cx, dx * n + dy * c + cy);
    }
}

void needleCover(Gdiplus::Graphics& g, LcdLayoutResources& resources, const LcdLayoutScene& s)
{
    const Gdiplus::Rect halo = around(s.cx(), s.cy(), 130);
    g.FillPath(&resources.Gradient(0, halo, withAlpha(s.value, 50), withAlpha(s.value, 200)), &resources.FullPie(halo));
    const Gdiplus::Rect hub = around(s.cx(), s.cy(), 100);
    g.FillEllipse(&resources.Brush(withAlpha(s.background, 255)), hub);
    g.DrawEllipse(&resources.Pen(withAlpha(s.value, 150), 2, Gdiplus::DashStyleDash), halo);
    g.DrawEllipse(&resources.Pen(withAlpha(s.value, 200), 2), hub);
    g.DrawEllipse(&resources.Pen(withAlpha(s.value, 255), 5), around(s.cx(), s.cy(), 85));
}

void showNeedle(Gdiplus::Graphics& g, LcdLayoutResources& resources, const LcdLayoutScene& s)
{
    if (const HDC copy = resources.CoverToDraw(g, coverKey(12, g, s, needleScale(s)))) {
        Gdiplus::Graphics covered(copy);
        covered.SetInterpolationMode(g.GetInterpolationMode());
        SetLayoutQuality(covered, s);
        needleDial(covered, resources, s);
        covered.FillRectangle(&resources.Brush(s.accent), 0, 0, s.width, s.height);
        needleCover(covered, resources, s);
    }
    Gdiplus::PointF needle[4];
    needleShape(s, needle);
    Gdiplus::GraphicsPath& shape = resources.FreshPath();
    shape.AddPolygon(needle, 4);
    resources.ShowCover(g, shape);
}

void layout12(Part part, Gdiplus::Graphics& g, LcdLayoutResources& resources, const LcdLayoutScene& s)
{
    SetLayoutQuality(g, s);
    const bool moves = DialMoves(2, s.item);
    if (part == Part::Still) {
        needleDial(g, resources, s);
        if (!moves) {
            Gdiplus::PointF needle[4];
            needleShape(s, needle);
            g.FillPolygon(&resources.Brush(s.accent), needle, 4, Gdiplus::FillModeAlternate);
        }
        needleCover(g, resources, s);
        resources.ForgetCover();
    } else if (moves) {
        showNeedle(g, resources, s);
    }
    DrawGaugeTexts(part, g, resources, s, 2, 60, 5, s.label);
}

// ---- layout 13: arc dial over the stretched control image

void layout13(Part part, Gdiplus::Graphics& g, LcdLayoutResources& resources, const LcdLayoutScene& s)
{
    // Drawn with the quality the frame already carries.
    const Gdiplus::Rect track = around(s.cx(), s.cy(), 160);
    const GaugeCaption zediver { L"ZEDIVER", resources.Font(20, Gdiplus::FontStyleRegular), 30.0f };
    if (part == Part::Still) {
        FillLayoutBackground(g, resources, s, s.round);
        dialRing(g, resources, s, true, withAlpha(s.background, 255));
        if (s.item == HardwareMemoryCapacity)
            DrawPicture(g, s.memoryScale[0], centredSquare(s, kScaleSide));
        else if (s.item == HardwareMemoryTemperature || s.item == HardwareMemoryLoad)
            DrawPicture(g, s.memoryScale[1], centredSquare(s, kScaleSide));
        DrawPicture(g, s.controlImage, Gdiplus::Rect(0, 0, s.width, s.height));
        g.DrawEllipse(&resources.Pen(withAlpha(s.value, 150), 2), around(s.cx(), s.cy(), 130));
        g.DrawEllipse(&resources.Pen(withAlpha(s.value, 255), 2), around(s.cx(), s.cy(), 100));
        if (s.item != HardwareMemoryClock)
            g.DrawArc(&resources.Pen(kTrack, kTrackWidth), track, kDialStart, kDialFullScale);
    }
    DrawGaugeTexts(part, g, resources, s, 3, 50, 10, s.label, zediver);
    if (part == Part::Moving && DialMarked(3, s.item))
        g.DrawArc(&resources.Pen(s.accent, kTrackWidth), track, kDialStart, DialSweep(3, s));
}

// ---- layout 14: pie dial
// The hub lies over the pie and does not move: it stays in the layer, and the resources' covered
// copy shows it over the dial filled with the pie's gradient.

const LcdPicture& pieScale(const LcdLayoutScene& s)
{
    const bool first = oneOf(s.item, { HardwareCpuTemperature, HardwareCpuLoad, HardwareGpuTemperature,
                                       HardwareGpuLoad, HardwareMemoryCapacity, HardwareMemoryTemperature });
    return s.cpuScale[first ? 0 : 1];
}

void pieDial(Gdiplus::Graphics& g, LcdLayoutResources& resources, const LcdLayoutScene& s)
{
    FillLayoutBackground(g, resources, s, s.round);
    dialRing(g, resources, s, true, s.background);
    DrawPicture(g, pieScale(s), centredSquare(s, kPieScaleSide));
    g.DrawEllipse(&resources.Pen(withAlpha(s.value, 150), 2), around(s.cx(), s.cy(), 130));
    g.DrawEllipse(&resources.Pen(withAlpha(s.value, 255), 2), around(s.cx(), s.cy(), 100));
}

void pieHub(Gdiplus::Graphics& g, LcdLayoutResources& resources, const LcdLayoutScene& s)
{
    g.FillEllipse(&resources.Brush(s.background), around(s.cx(), s.cy(), 100));
}

void showPie(Gdiplus::Graphics& g, LcdLayoutResources& resources, const LcdLayoutScene& s)
{
    const Gdiplus::Rect square = around(s.cx(), s.cy(), 225);
    if (const HDC copy = resources.CoverToDraw(g, coverKey(14, g, s, pieScale(s)))) {
        Gdiplus::Graphics covered(copy);
        covered.SetInterpolationMode(g.GetInterpolationMode());
        SetLayoutQuality(covered, s);
        pieDial(covered, resources, s);
        covered.FillRectangle(&resources.Gradient(1, square, withAlpha(s.accent, 50), withAlpha(s.accent, 200)), square);
        pieHub(covered, resources, s);
    }
    Gdiplus::GraphicsPath& pie = resources.FreshPath();
    pie.AddPie(square, kDialStart, DialSweep(4, s));
    resources.ShowCover(g, pie);
}

// An item without a pie never moves: its layer is the whole dial.
void layout14(Part part, Gdiplus::Graphics& g, LcdLayoutResources& resources, const LcdLayoutScene& s)
{
    SetLayoutQuality(g, s);
    if (part == Part::Still) {
        pieDial(g, resources, s);
        pieHub(g, resources, s);
        resources.ForgetCover();
    } else if (DialMoves(4, s.item)) {
        showPie(g, resources, s);
    }
    DrawGaugeTexts(part, g, resources, s, 4, 60, 5, s.label);
}
} // namespace

void DrawRoundLayout(int layout, LayoutPart part, Gdiplus::Graphics& g, LcdLayoutResources& resources, const LcdLayoutScene& scene)
{
    using Draw = void (*)(Part, Gdiplus::Graphics&, LcdLayoutResources&, const LcdLayoutScene&);
    static const Draw kLayouts[] = { layout11, layout12, layout13, layout14, layout15, layout16 };
    kLayouts[layout - 11](part, g, resources, scene);
}

} // namespace KOVA
