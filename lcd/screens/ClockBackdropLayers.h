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

class ClockBackdropLayers {
public:
    // The overlay: true while it holds the still elements drawn for key and face.
    bool OverlayMatches(const LcdLayerKey& key, const CString& face) const;
    // Clears the overlay for key and face; the DC to draw the still elements on (then call
    // EndOverlay), or null when the layer cannot be made.
    HDC BeginOverlay(const LcdLayerKey& key, const CString& face, HDC reference);
    void EndOverlay();
    void DrawOverlay(HDC target) const { m_overlay.DrawOnto(target); }

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

    LcdPremultipliedLayer m_overlay;
    LcdLayerKey m_overlayKey;
    CString m_overlayFace;
    bool m_overlayValid { false };

    GifKey m_gifKey;
    std::vector<std::unique_ptr<GifSlot>> m_gifSlots;
};

} // namespace KOVA
