// One wheel notch of the cooling home page at 1520 × 900: the page scrolls by 100 rows of its
// bar and repaints whole over the window's background, as the paint manager lays it down
// before the controls, beside the floor of a plain GDI fill and blit of the same rectangle.
// Over a background of one colour the children's kept pictures are only copied; over a
// picture every child in view is drawn again over the moved content. Run it pinned to one CPU
// with its own wineserver (tools/bench.sh); the skin images the sample host writes beside the
// programs make the buttons' looks costly to draw.
#include "KOVA.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace KOVA;

namespace {

constexpr int kWarmups = 5;
constexpr int kRuns = 60;
const CRect kPage(0, 0, 1520, 900);

double nowMs()
{
    static LARGE_INTEGER frequency = [] { LARGE_INTEGER f; QueryPerformanceFrequency(&f); return f; }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double medianMs(const std::function<void(int)>& step)
{
    std::vector<double> samples;
    for (int i = 0; i < kWarmups + kRuns; ++i) {
        const double start = nowMs();
        step(i);
        if (i >= kWarmups)
            samples.push_back(nowMs() - start);
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// A memory bitmap the size of the page.
class Picture {
public:
    Picture()
    {
        HDC screen = ::GetDC(nullptr);
        m_dc = ::CreateCompatibleDC(screen);
        m_bitmap = ::CreateCompatibleBitmap(screen, kPage.Width(), kPage.Height());
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

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    Manager::SetInstance(instance);
    Manager::InitGdiplus();
    {
        PaintManager manager;
        Picture target;
        Picture source;
        CHomeFuncCtrl page(nullptr, 1, CRect(), 1, 1);
        page.SetManager(&manager);
        page.SetRect(kPage);
        for (int i = 0; i < 6; ++i)
            page.SetDeviceState(i, L"Device", true, L"");
        // Between the tiles and the archive, so that a notch either way keeps most children in view.
        page.GetScrollVertical()->SetScrollCurrentPos(1300);

        const double floor = medianMs([&](int) {
            MRender::FillSolidRect(source.dc(), 0, 0, kPage.Width(), kPage.Height(), RGB(32, 32, 32));
            MRender::BitBlt(target.dc(), 0, 0, kPage.Width(), kPage.Height(), source.dc(), 0, 0);
        });
        // A notch over the background the window lays down first (ground copied in).
        const auto notchOver = [&](HDC ground) {
            return medianMs([&](int i) {
                MRender::BitBlt(target.dc(), 0, 0, kPage.Width(), kPage.Height(), ground, 0, 0);
                page.OnScroll(1, i % 2, CPoint(700, 450));
                page.SetUpdate(0, 0);
                page.Draw(target.dc(), kPage);
            });
        };
        MRender::FillSolidRect(source.dc(), 0, 0, kPage.Width(), kPage.Height(), RGB(32, 32, 32));
        const double plain = notchOver(source.dc());
        MRender::DrawGradient(source.dc(), CRect(kPage), 0xFF202030, 0xFF402060, true, 64);
        const double picture = notchOver(source.dc());
        printf("%-36s %9s %9s %7s\n", "home page wheel notch, 1520 x 900", "ms", "floor", "ratio");
        printf("%-36s %9.3f %9.3f %7.1f\n", "over one colour", plain, floor, plain / floor);
        printf("%-36s %9.3f %9.3f %7.1f\n", "over a picture", picture, floor, picture / floor);
    }
    Manager::UnInitGdiplus();
    return 0;
}
