// One wheel notch of the cooling home page at 1520 × 900: the page scrolls by 100 rows of its
// bar and repaints whole over the window's background, as the paint manager lays it down
// before the controls, beside the floor of a plain GDI fill and blit of the same rectangle.
// The page keeps its children's looks over nothing and lays the band in view over whatever
// lies under it, so a notch costs the same over one colour and over a picture; drawn from
// scratch, the buttons' looks over the skin images the sample host writes beside the programs
// cost hundreds of times as much.
// Then the device tiles alone, 620 × 470, over a small two-frame strip stretched to every tile:
// the first paint of 1, 10 and 1,000 tiles and a repaint of the 1,000, beside the floor of a
// fill and blit of the control's rectangle. Only the tiles in view are drawn and the strip's
// frames are stretched once, so the first paint of 10 and of 1,000 tiles costs the six tiles in
// view, not the thousand; the last column compares it with the first paint of one tile. Run it
// pinned to one CPU with its own wineserver (tools/bench.sh).
#include "BenchKit.h"

#include <cstdio>
#include <memory>

using namespace KOVA;

namespace {

constexpr BenchKit::Runs kRuns { 5, 60 };
const CRect kPage(0, 0, 1520, 900);
constexpr BenchKit::Runs kTileRuns { 3, 21 };
const CRect kTiles(0, 0, 620, 470);
const wchar_t kTileStrip[] = L"bench-tile-strip.png";

std::unique_ptr<CDeviceCtrl> tilesOf(PaintManager& manager, int count)
{
    auto tiles = std::make_unique<CDeviceCtrl>(nullptr, 35, kTiles, 1, 1);
    tiles->SetManager(&manager);
    tiles->SetRect(kTiles);
    tiles->SetImage(kTileStrip, 2);
    for (int i = 0; i < count; ++i)
        tiles->AddDevice(L"Device", i, i, true, L"bench-no-device.png");
    return tiles;
}

// The device tiles' rows.
void benchTiles()
{
    if (!BenchKit::writeGradientPng(BenchKit::skinFolder() + kTileStrip, 64, 16, Gdiplus::Color(255, 40, 40, 60),
                                    Gdiplus::Color(255, 120, 40, 160), Gdiplus::LinearGradientModeHorizontal))
        return;
    PaintManager manager;
    BenchKit::BackBuffer buffer(kTiles.Width(), kTiles.Height());
    const auto draw = [&](CDeviceCtrl& tiles) {
        tiles.SetUpdate(0, 0);
        tiles.Draw(buffer.target(), kTiles);
    };
    std::unique_ptr<CDeviceCtrl> tiles;
    const auto firstPaint = [&](int count) {
        return BenchKit::sample(
                   kTileRuns, [&](int) { draw(*tiles); }, BenchKit::nowMs,
                   [&] { tiles = tilesOf(manager, count); })
            .median();
    };
    const double floor = BenchKit::medianMs(kRuns, [&](int) { buffer.fillAndBlit(); });
    const double one = firstPaint(1);
    printf("\n%-36s %9s %9s %7s %7s\n", "device tiles 620 x 470, strip 64 x 16", "ms", "floor", "ratio", "x one");
    for (const int count : { 1, 10, 1000 }) {
        const double ms = count == 1 ? one : firstPaint(count);
        printf("first paint, %-23d %9.3f %9.3f %7.1f %7.2f\n", count, ms, floor, ms / floor, ms / one);
    }
    const double repaint = BenchKit::medianMs(kRuns, [&](int) { draw(*tiles); });
    printf("%-36s %9.3f %9.3f %7.1f %7.2f\n", "repaint, 1000", repaint, floor, repaint / floor, repaint / one);
}

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
    benchTiles();
    return 0;
}
