#pragma once
// What the clock faces keep when their background moves (a GIF or a video): the face's
// elements that do not change with the time, on a transparent layer laid over each new
// background frame, and the GIF's frames already stretched to the screen, one per frame index
// while they fit in kGifFrameBudget bytes (beyond that a frame index shares its slot with
// others and is stretched again when it comes back).
//
// Used inside the renders under the renderer's state lock, like everything the faces read.
#include "platform/Win32.h"

#include <memory>
#include <vector>

#include "lcd/renderer/LcdLayerCache.h"
#include "lcd/renderer/LcdPremultipliedLayer.h"
#include "platform/CString.h"

namespace KOVA {

// Elements of a face on a transparent layer, kept while what they were drawn for holds:
// the layer key, the font face and, for elements that show the time, the second shown.
class ClockKeptElements {
public:
    bool Matches(const LcdLayerKey& key, const CString& face, int second) const;
    // Clears the layer for key, face and second; the DC to draw the elements on (then call
    // End), or null when the layer cannot be made.
    HDC Begin(const LcdLayerKey& key, const CString& face, int second, HDC reference);
    void End() { m_layer.Seal(); }
    void DrawOnto(HDC target, HRGN clip = nullptr) const { m_layer.DrawOnto(target, clip); }

private:
    LcdPremultipliedLayer m_layer;
    LcdLayerKey m_key;
    CString m_face;
    int m_second { -1 };
    bool m_valid { false };
};

class ClockBackdropLayers {
public:
    // The still elements, laid over each background frame.
    ClockKeptElements& Overlay() { return m_overlay; }
    // The hands, where they are all a face draws every frame: drawn once a second, not for
    // every frame of the background.
    ClockKeptElements& Hands() { return m_hands; }

    // What the stretched GIF frames were drawn for: the clock background (its serial, which
    // every new background changes, and frame count), the frame's size and the interpolation.
    struct GifKey {
        unsigned serial { 0 };
        int frameCount { 0 };
        int width { 0 };
        int height { 0 };
        Gdiplus::InterpolationMode interpolation { Gdiplus::InterpolationModeDefault };
        bool operator==(const GifKey& other) const;
    };
    // The slot of frame index: Ready() when it holds that frame stretched, else to be drawn
    // (Begin, draw, Seal) by the caller, who then owns that frame in the slot.
    LcdPremultipliedLayer& GifFrame(const GifKey& key, int index);
    // Lets go of the stretched frames (the background no longer moves).
    void ForgetGifFrames();

    static constexpr size_t kGifFrameBudget = 32u << 20;

private:
    struct GifSlot {
        LcdPremultipliedLayer frame;
        int index { -1 };
    };

    ClockKeptElements m_overlay;
    ClockKeptElements m_hands;

    GifKey m_gifKey;
    std::vector<std::unique_ptr<GifSlot>> m_gifSlots;
};

} // namespace KOVA
