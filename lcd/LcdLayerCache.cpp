#include "lcd/LcdLayerCache.h"

#include <cstring>

namespace KOVA {

namespace {
struct SurfacePixels {
    BYTE* bits { nullptr };
    size_t size { 0 };
};

// The pixels of the 32-bit DIB section selected into dc, when it has width × height of them.
SurfacePixels surfacePixels(HDC dc, int width, int height)
{
    SurfacePixels pixels;
    DIBSECTION section {};
    const HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    if (!bitmap || GetObjectW(bitmap, sizeof(section), &section) != sizeof(section))
        return pixels;
    if (!section.dsBm.bmBits || section.dsBm.bmBitsPixel != 32 || section.dsBm.bmWidth != width
        || section.dsBm.bmHeight != height)
        return pixels;
    // What GDI+ or GDI has queued must be in the pixels before they are compared or copied.
    GdiFlush();
    pixels.bits = static_cast<BYTE*>(section.dsBm.bmBits);
    pixels.size = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    return pixels;
}
} // namespace

bool LcdLayerKey::operator==(const LcdLayerKey& o) const
{
    return version == o.version && screen == o.screen && item == o.item && width == o.width && height == o.height
        && screenType == o.screenType && language == o.language && fahrenheit == o.fahrenheit && scale == o.scale
        && textColour == o.textColour && controlHint == o.controlHint && frameHint == o.frameHint
        && smoothing == o.smoothing && interpolation == o.interpolation;
}

LcdLayerCache::~LcdLayerCache()
{
    if (m_dc && m_previous)
        SelectObject(m_dc.get(), m_previous);
}

bool LcdLayerCache::Matches(const LcdLayerKey& key, const CString& face, HDC surface) const
{
    if (!m_valid || !(key == m_key) || !(face == m_face))
        return false;
    const SurfacePixels under = surfacePixels(surface, key.width, key.height);
    return under.bits && under.size == m_under.size() && std::memcmp(under.bits, m_under.data(), under.size) == 0;
}

HDC LcdLayerCache::Begin(const LcdLayerKey& key, const CString& face, HDC surface)
{
    m_valid = false;
    const SurfacePixels under = surfacePixels(surface, key.width, key.height);
    if (!under.bits || !prepare(surface, key.width, key.height))
        return nullptr;
    m_under.assign(under.bits, under.bits + under.size);
    // GetObject reports a top-down section's height as positive (Wine as Windows), so the row
    // order of a surface cannot be read; GDI copies between the two in either order.
    ::BitBlt(m_dc.get(), 0, 0, key.width, key.height, surface, 0, 0, SRCCOPY);
    GdiFlush();
    m_key = key;
    m_face = face;
    m_valid = true;
    return m_dc.get();
}

void LcdLayerCache::CopyTo(HDC surface) const
{
    if (!m_valid)
        return;
    if (!surfacePixels(surface, m_width, m_height).bits)
        return;
    GdiFlush();
    ::BitBlt(surface, 0, 0, m_width, m_height, m_dc.get(), 0, 0, SRCCOPY);
    GdiFlush();
}

bool LcdLayerCache::prepare(HDC reference, int width, int height)
{
    if (m_dc && width == m_width && height == m_height)
        return true;
    if (m_dc && m_previous)
        SelectObject(m_dc.get(), m_previous);
    m_previous = nullptr;
    m_bitmap.reset();
    m_dc.reset();
    m_width = m_height = 0;
    void* bits = nullptr;
    m_dc.reset(CreateCompatibleDC(reference));
    m_bitmap.reset(detail::CreateDib32(reference, width, height, true, &bits));
    if (!m_dc || !m_bitmap || !bits) {
        m_bitmap.reset();
        m_dc.reset();
        return false;
    }
    m_previous = SelectObject(m_dc.get(), m_bitmap.get());
    m_width = width;
    m_height = height;
    return true;
}

} // namespace KOVA
