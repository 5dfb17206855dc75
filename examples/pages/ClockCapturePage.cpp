// The analogue clock and the window capture: the clock's dial as its window view shows it, and
// a live view of another window of this host (a small chart window beside the main one),
// both repainted by the fast timer. Headless, it writes the clock's raw 480 × 480 frame (the
// dial with the second hand at the time) as out/lcd/clock_ctrl.jpg.
#include "SamplePage.h"

#include <cstdio>
#include <vector>

#include "HostTools.h"

using namespace KOVA;

namespace {

constexpr UINT kClockId = 4600;
constexpr UINT kCaptureId = 4601;
constexpr int kSide = 480;
constexpr UINT kFastTimerPeriod = 10;
const wchar_t* const kSourceClass = L"KovaSampleCaptureSource";

// A dial with twelve marks, and a long thin second hand upright with its foot at the bottom.
void writeSkinImages()
{
    HostTools::WriteSkinStrip(L"clock-ctrl-dial.png", kSide, kSide, 1, [](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        Gdiplus::LinearGradientBrush face(r, Gdiplus::Color(0xFF1A2440), Gdiplus::Color(0xFF3A5C9A),
                                          Gdiplus::LinearGradientModeForwardDiagonal);
        g.FillEllipse(&face, r);
        const Gdiplus::Pen rim(Gdiplus::Color(0xFFE8ECF4), 10.0f);
        g.DrawEllipse(&rim, 8, 8, kSide - 16, kSide - 16);
        g.TranslateTransform(kSide / 2.0f, kSide / 2.0f);
        const Gdiplus::Pen mark(Gdiplus::Color(0xFFE8ECF4), 8.0f);
        for (int hour = 0; hour < 12; ++hour) {
            g.DrawLine(&mark, 0.0f, -205.0f, 0.0f, -170.0f);
            g.RotateTransform(30.0f);
        }
        g.ResetTransform();
    });
    HostTools::WriteSkinStrip(L"clock-ctrl-second.png", 6, 200, 1, [](Gdiplus::Graphics& g, int, Gdiplus::Rect r) {
        const Gdiplus::SolidBrush red(Gdiplus::Color(0xFFFF5040));
        g.FillRectangle(&red, r);
    });
}

// The other window: a few bars of a chart on a dark ground, painted by itself.
LRESULT CALLBACK sourceProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_PAINT)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    PAINTSTRUCT paint {};
    HDC dc = BeginPaint(hwnd, &paint);
    {
        RECT client {};
        GetClientRect(hwnd, &client);
        Gdiplus::Graphics g(dc);
        const Gdiplus::SolidBrush ground(Gdiplus::Color(0xFF202830));
        g.FillRectangle(&ground, 0, 0, client.right, client.bottom);
        const Gdiplus::Color colours[] = { 0xFF3CC8F0, 0xFFFF6A3C, 0xFF60D064, 0xFFBD30FF, 0xFFF0D040 };
        const int heights[] = { 60, 120, 90, 150, 40 };
        for (int i = 0; i < 5; ++i) {
            const Gdiplus::SolidBrush bar(colours[i]);
            g.FillRectangle(&bar, 20 + i * 56, client.bottom - 20 - heights[i], 40, heights[i]);
        }
    }
    EndPaint(hwnd, &paint);
    return 0;
}

// Owned by the host's window, so it goes with it; placed beside it, where no page covers it.
HWND openSourceWindow(HWND owner)
{
    WNDCLASSW windowClass {};
    windowClass.lpfnWndProc = sourceProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kSourceClass;
    RegisterClassW(&windowClass);
    HWND source = CreateWindowExW(WS_EX_NOACTIVATE, kSourceClass, L"chart", WS_POPUP | WS_VISIBLE, 1120, 40, 320, 200,
                                  owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    UpdateWindow(source);
    return source;
}

void build(MPanel* page, const CRect& area)
{
    writeSkinImages();
    PaintManager* manager = page->GetManager();
    const int top = area.top + 20;
    const CRect clockRect(area.left + 20, top, area.left + 380, top + 360);
    auto* clock = dynamic_cast<ClockCtrl*>(page->CreateControl(L"ClockCtrl", kClockId, clockRect, L"", 1, 1));
    auto* capture = dynamic_cast<CaptureCtrl*>(
        page->CreateControl(L"CaptureCtrl", kCaptureId, CRect(clockRect.right + 40, top, clockRect.right + 520, top + 300),
                            L"", 1, 1));
    if (!clock || !capture || !manager)
        return;
    clock->SetImage(L"clock-ctrl-dial.png", 1);
    clock->SetHMSImage(L"clock-ctrl-second.png", L"clock-ctrl-second.png", L"clock-ctrl-second.png");
    capture->SetCaptureWnd(openSourceWindow(manager->GetPaintWnd()));
    manager->AddMTimer(clock);
    manager->AddMTimer(capture);
    manager->SetMTimer(kFastTimerPeriod);
}

// The raw frame as a host would send it, encoded the way the renderer encodes its own.
void writeOutputs(MPanel* page, const std::wstring& outDir)
{
    auto* clock = dynamic_cast<ClockCtrl*>(page->GetControl(kClockId));
    if (!clock)
        return;
    std::vector<BYTE> frame(ClockCtrl::kFrameBytes);
    if (!clock->GetLEDData(frame.data()))
        return;
    LcdJpegEncoder encoder(ClockCtrl::kFrameBytes);
    const int size = encoder.Encode(frame.data(), kSide, kSide, kSide * 4, 90);
    const std::wstring folder = outDir + L"\\lcd\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    FILE* file = size > 0 ? _wfopen((folder + L"clock_ctrl.jpg").c_str(), L"wb") : nullptr;
    if (!file)
        return;
    fwrite(encoder.Data(), 1, static_cast<size_t>(size), file);
    fclose(file);
}

} // namespace

extern const SamplePage kClockCapturePage = { L"lcd-clock", build, writeOutputs, nullptr };
