#pragma once
// A 32-bit top-down DIB section selected into a memory DC of its own: what the LCD code draws
// a frame, a still layer, a kept copy or a clock's ground on, with GDI and GDI+, and reads back
// as rows in screen order (the order the JPEG encoder takes them). Kept from use to use and
// made anew only when its size changes. Used by one thread at a time, under its owner's lock.
#include "platform/Win32.h"

#include "framework/MRenderInternal.h"

namespace KOVA {

class LcdSurface {
public:
    LcdSurface() = default;
    ~LcdSurface();
    LcdSurface(const LcdSurface&) = delete;
    LcdSurface& operator=(const LcdSurface&) = delete;

    // A surface of width × height compatible with reference (null: the screen): the one it
    // has when it is that size already, else a new one in place of it. False, with no surface,
    // when a side is not positive or GDI cannot make it.
    bool Prepare(HDC reference, int width, int height);
    // Whether the surface is made at exactly width × height.
    bool Fits(int width, int height) const { return m_dc && width == m_width && height == m_height; }

    HDC dc() const { return m_dc.get(); }
    BYTE* bits() const { return m_bits; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    int stride() const { return m_width * 4; }

    // The one way the LCD code makes a top-down 32-bit DIB section; bits, when given, receives
    // its pixels (null with the bitmap on failure).
    static HBITMAP CreateSection(HDC dc, int width, int height, BYTE** bits);
    // The header of a top-down BI_RGB DIB of width × height at bitCount bits a pixel (32, the
    // surface's own, or 24), as a section is made with it and the DIB blits take rows by it.
    static BITMAPINFO TopDownHeader(int width, int height, WORD bitCount = 32);

private:
    void reset();

    detail::UniqueDC m_dc;
    detail::UniqueBitmap m_bitmap;
    HGDIOBJ m_previous { nullptr };
    BYTE* m_bits { nullptr };
    int m_width { 0 };
    int m_height { 0 };
};

} // namespace KOVA
