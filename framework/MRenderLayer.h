#pragma once
// A kept look: what controls draw with GDI+ onto a transparent 32-bit DIB, kept as
// premultiplied pixels and laid over whatever lies under it as often as it is shown, instead
// of being drawn again over each new ground. GDI+ lays what it draws onto a 32-bit DIB with
// AlphaBlend's premultiplied blend, and the layer is laid over a ground with that same blend,
// so a look drawn on the layer and laid over a ground gives the pixels of the look drawn on
// the ground itself (elements overlapping where both are translucent may differ by a rounding
// step). Whether this platform's GDI+ does so is tried once (BlendsAlike); where it does not,
// its users draw straight.
//
// Once its drawing is sealed, each row of the layer is known as runs of opaque and of
// translucent pixels: laying it over a ground skips what is empty, copies the opaque runs and
// blends only the translucent ones.
//
// Not thread-safe: used while one window paints, on its GUI thread.
#include "platform/Win32.h"

#include <vector>

#include "framework/MRenderInternal.h"
#include "platform/CPoint.h"
#include "platform/CRect.h"
#include "platform/CString.h"

namespace KOVA {

class LookLayer {
public:
    LookLayer() = default;
    LookLayer(const LookLayer&) = delete;
    LookLayer& operator=(const LookLayer&) = delete;

    // Makes the layer width × height, all transparent, when its size differs; true when it was
    // made anew (or could not be made: then dc() is null).
    bool Ensure(int width, int height);
    // The DC to draw on: a top-down 32-bit DIB section (null until Ensure made one).
    HDC dc() const { return m_dib.dc; }
    int width() const { return m_dib.width; }
    int height() const { return m_dib.height; }

    // Makes rect (clipped to the layer) transparent.
    void Clear(const CRect& rect);
    // Lays rect of another layer of the same size over the same place of this one.
    void BlendFrom(const LookLayer& other, const CRect& rect);
    // Finds the runs of the rows rect crosses after drawing there.
    void Seal(const CRect& rect);
    // Lays source (layer pixels, sealed) over target with its top-left corner at (x, y): the
    // wholly opaque parts copied, the rest blended in a band of the layer's own (GDI does not
    // say which way up a DIB section's rows lie in memory, so the target's pixels are not
    // touched in place).
    void BlendOnto(HDC target, int x, int y, const CRect& source);
    // Several parts of the layer, each with its top-left corner at its own point of target,
    // through one band over all of them.
    struct Piece {
        CRect source;
        CPoint at;
    };
    void BlendOnto(HDC target, const std::vector<Piece>& pieces);

    // The pixel AlphaBlend leaves when it lays the premultiplied pixel top over under.
    static DWORD Blend(DWORD under, DWORD top)
    {
        const DWORD rest = 255 - (top >> 24);
        return (((top & 0xFF) + ((under & 0xFF) * rest + 127) / 255)
                | (((top >> 8) & 0xFF) + (((under >> 8) & 0xFF) * rest + 127) / 255) << 8
                | (((top >> 16) & 0xFF) + (((under >> 16) & 0xFF) * rest + 127) / 255) << 16
                | ((top >> 24) + ((under >> 24) * rest + 127) / 255) << 24);
    }

    // Whether GDI+ drawing through a DC onto a transparent 32-bit DIB leaves premultiplied
    // pixels that, laid over a ground, give exactly what the same drawing gives on the ground:
    // text in every hint the controls use, solid and translucent fills, a stretched picture
    // with translucent edges. Tried once, on first use.
    static bool BlendsAlike();

private:
    // Opaque runs at least this long are copied straight; shorter ones go with the blended
    // rest, where a copy of their own would cost more in calls than in pixels.
    static constexpr int kStraightRun = 64;
    // Pixels left .. right - 1 of a row, all opaque or all translucent.
    struct Run {
        int left;
        int right;
        bool opaque;
    };
    // 32-bit pixels in memory, rows stride pixels apart (negative for a bottom-up DIB).
    struct Pixels {
        DWORD* origin { nullptr };
        ptrdiff_t stride { 0 };
        DWORD* row(int y) const { return origin + y * stride; }
    };
    DWORD* row(int y) const { return m_dib.bits + static_cast<ptrdiff_t>(y) * m_dib.width; }
    CRect clipped(const CRect& rect) const;
    void findRuns(int y);
    // Lays source over target, whose pixel (0, 0) stands under source's top-left corner.
    void blendRows(const Pixels& target, const CRect& source) const;

    detail::DibSurface m_dib;
    std::vector<std::vector<Run>> m_runs;
    // Where a target that is not a plain DIB section is blended.
    detail::DibSurface m_band;
};

// Kept looks of rows of one size (a list's rows), each drawn once over nothing into a slot of
// its own and laid over the list's ground at every paint that shows it: a wheel notch lays the
// rows it shows and draws only those never kept. A row's look is found by a key that names
// everything it is drawn from; when what every row is drawn from changes (the width, the
// font, the colours) every look goes. The slot used longest ago makes way for a new look.
class RowLooks {
public:
    // Slots of width × height, count of them, for rows drawn from common: a change of any
    // drops every kept look. False when no look can be kept.
    bool Prepare(int width, int height, int count, const CString& common);
    // The slot holding the look kept for key, or an empty rectangle.
    CRect Find(const CString& key);
    // A clear slot now named by key (drawn on through dc() at that place, then sealed).
    CRect Take(const CString& key);
    void Seal(const CRect& slot) { m_layer.Seal(slot); }
    HDC dc() const { return m_layer.dc(); }
    void BlendOnto(HDC target, const std::vector<LookLayer::Piece>& pieces) { m_layer.BlendOnto(target, pieces); }

private:
    struct Slot {
        CString key;
        unsigned lastUse { 0 };
    };
    LookLayer m_layer;
    std::vector<Slot> m_slots;
    CString m_common;
    int m_width { 0 };
    int m_height { 0 };
    unsigned m_uses { 0 };
};

} // namespace KOVA
