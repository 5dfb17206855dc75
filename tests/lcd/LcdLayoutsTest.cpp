// The system-information layouts 11 to 16 and 21 to 26: what each draws, read back from a DIB
// the layout drew on (texts against the same string drawn alone in the same font, format and
// rectangle), and the published frames of the pipeline.
#include <cmath>
#include <functional>
#include <map>

#include "LcdTestKit.h"
#include "ScratchStrip.h"
#include "framework/AppPaths.h"
#include "framework/Registry.h"
#include "lcd/LcdFrameRoad.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kUnder = 0xFF00FF00;        // what lies under a layout before it draws
const Gdiplus::Color kBackground(0xFF203040);
const Gdiplus::Color kLabel(0xFFFFFFFF);
const Gdiplus::Color kValue(0xFF00C0C0);
const Gdiplus::Color kAccent(0xFFFF2000);

HARDWARE_INFO sensors(float memoryUsed = 16, float memoryFree = 16)
{
    HARDWARE_INFO info;
    info.cpuTemperature = 45;
    info.cpuClock = 4500;
    info.cpuLoad = 45;
    info.gpuTemperature = 61;
    info.gpuClock = 1800;
    info.gpuLoad = 64;
    info.memoryLoad = 88;
    info.memoryUsed = memoryUsed;
    info.memoryClock = 3200;
    info.memoryTemperature = 39;
    info.memoryFree = memoryFree;
    return info;
}

// A renderer whose layouts a test calls directly, onto a canvas, as the dispatch would.
class LayoutLcd : public OpenLcd {
public:
    using OpenLcd::OpenLcd;
    using Layout = void (LEDModeCtrl::*)(Gdiplus::Graphics&, int&, int&, int);

    void draw(int layout, DibCanvas& canvas, int item, const std::function<void(Gdiplus::Graphics&)>& after = {})
    {
        static const std::map<int, Layout> kLayouts = {
            { 11, &LayoutLcd::DrawSystemInfoMode11 }, { 12, &LayoutLcd::DrawSystemInfoMode12 },
            { 13, &LayoutLcd::DrawSystemInfoMode13 }, { 14, &LayoutLcd::DrawSystemInfoMode14 },
            { 15, &LayoutLcd::DrawSystemInfoMode15 }, { 16, &LayoutLcd::DrawSystemInfoMode16 },
            { 21, &LayoutLcd::DrawSystemInfoMode21 }, { 22, &LayoutLcd::DrawSystemInfoMode22 },
            { 23, &LayoutLcd::DrawSystemInfoMode23 }, { 24, &LayoutLcd::DrawSystemInfoMode24 },
            { 25, &LayoutLcd::DrawSystemInfoMode25 }, { 26, &LayoutLcd::DrawSystemInfoMode26 },
        };
        ScopedLock lock(m_stateLock);
        Gdiplus::Graphics g(canvas.dc());
        int width = canvas.width();
        int height = canvas.height();
        (this->*kLayouts.at(layout))(g, width, height, item);
        if (after)
            after(g);
    }
};

DWORD rgbOf(Gdiplus::Color c)
{
    return c.GetValue() & 0x00FFFFFF;
}

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
        lcd->SetHardWareInfo(sensors());
    }
    void TearDown() override
    {
        lcd.reset();
        dialog.DestroyWindow();
        WriteRegString(L"led_cpushowtype", L"");
        Manager::SetScaleValue(1.0f);
    }

    // Pixels of window where canvas differs (beyond 2 a channel) from text drawn alone in the
    // layouts' way over a plain colour; -1 when the text leaves no ink in window.
    int textMisses(const DibCanvas& canvas, const wchar_t* text, Gdiplus::RectF rect, CRect window, float size,
                   Gdiplus::FontStyle style, Gdiplus::Color ink, Gdiplus::Color under, bool quality = true,
                   const wchar_t* face = L"")
    {
        DibCanvas alone(canvas.width(), canvas.height());
        {
            Gdiplus::Graphics g(alone.dc());
            if (quality) {
                g.SetTextRenderingHint(lcd->GetTextRenderingHint());
                g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
            }
            Gdiplus::SolidBrush plain(under);
            g.FillRectangle(&plain, 0, 0, canvas.width(), canvas.height());
            Gdiplus::StringFormat format(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
            format.SetAlignment(Gdiplus::StringAlignmentCenter);
            format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
            const Gdiplus::Font font(dialog.GetPaintManager()->FindTempFontOrFallback(face), size, style, Gdiplus::UnitPixel);
            Gdiplus::SolidBrush brush(ink);
            g.DrawString(text, -1, &font, rect, &format, &brush);
        }
        int misses = 0;
        int inked = 0;
        for (int y = window.top; y < window.bottom; ++y)
            for (int x = window.left; x < window.right; ++x) {
                inked += !nearColor(alone.rgb(x, y), rgbOf(under), 2);
                misses += !nearColor(canvas.rgb(x, y), alone.rgb(x, y), 2);
            }
        return inked > 10 ? misses : -1;
    }

    PinnedClock clock { 200000 };
    LcdDialog dialog;
    std::unique_ptr<LayoutLcd> lcd;
};

// Every pixel of a canvas as 0x00RRGGBB, read at once (a pixel at a time flushes GDI each time).
std::vector<DWORD> pixelsOf(DibCanvas& canvas)
{
    std::vector<DWORD> pixels(static_cast<size_t>(canvas.width()) * canvas.height());
    BITMAPINFO info {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = canvas.width();
    info.bmiHeader.biHeight = -canvas.height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    GetDIBits(canvas.dc(), static_cast<HBITMAP>(GetCurrentObject(canvas.dc(), OBJ_BITMAP)), 0, canvas.height(),
              pixels.data(), &info, DIB_RGB_COLORS);
    for (DWORD& pixel : pixels)
        pixel &= 0xFFFFFF;
    return pixels;
}

CRect windowOf(const Gdiplus::RectF& r, int inset = 0)
{
    return CRect(static_cast<int>(r.X) + inset, static_cast<int>(r.Y) + inset, static_cast<int>(r.X + r.Width) - inset,
                 static_cast<int>(r.Y + r.Height) - inset);
}

} // namespace

// The three-value panels: the item picks the device (any number but 1 to 6 the memory), the
// sign follows led_cpushowtype, "Centigrade" stays, each text in its colour and font.
TEST_F(Layouts, ThreeValuePanelsShowTheDeviceOfTheItem)
{
    const auto bi = Gdiplus::FontStyleBoldItalic;
    const auto b = Gdiplus::FontStyleBold;
    const auto r = Gdiplus::FontStyleRegular;
    const Gdiplus::Color dark(0xFF050505);
    struct Case {
        int layout, item;
        const wchar_t* showType;
        const wchar_t* text;
        Gdiplus::RectF rect;
        CRect window;
        float size;
        Gdiplus::FontStyle style;
        Gdiplus::Color ink, under;
    };
    const Case cases[] = {
        { 21, 1, L"0", L"CPU", { 140, 50, 200, 60 }, {}, 30, r, kLabel, kBackground },
        { 21, 1, L"0", L"45\x2103", { 140, 120, 200, 120 }, {}, 60, b, kValue, kBackground },
        { 21, 3, L"1", L"45\x2109", { 140, 120, 200, 120 }, {}, 60, b, kValue, kBackground },
        { 21, 2, L"0", L"45%", { 140, 251, 200, 40 }, {}, 30, r, kValue, kBackground },
        { 21, 2, L"0", L"Usage", { 140, 305, 200, 20 }, {}, 20, r, kLabel, kBackground },
        { 21, 1, L"0", L"4500MHz", { 140, 340, 200, 40 }, {}, 30, r, kValue, kBackground },
        { 21, 5, L"0", L"GPU", { 140, 50, 200, 60 }, {}, 30, r, kLabel, kBackground },
        { 21, 6, L"0", L"61\x2103", { 140, 120, 200, 120 }, {}, 60, b, kValue, kBackground },
        { 21, 0, L"0", L"Memory", { 140, 50, 200, 60 }, {}, 30, r, kLabel, kBackground },
        { 21, 7, L"1", L" 39\x2109", { 140, 120, 200, 120 }, {}, 60, b, kValue, kBackground },
        { 21, 42, L"0", L"88%", { 140, 251, 200, 40 }, {}, 30, r, kValue, kBackground },
        { 21, 11, L"0", L"3200MHz", { 140, 340, 200, 40 }, {}, 30, r, kValue, kBackground },
        { 11, 10, L"0", L"Memory", { 140, 50, 200, 60 }, {}, 30, r, kLabel, kBackground },
        { 11, 8, L"0", L" 39\x2103", { 140, 120, 200, 120 }, {}, 60, bi, kValue, kBackground },
        { 11, 2, L"1", L"45\x2109", { 140, 120, 200, 120 }, {}, 60, bi, kValue, kBackground },
        { 11, 9, L"0", L"Clock", { 140, 390, 200, 20 }, {}, 20, r, kLabel, kBackground },
        { 26, 4, L"0", L"GPU", { 140, 50, 200, 60 }, {}, 30, r, kValue, kBackground },
        { 26, 4, L"0", L"61\x2103", { 140, 140, 200, 120 }, {}, 60, bi, kLabel, kBackground },
        { 16, 1, L"1", L"45\x2109", { 140, 120, 200, 120 }, { 150, 125, 330, 235 }, 60, bi, dark, kValue },
        { 25, 1, L"1", L"Centigrade", { 280, 130, 100, 30 }, { 290, 140, 375, 160 }, 15, r, kLabel, kBackground },
        { 15, 1, L"1", L"Centigrade", { 190, 150, 100, 30 }, { 205, 160, 275, 180 }, 15, r, kLabel, kBackground },
        { 15, 3, L"0", L"45.0%", { 60, 310, 160, 50 }, { 100, 320, 180, 350 }, 30, r, kValue, kBackground },
        { 15, 3, L"0", L"4.5GHz", { 260, 310, 160, 50 }, { 300, 320, 380, 350 }, 30, r, kValue, kBackground },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases << ", layout " << c.layout);
        WriteRegString(L"led_cpushowtype", c.showType);
        DibCanvas canvas(480, 480, kUnder);
        lcd->draw(c.layout, canvas, c.item);
        const CRect window = c.window.IsRectEmpty() ? windowOf(c.rect) : c.window;
        EXPECT_EQ(textMisses(canvas, c.text, c.rect, window, c.size, c.style, c.ink, c.under), 0);
    }
}

// The gauges: the value and unit of the item in the same table for 12/22, 13/23, 14/24, the
// captions under them, and no "nan" when the host gave no memory figures.
TEST_F(Layouts, GaugesShowTheValueAndUnitOfTheItem)
{
    const auto bi = Gdiplus::FontStyleBoldItalic;
    const auto r = Gdiplus::FontStyleRegular;
    const Gdiplus::RectF value12(5, 200, 460, 60), unit12(5, 260, 460, 30);
    const Gdiplus::RectF value(10, 200, 460, 60), unit(10, 260, 460, 30), bottom(10, 420, 460, 30);
    // Inside the dials' hub, clear of their rings (12's innermost is 85 from the centre).
    const CRect hubValue(185, 205, 295, 255), hubUnit(200, 262, 280, 288), hubBottom(170, 422, 310, 448);
    struct Case {
        int layout, item;
        HARDWARE_INFO values;
        const wchar_t* text;
        Gdiplus::RectF rect;
        CRect window;
        float size;
        Gdiplus::FontStyle style;
        Gdiplus::Color ink;
        const wchar_t* face;
    };
    const HARDWARE_INFO sixteenAndSixteen = sensors(16, 16), none = sensors(0, 0);
    const Case cases[] = {
        { 22, 7, sixteenAndSixteen, L"25.00", value, {}, 60, bi, kValue, L"" },
        { 22, 7, sixteenAndSixteen, L"%", unit, {}, 20, r, kLabel, L"" },
        { 12, 7, sixteenAndSixteen, L"25.00", value12, hubValue, 60, bi, kLabel, L"" },
        { 12, 7, sixteenAndSixteen, L"%", unit12, hubUnit, 20, r, kLabel, L"" },
        { 23, 7, sixteenAndSixteen, L"32.00", value, {}, 50, bi, kValue, L"" },
        { 23, 7, sixteenAndSixteen, L"GB", unit, {}, 20, r, kLabel, L"" },
        { 23, 2, sixteenAndSixteen, L"ZEDIVER", bottom, {}, 20, r, kLabel, L"" },
        { 13, 7, sixteenAndSixteen, L"32.00", value, hubValue, 50, bi, kLabel, L"" },
        { 13, 9, sixteenAndSixteen, L"3200", value, hubValue, 50, bi, kLabel, L"" },
        { 13, 9, sixteenAndSixteen, L"MHz", unit, hubUnit, 20, r, kLabel, L"" },
        { 13, 9, sixteenAndSixteen, L"ZEDIVER", bottom, hubBottom, 20, r, kLabel, L"" },
        { 24, 1, sixteenAndSixteen, L"45", value, {}, 60, bi, kValue, L"" },
        { 24, 4, sixteenAndSixteen, L"\x2103", unit, {}, 20, r, kLabel, L"" },
        { 24, 5, sixteenAndSixteen, L"1800", value, {}, 60, bi, kValue, L"" },
        { 24, 8, sixteenAndSixteen, L"BRAVIK", Gdiplus::RectF(10, 420, 460, 40), {}, 30, r, kLabel, L"BRAVIK 1.2" },
        { 14, 10, sensors(8, 8), L"50", value12, hubValue, 60, bi, kLabel, L"" },
        // No memory figures: a percentage of 0, not NaN.
        { 22, 10, none, L"00", value, {}, 60, bi, kValue, L"" },
        { 23, 10, none, L"  0%", value, {}, 50, bi, kValue, L"" },
        { 12, 10, none, L"00", value12, hubValue, 60, bi, kLabel, L"" },
        { 13, 10, none, L"  0%", value, hubValue, 50, bi, kLabel, L"" },
        { 22, 7, none, L"0.00", value, {}, 60, bi, kValue, L"" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases << ", layout " << c.layout);
        lcd->SetHardWareInfo(c.values);
        DibCanvas canvas(480, 480, kUnder);
        lcd->draw(c.layout, canvas, c.item);
        const CRect window = c.window.IsRectEmpty() ? windowOf(c.rect) : c.window;
        // 13 and 23 draw with the quality the frame carries: here GDI+'s defaults.
        const bool quality = c.layout != 13 && c.layout != 23;
        EXPECT_EQ(textMisses(canvas, c.text, c.rect, window, c.size, c.style, c.ink, kBackground, quality, c.face), 0);
    }
}

// The dial marks read back where their angle puts them: the needle of 12, the arc of 13 and
// the pie of 14 (from 120° clockwise, 300° full scale), the track of 13 and the scale images.
TEST_F(Layouts, DialMarksStandAtTheAngleOfTheirValue)
{
    const DWORD track = 0x242527;
    auto at = [](double r, double degrees) { return alongAngle(240, 240, degrees, r); };
    struct Case {
        int layout, item;
        HARDWARE_INFO values;
        POINT point;
        bool marked; // the mark's colour (or the track's) is there
        DWORD colour;
    };
    HARDWARE_INFO hot = sensors(8, 8), boiling = sensors();
    hot.cpuTemperature = 106;
    boiling.cpuTemperature = 212;
    const Case cases[] = {
        // 12, item 10 at 50 %: 150 + 210 = 360°, straight up; items 8, 9, 11 at full scale, 510°.
        { 12, 10, sensors(8, 8), { 240, 90 }, true, rgbOf(kAccent) },
        { 12, 10, sensors(8, 8), at(150, 60), false, rgbOf(kAccent) },
        { 12, 8, sensors(8, 8), at(150, 60), true, rgbOf(kAccent) },
        { 12, 11, sensors(8, 8), { 240, 90 }, false, rgbOf(kAccent) },
        // 13, item 10 at 50 %: the arc ends at 270°; item 7 with 16 + 16 GB at 178.6°.
        { 13, 10, sensors(8, 8), at(160, 260), true, rgbOf(kAccent) },
        { 13, 10, sensors(8, 8), at(160, 280), true, track },
        { 13, 7, sensors(16, 16), at(160, 170), true, rgbOf(kAccent) },
        { 13, 7, sensors(16, 16), at(160, 190), true, track },
        // Item 9: neither track nor arc; item 1: the track alone.
        { 13, 9, sensors(), at(160, 270), false, track },
        { 13, 1, sensors(), at(160, 270), true, track },
        { 13, 1, sensors(), at(160, 130), true, track },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases << ", layout " << c.layout);
        lcd->SetHardWareInfo(c.values);
        DibCanvas canvas(480, 480, kUnder);
        lcd->draw(c.layout, canvas, c.item);
        EXPECT_EQ(nearColor(canvas.rgb(c.point.x, c.point.y), c.colour, 4), c.marked);
    }
    // The first GPU scale image for items 1, 3, 4, 6, 10, the second for the rest.
    const ScratchStrip first(GetSkinPath(), L"lcd-layouts-first.png", 16, 16, { 0xFF0000FF });
    const ScratchStrip second(GetSkinPath(), L"lcd-layouts-second.png", 16, 16, { 0xFFFFFF00 });
    ASSERT_TRUE(first.written() && second.written());
    lcd->SetGPUScaleImage(L"lcd-layouts-first.png", L"lcd-layouts-second.png");
    for (const auto& [item, colour] : { std::pair(10, 0x0000FFu), std::pair(8, 0xFFFF00u), std::pair(2, 0xFFFF00u) }) {
        DibCanvas canvas(480, 480, kUnder);
        lcd->draw(12, canvas, item);
        EXPECT_TRUE(nearColor(canvas.rgb(240, 40), colour, 4)) << "item " << item;
    }
    lcd->SetGPUScaleImage(L"", L""); // lets the files go
    // 14: the pie reaches 270° for 106 and 60° (full scale) for 212 on the temperature item.
    struct Pie {
        HARDWARE_INFO values;
        double inside, outside;
    };
    for (const Pie& pie : { Pie { hot, 260, 280 }, Pie { boiling, 50, 70 } }) {
        DibCanvas empty(480, 480, kUnder), filled(480, 480, kUnder);
        HARDWARE_INFO cold = pie.values;
        cold.cpuTemperature = 0;
        lcd->SetHardWareInfo(cold);
        lcd->draw(14, empty, HardwareCpuTemperature);
        lcd->SetHardWareInfo(pie.values);
        lcd->draw(14, filled, HardwareCpuTemperature);
        const POINT in = at(180, pie.inside), out = at(180, pie.outside);
        EXPECT_NE(filled.rgb(in.x, in.y), empty.rgb(in.x, in.y)) << pie.inside;
        EXPECT_EQ(filled.rgb(out.x, out.y), empty.rgb(out.x, out.y)) << pie.outside;
    }
}

// 11 to 15 fill the inscribed ellipse on the round screen (its corners keep what lay there) and
// the rectangle elsewhere; 21 to 26 always the rectangle; 16 always only the ellipse, and its
// clip stays on the frame's graphics. A background of alpha 0 is still drawn opaque.
TEST_F(Layouts, BackgroundsFollowTheScreenShapeAndAreOpaque)
{
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
    // Alpha 0: the background is opaque; in 12 and 14 the inner fill over the value-colour
    // ring is not, so the ring shows as a full disc.
    lcd->SetLEDScreenType(LEDScreenSquare);
    lcd->SetColor(Gdiplus::Color(0, 200, 30, 40), kLabel, kValue, kAccent);
    const struct { int layout, item; POINT point; DWORD colour; } cases[] = {
        { 11, 1, { 5, 5 }, 0xC81E28 }, { 21, 1, { 5, 5 }, 0xC81E28 }, { 26, 1, { 5, 5 }, 0xC81E28 },
        { 12, 8, { 240, 60 }, rgbOf(kValue) }, { 14, 7, { 240, 60 }, rgbOf(kValue) }, { 13, 7, { 240, 60 }, 0xC81E28 },
    };
    for (const auto& c : cases) {
        DibCanvas canvas(480, 480, kUnder);
        lcd->draw(c.layout, canvas, c.item);
        EXPECT_TRUE(nearColor(canvas.rgb(c.point.x, c.point.y), c.colour, 2)) << c.layout;
    }
}

// Items a single-value layout does not handle leave the background and the first frame of the
// control image in the bottom-right corner, nothing else.
TEST_F(Layouts, UnhandledItemsLeaveTheBackgroundAndTheCornerImage)
{
    const ScratchStrip strip(GetSkinPath(), L"lcd-layouts-strip.png", 40, 30, { 0xFFE0A000, 0xFF00A0E0, 0xFF8000FF });
    ASSERT_TRUE(strip.written());
    ASSERT_EQ(lcd->SetImage(L"lcd-layouts-strip.png", 3), 1);
    DibCanvas expected(480, 480, kUnder);
    {
        Gdiplus::Graphics g(expected.dc());
        Gdiplus::SolidBrush plain(kBackground);
        g.FillRectangle(&plain, 0, 0, 480, 480);
        Gdiplus::SolidBrush firstFrame(Gdiplus::Color(0xFFE0A000));
        g.FillRectangle(&firstFrame, 440, 450, 40, 30);
    }
    const std::vector<DWORD> wanted = pixelsOf(expected);
    const struct { int layout; std::vector<int> items; } cases[] = {
        { 22, { 8, 9, 11, 0 } }, { 23, { 1, 3, 4, 6, 11 } }, { 24, { 7, 9, 11, 12 } },
    };
    for (const auto& c : cases)
        for (int item : c.items) {
            DibCanvas canvas(480, 480, kUnder);
            lcd->draw(c.layout, canvas, item);
            const std::vector<DWORD> drawn = pixelsOf(canvas);
            int misses = 0;
            for (size_t i = 0; i < drawn.size(); ++i)
                misses += !nearColor(drawn[i], wanted[i], 2);
            EXPECT_EQ(misses, 0) << c.layout << " item " << item;
        }
    lcd->SetImage(L"lcd-layouts-none.png", 3); // lets the file go
}

// At scale 1.5 layout 11's fonts are 90, 30 and 45 pixels in the same rectangles; 25 and 26 are
// laid out for 640 pixels and cut their clock text at a narrower frame's edge.
TEST_F(Layouts, ScaleGrowsTheFontsNotTheRectanglesAndWideLayoutsCutAtTheEdge)
{
    Manager::SetScaleValue(1.5f);
    DibCanvas scaled(480, 480, kUnder);
    lcd->draw(11, scaled, HardwareCpuTemperature);
    const auto bi = Gdiplus::FontStyleBoldItalic;
    const auto r = Gdiplus::FontStyleRegular;
    EXPECT_EQ(textMisses(scaled, L"45\x2103", { 140, 120, 200, 120 }, { 140, 120, 340, 240 }, 90, bi, kValue, kBackground), 0);
    EXPECT_EQ(textMisses(scaled, L"CPU", { 140, 50, 200, 60 }, { 140, 50, 340, 110 }, 45, r, kLabel, kBackground), 0);
    EXPECT_EQ(textMisses(scaled, L"Usage", { 140, 305, 200, 20 }, { 140, 305, 340, 325 }, 30, r, kLabel, kBackground), 0);
    Manager::SetScaleValue(1.0f);
    for (int layout : { 25, 26 }) {
        DibCanvas narrow(480, 480, kUnder), wide(640, 480, kUnder);
        lcd->draw(layout, narrow, HardwareCpuClock);
        lcd->draw(layout, wide, HardwareCpuClock);
        int apart = 0;
        int beyond = 0;
        for (int y = 300; y < 370; ++y) {
            for (int x = 340; x < 480; ++x)
                apart += narrow.rgb(x, y) != wide.rgb(x, y);
            for (int x = 480; x < 640; ++x)
                beyond += !nearColor(wide.rgb(x, y), 0x203040, 2);
        }
        EXPECT_EQ(apart, 0) << layout;
        EXPECT_GT(beyond, 20) << layout << ": \"4500MHz\" reaches past x = 480";
    }
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
    const DWORD kWindow = 0xFF12EF34;
    auto frame = [&](DibCanvas& window) {
        window.fill(kWindow);
        shown->SetUpdate(0, 0);
        shown->DrawControl(window.dc(), CRect(0, 0, 480, 480));
    };
    for (int layout : { 16, 15 }) {
        shown->SetSensorType(layout);
        DibCanvas bright(480, 480), dark(480, 480);
        shown->SetBrightness(100);
        frame(bright);
        shown->SetBrightness(0);
        frame(dark);
        // Where the frame leaves the window showing, the dimming must leave it too.
        int dimmedOutside = 0;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 480; ++x)
                dimmedOutside += bright.rgb(x, y) == (kWindow & 0xFFFFFF) && dark.rgb(x, y) != bright.rgb(x, y);
        EXPECT_EQ(dimmedOutside == 0, layout == 16) << layout << ": " << dimmedOutside;
    }
    // The same on any shape, the rectangle clipped to its ellipse.
    LcdFrameRoad road(kLargestCapacity);
    ASSERT_TRUE(road.Prepare(nullptr, 100, 80));
    const RECT whole { 0, 0, 100, 80 };
    FillRect(road.dc(), &whole, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    road.Dim(false, 255, true);
    int grey = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 100; ++x)
            grey += GetPixel(road.dc(), x, y) != RGB(0, 0, 0) && GetPixel(road.dc(), x, y) != RGB(255, 255, 255);
    EXPECT_EQ(std::tuple(GetPixel(road.dc(), 1, 1), GetPixel(road.dc(), 50, 40), grey), std::tuple(RGB(255, 255, 255), 0u, 0));

    shown->SetBrightness(100);
    shown->SetLEDScreenType(LEDScreenSquare);
    for (int layout : { 13, 23 }) {
        shown->SetSensorType(layout);
        shown->SetHardWareType(HardwareMemoryLoad);
        DibCanvas window(480, 480);
        frame(window);
        const std::vector<BYTE> visible = pullFrame(*shown);
        shown->DrawHideControl();
        EXPECT_TRUE(!visible.empty() && visible == pullFrame(*shown)) << layout;
    }
}
