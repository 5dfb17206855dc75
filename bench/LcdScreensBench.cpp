// The carousel dials, the water-cooling screen and the weather screen, each with its sensor
// values (or its clock) changed every frame, each figure timed in one run over the same values:
// the whole published frame (base, render, turn and JPEG, as the fast-timer thread makes it);
// the bare JPEG encode of the pixels that frame gave its encoder; the render through the kept
// layer on a pipeline of the bench's own and that pipeline turning and encoding what it drew
// (turn+enc), all four in the same rounds; and the render drawn whole (uncached). The parts are
// timed on their own and do not add up to the frame, which also lays its base, copies its
// snapshot and stores its file. The frame budget is 30 ms.
#include "BenchKit.h"

#include <cstdio>

#include "lcd/renderer/LcdFramePipeline.h"

using namespace KOVA;

namespace {

constexpr BenchKit::Runs kRuns { 10, 200 };
constexpr double kBudgetMs = 30.0;
// The parts of a frame timed in the same rounds.
enum Part { Frame, Bare, Render, TurnEncode };

// A renderer whose screens the bench also draws onto a surface of its own, with the frame's
// settings, through the kept layer or whole.
class ScreensLcd : public BenchKit::OpenLcd {
public:
    using OpenLcd::OpenLcd;
    enum Screen { Memory, Cpu, Gpu, Water, Weather };
    void render(HDC dc, Screen screen, int item, int width, bool cached)
    {
        cacheLayers(cached);
        ScopedLock lock(m_stateLock);
        Gdiplus::Graphics g(dc);
        setUpAsFrame(g);
        int height = 480;
        switch (screen) {
        case Memory: DrawSystemInfoMode1(g, width, height, item); break;
        case Cpu: DrawSystemInfoMode2(g, width, height, item); break;
        case Gpu: DrawSystemInfoMode3(g, width, height, item); break;
        case Water: DrawWaterCoolingMode(g, width, height); break;
        case Weather: DrawWeatherMode(g, width, height); break;
        }
        // The published frames keep their layers.
        cacheLayers(true);
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
            LcdFramePipeline own(640 * 480 * 4 * 2);
            own.Prepare(nullptr, row.width, 480);
            // The circular screen is turned a quarter, as the renderer publishes it.
            const int degrees = row.type == LEDScreenCircle ? 90 : 0;
            // Every pass starts from the same clock, so the passes see the same values and times.
            auto values = [&](int round) {
                if (round == 0)
                    TimeSource::Pin(0, SYSTEMTIME { 2026, 3, 0, 14, 10, 8, 0, 0 });
                lcd->SetHardWareInfo(valuesOfFrame(round));
                TimeSource::Advance(1000);
                own.FillPlain(RGB(0, 0, 0));
            };
            const std::vector<double> parts = BenchKit::partMediansMs(kRuns, 4, [&](int round, const BenchKit::PartTimer& time) {
                values(round);
                time(Frame, [&] { lcd->DrawHideControl(); });
                BenchKit::timeBareEncode(bare, *lcd, 90, time, Bare);
                time(Render, [&] { lcd->render(own.dc(), row.screen, row.item, row.width, true); });
                time(TurnEncode, [&] { own.Encode(degrees, 90); });
            });
            // Drawn whole in rounds of their own over the same values: its traces in the caches
            // would slow every part timed after it.
            const double uncached = BenchKit::partMediansMs(kRuns, 1, [&](int round, const BenchKit::PartTimer& time) {
                values(round);
                time(0, [&] { lcd->render(own.dc(), row.screen, row.item, row.width, false); });
            })[0];
            TimeSource::Unpin();
            printf("%-24s %9.3f %9.3f %9.3f %9.3f %9.3f %7.2f %6.1f%%\n", row.name, parts[Render], uncached,
                   parts[TurnEncode], parts[Frame], parts[Bare], parts[Frame] / parts[Bare], parts[Frame] / kBudgetMs * 100.0);
            dialog.GetPaintManager()->RemoveControl(lcd);
        }
        dialog.DestroyWindow();
    }
    return 0;
}
