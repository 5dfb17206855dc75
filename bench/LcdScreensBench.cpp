// The carousel dials, the water-cooling screen and the weather screen, each with its sensor
// values (or its clock) changed every frame: the render through the kept layer, the same render
// drawn whole, and the whole published frame (render, turn and JPEG, as the fast-timer thread
// makes it), beside the bare JPEG encode of the same pixels. The frame budget is 30 ms.
#include "KOVA.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace KOVA;

namespace {

constexpr int kWarmups = 10;
constexpr int kRuns = 200;
constexpr double kBudgetMs = 30.0;

double nowMs()
{
    static LARGE_INTEGER frequency = [] { LARGE_INTEGER f; QueryPerformanceFrequency(&f); return f; }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double medianMs(const std::function<void(int)>& frame)
{
    std::vector<double> samples;
    for (int i = 0; i < kWarmups + kRuns; ++i) {
        const double start = nowMs();
        frame(i);
        if (i >= kWarmups)
            samples.push_back(nowMs() - start);
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// The published frame's pixels, top-down BGRA, for the bare encode.
std::vector<BYTE> decodedPixels(LEDModeCtrl& lcd, int& width, int& height)
{
    std::vector<BYTE> jpeg(640 * 480 * 4);
    int length = 0;
    if (!lcd.GetLEDData(jpeg.data(), length))
        return {};
    IStream* stream = SHCreateMemStream(jpeg.data(), static_cast<UINT>(length));
    std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream));
    stream->Release();
    width = static_cast<int>(bitmap->GetWidth());
    height = static_cast<int>(bitmap->GetHeight());
    std::vector<BYTE> pixels(static_cast<size_t>(width) * height * 4);
    Gdiplus::BitmapData data {};
    data.Width = width;
    data.Height = height;
    data.Stride = width * 4;
    data.PixelFormat = PixelFormat32bppARGB;
    data.Scan0 = pixels.data();
    Gdiplus::Rect whole(0, 0, width, height);
    bitmap->LockBits(&whole, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf, PixelFormat32bppARGB,
                     &data);
    bitmap->UnlockBits(&data);
    return pixels;
}

// A 32-bit top-down DIB in a memory DC, the surface a frame is drawn on.
class Surface {
public:
    Surface(int width, int height) : m_width(width), m_height(height)
    {
        BITMAPINFO info {};
        info.bmiHeader = { sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
        void* bits = nullptr;
        m_dc = CreateCompatibleDC(nullptr);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        m_previous = SelectObject(m_dc, m_bitmap);
    }
    ~Surface()
    {
        SelectObject(m_dc, m_previous);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    HDC& dc() { return m_dc; }
    void clear() const
    {
        const RECT whole { 0, 0, m_width, m_height };
        SetBkColor(m_dc, RGB(0, 0, 0));
        ExtTextOutW(m_dc, 0, 0, ETO_OPAQUE, &whole, nullptr, 0, nullptr);
    }

private:
    int m_width;
    int m_height;
    HDC m_dc { nullptr };
    HBITMAP m_bitmap { nullptr };
    HGDIOBJ m_previous { nullptr };
};

// A renderer whose screens the bench also draws onto a surface of its own, with the frame's
// settings, through the kept layer or whole.
class ScreensLcd : public LEDModeCtrl {
public:
    using LEDModeCtrl::LEDModeCtrl;
    enum Screen { Memory, Cpu, Gpu, Water, Weather };
    void render(Surface& surface, Screen screen, int item, int width, bool cached)
    {
        m_layersCached = cached;
        ScopedLock lock(m_stateLock);
        surface.clear();
        Gdiplus::Graphics g(surface.dc());
        g.SetTextRenderingHint(m_textRenderingHint);
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        int height = 480;
        switch (screen) {
        case Memory: DrawSystemInfoMode1(g, width, height, item); break;
        case Cpu: DrawSystemInfoMode2(g, width, height, item); break;
        case Gpu: DrawSystemInfoMode3(g, width, height, item); break;
        case Water: DrawWaterCoolingMode(g, width, height); break;
        case Weather: DrawWeatherMode(g, width, height); break;
        }
    }
    void cacheLayers(bool cached) { m_layersCached = cached; }
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

class BenchDialog : public MDialog {
public:
    void InitUI(CRect) override {}
};

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    Manager::SetInstance(instance);
    Manager::InitGdiplus();
    {
        BenchDialog dialog;
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
            auto* lcd = new ScreensLcd(&dialog, 10, CRect(0, 0, row.width, 480), 1, 1);
            lcd->SetManager(dialog.GetPaintManager());
            dialog.GetPaintManager()->AppendControl(lcd, 1);
            lcd->SetLEDScreenType(row.type);
            lcd->SetColor(Gdiplus::Color(0xFF102040), Gdiplus::Color(0xFFFFFFFF), Gdiplus::Color(0xFF20C040),
                          Gdiplus::Color(0xFFFF3020));
            lcd->AddCarousel(static_cast<UINT>(row.item));
            lcd->SetLEDMode(row.mode);
            Surface surface(row.width, 480);
            auto changed = [&](int frame) {
                lcd->SetHardWareInfo(valuesOfFrame(frame));
                TimeSource::Advance(1000);
            };
            TimeSource::Pin(0, SYSTEMTIME { 2026, 3, 0, 14, 10, 8, 0, 0 });
            const double render = medianMs([&](int i) { changed(i); lcd->render(surface, row.screen, row.item, row.width, true); });
            const double uncached =
                medianMs([&](int i) { changed(i); lcd->render(surface, row.screen, row.item, row.width, false); });
            lcd->cacheLayers(true);
            const double frame = medianMs([&](int i) { changed(i); lcd->DrawHideControl(); });
            TimeSource::Unpin();
            int width = 0;
            int height = 0;
            const std::vector<BYTE> pixels = decodedPixels(*lcd, width, height);
            const double encode = medianMs([&](int) { bare.Encode(pixels.data(), width, height, width * 4, 90); });
            printf("%-24s %9.3f %9.3f %9.3f %9.3f %9.3f %7.2f %6.1f%%\n", row.name, render, uncached, frame - render,
                   frame, encode, frame / encode, frame / kBudgetMs * 100.0);
            dialog.GetPaintManager()->RemoveControl(lcd);
        }
        dialog.DestroyWindow();
    }
    Manager::UnInitGdiplus();
    return 0;
}
