// The analogue clock's raw frame (ClockCtrl::GetLEDData, the second moving each call) beside
// one bare stretched DrawImage of its 480 × 480 background onto a DIB, and the capture view's
// paint of a shown window. The frame budget of the device is 30 ms.
#include "BenchKit.h"

#include <cstdio>
#include <memory>
#include <vector>

using namespace KOVA;

namespace {

constexpr BenchKit::Runs kRuns { 10, 300 };
constexpr double kBudgetMs = 30.0;
constexpr int kSide = 480;

// A dial with a ring and a rim, and a second hand: what a clock's skin gives.
void writeSkin(const CString& folder)
{
    Gdiplus::Bitmap dial(kSide, kSide, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&dial);
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        Gdiplus::LinearGradientBrush ground(Gdiplus::Rect(0, 0, kSide, kSide), Gdiplus::Color(0xFF10203A),
                                            Gdiplus::Color(0xFF4070B0), Gdiplus::LinearGradientModeVertical);
        g.FillEllipse(&ground, 0, 0, kSide, kSide);
        Gdiplus::Pen rim(Gdiplus::Color(0xFFE0E0E0), 8.0f);
        g.DrawEllipse(&rim, 20, 20, kSide - 40, kSide - 40);
    }
    BenchKit::savePng(dial, folder + L"bench-clock-dial.png");
    Gdiplus::Bitmap hand(6, 200, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics g(&hand);
        Gdiplus::SolidBrush red(Gdiplus::Color(0xFFFF4030));
        g.FillRectangle(&red, 0, 0, 6, 200);
    }
    BenchKit::savePng(hand, folder + L"bench-clock-hand.png");
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    const BenchKit::LibraryScope library(instance);
    const CString folder = BenchKit::skinFolder();
    writeSkin(folder);
    {
        BenchKit::PlainDialog dialog;
        dialog.Create(nullptr, L"ClockCtrlBench", WS_POPUP | WS_VISIBLE, 0, CRect(0, 0, 500, 500));
        auto* clock = BenchKit::adopt(*dialog.GetPaintManager(),
                                      new ClockCtrl(&dialog, 10, CRect(0, 0, kSide, kSide), 1, 1));
        clock->SetImage(L"bench-clock-dial.png", 1);
        clock->SetHMSImage(L"bench-clock-hand.png", L"bench-clock-hand.png", L"bench-clock-hand.png");
        std::vector<BYTE> frame(ClockCtrl::kFrameBytes);
        TimeSource::Pin(0, SYSTEMTIME { 2026, 3, 0, 14, 10, 8, 0, 0 });
        const double pull = BenchKit::medianMs(kRuns, [&](int) {
            TimeSource::Advance(1000);
            clock->GetLEDData(frame.data());
        });
        TimeSource::Unpin();

        std::unique_ptr<Gdiplus::Image> dial(new Gdiplus::Image(folder + L"bench-clock-dial.png"));
        BenchKit::DibSurface surface(kSide, kSide);
        const double stretch = BenchKit::medianMs(kRuns, [&](int) {
            Gdiplus::Graphics g(surface.dc());
            g.DrawImage(dial.get(), Gdiplus::Rect(0, 0, kSide, kSide));
        });

        // The capture view shrinks the whole dialog (the clock in it) into 240 × 240.
        auto* capture = new CaptureCtrl(&dialog, 11, CRect(0, 0, 240, 240), 1, 1);
        capture->SetCaptureWnd(dialog.GetSafeHwnd());
        HDC target = surface.dc();
        const double captured = BenchKit::medianMs(kRuns, [&](int) {
            capture->SetUpdate(0, 0);
            capture->DrawControl(target, CRect(0, 0, 240, 240));
        });
        delete capture;

        printf("%-34s %9s %7s\n", "step", "median", "budget");
        printf("%-34s %8.3f ms %6.1f%%\n", "ClockCtrl::GetLEDData", pull, pull / kBudgetMs * 100.0);
        printf("%-34s %8.3f ms %6.1f%%\n", "bare stretched DrawImage 480x480", stretch, stretch / kBudgetMs * 100.0);
        printf("%-34s %8.3f ms %6.1f%%\n", "CaptureCtrl paint (500x500 -> 240)", captured, captured / kBudgetMs * 100.0);
        printf("GetLEDData / bare stretch: %.2f\n", pull / stretch);
        dialog.DestroyWindow();
    }
    return 0;
}
