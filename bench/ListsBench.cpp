// The list box and the colour field: a wheel notch and the repaint that follows on a list of
// 100 and of 100,000 rows (only the shown rows are laid out and drawn, so both should cost
// the same) beside the floor of a plain fill and blit of the list's rectangle; and the colour
// field's rebuild beside a bare loop of the 72,000 conversions it makes. Run it pinned to one
// CPU with its own wineserver (tools/bench.sh).
#include "KOVA.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace KOVA;

namespace {

constexpr int kWarmups = 10;
constexpr int kRuns = 200;
const CRect kPlace(0, 0, 300, 400);

double nowMs()
{
    static LARGE_INTEGER frequency = [] { LARGE_INTEGER f; QueryPerformanceFrequency(&f); return f; }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double medianMs(int runs, const std::function<void(int)>& step)
{
    std::vector<double> samples;
    for (int i = 0; i < kWarmups + runs; ++i) {
        const double start = nowMs();
        step(i);
        if (i >= kWarmups)
            samples.push_back(nowMs() - start);
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// A memory picture of the list's size: the window's back buffer stand-in and the floor's source.
class Picture {
public:
    Picture()
    {
        HDC screen = ::GetDC(nullptr);
        m_dc = ::CreateCompatibleDC(screen);
        m_bitmap = ::CreateCompatibleBitmap(screen, kPlace.Width(), kPlace.Height());
        m_previous = ::SelectObject(m_dc, m_bitmap);
        ::ReleaseDC(nullptr, screen);
    }
    ~Picture()
    {
        ::SelectObject(m_dc, m_previous);
        ::DeleteObject(m_bitmap);
        ::DeleteDC(m_dc);
    }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    HDC& dc() { return m_dc; }

private:
    HDC m_dc { nullptr };
    HBITMAP m_bitmap { nullptr };
    HGDIOBJ m_previous { nullptr };
};

// A notch down, or up every other run, then the repaint a window makes.
double notchMs(MListBox& list, HDC& target)
{
    return medianMs(kRuns, [&](int i) {
        list.OnScroll(1, i % 2 ? 0 : 1, CPoint(50, 50));
        list.SetUpdate(0, 0);
        list.Draw(target, kPlace);
    });
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    Manager::SetInstance(instance);
    Manager::InitGdiplus();
    {
        PaintManager manager;
        Picture target;
        Picture source;
        const double floor = medianMs(kRuns, [&](int) {
            MRender::FillSolidRect(source.dc(), 0, 0, kPlace.Width(), kPlace.Height(), RGB(32, 32, 32));
            MRender::BitBlt(target.dc(), 0, 0, kPlace.Width(), kPlace.Height(), source.dc(), 0, 0);
        });
        printf("%-34s %9s %9s %7s\n", "wheel notch + repaint", "ms", "floor", "ratio");
        for (int rows : { 100, 100000 }) {
            MListBox list(nullptr, 1, kPlace, 1);
            list.SetManager(&manager);
            list.SetControlRect(kPlace);
            for (int i = 0; i < rows; ++i)
                list.AddString(L"A list row", -1);
            list.GetScrollVertical()->SetScrollCurrentPos(list.GetScrollVertical()->GetScrollMaxRange() / 2);
            const double ms = notchMs(list, target.dc());
            printf("MListBox, %-24d %9.3f %9.3f %7.1f\n", rows, ms, floor, ms / floor);
        }

        MPalette palette(nullptr, 2, CRect(0, 0, 300, 150), 1);
        palette.SetManager(&manager);
        volatile COLORREF sink = 0;
        const double bare = medianMs(20, [&](int) {
            for (int y = 0; y < 200; ++y)
                for (int x = 0; x < 360; ++x)
                    sink = sink + HSLToRGB(static_cast<float>(x) / 360.0f, 1.0f, static_cast<float>(y) / 200.0f);
        });
        const double rebuild = medianMs(20, [&](int i) { palette.SetControlRect(CRect(0, 0, 300 + i % 2, 150)); });
        printf("%-34s %9s %9s %7s\n", "colour field", "ms", "bare", "ratio");
        printf("%-34s %9.3f %9.3f %7.2f\n", "MPalette rebuild / 72,000 HSLToRGB", rebuild, bare, rebuild / bare);
    }
    Manager::UnInitGdiplus();
    return 0;
}
