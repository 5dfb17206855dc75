#pragma once
// The outlines of a keyboard's keys stroked once, opaque, where the keys are, into a layer of
// the view's size kept as premultiplied pixels: each light frame blends every key's part of
// the layer at that key's alpha instead of stroking a GDI+ path per key per frame. Stroked at
// the keys' own places, the outlines are the very pixels the view strokes in its other modes.
//
// GUI thread only (stroked and used while painting).
#include "platform/Win32.h"

#include <memory>

#include "platform/CRect.h"

namespace KOVA {

class KeyOutlineLayer {
public:
    KeyOutlineLayer();
    KeyOutlineLayer(const KeyOutlineLayer&) = delete;
    KeyOutlineLayer& operator=(const KeyOutlineLayer&) = delete;
    ~KeyOutlineLayer();

    // A clear layer of width × height; then Add each key and End.
    void Begin(int width, int height, Gdiplus::ARGB colour);
    // The outline of a key at rect (radius 12, 2 px pen, smoothed), in the view's coordinates.
    void Add(const CRect& rect);
    // Turns what was stroked into premultiplied pixels; the layer now holds keyCount keys.
    void End(size_t keyCount);
    // Stroked since the last Forget, for that many keys.
    bool Holds(size_t keyCount) const { return m_stroked && m_keyCount == keyCount; }
    void Forget() { m_stroked = false; }
    // Blends the part of the layer around the key at rect onto target at alpha.
    void Blend(HDC target, const CRect& rect, BYTE alpha) const;

private:
    struct Surface;
    std::unique_ptr<Surface> m_surface;
    std::unique_ptr<Gdiplus::Graphics> m_stroking;
    Gdiplus::ARGB m_colour { 0 };
    size_t m_keyCount { 0 };
    bool m_stroked { false };
};

} // namespace KOVA
