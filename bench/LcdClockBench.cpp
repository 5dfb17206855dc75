// The round clock faces over a still picture, the time moving on a second every frame: the
// whole published frame (face, turn and JPEG, as the fast-timer thread makes it) with the still
// layer and drawn whole (as every frame is over a GIF or video background), beside the bare
// JPEG encode of the same pixels. The digital faces draw texts only, the analogue faces three
// hands. The picture has the screen's size, as the host's media exporter makes them. The wide
// faces follow, on a 640 x 480 control, over the picture as a still and as a GIF's frame (drawn
// every frame; the bench's picture has one frame, so no GIF frame is decoded). The frame
// budget is 30 ms.
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
// Drawn whole, a frame stretches the picture again: a few runs tell that cost.
constexpr int kUncachedRuns = 20;
constexpr double kBudgetMs = 30.0;
constexpr int kClockQuality = 60;

double nowMs()
{
    static LARGE_INTEGER frequency = [] { LARGE_INTEGER f; QueryPerformanceFrequency(&f); return f; }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double medianMs(const std::function<void()>& frame, int runs = kRuns)
{
    std::vector<double> samples;
    for (int i = 0; i < kWarmups + runs; ++i) {
        TimeSource::Advance(1000);
        const double start = nowMs();
        frame();
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

Gdiplus::Bitmap* paintedBitmap(int width, int height, Gdiplus::Color from, Gdiplus::Color to)
{
    auto* bitmap = new Gdiplus::Bitmap(width, height, PixelFormat32bppARGB);
    Gdiplus::Graphics g(bitmap);
    Gdiplus::LinearGradientBrush fill(Gdiplus::Rect(0, 0, width, height), from, to,
                                      Gdiplus::LinearGradientModeForwardDiagonal);
    g.FillRectangle(&fill, 0, 0, width, height);
    return bitmap;
}

// A renderer given its clock picture, icons and hands the way its loaders leave them.
class ClockLcd : public LEDModeCtrl {
public:
    using LEDModeCtrl::LEDModeCtrl;
    // The picture has the width of the screen, as the host's media exporter makes them.
    void dress(int width = 480)
    {
        ScopedLock lock(m_stateLock);
        give(m_clockBackground, paintedBitmap(width, 480, Gdiplus::Color(0xFF103060), Gdiplus::Color(0xFF60A0E0)));
        const int handSizes[3][2] = { { 12, 110 }, { 8, 160 }, { 4, 190 } };
        for (int i = 0; i < 3; ++i) {
            give(m_hands[i], paintedBitmap(handSizes[i][0], handSizes[i][1], Gdiplus::Color(0xFFFFFFFF),
                                           Gdiplus::Color(0xFFC0C0C0)));
            give(m_icons[i], paintedBitmap(48, 48, Gdiplus::Color(0xFFFFD040), Gdiplus::Color(0xFFFF6020)));
        }
        InvalidateLayers();
    }
    void cacheLayers(bool cached) { m_layersCached = cached; }
    void backgroundKind(int kind)
    {
        ScopedLock lock(m_stateLock);
        m_clockMediaKind = kind;
        m_clockFrameCount = kind == MediaKindGif ? 2 : 1;
    }

private:
    static void give(LcdImage& target, Gdiplus::Bitmap* bitmap)
    {
        target.image.reset(bitmap);
        target.width = static_cast<int>(bitmap->GetWidth());
        target.height = static_cast<int>(bitmap->GetHeight());
    }
};

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
        dialog.Create(nullptr, L"LcdClockBench", WS_POPUP, 0, CRect(0, 0, 500, 500));
        auto* lcd = new ClockLcd(&dialog, 10, CRect(0, 0, 480, 480), 1, 1);
        lcd->SetManager(dialog.GetPaintManager());
        dialog.GetPaintManager()->AppendControl(lcd, 1);
        lcd->SetTextFont(L"DejaVu Sans");
        lcd->SetColor(Gdiplus::Color(0xFF000000), Gdiplus::Color(0xFFFFFFFF), Gdiplus::Color(0xFF20C040),
                      Gdiplus::Color(0xFFFF3020));
        lcd->SetWeatherValue(L"Shenzhen", L"20\x2103", L"64", L"37", L"10", L"22", L"Rain");
        lcd->SetLEDMode(LEDModeClock);
        lcd->dress();
        LcdJpegEncoder bare(640 * 480 * 4);
        printf("%-28s %9s %9s %9s %7s %7s\n", "round face over a picture", "frame", "uncached", "encode", "ratio",
               "budget");
        const char* const kinds[] = { "digital", "digital", "digital", "analogue", "digital", "analogue", "analogue",
                                      "digital" };
        const char* const wideKinds[] = { "digital", "analogue", "digital", "analogue", "digital", "digital",
                                          "digital", "digital" };
        auto measure = [&](int type, int style, const char* kind) {
            lcd->SetLEDScreenType(type);
            lcd->SetColockType(style);
            TimeSource::Pin(0, SYSTEMTIME { 2026, 3, 6, 14, 10, 8, 0, 0 });
            lcd->cacheLayers(false);
            const double uncached = medianMs([&] { lcd->DrawHideControl(); }, kUncachedRuns);
            lcd->cacheLayers(true);
            const double frame = medianMs([&] { lcd->DrawHideControl(); });
            TimeSource::Unpin();
            int width = 0;
            int height = 0;
            const std::vector<BYTE> pixels = decodedPixels(*lcd, width, height);
            const double encode =
                medianMs([&] { bare.Encode(pixels.data(), width, height, width * 4, kClockQuality); });
            char name[64];
            snprintf(name, sizeof(name), "type %d face %d (%s)", type, style, kind);
            printf("%-28s %9.3f %9.3f %9.3f %7.2f %6.1f%%\n", name, frame, uncached, encode, frame / encode,
                   frame / kBudgetMs * 100.0);
        };
        for (int type : { LEDScreenCircle, LEDScreenSquare })
            for (int style = 1; style <= 8; ++style)
                measure(type, style, kinds[style - 1]);
        lcd->SetControlRect(CRect(0, 0, 640, 480));
        lcd->dress(640);
        for (int kind : { MediaKindPicture, MediaKindGif }) {
            lcd->backgroundKind(kind);
            printf("wide face over a %s\n", kind == MediaKindGif ? "GIF frame" : "still picture");
            for (int style = 1; style <= 8; ++style)
                measure(LEDScreenWide, style, wideKinds[style - 1]);
        }
        dialog.GetPaintManager()->RemoveControl(lcd);
        dialog.DestroyWindow();
    }
    Manager::UnInitGdiplus();
    return 0;
}
