// The list box and the colour field: a wheel notch and the repaint that follows on a list of
// 100 and of 100,000 rows, each row a text of its own (only the shown rows are laid out and
// drawn, from their kept looks, so both should cost the same) beside the floor of a plain fill
// and blit of the list's rectangle; and the colour
// field's rebuild beside a bare loop of the 72,000 conversions it makes. Run it pinned to one
// CPU with its own wineserver (tools/bench.sh).
#include "BenchKit.h"

#include <cstdio>
#include <string>

using namespace KOVA;

namespace {

constexpr BenchKit::Runs kRuns { 10, 200 };
constexpr BenchKit::Runs kColourRuns { 10, 20 };
const CRect kPlace(0, 0, 300, 400);

// A notch down, or up every other run, then the repaint a window makes.
double notchMs(MListBox& list, HDC& target)
{
    return BenchKit::medianMs(kRuns, [&](int i) {
        list.OnScroll(1, i % 2 ? 0 : 1, CPoint(50, 50));
        list.SetUpdate(0, 0);
        list.Draw(target, kPlace);
    });
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    const BenchKit::LibraryScope library(instance);
    {
        PaintManager manager;
        BenchKit::BackBuffer buffer(kPlace.Width(), kPlace.Height());
        const double floor = BenchKit::medianMs(kRuns, [&](int) { buffer.fillAndBlit(); });
        printf("%-34s %9s %9s %7s\n", "wheel notch + repaint", "ms", "floor", "ratio");
        for (int rows : { 100, 100000 }) {
            MListBox list(nullptr, 1, kPlace, 1);
            list.SetManager(&manager);
            list.SetControlRect(kPlace);
            for (int i = 0; i < rows; ++i)
                list.AddString((L"List row " + std::to_wstring(i)).c_str(), -1);
            list.GetScrollVertical()->SetScrollCurrentPos(list.GetScrollVertical()->GetScrollMaxRange() / 2);
            const double ms = notchMs(list, buffer.target());
            printf("MListBox, %-24d %9.3f %9.3f %7.1f\n", rows, ms, floor, ms / floor);
        }

        MPalette palette(nullptr, 2, CRect(0, 0, 300, 150), 1);
        palette.SetManager(&manager);
        volatile COLORREF sink = 0;
        const double bare = BenchKit::medianMs(kColourRuns, [&](int) {
            for (int y = 0; y < 200; ++y)
                for (int x = 0; x < 360; ++x)
                    sink = sink + HSLToRGB(static_cast<float>(x) / 360.0f, 1.0f, static_cast<float>(y) / 200.0f);
        });
        const double rebuild =
            BenchKit::medianMs(kColourRuns, [&](int i) { palette.SetControlRect(CRect(0, 0, 300 + i % 2, 150)); });
        printf("%-34s %9s %9s %7s\n", "colour field", "ms", "bare", "ratio");
        printf("%-34s %9.3f %9.3f %7.2f\n", "MPalette rebuild / 72,000 HSLToRGB", rebuild, bare, rebuild / bare);
    }
    return 0;
}
