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

KeyOutlineLayer::KeyOutlineLayer() = default;
KeyOutlineLayer::~KeyOutlineLayer() = default;

void KeyOutlineLayer::Begin(int width, int height, Gdiplus::ARGB colour)
{
    m_stroked = false;
    m_stroking.reset();
    if ((!m_surface.bits || m_surface.width != width || m_surface.height != height) && !m_surface.Make(width, height))
        return;
    std::fill(m_surface.bits, m_surface.bits + static_cast<size_t>(width) * static_cast<size_t>(height), 0u);
    m_colour = (colour & 0x00FFFFFF) | (kStrokeAlpha << 24);
    m_keys.clear();
    m_stroking = std::make_unique<Gdiplus::Graphics>(m_surface.dc);
    m_stroking->SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
}

bool KeyOutlineLayer::Holds(int width, int height, const std::vector<CRect>& keys) const
{
    return m_stroked && m_surface.width == width && m_surface.height == height && m_keys == keys;
}

void KeyOutlineLayer::Add(const CRect& rect)
{
    m_keys.push_back(rect);
    if (m_stroking)
        MRender::DrawRoundRectange(*m_stroking, static_cast<float>(rect.left), static_cast<float>(rect.top),
                                   static_cast<float>(rect.Width()), static_cast<float>(rect.Height()), kRadius,
                                   Gdiplus::Color(m_colour), kPenWidth, false, Gdiplus::Color());
}

void KeyOutlineLayer::End()
{
    if (!m_stroking)
        return;
    m_stroking.reset();
    ::GdiFlush();
    // Stroked over black, each pixel holds the colour times its coverage: the coverage goes
    // into its alpha, and the colour is already premultiplied by it as AlphaBlend takes it.
    const DWORD strongest = std::max<DWORD>(strongestOf(m_colour & 0x00FFFFFF) * kStrokeAlpha / 255, 1);
    DWORD* end = m_surface.bits + static_cast<size_t>(m_surface.width) * static_cast<size_t>(m_surface.height);
    for (DWORD* pixel = m_surface.bits; pixel != end; ++pixel) {
        const DWORD rgb = *pixel & 0x00FFFFFF;
        *pixel = (std::min<DWORD>(255, (strongestOf(rgb) * 255 + strongest / 2) / strongest) << 24) | rgb;
    }
    // Each key's outline pixels, once: a frame blends only these.
    m_outlinePixels.clear();
    m_keyEnds.clear();
    const CRect whole(0, 0, m_surface.width, m_surface.height);
    for (const CRect& key : m_keys) {
        CRect part(key.left - kMargin, key.top - kMargin, key.right + kMargin, key.bottom + kMargin);
        if (part.IntersectRect(&part, &whole))
            for (int y = part.top; y < part.bottom; ++y)
                for (int x = part.left; x < part.right; ++x) {
                    const size_t at = static_cast<size_t>(y) * static_cast<size_t>(m_surface.width) + static_cast<size_t>(x);
                    if (m_surface.bits[at] >> 24)
                        m_outlinePixels.push_back(at);
                }
        m_keyEnds.push_back(m_outlinePixels.size());
    }
    m_stroked = true;
}

void KeyOutlineLayer::KeepBase(HDC source, int width, int height)
{
    for (detail::DibSurface* surface : { &m_base, &m_frame })
        if (!surface->bits || surface->width != width || surface->height != height)
            surface->Make(width, height);
    if (m_base.bits)
        ::BitBlt(m_base.dc, 0, 0, width, height, source, 0, 0, SRCCOPY);
}

bool KeyOutlineLayer::beginFrame()
{
    if (!m_stroked || !m_base.bits || !m_frame.bits || m_base.width != m_surface.width
        || m_base.height != m_surface.height)
        return false;
    // GDI may still be writing into the picture's memory.
    ::GdiFlush();
    std::copy(m_base.bits, m_base.bits + static_cast<size_t>(m_base.width) * static_cast<size_t>(m_base.height),
              m_frame.bits);
    return true;
}

// As AlphaBlend does with a per-pixel and a constant alpha: the premultiplied outline scaled by
// the key's alpha, over the picture by what is left.
void KeyOutlineLayer::blendKey(size_t key, BYTE alpha)
{
    if (alpha == 0)
        return;
    const size_t begin = key == 0 ? 0 : m_keyEnds[key - 1];
    for (size_t i = begin; i < m_keyEnds[key]; ++i) {
        const size_t at = m_outlinePixels[i];
        const DWORD source = m_surface.bits[at];
        const DWORD under = m_frame.bits[at];
        const DWORD cover = ((source >> 24) * alpha + 127) / 255;
        DWORD mixed = 0;
        for (int shift : { 0, 8, 16 }) {
            const DWORD top = (((source >> shift) & 0xFF) * alpha + 127) / 255;
            const DWORD bottom = (((under >> shift) & 0xFF) * (255 - cover) + 127) / 255;
            mixed |= std::min<DWORD>(255, top + bottom) << shift;
        }
        m_frame.bits[at] = mixed | (under & 0xFF000000);
    }
}

void KeyOutlineLayer::showFrame(HDC target) const
{
    ::BitBlt(target, 0, 0, m_frame.width, m_frame.height, m_frame.dc, 0, 0, SRCCOPY);
}

} // namespace KOVA
