// The mode dispatch of the LCD renderer: every LED mode, system-information layout and
// carousel item reaches its own screen (the dispatched picture is the screen's own, and the
// screens' pictures tell each other apart), and what has no screen keeps the black base.
#include <functional>
#include <string>

#include "LcdTestKit.h"

using namespace KOVA;
using namespace KOVA::test;

namespace {

const auto* const host = ::testing::AddGlobalTestEnvironment(new LibraryHost);

constexpr DWORD kBase = 0xFF000000;

// Every pixel of the canvas, in one read.
std::vector<DWORD> pixelsOf(DibCanvas& canvas)
{
    ::GdiFlush();
    std::vector<DWORD> pixels(static_cast<size_t>(canvas.width()) * canvas.height());
    const auto bytes = static_cast<LONG>(pixels.size() * sizeof(DWORD));
    EXPECT_EQ(::GetBitmapBits(static_cast<HBITMAP>(::GetCurrentObject(canvas.dc(), OBJ_BITMAP)), bytes, pixels.data()), bytes);
    return pixels;
}

// A renderer that draws onto a canvas through the dispatch, or straight through one screen,
// with the settings the frame render gives the graphics.
class DispatchLcd : public OpenLcd {
public:
    using OpenLcd::OpenLcd;
    using Draw = std::function<void(DispatchLcd&, Gdiplus::Graphics&, int&, int&, HDC&)>;

    void draw(DibCanvas& canvas, const Draw& what)
    {
        canvas.fill(kBase);
        ScopedLock lock(m_stateLock);
        Gdiplus::Graphics g(canvas.dc());
        g.SetTextRenderingHint(m_textRenderingHint);
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        int width = canvas.width();
        int height = canvas.height();
        what(*this, g, width, height, canvas.dc());
    }
    static Draw dispatched()
    {
        return [](DispatchLcd& lcd, Gdiplus::Graphics& g, int& w, int& h, HDC& dc) { lcd.DrawLEDMode(g, w, h, dc); };
    }
    // Layouts 11 to 16 and 21 to 26, the carousel's dials 1 to 3.
    static Draw screen(int number, int item)
    {
        using Screen = void (LEDModeCtrl::*)(Gdiplus::Graphics&, int&, int&, int);
        const std::pair<int, Screen> screens[] = {
            { 1, &DispatchLcd::DrawSystemInfoMode1 },   { 2, &DispatchLcd::DrawSystemInfoMode2 },
            { 3, &DispatchLcd::DrawSystemInfoMode3 },   { 11, &DispatchLcd::DrawSystemInfoMode11 },
            { 12, &DispatchLcd::DrawSystemInfoMode12 }, { 13, &DispatchLcd::DrawSystemInfoMode13 },
            { 14, &DispatchLcd::DrawSystemInfoMode14 }, { 15, &DispatchLcd::DrawSystemInfoMode15 },
            { 16, &DispatchLcd::DrawSystemInfoMode16 }, { 21, &DispatchLcd::DrawSystemInfoMode21 },
            { 22, &DispatchLcd::DrawSystemInfoMode22 }, { 23, &DispatchLcd::DrawSystemInfoMode23 },
            { 24, &DispatchLcd::DrawSystemInfoMode24 }, { 25, &DispatchLcd::DrawSystemInfoMode25 },
            { 26, &DispatchLcd::DrawSystemInfoMode26 },
        };
        Screen chosen = nullptr;
        for (const auto& [n, s] : screens)
            if (n == number)
                chosen = s;
        return [chosen, item](DispatchLcd& lcd, Gdiplus::Graphics& g, int& w, int& h, HDC&) { (lcd.*chosen)(g, w, h, item); };
    }
    static Draw water()
    {
        return [](DispatchLcd& lcd, Gdiplus::Graphics& g, int& w, int& h, HDC&) { lcd.DrawWaterCoolingMode(g, w, h); };
    }
    static Draw weather()
    {
        return [](DispatchLcd& lcd, Gdiplus::Graphics& g, int& w, int& h, HDC&) { lcd.DrawWeatherMode(g, w, h); };
    }
};

class Dispatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog.open(CRect(0, 0, 480, 480), false);
        lcd = dialog.addRenderer<DispatchLcd>(CRect(0, 0, 480, 480));
        lcd->SetLEDScreenType(LEDScreenSquare);
        lcd->SetHardWareInfo(HARDWARE_INFO { 45, 3600, 37, 0, 61, 1800, 64, 0, 0, 7.84f, 3200, 39, 8.16f });
        lcd->SetHardWareType(HardwareCpuLoad);
    }
    void TearDown() override { dialog.DestroyWindow(); }
    // The mode, layout and carousel list a case sets.
    void choose(int mode, int layout, std::initializer_list<UINT> carousel)
    {
        lcd->SetLEDMode(mode);
        lcd->SetSensorType(layout);
        lcd->ClearCarousel();
        for (UINT item : carousel)
            lcd->AddCarousel(item);
    }

    PinnedClock clock { 500000 };
    LcdDialog dialog;
    DispatchLcd* lcd { nullptr };
};

} // namespace

TEST_F(Dispatch, EveryModeLayoutAndCarouselItemReachesItsOwnScreen)
{
    struct Case { int mode, layout; std::initializer_list<UINT> carousel; std::string screen; DispatchLcd::Draw expected; };
    const auto layout = [](int n) { return Case { LEDModeSystemInfo, n, {}, "layout " + std::to_string(n), DispatchLcd::screen(n, HardwareCpuLoad) }; };
    const Case cases[] = {
        layout(11), layout(12), layout(13), layout(14), layout(15), layout(16),
        layout(21), layout(22), layout(23), layout(24), layout(25), layout(26),
        { LEDModeWaterCooling, 11, {}, "water", DispatchLcd::water() },
        { LEDModeWeather, 11, {}, "weather", DispatchLcd::weather() },
        // The carousel: CPU items on the CPU dial, GPU items on the GPU dial, water on its
        // screen, every other number on the memory dial.
        { LEDModeCarousel, 11, { 1 }, "cpu 1", DispatchLcd::screen(2, 1) },
        { LEDModeCarousel, 11, { 3 }, "cpu 3", DispatchLcd::screen(2, 3) },
        { LEDModeCarousel, 11, { 5 }, "gpu 5", DispatchLcd::screen(3, 5) },
        { LEDModeCarousel, 11, { 6 }, "gpu 6", DispatchLcd::screen(3, 6) },
        { LEDModeCarousel, 11, { 7 }, "memory 7", DispatchLcd::screen(1, 7) },
        { LEDModeCarousel, 11, { 10 }, "memory 10", DispatchLcd::screen(1, 10) },
        { LEDModeCarousel, 11, { 12 }, "memory 12", DispatchLcd::screen(1, 12) },
        { LEDModeCarousel, 11, { 11 }, "water", DispatchLcd::water() },
    };
    std::vector<std::vector<DWORD>> pictures;
    DibCanvas canvas(480, 480);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.screen);
        choose(c.mode, c.layout, c.carousel);
        lcd->draw(canvas, DispatchLcd::dispatched());
        const std::vector<DWORD> dispatched = pixelsOf(canvas);
        lcd->draw(canvas, c.expected);
        pictures.push_back(pixelsOf(canvas));
        EXPECT_TRUE(dispatched == pictures.back());
    }
    // Each screen's picture is its own: the same picture would not tell which one was reached.
    for (size_t a = 0; a < pictures.size(); ++a)
        for (size_t b = a + 1; b < pictures.size(); ++b)
            EXPECT_EQ(pictures[a] == pictures[b], cases[a].screen == cases[b].screen)
                << cases[a].screen << " / " << cases[b].screen;
}

TEST_F(Dispatch, ModesAndLayoutsWithoutAScreenKeepTheBlackBase)
{
    struct Case { int mode, layout; std::initializer_list<UINT> carousel; };
    const Case cases[] = {
        { LEDModeSystemInfo, 0, {} },  { LEDModeSystemInfo, 10, {} }, { LEDModeSystemInfo, 17, {} },
        { LEDModeSystemInfo, 20, {} }, { LEDModeSystemInfo, 27, {} }, { LEDModeSystemInfo, -11, {} },
        { LEDModeCarousel, 11, {} },   { LEDModeClock, 11, {} },      { LEDModeNone, 11, {} },
        { 8, 11, {} },                 { -1, 11, { 1 } },
    };
    DibCanvas canvas(480, 480);
    for (const Case& c : cases) {
        choose(c.mode, c.layout, c.carousel);
        lcd->draw(canvas, DispatchLcd::dispatched());
        EXPECT_TRUE(canvas.untouchedSinceFill()) << "mode " << c.mode << " layout " << c.layout;
    }
}
