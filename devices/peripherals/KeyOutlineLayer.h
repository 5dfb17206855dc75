#pragma once
// The outlines of a keyboard's keys stroked once, opaque, where the keys are, into a layer of
// the view's size kept as premultiplied pixels, beside the picture a rebuild leaves under them:
// each light frame is that picture with every key's outline pixels blended at the key's alpha,
// in memory, instead of a GDI+ path stroked per key per frame. Stroked at the keys' own places,
// the outlines are the very pixels the view strokes in its other modes.
//
// GUI thread only (stroked and used while painting).
#include "platform/Win32.h"

#include <memory>
#include <vector>

#include "framework/MRenderInternal.h"
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
    // Turns what was stroked into premultiplied pixels.
    void End();
    // Stroked at width × height for exactly these key places (the outlines depend on nothing
    // else): a rebuild of the view keeps them.
    bool Holds(int width, int height, const std::vector<CRect>& keys) const;
    // Keeps width × height of source (the picture under the outlines) for the frames.
    void KeepBase(HDC source, int width, int height);
    // The kept picture with key i's outline at alphaOf(i), copied to target's top-left corner;
    // false when there is no picture or no outlines of its size.
    template <class AlphaOf>
    bool Compose(HDC target, AlphaOf alphaOf);

private:
    bool beginFrame();
    void blendKey(size_t key, BYTE alpha);
    void showFrame(HDC target) const;

    detail::DibSurface m_surface;
    detail::DibSurface m_base;
    detail::DibSurface m_frame;
    // Where each key's outline pixels are in the layer: key k's run from m_keyEnds[k - 1].
    std::vector<CRect> m_keys;
    std::vector<size_t> m_outlinePixels;
    std::vector<size_t> m_keyEnds;
    std::unique_ptr<Gdiplus::Graphics> m_stroking;
    Gdiplus::ARGB m_colour { 0 };
    bool m_stroked { false };
};

template <class AlphaOf>
bool KeyOutlineLayer::Compose(HDC target, AlphaOf alphaOf)
{
    if (!beginFrame())
        return false;
    for (size_t key = 0; key < m_keyEnds.size(); ++key)
        blendKey(key, alphaOf(static_cast<int>(key)));
    showFrame(target);
    return true;
}

} // namespace KOVA
