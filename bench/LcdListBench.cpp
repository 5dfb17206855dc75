// One hover repaint of the LCD lists: the media list with 24 thumbnails and the mode list with
// 50 rows, the pointer stepping to the next item before each repaint, each beside the floor of
// a plain GDI fill and blit of the same rectangle. Run it pinned to one CPU with its own
// wineserver (tools/bench.sh).
#include "KOVA.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace KOVA;

namespace {

constexpr int kWarmups = 10;
constexpr int kRuns = 200;
constexpr int kThumbnails = 24;
constexpr int kRows = 50;
const CRect kPlace(0, 0, 420, 400);

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

// A 1024 × 768 photo-like picture: a diagonal gradient.
CString writePicture()
{
    wchar_t folder[MAX_PATH] {};
    GetTempPathW(MAX_PATH, folder);
    const CString path = CString(folder) + L"kova-list-bench.png";
    Gdiplus::Bitmap picture(1024, 768, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(&picture);
        const Gdiplus::LinearGradientBrush glow(Gdiplus::Rect(0, 0, 1024, 768), Gdiplus::Color(255, 40, 90, 200),
                                                Gdiplus::Color(255, 189, 48, 255), Gdiplus::LinearGradientModeForwardDiagonal);
        graphics.FillRectangle(&glow, 0, 0, 1024, 768);
    }
    CLSID png {};
    GetEncoderClsid(L"image/png", &png);
    picture.Save(path, &png, nullptr);
    return path;
}

// A memory bitmap the size of the list.
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

// The window's back buffer stand-in, and the floor: a fill of a memory picture copied onto it.
class Surface {
public:
    HDC& dc() { return m_target.dc(); }
    void fillAndBlit()
    {
        MRender::FillSolidRect(m_source.dc(), 0, 0, kPlace.Width(), kPlace.Height(), RGB(32, 32, 32));
        MRender::BitBlt(m_target.dc(), 0, 0, kPlace.Width(), kPlace.Height(), m_source.dc(), 0, 0);
    }

private:
    Picture m_target;
    Picture m_source;
};

// Moves the pointer onto the next of a few items and repaints the list as the window would.
double hoverRepaintMs(MControl& list, Surface& surface, const std::vector<CPoint>& points)
{
    return medianMs([&](int i) {
        list.OnMouseMove(0, points[static_cast<size_t>(i) % points.size()]);
        list.SetUpdate(0, 0);
        list.Draw(surface.dc(), kPlace);
    });
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    Manager::SetInstance(instance);
    Manager::InitGdiplus();
    {
        const CString picture = writePicture();
        PaintManager manager;
        Surface surface;
        LEDImageCtrl media(nullptr, 1, kPlace, 1, 1);
        for (int i = 0; i < kThumbnails; ++i)
            media.AddItem(picture, MediaKindPicture);
        LEDModeList modes(nullptr, 2, kPlace, 1, 1);
        modes.SetManager(&manager);
        modes.SetControlRect(kPlace);
        for (int i = 0; i < kRows; ++i)
            modes.AddItem(L"Screen mode", L"", i);
        modes.GetScrollVertical()->SetScrollCurrentPos(modes.GetScrollVertical()->GetScrollMaxRange() / 2);

        const double floor = medianMs([&](int) { surface.fillAndBlit(); });
        const double mediaMs = hoverRepaintMs(media, surface, { { 50, 50 }, { 150, 50 }, { 250, 50 } });
        const double modesMs = hoverRepaintMs(modes, surface, { { 50, 50 }, { 50, 90 }, { 50, 130 } });
        printf("%-32s %9s %9s %7s\n", "hover repaint", "ms", "floor", "ratio");
        printf("%-32s %9.3f %9.3f %7.1f\n", "LEDImageCtrl, 24 thumbnails", mediaMs, floor, mediaMs / floor);
        printf("%-32s %9.3f %9.3f %7.1f\n", "LEDModeList, 50 rows", modesMs, floor, modesMs / floor);
        DeleteFileW(picture);
    }
    Manager::UnInitGdiplus();
    return 0;
}
