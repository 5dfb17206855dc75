// One wheel notch of the cooling home page at 1520 × 900: the page scrolls by 100 rows of its
// bar and repaints whole over the window's background, as the paint manager lays it down
// before the controls, beside the floor of a plain GDI fill and blit of the same rectangle.
// The page keeps its children's looks over nothing and lays the band in view over whatever
// lies under it, so a notch costs the same over one colour and over a picture; drawn from
// scratch, the buttons' looks over the skin images the sample host writes beside the programs
// cost hundreds of times as much. Run it pinned to one CPU with its own wineserver
// (tools/bench.sh).
#include "BenchKit.h"

#include <cstdio>

using namespace KOVA;

namespace {

constexpr BenchKit::Runs kRuns { 5, 60 };
const CRect kPage(0, 0, 1520, 900);

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    const BenchKit::LibraryScope library(instance);
    {
        PaintManager manager;
        BenchKit::BackBuffer buffer(kPage.Width(), kPage.Height());
        CHomeFuncCtrl page(nullptr, 1, CRect(), 1, 1);
        page.SetManager(&manager);
        page.SetRect(kPage);
        for (int i = 0; i < 6; ++i)
            page.SetDeviceState(i, L"Device", true, L"");
        // Between the tiles and the archive, so that a notch either way keeps most children in view.
        page.GetScrollVertical()->SetScrollCurrentPos(1300);

        const double floor = BenchKit::medianMs(kRuns, [&](int) { buffer.fillAndBlit(); });
        // A notch over the background the window lays down first (ground copied in).
        const auto notchOver = [&](HDC ground) {
            return BenchKit::medianMs(kRuns, [&](int i) {
                MRender::BitBlt(buffer.target(), 0, 0, kPage.Width(), kPage.Height(), ground, 0, 0);
                page.OnScroll(1, i % 2, CPoint(700, 450));
                page.SetUpdate(0, 0);
                page.Draw(buffer.target(), kPage);
            });
        };
        MRender::FillSolidRect(buffer.source(), 0, 0, kPage.Width(), kPage.Height(), RGB(32, 32, 32));
        const double plain = notchOver(buffer.source());
        MRender::DrawGradient(buffer.source(), CRect(kPage), 0xFF202030, 0xFF402060, true, 64);
        const double picture = notchOver(buffer.source());
        printf("%-36s %9s %9s %7s\n", "home page wheel notch, 1520 x 900", "ms", "floor", "ratio");
        printf("%-36s %9.3f %9.3f %7.1f\n", "over one colour", plain, floor, plain / floor);
        printf("%-36s %9.3f %9.3f %7.1f\n", "over a picture", picture, floor, picture / floor);
    }
    return 0;
}
