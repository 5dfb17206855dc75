#pragma once
// What the LCD tests share: the published JPEG pulled as a host pulls it and decoded, a pinned
// clock, a renderer whose record a test may look into, a window to capture and a real dialog.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include "DibCanvas.h"
#include "KOVA.h"
#include "LibraryHost.h"
#include "TestWindow.h"

namespace KOVA::test {

constexpr int kLargestCapacity = 640 * 480 * 4;

// The newest published frame, as GetLEDData hands it to a host; empty when there is none.
inline std::vector<BYTE> pullFrame(LEDModeCtrl& lcd)
{
    std::vector<BYTE> buffer(kLargestCapacity, 0xAB);
    int length = 0;
    if (!lcd.GetLEDData(buffer.data(), length))
        return {};
    buffer.resize(static_cast<size_t>(length));
    return buffer;
}

struct DecodedFrame {
    cv::Mat bgr;             // empty unless the file starts with SOI, ends with EOI and decodes
    int lumaDcQuant { 0 };   // the first step of the file's first (luminance) quantisation table
    bool complete() const { return !bgr.empty(); }
    // 0x00RRGGBB of a pixel; all bits set when there is no frame there.
    DWORD rgb(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= bgr.cols || y >= bgr.rows)
            return ~0u;
        const cv::Vec3b p = bgr.at<cv::Vec3b>(y, x);
        return (static_cast<DWORD>(p[2]) << 16) | (static_cast<DWORD>(p[1]) << 8) | p[0];
    }
    // The largest channel value in the area (all of the frame when empty): small for black.
    double brightest(cv::Rect area = {}) const { return cv::norm(area.empty() ? bgr : bgr(area), cv::NORM_INF); }
};

inline DecodedFrame decodeFrame(const std::vector<BYTE>& jpeg)
{
    DecodedFrame frame;
    const size_t n = jpeg.size();
    if (n < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8 || jpeg[n - 2] != 0xFF || jpeg[n - 1] != 0xD9)
        return frame;
    frame.bgr = cv::imdecode(jpeg, cv::IMREAD_COLOR);
    // Segments from SOI on; libjpeg writes the luminance table first, in 8-bit steps.
    for (size_t i = 2; i + 5 < n && jpeg[i] == 0xFF && !frame.lumaDcQuant; i += 2 + (jpeg[i + 2] << 8 | jpeg[i + 3]))
        if (jpeg[i + 1] == 0xDB)
            frame.lumaDcQuant = jpeg[i + 5];
    return frame;
}

// The performance counter in milliseconds, for a test that times a call.
inline double performanceMs()
{
    LARGE_INTEGER frequency {}, count {};
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// The clock every frame reads, pinned for the test's life.
struct PinnedClock {
    explicit PinnedClock(DWORD start) { TimeSource::Pin(start, SYSTEMTIME { 2026, 3, 0, 14, 12, 0, 0, 0 }); }
    ~PinnedClock() { TimeSource::Unpin(); }
};

// A renderer whose record a test may look into and fill where the host's loaders would.
class OpenLcd : public LEDModeCtrl {
public:
    using LEDModeCtrl::LEDModeCtrl;
    using LEDModeCtrl::HiddenFramePixels;
    int carouselIndex() const { return m_carouselIndex; }
    CPoint carouselPosition() const { return m_carouselPosition; }
    CPoint capturePan() const { return m_capturePan; }
    RECT carouselRect() const { return m_carouselRect; }
    // What the registry keeps: text position, image and capture scales, text colour.
    auto stored() const
    {
        return std::make_tuple(m_carouselPosition.x, m_carouselPosition.y, m_imageScale, m_captureScale,
                               m_carouselColour.GetValue());
    }
    void setFramePeriod(int period) { m_framePeriod = period; }
    // False: every frame drawn the straightforward way, with no still layer.
    void setLayersCached(bool cached) { m_layersCached = cached; }
    // A medium of frameCount frames, as the file loader leaves it.
    void giveMedia(Gdiplus::Image* image, int frameCount)
    {
        ScopedLock lock(m_stateLock);
        m_media.image.reset(image);
        m_media.width = static_cast<int>(image->GetWidth());
        m_media.height = static_cast<int>(image->GetHeight());
        m_frameCount = frameCount;
        m_imageCentre = CPoint(m_rect.Width() / 2, m_rect.Height() / 2);
    }
};

// A shown window, its left half one colour and its right half another, for the capture
// screen to copy: what a frame shows tells where each part came from.
class ColourWindow : public TestWindow {
public:
    // Shown without taking the activation, which a test of real input beside it relies on.
    ColourWindow(int width, int height, COLORREF left, COLORREF right, int x = 900)
        : TestWindow(width, height, WS_POPUP)
    {
        onMessage([=](UINT msg, WPARAM wParam, LPARAM, LRESULT& result) {
            if (msg != WM_ERASEBKGND)
                return false;
            HDC dc = reinterpret_cast<HDC>(wParam);
            const RECT halves[] = { { 0, 0, width / 2, height }, { width / 2, 0, width, height } };
            MRender::FillSolidRect(dc, &halves[0], left);
            MRender::FillSolidRect(dc, &halves[1], right);
            result = 1;
            return true;
        });
        ::SetWindowPos(hwnd(), nullptr, x, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
};

// A real dialog hosting renderers, placed where it paints on the virtual screen.
class LcdDialog : public MDialog {
public:
    void InitUI(CRect) override {}
    // Puts a renderer into the window, as a host's factory call does.
    template <class Renderer = OpenLcd>
    Renderer* addRenderer(CRect rect)
    {
        auto* lcd = new Renderer(this, 50, rect, 1, 1);
        lcd->SetManager(GetPaintManager());
        GetPaintManager()->AppendControl(lcd, 1);
        return lcd;
    }
    void open(CRect place, bool show)
    {
        Create(nullptr, L"lcd host", WS_POPUP, 0, place);
        EnableWndDrag(0);
        if (show)
            ShowWindow(SW_SHOWNOACTIVATE);
    }
    // Paints what is pending now, as the message loop would.
    void paintNow()
    {
        pumpMessages();
        ::RedrawWindow(GetSafeHwnd(), nullptr, nullptr, RDW_UPDATENOW);
    }
};

// Live blocks of every heap of the process.
inline long busyHeapBlocks()
{
    long blocks = 0;
    HANDLE heaps[64];
    const DWORD count = std::min<DWORD>(GetProcessHeaps(64, heaps), 64);
    for (DWORD h = 0; h < count; ++h) {
        PROCESS_HEAP_ENTRY entry {};
        HeapLock(heaps[h]);
        while (HeapWalk(heaps[h], &entry))
            blocks += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) ? 1 : 0;
        HeapUnlock(heaps[h]);
    }
    return blocks;
}

// A renderer whose weather, water-cooling and dial screens a test draws straight onto a
// canvas, with the settings the frame render gives the graphics.
class ScreenLcd : public OpenLcd {
public:
    using OpenLcd::OpenLcd;
    enum Screen { MemoryDial = 1, CpuDial = 2, GpuDial = 3, WaterCooling = 30, Weather = 40 };
    // cached false draws the frame whole, with no layer kept.
    void drawScreen(DibCanvas& canvas, int screen, int item = 0, bool cached = true)
    {
        m_layersCached = cached;
        drawWith(canvas, [&](Gdiplus::Graphics& g, int& width, int& height) {
            switch (screen) {
            case MemoryDial: DrawSystemInfoMode1(g, width, height, item); break;
            case CpuDial: DrawSystemInfoMode2(g, width, height, item); break;
            case GpuDial: DrawSystemInfoMode3(g, width, height, item); break;
            case WaterCooling: DrawWaterCoolingMode(g, width, height); break;
            default: DrawWeatherMode(g, width, height); break;
            }
        });
    }
    // Any drawing of the renderer, under its state lock, with the frame render's settings.
    template <class Draw>
    void drawWith(DibCanvas& canvas, Draw draw)
    {
        ScopedLock lock(m_stateLock);
        Gdiplus::Graphics g(canvas.dc());
        g.SetTextRenderingHint(m_textRenderingHint);
        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
        int width = canvas.width();
        int height = canvas.height();
        draw(g, width, height);
    }
    // Text as the screens write it: the control's face at size pixels in style, centred on one
    // line in box, with the control's rendering hint and the frame's smoothing.
    void drawText(DibCanvas& canvas, const wchar_t* text, int size, int style, Gdiplus::RectF box, Gdiplus::Color colour,
                  Gdiplus::SmoothingMode smoothing = Gdiplus::SmoothingModeAntiAlias)
    {
        Gdiplus::Graphics g(canvas.dc());
        g.SetTextRenderingHint(m_textRenderingHint);
        g.SetSmoothingMode(smoothing);
        Gdiplus::Font font(m_manager->FindTempFontOrFallback(m_textFont), static_cast<float>(size), style,
                           Gdiplus::UnitPixel);
        Gdiplus::StringFormat format(Gdiplus::StringFormatFlagsNoWrap | Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
        format.SetAlignment(Gdiplus::StringAlignmentCenter);
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
        Gdiplus::SolidBrush brush(colour);
        // In the face the library falls back to for characters the font lacks.
        g.DrawString(text, -1, TextFont(&font, text), box, &format, &brush);
    }
};

// Where a point at radius from (cx, cy) lies along a GDI+ angle (clockwise from 3 o'clock).
inline POINT alongAngle(int cx, int cy, double degrees, double radius)
{
    const double r = degrees * 3.14159265358979 / 180;
    return POINT { static_cast<LONG>(std::lround(cx + radius * std::cos(r))),
                   static_cast<LONG>(std::lround(cy + radius * std::sin(r))) };
}

// over at alpha laid on under, as 0x00RRGGBB.
inline DWORD blended(DWORD under, DWORD over, int alpha)
{
    DWORD out = 0;
    for (int shift : { 0, 8, 16 })
        out |= static_cast<DWORD>((channel(over, shift) * alpha + channel(under, shift) * (255 - alpha) + 127) / 255)
            << shift;
    return out;
}

// How many pixels of two canvases of one size differ.
inline int differingPixels(const DibCanvas& a, const DibCanvas& b)
{
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y);
    return count;
}

} // namespace KOVA::test
