#include "BenchKit.h"

#include <algorithm>

using namespace KOVA;

namespace BenchKit {

namespace {

LONGLONG countsPerSecond()
{
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    return frequency;
}

double counterIn(double unitsPerSecond)
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * unitsPerSecond / static_cast<double>(countsPerSecond());
}

} // namespace

double nowMs()
{
    return counterIn(1000.0);
}

double nowUs()
{
    return counterIn(1e6);
}

Samples::Samples(std::vector<double> samples) : m_sorted(std::move(samples))
{
    std::sort(m_sorted.begin(), m_sorted.end());
}

Samples sample(Runs runs, const std::function<void(int)>& step, double (*clock)(), const std::function<void()>& prepare)
{
    std::vector<double> samples;
    for (int round = 0; round < runs.warmups + runs.timed; ++round) {
        if (prepare)
            prepare();
        const double start = clock();
        step(round);
        const double elapsed = clock() - start;
        if (round >= runs.warmups)
            samples.push_back(elapsed);
    }
    return Samples(std::move(samples));
}

Samples sampleDrained(Runs runs, const std::function<void(int)>& step, const std::function<void()>& prepare)
{
    return sample(runs, step, nowUs, [&] {
        drainMessages();
        if (prepare)
            prepare();
    });
}

double medianMs(Runs runs, const std::function<void(int)>& step)
{
    return sample(runs, step).median();
}

std::vector<double> partMediansMs(Runs runs, int parts, const std::function<void(int round, const PartTimer& time)>& step)
{
    std::vector<std::vector<double>> samples(static_cast<size_t>(parts));
    for (int round = 0; round < runs.warmups + runs.timed; ++round) {
        const bool kept = round >= runs.warmups;
        step(round, [&](int part, const std::function<void()>& work) {
            const double start = nowMs();
            work();
            const double elapsed = nowMs() - start;
            if (kept)
                samples[static_cast<size_t>(part)].push_back(elapsed);
        });
    }
    std::vector<double> medians;
    for (std::vector<double>& part : samples)
        medians.push_back(part.empty() ? 0.0 : Samples(std::move(part)).median());
    return medians;
}

double drainedMedianUs(Runs runs, const std::function<void()>& prepare, const std::function<void(int)>& step)
{
    return sampleDrained(runs, step, prepare).meanOfMiddles();
}

void drainMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

LibraryScope::LibraryScope(HINSTANCE instance)
{
    Manager::SetInstance(instance);
    Manager::InitGdiplus();
}

LibraryScope::~LibraryScope()
{
    Manager::UnInitGdiplus();
}

HWND openWindow(const wchar_t* className, WNDPROC proc, DWORD style, int x, int y, int width, int height)
{
    WNDCLASSW windowClass {};
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, className, L"", style, x, y, width, height, nullptr, nullptr, windowClass.hInstance,
                           nullptr);
}

MemoryPicture::MemoryPicture(int width, int height, HDC like)
{
    HDC reference = like ? like : ::GetDC(nullptr);
    m_dc = ::CreateCompatibleDC(reference);
    m_bitmap = ::CreateCompatibleBitmap(reference, width, height);
    m_previous = ::SelectObject(m_dc, m_bitmap);
    if (!like)
        ::ReleaseDC(nullptr, reference);
}

MemoryPicture::~MemoryPicture()
{
    ::SelectObject(m_dc, m_previous);
    ::DeleteObject(m_bitmap);
    ::DeleteDC(m_dc);
}

BackBuffer::BackBuffer(int width, int height) : m_width(width), m_height(height) {}

void BackBuffer::fillAndBlit()
{
    MRender::FillSolidRect(source(), 0, 0, m_width, m_height, RGB(32, 32, 32));
    MRender::BitBlt(target(), 0, 0, m_width, m_height, source(), 0, 0);
}

DibSurface::DibSurface(int width, int height) : m_width(width), m_height(height)
{
    BITMAPINFO info {};
    info.bmiHeader = { sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
    void* bits = nullptr;
    m_dc = CreateCompatibleDC(nullptr);
    m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<BYTE*>(bits);
    m_previous = SelectObject(m_dc, m_bitmap);
}

DibSurface::~DibSurface()
{
    SelectObject(m_dc, m_previous);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
}

void DibSurface::clear()
{
    std::fill(m_bits, m_bits + bytes(), 0);
}

CString programFolder()
{
    wchar_t exe[MAX_PATH] {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    const CString path(exe);
    return path.Left(path.ReverseFind(L'\\') + 1);
}

CString skinFolder()
{
    CString folder = programFolder() + L"skins\\";
    CreateDirectoryW(folder, nullptr);
    folder += Manager::GetTheme();
    CreateDirectoryW(folder, nullptr);
    return folder;
}

CString tempFolder()
{
    wchar_t folder[MAX_PATH] {};
    GetTempPathW(MAX_PATH, folder);
    return CString(folder);
}

CString scratchFolder(const wchar_t* name)
{
    CString folder;
    folder.Format(L"%s%s-%lu\\", static_cast<const wchar_t*>(tempFolder()), name, GetCurrentProcessId());
    CreateDirectoryW(folder, nullptr);
    return folder;
}

CLSID encoderClsid(const wchar_t* mime)
{
    CLSID id {};
    GetEncoderClsid(mime, &id);
    return id;
}

bool savePng(Gdiplus::Image& image, const CString& path)
{
    CLSID png {};
    return GetEncoderClsid(L"image/png", &png) >= 0 && image.Save(path, &png, nullptr) == Gdiplus::Ok;
}

std::unique_ptr<Gdiplus::Bitmap> gradientBitmap(int width, int height, Gdiplus::Color from, Gdiplus::Color to,
                                                Gdiplus::LinearGradientMode mode)
{
    auto bitmap = std::make_unique<Gdiplus::Bitmap>(width, height, PixelFormat32bppARGB);
    Gdiplus::Graphics graphics(bitmap.get());
    const Gdiplus::LinearGradientBrush fill(Gdiplus::Rect(0, 0, width, height), from, to, mode);
    graphics.FillRectangle(&fill, 0, 0, width, height);
    return bitmap;
}

bool writeGradientPng(const CString& path, int width, int height, Gdiplus::Color from, Gdiplus::Color to,
                      Gdiplus::LinearGradientMode mode)
{
    return savePng(*gradientBitmap(width, height, from, to, mode), path);
}

bool writeGif(const CString& path, int width, int height, int frames,
              const std::function<void(Gdiplus::Graphics& g, int k)>& paint)
{
    ULONG flag = Gdiplus::EncoderValueMultiFrame;
    Gdiplus::EncoderParameters parameters {};
    parameters.Count = 1;
    parameters.Parameter[0].Guid = Gdiplus::EncoderSaveFlag;
    parameters.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
    parameters.Parameter[0].NumberOfValues = 1;
    parameters.Parameter[0].Value = &flag;
    const CLSID gif = encoderClsid(L"image/gif");
    std::unique_ptr<Gdiplus::Bitmap> first;
    for (int k = 0; k < frames; ++k) {
        Gdiplus::Bitmap full(width, height, PixelFormat32bppARGB);
        {
            Gdiplus::Graphics g(&full);
            paint(g, k);
        }
        std::unique_ptr<Gdiplus::Bitmap> frame(full.Clone(0, 0, width, height, PixelFormat8bppIndexed));
        if (!first) {
            if (frame->Save(path, &gif, &parameters) != Gdiplus::Ok)
                return false;
            first = std::move(frame);
            continue;
        }
        flag = Gdiplus::EncoderValueFrameDimensionPage;
        if (first->SaveAdd(frame.get(), &parameters) != Gdiplus::Ok)
            return false;
    }
    flag = Gdiplus::EncoderValueFlush;
    return first && first->SaveAdd(&parameters) == Gdiplus::Ok;
}

namespace {

// The pixels the hidden render's last frame gave its encoder.
struct LastFrame {
    explicit LastFrame(OpenLcd& lcd) { lcd.HiddenFramePixels(pixels, width, height); }
    void encode(LcdJpegEncoder& encoder, int quality) const
    {
        encoder.Encode(pixels.data(), width, height, width * 4, quality);
    }
    std::vector<BYTE> pixels;
    int width { 0 };
    int height { 0 };
};

} // namespace

double bareEncodeMs(Runs runs, LcdJpegEncoder& encoder, OpenLcd& lcd, int quality)
{
    const LastFrame frame(lcd);
    return medianMs(runs, [&](int) { frame.encode(encoder, quality); });
}

void timeBareEncode(LcdJpegEncoder& encoder, OpenLcd& lcd, int quality, const PartTimer& time, int part)
{
    const LastFrame frame(lcd);
    time(part, [&] { frame.encode(encoder, quality); });
}

} // namespace BenchKit
