#pragma once
// The rounded outline of a key drawn once per key size, opaque, as premultiplied pixels: the
// keyboard's light frames blend it onto every key of that size at the key's alpha instead of
// stroking a GDI+ path per key per frame. The pixels are those of the stroked path within the
// blend's rounding.
//
// GUI thread only (built and used while painting).
#include "platform/Win32.h"

#include <memory>
#include <vector>

#include "platform/CRect.h"

namespace KOVA {

class KeyOutlineCache {
public:
    KeyOutlineCache();
    KeyOutlineCache(const KeyOutlineCache&) = delete;
    KeyOutlineCache& operator=(const KeyOutlineCache&) = delete;
    ~KeyOutlineCache();

    // The outline of a key at rect (radius 12, 2 px pen, smoothed, in colour) blended onto
    // target at alpha; the outline of that size is drawn the first time it is asked for.
    void Blend(HDC target, const CRect& rect, Gdiplus::ARGB colour, BYTE alpha);
    void Clear();

private:
    struct Outline;
    Outline* outlineOf(int width, int height, Gdiplus::ARGB colour);

    std::vector<std::unique_ptr<Outline>> m_outlines;
};

} // namespace KOVA
