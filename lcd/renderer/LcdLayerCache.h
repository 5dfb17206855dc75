#pragma once
// The still layer of an LCD screen: what a screen draws before its first per-frame element
// (and what no per-frame element can touch), kept as pixels from frame to frame. A frame
// copies the layer over its surface and draws only its changing elements on top.
//
// The layer is valid for one key and for the exact pixels that lay under the screen when it
// was drawn (the black base, the corners the window showed), so a change of anything the still
// part reads, or of what is under it, redraws it. Used inside the renderer's renders only,
// with its render lock held.
#include "platform/Win32.h"

#include <vector>

#include "lcd/renderer/LcdSurface.h"
#include "platform/CString.h"

namespace KOVA {

// Everything a still part may read besides the renderer's own settings, which bump version.
struct LcdLayerKey {
    unsigned version { 0 };
    int screen { 0 };
    int item { 0 };
    int width { 0 };
    int height { 0 };
    int screenType { 0 };
    int language { 0 };
    bool fahrenheit { false };
    float scale { 0 };
    Gdiplus::ARGB textColour { 0 };
    Gdiplus::TextRenderingHint controlHint { Gdiplus::TextRenderingHintSystemDefault };
    Gdiplus::TextRenderingHint frameHint { Gdiplus::TextRenderingHintSystemDefault };
    Gdiplus::SmoothingMode smoothing { Gdiplus::SmoothingModeDefault };
    Gdiplus::InterpolationMode interpolation { Gdiplus::InterpolationModeDefault };

    bool operator==(const LcdLayerKey& other) const;
};

class LcdLayerCache {
public:
    LcdLayerCache() = default;
    LcdLayerCache(const LcdLayerCache&) = delete;
    LcdLayerCache& operator=(const LcdLayerCache&) = delete;

    // True when a layer was drawn for key and face over the pixels surface now holds; that
    // layer becomes the current one. surface must be a 32-bit DIB section of key.width ×
    // key.height selected into a DC.
    bool Matches(const LcdLayerKey& key, const CString& face, HDC surface);
    // Starts a new current layer over the pixels surface holds now, in place of a layer of an
    // older version, else of an unused slot, else of the layer used longest ago; returns the DC
    // to draw the still part on, or null when surface is not a DIB of the key's size (draw
    // straightforwardly).
    HDC Begin(const LcdLayerKey& key, const CString& face, HDC surface);
    // Copies the current layer over surface.
    void CopyTo(HDC surface) const;

    // The carousel shows one screen per item in turn, a frame each: every item keeps its layer.
    static constexpr size_t kLayers = 12;

private:
    struct Layer {
        LcdLayerKey key;
        CString face;
        bool valid { false };
        unsigned lastUse { 0 };
        std::vector<BYTE> under;
        LcdSurface pixels;
    };
    Layer& slotFor(const LcdLayerKey& key);

    Layer m_layers[kLayers];
    Layer* m_current { nullptr };
    unsigned m_uses { 0 };
};

} // namespace KOVA
