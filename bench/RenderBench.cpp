// Per-call cost of the drawing routines every control leans on: a nine-grid frame and the
// text measurement, beside the floor of a plain DrawImage of the same size and a bare
// MeasureString of the same text.
#include "KOVA.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace KOVA;

namespace {

constexpr int kWarmups = 20;
constexpr int kRuns = 200;

double nowUs()
{
    static LARGE_INTEGER frequency = [] { LARGE_INTEGER f; QueryPerformanceFrequency(&f); return f; }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

void report(const char* what, const std::function<void()>& call)
{
    std::vector<double> samples;
    for (int i = 0; i < kWarmups + kRuns; ++i) {
        const double start = nowUs();
        call();
        if (i >= kWarmups)
            samples.push_back(nowUs() - start);
    }
    std::sort(samples.begin(), samples.end());
    printf("%-44s min %8.1f us  median %8.1f us\n", what, samples.front(), samples[samples.size() / 2]);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    Manager::SetInstance(instance);
    Manager::InitGdiplus();
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
        report("floor: DrawImage stretched 64x64 -> 400x120", [&] { graphics.DrawImage(&skin, 0, 0, 400, 120); });
        report("DrawImageFrame nine-grid 64x64 -> 400x120",
               [&] { MRender::DrawImageFrame(graphics, &skin, button, 0, 0, 64, 64, 8); });

        Gdiplus::FontFamily family(L"DejaVu Sans");
        Gdiplus::Font font(&family, 14, Gdiplus::FontStyleRegular, Gdiplus::UnitPixel);
        const CString text = L"Coolant 31.5 \u2103";
        report("floor: MeasureString", [&] {
            Gdiplus::RectF bounds;
            graphics.MeasureString(text, text.GetLength(), &font, Gdiplus::PointF(0, 0), &bounds);
        });
        report("GetTextBounds", [&] { MRender::GetTextBounds(font, text); });
    }
    Manager::UnInitGdiplus();
    return 0;
}
