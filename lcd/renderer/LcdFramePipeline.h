#pragma once
// The pipeline a frame of the LCD renderer goes through: the surface it is drawn on, the black base and
// the dimming laid over it, its turn into the published orientation and its JPEG encoding.
// Each pipeline is used by one thread only (the visible render's GUI thread or the hidden render's
// fast-timer thread), so the two renders never share a surface, a mask, a turn or a compressor.
// All of it is kept from frame to frame and made anew only when the frame's size changes (the
// plan of a free-angle turn also when its angle does).
#include "platform/Win32.h"

#include <vector>

#include "lcd/renderer/LcdFreeTurn.h"
#include "lcd/renderer/LcdJpegEncoder.h"
#include "lcd/renderer/LcdSurface.h"

namespace KOVA {

class LcdFramePipeline {
public:
    // The largest JPEG a frame may become: the largest buffer capacity.
    explicit LcdFramePipeline(int jpegCapacity);
    LcdFramePipeline(const LcdFramePipeline&) = delete;
    LcdFramePipeline& operator=(const LcdFramePipeline&) = delete;

    // A top-down 32-bit surface of width × height compatible with reference (null: the screen).
    bool Prepare(HDC reference, int width, int height);
    HDC dc() const { return m_surface.dc(); }

    // The whole surface in one colour, as GDI's opaque fill leaves it.
    void FillPlain(COLORREF colour);
    // Opaque black over the whole surface, or over the disc that fills it (anti-aliased edge,
    // the corners left as they are).
    void FillBase(bool disc);
    // Black of the given alpha over the whole surface, or over the disc one pixel larger;
    // insideEllipse keeps it to the ellipse inscribed in the surface, as a clip to it would.
    void Dim(bool disc, int alpha, bool insideEllipse = false);

    // Turns the surface clockwise by degrees and encodes the result at quality. Returns the
    // JPEG's size (its bytes at Data()), 0 when the frame could not be made.
    int Encode(double degrees, int quality);
    const BYTE* Data() const { return m_encoder.Data(); }
    // The pixels the last Encode compressed, top-down BGRA rows of EncodedWidth(); none before
    // the first.
    void EncodedPixels(std::vector<BYTE>& into) const;
    int EncodedWidth() const { return m_encodedWidth; }
    int EncodedHeight() const { return m_encodedHeight; }

private:
    // How much of each pixel a shape covers, 0 to 255, and per row where it covers anything
    // and where it covers all: a pass over the frame touches only the covered part, and the
    // fully covered run in one tight loop.
    struct Coverage {
        struct Row {
            int begin { 0 }, solidBegin { 0 }, solidEnd { 0 }, end { 0 };
        };
        std::vector<BYTE> cover;
        std::vector<Row> rows;
        bool empty() const { return cover.empty(); }
        void clear()
        {
            cover.clear();
            rows.clear();
        }
        void findRows(int width, int height);
    };
    const Coverage& discCoverage(Coverage& cache, float margin);
    // The dimming's disc (or the whole surface) one pixel larger, clipped to the inscribed ellipse.
    const Coverage& clippedCoverage(Coverage& cache, bool disc);
    void keepFraction(const Coverage* coverage, int alpha);

    LcdSurface m_surface;
    // The surface's pixels and size as the passes over every frame read them, copied from it
    // by Prepare.
    BYTE* m_bits { nullptr };
    int m_width { 0 };
    int m_height { 0 };
    // How much of each pixel the base disc and the dimming disc cover, 0 to 255.
    Coverage m_baseDisc;
    Coverage m_dimDisc;
    Coverage m_clippedDimDisc;
    Coverage m_clippedDimWhole;
    // The pixel GDI's opaque fill of FillPlain writes, learnt from its first fill.
    COLORREF m_plainColour { CLR_INVALID };
    DWORD m_plainPixel { 0 };
    LcdFreeTurn m_turn;
    LcdJpegEncoder m_encoder;
    int m_encodedWidth { 0 };
    int m_encodedHeight { 0 };
    // The whole quarters of the last turn, or -1 when it was resampled by m_turn.
    int m_encodedQuarters { -1 };
};

} // namespace KOVA
