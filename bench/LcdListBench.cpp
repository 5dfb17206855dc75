// One hover repaint of the LCD lists: the media list with 24 thumbnails and the mode list with
// 50 rows, the pointer stepping to the next item before each repaint, each beside the floor of
// a plain GDI fill and blit of the same rectangle. Run it pinned to one CPU with its own
// wineserver (tools/bench.sh).
#include "BenchKit.h"

#include <cstdio>
#include <vector>

using namespace KOVA;

namespace {

constexpr BenchKit::Runs kRuns { 10, 200 };
constexpr int kThumbnails = 24;
constexpr int kRows = 50;
const CRect kPlace(0, 0, 420, 400);

// Moves the pointer onto the next of a few items and repaints the list as the window would.
double hoverRepaintMs(MControl& list, BenchKit::BackBuffer& buffer, const std::vector<CPoint>& points)
{
    return BenchKit::medianMs(kRuns, [&](int i) {
        list.OnMouseMove(0, points[static_cast<size_t>(i) % points.size()]);
        list.SetUpdate(0, 0);
        list.Draw(buffer.target(), kPlace);
    });
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    const BenchKit::LibraryScope library(instance);
    {
        // A 1024 × 768 photo-like picture: a diagonal gradient.
        const CString picture = BenchKit::tempFolder() + L"kova-list-bench.png";
        BenchKit::writeGradientPng(picture, 1024, 768, Gdiplus::Color(255, 40, 90, 200),
                                   Gdiplus::Color(255, 189, 48, 255), Gdiplus::LinearGradientModeForwardDiagonal);
        PaintManager manager;
        BenchKit::BackBuffer buffer(kPlace.Width(), kPlace.Height());
        LEDImageCtrl media(nullptr, 1, kPlace, 1, 1);
        for (int i = 0; i < kThumbnails; ++i)
            media.AddItem(picture, MediaKindPicture);
        LEDModeList modes(nullptr, 2, kPlace, 1, 1);
        modes.SetManager(&manager);
        modes.SetControlRect(kPlace);
        for (int i = 0; i < kRows; ++i)
            modes.AddItem(L"Screen mode", L"", i);
        modes.GetScrollVertical()->SetScrollCurrentPos(modes.GetScrollVertical()->GetScrollMaxRange() / 2);

        const double floor = BenchKit::medianMs(kRuns, [&](int) { buffer.fillAndBlit(); });
        const double mediaMs = hoverRepaintMs(media, buffer, { { 50, 50 }, { 150, 50 }, { 250, 50 } });
        const double modesMs = hoverRepaintMs(modes, buffer, { { 50, 50 }, { 50, 90 }, { 50, 130 } });
        printf("%-32s %9s %9s %7s\n", "hover repaint", "ms", "floor", "ratio");
        printf("%-32s %9.3f %9.3f %7.1f\n", "LEDImageCtrl, 24 thumbnails", mediaMs, floor, mediaMs / floor);
        printf("%-32s %9.3f %9.3f %7.1f\n", "LEDModeList, 50 rows", modesMs, floor, modesMs / floor);
        DeleteFileW(picture);
    }
    return 0;
}
