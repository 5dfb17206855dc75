// The system-information layouts 11 to 16 and 21 to 26 per frame, the sensor values changed
// every frame, each figure timed in one run over the same values: the whole frame as the hidden
// render publishes it (base, render, dimming, turn, JPEG, swap); the floor, a bare JPEG encode
// of the pixels that frame gave its encoder; the layout drawn through its still layer (render)
// on a pipeline of the bench's own and that pipeline turning and encoding what it drew
// (turn+enc), all four in the same rounds; and the layout drawn whole (uncached). The parts are
// timed on their own and do not add up to the frame, which also lays its base, copies its
// snapshot and stores its file. The frame budget is 30 ms.
#include "BenchKit.h"

#include <cstdio>

#include "lcd/renderer/LcdFramePipeline.h"

using namespace KOVA;

namespace {

constexpr BenchKit::Runs kRuns { 10, 100 };
constexpr double kBudgetMs = 30.0;
// The parts of a frame timed in the same rounds.
enum Part { Frame, Bare, Render, TurnEncode };

HARDWARE_INFO valuesOfFrame(int frame)
{
    const float f = static_cast<float>(frame % 50);
    HARDWARE_INFO info;
    info.cpuTemperature = 40 + f;
    info.cpuClock = 3000 + 40 * f;
    info.cpuLoad = 2 * f;
    info.gpuTemperature = 50 + f * 0.5f;
    info.gpuClock = 1500 + 20 * f;
    info.gpuLoad = 100 - 2 * f;
    info.memoryLoad = 30 + f;
    info.memoryUsed = 6 + f * 0.1f;
    info.memoryClock = 3200;
    info.memoryTemperature = 35 + f * 0.2f;
    info.memoryFree = 10;
    return info;
}

// The renderer with its layouts in reach: a layout drawn onto a DIB of the frame's size, as
// the frame's dispatch draws it.
class BenchLcd : public BenchKit::OpenLcd {
public:
    using OpenLcd::OpenLcd;
    using Layout = void (LEDModeCtrl::*)(Gdiplus::Graphics&, int&, int&, int);

    void render(int layout, HDC dc, bool cached)
    {
        static const Layout kDials[] = { &BenchLcd::DrawSystemInfoMode11, &BenchLcd::DrawSystemInfoMode12,
                                         &BenchLcd::DrawSystemInfoMode13, &BenchLcd::DrawSystemInfoMode14,
                                         &BenchLcd::DrawSystemInfoMode15, &BenchLcd::DrawSystemInfoMode16 };
        static const Layout kPlain[] = { &BenchLcd::DrawSystemInfoMode21, &BenchLcd::DrawSystemInfoMode22,
                                         &BenchLcd::DrawSystemInfoMode23, &BenchLcd::DrawSystemInfoMode24,
                                         &BenchLcd::DrawSystemInfoMode25, &BenchLcd::DrawSystemInfoMode26 };
        cacheLayers(cached);
        Gdiplus::Graphics g(dc);
        setUpAsFrame(g);
        int width = m_rect.Width();
        int height = m_rect.Height();
        const Layout draw = layout < 20 ? kDials[layout - 11] : kPlain[layout - 21];
        (this->*draw)(g, width, height, m_hardwareItem);
        g.Flush(Gdiplus::FlushIntentionSync);
        cacheLayers(true);
    }
};

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    const BenchKit::LibraryScope library(instance);
    {
        BenchKit::PlainDialog dialog;
        dialog.Create(nullptr, L"LcdLayoutsBench", WS_POPUP, 0, CRect(0, 0, 660, 500));
        struct Size {
            const char* name;
            int type;
            int width;
        };
        const Size sizes[] = { { "480x480 circle", LEDScreenCircle, 480 }, { "640x480", LEDScreenWide, 640 } };
        // One item per layout that shows a value and, where the layout has one, its dial mark.
        const int items[] = { 1, 10, 7, 1, 3, 2, 0, 10, 2, 1, 9, 4 };
        const int layouts[] = { 11, 12, 13, 14, 15, 16, 21, 22, 23, 24, 25, 26 };
        LcdJpegEncoder bare(640 * 480 * 4 * 2);
        printf("%-15s %-6s %9s %9s %9s %9s %9s %7s %7s\n", "screen", "layout", "render", "uncached", "turn+enc",
               "frame", "bare enc", "ratio", "budget");
        for (const Size& size : sizes) {
            auto* lcd = BenchKit::adopt(*dialog.GetPaintManager(),
                                        new BenchLcd(&dialog, 10, CRect(0, 0, size.width, 480), 1, 1));
            lcd->SetLEDScreenType(size.type);
            lcd->SetLEDMode(LEDModeSystemInfo);
            lcd->SetColor(0xFF101828, 0xFFFFFFFF, 0xFF00C0C0, 0xFFFF4020);
            LcdFramePipeline own(640 * 480 * 4 * 2);
            own.Prepare(nullptr, size.width, 480);
            // The circular screen is turned a quarter, as the renderer publishes it.
            const int degrees = size.type == LEDScreenCircle ? 90 : 0;
            for (size_t i = 0; i < sizeof(layouts) / sizeof(layouts[0]); ++i) {
                // Layouts 11 to 16 are laid out for the round screen only.
                if (layouts[i] < 20 && size.type != LEDScreenCircle)
                    continue;
                lcd->SetSensorType(layouts[i]);
                lcd->SetHardWareType(items[i]);
                auto values = [&](int round) {
                    lcd->SetHardWareInfo(valuesOfFrame(round));
                    own.FillPlain(RGB(0, 0, 0));
                };
                const std::vector<double> parts = BenchKit::partMediansMs(kRuns, 4, [&](int round, const BenchKit::PartTimer& time) {
                    values(round);
                    time(Frame, [&] { lcd->DrawHideControl(); });
                    BenchKit::timeBareEncode(bare, *lcd, 90, time, Bare);
                    time(Render, [&] { lcd->render(layouts[i], own.dc(), true); });
                    time(TurnEncode, [&] { own.Encode(degrees, 90); });
                });
                // Drawn whole in rounds of their own over the same values: its traces in the
                // caches would slow every part timed after it.
                const double uncached = BenchKit::partMediansMs(kRuns, 1, [&](int round, const BenchKit::PartTimer& time) {
                    values(round);
                    time(0, [&] { lcd->render(layouts[i], own.dc(), false); });
                })[0];
                printf("%-15s %-6d %9.3f %9.3f %9.3f %9.3f %9.3f %7.2f %6.1f%%\n", size.name, layouts[i], parts[Render], uncached,
                       parts[TurnEncode], parts[Frame], parts[Bare], parts[Frame] / parts[Bare], parts[Frame] / kBudgetMs * 100.0);
                fflush(stdout);
            }
            dialog.GetPaintManager()->RemoveControl(lcd);
        }
        dialog.DestroyWindow();
    }
    return 0;
}
