#pragma once
// What the LCD tests share: the published JPEG pulled as a host pulls it and decoded, a pinned
// clock, a renderer whose record a test may look into, a window to capture and a real dialog.
#include <gtest/gtest.h>

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

// The clock every frame reads, pinned for the test's life.
struct PinnedClock {
    explicit PinnedClock(DWORD start) { TimeSource::Pin(start, SYSTEMTIME { 2026, 3, 0, 14, 12, 0, 0, 0 }); }
    ~PinnedClock() { TimeSource::Unpin(); }
};

// A renderer whose record a test may look into and fill where the host's loaders would.
class OpenLcd : public LEDModeCtrl {
public:
    using LEDModeCtrl::LEDModeCtrl;
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
    ColourWindow(int width, int height, COLORREF left, COLORREF right, int x = 900) : TestWindow(width, height)
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
        ::SetWindowPos(hwnd(), nullptr, x, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
};

// A real dialog hosting renderers, placed where it paints on the virtual screen.
class LcdDialog : public MDialog {
public:
    void InitUI(CRect) override {}
    // Puts a renderer into the window, as a host's factory call does.
    OpenLcd* addRenderer(CRect rect)
    {
        auto* lcd = new OpenLcd(this, 50, rect, 1, 1);
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

} // namespace KOVA::test
