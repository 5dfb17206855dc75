// GUI thread only.
#include "devices/peripherals/KeyOutlineCache.h"

#include "framework/MRender.h"

namespace KOVA {

namespace {
// The pen is 2 px wide and centred on the path: it reaches one pixel past the key's edge, and
// smoothing one more.
constexpr int kMargin = 2;
constexpr float kRadius = 12.0f;
constexpr float kPenWidth = 2.0f;
} // namespace

struct KeyOutlineCache::Outline {
    Outline(int keyWidth, int keyHeight, Gdiplus::ARGB colour) : width(keyWidth), height(keyHeight), colour(colour)
    {
        const int w = width + 2 * kMargin;
        const int h = height + 2 * kMargin;
        BITMAPINFO info {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        dc = ::CreateCompatibleDC(nullptr);
        if (!bitmap || !dc)
            return;
        previous = ::SelectObject(dc, bitmap);
        // Drawn straight into the DIB's memory as premultiplied ARGB, which AlphaBlend reads.
        Gdiplus::Bitmap surface(w, h, w * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(bits));
        Gdiplus::Graphics graphics(&surface);
        graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
        MRender::DrawRoundRectange(graphics, static_cast<float>(kMargin), static_cast<float>(kMargin),
                                   static_cast<float>(width), static_cast<float>(height), kRadius,
                                   Gdiplus::Color(colour), kPenWidth, false, Gdiplus::Color());
    }
    ~Outline()
    {
        if (dc && previous)
            ::SelectObject(dc, previous);
        if (dc)
            ::DeleteDC(dc);
        if (bitmap)
            ::DeleteObject(bitmap);
    }
    Outline(const Outline&) = delete;
    Outline& operator=(const Outline&) = delete;

    int width;
    int height;
    Gdiplus::ARGB colour;
    HBITMAP bitmap { nullptr };
    HDC dc { nullptr };
    HGDIOBJ previous { nullptr };
};

KeyOutlineCache::KeyOutlineCache() = default;
KeyOutlineCache::~KeyOutlineCache() = default;

void KeyOutlineCache::Clear()
{
    m_outlines.clear();
}

KeyOutlineCache::Outline* KeyOutlineCache::outlineOf(int width, int height, Gdiplus::ARGB colour)
{
    for (const auto& outline : m_outlines)
        if (outline->width == width && outline->height == height && outline->colour == colour)
            return outline.get();
    m_outlines.push_back(std::make_unique<Outline>(width, height, colour));
    return m_outlines.back().get();
}

void KeyOutlineCache::Blend(HDC target, const CRect& rect, Gdiplus::ARGB colour, BYTE alpha)
{
    if (alpha == 0 || rect.Width() <= 0 || rect.Height() <= 0)
        return;
    const Outline* outline = outlineOf(rect.Width(), rect.Height(), colour);
    if (!outline->dc)
        return;
    const int w = rect.Width() + 2 * kMargin;
    const int h = rect.Height() + 2 * kMargin;
    const BLENDFUNCTION blend { AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA };
    ::AlphaBlend(target, rect.left - kMargin, rect.top - kMargin, w, h, outline->dc, 0, 0, w, h, blend);
}

} // namespace KOVA
