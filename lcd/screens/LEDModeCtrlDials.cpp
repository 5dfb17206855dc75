// The carousel item screens: one round dial per device with the item's value large in the
// middle over its unit. Everything but the gauge and the value stays in the still layer; each
// frame draws those two over it. The drawing resources of the weather, water-cooling and dial screens are
// made here.
//
// Runs inside a render with the render lock held, drawing from the frame's snapshot (LEDModeCtrl.cpp).
#include "lcd/renderer/LEDModeCtrl.h"

#include <cmath>
#include <cwchar>

#include "lcd/renderer/LcdFrameSnapshot.h"
#include "lcd/renderer/LcdTextStamps.h"
#include "lcd/screens/LcdScreenResources.h"

namespace KOVA {

namespace {
// Screen ids of the layer cache.
constexpr int kMemoryDial = 1;
constexpr int kCpuDial = 2;
constexpr int kGpuDial = 3;

// Every gauge starts at 120 degrees (GDI+ angles, clockwise from 3 o'clock) and spans 300.
constexpr float kGaugeStart = 120.0f;
constexpr float kGaugeSpan = 300.0f;
constexpr float kTemperatureFullScale = 212.0f;
// The memory arc's scale: 128 GB over the full span, in the product's own steps.
constexpr float kPerGigabyteStep = 0.0078125f;
constexpr int kTextLength = 32;
constexpr int kHubRadius = 100;
constexpr int kGlassRadius = 130;
constexpr int kSectorRadius = 225;

Gdiplus::Rect squareAbout(int cx, int cy, int half)
{
    return Gdiplus::Rect(cx - half, cy - half, 2 * half, 2 * half);
}

void drawCentredImage(Gdiplus::Graphics& g, Gdiplus::Image* image, int width, int height, int side)
{
    if (image)
        g.DrawImage(image, Gdiplus::Rect((width - side) / 2, (height - side) / 2, side, side));
}

void useDialQuality(Gdiplus::Graphics& g, Gdiplus::TextRenderingHint hint)
{
    g.SetTextRenderingHint(hint);
    g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
}

// The pixels of g's surface through GDI, with what GDI+ queued landed first.
class SurfaceDC {
public:
    explicit SurfaceDC(Gdiplus::Graphics& g) : m_g(g)
    {
        g.Flush(Gdiplus::FlushIntentionSync);
        m_dc = g.GetHDC();
    }
    ~SurfaceDC() { m_g.ReleaseHDC(m_dc); }
    SurfaceDC(const SurfaceDC&) = delete;
    SurfaceDC& operator=(const SurfaceDC&) = delete;
    HDC get() const { return m_dc; }

private:
    Gdiplus::Graphics& m_g;
    HDC m_dc { nullptr };
};

// What the CPU or GPU dial shows for one of its three items (temperature, clock, load).
struct DeviceReading {
    bool shown { false };
    wchar_t value[kTextLength] {};
    const wchar_t* unit { L"" };
    float angle { kGaugeSpan };
};

DeviceReading readDevice(int which, float temperature, float clock, float load, const wchar_t* sign,
                         float clockAngle)
{
    DeviceReading reading;
    float shown = 0;
    const wchar_t* format = L"%02.f";
    switch (which) {
    case 0:
        shown = temperature;
        reading.unit = sign;
        reading.angle = temperature * kGaugeSpan / kTemperatureFullScale;
        break;
    case 1:
        shown = clock;
        format = L"%3.f";
        reading.unit = L"MHz";
        reading.angle = clockAngle;
        break;
    case 2:
        shown = load;
        reading.unit = L"%";
        reading.angle = load * kGaugeSpan / 100.0f;
        break;
    default:
        return reading;
    }
    reading.shown = true;
    swprintf(reading.value, kTextLength, format, static_cast<double>(shown));
    return reading;
}
} // namespace

LcdScreenResources& LEDModeCtrl::screenResources()
{
    if (!m_screenResources)
        m_screenResources.reset(new LcdScreenResources);
    // The layer key knows the face and the scale but not the style: new fonts redraw the layer.
    const LcdFrameSnapshot& frame = snapshot();
    if (m_screenResources->PrepareFonts(frame)) {
        ScopedLock lock(m_stateLock);
        ++m_layerVersion;
        // This frame's layer too is drawn again, with the new fonts.
        m_snapshot->layerVersion = m_layerVersion;
    }
    return *m_screenResources;
}

float LEDModeCtrl::MemoryPercent(const HARDWARE_INFO& info)
{
    const float total = info.memoryUsed + info.memoryFree;
    return total > 0.0f ? info.memoryUsed / total * 100.0f : 0.0f;
}

// ---- shared by the three dials

void LEDModeCtrl::drawDialFace(Gdiplus::Graphics& g, int width, int height, bool opaqueInnerRim)
{
    Gdiplus::SolidBrush& brush = m_screenResources->brush;
    brush.SetColor(LcdWithAlpha(snapshot().background, 100));
    g.FillEllipse(&brush, 0, 0, width, height);
    brush.SetColor(snapshot().value);
    g.FillEllipse(&brush, 10, 10, width - 20, height - 20);
    brush.SetColor(opaqueInnerRim ? LcdWithAlpha(snapshot().background, 255) : snapshot().background);
    g.FillEllipse(&brush, 15, 15, width - 30, height - 30);
}

void LEDModeCtrl::drawDialRings(Gdiplus::Graphics& g, int width, int height)
{
    Gdiplus::Pen& pen = m_screenResources->pen;
    pen.SetWidth(2.0f);
    pen.SetDashStyle(Gdiplus::DashStyleSolid);
    pen.SetColor(LcdWithAlpha(snapshot().value, 150));
    g.DrawEllipse(&pen, squareAbout(width / 2, height / 2, 130));
    pen.SetColor(LcdWithAlpha(snapshot().value, 255));
    g.DrawEllipse(&pen, squareAbout(width / 2, height / 2, 100));
}

void LEDModeCtrl::drawDialTexts(Gdiplus::Graphics& g, int width, int height, const CString& value, const wchar_t* unit,
                                bool largeValue)
{
    LcdScreenResources& resources = *m_screenResources;
    resources.brush.SetColor(snapshot().label);
    const float cy = static_cast<float>(height / 2);
    const float boxWidth = static_cast<float>(width - 20);
    if (!value.IsEmpty()) {
        const Gdiplus::Font* font = resources.Font(largeValue ? LcdFontRole::Value60 : LcdFontRole::Value50);
        DrawStampedText(textStamps(), g, value, value.GetLength(), font, Gdiplus::RectF(10, cy - 40, boxWidth, 60),
                        &resources.centred, resources.brush);
    }
    if (unit && *unit)
        DrawStampedText(textStamps(), g, unit, -1, resources.Font(LcdFontRole::Unit20),
                        Gdiplus::RectF(10, cy + 20, boxWidth, 30), &resources.centred, resources.brush);
}

// ---- memory: items 7 to 10

void LEDModeCtrl::DrawSystemInfoMode1(Gdiplus::Graphics& g, int& width, int& height, int item)
{
    const FrameScope frame(*this);
    screenResources();
    DrawLayered(g, width, height, item, kMemoryDial, &LEDModeCtrl::memoryDialStill, &LEDModeCtrl::memoryDialMoving);
}

void LEDModeCtrl::memoryDialStill(Gdiplus::Graphics& g, int width, int height, int item)
{
    LcdScreenResources& resources = *m_screenResources;
    drawDialFace(g, width, height, true);
    const LcdPicture* scale = item == HardwareMemoryCapacity ? &snapshot().memoryScale[0]
        : (item == HardwareMemoryTemperature || item == HardwareMemoryLoad) ? &snapshot().memoryScale[1]
                                                                           : nullptr;
    drawCentredImage(g, scale ? scale->image.get() : nullptr, width, height, 480);
    drawDialRings(g, width, height);
    if (item != HardwareMemoryClock) {
        resources.pen.SetColor(Gdiplus::Color(kLcdTrackGrey));
        resources.pen.SetWidth(26.0f);
        g.DrawArc(&resources.pen, squareAbout(width / 2, height / 2, 160), kGaugeStart, kGaugeSpan);
    }
    // The unit and the brand lie clear of the value and of its arc: they stay in the layer.
    const wchar_t* units[] = { L"GB", TemperatureSign(), L"MHz", L"%" };
    if (item < HardwareMemoryCapacity || item > HardwareMemoryLoad)
        return;
    drawDialTexts(g, width, height, CString(), units[item - HardwareMemoryCapacity], false);
    g.DrawString(L"ZEDIVER", -1, resources.Font(LcdFontRole::Unit20),
                 Gdiplus::RectF(10, static_cast<float>(height - 60), static_cast<float>(width - 20), 30), &resources.centred,
                 &resources.brush);
}

void LEDModeCtrl::memoryDialMoving(Gdiplus::Graphics& g, int width, int height, int item)
{
    const HARDWARE_INFO& info = snapshot().values;
    const float total = info.memoryUsed + info.memoryFree;
    const float percent = MemoryPercent(info);
    wchar_t value[kTextLength] {};
    float sweep = 0;
    switch (item) {
    case HardwareMemoryCapacity:
        swprintf(value, kTextLength, L"%2.02f", static_cast<double>(total));
        sweep = total * kPerGigabyteStep * 100.0f * kGaugeSpan * kPerGigabyteStep;
        break;
    case HardwareMemoryTemperature:
        swprintf(value, kTextLength, L"%02.f", static_cast<double>(info.memoryTemperature));
        break;
    case HardwareMemoryClock:
        swprintf(value, kTextLength, L"%4.f", static_cast<double>(info.memoryClock));
        break;
    case HardwareMemoryLoad:
        swprintf(value, kTextLength, L"%3.f%%", static_cast<double>(percent));
        sweep = percent * kGaugeSpan / 100.0f;
        break;
    default:
        return;
    }
    drawDialTexts(g, width, height, value, nullptr, false);
    if (item != HardwareMemoryCapacity && item != HardwareMemoryLoad)
        return;
    Gdiplus::Pen& pen = m_screenResources->pen;
    pen.SetColor(snapshot().accent);
    pen.SetWidth(26.0f);
    pen.SetDashStyle(Gdiplus::DashStyleSolid);
    g.DrawArc(&pen, squareAbout(width / 2, height / 2, 160), kGaugeStart, sweep);
}

// ---- CPU and GPU: what their gauges cover
// GDI+ fills the whole bounds of a shape even when a clip leaves a few pixels of it, and a
// gradient or a large shape costs milliseconds under Wine. So the CPU and GPU dials draw their
// gauges once, into a copy of the dial covered wholly by the gauge, and a frame shows that copy
// through the region of the gauge's shape. Solid colours blend alike wherever they land; a
// gradient may round a step apart from one drawn into the shape itself.

HDC LEDModeCtrl::keepDial(Gdiplus::Graphics& g, int slot, int width, int height)
{
    const SurfaceDC surface(g);
    return m_screenResources->withGauge[slot].Keep(surface.get(), width, height);
}

void LEDModeCtrl::showGauge(Gdiplus::Graphics& g, int slot)
{
    LcdScreenResources& resources = *m_screenResources;
    const LcdUniqueRegion shape(Gdiplus::Region(&resources.gauge).GetHRGN(&g));
    if (!shape)
        return;
    const SurfaceDC surface(g);
    resources.withGauge[slot].CopyThrough(surface.get(), shape.get());
}

// ---- CPU: items 1 to 3

void LEDModeCtrl::DrawSystemInfoMode2(Gdiplus::Graphics& g, int& width, int& height, int item)
{
    const FrameScope frame(*this);
    screenResources();
    DrawLayered(g, width, height, item, kCpuDial, &LEDModeCtrl::cpuDialStill, &LEDModeCtrl::cpuDialMoving);
}

namespace {
// The CPU dial shows one scale image for temperature and load, the other for the clock.
bool showsFirstCpuScale(int item)
{
    return item == HardwareCpuTemperature || item == HardwareCpuLoad;
}

int cpuGaugeSlot(int item)
{
    return showsFirstCpuScale(item) ? 0 : 2;
}
} // namespace

void LEDModeCtrl::cpuDialStill(Gdiplus::Graphics& g, int width, int height, int item)
{
    useDialQuality(g, snapshot().hint);
    drawDialFace(g, width, height, false);
    drawCentredImage(g, snapshot().cpuScale[showsFirstCpuScale(item) ? 0 : 1].image.get(), width, height, 430);
    drawDialRings(g, width, height);
    // The hub lies over the sector: it goes on both the dial and its covered copy.
    if (const HDC covered = keepDial(g, cpuGaugeSlot(item), width, height)) {
        Gdiplus::Graphics cover(covered);
        cover.SetSmoothingMode(g.GetSmoothingMode());
        const Gdiplus::Rect square = squareAbout(width / 2, height / 2, kSectorRadius);
        cover.FillRectangle(m_screenResources->Gradient(0, square, LcdWithAlpha(snapshot().accent, 50),
                                                  LcdWithAlpha(snapshot().accent, 200)),
                            square);
        drawCpuHub(cover, width, height);
    }
    drawCpuHub(g, width, height);
}

void LEDModeCtrl::drawCpuHub(Gdiplus::Graphics& g, int width, int height)
{
    m_screenResources->brush.SetColor(snapshot().background);
    g.FillEllipse(&m_screenResources->brush, squareAbout(width / 2, height / 2, kHubRadius));
}

void LEDModeCtrl::cpuDialMoving(Gdiplus::Graphics& g, int width, int height, int item)
{
    useDialQuality(g, snapshot().hint);
    const HARDWARE_INFO& info = snapshot().values;
    const DeviceReading reading = readDevice(item - HardwareCpuTemperature, info.cpuTemperature, info.cpuClock,
                                             info.cpuLoad, TemperatureSign(), ClockDialAngle(info.cpuClock));
    if (!reading.shown)
        return;
    Gdiplus::GraphicsPath& sector = m_screenResources->gauge;
    sector.Reset();
    sector.AddPie(squareAbout(width / 2, height / 2, kSectorRadius), kGaugeStart, reading.angle);
    showGauge(g, cpuGaugeSlot(item));
    drawDialTexts(g, width, height, reading.value, reading.unit, true);
}

// ---- GPU: items 4 to 6
// The glass, hub and rings lie over the needle and do not move: they stay in the layer, and
// the covered copy shows them over a dial filled with the needle's colour.

void LEDModeCtrl::DrawSystemInfoMode3(Gdiplus::Graphics& g, int& width, int& height, int item)
{
    const FrameScope frame(*this);
    screenResources();
    DrawLayered(g, width, height, item, kGpuDial, &LEDModeCtrl::gpuDialStill, &LEDModeCtrl::gpuDialMoving);
}

void LEDModeCtrl::gpuDialStill(Gdiplus::Graphics& g, int width, int height, int item)
{
    useDialQuality(g, snapshot().hint);
    drawDialFace(g, width, height, false);
    const bool first = item == HardwareGpuTemperature || item == HardwareGpuLoad;
    drawCentredImage(g, snapshot().gpuScale[first ? 0 : 1].image.get(), width, height, 480);
    if (const HDC covered = keepDial(g, 1, width, height)) {
        Gdiplus::Graphics cover(covered);
        cover.SetSmoothingMode(g.GetSmoothingMode());
        m_screenResources->brush.SetColor(snapshot().accent);
        cover.FillRectangle(&m_screenResources->brush, 0, 0, width, height);
        drawGpuCover(cover, width, height);
    }
    drawGpuCover(g, width, height);
}

void LEDModeCtrl::drawGpuCover(Gdiplus::Graphics& g, int width, int height)
{
    LcdScreenResources& resources = *m_screenResources;
    const int cx = width / 2;
    const int cy = height / 2;
    const Gdiplus::Rect glass = squareAbout(cx, cy, kGlassRadius);
    g.FillPie(resources.Gradient(1, glass, LcdWithAlpha(snapshot().value, 50), LcdWithAlpha(snapshot().value, 200)), glass, 0.0f,
              360.0f);
    resources.brush.SetColor(LcdWithAlpha(snapshot().background, 255));
    g.FillEllipse(&resources.brush, squareAbout(cx, cy, kHubRadius));

    struct Ring {
        int half;
        float width;
        BYTE alpha;
        Gdiplus::DashStyle dash;
    };
    const Ring rings[] = { { kGlassRadius, 2.0f, 150, Gdiplus::DashStyleDash },
                           { kHubRadius, 2.0f, 200, Gdiplus::DashStyleSolid },
                           { 85, 5.0f, 255, Gdiplus::DashStyleSolid } };
    for (const Ring& ring : rings) {
        resources.pen.SetColor(LcdWithAlpha(snapshot().value, ring.alpha));
        resources.pen.SetWidth(ring.width);
        resources.pen.SetDashStyle(ring.dash);
        g.DrawEllipse(&resources.pen, squareAbout(cx, cy, ring.half));
    }
}

void LEDModeCtrl::gpuDialMoving(Gdiplus::Graphics& g, int width, int height, int item)
{
    useDialQuality(g, snapshot().hint);
    const HARDWARE_INFO& info = snapshot().values;
    const DeviceReading reading = readDevice(item - HardwareGpuTemperature, info.gpuTemperature, info.gpuClock,
                                             info.gpuLoad, TemperatureSign(), ClockDialAngle(info.gpuClock));
    // The needle stands on the centre pointing up (row 70 is absolute), turned so that 0 lies
    // along the gauge's start.
    const double theta = (reading.angle + 210.0f) * 3.1415926 / 180;
    const float c = static_cast<float>(std::cos(theta));
    const float s = static_cast<float>(std::sin(theta));
    const float fx = static_cast<float>(width / 2);
    const float fy = static_cast<float>(height / 2);
    Gdiplus::PointF needle[] = { { fx - 3, fy + 120 }, { fx + 3, fy + 120 }, { fx + 3, 70 }, { fx - 3, 70 } };
    for (Gdiplus::PointF& p : needle) {
        const float dx = p.X - fx;
        const float dy = p.Y - fy;
        p = Gdiplus::PointF(fx + dx * c - dy * s, fy + dx * s + dy * c);
    }
    Gdiplus::GraphicsPath& shape = m_screenResources->gauge;
    shape.Reset();
    shape.AddPolygon(needle, 4);
    showGauge(g, 1);
    if (reading.shown)
        drawDialTexts(g, width, height, reading.value, reading.unit, true);
}

} // namespace KOVA
