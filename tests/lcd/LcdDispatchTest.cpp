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

// The carousel's dials, water cooling and weather drawn straight (ScreenLcd), and besides them
// the layouts and the mode dispatch, all with the settings the frame render gives the graphics.
class DispatchLcd : public ScreenLcd {
public:
    using ScreenLcd::ScreenLcd;
    void drawDispatched(DibCanvas& canvas)
    {
        draw(canvas, [&](Gdiplus::Graphics& g, int& w, int& h) { DrawLEDMode(g, w, h, canvas.dc()); });
    }
    // Layouts 11 to 16 and 21 to 26.
    void drawLayout(DibCanvas& canvas, int layout, int item)
    {
        using Layout = void (LEDModeCtrl::*)(Gdiplus::Graphics&, int&, int&, int);
        const Layout layouts[] = {
            &DispatchLcd::DrawSystemInfoMode11, &DispatchLcd::DrawSystemInfoMode12, &DispatchLcd::DrawSystemInfoMode13,
            &DispatchLcd::DrawSystemInfoMode14, &DispatchLcd::DrawSystemInfoMode15, &DispatchLcd::DrawSystemInfoMode16,
            &DispatchLcd::DrawSystemInfoMode21, &DispatchLcd::DrawSystemInfoMode22, &DispatchLcd::DrawSystemInfoMode23,
            &DispatchLcd::DrawSystemInfoMode24, &DispatchLcd::DrawSystemInfoMode25, &DispatchLcd::DrawSystemInfoMode26,
        };
        const Layout chosen = layouts[layout % 10 - 1 + (layout > 20 ? 6 : 0)];
        draw(canvas, [&](Gdiplus::Graphics& g, int& w, int& h) { (this->*chosen)(g, w, h, item); });
    }

private:
    template <class Screen>
    void draw(DibCanvas& canvas, Screen screen)
    {
        ScopedLock lock(m_stateLock);
        Gdiplus::Graphics g(canvas.dc());
        g.SetTextRenderingHint(m_textRenderingHint);
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        int width = canvas.width();
        int height = canvas.height();
        screen(g, width, height);
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
    void choose(int mode, int layout, const std::vector<UINT>& carousel)
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
    using Expected = std::function<void(DispatchLcd&, DibCanvas&)>;
    struct Case { int mode, layout; std::vector<UINT> carousel; std::string screen; Expected expected; };
    const auto layout = [](int n) {
        return Case { LEDModeSystemInfo, n, {}, "layout " + std::to_string(n),
                      [n](DispatchLcd& lcd, DibCanvas& canvas) { lcd.drawLayout(canvas, n, HardwareCpuLoad); } };
    };
    const auto screen = [](int mode, std::vector<UINT> carousel, std::string name, int screen, int item = 0) {
        return Case { mode, 11, carousel, name, [=](DispatchLcd& lcd, DibCanvas& canvas) { lcd.drawScreen(canvas, screen, item); } };
    };
    const Case cases[] = {
        layout(11), layout(12), layout(13), layout(14), layout(15), layout(16),
        layout(21), layout(22), layout(23), layout(24), layout(25), layout(26),
        screen(LEDModeWaterCooling, {}, "water", ScreenLcd::WaterCooling),
        screen(LEDModeWeather, {}, "weather", ScreenLcd::Weather),
        // The carousel: CPU items on the CPU dial, GPU items on the GPU dial, water on its
        // screen, every other number on the memory dial.
        screen(LEDModeCarousel, { 1 }, "cpu 1", ScreenLcd::CpuDial, 1),
        screen(LEDModeCarousel, { 3 }, "cpu 3", ScreenLcd::CpuDial, 3),
        screen(LEDModeCarousel, { 5 }, "gpu 5", ScreenLcd::GpuDial, 5),
        screen(LEDModeCarousel, { 6 }, "gpu 6", ScreenLcd::GpuDial, 6),
        screen(LEDModeCarousel, { 7 }, "memory 7", ScreenLcd::MemoryDial, 7),
        screen(LEDModeCarousel, { 10 }, "memory 10", ScreenLcd::MemoryDial, 10),
        screen(LEDModeCarousel, { 12 }, "memory 12", ScreenLcd::MemoryDial, 12),
        screen(LEDModeCarousel, { 11 }, "water", ScreenLcd::WaterCooling),
    };
    std::vector<std::vector<DWORD>> pictures;
    DibCanvas canvas(480, 480);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.screen);
        choose(c.mode, c.layout, c.carousel);
        canvas.fill(kBase);
        lcd->drawDispatched(canvas);
        const std::vector<DWORD> dispatched = pixelsOf(canvas);
        canvas.fill(kBase);
        c.expected(*lcd, canvas);
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
    const std::tuple<int, int, std::vector<UINT>> cases[] = {
        { LEDModeSystemInfo, 0, {} },  { LEDModeSystemInfo, 10, {} }, { LEDModeSystemInfo, 17, {} },
        { LEDModeSystemInfo, 20, {} }, { LEDModeSystemInfo, 27, {} }, { LEDModeSystemInfo, -11, {} },
        { LEDModeCarousel, 11, {} },   { LEDModeClock, 11, {} },      { LEDModeNone, 11, {} },
        { 8, 11, {} },                 { -1, 11, { 1 } },
    };
    DibCanvas canvas(480, 480);
    for (const auto& [mode, layout, carousel] : cases) {
        choose(mode, layout, carousel);
        canvas.fill(kBase);
        lcd->drawDispatched(canvas);
        EXPECT_TRUE(canvas.untouchedSinceFill()) << "mode " << mode << " layout " << layout;
    }
}
