#pragma once
// A 32-bit top-down DIB section selected into its own memory DC: draw into dc(), then read
// back what landed at chosen points. Pixels are 0xAARRGGBB.
#include "platform/Win32.h"

#include <vector>

namespace KOVA::test {

class DibCanvas {
public:
    DibCanvas(int width, int height, DWORD argb = 0xFF000000);
    ~DibCanvas();
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    // A reference, as the routines under test take HDC&.
    HDC& dc() { return m_dc; }
    int width() const { return m_width; }
    int height() const { return m_height; }

    void fill(DWORD argb);
    DWORD pixel(int x, int y) const;
    // Red, green and blue only: GDI leaves the alpha byte as it pleases.
    DWORD rgb(int x, int y) const { return pixel(x, y) & 0x00FFFFFF; }
    // True when every pixel still has the value of the last fill.
    bool untouchedSinceFill() const;
    // Red, green and blue of every pixel, row by row: a whole look to compare with another.
    std::vector<DWORD> rgbPixels() const;

private:
    DWORD* row(int y) const;

    int m_width;
    int m_height;
    HDC m_dc { nullptr };
    HBITMAP m_bitmap { nullptr };
    HGDIOBJ m_previous { nullptr };
    DWORD* m_bits { nullptr };
    DWORD m_fill { 0 };
};

// What GDI made of a font.
inline LOGFONTW logFontOf(HFONT font)
{
    LOGFONTW description {};
    ::GetObjectW(font, sizeof(description), &description);
    return description;
}

// One channel of a 0xAARRGGBB or 0x00RRGGBB value: 16 red, 8 green, 0 blue, 24 alpha.
inline int channel(DWORD color, int shift)
{
    return static_cast<int>((color >> shift) & 0xFF);
}

// True when each of red, green and blue of two 0x00RRGGBB values differ by at most tolerance.
bool nearColor(DWORD rgb, DWORD expected, int tolerance = 3);

// A table of points and the 0x00RRGGBB colour each must hold (each channel within tolerance).
struct PixelAt {
    int x;
    int y;
    DWORD rgb;
};
void expectPixels(const DibCanvas& canvas, const std::vector<PixelAt>& points, int tolerance = 0);

} // namespace KOVA::test
