// The carousel item dials (memory, CPU, GPU) and the water-cooling screen, drawn onto a
// canvas through the layer cache: their texts against the same strings drawn in the same font
// and box, their gauges and dots read back as pixels.
#include <functional>
#include <string>

#include "GdiObjectCount.h"
#include "InkScan.h"
#include "LcdTestKit.h"
#include "ScratchStrip.h"
#include "framework/AppPaths.h"
#include "framework/Registry.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kBackground = 0x102040;
constexpr DWORD kValue = 0x20C040;
constexpr DWORD kAccent = 0xFF3020;
constexpr DWORD kTrack = 0x242527;
constexpr DWORD kFrameUnder = 0x000000;

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
        lcd.SetColor(Gdiplus::Color(backgroundAlpha | kBackground), Gdiplus::Color(label), Gdiplus::Color(0xFF000000 | kValue),
                     Gdiplus::Color(accentAlpha | kAccent));
    }
    DibCanvas& draw(DibCanvas& canvas, int screen, int item = 0, bool cached = true)
    {
        canvas.fill(0xFF000000 | kFrameUnder);
        lcd.drawScreen(canvas, screen, item, cached);
        return canvas;
    }

    LcdDialog dialog;
    ScreenLcd lcd { nullptr, 1, CRect(0, 0, 480, 480), 1, 1 };
};

} // namespace

// Each item's value and unit are the expected strings, in the dial's fonts and boxes: the
// screen drawn with a label colour that shows, and drawn with an invisible one and the
// expected strings added, are the same pixels. No memory figures read as 0 %, not NaN.
TEST_F(Dials, ValueOverUnitForEveryItem)
{
    struct Case { int screen, item; const wchar_t* unitSetting; HARDWARE_INFO info; const wchar_t *value, *unit; };
    const Case cases[] = {
        { ScreenLcd::MemoryDial, 10, L"0", sensors([](auto& i) { i.memoryUsed = 8; i.memoryFree = 8; }), L" 50%", L"%" },
        { ScreenLcd::MemoryDial, 10, L"0", sensors([](auto&) {}), L"  0%", L"%" },
        { ScreenLcd::MemoryDial, 7, L"0", sensors([](auto& i) { i.memoryUsed = 16; i.memoryFree = 16; }), L"32.00", L"GB" },
        { ScreenLcd::MemoryDial, 8, L"1", sensors([](auto& i) { i.memoryTemperature = 39.4f; }), L"39", L"\x2109" },
        { ScreenLcd::MemoryDial, 9, L"0", sensors([](auto& i) { i.memoryClock = 3200; }), L"3200", L"MHz" },
        { ScreenLcd::CpuDial, 1, L"0", sensors([](auto& i) { i.cpuTemperature = 45.6f; }), L"46", L"\x2103" },
        { ScreenLcd::CpuDial, 2, L"0", sensors([](auto& i) { i.cpuClock = 4321; }), L"4321", L"MHz" },
        { ScreenLcd::CpuDial, 3, L"1", sensors([](auto& i) { i.cpuLoad = 7; }), L"07", L"%" },
        { ScreenLcd::GpuDial, 4, L"1", sensors([](auto& i) { i.gpuTemperature = 61; }), L"61", L"\x2109" },
        { ScreenLcd::GpuDial, 5, L"0", sensors([](auto& i) { i.gpuClock = 1800; }), L"1800", L"MHz" },
        { ScreenLcd::GpuDial, 6, L"0", sensors([](auto& i) { i.gpuLoad = 99.6f; }), L"100", L"%" },
    };
    DibCanvas shown(480, 480), expected(480, 480);
    for (const Case& c : cases) {
        WriteRegString(L"led_cpushowtype", c.unitSetting);
        lcd.SetHardWareInfo(c.info);
        paint(0xFFFFFFFF);
        draw(shown, c.screen, c.item);
        paint(0x00FFFFFF);
        draw(expected, c.screen, c.item);
        const bool memory = c.screen == ScreenLcd::MemoryDial;
        lcd.drawText(expected, c.value, memory ? 50 : 60, Gdiplus::FontStyleBoldItalic, Gdiplus::RectF(10, 200, 460, 60),
                     Gdiplus::Color(0xFFFFFFFF));
        lcd.drawText(expected, c.unit, 20, Gdiplus::FontStyleRegular, Gdiplus::RectF(10, 260, 460, 30),
                     Gdiplus::Color(0xFFFFFFFF));
        if (memory)
            lcd.drawText(expected, L"ZEDIVER", 20, Gdiplus::FontStyleRegular, Gdiplus::RectF(10, 420, 460, 30),
                         Gdiplus::Color(0xFFFFFFFF));
        EXPECT_EQ(0, differingPixels(shown, expected)) << c.screen << " item " << c.item;
    }
}

// Where each gauge reaches: a pixel at radius and angle (GDI+ degrees) is, or is not, of a colour.
TEST_F(Dials, GaugesReachTheirAngles)
{
    struct Case { int screen, item; HARDWARE_INFO info; double angle, radius; DWORD colour; bool is; };
    const HARDWARE_INFO half = sensors([](auto& i) { i.memoryUsed = 8; i.memoryFree = 8; });
    const HARDWARE_INFO total32 = sensors([](auto& i) { i.memoryUsed = 16; i.memoryFree = 16; });
    const HARDWARE_INFO cpuFull = sensors([](auto& i) { i.cpuLoad = 100; i.cpuTemperature = 106; });
    const HARDWARE_INFO gpuIdle = sensors([](auto& i) { i.gpuLoad = 0; });
    const HARDWARE_INFO gpuFull = sensors([](auto& i) { i.gpuLoad = 100; });
    const Case cases[] = {
        // Memory load at 50 %: the accent from 120 to 270 degrees, the track after it.
        { 1, 10, half, 125, 160, kAccent, true }, { 1, 10, half, 200, 160, kAccent, true },
        { 1, 10, half, 266, 160, kAccent, true }, { 1, 10, half, 274, 160, kTrack, true },
        { 1, 10, half, 410, 160, kTrack, true }, { 1, 10, half, 90, 160, kBackground, true },
        // 32 GB: 58.59375 degrees of accent.
        { 1, 7, total32, 176, 160, kAccent, true }, { 1, 7, total32, 181, 160, kTrack, true },
        // Memory clock: no track at all.
        { 1, 9, total32, 200, 160, kBackground, true },
        // CPU load 100 %: the sector spans all 300 degrees, not the bottom gap.
        { 2, 3, cpuFull, 125, 160, kBackground, false }, { 2, 3, cpuFull, 270, 160, kBackground, false },
        { 2, 3, cpuFull, 415, 160, kBackground, false }, { 2, 3, cpuFull, 90, 160, kBackground, true },
        // CPU temperature 106: 150 degrees.
        { 2, 1, cpuFull, 265, 160, kBackground, false }, { 2, 1, cpuFull, 275, 160, kBackground, true },
        // GPU load 0 % points along 120 degrees, 100 % along 60.
        { 3, 6, gpuIdle, 120, 150, kAccent, true }, { 3, 6, gpuIdle, 60, 150, kAccent, false },
        { 3, 6, gpuFull, 60, 150, kAccent, true }, { 3, 6, gpuFull, 120, 150, kAccent, false },
    };
    DibCanvas canvas(480, 480);
    for (const Case& c : cases) {
        lcd.SetHardWareInfo(c.info);
        draw(canvas, c.screen, c.item);
        const POINT p = alongAngle(240, 240, c.angle, c.radius);
        EXPECT_EQ(c.is, nearColor(canvas.rgb(p.x, p.y), c.colour))
            << c.screen << " item " << c.item << " at " << c.angle << ": " << std::hex << canvas.rgb(p.x, p.y);
    }
}

// Entries 0 and 12 show the memory dial bare: no image, no text, no value arc.
TEST_F(Dials, EntriesOutsideTheListShowTheBareMemoryDial)
{
    lcd.SetHardWareInfo(sensors([](auto& i) { i.memoryUsed = 8; i.memoryFree = 8; }));
    DibCanvas zero(480, 480), twelve(480, 480);
    draw(zero, ScreenLcd::MemoryDial, 0);
    draw(twelve, ScreenLcd::MemoryDial, 12);
    EXPECT_EQ(0, differingPixels(zero, twelve));
    EXPECT_EQ(0, scanInk(zero, CRect(0, 0, 480, 480), kFrameUnder, kAccent).matching) << "a value arc";
    EXPECT_FALSE(scanInk(zero, CRect(160, 200, 320, 290), kBackground, 0, 0).any()) << "a value or unit";
    EXPECT_FALSE(scanInk(zero, CRect(180, 420, 300, 450), kBackground, 0, 0).any()) << "the brand";
    const POINT track = alongAngle(240, 240, 200, 160);
    const POINT ring = alongAngle(240, 240, 200, 100);
    EXPECT_TRUE(nearColor(zero.rgb(track.x, track.y), kTrack));
    EXPECT_TRUE(nearColor(zero.rgb(ring.x, ring.y), kValue, 40));
}

// The water screen reads no value: the same pixels whatever sensors, item, sign or language;
// "N/A" over the centre disc under the veil; the pointer at 215 degrees.
TEST_F(Dials, WaterCoolingReadsNothingAndPointsAt215Degrees)
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
    {
        Gdiplus::Graphics g(expected.dc());
        g.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        Gdiplus::SolidBrush veil(Gdiplus::Color(100, 0xFF, 0x30, 0x20));
        g.FillEllipse(&veil, 0, 0, 480, 480);
    }
    int differing = 0;
    for (int y = 150; y < 330; ++y)
        for (int x = 150; x < 330; ++x)
            differing += (x - 240) * (x - 240) + (y - 240) * (y - 240) < 90 * 90 && first.pixel(x, y) != expected.pixel(x, y);
    EXPECT_EQ(0, differing);

    const DWORD pointer = blended(kValue, kAccent, 100);
    for (const auto& [angle, onPointer] : { std::pair(125.0, true), std::pair(115.0, false), std::pair(135.0, false) }) {
        const POINT p = alongAngle(240, 240, angle, 200);
        EXPECT_EQ(onPointer, nearColor(first.rgb(p.x, p.y), pointer)) << angle;
    }
}

// 8 rings of 45 dots every 8 degrees from straight up, radii from W/2 - 9 down by 12, under the
// veil; between them the base disc. The veil is at alpha 100 whatever the accent's alpha; a
// clear background leaves the base disc out and the inner disc at alpha 200.
TEST_F(Dials, WaterCoolingDotRingsVeilAndClearBackground)
{
    for (const int width : { 480, 640 }) {
        DibCanvas canvas(width, 480);
        draw(canvas, ScreenLcd::WaterCooling);
        const int cx = width / 2;
        int dots = 0, gaps = 0, seen = 0;
        for (int ring = 0; ring < 8; ++ring) {
            const int radius = cx - 9 - ring * 12;
            for (int dot = 0; dot < 45; ++dot) {
                const double angle = dot * 8 - 90;
                const POINT on = alongAngle(cx, 240, angle, radius);
                const POINT off = alongAngle(cx, 240, angle + 4, radius);
                // Inside the veil, clear of its edge and of the pointer.
                const auto underVeil = [&](POINT p) {
                    const double ex = (p.x - cx) / (width / 2.0);
                    const double ey = (p.y - 240) / 240.0;
                    return ex * ex + ey * ey < 0.95;
                };
                if (!underVeil(on) || !underVeil(off) || (angle > 110 && angle < 140))
                    continue;
                ++seen;
                dots += nearColor(canvas.rgb(on.x, on.y), blended(kValue, kAccent, 100));
                gaps += nearColor(canvas.rgb(off.x, off.y), blended(kBackground, kAccent, 100));
            }
        }
        EXPECT_GT(seen, width == 480 ? 300 : 100);
        EXPECT_EQ(seen, dots) << width;
        EXPECT_EQ(seen, gaps) << width;
    }

    DibCanvas opaqueAccent(480, 480), clearAccent(480, 480);
    draw(opaqueAccent, ScreenLcd::WaterCooling);
    paint(0xFFFFFFFF, 0x00000000);
    draw(clearAccent, ScreenLcd::WaterCooling);
    EXPECT_EQ(0, differingPixels(opaqueAccent, clearAccent));

    paint(0xFFFFFFFF, 0xFF000000, 0x00000000);
    DibCanvas clear(480, 480);
    draw(clear, ScreenLcd::WaterCooling);
    const POINT base = alongAngle(240, 240, -86, 190);
    const POINT inner = alongAngle(240, 240, 30, 120);
    EXPECT_TRUE(nearColor(clear.rgb(base.x, base.y), blended(kFrameUnder, kAccent, 100)));
    EXPECT_TRUE(nearColor(clear.rgb(inner.x, inner.y), blended(blended(kFrameUnder, kBackground, 200), kAccent, 100)));
}

// The five screens drawn through their kept layers match the same frames drawn whole, pixel
// for pixel, across a script of changes to everything the still parts read; and thousands of
// frames of them leave no GDI object or heap block behind (2,000 here: a whole frame takes
// milliseconds under Wine, a leak of one object a frame shows as well).
class ScreenFrames : public Dials {
protected:
    struct Shown { int screen, item, width; };
    const Shown shown[10] = { { 1, 7, 480 }, { 1, 10, 480 }, { 1, 0, 480 }, { 2, 1, 480 }, { 2, 2, 480 },
                              { 3, 6, 480 }, { 3, 5, 480 }, { 30, 0, 480 }, { 30, 0, 640 }, { 40, 0, 640 } };
    DibCanvas square { 480, 480 };
    DibCanvas wide { 640, 480 };
    DibCanvas& canvasFor(const Shown& s) { return s.width == 480 ? square : wide; }
};

TEST_F(ScreenFrames, KeptLayersDrawWhatTheWholeRenderDraws)
{
    const ScratchStrip picture(GetSkinPath(), L"screens-picture.png", 64, 64, { 0xFF8040C0 });
    const ScratchStrip hand(GetSkinPath(), L"screens-hand.png", 8, 100, { 0xFFE0E020 });
    PinnedClock clock(5000);
    const int language = Manager::GetLanguage();
    struct Step { const char* change; std::function<void()> apply; };
    const Step script[] = {
        { "first frame", [] {} },
        { "values", [&] { lcd.SetHardWareInfo(HARDWARE_INFO { 55, 3100, 42, 0, 66, 1500, 71, 0, 0, 9, 2800, 44, 7 }); } },
        { "colours", [&] { paint(0xFFE0E0F0, 0x80000000, 0xC0000000); } },
        { "weather texts", [&] { lcd.SetWeatherValue(L"Here", L"31\x2103", L"60", L"45", L"80", L"40", L"x"); } },
        { "time", [] { TimeSource::Advance(61000); } },
        { "scale", [] { Manager::SetScaleValue(1.5f); } },
        { "font face", [&] { lcd.SetTextFont(L"DejaVu Serif"); } },
        { "font style", [&] { lcd.SetFontStyle(Gdiplus::FontStyleItalic); } },
        { "hint", [&] { lcd.SetTextRenderingHint(Gdiplus::TextRenderingHintAntiAlias); } },
        { "sign", [] { WriteRegString(L"led_cpushowtype", L"1"); } },
        { "language", [] { Manager::SetLanguage(2052); } },
        { "type", [&] { lcd.SetLEDScreenType(LEDScreenWide); } },
        { "values again", [&] { lcd.SetHardWareInfo(HARDWARE_INFO { 95, 5100, 92, 0, 26, 500, 11, 0, 0, 30, 3800, 54, 2 }); } },
        { "images", [&] {
              lcd.SetImage(L"screens-picture.png", 1);
              lcd.SetMemoryScaleImage(L"screens-picture.png", L"screens-picture.png");
              lcd.SetCPUScaleImage(L"screens-picture.png", L"screens-picture.png");
              lcd.SetGPUScaleImage(L"screens-picture.png", L"screens-picture.png");
              lcd.SetHMSImage(L"screens-hand.png", L"screens-hand.png", L"screens-hand.png");
          } },
        { "images gone", [&] {
              lcd.SetImage(L"none.png", 1);
              lcd.SetMemoryScaleImage(L"", L"");
              lcd.SetCPUScaleImage(L"", L"");
              lcd.SetGPUScaleImage(L"", L"");
              lcd.SetHMSImage(L"", L"", L"");
          } },
    };
    DibCanvas whole480(480, 480), whole640(640, 480);
    for (const Step& step : script) {
        step.apply();
        for (const Shown& s : shown) {
            DibCanvas& whole = s.width == 480 ? whole480 : whole640;
            draw(canvasFor(s), s.screen, s.item, true);
            draw(whole, s.screen, s.item, false);
            EXPECT_EQ(0, differingPixels(canvasFor(s), whole)) << step.change << ": screen " << s.screen << " item " << s.item;
        }
    }
    Manager::SetScaleValue(1.0f);
    Manager::SetLanguage(language);
}

TEST_F(ScreenFrames, ThousandsOfFramesLeaveGdiObjectsAndHeapFlat)
{
    PinnedClock clock(5000);
    int frame = 0;
    auto frames = [&](int count) {
        for (int i = 0; i < count; ++i, ++frame) {
            HARDWARE_INFO info {};
            info.cpuLoad = info.gpuLoad = static_cast<float>(frame % 101);
            info.memoryUsed = static_cast<float>(frame % 17);
            info.memoryFree = 4;
            lcd.SetHardWareInfo(info);
            TimeSource::Advance(1000);
            if (frame % 50 == 0)
                paint(0xFF000000 | static_cast<DWORD>(frame * 7919));
            const Shown& s = shown[frame % 10];
            draw(canvasFor(s), s.screen, s.item, frame % 7 != 0);
        }
    };
    frames(200); // what GDI and GDI+ make once
    const int gdiBefore = countGdiObjects();
    const long heapBefore = busyHeapBlocks();
    frames(2000);
    EXPECT_EQ(countGdiObjects(), gdiBefore);
    EXPECT_LE(busyHeapBlocks(), heapBefore + 64);
}
