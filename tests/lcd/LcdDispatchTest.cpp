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

std::vector<DWORD> pixelsOf(const DibCanvas& canvas)
{
    ::GdiFlush();
    std::vector<DWORD> pixels;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            pixels.push_back(canvas.pixel(x, y));
    return pixels;
}

// Besides the screens ScreenLcd draws straight, the layouts and the mode dispatch.
class DispatchLcd : public ScreenLcd {
public:
    using ScreenLcd::ScreenLcd;
    void drawDispatched(DibCanvas& canvas)
    {
        drawWith(canvas, [&](Gdiplus::Graphics& g, int& w, int& h) { DrawLEDMode(g, w, h, canvas.dc()); });
    }
    // Layouts 11 to 16 and 21 to 26.
    void drawLayout(DibCanvas& canvas, int layout)
    {
        using Layout = void (LEDModeCtrl::*)(Gdiplus::Graphics&, int&, int&, int);
        const Layout layouts[] = {
            &DispatchLcd::DrawSystemInfoMode11, &DispatchLcd::DrawSystemInfoMode12, &DispatchLcd::DrawSystemInfoMode13,
            &DispatchLcd::DrawSystemInfoMode14, &DispatchLcd::DrawSystemInfoMode15, &DispatchLcd::DrawSystemInfoMode16,
            &DispatchLcd::DrawSystemInfoMode21, &DispatchLcd::DrawSystemInfoMode22, &DispatchLcd::DrawSystemInfoMode23,
            &DispatchLcd::DrawSystemInfoMode24, &DispatchLcd::DrawSystemInfoMode25, &DispatchLcd::DrawSystemInfoMode26,
        };
        const Layout chosen = layouts[layout % 10 - 1 + (layout > 20 ? 6 : 0)];
        drawWith(canvas, [&](Gdiplus::Graphics& g, int& w, int& h) { (this->*chosen)(g, w, h, HardwareCpuLoad); });
    }
};

} // namespace

TEST(Dispatch, EveryModeLayoutAndCarouselItemReachesItsOwnScreenAndTheRestKeepTheBlackBase)
{
    PinnedClock clock(500000);
    LcdDialog dialog;
    dialog.open(CRect(0, 0, 480, 480), false);
    DispatchLcd* lcd = dialog.addRenderer<DispatchLcd>(CRect(0, 0, 480, 480));
    lcd->SetLEDScreenType(LEDScreenSquare);
    lcd->SetHardWareInfo(HARDWARE_INFO { 45, 3600, 37, 0, 61, 1800, 64, 0, 0, 7.84f, 3200, 39, 8.16f });
    lcd->SetHardWareType(HardwareCpuLoad);
    // The mode, layout and carousel a case sets, the screen it must reach and that screen drawn
    // straight; "none" draws nothing.
    struct Case { int mode, layout; std::vector<UINT> carousel; std::string screen; std::function<void(DibCanvas&)> expected; };
    std::vector<Case> cases;
    for (int layout : { 11, 12, 13, 14, 15, 16, 21, 22, 23, 24, 25, 26 })
        cases.push_back({ LEDModeSystemInfo, layout, {}, "layout " + std::to_string(layout),
                          [=](DibCanvas& canvas) { lcd->drawLayout(canvas, layout); } });
    // The carousel: CPU items on the CPU dial, GPU items on the GPU dial, water on its screen,
    // every other number on the memory dial.
    const std::tuple<int, UINT, std::string, int> screens[] = {
        { LEDModeWaterCooling, 0, "water", ScreenLcd::WaterCooling }, { LEDModeWeather, 0, "weather", ScreenLcd::Weather },
        { LEDModeCarousel, 1, "cpu 1", ScreenLcd::CpuDial },          { LEDModeCarousel, 3, "cpu 3", ScreenLcd::CpuDial },
        { LEDModeCarousel, 5, "gpu 5", ScreenLcd::GpuDial },          { LEDModeCarousel, 6, "gpu 6", ScreenLcd::GpuDial },
        { LEDModeCarousel, 7, "memory 7", ScreenLcd::MemoryDial },    { LEDModeCarousel, 10, "memory 10", ScreenLcd::MemoryDial },
        { LEDModeCarousel, 12, "memory 12", ScreenLcd::MemoryDial },  { LEDModeCarousel, 11, "water", ScreenLcd::WaterCooling },
    };
    for (const auto& [mode, item, name, screen] : screens)
        cases.push_back({ mode, 11, item ? std::vector<UINT> { item } : std::vector<UINT> {}, name,
                          [=, screen = screen, item = item](DibCanvas& canvas) { lcd->drawScreen(canvas, screen, item); } });
    const std::tuple<int, int, std::vector<UINT>> blank[] = {
        { LEDModeSystemInfo, 0, {} },  { LEDModeSystemInfo, 10, {} }, { LEDModeSystemInfo, 17, {} },
        { LEDModeSystemInfo, 20, {} }, { LEDModeSystemInfo, 27, {} }, { LEDModeSystemInfo, -11, {} },
        { LEDModeCarousel, 11, {} },   { LEDModeNone, 11, {} },
        { 8, 11, {} },                 { -1, 11, { 1 } },
    };
    for (const auto& [mode, layout, carousel] : blank)
        cases.push_back({ mode, layout, carousel, "none", [](DibCanvas&) {} });
    std::vector<std::vector<DWORD>> pictures;
    DibCanvas canvas(480, 480);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.screen + " from mode " + std::to_string(c.mode) + " layout " + std::to_string(c.layout));
        lcd->SetLEDMode(c.mode);
        lcd->SetSensorType(c.layout);
        lcd->ClearCarousel();
        for (UINT item : c.carousel)
            lcd->AddCarousel(item);
        canvas.fill(0xFF000000);
        lcd->drawDispatched(canvas);
        const std::vector<DWORD> dispatched = pixelsOf(canvas);
        canvas.fill(0xFF000000);
        c.expected(canvas);
        pictures.push_back(pixelsOf(canvas));
        EXPECT_TRUE(dispatched == pictures.back());
    }
    // Each screen's picture is its own (and not the black base): the same picture would not tell
    // which one was reached.
    for (size_t a = 0; a < pictures.size(); ++a)
        for (size_t b = a + 1; b < pictures.size(); ++b)
            EXPECT_EQ(pictures[a] == pictures[b], cases[a].screen == cases[b].screen)
                << cases[a].screen << " / " << cases[b].screen;
    dialog.DestroyWindow();
}
