#pragma once
// A transparent layer: a top-down 32-bit DIB of premultiplied ARGB pixels in a DC of its own,
// cleared to nothing, drawn on once with GDI+ and then laid over frames as often as they come.
// GDI+ lays what it draws onto a 32-bit DIB with the same premultiplied blend AlphaBlend uses,
// so one element drawn on the layer and the layer laid over a frame give the pixels of that
// element drawn on the frame itself; overlapping elements may differ by a rounding step.
//
// Not thread-safe: its owner's lock guards it (the LCD renderer's state lock).
#include "platform/Win32.h"

#include <vector>

#include "lcd/renderer/LcdSurface.h"

namespace KOVA {

class LcdPremultipliedLayer {
public:
    LcdPremultipliedLayer() = default;
    LcdPremultipliedLayer(const LcdPremultipliedLayer&) = delete;
    LcdPremultipliedLayer& operator=(const LcdPremultipliedLayer&) = delete;

    // Makes the layer width × height (like reference) and clears it; the DC to draw on, or null
    // when the DIB cannot be made.
    HDC Begin(HDC reference, int width, int height);
    // Ends a drawing: finds the tiles that hold what was drawn and which of them are wholly
    // opaque, so that laying the layer over a frame touches only those tiles and copies where
    // nothing needs blending.
    void Seal();
    // Lays the layer over target at (0, 0), within clip when one is given.
    void DrawOnto(HDC target, HRGN clip = nullptr) const;

    bool Ready() const { return m_sealed; }
    // Marks the layer as holding nothing drawn until the next Begin and Seal.
    void Forget() { m_sealed = false; }
    // The bytes the layer's pixels take.
    size_t Bytes() const { return static_cast<size_t>(m_surface.stride()) * static_cast<size_t>(m_surface.height()); }

    // The side of the square tiles the layer is laid over a frame by.
    static constexpr int kTile = 32;

    // Whether GDI+ drawing through a DC onto a transparent 32-bit DIB leaves premultiplied
    // pixels whose alpha blend gives what drawing straight onto the ground gives. Wine's GDI+
    // does; a GDI+ that takes such a DIB as having no alpha would leave the text of a layer
    // or a kept text invisible or boxed, so the layers and kept texts are used only where this
    // holds. Tried once, on first use.
    static bool TransparentDrawingBlendsAlike();

private:
    // Tiles side by side on one row of tiles, all drawn on and all opaque or all not; a run
    // below another of the same span and kind is merged into it.
    struct Run {
        RECT rect;
        bool opaque;
    };
    // 0 nothing drawn, 1 something drawn, 2 every pixel opaque.
    int tileInk(int left, int top, int right, int bottom) const;
    void addRun(const RECT& rect, bool opaque);

    const DWORD* row(int y) const
    {
        return reinterpret_cast<const DWORD*>(m_surface.bits()) + static_cast<size_t>(y) * static_cast<size_t>(m_surface.width());
    }

    LcdSurface m_surface;
    std::vector<Run> m_runs;
    bool m_sealed { false };
};

} // namespace KOVA
