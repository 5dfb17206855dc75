// The carousel item dials (memory, CPU, GPU) and the water-cooling screen, drawn onto a
// canvas through the layer cache: their texts against the same strings drawn in the same font
// and box, their gauges and dots read back as pixels.
#include <functional>
#include <memory>
#include <vector>

#include "LcdTestKit.h"
#include "ScratchStrip.h"
#include "framework/AppPaths.h"
#include "framework/Registry.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kBackground = 0x102040, kValue = 0x20C040, kAccent = 0xFF3020, kTrack = 0x242527;

HARDWARE_INFO sensors(std::function<void(HARDWARE_INFO&)> fill)
{
    HARDWARE_INFO info {};
    fill(info);
    return info;
}

// A renderer hosted by a hidden dialog (its paint manager resolves the fonts), in the screen
// colours above with a white label, and led_cpushowtype cleared.
class Dials : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog.open(CRect(0, 0, 480, 480), false);
        lcd.SetManager(dialog.GetPaintManager());
        paint(0xFFFFFFFF);
        WriteRegString(L"led_cpushowtype", L"0");
    }
    void TearDown() override
    {
        WriteRegString(L"led_cpushowtype", L"");
        dialog.DestroyWindow();
    }
    void paint(DWORD label, DWORD accentAlpha = 0xFF000000, DWORD backgroundAlpha = 0xFF000000)
    {
        lcd.SetColor(Gdiplus::Color(backgroundAlpha | kBackground), Gdiplus::Color(label),
                     Gdiplus::Color(0xFF000000 | kValue), Gdiplus::Color(accentAlpha | kAccent));
    }
    // On black, the frame under the screen.
    DibCanvas& draw(DibCanvas& canvas, int screen, int item = 0, bool cached = true)
    {
        canvas.fill(0xFF000000);
        lcd.drawScreen(canvas, screen, item, cached);
        return canvas;
    }
    void text(DibCanvas& canvas, const wchar_t* s, int size, int style, float y, float height)
    {
        lcd.drawText(canvas, s, size, style, Gdiplus::RectF(10, y, 460, height), Gdiplus::Color(0xFFFFFFFF));
    }

    LcdDialog dialog;
    ScreenLcd lcd { nullptr, 1, CRect(0, 0, 480, 480), 1, 1 };
};

} // namespace

// Each item's value and unit are the expected strings, in the dial's fonts and boxes: the
// screen drawn with a label colour that shows, and drawn with an invisible one and the
// expected strings added, are the same pixels. Where each gauge reaches: a pixel at radius and
// angle (GDI+ degrees) is, or is not, of a colour. No memory figures read as 0 %, not NaN;
// entries 0 and 12 show the memory dial bare: no text, no arc, the track and rings.
TEST_F(Dials, EachItemShowsItsValueUnitAndGauge)
{
    struct Probe { double angle, radius; DWORD colour; bool is; };
    struct Case { int screen, item; const wchar_t* sign; HARDWARE_INFO info; const wchar_t *value, *unit; std::vector<Probe> probes; };
    const HARDWARE_INFO half = sensors([](auto& i) { i.memoryUsed = 8; i.memoryFree = 8; });
    const Case cases[] = {
        // 50 %: the accent from 120 to 270 degrees, the track after it, not the gap.
        { ScreenLcd::MemoryDial, 10, L"0", half, L" 50%", L"%", { { 125, 160, kAccent, true }, { 266, 160, kAccent, true },
            { 274, 160, kTrack, true }, { 410, 160, kTrack, true }, { 90, 160, kBackground, true } } },
        { ScreenLcd::MemoryDial, 10, L"0", sensors([](auto&) {}), L"  0%", L"%", { { 125, 160, kTrack, true } } },
        // 32 GB: 58.59375 degrees of accent.
        { ScreenLcd::MemoryDial, 7, L"0", sensors([](auto& i) { i.memoryUsed = 16; i.memoryFree = 16; }), L"32.00", L"GB",
          { { 176, 160, kAccent, true }, { 181, 160, kTrack, true } } },
        { ScreenLcd::MemoryDial, 8, L"1", sensors([](auto& i) { i.memoryTemperature = 39.4f; }), L"39", L"\x2109", {} },
        { ScreenLcd::MemoryDial, 9, L"0", sensors([](auto& i) { i.memoryClock = 3200; }), L"3200", L"MHz",
          { { 200, 160, kBackground, true } } }, // no track at all
        { ScreenLcd::MemoryDial, 0, L"0", half, L"", L"", { { 125, 160, kTrack, true } } },
        { ScreenLcd::MemoryDial, 12, L"1", half, L"", L"", { { 200, 160, kTrack, true }, { 200, 100, kValue, true } } },
        // 105.6 degrees: a sector of 150 (the load sector and the GPU needle: the test below).
        { ScreenLcd::CpuDial, 1, L"0", sensors([](auto& i) { i.cpuTemperature = 105.6f; }), L"106", L"\x2103",
          { { 265, 160, kBackground, false }, { 275, 160, kBackground, true } } },
        { ScreenLcd::CpuDial, 2, L"0", sensors([](auto& i) { i.cpuClock = 4321; }), L"4321", L"MHz", {} },
        { ScreenLcd::CpuDial, 3, L"1", sensors([](auto& i) { i.cpuLoad = 7; }), L"07", L"%", {} },
        { ScreenLcd::GpuDial, 4, L"1", sensors([](auto& i) { i.gpuTemperature = 61; }), L"61", L"\x2109", {} },
        { ScreenLcd::GpuDial, 5, L"0", sensors([](auto& i) { i.gpuClock = 1800; }), L"1800", L"MHz", {} },
        { ScreenLcd::GpuDial, 6, L"0", sensors([](auto& i) { i.gpuLoad = 99.6f; }), L"100", L"%", {} },
    };
    DibCanvas shown(480, 480), expected(480, 480);
    for (const Case& c : cases) {
        WriteRegString(L"led_cpushowtype", c.sign);
        lcd.SetHardWareInfo(c.info);
        paint(0xFFFFFFFF);
        draw(shown, c.screen, c.item);
        for (const Probe& probe : c.probes) {
            const POINT p = alongAngle(240, 240, probe.angle, probe.radius);
            EXPECT_EQ(probe.is, nearColor(shown.rgb(p.x, p.y), probe.colour))
                << c.screen << " item " << c.item << " at " << probe.angle << ": " << std::hex << shown.rgb(p.x, p.y);
        }
        paint(0x00FFFFFF);
        draw(expected, c.screen, c.item);
        const bool memory = c.screen == ScreenLcd::MemoryDial;
        text(expected, c.value, memory ? 50 : 60, Gdiplus::FontStyleBoldItalic, 200, 60);
        text(expected, c.unit, 20, Gdiplus::FontStyleRegular, 260, 30);
        if (memory && *c.unit)
            text(expected, L"ZEDIVER", 20, Gdiplus::FontStyleRegular, 420, 30);
        EXPECT_EQ(0, differingPixels(shown, expected)) << c.screen << " item " << c.item;
    }
}

// The CPU sector and the GPU needle, shown through their shapes from a kept copy, are what
// drawing them in the screen's order with plain GDI+ calls gives (a gradient within a step):
// load 100 % spans all 300 degrees, the needle points along 120 degrees at 0 %, 60 at 100 %.
TEST_F(Dials, GaugesMatchDrawingThemInOrder)
{
    const auto reference = [](DibCanvas& canvas, DWORD backgroundAlpha, bool cpu, float angle) {
        canvas.fill(0xFF000000);
        Gdiplus::Graphics g(canvas.dc());
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        Gdiplus::SolidBrush brush(Gdiplus::Color(100, 0x10, 0x20, 0x40));
        Gdiplus::Pen pen(Gdiplus::Color(150, 0x20, 0xC0, 0x40), 2);
        const auto square = [](int half) { return Gdiplus::Rect(240 - half, 240 - half, 2 * half, 2 * half); };
        const auto disc = [&](DWORD argb, int half) { brush.SetColor(Gdiplus::Color(argb)); g.FillEllipse(&brush, square(half)); };
        const auto ring = [&](DWORD argb, int half, Gdiplus::DashStyle dash = Gdiplus::DashStyleSolid, float width = 2) {
            pen.SetColor(Gdiplus::Color(argb));
            pen.SetDashStyle(dash);
            pen.SetWidth(width);
            g.DrawEllipse(&pen, square(half));
        };
        const auto gradient = [&](DWORD rgb, int half, float sweep) {
            Gdiplus::LinearGradientBrush fill(square(half), Gdiplus::Color(0x32000000 | rgb), Gdiplus::Color(0xC8000000 | rgb),
                                              Gdiplus::LinearGradientModeForwardDiagonal);
            g.FillPie(&fill, square(half), cpu ? 120.0f : 0.0f, sweep);
        };
        disc(0x64000000 | kBackground, 240), disc(0xFF000000 | kValue, 230), disc(backgroundAlpha | kBackground, 225);
        if (cpu) {
            ring(0x96000000 | kValue, 130), ring(0xFF000000 | kValue, 100), gradient(kAccent, 225, angle);
            return disc(backgroundAlpha | kBackground, 100);
        }
        // The needle, upright from 120 below the centre to 170 above it, turned to point along 120 + angle.
        brush.SetColor(Gdiplus::Color(0xFF000000 | kAccent));
        g.TranslateTransform(240, 240), g.RotateTransform(angle + 210), g.FillRectangle(&brush, -3, -170, 6, 290);
        g.ResetTransform();
        gradient(kValue, 130, 360.0f), disc(0xFF000000 | kBackground, 100);
        ring(0x96000000 | kValue, 130, Gdiplus::DashStyleDash), ring(0xC8000000 | kValue, 100);
        ring(0xFF000000 | kValue, 85, Gdiplus::DashStyleSolid, 5);
    };
    struct Case { bool cpu; float load; DWORD backgroundAlpha; };
    const Case cases[] = { { true, 0, 0xFF000000 }, { true, 37.3f, 0xFF000000 }, { true, 100, 0xFF000000 },
                           { true, 118, 0x80000000 }, { true, -7, 0x80000000 }, { false, 0, 0xFF000000 },
                           { false, 41.7f, 0xFF000000 }, { false, 100, 0x80000000 }, { false, 150, 0xFF000000 } };
    DibCanvas shown(480, 480), expected(480, 480);
    for (const Case& c : cases) {
        paint(0x00FFFFFF, 0xFF000000, c.backgroundAlpha);
        lcd.SetHardWareInfo(sensors([&](auto& i) { i.cpuLoad = c.load; i.gpuLoad = c.load; }));
        draw(shown, c.cpu ? ScreenLcd::CpuDial : ScreenLcd::GpuDial, c.cpu ? 3 : 6);
        reference(expected, c.backgroundAlpha, c.cpu, c.load * 3);
        int apart = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 480; ++x)
                apart += !nearColor(shown.rgb(x, y), expected.rgb(x, y), 1);
        EXPECT_EQ(0, apart) << (c.cpu ? "CPU " : "GPU ") << c.load;
    }
}

// The water screen reads no value: the same pixels whatever sensors, item, sign or language;
// "N/A" over the centre disc under the veil; the pointer at 215 degrees; its dot rings, veil
// and clear background.
TEST_F(Dials, WaterCoolingReadsNothingAndShowsItsRingsUnderTheVeil)
{
    DibCanvas first(480, 480), later(480, 480), expected(480, 480);
    draw(first, ScreenLcd::WaterCooling);
    lcd.SetHardWareInfo(sensors([](auto& i) { i.cpuTemperature = 80, i.memoryUsed = 3, i.gpuLoad = 50; }));
    lcd.SetHardWareType(HardwareWaterTemperature);
    WriteRegString(L"led_cpushowtype", L"1");
    const int language = Manager::GetLanguage();
    Manager::SetLanguage(2052);
    draw(later, ScreenLcd::WaterCooling, 0, false);
    Manager::SetLanguage(language);
    EXPECT_EQ(0, differingPixels(first, later));

    // The centre disc and the pointer are the value colour: the text lies on it alone.
    expected.fill(0xFF000000 | kValue);
    lcd.drawText(expected, L"N/A", 50, Gdiplus::FontStyleBoldItalic, Gdiplus::RectF(15, 210, 450, 60),
                 Gdiplus::Color(0xFFFFFFFF), Gdiplus::SmoothingModeHighQuality);
    Gdiplus::Graphics veil(expected.dc());
    veil.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    veil.FillEllipse(std::make_unique<Gdiplus::SolidBrush>(Gdiplus::Color(100, 0xFF, 0x30, 0x20)).get(), 0, 0, 480, 480);
    veil.Flush(Gdiplus::FlushIntentionSync);
    int differing = 0;
    for (int y = 150; y < 330; ++y)
        for (int x = 150; x < 330; ++x)
            differing += (x - 240) * (x - 240) + (y - 240) * (y - 240) < 90 * 90 && first.pixel(x, y) != expected.pixel(x, y);
    EXPECT_EQ(0, differing);
    for (const auto& [angle, onPointer] : { std::pair(125.0, true), std::pair(115.0, false), std::pair(135.0, false) }) {
        const POINT p = alongAngle(240, 240, angle, 200);
        EXPECT_EQ(onPointer, nearColor(first.rgb(p.x, p.y), blended(kValue, kAccent, 100))) << angle;
    }

    // 8 rings of 45 dots every 8 degrees from straight up, radii from W/2 - 9 down by 12, under
    // the veil; between them the base disc.
    for (const int width : { 480, 640 }) {
        DibCanvas canvas(width, 480);
        draw(canvas, ScreenLcd::WaterCooling);
        const int cx = width / 2;
        // Inside the veil, clear of its edge.
        const auto underVeil = [&](POINT p) {
            const double ex = (p.x - cx) / (width / 2.0), ey = (p.y - 240) / 240.0;
            return ex * ex + ey * ey < 0.95;
        };
        int dots = 0, gaps = 0, seen = 0;
        for (int ring = 0; ring < 8; ++ring)
            for (int dot = 0; dot < 45; ++dot) {
                const double angle = dot * 8 - 90;
                const POINT on = alongAngle(cx, 240, angle, cx - 9 - ring * 12);
                const POINT off = alongAngle(cx, 240, angle + 4, cx - 9 - ring * 12);
                if (!underVeil(on) || !underVeil(off) || (angle > 110 && angle < 140)) // the pointer
                    continue;
                ++seen;
                dots += nearColor(canvas.rgb(on.x, on.y), blended(kValue, kAccent, 100));
                gaps += nearColor(canvas.rgb(off.x, off.y), blended(kBackground, kAccent, 100));
            }
        EXPECT_GT(seen, width == 480 ? 300 : 100);
        EXPECT_EQ(seen, dots) << width;
        EXPECT_EQ(seen, gaps) << width;
    }
    // The veil is at alpha 100 whatever the accent's alpha; a clear background leaves the base
    // disc out and the inner disc at alpha 200.
    paint(0xFFFFFFFF, 0x00000000);
    EXPECT_EQ(0, differingPixels(first, draw(later, ScreenLcd::WaterCooling)));
    paint(0xFFFFFFFF, 0xFF000000, 0x00000000);
    const DibCanvas& clear = draw(later, ScreenLcd::WaterCooling);
    const POINT base = alongAngle(240, 240, -86, 190), inner = alongAngle(240, 240, 30, 120);
    EXPECT_TRUE(nearColor(clear.rgb(base.x, base.y), blended(0, kAccent, 100)));
    EXPECT_TRUE(nearColor(clear.rgb(inner.x, inner.y), blended(blended(0, kBackground, 200), kAccent, 100)));
}

// A carousel keeps the layers of its CPU items side by side: after item 2 (the second scale
// image) has drawn, item 1 from its kept layer shows its own dial through the sector, as a
// frame drawn whole does.
TEST_F(Dials, KeptLayersOfTwoCpuItemsEachShowTheirOwnDialUnderTheSector)
{
    const ScratchStrip first(GetSkinPath(), L"lcd-dials-first.png", 16, 16, { 0xFF0000FF });
    const ScratchStrip second(GetSkinPath(), L"lcd-dials-second.png", 16, 16, { 0xFFFFFF00 });
    ASSERT_TRUE(first.written() && second.written());
    lcd.SetCPUScaleImage(L"lcd-dials-first.png", L"lcd-dials-second.png");
    lcd.SetHardWareInfo(sensors([](auto& i) { i.cpuTemperature = 60; i.cpuClock = 3000; }));
    DibCanvas kept(480, 480), whole(480, 480);
    for (int item : { 1, 2, 1 })
        draw(kept, ScreenLcd::CpuDial, item);
    draw(whole, ScreenLcd::CpuDial, 1, false);
    int apart = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 480; ++x)
            apart += kept.rgb(x, y) != whole.rgb(x, y);
    EXPECT_EQ(0, apart);
    lcd.SetCPUScaleImage(L"", L""); // lets the files go
}
