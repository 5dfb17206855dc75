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

// A point at radius r and GDI+ angle degrees from (cx, cy).
POINT onCircle(int cx, int cy, double r, double degrees)
{
    const double a = degrees * 3.14159265358979 / 180.0;
    return POINT { static_cast<LONG>(std::lround(cx + r * std::cos(a))), static_cast<LONG>(std::lround(cy + r * std::sin(a))) };
}

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
