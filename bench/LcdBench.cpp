// One LCD frame, drawn, turned and encoded the way the renderer publishes it (the hidden road,
// as the fast-timer thread runs it), per LED mode and screen size, beside the floor of a bare
// JPEG encode of the same pixels at the same quality. The frame budget is 30 ms.
#include "KOVA.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace KOVA;

namespace {

constexpr int kWarmups = 10;
constexpr int kRuns = 200;
constexpr double kBudgetMs = 30.0;

double nowMs()
{
    static LARGE_INTEGER frequency = [] { LARGE_INTEGER f; QueryPerformanceFrequency(&f); return f; }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double medianMs(const std::function<void()>& call)
{
    std::vector<double> samples;
    for (int i = 0; i < kWarmups + kRuns; ++i) {
        const double start = nowMs();
        call();
        if (i >= kWarmups)
            samples.push_back(nowMs() - start);
    }
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// The window LED mode 5 copies: colour bands and text, so the JPEG has real work to do.
LRESULT CALLBACK paintBands(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_PAINT)
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    for (int band = 0; band < 16; ++band) {
        RECT r { band * 40, 0, band * 40 + 40, 480 };
        MRender::FillSolidRect(dc, &r, RGB(band * 16, 255 - band * 12, (band * 97) % 256));
    }
    SetBkMode(dc, TRANSPARENT);
    for (int line = 0; line < 12; ++line)
        TextOutW(dc, 20, 20 + line * 36, L"CPU 45\x2103  GPU 61\x2103  4321 MHz", 27);
    EndPaint(hwnd, &paint);
    return 0;
}

HWND bandsWindow()
{
    WNDCLASSW windowClass {};
    windowClass.lpfnWndProc = paintBands;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"LcdBenchBands";
    RegisterClassW(&windowClass);
    HWND hwnd = CreateWindowExW(0, L"LcdBenchBands", L"", WS_POPUP | WS_VISIBLE, 700, 0, 640, 480, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    UpdateWindow(hwnd);
    return hwnd;
}

// The published frame's pixels, top-down BGRA, for the bare encode.
std::vector<BYTE> decodedPixels(LEDModeCtrl& lcd, int& width, int& height)
{
    std::vector<BYTE> jpeg(640 * 480 * 4);
    int length = 0;
    if (!lcd.GetLEDData(jpeg.data(), length))
        return {};
    IStream* stream = SHCreateMemStream(jpeg.data(), static_cast<UINT>(length));
    std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream));
    stream->Release();
    width = static_cast<int>(bitmap->GetWidth());
    height = static_cast<int>(bitmap->GetHeight());
    std::vector<BYTE> pixels(static_cast<size_t>(width) * height * 4);
    Gdiplus::BitmapData data {};
    data.Width = width;
    data.Height = height;
    data.Stride = width * 4;
    data.PixelFormat = PixelFormat32bppARGB;
    data.Scan0 = pixels.data();
    Gdiplus::Rect whole(0, 0, width, height);
    bitmap->LockBits(&whole, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeUserInputBuf, PixelFormat32bppARGB,
                     &data);
    bitmap->UnlockBits(&data);
    return pixels;
}

class BenchDialog : public MDialog {
public:
    void InitUI(CRect) override {}
};

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    Manager::SetInstance(instance);
    Manager::InitGdiplus();
    {
        HWND bands = bandsWindow();
        BenchDialog dialog;
        dialog.Create(nullptr, L"LcdBench", WS_POPUP, 0, CRect(0, 0, 660, 500));
        struct Screen {
            const char* name;
            int type;
            int width;
            int rotation;
        };
        const Screen screens[] = {
            { "480x480 circle", LEDScreenCircle, 480, 0 },
            { "480x480 square", LEDScreenSquare, 480, 0 },
            { "640x480", LEDScreenWide, 640, 0 },
            { "480x480 square, rotation 45", LEDScreenSquare, 480, 45 },
        };
        LcdJpegEncoder bare(640 * 480 * 4 * 2);
        printf("%-30s %-5s %10s %10s %7s %8s\n", "screen", "mode", "frame ms", "encode ms", "ratio", "budget");
        for (const Screen& screen : screens) {
            auto* lcd = new LEDModeCtrl(&dialog, 10, CRect(0, 0, screen.width, 480), 1, 1);
            lcd->SetManager(dialog.GetPaintManager());
            dialog.GetPaintManager()->AppendControl(lcd, 1);
            lcd->SetLEDScreenType(screen.type);
            lcd->SetRotate(screen.rotation);
            lcd->SetCaptureWindow(bands);
            lcd->SetBrightness(80);
            for (UINT item : { 1u, 3u, 7u })
                lcd->AddCarousel(item);
            for (int mode = 0; mode <= 7; ++mode) {
                lcd->SetLEDMode(mode);
                const double frame = medianMs([&] { lcd->DrawHideControl(); });
                int width = 0;
                int height = 0;
                const std::vector<BYTE> pixels = decodedPixels(*lcd, width, height);
                const int quality = (mode == 1 || mode == 5 || mode == 7) ? 60 : 90;
                const double encode = medianMs([&] { bare.Encode(pixels.data(), width, height, width * 4, quality); });
                printf("%-30s %-5d %10.3f %10.3f %7.2f %7.1f%%\n", screen.name, mode, frame, encode, frame / encode,
                       frame / kBudgetMs * 100.0);
            }
            dialog.GetPaintManager()->RemoveControl(lcd);
        }
        dialog.DestroyWindow();
        DestroyWindow(bands);
    }
    Manager::UnInitGdiplus();
    return 0;
}
