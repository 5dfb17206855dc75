// The system-information layouts 11 to 16 and 21 to 26: what each draws, read back from a DIB
// the layout drew on (texts against the same string drawn alone in the same font, format and
// rectangle), and the published frames of the pipeline.
#include <functional>

#include "LcdTestKit.h"
#include "ScratchStrip.h"
#include "framework/AppPaths.h"
#include "framework/Registry.h"
#include "lcd/renderer/LcdFramePipeline.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kUnder = 0xFF00FF00; // what lies under a layout before it draws
const Gdiplus::Color kBackground(0xFF203040), kLabel(0xFFFFFFFF), kValue(0xFF00C0C0), kAccent(0xFFFF2000);
const auto bi = Gdiplus::FontStyleBoldItalic, b = Gdiplus::FontStyleBold, r = Gdiplus::FontStyleRegular;

HARDWARE_INFO sensors(float memoryUsed = 16, float memoryFree = 16, float cpuTemperature = 45)
{
    HARDWARE_INFO info;
    info.cpuTemperature = cpuTemperature, info.cpuClock = 4500, info.cpuLoad = 45;
    info.gpuTemperature = 61, info.gpuClock = 1800, info.gpuLoad = 64;
    info.memoryLoad = 88, info.memoryClock = 3200, info.memoryTemperature = 39;
    info.memoryUsed = memoryUsed, info.memoryFree = memoryFree;
    return info;
}

// A renderer whose system-information dispatch a test calls directly, onto a canvas.
class LayoutLcd : public OpenLcd {
public:
    using OpenLcd::OpenLcd;

    void draw(int layout, DibCanvas& canvas, int item, const std::function<void(Gdiplus::Graphics&)>& after = {})
    {
        SetSensorType(layout);
        SetHardWareType(item);
        ScopedLock lock(m_stateLock);
        Gdiplus::Graphics g(canvas.dc());
        int width = canvas.width(), height = canvas.height();
        DrawSystemInfoMode(g, width, height);
        if (after)
            after(g);
    }
};

// One text a layout draws, and how.
struct Text {
    int layout, item;
    const wchar_t* text;
    Gdiplus::RectF rect;
    float size;
    Gdiplus::FontStyle style;
    Gdiplus::Color ink;
    CRect window {}; // where the pixels are compared; the rectangle's own when empty
    const wchar_t* showType { L"0" };
    HARDWARE_INFO values { sensors() };
    const wchar_t* face { L"" };
    float scale { 1 };
    Gdiplus::Color under { kBackground };
    int width { 480 }; // of the frame
};

class Layouts : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteRegString(L"led_cpushowtype", L"0");
        dialog.open(CRect(0, 0, 640, 480), false);
        lcd = std::make_unique<LayoutLcd>(&dialog, 7, CRect(0, 0, 480, 480), 1, 1);
        lcd->SetManager(dialog.GetPaintManager());
        lcd->SetLEDScreenType(LEDScreenSquare);
        lcd->SetColor(kBackground, kLabel, kValue, kAccent);
    }
    void TearDown() override
    {
        lcd.reset();
        dialog.DestroyWindow();
        WriteRegString(L"led_cpushowtype", L"");
        Manager::SetScaleValue(1.0f);
    }

    // Pixels of the text's window where canvas differs (beyond 2 a channel) from the text drawn
    // alone in the layouts' way over a plain colour; -1 when the text leaves no ink there.
    int textMisses(const DibCanvas& canvas, const Text& t)
    {
        DibCanvas alone(canvas.width(), canvas.height());
        {
            Gdiplus::Graphics g(alone.dc());
            // 13 and 23 draw with the quality the frame carries: here GDI+'s defaults.
            if (t.layout % 10 != 3) {
                g.SetTextRenderingHint(lcd->GetTextRenderingHint());
                g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
            }
            Gdiplus::SolidBrush plain(t.under), brush(t.ink);
            g.FillRectangle(&plain, 0, 0, canvas.width(), canvas.height());
            Gdiplus::StringFormat format(Gdiplus::StringFormatFlagsNoWrap |
                                         Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
            format.SetAlignment(Gdiplus::StringAlignmentCenter);
            format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
            const Gdiplus::Font font(dialog.GetPaintManager()->FindTempFontOrFallback(t.face), t.size, t.style,
                                     Gdiplus::UnitPixel);
            g.DrawString(t.text, -1, &font, t.rect, &format, &brush);
        }
        CRect window = !t.window.IsRectEmpty() ? t.window
            : CRect(int(t.rect.X), int(t.rect.Y), int(t.rect.X + t.rect.Width), int(t.rect.Y + t.rect.Height));
        window &= CRect(0, 0, canvas.width(), canvas.height());
        int misses = 0, inked = 0;
        for (int y = window.top; y < window.bottom; ++y)
            for (int x = window.left; x < window.right; ++x) {
                inked += !nearColor(alone.rgb(x, y), t.under.GetValue() & 0xFFFFFF, 2);
                misses += !nearColor(canvas.rgb(x, y), alone.rgb(x, y), 2);
            }
        return inked > 10 ? misses : -1;
    }

    PinnedClock clock { 200000 };
    LcdDialog dialog;
    std::unique_ptr<LayoutLcd> lcd;
};

} // namespace

// Each text in its font, colour and rectangle. Panels: the item picks the device (any number
// but 1 to 6 the memory), the sign follows led_cpushowtype, "Centigrade" stays. Gauges: the
// value and unit of the item in one table for 12/22, 13/23, 14/24, the captions under them,
// no "nan" without memory figures. Scale 1.5 grows 11's fonts, not its rectangles.
TEST_F(Layouts, TextsShowTheItemInTheirFontColourAndRectangle)
{
    const Gdiplus::Color dark(0xFF050505);
    const Gdiplus::RectF label(140, 50, 200, 60), big(140, 120, 200, 120), load(140, 251, 200, 40);
    const Gdiplus::RectF clock(140, 340, 200, 40), clock25(360, 310, 160, 60), clock26(340, 300, 200, 50);
    const Gdiplus::RectF value12(5, 200, 460, 60), unit12(5, 260, 460, 30);
    const Gdiplus::RectF value(10, 200, 460, 60), unit(10, 260, 460, 30), bottom(10, 420, 460, 30);
    // Inside the dials' hub, clear of their rings (12's innermost is 85 from the centre).
    const CRect clear25(360, 318, 520, 352); // above its clock caption
    const CRect hubValue(185, 205, 295, 255), hubUnit(200, 262, 280, 288), hubBottom(170, 422, 310, 448);
    const HARDWARE_INFO none = sensors(0, 0);
    const Text cases[] = {
        { 21, 1, L"CPU", label, 30, r, kLabel }, { 21, 5, L"GPU", label, 30, r, kLabel },
        { 21, 0, L"Memory", label, 30, r, kLabel }, { 11, 10, L"Memory", label, 30, r, kLabel },
        { 21, 1, L"45\x2103", big, 60, b, kValue }, { 21, 6, L"61\x2103", big, 60, b, kValue },
        { 21, 2, L"45%", load, 30, r, kValue }, { 21, 42, L"88%", load, 30, r, kValue },
        { 21, 1, L"4500MHz", clock, 30, r, kValue }, { 21, 11, L"3200MHz", clock, 30, r, kValue },
        { 21, 2, L"Usage", { 140, 305, 200, 20 }, 20, r, kLabel },
        { 21, 7, L" 39\x2109", big, 60, b, kValue, {}, L"1" },
        { 11, 9, L"Clock", { 140, 390, 200, 20 }, 20, r, kLabel },
        { 26, 4, L"GPU", label, 30, r, kValue }, { 26, 4, L"61\x2103", { 140, 140, 200, 120 }, 60, bi, kLabel },
        { 16, 1, L"45\x2109", big, 60, bi, dark, { 150, 125, 330, 235 }, L"1", sensors(), L"", 1, kValue },
        { 25, 1, L"Centigrade", { 280, 130, 100, 30 }, 15, r, kLabel, { 290, 140, 375, 160 }, L"1" },
        { 15, 1, L"Centigrade", { 190, 150, 100, 30 }, 15, r, kLabel, { 205, 160, 275, 180 }, L"1" },
        { 15, 3, L"45.0%", { 60, 310, 160, 50 }, 30, r, kValue, { 100, 320, 180, 350 } },
        { 15, 3, L"4.5GHz", { 260, 310, 160, 50 }, 30, r, kValue, { 300, 320, 380, 350 } },
        // Laid out for 640 pixels, 25 and 26 cut their clock at a narrower frame's edge.
        { 25, 2, L"4500MHz", clock25, 30, r, kValue, clear25, L"0", sensors(), L"", 1, kBackground, 480 },
        { 25, 2, L"4500MHz", clock25, 30, r, kValue, clear25, L"0", sensors(), L"", 1, kBackground, 640 },
        { 26, 2, L"4500MHz", clock26, 30, r, kValue, {}, L"0", sensors(), L"", 1, kBackground, 480 },
        { 11, 1, L"45\x2103", big, 90, bi, kValue, {}, L"0", sensors(), L"", 1.5f },
        { 11, 1, L"CPU", label, 45, r, kLabel, {}, L"0", sensors(), L"", 1.5f },
        { 11, 1, L"Usage", { 140, 305, 200, 20 }, 30, r, kLabel, {}, L"0", sensors(), L"", 1.5f },
        { 22, 7, L"25.00", value, 60, bi, kValue }, { 22, 7, L"%", unit, 20, r, kLabel },
        { 12, 7, L"25.00", value12, 60, bi, kLabel, hubValue }, { 12, 7, L"%", unit12, 20, r, kLabel, hubUnit },
        { 23, 7, L"32.00", value, 50, bi, kValue }, { 23, 7, L"GB", unit, 20, r, kLabel },
        { 23, 2, L"ZEDIVER", bottom, 20, r, kLabel },
        { 13, 7, L"32.00", value, 50, bi, kLabel, hubValue },
        { 13, 9, L"3200", value, 50, bi, kLabel, hubValue }, { 13, 9, L"MHz", unit, 20, r, kLabel, hubUnit },
        { 13, 9, L"ZEDIVER", bottom, 20, r, kLabel, hubBottom },
        { 24, 1, L"45", value, 60, bi, kValue }, { 24, 4, L"\x2103", unit, 20, r, kLabel },
        { 24, 5, L"1800", value, 60, bi, kValue },
        { 24, 8, L"BRAVIK", { 10, 420, 460, 40 }, 30, r, kLabel, {}, L"0", sensors(), L"BRAVIK 1.2" },
        { 14, 10, L"50", value12, 60, bi, kLabel, hubValue, L"0", sensors(8, 8) },
        // No memory figures: a percentage of 0, not NaN.
        { 22, 10, L"00", value, 60, bi, kValue, {}, L"0", none },
        { 23, 10, L"  0%", value, 50, bi, kValue, {}, L"0", none },
        { 12, 10, L"00", value12, 60, bi, kLabel, hubValue, L"0", none },
        { 13, 10, L"  0%", value, 50, bi, kLabel, hubValue, L"0", none },
        { 22, 7, L"0.00", value, 60, bi, kValue, {}, L"0", none },
    };
    for (const Text& c : cases) {
        WriteRegString(L"led_cpushowtype", c.showType);
        Manager::SetScaleValue(c.scale);
        lcd->SetHardWareInfo(c.values);
        DibCanvas canvas(c.width, 480, kUnder);
        lcd->draw(c.layout, canvas, c.item);
        EXPECT_EQ(textMisses(canvas, c), 0) << "row " << &c - cases << ", layout " << c.layout;
    }
}

// The dial marks read back where their angle puts them (from 120° clockwise, 300° full scale):
// the needle of 12, the arc and track of 13, the pie of 14, and 12's two GPU scale images.
TEST_F(Layouts, DialMarksStandAtTheAngleOfTheirValue)
{
    const ScratchStrip first(GetSkinPath(), L"lcd-layouts-first.png", 16, 16, { 0xFF0000FF });
    const ScratchStrip second(GetSkinPath(), L"lcd-layouts-second.png", 16, 16, { 0xFFFFFF00 });
    ASSERT_TRUE(first.written() && second.written());
    lcd->SetGPUScaleImage(L"lcd-layouts-first.png", L"lcd-layouts-second.png");
    const DWORD track = 0x242527, accent = 0xFF2000, ground = 0x203040;
    const HARDWARE_INFO hot = sensors(8, 8, 106), boiling = sensors(16, 16, 212);
    auto at = [](double radius, double degrees) { return alongAngle(240, 240, degrees, radius); };
    const struct { int layout, item; HARDWARE_INFO values; POINT point; bool shows; DWORD colour; } cases[] = {
        // 12, item 10 at 50 %: 150 + 210 = 360°, straight up; items 8, 9, 11 at full scale, 510°.
        { 12, 10, sensors(8, 8), { 240, 90 }, true, accent }, { 12, 10, sensors(8, 8), at(150, 60), false, accent },
        { 12, 8, sensors(8, 8), at(150, 60), true, accent }, { 12, 11, sensors(8, 8), { 240, 90 }, false, accent },
        // The first GPU scale image for items 1, 3, 4, 6, 10, the second for the rest.
        { 12, 10, sensors(), { 240, 40 }, true, 0x0000FF }, { 12, 8, sensors(), { 240, 40 }, true, 0xFFFF00 },
        { 12, 2, sensors(), { 240, 40 }, true, 0xFFFF00 },
        // 13, item 10 at 50 %: the arc ends at 270°; item 7 with 16 + 16 GB at 178.6°.
        { 13, 10, sensors(8, 8), at(160, 260), true, accent }, { 13, 10, sensors(8, 8), at(160, 280), true, track },
        { 13, 7, sensors(16, 16), at(160, 170), true, accent }, { 13, 7, sensors(16, 16), at(160, 190), true, track },
        // Item 9: neither track nor arc; item 1: the track alone.
        { 13, 9, sensors(), at(160, 270), false, track }, { 13, 1, sensors(), at(160, 270), true, track },
        { 13, 1, sensors(), at(160, 130), true, track },
        // 14: the pie reaches 270° for 106 and 60° (full scale) for 212 on the temperature item.
        { 14, 1, hot, at(180, 260), false, ground }, { 14, 1, hot, at(180, 280), true, ground },
        { 14, 1, boiling, at(180, 50), false, ground }, { 14, 1, boiling, at(180, 70), true, ground },
    };
    for (const auto& c : cases) {
        lcd->SetHardWareInfo(c.values);
        DibCanvas canvas(480, 480, kUnder);
        lcd->draw(c.layout, canvas, c.item);
        EXPECT_EQ(nearColor(canvas.rgb(c.point.x, c.point.y), c.colour, 4), c.shows) << "row " << &c - cases;
    }
    lcd->SetGPUScaleImage(L"", L""); // lets the files go
}

// 11 to 15 fill the inscribed ellipse on the round screen (its corners keep what lay there) and
// the rectangle elsewhere; 21 to 26 always the rectangle; 16 always only the ellipse, and its
// clip stays on the frame's graphics. A background of alpha 0 is still drawn opaque.
TEST_F(Layouts, BackgroundsFollowTheScreenShapeAndAreOpaque)
{
    lcd->SetColor(Gdiplus::Color(0, 0x20, 0x30, 0x40), kLabel, kValue, kAccent);
    for (int layout : { 11, 12, 13, 14, 15, 16, 21, 22, 23, 24, 25, 26 })
        for (int type : { LEDScreenCircle, LEDScreenSquare }) {
            lcd->SetLEDScreenType(type);
            DibCanvas canvas(480, 480, kUnder);
            lcd->draw(layout, canvas, HardwareCpuLoad, [](Gdiplus::Graphics& g) {
                Gdiplus::SolidBrush red(Gdiplus::Color(0xFFFF0000));
                g.FillRectangle(&red, 0, 0, 4, 4);
            });
            const bool ellipse = layout == 16 || (layout < 16 && type == LEDScreenCircle);
            EXPECT_EQ(canvas.rgb(6, 6), ellipse ? (kUnder & 0xFFFFFF) : 0x203040u) << layout << " on " << type;
            EXPECT_EQ(canvas.rgb(1, 1), layout == 16 ? (kUnder & 0xFFFFFF) : 0xFF0000u) << layout << " on " << type;
        }
    // In 12 and 14 the inner fill over the value-colour ring is not made opaque: the ring shows
    // as a full disc.
    for (const auto& [layout, item, colour] : { std::tuple(12, 8, 0x00C0C0u), std::tuple(14, 7, 0x00C0C0u),
                                                std::tuple(13, 7, 0x203040u) }) {
        DibCanvas canvas(480, 480, kUnder);
        lcd->draw(layout, canvas, item);
        EXPECT_TRUE(nearColor(canvas.rgb(240, 60), colour, 2)) << layout;
    }
}

// Items a single-value layout does not handle leave the background and the first frame of the
// control image in the bottom-right corner, nothing else.
TEST_F(Layouts, UnhandledItemsLeaveTheBackgroundAndTheCornerImage)
{
    const ScratchStrip strip(GetSkinPath(), L"lcd-layouts-strip.png", 40, 30, { 0xFFE0A000, 0xFF00A0E0, 0xFF8000FF });
    ASSERT_TRUE(strip.written());
    ASSERT_EQ(lcd->SetImage(L"lcd-layouts-strip.png", 3), 1);
    const struct { int layout; std::vector<int> items; } cases[] = {
        { 22, { 8, 9, 11, 0 } }, { 23, { 1, 3, 4, 6, 11 } }, { 24, { 7, 9, 11, 12 } },
    };
    for (const auto& c : cases)
        for (int item : c.items) {
            // The background is the canvas's own colour: past the corner image, nothing changes.
            DibCanvas canvas(480, 480, kBackground.GetValue());
            lcd->draw(c.layout, canvas, item);
            // The first frame at its own size: its colour up to its corners, the other frames' nowhere.
            expectPixels(canvas, { { 440, 450, 0xE0A000 }, { 479, 479, 0xE0A000 }, { 460, 465, 0xE0A000 },
                                   { 439, 465, 0x203040 }, { 460, 449, 0x203040 } }, 2);
            Gdiplus::SolidBrush ground(kBackground);
            Gdiplus::Graphics(canvas.dc()).FillRectangle(&ground, 440, 450, 40, 30);
            EXPECT_TRUE(canvas.untouchedSinceFill()) << c.layout << " item " << item;
        }
    lcd->SetImage(L"lcd-layouts-none.png", 3); // lets the file go
}

// Through the frame render: layout 16's clip holds the frame's dimming too (at brightness 0 no
// pixel of the window around the ellipse darkens), where 15's dimming reaches a pixel past it;
// and the hidden road draws 13 and 23, which set no quality of their own, as the visible one.
TEST_F(Layouts, RendersClipLayout16sDimmingAndDrawAlikeOnBothRoads)
{
    LayoutLcd* shown = dialog.addRenderer<LayoutLcd>(CRect(0, 0, 480, 480));
    shown->SetLEDMode(LEDModeSystemInfo);
    shown->SetHardWareInfo(sensors());
    shown->SetColor(kBackground, kLabel, kValue, kAccent);
    const DWORD kWindow = 0x12EF34;
    auto frame = [&](DibCanvas& window, int brightness) {
        window.fill(0xFF000000 | kWindow);
        shown->SetBrightness(brightness);
        shown->SetUpdate(0, 0);
        shown->DrawControl(window.dc(), CRect(0, 0, 480, 480));
    };
    for (int layout : { 16, 15 }) {
        shown->SetSensorType(layout);
        DibCanvas bright(480, 480), dark(480, 480);
        frame(bright, 100);
        frame(dark, 0);
        // Where the frame leaves the window showing, the dimming must leave it too.
        int dimmedOutside = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 480; ++x)
                dimmedOutside += bright.rgb(x, y) == kWindow && dark.rgb(x, y) != kWindow;
        EXPECT_EQ(dimmedOutside == 0, layout == 16) << layout << ": " << dimmedOutside;
    }
    // The same on any shape, the rectangle clipped to its ellipse.
    LcdFramePipeline road(kLargestCapacity);
    ASSERT_TRUE(road.Prepare(nullptr, 100, 80));
    const RECT whole { 0, 0, 100, 80 };
    FillRect(road.dc(), &whole, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    road.Dim(false, 255, true);
    int grey = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 100; ++x)
            grey += GetPixel(road.dc(), x, y) != RGB(0, 0, 0) && GetPixel(road.dc(), x, y) != RGB(255, 255, 255);
    EXPECT_EQ(std::tuple(GetPixel(road.dc(), 1, 1), GetPixel(road.dc(), 50, 40), grey),
              std::tuple(RGB(255, 255, 255), 0u, 0));

    shown->SetLEDScreenType(LEDScreenSquare);
    for (int layout : { 13, 23 }) {
        shown->SetSensorType(layout);
        shown->SetHardWareType(HardwareMemoryLoad);
        DibCanvas window(480, 480);
        frame(window, 100);
        const std::vector<BYTE> visible = pullFrame(*shown);
        shown->DrawHideControl();
        EXPECT_TRUE(!visible.empty() && visible == pullFrame(*shown)) << layout;
    }
}
