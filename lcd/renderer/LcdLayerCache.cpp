#include "lcd/renderer/LcdLayerCache.h"

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

bool LcdLayerCache::Matches(const LcdLayerKey& key, const CString& face, HDC surface)
{
    SurfacePixels under;
    for (Layer& layer : m_layers) {
        if (!layer.valid || !(key == layer.key) || !(face == layer.face))
            continue;
        if (!under.bits)
            under = surfacePixels(surface, key.width, key.height);
        if (under.bits && under.size == layer.under.size()
            && std::memcmp(under.bits, layer.under.data(), under.size) == 0) {
            layer.lastUse = ++m_uses;
            m_current = &layer;
            return true;
        }
    }
    return false;
}

HDC LcdLayerCache::Begin(const LcdLayerKey& key, const CString& face, HDC surface)
{
    Layer& layer = slotFor(key);
    layer.valid = false;
    m_current = nullptr;
    const SurfacePixels under = surfacePixels(surface, key.width, key.height);
    if (!under.bits || !layer.pixels.Prepare(surface, key.width, key.height))
        return nullptr;
    layer.under.assign(under.bits, under.bits + under.size);
    // GetObject reports a top-down section's height as positive (Wine as Windows), so the row
    // order of a surface cannot be read; GDI copies between the two in either order.
    ::BitBlt(layer.pixels.dc(), 0, 0, key.width, key.height, surface, 0, 0, SRCCOPY);
    GdiFlush();
    layer.key = key;
    layer.face = face;
    layer.valid = true;
    layer.lastUse = ++m_uses;
    m_current = &layer;
    return layer.pixels.dc();
}

void LcdLayerCache::CopyTo(HDC surface) const
{
    if (!m_current || !m_current->valid)
        return;
    const LcdSurface& layer = m_current->pixels;
    if (!surfacePixels(surface, layer.width(), layer.height()).bits)
        return;
    GdiFlush();
    ::BitBlt(surface, 0, 0, layer.width(), layer.height(), layer.dc(), 0, 0, SRCCOPY);
    GdiFlush();
}

// A layer drawn before the renderer's version moved on can never match again (the version only
// grows): it makes way first, so a screen whose settings change frame after frame keeps reusing
// one layer instead of filling the cache. Then an unused slot, then the least recently used.
LcdLayerCache::Layer& LcdLayerCache::slotFor(const LcdLayerKey& key)
{
    Layer* unused = nullptr;
    Layer* oldest = &m_layers[0];
    for (Layer& layer : m_layers) {
        if (layer.valid && layer.key.version != key.version)
            return layer;
        if (!layer.valid && !unused)
            unused = &layer;
        else if (layer.lastUse < oldest->lastUse)
            oldest = &layer;
    }
    return unused ? *unused : *oldest;
}

} // namespace KOVA
