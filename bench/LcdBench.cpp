// One LCD frame, drawn, turned and encoded the way the renderer publishes it (the hidden render,
// as the fast-timer thread runs it), per LED mode and screen size, beside the floor of a bare
// JPEG encode, at the same quality, of the pixels that very frame gave the encoder: each round
// times the frame, then the encode of its pixels. The frame budget is 30 ms.
#include "BenchKit.h"

#include <cstdio>

using namespace KOVA;

namespace {

constexpr BenchKit::Runs kRuns { 10, 200 };
constexpr double kBudgetMs = 30.0;

// The window LED mode 5 copies: colour bands and text, so the JPEG has real work to do.
LRESULT CALLBACK paintBands(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_PAINT)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    for (int band = 0; band < 16; ++band) {
        RECT r { band * 40, 0, band * 40 + 40, 480 };
        MRender::FillSolidRect(dc, &r, RGB(band * 16, 255 - band * 12, (band * 97) % 256));
    }
    SetBkMode(dc, TRANSPARENT);
    for (int line = 0; line < 12; ++line)
        TextOutW(dc, 20, 20 + line * 36, L"CPU 45\x2103  GPU 61\x2103  4321 MHz", 27);
    EndPaint(hwnd, &paint);
    return 0;
}

HWND bandsWindow()
{
    HWND hwnd = BenchKit::openWindow(L"LcdBenchBands", paintBands, WS_POPUP | WS_VISIBLE, 700, 0, 640, 480);
    UpdateWindow(hwnd);
    return hwnd;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    const BenchKit::LibraryScope library(instance);
    {
        HWND bands = bandsWindow();
        BenchKit::PlainDialog dialog;
        dialog.Create(nullptr, L"LcdBench", WS_POPUP, 0, CRect(0, 0, 660, 500));
        struct Screen {
            const char* name;
            int type;
            int width;
            int rotation;
        };
        const Screen screens[] = {
            { "480x480 circle", LEDScreenCircle, 480, 0 },
            { "480x480 square", LEDScreenSquare, 480, 0 },
            { "640x480", LEDScreenWide, 640, 0 },
            { "480x480 square, rotation 45", LEDScreenSquare, 480, 45 },
        };
        LcdJpegEncoder bare(640 * 480 * 4 * 2);
        printf("%-30s %-5s %10s %10s %7s %8s\n", "screen", "mode", "frame ms", "encode ms", "ratio", "budget");
        for (const Screen& screen : screens) {
            auto* lcd = BenchKit::adopt(*dialog.GetPaintManager(),
                                        new BenchKit::OpenLcd(&dialog, 10, CRect(0, 0, screen.width, 480), 1, 1));
            lcd->SetLEDScreenType(screen.type);
            lcd->SetRotate(screen.rotation);
            lcd->SetCaptureWindow(bands);
            lcd->SetBrightness(80);
            for (UINT item : { 1u, 3u, 7u })
                lcd->AddCarousel(item);
            for (int mode = 0; mode <= 7; ++mode) {
                lcd->SetLEDMode(mode);
                const int quality = (mode == 1 || mode == 5 || mode == 7) ? 60 : 90;
                const std::vector<double> parts = BenchKit::partMediansMs(kRuns, 2, [&](int, const BenchKit::PartTimer& time) {
                    time(0, [&] { lcd->DrawHideControl(); });
                    BenchKit::timeBareEncode(bare, *lcd, quality, time, 1);
                });
                const double frame = parts[0];
                const double encode = parts[1];
                printf("%-30s %-5d %10.3f %10.3f %7.2f %7.1f%%\n", screen.name, mode, frame, encode, frame / encode,
                       frame / kBudgetMs * 100.0);
            }
            dialog.GetPaintManager()->RemoveControl(lcd);
        }
        dialog.DestroyWindow();
        DestroyWindow(bands);
    }
    return 0;
}
