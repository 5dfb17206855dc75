#pragma once
// What the LCD tests share: pulling the published JPEG as the host does, decoding it, reading
// its luminance quantisation, a real dialog that hosts the renderer, and a renderer whose
// record a test may look into.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include "KOVA.h"
#include "PumpUntil.h"
#include "TestWindow.h"

namespace KOVA::test {

constexpr int kLargestCapacity = 640 * 480 * 4;

// The newest published frame, as GetLEDData hands it to a host; empty when there is none.
inline std::vector<BYTE> pullFrame(LEDModeCtrl& lcd)
{
    std::vector<BYTE> buffer(kLargestCapacity, 0xAB);
    int length = -1;
    if (!lcd.GetLEDData(buffer.data(), length) || length <= 0)
        return {};
    buffer.resize(static_cast<size_t>(length));
    return buffer;
}

struct DecodedFrame {
    bool complete { false };   // starts with SOI, ends with EOI and decodes
    int width { 0 };
    int height { 0 };
    int lumaDcQuant { 0 };     // the first value of quantisation table 0
    cv::Mat bgr;
    // 0x00RRGGBB of a pixel.
    DWORD rgb(int x, int y) const
    {
        const cv::Vec3b p = bgr.at<cv::Vec3b>(y, x);
        return (static_cast<DWORD>(p[2]) << 16) | (static_cast<DWORD>(p[1]) << 8) | p[0];
    }
};

// The first entry of luminance table 0 in the file's DQT segments; 0 when there is none.
inline int lumaDcQuant(const std::vector<BYTE>& jpeg)
{
    for (size_t i = 2; i + 4 < jpeg.size();) {
        if (jpeg[i] != 0xFF)
            return 0;
        const BYTE marker = jpeg[i + 1];
        const size_t length = (static_cast<size_t>(jpeg[i + 2]) << 8) | jpeg[i + 3];
        if (marker == 0xDB) {
            for (size_t t = i + 4; t < i + 2 + length;) {
                const int precision = jpeg[t] >> 4;
                const int table = jpeg[t] & 0x0F;
                if (table == 0)
                    return precision ? (jpeg[t + 1] << 8) | jpeg[t + 2] : jpeg[t + 1];
                t += 1 + 64 * (precision ? 2 : 1);
            }
        }
        if (marker == 0xDA)
            return 0;
        i += 2 + length;
    }
    return 0;
}

inline DecodedFrame decodeFrame(const std::vector<BYTE>& jpeg)
{
    DecodedFrame frame;
    if (jpeg.size() < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8 || jpeg[jpeg.size() - 2] != 0xFF
        || jpeg[jpeg.size() - 1] != 0xD9)
        return frame;
    frame.bgr = cv::imdecode(cv::Mat(1, static_cast<int>(jpeg.size()), CV_8UC1, const_cast<BYTE*>(jpeg.data())),
                             cv::IMREAD_COLOR);
    if (frame.bgr.empty())
        return frame;
    frame.complete = true;
    frame.width = frame.bgr.cols;
    frame.height = frame.bgr.rows;
    frame.lumaDcQuant = lumaDcQuant(jpeg);
    return frame;
}

// True when each of red, green and blue differ by at most tolerance.
inline bool closeTo(DWORD rgb, DWORD expected, int tolerance = 6)
{
    for (int shift : { 0, 8, 16 }) {
        const int a = static_cast<int>((rgb >> shift) & 0xFF);
        const int b = static_cast<int>((expected >> shift) & 0xFF);
        if (a - b > tolerance || b - a > tolerance)
            return false;
    }
    return true;
}

// A renderer whose record a test may look into and fill where the host's loaders would.
class OpenLcd : public LEDModeCtrl {
public:
    using LEDModeCtrl::LEDModeCtrl;
    DWORD lastFrameTime() const { return m_lastFrameTime; }
    int frameIndex() const { return m_frameIndex; }
    int carouselIndex() const { return m_carouselIndex; }
    bool shown() const { return m_shown; }
    float imageScale() const { return m_imageScale; }
    float captureScale() const { return m_captureScale; }
    float brightness() const { return m_brightness; }
    CPoint carouselPosition() const { return m_carouselPosition; }
    CPoint capturePan() const { return m_capturePan; }
    RECT carouselRect() const { return m_carouselRect; }
    Gdiplus::Color carouselColour() const { return m_carouselColour; }
    float carouselWidthFactor() const { return m_carouselWidthFactor; }
    void setFramePeriod(int period) { m_framePeriod = period; }
    // An animated medium of frameCount frames, as the file loader leaves it.
    void giveMedia(Gdiplus::Image* image, int frameCount)
    {
        ScopedLock lock(m_stateLock);
        m_media.image.reset(image);
        m_media.width = static_cast<int>(image->GetWidth());
        m_media.height = static_cast<int>(image->GetHeight());
        m_frameCount = frameCount;
        m_frameIndex = 0;
        m_imageCentre = CPoint(m_rect.Width() / 2, m_rect.Height() / 2);
    }
};

// A window of one solid colour, or of two colours side by side, for the capture screen to
// copy: what it shows tells where each part of the frame came from.
class ColourWindow {
public:
    ColourWindow(int width, int height, COLORREF left, COLORREF right, int x = 900)
        : m_window(width, height, WS_POPUP | WS_VISIBLE)
    {
        ::SetWindowPos(m_window.hwnd(), nullptr, x, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        m_window.onMessage([=](UINT msg, WPARAM, LPARAM, LRESULT& result) {
            if (msg != WM_PAINT)
                return false;
            PAINTSTRUCT paint;
            HDC dc = ::BeginPaint(m_window.hwnd(), &paint);
            RECT half { 0, 0, width / 2, height };
            MRender::FillSolidRect(dc, &half, left);
            half = { width / 2, 0, width, height };
            MRender::FillSolidRect(dc, &half, right);
            ::EndPaint(m_window.hwnd(), &paint);
            result = 0;
            return true;
        });
        ::InvalidateRect(m_window.hwnd(), nullptr, TRUE);
        ::UpdateWindow(m_window.hwnd());
    }
    HWND hwnd() const { return m_window.hwnd(); }

private:
    TestWindow m_window;
};

// A real dialog hosting one renderer, placed where it paints on the virtual screen.
class LcdDialog : public MDialog {
public:
    void InitUI(CRect) override {}
    // Puts a renderer of the given class into the window, as a host's factory call does.
    template <class T = OpenLcd>
    T* addRenderer(CRect rect)
    {
        T* lcd = new T(this, 50, rect, 1, 1);
        lcd->SetManager(GetPaintManager());
        GetPaintManager()->AppendControl(lcd, 1);
        return lcd;
    }
    HWND open(CRect place, bool show)
    {
        HWND hwnd = Create(nullptr, L"lcd host", WS_POPUP, 0, place);
        EnableWndDrag(0);
        if (show)
            ShowWindow(SW_SHOWNOACTIVATE);
        return hwnd;
    }
    // Paints what is pending now, as the message loop would.
    void paintNow()
    {
        pumpMessages();
        ::RedrawWindow(GetSafeHwnd(), nullptr, nullptr, RDW_UPDATENOW);
    }
};

} // namespace KOVA::test
