// Per-call cost of the drawing routines every control leans on: a nine-grid frame and the
// text measurement, beside the floor of a plain DrawImage of the same size and a bare
// MeasureString of the same text.
#include "BenchKit.h"

#include <cstdio>

using namespace KOVA;

namespace {

constexpr BenchKit::Runs kRuns { 20, 200 };

void report(const char* what, const std::function<void(int)>& call)
{
    const BenchKit::Samples samples = BenchKit::sample(kRuns, call, BenchKit::nowUs);
    printf("%-44s min %8.1f us  median %8.1f us\n", what, samples.min(), samples.median());
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    const BenchKit::LibraryScope library(instance);
    {
        // A 64×64 skin piece with a distinct border, drawn into a 400×120 button.
        Gdiplus::Bitmap skin(64, 64, PixelFormat32bppARGB);
        {
            Gdiplus::Graphics g(&skin);
            g.Clear(Gdiplus::Color(255, 58, 110, 165));
            Gdiplus::Pen edge(Gdiplus::Color(255, 160, 196, 232), 8);
            g.DrawRectangle(&edge, 4, 4, 56, 56);
        }
        Gdiplus::Bitmap target(400, 120, PixelFormat32bppARGB);
        Gdiplus::Graphics graphics(&target);
        const CRect button(0, 0, 400, 120);
        report("floor: DrawImage stretched 64x64 -> 400x120", [&](int) { graphics.DrawImage(&skin, 0, 0, 400, 120); });
        report("DrawImageFrame nine-grid 64x64 -> 400x120",
               [&](int) { MRender::DrawImageFrame(graphics, &skin, button, 0, 0, 64, 64, 8); });

        Gdiplus::FontFamily family(L"DejaVu Sans");
        Gdiplus::Font font(&family, 14, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
        const CString text = L"Coolant 31.5 \u2103";
        report("floor: MeasureString", [&](int) {
            Gdiplus::RectF bounds;
            graphics.MeasureString(text, text.GetLength(), &font, Gdiplus::PointF(0, 0), &bounds);
        });
        report("GetTextBounds", [&](int) { MRender::GetTextBounds(font, text); });
    }
    return 0;
}
