#include "DibCanvas.h"

#include <algorithm>
#include <cstdlib>

#include <gtest/gtest.h>

namespace KOVA::test {

DibCanvas::DibCanvas(int width, int height, DWORD argb) : m_width(width), m_height(height)
{
    BITMAPINFO info {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_dc = CreateCompatibleDC(nullptr);
    m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<DWORD*>(bits);
    m_previous = SelectObject(m_dc, m_bitmap);
    fill(argb);
}

DibCanvas::~DibCanvas()
{
    SelectObject(m_dc, m_previous);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
}

DWORD* DibCanvas::row(int y) const
{
    GdiFlush();
    return m_bits + static_cast<size_t>(y) * m_width;
}

void DibCanvas::fill(DWORD argb)
{
    m_fill = argb;
    std::fill(row(0), row(0) + static_cast<size_t>(m_width) * m_height, argb);
}

DWORD DibCanvas::pixel(int x, int y) const
{
    return row(y)[x];
}

bool DibCanvas::untouchedSinceFill() const
{
    const DWORD* first = row(0);
    return std::all_of(first, first + static_cast<size_t>(m_width) * m_height,
                       [this](DWORD value) { return value == m_fill; });
}

std::vector<DWORD> DibCanvas::rgbPixels() const
{
    const DWORD* first = row(0);
    std::vector<DWORD> pixels(first, first + static_cast<size_t>(m_width) * m_height);
    for (DWORD& pixel : pixels)
        pixel &= 0x00FFFFFF;
    return pixels;
}

bool nearColor(DWORD rgb, DWORD expected, int tolerance)
{
    for (int shift : { 0, 8, 16 })
        if (std::abs(channel(rgb, shift) - channel(expected, shift)) > tolerance)
            return false;
    return true;
}

void expectPixels(const DibCanvas& canvas, const std::vector<PixelAt>& points, int tolerance)
{
    for (const PixelAt& point : points)
        EXPECT_TRUE(nearColor(canvas.rgb(point.x, point.y), point.rgb, tolerance))
            << "at " << point.x << "," << point.y << std::hex << ": 0x" << canvas.rgb(point.x, point.y) << ", not 0x"
            << point.rgb;
}

} // namespace KOVA::test
