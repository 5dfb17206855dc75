// One fast-timer tick of the 18-LED fan preview with 32 fans (576 LEDs) per light effect, at
// speed value 0 so that every effect but Temperature steps on every tick, beside a bare loop
// writing the same 576 colours and 1,728 bytes; then the preview's full redraw of those fans
// beside a plain GDI fill and blit of its rectangle. Goal: a tick within 0.2 ms. Run it pinned
// to one CPU with its own wineserver (tools/bench.sh).
#include "KOVA.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <vector>

using namespace KOVA;

namespace {

constexpr int kWarmups = 20;
constexpr int kRuns = 400;
constexpr int kFans = 32;
constexpr int kLeds = kFans * 18;
const CRect kPlace(0, 0, 1280, 720);

double nowMs()
{
    static LARGE_INTEGER frequency = [] { LARGE_INTEGER f; QueryPerformanceFrequency(&f); return f; }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double medianMs(const std::function<void(int)>& step)
{
    std::vector<double> samples;
    for (int i = 0; i < kWarmups + kRuns; ++i) {
        const double start = nowMs();
        step(i);
        if (i >= kWarmups)
            samples.push_back(nowMs() - start);
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

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
    const double ms = medianMs([&](int i) {
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

class Picture {
public:
    Picture()
    {
        HDC screen = ::GetDC(nullptr);
        m_dc = ::CreateCompatibleDC(screen);
        m_bitmap = ::CreateCompatibleBitmap(screen, kPlace.Width(), kPlace.Height());
        m_previous = ::SelectObject(m_dc, m_bitmap);
        ::ReleaseDC(nullptr, screen);
    }
    ~Picture()
    {
        ::SelectObject(m_dc, m_previous);
        ::DeleteObject(m_bitmap);
        ::DeleteDC(m_dc);
    }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    HDC& dc() { return m_dc; }

private:
    HDC m_dc { nullptr };
    HBITMAP m_bitmap { nullptr };
    HGDIOBJ m_previous { nullptr };
};

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    Manager::SetInstance(instance);
    Manager::InitGdiplus();
    {
        const double floor = bareLoopMs();
        printf("%-32s %9s %9s %7s\n", "one tick, 32 fans x 18 LEDs", "ms", "floor", "ratio");
        for (const Effect& effect : kEffects) {
            CFan2DevCtrl preview(nullptr, 1, kPlace, 1, 1);
            addFans(preview);
            preview.AddLightLayer(0, effect.mode, 16, 17, 2, 0, 0x0000FF, 0xFF0000, true);
            const double ms = medianMs([&](int) { preview.OnControlTimer(); });
            printf("%-32s %9.4f %9.4f %7.1f\n", effect.name, ms, floor, ms / floor);
        }

        PaintManager manager;
        CFan2DevCtrl preview(nullptr, 2, kPlace, 1, 1);
        preview.SetManager(&manager);
        addFans(preview);
        preview.AddLightLayer(0, 21, 16, 17, 2, 0, 0, 0, true);
        Picture target;
        Picture source;
        const double blit = medianMs([&](int) {
            MRender::FillSolidRect(source.dc(), 0, 0, kPlace.Width(), kPlace.Height(), RGB(32, 32, 32));
            MRender::BitBlt(target.dc(), 0, 0, kPlace.Width(), kPlace.Height(), source.dc(), 0, 0);
        });
        const double redraw = medianMs([&](int) {
            preview.OnControlTimer();
            preview.SetUpdate(0, 0);
            preview.Draw(target.dc(), kPlace);
        });
        printf("%-32s %9.3f %9.3f %7.1f\n", "full redraw, 32 fans", redraw, blit, redraw / blit);
        preview.SetManager(nullptr);
    }
    Manager::UnInitGdiplus();
    return 0;
}
