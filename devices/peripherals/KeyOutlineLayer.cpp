// GUI thread only.
#include "devices/peripherals/KeyOutlineLayer.h"

#include <algorithm>

#include "framework/MRender.h"

namespace KOVA {

namespace {
// The pen is 2 px wide and centred on the path: it reaches one pixel past the key's edge.
constexpr int kMargin = 1;
constexpr float kRadius = 12.0f;
constexpr float kPenWidth = 2.0f;
// The outlines are stroked as the frames show them, with a colour that is not opaque: this
// runtime strokes an opaque colour on a DC through GDI and a translucent one through its own
// rasteriser, whose pixels differ at the corners. The nearest to opaque keeps the most steps.
constexpr Gdiplus::ARGB kStrokeAlpha = 0xFE;

DWORD strongestOf(DWORD rgb)
{
    return std::max<DWORD>({ (rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF });
}
} // namespace

// A top-down 32-bit DIB selected into its own DC.
struct KeyOutlineLayer::Surface {
    Surface(int surfaceWidth, int surfaceHeight) : width(surfaceWidth), height(surfaceHeight)
    {
        BITMAPINFO info {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* memory = nullptr;
        bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &memory, nullptr, 0);
        dc = ::CreateCompatibleDC(nullptr);
        bits = static_cast<DWORD*>(memory);
        if (bitmap && dc)
            previous = ::SelectObject(dc, bitmap);
    }
    ~Surface()
    {
        if (dc && previous)
            ::SelectObject(dc, previous);
        if (dc)
            ::DeleteDC(dc);
        if (bitmap)
            ::DeleteObject(bitmap);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    bool usable() const { return bits && previous; }

    int width;
    int height;
    HBITMAP bitmap { nullptr };
    HDC dc { nullptr };
    HGDIOBJ previous { nullptr };
    DWORD* bits { nullptr };
};

KeyOutlineLayer::KeyOutlineLayer() = default;
KeyOutlineLayer::~KeyOutlineLayer() = default;

void KeyOutlineLayer::Begin(int width, int height, Gdiplus::ARGB colour)
{
    m_stroked = false;
    m_stroking.reset();
    if (!m_surface || m_surface->width != width || m_surface->height != height)
        m_surface = std::make_unique<Surface>(width, height);
    if (!m_surface->usable())
        return;
    std::fill(m_surface->bits, m_surface->bits + static_cast<size_t>(width) * static_cast<size_t>(height), 0u);
    m_colour = (colour & 0x00FFFFFF) | (kStrokeAlpha << 24);
    m_stroking = std::make_unique<Gdiplus::Graphics>(m_surface->dc);
    m_stroking->SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
}

void KeyOutlineLayer::Add(const CRect& rect)
{
    if (m_stroking)
        MRender::DrawRoundRectange(*m_stroking, static_cast<float>(rect.left), static_cast<float>(rect.top),
                                   static_cast<float>(rect.Width()), static_cast<float>(rect.Height()), kRadius,
                                   Gdiplus::Color(m_colour), kPenWidth, false, Gdiplus::Color());
}

void KeyOutlineLayer::End(size_t keyCount)
{
    if (!m_stroking)
        return;
    m_stroking.reset();
    ::GdiFlush();
    // Stroked over black, each pixel holds the colour times its coverage: the coverage goes
    // into its alpha, and the colour is already premultiplied by it as AlphaBlend takes it.
    const DWORD strongest = std::max<DWORD>(strongestOf(m_colour & 0x00FFFFFF) * kStrokeAlpha / 255, 1);
    DWORD* end = m_surface->bits + static_cast<size_t>(m_surface->width) * static_cast<size_t>(m_surface->height);
    for (DWORD* pixel = m_surface->bits; pixel != end; ++pixel) {
        const DWORD rgb = *pixel & 0x00FFFFFF;
        *pixel = (std::min<DWORD>(255, (strongestOf(rgb) * 255 + strongest / 2) / strongest) << 24) | rgb;
    }
    m_keyCount = keyCount;
    m_stroked = true;
}

void KeyOutlineLayer::Blend(HDC target, const CRect& rect, BYTE alpha) const
{
    if (alpha == 0 || !m_stroked)
        return;
    CRect part(rect.left - kMargin, rect.top - kMargin, rect.right + kMargin, rect.bottom + kMargin);
    CRect whole(0, 0, m_surface->width, m_surface->height);
    if (!part.IntersectRect(&part, &whole))
        return;
    const BLENDFUNCTION blend { AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA };
    ::AlphaBlend(target, part.left, part.top, part.Width(), part.Height(), m_surface->dc, part.left, part.top,
                 part.Width(), part.Height(), blend);
}

} // namespace KOVA
