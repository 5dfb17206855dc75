// The carousel dials, the water-cooling screen and the weather screen, each with its sensor
// values (or its clock) changed every frame: the render through the kept layer, the same render
// drawn whole, and the whole published frame (render, turn and JPEG, as the fast-timer thread
// makes it), beside the bare JPEG encode of the same pixels. The frame budget is 30 ms.
#include "BenchKit.h"

#include <cstdio>

using namespace KOVA;

namespace {

constexpr BenchKit::Runs kRuns { 10, 200 };
constexpr double kBudgetMs = 30.0;

// An opaque black fill of the whole surface through GDI.
void paintBlack(BenchKit::DibSurface& surface)
{
    const RECT whole { 0, 0, surface.width(), surface.height() };
    SetBkColor(surface.dc(), RGB(0, 0, 0));
    ExtTextOutW(surface.dc(), 0, 0, ETO_OPAQUE, &whole, nullptr, 0, nullptr);
}

// A renderer whose screens the bench also draws onto a surface of its own, with the frame's
// settings, through the kept layer or whole.
class ScreensLcd : public BenchKit::OpenLcd {
public:
    using OpenLcd::OpenLcd;
    enum Screen { Memory, Cpu, Gpu, Water, Weather };
    void render(BenchKit::DibSurface& surface, Screen screen, int item, int width, bool cached)
    {
        cacheLayers(cached);
        ScopedLock lock(m_stateLock);
        paintBlack(surface);
        Gdiplus::Graphics g(surface.dc());
        setUpAsFrame(g);
        int height = 480;
        switch (screen) {
        case Memory: DrawSystemInfoMode1(g, width, height, item); break;
        case Cpu: DrawSystemInfoMode2(g, width, height, item); break;
        case Gpu: DrawSystemInfoMode3(g, width, height, item); break;
        case Water: DrawWaterCoolingMode(g, width, height); break;
        case Weather: DrawWeatherMode(g, width, height); break;
        }
    }
};

HARDWARE_INFO valuesOfFrame(int frame)
{
    HARDWARE_INFO info {};
    info.cpuTemperature = info.gpuTemperature = 30.0f + static_cast<float>(frame % 60);
    info.cpuLoad = info.gpuLoad = static_cast<float>(frame % 101);
    info.cpuClock = info.gpuClock = 800.0f + static_cast<float>(frame * 37 % 4000);
    info.memoryUsed = 4.0f + static_cast<float>(frame % 12);
    info.memoryFree = 16.0f - static_cast<float>(frame % 12);
    info.memoryClock = 3200;
    info.memoryTemperature = 40;
    return info;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    const BenchKit::LibraryScope library(instance);
    {
        BenchKit::PlainDialog dialog;
        dialog.Create(nullptr, L"LcdScreensBench", WS_POPUP, 0, CRect(0, 0, 660, 500));
        struct Row {
            const char* name;
            ScreensLcd::Screen screen;
            int item;
            int mode;
            int type;
            int width;
        };
        // The dials come through the carousel with one entry, the others through their modes.
        const Row rows[] = {
            { "memory dial (item 10)", ScreensLcd::Memory, HardwareMemoryLoad, LEDModeCarousel, LEDScreenCircle, 480 },
            { "CPU dial (item 3)", ScreensLcd::Cpu, HardwareCpuLoad, LEDModeCarousel, LEDScreenCircle, 480 },
            { "GPU dial (item 6)", ScreensLcd::Gpu, HardwareGpuLoad, LEDModeCarousel, LEDScreenCircle, 480 },
            { "water cooling 480x480", ScreensLcd::Water, 0, LEDModeWaterCooling, LEDScreenCircle, 480 },
            { "water cooling 640x480", ScreensLcd::Water, 0, LEDModeWaterCooling, LEDScreenWide, 640 },
            { "weather 480x480", ScreensLcd::Weather, 0, LEDModeWeather, LEDScreenCircle, 480 },
            { "weather 640x480", ScreensLcd::Weather, 0, LEDModeWeather, LEDScreenWide, 640 },
        };
        LcdJpegEncoder bare(640 * 480 * 4 * 2);
        printf("%-24s %9s %9s %9s %9s %9s %7s %7s\n", "screen", "render", "uncached", "turn+enc", "frame", "encode",
               "ratio", "budget");
        for (const Row& row : rows) {
            auto* lcd = BenchKit::adopt(*dialog.GetPaintManager(),
                                        new ScreensLcd(&dialog, 10, CRect(0, 0, row.width, 480), 1, 1));
            lcd->SetLEDScreenType(row.type);
            lcd->SetColor(Gdiplus::Color(0xFF102040), Gdiplus::Color(0xFFFFFFFF), Gdiplus::Color(0xFF20C040),
                          Gdiplus::Color(0xFFFF3020));
            lcd->AddCarousel(static_cast<UINT>(row.item));
            lcd->SetLEDMode(row.mode);
            BenchKit::DibSurface surface(row.width, 480);
            auto changed = [&](int frame) {
                lcd->SetHardWareInfo(valuesOfFrame(frame));
                TimeSource::Advance(1000);
            };
            TimeSource::Pin(0, SYSTEMTIME { 2026, 3, 0, 14, 10, 8, 0, 0 });
            const auto renderMs = [&](bool cached) {
                return BenchKit::medianMs(kRuns, [&](int i) {
                    changed(i);
                    lcd->render(surface, row.screen, row.item, row.width, cached);
                });
            };
            const double render = renderMs(true);
            const double uncached = renderMs(false);
            lcd->cacheLayers(true);
            const double frame = BenchKit::medianMs(kRuns, [&](int i) { changed(i); lcd->DrawHideControl(); });
            TimeSource::Unpin();
            const double encode = BenchKit::bareEncodeMs(kRuns, bare, *lcd, 90);
            printf("%-24s %9.3f %9.3f %9.3f %9.3f %9.3f %7.2f %6.1f%%\n", row.name, render, uncached, frame - render,
                   frame, encode, frame / encode, frame / kBudgetMs * 100.0);
            dialog.GetPaintManager()->RemoveControl(lcd);
        }
        dialog.DestroyWindow();
    }
    return 0;
}
