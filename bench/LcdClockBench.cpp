// The round clock faces over a still picture, the time moving on a second every frame: the
// whole published frame (face, turn and JPEG, as the fast-timer thread makes it) with the still
// layer and drawn whole (as every frame is over a GIF or video background), beside the bare
// JPEG encode of the same pixels. The digital faces draw texts only, the analogue faces three
// hands. The picture has the screen's size, as the host's media exporter makes them. The wide
// faces follow, on a 640 x 480 control, over the picture as a still and as a GIF's frame (drawn
// every frame; the bench's picture has one frame, so no GIF frame is decoded). The frame
// budget is 30 ms.
#include "BenchKit.h"

#include <cstdio>

using namespace KOVA;

namespace {

constexpr BenchKit::Runs kRuns { 10, 200 };
// Drawn whole, a frame stretches the picture again: a few runs tell that cost.
constexpr BenchKit::Runs kUncachedRuns { 10, 20 };
constexpr double kBudgetMs = 30.0;
constexpr int kClockQuality = 60;

// The published frame, each round a second later than the last so that the clock moves on
// every frame.
double frameMs(LEDModeCtrl& lcd, BenchKit::Runs runs = kRuns)
{
    const auto nextSecond = [] { TimeSource::Advance(1000); };
    return BenchKit::sample(runs, [&](int) { lcd.DrawHideControl(); }, BenchKit::nowMs, nextSecond).median();
}

std::unique_ptr<Gdiplus::Bitmap> diagonalGradient(int width, int height, Gdiplus::Color from, Gdiplus::Color to)
{
    return BenchKit::gradientBitmap(width, height, from, to, Gdiplus::LinearGradientModeForwardDiagonal);
}

// A renderer given its clock picture, icons and hands the way its loaders leave them.
class ClockLcd : public BenchKit::OpenLcd {
public:
    using OpenLcd::OpenLcd;
    // The picture has the width of the screen, as the host's media exporter makes them.
    void dress(int width = 480)
    {
        ScopedLock lock(m_stateLock);
        give(m_clockBackground, diagonalGradient(width, 480, Gdiplus::Color(0xFF103060), Gdiplus::Color(0xFF60A0E0)));
        const int handSizes[3][2] = { { 12, 110 }, { 8, 160 }, { 4, 190 } };
        for (int i = 0; i < 3; ++i) {
            give(m_hands[i], diagonalGradient(handSizes[i][0], handSizes[i][1], Gdiplus::Color(0xFFFFFFFF),
                                              Gdiplus::Color(0xFFC0C0C0)));
            give(m_icons[i], diagonalGradient(48, 48, Gdiplus::Color(0xFFFFD040), Gdiplus::Color(0xFFFF6020)));
        }
        InvalidateLayers();
    }
    void backgroundKind(int kind)
    {
        ScopedLock lock(m_stateLock);
        m_clockMediaKind = kind;
        m_clockFrameCount = kind == MediaKindGif ? 2 : 1;
    }

private:
    static void give(LcdImage& target, std::unique_ptr<Gdiplus::Bitmap> bitmap)
    {
        target.width = static_cast<int>(bitmap->GetWidth());
        target.height = static_cast<int>(bitmap->GetHeight());
        target.image = std::move(bitmap);
    }
};

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    const BenchKit::LibraryScope library(instance);
    {
        BenchKit::PlainDialog dialog;
        dialog.Create(nullptr, L"LcdClockBench", WS_POPUP, 0, CRect(0, 0, 500, 500));
        auto* lcd = BenchKit::adopt(*dialog.GetPaintManager(), new ClockLcd(&dialog, 10, CRect(0, 0, 480, 480), 1, 1));
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
            const double uncached = frameMs(*lcd, kUncachedRuns);
            lcd->cacheLayers(true);
            const double frame = frameMs(*lcd);
            TimeSource::Unpin();
            const double encode = BenchKit::bareEncodeMs(kRuns, bare, *lcd, kClockQuality);
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
    return 0;
}
