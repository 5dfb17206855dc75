// One fast-timer tick of the 18-LED fan preview with 32 fans (576 LEDs) per light effect, at
// speed value 0 so that every effect but Temperature steps on every tick, beside a bare loop
// writing the same 576 colours and 1,728 bytes; then the preview's full redraw of those fans
// beside a plain GDI fill and blit of its rectangle. Goal: a tick within 0.2 ms. Run it pinned
// to one CPU with its own wineserver (tools/bench.sh).
#include "BenchKit.h"

#include <array>
#include <cstdio>
#include <vector>

using namespace KOVA;

namespace {

constexpr BenchKit::Runs kRuns { 20, 400 };
constexpr int kFans = 32;
constexpr int kLeds = kFans * 18;
const CRect kPlace(0, 0, 1280, 720);

struct Effect {
    const char* name;
    int mode;
};
const Effect kEffects[] = {
    { "Temperature", 3 }, { "DreamSpectrum", 10 }, { "Rainbow", 11 },        { "RainbowWave", 12 },
    { "RainbowChannel", 14 }, { "FrequencyFlashes", 15 }, { "Marquee", 16 }, { "Infinite", 17 },
    { "Sunny", 18 },      { "ColorWheel", 19 },    { "Breath", 20 },         { "RainbowWheel", 21 },
    { "ColorConvection", 22 }, { "Custom1l", 23 }, { "Static", 24 },
};

// 32 fans on channels of five, in four rows of eight.
void addFans(CFan2DevCtrl& preview)
{
    for (int slot = 0; slot < kFans; ++slot)
        preview.AddFan(2, slot / 5, slot % 5, slot % 8, slot / 8, slot % 18, slot % 2);
    preview.RefreshLedItemRect();
}

// The floor of a tick: every LED's colour and its three bytes written once.
double bareLoopMs()
{
    std::vector<DWORD> colors(kLeds);
    std::array<BYTE, kLeds * 3> bytes {};
    volatile BYTE sink = 0;
    const double ms = BenchKit::medianMs(kRuns, [&](int i) {
        for (int led = 0; led < kLeds; ++led) {
            const DWORD color = static_cast<DWORD>(led * 2654435761u + static_cast<unsigned>(i));
            colors[static_cast<size_t>(led)] = color;
            bytes[static_cast<size_t>(led) * 3] = GetRValue(color);
            bytes[static_cast<size_t>(led) * 3 + 1] = GetGValue(color);
            bytes[static_cast<size_t>(led) * 3 + 2] = GetBValue(color);
        }
        sink = bytes[static_cast<size_t>(i % kLeds)];
    });
    (void)sink;
    return ms;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    const BenchKit::LibraryScope library(instance);
    {
        const double floor = bareLoopMs();
        printf("%-32s %9s %9s %7s\n", "one tick, 32 fans x 18 LEDs", "ms", "floor", "ratio");
        for (const Effect& effect : kEffects) {
            CFan2DevCtrl preview(nullptr, 1, kPlace, 1, 1);
            addFans(preview);
            preview.AddLightLayer(0, effect.mode, 16, 17, 2, 0, 0x0000FF, 0xFF0000, true);
            const double ms = BenchKit::medianMs(kRuns, [&](int) { preview.OnControlTimer(); });
            printf("%-32s %9.4f %9.4f %7.1f\n", effect.name, ms, floor, ms / floor);
        }

        PaintManager manager;
        CFan2DevCtrl preview(nullptr, 2, kPlace, 1, 1);
        preview.SetManager(&manager);
        addFans(preview);
        preview.AddLightLayer(0, 21, 16, 17, 2, 0, 0, 0, true);
        BenchKit::BackBuffer buffer(kPlace.Width(), kPlace.Height());
        const double blit = BenchKit::medianMs(kRuns, [&](int) { buffer.fillAndBlit(); });
        const double redraw = BenchKit::medianMs(kRuns, [&](int) {
            preview.OnControlTimer();
            preview.SetUpdate(0, 0);
            preview.Draw(buffer.target(), kPlace);
        });
        printf("%-32s %9.3f %9.3f %7.1f\n", "full redraw, 32 fans", redraw, blit, redraw / blit);
        preview.SetManager(nullptr);
    }
    return 0;
}
