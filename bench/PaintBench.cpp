// The paint and routing benchmark: 200 button-like controls on a 1280×800 dialog, measured
// against a plain window that only fills and blits (the floor). Run it pinned to one CPU
// with its own wineserver (tools/bench.sh). The last line is the result line.
#include "KOVA.h"

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace KOVA;

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 800;
constexpr int kWarmups = 20;
constexpr int kRuns = 200;

// Fill, one-pixel border and centred caption, all through the library's drawing routines.
class BenchButton : public MControl {
public:
    BenchButton(MObject* parent, UINT id, CRect rect, HFONT font)
        : MControl(parent, id, rect, 1, 1, 1), m_font(font)
    {
        swprintf(m_caption, 8, L"B%03u", id);
    }
    void DrawControl(HDC& dc, CRect) override
    {
        MRender::FillSolidRect(dc, &m_rect, RGB(0xA0, 0xC4, 0xE8));
        CRect inner = m_rect;
        inner.DeflateRect(1, 1);
        MRender::FillSolidRect(dc, &inner, RGB(0x3A, 0x6E, 0xA5));
        CRect text = m_rect;
        MRender::DrawTextW(dc, text, m_caption, RGB(255, 255, 255), m_font, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }

private:
    HFONT m_font;
    wchar_t m_caption[8] {};
};

class BenchDialog : public MDialog {
public:
    explicit BenchDialog(HFONT font) : m_font(font) {}
    void InitUI(CRect) override
    {
        GetPaintManager()->SetBackColor(RGB(0x20, 0x20, 0x20), RGB(0x20, 0x20, 0x20));
        for (UINT i = 0; i < 200; ++i) {
            const int col = static_cast<int>(i % 20), row = static_cast<int>(i / 20);
            auto* button = new BenchButton(this, i, CRect(64 * col + 4, 80 * row + 4, 64 * col + 60, 80 * row + 76), m_font);
            button->SetManager(GetPaintManager());
            GetPaintManager()->AppendControl(button, 1);
        }
    }

private:
    HFONT m_font;
};

// ---- the floor: a plain window that fills a DIB and blits the paint rectangle

struct Floor {
    HDC memory { nullptr };
    DWORD* pixels { nullptr };
};
Floor g_floor;

LRESULT CALLBACK floorProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_ERASEBKGND)
        return 1;
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        for (int i = 0; i < kWidth * kHeight; ++i)
            g_floor.pixels[i] = 0x00202020;
        BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left, ps.rcPaint.bottom - ps.rcPaint.top,
               g_floor.memory, ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND createFloorWindow()
{
    WNDCLASSW wc {};
    wc.lpfnWndProc = floorProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KovaBenchFloor";
    RegisterClassW(&wc);
    BITMAPINFO info {};
    info.bmiHeader = { sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
    HDC screen = GetDC(nullptr);
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&g_floor.pixels), nullptr, 0);
    g_floor.memory = CreateCompatibleDC(screen);
    SelectObject(g_floor.memory, dib);
    ReleaseDC(nullptr, screen);
    return CreateWindowExW(0, wc.lpszClassName, L"floor", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                           0, 0, kWidth, kHeight, nullptr, nullptr, wc.hInstance, nullptr);
}

// ---- measuring

void drain()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

double nowUs()
{
    static LARGE_INTEGER frequency = [] { LARGE_INTEGER f; QueryPerformanceFrequency(&f); return f; }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

struct Stats {
    double min, med, p90;
};

template <class Step>
Stats measure(Step step)
{
    std::vector<double> samples;
    for (int i = 0; i < kWarmups + kRuns; ++i) {
        drain();
        const double start = nowUs();
        step();
        const double elapsed = nowUs() - start;
        if (i >= kWarmups)
            samples.push_back(elapsed);
    }
    std::sort(samples.begin(), samples.end());
    return { samples.front(), (samples[99] + samples[100]) / 2, samples[179] };
}

void repaintAll(HWND hwnd)
{
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
}

void sweepMouse(HWND hwnd)
{
    for (int k = 0; k < 1000; ++k)
        SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(16 + 25 * (k % 50), 20 + 40 * (k / 50)));
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    SetCursorPos(1919, 1079);
    Manager::SetInstance(instance);
    Manager::InitGdiplus();

    LOGFONTW logFont {};
    logFont.lfHeight = -13;
    logFont.lfWeight = 400;
    wcscpy_s(logFont.lfFaceName, L"DejaVu Sans");
    HFONT font = CreateFontIndirectW(&logFont);

    BenchDialog dialog(font);
    dialog.Create(nullptr, L"bench", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0,
                  CRect(0, 0, kWidth, kHeight));
    HWND hwnd = dialog.GetSafeHwnd();
    RECT client {};
    GetClientRect(hwnd, &client);
    if (client.right != kWidth || client.bottom != kHeight)
        return 3;
    drain();

    const Stats full = measure([&] { repaintAll(hwnd); });
    MControl* b110 = dialog.GetControl(110);
    const Stats one = measure([&] { b110->UpdateControl(0, 1); UpdateWindow(hwnd); });
    const Stats route = measure([&] { sweepMouse(hwnd); });
    HWND floor = createFloorWindow();
    drain();
    const Stats floorStats = measure([&] { repaintAll(floor); });

    printf("full repaint (a):        min %8.0f  median %8.0f  p90 %8.0f us\n", full.min, full.med, full.p90);
    printf("one-control repaint (b): min %8.0f  median %8.0f  p90 %8.0f us\n", one.min, one.med, one.p90);
    printf("floor (c):               min %8.0f  median %8.0f  p90 %8.0f us\n", floorStats.min, floorStats.med, floorStats.p90);
    printf("mouse move (d):          min %8.2f  median %8.2f  p90 %8.2f us per message\n", route.min / 1000,
           route.med / 1000, route.p90 / 1000);
    printf("RESULT a_min=%.0f a_med=%.0f a_p90=%.0f b_min=%.0f b_med=%.0f b_p90=%.0f c_min=%.0f c_med=%.0f c_p90=%.0f "
           "d_min=%.2f d_med=%.2f d_p90=%.2f ratio_ac=%.2f ratio_bc=%.2f\n",
           full.min, full.med, full.p90, one.min, one.med, one.p90, floorStats.min, floorStats.med, floorStats.p90,
           route.min / 1000, route.med / 1000, route.p90 / 1000, full.med / floorStats.med, one.med / floorStats.med);
    fflush(stdout);
    DestroyWindow(floor);
    DestroyWindow(hwnd);
    drain();
    DeleteObject(font);
    Manager::UnInitGdiplus();
    return 0;
}
